#pragma once

#include "document/Groups.h"
#include "graphics/Colors.h"
#include "graphics/ShapedText.h"
#include "graphics/SymbolFonts.h"
#include "objects/TextCache.h"
#include "surface/GGraphc.h"

#include <QFont>
#include <QPoint>
#include <QRectF>
#include <QVarLengthArray>
#include <optional>

class QAction;
class QMenu;

enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum THighlightDirection { hdNone, hdright, hdLeft, hdUpRight, hdUpLeft, hdUp };
enum TShadowDirection { sdNone, sdRight, sdLeft, sdDownRight, sdDownLeft, sdDown };

// The single-line text object: one line of text in one font, turned by a
// quarter, half or three-quarter turn, with optional 3-D shadow and highlight
// copies, a background colour and a thin border.
class TGBaseLabel : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    explicit TGBaseLabel(QObject *owner = nullptr);

    const TPropertyTable &PropertyTable() const override;
    // The base entries, then the label's own in stored order.
    static TPropertyTable LabelProperties();

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment value);
    int DepthHighlight() const { return m_depthHighlight; }
    void SetDepthHighlight(int value);
    int DepthShadow() const { return m_depthShadow; }
    void SetDepthShadow(int value);
    THighlightDirection DirectionHighlight() const { return m_directionHighlight; }
    void SetDirectionHighlight(THighlightDirection value);
    TShadowDirection DirectionShadow() const { return m_directionShadow; }
    void SetDirectionShadow(TShadowDirection value);
    TColor ColorHighlight() const { return m_colorHighlight; }
    void SetColorHighlight(TColor value);
    TColor ShadowColor() const { return m_shadowColor; }
    void SetShadowColor(TColor value);
    // Degrees counter-clockwise; only 0, 90, 180 and 270 are taken.
    int Angle() const { return m_angle; }
    void SetAngle(int value);
    QString Caption() const { return m_caption; }
    void SetCaption(const QString &value) { StoreDesignValue(m_caption, value); }
    TGFont *Font() { return &m_font; }
    const TGFont &LabelFont() const { return m_font; }
    bool Transparent() const { return m_transparent; }
    void SetTransparent(bool value) { StoreDesignValue(m_transparent, value); }
    TColor BackColor() const { return m_backColor; }
    void SetBackColor(TColor value) { StoreDesignValue(m_backColor, value); }
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void SetBorderStyle(TBorderStyle value);

    // On while the font follows the parent's; any change of the font turns it
    // off, and the font is stored only while it is off.
    bool ParentFont() const { return m_parentFont; }
    void SetParentFont(bool value) { m_parentFont = value; }

    // Derived from depth and direction (x to the right, y downwards).
    QPoint ShadowOffset() const { return m_shadowOffset; }
    QPoint HighlightOffset() const { return m_highlightOffset; }
    bool LayoutNeeded() const { return m_layoutNeeded; }
    void SetLayoutNeeded(bool value) { m_layoutNeeded = value; }

    // Derived by the layout pass: the inset that keeps copies with negative
    // offsets inside the object, the clip rectangle of each copy (right and
    // bottom excluded) and the point where each copy starts.
    QPoint TextInset() const { return m_textInset; }
    TRect TextRect() const { return m_textRect; }
    TRect ShadowRect() const { return m_shadowRect; }
    TRect HighlightRect() const { return m_highlightRect; }
    QPoint TextOrigin() const { return m_textOrigin; }
    QPoint ShadowOrigin() const { return m_shadowOrigin; }
    QPoint HighlightOrigin() const { return m_highlightOrigin; }
    // One copy of the caption as it is drawn on screen and on paper: the box
    // it is cut to, the point where it starts and its colour.
    struct TTextCopy
    {
        TRect clip;
        QPoint origin;
        TColor color;
    };
    // The copies of the last layout in drawing order: the shadow and the
    // highlight, each only where it is offset, then the text.
    QVarLengthArray<TTextCopy, 3> TextCopies() const;

    // The label font at the object's zoom: the size becomes Trunc(points x
    // zoom) unless the zoom is exactly 1.
    QFont CanvasFont() const;
    // The caption as it is drawn: in a symbol font the desktop lacks, its
    // pictures in a font that has them.
    TDrawnText DrawnCaption() const;
    // Recomputes the derived geometry and corrects the size to the text.
    void LayoutLabel();
    // The label's drawing (layout when needed, fill, three copies of the text,
    // border) in object coordinates; the surface and the printed picture share it.
    void DrawLabel(QPainter &painter);

    // Grows the label to hold its text; only when the text is not turned.
    void FitToText();
    // The object menu's commands.
    // True when the user took a font.
    virtual bool ChooseFont();
    void Show3DEffects();
    void ChooseBackColor();
    void ToggleTransparent();
    void ToggleBorder();
    void AlignFromMenu(TAlignment value);

    void BoundsChanged() override;
    void AssignFont(const QFont &font, std::optional<TColor> color = std::nullopt) override;
    void Loaded() override;
    void Paint(QPainter &painter) override;
    void UpdateLayout() override;
    // The part of the caption that can show on a card.
    QString ShownCaption() const;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void BuildObjectMenu() override;
    void RefreshMenu() override;

protected:
    void DropPrintPreparation() override;

private:
    // Repaints after a change of the look alone, which is not reported;
    // nothing while loading.
    void LookChanged();

    // The caption as drawn and measured at the current font and zoom: kept
    // while the font, the zoom and the caption stay the same, so neither the
    // layout nor a repaint looks the font up or shapes the text again.
    struct TCaptionDrawing
    {
        TTextKey key;
        TDrawnText drawn;
        int ascent = 0;
        int lineHeight = 0;
        int spacedWidth = 0; // the text and a blank
        TShapedText shaped;
    };
    const TCaptionDrawing &CaptionDrawing() const;
    // What printing prepares once per job: the text as drawn, its ascent and
    // the box its ink can fill, from the start corner of a copy.
    struct TPrintText
    {
        TDrawnText drawn;
        TShapedText shaped; // the drawn text, shaped once for the page
        qreal ascent = 0;
        QRectF ink;
    };
    const TPrintText &PrintText();
    void FillBorder(QPainter &painter) const;

    void UpdateShadowOffset();
    void UpdateHighlightOffset();
    void FontChanged();
    // A font, and a colour when given, as one change of the label font.
    void TakeFont(const QFont &font, std::optional<TColor> color);

    TAlignment m_alignment = taLeftJustify;
    int m_depthHighlight = 0;
    int m_depthShadow = 0;
    THighlightDirection m_directionHighlight = hdUpLeft;
    TShadowDirection m_directionShadow = sdDownRight;
    TColor m_colorHighlight = 16776960;
    TColor m_shadowColor = 8421504;
    int m_angle = 0;
    QString m_caption = QStringLiteral("Text");
    TGFont m_font;
    bool m_transparent = true;
    TColor m_backColor = 0xFFFFFF;
    TBorderStyle m_borderStyle = bsNone;
    bool m_parentFont = true;
    QPoint m_shadowOffset;
    QPoint m_highlightOffset;
    bool m_layoutNeeded = true;
    std::optional<TPrintText> m_printText;

    QPoint m_textInset;
    TRect m_textRect;
    TRect m_shadowRect;
    TRect m_highlightRect;
    QPoint m_textOrigin;
    QPoint m_shadowOrigin;
    QPoint m_highlightOrigin;

    mutable std::optional<TCaptionDrawing> m_captionDrawing;

    QAction *m_borderItem = nullptr;
    QList<QAction *> m_alignmentItems; // Left, Center, Right

protected:
    QAction *m_transparentItem = nullptr;
};
