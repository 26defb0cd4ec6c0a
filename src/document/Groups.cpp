#include "document/Groups.h"

#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "graphics/Picture.h"
#include "graphics/Geometry.h"

#include <cmath>

namespace {

// Pixels per inch that font heights are measured in.
constexpr int FontPpi = 96;

bool IsEntry(const QString &name, const char *entry)
{
    return name.compare(QLatin1StringView(entry), Qt::CaseInsensitive) == 0;
}

template <class Writer> std::vector<std::pair<QString, QString>> DumpOf(Writer write)
{
    TStreamWriter writer;
    write(writer);
    return DumpEntries(writer.Data());
}

} // namespace

// ---- font -------------------------------------------------------------------

TGFont::TGFont() = default;

const TPropertyTable &TGFont::PropertyTable() const
{
    using T = TGFont;
    using namespace props;
    static const TPropertyTable table = {
        props::Color<T>(QStringLiteral("Color"), &T::Color, &T::SetColor),
        Integer<T>(QStringLiteral("Height"), &T::Height, &T::SetHeight),
        String<T>(QStringLiteral("Name"), &T::Name, &T::SetName),
        Enum<T, TFontPitch>(
            QStringLiteral("Pitch"),
            {QStringLiteral("fpDefault"), QStringLiteral("fpVariable"), QStringLiteral("fpFixed")},
            &T::Pitch, &T::SetPitch, fpDefault),
        NeverStored(Integer<T>(QStringLiteral("Size"), &T::Size, &T::SetSize)),
        Set<T>(QStringLiteral("Style"),
               {QStringLiteral("fsBold"), QStringLiteral("fsItalic"), QStringLiteral("fsUnderline"),
                QStringLiteral("fsStrikeOut")},
               &T::Style, &T::SetStyle),
    };
    return table;
}

void TGFont::Changed()
{
    if (OnChange)
        OnChange();
}

void TGFont::SetColor(TColor c)
{
    if (c == m_color)
        return;
    m_color = c;
    Changed();
}

void TGFont::SetHeight(int h)
{
    if (h == m_height)
        return;
    m_height = h;
    Changed();
}

void TGFont::SetName(const QString &name)
{
    const QString cut = name.left(31);
    if (cut == m_name)
        return;
    m_name = cut;
    Changed();
}

void TGFont::SetPitch(TFontPitch p)
{
    if (p < fpDefault || p > fpFixed || p == m_pitch)
        return;
    m_pitch = p;
    Changed();
}

int TGFont::Size() const
{
    // A negative height is the character height; the size follows from it at
    // 96 pixels per inch (a positive cell height gives a negative size).
    return -MulDiv(m_height, 72, FontPpi);
}

void TGFont::SetSize(int points)
{
    SetHeight(-MulDiv(points, FontPpi, 72));
}

void TGFont::SetStyle(uint32_t styleBits)
{
    styleBits &= fsBold | fsItalic | fsUnderline | fsStrikeOut;
    if (styleBits == m_style)
        return;
    m_style = styleBits;
    Changed();
}

QFont TGFont::ToQFont(double zoom) const
{
    QFont font;
    // Fontconfig gives "Arial", "Times New Roman" and "Courier New" their
    // installed metric twins.
    font.setFamily(m_name);
    int64_t pixels = std::abs(int64_t(m_height));
    if (zoom != 1.0) {
        // At another zoom the size in points is scaled and truncated, then
        // turned back into pixels.
        const int points = SaturatedInt(std::trunc(Size() * zoom));
        pixels = std::abs(int64_t(MulDiv(points, FontPpi, 72)));
    }
    // A height that no card could show comes from a damaged file: kept as
    // stored, drawn no larger than this.
    constexpr int64_t MaxDrawnPixels = 10000;
    font.setPixelSize(int(std::clamp<int64_t>(pixels, 1, MaxDrawnPixels)));
    font.setWeight((m_style & fsBold) ? QFont::Bold : QFont::Normal);
    font.setItalic(m_style & fsItalic);
    font.setUnderline(m_style & fsUnderline);
    font.setStrikeOut(m_style & fsStrikeOut);
    if (m_pitch == fpFixed)
        font.setFixedPitch(true);
    return font;
}

void TGFont::Assign(const QFont &font)
{
    int height = m_height;
    if (font.pixelSize() > 0)
        height = -font.pixelSize();
    else if (font.pointSizeF() > 0)
        height = -MulDiv(static_cast<int>(std::lround(font.pointSizeF())), FontPpi, 72);
    uint32_t style = 0;
    if (font.bold())
        style |= fsBold;
    if (font.italic())
        style |= fsItalic;
    if (font.underline())
        style |= fsUnderline;
    if (font.strikeOut())
        style |= fsStrikeOut;
    const QString name = font.family().left(31);
    if (name == m_name && height == m_height && style == m_style)
        return;
    m_name = name;
    m_height = height;
    m_style = style;
    Changed();
}

bool TGFont::operator==(const TGFont &other) const
{
    return m_color == other.m_color && m_height == other.m_height && m_name == other.m_name &&
           m_pitch == other.m_pitch && m_style == other.m_style;
}

void TGFont::Assign(const TGFont &other)
{
    if (&other == this || other == *this)
        return;
    m_color = other.m_color;
    m_height = other.m_height;
    m_name = other.m_name;
    m_pitch = other.m_pitch;
    m_style = other.m_style;
    Changed();
}

// ---- pen --------------------------------------------------------------------

const TPropertyTable &TGPen::PropertyTable() const
{
    using T = TGPen;
    using namespace props;
    static const TPropertyTable table = {
        props::Color<T>(QStringLiteral("Color"), &T::Color, &T::SetColor, 0),
        Enum<T, TPenMode>(
            QStringLiteral("Mode"),
            {QStringLiteral("pmBlack"), QStringLiteral("pmWhite"), QStringLiteral("pmNop"),
             QStringLiteral("pmNot"), QStringLiteral("pmCopy"), QStringLiteral("pmNotCopy"),
             QStringLiteral("pmMergePenNot"), QStringLiteral("pmMaskPenNot"),
             QStringLiteral("pmMergeNotPen"), QStringLiteral("pmMaskNotPen"),
             QStringLiteral("pmMerge"), QStringLiteral("pmNotMerge"), QStringLiteral("pmMask"),
             QStringLiteral("pmNotMask"), QStringLiteral("pmXor"), QStringLiteral("pmNotXor")},
            &T::Mode, &T::SetMode, pmCopy),
        Enum<T, TPenStyle>(QStringLiteral("Style"),
                           {QStringLiteral("psSolid"), QStringLiteral("psDash"),
                            QStringLiteral("psDot"), QStringLiteral("psDashDot"),
                            QStringLiteral("psDashDotDot"), QStringLiteral("psClear"),
                            QStringLiteral("psInsideFrame")},
                           &T::Style, &T::SetStyle, psSolid),
        Integer<T>(QStringLiteral("Width"), &T::Width, &T::SetWidth, 1),
    };
    return table;
}

void TGPen::Changed()
{
    if (OnChange)
        OnChange();
}

void TGPen::SetColor(TColor c)
{
    if (c == m_color)
        return;
    m_color = c;
    Changed();
}

void TGPen::SetMode(TPenMode m)
{
    if (m < pmBlack || m > pmNotXor || m == m_mode)
        return;
    m_mode = m;
    Changed();
}

void TGPen::SetStyle(TPenStyle s)
{
    if (s < psSolid || s > psInsideFrame || s == m_style)
        return;
    m_style = s;
    Changed();
}

void TGPen::SetWidth(int w)
{
    if (w == m_width)
        return;
    m_width = w;
    Changed();
}

bool TGPen::operator==(const TGPen &other) const
{
    return m_color == other.m_color && m_mode == other.m_mode && m_style == other.m_style &&
           m_width == other.m_width;
}

void TGPen::Assign(const TGPen &other)
{
    if (&other == this || other == *this)
        return;
    m_color = other.m_color;
    m_mode = other.m_mode;
    m_style = other.m_style;
    m_width = other.m_width;
    Changed();
}

// ---- brush ------------------------------------------------------------------

const TPropertyTable &TGBrush::PropertyTable() const
{
    using T = TGBrush;
    using namespace props;
    static const TPropertyTable table = {
        props::Color<T>(QStringLiteral("Color"), &T::Color, &T::SetColor, 16777215),
        // Not written when solid, unless something read before it implies another style.
        StoredWhen(Enum<T, TBrushStyle>(QStringLiteral("Style"),
                                        {QStringLiteral("bsSolid"), QStringLiteral("bsClear"),
                                         QStringLiteral("bsHorizontal"), QStringLiteral("bsVertical"),
                                         QStringLiteral("bsFDiagonal"), QStringLiteral("bsBDiagonal"),
                                         QStringLiteral("bsCross"), QStringLiteral("bsDiagCross")},
                                        &T::Style, &T::SetStyle),
                   [](const TPersistent &p) {
                       const auto &brush = static_cast<const TGBrush &>(p);
                       return brush.m_style != bsSolid || brush.m_impliedStyle != bsSolid;
                   }),
    };
    return table;
}

void TGBrush::Changed()
{
    if (OnChange)
        OnChange();
}

void TGBrush::SetColor(TColor c)
{
    if (c == m_color)
        return;
    m_color = c;
    Changed();
}

void TGBrush::SetStyle(TBrushStyle s)
{
    if (s < bsSolid || s > bsDiagCross || s == m_style)
        return;
    m_style = s;
    Changed();
}

bool TGBrush::operator==(const TGBrush &other) const
{
    return m_color == other.m_color && m_style == other.m_style;
}

void TGBrush::Assign(const TGBrush &other)
{
    if (&other == this || other == *this)
        return;
    m_color = other.m_color;
    m_style = other.m_style;
    Changed();
}

// ---- string list ------------------------------------------------------------

const TPropertyTable &TGStrings::PropertyTable() const
{
    static const TPropertyTable table;
    return table;
}

void TGStrings::SetLines(const QStringList &lines)
{
    if (lines == m_lines)
        return;
    m_lines = lines;
    if (OnChange)
        OnChange();
}

void TGStrings::WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const
{
    if (m_lines.isEmpty())
        return;
    writer.WritePropName(prefix + QStringLiteral("Strings"));
    writer.WriteListBegin();
    for (const QString &line : m_lines)
        writer.WriteString(line);
    writer.WriteListEnd();
}

bool TGStrings::ReadDefinedEntry(const QString &name, TStreamReader &reader)
{
    if (!IsEntry(name, "Strings"))
        return false;
    reader.ReadListBegin();
    QStringList lines;
    while (!reader.EndOfList())
        lines.append(reader.ReadString());
    reader.ReadListEnd();
    SetLines(lines);
    return true;
}

std::vector<std::pair<QString, QString>> TGStrings::DumpDefinedEntries() const
{
    return DumpOf([this](TStreamWriter &w) { WriteDefinedEntries(w, QString()); });
}

// ---- pen styles -------------------------------------------------------------

Qt::PenStyle QtPenStyle(TPenStyle s)
{
    switch (s) {
    case psDash:
        return Qt::DashLine;
    case psDot:
        return Qt::DotLine;
    case psDashDot:
        return Qt::DashDotLine;
    case psDashDotDot:
        return Qt::DashDotDotLine;
    case psClear:
        return Qt::NoPen;
    case psSolid:
    case psInsideFrame:
        break;
    }
    return Qt::SolidLine;
}

// ---- brush styles -----------------------------------------------------------

Qt::BrushStyle QtBrushStyle(TBrushStyle s)
{
    switch (s) {
    case bsClear:
        return Qt::NoBrush;
    case bsHorizontal:
        return Qt::HorPattern;
    case bsVertical:
        return Qt::VerPattern;
    case bsFDiagonal:
        return Qt::BDiagPattern; // lower-left to upper-right
    case bsBDiagonal:
        return Qt::FDiagPattern;
    case bsCross:
        return Qt::CrossPattern;
    case bsDiagCross:
        return Qt::DiagCrossPattern;
    case bsSolid:
        break;
    }
    return Qt::SolidPattern;
}

// ---- picture ----------------------------------------------------------------

const TPropertyTable &TGPicture::PropertyTable() const
{
    static const TPropertyTable table;
    return table;
}

void TGPicture::WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const
{
    if (IsEmpty())
        return;
    TStreamWriter payload;
    payload.WriteShortName(GraphicClassName());
    switch (GraphicKind()) {
    case Kind::Bitmap:
        payload.WriteInt32Raw(int32_t(GraphicData().size()));
        payload.WriteRaw(GraphicData());
        break;
    case Kind::Metafile:
        // The length counts its own four bytes.
        payload.WriteInt32Raw(int32_t(GraphicData().size() + 4));
        payload.WriteRaw(GraphicData());
        break;
    case Kind::Icon:
        payload.WriteRaw(GraphicData());
        break;
    case Kind::None:
        break;
    }
    writer.WritePropName(prefix + QStringLiteral("Data"));
    writer.WriteBinary(payload.Data());
}

bool TGPicture::ReadDefinedEntry(const QString &name, TStreamReader &reader)
{
    if (name.compare(QLatin1StringView("Data"), Qt::CaseInsensitive) != 0)
        return false;
    TStreamReader data(reader.ReadBinary());
    if (data.AtEnd())
        return true;
    const QString className = data.ReadShortName();
    if (className == QLatin1StringView("TBitmap")) {
        const int32_t size = data.ReadInt32Raw();
        if (size == 0) {
            Clear();
            return true;
        }
        const char *bytes = data.ReadBytes(size);
        if (!SetBitmapData(QByteArray(bytes, size)))
            throw EStreamError(QStringLiteral("Bitmap image is not valid"));
    } else if (className == QLatin1StringView("TMetafile")) {
        const int32_t length = data.ReadInt32Raw();
        if (length <= 4) {
            Clear();
            return true;
        }
        const char *bytes = data.ReadBytes(length - 4);
        SetMetafileData(QByteArray(bytes, length - 4));
    } else if (className == QLatin1StringView("TIcon")) {
        const qsizetype size = data.Remaining();
        const QByteArray ico(data.ReadBytes(size), size);
        if (ico.isEmpty()) {
            Clear();
        } else if (!SetIconData(ico)) {
            SetUndecodedIcon(ico);
        }
    }
    // Any other graphic class leaves the picture as it was.
    return true;
}

std::vector<std::pair<QString, QString>> TGPicture::DumpDefinedEntries() const
{
    TStreamWriter writer;
    WriteDefinedEntries(writer, QString());
    return DumpEntries(writer.Data());
}

// ---- bitmap -----------------------------------------------------------------

const TPropertyTable &TGBitmap::PropertyTable() const
{
    static const TPropertyTable table;
    return table;
}

void TGBitmap::SetBmpBytes(const QByteArray &bmp)
{
    if (bmp.isEmpty()) {
        Clear();
        return;
    }
    if (!m_picture.SetBitmapData(bmp))
        throw EStreamError(QStringLiteral("Bitmap image is not valid"));
    if (OnChange)
        OnChange();
}

void TGBitmap::SetImage(const QImage &image)
{
    if (image.isNull()) {
        Clear();
        return;
    }
    m_picture.SetImage(image);
    if (OnChange)
        OnChange();
}

void TGBitmap::Clear()
{
    if (m_picture.IsEmpty())
        return;
    m_picture.Clear();
    if (OnChange)
        OnChange();
}

void TGBitmap::Assign(const TGBitmap &other)
{
    if (&other == this || other.BmpBytes() == BmpBytes())
        return;
    m_picture = other.m_picture;
    if (OnChange)
        OnChange();
}

void TGBitmap::WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const
{
    if (IsEmpty())
        return;
    TStreamWriter payload;
    payload.WriteInt32Raw(int32_t(BmpBytes().size()));
    payload.WriteRaw(BmpBytes());
    writer.WritePropName(prefix + QStringLiteral("Data"));
    writer.WriteBinary(payload.Data());
}

bool TGBitmap::ReadDefinedEntry(const QString &name, TStreamReader &reader)
{
    if (!IsEntry(name, "Data"))
        return false;
    const QByteArray payload = reader.ReadBinary();
    if (!m_emptyWhenInvalid) {
        ReadPayload(payload);
        return true;
    }
    try {
        ReadPayload(payload);
    } catch (const EStreamError &) {
        Clear();
    }
    return true;
}

void TGBitmap::ReadPayload(const QByteArray &payload)
{
    TStreamReader data(payload);
    if (data.AtEnd()) {
        Clear();
        return;
    }
    const int32_t size = data.ReadInt32Raw();
    if (size == 0) {
        Clear();
        return;
    }
    const char *bytes = data.ReadBytes(size);
    SetBmpBytes(QByteArray(bytes, size));
}

std::vector<std::pair<QString, QString>> TGBitmap::DumpDefinedEntries() const
{
    return DumpOf([this](TStreamWriter &w) { WriteDefinedEntries(w, QString()); });
}

// ---- rich text --------------------------------------------------------------

const TPropertyTable &TGRichTextData::PropertyTable() const
{
    static const TPropertyTable table;
    return table;
}

void TGRichTextData::SetRtf(const QByteArray &rtf)
{
    if (rtf == m_rtf)
        return;
    m_rtf = rtf;
    if (OnChange)
        OnChange();
}

void TGRichTextData::WriteDefinedEntries(TStreamWriter &writer, const QString &prefix) const
{
    if (IsEmpty())
        return;
    writer.WritePropName(prefix + QStringLiteral("Data"));
    writer.WriteBinary(m_rtf + QByteArray(4, '\0'));
}

bool TGRichTextData::ReadDefinedEntry(const QString &name, TStreamReader &reader)
{
    if (!IsEntry(name, "Data"))
        return false;
    QByteArray data = reader.ReadBinary();
    if (data.endsWith(QByteArray(4, '\0')))
        data.chop(4);
    SetRtf(data);
    return true;
}

std::vector<std::pair<QString, QString>> TGRichTextData::DumpDefinedEntries() const
{
    return DumpOf([this](TStreamWriter &w) { WriteDefinedEntries(w, QString()); });
}
