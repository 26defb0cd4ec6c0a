#pragma once

#include "document/Groups.h"
#include "graphics/ShapedText.h"
#include "objects/TextCache.h"
#include "surface/GGraphc.h"
#include "surface/ObjectFont.h"

#include <QStringList>
#include <optional>

class QAction;
class QFont;

// Several lines of plain text in one font, aligned left, right or centred,
// optionally wrapped at the object's width. Always transparent, no border.
class TGMultiLineBaseLabel : public TGGraphicControl
{
    Q_OBJECT

public:
    using Inherited = TGGraphicControl;

    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    static const QStringList &AlignmentIdentifiers();

    explicit TGMultiLineBaseLabel(QObject *owner = nullptr);

    // The lines as typed, one entry per line.
    TGStrings *Items() { return &m_items; }
    QStringList Lines() const { return m_items.Lines(); }
    void SetItems(const QStringList &lines);

    // Kept and stored; nothing is sized by it.
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool value) { StoreDesignValue(m_autoSize, value); }

    TAlignment Alignment() const { return m_alignment; }
    void SetAlignment(TAlignment alignment);

    TGFont *Font() { return m_font.Font(); }
    void SetFont(const TGFont &font) { m_font.Set(font); } // copies every attribute
    // Off at creation; Font is stored only while it is off.
    bool ParentFont() const { return m_font.ParentFont(); }
    void SetParentFont(bool value) { m_font.SetParentFont(value); }

    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool value);

    // The lines as drawn: the wrapped lines while WordWrap is on, else Items.
    QStringList DisplayLines() const;
    // The label font with its size scaled by the zoom (Trunc of points × zoom).
    QFont ZoomedFont() const;

    // The lines as painted on the surface: the display lines, with the
    // "<blank>" placeholder that keeps an empty label visible.
    QStringList PaintedLines() const;
    // Height of one line on the surface, at the zoomed font.
    int LineHeight() const;
    // Left edge of a line of that width, by the alignment.
    int LineLeft(int lineWidth) const;

    // Sizes the label to its lines: the height of the painted lines (never
    // less than one), the width grown to the widest line.
    void FitToLines();

    // The object menu's commands. True when the user took a font.
    bool ChooseFont();
    void AlignFromMenu(TAlignment alignment);

    QStringList MergeTexts() const override { return Lines(); }
    void FillMergeFields(const TMergeValues &values) override;

    const TPropertyTable &PropertyTable() const override;
    void AssignFont(const QFont &font, std::optional<TColor> color = std::nullopt) override;
    void BoundsChanged() override;
    void Loaded() override;
    void UpdateLayout() override;
    void Paint(QPainter &painter) override;
    void PrintTo(TBaseReport *report, double x, double y) override;
    void BuildObjectMenu() override;
    void RefreshMenu() override;

protected:
    // Breaks Items into the lines that fit Width at the zoomed font; only
    // while WordWrap is on.
    void WrapLines();

private:
    // Re-wraps and reports a change that moves the drawn lines; nothing while
    // the label is being read.
    void LinesChanged();

    TGStrings m_items;
    bool m_autoSize = false;
    TAlignment m_alignment = taLeftJustify;
    TObjectFont m_font;
    bool m_wordWrap = false;
    QStringList m_wrappedLines;
    // What the wrapped lines were laid out for: a zoom taken over from the
    // surface without a bounds change still re-wraps before painting.
    float m_wrappedZoom = 1.0f;
    int m_wrappedWidth = -1;

    // The painted lines as drawn and measured at the current font and zoom,
    // kept while the font, the zoom and the lines stay the same.
    struct TLineDrawing
    {
        TShapedText shaped;
        int width = 0;
    };
    struct TLinesDrawing
    {
        TTextKey key;
        QFont font;
        int lineHeight = 0;
        int ascent = 0;
        // Each line once it is first painted (a long text shows only its start).
        QList<std::optional<TLineDrawing>> lines;
    };
    TLinesDrawing &LinesDrawing();
    std::optional<TLinesDrawing> m_linesDrawing;

    QList<QAction *> m_alignmentItems; // Left, Center, Right
};
