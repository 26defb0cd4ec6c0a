#include "surface/GGraphc.h"

#include "document/CardModel.h"
#include "document/DesignHistory.h"
#include "graphics/Colors.h"
#include "report/RPBase.h"
#include "surface/Cursors.h"
#include "surface/DesignSurface.h"
#include "surface/ScreenInfo.h"

#include <QCoreApplication>
#include <QMenu>
#include <QPainter>
#include <QPicture>
#include <QWidget>
#include <algorithm>
#include <array>

const QStringList &BorderStyleIdentifiers()
{
    static const QStringList names{QStringLiteral("bsNone"), QStringLiteral("bsSingle")};
    return names;
}

TGGraphicControl::TGGraphicControl(QObject *owner)
    : TStoredObject(owner)
{
}

TGGraphicControl::~TGGraphicControl()
{
    if (m_parent)
        m_parent->RemoveObject(this);
    // The menu may be the one whose command is freeing the object, still in
    // the middle of delivering it: it goes once that is done.
    if (m_objectMenu) {
        m_objectMenu->hide();
        m_objectMenu->deleteLater();
    }
}

void TGGraphicControl::SetBounds(int left, int top, int width, int height)
{
    // No card comes near this (a 100-inch card is 9,600 pixels at 100 %);
    // larger values come from damaged files, and bounding them keeps every
    // sum of edges within range.
    constexpr int Limit = MaxCoordinate;
    left = std::clamp(left, -Limit, Limit);
    top = std::clamp(top, -Limit, Limit);
    width = std::clamp(width, -Limit, Limit);
    height = std::clamp(height, -Limit, Limit);
    if (left == m_left && top == m_top && width == m_width && height == m_height)
        return;
    const QRect before = PaintedArea();
    m_left = left;
    m_top = top;
    m_width = width;
    m_height = height;
    if (m_parent && m_visible) {
        // The old and the new place, squares included; the surface paints
        // both in one pass once the input is handled.
        m_parent->Widget()->update(before);
        m_parent->Widget()->update(PaintedArea());
    }
    if (!IsLoading())
        BoundsChanged();
}

void TGGraphicControl::SetVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    Repaint();
}

void TGGraphicControl::SetParent(TDesignSurface *surface)
{
    if (surface == m_parent)
        return;
    if (m_parent)
        m_parent->RemoveObject(this);
    m_parent = surface;
    if (surface)
        surface->InsertObject(this);
}

void TGGraphicControl::SetLocked(bool value)
{
    if (value == m_locked)
        return;
    m_locked = value;
    if (IsLoading())
        return;
    if (m_lockedMenuItem)
        m_lockedMenuItem->setChecked(value);
    ReportChange();
}

void TGGraphicControl::SetUnselectable(bool value)
{
    if (value == m_unselectable)
        return;
    m_unselectable = value;
    if (IsLoading())
        return;
    ReportChange();
    if (value && m_parent)
        m_parent->Deselect(this);
}

namespace {

TRect Scaled(const TRect &r, float factor)
{
    const double f = double(factor);
    return TRect::FromBounds(RoundEven(r.Left * f), RoundEven(r.Top * f),
                             RoundEven((r.Right - r.Left) * f), RoundEven((r.Bottom - r.Top) * f));
}

} // namespace

TRect TGGraphicControl::RecordBounds() const
{
    return TFullSizeRecords::Active() ? FullSizeBounds() : BoundsRect();
}

TRect TGGraphicControl::FullSizeBounds() const
{
    const TRect now = BoundsRect();
    if (m_zoomScale == 0.0f || m_zoomScale == 1.0f)
        return now;
    if (m_zoomMemo && now == m_zoomedBounds)
        return m_fullSizeBounds;
    return BackToFullSize(Scaled(now, static_cast<float>(1.0 / double(m_zoomScale))));
}

TRect TGGraphicControl::BackToFullSize(const TRect &scaledBack) const
{
    // Scaling a content-sized object back would round its zoomed size: the
    // content's own size at 100 % is the one a file and a zoom to 100 % get.
    const std::optional<QSize> content = ContentSizeAtFullSize();
    if (!content)
        return scaledBack;
    return TRect::FromBounds(scaledBack.Left, scaledBack.Top, content->width(), content->height());
}

void TGGraphicControl::SetZoomScale(float scale)
{
    if (scale == m_zoomScale)
        return;
    const float from = m_zoomScale == 0.0f ? 1.0f : m_zoomScale;
    const TRect now = BoundsRect();
    const bool untouched = m_zoomMemo && now == m_zoomedBounds;
    TRect next;
    if (untouched) {
        next = scale == 1.0f ? m_fullSizeBounds : Scaled(m_fullSizeBounds, scale);
    } else {
        next = Scaled(now, static_cast<float>(double(scale) / double(from)));
        if (from == 1.0f)
            m_fullSizeBounds = now;
        else if (scale == 1.0f)
            m_fullSizeBounds = next;
        else
            m_fullSizeBounds = BackToFullSize(Scaled(now, static_cast<float>(1.0 / double(from))));
    }
    m_zoomedBounds = next;
    m_zoomMemo = true;
    // The new zoom first: what the kinds fit to their bounds is measured at it.
    m_zoomScale = scale;
    // Until the object is edited, what its layout makes of it is the zoom's doing.
    m_layoutIsZoomView = true;
    m_zoomStepping = true;
    SetBounds(next.Left, next.Top, next.Right - next.Left, next.Bottom - next.Top);
    BoundsChanged();
    m_zoomStepping = false;
}

void TGGraphicControl::SizeForLayout(const std::function<void()> &layout)
{
    if (m_sizingForLayout) { // within another: that one decides
        layout();
        return;
    }
    const TRect before = BoundsRect();
    const bool zoomView = m_layoutIsZoomView && m_zoomMemo && m_zoomScale != 0.0f &&
                          m_zoomScale != 1.0f && before == m_zoomedBounds;
    m_sizingForLayout = true;
    layout();
    m_sizingForLayout = false;
    if (zoomView) {
        // The full size stays; this is what the zoom shows of it.
        m_zoomedBounds = BoundsRect();
        return;
    }
    // One report for the whole layout, and none if it ends where it began.
    if (BoundsRect() != before)
        ReportChange();
}

void TGGraphicControl::BoundsChanged()
{
    DropPrintPreparation();
    if (m_checkingBounds)
        return;
    m_checkingBounds = true;
    const TRect now = BoundsRect();
    if (m_lastBounds.IsZero())
        m_lastBounds = now;
    if (now != m_lastBounds) {
        if (!m_sizingForLayout)
            ReportChange();
        m_lastBounds = now;
        if (m_parent)
            m_parent->PostSelectionRefresh();
    }
    m_checkingBounds = false;
}

void TGGraphicControl::Loaded()
{
    TStoredObject::Loaded();
    // The bounds as read are where the object starts: the first move after
    // opening a design is a change like any other.
    m_lastBounds = BoundsRect();
}

void TGGraphicControl::MoveBy(int dx, int dy)
{
    SetTop(Top() + dy);
    SetLeft(Left() + dx);
}

QWidget *TGGraphicControl::DialogParent() const
{
    if (m_parent)
        return m_parent->Widget()->window();
    for (QObject *o = Owner(); o; o = o->parent())
        if (o->isWidgetType())
            return static_cast<QWidget *>(o)->window();
    return nullptr;
}

TPropertyTable TGGraphicControl::BaseProperties()
{
    using T = TGGraphicControl;
    using namespace props;
    return {
        NeverStored(String<T>(QStringLiteral("Name"), &T::Name, &T::SetName)),
        Integer<T>(QStringLiteral("Tag"), &T::Tag, &T::SetTag, 0),
        Integer<T>(QStringLiteral("Left"), &T::StoredLeft, &T::SetLeft),
        Integer<T>(QStringLiteral("Top"), &T::StoredTop, &T::SetTop),
        Integer<T>(QStringLiteral("Width"), &T::StoredWidth, &T::SetWidth),
        Integer<T>(QStringLiteral("Height"), &T::StoredHeight, &T::SetHeight),
        Integer<T>(QStringLiteral("Cursor"), &T::CursorId, &T::SetCursorId, 0,
                   TIdentifierTable::Cursor),
        String<T>(QStringLiteral("Hint"), &T::Hint, &T::SetHint),
        Boolean<T>(QStringLiteral("Locked"), &T::Locked, &T::SetLocked),
        Boolean<T>(QStringLiteral("Unselectable"), &T::Unselectable, &T::SetUnselectable),
    };
}

const TPropertyTable &TGGraphicControl::PropertyTable() const
{
    static const TPropertyTable table = BaseProperties();
    return table;
}

void TGGraphicControl::RefreshMenu() {}

void TGGraphicControl::AssignFont(const QFont &, std::optional<TColor>) {}

void TGGraphicControl::PrintTo(TBaseReport *, double, double) {}

void TGGraphicControl::Paint(QPainter &) {}

void TGGraphicControl::ReportChange()
{
    // An edit (a font, a caption, a move): the layout that follows is its
    // doing, and the size it gives is the object's own.
    if (!m_zoomStepping && !m_sizingForLayout)
        m_layoutIsZoomView = false;
    if (TCardModel *model = Model())
        model->ReportChange(this);
}

namespace {

// The squares of a selected object: the four corners, then the four middles
// that only a single selection shows. Each is 5 x 5 pixels, reaching 2 pixels
// outside the bounds.
std::array<QRect, 8> SquaresAround(const TRect &bounds)
{
    const TRect r = bounds.Grown(2);
    const int mx = r.Left + static_cast<int>((r.Right - r.Left) * 0.5);
    const int my = r.Top + static_cast<int>((r.Bottom - r.Top) * 0.5);
    return {QRect(r.Left, r.Top, 5, 5),
            QRect(r.Right - 5, r.Top, 5, 5),
            QRect(r.Right - 5, r.Bottom - 5, 5, 5),
            QRect(r.Left, r.Bottom - 5, 5, 5),
            QRect(mx - 2, r.Top, 5, 5),
            QRect(mx - 2, r.Bottom - 5, 5, 5),
            QRect(r.Left, my - 2, 5, 5),
            QRect(r.Right - 5, my - 2, 5, 5)};
}

} // namespace

void TGGraphicControl::DrawSelectionSquares(QPainter &canvas, const QColor &color,
                                            bool alone) const
{
    const std::array<QRect, 8> squares = SquaresAround(BoundsRect());
    for (int i = 0; i < (alone ? 8 : 4); ++i)
        canvas.fillRect(squares[size_t(i)], color);
}

QRegion TGGraphicControl::SelectionSquaresArea() const
{
    QRegion area;
    for (const QRect &square : SquaresAround(BoundsRect()))
        area += square;
    return area;
}

QRect TGGraphicControl::PaintedArea() const
{
    // Normalized, so that the squares of an object turned inside out by a
    // damaged file are covered too.
    QRect area = BoundsRect().Grown(3).ToQRect().normalized();
    for (const QRect &square : SquaresAround(BoundsRect()))
        area |= square;
    return area;
}

void TGGraphicControl::Repaint()
{
    // What shows has changed, and so would what prints.
    DropPrintPreparation();
    if (m_parent)
        m_parent->Widget()->update(PaintedArea());
}

TDesignHistory *TGGraphicControl::History() const
{
    return Model() ? Model()->History() : nullptr;
}

QAction *TGGraphicControl::AddMenuItem(const QString &caption, std::function<void()> action)
{
    QAction *item = m_objectMenu->addAction(caption);
    // Each item is a command of its own undo step, named after it.
    QObject::connect(item, &QAction::triggered, this, [this, caption, action] {
        const TUndoStep step(History(), TDesignHistory::NameOfCaption(caption));
        action();
    });
    return item;
}

void TGGraphicControl::AddMenuSeparator()
{
    m_objectMenu->addSeparator();
}

QList<QAction *> TGGraphicControl::AddChoiceMenu(const QString &caption,
                                                 const QList<std::pair<QString, int>> &choices,
                                                 std::function<void(int)> choose)
{
    QMenu *submenu = m_objectMenu->addMenu(caption);
    QList<QAction *> items;
    for (const auto &[text, value] : choices) {
        QAction *item = submenu->addAction(text);
        item->setCheckable(true);
        item->setData(value);
        const int chosen = value; // clang before 16 cannot capture a structured binding
        QObject::connect(item, &QAction::triggered, this, [this, caption, choose, chosen] {
            const TUndoStep step(History(), TDesignHistory::NameOfCaption(caption));
            choose(chosen);
        });
        items.append(item);
    }
    return items;
}

void TGGraphicControl::TickChoices(const QList<QAction *> &items, int current)
{
    for (QAction *item : items)
        item->setChecked(item->data().toInt() == current);
}

QMenu *TGGraphicControl::ObjectMenu() const
{
    if (!m_objectMenu && m_menuWanted)
        const_cast<TGGraphicControl *>(this)->BuildObjectMenu();
    return m_objectMenu;
}

QAction *TGGraphicControl::LockedMenuItem() const
{
    ObjectMenu();
    return m_lockedMenuItem;
}

void TGGraphicControl::BuildObjectMenu()
{
    m_objectMenu = new QMenu;
    m_objectMenu->setObjectName(QStringLiteral("ObjectMenu"));
    QObject::connect(m_objectMenu, &QMenu::aboutToShow, this, [this] { RefreshMenu(); });
    AddMenuItem(tr("Bring To Front"), [this] { BringToFront(); });
    AddMenuItem(tr("Send To Back"), [this] { SendToBack(); });
    AddMenuItem(tr("Cut"), [this] { CutObject(); });
    AddMenuItem(tr("Copy"), [this] { CopyObject(); });
    AddMenuItem(tr("Delete"), [this] { DeleteObject(); });
    AddMenuItem(tr("Clone"), [this] { CloneObject(); });
    AddMenuSeparator();
    m_lockedMenuItem = AddMenuItem(tr("Locked"), [this] { ToggleLocked(); });
    m_lockedMenuItem->setCheckable(true);
    m_lockedMenuItem->setChecked(m_locked);
    AddMenuItem(tr("Unselectable"), [this] { MarkUnselectable(); });
    AddMenuSeparator();
    AddMenuItem(tr("Center Vertically"), [this] { CenterVertically(); });
    AddMenuItem(tr("Center Horizontally"), [this] { CenterHorizontally(); });
}

void TGGraphicControl::PopupObjectMenu(const QPoint &globalPos)
{
    if (QMenu *menu = ObjectMenu())
        menu->popup(globalPos);
}

void TGGraphicControl::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (OnMouseDown)
        OnMouseDown(this, button, shift, x, y);
}

void TGGraphicControl::MouseMove(Qt::KeyboardModifiers shift, int x, int y)
{
    if (OnMouseMove)
        OnMouseMove(this, shift, x, y);
}

void TGGraphicControl::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y)
{
    if (OnMouseUp)
        OnMouseUp(this, button, shift, x, y);
}

void TGGraphicControl::DblClick()
{
    if (OnDblClick)
        OnDblClick(this);
}

void TGGraphicControl::MouseLeave()
{
    if (m_parent)
        m_parent->SetScreenCursor(m_parent->Pointing() ? crDefault : crDrag);
}

void TGGraphicControl::BringToFront()
{
    ReportChange();
    if (m_parent)
        m_parent->BringObjectToFront(this);
}

void TGGraphicControl::SendToBack()
{
    ReportChange();
    if (!m_parent)
        return;
    m_parent->SendObjectToBack(this);
    m_parent->ClearSelection();
}

void TGGraphicControl::CutObject()
{
    ReportChange();
    if (m_parent)
        m_parent->ObjectClipboardCommand(this, 0);
}

void TGGraphicControl::CopyObject()
{
    if (m_parent)
        m_parent->ObjectClipboardCommand(this, 1);
}

void TGGraphicControl::DeleteObject()
{
    ReportChange();
    if (m_parent)
        m_parent->ObjectClipboardCommand(this, 3);
}

void TGGraphicControl::ToggleLocked()
{
    m_locked = !m_locked;
    if (m_lockedMenuItem)
        m_lockedMenuItem->setChecked(m_locked);
    ReportChange();
}

void TGGraphicControl::MarkUnselectable()
{
    SetUnselectable(true);
    ReportChange();
    if (m_parent)
        m_parent->Deselect(this);
}

void TGGraphicControl::CenterVertically()
{
    if (!m_parent)
        return;
    SetTop(m_parent->Widget()->height() / 2 - m_height / 2);
    ReportChange();
    // The move has asked for its own repaint, of the old and new place only.
    QCoreApplication::processEvents();
}

void TGGraphicControl::CenterHorizontally()
{
    if (!m_parent)
        return;
    SetLeft(m_parent->Widget()->width() / 2 - m_width / 2);
    ReportChange();
    // The move has asked for its own repaint, of the old and new place only.
    QCoreApplication::processEvents();
}

QString TGGraphicControl::TrimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

void TGGraphicControl::CloneObject()
{
    if (m_parent)
        m_parent->CloneObject(this);
}

// ---- What the kinds share: creation size, setters, printing -----------------

void TGGraphicControl::SetCreationBounds(int width, int height)
{
    SetLoading(true);
    SetBounds(0, 0, width, height);
    SetLoading(false);
}

void TGGraphicControl::DesignChanged()
{
    DropPrintPreparation();
    if (IsLoading())
        return;
    Repaint();
    ReportChange();
}

QRect TGGraphicControl::PrintRect(const TBaseReport &report, double x, double y) const
{
    const double ppi = ScreenPixelsPerInch();
    return report.InchRect(x + Left() / ppi, y + Top() / ppi, x + (Left() + Width()) / ppi,
                           y + (Top() + Height()) / ppi);
}

void TGGraphicControl::EndPrintJob()
{
    m_printJob = false;
    DropPrintPreparation();
}

void TGGraphicControl::DropPrintPreparation()
{
    m_printPicture.reset();
}

void TGGraphicControl::PrintRecordedPicture(TBaseReport *report, double x, double y,
                                            const std::function<void(QPainter &)> &draw)
{
    if (!report)
        return;
    UpdateLayout();
    if (Width() <= 0 || Height() <= 0)
        return;
    const QSizeF size(Width(), Height());
    QPainter *page = report->BeginPlacedFromPage(PrintRect(*report, x, y), size);
    if (!page)
        return;
    if (!m_printPicture) {
        auto picture = std::make_unique<QPicture>();
        {
            QPainter painter(picture.get());
            // The clip goes into the picture and takes the place of the
            // card's when it is played: the object's bounds within the card.
            const QRectF clip = report->PlacedClipRect(QRectF(QPointF(0, 0), size));
            if (clip == QRectF(QPointF(0, 0), size))
                painter.setClipRect(0, 0, Width(), Height());
            else
                painter.setClipRect(clip);
            draw(painter);
        }
        picture->setBoundingRect(QRect(0, 0, Width(), Height()));
        m_printPicture = std::move(picture);
    }
    PlayPicture(*page, *m_printPicture);
    report->EndPlaced();
    if (!m_printJob)
        m_printPicture.reset();
}

QList<TGGraphicControl *> CardObjects(const QList<TStoredObject *> &objects)
{
    QList<TGGraphicControl *> cards;
    cards.reserve(objects.size());
    for (TStoredObject *object : objects)
        if (auto *card = qobject_cast<TGGraphicControl *>(object))
            cards.append(card);
    return cards;
}
