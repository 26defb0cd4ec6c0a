#pragma once

#include "document/Groups.h"
#include "surface/GGraphc.h"

#include <QStringList>
#include <array>

class QAction;
class QMenu;
class QPen;

// What the shape and the line share: the drawn pen width, the screen pen and
// the "Line Thickness" submenu.
namespace shapes {
// A pen width read from a damaged file can be any integer; it is drawn within
// 0..MaxDrawnPenWidth (the stored value itself is kept and written back).
constexpr int MaxDrawnPenWidth = 100;
int DrawnPenWidth(int stored);
// The stored width at zoom `scale`, rounded half to even; the shape keeps at
// least one pixel for a non-zero pen, the line does not.
int ZoomedPenWidth(int stored, float scale, bool keepOnePixel);
// A screen pen of that many pixels (0: the thinnest line) in the colour,
// style and mode of `pen`; it draws nothing for psClear and pmNop.
QPen ScreenPen(const TGPen &pen, int width);
// Sets the painter's composition for raster pen modes the device offers.
void ApplyScreenPenMode(QPainter &painter, TPenMode mode);
// Ten items "1 Point" .. "10 Point", tagged 1..10; `choose` gets the number.
std::array<QAction *, 10> AddThicknessMenu(QMenu *menu, const QString &title,
                                           const std::function<void(int)> &choose);
// Ticks the item whose number equals the width (none above 10).
void TickThickness(const std::array<QAction *, 10> &items, int width);
} // namespace shapes

// A rectangle, rounded rectangle or ellipse inside the object's bounds, with an
// outline pen and a fill brush.
class TGLabelShapes : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    // The square and circle kinds draw like their partners; the bounds decide
    // the proportions.
    enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
    static const QStringList &ShapeTypeIdentifiers();

    explicit TGLabelShapes(QObject *owner = nullptr);

    // True leaves the inside unfilled; it moves the brush style with it
    // (bsClear / bsSolid).
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value);

    TGBrush *Brush() { return &m_brush; }
    void SetBrush(const TGBrush &brush); // copies every attribute
    TGPen *Pen() { return &m_pen; }
    void SetPen(const TGPen &pen);

    // Corner rounding of the rounded kinds, in percent of the longer side. Any
    // integer is kept; 0 gives square corners.
    int RoundPerc() const { return m_roundPerc; }
    void SetRoundPerc(int percent) { StoreDesignValue(m_roundPerc, percent); }

    TShapeType Shape() const { return m_shape; }
    bool FillsToItsEdges() const override { return m_shape == stRectangle; }
    void SetShape(TShapeType shape);

    const TPropertyTable &PropertyTable() const override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void RefreshMenu() override;

    // The menu's actions (the colour ones ask with the standard colour dialog).
    void ChooseBackgroundColor();
    void ChooseLineColor();
    void SetThicknessFromMenu(int width);
    void ToggleTransparent();

protected:
    void BuildObjectMenu() override;

private:
    void GroupChanged();
    void SetBackgroundColor(TColor color);

    bool m_transparent = false;
    TGBrush m_brush;
    TGPen m_pen;
    int m_roundPerc = 25;
    TShapeType m_shape = stRectangle;
    bool m_quietGroups = false; // a setter reports the group change itself
    QAction *m_transparentItem = nullptr;
    std::array<QAction *, 10> m_thicknessItems{};
};
