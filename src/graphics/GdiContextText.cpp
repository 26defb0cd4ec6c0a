// Text records: a run of text at a point with the font, alignment, spacing
// and clipping of the record, drawn as text or as glyph outlines.
#include "graphics/GdiContext.h"

#include <QFontMetricsF>
#include <QLineF>
#include <algorithm>
#include <cmath>

namespace {

// Text up to this size (in the target's units) is drawn as text.
constexpr int MaxCachedTextPixels = 256;

double Length(const QTransform &m, const QPointF &v)
{
    return QLineF(m.map(QPointF(0, 0)), m.map(v)).length();
}

} // namespace

void TGdiContext::Text(const QPointF &at, const QString &given, const QVector<double> &advances,
                       uint32_t options, const QRectF &rect)
{
    UpdateTransform();
    // Writers that count the closing zero in the length: it draws nothing.
    QString text = given;
    while (advances.isEmpty() && text.endsWith(QChar(0)))
        text.chop(1);
    if ((options & EtoOpaque) && !rect.isNull())
        m_painter.fillRect(rect.normalized(), m_state.backColor);
    if (text.isEmpty())
        return;

    const TGdiFont &gf = m_state.font;
    const bool updateCp = (m_state.textAlign & TaUpdateCp) != 0;
    const QPointF origin = m_logical.map(updateCp ? m_state.current : at);
    const double sx = Length(m_logical, QPointF(1, 0));
    const double sy = Length(m_logical, QPointF(0, 1));
    const double logicalHeight = gf.height != 0 ? std::abs(gf.height) : 12;
    const double em = logicalHeight * sy;
    if (!(em >= 0.25 && em <= 1e5) || !std::isfinite(origin.x()) || !std::isfinite(origin.y()))
        return;

    // Drawn at a size of at least 64 pixels and scaled down, so that small
    // text keeps its proportions instead of rounding to whole pixels.
    const double k = em < 64 ? 64 / em : 1;
    QFont font(gf.face.isEmpty() ? QStringLiteral("Arial") : gf.face);
    font.setPixelSize(std::max(1, qRound(em * k)));
    if (gf.weight > 0)
        font.setWeight(QFont::Weight(std::clamp(gf.weight, 100, 900)));
    font.setItalic(gf.italic);
    font.setUnderline(gf.underline);
    font.setStrikeOut(gf.strikeOut);
    if (gf.height > 0) {
        // A positive height is the whole cell, not the em.
        const double cell = QFontMetricsF(font).height();
        if (cell > 0)
            font.setPixelSize(std::max(1, qRound(double(font.pixelSize()) * font.pixelSize() / cell)));
    }
    const QFontMetricsF metrics(font);

    QVector<double> positions; // x of each character, in the font's units
    double width = 0;
    if (advances.size() == text.size()) {
        positions.reserve(text.size());
        for (double advance : advances) {
            positions.push_back(width);
            width += advance * sx * k;
        }
    } else {
        width = metrics.horizontalAdvance(text);
    }
    double x = 0;
    if ((m_state.textAlign & TaCenter) == TaCenter)
        x = -width / 2;
    else if (m_state.textAlign & TaRight)
        x = -width;
    double y = 0;
    if ((m_state.textAlign & TaBaseline) == TaBaseline)
        y = 0;
    else if (m_state.textAlign & TaBottom)
        y = -metrics.descent();
    else
        y = metrics.ascent();

    m_painter.save();
    if ((options & EtoClipped) && !rect.isNull())
        m_painter.setClipRect(rect.normalized(), Qt::IntersectClip);
    m_painter.setWorldTransform(QTransform::fromScale(1 / k, 1 / k) *
                                QTransform().rotate(-gf.escapement / 10) *
                                QTransform::fromTranslate(origin.x(), origin.y()) * m_base);
    if (m_state.opaqueBack && !(options & EtoOpaque))
        m_painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()),
                           m_state.backColor);
    m_painter.setFont(font);
    m_painter.setPen(m_state.textColor);
    m_painter.setBackgroundMode(Qt::TransparentMode);
    // Large text goes as outlines: glyph caches (colour fonts always use
    // them) would otherwise hold images of the letters at full size.
    const bool outlines = font.pixelSize() > MaxCachedTextPixels;
    QPainterPath path;
    const auto draw = [&](const QPointF &at, const QString &piece) {
        if (outlines)
            path.addText(at, font, piece);
        else
            m_painter.drawText(at, piece);
    };
    if (positions.isEmpty()) {
        draw(QPointF(x, y), text);
    } else {
        for (qsizetype i = 0; i < text.size(); ++i)
            draw(QPointF(x + positions[i], y), QString(text[i]));
    }
    if (outlines)
        m_painter.fillPath(path, m_state.textColor);
    m_painter.restore();
    if (updateCp && sx > 0)
        m_state.current.rx() += std::copysign(width / k / sx, m_logical.m11());
}
