#!/usr/bin/env python3
"""Writes the starting corpus of the design reader fuzzer into a folder.

Each entry is a small design written by hand from the stream format's rules:
a list of object records, each "TPF0", class name, object name, then
property entries (path as a short name, tagged value) and two end markers.
"""
import os
import struct
import sys


def short(name: bytes) -> bytes:
    return bytes([len(name)]) + name


def prop(path: bytes, value: bytes) -> bytes:
    return short(path) + value


def ident(name: bytes) -> bytes:
    return b"\x07" + short(name)


def string(text: bytes) -> bytes:
    return b"\x06" + short(text)


def int8(v: int) -> bytes:
    return b"\x02" + struct.pack("<b", v)


def int16(v: int) -> bytes:
    return b"\x03" + struct.pack("<h", v)


def binary(data: bytes) -> bytes:
    return b"\x0a" + struct.pack("<I", len(data)) + data


def record(cls: bytes, name: bytes, props: bytes, prefix: bytes = b"") -> bytes:
    return b"TPF0" + prefix + short(cls) + short(name) + props + b"\x00\x00"


def design(*records: bytes) -> bytes:
    return b"\x01" + b"".join(records) + b"\x00"


BOUNDS = prop(b"Left", int8(24)) + prop(b"Top", int8(16)) + prop(b"Width", int16(150)) \
    + prop(b"Height", int8(22)) + prop(b"Locked", b"\x08") + prop(b"Unselectable", b"\x08")

FONT = prop(b"Font.Color", ident(b"clNavy")) + prop(b"Font.Height", int8(-16)) \
    + prop(b"Font.Name", string(b"Arial")) + prop(b"Font.Style", b"\x0b" + short(b"fsBold") + b"\x00")

# 2 x 2 pixels, 24 bits, bottom row first: red, white / blue, green; rows
# padded to four bytes.
BMP_PIXELS = bytes.fromhex("0000ffffffff0000" "ff00000000ff0000")
BMP = b"BM" + struct.pack("<IHHI", 54 + len(BMP_PIXELS), 0, 0, 54) \
    + struct.pack("<IiiHHIIiiII", 40, 2, 2, 1, 24, 0, len(BMP_PIXELS), 2835, 2835, 0, 0) \
    + BMP_PIXELS


def bmp_header(width: int, height: int, bits: int, pixel_bytes: int) -> bytes:
    """A BMP file whose header claims width x height pixels of `bits` bits,
    followed by pixel_bytes zero bytes (which may be far fewer than claimed)."""
    table = (1 << bits) * 4 if bits <= 8 else 0
    off_bits = 14 + 40 + table
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 0, 0, 0, 0)
    return (b"BM" + struct.pack("<IHHI", off_bits + pixel_bytes, 0, 0, off_bits) + info
            + bytes(table) + bytes(pixel_bytes))


def picture(bmp: bytes) -> bytes:
    return prop(b"Picture.Data", binary(short(b"TBitmap") + struct.pack("<I", len(bmp)) + bmp))


def rle8_bmp(side: int) -> bytes:
    """A side x side run-length picture of one colour: a few bytes a row, many
    megabytes decoded, and shown on screen from a reduced copy."""
    row = b"\xff\x00" * (side // 255) + bytes([side % 255, 0])
    rows = (row + b"\x00\x00") * (side - 1) + row + b"\x00\x01"
    info = struct.pack("<IiiHHIIiiII", 40, side, side, 1, 8, 1, len(rows), 0, 0, 2, 0)
    off_bits = 14 + 40 + 8
    return (b"BM" + struct.pack("<IHHI", off_bits + len(rows), 0, 0, off_bits) + info
            + bytes.fromhex("0000ff0000ff0000") + rows)


# Headers whose row size times height does not fit 64 bits, one row short of
# what the header says, and more pixels than a picture may have.
BMP_OVERFLOW = bmp_header(0x7FFFFFFF, 0x7FFFFFFF, 32, 64)
BMP_SHORT = bmp_header(3, 4, 24, 12 * 3)
BMP_TOO_MANY_PIXELS = bmp_header(8193, 8193, 1, 256)

STARTING_INPUTS = {
    "empty.tsc": design(),
    "label.tsc": design(record(b"TGBusinessCardLabel", b"Component0", BOUNDS
                               + prop(b"Alignment", ident(b"taCenter"))
                               + prop(b"Caption", string(b"Sales Manager")) + FONT
                               + prop(b"Transparent", b"\x09")
                               + prop(b"BackColor", ident(b"clWhite"))
                               + prop(b"BorderStyle", ident(b"bsNone")))),
    "symbol.tsc": design(record(b"TGSymbolLabel", b"S", BOUNDS
                                + prop(b"DepthShadow", int8(3))
                                + prop(b"DirectionHighlight", ident(b"hdright"))
                                + prop(b"Caption", b"\x14" + struct.pack("<I", 6)
                                       + "名片".encode("utf-8"))
                                + prop(b"Tag", b"\x04" + struct.pack("<i", -70000))
                                + prop(b"BackColor", b"\x04" + struct.pack("<I", 0xFFFFFE)))),
    "lines.tsc": design(record(b"TGMultiLineLabel", b"", BOUNDS
                               + prop(b"Items.Strings", b"\x01" + string(b"one") + string(b"it's")
                                      + b"\x0c" + struct.pack("<I", 3) + b"two" + b"\x00")
                               + FONT)),
    "image.tsc": design(record(b"TGImage", b"", BOUNDS
                               + prop(b"Picture.Data", binary(short(b"TBitmap")
                                                              + struct.pack("<I", len(BMP)) + BMP))
                               + prop(b"Stretch", b"\x08"))),
    "shapes.tsc": design(record(b"TBCShapes", b"", BOUNDS
                                + prop(b"Brush.Color", ident(b"clRed"))
                                + prop(b"Brush.Style", ident(b"bsCross"))
                                + prop(b"Pen.Width", int8(3)) + prop(b"Pen.Mode", ident(b"pmXor"))),
                         record(b"TGLineShape", b"", BOUNDS
                                + prop(b"LineStyle", ident(b"stVertical")))),
    "rich.tsc": design(record(b"TGPRichBaseLabel", b"", BOUNDS
                              + prop(b"RTFText.Data", binary(b"{\\rtf1 Hi}\x00\x00\x00\x00"))
                              + prop(b"BGColor", ident(b"clYellow")))),
    "effects.tsc": design(record(b"TSuperShape", b"", BOUNDS
                                 + prop(b"Image.Data", binary(struct.pack("<I", len(BMP)) + BMP))),
                          record(b"TGSuperText", b"", BOUNDS
                                 + prop(b"Caption", string(b"Super")) + FONT)),
    "prefix.tsc": design(record(b"TGPLabel", b"", b"\x00" + short(b"TGPLabel") + short(b"Child")
                                + prop(b"Tag", int8(1)) + b"\x00\x00",
                                prefix=b"\xf2" + int8(3))[:-1]),
    "names.tsc": design(record(b"TGPLabel", b"a", prop(b"Name", string(b"Title"))
                               + prop(b"Name", string(b"TITLE"))),
                        record(b"TGPLabel", b"b", prop(b"Name", string(b"Bad Name")))),
    "hostile.tsc": design(record(b"TGBusinessCardLabel", b"", prop(b"Left", b"\x04" + struct.pack("<i", 2**31 - 1))
                                 + prop(b"Width", b"\x04" + struct.pack("<i", -2**31))
                                 + prop(b"Height", int8(-5)) + prop(b"Angle", int16(90))
                                 + prop(b"DepthShadow", b"\x04" + struct.pack("<i", -2**31))
                                 + prop(b"Font.Height", b"\x04" + struct.pack("<i", -2**31))
                                 + prop(b"Caption", b"\x0c" + struct.pack("<I", 70000) + b"W" * 70000))),
    "bmp-overflow.tsc": design(record(b"TGImage", b"", BOUNDS + picture(BMP_OVERFLOW))),
    "bmp-top-down-overflow.tsc": design(record(
        b"TGImage", b"", BOUNDS + picture(bmp_header(0x7FFFFFFF, -0x7FFFFFFF, 32, 64)))),
    "bmp-short.tsc": design(record(b"TGImage", b"", BOUNDS + picture(BMP_SHORT))),
    "bmp-pixels.tsc": design(record(b"TGImage", b"", BOUNDS + picture(BMP_TOO_MANY_PIXELS))),
    "bmp-large-rle.tsc": design(record(b"TGImage", b"", BOUNDS + picture(rle8_bmp(3000)))),
    "image-overflow.tsc": design(record(b"TSuperShape", b"", BOUNDS
                                        + prop(b"Image.Data", binary(struct.pack("<I", len(BMP_OVERFLOW))
                                                                     + BMP_OVERFLOW)))),
    "barcodes.tsc": design(record(b"TGBarcode", b"", BOUNDS
                                  + prop(b"Data", string(b"https://example.com/\\u00e9\\u20ac"))
                                  + prop(b"ErrorLevel", ident(b"elHigh"))),
                           record(b"TGBarcode", b"", BOUNDS
                                  + prop(b"Symbology", ident(b"bsEAN13"))
                                  + prop(b"Data", string(b"4006381333932"))
                                  + prop(b"ShowText", b"\x08")
                                  + prop(b"ForeColor", ident(b"clNavy"))),
                           record(b"TGBarcode", b"", BOUNDS
                                  + prop(b"Source", ident(b"dsContact"))
                                  + prop(b"Symbology", ident(b"bsPDF417"))
                                  + prop(b"Transparent", b"\x09"))),
    "float.tsc": design(record(b"TGPLabel", b"", prop(b"Angle", int16(90))
                               + prop(b"colorShadow", b"\x05" + bytes.fromhex("0000000000000080ff3f")))),
}


def main() -> None:
    folder = sys.argv[1] if len(sys.argv) > 1 else "corpus"
    os.makedirs(folder, exist_ok=True)
    for name, data in STARTING_INPUTS.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
