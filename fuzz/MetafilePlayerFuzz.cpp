// Plays arbitrary bytes as a metafile (WMF, placeable or plain, and EMF) into
// a card-sized image, and asks for their natural size. The painter must be
// left as it was.
#include "OffscreenGui.h"
#include "graphics/MetafilePlayer.h"
#include "graphics/Picture.h"

#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    StartOffscreenGui(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QSize natural = MetafileNaturalSize(bytes);
    if (natural.isValid() && (natural.width() > kMaxPictureSide || natural.height() > kMaxPictureSide)) {
        std::fprintf(stderr, "natural size over the limit\n");
        std::abort();
    }
    QImage image(168, 96, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(3, 2);
    const QTransform before = painter.worldTransform();
    PlayMetafile(painter, QRect(4, 4, 160, 88), bytes);
    if (painter.worldTransform() != before || painter.hasClipping()) {
        std::fprintf(stderr, "the painter was not restored\n");
        std::abort();
    }
    return 0;
}
