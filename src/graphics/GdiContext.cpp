#include "graphics/GdiContext.h"

#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>

namespace {

// Deeper SaveDC nesting than this is counted but not kept: a file cannot
// make the player hold a painter state per record.
constexpr size_t MaxSavedStates = 256;
constexpr size_t MaxObjects = 65536;

QTransform RectToRect(const QRectF &from, const QRectF &to)
{
    const double sx = from.width() != 0 ? to.width() / from.width() : 1;
    const double sy = from.height() != 0 ? to.height() / from.height() : 1;
    return QTransform::fromTranslate(-from.left(), -from.top()) * QTransform::fromScale(sx, sy) *
           QTransform::fromTranslate(to.left(), to.top());
}

// Coordinates a region is kept in stay within this, far from int's limits.
constexpr double RegionLimit = 1 << 28;

// The rectangle as a region holds it, when its corners are whole numbers.
std::optional<QRect> WholeRect(const QRectF &rect)
{
    const auto whole = [](double v) { return std::abs(v) < RegionLimit && std::trunc(v) == v; };
    if (!whole(rect.left()) || !whole(rect.top()) || !whole(rect.right()) || !whole(rect.bottom()))
        return std::nullopt;
    return QRect(QPoint(int(rect.left()), int(rect.top())),
                 QSize(int(rect.width()), int(rect.height())));
}

} // namespace

float TRecordView::F32(qsizetype at) const
{
    const uint32_t bits = U32(at);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return std::isfinite(value) ? value : 0.0f;
}

QColor ColorRef(uint32_t value)
{
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

TGdiContext::TGdiContext(QPainter &painter, const QRectF &target)
    : m_painter(painter)
    , m_target(target)
{
    m_painter.save();
    m_base = m_painter.worldTransform();
    m_painter.setClipRect(target, Qt::IntersectClip);
    // As the system draws metafiles: edges not smoothed (and four times
    // faster to play).
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_state.pen = QPen(Qt::black, 0);
    m_state.brush = QBrush(Qt::white);
    m_state.windowExt = target.size();
}

TGdiContext::~TGdiContext()
{
    if (m_clipSaved)
        m_painter.restore();
    m_painter.restore();
}

void TGdiContext::SetDeviceFrame(const QRectF &frame, double pixelsPerMmX, double pixelsPerMmY)
{
    m_frame = frame;
    m_pxPerMmX = pixelsPerMmX;
    m_pxPerMmY = pixelsPerMmY;
    MappingChanged();
}

QTransform TGdiContext::LogicalToTarget() const
{
    const TGdiState &s = m_state;
    if (m_windowToTarget)
        return RectToRect(QRectF(s.windowOrg, s.windowExt), m_target);

    double sx = 1;
    double sy = 1;
    const double wx = s.windowExt.width() != 0 ? s.windowExt.width() : 1;
    const double wy = s.windowExt.height() != 0 ? s.windowExt.height() : 1;
    double unitsPerMm = 0;
    switch (s.mapMode) {
    case 2: unitsPerMm = 10; break;           // MM_LOMETRIC
    case 3: unitsPerMm = 100; break;          // MM_HIMETRIC
    case 4: unitsPerMm = 100 / 25.4; break;   // MM_LOENGLISH
    case 5: unitsPerMm = 1000 / 25.4; break;  // MM_HIENGLISH
    case 6: unitsPerMm = 1440 / 25.4; break;  // MM_TWIPS
    case 7:                                   // MM_ISOTROPIC
    case 8:                                   // MM_ANISOTROPIC
        sx = s.viewportExt.width() / wx;
        sy = s.viewportExt.height() / wy;
        if (s.mapMode == 7) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    default: break; // MM_TEXT: one unit, one pixel
    }
    if (unitsPerMm > 0) {
        sx = m_pxPerMmX / unitsPerMm;
        sy = -m_pxPerMmY / unitsPerMm; // y grows upwards
    }
    const QTransform page = QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y()) *
                            QTransform::fromScale(sx, sy) *
                            QTransform::fromTranslate(s.viewportOrg.x(), s.viewportOrg.y());
    return s.world * page * RectToRect(m_frame, m_target);
}

const QTransform &TGdiContext::Logical()
{
    if (m_mappingDirty) {
        m_logical = LogicalToTarget();
        m_mappingDirty = false;
        m_painterMapped = false;
    }
    return m_logical;
}

void TGdiContext::UpdateTransform()
{
    ApplyClip();
    Logical();
    if (!m_painterMapped) {
        m_painter.setWorldTransform(m_logical * m_base);
        m_painterMapped = true;
    }
}

// ---- state ---------------------------------------------------------------------

void TGdiContext::SaveDc()
{
    if (m_saved.size() >= MaxSavedStates) {
        ++m_ignoredSaves;
        return;
    }
    m_saved.push_back(m_state);
}

void TGdiContext::RestoreDc(int which)
{
    const int64_t depth = int64_t(m_saved.size()) + m_ignoredSaves;
    const int64_t count = which < 0 ? -int64_t(which) : depth - which + 1;
    if (count <= 0 || count > depth)
        return; // as the system does: no such state, nothing restored
    int64_t left = count;
    const int64_t ignored = std::min<int64_t>(left, m_ignoredSaves);
    m_ignoredSaves -= int(ignored);
    left -= ignored;
    while (left-- > 0) {
        m_state = m_saved.back();
        m_saved.pop_back();
    }
    m_inPath = false;
    m_clipDirty = true;
    MappingChanged();
}

void TGdiContext::SetObjectTableSize(int size)
{
    m_objects.assign(size_t(std::clamp(size, 0, int(MaxObjects))), TGdiObject());
    std::vector<uint32_t> all(m_objects.size());
    for (size_t i = 0; i < all.size(); ++i)
        all[i] = uint32_t(i); // ascending: already a heap
    m_freeSlots = decltype(m_freeSlots)(std::greater<>(), std::move(all));
}

void TGdiContext::StoreObject(size_t index, const TGdiObject &object)
{
    const bool wasEmpty = m_objects[index].type == TGdiObject::Type::Empty;
    m_objects[index] = object;
    if (!wasEmpty && object.type == TGdiObject::Type::Empty)
        m_freeSlots.push(uint32_t(index));
}

void TGdiContext::AddObject(const TGdiObject &object)
{
    while (!m_freeSlots.empty()) {
        const uint32_t slot = m_freeSlots.top();
        m_freeSlots.pop();
        if (slot < m_objects.size() && m_objects[slot].type == TGdiObject::Type::Empty) {
            m_objects[slot] = object;
            return;
        }
    }
    if (m_objects.size() < MaxObjects)
        m_objects.push_back(object);
}

void TGdiContext::SetObject(uint32_t index, const TGdiObject &object)
{
    if (index >= MaxObjects)
        return;
    for (size_t added = m_objects.size(); added <= index; ++added)
        m_freeSlots.push(uint32_t(added));
    if (index >= m_objects.size())
        m_objects.resize(index + 1);
    StoreObject(index, object);
}

void TGdiContext::SelectObject(uint32_t index)
{
    if (index & 0x80000000u) {
        SelectStockObject(index & 0x7FFFFFFFu);
        return;
    }
    if (index >= m_objects.size())
        return;
    const TGdiObject &object = m_objects[index];
    switch (object.type) {
    case TGdiObject::Type::Pen: m_state.pen = object.pen; break;
    case TGdiObject::Type::Brush: m_state.brush = object.brush; break;
    case TGdiObject::Type::Font: m_state.font = object.font; break;
    case TGdiObject::Type::Region: ClipToRegion(index); break;
    default: break;
    }
}

void TGdiContext::DeleteObject(uint32_t index)
{
    if (index < m_objects.size())
        StoreObject(index, TGdiObject());
}

void TGdiContext::SelectStockObject(uint32_t which)
{
    static const int greys[] = {255, 192, 128, 64, 0};
    if (which <= 4)
        m_state.brush = QBrush(QColor(greys[which], greys[which], greys[which]));
    else if (which == 5)
        m_state.brush = Qt::NoBrush;
    else if (which == 6 || which == 7)
        m_state.pen = QPen(which == 6 ? Qt::white : Qt::black, 0);
    else if (which == 8)
        m_state.pen = Qt::NoPen;
    else if (which >= 10 && which <= 17)
        m_state.font = TGdiFont();
}

QPen TGdiContext::MakePen(uint32_t style, double width, const QColor &color)
{
    QPen pen(color, std::abs(width));
    switch (style & 0xF) {
    case 1: pen.setStyle(Qt::DashLine); break;
    case 2: pen.setStyle(Qt::DotLine); break;
    case 3: pen.setStyle(Qt::DashDotLine); break;
    case 4: pen.setStyle(Qt::DashDotDotLine); break;
    case 5: return QPen(Qt::NoPen);
    case 8: pen.setStyle(Qt::DotLine); break;
    default: break; // solid, inside frame, user styles
    }
    switch (style & 0xF00) {
    case 0x100: pen.setCapStyle(Qt::SquareCap); break;
    case 0x200: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (style & 0xF000) {
    case 0x1000: pen.setJoinStyle(Qt::BevelJoin); break;
    case 0x2000: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
    }
    return pen;
}

QBrush TGdiContext::MakeBrush(uint32_t style, const QColor &color, uint32_t hatch)
{
    static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,
                                             Qt::FDiagPattern, Qt::BDiagPattern,
                                             Qt::CrossPattern, Qt::DiagCrossPattern};
    switch (style) {
    case 1: return QBrush(Qt::NoBrush);
    case 2: return QBrush(color, hatch < 6 ? hatches[hatch] : Qt::SolidPattern);
    default: return QBrush(color);
    }
}

// ---- clipping ------------------------------------------------------------------

void TGdiContext::IntersectClip(const QRectF &rect)
{
    QPainterPath shape;
    shape.addRect(rect.normalized());
    CombineClip(shape, true, true);
}

void TGdiContext::ExcludeClip(const QRectF &rect)
{
    QPainterPath shape;
    shape.addRect(rect.normalized());
    CombineClip(shape, true, false);
}

// shape is in logical units. A rectangle whose corners are whole numbers in
// the clip's own coordinates changes a region; any other shape turns the
// clip into a path.
void TGdiContext::CombineClip(const QPainterPath &shape, bool isRect, bool intersect)
{
    using Kind = TGdiClip::Kind;
    const QTransform &logical = Logical();
    TGdiClip &clip = m_state.clip;
    m_clipDirty = true;
    if (clip.kind == Kind::Frame) {
        clip.space = logical;
        if (intersect) {
            const std::optional<QRect> whole =
                isRect ? WholeRect(shape.boundingRect()) : std::nullopt;
            clip.kind = whole ? Kind::Region : Kind::Path;
            clip.region = whole ? QRegion(*whole) : QRegion();
            clip.path = whole ? QPainterPath() : shape;
            return;
        }
        // Everything the frame shows, less the shape: the frame's box in
        // logical units, whole units outwards (the frame clips the rest).
        bool invertible = false;
        const QTransform toLogical = logical.inverted(&invertible);
        if (invertible && logical.type() <= QTransform::TxScale) {
            const QRectF limit(-RegionLimit, -RegionLimit, 2 * RegionLimit, 2 * RegionLimit);
            const QRectF frame = toLogical.mapRect(m_target) & limit;
            clip.kind = Kind::Region;
            clip.region = QRegion(frame.toAlignedRect());
        } else {
            clip.kind = Kind::Path;
            clip.space = QTransform();
            clip.path = QPainterPath();
            clip.path.addRect(m_target);
        }
    }

    bool invertible = false;
    const QTransform toClip = logical * clip.space.inverted(&invertible);
    if (!invertible)
        return;
    if (clip.kind == Kind::Region) {
        if (isRect && toClip.type() <= QTransform::TxScale) {
            const std::optional<QRect> whole = WholeRect(toClip.mapRect(shape.boundingRect()));
            if (whole) {
                Spend(clip.region.rectCount());
                const QRegion combined =
                    intersect ? clip.region.intersected(*whole) : clip.region.subtracted(*whole);
                if (combined.rectCount() <= MaxClipRects)
                    clip.region = combined;
                return;
            }
        }
        QPainterPath path;
        path.addRegion(clip.region);
        clip.kind = Kind::Path;
        clip.path = path;
        clip.region = QRegion();
    }
    const QPainterPath mapped = toClip.map(shape);
    if (clip.path.elementCount() > MaxClipPathElements ||
        mapped.elementCount() > MaxClipPathElements)
        return;
    Spend(clip.path.elementCount() + mapped.elementCount());
    const QPainterPath combined =
        intersect ? clip.path.intersected(mapped) : clip.path.subtracted(mapped);
    if (combined.elementCount() <= MaxClipPathElements)
        clip.path = combined;
}

void TGdiContext::ResetClip()
{
    m_state.clip = TGdiClip();
    m_clipDirty = true;
}

// The painter's clip is the frame's (set in the constructor and kept in the
// state saved there) and, on a state of its own, the records' clip.
void TGdiContext::ApplyClip()
{
    if (!m_clipDirty)
        return;
    m_clipDirty = false;
    if (m_clipSaved) {
        m_painter.restore();
        m_clipSaved = false;
        m_painterMapped = false;
    }
    const TGdiClip &clip = m_state.clip;
    if (clip.kind == TGdiClip::Kind::Frame)
        return;
    m_painter.save();
    m_clipSaved = true;
    m_painterMapped = false;
    m_painter.setWorldTransform(clip.space * m_base);
    if (clip.kind == TGdiClip::Kind::Path) {
        Spend(clip.path.elementCount());
        m_painter.setClipPath(clip.path, Qt::IntersectClip);
    } else if (clip.region.rectCount() <= 1) {
        Spend(1);
        m_painter.setClipRect(QRectF(clip.region.boundingRect()), Qt::IntersectClip);
    } else if (clip.space.type() <= QTransform::TxScale) {
        Spend(clip.region.rectCount());
        m_painter.setClipRegion(clip.region, Qt::IntersectClip);
    } else {
        // Turned: one outline, as a path clip would give it.
        Spend(clip.region.rectCount());
        QPainterPath outline;
        outline.addRegion(clip.region);
        m_painter.setClipPath(outline.simplified(), Qt::IntersectClip);
    }
}

void TGdiContext::ClipToRegion(uint32_t index)
{
    if (index >= m_objects.size() || m_objects[index].type != TGdiObject::Type::Region)
        return;
    ResetClip();
    IntersectClip(m_objects[index].region);
}

// ---- drawing -------------------------------------------------------------------

void TGdiContext::UsePenAndBrush(bool fill)
{
    m_painter.setPen(m_state.pen);
    m_painter.setBrush(fill ? m_state.brush : QBrush(Qt::NoBrush));
    m_painter.setBackgroundMode(m_state.opaqueBack ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_state.backColor);
}

void TGdiContext::Shape(const QPainterPath &path, bool fill)
{
    if (m_inPath) {
        m_path.addPath(path);
        return;
    }
    UpdateTransform();
    UsePenAndBrush(fill);
    m_painter.drawPath(path);
}

void TGdiContext::LineTo(const QPointF &p)
{
    if (m_inPath) {
        if (m_path.elementCount() == 0)
            m_path.moveTo(m_state.current);
        m_path.lineTo(p);
    } else {
        UpdateTransform();
        UsePenAndBrush(false);
        m_painter.drawLine(m_state.current, p);
    }
    m_state.current = p;
}

// Outside a path bracket the painter's own primitives draw: much faster
// than a general path for the shapes metafiles are made of.
bool TGdiContext::DrawsDirectly(bool fill)
{
    if (m_inPath)
        return false;
    UpdateTransform();
    UsePenAndBrush(fill);
    return true;
}

void TGdiContext::Polyline(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    if (DrawsDirectly(false)) {
        m_painter.drawPolyline(points);
        return;
    }
    QPainterPath path;
    path.addPolygon(points);
    Shape(path, false);
}

void TGdiContext::PolylineTo(const QPolygonF &points)
{
    if (points.isEmpty())
        return;
    QPolygonF line;
    line.reserve(points.size() + 1);
    line << m_state.current << points;
    if (m_inPath) {
        if (m_path.elementCount() == 0)
            m_path.moveTo(m_state.current);
        for (const QPointF &p : points)
            m_path.lineTo(p);
    } else {
        Polyline(line);
    }
    m_state.current = points.last();
}

void TGdiContext::Bezier(const QPolygonF &points, bool fromCurrent)
{
    QPainterPath path;
    qsizetype at = 0;
    if (fromCurrent) {
        path.moveTo(m_state.current);
    } else {
        if (points.isEmpty())
            return;
        path.moveTo(points[0]);
        at = 1;
    }
    for (; at + 2 < points.size(); at += 3)
        path.cubicTo(points[at], points[at + 1], points[at + 2]);
    if (fromCurrent) {
        m_state.current = path.currentPosition();
        if (m_inPath) {
            if (m_path.elementCount() == 0)
                m_path.moveTo(path.elementAt(0));
            m_path.connectPath(path);
            return;
        }
    }
    Shape(path, false);
}

void TGdiContext::Polygon(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    if (DrawsDirectly(true)) {
        m_painter.drawPolygon(points, m_state.fillRule);
        return;
    }
    QPainterPath path;
    path.addPolygon(points);
    path.closeSubpath();
    path.setFillRule(m_state.fillRule);
    Shape(path, true);
}

void TGdiContext::PolyPolygon(const QVector<QPolygonF> &polygons)
{
    QPainterPath path;
    for (const QPolygonF &polygon : polygons) {
        path.addPolygon(polygon);
        path.closeSubpath();
    }
    path.setFillRule(m_state.fillRule);
    Shape(path, true);
}

void TGdiContext::PolyPolyline(const QVector<QPolygonF> &polylines)
{
    QPainterPath path;
    for (const QPolygonF &line : polylines)
        path.addPolygon(line);
    Shape(path, false);
}

void TGdiContext::Rectangle(const QRectF &rect)
{
    if (DrawsDirectly(true)) {
        m_painter.drawRect(rect.normalized());
        return;
    }
    QPainterPath path;
    path.addRect(rect.normalized());
    Shape(path, true);
}

void TGdiContext::RoundRect(const QRectF &rect, double width, double height)
{
    QPainterPath path;
    path.addRoundedRect(rect.normalized(), std::abs(width) / 2, std::abs(height) / 2);
    Shape(path, true);
}

void TGdiContext::Ellipse(const QRectF &rect)
{
    if (DrawsDirectly(true)) {
        m_painter.drawEllipse(rect.normalized());
        return;
    }
    QPainterPath path;
    path.addEllipse(rect.normalized());
    Shape(path, true);
}

void TGdiContext::Arc(ArcKind kind, const QRectF &box, const QPointF &start, const QPointF &end)
{
    const QRectF r = box.normalized();
    if (r.isEmpty())
        return;
    // Angles as Qt counts them (anticlockwise, y down), of the rays from the
    // centre through the two points, on the unit circle the box stretches.
    const QPointF c = r.center();
    const auto angle = [&](const QPointF &p) {
        return qRadiansToDegrees(
            std::atan2(-(p.y() - c.y()) / r.height(), (p.x() - c.x()) / r.width()));
    };
    const double from = angle(start);
    double sweep = angle(end) - from;
    while (sweep <= 0)
        sweep += 360;
    QPainterPath path;
    if (kind == ArcKind::Pie) {
        path.moveTo(c);
        path.arcTo(r, from, sweep);
        path.closeSubpath();
    } else {
        path.arcMoveTo(r, from);
        path.arcTo(r, from, sweep);
        if (kind == ArcKind::Chord)
            path.closeSubpath();
    }
    Shape(path, kind != ArcKind::Arc);
}

void TGdiContext::FillRect(const QRectF &rect, const QBrush &brush)
{
    UpdateTransform();
    m_painter.setBackgroundMode(m_state.opaqueBack ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(m_state.backColor);
    m_painter.fillRect(rect.normalized(), brush);
}

void TGdiContext::FillRegion(uint32_t index, const QBrush *brush)
{
    if (index >= m_objects.size() || m_objects[index].type != TGdiObject::Type::Region)
        return;
    FillRect(m_objects[index].region, brush ? *brush : m_state.brush);
}

void TGdiContext::SetPixel(const QPointF &p, const QColor &color)
{
    FillRect(QRectF(p, QSizeF(1, 1)), color);
}

// ---- paths ---------------------------------------------------------------------

void TGdiContext::BeginPath()
{
    m_path = QPainterPath();
    m_inPath = true;
}

void TGdiContext::AbortPath()
{
    m_path = QPainterPath();
    m_inPath = false;
}

void TGdiContext::DrawPath(bool fill, bool stroke)
{
    m_inPath = false;
    UpdateTransform();
    m_path.setFillRule(m_state.fillRule);
    m_painter.setPen(stroke ? m_state.pen : QPen(Qt::NoPen));
    m_painter.setBrush(fill ? m_state.brush : QBrush(Qt::NoBrush));
    m_painter.drawPath(m_path);
    m_path = QPainterPath();
}

void TGdiContext::ClipToPath()
{
    m_inPath = false;
    CombineClip(m_path, false, true);
    m_path = QPainterPath();
}
