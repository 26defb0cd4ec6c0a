#include "objects/Gpmbasel.h"

#include "objects/Placeholder.h"

#include <QFont>
#include <QScopedValueRollback>
#include <QTextLayout>
#include <QTextOption>

TGMultiLineBaseLabel::TGMultiLineBaseLabel(QObject *owner)
    : TGGraphicControl(owner)
{
    SetLoading(true); // the creation size is no move on the card
    SetBounds(0, 0, 190, 33);
    SetLoading(false);
    m_font.SetName(QStringLiteral("Arial"));
    m_font.SetSize(10);
    // The label sets its own font at creation, so the font is always stored.
    m_parentFont = false;
    m_items.OnChange = [this] {
        if (!m_quietGroups)
            ItemsChanged();
    };
    m_font.OnChange = [this] { FontChanged(); };
}

static bool SameFont(const TGFont &a, const TGFont &b)
{
    return a.Color() == b.Color() && a.Height() == b.Height() && a.Name() == b.Name() &&
           a.Pitch() == b.Pitch() && a.Style() == b.Style();
}

const QStringList &TGMultiLineBaseLabel::AlignmentIdentifiers()
{
    static const QStringList names{QStringLiteral("taLeftJustify"),
                                   QStringLiteral("taRightJustify"), QStringLiteral("taCenter")};
    return names;
}

void TGMultiLineBaseLabel::DesignChanged()
{
    if (IsLoading())
        return;
    Repaint();
    ReportChange();
}

void TGMultiLineBaseLabel::ItemsChanged()
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
    if (m_quietGroups || IsLoading())
        return;
    WrapLines();
    DesignChanged();
}

void TGMultiLineBaseLabel::SetItems(const QStringList &lines)
{
    if (lines == m_items.Lines())
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_items.SetLines(lines);
    }
    ItemsChanged();
}

void TGMultiLineBaseLabel::SetAutoSize(bool value)
{
    if (value == m_autoSize)
        return;
    m_autoSize = value;
    DesignChanged();
}

void TGMultiLineBaseLabel::SetAlignment(TAlignment alignment)
{
    if (alignment == m_alignment || alignment < taLeftJustify || alignment > taCenter)
        return;
    m_alignment = alignment;
    DesignChanged();
}

void TGMultiLineBaseLabel::SetFont(const TGFont &font)
{
    m_parentFont = false;
    if (SameFont(font, m_font))
        return;
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_font.Assign(font);
    }
    if (IsLoading())
        return;
    WrapLines();
    DesignChanged();
}

void TGMultiLineBaseLabel::SetWordWrap(bool value)
{
    if (value == m_wordWrap)
        return;
    m_wordWrap = value;
    if (IsLoading())
        return;
    WrapLines();
    DesignChanged();
}

void TGMultiLineBaseLabel::AssignFont(const QFont &font)
{
    Inherited::AssignFont(font);
    m_parentFont = false;
    TGFont before;
    before.Assign(m_font);
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_font.Assign(font);
    }
    if (IsLoading() || SameFont(before, m_font))
        return;
    WrapLines();
    DesignChanged();
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
