#include "document/MergeData.h"

#include "graphics/RegularFile.h"
#include "graphics/Windows1252.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>
#include <algorithm>

namespace {

QString ErrorText(int line, const QString &message, const QString &file)
{
    const QString text = line > 0 ? QStringLiteral("Line %1: %2").arg(line).arg(message) : message;
    return file.isEmpty() ? text : file + QStringLiteral(": ") + text;
}

} // namespace

EMergeDataError::EMergeDataError(int line, const QString &message, const QString &file)
    : std::runtime_error(ErrorText(line, message, file).toStdString())
    , m_line(line)
    , m_reason(message)
{
}

int TMergeTable::ColumnIndex(const QString &name) const
{
    const int exact = int(Columns.indexOf(name));
    if (exact >= 0)
        return exact;
    for (int i = 0; i < Columns.size(); ++i)
        if (Columns.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

// ---------------------------------------------------------------------------
// The field splitter

TCsvScanner::TCsvScanner(QStringView text, QChar delimiter, bool lineEndsRecord)
    : m_text(text)
    , m_delimiter(delimiter)
    , m_lineEndsRecord(lineEndsRecord)
{
}

bool TCsvScanner::AtLineEnd() const
{
    if (m_pos >= m_text.size())
        return true;
    const QChar c = m_text.at(m_pos);
    return m_lineEndsRecord && (c == u'\n' || c == u'\r');
}

void TCsvScanner::PassLineEnd()
{
    if (m_pos >= m_text.size())
        return;
    if (m_text.at(m_pos) == u'\r' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'\n')
        ++m_pos;
    ++m_pos;
    ++m_line;
}

bool TCsvScanner::SkipEmptyLines()
{
    while (m_pos < m_text.size() && AtLineEnd())
        PassLineEnd();
    return m_pos < m_text.size();
}

TCsvFault TCsvScanner::Next(TCsvRecord *record, int maxFields, qsizetype maxFieldLength)
{
    record->Fields.clear();
    record->Count = 0;
    record->ExtraText = false;
    const qsizetype n = m_text.size();
    QString quoted;
    while (true) {
        const int fieldLine = m_line;
        QString field;
        if (m_pos < n && m_text.at(m_pos) == u'"') {
            ++m_pos;
            quoted.clear();
            while (true) {
                if (m_pos >= n) {
                    m_faultLine = fieldLine;
                    return TCsvFault::UnclosedQuote;
                }
                // The run up to the next quote or line break in one piece.
                qsizetype end = m_pos;
                while (end < n && m_text.at(end) != u'"' && m_text.at(end) != u'\n' &&
                       m_text.at(end) != u'\r')
                    ++end;
                quoted += m_text.mid(m_pos, end - m_pos);
                m_pos = end;
                if (quoted.size() > maxFieldLength) {
                    m_faultLine = fieldLine;
                    return TCsvFault::FieldTooLong;
                }
                if (m_pos >= n)
                    continue;
                const QChar c = m_text.at(m_pos);
                if (c == u'"') {
                    if (m_pos + 1 < n && m_text.at(m_pos + 1) == u'"') {
                        quoted += u'"';
                        m_pos += 2;
                        continue;
                    }
                    ++m_pos;
                    break;
                }
                // A line break inside the quotes is part of the field.
                const qsizetype start = m_pos;
                if (m_lineEndsRecord) {
                    PassLineEnd();
                } else {
                    ++m_pos;
                }
                quoted += m_text.mid(start, m_pos - start);
            }
            if (!AtLineEnd() && m_text.at(m_pos) != m_delimiter) {
                m_faultLine = m_line;
                return TCsvFault::TextAfterQuote;
            }
            field = quoted;
        } else {
            qsizetype end = m_pos;
            while (end < n && m_text.at(end) != m_delimiter &&
                   !(m_lineEndsRecord && (m_text.at(end) == u'\n' || m_text.at(end) == u'\r')))
                ++end;
            if (end - m_pos > maxFieldLength) {
                m_faultLine = fieldLine;
                return TCsvFault::FieldTooLong;
            }
            field = m_text.mid(m_pos, end - m_pos).toString();
            m_pos = end;
        }
        ++record->Count;
        if (record->Count <= maxFields)
            record->Fields.append(field);
        else if (!field.isEmpty())
            record->ExtraText = true;
        if (AtLineEnd()) {
            PassLineEnd();
            return TCsvFault::None;
        }
        ++m_pos; // the delimiter
    }
}

namespace {

// ---------------------------------------------------------------------------
// Text decoding

// The line (1-based) of a byte offset: CRLF, LF and CR each end a line.
int LineOfOffset(const QByteArray &bytes, qsizetype offset)
{
    int line = 1;
    for (qsizetype i = 0; i < offset && i < bytes.size(); ++i) {
        if (bytes.at(i) == '\n')
            ++line;
        else if (bytes.at(i) == '\r' && !(i + 1 < bytes.size() && bytes.at(i + 1) == '\n'))
            ++line;
    }
    return line;
}

} // namespace

void CheckMergeBytes(const QByteArray &bytes)
{
    if (bytes.size() > kMaxMergeFileBytes)
        throw EMergeDataError(0, QStringLiteral("The file is larger than %1 MB.")
                                     .arg(kMaxMergeFileBytes / (1024 * 1024)));
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        throw EMergeDataError(LineOfOffset(bytes, nul),
                              QStringLiteral("the file holds a NUL character; it is not text."));
}

QString DecodeWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(Windows1252Char(uint8_t(bytes.at(i))));
    return text;
}

// UTF-8 when the bytes are valid UTF-8, else Windows-1252: what spreadsheets
// on Windows save as "CSV" without saying which.
QString DecodeMergeText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(bytes);
}

namespace {

// ---------------------------------------------------------------------------
// CSV

// The delimiter of the first row: ',' ';' or tab, whichever occurs most
// outside quotes; comma when none does.
QChar DetectDelimiter(QStringView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && (text.at(pos) == u'\n' || text.at(pos) == u'\r'))
        ++pos;
    int comma = 0, semicolon = 0, tab = 0;
    bool inQuotes = false;
    for (; pos < text.size(); ++pos) {
        const QChar c = text.at(pos);
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (inQuotes)
            continue;
        else if (c == u'\n' || c == u'\r')
            break;
        else if (c == u',')
            ++comma;
        else if (c == u';')
            ++semicolon;
        else if (c == u'\t')
            ++tab;
    }
    if (semicolon > comma && semicolon >= tab)
        return u';';
    if (tab > comma && tab > semicolon)
        return u'\t';
    return u',';
}

void ThrowCsvFault(TCsvFault fault, const TCsvScanner &scanner)
{
    switch (fault) {
    case TCsvFault::UnclosedQuote:
        throw EMergeDataError(scanner.FaultLine(), QStringLiteral("a quoted field is not closed."));
    case TCsvFault::TextAfterQuote:
        throw EMergeDataError(scanner.FaultLine(),
                              QStringLiteral("text follows the closing quote of a field."));
    case TCsvFault::FieldTooLong:
        throw EMergeDataError(
            scanner.FaultLine(),
            QStringLiteral("a field is longer than %1 KB.").arg(kMaxMergeValueLength / 1024));
    case TCsvFault::None:
        break;
    }
}

} // namespace

TMergeTable ReadCsv(const QByteArray &bytes)
{
    CheckMergeBytes(bytes);
    QByteArrayView view(bytes);
    if (view.startsWith("\xEF\xBB\xBF"))
        view = view.sliced(3);
    const QString text = DecodeMergeText(view);
    TCsvScanner scanner(text, DetectDelimiter(text));
    TMergeTable table;
    TCsvRecord record;
    if (!scanner.SkipEmptyLines())
        return table;
    int line = scanner.Line();
    ThrowCsvFault(scanner.Next(&record, kMaxMergeColumns, kMaxMergeValueLength), scanner);
    if (record.Count > kMaxMergeColumns)
        throw EMergeDataError(line, QStringLiteral("the file has %1 columns; at most %2 are read.")
                                        .arg(record.Count)
                                        .arg(kMaxMergeColumns));
    for (qsizetype i = 0; i < record.Fields.size(); ++i) {
        const QString name = record.Fields.at(i).trimmed();
        table.Columns.append(name.isEmpty() ? QStringLiteral("Column %1").arg(i + 1) : name);
    }
    const int columns = int(table.Columns.size());
    while (scanner.SkipEmptyLines()) {
        line = scanner.Line();
        ThrowCsvFault(scanner.Next(&record, columns, kMaxMergeValueLength), scanner);
        if (record.ExtraText)
            throw EMergeDataError(line, QStringLiteral("the row has %1 fields, more than the %2 "
                                                       "columns the first row names.")
                                            .arg(record.Count)
                                            .arg(columns));
        if (table.Records.size() >= kMaxMergeRecords)
            throw EMergeDataError(
                line, QStringLiteral("the file holds more than %1 records.").arg(kMaxMergeRecords));
        while (record.Fields.size() < columns)
            record.Fields.append(QString());
        table.Records.append(record.Fields);
    }
    return table;
}

TMergeTable ReadMergeFile(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QByteArray bytes;
    QString why;
    const TFileReadResult read = ReadRegularFile(path, kMaxMergeFileBytes, &bytes, &why);
    if (read == TFileReadResult::TooLarge)
        throw EMergeDataError(0,
                              QStringLiteral("The file is larger than %1 MB.")
                                  .arg(kMaxMergeFileBytes / (1024 * 1024)),
                              shown);
    if (read != TFileReadResult::Read)
        throw EMergeDataError(0, why, shown);
    const QString suffix = QFileInfo(path).suffix().toLower();
    try {
        if (suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard"))
            return ReadVCards(bytes);
        return ReadCsv(bytes);
    } catch (const EMergeDataError &e) {
        throw EMergeDataError(e.Line(), e.Reason(), shown);
    }
}

// ---------------------------------------------------------------------------
// Merge fields

namespace {

// Walks the text: literal runs to text, each field's name to field.
template <typename TText, typename TField>
void WalkFields(const QString &text, TText &&literal, TField &&field)
{
    const qsizetype n = text.size();
    qsizetype i = 0;
    qsizetype run = 0;
    while (i < n) {
        if (text.at(i) != u'$') {
            ++i;
            continue;
        }
        if (text.mid(i, 3) == QLatin1String("$${")) {
            literal(QStringView(text).mid(run, i - run));
            literal(u"${");
            i += 3;
            run = i;
            continue;
        }
        if (i + 1 < n && text.at(i + 1) == u'{') {
            const qsizetype close = text.indexOf(u'}', i + 2);
            if (close < 0)
                break; // unclosed: the rest stays as written
            const QString name = text.mid(i + 2, close - i - 2).trimmed();
            if (name.isEmpty()) {
                i = close + 1;
                continue;
            }
            literal(QStringView(text).mid(run, i - run));
            field(name);
            i = close + 1;
            run = i;
            continue;
        }
        ++i;
    }
    literal(QStringView(text).mid(run));
}

} // namespace

QString ExpandMergeFields(const QString &text,
                          const std::function<std::optional<QString>(const QString &)> &value,
                          QStringList *unknown)
{
    QString out;
    out.reserve(text.size());
    WalkFields(
        text, [&](QStringView s) { out += s; },
        [&](const QString &name) {
            if (const std::optional<QString> v = value(name))
                out += *v;
            else if (unknown && !unknown->contains(name))
                unknown->append(name);
        });
    return out;
}

QString ExpandMergeFieldsOnOneLine(
    const QString &text, const std::function<std::optional<QString>(const QString &)> &value)
{
    QString line = ExpandMergeFields(text, value);
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return line;
}

QStringList MergeFieldNames(const QString &text)
{
    QStringList names;
    WalkFields(
        text, [](QStringView) {},
        [&](const QString &name) {
            if (!names.contains(name))
                names.append(name);
        });
    return names;
}

std::function<std::optional<QString>(const QString &)> RecordValues(const TMergeTable &table,
                                                                    int record)
{
    TMergeTable columns;
    columns.Columns = table.Columns;
    const QStringList values =
        record >= 0 && record < table.Records.size() ? table.Records.at(record) : QStringList();
    return [columns, values](const QString &name) -> std::optional<QString> {
        const int i = columns.ColumnIndex(name);
        if (i < 0)
            return std::nullopt;
        return values.value(i);
    };
}
