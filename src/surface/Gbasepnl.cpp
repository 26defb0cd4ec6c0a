#include "surface/Gbasepnl.h"

#include "document/ProgramFolder.h"
#include "graphics/Colors.h"
#include "surface/Cursors.h"
#include "surface/GGraphc.h"
#include "surface/GHandle.h"
#include "surface/TickClock.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

// The event that carries the deferred refit of the handles.
class TSelectionRefreshEvent : public QEvent
{
public:
    TSelectionRefreshEvent()
        : QEvent(static_cast<QEvent::Type>(TGBasePanel::SelectionRefreshMessage))
    {
    }
};

} // namespace

TGBasePanel::TGBasePanel(QWidget *parent)
    : QWidget(parent)
    , m_clock(TTickClock::System())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(false);

    m_handles = new TGHandle(this);
    m_handles->OnMouseDown = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers k, int x,
                                    int y) { HandleMouseDown(s, b, k, x, y); };
    m_handles->OnMouseUp = [this](QObject *s, Qt::MouseButton b, Qt::KeyboardModifiers k, int x,
                                  int y) { ObjectMouseUp(s, b, k, x, y); };
    m_handles->OnMouseMove = [this](QObject *s, Qt::KeyboardModifiers k, int x, int y) {
        ObjectMouseMove(s, k, x, y);
    };
    m_handles->OnDblClick = [this](QObject *s) { ObjectDoubleClick(s); };
    m_handles->OnKeyDown = [this](int key, Qt::KeyboardModifiers k) { KeyDownHandler(key, k); };
    m_handles->SetSnapToGrid(false);

    // The pictures also change through their own setters (loading a design,
    // the background commands): the painted background follows them.
    m_picture.OnChange = [this] { m_backgroundValid = false; };
    m_colorPicture.OnChange = [this] { m_backgroundValid = false; };

    m_clipboardFile = ProgramFolder() + QStringLiteral("Clipbrd.tmp");
    m_scratchFile = ProgramFolder() + QStringLiteral("TempFile.tmp");

    BuildSurfaceMenu();
    m_handles->MenuOfSurface = m_surfaceMenu;
}

TGBasePanel::~TGBasePanel()
{
    // Objects outlive the surface only in their owner; they must not call back.
    for (TGGraphicControl *object : std::as_const(m_objects))
        object->SetParent(nullptr);
    delete m_surfaceMenu;
}

void TGBasePanel::DeleteTemporaryFiles()
{
    QFile::remove(m_clipboardFile);
    QFile::remove(m_scratchFile);
}

// ---- objects --------------------------------------------------------------

void TGBasePanel::InsertObject(TGGraphicControl *object)
{
    // A set answers "already here?" at once, so reading n objects costs n steps.
    if (!object || m_objectSet.contains(object))
        return;
    m_objectSet.insert(object);
    m_objects.append(object);
    update(object->PaintedArea());
}

QList<TStoredObject *> TGBasePanel::StoredObjects() const
{
    return StoredList(m_objects);
}

void TGBasePanel::AdoptObject(TStoredObject *object)
{
    if (auto *card = qobject_cast<TGGraphicControl *>(object))
        card->SetParent(this);
}

void TGBasePanel::RemoveObject(TGGraphicControl *object)
{
    if (m_handles->IndexOfSelected(object) >= 0)
        m_handles->RemoveFromSelection(object);
    // Objects are mostly freed from the top of the order (clearing the card
    // goes backwards), so the search starts there.
    const qsizetype index = m_objects.lastIndexOf(object);
    if (index >= 0) {
        m_objects.removeAt(index);
        m_objectSet.remove(object);
        update(object->PaintedArea());
    }
    if (m_capture.object == object)
        m_capture = {};
    if (m_hover.object == object)
        m_hover = {};
}

void TGBasePanel::BringObjectToFront(TGGraphicControl *object)
{
    if (m_objects.removeOne(object)) {
        m_objects.append(object);
        update(object->PaintedArea());
    }
}

void TGBasePanel::SendObjectToBack(TGGraphicControl *object)
{
    if (m_objects.removeOne(object)) {
        m_objects.prepend(object);
        update(object->PaintedArea());
    }
}

QObject *TGBasePanel::Owner() const
{
    return m_owner ? m_owner.data() : const_cast<TGBasePanel *>(this);
}

void TGBasePanel::FreeObject(TGGraphicControl *object)
{
    if (!object)
        return;
    m_handles->RemoveFromSelection(object);
    object->SetParent(nullptr);
    delete object;
}

void TGBasePanel::FreeObjectLater(TGGraphicControl *object)
{
    if (!object)
        return;
    m_handles->RemoveFromSelection(object);
    object->SetParent(nullptr);
    // Its name is free for new objects at once; the owner still frees it
    // should the program end first.
    object->SetName(QString());
    object->deleteLater();
}

// ---- properties -----------------------------------------------------------

void TGBasePanel::SetClock(TTickClock *clock)
{
    m_clock = clock ? clock : TTickClock::System();
}

void TGBasePanel::SetShape(TLabelShapeType shape)
{
    if (shape == m_shape)
        return;
    m_shape = shape;
    BackgroundChanged();
}

void TGBasePanel::SetShowGrid(bool show)
{
    if (show == m_showGrid)
        return;
    m_showGrid = show;
    BackgroundChanged();
}

void TGBasePanel::SetGridSize(TGridSize size)
{
    if (size == m_gridSize)
        return;
    m_gridSize = size;
    const int step = size == gs4x4 ? 4 : 8;
    m_handles->SetGridX(step);
    m_handles->SetGridY(step);
    BackgroundChanged();
}

void TGBasePanel::SetSnapToGrid(bool snap)
{
    if (snap == m_snapToGrid)
        return;
    m_snapToGrid = snap;
    m_handles->SetSnapToGrid(snap);
    if (snap) {
        const int step = m_gridSize == gs4x4 ? 4 : 8;
        m_handles->SetGridX(step);
        m_handles->SetGridY(step);
    }
}

void TGBasePanel::SetDrawOutline(bool draw)
{
    if (draw == m_drawOutline)
        return;
    m_drawOutline = draw;
    BackgroundChanged();
}

void TGBasePanel::SetPicture(const TPicture &picture)
{
    m_picture = picture;
    BackgroundChanged();
}

void TGBasePanel::SetColorPicture(const TPicture &picture)
{
    m_colorPicture = picture;
    BackgroundChanged();
}

void TGBasePanel::SetScreenCursor(int id)
{
    m_screenCursor = id;
    setCursor(CursorFor(id));
}

// ---- zoom -----------------------------------------------------------------

void TGBasePanel::SetZoom(float scale)
{
    if (scale == m_zoomScale)
        return;
    m_zooming = true;
    if (m_zoomScale * 10 == 0)
        m_zoomScale = 1.0f;
    const float ratio = static_cast<float>(double(scale) / double(m_zoomScale));
    const int w = RoundEven(width() * double(ratio));
    const int h = RoundEven(height() * double(ratio));
    resize(w, h);
    setFixedSize(w, h);
    m_zoomScale = scale;
    const QList<TGGraphicControl *> objects = m_objects;
    for (TGGraphicControl *object : objects)
        object->SetZoomScale(scale);
    QCoreApplication::processEvents();
    m_zooming = false;
}

// ---- painting -------------------------------------------------------------

QImage TGBasePanel::RenderBackground(const QRect &exposed) const
{
    const int w = std::max(1, width());
    const int h = std::max(1, height());
    // Only the part asked for: a card of a hundred inches would otherwise
    // cost a picture of hundreds of megabytes on every paint.
    const QRect area = exposed.isNull() ? QRect(0, 0, w, h) : exposed.intersected(QRect(0, 0, w, h));
    if (area.isEmpty())
        return QImage();
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);

    QPainterPath region;
    switch (m_shape) {
    case lsRectangle:
        region.addRect(0, 0, w + 1, h + 1);
        break;
    case lsRoundRect:
        region.addRoundedRect(0, 0, w + 1, h + 1, 12, 12);
        break;
    case lsEllipse:
        region.addEllipse(0, 0, w + 1, h + 1);
        break;
    }

    QPainter p(&image);
    p.translate(-area.topLeft());
    if (!m_picture.IsEmpty() || !m_colorPicture.IsEmpty()) {
        p.save();
        p.setClipPath(region);
        m_picture.Draw(p, QRect(0, 0, w, h));
        m_colorPicture.Draw(p, QRect(0, 0, w, h));
        p.restore();
    }
    if (m_drawOutline) {
        p.setPen(QPen(Qt::black, 0));
        p.setBrush(Qt::NoBrush);
        switch (m_shape) {
        case lsRectangle:
            // Filled one-pixel strips: the same pixels whichever part is painted.
            p.fillRect(QRect(0, 0, w, 1), Qt::black);
            p.fillRect(QRect(0, h - 1, w, 1), Qt::black);
            p.fillRect(QRect(0, 0, 1, h), Qt::black);
            p.fillRect(QRect(w - 1, 0, 1, h), Qt::black);
            break;
        case lsRoundRect:
            p.drawRoundedRect(QRectF(0, 0, w - 1, h - 1), 12, 12);
            break;
        case lsEllipse:
            p.drawEllipse(QRectF(0, 0, w - 1, h - 1));
            break;
        }
    }
    p.end();

    if (m_showGrid) {
        // Each dot ANDs the picture with green: green on white, darker on art.
        const int step = m_gridSize == gs4x4 ? 4 : 8;
        QImage mask(area.size(), QImage::Format_Grayscale8);
        mask.fill(0);
        if (m_shape == lsRectangle) {
            mask.fill(255);
        } else {
            QPainter mp(&mask);
            mp.translate(-area.topLeft());
            mp.fillPath(region, QColor(255, 255, 255));
        }
        // The first dot at or after the area's edge: 2, 2 + step, ... in card pixels.
        auto first = [step](int from) { return from <= 2 ? 2 : 2 + ((from - 2 + step - 1) / step) * step; };
        for (int y = first(area.top()); y <= area.bottom() && y < h; y += step) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y - area.top()));
            const uchar *inside = mask.constScanLine(y - area.top());
            for (int x = first(area.left()); x <= area.right() && x < w; x += step) {
                const int i = x - area.left();
                if (inside[i])
                    line[i] = qRgb(0, qGreen(line[i]) & 128, 0);
            }
        }
    }
    return image;
}

const QImage *TGBasePanel::CachedBackground() const
{
    // Kept up to 32 MB (a business card at 800 % takes 17); a card of a
    // hundred inches would take hundreds of megabytes: such a card is
    // painted a part at a time instead, as it is exposed.
    constexpr qint64 MaxCachedPixels = qint64(4096) * 2048;
    if (qint64(width()) * height() > MaxCachedPixels)
        return nullptr;
    if (!m_backgroundValid ||
        m_background.size() != QSize(std::max(1, width()), std::max(1, height()))) {
        m_background = RenderBackground();
        m_backgroundValid = true;
    }
    return &m_background;
}

void TGBasePanel::BackgroundChanged()
{
    m_backgroundValid = false;
    m_background = QImage();
    update();
}

void TGBasePanel::PaintCard(QPainter &painter, bool withSelection, const QRegion &exposed) const
{
    const QRect card(0, 0, std::max(1, width()), std::max(1, height()));
    const bool partial = !exposed.isEmpty();
    painter.save();
    if (partial)
        painter.setClipRegion(exposed, Qt::IntersectClip);
    const QImage *background = CachedBackground();
    for (const QRect &part : partial ? exposed &card : QRegion(card)) {
        if (background)
            painter.drawImage(part.topLeft(), *background, part);
        else
            painter.drawImage(part.topLeft(), RenderBackground(part));
    }
    for (TGGraphicControl *object : m_objects) {
        if (!object->Visible())
            continue;
        if (partial && !exposed.intersects(object->BoundsRect().ToQRect()))
            continue;
        object->UpdateLayout();
        painter.save();
        painter.translate(object->Left(), object->Top());
        painter.setClipRect(0, 0, object->Width(), object->Height(), Qt::IntersectClip);
        object->Paint(painter);
        painter.restore();
    }
    if (withSelection) {
        m_handles->Paint(painter);
        if (!m_xorFrames.isEmpty()) {
            painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
            QPen pen(Qt::white, 0, Qt::DotLine);
            painter.setPen(pen);
            painter.setBrush(Qt::NoBrush);
            for (const TRect &r : m_xorFrames) {
                const TRect n = r.Normalized();
                if (n.Width() > 0 && n.Height() > 0)
                    painter.drawRect(n.Left, n.Top, n.Width() - 1, n.Height() - 1);
            }
        }
    }
    painter.restore();
}

void TGBasePanel::paintEvent(QPaintEvent *event)
{
    // Only what the input made dirty: the window system keeps the rest.
    QPainter painter(this);
    PaintCard(painter, true, event->region());
}

QRegion TGBasePanel::XorFrameArea(const TRect &rect)
{
    const TRect n = rect.Normalized();
    if (n.Width() <= 0 || n.Height() <= 0)
        return QRegion();
    // The dotted lines run along the outermost rows and columns of the
    // rectangle; a pixel of margin either side of each keeps any rounding of
    // the line drawing inside the repainted strips.
    const QRect r = n.ToQRect();
    QRegion area(r.left() - 1, r.top() - 1, r.width() + 2, 3);
    area += QRect(r.left() - 1, r.bottom() - 1, r.width() + 2, 3);
    area += QRect(r.left() - 1, r.top() - 1, 3, r.height() + 2);
    area += QRect(r.right() - 1, r.top() - 1, 3, r.height() + 2);
    return area;
}

void TGBasePanel::DrawXorFrame(const TRect &rect)
{
    const qsizetype i = m_xorFrames.indexOf(rect);
    if (i >= 0)
        m_xorFrames.removeAt(i);
    else
        m_xorFrames.append(rect);
    update(XorFrameArea(rect));
}

void TGBasePanel::ClearXorFrames()
{
    for (const TRect &frame : std::as_const(m_xorFrames))
        update(XorFrameArea(frame));
    m_xorFrames.clear();
}

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

void TGBasePanel::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_liveModifiers = event->modifiers();
    m_mousePos = pos;
    m_handles->SetLeftButtonHeld(event->buttons() & Qt::LeftButton);
    const MouseTarget target = m_capture.kind != MouseTarget::None ? m_capture
                                                                   : HitTest(pos, true);
    if (m_capture.kind == MouseTarget::None)
        m_capture = target;
    const int takeovers = m_takeovers;
    DeliverPress(target, event->button(), event->modifiers(), pos);
    EndCaptureIfTakenOver(takeovers);
}

void TGBasePanel::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_liveModifiers = event->modifiers();
    m_mousePos = pos;
    m_handles->SetLeftButtonHeld(event->buttons() & Qt::LeftButton);
    const MouseTarget target = m_capture.kind != MouseTarget::None ? m_capture
                                                                   : HitTest(pos, true);
    if (m_capture.kind == MouseTarget::None)
        UpdateHover(target);
    DeliverMove(target, event->modifiers(), pos);
}

void TGBasePanel::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_liveModifiers = event->modifiers();
    m_mousePos = pos;
    m_handles->SetLeftButtonHeld(event->buttons() & Qt::LeftButton);
    const MouseTarget target = m_capture.kind != MouseTarget::None ? m_capture
                                                                   : HitTest(pos, true);
    // A press captures the mouse until its release; the handles hold theirs longer.
    if (m_capture.kind != MouseTarget::Handles)
        m_capture = {};
    DeliverRelease(target, event->button(), event->modifiers(), pos);
}

void TGBasePanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_liveModifiers = event->modifiers();
    m_mousePos = pos;
    m_handles->SetLeftButtonHeld(event->buttons() & Qt::LeftButton);
    const MouseTarget target = m_capture.kind != MouseTarget::None ? m_capture
                                                                   : HitTest(pos, true);
    const int takeovers = m_takeovers;
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

// ---- placing ----------------------------------------------------------------

void TGBasePanel::CreateObjectForTool(const TRect &) {}

void TGBasePanel::PlaceObject(TGGraphicControl *object, const TRect &rect)
{
    object->SetVisible(false);
    object->SetParent(this);
    object->SetName(UniqueName(QStringLiteral("Special")));
    object->SetTop(rect.Top);
    object->SetLeft(rect.Left);
    object->SetWidth(rect.Right - rect.Left);
    object->SetHeight(rect.Bottom - rect.Top);
    if (object->Width() < 10)
        object->SetWidth(10);
    if (object->Height() < 15)
        object->SetHeight(15);
    WireObject(object);
    object->AdoptZoomScale(m_zoomScale);
    object->SetVisible(true);
    FireLabelChanged();
    QCoreApplication::processEvents();
}

QString TGBasePanel::UniqueName(const QString &prefix) const
{
    const QObject *owner = Owner();
    for (int n = 1; n <= 1000; ++n) {
        const QString name = prefix + QString::number(n);
        if (!owner->findChild<QObject *>(name, Qt::FindDirectChildrenOnly))
            return name;
    }
    return QString();
}

void TGBasePanel::WireObject(TGGraphicControl *object)
{
    object->OnMouseDown = [this](TGGraphicControl *o, Qt::MouseButton b, Qt::KeyboardModifiers k,
                                 int x, int y) { ObjectMouseDown(o, b, k, x, y); };
    object->OnMouseMove = [this](TGGraphicControl *o, Qt::KeyboardModifiers k, int x, int y) {
        ObjectMouseMove(o, k, x, y);
    };
    object->OnMouseUp = [this](TGGraphicControl *o, Qt::MouseButton b, Qt::KeyboardModifiers k,
                               int x, int y) { ObjectMouseUp(o, b, k, x, y); };
    object->OnDblClick = [this](TGGraphicControl *o) { ObjectDoubleClick(o); };
}

void TGBasePanel::RewireAll()
{
    for (qsizetype i = m_objects.size() - 1; i >= 0; --i) {
        WireObject(m_objects.at(i));
        m_objects.at(i)->AdoptZoomScale(m_zoomScale);
    }
}

// ---- change notification and keyboard -----------------------------------------

void TGBasePanel::FireLabelChanged()
{
    if (!m_zooming && LabelChangedEvent)
        LabelChangedEvent(this);
}

void TGBasePanel::PostSelectionRefresh()
{
    // One refit serves every change before it: a zoom step or a paste that
    // moves hundreds of objects posts one event, not hundreds.
    if (m_selectionRefreshPosted)
        return;
    m_selectionRefreshPosted = true;
    QCoreApplication::postEvent(this, new TSelectionRefreshEvent);
}

bool TGBasePanel::event(QEvent *event)
{
    if (event->type() == static_cast<QEvent::Type>(SelectionRefreshMessage)) {
        m_selectionRefreshPosted = false;
        m_handles->FitToSelection();
        return true;
    }
    // A dialog opening over the card takes the mouse, and the release with it.
    if (event->type() == QEvent::WindowBlocked)
        EndMouseCapture();
    // Tab and the arrows belong to the card, not to focus navigation.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QWidget::event(event);
}

bool TGBasePanel::focusNextPrevChild(bool)
{
    return false;
}

void TGBasePanel::SetHandlesFocus(bool focus)
{
    m_handlesFocus = focus;
    if (focus && isVisible())
        setFocus(Qt::OtherFocusReason);
}

void TGBasePanel::keyPressEvent(QKeyEvent *event)
{
    m_liveModifiers = event->modifiers();
    if (m_handlesFocus && m_handles->Visible() && m_handles->Enabled())
        m_handles->KeyDown(event->key(), event->modifiers());
    else
        KeyDownHandler(event->key(), event->modifiers());
}

void TGBasePanel::keyReleaseEvent(QKeyEvent *event)
{
    m_liveModifiers = event->modifiers();
    if (event->isAutoRepeat())
        return;
    if (m_handlesFocus && m_handles->Visible() && m_handles->Enabled())
        m_handles->KeyUp(event->key(), event->modifiers());
}

void TGBasePanel::KeyDownHandler(int key, Qt::KeyboardModifiers shift)
{
    if (shift & Qt::ControlModifier) {
        if (key == Qt::Key_C)
            ClipboardCommand(1);
        else if (key == Qt::Key_V)
            ClipboardCommand(2);
        else if (key == Qt::Key_X)
            ClipboardCommand(0);
    } else if (key == Qt::Key_Delete) {
        ClipboardCommand(3);
    }
    if (OnKeyDown)
        OnKeyDown(key, shift);
}
