#include "graphics/Colors.h"

#include <array>

namespace {

constexpr TColor Rgb(int r, int g, int b)
{
    return TColor(r) | (TColor(g) << 8) | (TColor(b) << 16);
}

// The standard Windows scheme, by system colour index (scroll bar, desktop,
// active caption, ..., menu bar).
constexpr std::array<TColor, 31> SystemColors = {
    Rgb(212, 208, 200), Rgb(58, 110, 165),  Rgb(10, 36, 106),   Rgb(128, 128, 128),
    Rgb(212, 208, 200), Rgb(255, 255, 255), Rgb(0, 0, 0),       Rgb(0, 0, 0),
    Rgb(0, 0, 0),       Rgb(255, 255, 255), Rgb(212, 208, 200), Rgb(212, 208, 200),
    Rgb(128, 128, 128), Rgb(10, 36, 106),   Rgb(255, 255, 255), Rgb(212, 208, 200),
    Rgb(128, 128, 128), Rgb(128, 128, 128), Rgb(0, 0, 0),       Rgb(212, 208, 200),
    Rgb(255, 255, 255), Rgb(64, 64, 64),    Rgb(212, 208, 200), Rgb(0, 0, 0),
    Rgb(255, 255, 225), Rgb(181, 181, 181), Rgb(0, 0, 128),     Rgb(166, 202, 240),
    Rgb(192, 192, 192), Rgb(49, 106, 197),  Rgb(212, 208, 200),
};

} // namespace

TColor ResolvedColor(TColor c)
{
    if ((c >> 24) == 0x80) {
        const TColor index = c & 0xFF;
        // An index the scheme does not have is black, as the system gives it.
        return index < SystemColors.size() ? SystemColors[index] : 0;
    }
    return c & 0xFFFFFF;
}
