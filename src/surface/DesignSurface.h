#pragma once

#include "graphics/Geometry.h"

#include <QFont>
#include <Qt>

class QWidget;
class TDesignHistory;
class TGGraphicControl;
class TTickClock;

// The design surface as the objects on it and its handles see it. The objects
// ask it to repaint, to drop them from the selection or to run a command of
// their menu; the handles ask it for the cursor, the capture and the dotted
// frame. The surface widget implements it, so neither the objects nor the
// handles depend on the widget class, which depends on both of them.
class TDesignSurface
{
public:
    virtual ~TDesignSurface() = default;

    // The widget: for repaints, its size, screen positions and dialog parents.
    virtual QWidget *Widget() = 0;

    // ---- the selection (held by the handles)
    virtual void Deselect(TGGraphicControl *object) = 0;
    virtual void ClearSelection() = 0;
    // Refits the handles once the input being handled is done.
    virtual void PostSelectionRefresh() = 0;

    // ---- the objects (held by the model)
    virtual void InsertObject(TGGraphicControl *object) = 0;
    virtual void RemoveObject(TGGraphicControl *object) = 0;
    virtual void BringObjectToFront(TGGraphicControl *object) = 0;
    virtual void SendObjectToBack(TGGraphicControl *object) = 0;
    // The commands of an object's menu that act on the card: cut (0), copy
    // (1), delete (3) and clone.
    virtual void ObjectClipboardCommand(TGGraphicControl *object, int code) = 0;
    virtual void CloneObject(TGGraphicControl *object) = 0;

    // ---- input
    virtual bool Pointing() const = 0;
    virtual void SetScreenCursor(int id) = 0;
    // The default font for new text.
    virtual QFont SurfaceFont() const = 0;
    virtual TTickClock *Clock() const = 0;
    // The card's undo history; null when it has none.
    virtual TDesignHistory *History() const = 0;

    // ---- what the handles drive
    virtual void SetHandlesFocus(bool focus) = 0;
    virtual void SetHandlesCapture(bool capture) = 0;
    // Draws the dotted frame, or erases it when it is already shown.
    virtual void DrawXorFrame(const TRect &rect) = 0;
    // Sends a press or release to the object under the point, or to the surface itself.
    virtual void ForwardMouse(bool release, Qt::MouseButton button, int x, int y) = 0;
};
