#include "objects/Glshapes.h"

#include "report/RPBase.h"
#include "surface/ScreenInfo.h"

#include <QColorDialog>
#include <QMenu>
#include <QPaintEngine>
#include <QPainter>
#include <QScopedValueRollback>
#include <algorithm>
#include <cmath>

namespace shapes {

int DrawnPenWidth(int stored)
{
    return std::clamp(stored, 0, MaxDrawnPenWidth);
}

int ZoomedPenWidth(int stored, float scale, bool keepOnePixel)
{
    const int width = DrawnPenWidth(stored);
    if (scale == 1.0f)
        return width;
    const float product = float(width) * scale;
    int zoomed = std::isfinite(product) ? int(std::nearbyint(product)) : width;
    zoomed = std::clamp(zoomed, 0, MaxDrawnPenWidth * 100);
    if (keepOnePixel && zoomed <= 0 && width > 0)
        zoomed = 1;
    return zoomed;
}

QPen ScreenPen(const TGPen &pen, int width)
{
    if (pen.Mode() == pmNop || pen.Style() == psClear)
        return QPen(Qt::NoPen);
    QColor color = ColorFromTColor(pen.Color());
    if (pen.Mode() == pmBlack)
        color = Qt::black;
    else if (pen.Mode() == pmWhite)
        color = Qt::white;
    QPen result(color);
    result.setWidth(width);
    switch (pen.Style()) {
    case psDash:
        result.setStyle(Qt::DashLine);
        break;
    case psDot:
        result.setStyle(Qt::DotLine);
        break;
    case psDashDot:
        result.setStyle(Qt::DashDotLine);
        break;
    case psDashDotDot:
        result.setStyle(Qt::DashDotDotLine);
        break;
    default:
        result.setStyle(Qt::SolidLine);
        break;
    }
    result.setJoinStyle(Qt::MiterJoin);
    return result;
}

void ApplyScreenPenMode(QPainter &painter, TPenMode mode)
{
    QPainter::CompositionMode composition = QPainter::CompositionMode_SourceOver;
    switch (mode) {
    case pmXor:
        composition = QPainter::RasterOp_SourceXorDestination;
        break;
    case pmNotXor:
        composition = QPainter::RasterOp_NotSourceXorDestination;
        break;
    case pmNot:
        composition = QPainter::RasterOp_NotDestination;
        break;
    default:
        break;
    }
    QPaintEngine *engine = painter.paintEngine();
    if (composition != QPainter::CompositionMode_SourceOver && engine &&
        engine->hasFeature(QPaintEngine::RasterOpModes))
        painter.setCompositionMode(composition);
}

std::array<QAction *, 10> AddThicknessMenu(QMenu *menu, const QString &title,
                                           const std::function<void(int)> &choose)
{
    std::array<QAction *, 10> items{};
    QMenu *thickness = menu->addMenu(title);
    for (int n = 1; n <= 10; ++n) {
        QAction *item = thickness->addAction(QStringLiteral("%1 Point").arg(n));
        item->setCheckable(true);
        item->setData(n);
        QObject::connect(item, &QAction::triggered, menu, [choose, n] { choose(n); });
        items[size_t(n - 1)] = item;
    }
    return items;
}

void TickThickness(const std::array<QAction *, 10> &items, int width)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i])
            items[i]->setChecked(width == int(i) + 1);
}

} // namespace shapes

TGLabelShapes::TGLabelShapes(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(25, 25);
    m_brush.OnChange = [this] { GroupChanged(); };
    m_pen.OnChange = [this] { GroupChanged(); };
}

const QStringList &TGLabelShapes::ShapeTypeIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stRectangle"),   QStringLiteral("stSquare"),  QStringLiteral("stRoundRect"),
        QStringLiteral("stRoundSquare"), QStringLiteral("stEllipse"), QStringLiteral("stCircle"),
    };
    return names;
}

void TGLabelShapes::GroupChanged()
{
    if (!m_quietGroups)
        DesignChanged();
}

void TGLabelShapes::SetTransparent(bool value)
{
    if (value == m_transparent)
        return;
    m_transparent = value;
    m_brush.SetImpliedStyle(value ? bsClear : bsSolid);
    {
        // Read from a file as well: a Brush.Style stored after it still has
        // the last word, and a file without one gets the style that goes
        // with the flag.
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_brush.SetStyle(value ? bsClear : bsSolid);
    }
    if (!IsLoading())
        DesignChanged();
}

// An equal brush or pen is no change; a different one reports itself, once,
// through GroupChanged.
void TGLabelShapes::SetBrush(const TGBrush &brush)
{
    m_brush.Assign(brush);
}

void TGLabelShapes::SetPen(const TGPen &pen)
{
    m_pen.Assign(pen);
}

void TGLabelShapes::SetShape(TShapeType shape)
{
    if (shape >= stRectangle && shape <= stCircle)
        StoreDesignValue(m_shape, shape);
}

const TPropertyTable &TGLabelShapes::PropertyTable() const
{
    using T = TGLabelShapes;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(
            props::Boolean<T>(QStringLiteral("Transparent"), &T::Transparent, &T::SetTransparent));
        t.push_back(props::Object<T>(QStringLiteral("Brush"), &T::Brush));
        t.push_back(props::Object<T>(QStringLiteral("Pen"), &T::Pen));
        t.push_back(
            props::Integer<T>(QStringLiteral("RoundPerc"), &T::RoundPerc, &T::SetRoundPerc, 25));
        t.push_back(props::Enum<T, TShapeType>(QStringLiteral("Shape"), ShapeTypeIdentifiers(),
                                               &T::Shape, &T::SetShape, stRectangle));
        return t;
    }();
    return table;
}

void TGLabelShapes::Paint(QPainter &painter)
{
    if (Width() <= 0 || Height() <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int w = shapes::ZoomedPenWidth(m_pen.Width(), ZoomScale(), true);
    const int h = w / 2;
    // The outline's corners in pixels: a thick pen stays inside the bounds.
    const int left = h;
    const int top = h;
    const int right = Width() - w + 1 + h;
    const int bottom = Height() - w + 1 + h;
    // The outline runs through the pixels left..right-1; a pen of w pixels
    // centred on pixel c covers c-h .. c-h+w-1, so its centre line lies
    // w/2 - h past the pixel's left edge.
    // Without a pen the fill covers the pixels left..right-2.
    const QPen pen = shapes::ScreenPen(m_pen, w);
    const double offset = pen.style() == Qt::NoPen ? 0.0 : std::max(w, 1) / 2.0 - h;
    const QRectF centre(left + offset, top + offset, right - 1 - left, bottom - 1 - top);
    painter.setPen(pen);
    painter.setBrush(QBrush(ColorFromTColor(m_brush.Color()), QtBrushStyle(m_brush.Style())));
    shapes::ApplyScreenPenMode(painter, m_pen.Mode());
    switch (m_shape) {
    case stRectangle:
    case stSquare:
        painter.drawRect(centre);
        break;
    case stRoundRect:
    case stRoundSquare: {
        // The corner ellipse is r x r.
        const double r = std::trunc(std::max(Width(), Height()) * double(m_roundPerc) * 0.01);
        painter.drawRoundedRect(centre, std::abs(r) / 2, std::abs(r) / 2, Qt::AbsoluteSize);
        break;
    }
    case stEllipse:
    case stCircle:
        painter.drawEllipse(centre);
        break;
    }
    painter.restore();
}

void TGLabelShapes::PrintTo(TBaseReport *report, double x, double y)
{
    if (!report)
        return;
    const double ppi = ScreenPixelsPerInch();
    const int hundredths = int(std::trunc(shapes::DrawnPenWidth(m_pen.Width()) / ppi * 100));
    report->SetPen(m_pen.Color(), m_pen.Style(), -hundredths, m_pen.Mode());
    report->SetBrush(m_brush.Color(), m_brush.Style());
    const double x1 = x + Left() / ppi;
    const double y1 = y + Top() / ppi;
    const double x2 = x + (Left() + Width()) / ppi;
    const double y2 = y + (Top() + Height()) / ppi;
    switch (m_shape) {
    case stRectangle:
    case stSquare:
        report->Rectangle(x1, y1, x2, y2);
        break;
    case stRoundRect:
    case stRoundSquare: {
        const double r = m_roundPerc * 0.01 * std::max(std::abs(x2 - x1), std::abs(y2 - y1));
        report->RoundRect(x1, y1, x2, y2, r, r);
        break;
    }
    case stEllipse:
    case stCircle:
        report->Ellipse(x1, y1, x2, y2);
        break;
    }
}

void TGLabelShapes::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    AddMenuItem(tr("Background Color"), [this] { ChooseBackgroundColor(); });
    AddMenuItem(tr("Line Color"), [this] { ChooseLineColor(); });
    m_thicknessItems = shapes::AddThicknessMenu(ObjectMenu(), tr("Line Thickness"),
                                                [this](int n) { SetThicknessFromMenu(n); });
    AddMenuSeparator();
    m_transparentItem = AddMenuItem(tr("Transparent"), [this] { ToggleTransparent(); });
    m_transparentItem->setCheckable(true);
    // Only a rounded kind, as it is when the menu is built, offers the rounding.
    if (m_shape == stRoundRect || m_shape == stRoundSquare) {
        AddMenuSeparator();
        QMenu *rounding = ObjectMenu()->addMenu(tr("Degree of Rounding"));
        for (int percent = 20; percent <= 80; percent += 10) {
            QAction *item = rounding->addAction(QStringLiteral("%1 %").arg(percent));
            item->setData(percent);
            QObject::connect(item, &QAction::triggered, this,
                             [this, percent] { SetRoundPerc(percent); });
        }
    }
    RefreshMenu();
}

void TGLabelShapes::RefreshMenu()
{
    Inherited::RefreshMenu();
    if (m_transparentItem)
        m_transparentItem->setChecked(m_transparent);
    shapes::TickThickness(m_thicknessItems, m_pen.Width());
}

void TGLabelShapes::ChooseBackgroundColor()
{
    const QColor chosen = QColorDialog::getColor(ColorFromTColor(m_brush.Color()), DialogParent(),
                                                 tr("Background Color"));
    if (chosen.isValid())
        SetBackgroundColor(TColorFromColor(chosen));
}

void TGLabelShapes::SetBackgroundColor(TColor color)
{
    // A new fill colour also ends transparency; the two are one change.
    const bool colorChanged = color != m_brush.Color();
    {
        QScopedValueRollback<bool> quiet(m_quietGroups, true);
        m_brush.SetColor(color);
    }
    if (m_transparent)
        SetTransparent(false);
    else if (colorChanged)
        DesignChanged();
}

void TGLabelShapes::ChooseLineColor()
{
    const QColor chosen =
        QColorDialog::getColor(ColorFromTColor(m_pen.Color()), DialogParent(), tr("Line Color"));
    if (chosen.isValid())
        m_pen.SetColor(TColorFromColor(chosen));
}

void TGLabelShapes::SetThicknessFromMenu(int width)
{
    m_pen.SetWidth(width);
}

void TGLabelShapes::ToggleTransparent()
{
    SetTransparent(!m_transparent);
}
