#include "graphics/MetafilePlayer.h"

#include "graphics/GdiContext.h"
#include "graphics/Picture.h"

#include <cstdint>

namespace {

bool WithinLimit(const QSize &size)
{
    return !size.isValid() || (size.width() <= kMaxPictureSide && size.height() <= kMaxPictureSide);
}

} // namespace

TMetafileKind MetafileKindOf(const QByteArray &metafile)
{
    bool isEmf = false;
    const QSize emf = EmfNaturalSize(metafile, &isEmf);
    if (isEmf)
        return WithinLimit(emf) ? TMetafileKind::Emf : TMetafileKind::None;
    bool isWmf = false;
    const QSize wmf = WmfNaturalSize(metafile, &isWmf);
    if (!isWmf || !WithinLimit(wmf))
        return TMetafileKind::None;
    return metafile.size() >= 4 && uint8_t(metafile[0]) == 0xD7 && uint8_t(metafile[1]) == 0xCD &&
                   uint8_t(metafile[2]) == 0xC6 && uint8_t(metafile[3]) == 0x9A
               ? TMetafileKind::PlaceableWmf
               : TMetafileKind::PlainWmf;
}

QSize MetafileNaturalSize(const QByteArray &metafile)
{
    bool isEmf = false;
    QSize size = EmfNaturalSize(metafile, &isEmf);
    if (!isEmf) {
        bool isWmf = false;
        size = WmfNaturalSize(metafile, &isWmf);
    }
    return size.isValid() && !size.isEmpty() && WithinLimit(size) ? size : QSize();
}

void PlayMetafile(QPainter &painter, const QRect &target, const QByteArray &metafile)
{
    if (target.isEmpty() || !painter.isActive())
        return;
    switch (MetafileKindOf(metafile)) {
    case TMetafileKind::Emf: PlayEmf(painter, target, metafile); break;
    case TMetafileKind::PlainWmf:
    case TMetafileKind::PlaceableWmf: PlayWmf(painter, target, metafile); break;
    case TMetafileKind::None: break;
    }
}

QByteArray WithPlaceableHeader(const QByteArray &metafile)
{
    if (MetafileKindOf(metafile) != TMetafileKind::PlainWmf)
        return metafile;
    const QRect frame = PlainWmfFrame(metafile);
    if (frame.isEmpty() || frame.left() < INT16_MIN || frame.top() < INT16_MIN ||
        frame.left() + frame.width() > INT16_MAX || frame.top() + frame.height() > INT16_MAX)
        return metafile;
    // Key, handle 0, box, units per inch, reserved; then the XOR of those ten words.
    const uint16_t words[10] = {0xCDD7,
                                0x9AC6,
                                0,
                                uint16_t(int16_t(frame.left())),
                                uint16_t(int16_t(frame.top())),
                                uint16_t(int16_t(frame.left() + frame.width())),
                                uint16_t(int16_t(frame.top() + frame.height())),
                                96,
                                0,
                                0};
    uint16_t checksum = 0;
    QByteArray header;
    header.reserve(22 + metafile.size());
    for (uint16_t word : words) {
        checksum ^= word;
        header.append(char(word & 0xFF)).append(char(word >> 8));
    }
    header.append(char(checksum & 0xFF)).append(char(checksum >> 8));
    return header + metafile;
}
