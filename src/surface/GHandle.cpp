#include "surface/GHandle.h"

#include "document/DesignHistory.h"
#include "graphics/Colors.h"
#include "surface/Cursors.h"
#include "surface/DesignSurface.h"
#include "surface/GGraphc.h"
#include "surface/TickClock.h"

#include <QMenu>
#include <QPainter>
#include <QWidget>
#include <cstdlib>

TGHandle::TGHandle(TDesignSurface *surface)
    : QObject(surface->Widget())
    , m_surface(surface)
{
    // The surface shows the (empty, inert) frame from the start.
    m_enabled = true;
    m_visible = true;
}

uint32_t TGHandle::Now() const
{
    return m_surface->Clock()->Now();
}

// ---- bounds ---------------------------------------------------------------

void TGHandle::SetOwnBounds(int left, int top, int width, int height)
{
    // The frame itself draws nothing: only the squares of the selected
    // objects show, and they repaint with their objects and in Repaint.
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
}

void TGHandle::SetBounds(int left, int top, int width, int height)
{
    const QList<TGGraphicControl *> selection = m_selection;
    for (TGGraphicControl *object : selection) {
        if (object->Locked())
            continue;
        object->SetBounds(left + object->Left() - m_left, top + object->Top() - m_top,
                          width + object->Width() - m_width, height + object->Height() - m_height);
    }
    SetOwnBounds(left, top, width, height);
}

void TGHandle::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    if (!visible) {
        // Hidden handles hold neither the keyboard nor the mouse (unless a
        // drag still waits for its release): the next press goes to whatever
        // lies under the pointer.
        m_surface->SetHandlesFocus(false);
        if (!m_dragging)
            m_surface->SetHandlesCapture(false);
    }
    Repaint();
}

void TGHandle::SetColor(uint32_t color)
{
    m_color = color;
    Repaint();
}

void TGHandle::SetSecondaryColor(uint32_t color)
{
    m_secondaryColor = color;
    Repaint();
}

void TGHandle::SetGridX(int step)
{
    if (step < 1 || step > 32)
        return;
    m_storedGridX = step;
    if (SnapToGrid())
        m_gridX = step;
    Repaint();
}

void TGHandle::SetGridY(int step)
{
    if (step < 1 || step > 32)
        return;
    m_storedGridY = step;
    if (SnapToGrid())
        m_gridY = step;
    Repaint();
}

void TGHandle::SetSnapToGrid(bool on)
{
    m_gridX = on ? m_storedGridX : 1;
    m_gridY = on ? m_storedGridY : 1;
}

QRegion TGHandle::SquaresArea() const
{
    QRegion area;
    for (const TGGraphicControl *object : m_selection)
        area += object->SelectionSquaresArea();
    return area;
}

void TGHandle::Repaint()
{
    // The squares where they were last asked for and where they are now: a
    // change of the selection or of its colours touches nothing else. Squares
    // that moved with their object were repainted with it.
    const QRegion now = SquaresArea();
    m_surface->Widget()->update(m_shownSquares + now);
    m_shownSquares = now;
}

// ---- selection --------------------------------------------------------------

TGGraphicControl *TGHandle::SelectedObject(int index) const
{
    if (index < 0 || index >= m_selection.size())
        return nullptr;
    return m_selection.at(index);
}

int TGHandle::IndexOfSelected(const TGGraphicControl *object) const
{
    return m_selection.indexOf(const_cast<TGGraphicControl *>(object));
}

void TGHandle::GiveFocus()
{
    if (m_visible && m_enabled)
        m_surface->SetHandlesFocus(true);
}

void TGHandle::AddToSelection(TGGraphicControl *object)
{
    if (!object || object->Unselectable())
        return;
    m_pressTick = Now();
    if (IndexOfSelected(object) >= 0)
        return;
    m_surface->SetScreenCursor(crHandGrab);
    if (!m_selection.isEmpty()) {
        const int left = std::min(m_left, object->Left() - 2);
        const int top = std::min(m_top, object->Top() - 2);
        const int right = std::max(m_left + m_width - 3, object->Left() + object->Width()) + 3;
        const int bottom = std::max(m_top + m_height - 3, object->Top() + object->Height()) + 3;
        SetOwnBounds(left, top, right - left, bottom - top);
    } else {
        m_dragOutline = {};
        m_enabled = true;
        SetVisible(true);
        SetOwnBounds(object->Left() - 2, object->Top() - 2, object->Width() + 5,
                     object->Height() + 5);
    }
    m_selection.append(object);
    m_grabZone = gzMove;
    m_surface->SetHandlesCapture(true);
    GiveFocus();
    Repaint();
}

void TGHandle::FrameAround(const QList<TGGraphicControl *> &objects, int extra)
{
    int minLeft = objects.first()->Left();
    int minTop = objects.first()->Top();
    int maxRight = minLeft + objects.first()->Width();
    int maxBottom = minTop + objects.first()->Height();
    for (const TGGraphicControl *o : objects) {
        minLeft = std::min(minLeft, o->Left());
        minTop = std::min(minTop, o->Top());
        maxRight = std::max(maxRight, o->Left() + o->Width());
        maxBottom = std::max(maxBottom, o->Top() + o->Height());
    }
    SetOwnBounds(minLeft - 2, minTop - 2, maxRight - minLeft + extra, maxBottom - minTop + extra);
}

void TGHandle::RemoveFromSelection(TGGraphicControl *object)
{
    if (!m_selection.removeOne(object))
        return;
    if (!m_selection.isEmpty()) {
        FrameAround(m_selection, 5);
    } else {
        m_enabled = false;
        SetVisible(false);
        m_dragOutline = {};
    }
    Repaint();
}

void TGHandle::ClearSelection()
{
    m_selection.clear();
    SetVisible(false);
    m_enabled = false;
    SetOwnBounds(m_left, m_top, 24, 24);
    m_dragOutline = {};
    Repaint();
}

void TGHandle::FitToSelection()
{
    if (m_selection.isEmpty())
        return;
    FrameAround(m_selection, 6);
    Repaint();
}

void TGHandle::BringSelectionToFront()
{
    if (m_selection.isEmpty())
        return;
    for (TGGraphicControl *object : std::as_const(m_selection))
        m_surface->BringObjectToFront(object);
    GiveFocus();
}

void TGHandle::SendSelectionToBack()
{
    if (m_selection.isEmpty())
        return;
    for (TGGraphicControl *object : std::as_const(m_selection))
        m_surface->SendObjectToBack(object);
    GiveFocus();
}

bool TGHandle::HitsSelection(const QPoint &p) const
{
    return SelectedObjectAt(p) != nullptr;
}

TGGraphicControl *TGHandle::SelectedObjectAt(const QPoint &p) const
{
    for (TGGraphicControl *object : m_selection) {
        if (object->BoundsRect().Grown(2).Contains(p.x(), p.y()))
            return object;
    }
    return nullptr;
}

void TGHandle::Paint(QPainter &canvas) const
{
    const bool alone = m_selection.size() == 1;
    const QColor color = ColorFromTColor(alone ? m_color : m_secondaryColor);
    for (const TGGraphicControl *object : m_selection)
        object->DrawSelectionSquares(canvas, color, alone);
}

// ---- geometry of a drag -------------------------------------------------------

int TGHandle::SnapX(int v) const
{
    return m_gridX * (v / m_gridX);
}

int TGHandle::SnapY(int v) const
{
    return m_gridY * (v / m_gridY);
}

TGrabZone TGHandle::ZoneAt(int x, int y, int *cursor) const
{
    const int w = m_width;
    const int h = m_height;
    TGrabZone zone = gzMove;
    int shape = crHandGrab;
    auto test = [&](bool hit, TGrabZone z, int c) {
        if (hit) {
            zone = z;
            shape = c;
        }
    };
    test(std::abs(x) < 8 && std::abs(y) < 8, gzTopLeft, crSizeNWSE);
    test(std::abs(x - w) < 8 && std::abs(y - h) < 8, gzBottomRight, crSizeNWSE);
    test(std::abs(x - w) < 8 && std::abs(y) < 8, gzTopRight, crSizeNESW);
    test(std::abs(x) < 8 && std::abs(y - h) < 8, gzBottomLeft, crSizeNESW);
    test(std::abs(x - w * 0.5) < 6 && std::abs(y) < 8, gzTop, crSizeNS);
    test(std::abs(x - w * 0.5) < 6 && std::abs(y - h) < 8, gzBottom, crSizeNS);
    test(std::abs(y - h * 0.5) < 6 && std::abs(x) < 8, gzLeft, crSizeWE);
    test(std::abs(y - h * 0.5) < 6 && std::abs(x - w) < 8, gzRight, crSizeWE);
    if (cursor)
        *cursor = shape;
    return zone;
}

TGHandle::Bounds TGHandle::ComputeDragBounds(int x, int y) const
{
    const int gx = m_grabPoint.x();
    const int gy = m_grabPoint.y();
    const int L = m_left, T = m_top, W = m_width, H = m_height;
    Bounds r{L, T, W, H};
    const bool movesLeft = m_grabZone == gzMove || m_grabZone == gzTopLeft
                        || m_grabZone == gzBottomLeft || m_grabZone == gzLeft;
    const bool movesTop = m_grabZone == gzMove || m_grabZone == gzTopLeft
                       || m_grabZone == gzTopRight || m_grabZone == gzTop;
    const bool movesRight = m_grabZone == gzTopRight || m_grabZone == gzBottomRight
                         || m_grabZone == gzRight;
    const bool movesBottom = m_grabZone == gzBottomLeft || m_grabZone == gzBottomRight
                          || m_grabZone == gzBottom;
    if (movesLeft) {
        r.left = SnapX(x + L - gx);
        if (m_grabZone != gzMove)
            r.width = W + L - r.left;
    }
    if (movesTop) {
        r.top = SnapY(y + T - gy);
        if (m_grabZone != gzMove)
            r.height = H + T - r.top;
    }
    if (movesRight)
        r.width = SnapX(x + W - gx) - 1;
    if (movesBottom)
        r.height = SnapY(y + H - gy) - 1;
    r.width = std::max(r.width, 5);
    r.height = std::max(r.height, 5);
    return r;
}

static TRect OutlineOf(const TGHandle::Bounds &b)
{
    return {b.left + 2, b.top + 2, b.left + b.width - 3, b.top + b.height - 3};
}

void TGHandle::DrawDragOutline(int x, int y, bool show)
{
    if (!m_dragOutline.IsZero()) {
        m_surface->DrawXorFrame(OutlineOf(m_dragOutline));
        m_dragOutline = {};
    }
    if (show) {
        const Bounds r = ComputeDragBounds(x, y);
        m_surface->DrawXorFrame(OutlineOf(r));
        m_dragOutline = r;
    }
}

void TGHandle::ForwardMouse(bool release, Qt::MouseButton button, int x, int y)
{
    m_surface->ForwardMouse(release, button, x, y);
}

void TGHandle::ClampToSurface(int &x, int &y) const
{
    x = std::clamp(x, -m_left, std::max(-m_left, m_surface->Widget()->width() - m_left));
    y = std::clamp(y, -m_top, std::max(-m_top, m_surface->Widget()->height() - m_top));
}

// ---- mouse --------------------------------------------------------------------

void TGHandle::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    m_pressTick = Now();
    const QPoint onSurface(x + m_left, y + m_top);
    if (m_surface->Pointing() && button == Qt::LeftButton) {
        if (HitsSelection(onSurface) || !m_selection.isEmpty()) {
            m_grabPoint = QPoint(x, y);
            m_dragging = true;
        }
        if (OnMouseDown)
            OnMouseDown(this, button, shift, x, y);
        return;
    }
    if (button == Qt::RightButton) {
        const QPoint global = m_surface->Widget()->mapToGlobal(onSurface);
        if (m_selection.size() == 1 && HitsSelection(onSurface)) {
            SelectedObjectAt(onSurface)->PopupObjectMenu(global);
        } else if (MenuOfSurface) {
            MenuOfSurface->popup(global);
        }
        return;
    }
    m_surface->SetScreenCursor(crDefault);
    ForwardMouse(false, button, onSurface.x(), onSurface.y());
}

void TGHandle::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    if (m_doubleClicked)
        m_dragging = false;
    m_doubleClicked = false;
    if (!m_surface->Pointing()) {
        m_surface->SetScreenCursor(crDrag);
    } else {
        if (!m_leftButtonHeld || m_dragging) {
            if (!m_leftButtonHeld)
                m_surface->SetHandlesCapture(false);
            TGrabZone zone = gzMove;
            if (!m_dragging)
                m_surface->SetScreenCursor(crHandGrab);
            if (m_selection.size() == 1) {
                int cursor = crHandGrab;
                zone = ZoneAt(x, y, &cursor);
                if (!m_dragging)
                    m_surface->SetScreenCursor(cursor);
            }
            if (m_dragging) {
                ClampToSurface(x, y);
                DrawDragOutline(x, y, true);
            } else {
                m_grabZone = zone;
            }
        }
        if (m_leftButtonHeld && !m_dragging && m_pressTick > 0 && Now() - m_pressTick > 10) {
            m_grabPoint = QPoint(x, y);
            m_dragging = true;
        }
    }
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TGHandle::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (m_dragging && Now() - m_pressTick < 150)
        m_grabPoint = QPoint(x, y);
    m_pressTick = 0;
    if (!m_dragging || button != Qt::LeftButton) {
        ForwardMouse(true, button, x + m_left, y + m_top);
    } else {
        ClampToSurface(x, y);
        if (QPoint(x, y) != m_grabPoint) {
            Repaint();
            const Bounds r = ComputeDragBounds(x, y);
            NameStep(r.width != m_width || r.height != m_height, false);
            SetBounds(r.left, r.top, r.width, r.height);
        }
        DrawDragOutline(0, 0, false);
        GiveFocus();
        m_dragging = false;
        m_surface->SetScreenCursor(crDefault);
        m_surface->SetHandlesCapture(false);
        if (OnMouseUp)
            OnMouseUp(this, button, shift, x, y);
    }
    Repaint();
}

void TGHandle::NameStep(bool resizing, bool nudge) const
{
    TDesignHistory *history = m_surface->History();
    if (!history)
        return;
    history->SetStepName(resizing ? tr("Resize") : tr("Move"));
    if (nudge)
        history->MarkNudge();
}

void TGHandle::CancelDrag()
{
    DrawDragOutline(0, 0, false);
    m_dragging = false;
    m_pressTick = 0;
    m_leftButtonHeld = false;
}

void TGHandle::DblClick()
{
    m_doubleClicked = true;
    if (OnDblClick)
        OnDblClick(this);
}

void TGHandle::MouseLeave()
{
    if (!m_dragging)
        m_surface->SetScreenCursor(m_surface->Pointing() ? crDefault : crDrag);
}

// ---- keyboard -------------------------------------------------------------------

void TGHandle::ToggleNudgeOutline()
{
    m_surface->DrawXorFrame(m_nudgeRect);
}

void TGHandle::KeyDown(int key, Qt::KeyboardModifiers shift)
{
    if (m_nudgeActive)
        ToggleNudgeOutline();
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Up || key == Qt::Key_Right
                    || key == Qt::Key_Down;
    if (arrow && !m_nudgeActive) {
        m_nudgeActive = true;
        m_nudgeRect = {m_left + 2, m_top + 2, m_left + m_width - 3, m_top + m_height - 3};
    }
    if (arrow) {
        TRect &r = m_nudgeRect;
        const int nw = r.Right - r.Left + 1;
        const int nh = r.Bottom - r.Top + 1;
        const bool resizing = (shift & Qt::ShiftModifier) && m_selection.size() == 1;
        switch (key) {
        case Qt::Key_Left:
            if (resizing) {
                if (nw > 10)
                    r.Right -= 1;
            } else if (r.Left > 0) {
                r.Left -= 1;
                r.Right -= 1;
            }
            break;
        case Qt::Key_Up:
            if (resizing) {
                if (nh > 10)
                    r.Bottom -= 1;
            } else if (r.Top > 0) {
                r.Top -= 1;
                r.Bottom -= 1;
            }
            break;
        case Qt::Key_Right:
            if (m_surface->Widget()->width() >= nw + r.Left) {
                if (!resizing)
                    r.Left += 1;
                r.Right += 1;
            }
            break;
        case Qt::Key_Down:
            if (m_surface->Widget()->height() >= nh + r.Top) {
                if (!resizing)
                    r.Top += 1;
                r.Bottom += 1;
            }
            break;
        default:
            break;
        }
    }
    if (OnKeyDown)
        OnKeyDown(key, shift);
    if (m_nudgeActive)
        ToggleNudgeOutline();
}

void TGHandle::KeyUp(int, Qt::KeyboardModifiers)
{
    if (!m_nudgeActive)
        return;
    m_nudgeActive = false;
    ToggleNudgeOutline();
    const TRect r = m_nudgeRect;
    const int width = r.Right - r.Left + 5, height = r.Bottom - r.Top + 5;
    NameStep(width != m_width || height != m_height, true);
    SetBounds(r.Left - 2, r.Top - 2, width, height);
    Repaint();
}
