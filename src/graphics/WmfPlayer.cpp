// Windows metafiles (16-bit records), placeable or plain.
#include "graphics/GdiContext.h"

#include <QPicture>
#include <QSize>
#include <optional>
#include <cmath>

namespace {

constexpr uint32_t PlaceableKey = 0x9AC6CDD7u;

struct TWmfLayout
{
    bool placeable = false;
    QRectF frame;  // the placeable header's box, logical units
    int inch = 0;  // logical units per inch
    qsizetype recordsStart = 0;
    int objects = 0;
};

bool ReadLayout(const QByteArray &file, TWmfLayout *layout)
{
    const TRecordView v(reinterpret_cast<const uint8_t *>(file.constData()), file.size());
    qsizetype at = 0;
    if (v.Has(0, 22) && v.U32(0) == PlaceableKey) {
        layout->placeable = true;
        const int left = v.I16(6), top = v.I16(8), right = v.I16(10), bottom = v.I16(12);
        layout->frame = QRectF(left, top, right - left, bottom - top);
        layout->inch = v.U16(14);
        at = 22;
    }
    if (!v.Has(at, 18))
        return false;
    const int type = v.U16(at);
    const int headerWords = v.U16(at + 2);
    if ((type != 1 && type != 2) || headerWords < 9 || !v.Has(at, qsizetype(headerWords) * 2))
        return false;
    layout->objects = v.U16(at + 10);
    layout->recordsStart = at + qsizetype(headerWords) * 2;
    return true;
}

// Calls visit(function, parameters) for each record until the end record,
// a record that does not fit the file, or visit returning false.
template<typename Visit>
void ForEachRecord(const QByteArray &file, qsizetype at, Visit visit)
{
    const auto *data = reinterpret_cast<const uint8_t *>(file.constData());
    const TRecordView v(data, file.size());
    while (v.Has(at, 6)) {
        const uint32_t words = v.U32(at);
        const uint16_t function = v.U16(at + 4);
        if (words < 3 || words > uint64_t(file.size() - at) / 2 || function == 0)
            return;
        const qsizetype bytes = qsizetype(words) * 2;
        if (!visit(function, TRecordView(data + at + 6, bytes - 6)))
            return;
        at += bytes;
    }
}

enum : uint16_t {
    SaveDc = 0x001E, SetBkMode = 0x0102, SetMapMode = 0x0103, SetPolyFillMode = 0x0106,
    RestoreDc = 0x0127, SelectClipRegion = 0x012C, SelectObject = 0x012D,
    SetTextAlign = 0x012E, SetStretchBltMode = 0x0107, PaintRegion = 0x012B, DibCreatePatternBrush = 0x0142,
    DeleteObject = 0x01F0, CreatePatternBrush = 0x01F9, SetBkColor = 0x0201,
    SetTextColor = 0x0209, SetWindowOrg = 0x020B, SetWindowExt = 0x020C,
    SetViewportOrg = 0x020D, SetViewportExt = 0x020E, OffsetWindowOrg = 0x020F,
    OffsetViewportOrg = 0x0211, LineTo = 0x0213, MoveTo = 0x0214, FillRegion = 0x0228,
    CreatePalette = 0x00F7, CreatePenIndirect = 0x02FA, CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC, Polygon = 0x0324, Polyline = 0x0325,
    ScaleWindowExt = 0x0410, ScaleViewportExt = 0x0412, ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416, Ellipse = 0x0418, Rectangle = 0x041B, SetPixel = 0x041F,
    TextOut = 0x0521, PolyPolygon = 0x0538, RoundRect = 0x061C, PatBlt = 0x061D,
    CreateRegion = 0x06FF, Arc = 0x0817, Pie = 0x081A, Chord = 0x0830, BitBlt = 0x0922,
    DibBitBlt = 0x0940, ExtTextOut = 0x0A32, StretchBlt = 0x0B23, DibStretchBlt = 0x0B41,
    StretchDib = 0x0F43,
};

// Every record that creates an object takes a slot in the table, even one
// this player does not draw, so that later indexes stay right.
bool CreatesObject(uint16_t function)
{
    return function == CreatePalette || function == CreatePatternBrush ||
           function == DibCreatePatternBrush || function == CreatePenIndirect ||
           function == CreateFontIndirect || function == CreateBrushIndirect ||
           function == CreateRegion;
}

QPointF Pt(const TRecordView &r, qsizetype at) // stored y first, then x
{
    return QPointF(r.I16(at + 2), r.I16(at));
}

// Left, top, right, bottom stored in reverse from at.
QRectF Box(const TRecordView &r, qsizetype at)
{
    const int bottom = r.I16(at), right = r.I16(at + 2), top = r.I16(at + 4),
              left = r.I16(at + 6);
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPolygonF Points(const TRecordView &r, qsizetype at, int count)
{
    QPolygonF points;
    if (count <= 0 || !r.Has(at, qsizetype(count) * 4))
        return points;
    points.reserve(count);
    for (int i = 0; i < count; ++i)
        points.append(QPointF(r.I16(at + i * 4), r.I16(at + i * 4 + 2)));
    return points;
}

QString Latin1(const TRecordView &r, qsizetype at, int count)
{
    if (count <= 0 || !r.Has(at, count))
        return QString();
    return QString::fromLatin1(reinterpret_cast<const char *>(r.Data() + at), count);
}

QImage Dib(const TRecordView &r, qsizetype at)
{
    if (!r.Has(at, 12))
        return QImage();
    return TGdiContext::DecodeDib(
        QByteArray(reinterpret_cast<const char *>(r.Data() + at), r.Size() - at), QByteArray());
}

TGdiObject MakeFont(const TRecordView &r)
{
    TGdiObject object;
    object.type = TGdiObject::Type::Font;
    object.font.height = r.I16(0);
    object.font.escapement = r.I16(4);
    object.font.weight = r.I16(8);
    object.font.italic = r.U8(10) != 0;
    object.font.underline = r.U8(11) != 0;
    object.font.strikeOut = r.U8(12) != 0;
    QByteArray face;
    for (qsizetype i = 18; i < 18 + 32 && r.Has(i, 1) && r.U8(i) != 0; ++i)
        face.append(char(r.U8(i)));
    object.font.face = QString::fromLatin1(face);
    return object;
}

TGdiObject MakePatternBrush(TGdiContext &context, const TRecordView &r, uint16_t function)
{
    TGdiObject object;
    object.type = TGdiObject::Type::Brush;
    object.brush = QBrush(context.State().textColor, Qt::Dense4Pattern);
    if (function == DibCreatePatternBrush) {
        const QImage image = Dib(r, 4);
        if (!image.isNull())
            object.brush = QBrush(image);
        return object;
    }
    // An old-style monochrome bitmap: set bits take the background colour.
    const int width = r.I16(2), height = r.I16(4), rowBytes = r.I16(6);
    const int planes = r.U8(8), bits = r.U8(9);
    constexpr qsizetype PatternAt = 32;
    if (planes != 1 || bits != 1 || width <= 0 || height <= 0 || width > 64 || height > 64 ||
        rowBytes * 8 < width || !r.Has(PatternAt, qsizetype(rowBytes) * height))
        return object;
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool set = r.U8(PatternAt + y * rowBytes + x / 8) & (0x80 >> (x % 8));
            image.setPixel(x, y, (set ? context.State().backColor : context.State().textColor).rgb());
        }
    object.brush = QBrush(image);
    return object;
}

void DrawText(TGdiContext &dc, const TRecordView &r, bool extended)
{
    if (!extended) {
        const int count = r.I16(0);
        const qsizetype after = 2 + count + (count & 1);
        if (count <= 0 || !r.Has(after, 4))
            return;
        dc.Text(Pt(r, after), Latin1(r, 2, count), {}, 0, QRectF());
        return;
    }
    const QPointF at = Pt(r, 0);
    const int count = r.I16(4);
    const uint32_t options = r.U16(6);
    if (count < 0 || !r.ok)
        return;
    qsizetype text = 8;
    QRectF rect;
    if ((options & (TGdiContext::EtoOpaque | TGdiContext::EtoClipped)) && r.Has(8, 8 + count)) {
        const int left = r.I16(8), top = r.I16(10), right = r.I16(12), bottom = r.I16(14);
        rect = QRectF(QPointF(left, top), QPointF(right, bottom));
        text = 16;
    }
    if (!r.Has(text, count))
        return;
    QVector<double> advances;
    const qsizetype dx = text + count + (count & 1);
    if (count > 0 && r.Has(dx, qsizetype(count) * 2)) {
        advances.reserve(count);
        for (int i = 0; i < count; ++i)
            advances.push_back(r.I16(dx + i * 2));
    }
    dc.Text(at, Latin1(r, text, count), advances, options, rect);
}

void DrawBitmap(TGdiContext &dc, uint16_t function, const TRecordView &r)
{
    const uint32_t rop = r.U32(0);
    if (function == DibBitBlt || function == BitBlt) {
        if (r.Size() == 18) { // no source: a pattern operation
            dc.PatternBlt(QRectF(r.I16(16), r.I16(14), r.I16(12), r.I16(10)), rop);
            return;
        }
        if (function != DibBitBlt)
            return; // device-dependent bitmaps are not drawn
        const QImage image = Dib(r, 16);
        const QRectF src(r.I16(6), r.I16(4), r.I16(10), r.I16(8));
        dc.Bitmap(QRectF(r.I16(14), r.I16(12), r.I16(10), r.I16(8)), image, src, rop);
        return;
    }
    if (function == DibStretchBlt || function == StretchBlt) {
        if (r.Size() == 22) {
            dc.PatternBlt(QRectF(r.I16(20), r.I16(18), r.I16(16), r.I16(14)), rop);
            return;
        }
        if (function != DibStretchBlt)
            return;
        const QImage image = Dib(r, 20);
        const QRectF src(r.I16(10), r.I16(8), r.I16(6), r.I16(4));
        dc.Bitmap(QRectF(r.I16(18), r.I16(16), r.I16(14), r.I16(12)), image, src, rop);
        return;
    }
    // StretchDIB: the source rectangle counts rows from the bottom.
    const QImage image = Dib(r, 22);
    const int srcHeight = r.I16(6);
    const QRectF src(r.I16(12), image.height() - r.I16(10) - srcHeight, r.I16(8), srcHeight);
    dc.Bitmap(QRectF(r.I16(20), r.I16(18), r.I16(16), r.I16(14)), image, src, rop);
}

void PlayRecord(TGdiContext &dc, uint16_t function, const TRecordView &r)
{
    TGdiState &s = dc.State();
    switch (function) {
    case SaveDc: dc.SaveDc(); break;
    case RestoreDc: dc.RestoreDc(r.I16(0)); break;
    case SetBkMode: s.opaqueBack = r.U16(0) == 2; break;
    case SetMapMode: s.mapMode = r.U16(0); break;
    case SetPolyFillMode: s.fillRule = r.U16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case SetTextAlign: s.textAlign = r.U16(0); break;
    case SetStretchBltMode: s.smoothStretch = r.U16(0) == 4; break;
    case SetBkColor: s.backColor = ColorRef(r.U32(0)); break;
    case SetTextColor: s.textColor = ColorRef(r.U32(0)); break;
    case SetWindowOrg:
        if (r.Has(0, 4)) {
            s.windowOrg = Pt(r, 0);
            dc.MappingChanged();
        }
        break;
    case SetWindowExt:
        if (r.Has(0, 4) && r.I16(0) != 0 && r.I16(2) != 0) {
            s.windowExt = QSizeF(r.I16(2), r.I16(0));
            dc.MappingChanged();
        }
        break;
    case OffsetWindowOrg:
        if (r.Has(0, 4)) {
            s.windowOrg += Pt(r, 0);
            dc.MappingChanged();
        }
        break;
    case ScaleWindowExt:
        if (r.Has(0, 8) && r.I16(0) != 0 && r.I16(4) != 0 && r.I16(2) != 0 && r.I16(6) != 0) {
            s.windowExt = QSizeF(s.windowExt.width() * r.I16(6) / r.I16(4),
                                 s.windowExt.height() * r.I16(2) / r.I16(0));
            dc.MappingChanged();
        }
        break;
    // The viewport is the target rectangle; what a file sets for it does
    // not move the picture.
    case SetViewportOrg:
    case SetViewportExt:
    case OffsetViewportOrg:
    case ScaleViewportExt: break;
    case CreatePenIndirect: {
        TGdiObject pen;
        pen.type = TGdiObject::Type::Pen;
        pen.pen = TGdiContext::MakePen(r.U16(0), r.I16(2), ColorRef(r.U32(6)));
        dc.AddObject(pen);
        break;
    }
    case CreateBrushIndirect: {
        TGdiObject brush;
        brush.type = TGdiObject::Type::Brush;
        brush.brush = TGdiContext::MakeBrush(r.U16(0), ColorRef(r.U32(2)), r.U16(6));
        dc.AddObject(brush);
        break;
    }
    case CreateFontIndirect: dc.AddObject(MakeFont(r)); break;
    case CreatePatternBrush:
    case DibCreatePatternBrush: dc.AddObject(MakePatternBrush(dc, r, function)); break;
    case CreateRegion: {
        TGdiObject region;
        region.type = TGdiObject::Type::Region;
        const int left = r.I16(14), top = r.I16(16), right = r.I16(18), bottom = r.I16(20);
        region.region = QRectF(QPointF(left, top), QPointF(right, bottom));
        dc.AddObject(region);
        break;
    }
    case CreatePalette: {
        TGdiObject other;
        other.type = TGdiObject::Type::Other;
        dc.AddObject(other);
        break;
    }
    case SelectObject:
        if (r.Has(0, 2))
            dc.SelectObject(r.U16(0));
        break;
    case DeleteObject:
        if (r.Has(0, 2))
            dc.DeleteObject(r.U16(0));
        break;
    case SelectClipRegion: dc.ResetClip(); if (r.Has(0, 2)) dc.ClipToRegion(r.U16(0)); break;
    case IntersectClipRect:
        if (r.Has(0, 8))
            dc.IntersectClip(Box(r, 0));
        break;
    case ExcludeClipRect:
        if (r.Has(0, 8))
            dc.ExcludeClip(Box(r, 0));
        break;
    case MoveTo:
        if (r.Has(0, 4))
            dc.MoveTo(Pt(r, 0));
        break;
    case LineTo:
        if (r.Has(0, 4))
            dc.LineTo(Pt(r, 0));
        break;
    case Polygon: dc.Polygon(Points(r, 2, r.I16(0))); break;
    case Polyline: dc.Polyline(Points(r, 2, r.I16(0))); break;
    case PolyPolygon: {
        const int polygons = r.U16(0);
        qsizetype at = 2 + qsizetype(polygons) * 2;
        if (!r.Has(2, qsizetype(polygons) * 2))
            break;
        QVector<QPolygonF> all;
        all.reserve(polygons);
        for (int i = 0; i < polygons; ++i) {
            const int count = r.U16(2 + i * 2);
            if (!r.Has(at, qsizetype(count) * 4))
                return;
            all.push_back(Points(r, at, count));
            at += qsizetype(count) * 4;
        }
        dc.PolyPolygon(all);
        break;
    }
    case Rectangle:
        if (r.Has(0, 8))
            dc.Rectangle(Box(r, 0));
        break;
    case Ellipse:
        if (r.Has(0, 8))
            dc.Ellipse(Box(r, 0));
        break;
    case RoundRect:
        if (r.Has(0, 12))
            dc.RoundRect(Box(r, 4), r.I16(2), r.I16(0));
        break;
    case Arc:
    case Pie:
    case Chord:
        if (r.Has(0, 16)) {
            const auto kind = function == Arc   ? TGdiContext::ArcKind::Arc
                              : function == Pie ? TGdiContext::ArcKind::Pie
                                                : TGdiContext::ArcKind::Chord;
            dc.Arc(kind, Box(r, 8), Pt(r, 4), Pt(r, 0));
        }
        break;
    case SetPixel:
        if (r.Has(0, 8))
            dc.SetPixel(Pt(r, 4), ColorRef(r.U32(0)));
        break;
    case TextOut: DrawText(dc, r, false); break;
    case ExtTextOut: DrawText(dc, r, true); break;
    case PatBlt:
        if (r.Has(0, 12))
            dc.PatternBlt(QRectF(r.I16(10), r.I16(8), r.I16(6), r.I16(4)), r.U32(0));
        break;
    case FillRegion:
        if (r.Has(0, 4)) {
            const TGdiObject *brush = dc.Object(r.U16(2));
            if (brush && brush->type == TGdiObject::Type::Brush)
                dc.FillRegion(r.U16(0), &brush->brush);
        }
        break;
    case PaintRegion:
        if (r.Has(0, 2))
            dc.FillRegion(r.U16(0), nullptr);
        break;
    case BitBlt:
    case DibBitBlt:
    case StretchBlt:
    case DibStretchBlt:
    case StretchDib:
        if (r.Has(0, 4))
            DrawBitmap(dc, function, r);
        break;
    default:
        if (CreatesObject(function)) {
            TGdiObject other;
            other.type = TGdiObject::Type::Other;
            dc.AddObject(other);
        }
        break; // not drawn
    }
}

} // namespace

QSize WmfNaturalSize(const QByteArray &file, bool *isWmf)
{
    TWmfLayout layout;
    *isWmf = ReadLayout(file, &layout);
    if (!*isWmf)
        return QSize();
    if (layout.placeable && layout.inch > 0) {
        const QRectF f = layout.frame.normalized();
        if (f.width() > 0 && f.height() > 0)
            return QSize(qRound(f.width() * 96 / layout.inch),
                         qRound(f.height() * 96 / layout.inch));
    }
    QSize extent;
    ForEachRecord(file, layout.recordsStart, [&](uint16_t function, const TRecordView &r) {
        if (function != SetWindowExt || !r.Has(0, 4))
            return true;
        extent = QSize(std::abs(int(r.I16(2))), std::abs(int(r.I16(0))));
        return false;
    });
    return extent.isEmpty() ? QSize() : extent;
}

void PlayWmf(QPainter &painter, const QRectF &target, const QByteArray &file)
{
    TWmfLayout layout;
    if (!ReadLayout(file, &layout))
        return;
    TGdiContext dc(painter, target);
    dc.SetObjectTableSize(layout.objects);
    if (layout.placeable && layout.frame.width() != 0 && layout.frame.height() != 0) {
        dc.State().windowOrg = layout.frame.topLeft();
        dc.State().windowExt = layout.frame.size();
    }
    dc.SetWindowMapsToTarget(true);
    ForEachRecord(file, layout.recordsStart, [&](uint16_t function, const TRecordView &r) {
        PlayRecord(dc, function, r);
        return dc.Spend(1);
    });
}

QRect PlainWmfFrame(const QByteArray &file)
{
    TWmfLayout layout;
    if (!ReadLayout(file, &layout) || layout.placeable)
        return QRect();
    std::optional<QPointF> origin;
    std::optional<QSizeF> extent;
    ForEachRecord(file, layout.recordsStart, [&](uint16_t function, const TRecordView &r) {
        if (function == SetWindowOrg && r.Has(0, 4) && !origin)
            origin = Pt(r, 0);
        else if (function == SetWindowExt && r.Has(0, 4) && !extent)
            extent = QSizeF(r.I16(2), r.I16(0));
        return !(origin && extent);
    });
    if (extent && extent->width() != 0 && extent->height() != 0)
        return QRectF(origin.value_or(QPointF()), *extent).normalized().toRect();
    // No window: one logical unit is one pixel of the target, as the player
    // draws such a file; the frame is the box of what it draws.
    QPicture recorded;
    {
        QPainter painter(&recorded);
        PlayWmf(painter, QRectF(0, 0, INT16_MAX, INT16_MAX), file);
    }
    return recorded.boundingRect();
}
