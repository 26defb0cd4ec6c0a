#include "objects/Glines.h"

#include "objects/Glshapes.h"
#include "report/RPBase.h"
#include "surface/DesignSurface.h"
#include "surface/ScreenInfo.h"

#include <QColorDialog>
#include <QMenu>
#include <QPainter>
#include <QWidget>
#include <cmath>

TGLineShape::TGLineShape(QObject *owner)
    : TGGraphicControl(owner)
{
    SetCreationBounds(10, 10);
    m_pen.OnChange = [this] { DesignChanged(); };
}

const QStringList &TGLineShape::LineStyleIdentifiers()
{
    static const QStringList names{
        QStringLiteral("stHorizontal"),
        QStringLiteral("stVertical"),
        QStringLiteral("stAngleSlopingUp"),
        QStringLiteral("stAngleSlopingDown"),
    };
    return names;
}

void TGLineShape::SetLineStyle(TLineStyle style)
{
    if (style >= stHorizontal && style <= stAngleSlopingDown)
        StoreDesignValue(m_lineStyle, style);
}

void TGLineShape::SetPen(const TGPen &pen)
{
    // An equal pen is no change; a different one reports itself, once.
    m_pen.Assign(pen);
}

const TPropertyTable &TGLineShape::PropertyTable() const
{
    using T = TGLineShape;
    static const TPropertyTable table = [] {
        TPropertyTable t = TGGraphicControl::BaseProperties();
        t.push_back(props::Enum<T, TLineStyle>(QStringLiteral("LineStyle"), LineStyleIdentifiers(),
                                               &T::LineStyle, &T::SetLineStyle, stHorizontal));
        t.push_back(props::Object<T>(QStringLiteral("Pen"), &T::Pen));
        return t;
    }();
    return table;
}

void TGLineShape::Paint(QPainter &painter)
{
    if (Width() <= 0 || Height() <= 0)
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int w = shapes::ZoomedPenWidth(m_pen.Width(), ZoomScale(), false);
    const int h = w / 2;
    QPoint from;
    QPoint to;
    switch (m_lineStyle) {
    case stHorizontal:
        from = QPoint(h, h);
        to = QPoint(Width() + h - w + 1, h);
        break;
    case stVertical:
        from = QPoint(h, h);
        to = QPoint(h, h + Height() - w + 1);
        break;
    case stAngleSlopingUp:
        from = QPoint(Width(), 0);
        to = QPoint(0, Height());
        break;
    case stAngleSlopingDown:
        from = QPoint(0, 0);
        to = QPoint(Width(), Height());
        break;
    }
    // A pen of w pixels centred on pixel c covers c-h .. c-h+w-1; the line
    // ends at `to` (that pixel is not drawn), so a horizontal or vertical
    // line stays inside its bounds.
    const double offset = std::max(w, 1) / 2.0 - h;
    QPen pen = shapes::ScreenPen(m_pen, w);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    shapes::ApplyScreenPenMode(painter, m_pen.Mode());
    const QPointF shift(offset, offset);
    if (m_lineStyle == stHorizontal)
        painter.drawLine(QPointF(from.x(), from.y() + offset), QPointF(to.x(), to.y() + offset));
    else if (m_lineStyle == stVertical)
        painter.drawLine(QPointF(from.x() + offset, from.y()), QPointF(to.x() + offset, to.y()));
    else if (w <= 1)
        painter.drawLine(from, to); // thin lines land on the pixels of their end points
    else
        painter.drawLine(QPointF(from) + shift, QPointF(to) + shift);
    painter.restore();
}

void TGLineShape::PrintTo(TBaseReport *report, double x, double y)
{
    if (!report)
        return;
    const double ppi = ScreenPixelsPerInch();
    const int width = shapes::DrawnPenWidth(m_pen.Width());
    report->SetPen(m_pen.Color(), m_pen.Style(), -width, pmCopy);
    const int h = width / 2;
    const double x0 = x + Left() / ppi;
    const double x1 = x + (Left() + Width()) / ppi;
    const double y0 = y + (Top() + h) / ppi;
    const double y1 = y + (Top() + h + Height()) / ppi;
    switch (m_lineStyle) {
    case stHorizontal:
        report->MoveTo(x0, y0);
        report->LineTo(x1, y0);
        break;
    case stVertical:
        report->MoveTo(x0, y0);
        report->LineTo(x0, y1);
        break;
    case stAngleSlopingUp:
        report->MoveTo(x0, y1);
        report->LineTo(x1, y0);
        break;
    case stAngleSlopingDown:
        report->MoveTo(x0, y0);
        report->LineTo(x1, y1);
        break;
    }
}

void TGLineShape::BuildObjectMenu()
{
    Inherited::BuildObjectMenu();
    AddMenuSeparator();
    QMenu *style = ObjectMenu()->addMenu(tr("Style"));
    const QString captions[4] = {tr("Horizontal"), tr("Vertical"), tr("Angled Sloping Up"),
                                 tr("Angled Sloping Down")};
    for (int i = 0; i < 4; ++i) {
        QAction *item = style->addAction(captions[i]);
        item->setCheckable(true);
        const auto value = static_cast<TLineStyle>(i);
        QObject::connect(item, &QAction::triggered, this, [this, value] { SetLineStyle(value); });
        m_styleItems[size_t(i)] = item;
    }
    AddMenuItem(tr("Color"), [this] { ChooseColor(); });
    m_thicknessItems = shapes::AddThicknessMenu(ObjectMenu(), tr("Line Thickness"),
                                                [this](int n) { SetThicknessFromMenu(n); });
    AddMenuSeparator();
    AddMenuItem(tr("Stretch To Edges"), [this] { StretchToEdges(); });
    RefreshMenu();
}

void TGLineShape::RefreshMenu()
{
    Inherited::RefreshMenu();
    for (size_t i = 0; i < m_styleItems.size(); ++i)
        if (m_styleItems[i])
            m_styleItems[i]->setChecked(int(m_lineStyle) == int(i));
    shapes::TickThickness(m_thicknessItems, m_pen.Width());
}

void TGLineShape::ChooseColor()
{
    const QColor chosen =
        QColorDialog::getColor(ColorFromTColor(m_pen.Color()), DialogParent(), tr("Color"));
    if (chosen.isValid())
        m_pen.SetColor(TColorFromColor(chosen));
}

void TGLineShape::SetThicknessFromMenu(int width)
{
    m_pen.SetWidth(width);
}

void TGLineShape::StretchToEdges()
{
    if (!Parent())
        return;
    const QWidget *surface = Parent()->Widget();
    // SetBounds reports the move itself.
    if (m_lineStyle == stHorizontal)
        SetBounds(0, Top(), surface->width(), Height());
    else if (m_lineStyle == stVertical)
        SetBounds(Left(), 0, Width(), surface->height());
}
