// Enhanced metafiles (32-bit records).
#include "graphics/GdiContext.h"

#include <QSize>
#include <cmath>

namespace {

constexpr uint32_t EmfSignature = 0x464D4520u; // " EMF"

enum : uint32_t {
    Header = 1, PolyBezier = 2, Polygon = 3, Polyline = 4, PolyBezierTo = 5, PolylineTo = 6,
    PolyPolyline = 7, PolyPolygon = 8, SetWindowExtEx = 9, SetWindowOrgEx = 10,
    SetViewportExtEx = 11, SetViewportOrgEx = 12, Eof = 14, SetPixelV = 15, SetMapMode = 17,
    SetBkMode = 18, SetPolyFillMode = 19, SetStretchBltMode = 21, SetTextAlign = 22, SetTextColor = 24,
    SetBkColor = 25, MoveToEx = 27, ExcludeClipRect = 29, IntersectClipRect = 30,
    ScaleViewportExtEx = 31, ScaleWindowExtEx = 32, SaveDc = 33, RestoreDc = 34,
    SetWorldTransform = 35, ModifyWorldTransform = 36, SelectObject = 37, CreatePen = 38,
    CreateBrushIndirect = 39, DeleteObject = 40, Ellipse = 42, Rectangle = 43, RoundRect = 44,
    Arc = 45, Chord = 46, Pie = 47, LineTo = 54, BeginPath = 59, EndPath = 60,
    CloseFigure = 61, FillPath = 62, StrokeAndFillPath = 63, StrokePath = 64,
    SelectClipPath = 67, AbortPath = 68, ExtSelectClipRgn = 75, BitBlt = 76, StretchBlt = 77,
    StretchDiBits = 81, ExtCreateFontIndirectW = 82, ExtTextOutW = 84, PolyBezier16 = 85,
    Polygon16 = 86, Polyline16 = 87, PolyBezierTo16 = 88, PolylineTo16 = 89,
    PolyPolyline16 = 90, PolyPolygon16 = 91, CreateDibPatternBrushPt = 94, ExtCreatePen = 95,
};

struct TEmfHeader
{
    QRectF bounds; // device pixels
    QRectF frame;  // hundredths of a millimetre
    QSizeF device; // reference device, pixels
    QSizeF millimetres;
    int handles = 0;
};

bool ReadHeader(const QByteArray &file, TEmfHeader *h)
{
    const TRecordView v(reinterpret_cast<const uint8_t *>(file.constData()), file.size());
    if (!v.Has(0, 88) || v.U32(0) != Header || v.U32(40) != EmfSignature)
        return false;
    const uint32_t size = v.U32(4);
    if (size < 88 || size > uint64_t(file.size()))
        return false;
    const auto rect = [&](qsizetype at) {
        return QRectF(QPointF(v.I32(at), v.I32(at + 4)), QPointF(v.I32(at + 8), v.I32(at + 12)));
    };
    h->bounds = rect(8);
    h->frame = rect(24);
    h->handles = v.U16(56);
    h->device = QSizeF(v.I32(72), v.I32(76));
    h->millimetres = QSizeF(v.I32(80), v.I32(84));
    return true;
}

// Calls visit(type, record) for each record until the end record, a record
// that does not fit the file, or visit returning false.
template<typename Visit>
void ForEachRecord(const QByteArray &file, Visit visit)
{
    const auto *data = reinterpret_cast<const uint8_t *>(file.constData());
    const TRecordView v(data, file.size());
    qsizetype at = 0;
    while (v.Has(at, 8)) {
        const uint32_t type = v.U32(at);
        const uint32_t size = v.U32(at + 4);
        if (size < 8 || size > uint64_t(file.size() - at) || type == Eof)
            return;
        if (!visit(type, TRecordView(data + at, size)))
            return;
        at += size;
    }
}

QRectF RectL(const TRecordView &r, qsizetype at)
{
    return QRectF(QPointF(r.I32(at), r.I32(at + 4)), QPointF(r.I32(at + 8), r.I32(at + 12)));
}

QPointF PointL(const TRecordView &r, qsizetype at)
{
    return QPointF(r.I32(at), r.I32(at + 4));
}

// count points of 4 (16-bit) or 8 bytes from at; empty when they do not fit.
QPolygonF Points(const TRecordView &r, qsizetype at, uint32_t count, bool small)
{
    const qsizetype each = small ? 4 : 8;
    QPolygonF points;
    if (count == 0 || count > uint64_t(r.Size()) / each || !r.Has(at, qsizetype(count) * each))
        return points;
    points.reserve(qsizetype(count));
    for (qsizetype i = 0; i < qsizetype(count); ++i) {
        const qsizetype p = at + i * each;
        points.append(small ? QPointF(r.I16(p), r.I16(p + 2)) : QPointF(r.I32(p), r.I32(p + 4)));
    }
    return points;
}

// Polygons or polylines: their number, the total of points, the counts, then
// the points.
QVector<QPolygonF> PolyPoints(const TRecordView &r, bool small)
{
    QVector<QPolygonF> all;
    const uint32_t polygons = r.U32(24);
    const uint32_t total = r.U32(28);
    const qsizetype each = small ? 4 : 8;
    if (!r.ok || polygons > uint64_t(r.Size()) / 4 || total > uint64_t(r.Size()) / each)
        return all;
    qsizetype at = 32 + qsizetype(polygons) * 4;
    if (!r.Has(at, qsizetype(total) * each))
        return all;
    uint64_t used = 0;
    all.reserve(qsizetype(polygons));
    for (uint32_t i = 0; i < polygons; ++i) {
        const uint32_t count = r.U32(32 + qsizetype(i) * 4);
        used += count;
        if (used > total)
            return {};
        all.push_back(Points(r, at, count, small));
        at += qsizetype(count) * each;
    }
    return all;
}

QByteArray Slice(const TRecordView &r, uint32_t offset, uint32_t size)
{
    if (!r.Has(offset, size))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(r.Data() + offset), size);
}

QImage Dib(const TRecordView &r, qsizetype at)
{
    // offBmi, cbBmi, offBits, cbBits
    const uint32_t offBmi = r.U32(at), cbBmi = r.U32(at + 4);
    const uint32_t offBits = r.U32(at + 8), cbBits = r.U32(at + 12);
    if (!r.ok || cbBmi == 0)
        return QImage();
    const QByteArray info = Slice(r, offBmi, cbBmi);
    const QByteArray bits = Slice(r, offBits, cbBits);
    if (info.isEmpty() || bits.isEmpty())
        return QImage();
    return TGdiContext::DecodeDib(info, bits);
}

QTransform XForm(const TRecordView &r, qsizetype at)
{
    return QTransform(r.F32(at), r.F32(at + 4), r.F32(at + 8), r.F32(at + 12), r.F32(at + 16),
                      r.F32(at + 20));
}

void DrawText(TGdiContext &dc, const TRecordView &r)
{
    if (!r.Has(8, 68))
        return;
    const QPointF at = PointL(r, 36);
    const uint32_t count = r.U32(44);
    const uint32_t offString = r.U32(48);
    const uint32_t options = r.U32(52);
    const QRectF rect = RectL(r, 56);
    const uint32_t offDx = r.U32(72);
    if (count > uint64_t(r.Size()) / 2 || !r.Has(offString, qsizetype(count) * 2))
        return;
    QString text;
    text.reserve(qsizetype(count));
    for (qsizetype i = 0; i < qsizetype(count); ++i)
        text.append(QChar(r.U16(offString + i * 2)));
    QVector<double> advances;
    if (count > 0 && offDx != 0 && r.Has(offDx, qsizetype(count) * 4)) {
        advances.reserve(qsizetype(count));
        for (qsizetype i = 0; i < qsizetype(count); ++i)
            advances.push_back(r.I32(offDx + i * 4));
    }
    dc.Text(at, text, advances, options, rect);
}

void DrawBitmap(TGdiContext &dc, uint32_t type, const TRecordView &r)
{
    if (type == StretchDiBits) {
        if (!r.Has(0, 80))
            return;
        const QRectF dest(r.I32(24), r.I32(28), r.I32(72), r.I32(76));
        const QImage image = Dib(r, 48);
        // The source rectangle counts rows from the bottom.
        const double srcHeight = r.I32(44);
        const QRectF src(r.I32(32), double(image.height()) - r.I32(36) - srcHeight, r.I32(40),
                         srcHeight);
        dc.Bitmap(dest, image, src, r.U32(68));
        return;
    }
    if (!r.Has(0, 100))
        return;
    const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
    const uint32_t rop = r.U32(40);
    if (r.U32(88) == 0) { // no source bitmap
        dc.PatternBlt(dest, rop);
        return;
    }
    const QImage image = Dib(r, 84);
    QRectF src(r.I32(44), r.I32(48), dest.width(), dest.height());
    if (type == StretchBlt && r.Has(100, 8))
        src.setSize(QSizeF(r.I32(100), r.I32(104)));
    dc.Bitmap(dest, image, src, rop);
}

void PlayRecord(TGdiContext &dc, uint32_t type, const TRecordView &r)
{
    TGdiState &s = dc.State();
    const bool small = type >= PolyBezier16 && type <= PolyPolygon16;
    switch (type) {
    case PolyBezier:
    case PolyBezier16: dc.Bezier(Points(r, 28, r.U32(24), small), false); break;
    case PolyBezierTo:
    case PolyBezierTo16: dc.Bezier(Points(r, 28, r.U32(24), small), true); break;
    case Polygon:
    case Polygon16: dc.Polygon(Points(r, 28, r.U32(24), small)); break;
    case Polyline:
    case Polyline16: dc.Polyline(Points(r, 28, r.U32(24), small)); break;
    case PolylineTo:
    case PolylineTo16: dc.PolylineTo(Points(r, 28, r.U32(24), small)); break;
    case PolyPolygon:
    case PolyPolygon16: dc.PolyPolygon(PolyPoints(r, small)); break;
    case PolyPolyline:
    case PolyPolyline16: dc.PolyPolyline(PolyPoints(r, small)); break;
    case SetWindowExtEx:
    case SetViewportExtEx:
        if (r.Has(8, 8) && r.I32(8) != 0 && r.I32(12) != 0) {
            (type == SetWindowExtEx ? s.windowExt : s.viewportExt) = QSizeF(r.I32(8), r.I32(12));
            dc.MappingChanged();
        }
        break;
    case SetWindowOrgEx:
    case SetViewportOrgEx:
        if (r.Has(8, 8)) {
            (type == SetWindowOrgEx ? s.windowOrg : s.viewportOrg) = PointL(r, 8);
            dc.MappingChanged();
        }
        break;
    case ScaleWindowExtEx:
    case ScaleViewportExtEx:
        if (r.Has(8, 16) && r.I32(12) != 0 && r.I32(20) != 0 && r.I32(8) != 0 && r.I32(16) != 0) {
            QSizeF &ext = type == ScaleWindowExtEx ? s.windowExt : s.viewportExt;
            ext = QSizeF(ext.width() * r.I32(8) / r.I32(12), ext.height() * r.I32(16) / r.I32(20));
            dc.MappingChanged();
        }
        break;
    case SetPixelV:
        if (r.Has(8, 12))
            dc.SetPixel(PointL(r, 8), ColorRef(r.U32(16)));
        break;
    case SetMapMode:
        if (r.Has(8, 4)) {
            s.mapMode = int(r.U32(8));
            dc.MappingChanged();
        }
        break;
    case SetBkMode: s.opaqueBack = r.U32(8) == 2; break;
    case SetPolyFillMode: s.fillRule = r.U32(8) == 2 ? Qt::WindingFill : Qt::OddEvenFill; break;
    case SetTextAlign: s.textAlign = r.U32(8); break;
    case SetStretchBltMode: s.smoothStretch = r.U32(8) == 4; break;
    case SetTextColor:
        if (r.Has(8, 4))
            s.textColor = ColorRef(r.U32(8));
        break;
    case SetBkColor:
        if (r.Has(8, 4))
            s.backColor = ColorRef(r.U32(8));
        break;
    case MoveToEx:
        if (r.Has(8, 8))
            dc.MoveTo(PointL(r, 8));
        break;
    case LineTo:
        if (r.Has(8, 8))
            dc.LineTo(PointL(r, 8));
        break;
    case ExcludeClipRect:
        if (r.Has(8, 16))
            dc.ExcludeClip(RectL(r, 8));
        break;
    case IntersectClipRect:
        if (r.Has(8, 16))
            dc.IntersectClip(RectL(r, 8));
        break;
    case ExtSelectClipRgn:
        // Only the reset (no region data, copy mode) is honoured.
        if (r.Has(8, 8) && r.U32(8) == 0 && r.U32(12) == 5)
            dc.ResetClip();
        break;
    case SaveDc: dc.SaveDc(); break;
    case RestoreDc:
        if (r.Has(8, 4))
            dc.RestoreDc(r.I32(8));
        break;
    case SetWorldTransform:
        if (r.Has(8, 24) && XForm(r, 8).isInvertible()) {
            s.world = XForm(r, 8);
            dc.MappingChanged();
        }
        break;
    case ModifyWorldTransform:
        if (r.Has(8, 28)) {
            const QTransform m = XForm(r, 8);
            switch (r.U32(32)) {
            case 1: s.world = QTransform(); break;
            case 2: s.world = m * s.world; break;
            case 3: s.world = s.world * m; break;
            case 4: s.world = m; break;
            default: break;
            }
            if (!s.world.isInvertible())
                s.world = QTransform();
            dc.MappingChanged();
        }
        break;
    case SelectObject:
        if (r.Has(8, 4))
            dc.SelectObject(r.U32(8));
        break;
    case DeleteObject:
        if (r.Has(8, 4))
            dc.DeleteObject(r.U32(8));
        break;
    case CreatePen:
        if (r.Has(8, 24)) {
            TGdiObject pen;
            pen.type = TGdiObject::Type::Pen;
            pen.pen = TGdiContext::MakePen(r.U32(12), r.I32(16), ColorRef(r.U32(24)));
            dc.SetObject(r.U32(8), pen);
        }
        break;
    case ExtCreatePen:
        if (r.Has(8, 40)) {
            TGdiObject pen;
            pen.type = TGdiObject::Type::Pen;
            pen.pen = TGdiContext::MakePen(r.U32(28), r.U32(32) & 0x7FFFFFFF, ColorRef(r.U32(40)));
            dc.SetObject(r.U32(8), pen);
        }
        break;
    case CreateBrushIndirect:
        if (r.Has(8, 16)) {
            TGdiObject brush;
            brush.type = TGdiObject::Type::Brush;
            brush.brush = TGdiContext::MakeBrush(r.U32(12), ColorRef(r.U32(16)), r.U32(20));
            dc.SetObject(r.U32(8), brush);
        }
        break;
    case CreateDibPatternBrushPt:
        if (r.Has(8, 24)) {
            TGdiObject brush;
            brush.type = TGdiObject::Type::Brush;
            const QImage image = Dib(r, 16);
            brush.brush = image.isNull() ? QBrush(Qt::gray) : QBrush(image);
            dc.SetObject(r.U32(8), brush);
        }
        break;
    case ExtCreateFontIndirectW:
        if (r.Has(8, 4 + 92)) {
            TGdiObject font;
            font.type = TGdiObject::Type::Font;
            font.font.height = r.I32(12);
            font.font.escapement = r.I32(20);
            font.font.weight = r.I32(28);
            font.font.italic = r.U8(32) != 0;
            font.font.underline = r.U8(33) != 0;
            font.font.strikeOut = r.U8(34) != 0;
            for (qsizetype i = 0; i < 32 && r.U16(40 + i * 2) != 0; ++i)
                font.font.face.append(QChar(r.U16(40 + i * 2)));
            dc.SetObject(r.U32(8), font);
        }
        break;
    case Ellipse:
        if (r.Has(8, 16))
            dc.Ellipse(RectL(r, 8));
        break;
    case Rectangle:
        if (r.Has(8, 16))
            dc.Rectangle(RectL(r, 8));
        break;
    case RoundRect:
        if (r.Has(8, 24))
            dc.RoundRect(RectL(r, 8), r.I32(24), r.I32(28));
        break;
    case Arc:
    case Chord:
    case Pie:
        if (r.Has(8, 32)) {
            const auto kind = type == Arc   ? TGdiContext::ArcKind::Arc
                              : type == Pie ? TGdiContext::ArcKind::Pie
                                            : TGdiContext::ArcKind::Chord;
            dc.Arc(kind, RectL(r, 8), PointL(r, 24), PointL(r, 32));
        }
        break;
    case BeginPath: dc.BeginPath(); break;
    case EndPath: dc.EndPath(); break;
    case CloseFigure: dc.CloseFigure(); break;
    case AbortPath: dc.AbortPath(); break;
    case FillPath: dc.DrawPath(true, false); break;
    case StrokeAndFillPath: dc.DrawPath(true, true); break;
    case StrokePath: dc.DrawPath(false, true); break;
    case SelectClipPath: dc.ClipToPath(); break;
    case ExtTextOutW: DrawText(dc, r); break;
    case BitBlt:
    case StretchBlt:
    case StretchDiBits: DrawBitmap(dc, type, r); break;
    default: break; // not drawn
    }
}

} // namespace

QSize EmfNaturalSize(const QByteArray &file, bool *isEmf)
{
    TEmfHeader h;
    *isEmf = ReadHeader(file, &h);
    if (!*isEmf)
        return QSize();
    // Sides beyond any picture's are kept beyond the limit, not rounded
    // into ints they do not fit.
    const auto pixels = [](double v) { return v < 1e9 ? qRound(v) : 1000000000; };
    const QRectF frame = h.frame.normalized();
    if (frame.width() > 0 && frame.height() > 0)
        return QSize(pixels(frame.width() * 96 / 2540), pixels(frame.height() * 96 / 2540));
    const QRectF bounds = h.bounds.normalized();
    if (bounds.width() > 0 && bounds.height() > 0)
        return QSize(pixels(bounds.width()), pixels(bounds.height()));
    return QSize();
}

void PlayEmf(QPainter &painter, const QRectF &target, const QByteArray &file)
{
    TEmfHeader h;
    if (!ReadHeader(file, &h))
        return;
    // The frame in the reference device's pixels is what fills the target.
    const double pxPerMmX = h.device.width() > 0 && h.millimetres.width() > 0
                                ? h.device.width() / h.millimetres.width()
                                : 96 / 25.4;
    const double pxPerMmY = h.device.height() > 0 && h.millimetres.height() > 0
                                ? h.device.height() / h.millimetres.height()
                                : 96 / 25.4;
    QRectF frame = h.frame.normalized();
    frame = QRectF(frame.left() * pxPerMmX / 100, frame.top() * pxPerMmY / 100,
                   frame.width() * pxPerMmX / 100, frame.height() * pxPerMmY / 100);
    if (!(frame.width() > 0 && frame.height() > 0))
        frame = h.bounds.normalized();
    if (!(frame.width() > 0 && frame.height() > 0))
        return;
    TGdiContext dc(painter, target);
    dc.SetObjectTableSize(h.handles);
    dc.SetDeviceFrame(frame, pxPerMmX, pxPerMmY);
    dc.State().windowExt = QSizeF(1, 1);
    ForEachRecord(file, [&](uint32_t type, const TRecordView &r) {
        PlayRecord(dc, type, r);
        return dc.Spend(1);
    });
}
