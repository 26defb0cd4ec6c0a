#pragma once

#include <QByteArray>
#include <QImage>

// Truevision TGA pictures, version 1 (no footer) and 2: colour-mapped
// (8-bit indices into 15-, 16-, 24- or 32-bit entries), true colour (15, 16,
// 24 and 32 bits) and grey (8 bits), plain or run-length encoded, stored
// bottom-up or top-down. The image readers' TGA plugin reads only version 2
// files without runs; this reader takes the rest.
//
// Checked like every picture reader: sides up to kMaxPictureSide, at most
// kMaxBitmapPixels, every pixel present in the file. A null image when the
// file is refused.
QImage DecodeTga(const QByteArray &file);
