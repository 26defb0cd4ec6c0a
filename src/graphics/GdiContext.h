#pragma once

// The drawing state that metafile records change (a Windows device context
// in miniature) and the drawing operations both metafile players share.

#include "graphics/MetafilePlayer.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QRegion>
#include <QString>
#include <QTransform>
#include <QVector>
#include <cstdint>
#include <functional>
#include <queue>
#include <vector>

// Little-endian fields of one record; reads outside it give 0 and clear ok,
// so a handler can never read past its record whatever it asks.
class TRecordView
{
public:
    TRecordView(const uint8_t *data, qsizetype size)
        : m_data(data)
        , m_size(size)
    {
    }
    qsizetype Size() const { return m_size; }
    const uint8_t *Data() const { return m_data; }
    bool Has(qsizetype at, qsizetype bytes) const
    {
        return at >= 0 && bytes >= 0 && at <= m_size && bytes <= m_size - at;
    }
    uint8_t U8(qsizetype at) const { return Has(at, 1) ? m_data[at] : Fail(); }
    uint16_t U16(qsizetype at) const
    {
        return Has(at, 2) ? uint16_t(m_data[at] | (m_data[at + 1] << 8)) : Fail();
    }
    int16_t I16(qsizetype at) const { return int16_t(U16(at)); }
    uint32_t U32(qsizetype at) const
    {
        return Has(at, 4) ? uint32_t(m_data[at]) | (uint32_t(m_data[at + 1]) << 8) |
                                (uint32_t(m_data[at + 2]) << 16) | (uint32_t(m_data[at + 3]) << 24)
                          : Fail();
    }
    int32_t I32(qsizetype at) const { return int32_t(U32(at)); }
    float F32(qsizetype at) const;
    bool ok = true;

private:
    uint8_t Fail() const
    {
        const_cast<TRecordView *>(this)->ok = false;
        return 0;
    }
    const uint8_t *m_data;
    qsizetype m_size;
};

// A colour as metafiles store it: red in the low byte.
QColor ColorRef(uint32_t value);

struct TGdiFont
{
    double height = 0; // logical units; negative: the em, positive: the cell
    double escapement = 0; // tenths of a degree, anticlockwise
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    QString face;
};

// What a metafile's object table holds.
struct TGdiObject
{
    enum class Type { Empty, Pen, Brush, Font, Region, Other };
    Type type = Type::Empty;
    QPen pen;
    QBrush brush;
    TGdiFont font;
    QRectF region; // a region's bounding box (logical units)
};

// The clip records set, kept by the player and handed to the painter only
// when something is drawn: a device may redo its whole clip on every change
// (the PDF engine writes it out again each time). Rectangles stay a region;
// a path is kept only where a path clip or a turned rectangle asks for one.
struct TGdiClip
{
    enum class Kind { Frame, Region, Path }; // Frame: only the picture's own frame
    Kind kind = Kind::Frame;
    QTransform space; // from the region's or path's coordinates to the caller's
    QRegion region;
    QPainterPath path;
};

struct TGdiState
{
    QPen pen;
    QBrush brush;
    TGdiFont font;
    QColor textColor = Qt::black;
    QColor backColor = Qt::white;
    bool opaqueBack = true;
    uint32_t textAlign = 0;
    Qt::FillRule fillRule = Qt::OddEvenFill;
    bool smoothStretch = false; // HALFTONE; otherwise pixels are repeated
    int mapMode = 1;
    QPointF windowOrg{0, 0};
    QSizeF windowExt{1, 1};
    QPointF viewportOrg{0, 0};
    QSizeF viewportExt{1, 1};
    QTransform world;
    QPointF current;
    TGdiClip clip;
};

class TGdiContext
{
public:
    // Text alignment and text-out options of both formats.
    static constexpr uint32_t TaUpdateCp = 1, TaRight = 2, TaCenter = 6, TaBottom = 8,
                              TaBaseline = 24;
    static constexpr uint32_t EtoOpaque = 2, EtoClipped = 4;

    TGdiContext(QPainter &painter, const QRectF &target);
    ~TGdiContext();
    TGdiContext(const TGdiContext &) = delete;
    TGdiContext &operator=(const TGdiContext &) = delete;

    TGdiState &State() { return m_state; }
    QPainter &Painter() { return m_painter; }

    // Mapping. A WMF maps its window straight onto the target; an EMF maps
    // logical units through its world transform and page mapping to device
    // pixels, and the frame (device pixels) onto the target.
    void SetWindowMapsToTarget(bool on) { m_windowToTarget = on; MappingChanged(); }
    void SetDeviceFrame(const QRectF &frame, double pixelsPerMmX, double pixelsPerMmY);
    void MappingChanged() { m_mappingDirty = true; }

    // Counts the work of a play: records, and the rectangles and path
    // elements of the clips it combines and hands to the painter. False
    // once it is over kMaxMetafileWork: the file is played only this far, so
    // that no picture keeps the program busy, or fills a printed page,
    // without end.
    bool Spend(int64_t units)
    {
        m_work += units;
        return m_work <= kMaxMetafileWork;
    }

    void SaveDc();
    void RestoreDc(int which);

    // Objects: the table's size is fixed when the file says it.
    void SetObjectTableSize(int size);
    // A WMF puts a new object into the lowest free slot.
    void AddObject(const TGdiObject &object);
    void SetObject(uint32_t index, const TGdiObject &object);
    void SelectObject(uint32_t index);
    void DeleteObject(uint32_t index);
    const TGdiObject *Object(uint32_t index) const
    {
        return index < m_objects.size() ? &m_objects[index] : nullptr;
    }
    void SelectStockObject(uint32_t which);
    static QPen MakePen(uint32_t style, double width, const QColor &color);
    static QBrush MakeBrush(uint32_t style, const QColor &color, uint32_t hatch);

    // Clipping (logical rectangles). A region is kept to at most
    // MaxClipRects rectangles and a path to MaxClipPathElements elements: a
    // change that would make it more complex is not made, so the clip stays
    // larger than asked (never past the picture's frame) rather than let
    // each record cost more than the one before.
    static constexpr int MaxClipRects = 256;
    static constexpr int MaxClipPathElements = 2048;
    void IntersectClip(const QRectF &rect);
    void ExcludeClip(const QRectF &rect);
    void ResetClip();
    void ClipToRegion(uint32_t index);

    // Drawing in logical units.
    void MoveTo(const QPointF &p) { m_state.current = p; if (m_inPath) m_path.moveTo(p); }
    void LineTo(const QPointF &p);
    void Polyline(const QPolygonF &points);
    void PolylineTo(const QPolygonF &points);
    void Bezier(const QPolygonF &points, bool fromCurrent);
    void Polygon(const QPolygonF &points);
    void PolyPolygon(const QVector<QPolygonF> &polygons);
    void PolyPolyline(const QVector<QPolygonF> &polylines);
    void Rectangle(const QRectF &rect);
    void RoundRect(const QRectF &rect, double width, double height);
    void Ellipse(const QRectF &rect);
    enum class ArcKind { Arc, Chord, Pie };
    void Arc(ArcKind kind, const QRectF &box, const QPointF &start, const QPointF &end);
    void FillRect(const QRectF &rect, const QBrush &brush);
    void FillRegion(uint32_t index, const QBrush *brush);
    void SetPixel(const QPointF &p, const QColor &color);
    // Text at a reference point; advances (logical units) per character when
    // given; options and rect as for ExtTextOut.
    void Text(const QPointF &at, const QString &text, const QVector<double> &advances,
              uint32_t options, const QRectF &rect);
    // A bitmap stretched onto dest; src in the image's pixels (top-down).
    void Bitmap(const QRectF &dest, const QImage &image, const QRectF &src, uint32_t rop);
    // A raster operation without a source: fills with the brush or a colour.
    void PatternBlt(const QRectF &dest, uint32_t rop);

    // Paths (EMF).
    void BeginPath();
    void EndPath() { m_inPath = false; }
    void CloseFigure() { m_path.closeSubpath(); }
    void AbortPath();
    void DrawPath(bool fill, bool stroke);
    void ClipToPath();

    // A DIB as metafiles embed it: information header, colour table, bits.
    static QImage DecodeDib(const QByteArray &info, const QByteArray &bits);

private:
    // Before drawing: the clip in force and the logical mapping on the painter.
    void UpdateTransform();
    const QTransform &Logical();
    QTransform LogicalToTarget() const;
    void CombineClip(const QPainterPath &shape, bool isRect, bool intersect);
    void ApplyClip();
    void StoreObject(size_t index, const TGdiObject &object);
    void Shape(const QPainterPath &path, bool fill);
    bool DrawsDirectly(bool fill);
    void UsePenAndBrush(bool fill);

    QPainter &m_painter;
    QRectF m_target;
    QTransform m_base;
    TGdiState m_state;
    std::vector<TGdiState> m_saved;
    int m_ignoredSaves = 0;
    std::vector<TGdiObject> m_objects;
    // Empty slots, lowest first; an entry whose slot has been filled since
    // is dropped when it comes to the top.
    std::priority_queue<uint32_t, std::vector<uint32_t>, std::greater<>> m_freeSlots;
    bool m_windowToTarget = false;
    QRectF m_frame{0, 0, 1, 1};
    double m_pxPerMmX = 96 / 25.4;
    double m_pxPerMmY = 96 / 25.4;
    bool m_mappingDirty = true;
    bool m_painterMapped = false; // the painter draws through m_logical
    bool m_clipDirty = false;     // the painter's clip is not m_state.clip
    bool m_clipSaved = false;     // the painter holds a state for the clip
    int64_t m_work = 0;
    QTransform m_logical; // logical units to the caller's coordinates
    bool m_inPath = false;
    QPainterPath m_path;
};

// The two formats' players (used by MetafilePlayer).
QSize WmfNaturalSize(const QByteArray &file, bool *isWmf);
void PlayWmf(QPainter &painter, const QRectF &target, const QByteArray &file);
// The logical frame of a plain WMF: its window (origin and extent) when it
// sets one, else the box of what its records draw. Empty when neither says.
QRect PlainWmfFrame(const QByteArray &file);
QSize EmfNaturalSize(const QByteArray &file, bool *isEmf);
void PlayEmf(QPainter &painter, const QRectF &target, const QByteArray &file);
