#!/usr/bin/env python3
"""Writes the starting corpus of the picture fuzzers into a folder.

pcx/: PCX files of every depth the reader knows (1 bit in one and four planes,
2, 4 and 8 bits, 24 bits as three planes), run-length encoded and plain.
tga/: TGA files, colour-mapped, true colour and grey, plain and with runs.
metafile/: placeable and plain Windows metafiles and enhanced metafiles that
use the records the player draws: shapes, text, bitmaps, objects, clipping;
and some that pile up records whose cost used to grow with their number
(thousands of clip rectangles, holes cut out of the clip, objects filling a
table of 65,535 slots).
Everything is written from the formats' rules.
"""
import os
import struct
import sys


# ---- PCX -----------------------------------------------------------------------

def pcx(width, height, bits, planes, rows, rle=True, header_palette=b"", palette256=None):
    bpl = ((width * bits + 15) // 16) * 2
    head = struct.pack("<BBBBHHHHHH", 0x0A, 5, 1 if rle else 0, bits, 0, 0,
                       width - 1, height - 1, 96, 96)
    head += header_palette.ljust(48, b"\0")[:48]
    head += struct.pack("<BBHH", 0, planes, bpl, 1)
    head = head.ljust(128, b"\0")
    data = bytearray()
    for y in range(height):
        line = rows(y, bpl)
        assert len(line) == bpl * planes
        if not rle:
            data += line
            continue
        i = 0
        while i < len(line):
            run = 1
            while i + run < len(line) and run < 63 and line[i + run] == line[i]:
                run += 1
            if run > 1 or line[i] >= 0xC0:
                data += bytes([0xC0 | run, line[i]])
            else:
                data.append(line[i])
            i += run
    tail = b""
    if palette256 is not None:
        tail = b"\x0c" + palette256
    return head + bytes(data) + tail


def pcx_files():
    ega = bytes(v for i in range(16) for v in (i * 16, 255 - i * 16, (i * 85) % 256))
    grey = bytes(v for i in range(256) for v in (i, 255 - i, (i * 3) % 256))
    yield "mono.pcx", pcx(13, 7, 1, 1, lambda y, b: bytes((0xAA >> (y % 2)) & 0xFF for _ in range(b)))
    yield "ega.pcx", pcx(9, 5, 1, 4, lambda y, b: bytes((x * 37 + y) % 256 for x in range(b * 4)), header_palette=ega)
    yield "cga.pcx", pcx(8, 4, 2, 1, lambda y, b: bytes([0x1B, 0xE4][x % 2] for x in range(b)), header_palette=ega)
    yield "nibble.pcx", pcx(7, 3, 4, 1, lambda y, b: bytes(0x12 * (y + 1) % 256 for _ in range(b)), header_palette=ega)
    yield "indexed.pcx", pcx(16, 8, 8, 1, lambda y, b: bytes((x * y) % 256 for x in range(b)), palette256=grey)
    yield "indexed-plain.pcx", pcx(5, 4, 8, 1, lambda y, b: bytes(range(y, y + b)), rle=False, palette256=grey)
    yield "rgb.pcx", pcx(11, 6, 8, 3, lambda y, b: bytes((x * 23 + y * 7) % 256 for x in range(b * 3)))
    yield "rgb-runs.pcx", pcx(40, 3, 8, 3, lambda y, b: bytes([0xC8] * (b * 3)))
    yield "rgba.pcx", pcx(4, 2, 8, 4, lambda y, b: bytes(range(b * 4)))


# ---- TGA -----------------------------------------------------------------------

def tga(kind, width, height, depth, descriptor, data, cmap=b"", map_bits=0, footer=False):
    head = struct.pack("<BBBHHBHHHHBB", 2, 1 if cmap else 0, kind, 0,
                       len(cmap) // max(1, (map_bits + 7) // 8), map_bits, 0, 0,
                       width, height, depth, descriptor)
    out = head + b"ab" + cmap + data
    if footer:
        out += struct.pack("<II", 0, 0) + b"TRUEVISION-XFILE.\0"
    return out


def tga_files():
    yield "rgb.tga", tga(2, 3, 2, 24, 0, bytes(range(18)), footer=True)
    yield "rgba-runs.tga", tga(10, 4, 3, 32, 0x28, b"\x83\x10\x20\x30\x80\x01" + bytes(range(8)) +
                               b"\x85\xff\x00\x00\xff")
    yield "mapped.tga", tga(9, 5, 2, 8, 0x20, b"\x84\x01\x04\x00\x01\x02\x03\x00",
                            cmap=b"\x00\x7c\xe0\x03\x1f\x00\xff\x7f", map_bits=16)
    yield "grey.tga", tga(3, 4, 2, 8, 0, bytes(range(0, 256, 32)))
    yield "rgb16.tga", tga(2, 2, 2, 16, 0, b"\x00\x7c\xe0\x03\x1f\x00\xff\x7f")


# ---- WMF -----------------------------------------------------------------------

def rec(function, *words, raw=b""):
    params = b"".join(struct.pack("<h" if w < 0 else "<H", w) for w in words) + raw
    if len(params) % 2:
        params += b"\0"
    return struct.pack("<IH", 3 + len(params) // 2, function) + params


def colorref(r, g, b):
    return struct.pack("<BBBB", r, g, b, 0)


def dib(width, height, pixels):
    """A 24-bit DIB, rows bottom-up, from a function of (x, y) top-down."""
    row = (width * 3 + 3) // 4 * 4
    bits = bytearray()
    for y in reversed(range(height)):
        line = bytearray()
        for x in range(width):
            r, g, b = pixels(x, y)
            line += bytes([b, g, r])
        bits += line.ljust(row, b"\0")
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(bits), 0, 0, 0, 0) + bytes(bits)


def wmf_records():
    out = []
    out.append(rec(0x0103, 8))  # SetMapMode anisotropic
    out.append(rec(0x020B, 0, 0))  # SetWindowOrg
    out.append(rec(0x020C, 500, 1000))  # SetWindowExt y, x
    out.append(rec(0x02FA, 0, 20, 0, raw=colorref(0, 0, 128)))  # pen
    out.append(rec(0x02FC, 0, raw=colorref(255, 0, 0) + b"\0\0"))  # solid brush
    out.append(rec(0x02FC, 2, raw=colorref(0, 128, 0) + struct.pack("<H", 5)))  # hatched
    out.append(rec(0x012D, 0))
    out.append(rec(0x012D, 1))
    out.append(rec(0x0324, 3, 50, 450, 250, 50, 450, 450))  # polygon
    out.append(rec(0x012D, 2))
    out.append(rec(0x0418, 450, 950, 50, 550))  # ellipse
    out.append(rec(0x001E))  # SaveDC
    out.append(rec(0x0416, 400, 900, 100, 600))  # IntersectClipRect
    out.append(rec(0x041B, 480, 980, 20, 520))  # rectangle
    out.append(rec(0x0127, -1 & 0xFFFF))  # RestoreDC
    out.append(rec(0x061C, 40, 40, 300, 300, 200, 200))  # round rect
    out.append(rec(0x081A, 0, 400, 100, 500, 300, 600, 200, 400))  # pie
    out.append(rec(0x0817, 0, 400, 100, 500, 300, 600, 200, 400))  # arc
    out.append(rec(0x0830, 0, 400, 100, 500, 300, 600, 200, 400))  # chord
    out.append(rec(0x0538, 2, 3, 3, 10, 10, 90, 10, 50, 90, 20, 20, 80, 20, 50, 70))  # polypolygon
    out.append(rec(0x0325, 3, 0, 0, 100, 100, 200, 0))  # polyline
    out.append(rec(0x0214, 10, 10))
    out.append(rec(0x0213, 490, 990))
    font = struct.pack("<hhhhhBBBBBBBB", -60, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0) + b"Arial".ljust(32, b"\0")
    out.append(rec(0x02FB, raw=font))
    out.append(rec(0x012D, 3))
    out.append(rec(0x0209, raw=colorref(0, 0, 0)))
    out.append(rec(0x0201, raw=colorref(255, 255, 0)))
    out.append(rec(0x0102, 2))
    out.append(rec(0x012E, 6 | 24))
    out.append(rec(0x0521, 5, raw=b"Card\0\0" + struct.pack("<hh", 250, 500)))  # TextOut
    text = b"Tessaro"
    out.append(rec(0x0A32, 100, 100, len(text), 6, 90, 40, 400, 130, raw=text + b"\0" +
                   b"".join(struct.pack("<h", 40) for _ in text)))  # ExtTextOut
    image = dib(2, 2, lambda x, y: [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)][y * 2 + x])
    out.append(rec(0x0F43, raw=struct.pack("<IHhhhhhhhh", 0x00CC0020, 0, 2, 2, 0, 0, 100, 100, 380, 20) + image))
    out.append(rec(0x0B41, raw=struct.pack("<Ihhhhhhhh", 0x00CC0020, 2, 2, 0, 0, 80, 80, 10, 10) + image))
    out.append(rec(0x0940, raw=struct.pack("<Ihhhhhh", 0x00CC0020, 0, 0, 2, 2, 300, 700) + image))
    out.append(rec(0x061D, raw=struct.pack("<Ihhhh", 0x00F00021, 30, 30, 5, 5)))  # PatBlt
    out.append(rec(0x0142, 5, 0, raw=dib(8, 8, lambda x, y: (x * 30, y * 30, 128))))  # DIB pattern brush
    out.append(rec(0x012D, 4))
    out.append(rec(0x0418, 200, 200, 100, 100))
    out.append(rec(0x06FF, raw=struct.pack("<hhihhhhhhh", 0, 6, 0, 30, 1, 0, 10, 10, 300, 300)))  # region
    out.append(rec(0x012C, 5))
    out.append(rec(0x0228, 5, 1))  # FillRegion
    out.append(rec(0x01F0, 0))
    out.append(rec(0x0000))
    return b"".join(out)


def wmf_header(records, objects=8):
    max_record = 0
    at = 0
    while at < len(records):
        words = struct.unpack_from("<I", records, at)[0]
        max_record = max(max_record, words)
        at += words * 2
    size_words = (18 + len(records)) // 2
    return struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, objects, max_record, 0)


def placeable(records, left, top, right, bottom, inch):
    head = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, left, top, right, bottom, inch, 0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= struct.unpack_from("<H", head, i)[0]
    return head + struct.pack("<H", checksum) + wmf_header(records) + records


# ---- EMF -----------------------------------------------------------------------

def emr(kind, payload):
    payload = payload.ljust((len(payload) + 3) // 4 * 4, b"\0")
    return struct.pack("<II", kind, 8 + len(payload)) + payload


def emf():
    body = []
    body.append(emr(17, struct.pack("<I", 8)))  # SetMapMode
    body.append(emr(9, struct.pack("<ii", 1000, 500)))  # window ext
    body.append(emr(11, struct.pack("<ii", 378, 189)))  # viewport ext
    body.append(emr(39, struct.pack("<III", 1, 0, 0x0000FF) + struct.pack("<I", 0)))  # blue brush
    body.append(emr(38, struct.pack("<IIiiI", 2, 0, 10, 0, 0)))  # pen
    body.append(emr(37, struct.pack("<I", 1)))
    body.append(emr(37, struct.pack("<I", 2)))
    body.append(emr(43, struct.pack("<iiii", 50, 50, 450, 450)))  # rectangle
    body.append(emr(42, struct.pack("<iiii", 550, 50, 950, 450)))  # ellipse
    body.append(emr(86, struct.pack("<iiiiI", 0, 0, 0, 0, 3) + struct.pack("<hhhhhh", 10, 10, 200, 10, 100, 200)))
    body.append(emr(59, b""))  # BeginPath
    body.append(emr(27, struct.pack("<ii", 600, 100)))
    body.append(emr(54, struct.pack("<ii", 900, 100)))
    body.append(emr(54, struct.pack("<ii", 750, 400)))
    body.append(emr(61, b""))
    body.append(emr(60, b""))
    body.append(emr(63, struct.pack("<iiii", 0, 0, 0, 0)))
    body.append(emr(37, struct.pack("<I", 0x80000000 | 4)))  # stock black brush
    logfont = struct.pack("<iiiiiBBBBBBBB", -50, 0, 0, 0, 400, 1, 0, 0, 0, 0, 0, 0, 0)
    logfont += "Arial".encode("utf-16-le").ljust(64, b"\0")
    body.append(emr(82, struct.pack("<I", 3) + logfont + b"\0" * 228))
    body.append(emr(37, struct.pack("<I", 3)))
    text = "EMF".encode("utf-16-le")
    off_string = 76
    off_dx = off_string + len(text) + 2
    etx = struct.pack("<iiii", 0, 0, 0, 0) + struct.pack("<Iff", 1, 1.0, 1.0)
    etx += struct.pack("<iiIIIiiiiI", 100, 300, 3, off_string, 0, 0, 0, 0, 0, off_dx)
    etx += text + b"\0\0" + struct.pack("<iii", 40, 40, 40)
    body.append(emr(84, etx))
    image = dib(2, 2, lambda x, y: [(255, 0, 0), (0, 255, 0), (0, 0, 255), (255, 255, 255)][y * 2 + x])
    info, bits = image[:40], image[40:]
    sdib = struct.pack("<iiii", 0, 0, 0, 0) + struct.pack("<iiiiii", 700, 300, 0, 0, 2, 2)
    off_bmi = 8 + len(sdib) + 32
    sdib += struct.pack("<IIIIII", off_bmi, len(info), off_bmi + len(info), len(bits), 0, 0x00CC0020)
    sdib += struct.pack("<ii", 100, 100) + info + bits
    body.append(emr(81, sdib))
    body.append(emr(14, struct.pack("<III", 0, 16, 20)))  # EOF
    records = b"".join(body)
    header_size = 108
    total = header_size + len(records)
    header = struct.pack("<iiii", 0, 0, 377, 188) + struct.pack("<iiii", 0, 0, 10000, 5000)
    header += struct.pack("<IIIIHHIIIiiii", 0x464D4520, 0x10000, total, len(body) + 1, 4, 0, 0, 0, 0,
                          1024, 768, 271, 203)
    header += struct.pack("<IIIii", 0, 0, 0, 271000, 203000)
    return emr(1, header) + records


def wmf_piles():
    """Plain WMFs of many clip or object records, each ending in a drawing."""
    start = rec(0x0103, 8) + rec(0x020C, 500, 1000)
    start += rec(0x02FC, 0, raw=colorref(0, 0, 255) + b"\0\0") + rec(0x012D, 0)
    fill = rec(0x041B, 500, 1000, 0, 0)
    intersect = b"".join(rec(0x0416, 500 - i % 11, 1000 - i % 7, i % 3, i % 5) for i in range(2000))
    exclude = b"".join(rec(0x0415, i * 13 % 490 + 6, i * 7 % 990 + 6, i * 13 % 490, i * 7 % 990)
                       for i in range(1000))
    # A clip made again and again between drawings, saved and restored.
    mixed = b"".join(rec(0x001E) + rec(0x0415, 300, 600, 100 + i % 50, 200)
                     + rec(0x0418, 480, 980, 20, 20) + rec(0x0127, -1 & 0xFFFF) for i in range(500))
    # Objects never deleted, then some freed and made again.
    objects = b"".join(rec(0x02FC, 0, raw=colorref(i % 256, 0, 0) + b"\0\0") for i in range(2000))
    objects += b"".join(rec(0x01F0, slot) for slot in (1500, 3, 700, 3))
    objects += b"".join(rec(0x02FC, 0, raw=colorref(0, 255, 0) + b"\0\0") + rec(0x012D, 3)
                        for _ in range(4))
    end = rec(0x0000)

    def whole(records, objects=8):
        records = start + records + end
        return wmf_header(records, objects) + records

    return {
        "intersections.wmf": whole(intersect + fill),
        "exclusions.wmf": whole(exclude + fill),
        "saved-clips.wmf": whole(mixed),
        "objects.wmf": whole(objects + fill, 65535),
    }


def emf_exclusions():
    """An EMF cutting 500 holes out of its clip, turning its world and
    clipping to a path, then filling."""
    body = [emr(39, struct.pack("<IIII", 1, 0, 0x0000FF, 0)), emr(37, struct.pack("<I", 1))]
    for i in range(500):
        x, y = i * 7 % 990, i * 13 % 490
        body.append(emr(29, struct.pack("<iiii", x, y, x + 6, y + 6)))
    body.append(emr(43, struct.pack("<iiii", 0, 0, 1000, 500)))
    body.append(emr(35, struct.pack("<6f", 0.866, 0.5, -0.5, 0.866, 400, 0)))  # turned 30 degrees
    body.append(emr(30, struct.pack("<iiii", 0, 0, 400, 300)))
    body.append(emr(29, struct.pack("<iiii", 100, 100, 200, 200)))
    body.append(emr(43, struct.pack("<iiii", -200, -200, 600, 600)))
    body.append(emr(59, b"") + emr(42, struct.pack("<iiii", 600, 50, 950, 400)) + emr(60, b""))
    body.append(emr(67, struct.pack("<I", 1)))  # SelectClipPath
    body.append(emr(29, struct.pack("<iiii", 700, 150, 800, 250)))
    body.append(emr(43, struct.pack("<iiii", 500, 0, 1000, 500)))
    body.append(emr(14, struct.pack("<III", 0, 16, 20)))  # EOF
    records = b"".join(body)
    total = 88 + len(records)
    header = struct.pack("<iiii", 0, 0, 1000, 500) + struct.pack("<iiii", 0, 0, 26458, 13229)
    header += struct.pack("<IIIIHHIIIiiii", 0x464D4520, 0x10000, total, len(body) + 1, 4, 0, 0, 0, 0,
                          1000, 500, 265, 132)
    return emr(1, header) + records


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_picture_corpus.py FOLDER")
    root = sys.argv[1]
    for sub in ("pcx", "tga", "metafile"):
        os.makedirs(os.path.join(root, sub), exist_ok=True)
    for name, data in pcx_files():
        with open(os.path.join(root, "pcx", name), "wb") as f:
            f.write(data)
    for name, data in tga_files():
        with open(os.path.join(root, "tga", name), "wb") as f:
            f.write(data)
    records = wmf_records()
    files = {
        "placeable.wmf": placeable(records, 0, 0, 1000, 500, 1000),
        "plain.wmf": wmf_header(records) + records,
        "picture.emf": emf(),
        "exclusions.emf": emf_exclusions(),
        **wmf_piles(),
    }
    for name, data in files.items():
        with open(os.path.join(root, "metafile", name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
