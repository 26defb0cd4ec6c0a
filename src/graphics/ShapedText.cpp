#include "graphics/ShapedText.h"

#include <QFontDatabase>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// A glyph's place is a whole 64th of a pixel.
constexpr qreal kPageScale = 64;
// The largest face the font engine sizes (FreeType takes 16 bits of pixels),
// and the farthest place a glyph position holds in 64ths: larger ones keep
// to drawText.
constexpr qreal kLargestPagePixels = 65535;
constexpr qreal kFarthestPagePlace = 1 << 24;

bool NearEnough(const QPointF &p)
{
    return std::abs(p.x()) < kFarthestPagePlace && std::abs(p.y()) < kFarthestPagePlace;
}

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

bool PdfPage(const QPainter &painter)
{
    const QPaintEngine *engine = painter.paintEngine();
    return engine && engine->type() == QPaintEngine::Pdf;
}

// One line from the left, never wrapped, its characters ordered as the
// painter orders them (by its direction, or the text's own), in the font as
// drawText would take it for the device: sized for its resolution.
std::unique_ptr<QTextLayout> LaidOutLine(const QFont &font, const QString &text,
                                         QPaintDevice *device, Qt::LayoutDirection direction)
{
    auto layout = std::make_unique<QTextLayout>(text, font, device);
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
        return nullptr;
    return layout;
}

// Qt's PDF writer emboldens a face without a bold of its own by drawing it
// twice, half a line's thickness apart; that thickness does not grow in
// step with the size, so such text keeps to drawText.
bool EmboldenedByTheWriter(const QFont &font, const QRawFont &face)
{
    return font.weight() >= QFont::Bold &&
           QFontDatabase::weight(face.familyName(), face.styleName()) < QFont::Bold;
}

// The face at 64 times the size. Labels mostly share their fonts, so the
// larger ones are kept, a few at a time.
QRawFont PageFont(const QRawFont &font)
{
    thread_local std::vector<std::pair<QRawFont, QRawFont>> kept;
    for (const auto &[drawn, page] : kept) {
        if (drawn == font)
            return page;
    }
    QRawFont page = font;
    page.setPixelSize(font.pixelSize() * kPageScale);
    if (kept.size() >= 16)
        kept.erase(kept.begin());
    kept.emplace_back(font, page);
    return page;
}

// Where drawText starts the line: it cuts the point to 64ths of a pixel.
qreal CutTo64ths(qreal v)
{
    return std::trunc(v * kPageScale);
}

} // namespace

TShapedText::TShapedText(const QFont &font, const QString &text)
    : m_font(font)
    , m_text(text)
    , m_shapeable(ShapeableText(font, text))
{
}

TShapedText::TShapedFor TShapedText::For(const QPaintDevice *device,
                                         Qt::LayoutDirection direction)
{
    return {device->logicalDpiX(), device->logicalDpiY(), direction};
}

bool TShapedText::Shape(QPaintDevice *device, Qt::LayoutDirection direction) const
{
    if (m_layout && m_shapedFor == For(device, direction))
        return true;
    m_layout.reset();
    std::shared_ptr<QTextLayout> layout = LaidOutLine(m_font, m_text, device, direction);
    if (!layout)
        return false;
    m_ascent = layout->lineAt(0).ascent();
    m_shapedFor = For(device, direction);
    m_layout = std::move(layout);
    return true;
}

bool TShapedText::ShapeForPage(QPaintDevice *device, Qt::LayoutDirection direction) const
{
    if (!m_pageRuns.isEmpty() && m_pageShapedFor == For(device, direction))
        return true;
    m_pageRuns.clear();
    const std::unique_ptr<QTextLayout> layout = LaidOutLine(m_font, m_text, device, direction);
    if (!layout)
        return false;
    QList<QGlyphRun> runs = layout->glyphRuns();
    for (QGlyphRun &run : runs) {
        if (!(run.rawFont().pixelSize() * kPageScale <= kLargestPagePixels) ||
            EmboldenedByTheWriter(m_font, run.rawFont()))
            return false;
        const QRawFont font = PageFont(run.rawFont());
        if (!font.isValid())
            return false;
        QList<QPointF> positions = run.positions();
        for (QPointF &position : positions) {
            position *= kPageScale;
            if (!NearEnough(position))
                return false;
        }
        run.setRawFont(font);
        run.setPositions(positions);
    }
    // drawText gives the runs in the order they stand on the line, each in
    // its own glyph order; the file then names the glyphs as it would.
    const auto left = [](const QGlyphRun &run) {
        const QList<QPointF> positions = run.positions();
        qreal x = positions.isEmpty() ? 0.0 : positions.constFirst().x();
        for (const QPointF &p : positions)
            x = std::min(x, p.x());
        return x;
    };
    std::stable_sort(runs.begin(), runs.end(),
                     [&](const QGlyphRun &a, const QGlyphRun &b) { return left(a) < left(b); });
    m_pageRuns = std::move(runs);
    m_pageAscent = layout->lineAt(0).ascent();
    m_pageShapedFor = For(device, direction);
    return !m_pageRuns.isEmpty();
}

void TShapedText::DrawOnPage(QPainter &painter, const QPointF &baselineStart) const
{
    // The line's top at 64 times the size, so that the baseline falls where
    // drawText puts it and every glyph on a whole unit.
    const QPointF origin(CutTo64ths(baselineStart.x()),
                         CutTo64ths(baselineStart.y()) - m_pageAscent * kPageScale);
    const QTransform placed = painter.worldTransform();
    painter.scale(1 / kPageScale, 1 / kPageScale);
    for (const QGlyphRun &run : std::as_const(m_pageRuns))
        painter.drawGlyphRun(origin, run);
    painter.setWorldTransform(placed);
}

void TShapedText::Draw(QPainter &painter, const QPointF &baselineStart) const
{
    if (m_text.isEmpty())
        return;
    if (m_shapeable && PdfPage(painter) && NearEnough(baselineStart * kPageScale) &&
        ShapeForPage(painter.device(), painter.layoutDirection())) {
        DrawOnPage(painter, baselineStart);
        return;
    }
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
