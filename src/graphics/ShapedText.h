#pragma once

#include <QFont>
#include <QPointF>
#include <QString>
#include <QGlyphRun>
#include <QList>
#include <memory>

class QPaintDevice;
class QPainter;
class QTextLayout;

// One line of text in one font, shaped once and drawn as often as needed:
// the same pixels as QPainter::drawText with that font at the same baseline
// point, without finding the glyphs again from the second drawing on. Only
// screen drawing (widgets, images, pixmaps) keeps the shaping, made for the
// device's resolution and the painter's text direction; pictures and
// recorded pictures, and text that drawText decorates item by item
// (underlined, struck out or overlined fonts) or that holds control
// characters, are drawn with drawText itself.
//
// On a PDF page the glyphs go where drawText puts them, but at 64 times the
// size under a 1/64 scale: Qt's PDF writer gives every glyph's position with
// nine digits, and a glyph's place is a whole 64th of a pixel, so at 64 times
// the size each one is a whole number of a few digits. The page shows the
// same, in a third less of the file.
class TShapedText
{
public:
    TShapedText() = default;
    TShapedText(const QFont &font, const QString &text);

    const QFont &Font() const { return m_font; }
    const QString &Text() const { return m_text; }
    // Whether the last drawing went through the kept shaping.
    bool IsShaped() const { return m_layout != nullptr; }

    // Draws in the painter's pen with the left end of the baseline at the
    // point, under the painter's transform.
    void Draw(QPainter &painter, const QPointF &baselineStart) const;

private:
    // What a shaping is made for: the device's resolution and the painter's direction.
    struct TShapedFor
    {
        int dpiX = 0;
        int dpiY = 0;
        Qt::LayoutDirection direction = Qt::LeftToRight;
        bool operator==(const TShapedFor &) const = default;
    };
    static TShapedFor For(const QPaintDevice *device, Qt::LayoutDirection direction);

    bool Shape(QPaintDevice *device, Qt::LayoutDirection direction) const;
    bool ShapeForPage(QPaintDevice *device, Qt::LayoutDirection direction) const;
    void DrawOnPage(QPainter &painter, const QPointF &baselineStart) const;

    QFont m_font;
    QString m_text;
    bool m_shapeable = false;
    // Shaped on the first drawing, for that device's resolution.
    mutable std::shared_ptr<QTextLayout> m_layout;
    mutable int m_drawings = 0;
    mutable TShapedFor m_shapedFor;
    mutable qreal m_ascent = 0;
    // The glyphs for a PDF page, at 64 times the size (the layout is not kept).
    mutable QList<QGlyphRun> m_pageRuns;
    mutable qreal m_pageAscent = 0;
    mutable TShapedFor m_pageShapedFor;
};
