#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>

// The component stream: the byte format of design files, the clipboard file
// and the in-memory copies of the duplicate command. Little-endian; every
// value carries a one-byte tag in front.

// A failure while writing or reading a stream, with the message the user sees.
class EStreamError : public std::runtime_error
{
public:
    explicit EStreamError(const QString &message);
    const QString &Message() const { return m_message; }

private:
    QString m_message;
};

enum class TStreamValue : uint8_t {
    svNull = 0,
    svList = 1,
    svInt8 = 2,
    svInt16 = 3,
    svInt32 = 4,
    svExtended = 5,
    svString = 6,
    svIdent = 7,
    svFalse = 8,
    svTrue = 9,
    svBinary = 10,
    svSet = 11,
    svLString = 12,
    svNil = 13,
    svCollection = 14,
    // Read for strings written by other producers; svUTF8String is also
    // written into the copies this program keeps for itself.
    svWString = 18,
    svUTF8String = 20,
};

// The four bytes that begin every object record.
inline constexpr char StreamSignature[4] = {'T', 'P', 'F', '0'};

// 80-bit extended floats, converted bit by bit (rounding to nearest even when
// the 64-bit mantissa does not fit a double; out of range gives infinity or 0).
std::array<uint8_t, 10> ExtendedFromDouble(double value);
double DoubleFromExtended(const uint8_t bytes[10]);

// Text as the file holds it: 8-bit Windows-1252.
QByteArray EncodeWindows1252(const QString &text, bool *lossless = nullptr);
QString DecodeWindows1252(const char *data, qsizetype size);

// Identifier tables of colour and cursor values ("clNavy", "crArrow").
std::optional<QString> ColorToIdent(int32_t value);
std::optional<int32_t> IdentToColor(const QString &ident); // letter case ignored
std::optional<QString> CursorToIdent(int32_t value);
std::optional<int32_t> IdentToCursor(const QString &ident);

// Writes values in stream form into memory; the filer puts the bytes in a file.
class TStreamWriter
{
public:
    const QByteArray &Data() const { return m_data; }
    QByteArray TakeData() { return std::move(m_data); }

    void WriteValue(TStreamValue value) { m_data.append(char(value)); }
    void WriteListBegin() { WriteValue(TStreamValue::svList); }
    void WriteListEnd() { WriteValue(TStreamValue::svNull); }
    void WriteSignature() { m_data.append(StreamSignature, 4); }
    // A length byte and up to 255 Windows-1252 characters.
    void WriteShortName(const QString &name);
    void WritePropName(const QString &path) { WriteShortName(path); }
    // svInt8, svInt16 or svInt32, the smallest that holds the value.
    void WriteInteger(int32_t value);
    // "False", "True" and "nil" (any case) as their own tags, else svIdent.
    void WriteIdent(const QString &ident);
    void WriteBoolean(bool value);
    void WriteFloat(double value);
    // svString (up to 255 bytes) or svLString in Windows-1252. Text that it
    // cannot represent goes as svUTF8String where KeepUnicode is set (copies
    // this program reads back itself); elsewhere the characters it lacks
    // become "?" and LostText tells.
    void WriteString(const QString &text);
    // svSet, the identifiers of the set bits by ordinal (0..31), an empty name.
    void WriteSet(uint32_t bits, const QStringList &identifiers);
    void WriteBinary(const QByteArray &bytes);
    void WriteRaw(const QByteArray &bytes) { m_data.append(bytes); }
    void WriteInt32Raw(int32_t value);

    // Design files carry only the format's own tags (0 to 14); undo steps,
    // clones and the clipboard keep every character.
    bool KeepUnicode = false;
    bool LostText() const { return m_lostText; }

private:
    QByteArray m_data;
    bool m_lostText = false;
};

// Reads values from a block of bytes. Every length is checked against the
// bytes that remain before anything is allocated; reading past the end throws
// "Stream read error".
class TStreamReader
{
public:
    // Deepest nesting of lists, collections and child records accepted.
    static constexpr int MaxDepth = 32;

    explicit TStreamReader(QByteArray data);

    qsizetype Position() const { return m_pos; }
    qsizetype Remaining() const { return m_data.size() - m_pos; }
    bool AtEnd() const { return m_pos >= m_data.size(); }

    uint8_t ReadByte();
    const char *ReadBytes(qsizetype count); // pointer into the data, valid while the reader lives
    int32_t ReadInt32Raw();
    int16_t ReadInt16Raw();

    TStreamValue ReadValue();
    TStreamValue NextValue(); // peeks
    bool EndOfList() { return NextValue() == TStreamValue::svNull; }
    void ReadListBegin(); // svList, else "Invalid property value"
    void ReadListEnd();   // svNull, else "Invalid property value"
    void ReadSignature(); // "TPF0", else "Invalid stream format"
    // The optional F0..FF prefix of a record (and the child position it may carry).
    void SkipRecordPrefix();

    QString ReadShortName();
    // The value of an integer property (svInt8/16/32).
    int32_t ReadInteger();
    int32_t ReadIntegerOf(TStreamValue tag);
    // The identifier behind svIdent, svFalse, svTrue or svNil.
    QString ReadIdent();
    QString ReadIdentOf(TStreamValue tag);
    double ReadFloat(); // svExtended or any integer tag
    QString ReadString();
    QString ReadStringOf(TStreamValue tag);
    bool IsStringTag(TStreamValue tag) const;
    bool IsIntegerTag(TStreamValue tag) const;
    // svSet's member names up to the empty one.
    QStringList ReadSetMembers();
    QByteArray ReadBinary(); // svBinary and its bytes

    // Skips one value of any tag (used for collections and child records).
    void SkipValue(int depth = 0);
    // Skips a value whose tag has been read already.
    void SkipValueOf(TStreamValue tag, int depth);
    // The value as the text dump shows it ("clNavy", "'Text'", "[fsBold]", "{N bytes}").
    QString ValueText(int depth = 0);
    // ValueText shows the control characters of strings and names escaped
    // (PrintableText), for text that goes to a terminal.
    bool EscapeControls = false;

private:
    void Need(qsizetype count) const;
    QString Shown(const QString &text) const;
    QByteArray m_data;
    qsizetype m_pos = 0;
};

// Shortest decimal text that reads back as the same double.
QString FloatText(double value);
// A string as the dump quotes it: in single quotes, a quote inside doubled.
QString QuotedText(const QString &text);
