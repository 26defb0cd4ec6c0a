#include "richtext/RichTextEngine.h"

#include "richtext/RichText.h"

#include <QAbstractTextDocumentLayout>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QScreen>
#include <QTextDocument>
#include <QWidget>
#include <algorithm>
#include <cmath>

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

TRichTextEngine *TRichTextEngine::FindMaster(const QObject *object)
{
    const QObject *form = nullptr;
    for (const QObject *o = object ? object->parent() : nullptr; o; o = o->parent()) {
        form = o;
        if (o->isWidgetType() && static_cast<const QWidget *>(o)->isWindow())
            break;
    }
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
    const QString wanted = QString::fromLatin1(MasterName);
    for (QObject *child : owner->children())
        if (auto *engine = qobject_cast<TRichTextEngine *>(child))
            if (engine->objectName().toUpper() == wanted)
                return engine;
    auto *engine = new TRichTextEngine(owner);
    engine->setObjectName(wanted);
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

void TRichTextEngine::Render(QPainter &painter, const QRect &rect)
{
    if (!m_content || rect.isEmpty())
        return;
    QTextDocument *document = m_content->Document();
    const double pageWidth = TwipsToPixels(m_pageWidth);
    document->setDocumentMargin(0);
    // An unchanged width keeps the layout that is already there.
    document->setTextWidth(m_wordWrap && pageWidth > 0 ? pageWidth : -1);

    const double scale = m_zoom / 100.0;
    painter.save();
    painter.translate(rect.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), rect.size()), Qt::IntersectClip);
    painter.scale(scale, scale);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, Qt::black);
    context.clip = QRectF(0, 0, rect.width() / scale, rect.height() / scale);
    document->documentLayout()->draw(&painter, context);
    painter.restore();
}
