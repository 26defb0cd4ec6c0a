#pragma once

#include "graphics/Geometry.h"

#include <QList>
#include <QObject>
#include <QPoint>
#include <QRegion>
#include <functional>

class QMenu;
class QPainter;
class TDesignSurface;
class TGGraphicControl;

enum TGrabZone {
    gzMove,
    gzTopLeft,
    gzTopRight,
    gzBottomLeft,
    gzBottomRight,
    gzTop,
    gzLeft,
    gzBottom,
    gzRight
};

// The selection of the design surface and its frame: lies 2 pixels outside
// the selected objects on the left and top and 3 on the right and bottom,
// paints their squares and turns drags and arrow keys into moves and resizes.
class TGHandle : public QObject
{
    Q_OBJECT

public:
    struct Bounds
    {
        int left = 0, top = 0, width = 0, height = 0;
        bool IsZero() const { return left == 0 && top == 0 && width == 0 && height == 0; }
        bool operator==(const Bounds &) const = default;
    };
    using MouseButtonHandler = std::function<void(QObject *sender, Qt::MouseButton button,
                                                  Qt::KeyboardModifiers shift, int x, int y)>;
    using MouseMoveHandler = std::function<void(QObject *sender, Qt::KeyboardModifiers shift,
                                                int x, int y)>;
    using NotifyHandler = std::function<void(QObject *sender)>;
    using KeyHandler = std::function<void(int key, Qt::KeyboardModifiers shift)>;

    explicit TGHandle(TDesignSurface *surface);

    TDesignSurface *Surface() const { return m_surface; }

    // The handles' own bounds, in surface pixels.
    int Left() const { return m_left; }
    int Top() const { return m_top; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    TRect BoundsRect() const { return TRect::FromBounds(m_left, m_top, m_width, m_height); }
    // Repositions the frame and moves or resizes the selected objects that are not locked.
    void SetBounds(int left, int top, int width, int height);
    // Moves the frame alone.
    void SetOwnBounds(int left, int top, int width, int height);

    bool Visible() const { return m_visible; }
    bool Enabled() const { return m_enabled; }
    void SetVisible(bool visible);
    void SetEnabled(bool enabled) { m_enabled = enabled; }

    uint32_t Color() const { return m_color; }
    void SetColor(uint32_t color);
    uint32_t SecondaryColor() const { return m_secondaryColor; }
    void SetSecondaryColor(uint32_t color);
    int GridX() const { return m_gridX; }
    int GridY() const { return m_gridY; }
    void SetGridX(int step);
    void SetGridY(int step);
    bool SnapToGrid() const { return m_gridX > 1 || m_gridY > 1; }
    void SetSnapToGrid(bool on);

    QMenu *MenuOfSurface = nullptr;

    // Selection.
    void AddToSelection(TGGraphicControl *object);
    void RemoveFromSelection(TGGraphicControl *object);
    void ClearSelection();
    int SelectedCount() const { return m_selection.size(); }
    TGGraphicControl *SelectedObject(int index) const;
    int IndexOfSelected(const TGGraphicControl *object) const;
    const QList<TGGraphicControl *> &Selection() const { return m_selection; }
    void BringSelectionToFront();
    void SendSelectionToBack();
    void FitToSelection();
    bool HitsSelection(const QPoint &p) const;
    TGGraphicControl *SelectedObjectAt(const QPoint &p) const;

    Bounds ComputeDragBounds(int x, int y) const;
    void DrawDragOutline(int x, int y, bool show);
    int SnapX(int v) const;
    int SnapY(int v) const;
    void ForwardMouse(bool release, Qt::MouseButton button, int x, int y);

    // Input, x and y in the handles' own coordinates.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void DblClick();
    // Ends a drag without applying it and erases its outline: a popup menu or
    // a dialog has taken the mouse, and the release will not come here.
    void CancelDrag();
    // Notes a double-click handled elsewhere, so the next move ends any drag.
    void NoteDoubleClick() { m_doubleClicked = true; }
    void MouseLeave();
    void KeyDown(int key, Qt::KeyboardModifiers shift);
    void KeyUp(int key, Qt::KeyboardModifiers shift);
    // Whether the left button is down at the input being handled.
    void SetLeftButtonHeld(bool held) { m_leftButtonHeld = held; }

    // Paints the selection squares of every selected object on the surface's canvas.
    void Paint(QPainter &surfaceCanvas) const;
    // Where those squares lie.
    QRegion SquaresArea() const;
    // Asks the surface to repaint the squares, at their last and their present place.
    void Repaint();

    // Handlers the surface installs.
    MouseButtonHandler OnMouseDown;
    MouseMoveHandler OnMouseMove;
    MouseButtonHandler OnMouseUp;
    NotifyHandler OnDblClick;
    KeyHandler OnKeyDown;

    // State of the current gesture, readable for the surface and tests.
    uint32_t PressTick() const { return m_pressTick; }
    QPoint GrabPoint() const { return m_grabPoint; }
    TGrabZone GrabZone() const { return m_grabZone; }
    bool Dragging() const { return m_dragging; }
    bool NudgeActive() const { return m_nudgeActive; }
    TRect NudgeRect() const { return m_nudgeRect; }
    Bounds DragOutline() const { return m_dragOutline; }

private:
    // Names the undo step of the drag or nudge that moves or sizes the selection.
    void NameStep(bool resizing, bool nudge) const;
    uint32_t Now() const;
    TGrabZone ZoneAt(int x, int y, int *cursor) const;
    void FrameAround(const QList<TGGraphicControl *> &objects, int extra);
    void ClampToSurface(int &x, int &y) const;
    void GiveFocus();
    void ToggleNudgeOutline();

    TDesignSurface *m_surface;
    QRegion m_shownSquares;
    int m_left = 0, m_top = 0, m_width = 24, m_height = 24;
    bool m_visible = false;
    bool m_enabled = false;
    uint32_t m_pressTick = 0;
    QPoint m_grabPoint;
    TGrabZone m_grabZone = gzMove;
    bool m_dragging = false;
    bool m_nudgeActive = false;
    TRect m_nudgeRect;
    Bounds m_dragOutline;
    uint32_t m_color = 0;
    uint32_t m_secondaryColor = 8421504;
    int m_gridX = 1, m_gridY = 1;
    int m_storedGridX = 8, m_storedGridY = 8;
    QList<TGGraphicControl *> m_selection;
    bool m_doubleClicked = false;
    bool m_leftButtonHeld = false;
};
