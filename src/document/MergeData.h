#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <optional>
#include <stdexcept>

// Merge printing: one card per record of a spreadsheet (CSV) or an address
// book (vCard), with "${Column}" fields in the design's text filled from it.

// The records a design's merge fields are filled from: column names and, for
// every record, one value per column.
struct TMergeTable
{
    QStringList Columns;
    QList<QStringList> Records; // every record holds Columns.size() values
    // The column of a name: the exact name first, else the first whose name
    // matches ignoring case; -1.
    int ColumnIndex(const QString &name) const;
    bool IsEmpty() const { return Records.isEmpty(); }
};

// Data that cannot be read: what is wrong and the line (1-based, of the file)
// where it is; 0 when the fault is the whole file's (its size, no cards).
class EMergeDataError : public std::runtime_error
{
public:
    // file, when given, goes first: "people.csv: Line 12: ...".
    EMergeDataError(int line, const QString &message, const QString &file = QString());
    int Line() const { return m_line; }
    // what() as text: "Line 12: a quoted field is not closed."
    QString Message() const { return QString::fromUtf8(what()); }
    // What is wrong, without file and line.
    QString Reason() const { return m_reason; }

private:
    int m_line;
    QString m_reason;
};

// Bounds of merge data: no real address book or mailing list comes near them.
inline constexpr qint64 kMaxMergeFileBytes = 64 * 1024 * 1024;
inline constexpr int kMaxMergeColumns = 1000;
inline constexpr qsizetype kMaxMergeValueLength = 64 * 1024;
inline constexpr int kMaxMergeRecords = 1000000;
inline constexpr int kMaxVCards = 100000;
inline constexpr int kMaxVCardProperties = 10000;

// Throw EMergeDataError.
TMergeTable ReadCsv(const QByteArray &bytes);
TMergeTable ReadVCards(const QByteArray &bytes);
// Reads a file: .vcf / .vcard (any case) as vCards, anything else as CSV. The
// size is checked before the file is read. The message names the file and
// the line.
TMergeTable ReadMergeFile(const QString &path);

// Shared by the readers: the size bound and NUL check (throw), and the text
// of bytes: UTF-8 when they are valid UTF-8, else Windows-1252.
void CheckMergeBytes(const QByteArray &bytes);
QString DecodeMergeText(QByteArrayView bytes);
QString DecodeWindows1252(QByteArrayView bytes);

// Merge fields in text: "${Name}" is replaced by value(Name); "$${" writes a
// literal "${" (and what follows is not a field); an unclosed "${" and "${}"
// stay as written. value returns std::nullopt for a name that no column has:
// the field is then replaced by nothing and the name is added to *unknown
// (when given, once per name).
QString ExpandMergeFields(const QString &text,
                          const std::function<std::optional<QString>(const QString &)> &value,
                          QStringList *unknown = nullptr);
// The same for text of one line (a label's caption): a value's line breaks
// become spaces.
QString ExpandMergeFieldsOnOneLine(
    const QString &text, const std::function<std::optional<QString>(const QString &)> &value);
// The names of the fields in the text, in order, each once.
QStringList MergeFieldNames(const QString &text);
// A field value lookup for one record of a table (a copy: the table may go).
std::function<std::optional<QString>(const QString &)> RecordValues(const TMergeTable &table,
                                                                    int record);

// The field splitter of delimited text as spreadsheets write it (RFC 4180),
// shared by the merge data reader and the card stock catalogue: quoted fields
// may hold the delimiter, doubled quotes and line breaks.
struct TCsvRecord
{
    QStringList Fields;     // the first maxFields fields
    qsizetype Count = 0;    // how many fields the record has
    bool ExtraText = false; // a field past the first maxFields is not empty
};

enum class TCsvFault { None, UnclosedQuote, TextAfterQuote, FieldTooLong };

class TCsvScanner
{
public:
    // With lineEndsRecord false the whole text is one record (a line the
    // caller split off already) and line breaks in it are ordinary characters.
    TCsvScanner(QStringView text, QChar delimiter, bool lineEndsRecord = true);
    // Passes over empty lines; false at the end of the text.
    bool SkipEmptyLines();
    // The next record, up to and past its line end. Only the first maxFields
    // fields are kept, so a row of a million delimiters costs nothing.
    TCsvFault Next(TCsvRecord *record, int maxFields, qsizetype maxFieldLength);
    // The line the scanner is at (1-based; CRLF, LF and CR each end one).
    int Line() const { return m_line; }
    // After a fault: the line where the faulty field (or its quote) began.
    int FaultLine() const { return m_faultLine; }

private:
    bool AtLineEnd() const;
    void PassLineEnd();

    QStringView m_text;
    qsizetype m_pos = 0;
    QChar m_delimiter;
    bool m_lineEndsRecord;
    int m_line = 1;
    int m_faultLine = 0;
};
