#include "graphics/Picture.h"

#include "graphics/MetafilePlayer.h"
#include "graphics/PcxImage.h"
#include "graphics/RegularFile.h"
#include "graphics/TgaImage.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPaintEngine>
#include <QPainter>
#include <QtPlugin>
#include <algorithm>
#include <atomic>
#include <list>
#include <mutex>
#include <unordered_map>
#include <vector>

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

// The decoded images of all pictures, least recently used first out. An
// entry is one picture's bytes (by slot id) decoded at full size (shift 0)
// or reduced by a power of two (shift n: each side divided by 2^n).
class TDecodedPictures
{
public:
    static TDecodedPictures &Instance()
    {
        static TDecodedPictures cache;
        return cache;
    }

    QImage Find(uint64_t id, int shift)
    {
        const std::lock_guard lock(m_mutex);
        const auto found = m_index.find(Key(id, shift));
        if (found == m_index.end())
            return QImage();
        m_entries.splice(m_entries.end(), m_entries, found->second);
        return found->second->image;
    }

    void Keep(uint64_t id, int shift, const QImage &image)
    {
        if (image.isNull())
            return;
        const std::lock_guard lock(m_mutex);
        EraseLocked(Key(id, shift));
        const int64_t bytes = image.sizeInBytes();
        // Room is made before the new image counts; the newest stays even
        // when it alone is over the budget.
        while (!m_entries.empty() && m_bytes + bytes > kDecodedPicturesBudget)
            EraseLocked(m_entries.front().key);
        m_entries.push_back({Key(id, shift), image, bytes});
        m_index.emplace(Key(id, shift), std::prev(m_entries.end()));
        m_bytes += bytes;
    }

    void Forget(uint64_t id)
    {
        const std::lock_guard lock(m_mutex);
        for (int shift = 0; shift <= kMaxShift; ++shift)
            EraseLocked(Key(id, shift));
    }

    int64_t Bytes()
    {
        const std::lock_guard lock(m_mutex);
        return m_bytes;
    }

    static constexpr int kMaxShift = 14;

private:
    struct TEntry
    {
        uint64_t key;
        QImage image;
        int64_t bytes;
    };
    static uint64_t Key(uint64_t id, int shift) { return (id << 4) | uint64_t(shift); }

    void EraseLocked(uint64_t key)
    {
        const auto found = m_index.find(key);
        if (found == m_index.end())
            return;
        m_bytes -= found->second->bytes;
        m_entries.erase(found->second);
        m_index.erase(found);
    }

    std::mutex m_mutex;
    std::list<TEntry> m_entries;
    std::unordered_map<uint64_t, std::list<TEntry>::iterator> m_index;
    int64_t m_bytes = 0;
};

// Each side divided by 2^shift, every pixel the average of the block of
// pixels it stands for, taken from at most 4 x 4 evenly spread samples (the
// last few columns and rows of an uneven side are left out). Reads the
// picture as it was decoded, so that an 8-bit picture is never widened to 32
// bits whole.
QImage ReduceByPowerOfTwo(const QImage &whole, int shift)
{
    QImage source = whole;
    const bool alpha = source.hasAlphaChannel();
    if (source.format() != QImage::Format_Indexed8 &&
        source.format() != (alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32))
        source = source.depth() <= 8 && !alpha
                     ? source.convertToFormat(QImage::Format_Indexed8)
                     : source.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied
                                                    : QImage::Format_RGB32);
    const int block = 1 << shift;
    const int w = std::max(1, source.width() >> shift);
    const int h = std::max(1, source.height() >> shift);
    QImage reduced(w, h, alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (reduced.isNull() || source.isNull())
        return QImage();
    QList<QRgb> table = source.colorTable();
    const bool indexed = source.format() == QImage::Format_Indexed8;
    if (indexed)
        table.resize(256, qRgb(0, 0, 0));
    const int usedWidth = std::min(source.width(), w * block);
    const int usedHeight = std::min(source.height(), h * block);
    const int step = std::max(1, block / 4);
    std::vector<uint64_t> sums(size_t(w) * 4);
    for (int y = 0; y < h; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int rowEnd = std::min(usedHeight, (y + 1) * block);
        int rows = 0;
        for (int sy = y * block; sy < rowEnd; sy += step, ++rows) {
            const uchar *line = source.constScanLine(sy);
            for (int sx = 0; sx < usedWidth; sx += step) {
                const QRgb pixel = indexed ? table.at(line[sx]) : reinterpret_cast<const QRgb *>(line)[sx];
                uint64_t *sum = &sums[size_t(sx >> shift) * 4];
                sum[0] += qRed(pixel);
                sum[1] += qGreen(pixel);
                sum[2] += qBlue(pixel);
                sum[3] += qAlpha(pixel);
            }
        }
        const uint64_t columns = uint64_t((std::min(block, usedWidth) + step - 1) / step);
        const uint64_t count = uint64_t(std::max(1, rows)) * columns;
        auto *out = reinterpret_cast<QRgb *>(reduced.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const uint64_t *sum = &sums[size_t(x) * 4];
            out[x] = qRgba(int(sum[0] / count), int(sum[1] / count), int(sum[2] / count),
                           alpha ? int(sum[3] / count) : 255);
        }
    }
    return reduced;
}

} // namespace

int64_t DecodedPictureBytes()
{
    return TDecodedPictures::Instance().Bytes();
}

// One picture's bytes as the cache knows them; the decoded images go with it.
struct TPicture::TDecodeSlot
{
    TDecodeSlot()
    {
        static std::atomic<uint64_t> lastId{0};
        id = ++lastId;
    }
    ~TDecodeSlot() { TDecodedPictures::Instance().Forget(id); }
    TDecodeSlot(const TDecodeSlot &) = delete;
    TDecodeSlot &operator=(const TDecodeSlot &) = delete;

    uint64_t id = 0;
    // Set when decoding failed, so that the screen does not try on every paint.
    std::atomic<DecodeFailure> failure{DecodeFailure::None};
};

// ---- BMP --------------------------------------------------------------------

QSize BmpFileSize(const QByteArray &file)
{
    const qsizetype size = file.size();
    if (size < 18 || file.at(0) != 'B' || file.at(1) != 'M')
        return QSize();
    const uint32_t offBits = U32(file, 10);
    const uint32_t headerSize = U32(file, 14);
    if (headerSize != 40 && headerSize != 12)
        return QSize();
    if (size < 14 + qsizetype(headerSize))
        return QSize();

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
        return QSize();
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
        return QSize();
    }
    const bool rle = compression == 1 || compression == 2;
    if ((compression == 1 && bitCount != 8) || (compression == 2 && bitCount != 4) ||
        (compression == 3 && bitCount != 16 && bitCount != 32) || compression > 3)
        return QSize();

    int64_t tableBytes = 0;
    if (bitCount <= 8) {
        const int64_t entries = colorsUsed ? colorsUsed : (int64_t(1) << bitCount);
        tableBytes = entries * (headerSize == 12 ? 3 : 4);
    } else if (compression == 3) {
        tableBytes = 12;
    }
    const int64_t tableEnd = 14 + int64_t(headerSize) + tableBytes;
    if (tableEnd > size || offBits < 14 + headerSize || int64_t(offBits) > size)
        return QSize();

    // Decoded, every pixel may take four bytes (the readers widen 16- and
    // 24-bit rows to 32 bits); beyond the budget the picture is refused
    // whatever the file says.
    if (width > kMaxBitmapPixels || height > kMaxBitmapPixels / width || width > kMaxPictureSide ||
        height > kMaxPictureSide)
        return QSize();
    const int64_t pixels = width * height;
    const QSize pictureSize{int(width), int(height)};

    const int64_t available = size - int64_t(offBits);
    if (rle) {
        // Run-length data can describe many pixels in a few bytes; a real
        // picture still needs some bytes for its rows.
        return pixels <= std::max<int64_t>(int64_t(1) << 22, available * 128) ? pictureSize : QSize();
    }
    // Uncompressed rows must all be in the file. width and bitCount are small
    // enough here for the row size; the height is compared by division so
    // that nothing can overflow.
    const int64_t rowBytes = ((width * bitCount + 31) / 32) * 4;
    return height <= available / rowBytes ? pictureSize : QSize();
}

bool IsValidBmpFile(const QByteArray &file)
{
    return BmpFileSize(file).isValid();
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
    , m_size(other.m_size)
    , m_slot(other.m_slot)
{
}

TPicture &TPicture::operator=(const TPicture &other)
{
    if (this == &other)
        return *this;
    m_kind = other.m_kind;
    m_data = other.m_data;
    m_size = other.m_size;
    m_slot = other.m_slot;
    Changed();
    return *this;
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange();
}

void TPicture::TakeGraphic(Kind kind, const QByteArray &data, QSize size)
{
    m_kind = kind;
    m_data = data;
    m_size = size;
    m_slot = kind == Kind::None ? nullptr : std::make_shared<TDecodeSlot>();
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

QImage TPicture::DecodeWhole() const
{
    QImage image;
    if (m_kind == Kind::Bitmap)
        image = DecodeWith(m_data, "bmp");
    else if (m_kind == Kind::Icon)
        image = DecodeWith(m_data, "ico");
    if (!m_slot)
        return image;
    if (!image.isNull()) {
        m_slot->failure = DecodeFailure::None;
    } else {
        // The header was good: when a picture of its size cannot even be
        // made, memory ran out; otherwise the pixel data is damaged.
        const bool memory = QImage(m_size, QImage::Format_Indexed8).isNull();
        m_slot->failure = memory ? DecodeFailure::Memory : DecodeFailure::Damaged;
    }
    return image;
}

TPicture::DecodeFailure TPicture::LastDecodeFailure() const
{
    return m_slot ? m_slot->failure.load() : DecodeFailure::None;
}

QImage TPicture::Image() const
{
    if ((m_kind != Kind::Bitmap && m_kind != Kind::Icon) || !m_slot || m_size.isEmpty())
        return QImage();
    TDecodedPictures &cache = TDecodedPictures::Instance();
    QImage image = cache.Find(m_slot->id, 0);
    if (image.isNull()) {
        image = DecodeWhole();
        cache.Keep(m_slot->id, 0, image);
    }
    return image;
}

QImage TPicture::ImageAtLeast(QSize pixels) const
{
    if (int64_t(m_size.width()) * m_size.height() <= kFullOnScreenPixels || !m_slot)
        return Image();
    // A power-of-two reduction, so that zooming a little does not decode
    // again.
    int shift = 0;
    while (shift < TDecodedPictures::kMaxShift &&
           (m_size.width() >> (shift + 1)) >= std::max(1, pixels.width()) &&
           (m_size.height() >> (shift + 1)) >= std::max(1, pixels.height()))
        ++shift;
    if (shift == 0)
        return Image();
    TDecodedPictures &cache = TDecodedPictures::Instance();
    QImage reduced = cache.Find(m_slot->id, shift);
    if (!reduced.isNull() || m_slot->failure != DecodeFailure::None)
        return reduced;
    // The whole picture is held only while its reduced copy is made.
    QImage whole = cache.Find(m_slot->id, 0);
    if (whole.isNull())
        whole = DecodeWhole();
    if (whole.isNull())
        return QImage();
    reduced = ReduceByPowerOfTwo(whole, shift);
    cache.Keep(m_slot->id, shift, reduced);
    return reduced;
}

void TPicture::SetImage(const QImage &image)
{
    if (image.isNull()) {
        Clear();
        return;
    }
    const QImage decoded = image.convertToFormat(QImage::Format_RGB32);
    TakeGraphic(Kind::Bitmap, EncodeBmp24(image), image.size());
    TDecodedPictures::Instance().Keep(m_slot->id, 0, decoded);
    Changed();
}

bool TPicture::SetBitmapData(const QByteArray &bmp)
{
    // The header is enough to take it: the pixels are decoded when drawn.
    const QSize size = BmpFileSize(bmp);
    if (!size.isValid())
        return false;
    TakeGraphic(Kind::Bitmap, bmp, size);
    Changed();
    return true;
}

void TPicture::SetMetafileData(const QByteArray &metafile)
{
    if (metafile.isEmpty()) {
        Clear();
        return;
    }
    TakeGraphic(Kind::Metafile, metafile, QSize());
    Changed();
}

bool TPicture::SetIconData(const QByteArray &ico)
{
    // An icon file: reserved 0, type 1, at least one image.
    if (ico.size() < 6 || U16(ico, 0) != 0 || U16(ico, 2) != 1 || U16(ico, 4) == 0)
        return false;
    // Icons are small, and their size is that of the image the reader picks.
    QImage image = DecodeWith(ico, "ico");
    if (image.isNull())
        return false;
    TakeGraphic(Kind::Icon, ico, image.size());
    TDecodedPictures::Instance().Keep(m_slot->id, 0, image);
    Changed();
    return true;
}

void TPicture::SetUndecodedIcon(const QByteArray &ico)
{
    TakeGraphic(Kind::Icon, ico, QSize());
    Changed();
}

void TPicture::Clear()
{
    if (m_kind == Kind::None)
        return;
    TakeGraphic(Kind::None, QByteArray(), QSize());
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
        IsValidBmpFile(bytes)) {
        // A file the user picks is decoded now, so that one the reader
        // cannot take goes to the general readers below instead.
        TPicture candidate;
        candidate.SetBitmapData(bytes);
        if (!candidate.Image().isNull()) {
            *this = candidate;
            return true;
        }
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
        return m_size;
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
    case Kind::Icon: {
        const bool raster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster;
        if (!raster) {
            painter.drawImage(target, Image());
            break;
        }
        const QSize device = painter.transform().mapRect(QRectF(target)).size().toSize();
        const QImage image = ImageAtLeast(device);
        if (!image.isNull())
            painter.drawImage(target, image);
        break;
    }
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
