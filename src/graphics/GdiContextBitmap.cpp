// Bitmap records: bitmaps stretched with their raster operation, pattern
// blits, and the device-independent bitmaps records carry, decoded.
#include "graphics/GdiContext.h"
#include "graphics/Picture.h"

#include <QPaintEngine>

namespace {

// Raster operations of bitmap and pattern blits.
constexpr uint32_t RopSrcCopy = 0x00CC0020, RopSrcAnd = 0x008800C6, RopSrcPaint = 0x00EE0086,
                   RopNotSrcCopy = 0x00330008, RopPatCopy = 0x00F00021, RopBlackness = 0x00000042,
                   RopWhiteness = 0x00FF0062;

} // namespace

// ---- bitmaps -------------------------------------------------------------------

void TGdiContext::Bitmap(const QRectF &dest, const QImage &image, const QRectF &src, uint32_t rop)
{
    if (image.isNull() || dest.width() == 0 || dest.height() == 0)
        return;
    if (m_inPath)
        return;
    UpdateTransform();
    QImage picture = image;
    QRectF from = src.isEmpty() ? QRectF(image.rect()) : src;
    if (dest.width() < 0 || dest.height() < 0) {
        picture = picture.mirrored(dest.width() < 0, dest.height() < 0);
        if (dest.width() < 0)
            from.moveLeft(image.width() - from.right());
        if (dest.height() < 0)
            from.moveTop(image.height() - from.bottom());
    }
    m_painter.save();
    m_painter.setRenderHint(QPainter::SmoothPixmapTransform, m_state.smoothStretch);
    const bool blends =
        m_painter.paintEngine() && m_painter.paintEngine()->hasFeature(QPaintEngine::BlendModes);
    if (rop == RopNotSrcCopy)
        picture.invertPixels();
    else if (rop == RopSrcAnd && blends)
        m_painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    else if (rop == RopSrcPaint && blends)
        m_painter.setCompositionMode(QPainter::CompositionMode_Lighten);
    m_painter.drawImage(dest.normalized(), picture, from);
    m_painter.restore();
}

void TGdiContext::PatternBlt(const QRectF &dest, uint32_t rop)
{
    if (rop == RopPatCopy)
        FillRect(dest, m_state.brush);
    else if (rop == RopBlackness)
        FillRect(dest, QBrush(Qt::black));
    else if (rop == RopWhiteness)
        FillRect(dest, QBrush(Qt::white));
    else if (rop == RopSrcCopy)
        return; // a copy with no source draws nothing
}

QImage TGdiContext::DecodeDib(const QByteArray &info, const QByteArray &bits)
{
    TRecordView view(reinterpret_cast<const uint8_t *>(info.constData()), info.size());
    const uint32_t headerSize = view.U32(0);
    if (!view.ok || headerSize < 12 || headerSize > uint32_t(info.size()))
        return QImage();
    const bool core = headerSize == 12;
    if (!core && headerSize < 40)
        return QImage();
    const uint32_t bitCount = core ? view.U16(10) : view.U16(14);
    const uint32_t compression = core ? 0 : view.U32(16);
    const uint32_t used = core ? 0 : view.U32(32);
    int64_t entries = bitCount <= 8 ? (used ? used : int64_t(1) << bitCount) : used;
    const int64_t tableBytes = entries * (core ? 3 : 4);
    const int64_t masks = !core && compression == 3 ? 12 : 0;
    if (headerSize + tableBytes + (headerSize == 40 ? masks : 0) > info.size() && bits.isEmpty())
        return QImage();

    // The file as the BMP reader takes it: newer information headers become
    // the 40-byte one (their colour masks kept after it).
    QByteArray dib;
    if (core || headerSize == 40) {
        dib = info;
    } else {
        dib = info.left(40);
        dib[0] = 40;
        dib[1] = dib[2] = dib[3] = 0;
        dib += info.mid(40, masks);
        dib += info.mid(headerSize);
    }
    const int64_t offBits = bits.isEmpty()
                                ? 14 + (core ? 12 : 40) + masks + tableBytes
                                : 14 + int64_t(dib.size());
    if (offBits > 14 + int64_t(dib.size()))
        return QImage();
    QByteArray file;
    file.reserve(14 + dib.size() + bits.size());
    const int64_t total = 14 + int64_t(dib.size()) + bits.size();
    const uint32_t header[3] = {uint32_t(total), 0, uint32_t(offBits)};
    file.append("BM", 2);
    for (uint32_t v : header)
        for (int i = 0; i < 4; ++i)
            file.append(char((v >> (8 * i)) & 0xFF));
    file += dib;
    file += bits;
    return DecodeBitmapFile(file);
}
