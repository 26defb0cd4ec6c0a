#include "surface/Gbasepnl.h"

#include "document/ProgramFolder.h"
#include "graphics/Colors.h"
#include "surface/Cursors.h"
#include "surface/GGraphc.h"
#include "surface/GHandle.h"
#include "surface/ScreenInfo.h"
#include "surface/TickClock.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScopedValueRollback>
#include <QToolTip>

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

// The print shop's guides: light enough to design under, clear on white.
const QColor SafeLineColor(0, 102, 204);
const QColor WarningFrameColor(220, 0, 0);
const QColor BleedTint(255, 0, 0, 56);
const QColor BleedEdgeColor(176, 0, 0);

// A dashed one-pixel line drawn as filled strips, four pixels on and three
// off from its start: a part repainted alone gets the same pixels as the
// whole line. Only the strips that meet `area` are drawn.
void DashedLine(QPainter &painter, QPoint from, int length, bool across, const QColor &color,
                const QRect &area)
{
    constexpr int On = 4;
    constexpr int Period = 7;
    const int start = across ? from.x() : from.y();
    const int first = across ? area.left() : area.top();
    const int last = across ? area.right() : area.bottom();
    int at = std::max(0, (first - start) / Period * Period);
    for (; at < length && start + at <= last; at += Period) {
        const int n = std::min(On, length - at);
        if (across)
            painter.fillRect(start + at, from.y(), n, 1, color);
        else
            painter.fillRect(from.x(), start + at, 1, n, color);
    }
}

// A dashed frame on the outermost pixels of the rectangle.
void DashedFrame(QPainter &painter, const QRect &r, const QColor &color, const QRect &area)
{
    if (r.width() <= 0 || r.height() <= 0 || !r.intersects(area))
        return;
    DashedLine(painter, r.topLeft(), r.width(), true, color, area);
    DashedLine(painter, r.bottomLeft(), r.width(), true, color, area);
    DashedLine(painter, r.topLeft(), r.height(), false, color, area);
    DashedLine(painter, r.topRight(), r.height(), false, color, area);
}

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
    // A model of its own, under the surface: what it holds goes with it.
    m_ownModel = new TCardModel(this);
    SetModel(m_ownModel);

    m_clipboardFile = ProgramFolder() + QStringLiteral("Clipbrd.tmp");
    m_scratchFile = ProgramFolder() + QStringLiteral("TempFile.tmp");

    BuildSurfaceMenu();
    m_handles->MenuOfSurface = m_surfaceMenu;
}

TGBasePanel::~TGBasePanel()
{
    EndGestureStep();
    // Objects outlive the surface in their model; they must not call back.
    for (const QMetaObject::Connection &c : std::as_const(m_modelConnections))
        disconnect(c);
    if (m_model->View() == this)
        m_model->SetView(nullptr);
    for (TGGraphicControl *object : std::as_const(m_objects))
        object->DetachFromSurface();
    m_objects.clear();
    delete m_surfaceMenu;
}

void TGBasePanel::SetModel(TCardModel *model)
{
    if (!model)
        model = m_ownModel;
    if (model == m_model)
        return;
    m_handles->ClearSelection();
    EndGestureStep();
    for (const QMetaObject::Connection &c : std::as_const(m_modelConnections))
        disconnect(c);
    m_modelConnections.clear();
    // A card off the surface keeps its objects at 100 %; the one coming on
    // takes the surface's zoom below. Neither is a change of the design.
    const QScopedValueRollback zooming(m_zooming, true);
    for (TGGraphicControl *object : std::as_const(m_objects)) {
        object->SetZoomScale(1.0f);
        object->DetachFromSurface();
    }
    m_objects.clear();
    m_capture = {};
    m_hover = {};
    if (m_model && m_model->View() == this)
        m_model->SetView(nullptr);
    m_model = model;
    model->SetView(this);
    m_modelConnections = {
        connect(model, &TCardModel::objectInserted, this, &TGBasePanel::ModelObjectInserted),
        connect(model, &TCardModel::objectRemoved, this, &TGBasePanel::ModelObjectRemoved),
        connect(model, &TCardModel::orderChanged, this, &TGBasePanel::ModelOrderChanged),
        connect(model, &TCardModel::objectChanged, this, &TGBasePanel::ModelObjectChanged),
        connect(model, &TCardModel::loadingStarted, this, &TGBasePanel::ModelLoadingStarted),
        connect(model, &TCardModel::loadingFinished, this, &TGBasePanel::ModelLoadingFinished),
        connect(model, &TCardModel::backgroundArtChanged, this,
                [this] { BackgroundChanged(); }),
        // A model that goes first leaves the surface showing its own again.
        connect(model, &QObject::destroyed, this, [this] { SetModel(nullptr); }),
    };
    for (TStoredObject *object : model->Objects())
        ModelObjectInserted(object);
    for (TGGraphicControl *object : std::as_const(m_objects))
        object->SetZoomScale(m_zoomScale);
    RewireAll();
    BackgroundChanged();
}

void TGBasePanel::DeleteTemporaryFiles()
{
    QFile::remove(m_clipboardFile);
    QFile::remove(m_scratchFile);
}

// ---- objects --------------------------------------------------------------

void TGBasePanel::InsertObject(TGGraphicControl *object)
{
    m_model->Insert(object);
}

void TGBasePanel::ModelObjectInserted(TStoredObject *object)
{
    auto *card = qobject_cast<TGGraphicControl *>(object);
    if (!card)
        return;
    card->SetParent(this);
    // Nearly always on top; anywhere else the list is taken from the model.
    if (m_model->Objects().constLast() == object)
        m_objects.append(card);
    else
        m_objects = CardObjects(m_model->Objects());
    update(card->PaintedArea());
}

QList<TStoredObject *> TGBasePanel::StoredObjects() const
{
    return m_model->Objects();
}

void TGBasePanel::AdoptObject(TStoredObject *object)
{
    if (auto *card = qobject_cast<TGGraphicControl *>(object))
        card->SetParent(this);
}

void TGBasePanel::RemoveObject(TGGraphicControl *object)
{
    m_model->Remove(object);
}

void TGBasePanel::ModelObjectRemoved(TStoredObject *object)
{
    // The object may be on its way out: it is found by its address alone.
    // Objects are mostly freed from the top of the order (clearing the card
    // goes backwards), so the search starts there.
    qsizetype index = m_objects.size() - 1;
    while (index >= 0 && static_cast<TStoredObject *>(m_objects.at(index)) != object)
        --index;
    if (index < 0)
        return;
    TGGraphicControl *card = m_objects.at(index);
    if (m_handles->IndexOfSelected(card) >= 0)
        m_handles->RemoveFromSelection(card);
    m_objects.removeAt(index);
    card->DetachFromSurface();
    update(card->PaintedArea());
    if (m_capture.object == card)
        m_capture = {};
    if (m_hover.object == card)
        m_hover = {};
}

void TGBasePanel::BringObjectToFront(TGGraphicControl *object)
{
    m_model->BringToFront(object);
    update(object->PaintedArea());
}

void TGBasePanel::SendObjectToBack(TGGraphicControl *object)
{
    m_model->SendToBack(object);
    update(object->PaintedArea());
}

QStringList TGBasePanel::SelectedNames() const
{
    QStringList names;
    for (const TGGraphicControl *object : m_handles->Selection())
        names.append(object->Name());
    return names;
}

void TGBasePanel::SelectNamed(const QStringList &names)
{
    m_handles->ClearSelection();
    for (const QString &name : names) {
        for (TGGraphicControl *object : std::as_const(m_objects)) {
            if (object->Name() == name) {
                m_handles->AddToSelection(object);
                break;
            }
        }
    }
    update();
}

void TGBasePanel::ShowRestoredObject(TStoredObject *object)
{
    auto *card = qobject_cast<TGGraphicControl *>(object);
    if (!card)
        return;
    WireObject(card);
    // Read at 100 %, shown at the card's zoom.
    card->AdoptZoomScale(1.0f);
    if (m_zoomScale != 1.0f)
        card->SetZoomScale(m_zoomScale);
}

bool TGBasePanel::InputUnderWay() const
{
    return GestureUnderWay() || QApplication::activeModalWidget() ||
           QApplication::activePopupWidget();
}

uint32_t TGBasePanel::Now() const
{
    return m_clock->Now();
}

void TGBasePanel::BeginGestureStep()
{
    EndGestureStep(); // a release that never came
    if (!History())
        return;
    m_gestureStepOpen = true;
    History()->BeginStep(QString());
}

void TGBasePanel::EndGestureStep()
{
    if (!m_gestureStepOpen)
        return;
    m_gestureStepOpen = false;
    if (History())
        History()->EndStep();
}

void TGBasePanel::ModelOrderChanged()
{
    m_objects = CardObjects(m_model->Objects());
    update();
}

void TGBasePanel::ModelObjectChanged()
{
    if (!m_printing)
        FireLabelChanged();
}

void TGBasePanel::ModelLoadingStarted()
{
    // Objects are read at 100 %; the card goes there for the reading and
    // comes back to its zoom once they are all in.
    if (m_loadingDepth++ > 0)
        return;
    m_zoomBeforeLoading = m_zoomScale;
    if (m_zoomScale != 1.0f)
        SetZoom(1.0f);
}

void TGBasePanel::ModelLoadingFinished()
{
    if (--m_loadingDepth > 0)
        return;
    RewireAll();
    if (m_zoomScale != m_zoomBeforeLoading)
        SetZoom(m_zoomBeforeLoading);
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

void TGBasePanel::SetCornerRadius(double inches)
{
    if (!(inches >= 0.0))
        inches = 0.0;
    if (inches == m_cornerRadius)
        return;
    m_cornerRadius = inches;
    BackgroundChanged();
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

void TGBasePanel::SetPrintShopGuides(bool on, double bleedInches, double safeInches)
{
    // A print shop's page takes at most an inch; what is no length is none.
    auto bounded = [](double inches) { return inches >= 0.0 ? std::min(inches, 1.0) : 0.0; };
    bleedInches = bounded(bleedInches);
    safeInches = bounded(safeInches);
    if (on == m_printShopGuides && bleedInches == m_bleedInches && safeInches == m_safeInches)
        return;
    m_printShopGuides = on;
    m_bleedInches = bleedInches;
    m_safeInches = safeInches;
    update();
    Q_EMIT guidesChanged();
}

int TGBasePanel::BleedPixels() const
{
    return RoundEven(m_bleedInches * ScreenPixelsPerInch() * double(m_zoomScale));
}

int TGBasePanel::SafeInset() const
{
    return RoundEven(m_safeInches * ScreenPixelsPerInch() * double(m_zoomScale));
}

bool TGBasePanel::CrossesSafeLine(const TGGraphicControl *object) const
{
    if (!m_printShopGuides || !object || !object->Visible())
        return false;
    const TRect r = object->BoundsRect().Normalized();
    const int inset = SafeInset();
    const int w = width();
    const int h = height();
    if (r.Left >= inset && r.Top >= inset && r.Right <= w - inset && r.Bottom <= h - inset)
        return false;
    // A plain fill up to a card edge is meant to run on into the bleed.
    const bool reachesEdge = r.Left <= 0 || r.Top <= 0 || r.Right >= w || r.Bottom >= h;
    return !(reachesEdge && object->FillsToItsEdges());
}

void TGBasePanel::PaintBleed(QPainter &parentPainter) const
{
    const int bleed = BleedPixels();
    if (!m_printShopGuides || bleed <= 0)
        return;
    const QRect card = geometry();
    const QRect outer = card.adjusted(-bleed, -bleed, bleed, bleed);
    for (const QRect &part : QRegion(outer).subtracted(card))
        parentPainter.fillRect(part, BleedTint);
    DashedFrame(parentPainter, outer, BleedEdgeColor, outer);
}

void TGBasePanel::PaintGuides(QPainter &painter, const QRegion &exposed) const
{
    if (!m_printShopGuides)
        return;
    const QRect card(0, 0, std::max(1, width()), std::max(1, height()));
    const QRect area = exposed.isEmpty() ? card : exposed.boundingRect();
    // Over the objects: a fill or a picture covering the card would hide a
    // line drawn with the background.
    const int inset = SafeInset();
    if (inset > 0 && card.width() > 2 * inset && card.height() > 2 * inset)
        DashedFrame(painter, card.adjusted(inset, inset, -inset, -inset), SafeLineColor, area);
    // A pixel outside the object, so that its own border stays in sight;
    // within what the object's moves repaint (PaintedArea).
    for (const TGGraphicControl *object : m_objects) {
        if (CrossesSafeLine(object))
            DashedFrame(painter, object->BoundsRect().Normalized().Grown(1).ToQRect(),
                        WarningFrameColor, area);
    }
}

void TGBasePanel::SetPicture(const TPicture &picture)
{
    m_picture = picture;
    BackgroundChanged();
}

void TGBasePanel::SetColorPicture(const TPicture &picture)
{
    ColorPicture() = picture;
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
    return RenderCardBackground(Look(), size(), exposed);
}

TCardLook TGBasePanel::Look() const
{
    return {m_shape,
            m_drawOutline,
            m_showGrid,
            m_gridSize,
            &m_picture,
            &m_model->BackgroundArt(),
            m_cornerRadius * ScreenPixelsPerInch() * double(m_zoomScale)};
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
    PaintCardObjects(painter, m_objects, exposed);
    if (withSelection) {
        PaintGuides(painter, exposed);
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

// ---- placing ----------------------------------------------------------------

void TGBasePanel::CreateObjectForTool(const TRect &) {}

void TGBasePanel::PlaceObject(TGGraphicControl *object, const TRect &rect)
{
    const TUndoStep step(History(), tr("Place"));
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
    if (m_zooming)
        return;
    if (History())
        History()->NoteChange();
    if (LabelChangedEvent)
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
    if (event->type() == QEvent::ToolTip) {
        const auto *help = static_cast<QHelpEvent *>(event);
        const MouseTarget target = HitTest(help->pos(), false);
        const QString text = target.object ? target.object->ToolTipText() : QString();
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), text, this);
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
    // A key is a command of its own; what it does names its step.
    const TUndoStep step(History(), QString());
    m_liveModifiers = event->modifiers();
    if (m_handlesFocus && m_handles->Visible() && m_handles->Enabled())
        m_handles->KeyDown(event->key(), event->modifiers());
    else
        KeyDownHandler(event->key(), event->modifiers());
}

void TGBasePanel::keyReleaseEvent(QKeyEvent *event)
{
    const TUndoStep step(History(), QString()); // an arrow key's nudge lands here
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

void TGBasePanel::Deselect(TGGraphicControl *object)
{
    m_handles->RemoveFromSelection(object);
}

void TGBasePanel::ClearSelection()
{
    m_handles->ClearSelection();
}
