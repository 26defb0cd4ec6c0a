#pragma once

#include <QGraphicsView>
#include <QTextCharFormat>
#include <QToolBar>

class QComboBox;
class QFontComboBox;
class QGraphicsScene;
class QGraphicsTextItem;
class QMimeData;
class QTextDocument;
class TRichText;

// The engine's editable view: the text on its page, edited in place and shown
// at a zoom percentage. The page keeps its size in twips; zooming scales the
// view, so the text wraps at the same words at every zoom.
class TRichTextEditView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit TRichTextEditView(QWidget *parent = nullptr);

    QTextDocument *Document() const;
    // Takes a copy of the content; the view's document starts unmodified.
    void SetContent(const TRichText &content);
    // The font an empty text starts in: what is typed takes it.
    void SetStartFont(const QFont &font);

    int Zoom() const { return m_zoom; }
    void SetZoom(int percent);
    void SetPageSize(int widthTwips, int heightTwips);
    int PageWidth() const { return m_pageWidth; }
    int PageHeight() const { return m_pageHeight; }
    void SetWordWrap(bool on);
    // Lays the text out again (after the page or the fonts changed).
    void Reformat();

    QTextCursor TextCursor() const;
    void SetTextCursor(const QTextCursor &cursor);
    // Applies the format to the selection, or to the word at the cursor and
    // what is typed next.
    void MergeCharFormat(const QTextCharFormat &format);
    void SetAlignment(Qt::Alignment alignment);
    // The character format at the cursor (of the selection's start).
    QTextCharFormat CurrentCharFormat() const;
    // Bold, italic and underline on or off as word processors do (Ctrl+B,
    // Ctrl+I, Ctrl+U): off where the cursor's format has it, otherwise on.
    void ToggleBold();
    void ToggleItalic();
    void ToggleUnderline();

    // The clipboard carries RTF besides plain text, and RTF is taken first on paste.
    void Copy();
    void Cut();
    void Paste();
    void InsertFromMimeData(const QMimeData *data);

Q_SIGNALS:
    // The cursor moved or the text changed: the toolbar shows the format there.
    void CursorFormatChanged();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void UpdateSceneRect();
    void WatchDocument();

    QGraphicsScene *m_scene = nullptr;
    QGraphicsTextItem *m_item = nullptr;
    QTextDocument *m_document = nullptr;
    bool m_keepingLinesLeft = false;
    int m_zoom = 100;
    int m_pageWidth = 0;
    int m_pageHeight = 0;
    bool m_wordWrap = true;
};

// The formatting toolbar of an edit view: font name (the installed fonts),
// size (from 8), colour, normal / bold / italic / underline, left / right /
// justified / centred paragraphs, copy / cut / paste, all with hints.
class TRichTextToolbar : public QToolBar
{
    Q_OBJECT

public:
    explicit TRichTextToolbar(TRichTextEditView *view, QWidget *parent = nullptr);

    // Shows the format at the view's cursor.
    void Refresh();

    QFontComboBox *FontName = nullptr;
    QComboBox *FontSize = nullptr;
    QComboBox *FontColor = nullptr;
    QAction *NormalAction = nullptr;
    QAction *BoldAction = nullptr;
    QAction *ItalicAction = nullptr;
    QAction *UnderlineAction = nullptr;
    QAction *LeftAction = nullptr;
    QAction *RightAction = nullptr;
    QAction *JustifyAction = nullptr;
    QAction *CenterAction = nullptr;
    QAction *CopyAction = nullptr;
    QAction *CutAction = nullptr;
    QAction *PasteAction = nullptr;

private:
    QAction *AddAction(const QString &name, const QString &hint, const QIcon &icon,
                       std::function<void()> run, bool checkable);
    TRichTextEditView *m_view;
    bool m_refreshing = false;
};
