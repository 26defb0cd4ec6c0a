#include "objects/Gpmbasel.h"

#include "objects/Placeholder.h"

#include <QFont>
#include <QTextLayout>
#include <QTextOption>

TGMultiLineBaseLabel::TGMultiLineBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(190, 33);
    m_font.SetName(QStringLiteral("Arial"));
    m_font.SetSize(10);
    // The label sets its own font at creation, so the font is always stored.
    m_parentFont = false;
    m_items.OnChange = [this] { LinesChanged(); };
    m_font.OnChange = [this] { FontChanged(); };
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

void TGMultiLineBaseLabel::FontChanged()
{
    m_parentFont = false;
    LinesChanged();
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

// Setting the font turns ParentFont off even when nothing else changes; a
// real change reports itself through FontChanged.
void TGMultiLineBaseLabel::SetFont(const TGFont &font)
{
    m_parentFont = false;
    m_font.Assign(font);
}

void TGMultiLineBaseLabel::SetWordWrap(bool value)
{
    if (value == m_wordWrap)
        return;
    m_wordWrap = value;
    LinesChanged();
}

void TGMultiLineBaseLabel::AssignFont(const QFont &font)
{
    Inherited::AssignFont(font);
    m_parentFont = false;
    m_font.Assign(font);
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
    return m_font.ToQFont(ZoomScale());
}

void TGMultiLineBaseLabel::WrapLines()
{
    if (!m_wordWrap)
        return;
    m_wrappedLines.clear();
    const QFont font = ZoomedFont();
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const qreal width = std::max(1, Width());
    for (const QString &line : m_items.Lines()) {
        if (line.isEmpty()) {
            m_wrappedLines.append(QString());
            continue;
        }
        QTextLayout layout(line, font);
        layout.setTextOption(option);
        layout.beginLayout();
        QStringList pieces;
        for (QTextLine visual = layout.createLine(); visual.isValid();
             visual = layout.createLine()) {
            visual.setLineWidth(width);
            pieces.append(line.mid(visual.textStart(), visual.textLength()));
        }
        layout.endLayout();
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
            props::StoredWhen(props::Object<T>(QStringLiteral("Font"), &T::Font),
                              [](const TPersistent &p) { return !props::As<T>(p).ParentFont(); }));
        t.push_back(
            props::Boolean<T>(QStringLiteral("WordWrap"), &T::WordWrap, &T::SetWordWrap, 0));
        return t;
    }();
    return table;
}

void TGMultiLineBaseLabel::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), QStringLiteral("Multi-line"));
}
