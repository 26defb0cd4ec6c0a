#pragma once

#include "document/Groups.h"
#include "surface/GGraphc.h"

#include <QStringList>

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
    void SetShape(TShapeType shape);

    const TPropertyTable &PropertyTable() const override;
    void Paint(QPainter &painter) override;

private:
    void GroupChanged();

    bool m_transparent = false;
    TGBrush m_brush;
    TGPen m_pen;
    int m_roundPerc = 25;
    TShapeType m_shape = stRectangle;
    bool m_quietGroups = false; // a setter reports the group change itself
};
