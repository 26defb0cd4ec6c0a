#pragma once

#include "document/Groups.h"
#include "effects/SurfaceFill.h"
#include "graphics/Colors.h"
#include "graphics/Geometry.h"
#include "graphics/SymbolFonts.h"
#include "objects/TextCache.h"
#include "surface/GGraphc.h"
#include "surface/ObjectFont.h"

#include <QFont>
#include <QImage>
#include <QPainterPath>
#include <QPoint>
#include <QStringList>
#include <array>
#include <optional>

class QAction;
class QFont;
class QPainterPath;

// One line of text whose glyph outlines act as a stencil: the inside is filled
// with the font colour, a tiled texture or a gradient, the outline can be
// stroked, and a filled silhouette of the glyphs can lie behind as a shadow.
class TGSuperText : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    // The text's own surface types, unlike the super shape's.
    enum TSurfaceType { stNormal, stBrushTransparent, stBrushImage, stGradientFill };
    enum TShadowOrientation { sdNone, sdRight, sdLeft, sdDownRight, sdDownLeft, sdDown };
    static const QStringList &SurfaceTypeIdentifiers();
    static const QStringList &ShadowOrientationIdentifiers();

    explicit TGSuperText(QObject *owner = nullptr);

    // Shadow offset in pixels at zoom 1, in the direction of ShadowOrientation.
    int ShadowDepth() const { return m_shadowDepth; }
    void SetShadowDepth(int depth);
    TShadowOrientation ShadowOrientation() const { return m_shadowOrientation; }
    void SetShadowOrientation(TShadowOrientation orientation);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor color) { StoreDesignValue(m_shadowColor, color); }

    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle style);
    // True: no background fill.
    bool ControlTransparent() const { return m_controlTransparent; }
    void SetControlTransparent(bool value);
    TColor BGColor() const { return m_bgColor; }
    void SetBGColor(TColor color) { StoreDesignValue(m_bgColor, color); }

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption);
    QStringList MergeTexts() const override { return {m_caption}; }
    // The caption is cut to the width as typed text is.
    void FillMergeFields(const TMergeValues &values) override;

    // The font; its colour is the fill of stNormal.
    TGFont *Font() { return m_font.Font(); }
    const TGFont &FontData() const { return m_font.Data(); }
    void SetFont(const TGFont &font) { m_font.Set(font); } // copies every attribute
    // Off at creation; Font is stored only while it is off.
    bool ParentFont() const { return m_font.ParentFont(); }
    void SetParentFont(bool value) { m_font.SetParentFont(value); }

    TFillDirection FillDirection() const { return m_fill.Direction(); }
    void SetFillDirection(TFillDirection direction) { m_fill.SetDirection(direction); }
    TColor GradientToColor() const { return m_fill.ToColor(); }
    void SetGradientToColor(TColor color) { m_fill.SetToColor(color); }
    TColor GradientFromColor() const { return m_fill.FromColor(); }
    void SetGradientFromColor(TColor color) { m_fill.SetFromColor(color); }

    // The texture of stBrushImage.
    TGBitmap *Image() { return m_fill.Image(); }
    const TGBitmap &ImageBitmap() const { return m_fill.ImageBitmap(); }
    void SetImage(const TGBitmap *bitmap) { m_fill.SetImage(bitmap); } // null empties it

    TColor OutlineColor() const { return m_outlineColor; }
    void SetOutlineColor(TColor color) { StoreDesignValue(m_outlineColor, color); }
    TPenStyle OutlineStyle() const { return m_outlineStyle; } // psClear: no outline
    void SetOutlineStyle(TPenStyle style);
    int OutlineWidth() const { return m_outlineWidth; } // below 1: no outline
    void SetOutlineWidth(int width) { StoreDesignValue(m_outlineWidth, width); }

    TSurfaceType SurfaceType() const { return m_surfaceType; }
    void SetSurfaceType(TSurfaceType type);

    QString LastBitmapFileNameandPath() const { return m_fill.LastBitmapFile(); }
    void SetLastBitmapFileNameandPath(const QString &path) { m_fill.SetLastBitmapFile(path); }

    // The shadow's offset (dx, dy) in pixels at zoom 1.
    QPoint ShadowOffset() const { return QPoint(m_shadowDx, m_shadowDy); }
    bool LayoutNeeded() const { return m_layoutNeeded; }
    // Where the caption and its shadow are drawn (left and top edges are the
    // text origins), after the last layout.
    TRect TextRect() const { return m_textRect; }
    TRect ShadowRect() const { return m_shadowRect; }
    // The font the object draws with on its canvas: points scaled by the zoom.
    QFont CanvasFont() const;
    // The caption as drawn: cut from its end until it fits the object's
    // width less the room the text and its shadow start from. Caption stays.
    QString DrawnCaption() const;
    // The glyph outlines of the drawn caption with its top-left at origin.
    QPainterPath CaptionPath(const QString &caption, const TRect &at) const;

    // Sizes the object round its caption (used by the properties dialog on
    // its sample); true when the caption fits afterwards.
    bool SizeToCaption();
    // Widens the object, never narrowing it, until its whole caption shows
    // at its zoom: what a text just placed with a click needs.
    void FitToCaption();

    // Takes every property of another super text through the setters in
    // table order (see CopyStoredProperties), then its Width and Height.
    void CopyProperties(const TGSuperText &other);
    // Opens the properties dialog when one is installed.
    void EditProperties();
    // Writes back what the properties dialog changed on its sample, in table
    // order (not the size, background, transparency or border).
    void TakeEditedProperties(const TGSuperText &sample);
    static std::function<bool(TGSuperText &sample, QString &lastTexturePath, QWidget *parent)>
        ShowPropertiesDialog;
    // The object menu's commands; true when the user took a font or colour.
    bool ChooseFont();
    bool ChooseBackgroundColor();

    const QImage &GradientPicture() const { return m_fill.GradientPicture(); }
    int GradientBuilds() const { return m_fill.GradientBuilds(); }

    const TPropertyTable &PropertyTable() const override;
    void AssignFont(const QFont &font, std::optional<TColor> color = std::nullopt) override;
    void BoundsChanged() override;
    void Loaded() override;
    void UpdateLayout() override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void RefreshMenu() override;

protected:
    void BuildObjectMenu() override;

private:
    void FontChanged();
    void UpdateShadowOffset();
    void RunLayout();
    // Room kept left of the caption: the larger of the text's and the
    // shadow's left edges.
    int CaptionInset() const;
    // The font and text the canvas draws a caption with: symbol-font codes
    // become their pictures.
    TDrawnText DrawnOnCanvas(const QString &caption) const;
    int CanvasAdvance(const QString &caption) const;
    // The longest beginning of the caption that fits the room.
    QString CutCaption(int room) const;

    int m_shadowDepth = 0;
    TShadowOrientation m_shadowOrientation = sdDownRight;
    TColor m_shadowColor = 0x808080;
    TBorderStyle m_borderStyle = bsNone;
    bool m_controlTransparent = true;
    TColor m_bgColor = 0xFFFFFF;
    QString m_caption = QStringLiteral("Text");
    TObjectFont m_font;
    TSurfaceType m_surfaceType = stGradientFill;
    // FillDirection, GradientToColor, GradientFromColor, Image,
    // LastBitmapFileNameandPath and the gradient picture.
    TSurfaceFill m_fill;
    TColor m_outlineColor = 0;
    TPenStyle m_outlineStyle = psSolid;
    int m_outlineWidth = 1;

    // Layout, recomputed from the properties before drawing.
    int m_shadowDx = 0;
    int m_shadowDy = 0;
    TRect m_textRect;
    TRect m_shadowRect;
    bool m_layoutNeeded = true;
    bool m_layoutInProgress = false;
    bool m_paintInProgress = false;

    // What the drawing derives from the caption at the current font and
    // zoom, kept while they (and the room or place it was made for) stay:
    // the cut caption, and the outlines of the text and of its shadow.
    struct TCutCaption
    {
        TTextKey key;
        int room = 0;
        QString cut;
    };
    struct TCaptionOutline
    {
        TTextKey key;
        TRect at;
        QPainterPath path;
    };
    mutable std::optional<TCutCaption> m_cutCaption;
    mutable std::array<std::optional<TCaptionOutline>, 2> m_captionOutlines;
    mutable size_t m_nextOutline = 0;

    QAction *m_transparentItem = nullptr;
    QAction *m_borderItem = nullptr;
    QAction *m_propertiesItem = nullptr;
};
