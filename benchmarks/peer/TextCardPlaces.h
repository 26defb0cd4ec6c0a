#pragma once

#include <QRect>

// Where the plain text card of the benchmarks and the peer comparison puts
// its label `i`, and how the label is aligned: spread over the card as real
// labels are (no two neighbours share a place), left, centred and right in
// turn. compare.py writes the peer's card with the same numbers.
inline QRect TextCardPlace(int i)
{
    return QRect(2 + i * 37 % 181, 2 + (i * 53 + i / 181) % 165, 150, 24);
}

// 0 left, 1 centred, 2 right.
inline int TextCardAlignment(int i)
{
    return i % 3;
}
