#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// ZSoft PCX pictures: 1 bit (one plane: black and white; four planes: 16
// colours), 2 and 4 bits with the header's 16-colour palette, 8 bits with the
// 256-colour palette at the end of the file (grey when it is missing), and
// 24 bits as three 8-bit planes; run-length encoded or plain.
//
// Every header is checked against the bytes that follow it: no side over
// kMaxPictureSide, every row present in the file (a run expands at most 63 times
// from two bytes, so the data must hold at least 2/63 of the rows), and no
// more than kMaxBitmapPixels pixels. Anything else is refused, not guessed.
// The picture's size from its header (the first 128 bytes are enough), or an
// invalid size when the header is not one this reader accepts.
QSize PcxImageSize(const QByteArray &file);
// Decodes a whole PCX file; a null image when it is refused.
QImage DecodePcx(const QByteArray &file);
