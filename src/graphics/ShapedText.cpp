#include "graphics/ShapedText.h"

#include <QPaintDevice>
#include <QPainter>
#include <QTextLayout>

namespace {

bool ShapeableText(const QFont &font, const QString &text)
{
    if (text.isEmpty() || font.underline() || font.strikeOut() || font.overline())
        return false;
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return false;
    }
    return true;
}

bool ScreenDevice(const QPaintDevice *device)
{
    if (!device)
        return false;
    const int type = device->devType();
    return type == QInternal::Widget || type == QInternal::Image || type == QInternal::Pixmap;
}

} // namespace

TShapedText::TShapedText(const QFont &font, const QString &text)
    : m_font(font)
    , m_text(text)
    , m_shapeable(ShapeableText(font, text))
{
}

bool TShapedText::Shape(QPaintDevice *device, Qt::LayoutDirection direction) const
{
    if (m_layout && m_dpiX == device->logicalDpiX() && m_dpiY == device->logicalDpiY() &&
        m_direction == direction)
        return true;
    m_layout.reset();
    // The font as drawText would take it for the device: sized for its resolution.
    auto layout = std::make_shared<QTextLayout>(m_text, m_font, device);
    // One line from the left, never wrapped, its characters ordered as the
    // painter orders them (by its direction, or the text's own).
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    option.setTextDirection(direction);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    layout->beginLayout();
    QTextLine line = layout->createLine();
    if (line.isValid()) {
        line.setLineWidth(1e9);
        line.setPosition(QPointF(0, 0));
    }
    layout->endLayout();
    if (layout->lineCount() != 1)
        return false;
    m_ascent = layout->lineAt(0).ascent();
    m_dpiX = device->logicalDpiX();
    m_dpiY = device->logicalDpiY();
    m_direction = direction;
    m_layout = std::move(layout);
    return true;
}

void TShapedText::Draw(QPainter &painter, const QPointF &baselineStart) const
{
    if (m_text.isEmpty())
        return;
    // The first drawing goes straight through drawText: text drawn once (a
    // zoom step changes every font) costs no more than it did.
    const bool again = m_drawings++ > 0;
    if (again && m_shapeable && ScreenDevice(painter.device()) &&
        Shape(painter.device(), painter.layoutDirection())) {
        // The line's top, so that its baseline falls on the point exactly.
        m_layout->draw(&painter, QPointF(baselineStart.x(), baselineStart.y() - m_ascent));
        return;
    }
    painter.setFont(m_font);
    painter.drawText(baselineStart, m_text);
}
