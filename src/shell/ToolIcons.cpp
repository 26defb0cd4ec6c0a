#include "shell/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>

namespace {

QIcon Drawn(const std::function<void(QPainter &)> &draw)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x20, 0x20, 0x30), 1.6));
    draw(p);
    return QIcon(pixmap);
}

void Letter(QPainter &p, const QString &text, int pixelSize, bool bold, const QColor &color)
{
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    p.setFont(font);
    p.setPen(color);
    p.drawText(QRect(0, 0, 24, 24), Qt::AlignCenter, text);
}

} // namespace

QIcon PointerToolIcon()
{
    return Drawn([](QPainter &p) {
        QPainterPath arrow;
        arrow.moveTo(7, 3);
        arrow.lineTo(7, 19);
        arrow.lineTo(11, 15);
        arrow.lineTo(14, 21);
        arrow.lineTo(16, 20);
        arrow.lineTo(13, 14);
        arrow.lineTo(18, 14);
        arrow.closeSubpath();
        p.setBrush(Qt::white);
        p.drawPath(arrow);
    });
}

QIcon TextToolIcon()
{
    return Drawn([](QPainter &p) { Letter(p, QStringLiteral("A"), 20, true, Qt::black); });
}

QIcon MultiLineTextToolIcon()
{
    return Drawn([](QPainter &p) {
        for (int y = 6; y <= 18; y += 4)
            p.drawLine(4, y, y == 18 ? 14 : 20, y);
    });
}

QIcon SymbolToolIcon()
{
    return Drawn([](QPainter &p) {
        Letter(p, QString(QChar(0x263A)), 18, false, QColor(0x20, 0x20, 0x30));
    });
}

QIcon RectangleToolIcon()
{
    return Drawn([](QPainter &p) { p.drawRect(QRectF(4, 6, 16, 12)); });
}

QIcon EllipseToolIcon()
{
    return Drawn([](QPainter &p) { p.drawEllipse(QRectF(3, 6, 18, 12)); });
}

QIcon RoundRectangleToolIcon()
{
    return Drawn([](QPainter &p) { p.drawRoundedRect(QRectF(4, 6, 16, 12), 4, 4); });
}

QIcon LineToolIcon()
{
    return Drawn([](QPainter &p) { p.drawLine(12, 3, 12, 21); });
}

QIcon ClipArtToolIcon()
{
    return Drawn([](QPainter &p) {
        p.drawRect(QRectF(3, 5, 18, 14));
        p.setBrush(QColor(0x40, 0x90, 0x40));
        QPainterPath hill;
        hill.moveTo(4, 18);
        hill.lineTo(10, 10);
        hill.lineTo(14, 15);
        hill.lineTo(16, 13);
        hill.lineTo(20, 18);
        hill.closeSubpath();
        p.drawPath(hill);
        p.setBrush(QColor(0xE0, 0xB0, 0x20));
        p.drawEllipse(QPointF(16, 9), 2, 2);
    });
}

QIcon SuperShapeToolIcon()
{
    return Drawn([](QPainter &p) {
        QLinearGradient g(0, 4, 0, 20);
        g.setColorAt(0, QColor(0x30, 0x60, 0xD0));
        g.setColorAt(1, QColor(0xA0, 0xD0, 0xFF));
        p.setBrush(g);
        QPainterPath star;
        for (int i = 0; i < 10; ++i) {
            const double angle = -M_PI / 2 + i * M_PI / 5;
            const double radius = (i % 2) ? 4.0 : 9.5;
            const QPointF pt(12 + radius * std::cos(angle), 12.5 + radius * std::sin(angle));
            i ? star.lineTo(pt) : star.moveTo(pt);
        }
        star.closeSubpath();
        p.drawPath(star);
    });
}

QIcon RichTextToolIcon()
{
    return Drawn([](QPainter &p) {
        QFont font(QStringLiteral("Liberation Serif"));
        font.setPixelSize(15);
        font.setBold(true);
        p.setFont(font);
        p.setPen(QColor(0xC0, 0x20, 0x20));
        p.drawText(QPointF(2, 17), QStringLiteral("R"));
        font.setItalic(true);
        font.setBold(false);
        p.setFont(font);
        p.setPen(QColor(0x20, 0x40, 0xC0));
        p.drawText(QPointF(12, 19), QStringLiteral("t"));
    });
}

QIcon BarcodeToolIcon()
{
    return Drawn([](QPainter &p) {
        // A small QR code: three finder squares and a few modules.
        p.setBrush(Qt::black);
        for (const QPointF corner : {QPointF(3, 3), QPointF(15, 3), QPointF(3, 15)}) {
            p.setBrush(Qt::NoBrush);
            p.drawRect(QRectF(corner, QSizeF(6, 6)));
            p.setBrush(Qt::black);
            p.drawRect(QRectF(corner + QPointF(2, 2), QSizeF(2, 2)));
        }
        for (const QPointF module : {QPointF(15, 15), QPointF(19, 17), QPointF(17, 19),
                                     QPointF(11, 11), QPointF(11, 5), QPointF(5, 11)})
            p.drawRect(QRectF(module, QSizeF(2, 2)));
    });
}

QIcon SuperTextToolIcon()
{
    return Drawn([](QPainter &p) {
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(20);
        font.setBold(true);
        QPainterPath path;
        path.addText(QPointF(5, 20), font, QStringLiteral("S"));
        QLinearGradient g(0, 4, 0, 20);
        g.setColorAt(0, QColor(0xF0, 0x80, 0x10));
        g.setColorAt(1, QColor(0xC0, 0x10, 0x60));
        p.setBrush(g);
        p.setPen(QPen(Qt::black, 0.8));
        p.drawPath(path);
    });
}

QIcon GridIcon()
{
    return Drawn([](QPainter &p) {
        p.setPen(QPen(QColor(0, 128, 0), 2));
        for (int y = 5; y <= 19; y += 7)
            for (int x = 5; x <= 19; x += 7)
                p.drawPoint(x, y);
    });
}

QIcon SnapIcon()
{
    return Drawn([](QPainter &p) {
        p.setPen(QPen(QColor(0, 128, 0), 2));
        for (int y = 5; y <= 19; y += 7)
            for (int x = 5; x <= 19; x += 7)
                p.drawPoint(x, y);
        p.setPen(QPen(QColor(0x20, 0x20, 0x30), 1.4));
        p.drawRect(QRectF(5, 5, 7, 7));
    });
}
