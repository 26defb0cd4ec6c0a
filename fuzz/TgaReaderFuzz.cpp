// Feeds arbitrary bytes to the TGA reader. A picture that decodes has sides
// within the limit and a pixel for every place.
#include "graphics/Picture.h"
#include "graphics/TgaImage.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QImage image = DecodeTga(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (image.isNull())
        return 0;
    if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) {
        std::fprintf(stderr, "a picture past the side limit\n");
        std::abort();
    }
    // Touch every pixel so that uninitialised or missing rows show up.
    uint32_t sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += image.pixel(x, y);
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
