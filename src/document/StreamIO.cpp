#include "document/StreamIO.h"

#include "graphics/RegularFile.h"
#include "graphics/Windows1252.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>

EStreamError::EStreamError(const QString &message)
    : std::runtime_error(message.toStdString())
    , m_message(message)
{
}

namespace {

const QString ReadErrorText = QStringLiteral("Stream read error");
const QString InvalidValueText = QStringLiteral("Invalid property value");

[[noreturn]] void ThrowReadError()
{
    throw EStreamError(ReadErrorText);
}

[[noreturn]] void ThrowInvalidValue()
{
    throw EStreamError(InvalidValueText);
}

struct TIdentEntry
{
    const char *ident;
    int32_t value;
};

constexpr int32_t SysColor(int index)
{
    return static_cast<int32_t>(0x80000000u | uint32_t(index));
}

// Searched in this order, so the first identifier of a value wins.
constexpr TIdentEntry ColorIdents[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clScrollBar", SysColor(0)},
    {"clBackground", SysColor(1)},
    {"clActiveCaption", SysColor(2)},
    {"clInactiveCaption", SysColor(3)},
    {"clMenu", SysColor(4)},
    {"clWindow", SysColor(5)},
    {"clWindowFrame", SysColor(6)},
    {"clMenuText", SysColor(7)},
    {"clWindowText", SysColor(8)},
    {"clCaptionText", SysColor(9)},
    {"clActiveBorder", SysColor(10)},
    {"clInactiveBorder", SysColor(11)},
    {"clAppWorkSpace", SysColor(12)},
    {"clHighlight", SysColor(13)},
    {"clHighlightText", SysColor(14)},
    {"clBtnFace", SysColor(15)},
    {"clBtnShadow", SysColor(16)},
    {"clGrayText", SysColor(17)},
    {"clBtnText", SysColor(18)},
    {"clInactiveCaptionText", SysColor(19)},
    {"clBtnHighlight", SysColor(20)},
    {"cl3DDkShadow", SysColor(21)},
    {"cl3DLight", SysColor(22)},
    {"clInfoText", SysColor(23)},
    {"clInfoBk", SysColor(24)},
    {"clNone", 0x1FFFFFFF},
};

constexpr TIdentEntry CursorIdents[] = {
    {"crDefault", 0},   {"crArrow", -2},    {"crCross", -3},      {"crIBeam", -4},
    {"crSize", -5},     {"crSizeNESW", -6}, {"crSizeNS", -7},     {"crSizeNWSE", -8},
    {"crSizeWE", -9},   {"crUpArrow", -10}, {"crHourGlass", -11}, {"crDrag", -12},
    {"crNoDrop", -13},  {"crHSplit", -14},  {"crVSplit", -15},    {"crMultiDrag", -16},
    {"crSQLWait", -17}, {"crNo", -18},      {"crAppStart", -19},  {"crHelp", -20},
};

template <size_t N> std::optional<QString> ToIdent(const TIdentEntry (&table)[N], int32_t value)
{
    for (const TIdentEntry &e : table)
        if (e.value == value)
            return QString::fromLatin1(e.ident);
    return std::nullopt;
}

template <size_t N>
std::optional<int32_t> FromIdent(const TIdentEntry (&table)[N], const QString &ident)
{
    for (const TIdentEntry &e : table)
        if (ident.compare(QLatin1StringView(e.ident), Qt::CaseInsensitive) == 0)
            return e.value;
    return std::nullopt;
}

constexpr uint64_t TopBit = uint64_t(1) << 63;

} // namespace

// ---- floats -----------------------------------------------------------------

std::array<uint8_t, 10> ExtendedFromDouble(double value)
{
    const uint64_t bits = std::bit_cast<uint64_t>(value);
    const uint16_t sign = (bits >> 63) ? 0x8000 : 0;
    const int exp = int((bits >> 52) & 0x7FF);
    const uint64_t frac = bits & ((uint64_t(1) << 52) - 1);

    uint64_t mantissa = 0;
    int exponent = 0; // biased by 16383
    if (exp == 0x7FF) {
        exponent = 0x7FFF;
        mantissa = TopBit | (frac << 11);
    } else if (exp == 0) {
        if (frac != 0) {
            // A double denormal is a normal number in the wider exponent.
            const int top = 63 - std::countl_zero(frac); // 0..51
            mantissa = frac << (63 - top);
            exponent = top - 1074 + 16383;
        }
    } else {
        mantissa = TopBit | (frac << 11);
        exponent = exp - 1023 + 16383;
    }

    std::array<uint8_t, 10> out{};
    for (int i = 0; i < 8; ++i)
        out[i] = uint8_t(mantissa >> (8 * i));
    const uint16_t se = uint16_t(sign | uint16_t(exponent));
    out[8] = uint8_t(se & 0xFF);
    out[9] = uint8_t(se >> 8);
    return out;
}

double DoubleFromExtended(const uint8_t bytes[10])
{
    uint64_t mantissa = 0;
    for (int i = 0; i < 8; ++i)
        mantissa |= uint64_t(bytes[i]) << (8 * i);
    const uint16_t se = uint16_t(bytes[8] | (bytes[9] << 8));
    const uint64_t sign = (se & 0x8000) ? TopBit : 0;
    const int biased = se & 0x7FFF;

    if (biased == 0x7FFF) {
        if ((mantissa << 1) == 0)
            return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52));
        uint64_t payload = (mantissa >> 11) & ((uint64_t(1) << 52) - 1);
        payload |= uint64_t(1) << 51; // quiet NaN, never infinity
        return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52) | payload);
    }
    if (mantissa == 0)
        return std::bit_cast<double>(sign);

    // value = mantissa * 2^(e - 63); denormal extendeds use the smallest exponent.
    int e = (biased == 0 ? 1 : biased) - 16383;
    const int lz = std::countl_zero(mantissa);
    mantissa <<= lz;
    e -= lz;

    if (e > 1023)
        return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52));

    if (e >= -1022) {
        uint64_t q = mantissa >> 11;
        const uint64_t rem = mantissa & 0x7FF;
        if (rem > 0x400 || (rem == 0x400 && (q & 1)))
            ++q;
        if (q == (uint64_t(1) << 53)) {
            q >>= 1;
            ++e;
            if (e > 1023)
                return std::bit_cast<double>(sign | (uint64_t(0x7FF) << 52));
        }
        const uint64_t field = uint64_t(e + 1023) << 52;
        return std::bit_cast<double>(sign | field | (q & ((uint64_t(1) << 52) - 1)));
    }

    // Below the normal range: a double denormal, value = q * 2^-1074.
    const int shift = -1011 - e; // at least 12
    if (shift > 64)
        return std::bit_cast<double>(sign);
    uint64_t q;
    uint64_t rem;
    uint64_t half;
    if (shift == 64) {
        q = 0;
        rem = mantissa;
        half = TopBit;
    } else {
        q = mantissa >> shift;
        rem = mantissa & ((uint64_t(1) << shift) - 1);
        half = uint64_t(1) << (shift - 1);
    }
    if (rem > half || (rem == half && (q & 1)))
        ++q;
    // q may reach 2^52, which is exactly the bit pattern of the smallest normal.
    return std::bit_cast<double>(sign | q);
}

// ---- text -------------------------------------------------------------------

QByteArray EncodeWindows1252(const QString &text, bool *lossless)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *to = out.data();
    bool all = true;
    for (QChar ch : text) {
        const int b = Windows1252Byte(ch.unicode());
        all = all && b >= 0;
        *to++ = b < 0 ? '?' : char(b);
    }
    if (lossless)
        *lossless = all;
    return out;
}

QString DecodeWindows1252(const char *data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        const uint8_t b = uint8_t(data[i]);
        dst[i] = QChar(Windows1252Char(b));
    }
    return out;
}

std::optional<QString> ColorToIdent(int32_t value)
{
    return ToIdent(ColorIdents, value);
}

std::optional<int32_t> IdentToColor(const QString &ident)
{
    return FromIdent(ColorIdents, ident);
}

std::optional<QString> CursorToIdent(int32_t value)
{
    return ToIdent(CursorIdents, value);
}

std::optional<int32_t> IdentToCursor(const QString &ident)
{
    return FromIdent(CursorIdents, ident);
}

QString FloatText(double value)
{
    char buf[64];
    const auto result = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, result.ptr - buf);
}

QString QuotedText(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

// ---- writer -----------------------------------------------------------------

void TStreamWriter::WriteShortName(const QString &name)
{
    // Written for every property of every object (and for every undo step),
    // so straight into the stream: one character, one byte.
    const qsizetype length = std::min<qsizetype>(name.size(), 255);
    m_data.append(char(uint8_t(length)));
    const qsizetype at = m_data.size();
    m_data.resize(at + length);
    char *to = m_data.data() + at;
    for (qsizetype i = 0; i < length; ++i) {
        const int b = Windows1252Byte(name.at(i).unicode());
        to[i] = b < 0 ? '?' : char(b);
    }
}

void TStreamWriter::WriteInt32Raw(int32_t value)
{
    const uint32_t u = uint32_t(value);
    const char b[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF),
                       char((u >> 24) & 0xFF)};
    m_data.append(b, 4);
}

void TStreamWriter::WriteInteger(int32_t value)
{
    if (value >= -128 && value <= 127) {
        WriteValue(TStreamValue::svInt8);
        m_data.append(char(int8_t(value)));
    } else if (value >= -32768 && value <= 32767) {
        WriteValue(TStreamValue::svInt16);
        const uint16_t u = uint16_t(int16_t(value));
        m_data.append(char(u & 0xFF));
        m_data.append(char(u >> 8));
    } else {
        WriteValue(TStreamValue::svInt32);
        WriteInt32Raw(value);
    }
}

void TStreamWriter::WriteIdent(const QString &ident)
{
    if (ident.compare(QLatin1StringView("False"), Qt::CaseInsensitive) == 0) {
        WriteValue(TStreamValue::svFalse);
    } else if (ident.compare(QLatin1StringView("True"), Qt::CaseInsensitive) == 0) {
        WriteValue(TStreamValue::svTrue);
    } else if (ident.compare(QLatin1StringView("nil"), Qt::CaseInsensitive) == 0) {
        WriteValue(TStreamValue::svNil);
    } else {
        WriteValue(TStreamValue::svIdent);
        WriteShortName(ident);
    }
}

void TStreamWriter::WriteBoolean(bool value)
{
    WriteValue(value ? TStreamValue::svTrue : TStreamValue::svFalse);
}

void TStreamWriter::WriteFloat(double value)
{
    WriteValue(TStreamValue::svExtended);
    const std::array<uint8_t, 10> bytes = ExtendedFromDouble(value);
    m_data.append(reinterpret_cast<const char *>(bytes.data()), 10);
}

void TStreamWriter::WriteString(const QString &text)
{
    bool lossless = true;
    const QByteArray bytes = EncodeWindows1252(text, &lossless);
    m_lostText = m_lostText || (!lossless && !KeepUnicode);
    if (!lossless && KeepUnicode) {
        const QByteArray utf8 = text.toUtf8();
        WriteValue(TStreamValue::svUTF8String);
        WriteInt32Raw(int32_t(utf8.size()));
        m_data.append(utf8);
    } else if (bytes.size() <= 255) {
        WriteValue(TStreamValue::svString);
        m_data.append(char(uint8_t(bytes.size())));
        m_data.append(bytes);
    } else {
        WriteValue(TStreamValue::svLString);
        WriteInt32Raw(int32_t(bytes.size()));
        m_data.append(bytes);
    }
}

void TStreamWriter::WriteSet(uint32_t bits, const QStringList &identifiers)
{
    WriteValue(TStreamValue::svSet);
    for (int i = 0; i < 32 && i < identifiers.size(); ++i)
        if (bits & (uint32_t(1) << i))
            WriteShortName(identifiers.at(i));
    m_data.append('\0');
}

void TStreamWriter::WriteBinary(const QByteArray &bytes)
{
    WriteValue(TStreamValue::svBinary);
    WriteInt32Raw(int32_t(bytes.size()));
    m_data.append(bytes);
}

// ---- reader -----------------------------------------------------------------

TStreamReader::TStreamReader(QByteArray data)
    : m_data(std::move(data))
{
}

void TStreamReader::Need(qsizetype count) const
{
    if (count < 0 || count > m_data.size() - m_pos)
        ThrowReadError();
}

uint8_t TStreamReader::ReadByte()
{
    Need(1);
    return uint8_t(m_data.constData()[m_pos++]);
}

const char *TStreamReader::ReadBytes(qsizetype count)
{
    Need(count);
    const char *p = m_data.constData() + m_pos;
    m_pos += count;
    return p;
}

int32_t TStreamReader::ReadInt32Raw()
{
    const auto *p = reinterpret_cast<const uint8_t *>(ReadBytes(4));
    return int32_t(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                   (uint32_t(p[3]) << 24));
}

int16_t TStreamReader::ReadInt16Raw()
{
    const auto *p = reinterpret_cast<const uint8_t *>(ReadBytes(2));
    return int16_t(uint16_t(p[0] | (p[1] << 8)));
}

TStreamValue TStreamReader::ReadValue()
{
    return TStreamValue(ReadByte());
}

TStreamValue TStreamReader::NextValue()
{
    Need(1);
    return TStreamValue(uint8_t(m_data.constData()[m_pos]));
}

void TStreamReader::ReadListBegin()
{
    if (ReadValue() != TStreamValue::svList)
        ThrowInvalidValue();
}

void TStreamReader::ReadListEnd()
{
    if (ReadValue() != TStreamValue::svNull)
        ThrowInvalidValue();
}

void TStreamReader::ReadSignature()
{
    if (std::memcmp(ReadBytes(4), StreamSignature, 4) != 0)
        throw EStreamError(QStringLiteral("Invalid stream format"));
}

void TStreamReader::SkipRecordPrefix()
{
    Need(1);
    const uint8_t b = uint8_t(m_data.constData()[m_pos]);
    if ((b & 0xF0) != 0xF0)
        return;
    ++m_pos;
    if (b & 0x02)
        ReadInteger();
}

QString TStreamReader::ReadShortName()
{
    const uint8_t length = ReadByte();
    const char *p = ReadBytes(length);
    return DecodeWindows1252(p, length);
}

bool TStreamReader::IsIntegerTag(TStreamValue tag) const
{
    return tag == TStreamValue::svInt8 || tag == TStreamValue::svInt16 ||
           tag == TStreamValue::svInt32;
}

bool TStreamReader::IsStringTag(TStreamValue tag) const
{
    return tag == TStreamValue::svString || tag == TStreamValue::svLString ||
           tag == TStreamValue::svWString || tag == TStreamValue::svUTF8String;
}

int32_t TStreamReader::ReadIntegerOf(TStreamValue tag)
{
    switch (tag) {
    case TStreamValue::svInt8:
        return int8_t(ReadByte());
    case TStreamValue::svInt16:
        return ReadInt16Raw();
    case TStreamValue::svInt32:
        return ReadInt32Raw();
    default:
        ThrowInvalidValue();
    }
}

int32_t TStreamReader::ReadInteger()
{
    return ReadIntegerOf(ReadValue());
}

QString TStreamReader::ReadIdentOf(TStreamValue tag)
{
    switch (tag) {
    case TStreamValue::svIdent:
        return ReadShortName();
    case TStreamValue::svFalse:
        return QStringLiteral("False");
    case TStreamValue::svTrue:
        return QStringLiteral("True");
    case TStreamValue::svNil:
        return QStringLiteral("nil");
    default:
        ThrowInvalidValue();
    }
}

QString TStreamReader::ReadIdent()
{
    return ReadIdentOf(ReadValue());
}

double TStreamReader::ReadFloat()
{
    const TStreamValue tag = ReadValue();
    if (tag == TStreamValue::svExtended)
        return DoubleFromExtended(reinterpret_cast<const uint8_t *>(ReadBytes(10)));
    if (IsIntegerTag(tag))
        return ReadIntegerOf(tag);
    ThrowInvalidValue();
}

QString TStreamReader::ReadStringOf(TStreamValue tag)
{
    switch (tag) {
    case TStreamValue::svString: {
        const uint8_t length = ReadByte();
        return DecodeWindows1252(ReadBytes(length), length);
    }
    case TStreamValue::svLString: {
        const qsizetype length = uint32_t(ReadInt32Raw());
        return DecodeWindows1252(ReadBytes(length), length);
    }
    case TStreamValue::svUTF8String: {
        const qsizetype length = uint32_t(ReadInt32Raw());
        return QString::fromUtf8(ReadBytes(length), length);
    }
    case TStreamValue::svWString: {
        const qsizetype count = uint32_t(ReadInt32Raw());
        Need(count * 2);
        const auto *p = reinterpret_cast<const uint8_t *>(ReadBytes(count * 2));
        QString out(count, Qt::Uninitialized);
        for (qsizetype i = 0; i < count; ++i)
            out[i] = QChar(char16_t(p[2 * i] | (p[2 * i + 1] << 8)));
        return out;
    }
    default:
        ThrowInvalidValue();
    }
}

QString TStreamReader::ReadString()
{
    return ReadStringOf(ReadValue());
}

QStringList TStreamReader::ReadSetMembers()
{
    QStringList members;
    for (;;) {
        const QString name = ReadShortName();
        if (name.isEmpty())
            return members;
        members.append(name);
    }
}

QByteArray TStreamReader::ReadBinary()
{
    if (ReadValue() != TStreamValue::svBinary)
        ThrowInvalidValue();
    const qsizetype length = uint32_t(ReadInt32Raw());
    const char *p = ReadBytes(length);
    return QByteArray(p, length);
}

void TStreamReader::SkipValue(int depth)
{
    SkipValueOf(ReadValue(), depth);
}

void TStreamReader::SkipValueOf(TStreamValue tag, int depth)
{
    if (depth > MaxDepth)
        ThrowReadError();
    switch (tag) {
    case TStreamValue::svNull:
    case TStreamValue::svFalse:
    case TStreamValue::svTrue:
    case TStreamValue::svNil:
        return;
    case TStreamValue::svList:
        while (!EndOfList())
            SkipValue(depth + 1);
        ReadByte();
        return;
    case TStreamValue::svInt8:
    case TStreamValue::svInt16:
    case TStreamValue::svInt32:
        ReadIntegerOf(tag);
        return;
    case TStreamValue::svExtended:
        ReadBytes(10);
        return;
    case TStreamValue::svIdent:
        ReadShortName();
        return;
    case TStreamValue::svString:
        ReadBytes(ReadByte());
        return;
    case TStreamValue::svLString:
    case TStreamValue::svUTF8String:
    case TStreamValue::svBinary:
        ReadBytes(qsizetype(uint32_t(ReadInt32Raw())));
        return;
    case TStreamValue::svWString:
        ReadBytes(qsizetype(uint32_t(ReadInt32Raw())) * 2);
        return;
    case TStreamValue::svSet:
        while (ReadByte() != 0) {
            --m_pos;
            ReadShortName();
        }
        return;
    case TStreamValue::svCollection:
        while (!EndOfList()) {
            if (IsIntegerTag(NextValue()))
                ReadInteger();
            ReadListBegin();
            while (!EndOfList()) {
                ReadShortName();
                SkipValue(depth + 1);
            }
            ReadListEnd();
        }
        ReadByte();
        return;
    }
    ThrowInvalidValue();
}

QString TStreamReader::Shown(const QString &text) const
{
    return EscapeControls ? PrintableText(text) : text;
}

QString TStreamReader::ValueText(int depth)
{
    if (depth > MaxDepth)
        ThrowReadError();
    const TStreamValue tag = ReadValue();
    switch (tag) {
    case TStreamValue::svList: {
        QString text = QStringLiteral("(");
        while (!EndOfList())
            text += QStringLiteral("\n    ") + ValueText(depth + 1);
        ReadByte();
        return text + QStringLiteral("\n  )");
    }
    case TStreamValue::svInt8:
    case TStreamValue::svInt16:
    case TStreamValue::svInt32:
        return QString::number(ReadIntegerOf(tag));
    case TStreamValue::svExtended:
        return FloatText(DoubleFromExtended(reinterpret_cast<const uint8_t *>(ReadBytes(10))));
    case TStreamValue::svString:
    case TStreamValue::svLString:
    case TStreamValue::svWString:
    case TStreamValue::svUTF8String:
        return QuotedText(Shown(ReadStringOf(tag)));
    case TStreamValue::svIdent:
    case TStreamValue::svFalse:
    case TStreamValue::svTrue:
    case TStreamValue::svNil:
        return Shown(ReadIdentOf(tag));
    case TStreamValue::svBinary: {
        const qsizetype length = uint32_t(ReadInt32Raw());
        ReadBytes(length);
        return QStringLiteral("{%1 bytes}").arg(length);
    }
    case TStreamValue::svSet:
        return QLatin1Char('[') + Shown(ReadSetMembers().join(QStringLiteral(", "))) +
               QLatin1Char(']');
    case TStreamValue::svCollection: {
        const qsizetype start = m_pos;
        SkipValueOf(tag, depth);
        return QStringLiteral("<collection of %1 bytes>").arg(m_pos - start);
    }
    case TStreamValue::svNull:
        break;
    }
    ThrowInvalidValue();
}
