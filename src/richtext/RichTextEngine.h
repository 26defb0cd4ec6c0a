#pragma once

#include <QColor>
#include <QObject>
#include <QRect>

class QPainter;
class QTextDocument;
class TRichText;

// The rich text renderer that every rich text label draws through: one shared,
// invisible instance among the main window's components, named
// "MASTERWPRICHTEXT". It lays the content out on a page of a size in twips and
// draws it into a rectangle at a zoom percentage.
class TRichTextEngine : public QObject
{
    Q_OBJECT

public:
    static constexpr const char *MasterName = "MASTERWPRICHTEXT";
    // The margin the text keeps from every edge of its page, so that it never
    // touches the label's border: the same on the card, in the editor and on
    // paper.
    static constexpr int TextInsetTwips = 30;

    explicit TRichTextEngine(QObject *owner = nullptr);

    // The master among the components of form (its children); null if none.
    static TRichTextEngine *MasterAmong(const QObject *form);
    // Gives owner a master when it has none; returns it.
    static TRichTextEngine *EnsureMaster(QObject *owner);

    // The content it draws: the engine works on it in place, so the caller's
    // parsed document is laid out once and not copied at every paint.
    void SetContent(TRichText *content) { m_content = content; }
    TRichText *Content() const { return m_content; }

    int Zoom() const { return m_zoom; }
    void SetZoom(int percent);
    int PageWidth() const { return m_pageWidth; }   // twips
    int PageHeight() const { return m_pageHeight; } // twips
    void SetPageSize(int widthTwips, int heightTwips);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on) { m_wordWrap = on; }
    // The page's background; Render leaves the canvas under the text as it is.
    QColor Color() const { return m_color; }
    void SetColor(const QColor &color) { m_color = color; }

    // Draws the content into rect of the painter, clipped to it and to the page.
    void Render(QPainter &painter, const QRect &rect);

    // Pixels at 100 % for a length in twips, at the layout resolution.
    static double TwipsToPixels(int twips);
    // The inset in pixels at 100 %, and the width the text wraps at on a page
    // that many twips wide (-1, no wrapping, without a page).
    static double TextInset();
    static double TextWidthOnPage(int pageWidthTwips);
    // Word processors spread a justified line over its spaces only: a line
    // of one word stays at the left instead of being spread letter by
    // letter. Run after the document is laid out anew.
    static void KeepSingleWordLinesLeft(QTextDocument *document);

private:
    TRichText *m_content = nullptr;
    int m_zoom = 100;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    bool m_wordWrap = true;
    QColor m_color = Qt::white;
};
