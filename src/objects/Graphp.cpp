#include "objects/Graphp.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>

TGraphicPanel::TGraphicPanel(QWidget *parent)
    : QWidget(parent)
    , m_color(palette().color(QPalette::Button))
{
    resize(185, 41);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGraphicPanel::SetCaption(const QString &caption)
{
    Store(m_caption, caption);
}

void TGraphicPanel::SetAlignment(Qt::Alignment alignment)
{
    Store(m_alignment, alignment);
}

void TGraphicPanel::SetBevelInner(TBevelCut cut)
{
    Store(m_bevelInner, cut);
}

void TGraphicPanel::SetBevelOuter(TBevelCut cut)
{
    Store(m_bevelOuter, cut);
}

void TGraphicPanel::SetBevelWidth(int width)
{
    if (width >= 1)
        Store(m_bevelWidth, width);
}

void TGraphicPanel::SetBorderWidth(int width)
{
    if (width >= 0)
        Store(m_borderWidth, width);
}

void TGraphicPanel::SetBorderStyle(TPanelBorderStyle style)
{
    Store(m_borderStyle, style);
}

void TGraphicPanel::SetColor(const QColor &color)
{
    Store(m_color, color);
}

namespace {

// A 3-D frame `width` pixels wide inside r, which shrinks by it.
void Frame3D(QPainter &painter, QRect &r, const QColor &topLeft, const QColor &bottomRight,
             int width)
{
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        painter.setPen(topLeft);
        painter.drawLine(r.left(), r.bottom(), r.left(), r.top());
        painter.drawLine(r.left(), r.top(), r.right(), r.top());
        painter.setPen(bottomRight);
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.bottom(), r.left(), r.bottom());
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

void TGraphicPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QRect r = rect();
    const QColor highlight = palette().color(QPalette::Light);
    const QColor shadow = palette().color(QPalette::Dark);
    if (m_borderStyle == bsSingle) {
        painter.setPen(Qt::black);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    auto bevel = [&](TBevelCut cut) {
        if (cut == bvRaised)
            Frame3D(painter, r, highlight, shadow, m_bevelWidth);
        else if (cut == bvLowered)
            Frame3D(painter, r, shadow, highlight, m_bevelWidth);
    };
    bevel(m_bevelOuter);
    Frame3D(painter, r, m_color, m_color, m_borderWidth);
    bevel(m_bevelInner);
    painter.fillRect(r, m_color);

    // The caption on one line, centred on the height of "W".
    painter.setBrush(Qt::NoBrush);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const int top = (height() - metrics.height()) / 2;
    QString text = m_caption;
    text.replace(QLatin1Char('\t'), QStringLiteral("        "));
    const int flags = Qt::TextSingleLine | Qt::AlignTop |
                      (m_alignment & Qt::AlignRight  ? Qt::AlignRight
                       : m_alignment & Qt::AlignLeft ? Qt::AlignLeft
                                                     : Qt::AlignHCenter);
    painter.drawText(QRect(r.left(), top, r.width(), metrics.height()), flags, text);
}

void TGraphicPanel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        OnClick();
}

void TGraphicPanel::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && OnDblClick)
        OnDblClick();
}
