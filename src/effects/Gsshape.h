#pragma once

#include "document/Groups.h"
#include "graphics/Colors.h"
#include "surface/GGraphc.h"

#include <QImage>
#include <QStringList>

// Direction of a two-colour gradient: the fill runs toward the side it names,
// so the from-colour sits at the bottom for gdUp and at the left for gdRight.
// The super shape and the super text share it.
enum TFillDirection { gdUp, gdDown, gdLeft, gdRight };
const QStringList &FillDirectionIdentifiers();

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
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor color);
    TFillDirection FillDirection() const { return m_fillDirection; }
    void SetFillDirection(TFillDirection direction);
    // Kept and copied; nothing drawn depends on it.
    TColor ForeColor() const { return m_foreColor; }
    void SetForeColor(TColor color);
    TColor GradientToColor() const { return m_gradientToColor; }
    void SetGradientToColor(TColor color);

    // The texture of stBrushImage.
    TGBitmap *Image() { return &m_image; }
    const TGBitmap &ImageBitmap() const { return m_image; }
    void SetImage(const TGBitmap *bitmap); // null empties it

    // How far a star's inner points are pulled in, percent of the outer
    // radius: 0 to 100.
    int InVectorPercent() const { return m_inVectorPercent; }
    void SetInVectorPercent(int percent);

    TColor OutlineColor() const { return m_outlineColor; }
    void SetOutlineColor(TColor color);
    TPenStyle OutlineStyle() const { return m_outlineStyle; } // psClear: no outline
    void SetOutlineStyle(TPenStyle style);
    int OutlineWidth() const { return m_outlineWidth; }
    void SetOutlineWidth(int width);

    // Kept and copied; nothing drawn depends on it.
    TBrushStyle Pattern() const { return m_pattern; }
    void SetPattern(TBrushStyle pattern);

    int RoundPerc() const { return m_roundPerc; }
    void SetRoundPerc(int percent);

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
    QString LastBitmapFileNameandPath() const { return m_lastBitmapFile; }
    void SetLastBitmapFileNameandPath(const QString &path);

    // Takes every property of another super shape through the setters, in
    // the order the properties dialog relies on, then its Width and Height.
    void CopyProperties(const TSuperShape &other);

    const TPropertyTable &PropertyTable() const override;
    void BoundsChanged() override;
    void Paint(QPainter &painter) override;

private:
    void DesignChanged();
    // The fill pictures are built lazily before drawing; these drop the stale
    // ones.
    void InvalidateGradient();
    void InvalidateSolidFill();

    TColor m_backColor = 0x0000FF;
    TFillDirection m_fillDirection = gdUp;
    TColor m_foreColor = 0;
    TColor m_gradientToColor = 0xFF0000;
    TGBitmap m_image;
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
    TSurfaceType m_surfaceType = stGradientFill;
    int m_vectors = 10;
    QString m_lastBitmapFile;

    QImage m_gradientPicture;  // Width × Height, the two-colour gradient
    QImage m_solidFillPicture; // Width × Height, BackColor
    bool m_quietGroups = false;
};
