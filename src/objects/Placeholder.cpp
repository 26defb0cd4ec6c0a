#include "objects/Placeholder.h"

#include <QPainter>

void PaintPlaceholderBox(QPainter &painter, int width, int height, const QString &caption)
{
    const QRect r(0, 0, width, height);
    painter.fillRect(r, QColor(0xF2, 0xF5, 0xFA));
    painter.setPen(QPen(QColor(0x40, 0x50, 0x70), 0));
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(std::max(8, std::min(12, height - 4)));
    painter.setFont(font);
    painter.drawText(r.adjusted(2, 0, -2, 0), Qt::AlignCenter | Qt::TextSingleLine, caption);
}

TGPlaceholderObject::TGPlaceholderObject(QObject *owner, const QString &caption)
    : TGGraphicControl(owner)
    , m_caption(caption)
{
}

void TGPlaceholderObject::Paint(QPainter &painter)
{
    PaintPlaceholderBox(painter, Width(), Height(), m_caption);
}
