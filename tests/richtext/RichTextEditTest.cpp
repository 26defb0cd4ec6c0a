// The edit view: RTF on the clipboard both ways, formats applied through the
// toolbar, and the page laid out at the same width at every zoom.
#include "richtext/RichTextEdit.h"

#include "richtext/RichText.h"
#include "richtext/RichTextEngine.h"
#include "richtext/RtfReader.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
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
