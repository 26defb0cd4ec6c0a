#include "graphics/TgaImage.h"

#include "graphics/Picture.h"

#include <QImageIOHandler>
#include <QVector>

namespace {

constexpr qsizetype HeaderBytes = 18;

uint16_t U16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

// One pixel of the given size in bytes as a colour.
QRgb Colour(const uint8_t *p, int bytes, bool alpha)
{
    switch (bytes) {
    case 1:
        return qRgb(p[0], p[0], p[0]);
    case 2: {
        const uint16_t v = U16(p);
        const auto five = [](int c) { return (c << 3) | (c >> 2); };
        return qRgb(five((v >> 10) & 31), five((v >> 5) & 31), five(v & 31));
    }
    case 3:
        return qRgb(p[2], p[1], p[0]);
    default:
        return qRgba(p[2], p[1], p[0], alpha ? p[3] : 255);
    }
}

} // namespace

QImage DecodeTga(const QByteArray &file)
{
    if (file.size() < HeaderBytes)
        return QImage();
    const auto *p = reinterpret_cast<const uint8_t *>(file.constData());
    const int idLength = p[0];
    const int mapType = p[1];
    const int type = p[2];
    const int mapFirst = U16(p + 3);
    const int mapLength = U16(p + 5);
    const int mapBits = p[7];
    const int width = U16(p + 12);
    const int height = U16(p + 14);
    const int depth = p[16];
    const int descriptor = p[17];
    const bool rle = type >= 9;
    const int kind = rle ? type - 8 : type; // 1 mapped, 2 true colour, 3 grey
    if (kind < 1 || kind > 3 || mapType > 1 || (kind == 1 && mapType != 1))
        return QImage();
    if (width == 0 || height == 0 || width > kMaxPictureSide || height > kMaxPictureSide ||
        int64_t(width) * height > kMaxBitmapPixels)
        return QImage();
    const bool depthOk = (kind == 1 && depth == 8) || (kind == 3 && depth == 8) ||
                         (kind == 2 && (depth == 15 || depth == 16 || depth == 24 || depth == 32));
    if (!depthOk)
        return QImage();
    const int pixelBytes = (depth + 7) / 8;
    const bool alpha = depth == 32 && (descriptor & 0x0F) != 0;

    qsizetype at = HeaderBytes + idLength;
    QVector<QRgb> map;
    if (mapType == 1) {
        if (mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
            return QImage();
        const int entryBytes = (mapBits + 7) / 8;
        if (qsizetype(mapLength) * entryBytes > file.size() - at)
            return QImage();
        if (kind == 1) {
            map.resize(256, qRgb(0, 0, 0));
            for (int i = 0; i < mapLength; ++i)
                if (mapFirst + i < 256)
                    map[mapFirst + i] = Colour(p + at + qsizetype(i) * entryBytes, entryBytes,
                                               mapBits == 32);
        }
        at += qsizetype(mapLength) * entryBytes;
    }
    if (at > file.size())
        return QImage();
    const qsizetype dataBytes = file.size() - at;
    const int64_t pixels = int64_t(width) * height;
    // Plain data holds every pixel; a run packet of 1 + pixelBytes bytes
    // gives at most 128 pixels.
    if (rle ? pixels > int64_t(dataBytes) / (1 + pixelBytes) * 128 + 128
            : pixels * pixelBytes > dataBytes)
        return QImage();

    QImage image;
    if (!QImageIOHandler::allocateImage(QSize(width, height),
                                        alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32,
                                        &image))
        return QImage();
    const bool topDown = descriptor & 0x20;
    const bool rightToLeft = descriptor & 0x10;
    const auto pixelOf = [&](const uint8_t *q) {
        return kind == 1 ? map[q[0]] : Colour(q, pixelBytes, alpha);
    };
    const uint8_t *data = p + at;
    qsizetype read = 0;
    int runLeft = 0;
    bool repeat = false;
    QRgb runPixel = 0;
    for (int64_t n = 0; n < pixels; ++n) {
        QRgb pixel;
        if (!rle) {
            pixel = pixelOf(data + n * pixelBytes);
        } else {
            if (runLeft == 0) {
                if (read >= dataBytes)
                    return QImage();
                const uint8_t head = data[read++];
                runLeft = (head & 0x7F) + 1;
                repeat = head & 0x80;
                if (repeat) {
                    if (pixelBytes > dataBytes - read)
                        return QImage();
                    runPixel = pixelOf(data + read);
                    read += pixelBytes;
                }
            }
            if (repeat) {
                pixel = runPixel;
            } else {
                if (pixelBytes > dataBytes - read)
                    return QImage();
                pixel = pixelOf(data + read);
                read += pixelBytes;
            }
            --runLeft;
        }
        const int row = int(n / width);
        const int column = int(n % width);
        const int y = topDown ? row : height - 1 - row;
        const int x = rightToLeft ? width - 1 - column : column;
        reinterpret_cast<QRgb *>(image.scanLine(y))[x] = pixel;
    }
    return image;
}
