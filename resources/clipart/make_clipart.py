#!/usr/bin/env python3
"""Draws the sample clip art shipped with the program.

Each picture is a list of figures (polygons, ellipses, rectangles, round
rectangles, polylines) with a pen and a brush. Every picture is written as a
placeable Windows metafile; some are also rasterised into 24-bit BMP files.
Run it from anywhere; it writes beside itself.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def rgb(r, g, b):
    return (r, g, b)


# ---- figures -----------------------------------------------------------------
# A figure is (kind, points-or-box, pen, brush); pen = (color, width) or None,
# brush = color or None. Coordinates are logical units of the picture.

def poly(points, pen, brush):
    return ("polygon", [(int(round(x)), int(round(y))) for x, y in points], pen, brush)


def line(points, pen):
    return ("polyline", [(int(round(x)), int(round(y))) for x, y in points], pen, None)


def ellipse(l, t, r, b, pen, brush):
    return ("ellipse", (l, t, r, b), pen, brush)


def rect(l, t, r, b, pen, brush):
    return ("rectangle", (l, t, r, b), pen, brush)


def roundrect(l, t, r, b, cw, ch, pen, brush):
    return ("roundrect", (l, t, r, b, cw, ch), pen, brush)


def arc_points(cx, cy, rx, ry, a0, a1, steps=24):
    return [(cx + rx * math.cos(math.radians(a0 + (a1 - a0) * i / steps)),
             cy - ry * math.sin(math.radians(a0 + (a1 - a0) * i / steps)))
            for i in range(steps + 1)]


BLACK = rgb(0, 0, 0)
WHITE = rgb(255, 255, 255)


def phone():
    body = rgb(150, 20, 30)
    dark = rgb(60, 10, 15)
    cream = rgb(250, 240, 215)
    f = []
    # The base: a trapezoid with a flat foot.
    f.append(poly([(260, 420), (740, 420), (880, 860), (120, 860)], (dark, 16), body))
    f.append(rect(100, 850, 900, 900, (dark, 12), dark))
    # The handset: a curved bar with an ear piece at each end.
    top = arc_points(500, 560, 420, 380, 160, 20)
    bottom = arc_points(500, 560, 330, 290, 20, 160)
    f.append(poly(top + bottom, (dark, 16), body))
    f.append(roundrect(40, 300, 260, 430, 60, 60, (dark, 16), body))
    f.append(roundrect(740, 300, 960, 430, 60, 60, (dark, 16), body))
    # The dial with its finger holes.
    f.append(ellipse(330, 500, 670, 820, (dark, 12), cream))
    for i in range(10):
        a = math.radians(60 + i * 28)
        x = 500 + 120 * math.cos(a)
        y = 660 - 115 * math.sin(a)
        f.append(ellipse(int(x - 24), int(y - 24), int(x + 24), int(y + 24), (dark, 6), dark))
    f.append(ellipse(465, 625, 535, 695, (dark, 6), body))
    return (1000, 1000, 1000, f)


def envelope():
    paper = rgb(245, 235, 200)
    edge = rgb(120, 90, 40)
    f = []
    f.append(rect(60, 220, 940, 780, (edge, 14), paper))
    # The flap and the folds.
    f.append(poly([(60, 220), (500, 540), (940, 220)], (edge, 14), rgb(232, 218, 175)))
    f.append(line([(60, 780), (400, 470)], (edge, 10)))
    f.append(line([(940, 780), (600, 470)], (edge, 10)))
    # A stamp with a perforated look and a seal.
    f.append(rect(760, 260, 900, 400, (rgb(150, 0, 0), 8), rgb(220, 40, 40)))
    f.append(rect(785, 285, 875, 375, (WHITE, 6), None))
    f.append(ellipse(450, 500, 550, 600, (rgb(110, 0, 0), 8), rgb(170, 20, 20)))
    return (1000, 1000, 1000, f)


def globe():
    sea = rgb(40, 110, 200)
    land = rgb(60, 160, 70)
    grid = rgb(230, 240, 255)
    wood = rgb(120, 75, 35)
    f = []
    # The stand: a base and a half ring.
    f.append(poly([(330, 960), (670, 960), (600, 900), (400, 900)], (BLACK, 8), wood))
    f.append(rect(480, 840, 520, 905, (BLACK, 6), wood))
    f.append(line(arc_points(500, 450, 420, 420, 200, 340), (wood, 30)))
    # The sphere, its land and its grid.
    f.append(ellipse(130, 80, 870, 820, (rgb(10, 40, 90), 14), sea))
    f.append(poly([(260, 250), (400, 190), (470, 260), (430, 360), (470, 430), (380, 520),
                   (330, 450), (250, 420), (210, 330)], None, land))
    f.append(poly([(560, 330), (680, 300), (760, 380), (740, 520), (660, 640), (600, 600),
                   (590, 480), (540, 420)], None, land))
    f.append(poly([(380, 620), (470, 600), (500, 680), (430, 760), (360, 700)], None, land))
    for half in (120, 250):
        f.append(ellipse(500 - half, 80, 500 + half, 820, (grid, 6), None))
    f.append(line([(500, 80), (500, 820)], (grid, 6)))
    f.append(line([(130, 450), (870, 450)], (grid, 6)))
    f.append(line([(180, 270), (820, 270)], (grid, 5)))
    f.append(line([(180, 630), (820, 630)], (grid, 5)))
    return (1000, 1000, 1000, f)


def logo_frame():
    navy = rgb(20, 40, 100)
    gold = rgb(212, 160, 23)
    f = []
    f.append(roundrect(20, 20, 1980, 980, 160, 160, (navy, 24), None))
    f.append(rect(90, 90, 1910, 910, (gold, 10), None))
    for cx, cy in ((90, 90), (1910, 90), (90, 910), (1910, 910)):
        f.append(poly([(cx, cy - 60), (cx + 60, cy), (cx, cy + 60), (cx - 60, cy)],
                      (navy, 8), gold))
    for cx in (1000,):
        for cy in (90, 910):
            f.append(ellipse(cx - 40, cy - 40, cx + 40, cy + 40, (navy, 8), gold))
    return (2000, 1000, 1000, f)


# ---- Windows metafile --------------------------------------------------------

def colorref(c):
    r, g, b = c
    return r | (g << 8) | (b << 16)


class Metafile:
    def __init__(self):
        self.records = []
        self.slots = []  # object table: True while a slot is in use
        self.max_objects = 0

    def record(self, function, words):
        body = b"".join(struct.pack("<h" if w < 0 else "<H", w) for w in words)
        self.records.append(struct.pack("<IH", 3 + len(words), function) + body)

    def create(self, function, words):
        # A new object takes the lowest free slot of the table.
        for i, used in enumerate(self.slots):
            if not used:
                self.slots[i] = True
                break
        else:
            i = len(self.slots)
            self.slots.append(True)
        self.max_objects = max(self.max_objects, len(self.slots))
        self.record(function, words)
        return i

    def delete(self, index):
        self.slots[index] = False
        self.record(0x01F0, [index])

    def pen(self, pen):
        if pen is None:
            return self.create(0x02FA, [5, 0, 0, 0, 0])  # PS_NULL
        color, width = pen
        c = colorref(color)
        return self.create(0x02FA, [0, width, 0, c & 0xFFFF, c >> 16])

    def brush(self, color):
        if color is None:
            return self.create(0x02FC, [1, 0, 0, 0])  # BS_NULL
        c = colorref(color)
        return self.create(0x02FC, [0, c & 0xFFFF, c >> 16, 0])

    def select(self, index):
        self.record(0x012D, [index])

    def figure(self, kind, data):
        if kind in ("polygon", "polyline"):
            words = [len(data)]
            for x, y in data:
                words += [x, y]
            self.record(0x0324 if kind == "polygon" else 0x0325, words)
        elif kind == "ellipse":
            l, t, r, b = data
            self.record(0x0418, [b, r, t, l])
        elif kind == "rectangle":
            l, t, r, b = data
            self.record(0x041B, [b, r, t, l])
        elif kind == "roundrect":
            l, t, r, b, cw, ch = data
            self.record(0x061C, [ch, cw, b, r, t, l])

    def bytes(self, width, height, per_inch):
        self.records.append(struct.pack("<IH", 3, 0))  # end of file
        body = b"".join(self.records)
        size_words = (18 + len(body)) // 2
        max_record = max(len(r) for r in self.records) // 2
        header = struct.pack("<HHHIHIH", 1, 9, 0x0300, size_words, self.max_objects,
                             max_record, 0)
        placeable = struct.pack("<IHhhhhHI", 0x9AC6CDD7, 0, 0, 0, width, height, per_inch, 0)
        checksum = 0
        for (word,) in struct.iter_unpack("<H", placeable):
            checksum ^= word
        return placeable + struct.pack("<H", checksum) + header + body


def write_wmf(path, picture):
    width, height, per_inch, figures = picture
    m = Metafile()
    m.record(0x0103, [8])           # MM_ANISOTROPIC
    m.record(0x020B, [0, 0])        # window origin (y, x)
    m.record(0x020C, [height, width])  # window extent (y, x)
    m.record(0x0102, [1])           # transparent background
    m.record(0x0106, [2])           # winding fill
    for kind, data, pen, brush in figures:
        p = m.pen(pen)
        b = m.brush(brush)
        m.select(p)
        m.select(b)
        m.figure(kind, data)
        m.delete(p)
        m.delete(b)
    with open(path, "wb") as out:
        out.write(m.bytes(width, height, per_inch))


# ---- bitmaps -----------------------------------------------------------------

def point_in_polygon(x, y, points):
    inside = False
    n = len(points)
    for i in range(n):
        x1, y1 = points[i]
        x2, y2 = points[(i + 1) % n]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            inside = not inside
    return inside


def segment_distance(x, y, a, b):
    (x1, y1), (x2, y2) = a, b
    dx, dy = x2 - x1, y2 - y1
    length = dx * dx + dy * dy
    t = 0 if length == 0 else max(0, min(1, ((x - x1) * dx + (y - y1) * dy) / length))
    return math.hypot(x - x1 - t * dx, y - y1 - t * dy)


def in_ellipse(x, y, l, t, r, b, grow=0.0):
    rx, ry = (r - l) / 2 + grow, (b - t) / 2 + grow
    if rx <= 0 or ry <= 0:
        return False
    return ((x - (l + r) / 2) / rx) ** 2 + ((y - (t + b) / 2) / ry) ** 2 <= 1


def in_roundrect(x, y, l, t, r, b, cw, ch, grow=0.0):
    l, t, r, b = l - grow, t - grow, r + grow, b + grow
    if not (l <= x <= r and t <= y <= b):
        return False
    rx, ry = max(cw / 2 + grow, 0.01), max(ch / 2 + grow, 0.01)
    cx = min(max(x, l + rx), r - rx)
    cy = min(max(y, t + ry), b - ry)
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def covers(kind, data, x, y, grow=0.0):
    if kind == "polygon":
        return point_in_polygon(x, y, data)
    if kind == "ellipse":
        return in_ellipse(x, y, *data, grow=grow)
    if kind == "rectangle":
        l, t, r, b = data
        return l - grow <= x <= r + grow and t - grow <= y <= b + grow
    if kind == "roundrect":
        return in_roundrect(x, y, *data, grow=grow)
    return False


def on_outline(kind, data, x, y, half):
    if kind in ("polygon", "polyline"):
        n = len(data)
        pairs = range(n if kind == "polygon" else n - 1)
        return any(segment_distance(x, y, data[i], data[(i + 1) % n]) <= half for i in pairs)
    return covers(kind, data, x, y, half) and not covers(kind, data, x, y, -half)


def write_bmp(path, picture, pixels_wide):
    width, height, _, figures = picture
    scale = width / pixels_wide
    w, h = pixels_wide, int(round(height / scale))
    rows = []
    for py in range(h):
        row = bytearray()
        for px in range(w):
            x, y = (px + 0.5) * scale, (py + 0.5) * scale
            color = WHITE
            for kind, data, pen, brush in figures:
                if brush is not None and covers(kind, data, x, y):
                    color = brush
                if pen is not None and on_outline(kind, data, x, y, max(pen[1], scale) / 2):
                    color = pen[0]
            r, g, b = color
            row += bytes((b, g, r))
        row += b"\0" * ((4 - len(row) % 4) % 4)
        rows.append(bytes(row))
    pixels = b"".join(reversed(rows))  # bottom-up
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    with open(path, "wb") as out:
        out.write(header + info + pixels)


PICTURES = {"phone": phone, "envelope": envelope, "globe": globe, "logo-frame": logo_frame}
BITMAPS = {"phone": 160, "globe": 160, "envelope": 160}

if __name__ == "__main__":
    for name, make in PICTURES.items():
        write_wmf(os.path.join(HERE, name + ".wmf"), make())
    for name, pixels in BITMAPS.items():
        write_bmp(os.path.join(HERE, name + ".bmp"), PICTURES[name](), pixels)
