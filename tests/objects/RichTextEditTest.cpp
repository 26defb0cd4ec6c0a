// The edit view: RTF on the clipboard both ways, formats applied through the
// toolbar, and the page laid out at the same width at every zoom.
#include "objects/RichTextEdit.h"

#include "richtext/RichText.h"
#include "richtext/RichTextEngine.h"
#include "richtext/RtfReader.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>
#include <gtest/gtest.h>

namespace {

QTextCharFormat FormatAt(const QTextDocument *doc, int position)
{
    QTextCursor at(const_cast<QTextDocument *>(doc));
    at.setPosition(position);
    return at.charFormat();
}

} // namespace

TEST(RichTextEdit, PastesRtfFromOtherProgramsAndCopiesRtfOut)
{
    TRichTextEditView view;
    TRichText content;
    content.LoadRtf("{\\rtf1 Start end}");
    view.SetContent(content);
    EXPECT_FALSE(view.Document()->isModified());

    QTextCursor at(view.Document());
    at.setPosition(6);
    view.SetTextCursor(at);
    auto *data = new QMimeData;
    data->setText("plain fallback");
    data->setData("text/rtf", "{\\rtf1{\\colortbl;\\red0\\green128\\blue0;}{\\b\\cf1 green} }");
    QApplication::clipboard()->setMimeData(data);
    view.Paste();
    EXPECT_EQ(view.Document()->toPlainText(), "Start green end");
    EXPECT_GE(FormatAt(view.Document(), 8).fontWeight(), QFont::Bold);
    EXPECT_EQ(FormatAt(view.Document(), 8).foreground().color(), QColor(0, 128, 0));
    EXPECT_TRUE(view.Document()->isModified());

    // Copy offers RTF that reads back to the same run.
    QTextCursor select(view.Document());
    select.setPosition(6);
    select.setPosition(11, QTextCursor::KeepAnchor);
    view.SetTextCursor(select);
    view.Copy();
    const QMimeData *copied = QApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->text(), "green");
    QTextDocument back;
    EXPECT_EQ(ReadRtf(copied->data("text/rtf"), &back).status, TRtfReadStatus::Rtf);
    EXPECT_EQ(back.toPlainText(), "green");
    EXPECT_GE(FormatAt(&back, 2).fontWeight(), QFont::Bold);

    // Cut removes it; plain text pastes where there is no RTF.
    view.Cut();
    EXPECT_EQ(view.Document()->toPlainText(), "Start  end");
    auto *plain = new QMimeData;
    plain->setText("typed");
    QApplication::clipboard()->setMimeData(plain);
    view.Paste();
    EXPECT_EQ(view.Document()->toPlainText(), "Start typed end");
}

TEST(RichTextEdit, ToolbarFormatsTheSelectionAndZoomKeepsTheWrap)
{
    TRichTextEditView view;
    TRichTextToolbar toolbar(&view);
    TRichText content;
    content.LoadRtf("{\\rtf1 one two three four five six seven eight nine ten}");
    view.SetContent(content);
    view.SetPageSize(1440, 720); // one inch by half an inch

    QTextCursor all(view.Document());
    all.select(QTextCursor::Document);
    view.SetTextCursor(all);
    toolbar.ItalicAction->trigger();
    toolbar.UnderlineAction->trigger();
    toolbar.RightAction->trigger();
    EXPECT_TRUE(FormatAt(view.Document(), 3).fontItalic());
    EXPECT_TRUE(FormatAt(view.Document(), 3).fontUnderline());
    EXPECT_EQ(view.Document()->begin().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignRight);
    toolbar.NormalAction->trigger();
    EXPECT_FALSE(FormatAt(view.Document(), 3).fontItalic());
    EXPECT_FALSE(FormatAt(view.Document(), 3).fontUnderline());

    // The text wraps within the page whatever the zoom.
    const QTextLayout *layout = view.Document()->begin().layout();
    const int lines100 = layout->lineCount();
    EXPECT_GT(lines100, 1);
    for (const QTextLine &line : {layout->lineAt(0), layout->lineAt(lines100 - 1)})
        EXPECT_LE(line.naturalTextWidth(), TRichTextEngine::TwipsToPixels(1440) + 0.5);
    view.SetZoom(50);
    view.Reformat();
    EXPECT_EQ(view.Document()->begin().layout()->lineCount(), lines100);
    EXPECT_EQ(view.transform().m11(), 0.5);
}

TEST(RichTextEdit, TabIsTypedIntoTheTextNotUsedToLeave)
{
    QWidget window;
    auto *view = new TRichTextEditView(&window);
    auto *other = new QWidget(&window);
    other->setFocusPolicy(Qt::StrongFocus);
    view->SetPageSize(2880, 720);
    window.show();
    view->setFocus();
    QApplication::processEvents();
    // Keys go where the focus is, as the keyboard sends them.
    ASSERT_EQ(QApplication::focusWidget(), view);
    QTest::keyClicks(view, "a");
    QTest::keyClick(view, Qt::Key_Tab);
    QTest::keyClicks(view, "b");
    EXPECT_EQ(QApplication::focusWidget(), view);
    EXPECT_EQ(view->Document()->toPlainText(), "a\tb");
}

TEST(RichTextEdit, CtrlBIAndUToggleTheSelectionAndWhatIsTypedNext)
{
    QWidget window;
    auto *view = new TRichTextEditView(&window);
    TRichTextToolbar toolbar(view);
    TRichText content;
    content.LoadRtf("{\\rtf1 Hello world}");
    view->SetContent(content);
    view->SetPageSize(2880, 720);
    window.show();
    view->setFocus();
    QApplication::processEvents();
    ASSERT_EQ(QApplication::focusWidget(), view);

    QTextCursor hello(view->Document());
    hello.setPosition(5, QTextCursor::KeepAnchor);
    view->SetTextCursor(hello);
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    EXPECT_GE(FormatAt(view->Document(), 2).fontWeight(), QFont::Bold);
    EXPECT_TRUE(toolbar.BoldAction->isChecked());
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    EXPECT_LT(FormatAt(view->Document(), 2).fontWeight(), QFont::Bold);
    EXPECT_FALSE(toolbar.BoldAction->isChecked());
    QTest::keyClick(view, Qt::Key_I, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_U, Qt::ControlModifier);
    EXPECT_TRUE(FormatAt(view->Document(), 2).fontItalic());
    EXPECT_TRUE(FormatAt(view->Document(), 2).fontUnderline());
    EXPECT_TRUE(toolbar.ItalicAction->isChecked());
    EXPECT_FALSE(FormatAt(view->Document(), 8).fontItalic());
    EXPECT_FALSE(FormatAt(view->Document(), 8).fontUnderline());
    EXPECT_EQ(view->Document()->toPlainText(), "Hello world");

    // With no selection the key sets what is typed next.
    QTextCursor end(view->Document());
    end.movePosition(QTextCursor::End);
    view->SetTextCursor(end);
    QTest::keyClicks(view, " ");
    QTest::keyClick(view, Qt::Key_B, Qt::ControlModifier);
    QTest::keyClicks(view, "new");
    EXPECT_EQ(view->Document()->toPlainText(), "Hello world new");
    EXPECT_GE(FormatAt(view->Document(), 14).fontWeight(), QFont::Bold);
    EXPECT_LT(FormatAt(view->Document(), 9).fontWeight(), QFont::Bold);
}

namespace {

// The first and last columns and the first row with a dark pixel; -1 when none.
struct TInk
{
    int left = -1;
    int right = -1;
    int top = -1;
};
TInk InkOf(const QImage &image, int fromRow = 0, int toRow = -1)
{
    TInk ink;
    const int last = toRow < 0 ? image.height() : std::min(toRow, image.height());
    for (int y = fromRow; y < last; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128) {
                if (ink.top < 0)
                    ink.top = y;
                if (ink.left < 0 || x < ink.left)
                    ink.left = x;
                ink.right = std::max(ink.right, x);
            }
    return ink;
}

} // namespace

TEST(RichTextEdit, TextKeepsItsInsetAndAOneWordLineIsNotSpread)
{
    // A justified paragraph whose first line holds one long word only.
    const QString word = QStringLiteral("Incomprehensibilities");
    TRichText content;
    QTextDocument *document = content.Document();
    QTextCursor cursor(document);
    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    cursor.setBlockFormat(justified);
    QTextCharFormat dark;
    dark.setBackground(Qt::black); // the runs' boxes show where the text lies
    cursor.insertText(word + " go on and on and on to the end of it all", dark);
    const QFontMetricsF metrics(document->defaultFont());
    const double inset = TRichTextEngine::TextInset();
    ASSERT_GE(inset, 1.5);
    const double pagePixels = metrics.horizontalAdvance(word) + 2 * inset + 8;
    ASSERT_LT(pagePixels - 2 * inset, metrics.horizontalAdvance(word + " go"));
    const int pageTwips = int(std::ceil(pagePixels * 1440 / TRichTextEngine::TwipsToPixels(1440)));

    // On the card (and so on paper): inset on every side, the word at the left.
    TRichTextEngine engine;
    engine.SetContent(&content);
    engine.SetPageSize(pageTwips, 1440);
    QImage image(int(pagePixels) + 1, 96, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    engine.Render(painter, image.rect());
    painter.end();
    const QTextLayout *layout = document->begin().layout();
    ASSERT_GT(layout->lineCount(), 2);
    const QTextLine first = layout->lineAt(0);
    ASSERT_EQ(first.textLength(), word.size() + 1);
    const TInk all = InkOf(image);
    EXPECT_EQ(all.left, int(std::round(inset)));
    EXPECT_EQ(all.top, int(std::round(inset)));
    EXPECT_LE(all.right, int(pagePixels - inset));
    const TInk firstLine = InkOf(image, all.top, all.top + int(first.height()) - 1);
    EXPECT_LT(firstLine.right, int(inset + metrics.horizontalAdvance(word) + 2));
    // Lines of several words are still spread to the full width.
    int spread = 0;
    for (int i = 1; i + 1 < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        const QString text = document->begin().text().mid(line.textStart(), line.textLength());
        if (!text.trimmed().contains(' '))
            continue;
        ++spread;
        EXPECT_NEAR(line.cursorToX(line.textStart() + int(text.trimmed().size())), line.width(),
                    0.5);
    }
    EXPECT_GT(spread, 0);

    // The editor lays the page out the same way and shows it at the same place.
    TRichTextEditView view;
    view.SetContent(content);
    view.SetPageSize(pageTwips, 1440);
    EXPECT_NEAR(view.Document()->textWidth(), TRichTextEngine::TextWidthOnPage(pageTwips), 0.01);
    const QTextLine edited = view.Document()->begin().layout()->lineAt(0);
    EXPECT_EQ(edited.textLength(), word.size() + 1);
    EXPECT_NEAR(edited.cursorToX(int(word.size())), edited.naturalTextWidth(), 0.5);
    const auto items = view.scene()->items();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first()->pos(), QPointF(inset, inset));
    // An edit lays the paragraph out anew; its one-word line stays at the left.
    QTextCursor end(view.Document());
    end.movePosition(QTextCursor::End);
    end.insertText(" more");
    const QTextLine retyped = view.Document()->begin().layout()->lineAt(0);
    EXPECT_NEAR(retyped.cursorToX(int(word.size())), retyped.naturalTextWidth(), 0.5);
}
