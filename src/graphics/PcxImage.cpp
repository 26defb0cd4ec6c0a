// Static plugins must say so before Qt's plugin header is first seen.
#define QT_STATICPLUGIN
#include "graphics/PcxImage.h"

#include "graphics/Picture.h"
#include "graphics/RegularFile.h"

#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QIODevice>
#include <QVector>
#include <algorithm>

namespace {

constexpr qsizetype HeaderBytes = 128;
constexpr qsizetype PaletteBytes = 769; // marker 0x0C and 256 RGB triples

uint16_t U16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

struct TPcxHeader
{
    int width = 0;
    int height = 0;
    int bits = 0;
    int planes = 0;
    int bytesPerLine = 0;
    bool rle = false;
    bool trailingPalette = false; // 256 colours after the data
    qsizetype dataEnd = 0;
};

// Reads and checks the header alone; false when it is not one we accept.
bool ReadHeaderFields(const QByteArray &file, TPcxHeader *h)
{
    if (file.size() < HeaderBytes)
        return false;
    const auto *p = reinterpret_cast<const uint8_t *>(file.constData());
    if (p[0] != 0x0A || p[1] > 5 || p[1] == 1 || p[2] > 1)
        return false;
    const int xMin = U16(p + 4);
    const int yMin = U16(p + 6);
    const int xMax = U16(p + 8);
    const int yMax = U16(p + 10);
    if (xMax < xMin || yMax < yMin)
        return false;
    h->width = xMax - xMin + 1;
    h->height = yMax - yMin + 1;
    h->bits = p[3];
    h->planes = p[65];
    h->bytesPerLine = U16(p + 66);
    h->rle = p[2] == 1;
    if (h->width > kMaxPictureSide || h->height > kMaxPictureSide)
        return false;
    const bool known = (h->bits == 1 && (h->planes == 1 || h->planes == 4)) ||
                       ((h->bits == 2 || h->bits == 4) && h->planes == 1) ||
                       (h->bits == 8 && (h->planes == 1 || h->planes == 3 || h->planes == 4));
    if (!known)
        return false;
    if (int64_t(h->bytesPerLine) * 8 < int64_t(h->width) * h->bits)
        return false;
    return int64_t(h->width) * h->height <= kMaxBitmapPixels;
}

// The header checked against the data that follows it.
bool ReadHeader(const QByteArray &file, TPcxHeader *h)
{
    if (!ReadHeaderFields(file, h))
        return false;
    const auto *p = reinterpret_cast<const uint8_t *>(file.constData());
    h->dataEnd = file.size();
    if (h->bits == 8 && h->planes == 1 && file.size() >= HeaderBytes + PaletteBytes &&
        p[file.size() - PaletteBytes] == 0x0C) {
        h->trailingPalette = true;
        h->dataEnd = file.size() - PaletteBytes;
    }
    const int64_t data = h->dataEnd - HeaderBytes;
    const int64_t scan = int64_t(h->bytesPerLine) * h->planes * h->height;
    // A run of up to 63 bytes takes two bytes of data.
    return h->rle ? scan <= data * 63 / 2 : scan <= data;
}

// Run-length data read as one stream: some writers let a run carry over from
// one row into the next.
class TPcxStream
{
public:
    TPcxStream(const uint8_t *data, qsizetype size, bool rle)
        : m_data(data)
        , m_size(size)
        , m_rle(rle)
    {
    }

    // Fills out with the next count bytes; false when the data ends first.
    bool Read(uint8_t *out, int count)
    {
        while (count > 0) {
            if (m_runLeft > 0) {
                const int n = std::min(count, m_runLeft);
                std::fill_n(out, n, m_runByte);
                out += n;
                count -= n;
                m_runLeft -= n;
                continue;
            }
            if (m_at >= m_size)
                return false;
            const uint8_t b = m_data[m_at++];
            if (m_rle && (b & 0xC0) == 0xC0) {
                if (m_at >= m_size)
                    return false;
                m_runLeft = b & 0x3F;
                m_runByte = m_data[m_at++];
            } else {
                *out++ = b;
                --count;
            }
        }
        return true;
    }

private:
    const uint8_t *m_data;
    qsizetype m_size;
    bool m_rle;
    qsizetype m_at = 0;
    int m_runLeft = 0;
    uint8_t m_runByte = 0;
};

QVector<QRgb> HeaderPalette(const uint8_t *p, int count)
{
    QVector<QRgb> table(count);
    for (int i = 0; i < count; ++i)
        table[i] = qRgb(p[16 + i * 3], p[17 + i * 3], p[18 + i * 3]);
    return table;
}

bool Allocate(QSize size, QImage::Format format, QImage *image)
{
    return QImageIOHandler::allocateImage(size, format, image);
}

} // namespace

QSize PcxImageSize(const QByteArray &file)
{
    TPcxHeader h;
    if (!ReadHeaderFields(file, &h))
        return QSize();
    return QSize(h.width, h.height);
}

QImage DecodePcx(const QByteArray &file)
{
    TPcxHeader h;
    if (!ReadHeader(file, &h))
        return QImage();
    const auto *p = reinterpret_cast<const uint8_t *>(file.constData());
    TPcxStream stream(p + HeaderBytes, h.dataEnd - HeaderBytes, h.rle);
    QByteArray line(qsizetype(h.bytesPerLine) * h.planes, '\0');
    auto *row = reinterpret_cast<uint8_t *>(line.data());
    const int bpl = h.bytesPerLine;

    QImage image;
    if (h.bits == 8 && h.planes >= 3) {
        const QImage::Format format =
            h.planes == 4 ? QImage::Format_ARGB32 : QImage::Format_RGB32;
        if (!Allocate(QSize(h.width, h.height), format, &image))
            return QImage();
        for (int y = 0; y < h.height; ++y) {
            if (!stream.Read(row, int(line.size())))
                return QImage();
            auto *out = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < h.width; ++x) {
                const int alpha = h.planes == 4 ? row[x + 3 * bpl] : 255;
                out[x] = qRgba(row[x], row[x + bpl], row[x + 2 * bpl], alpha);
            }
        }
        return image;
    }

    // Indexed pictures: every pixel becomes a palette index.
    QVector<QRgb> table;
    if (h.bits == 8) {
        table.resize(256);
        const uint8_t *pal = p + file.size() - 768;
        for (int i = 0; i < 256; ++i)
            table[i] = h.trailingPalette ? qRgb(pal[i * 3], pal[i * 3 + 1], pal[i * 3 + 2])
                                         : qRgb(i, i, i);
    } else if (h.bits == 1 && h.planes == 1) {
        // Monochrome pictures are black on white whatever the header's
        // palette holds, unless its first two entries say otherwise.
        table = HeaderPalette(p, 2);
        if (table[0] == table[1])
            table = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    } else {
        table = HeaderPalette(p, 16);
    }
    if (!Allocate(QSize(h.width, h.height), QImage::Format_Indexed8, &image))
        return QImage();
    image.setColorTable(table);
    for (int y = 0; y < h.height; ++y) {
        if (!stream.Read(row, int(line.size())))
            return QImage();
        uint8_t *out = image.scanLine(y);
        if (h.bits == 8) {
            std::copy_n(row, h.width, out);
            continue;
        }
        const int perByte = 8 / h.bits;
        const int mask = (1 << h.bits) - 1;
        for (int x = 0; x < h.width; ++x) {
            int index = 0;
            for (int plane = 0; plane < h.planes; ++plane) {
                const uint8_t byte = row[plane * bpl + x / perByte];
                const int shift = 8 - h.bits * (x % perByte + 1);
                index |= ((byte >> shift) & mask) << plane;
            }
            out[x] = uint8_t(index);
        }
    }
    return image;
}

// ---- the image format plugin --------------------------------------------------

namespace {

class TPcxHandler : public QImageIOHandler
{
public:
    bool canRead() const override
    {
        if (!device() || !CanRead(device()))
            return false;
        setFormat("pcx");
        return true;
    }

    static bool CanRead(QIODevice *device)
    {
        return PcxImageSize(device->peek(HeaderBytes)).isValid();
    }

    bool read(QImage *image) override
    {
        QIODevice *in = device();
        if (!in)
            return false;
        // The whole file is needed (the palette is at its end); bounded like
        // any picture file.
        QByteArray bytes;
        while (!in->atEnd() || in->bytesAvailable() > 0) {
            const QByteArray chunk = in->read(1 << 20);
            if (chunk.isEmpty())
                break;
            if (bytes.size() + chunk.size() > kMaxPictureFileBytes)
                return false;
            bytes += chunk;
        }
        QImage decoded = DecodePcx(bytes);
        if (decoded.isNull())
            return false;
        *image = std::move(decoded);
        return true;
    }

    bool supportsOption(ImageOption option) const override { return option == Size; }

    QVariant option(ImageOption option) const override
    {
        if (option != Size || !device())
            return QVariant();
        const QSize size = PcxImageSize(device()->peek(HeaderBytes));
        return size.isValid() ? QVariant(size) : QVariant();
    }
};

} // namespace

class TPcxImagePlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QImageIOHandlerFactoryInterface_iid FILE "PcxImage.json")

public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override
    {
        if (format.toLower() == "pcx")
            return CanRead;
        if (!format.isEmpty() || !device || !device->isReadable())
            return {};
        return TPcxHandler::CanRead(device) ? CanRead : Capabilities();
    }

    QImageIOHandler *create(QIODevice *device, const QByteArray &format) const override
    {
        auto *handler = new TPcxHandler;
        handler->setDevice(device);
        handler->setFormat(format.isEmpty() ? QByteArray("pcx") : format);
        return handler;
    }
};

#include "PcxImage.moc"
