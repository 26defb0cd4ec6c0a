#include "graphics/Picture.h"

#include "graphics/MetafilePlayer.h"
#include "graphics/PcxImage.h"
#include "graphics/RegularFile.h"
#include "graphics/TgaImage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QtPlugin>
#include <algorithm>

// Our own PCX reader, built into the program so that every image reader
// knows the format.
Q_IMPORT_PLUGIN(TPcxImagePlugin)

namespace {

uint32_t U32(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const uint8_t *>(b.constData() + at);
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

uint16_t U16(const QByteArray &b, qsizetype at)
{
    const auto *p = reinterpret_cast<const uint8_t *>(b.constData() + at);
    return uint16_t(p[0] | (p[1] << 8));
}

void PutU32(QByteArray &b, uint32_t v)
{
    const char bytes[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                           char((v >> 24) & 0xFF)};
    b.append(bytes, 4);
}

void PutU16(QByteArray &b, uint16_t v)
{
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}

// The image readers refuse an image above their allocation limit; keep that
// limit at the same budget as the BMP check, so that every picture the check
// lets through also decodes.
void ApplyDecodeBudget()
{
    QImageReader::setAllocationLimit(int(kMaxDecodedImageBytes / (1024 * 1024)));
}

// Decodes with the reader of the given format, or the one the content names
// when format is empty. Pictures larger than kMaxPictureSide on a side are
// refused before they are decoded.
QImage DecodeWith(const QByteArray &bytes, const QByteArray &format)
{
    ApplyDecodeBudget();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(format.isEmpty());
    const QSize size = reader.size();
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        return QImage();
    QImage image = reader.read();
    if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
        return QImage();
    return image;
}

// The reader for a file name's extension (upper case), or empty to decide by
// the content.
QByteArray FormatOfExtension(const QString &ext)
{
    static const struct
    {
        const char *ext;
        const char *format;
    } formats[] = {{"BMP", "bmp"}, {"DIB", "bmp"}, {"RLE", "bmp"}, {"JPG", "jpeg"},
                   {"JPEG", "jpeg"}, {"JIF", "jpeg"}, {"GIF", "gif"}, {"TGA", "tga"},
                   {"PCX", "pcx"}, {"ICO", "ico"}, {"PNG", "png"}};
    for (const auto &f : formats)
        if (ext == QLatin1StringView(f.ext))
            return f.format;
    return QByteArray();
}

bool IsBmpFormat(const QByteArray &bytes, const QByteArray &format)
{
    return format == "bmp" || (format.isEmpty() && bytes.startsWith("BM"));
}

// A picture file's bytes as a bitmap: by the reader its extension names, and
// when that fails by the one its content names. BMP files pass the BMP check
// first, whichever way they are found.
QImage DecodePictureBytes(const QByteArray &bytes, const QString &suffix)
{
    const QByteArray format = FormatOfExtension(suffix.toUpper());
    QImage image;
    if (!format.isEmpty())
        image = IsBmpFormat(bytes, format) ? DecodeBitmapFile(bytes) : DecodeWith(bytes, format);
    // The TGA plugin reads only plain version-2 files; ours reads the rest.
    if (image.isNull() && format == "tga")
        image = DecodeTga(bytes);
    if (image.isNull()) {
        if (bytes.startsWith("BM"))
            return DecodeBitmapFile(bytes);
        image = DecodeWith(bytes, QByteArray());
    }
    return image;
}

TPicture::MetafilePainter &MetafilePainterSlot()
{
    static TPicture::MetafilePainter painter = PlayMetafile;
    return painter;
}

bool LooksLikeMetafile(const QByteArray &bytes)
{
    return MetafileKindOf(bytes) != TMetafileKind::None;
}

} // namespace

// ---- BMP --------------------------------------------------------------------

bool IsValidBmpFile(const QByteArray &file)
{
    const qsizetype size = file.size();
    if (size < 18 || file.at(0) != 'B' || file.at(1) != 'M')
        return false;
    const uint32_t offBits = U32(file, 10);
    const uint32_t headerSize = U32(file, 14);
    if (headerSize != 40 && headerSize != 12)
        return false;
    if (size < 14 + qsizetype(headerSize))
        return false;

    int64_t width = 0;
    int64_t height = 0;
    uint32_t bitCount = 0;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    if (headerSize == 40) {
        width = int32_t(U32(file, 18));
        height = int32_t(U32(file, 22));
        bitCount = U16(file, 28);
        compression = U32(file, 30);
        colorsUsed = U32(file, 46);
    } else {
        width = U16(file, 18);
        height = U16(file, 20);
        bitCount = U16(file, 24);
    }
    if (width <= 0 || height == 0)
        return false;
    height = height < 0 ? -height : height;

    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        break;
    default:
        return false;
    }
    const bool rle = compression == 1 || compression == 2;
    if ((compression == 1 && bitCount != 8) || (compression == 2 && bitCount != 4) ||
        (compression == 3 && bitCount != 16 && bitCount != 32) || compression > 3)
        return false;

    int64_t tableBytes = 0;
    if (bitCount <= 8) {
        const int64_t entries = colorsUsed ? colorsUsed : (int64_t(1) << bitCount);
        tableBytes = entries * (headerSize == 12 ? 3 : 4);
    } else if (compression == 3) {
        tableBytes = 12;
    }
    const int64_t tableEnd = 14 + int64_t(headerSize) + tableBytes;
    if (tableEnd > size || offBits < 14 + headerSize || int64_t(offBits) > size)
        return false;

    // Decoded, every pixel may take four bytes (the readers widen 16- and
    // 24-bit rows to 32 bits); beyond the budget the picture is refused
    // whatever the file says.
    if (width > kMaxBitmapPixels || height > kMaxBitmapPixels / width)
        return false;
    const int64_t pixels = width * height;

    const int64_t available = size - int64_t(offBits);
    if (rle) {
        // Run-length data can describe many pixels in a few bytes; a real
        // picture still needs some bytes for its rows.
        return pixels <= std::max<int64_t>(int64_t(1) << 22, available * 128);
    }
    // Uncompressed rows must all be in the file. width and bitCount are small
    // enough here for the row size; the height is compared by division so
    // that nothing can overflow.
    const int64_t rowBytes = ((width * bitCount + 31) / 32) * 4;
    return height <= available / rowBytes;
}

QImage DecodeBitmapFile(const QByteArray &file)
{
    return IsValidBmpFile(file) ? DecodeWith(file, "bmp") : QImage();
}

QByteArray EncodeBmp24(const QImage &image)
{
    if (image.isNull())
        return QByteArray();
    const QImage rgb = image.convertToFormat(QImage::Format_BGR888);
    const int w = rgb.width();
    const int h = rgb.height();
    const int rowBytes = ((w * 24 + 31) / 32) * 4;
    const uint32_t pixelBytes = uint32_t(rowBytes) * uint32_t(h);

    QByteArray out;
    out.reserve(54 + int(pixelBytes));
    out.append("BM", 2);
    PutU32(out, 54 + pixelBytes); // file size
    PutU32(out, 0);               // two reserved words
    PutU32(out, 54);              // offset of the pixel bits
    PutU32(out, 40);              // information header
    PutU32(out, uint32_t(w));
    PutU32(out, uint32_t(h)); // positive: bottom row first
    PutU16(out, 1);           // planes
    PutU16(out, 24);          // bits per pixel
    PutU32(out, 0);           // no compression
    PutU32(out, pixelBytes);
    PutU32(out, 0); // pixels per metre, x and y: not recorded
    PutU32(out, 0);
    PutU32(out, 0); // colours used
    PutU32(out, 0); // important colours
    const QByteArray padding(rowBytes - w * 3, '\0');
    for (int y = h - 1; y >= 0; --y) {
        out.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), w * 3);
        out.append(padding);
    }
    return out;
}

// ---- picture ----------------------------------------------------------------

TPicture::TPicture(const TPicture &other)
    : m_kind(other.m_kind)
    , m_data(other.m_data)
    , m_image(other.m_image)
{
}

TPicture &TPicture::operator=(const TPicture &other)
{
    if (this == &other)
        return *this;
    m_kind = other.m_kind;
    m_data = other.m_data;
    m_image = other.m_image;
    Changed();
    return *this;
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange();
}

QString TPicture::GraphicClassName() const
{
    switch (m_kind) {
    case Kind::Bitmap:
        return QStringLiteral("TBitmap");
    case Kind::Metafile:
        return QStringLiteral("TMetafile");
    case Kind::Icon:
        return QStringLiteral("TIcon");
    case Kind::None:
        break;
    }
    return QString();
}

void TPicture::SetImage(const QImage &image)
{
    if (image.isNull()) {
        Clear();
        return;
    }
    m_data = EncodeBmp24(image);
    m_image = image.convertToFormat(QImage::Format_RGB32);
    m_kind = Kind::Bitmap;
    Changed();
}

bool TPicture::SetBitmapData(const QByteArray &bmp)
{
    if (!IsValidBmpFile(bmp))
        return false;
    QImage image = DecodeWith(bmp, "bmp");
    if (image.isNull())
        return false;
    m_data = bmp;
    m_image = std::move(image);
    m_kind = Kind::Bitmap;
    Changed();
    return true;
}

void TPicture::SetMetafileData(const QByteArray &metafile)
{
    if (metafile.isEmpty()) {
        Clear();
        return;
    }
    m_data = metafile;
    m_image = QImage();
    m_kind = Kind::Metafile;
    Changed();
}

bool TPicture::SetIconData(const QByteArray &ico)
{
    // An icon file: reserved 0, type 1, at least one image.
    if (ico.size() < 6 || U16(ico, 0) != 0 || U16(ico, 2) != 1 || U16(ico, 4) == 0)
        return false;
    QImage image = DecodeWith(ico, "ico");
    if (image.isNull())
        return false;
    m_data = ico;
    m_image = std::move(image);
    m_kind = Kind::Icon;
    Changed();
    return true;
}

void TPicture::SetUndecodedIcon(const QByteArray &ico)
{
    m_kind = Kind::Icon;
    m_data = ico;
    m_image = QImage();
    Changed();
}

void TPicture::Clear()
{
    if (m_kind == Kind::None)
        return;
    m_kind = Kind::None;
    m_data.clear();
    m_image = QImage();
    Changed();
}

bool TPicture::LoadFromFile(const QString &path)
{
    QByteArray bytes;
    if (ReadRegularFile(path, kMaxPictureFileBytes, &bytes) != TFileReadResult::Read)
        return false;
    const QString ext = QFileInfo(path).suffix().toLower();

    if (ext == QLatin1StringView("wmf") || ext == QLatin1StringView("emf")) {
        if (!LooksLikeMetafile(bytes))
            return false;
        // Designs keep a WMF with its placeable header, which gives its size.
        SetMetafileData(WithPlaceableHeader(bytes));
        return true;
    }
    if (ext == QLatin1StringView("ico"))
        return SetIconData(bytes);
    if ((ext == QLatin1StringView("bmp") || ext == QLatin1StringView("dib") ||
         ext == QLatin1StringView("rle")) &&
        SetBitmapData(bytes)) {
        return true;
    }
    // Anything else goes to the general readers.
    const QImage image = DecodePictureBytes(bytes, ext);
    if (image.isNull())
        return false;
    SetImage(image);
    return true;
}

QSize TPicture::NaturalSize() const
{
    switch (m_kind) {
    case Kind::Bitmap:
    case Kind::Icon:
        return m_image.size();
    case Kind::Metafile:
        return MetafileNaturalSize(m_data);
    case Kind::None:
        break;
    }
    return QSize();
}

QImage LoadPictureFile(const QString &path)
{
    QByteArray bytes;
    if (ReadRegularFile(path, kMaxPictureFileBytes, &bytes) != TFileReadResult::Read)
        return QImage();
    return DecodePictureBytes(bytes, QFileInfo(path).suffix());
}

void TPicture::Draw(QPainter &painter, const QRect &target) const
{
    switch (m_kind) {
    case Kind::Bitmap:
    case Kind::Icon:
        painter.drawImage(target, m_image);
        break;
    case Kind::Metafile:
        if (const MetafilePainter &paint = MetafilePainterSlot())
            paint(painter, target, m_data);
        break;
    case Kind::None:
        break;
    }
}

void TPicture::SetMetafilePainter(MetafilePainter painter)
{
    MetafilePainterSlot() = std::move(painter);
}
