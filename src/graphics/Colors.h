#pragma once

#include <QColor>
#include <cstdint>

// Colours as the design stores them: red in the lowest byte, blue in the third.
// A value whose high byte is 0x80 names a system colour by its low byte.
using TColor = uint32_t;

// The colour with a system colour resolved to its red, green and blue (the
// standard Windows scheme, so a card prints and shows the same on every
// desktop); other colours as they are, without the high byte.
TColor ResolvedColor(TColor c);

inline QColor ColorFromTColor(TColor c)
{
    c = ResolvedColor(c);
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline TColor TColorFromColor(const QColor &c)
{
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}
