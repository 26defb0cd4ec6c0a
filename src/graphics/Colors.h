#pragma once

#include <QColor>
#include <cstdint>

// Colours as the design stores them: red in the lowest byte, blue in the third.
using TColor = uint32_t;

inline QColor ColorFromTColor(TColor c)
{
    return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline TColor TColorFromColor(const QColor &c)
{
    return TColor(c.red()) | (TColor(c.green()) << 8) | (TColor(c.blue()) << 16);
}
