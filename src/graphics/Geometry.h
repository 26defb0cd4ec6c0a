#pragma once

#include <QRect>
#include <algorithm>
#include <cmath>
#include <cstdint>

// A rectangle whose right and bottom edges lie outside the area, as card
// objects, the handles and the rubber band use it throughout.
struct TRect
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    static TRect FromBounds(int left, int top, int width, int height)
    {
        return {left, top, left + width, top + height};
    }
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmptyArea() const { return Right <= Left || Bottom <= Top; }
    bool IsZero() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
    TRect Normalized() const
    {
        return {std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
                std::max(Top, Bottom)};
    }
    TRect Grown(int by) const { return {Left - by, Top - by, Right + by, Bottom + by}; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    bool Intersects(const TRect &o) const
    {
        return std::max(Left, o.Left) < std::min(Right, o.Right)
            && std::max(Top, o.Top) < std::min(Bottom, o.Bottom);
    }
    QRect ToQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    bool operator==(const TRect &) const = default;
};

// A double as an int, saturated at the ends of the range (NaN gives 0), so
// that no value read from a damaged file makes a conversion undefined.
inline int SaturatedInt(double v)
{
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0)
        return 2147483647;
    if (v <= -2147483647.0)
        return -2147483647;
    return static_cast<int>(v);
}

// Rounding as the design's arithmetic wants it: to nearest, halves to even.
inline int RoundEven(double v)
{
    return SaturatedInt(std::nearbyint(v));
}

// Integer multiply then divide in 64 bits, halves rounded away from zero.
inline int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const int64_t product = static_cast<int64_t>(number) * numerator;
    const int64_t absProduct = product < 0 ? -product : product;
    const int64_t absDenominator = denominator < 0 ? -int64_t(denominator) : denominator;
    const int64_t q = (2 * absProduct + absDenominator) / (2 * absDenominator);
    const int64_t result = ((product < 0) != (denominator < 0)) ? -q : q;
    return static_cast<int>(std::clamp<int64_t>(result, -2147483647, 2147483647));
}
