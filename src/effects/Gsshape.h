#pragma once

#include "document/Groups.h"
#include "effects/SurfaceFill.h"
#include "graphics/Colors.h"
#include "surface/GGraphc.h"

#include <QImage>
#include <QStringList>

// A figure with an optional drop shadow, a fill (solid colour, tiled texture
// or gradient) and an outline, inset in the object's bounds so that the shadow
// and a thick outline stay inside them.
class TSuperShape : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    enum TGPShapeType {
        gstRectangle,
        gstRoundRect,
        gstEllipse,
        gstDiamond,
        gstStar,
        gstTriangleLeft,
        gstTriangleRight,
        gstTriangleUp,
        gstTriangleDown,
        gstPolyGon
    };
    // The shape's own surface types; the super text has a different set.
    enum TSurfaceType { stBrushTransparent, stBrushPattern, stBrushImage, stGradientFill };
    enum TShadowOrient { soNone, soLowerRight, soUpperRight, soUpperLeft, soLowerLeft };
    static const QStringList &ShapeTypeIdentifiers();
    static const QStringList &SurfaceTypeIdentifiers();
    static const QStringList &ShadowOrientIdentifiers();
    // The pen and brush styles of the outline and pattern properties (the
    // super text stores its outline style with the same identifiers).
    static const QStringList &PenStyleIdentifiers();
    static const QStringList &BrushStyleIdentifiers();

    explicit TSuperShape(QObject *owner = nullptr);

    // The solid fill colour and the gradient's from-colour.
    TColor BackColor() const { return m_fill.FromColor(); }
    void SetBackColor(TColor color);
    TFillDirection FillDirection() const { return m_fill.Direction(); }
    void SetFillDirection(TFillDirection direction) { m_fill.SetDirection(direction); }
    // Kept and copied; nothing drawn depends on it.
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor color);
    TColor GradientToColor() const { return m_fill.ToColor(); }
    void SetGradientToColor(TColor color) { m_fill.SetToColor(color); }

    // The texture of stBrushImage.
    TGBitmap *Image() { return m_fill.Image(); }
    const TGBitmap &ImageBitmap() const { return m_fill.ImageBitmap(); }
    void SetImage(const TGBitmap *bitmap) { m_fill.SetImage(bitmap); } // null empties it

    // How far a star's inner points are pulled in, percent of the outer
    // radius: 0 to 100.
    int InVectorPercent() const { return m_inVectorPercent; }
    void SetInVectorPercent(int percent);

    TColor OutlineColor() const { return m_outlineColor; }
    void SetOutlineColor(TColor color) { StoreDesignValue(m_outlineColor, color); }
    TPenStyle OutlineStyle() const { return m_outlineStyle; } // psClear: no outline
    void SetOutlineStyle(TPenStyle style);
    int OutlineWidth() const { return m_outlineWidth; }
    void SetOutlineWidth(int width) { StoreDesignValue(m_outlineWidth, width); }

    // Kept and copied; nothing drawn depends on it.
    TBrushStyle Pattern() const { return m_pattern; }
    void SetPattern(TBrushStyle pattern);

    int RoundPerc() const { return m_roundPerc; }
    void SetRoundPerc(int percent) { StoreDesignValue(m_roundPerc, percent); }

    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor color);
    // Shadow offset in pixels at zoom 1.
    int ShadowDepth() const { return m_shadowDepth; }
    void SetShadowDepth(int depth);
    TShadowOrient ShadowOrient() const { return m_shadowOrient; }
    void SetShadowOrient(TShadowOrient orient);

    // Choosing gstStar brings back a usable star: InVectorPercent 0 becomes
    // 50, fewer than 10 Vectors become 10 and the StartingAngle becomes 90.
    TGPShapeType Shape() const { return m_shape; }
    void SetShape(TGPShapeType shape);

    // Angle of the first star or polygon point, degrees 0 to 359.
    int StartingAngle() const { return m_startingAngle; }
    void SetStartingAngle(int degrees);

    TSurfaceType SurfaceType() const { return m_surfaceType; }
    void SetSurfaceType(TSurfaceType type);

    // Points of the star or polygon outline, 3 to 60.
    int Vectors() const { return m_vectors; }
    void SetVectors(int count);

    // Full path of the texture file last chosen for this object.
    QString LastBitmapFileNameandPath() const { return m_fill.LastBitmapFile(); }
    void SetLastBitmapFileNameandPath(const QString &path) { m_fill.SetLastBitmapFile(path); }

    // Takes every property of another super shape through the setters, in
    // the order the properties dialog relies on, then its Width and Height.
    void CopyProperties(const TSuperShape &other);

    const TPropertyTable &PropertyTable() const override;
    void BoundsChanged() override;
    void Paint(QPainter &painter) override;

private:
    // The solid fill picture is built lazily before drawing; this drops a
    // stale one.
    void InvalidateSolidFill();

    TSurfaceType m_surfaceType = stGradientFill;
    // BackColor, FillDirection, GradientToColor, Image,
    // LastBitmapFileNameandPath and the gradient picture.
    TSurfaceFill m_fill;
    TColor m_foreColor = 0;
    int m_inVectorPercent = 50;
    TColor m_outlineColor = 0;
    TPenStyle m_outlineStyle = psSolid;
    int m_outlineWidth = 1;
    TBrushStyle m_pattern = bsClear;
    int m_roundPerc = 25;
    TColor m_shadowColor = 0;
    int m_shadowDepth = 5;
    TShadowOrient m_shadowOrient = soNone;
    TGPShapeType m_shape = gstStar;
    int m_startingAngle = 90;
    int m_vectors = 10;

    QImage m_solidFillPicture; // Width × Height, BackColor
};
