#include "printing/MergePrint.h"

#include "document/CardModel.h"
#include "document/Persistent.h"
#include "richtext/RichTextEngine.h"
#include "surface/GGraphc.h"

#include <QFont>
#include <QGlyphRun>
#include <QHash>
#include <QSet>
#include <QTextLayout>
#include <algorithm>
#include <numeric>

bool HasMergeFields(const QString &text)
{
    return text.contains(QLatin1String("${"));
}

TMergeCards::TMergeCards(const TCardModel &front, const TCardModel *back, const TMergeTable &table,
                         const QList<int> &records)
    : m_table(table)
    , m_records(records)
{
    CopySide(m_front, front);
    if (back)
        CopySide(m_back, *back);
}

TMergeCards::~TMergeCards() = default;

void TMergeCards::CopySide(TSide &side, const TCardModel &design)
{
    for (auto *copy : {&side.written, &side.shown}) {
        *copy = std::make_unique<TCardModel>();
        // Rich text draws through one engine that the objects' owner carries.
        TRichTextEngine::EnsureMaster((*copy)->Owner());
        (*copy)->CopyDesignOf(design);
    }
    const QList<TStoredObject *> &objects = side.written->Objects();
    for (qsizetype i = 0; i < objects.size(); ++i) {
        const QStringList texts = objects.at(i)->MergeTexts();
        if (std::any_of(texts.cbegin(), texts.cend(), HasMergeFields))
            side.merged.append(i);
    }
}

QList<TGGraphicControl *> TMergeCards::FrontObjects() const
{
    return CardObjects(m_front.shown->Objects());
}

QList<TGGraphicControl *> TMergeCards::BackObjects() const
{
    return m_back.shown ? CardObjects(m_back.shown->Objects()) : QList<TGGraphicControl *>();
}

void TMergeCards::Show(int card)
{
    if (card == m_shown || card < 0 || card >= Count())
        return;
    m_shown = card;
    const TMergeValues values = RecordValues(m_table, m_records.at(card));
    ShowOn(m_front, values);
    if (m_back.shown)
        ShowOn(m_back, values);
}

void TMergeCards::ShowOn(TSide &side, const TMergeValues &values)
{
    const QList<TStoredObject *> &written = side.written->Objects();
    const QList<TStoredObject *> &shown = side.shown->Objects();
    for (const qsizetype i : std::as_const(side.merged)) {
        // Each record starts from the text and the place as written, so that
        // nothing one record grew carries over to the next.
        CopyStoredProperties(*shown.at(i), *written.at(i));
        shown.at(i)->FillMergeFields(values);
    }
}

void TMergeCards::AdjustCopies(const std::function<void(TCardModel &)> &adjust)
{
    for (TSide *side : {&m_front, &m_back})
        for (auto *copy : {&side->written, &side->shown})
            if (*copy)
                adjust(**copy);
    m_shown = -1;
}

bool TMergeCards::HasFields() const
{
    return !m_front.merged.isEmpty() || !m_back.merged.isEmpty();
}

void TMergeCards::ForEachField(
    const TSide &side, const std::function<void(const TStoredObject &, const QString &)> &visit)
{
    if (!side.written)
        return;
    const QList<TStoredObject *> &objects = side.written->Objects();
    for (const qsizetype i : side.merged)
        for (const QString &text : objects.at(i)->MergeTexts())
            for (const QString &name : MergeFieldNames(text))
                visit(*objects.at(i), name);
}

void TMergeCards::ListUnknown(const TSide &side, const QString &sideName,
                              QStringList *fields) const
{
    ForEachField(side, [&](const TStoredObject &object, const QString &name) {
        if (m_table.ColumnIndex(name) >= 0)
            return;
        QString line = QStringLiteral("${%1} in %2").arg(name, object.Name());
        if (!sideName.isEmpty())
            line += QStringLiteral(" (%1)").arg(sideName);
        if (!fields->contains(line))
            fields->append(line);
    });
}

namespace {

// Whether some font draws the character: text falls back from the object's
// font to any installed font that has it, so only a character none has
// prints as a box (glyph 0).
bool SomeFontDraws(char32_t character)
{
    static QHash<char32_t, bool> known;
    if (const auto found = known.constFind(character); found != known.cend())
        return found.value();
    QTextLayout layout(QString::fromUcs4(&character, 1), QFont());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    bool drawn = true;
    for (const QGlyphRun &run : layout.glyphRuns())
        for (const quint32 glyph : run.glyphIndexes())
            drawn = drawn && glyph != 0;
    known.insert(character, drawn);
    return drawn;
}

bool AllDrawn(const QString &text)
{
    for (const char32_t c : text.toUcs4())
        // Plain Latin text is in every font; line breaks and tabs draw nothing.
        if (c >= 0x100 && !SomeFontDraws(c))
            return false;
    return true;
}

} // namespace

QStringList TMergeCards::UndrawableText() const
{
    // Only the columns the design's fields name are drawn.
    QSet<int> used;
    for (const TSide *side : {&m_front, &m_back})
        ForEachField(*side, [&](const TStoredObject &, const QString &name) {
            if (const int column = m_table.ColumnIndex(name); column >= 0)
                used.insert(column);
        });
    QStringList records;
    for (const int record : m_records) {
        const QStringList &values = m_table.Records.at(record);
        for (const int column : std::as_const(used))
            if (!AllDrawn(values.value(column))) {
                records.append(QStringLiteral("Record %1: %2")
                                   .arg(record + 1)
                                   .arg(m_table.Columns.value(column)));
                break;
            }
    }
    return records;
}

QStringList TMergeCards::UnknownFields() const
{
    QStringList fields;
    ListUnknown(m_front, QString(), &fields);
    ListUnknown(m_back, QStringLiteral("back"), &fields);
    return fields;
}

QList<int> AllRecords(const TMergeTable &table)
{
    QList<int> records(table.Records.size());
    std::iota(records.begin(), records.end(), 0);
    return records;
}

QString MergeSummary(int records, int sheets)
{
    return QStringLiteral("%1 %2: %3 %4")
        .arg(records)
        .arg(records == 1 ? QStringLiteral("record") : QStringLiteral("records"))
        .arg(sheets)
        .arg(sheets == 1 ? QStringLiteral("sheet") : QStringLiteral("sheets"));
}
