// The report's device canvas (fills and paths in device pixels), its clip
// stack and base clip, and content drawn in place on the page.
#include "report/RPBase.h"

#include <QPainter>
#include <cmath>

// ---------------------------------------------------------------- device canvas

void TBaseReport::FillDeviceRect(const QRect &deviceRect)
{
    RestorePage();
    if (!m_painter)
        return;
    m_painter->fillRect(deviceRect, ColorFromTColor(m_brushColor));
}

void TBaseReport::FillDeviceRect(const QRect &deviceRect, const QBrush &brush)
{
    RestorePage();
    if (!m_painter)
        return;
    m_painter->fillRect(deviceRect, brush);
}

void TBaseReport::DevicePolygon(const QPolygon &points)
{
    RestorePage();
    if (!m_painter || points.size() < 2)
        return;
    m_painter->setPen(MakePen());
    m_painter->setBrush(MakeBrush());
    m_painter->drawPolygon(points, Qt::WindingFill);
}

void TBaseReport::BeginPath()
{
    if (!m_painter)
        return;
    m_path = QPainterPath();
    m_path.setFillRule(Qt::WindingFill);
    m_pathOpen = true;
}

void TBaseReport::EndPath()
{
    m_pathOpen = false;
}

void TBaseReport::SelectPathAsClip()
{
    RestorePage(TClipRestore::Replaced);
    if (!m_painter)
        return;
    m_pathOpen = false;
    ApplyClip(m_path);
}

void TBaseReport::StrokePath()
{
    RestorePage();
    if (!m_painter)
        return;
    m_pathOpen = false;
    m_painter->strokePath(m_path, MakePen());
}

// ---------------------------------------------------------------- clip regions

QPainterPath TBaseReport::ClipPathOf(int kind, double x1, double y1, double x2, double y2,
                                     double cw, double ch) const
{
    const QRectF r(InchRect(x1, y1, x2, y2)); // right/bottom already outside
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    if (kind == 0) {
        p.addRect(r);
    } else if (kind == 1) {
        p.addEllipse(r);
    } else {
        const double zx = m_scaleX * ZoomPercent() / 10000.0 / m_unitsFactor;
        const double zy = m_scaleY * ZoomPercent() / 10000.0 / m_unitsFactor;
        p.addRoundedRect(r, std::abs(cw) * zx * m_xdpi / 2, std::abs(ch) * zy * m_ydpi / 2,
                         Qt::AbsoluteSize);
    }
    return p;
}

bool TBaseReport::PushClipPath(const QPainterPath &path)
{
    if (!m_painter || int(m_clipStack.size()) >= kMaxClipRegions)
        return false;
    m_clipStack.push_back(path);
    return true;
}

bool TBaseReport::PushClipRect(double x1, double y1, double x2, double y2)
{
    return m_painter && PushClipPath(ClipPathOf(0, x1, y1, x2, y2, 0, 0));
}

bool TBaseReport::PushClipEllipse(double x1, double y1, double x2, double y2)
{
    return m_painter && PushClipPath(ClipPathOf(1, x1, y1, x2, y2, 0, 0));
}

bool TBaseReport::PushClipRoundRect(double x1, double y1, double x2, double y2, double cornerW,
                                    double cornerH)
{
    return m_painter && PushClipPath(ClipPathOf(2, x1, y1, x2, y2, cornerW, cornerH));
}

bool TBaseReport::PushClipPolygon(const QPoint *points, int count)
{
    if (!points || count < 3)
        return false;
    return PushClipPolygon(QPolygon(QList<QPoint>(points, points + count)));
}

bool TBaseReport::PushClipPolygon(const QPolygon &points)
{
    if (!m_painter || points.size() < 3)
        return false;
    QPainterPath p;
    p.setFillRule(Qt::WindingFill);
    p.addPolygon(QPolygonF(points));
    p.closeSubpath();
    return PushClipPath(p);
}

void TBaseReport::ApplyClip(const QPainterPath &path)
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = true;
    m_painter->setClipPath(path, Qt::ReplaceClip);
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::IntersectClip);
}

void TBaseReport::SelectClip()
{
    if (!m_painter || m_clipStack.empty())
        return;
    ApplyClip(m_clipStack.back());
}

void TBaseReport::ClearClip()
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = false;
    if (!m_painter)
        return;
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
    else
        m_painter->setClipping(false);
}

void TBaseReport::SetBaseClipRect(double x1, double y1, double x2, double y2)
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = false;
    m_baseClip = ClipPathOf(0, x1, y1, x2, y2, 0, 0);
    m_baseClipRect = m_baseClip.boundingRect();
    m_hasBaseClip = true;
    if (m_painter)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
}

void TBaseReport::ClearBaseClip()
{
    RestorePage(TClipRestore::Replaced);
    m_clipSelected = false;
    m_hasBaseClip = false;
    m_baseClip = QPainterPath();
    m_baseClipRect = QRectF();
    if (m_painter)
        m_painter->setClipping(false);
}

void TBaseReport::PopClip()
{
    if (!m_clipStack.empty())
        m_clipStack.pop_back();
}

// ---------------------------------------------------------------- content drawn in place

// The painter's setters only mark what changed; the device hears of it at the
// next drawing call. So a piece sets transform and clip once and draws, and
// whatever EndPlaced puts back costs nothing until something else draws.

QPainter *TBaseReport::BeginPlaced(const QRect &deviceRect, const QSizeF &frame)
{
    if (deviceRect.isEmpty() || !(frame.width() > 0) || !(frame.height() > 0)) {
        EndPlaced();
        return nullptr;
    }
    // As StretchDraw places a recorded picture: the frame's corner on the
    // rectangle's, stretched to its size.
    QTransform placed = QTransform::fromTranslate(deviceRect.left(), deviceRect.top());
    placed.scale(deviceRect.width() / frame.width(), deviceRect.height() / frame.height());
    return BeginPlacedTransform(placed);
}

QPainter *TBaseReport::BeginPlacedFromPage(const QRect &deviceRect, const QSizeF &frame)
{
    RestorePage(TClipRestore::Keep); // the piece sets its clip
    return BeginPlaced(deviceRect, frame);
}

QPainter *TBaseReport::BeginPlacedTransform(const QTransform &placed)
{
    if (m_placing)
        EndPlaced();
    if (!m_painter)
        return nullptr;
    if (!m_pagePending) {
        m_pageTransform = m_painter->worldTransform();
        m_pagePen = m_painter->pen();
        m_pageBrush = m_painter->brush();
        m_pageFont = m_painter->font();
    }
    m_pagePending = false;
    m_placing = true;
    m_placedClipKnown = false;
    m_placedFrame = placed;
    m_placed = placed;
    m_painter->setWorldTransform(m_placed * m_pageTransform);
    if (m_painter->compositionMode() != QPainter::CompositionMode_SourceOver)
        m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    return m_painter;
}

void TBaseReport::MovePlaced(const QPointF &origin)
{
    if (!m_placing)
        return;
    m_placed = QTransform::fromTranslate(origin.x(), origin.y()) * m_placedFrame;
    m_placedClipKnown = false;
    m_painter->setWorldTransform(m_placed * m_pageTransform);
}

QRectF TBaseReport::PlacedClipRect(const QRectF &frameRect) const
{
    QRectF r = frameRect;
    if (m_hasBaseClip) {
        const QRectF base = m_placed.inverted().mapRect(m_baseClipRect);
        if (!base.contains(r))
            r = r.intersected(base);
    }
    return r.isValid() ? r : QRectF();
}

void TBaseReport::ClipPlaced(const QRectF &frameRect)
{
    if (!m_placing)
        return;
    // Set in frame units under the placement, the device takes clip and
    // transform in one state block.
    const QRectF r = PlacedClipRect(frameRect);
    if (m_placedClip == TPlacedClip::Rect && m_placedClipKnown && r == m_placedClipRect)
        return;
    m_placedClip = TPlacedClip::Rect;
    m_placedClipKnown = true;
    m_placedClipRect = r;
    m_painter->setClipRect(r, Qt::ReplaceClip);
}

void TBaseReport::UnclipPlaced(const QRectF &frameInk)
{
    if (!m_placing)
        return;
    // Inside the base clip, no clip at all serves as well as the base clip
    // and costs the device nothing to set.
    const bool inside = !m_hasBaseClip || m_baseClipRect.contains(m_placed.mapRect(frameInk));
    if (m_placedClip == TPlacedClip::Page || (inside && m_placedClip == TPlacedClip::Off))
        return;
    if (inside) {
        m_placedClip = TPlacedClip::Off;
        m_painter->setClipping(false);
        return;
    }
    // The base clip is a rectangle: set in frame units as well.
    m_placedClip = TPlacedClip::Page;
    m_painter->setClipRect(m_placed.inverted().mapRect(m_baseClipRect), Qt::ReplaceClip);
}

void TBaseReport::ForgetPlacement()
{
    m_placing = false;
    m_pagePending = false;
    m_placedClip = TPlacedClip::Page;
}

void TBaseReport::EndPlaced()
{
    if (!m_placing)
        return;
    m_placing = false;
    m_pagePending = m_painter != nullptr;
}

void TBaseReport::RestorePage(TClipRestore clip)
{
    if (m_placing)
        EndPlaced();
    if (m_pagePending) {
        m_pagePending = false;
        if (m_painter) {
            m_painter->setWorldTransform(m_pageTransform);
            m_painter->setPen(m_pagePen);
            m_painter->setBrush(m_pageBrush);
            m_painter->setFont(m_pageFont);
            ApplyPenMode(m_painter, m_penMode);
        }
    }
    if (clip == TClipRestore::Keep || m_placedClip == TPlacedClip::Page)
        return;
    m_placedClip = TPlacedClip::Page;
    if (clip == TClipRestore::Replaced || !m_painter)
        return;
    if (m_hasBaseClip)
        m_painter->setClipPath(m_baseClip, Qt::ReplaceClip);
    else
        m_painter->setClipping(false);
}
