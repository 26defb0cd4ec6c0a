// The surface's mouse: routing presses, moves and releases to the handles,
// the objects or the card itself, the rubber band, and the undo step of each
// gesture.
#include "surface/Gbasepnl.h"

#include "surface/Cursors.h"
#include "surface/GGraphc.h"
#include "surface/GHandle.h"

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>

// ---- mouse routing --------------------------------------------------------

TGBasePanel::MouseTarget TGBasePanel::HitTest(const QPoint &pos, bool includeHandles) const
{
    MouseTarget target;
    // An empty frame is inert: presses go through to the card.
    if (includeHandles && m_handles->Visible() && m_handles->Enabled()
        && m_handles->SelectedCount() > 0 && m_handles->BoundsRect().Contains(pos.x(), pos.y())) {
        target.kind = MouseTarget::Handles;
        return target;
    }
    for (qsizetype i = m_objects.size() - 1; i >= 0; --i) {
        TGGraphicControl *object = m_objects.at(i);
        if (object->Visible() && object->BoundsRect().Contains(pos.x(), pos.y())) {
            target.kind = MouseTarget::Object;
            target.object = object;
            return target;
        }
    }
    target.kind = MouseTarget::Surface;
    return target;
}

void TGBasePanel::DeliverPress(const MouseTarget &target, Qt::MouseButton button,
                               Qt::KeyboardModifiers shift, const QPoint &pos)
{
    switch (target.kind) {
    case MouseTarget::Handles:
        m_handles->MouseDown(button, shift, pos.x() - m_handles->Left(),
                             pos.y() - m_handles->Top());
        break;
    case MouseTarget::Object:
        if (target.object)
            target.object->MouseDown(button, shift, pos.x() - target.object->Left(),
                                     pos.y() - target.object->Top());
        break;
    case MouseTarget::Surface:
        SurfaceMouseDown(button, shift, pos.x(), pos.y());
        break;
    case MouseTarget::None:
        break;
    }
}

void TGBasePanel::DeliverMove(const MouseTarget &target, Qt::KeyboardModifiers shift,
                              const QPoint &pos)
{
    switch (target.kind) {
    case MouseTarget::Handles:
        m_handles->MouseMove(shift, pos.x() - m_handles->Left(), pos.y() - m_handles->Top());
        break;
    case MouseTarget::Object:
        if (target.object)
            target.object->MouseMove(shift, pos.x() - target.object->Left(),
                                     pos.y() - target.object->Top());
        break;
    case MouseTarget::Surface:
        SurfaceMouseMove(shift, pos.x(), pos.y());
        break;
    case MouseTarget::None:
        break;
    }
}

void TGBasePanel::DeliverRelease(const MouseTarget &target, Qt::MouseButton button,
                                 Qt::KeyboardModifiers shift, const QPoint &pos)
{
    switch (target.kind) {
    case MouseTarget::Handles:
        m_handles->MouseUp(button, shift, pos.x() - m_handles->Left(),
                           pos.y() - m_handles->Top());
        break;
    case MouseTarget::Object:
        if (target.object)
            target.object->MouseUp(button, shift, pos.x() - target.object->Left(),
                                   pos.y() - target.object->Top());
        break;
    case MouseTarget::Surface:
        SurfaceMouseUp(button, shift, pos.x(), pos.y());
        break;
    case MouseTarget::None:
        break;
    }
}

void TGBasePanel::UpdateHover(const MouseTarget &target)
{
    if (target == m_hover)
        return;
    const MouseTarget left = m_hover;
    m_hover = target;
    if (left.kind == MouseTarget::Object && left.object)
        left.object->MouseLeave();
    else if (left.kind == MouseTarget::Handles)
        m_handles->MouseLeave();
}

TGBasePanel::MouseTarget TGBasePanel::TakeMouseEvent(const QMouseEvent &event)
{
    const QPoint pos = event.position().toPoint();
    m_liveModifiers = event.modifiers();
    m_mousePos = pos;
    m_handles->SetLeftButtonHeld(event.buttons() & Qt::LeftButton);
    return m_capture.kind != MouseTarget::None ? m_capture : HitTest(pos, true);
}

void TGBasePanel::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const MouseTarget target = TakeMouseEvent(*event);
    if (m_capture.kind == MouseTarget::None)
        m_capture = target;
    // A press to its release is one step of undo: a drag, a resize, a placing.
    BeginGestureStep();
    const int takeovers = m_takeovers;
    DeliverPress(target, event->button(), event->modifiers(), pos);
    EndCaptureIfTakenOver(takeovers);
    if (!GestureUnderWay())
        EndGestureStep();
}

void TGBasePanel::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const MouseTarget target = TakeMouseEvent(*event);
    if (m_capture.kind == MouseTarget::None)
        UpdateHover(target);
    DeliverMove(target, event->modifiers(), pos);
    if (event->buttons() == Qt::NoButton && !GestureUnderWay())
        EndGestureStep();
}

void TGBasePanel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const MouseTarget target = TakeMouseEvent(*event);
    // A press captures the mouse until its release; the handles hold theirs longer.
    if (m_capture.kind != MouseTarget::Handles)
        m_capture = {};
    DeliverRelease(target, event->button(), event->modifiers(), pos);
    if (!GestureUnderWay())
        EndGestureStep();
}

void TGBasePanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const MouseTarget target = TakeMouseEvent(*event);
    const int takeovers = m_takeovers;
    // The dialog a double-click opens is the command of an undo step.
    const TUndoStep step(History(), tr("Edit"));
    switch (target.kind) {
    case MouseTarget::Handles:
        m_handles->DblClick();
        break;
    case MouseTarget::Object:
        if (target.object)
            target.object->DblClick();
        break;
    case MouseTarget::Surface:
        if (OnDblClick)
            OnDblClick(this);
        break;
    case MouseTarget::None:
        break;
    }
    // A menu or dialog that the double-click opened takes the rest of the click.
    if (QApplication::activePopupWidget() || m_takeovers != takeovers) {
        EndMouseCapture();
        return;
    }
    // The second press of a double-click is a press as well.
    if (m_capture.kind == MouseTarget::None)
        m_capture = target;
    DeliverPress(target, event->button(), event->modifiers(), pos);
    EndCaptureIfTakenOver(takeovers);
}

void TGBasePanel::leaveEvent(QEvent *event)
{
    if (m_capture.kind == MouseTarget::None) {
        MouseTarget none;
        none.kind = MouseTarget::Surface;
        UpdateHover(none);
    }
    QWidget::leaveEvent(event);
}

void TGBasePanel::SetHandlesCapture(bool capture)
{
    if (capture) {
        m_capture = {};
        m_capture.kind = MouseTarget::Handles;
    } else if (m_capture.kind == MouseTarget::Handles) {
        m_capture = {};
    }
}

bool TGBasePanel::HandlesHaveCapture() const
{
    return m_capture.kind == MouseTarget::Handles;
}

bool TGBasePanel::GestureUnderWay() const
{
    return m_rubberBandActive || m_handles->Dragging() || m_capture.kind == MouseTarget::Object ||
           m_capture.kind == MouseTarget::Surface;
}

void TGBasePanel::EndMouseCapture()
{
    ++m_takeovers;
    m_capture = {};
    m_handles->CancelDrag();
    if (m_rubberBandActive) {
        m_rubberBandActive = false;
        ClearXorFrames();
        if (m_pointing)
            SetScreenCursor(crDefault);
    }
}

void TGBasePanel::EndCaptureIfTakenOver(int takeoversBefore)
{
    if (QApplication::activePopupWidget() || m_takeovers != takeoversBefore)
        EndMouseCapture();
}

void TGBasePanel::ForwardMouse(bool release, Qt::MouseButton button, int x, int y)
{
    const MouseTarget target = HitTest(QPoint(x, y), false);
    if (release)
        DeliverRelease(target, button, Qt::NoModifier, QPoint(x, y));
    else
        DeliverPress(target, button, Qt::NoModifier, QPoint(x, y));
}

QPoint TGBasePanel::SenderOrigin(QObject *sender) const
{
    if (auto *object = qobject_cast<TGGraphicControl *>(sender))
        return QPoint(object->Left(), object->Top());
    if (sender == m_handles)
        return QPoint(m_handles->Left(), m_handles->Top());
    return QPoint(0, 0);
}

void TGBasePanel::PopupMenuAt(QMenu *menu, const QPoint &surfacePos)
{
    if (menu)
        menu->popup(mapToGlobal(surfacePos));
}

// ---- mouse on the surface ---------------------------------------------------

void TGBasePanel::SurfaceMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y)
{
    m_rubberBand = {x, y, x, y};
    if (button == Qt::LeftButton) {
        m_rubberBandActive = true;
        SetScreenCursor(crHandPoint);
    } else {
        UpdateSurfaceMenu();
        PopupMenuAt(m_surfaceMenu, QPoint(x, y));
    }
}

void TGBasePanel::SurfaceMouseMove(Qt::KeyboardModifiers, int x, int y)
{
    if (!m_rubberBandActive)
        return;
    SetScreenCursor(crHandPoint);
    DrawXorFrame(m_rubberBand.Normalized());
    m_rubberBand.Right = x;
    m_rubberBand.Bottom = y;
    DrawXorFrame(m_rubberBand.Normalized());
}

void TGBasePanel::SurfaceMouseUp(Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    if (m_rubberBandActive) {
        m_rubberBand = m_rubberBand.Normalized();
        ClearXorFrames();
        m_rubberBandActive = false;
        if (m_pointing) {
            SelectInRect(m_rubberBand);
            m_handles->Repaint();
        } else {
            CreateObjectForTool(m_rubberBand);
            if (DroppedObjectEvent)
                DroppedObjectEvent(this, m_rubberBand);
        }
    }
    if (m_pointing)
        SetScreenCursor(crDefault);
}

void TGBasePanel::SelectInRect(const TRect &rect)
{
    const bool shift = m_liveModifiers & Qt::ShiftModifier;
    QList<TGGraphicControl *> list;
    if (shift)
        list = m_handles->Selection();
    m_handles->ClearSelection();
    for (qsizetype i = m_objects.size() - 1; i >= 0; --i) {
        TGGraphicControl *object = m_objects.at(i);
        if (!object->BoundsRect().Intersects(rect))
            continue;
        if (shift && list.contains(object))
            list.removeOne(object);
        else
            list.append(object);
    }
    for (TGGraphicControl *object : std::as_const(list))
        m_handles->AddToSelection(object);
}

// ---- handlers installed on objects and handles ------------------------------

void TGBasePanel::ObjectMouseDown(TGGraphicControl *object, Qt::MouseButton button,
                                  Qt::KeyboardModifiers shift, int x, int y)
{
    if (!m_pointing || object->Unselectable()) {
        SurfaceMouseDown(button, shift, x + object->Left(), y + object->Top());
        return;
    }
    if (!(m_liveModifiers & Qt::ShiftModifier))
        m_handles->ClearSelection();
    m_handles->AddToSelection(object);
    m_handles->Repaint();
    if (m_handles->SelectedCount() == 1 && button == Qt::RightButton)
        object->PopupObjectMenu(mapToGlobal(QPoint(x + object->Left(), y + object->Top())));
}

void TGBasePanel::ObjectMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y)
{
    if (qobject_cast<TGGraphicControl *>(sender) && m_pointing)
        SetScreenCursor(crHandPoint);
    const QPoint origin = SenderOrigin(sender);
    SurfaceMouseMove(shift, x + origin.x(), y + origin.y());
}

void TGBasePanel::ObjectMouseUp(QObject *sender, Qt::MouseButton button,
                                Qt::KeyboardModifiers shift, int x, int y)
{
    const QPoint origin = SenderOrigin(sender);
    SurfaceMouseUp(button, shift, x + origin.x(), y + origin.y());
}

void TGBasePanel::HandleMouseDown(QObject *sender, Qt::MouseButton button,
                                  Qt::KeyboardModifiers shift, int x, int y)
{
    if (!m_pointing) {
        const QPoint origin = SenderOrigin(sender);
        SurfaceMouseDown(button, shift, x + origin.x(), y + origin.y());
        return;
    }
    if (!(m_liveModifiers & Qt::ShiftModifier))
        return;
    const QPoint p(x + m_handles->Left(), y + m_handles->Top());
    // Waiting input runs first, on the selection as it stands; if Shift is
    // still held then, the objects under the point leave it, in one repaint.
    const QPointer<TGBasePanel> self(this);
    QCoreApplication::processEvents();
    if (!self || !(m_liveModifiers & Qt::ShiftModifier))
        return;
    const QList<TGGraphicControl *> selected = m_handles->Selection();
    for (TGGraphicControl *object : selected) {
        if (object->BoundsRect().Contains(p.x(), p.y()))
            m_handles->RemoveFromSelection(object);
    }
    QCoreApplication::processEvents();
}

void TGBasePanel::ObjectDoubleClick(QObject *sender)
{
    const QPoint p = m_mousePos;
    if (sender == m_handles) {
        if (m_handles->SelectedCount() <= 1) {
            TGGraphicControl *hit = nullptr;
            for (TGGraphicControl *object : m_handles->Selection()) {
                if (object->BoundsRect().Grown(2).Contains(p.x(), p.y())) {
                    hit = object;
                    break;
                }
            }
            if (hit) {
                if (hit->DoubleClickAction)
                    hit->DoubleClickAction();
                else
                    hit->PopupObjectMenu(mapToGlobal(p));
            }
        }
    } else if (auto *object = qobject_cast<TGGraphicControl *>(sender)) {
        object->PopupObjectMenu(mapToGlobal(p));
    }
    m_handles->NoteDoubleClick();
}
