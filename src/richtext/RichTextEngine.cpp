#include "richtext/RichTextEngine.h"

#include "richtext/RichText.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The resolution at which QTextDocument turns points into pixels: the
// primary screen's logical resolution.
double LayoutDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? std::round(screen->logicalDotsPerInchY()) : 0.0;
    return dpi > 0 ? dpi : 96.0;
}

} // namespace

TRichTextEngine::TRichTextEngine(QObject *owner)
    : QObject(owner)
{
}

TRichTextEngine *TRichTextEngine::MasterAmong(const QObject *form)
{
    if (!form)
        return nullptr;
    const QString wanted = QString::fromLatin1(MasterName);
    for (QObject *child : form->children())
        if (auto *engine = qobject_cast<TRichTextEngine *>(child))
            if (engine->objectName().toUpper() == wanted)
                return engine;
    return nullptr;
}

TRichTextEngine *TRichTextEngine::EnsureMaster(QObject *owner)
{
    if (!owner)
        return nullptr;
    if (TRichTextEngine *engine = MasterAmong(owner))
        return engine;
    auto *engine = new TRichTextEngine(owner);
    engine->setObjectName(QString::fromLatin1(MasterName));
    return engine;
}

void TRichTextEngine::SetZoom(int percent)
{
    m_zoom = std::clamp(percent, 1, 10000);
}

void TRichTextEngine::SetPageSize(int widthTwips, int heightTwips)
{
    m_pageWidth = std::max(0, widthTwips);
    m_pageHeight = std::max(0, heightTwips);
}

double TRichTextEngine::TwipsToPixels(int twips)
{
    return twips * LayoutDpi() / 1440.0;
}

double TRichTextEngine::TextInset()
{
    return TwipsToPixels(TextInsetTwips);
}

double TRichTextEngine::TextWidthOnPage(int pageWidthTwips)
{
    if (pageWidthTwips <= 0)
        return -1;
    // Never nothing: a page narrower than the insets still takes a letter a line.
    return std::max(1.0, TwipsToPixels(pageWidthTwips) - 2 * TextInset());
}

namespace {

struct TLaidLine
{
    int start;
    int length;
    qreal width;
    qreal spreadWidth; // the width the paragraph's layout gave it
    QPointF position;
    bool leading;
};

// Lays the paragraph's lines out again at the same places, each as wide as
// given; false when a line then holds other text than before.
bool LayOutAgain(QTextLayout *layout, const std::vector<TLaidLine> &lines)
{
    layout->beginLayout();
    bool same = true;
    QPointF next = lines.front().position;
    for (size_t i = 0;; ++i) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        // Text left over (only when a line broke elsewhere) goes below.
        const TLaidLine &was = lines[std::min(i, lines.size() - 1)];
        line.setLeadingIncluded(was.leading);
        line.setLineWidth(was.width);
        line.setPosition(i < lines.size() ? was.position : next);
        next = line.position() + QPointF(0, line.height());
        same = same && i < lines.size() && line.textStart() == was.start &&
               line.textLength() == was.length;
    }
    layout->endLayout();
    return same && layout->lineCount() == int(lines.size());
}

} // namespace

void TRichTextEngine::KeepSingleWordLinesLeft(QTextDocument *document)
{
    // The whole document laid out, so that no paragraph is laid out again later.
    document->documentLayout()->blockBoundingRect(document->lastBlock());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QTextLayout *layout = block.layout();
        if (!layout || layout->lineCount() < 2 ||
            !(layout->textOption().alignment() & Qt::AlignJustify))
            continue;
        const QString text = block.text();
        std::vector<TLaidLine> lines;
        bool narrower = false;
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            TLaidLine laid{line.textStart(), line.textLength(), line.width(),
                           line.width(),     line.position(),   line.leadingIncluded()};
            // The last line of a paragraph is never spread; a line of one word
            // is made as wide as its text, so that there is nothing to spread.
            const QString words = text.mid(line.textStart(), line.textLength()).trimmed();
            if (i + 1 < layout->lineCount() && !words.isEmpty() &&
                line.naturalTextWidth() < line.width() &&
                std::none_of(words.begin(), words.end(), [](QChar c) { return c.isSpace(); })) {
                laid.width = line.naturalTextWidth();
                narrower = true;
            }
            lines.push_back(laid);
        }
        if (narrower && !LayOutAgain(layout, lines)) {
            // Should a narrower line break elsewhere, the lines stay as they were.
            for (TLaidLine &line : lines)
                line.width = line.spreadWidth;
            LayOutAgain(layout, lines);
        }
    }
}

void TRichTextEngine::Render(QPainter &painter, const QRect &rect)
{
    if (!m_content || rect.isEmpty())
        return;
    QTextDocument *document = m_content->Document();
    document->setDocumentMargin(0);
    // An unchanged width keeps the layout that is already there.
    document->setTextWidth(m_wordWrap ? TextWidthOnPage(m_pageWidth) : -1);
    KeepSingleWordLinesLeft(document);

    const double scale = m_zoom / 100.0;
    const double inset = TextInset();
    painter.save();
    painter.translate(rect.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), rect.size()), Qt::IntersectClip);
    painter.scale(scale, scale);
    painter.translate(inset, inset);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = QRectF(-inset, -inset, rect.width() / scale, rect.height() / scale);
    document->documentLayout()->draw(&painter, context);
    painter.restore();
}
