// The report's font and its text: line height, measuring, and text placed at
// the cursor or in a rectangle.
#include "graphics/Geometry.h"
#include "graphics/SymbolFonts.h"
#include "report/RPBase.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- font

void TBaseReport::SetFont(const QString &name, double points)
{
    RestorePage(TClipRestore::Keep); // state alone: the clip may wait
    if (!(points > 0) || !std::isfinite(points))
        return;
    m_fontName = name;
    m_fontSize = points;
    m_bold = m_italic = m_underline = m_strikeOut = false;
    m_fontColor = 0;
    m_fontRotation = 0;
    if (m_painter)
        m_painter->setFont(DeviceFont());
}

void TBaseReport::SetBold(bool on)
{
    m_bold = on;
}
void TBaseReport::SetItalic(bool on)
{
    m_italic = on;
}
void TBaseReport::SetUnderline(bool on)
{
    m_underline = on;
}
void TBaseReport::SetStrikeOut(bool on)
{
    m_strikeOut = on;
}
void TBaseReport::SetFontColor(TColor color)
{
    m_fontColor = color;
}

void TBaseReport::SetFontRotation(int degrees)
{
    m_fontRotation = ((degrees % 360) + 360) % 360;
}

int TBaseReport::FontDeviceHeight() const
{
    return RoundEven(m_ydpi * m_fontSize / 72.0 * m_scaleY * ZoomPercent() * 1e-4);
}

QFont TBaseReport::DeviceFont() const
{
    QFont f(m_fontName);
    // A font without a name (a design may leave it out) keeps one empty
    // family: a recorded page stores the first family of every font drawn
    // with, and Qt takes it without asking whether there is one.
    if (f.families().isEmpty())
        f.setFamilies({QString()});
    f.setPixelSize(std::max(1, FontDeviceHeight()));
    f.setBold(m_bold);
    f.setItalic(m_italic);
    f.setUnderline(m_underline);
    f.setStrikeOut(m_strikeOut);
    f.setKerning(false);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

double TBaseReport::LineHeight() const
{
    switch (m_lineHeightMethod) {
    case lhmLinesPerInch:
        return 1.0 / m_linesPerInch;
    case lhmFont:
        return m_fontSize / 60.0;
    case lhmUser:
        break;
    }
    return m_userLineHeight;
}

double TBaseReport::TextWidth(const QString &text) const
{
    const TDrawnText drawn = SymbolDrawnText(DeviceFont(), text);
    const QFontMetricsF fm(drawn.font);
    const double px = std::max(1.0, fm.horizontalAdvance(drawn.text));
    return px / m_xdpi * 10000.0 / (m_scaleX * ZoomPercent()) * m_unitsFactor;
}

// ---------------------------------------------------------------- text

void TBaseReport::DrawTextAt(const QPointF &baseline, const QString &shown, const QRect *clip)
{
    // Text in a symbol font the desktop lacks goes on paper as its pictures.
    const TDrawnText drawn = SymbolDrawnText(DeviceFont(), shown);
    const QFont &font = drawn.font;
    const QString &text = drawn.text;
    if (m_pathOpen) {
        QPainterPath glyphs;
        glyphs.addText(QPointF(0, 0), font, text);
        QTransform t;
        t.translate(baseline.x(), baseline.y());
        t.rotate(-m_fontRotation);
        m_path.addPath(t.map(glyphs));
        return;
    }
    if (clip && m_fontRotation == 0 && !m_clipSelected) {
        // Text cut to a rectangle within the base clip (each line of a
        // multi-line label): one clip and one transform, and the page state
        // comes back only when something else draws.
        QPainter *painter =
            BeginPlacedTransform(QTransform::fromTranslate(baseline.x(), baseline.y()));
        ClipPlaced(QRectF(*clip).translated(-baseline));
        if (painter->font() != font)
            painter->setFont(font);
        const QPen pen(ColorFromTColor(m_fontColor));
        if (painter->pen() != pen)
            painter->setPen(pen);
        painter->drawText(QPointF(0, 0), text);
        EndPlaced();
        return;
    }
    RestorePage();
    m_painter->save();
    m_painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (clip)
        m_painter->setClipRect(*clip, Qt::IntersectClip);
    m_painter->translate(baseline);
    m_painter->rotate(-m_fontRotation);
    m_painter->setFont(font);
    if (!clip && m_textBKMode == bkOpaque && m_brushStyle != bsClear) {
        const QFontMetricsF fm(font);
        m_painter->fillRect(QRectF(0, -fm.ascent(), fm.horizontalAdvance(text), fm.height()),
                            ColorFromTColor(m_brushColor));
    }
    m_painter->setPen(ColorFromTColor(m_fontColor));
    m_painter->drawText(QPointF(0, 0), text);
    m_painter->restore();
}

void TBaseReport::TextRect(const QRect &deviceClip, const QString &text, double x, double y)
{
    if (!m_painter)
        return;
    const QFontMetricsF fm(DeviceFont());
    if (!m_pathOpen && m_brushStyle != bsClear) {
        RestorePage();
        m_painter->fillRect(deviceClip, ColorFromTColor(m_brushColor));
    }
    DrawTextAt(QPointF(XI2D(x), YI2D(y) + fm.ascent()), text, &deviceClip);
}

void TBaseReport::GotoXY(double x, double y)
{
    m_cursorX = x;
    m_cursorY = y;
}

void TBaseReport::PrintText(const QString &text)
{
    const double angle = m_fontRotation * M_PI / 180.0;
    const QStringList parts = text.split(u'\t');
    for (int i = 0; i < parts.size(); ++i) {
        if (i > 0) {
            // A tab: to the next stop, measured along the line from inch 0.
            const double stops = std::floor(m_cursorX / m_tabWidth + 1e-9) + 1;
            m_cursorX = stops * m_tabWidth;
        }
        const QString &seg = parts[i];
        if (seg.isEmpty())
            continue;
        if (m_painter)
            DrawTextAt(QPointF(XI2D(m_cursorX), YI2D(m_cursorY)), seg, nullptr);
        const double w = TextWidth(seg);
        m_cursorX += w * std::cos(angle);
        m_cursorY -= w * std::sin(angle);
    }
}
