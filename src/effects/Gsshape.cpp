#include "effects/Gsshape.h"

#include "report/RPBase.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QPainter>
#include <cmath>

const QStringList &TSuperShape::PenStyleIdentifiers()
{
    static const QStringList names{
        QStringLiteral("psSolid"),       QStringLiteral("psDash"),       QStringLiteral("psDot"),
        QStringLiteral("psDashDot"),     QStringLiteral("psDashDotDot"), QStringLiteral("psClear"),
        QStringLiteral("psInsideFrame"),
    };
    return names;
}

const QStringList &TSuperShape::BrushStyleIdentifiers()
{
    static const QStringList names{
        QStringLiteral("bsSolid"),    QStringLiteral("bsClear"),     QStringLiteral("bsHorizontal"),
        QStringLiteral("bsVertical"), QStringLiteral("bsFDiagonal"), QStringLiteral("bsBDiagonal"),
        QStringLiteral("bsCross"),    QStringLiteral("bsDiagCross"),
    };
    return names;
}

const QStringList &TSuperShape::ShapeTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("gstRectangle"),     QStringLiteral("gstRoundRect"),
        QStringLiteral("gstEllipse"),       QStringLiteral("gstDiamond"),
        QStringLiteral("gstStar"),          QStringLiteral("gstTriangleLeft"),
        QStringLiteral("gstTriangleRight"), QStringLiteral("gstTriangleUp"),
        QStringLiteral("gstTriangleDown"),  QStringLiteral("gstPolyGon"),
    };
    return names;
}

const QStringList &TSuperShape::SurfaceTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stBrushTransparent"),
        QStringLiteral("stBrushPattern"),
        QStringLiteral("stBrushImage"),
        QStringLiteral("stGradientFill"),
    };
    return names;
}

const QStringList &TSuperShape::ShadowOrientIdentifiers()
{
    static const QStringList names{
        QStringLiteral("soNone"),       QStringLiteral("soLowerRight"),
        QStringLiteral("soUpperRight"), QStringLiteral("soUpperLeft"),
        QStringLiteral("soLowerLeft"),
    };
    return names;
}

TSuperShape::TSuperShape(QObject *owner)
    : TGGraphicControl(owner)
    , m_fill([this] { return m_surfaceType == stGradientFill; }, 0x0000FF, 0xFF0000, gdUp)
{
    SetCreationBounds(25, 25);
    m_fill.OnChange = [this] { DesignChanged(); };
    m_fill.OnFileChange = [this] {
        if (!IsLoading())
            ReportChange();
    };
}

void TSuperShape::InvalidateSolidFill()
{
    m_solidFillPicture = QImage();
}

void TSuperShape::SetBackColor(TColor color)
{
    // The back colour is the solid fill's colour too.
    if (color != m_fill.FromColor())
        InvalidateSolidFill();
    m_fill.SetFromColor(color);
}

void TSuperShape::SetForeColor(TColor color)
{
    StoreDesignValue(m_foreColor, color, [this] { InvalidateSolidFill(); });
}

void TSuperShape::SetInVectorPercent(int percent)
{
    if (percent >= 0 && percent <= 100)
        StoreDesignValue(m_inVectorPercent, percent);
}

void TSuperShape::SetOutlineStyle(TPenStyle style)
{
    if (style >= psSolid && style <= psInsideFrame)
        StoreDesignValue(m_outlineStyle, style);
}

void TSuperShape::SetPattern(TBrushStyle pattern)
{
    if (pattern >= bsSolid && pattern <= bsDiagCross)
        StoreDesignValue(m_pattern, pattern, [this] { InvalidateSolidFill(); });
}

// The shadow is part of the gradient picture.
void TSuperShape::SetShadowColor(TColor color)
{
    StoreDesignValue(m_shadowColor, color, [this] { m_fill.InvalidateGradient(); });
}

void TSuperShape::SetShadowDepth(int depth)
{
    // A depth that already exceeds half the object's width or height may not
    // grow further, but it may always shrink; a stored depth is taken as it is.
    const bool heldTooDeep = m_shadowDepth > Width() / 2 || m_shadowDepth > Height() / 2;
    if (!IsLoading() && heldTooDeep && depth > m_shadowDepth)
        return;
    StoreDesignValue(m_shadowDepth, depth, [this] { m_fill.InvalidateGradient(); });
}

void TSuperShape::SetShadowOrient(TShadowOrient orient)
{
    if (orient >= soNone && orient <= soLowerLeft)
        StoreDesignValue(m_shadowOrient, orient, [this] { m_fill.InvalidateGradient(); });
}

void TSuperShape::SetShape(TGPShapeType shape)
{
    if (shape < gstRectangle || shape > gstPolyGon)
        return;
    StoreDesignValue(m_shape, shape, [this, shape] {
        if (shape != gstStar || IsLoading())
            return;
        if (m_inVectorPercent == 0)
            m_inVectorPercent = 50;
        if (m_vectors < 10)
            m_vectors = 10;
        m_startingAngle = 90;
    });
}

void TSuperShape::SetStartingAngle(int degrees)
{
    if (degrees >= 0 && degrees <= 359)
        StoreDesignValue(m_startingAngle, degrees);
}

void TSuperShape::SetSurfaceType(TSurfaceType type)
{
    if (type == m_surfaceType || type < stBrushTransparent || type > stGradientFill)
        return;
    m_surfaceType = type;
    if (type == stBrushTransparent) {
        // Without a fill the figure must stay visible: no shadow, a drawn
        // outline. Read from a file too: the type comes after these there.
        m_shadowOrient = soNone;
        m_pattern = bsClear;
        if (m_outlineStyle == psClear)
            m_outlineStyle = psSolid;
    }
    if (IsLoading())
        return;
    m_fill.FollowSurfaceType(type == stBrushImage);
    switch (type) {
    case stBrushPattern:
        InvalidateSolidFill();
        break;
    case stBrushTransparent:
    case stGradientFill:
    case stBrushImage:
        break;
    }
    DesignChanged();
}

void TSuperShape::SetVectors(int count)
{
    if (count >= 3 && count <= 60)
        StoreDesignValue(m_vectors, count);
}

void TSuperShape::CopyProperties(const TSuperShape &other)
{
    CopyStoredProperties(*this, other, DialogProperties());
    SetBounds(Left(), Top(), other.Width(), other.Height());
}

void TSuperShape::BoundsChanged()
{
    Inherited::BoundsChanged();
    // The gradient is as large as the object; the solid fill is one colour and
    // still covers any size when tiled.
    m_fill.FitGradientTo(QSize(Width(), Height()));
}

const TPropertyTable &TSuperShape::PropertyTable() const
{
    using T = TSuperShape;
    static const TPropertyTable table = [] {
        using namespace props;
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(Color<T>(QStringLiteral("BackColor"), &T::BackColor, &T::SetBackColor));
        t.push_back(Enum<T, TFillDirection>(QStringLiteral("FillDirection"),
                                            FillDirectionIdentifiers(), &T::FillDirection,
                                            &T::SetFillDirection));
        t.push_back(Color<T>(QStringLiteral("ForeColor"), &T::ForeColor, &T::SetForeColor));
        t.push_back(Color<T>(QStringLiteral("GradientToColor"), &T::GradientToColor,
                             &T::SetGradientToColor));
        t.push_back(Object<T>(QStringLiteral("Image"), &T::Image));
        t.push_back(Integer<T>(QStringLiteral("InVectorPercent"), &T::InVectorPercent,
                               &T::SetInVectorPercent));
        t.push_back(
            Color<T>(QStringLiteral("OutlineColor"), &T::OutlineColor, &T::SetOutlineColor));
        t.push_back(Enum<T, TPenStyle>(QStringLiteral("OutlineStyle"), PenStyleIdentifiers(),
                                       &T::OutlineStyle, &T::SetOutlineStyle));
        t.push_back(
            Integer<T>(QStringLiteral("OutlineWidth"), &T::OutlineWidth, &T::SetOutlineWidth));
        t.push_back(Enum<T, TBrushStyle>(QStringLiteral("Pattern"), BrushStyleIdentifiers(),
                                         &T::Pattern, &T::SetPattern));
        t.push_back(Integer<T>(QStringLiteral("RoundPerc"), &T::RoundPerc, &T::SetRoundPerc));
        t.push_back(Color<T>(QStringLiteral("ShadowColor"), &T::ShadowColor, &T::SetShadowColor));
        t.push_back(Integer<T>(QStringLiteral("ShadowDepth"), &T::ShadowDepth, &T::SetShadowDepth));
        t.push_back(Enum<T, TShadowOrient>(QStringLiteral("ShadowOrient"),
                                           ShadowOrientIdentifiers(), &T::ShadowOrient,
                                           &T::SetShadowOrient));
        t.push_back(Enum<T, TGPShapeType>(QStringLiteral("Shape"), ShapeTypeIdentifiers(),
                                          &T::Shape, &T::SetShape, gstStar));
        t.push_back(
            Integer<T>(QStringLiteral("StartingAngle"), &T::StartingAngle, &T::SetStartingAngle));
        t.push_back(Enum<T, TSurfaceType>(QStringLiteral("SurfaceType"), SurfaceTypeIdentifiers(),
                                          &T::SurfaceType, &T::SetSurfaceType));
        t.push_back(Integer<T>(QStringLiteral("Vectors"), &T::Vectors, &T::SetVectors));
        t.push_back(String<T>(QStringLiteral("LastBitmapFileNameandPath"),
                              &T::LastBitmapFileNameandPath, &T::SetLastBitmapFileNameandPath));
        return t;
    }();
    return table;
}

// ---- geometry ---------------------------------------------------------------

std::function<bool(TSuperShape &, QString &, QWidget *)> TSuperShape::ShowPropertiesDialog;

int TSuperShape::ZoomedShadowDepth() const
{
    const float z = ZoomScale();
    return z == 1.0f ? m_shadowDepth : SaturatedInt(std::trunc(m_shadowDepth * z));
}

TSuperShape::TFigureRects TSuperShape::FigureRects() const
{
    // Depths and widths read from a damaged design are held within the
    // coordinate range so that no sum below overflows.
    const auto bounded = [](int v) { return std::clamp(v, -MaxCoordinate, MaxCoordinate); };
    const int sd = bounded(ZoomedShadowDepth());
    const int outline = bounded(m_outlineWidth);
    const int hw = outline / 2;
    const int w = Width() - outline + 1;
    const int h = Height() - outline + 1;
    TFigureRects r;
    if (m_shape == gstDiamond && m_shadowOrient != soNone) {
        // A diamond's shadow falls sideways only.
        const bool right = m_shadowOrient == soLowerRight || m_shadowOrient == soUpperRight;
        r.shape = right ? TRect{hw, hw, w - sd, h} : TRect{hw + sd, hw, w, h};
        r.shadow = right ? TRect{hw + sd, hw, w, h} : TRect{hw, hw, w - sd, h};
        return r;
    }
    switch (m_shadowOrient) {
    case soNone:
        r.shape = {hw, hw, w, h};
        break;
    case soLowerRight:
        r.shape = {hw, hw, w - sd, h - sd};
        r.shadow = TRect{hw + sd, hw + sd, w, h};
        break;
    case soUpperRight:
        r.shape = {hw, hw + sd, w - sd, h};
        r.shadow = TRect{hw + sd, hw, w, h - sd};
        break;
    case soUpperLeft:
        r.shape = {hw + sd, hw + sd, w, h};
        r.shadow = TRect{hw, hw, w - sd, h - sd};
        break;
    case soLowerLeft:
        r.shape = {hw + sd, hw, w, h - sd};
        r.shadow = TRect{hw, hw + sd, w - sd, h};
        break;
    }
    return r;
}

int TSuperShape::CornerSize() const
{
    return SaturatedInt(std::trunc(std::max(Width(), Height()) * m_roundPerc * 0.01));
}

TSuperShape::TFigure TSuperShape::Figure(const TRect &rect) const
{
    TFigure figure;
    figure.rect = rect;
    const int L = rect.Left;
    const int T = rect.Top;
    const int w = rect.Width();
    const int h = rect.Height();
    switch (m_shape) {
    case gstRectangle:
        figure.kind = TFigure::Rectangle;
        return figure;
    case gstRoundRect:
        figure.kind = TFigure::RoundRect;
        figure.corner = CornerSize();
        return figure;
    case gstEllipse:
        figure.kind = TFigure::Ellipse;
        return figure;
    case gstDiamond:
        figure.points = QPolygon({QPoint(L + w / 2, T), QPoint(L + w - 1, T + h / 2),
                                  QPoint(L + w / 2, T + h - 1), QPoint(L, T + h / 2)});
        return figure;
    case gstTriangleLeft:
        figure.points =
            QPolygon({QPoint(L + w - 1, T), QPoint(L + w - 1, T + h - 1), QPoint(L, T + h / 2)});
        return figure;
    case gstTriangleRight:
        figure.points =
            QPolygon({QPoint(L, T), QPoint(L + w - 1, T + h / 2), QPoint(L, T + h - 1)});
        return figure;
    case gstTriangleUp:
        figure.points =
            QPolygon({QPoint(L + w / 2, T), QPoint(L, T + h - 1), QPoint(L + w - 1, T + h - 1)});
        return figure;
    case gstTriangleDown:
        figure.points =
            QPolygon({QPoint(L, T), QPoint(L + w / 2, T + h - 1), QPoint(L + w - 1, T)});
        return figure;
    case gstStar:
    case gstPolyGon:
        break;
    }
    // Outer points on even steps, inner ones on odd steps. A rectangle too
    // small for the 4-pixel inset gives a point at the centre, not points
    // thrown through it to the far side.
    const int ro = std::max(0, std::min(w / 2, h / 2) - 4);
    const double ri = std::max(0.0, ro * (100 - m_inVectorPercent) * 0.01);
    const int cx = L + w / 2;
    const int cy = T + h / 2;
    figure.points.reserve(m_vectors);
    for (int m = 0; m < m_vectors; ++m) {
        const double radius = m % 2 == 0 ? double(ro) : ri;
        const double theta = (360.0 / m_vectors * m - m_startingAngle) * M_PI / 180.0;
        figure.points.append(QPoint(cx + RoundEven(radius * std::cos(theta)),
                                    cy + RoundEven(radius * std::sin(theta))));
    }
    return figure;
}

QPainterPath TSuperShape::TFigure::Outline() const
{
    return Path(QRectF(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1));
}

QPainterPath TSuperShape::TFigure::Area() const
{
    return Path(QRectF(rect.Left, rect.Top, rect.Width(), rect.Height()));
}

QPainterPath TSuperShape::TFigure::Path(const QRectF &bounds) const
{
    QPainterPath path;
    switch (kind) {
    case Rectangle:
        path.addRect(bounds);
        break;
    case RoundRect:
        path.addRoundedRect(bounds, corner / 2.0, corner / 2.0);
        break;
    case Ellipse:
        path.addEllipse(bounds);
        break;
    case Polygon:
        path.setFillRule(Qt::WindingFill);
        path.addPolygon(points);
        path.closeSubpath();
        break;
    }
    return path;
}

// ---- drawing ----------------------------------------------------------------

QImage TSuperShape::FillPicture()
{
    switch (m_surfaceType) {
    case stBrushTransparent:
        return QImage();
    case stBrushPattern:
        if (m_solidFillPicture.size() != QSize(Width(), Height()) && Width() > 0 && Height() > 0) {
            m_solidFillPicture = QImage(Width(), Height(), QImage::Format_RGB32);
            m_solidFillPicture.fill(ColorFromTColor(BackColor()));
        }
        return m_solidFillPicture;
    case stBrushImage:
        return ImageBitmap().Image();
    case stGradientFill:
        return m_fill.GradientFor(QSize(Width(), Height()));
    }
    return QImage();
}

void TSuperShape::Paint(QPainter &painter)
{
    if (Width() <= 0 || Height() <= 0)
        return;
    painter.save();
    // Nothing of a figure larger than its rectangle leaves the object.
    painter.setClipRect(0, 0, Width(), Height(), Qt::IntersectClip);
    const TFigureRects rects = FigureRects();

    if (rects.shadow && !rects.shadow->IsEmptyArea()) {
        painter.setBrush(ColorFromTColor(m_shadowColor));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawPath(Figure(*rects.shadow).Outline());
    }

    if (rects.shape.IsEmptyArea()) {
        painter.restore();
        return;
    }
    const TFigure figure = Figure(rects.shape);
    if (const QImage picture = FillPicture(); !picture.isNull()) {
        QSize tile = picture.size();
        const float z = ZoomScale();
        if (m_surfaceType == stBrushImage && z != 1.0f)
            tile = QSize(SaturatedInt(std::trunc(tile.width() * z)),
                         SaturatedInt(std::trunc(tile.height() * z)));
        painter.save();
        painter.setClipPath(figure.Area(), Qt::IntersectClip);
        TileFillPicture(painter, picture, QSize(Width(), Height()), tile);
        painter.restore();
    }

    if (m_outlineStyle != psClear) {
        QPen pen(ColorFromTColor(m_outlineColor), std::max(0, m_outlineWidth),
                 QtPenStyle(m_outlineStyle));
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(figure.Outline());
    }
    painter.restore();
}

bool TSuperShape::PrintFigure(TBaseReport &report, const TFigure &figure, double x, double y,
                              bool asClip) const
{
    const double ppi = ScreenPixelsPerInch();
    const auto ix = [&](int px) { return x + (Left() + px) / ppi; };
    const auto iy = [&](int py) { return y + (Top() + py) / ppi; };
    const TRect &r = figure.rect;
    const double x1 = ix(r.Left), y1 = iy(r.Top), x2 = ix(r.Right), y2 = iy(r.Bottom);
    switch (figure.kind) {
    case TFigure::Rectangle:
        if (asClip)
            return report.PushClipRect(x1, y1, x2, y2);
        report.Rectangle(x1, y1, x2, y2);
        return true;
    case TFigure::RoundRect:
        if (asClip)
            return report.PushClipRoundRect(x1, y1, x2, y2, figure.corner / ppi,
                                            figure.corner / ppi);
        report.RoundRect(x1, y1, x2, y2, figure.corner / ppi, figure.corner / ppi);
        return true;
    case TFigure::Ellipse:
        if (asClip)
            return report.PushClipEllipse(x1, y1, x2, y2);
        report.Ellipse(x1, y1, x2, y2);
        return true;
    case TFigure::Polygon:
        break;
    }
    QPolygon device;
    for (const QPoint &p : figure.points)
        device.append(QPoint(report.XI2D(ix(p.x())), report.YI2D(iy(p.y()))));
    if (asClip)
        return report.PushClipPolygon(device);
    report.DevicePolygon(device);
    return true;
}

void TSuperShape::PrintTo(TBaseReport *report, double x, double y)
{
    if (!report || Width() <= 0 || Height() <= 0)
        return;
    const double ppi = ScreenPixelsPerInch();
    const auto ix = [&](int px) { return x + (Left() + px) / ppi; };
    const auto iy = [&](int py) { return y + (Top() + py) / ppi; };
    const TFigureRects rects = FigureRects();

    if (rects.shadow && !rects.shadow->IsEmptyArea()) {
        report->SetBrush(m_shadowColor, bsSolid);
        report->SetPen(0, psSolid, -1, pmCopy);
        PrintFigure(*report, Figure(*rects.shadow), x, y, false);
    }
    if (rects.shape.IsEmptyArea())
        return;
    const TFigure figure = Figure(rects.shape);

    if (m_surfaceType != stBrushTransparent) {
        const TRect &r = rects.shape;
        if (PrintFigure(*report, figure, x, y, true)) {
            report->SelectClip();
            // The fill runs over the whole object, as on screen.
            const QRect printed(
                QPoint(report->XI2D(ix(0)), report->YI2D(iy(0))),
                QPoint(report->XI2D(ix(Width())) - 1, report->YI2D(iy(Height())) - 1));
            switch (m_surfaceType) {
            case stBrushPattern:
                // One colour: a solid area keeps the page vector.
                report->SetBrush(BackColor(), bsSolid);
                report->FillDeviceRect(printed);
                break;
            case stBrushImage:
                PrintFillTiles(*report, PrintableImage(ImageBitmap().Picture(), Name()), ix(0), iy(0),
                               Width() / ppi, Height() / ppi, ppi);
                break;
            case stGradientFill:
                PrintGradient(*report, BackColor(), GradientToColor(), FillDirection(), printed);
                break;
            case stBrushTransparent:
                break;
            }
            report->ClearClip();
            report->PopClip();
        }
    }

    if (m_outlineStyle != psClear) {
        report->SetBrush(m_foreColor, bsClear);
        report->SetPen(m_outlineColor, m_outlineStyle, -std::max(0, m_outlineWidth), pmCopy);
        PrintFigure(*report, figure, x, y, false);
    }
}

// ---- menu and properties dialog -----------------------------------------------

void TSuperShape::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    m_propertiesItem = AddMenuItem(tr("Properties"), [this] { EditProperties(); });
    RefreshMenu();
}

void TSuperShape::RefreshMenu()
{
    Inherited::RefreshMenu();
    if (m_propertiesItem)
        m_propertiesItem->setEnabled(bool(ShowPropertiesDialog));
}

void TSuperShape::EditProperties()
{
    if (EditOnSample(*this, ShowPropertiesDialog))
        ReportChange();
}

void TSuperShape::TakeEditedProperties(const TSuperShape &sample)
{
    CopyStoredProperties(*this, sample, DialogProperties());
}
