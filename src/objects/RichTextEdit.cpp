#include "objects/RichTextEdit.h"

#include "richtext/RichText.h"
#include "richtext/RichTextEngine.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontComboBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QLayout>
#include <QMimeData>
#include <QPainter>
#include <QStyleOptionGraphicsItem>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <functional>

namespace {

// The clipboard formats word processors put RTF under.
const QStringList &RtfMimeTypes()
{
    static const QStringList types{QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                   QStringLiteral("text/richtext"),
                                   QStringLiteral("Rich Text Format")};
    return types;
}

// The text on the page, without the dashed frame the item draws round itself
// while it has the focus: the editing area's own border frames the page.
class TPageTextItem : public QGraphicsTextItem
{
public:
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        QStyleOptionGraphicsItem plain(*option);
        plain.state &= ~(QStyle::State_Selected | QStyle::State_HasFocus);
        QGraphicsTextItem::paint(painter, &plain, widget);
    }
};

} // namespace

// ---- edit view --------------------------------------------------------------

TRichTextEditView::TRichTextEditView(QWidget *parent)
    : QGraphicsView(parent)
{
    setObjectName(QStringLiteral("RichEdit"));
    m_scene = new QGraphicsScene(this);
    setScene(m_scene);
    m_document = new QTextDocument(this);
    SetRichTextDefaults(m_document);
    m_document->setUndoRedoEnabled(true);
    m_item = new TPageTextItem;
    m_item->setDocument(m_document);
    m_item->setTextInteractionFlags(Qt::TextEditorInteraction);
    m_item->setAcceptDrops(false);
    // The text keeps the inset from the page's edges that it has on the card.
    m_item->setPos(TRichTextEngine::TextInset(), TRichTextEngine::TextInset());
    m_scene->addItem(m_item);

    // Transparent, no scroll bars, no drag and drop; the page's top left
    // corner at the view's.
    setFrameShape(QFrame::NoFrame);
    setBackgroundBrush(Qt::NoBrush);
    setStyleSheet(QStringLiteral("QGraphicsView { background: transparent; }"));
    viewport()->setAutoFillBackground(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setAcceptDrops(false);
    setRenderHint(QPainter::TextAntialiasing);
    setFocusPolicy(Qt::StrongFocus);
    WatchDocument();
    UpdateSceneRect();
}

void TRichTextEditView::WatchDocument()
{
    connect(m_document, &QTextDocument::contentsChanged, this,
            &TRichTextEditView::CursorFormatChanged);
    // Every new layout of a paragraph spreads its lines again: a line of one
    // word is put back at the left before it is painted.
    connect(m_document->documentLayout(), &QAbstractTextDocumentLayout::update, this, [this] {
        if (m_keepingLinesLeft)
            return;
        m_keepingLinesLeft = true;
        TRichTextEngine::KeepSingleWordLinesLeft(m_document);
        m_keepingLinesLeft = false;
    });
}

QTextDocument *TRichTextEditView::Document() const
{
    return m_document;
}

void TRichTextEditView::SetContent(const TRichText &content)
{
    QTextDocument *copy = content.Document()->clone(this);
    copy->setDocumentMargin(0);
    copy->setUndoRedoEnabled(true);
    m_item->setDocument(copy);
    m_document->deleteLater();
    m_document = copy;
    WatchDocument();
    Reformat();
    m_document->setModified(false);
    Q_EMIT CursorFormatChanged();
}

void TRichTextEditView::SetStartFont(const QFont &font)
{
    if (!m_document->isEmpty())
        return;
    // Also what the text is written in where a run names no font of its own.
    m_document->setDefaultFont(font);
    QTextCharFormat format;
    format.setFontFamilies(QStringList{font.family()});
    format.setFontPointSize(font.pointSizeF() > 0 ? font.pointSizeF() : 12);
    format.setFontWeight(font.weight());
    format.setFontItalic(font.italic());
    format.setFontUnderline(font.underline());
    format.setFontStrikeOut(font.strikeOut());
    QTextCursor cursor(m_document);
    cursor.setBlockCharFormat(format);
    cursor.setCharFormat(format);
    m_item->setTextCursor(cursor);
    // Nothing is typed yet: OK without typing changes nothing.
    m_document->setModified(false);
    Q_EMIT CursorFormatChanged();
}

void TRichTextEditView::SetZoom(int percent)
{
    m_zoom = std::clamp(percent, 1, 10000);
    setTransform(QTransform::fromScale(m_zoom / 100.0, m_zoom / 100.0));
}

void TRichTextEditView::SetPageSize(int widthTwips, int heightTwips)
{
    m_pageWidth = std::max(0, widthTwips);
    m_pageHeight = std::max(0, heightTwips);
    Reformat();
}

void TRichTextEditView::SetWordWrap(bool on)
{
    m_wordWrap = on;
    Reformat();
}

void TRichTextEditView::Reformat()
{
    m_document->setDocumentMargin(0);
    m_item->setTextWidth(m_wordWrap ? TRichTextEngine::TextWidthOnPage(m_pageWidth) : -1);
    m_document->markContentsDirty(0, m_document->characterCount());
    TRichTextEngine::KeepSingleWordLinesLeft(m_document);
    UpdateSceneRect();
}

void TRichTextEditView::UpdateSceneRect()
{
    const double width = std::max(1.0, TRichTextEngine::TwipsToPixels(m_pageWidth));
    const double height = std::max(1.0, TRichTextEngine::TwipsToPixels(m_pageHeight));
    m_scene->setSceneRect(0, 0, width, height);
}

QTextCursor TRichTextEditView::TextCursor() const
{
    return m_item->textCursor();
}

void TRichTextEditView::SetTextCursor(const QTextCursor &cursor)
{
    m_item->setTextCursor(cursor);
    Q_EMIT CursorFormatChanged();
}

void TRichTextEditView::MergeCharFormat(const QTextCharFormat &format)
{
    QTextCursor cursor = m_item->textCursor();
    if (!cursor.hasSelection())
        cursor.select(QTextCursor::WordUnderCursor);
    cursor.mergeCharFormat(format);
    // What is typed next takes the format too.
    QTextCursor at = m_item->textCursor();
    at.mergeCharFormat(format);
    m_item->setTextCursor(at);
    Q_EMIT CursorFormatChanged();
}

void TRichTextEditView::SetAlignment(Qt::Alignment alignment)
{
    QTextCursor cursor = m_item->textCursor();
    QTextBlockFormat block;
    block.setAlignment(alignment);
    cursor.mergeBlockFormat(block);
    m_item->setTextCursor(cursor);
    Q_EMIT CursorFormatChanged();
}

QTextCharFormat TRichTextEditView::CurrentCharFormat() const
{
    QTextCursor cursor = m_item->textCursor();
    if (cursor.hasSelection() && cursor.position() > cursor.anchor()) {
        // The format of the selection's first character.
        QTextCursor first(m_document);
        first.setPosition(cursor.selectionStart() + 1);
        return first.charFormat();
    }
    // At the start of a paragraph the format is that of its first character.
    if (!cursor.hasSelection() && cursor.atBlockStart() && cursor.block().length() > 1)
        cursor.setPosition(cursor.position() + 1);
    return cursor.charFormat();
}

void TRichTextEditView::ToggleBold()
{
    QTextCharFormat format;
    format.setFontWeight(CurrentCharFormat().fontWeight() >= QFont::DemiBold ? QFont::Normal
                                                                             : QFont::Bold);
    MergeCharFormat(format);
}

void TRichTextEditView::ToggleItalic()
{
    QTextCharFormat format;
    format.setFontItalic(!CurrentCharFormat().fontItalic());
    MergeCharFormat(format);
}

void TRichTextEditView::ToggleUnderline()
{
    QTextCharFormat format;
    format.setFontUnderline(!CurrentCharFormat().fontUnderline());
    MergeCharFormat(format);
}

void TRichTextEditView::Copy()
{
    const QTextCursor cursor = m_item->textCursor();
    if (!cursor.hasSelection())
        return;
    const QTextDocumentFragment fragment = cursor.selection();
    QTextDocument selection;
    SetRichTextDefaults(&selection);
    QTextCursor(&selection).insertFragment(fragment);
    auto *data = new QMimeData;
    data->setText(fragment.toPlainText());
    data->setHtml(fragment.toHtml());
    data->setData(RtfMimeTypes().first(), WriteRtf(&selection));
    QApplication::clipboard()->setMimeData(data);
}

void TRichTextEditView::Cut()
{
    QTextCursor cursor = m_item->textCursor();
    if (!cursor.hasSelection())
        return;
    Copy();
    cursor.removeSelectedText();
    m_item->setTextCursor(cursor);
}

void TRichTextEditView::Paste()
{
    if (const QMimeData *data = QApplication::clipboard()->mimeData())
        InsertFromMimeData(data);
}

void TRichTextEditView::InsertFromMimeData(const QMimeData *data)
{
    QTextCursor cursor = m_item->textCursor();
    for (const QString &type : RtfMimeTypes()) {
        if (!data->hasFormat(type))
            continue;
        QTextDocument pasted;
        SetRichTextDefaults(&pasted);
        if (!ReadRtf(data->data(type), &pasted).Readable())
            break;
        cursor.insertFragment(QTextDocumentFragment(&pasted));
        m_item->setTextCursor(cursor);
        return;
    }
    if (data->hasHtml())
        cursor.insertFragment(QTextDocumentFragment::fromHtml(data->html(), m_document));
    else if (data->hasText())
        cursor.insertText(data->text());
    else
        return;
    m_item->setTextCursor(cursor);
}

bool TRichTextEditView::event(QEvent *event)
{
    // Tab is text here (Ctrl+Tab still moves the focus on).
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ControlModifier)) {
            QTextCursor cursor = m_item->textCursor();
            cursor.insertText(QStringLiteral("\t"));
            m_item->setTextCursor(cursor);
            return true;
        }
    }
    return QGraphicsView::event(event);
}

void TRichTextEditView::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Bold)) {
        ToggleBold();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Italic)) {
        ToggleItalic();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Underline)) {
        ToggleUnderline();
        event->accept();
        return;
    }
    // The clipboard keys go through the RTF-aware commands.
    if (event->matches(QKeySequence::Paste)) {
        Paste();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut)) {
        Cut();
        event->accept();
        return;
    }
    QGraphicsView::keyPressEvent(event);
}

void TRichTextEditView::keyReleaseEvent(QKeyEvent *event)
{
    QGraphicsView::keyReleaseEvent(event);
    Q_EMIT CursorFormatChanged();
}

void TRichTextEditView::mousePressEvent(QMouseEvent *event)
{
    QGraphicsView::mousePressEvent(event);
    if (!m_item->hasFocus()) {
        // A click on the page below the text puts the cursor at its end.
        m_scene->setFocusItem(m_item);
        QTextCursor cursor(m_document);
        cursor.movePosition(QTextCursor::End);
        m_item->setTextCursor(cursor);
    }
}

void TRichTextEditView::mouseReleaseEvent(QMouseEvent *event)
{
    QGraphicsView::mouseReleaseEvent(event);
    Q_EMIT CursorFormatChanged();
}

void TRichTextEditView::focusInEvent(QFocusEvent *event)
{
    QGraphicsView::focusInEvent(event);
    m_scene->setFocusItem(m_item);
}

// ---- toolbar ----------------------------------------------------------------

namespace {

QIcon LetterIcon(const QString &letter, bool bold, bool italic, bool underline)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(15);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
    return QIcon(pixmap);
}

// Four lines showing a paragraph's alignment.
QIcon AlignmentIcon(Qt::Alignment alignment)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(Qt::black, 2));
    const int widths[] = {16, 10, 16, 10};
    for (int i = 0; i < 4; ++i) {
        int w = alignment & Qt::AlignJustify ? 16 : widths[i];
        int x = 2;
        if (alignment & Qt::AlignRight)
            x = 18 - w;
        else if (alignment & Qt::AlignHCenter)
            x = 10 - w / 2;
        painter.drawLine(x, 4 + i * 4, x + w, 4 + i * 4);
    }
    return QIcon(pixmap);
}

// Copy: two sheets; Cut: scissors; Paste: a clipboard.
QIcon ClipboardIcon(char kind)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    if (kind == 'c') {
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(3.5, 2.5, 9, 11));
        painter.drawRect(QRectF(7.5, 6.5, 9, 11));
    } else if (kind == 'x') {
        painter.drawEllipse(QRectF(3, 12, 5, 5));
        painter.drawEllipse(QRectF(12, 12, 5, 5));
        painter.drawLine(QPointF(7, 13), QPointF(14, 2));
        painter.drawLine(QPointF(13, 13), QPointF(6, 2));
    } else {
        painter.setBrush(QColor(230, 200, 140));
        painter.drawRect(QRectF(3.5, 3.5, 13, 14));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(7.5, 1.5, 5, 4));
        painter.drawRect(QRectF(6.5, 7.5, 7, 7));
    }
    return QIcon(pixmap);
}

QIcon SwatchIcon(const QColor &color)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, 13, 13);
    return QIcon(pixmap);
}

} // namespace

TRichTextToolbar::TRichTextToolbar(TRichTextEditView *view, QWidget *parent)
    : QToolBar(parent)
    , m_view(view)
{
    setObjectName(QStringLiteral("RichTextToolbar"));
    setIconSize(QSize(16, 16));
    layout()->setSpacing(0);
    layout()->setContentsMargins(0, 0, 0, 0);

    FontName = new QFontComboBox(this);
    FontName->setObjectName(QStringLiteral("FontName"));
    FontName->setToolTip(tr("Font"));
    FontName->setMaximumWidth(104);
    addWidget(FontName);
    connect(FontName, &QFontComboBox::currentFontChanged, this, [this](const QFont &font) {
        if (m_refreshing)
            return;
        QTextCharFormat format;
        format.setFontFamilies(QStringList{font.family()});
        m_view->MergeCharFormat(format);
        m_view->setFocus();
    });

    FontSize = new QComboBox(this);
    FontSize->setObjectName(QStringLiteral("FontSize"));
    FontSize->setToolTip(tr("Font Size"));
    FontSize->setEditable(true);
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        FontSize->addItem(QString::number(size));
    addWidget(FontSize);
    auto applySize = [this](const QString &text) {
        if (m_refreshing)
            return;
        bool ok = false;
        const double size = text.toDouble(&ok);
        if (!ok || size < 8 || size > 1638)
            return; // sizes start at 8
        QTextCharFormat format;
        format.setFontPointSize(size);
        m_view->MergeCharFormat(format);
    };
    connect(FontSize, &QComboBox::textActivated, this, applySize);

    FontColor = new QComboBox(this);
    FontColor->setObjectName(QStringLiteral("FontColor"));
    FontColor->setToolTip(tr("Font Color"));
    const std::pair<const char *, QRgb> colors[] = {
        {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
        {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Gray", 0x808080},
        {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
        {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF}};
    for (const auto &[name, rgb] : colors)
        FontColor->addItem(SwatchIcon(QColor(rgb)), tr(name), QColor(rgb));
    FontColor->setMaximumWidth(76);
    FontSize->setMaximumWidth(48);
    addWidget(FontColor);
    connect(FontColor, &QComboBox::activated, this, [this](int index) {
        QTextCharFormat format;
        format.setForeground(FontColor->itemData(index).value<QColor>());
        m_view->MergeCharFormat(format);
        m_view->setFocus();
    });

    addSeparator();
    NormalAction = AddAction(
        QStringLiteral("Normal"), tr("Normal"),
        LetterIcon(QStringLiteral("N"), false, false, false),
        [this] {
            QTextCharFormat format;
            format.setFontWeight(QFont::Normal);
            format.setFontItalic(false);
            format.setFontUnderline(false);
            format.setFontStrikeOut(false);
            m_view->MergeCharFormat(format);
        },
        false);
    BoldAction = AddAction(
        QStringLiteral("Bold"), tr("Bold"), LetterIcon(QStringLiteral("B"), true, false, false),
        [this] {
            QTextCharFormat format;
            format.setFontWeight(BoldAction->isChecked() ? QFont::Bold : QFont::Normal);
            m_view->MergeCharFormat(format);
        },
        true);
    ItalicAction = AddAction(
        QStringLiteral("Italic"), tr("Italic"), LetterIcon(QStringLiteral("I"), false, true, false),
        [this] {
            QTextCharFormat format;
            format.setFontItalic(ItalicAction->isChecked());
            m_view->MergeCharFormat(format);
        },
        true);
    UnderlineAction = AddAction(
        QStringLiteral("Underline"), tr("Underline"),
        LetterIcon(QStringLiteral("U"), false, false, true),
        [this] {
            QTextCharFormat format;
            format.setFontUnderline(UnderlineAction->isChecked());
            m_view->MergeCharFormat(format);
        },
        true);
    addSeparator();
    auto align = [this](Qt::Alignment alignment) {
        return [this, alignment] { m_view->SetAlignment(alignment); };
    };
    LeftAction = AddAction(QStringLiteral("AlignLeft"), tr("Align Left"),
                           AlignmentIcon(Qt::AlignLeft), align(Qt::AlignLeft), true);
    RightAction = AddAction(QStringLiteral("AlignRight"), tr("Align Right"),
                            AlignmentIcon(Qt::AlignRight), align(Qt::AlignRight), true);
    JustifyAction = AddAction(QStringLiteral("Justify"), tr("Justify"),
                              AlignmentIcon(Qt::AlignJustify), align(Qt::AlignJustify), true);
    CenterAction = AddAction(QStringLiteral("Center"), tr("Center"),
                             AlignmentIcon(Qt::AlignHCenter), align(Qt::AlignHCenter), true);
    addSeparator();
    CopyAction = AddAction(
        QStringLiteral("Copy"), tr("Copy"), ClipboardIcon('c'), [this] { m_view->Copy(); }, false);
    CutAction = AddAction(
        QStringLiteral("Cut"), tr("Cut"), ClipboardIcon('x'), [this] { m_view->Cut(); }, false);
    PasteAction = AddAction(
        QStringLiteral("Paste"), tr("Paste"), ClipboardIcon('p'), [this] { m_view->Paste(); },
        false);

    connect(m_view, &TRichTextEditView::CursorFormatChanged, this, &TRichTextToolbar::Refresh);
    Refresh();
}

QAction *TRichTextToolbar::AddAction(const QString &name, const QString &hint, const QIcon &icon,
                                     std::function<void()> run, bool checkable)
{
    QAction *action = addAction(icon, hint);
    action->setObjectName(name);
    action->setToolTip(hint);
    action->setStatusTip(hint);
    action->setCheckable(checkable);
    connect(action, &QAction::triggered, this, [this, run] {
        if (!m_refreshing)
            run();
    });
    return action;
}

void TRichTextToolbar::Refresh()
{
    m_refreshing = true;
    const QTextCharFormat format = m_view->CurrentCharFormat();
    BoldAction->setChecked(format.fontWeight() >= QFont::DemiBold);
    ItalicAction->setChecked(format.fontItalic());
    UnderlineAction->setChecked(format.fontUnderline());
    const QStringList families = format.fontFamilies().toStringList();
    FontName->setCurrentFont(
        QFont(families.isEmpty() ? m_view->Document()->defaultFont().family() : families.first()));
    const double size = format.fontPointSize() > 0 ? format.fontPointSize()
                                                   : m_view->Document()->defaultFont().pointSizeF();
    FontSize->setCurrentText(QString::number(size));
    const QColor color = format.hasProperty(QTextFormat::ForegroundBrush)
                             ? format.foreground().color()
                             : QColor(Qt::black);
    const int colorIndex = FontColor->findData(color);
    if (colorIndex >= 0)
        FontColor->setCurrentIndex(colorIndex);
    const Qt::Alignment alignment =
        m_view->TextCursor().blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    LeftAction->setChecked(!(alignment & (Qt::AlignRight | Qt::AlignHCenter | Qt::AlignJustify)));
    RightAction->setChecked(alignment & Qt::AlignRight);
    JustifyAction->setChecked(alignment & Qt::AlignJustify);
    CenterAction->setChecked(alignment & Qt::AlignHCenter);
    m_refreshing = false;
}
