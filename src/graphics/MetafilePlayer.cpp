#include "graphics/MetafilePlayer.h"

#include "graphics/GdiContext.h"
#include "graphics/Picture.h"

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
