#pragma once

#include "document/CardModel.h"
#include "document/DesignHistory.h"
#include "document/StoredObject.h"
#include "graphics/Geometry.h"
#include "graphics/Picture.h"
#include "surface/CardPainter.h"
#include "surface/DesignSurface.h"
#include "surface/GGraphc.h"

#include <QFont>
#include <QList>
#include <QPointer>
#include <QRegion>
#include <QSet>
#include <QWidget>
#include <functional>
#include <memory>

class QMenu;
class QMouseEvent;
class QAction;
class TGHandle;
class TTickClock;
class TBaseReport;


// The general design surface: it shows a card model (its objects in painting
// order and its background art), routes the mouse to the handles, the objects
// or itself, runs the rubber band and passes on every change the model hears
// of. Readers that paste or clone put what they read on it as on the model.
class TGBasePanel : public QWidget,
                    public TObjectHost,
                    public TDesignView,
                    public TDesignSurface
{
    Q_OBJECT

public:
    using DroppedObjectHandler = std::function<void(TGBasePanel *sender, const TRect &r)>;
    using NotifyHandler = std::function<void(QObject *sender)>;
    using KeyHandler = std::function<void(int key, Qt::KeyboardModifiers shift)>;

    // The posted event that refits the handles after the current input.
    static constexpr int SelectionRefreshMessage = 1066;

    explicit TGBasePanel(QWidget *parent = nullptr);
    ~TGBasePanel() override;

    // The card shown: a model of the surface's own until one is given. The
    // surface does not own a model it is given, which must outlive it or be
    // replaced first.
    TCardModel *Model() const { return m_model; }
    void SetModel(TCardModel *model);

    // The model's undo history; null when the card has none.
    TDesignHistory *History() const override { return m_model->History(); }

    // TDesignView: what undo asks of the surface.
    QStringList SelectedNames() const override;
    void SelectNamed(const QStringList &names) override;
    void ShowRestoredObject(TStoredObject *object) override;
    bool InputUnderWay() const override;
    uint32_t Now() const override;

    // The model's objects, bottom of the painting order first.
    const QList<TGGraphicControl *> &Objects() const { return m_objects; }
    int ObjectCount() const { return m_objects.size(); }
    QList<TStoredObject *> StoredObjects() const override;
    // Puts an object that the reader has just made on top of the painting order.
    void AdoptObject(TStoredObject *object) override;
    TGGraphicControl *ObjectAt(int index) const { return m_objects.value(index); }
    // The surface's children as the commands count them: the handles and the objects.
    int ControlCount() const { return m_objects.size() + 1; }
    void InsertObject(TGGraphicControl *object) override;
    void RemoveObject(TGGraphicControl *object) override;
    void BringObjectToFront(TGGraphicControl *object) override;
    void SendObjectToBack(TGGraphicControl *object) override;

    // The owner of the objects (the main window); the surface itself when none is set.
    QObject *Owner() const { return m_model->Owner(); }
    void SetOwner(QObject *owner) { m_model->SetOwner(owner); }

    TGHandle *Handles() const { return m_handles; }

    // TDesignSurface: what the objects and the handles ask of the surface.
    QWidget *Widget() override { return this; }
    void Deselect(TGGraphicControl *object) override;
    void ClearSelection() override;

    float ZoomScale() const { return m_zoomScale; }
    void SetZoom(float scale);
    bool Zooming() const { return m_zooming; }

    bool Pointing() const override { return m_pointing; }
    void SetPointing(bool pointing) { m_pointing = pointing; }
    TLabelShapeType Shape() const { return m_shape; }
    void SetShape(TLabelShapeType shape);
    // The card's corner radius in inches (a card stock's round corners; 0
    // square), shown at the zoom on a rectangular card.
    double CornerRadius() const { return m_cornerRadius; }
    void SetCornerRadius(double inches);
    TGridSize GridSize() const { return m_gridSize; }
    void SetGridSize(TGridSize size);
    bool ShowGrid() const { return m_showGrid; }
    void SetShowGrid(bool show);
    bool SnapToGrid() const { return m_snapToGrid; }
    void SetSnapToGrid(bool snap);
    bool DrawOutline() const { return m_drawOutline; }
    void SetDrawOutline(bool draw);
    // A print shop's guides, shown on screen only: the bleed round the card
    // (painted by the widget that holds the surface, with PaintBleed) and a
    // dashed safe line inside the card's edges; an object reaching over the
    // safe line gets a dashed warning frame, unless it is a plain fill that
    // reaches a card edge (the print shop's page stretches it into the
    // bleed). Sizes in inches, each at most an inch.
    bool PrintShopGuides() const { return m_printShopGuides; }
    void SetPrintShopGuides(bool on, double bleedInches = 0.125, double safeInches = 0.125);
    double BleedInches() const { return m_bleedInches; }
    double SafeInches() const { return m_safeInches; }
    // The bleed's width and the safe line's inset, in pixels at the zoom.
    int BleedPixels() const;
    int SafeInset() const;
    // Whether the guides show a warning frame round the object.
    bool CrossesSafeLine(const TGGraphicControl *object) const;
    // The bleed round the card, in the coordinates of the surface's parent,
    // which paints it before the card covers its middle.
    void PaintBleed(QPainter &parentPainter) const;
    bool Printing() const { return m_printing; }
    void SetPrinting(bool printing) { m_printing = printing; }
    bool Previewing() const { return m_previewing; }
    void SetPreviewing(bool previewing) { m_previewing = previewing; }

    TPicture &Picture() { return m_picture; }
    // The model's background art.
    TPicture &ColorPicture() { return m_model->BackgroundArt(); }
    void SetPicture(const TPicture &picture);
    void SetColorPicture(const TPicture &picture);

    // The default font for new text.
    QFont SurfaceFont() const override { return m_surfaceFont; }
    void SetSurfaceFont(const QFont &font) { m_surfaceFont = font; }

    QMenu *SurfaceMenu() const { return m_surfaceMenu; }
    QString ClipboardFile() const { return m_clipboardFile; }
    QString ScratchFile() const { return m_scratchFile; }
    // Removes the clipboard and scratch files. They sit in the per-user folder
    // that every copy of the program and the batch tool share, so only the
    // program's main window calls this, as the program ends.
    void DeleteTemporaryFiles();
    uint32_t LastPasteTick() const { return m_lastPasteTick; }

    DroppedObjectHandler DroppedObjectEvent;
    NotifyHandler LabelChangedEvent;
    NotifyHandler OnDblClick;
    KeyHandler OnKeyDown;

    // Clock of the timing rules; tests set their own.
    TTickClock *Clock() const override { return m_clock; }
    void SetClock(TTickClock *clock);

    // Mouse on the surface, in surface pixels.
    void SurfaceMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void SurfaceMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void SurfaceMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    // Handlers installed on the objects and the handles; x, y in the sender's coordinates.
    virtual void ObjectMouseDown(TGGraphicControl *object, Qt::MouseButton button,
                                 Qt::KeyboardModifiers shift, int x, int y);
    void ObjectMouseMove(QObject *sender, Qt::KeyboardModifiers shift, int x, int y);
    void ObjectMouseUp(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                       int x, int y);
    void ObjectDoubleClick(QObject *sender);
    void HandleMouseDown(QObject *sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                         int x, int y);

    TRect RubberBand() const { return m_rubberBand; }
    bool RubberBandActive() const { return m_rubberBandActive; }
    void SelectInRect(const TRect &rect);
    // Selects every object, in painting order.
    void SelectAll();
    // Clones every selected object; the copies are selected instead.
    void CloneSelection();
    // Draws the dotted frame, or erases it when it is already shown.
    void DrawXorFrame(const TRect &rect) override;
    const QList<TRect> &XorFrames() const { return m_xorFrames; }

    virtual void CreateObjectForTool(const TRect &rect);
    void PlaceObject(TGGraphicControl *object, const TRect &rect);
    QString UniqueName(const QString &prefix) const;
    void WireObject(TGGraphicControl *object);
    void RewireAll();

    void FireLabelChanged();
    void PostSelectionRefresh() override;

    // The keyboard commands (Ctrl+C, Ctrl+V, Ctrl+X, Delete).
    void KeyDownHandler(int key, Qt::KeyboardModifiers shift);

    // Surface commands.
    void UpdateSurfaceMenu();
    void ClipboardCommand(int code);
    void ObjectClipboardCommand(TGGraphicControl *object, int code) override;
    void DeleteAllObjects();
    void RemoveOutsideObjects();
    virtual void PrintObjects(TBaseReport *report, double x, double y);
    // Copies the object through the design format, 25 pixels lower.
    void CloneObject(TGGraphicControl *object) override;
    // Writes and reads the design file, with the bounds at zoom 1.0; errors of
    // the file reach the caller as EStreamError. Loading adds to the objects
    // already on the surface; a missing file loads nothing.
    void SaveToFile(const QString &path);
    void LoadFromFile(const QString &path);
    // Sets the background art from a picture file (false, and nothing changed,
    // when it cannot be read) or clears it. Neither repaints.
    bool LoadColorPicture(const QString &path);
    void ClearColorPicture();
    // Frees one object now, dropping it from the selection first.
    void FreeObject(TGGraphicControl *object);
    // Takes one object off the card and out of the selection now and frees it
    // once the input being handled is done: for commands of the object's own
    // menu, which is still delivering the command and goes with the object.
    void FreeObjectLater(TGGraphicControl *object);

    // The screen cursor, by its number.
    int ScreenCursor() const { return m_screenCursor; }
    void SetScreenCursor(int id) override;
    // Keyboard state at the input being handled.
    Qt::KeyboardModifiers LiveModifiers() const { return m_liveModifiers; }
    // Last mouse position seen, in surface pixels.
    QPoint MousePosition() const { return m_mousePos; }

    // Mouse capture: the handles keep it until a move without the left button.
    void SetHandlesCapture(bool capture) override;
    bool HandlesHaveCapture() const;
    // A press on the card has not been released yet: a drag, a resize, a
    // rubber band or a placing is under way.
    bool GestureUnderWay() const;
    // Ends the gesture under way (capture, rubber band, the handles' drag)
    // without finishing it: a popup menu or a dialog has taken the mouse, and
    // the release will not reach the card.
    void EndMouseCapture();
    // Sends a press or release to the object under the point, or to the surface itself.
    void ForwardMouse(bool release, Qt::MouseButton button, int x, int y) override;
    // Keyboard focus on the handles (arrow keys go to them first).
    void SetHandlesFocus(bool focus) override;
    bool HandlesHaveFocus() const { return m_handlesFocus; }

    // Paints the card background (white, pictures, outline, grid) at the
    // current size, or only the given part of it (an image of that part's size).
    QImage RenderBackground(const QRect &exposed = QRect()) const;
    // The card's shape, outline, grid and pictures as the surface shows them.
    TCardLook Look() const;
    // The card as painted, with objects, squares, frames and guides: what the
    // widget shows (without the selection: the objects on the card alone);
    // with an exposed region, only what lies in it (the rest of the painter's
    // target is left as it was).
    void PaintCard(QPainter &painter, bool withSelection, const QRegion &exposed = QRegion()) const;
    // What a frame drawn by DrawXorFrame covers on the surface.
    static QRegion XorFrameArea(const TRect &rect);

Q_SIGNALS:
    void objectsChanged();
    // The guides were switched, or their sizes changed: what holds the
    // surface repaints the bleed and makes room for it.
    void guidesChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // The surface menu, built once; its items are enabled as it opens.
    void BuildSurfaceMenu();
    struct MouseTarget
    {
        enum Kind { None, Surface, Handles, Object } kind = None;
        QPointer<TGGraphicControl> object;
        bool operator==(const MouseTarget &o) const
        {
            return kind == o.kind && object == o.object;
        }
    };
    MouseTarget HitTest(const QPoint &pos, bool includeHandles) const;
    // Notes the event's keys, position and left button, and says who gets
    // it: whoever holds the capture, or what lies under the mouse.
    MouseTarget TakeMouseEvent(const QMouseEvent &event);
    void DeliverPress(const MouseTarget &target, Qt::MouseButton button,
                      Qt::KeyboardModifiers shift, const QPoint &pos);
    void DeliverMove(const MouseTarget &target, Qt::KeyboardModifiers shift, const QPoint &pos);
    void DeliverRelease(const MouseTarget &target, Qt::MouseButton button,
                        Qt::KeyboardModifiers shift, const QPoint &pos);
    void UpdateHover(const MouseTarget &target);
    QPoint SenderOrigin(QObject *sender) const;
    void PopupMenuAt(QMenu *menu, const QPoint &surfacePos);
    // Ends the capture when the input just handled opened a popup menu or ran a dialog.
    void EndCaptureIfTakenOver(int takeoversBefore);
    void Align(int how);
    // Frees the selected objects, last selected first, reporting each; later
    // (FreeObjectLater) when the command came from an object's menu.
    void DeleteSelection(bool later);
    void RunClipboardCommand(int code, bool freeLater);
    // Centres each selected object on the card, vertically or horizontally.
    void CenterSelection(bool vertically);
    // Runs the action on each object of the selection as it is now that is
    // still on the card; false when the surface itself went meanwhile.
    bool ForEachSelected(const std::function<void(TGGraphicControl *)> &action);
    void ChooseFontForSelection();
    // Erases every frame drawn with DrawXorFrame.
    void ClearXorFrames();
    // The background at the current size, rendered when something it shows
    // has changed; null for a card too large to keep whole.
    const QImage *CachedBackground() const;
    // Drops the kept background and repaints the card.
    void BackgroundChanged();
    // The safe line and the warning frames of the objects that cross it.
    void PaintGuides(QPainter &painter, const QRegion &exposed) const;

    // What the model's signals tell the surface.
    void ModelObjectInserted(TStoredObject *object);
    void ModelObjectRemoved(TStoredObject *object);
    void ModelOrderChanged();
    void ModelObjectChanged();
    void ModelLoadingStarted();
    void ModelLoadingFinished();

    TCardModel *m_ownModel = nullptr;
    TCardModel *m_model = nullptr;
    QList<QMetaObject::Connection> m_modelConnections;
    // The step of the mouse gesture under way (a press to its release).
    bool m_gestureStepOpen = false;
    void BeginGestureStep();
    void EndGestureStep();
    // The model's objects as the card objects they are, in the same order:
    // painting and hit testing walk this list.
    QList<TGGraphicControl *> m_objects;
    float m_zoomBeforeLoading = 1.0f;
    int m_loadingDepth = 0;
    TGHandle *m_handles = nullptr;
    TTickClock *m_clock = nullptr;
    float m_zoomScale = 1.0f;
    bool m_pointing = true;
    TLabelShapeType m_shape = lsRoundRect;
    double m_cornerRadius = 0.0;
    bool m_rubberBandActive = false;
    TGridSize m_gridSize = gs4x4;
    bool m_showGrid = false;
    bool m_snapToGrid = false;
    bool m_printing = false;
    bool m_drawOutline = true;
    bool m_printShopGuides = false;
    double m_bleedInches = 0.125;
    double m_safeInches = 0.125;
    bool m_zooming = false;
    bool m_selectionRefreshPosted = false; // a refit of the handles is on its way
    bool m_previewing = false;
    uint32_t m_lastPasteTick = 0;
    TPicture m_picture;
    QFont m_surfaceFont;
    QMenu *m_surfaceMenu = nullptr;
    QList<QAction *> m_selectionItems;
    QAction *m_pasteItem = nullptr;
    QAction *m_lockAllItem = nullptr;
    QAction *m_unlockAllItem = nullptr;
    QString m_clipboardFile;
    QString m_scratchFile;
    TRect m_rubberBand;
    QList<TRect> m_xorFrames;
    // The whole background as last painted, kept while nothing it shows changes.
    mutable QImage m_background;
    mutable bool m_backgroundValid = false;
    int m_screenCursor = 0;
    Qt::KeyboardModifiers m_liveModifiers;
    QPoint m_mousePos;
    MouseTarget m_capture;
    MouseTarget m_hover;
    bool m_handlesFocus = false;
    // Counts the times a popup menu or a dialog took the mouse.
    int m_takeovers = 0;
};

// Brings the surface to 100 % for the length of a piece of work that needs the
// bounds as stored (saving, loading, printing) and back afterwards, also when
// the work fails. A null surface is left alone.
class TZoomAtFullSize
{
public:
    explicit TZoomAtFullSize(TGBasePanel *surface);
    ~TZoomAtFullSize();
    TZoomAtFullSize(const TZoomAtFullSize &) = delete;
    TZoomAtFullSize &operator=(const TZoomAtFullSize &) = delete;

private:
    TGBasePanel *m_surface;
    float m_zoom;
};
