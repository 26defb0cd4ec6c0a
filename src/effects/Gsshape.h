#pragma once

#include "document/Groups.h"
#include "effects/SurfaceFill.h"
#include "graphics/Colors.h"
#include "surface/GGraphc.h"

#include <QAction>
#include <QImage>
#include <QPainterPath>
#include <QPolygon>
#include <QStringList>
#include <optional>

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
    bool FillsToItsEdges() const override { return m_shape == gstRectangle; }
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

    // Takes every property the dialog edits from another super shape through
    // the setters in table order (see CopyStoredProperties), then its Width
    // and Height.
    void CopyProperties(const TSuperShape &other);

    // Geometry, in the object's pixels at its current zoom. The figure sits
    // in the shape rectangle; the shadow, when there is one, is the same
    // figure in a rectangle of the same size moved by the zoomed depth.
    struct TFigureRects
    {
        TRect shape;
        std::optional<TRect> shadow;
    };
    TFigureRects FigureRects() const;
    // Shadow depth at the current zoom: Trunc(ShadowDepth x zoom).
    int ZoomedShadowDepth() const;
    // Corner size of the round rectangle, from the object's longer side.
    int CornerSize() const;
    // The figure in a rectangle: what the paint, the print, the shadow and
    // the fill's clip all draw.
    struct TFigure
    {
        enum TKind { Rectangle, RoundRect, Ellipse, Polygon };
        TKind kind = Polygon;
        TRect rect;
        int corner = 0;  // RoundRect: the corner ellipse's size
        QPolygon points; // Polygon: diamond, triangles, star and polygon
        // The outline as a pen draws it (right and bottom edges exclusive)
        // and the area it encloses, the fill's clip.
        QPainterPath Outline() const;
        QPainterPath Area() const;

    private:
        QPainterPath Path(const QRectF &bounds) const;
    };
    TFigure Figure(const TRect &rect) const;

    // Opens the properties dialog when one is installed (see ShowPropertiesDialog).
    void EditProperties();
    // Writes back, through the setters in table order, what the properties
    // dialog changed on its sample; the size stays.
    void TakeEditedProperties(const TSuperShape &sample);
    // Runs the properties dialog on a sample copy of the object with the
    // last texture path; true on OK. Installed by the dialog's unit.
    static std::function<bool(TSuperShape &sample, QString &lastTexturePath, QWidget *parent)>
        ShowPropertiesDialog;

    // Fill pictures, built when first needed; counted for tests and timing.
    const QImage &GradientPicture() const { return m_fill.GradientPicture(); }
    int GradientBuilds() const { return m_fill.GradientBuilds(); }
    const QImage &SolidFillPicture() const { return m_solidFillPicture; }

    const TPropertyTable &PropertyTable() const override;
    void BoundsChanged() override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void RefreshMenu() override;

protected:
    void BuildObjectMenu() override;

private:
    // The picture that fills the figure for the current surface type (built
    // now when it is due), or null for none.
    QImage FillPicture();
    // Sends the figure to the page: drawn with the engine's pen and brush, or
    // pushed as a clip region (false when none could be made).
    bool PrintFigure(TBaseReport &report, const TFigure &figure, double x, double y,
                     bool asClip) const;
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
    QAction *m_propertiesItem = nullptr;
};
