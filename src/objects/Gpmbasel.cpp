#include "objects/Gpmbasel.h"

#include "document/Desktop.h"
#include "document/MergeData.h"
#include "graphics/SymbolFonts.h"
#include "report/RPBase.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QFont>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QRegularExpression>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>

TGMultiLineBaseLabel::TGMultiLineBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
    , m_font(QStringLiteral("Arial"), 10, 0, [this] { LinesChanged(); })
{
    SetCreationBounds(190, 33);
    m_items.OnChange = [this] { LinesChanged(); };
}

const QStringList &TGMultiLineBaseLabel::AlignmentIdentifiers()
{
    static const QStringList names{QStringLiteral("taLeftJustify"),
                                   QStringLiteral("taRightJustify"), QStringLiteral("taCenter")};
    return names;
}

void TGMultiLineBaseLabel::LinesChanged()
{
    if (IsLoading())
        return;
    // Re-wrapping here keeps the drawn lines in step with the text however it
    // was changed.
    WrapLines();
    DesignChanged();
}

void TGMultiLineBaseLabel::SetItems(const QStringList &lines)
{
    // Equal lines are no change; other lines report themselves, once.
    m_items.SetLines(lines);
}

void TGMultiLineBaseLabel::SetAlignment(TAlignment alignment)
{
    if (alignment >= taLeftJustify && alignment <= taCenter)
        StoreDesignValue(m_alignment, alignment);
}

void TGMultiLineBaseLabel::FillMergeFields(const TMergeValues &values)
{
    // A value of several lines gives the label as many lines; wrapping, when
    // on, fits them to the width.
    const QString written = Lines().join(QLatin1Char('\n'));
    const QString merged = ExpandMergeFields(written, values);
    if (merged != written)
        SetItems(merged.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))));
}

void TGMultiLineBaseLabel::SetWordWrap(bool value)
{
    if (value == m_wordWrap)
        return;
    m_wordWrap = value;
    LinesChanged();
}

void TGMultiLineBaseLabel::AssignFont(const QFont &font, std::optional<TColor> color)
{
    Inherited::AssignFont(font, color);
    m_font.Set(font, color);
}

void TGMultiLineBaseLabel::BoundsChanged()
{
    WrapLines();
    Inherited::BoundsChanged();
}

void TGMultiLineBaseLabel::Loaded()
{
    Inherited::Loaded();
    WrapLines();
}

QStringList TGMultiLineBaseLabel::DisplayLines() const
{
    return m_wordWrap ? m_wrappedLines : m_items.Lines();
}

QFont TGMultiLineBaseLabel::ZoomedFont() const
{
    return m_font.Data().ToQFont(ZoomScale());
}

namespace {

// The pieces of a line that each fit the width as drawn. A line in a symbol
// font is laid out as the pictures it shows and cut at the same characters
// of the stored text.
QStringList WrapLine(const QString &line, const QFont &font, qreal width)
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const TDrawnText drawn = SymbolDrawnText(font, line);
    // Where each stored character starts in the drawn text: symbol text
    // draws one character (one or two UTF-16 units) for each it stores.
    QList<qsizetype> starts;
    if (drawn.text != line) {
        for (qsizetype at = 0; at < drawn.text.size();
             at += drawn.text.at(at).isHighSurrogate() ? 2 : 1)
            starts.append(at);
    }
    const bool mapped = !starts.isEmpty() && starts.size() == line.size();
    const QString laidOut = mapped ? drawn.text : line;
    auto stored = [&](qsizetype at) -> qsizetype {
        if (!mapped)
            return at;
        return std::lower_bound(starts.begin(), starts.end(), at) - starts.begin();
    };
    QTextLayout layout(laidOut, mapped ? drawn.font : font);
    layout.setTextOption(option);
    layout.beginLayout();
    QStringList pieces;
    for (QTextLine visual = layout.createLine(); visual.isValid(); visual = layout.createLine()) {
        visual.setLineWidth(width);
        const qsizetype first = stored(visual.textStart());
        const qsizetype end = stored(visual.textStart() + visual.textLength());
        pieces.append(line.mid(first, end - first));
    }
    layout.endLayout();
    return pieces;
}

} // namespace

void TGMultiLineBaseLabel::WrapLines()
{
    if (!m_wordWrap)
        return;
    m_wrappedLines.clear();
    m_wrappedZoom = ZoomScale();
    m_wrappedWidth = Width();
    const QFont font = ZoomedFont();
    const qreal width = std::max(1, Width());
    for (const QString &line : m_items.Lines()) {
        if (line.isEmpty()) {
            m_wrappedLines.append(QString());
            continue;
        }
        QStringList pieces = WrapLine(line, font, width);
        // A break at a blank leaves the blank at the end of the upper piece,
        // where it must not push a right-aligned line inward.
        for (qsizetype i = 0; i + 1 < pieces.size(); ++i) {
            QString &piece = pieces[i];
            while (piece.size() > 1 && piece.endsWith(QLatin1Char(' ')))
                piece.chop(1);
        }
        m_wrappedLines.append(pieces);
    }
    Repaint();
}

const TPropertyTable &TGMultiLineBaseLabel::PropertyTable() const
{
    using T = TGMultiLineBaseLabel;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(props::Object<T>(QStringLiteral("Items"), &T::Items));
        t.push_back(props::Boolean<T>(QStringLiteral("AutoSize"), &T::AutoSize, &T::SetAutoSize));
        t.push_back(props::Enum<T, TAlignment>(QStringLiteral("Alignment"), AlignmentIdentifiers(),
                                               &T::Alignment, &T::SetAlignment, taLeftJustify));
        t.push_back(
            TObjectFont::Property<T>());
        t.push_back(
            props::Boolean<T>(QStringLiteral("WordWrap"), &T::WordWrap, &T::SetWordWrap, 0));
        return t;
    }();
    return table;
}

void TGMultiLineBaseLabel::UpdateLayout()
{
    if (m_wordWrap && (m_wrappedZoom != ZoomScale() || m_wrappedWidth != Width()))
        WrapLines();
}

QStringList TGMultiLineBaseLabel::PaintedLines() const
{
    QStringList lines = DisplayLines();
    const QString placeholder = QStringLiteral("<blank>");
    if (lines.isEmpty())
        lines.append(placeholder);
    else if (lines.size() == 1 && TrimSpaces(lines.first()).isEmpty())
        lines.append(placeholder);
    return lines;
}

int TGMultiLineBaseLabel::LineHeight() const
{
    return QFontMetrics(ZoomedFont()).height();
}

namespace {

// Where a line of lineWidth starts in a label of width, for the screen's whole
// pixels and the paper's inches alike (onePixel is a pixel in that unit).
template <class V>
V AlignedLineLeft(TGMultiLineBaseLabel::TAlignment alignment, V width, V lineWidth, V onePixel)
{
    switch (alignment) {
    case TGMultiLineBaseLabel::taRightJustify:
        return width - lineWidth - onePixel;
    case TGMultiLineBaseLabel::taCenter:
        return width / 2 + onePixel - lineWidth / 2;
    case TGMultiLineBaseLabel::taLeftJustify:
        break;
    }
    return V(0);
}

} // namespace

int TGMultiLineBaseLabel::LineLeft(int lineWidth) const
{
    return AlignedLineLeft<int>(m_alignment, Width(), lineWidth, 1);
}

TGMultiLineBaseLabel::TLinesDrawing &TGMultiLineBaseLabel::LinesDrawing()
{
    TTextKey key = TTextKey::Of(m_font.Data(), ZoomScale(), PaintedLines());
    if (!m_linesDrawing || !(m_linesDrawing->key == key)) {
        TLinesDrawing drawing;
        drawing.font = ZoomedFont();
        const QFontMetrics metrics(drawing.font);
        drawing.lineHeight = metrics.height();
        drawing.ascent = metrics.ascent();
        drawing.lines.resize(key.lines.size());
        drawing.key = std::move(key);
        m_linesDrawing = std::move(drawing);
    }
    return *m_linesDrawing;
}

void TGMultiLineBaseLabel::Paint(QPainter &painter)
{
    UpdateLayout();
    TLinesDrawing &drawing = LinesDrawing();
    painter.save();
    painter.setClipRect(0, 0, Width(), Height(), Qt::IntersectClip);
    painter.setPen(ColorFromTColor(m_font.Data().Color()));
    painter.setBrush(Qt::NoBrush);
    for (qsizetype i = 0; i < drawing.lines.size(); ++i) {
        const int top = int(i) * drawing.lineHeight;
        if (top >= Height())
            break;
        std::optional<TLineDrawing> &line = drawing.lines[i];
        if (!line) {
            const TDrawnText drawn = SymbolDrawnText(drawing.font, drawing.key.lines.at(i));
            line = TLineDrawing{TShapedText(drawn.font, drawn.text),
                                QFontMetrics(drawn.font).horizontalAdvance(drawn.text)};
        }
        painter.setFont(line->shaped.Font());
        line->shaped.Draw(painter, QPointF(LineLeft(line->width), top + drawing.ascent));
    }
    painter.restore();
}

void TGMultiLineBaseLabel::FitToLines()
{
    WrapLines();
    const QFontMetrics metrics(ZoomedFont());
    // A line for each line of text (a blank one too); an empty label keeps
    // one, where its "<blank>" shows.
    const qsizetype lineCount = std::max<qsizetype>(1, DisplayLines().size());
    int widest = Width();
    for (const QString &line : DisplayLines()) {
        const TDrawnText drawn = SymbolDrawnText(ZoomedFont(), line);
        widest = std::max(widest, QFontMetrics(drawn.font).horizontalAdvance(drawn.text));
    }
    const int height = std::max(1, metrics.height() * int(lineCount));
    SetBounds(Left(), Top(), widest, height);
    Repaint();
}

bool TGMultiLineBaseLabel::ChooseFont()
{
    TColor color = m_font.Data().Color();
    const std::optional<QFont> chosen =
        ::ChooseFont(m_font.Data().ToQFont(), DialogParent(), tr("Font"), &color);
    if (!chosen)
        return false;
    // A real change re-wraps and reports itself once through the font.
    m_font.Set(*chosen, color);
    return true;
}

void TGMultiLineBaseLabel::AlignFromMenu(TAlignment alignment)
{
    SetAlignment(alignment);
}

void TGMultiLineBaseLabel::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    AddMenuItem(tr("Font"), [this] { ChooseFont(); });
    m_alignmentItems = AddChoiceMenu(
        tr("Alignment"),
        {{tr("Left"), taLeftJustify}, {tr("Center"), taCenter}, {tr("Right"), taRightJustify}},
        [this](int value) { AlignFromMenu(TAlignment(value)); });
    RefreshMenu();
}

void TGMultiLineBaseLabel::RefreshMenu()
{
    Inherited::RefreshMenu();
    if (m_alignmentItems.isEmpty())
        return;
    TickChoices(m_alignmentItems, m_alignment);
}

void TGMultiLineBaseLabel::PrintTo(TBaseReport *report, double x, double y)
{
    if (!report)
        return;
    UpdateLayout();
    if (Width() <= 0 || Height() <= 0)
        return;
    const QStringList lines = DisplayLines(); // never the "<blank>" placeholder
    if (lines.isEmpty())
        return;

    // The label's own font at its size in points; underline and strike-out
    // go on paper as they show on screen.
    report->SetFont(m_font.Data().Name(), m_font.Data().Size());
    const uint32_t style = m_font.Data().Style();
    report->SetBold(style & fsBold);
    report->SetItalic(style & fsItalic);
    report->SetUnderline(style & fsUnderline);
    report->SetStrikeOut(style & fsStrikeOut);
    report->SetFontColor(m_font.Data().Color());
    report->SetFontRotation(0);
    report->SetBrush(0xFFFFFF, bsClear);

    // Worked in inches, so the engine's mapping (printer or preview zoom)
    // places every line.
    const double ppi = ScreenPixelsPerInch();
    const double left = x + Left() / ppi;
    const double top = y + Top() / ppi;
    const double right = x + (Left() + Width()) / ppi;
    const double bottom = y + (Top() + Height()) / ppi;
    const double width = right - left;
    const double onePixel = 1.0 / ppi;
    const double lineHeight = report->LineHeight();
    const int deviceBottom = report->YI2D(bottom);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const double lineTop = top + double(i) * lineHeight;
        if (report->YI2D(lineTop) >= deviceBottom)
            break;
        const QString &line = lines[i];
        if (line.isEmpty())
            continue;
        const double offset =
            AlignedLineLeft<double>(m_alignment, width, report->TextWidth(line), onePixel);
        // The report's line pitch is a little taller than the screen's, so
        // the last line of a label fitted on screen reaches past its bottom
        // on paper; cutting it there would cut its letters. A line that
        // starts inside the label prints whole.
        report->TextRect(report->InchRect(left, lineTop, right, lineTop + lineHeight), line,
                         left + offset, lineTop);
    }
}
