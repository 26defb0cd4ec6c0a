// Feeds arbitrary bytes to the PCX reader, directly and through the image
// readers. A picture that decodes must have the size its header gives.
#include "OffscreenGui.h"
#include "graphics/PcxImage.h"

#include <QBuffer>
#include <QImageReader>
#include <QtPlugin>
#include <cstdio>
#include <cstdlib>

// The program imports the reader where its pictures are; this target links
// only the reader, so it imports it itself.
Q_IMPORT_PLUGIN(TPcxImagePlugin)

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    StartOffscreenGui(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QImage image = DecodePcx(bytes);
    if (!image.isNull() && image.size() != PcxImageSize(bytes)) {
        std::fprintf(stderr, "decoded size differs from the header's\n");
        std::abort();
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "pcx");
    const QImage read = reader.read();
    if (read.isNull() != image.isNull()) {
        std::fprintf(stderr, "the image reader and the decoder disagree\n");
        std::abort();
    }
    return 0;
}
