#pragma once

#include "document/StoredObject.h"
#include "graphics/Colors.h"
#include "graphics/Geometry.h"

#include <QObject>
#include <QPointer>
#include <QRegion>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

#include <QMenu>

class QAction;
class QFont;
class QPainter;
class QPicture;
class QWidget;
class TBaseReport;
class TDesignSurface;
class QColor;
class TDesignHistory;

// The frame that several kinds draw round themselves, stored as "BorderStyle".
enum TBorderStyle { bsNone, bsSingle };
// "bsNone", "bsSingle".
const QStringList &BorderStyleIdentifiers();

// The base of every object that can be placed on a card. Objects are not
// widgets: the design surface keeps them in its painting order, paints them
// into their bounds and routes the mouse to them by hit test.
class TGGraphicControl : public TStoredObject
{
    Q_OBJECT

public:
    // Bounds are kept within plus or minus this many pixels.
    static constexpr int MaxCoordinate = 1 << 24;

    // The common base of the card object kinds; the kind registry stops here.
    using KindRoot = TGGraphicControl;
    // Kinds name the border style as their own (TGImage::bsSingle).
    using TBorderStyle = ::TBorderStyle;
    using enum ::TBorderStyle;

    using MouseButtonHandler = std::function<void(TGGraphicControl *sender, Qt::MouseButton button,
                                                  Qt::KeyboardModifiers shift, int x, int y)>;
    using MouseMoveHandler = std::function<void(TGGraphicControl *sender,
                                                Qt::KeyboardModifiers shift, int x, int y)>;
    using NotifyHandler = std::function<void(TGGraphicControl *sender)>;

    // The owner frees the object and keeps its name unique (the main window).
    explicit TGGraphicControl(QObject *owner = nullptr);
    ~TGGraphicControl() override;

    // Bounds, in surface pixels at the current zoom.
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    TRect BoundsRect() const { return TRect::FromBounds(m_left, m_top, m_width, m_height); }
    // The bounds at 100 %, as zooming the card back to full size would set them.
    TRect FullSizeBounds() const;
    // The bounds a record written now stores: the bounds as they are, or
    // those at 100 % while a TFullSizeRecords is alive.
    TRect RecordBounds() const;
    int StoredLeft() const { return RecordBounds().Left; }
    int StoredTop() const { return RecordBounds().Top; }
    int StoredWidth() const { return RecordBounds().Width(); }
    int StoredHeight() const { return RecordBounds().Height(); }
    void SetLeft(int v) { SetBounds(v, m_top, m_width, m_height); }
    void SetTop(int v) { SetBounds(m_left, v, m_width, m_height); }
    void SetWidth(int v) { SetBounds(m_left, m_top, v, m_height); }
    void SetHeight(int v) { SetBounds(m_left, m_top, m_width, v); }
    // Sets all four at once; one bounds check follows a real change.
    void SetBounds(int left, int top, int width, int height);

    int Tag() const { return m_tag; }
    void SetTag(int tag) { m_tag = tag; }
    qint16 CursorId() const { return m_cursor; }
    void SetCursorId(qint16 cursor) { m_cursor = cursor; }
    QString Hint() const { return m_hint; }
    void SetHint(const QString &hint) { m_hint = hint; }
    // What the surface shows when the mouse rests on the object; empty for nothing.
    virtual QString ToolTipText() const { return QString(); }

    bool Locked() const { return m_locked; }
    void SetLocked(bool value);
    bool Unselectable() const { return m_unselectable; }
    void SetUnselectable(bool value);

    bool Visible() const { return m_visible; }
    void SetVisible(bool visible);

    float ZoomScale() const { return m_zoomScale; }
    // Rescales the bounds from the current zoom to the new one.
    void SetZoomScale(float scale);
    // Takes the surface's zoom as it is, without rescaling (objects just read).
    void AdoptZoomScale(float scale) { m_zoomScale = scale; }

    // The surface that paints the object; null while the object is not placed.
    TDesignSurface *Parent() const { return m_parent; }
    // The undo history of the card the object is on; null for none.
    TDesignHistory *History() const;
    // Moves the object onto a surface (on top of its painting order).
    void SetParent(TDesignSurface *surface);
    // The surface lets the object go without being called back (it is
    // leaving the card, or the surface is going).
    void DetachFromSurface() { m_parent = nullptr; }
    // The window the object's dialogs belong to: the one showing its surface,
    // or else the first widget up its owner chain. Null when there is none.
    QWidget *DialogParent() const;

    // While reading from a stream (IsLoading), setters only store and bounds
    // are not checked. Kinds extend Loaded (base first) to rebuild what is
    // derived from their properties.
    void Loaded() override;
    void MoveBy(int dx, int dy) override;

    // The stored properties, base entries first.
    const TPropertyTable &PropertyTable() const override;
    // The entries every card object begins with; kinds append their own.
    static TPropertyTable BaseProperties();

    // Hooks of the kinds, called base first.
    virtual void BoundsChanged();
    virtual void RefreshMenu();
    // The surface's Font command: a font and, when the dialog chose one, its colour.
    virtual void AssignFont(const QFont &font, std::optional<TColor> color = std::nullopt);
    virtual void PrintTo(TBaseReport *report, double x, double y);
    // A plain fill that looks the same when it grows: where it reaches a card
    // edge, a print shop's page stretches it into the bleed beyond.
    virtual bool FillsToItsEdges() const { return false; }
    // A print job places the same objects at every card position: between
    // these two calls an object may keep what it prepared at its first
    // position (a recorded drawing, its text's font and metrics) for the
    // others. Any change of the object drops it, and so does the job's end.
    void BeginPrintJob() { m_printJob = true; }
    void EndPrintJob();
    // Paints the object's content in its own coordinates (0, 0)-(Width, Height).
    virtual void Paint(QPainter &painter);
    // Brings what the object derives from its properties (its layout, and the
    // size the layout gives it) up to date. The surface and printing run it
    // before they clip to the object's bounds, so nothing is cut at the old size.
    virtual void UpdateLayout() {}
    // Runs a layout that sizes the object to what it shows, reported as one
    // change (none when the size ends where it began). At a zoom other than
    // 100 %, while the object has not been edited since the zoom, that size
    // is only the zoom's view of it: zooming back returns to the size it has
    // at 100 %, and the change is no edit (nothing to save, nothing to undo).
    void SizeForLayout(const std::function<void()> &layout);
    // Makes the object ready for use: its object menu is built when it is
    // first needed (a design of hundreds of objects would otherwise create
    // hundreds of menus that are never opened).
    void MakeReady() override { m_menuWanted = true; }

    void ReportChange();
    // Paints the selection squares onto the surface's canvas: all eight for
    // an object selected alone, the four corners for one of several.
    void DrawSelectionSquares(QPainter &surfaceCanvas, const QColor &color, bool alone) const;
    // Where the squares of the object lie when it is selected, alone or with others.
    QRegion SelectionSquaresArea() const;
    // What painting the object may touch on the surface: its bounds and its squares.
    QRect PaintedArea() const;
    // Asks the surface to paint the object (and its squares) again.
    void Repaint();

    QMenu *ObjectMenu() const;
    QAction *LockedMenuItem() const;
    // Opens the object menu at a global screen position, without blocking.
    void PopupObjectMenu(const QPoint &globalPos);

    // Run on a double-click while the object is the only one selected.
    std::function<void()> DoubleClickAction;

    // Mouse handlers installed by the surface; x and y are in object coordinates.
    MouseButtonHandler OnMouseDown;
    MouseMoveHandler OnMouseMove;
    MouseButtonHandler OnMouseUp;
    NotifyHandler OnDblClick;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void DblClick();
    void MouseLeave();

    // The commands of the object menu.
    void BringToFront();
    void SendToBack();
    void CutObject();
    void CopyObject();
    void DeleteObject();
    void CloneObject();
    void ToggleLocked();
    void MarkUnselectable();
    void CenterVertically();
    void CenterHorizontally();

    static QString TrimSpaces(const QString &text);

protected:
    // Builds the object menu; kinds call the base first, then append their items.
    virtual void BuildObjectMenu();
    // Adds an item to the object menu (kinds call it from BuildObjectMenu).
    QAction *AddMenuItem(const QString &caption, std::function<void()> action);
    void AddMenuSeparator();
    // A submenu of choices (caption, value), each ticked by TickChoices while
    // its value is the current one; picking one calls choose with its value.
    QList<QAction *> AddChoiceMenu(const QString &caption,
                                   const QList<std::pair<QString, int>> &choices,
                                   std::function<void(int)> choose);
    static void TickChoices(const QList<QAction *> &items, int current);

    // ---- What the kinds share: creation size, setters, printing ----------------
protected:
    // The size at 100 % of a kind whose size follows from its content alone
    // (a symbol's glyph); other kinds scale their zoomed size back.
    virtual std::optional<QSize> ContentSizeAtFullSize() const { return std::nullopt; }
    // Gives a new object its size; it is no move on the card, so the first
    // bounds check after placing it only records the bounds.
    void SetCreationBounds(int width, int height);

    // The end of every setter that changed the design: repaint and report,
    // except while the object is being read.
    void DesignChanged();
    // The usual setter: a value equal to the current one is ignored; else it
    // is stored, afterStore brings what derives from it up to date (also
    // while loading), and DesignChanged follows. True when the value changed.
    template <class V, class AfterStore>
    bool StoreDesignValue(V &field, const std::type_identity_t<V> &value, AfterStore &&afterStore)
    {
        if (field == value)
            return false;
        field = value;
        afterStore();
        DesignChanged();
        return true;
    }
    template <class V> bool StoreDesignValue(V &field, const std::type_identity_t<V> &value)
    {
        return StoreDesignValue(field, value, [] {});
    }

    // Prints what draw paints (object coordinates, clipped to the bounds and
    // the card) as a picture recorded at screen size and stretched into the
    // object's inch rectangle at (x, y) inches, so it keeps its look at any
    // resolution. Within a print job the picture is recorded once and
    // placed at every position.
    void PrintRecordedPicture(TBaseReport *report, double x, double y,
                              const std::function<void(QPainter &)> &draw);
    // The object's device rectangle on a card whose corner is at (x, y) inches.
    QRect PrintRect(const TBaseReport &report, double x, double y) const;
    bool InPrintJob() const { return m_printJob; }
    // Forgets what was prepared for printing; kinds that prepare more extend it.
    virtual void DropPrintPreparation();

private:
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    int m_tag = 0;
    qint16 m_cursor = 0;
    QString m_hint;
    bool m_locked = false;
    bool m_unselectable = false;
    bool m_visible = true;
    bool m_checkingBounds = false;
    bool m_menuWanted = false;
    float m_zoomScale = 1.0f;
    TRect m_lastBounds;
    // The bounds at 100 % and those derived from them at the current zoom:
    // while the object is not moved, zooming back gives exactly the 100 %
    // bounds, so saving at any zoom never shifts it.
    TRect BackToFullSize(const TRect &scaledBack) const;
    TRect m_fullSizeBounds;
    TRect m_zoomedBounds;
    bool m_zoomMemo = false;
    bool m_sizingForLayout = false; // within SizeForLayout
    bool m_zoomStepping = false;    // within SetZoomScale
    bool m_layoutIsZoomView = false; // zoomed since the last edit
    TDesignSurface *m_parent = nullptr;
    QPointer<QMenu> m_objectMenu;
    QAction *m_lockedMenuItem = nullptr;
    bool m_printJob = false;
    std::unique_ptr<QPicture> m_printPicture;
};

// The card objects among objects read from a design (all of a design's are).
QList<TGGraphicControl *> CardObjects(const QList<TStoredObject *> &objects);
