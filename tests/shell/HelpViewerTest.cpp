#include "surface/HelpViewer.h"

#include "ShellTestHelpers.h"
#include "shell/ShellUtil.h"

#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <gtest/gtest.h>

namespace {

// The link targets of the page shown, in document order.
QStringList Links(const QTextDocument *document)
{
    QStringList links;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty() &&
                !links.contains(format.anchorHref()))
                links.append(format.anchorHref());
        }
    }
    return links;
}

QString Title(const THelpViewer *viewer)
{
    return viewer->Browser()->documentTitle();
}

TEST(HelpViewerTest, OpensTheTopicOfAContextNumber)
{
    ShowHelpTopic(3101);
    THelpViewer *viewer = THelpViewer::Existing();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_FALSE(viewer->isModal());
    EXPECT_EQ(viewer->objectName(), "HelpViewer");
    EXPECT_EQ(viewer->windowTitle(), "Tessaro Help");
    EXPECT_EQ(viewer->CurrentContext(), 3101);
    EXPECT_EQ(Title(viewer), "Card sheet layout");
    EXPECT_TRUE(viewer->Browser()->toPlainText().contains("Predefined Layouts"));
    EXPECT_TRUE(viewer->Note().isEmpty());

    // One window for the whole run.
    ShowHelpTopic(2039);
    EXPECT_EQ(THelpViewer::Existing(), viewer);
    EXPECT_EQ(viewer->CurrentContext(), 2039);
    EXPECT_EQ(Title(viewer), "Print preview");
}

TEST(HelpViewerTest, EveryContextHasAPageAndTheContentsLinksToAll)
{
    const QList<int> expected = {2016, 2020, 2039, 2101, 2102, 2103, 2105, 3101};
    EXPECT_EQ(THelpViewer::Contexts(), expected);

    THelpViewer *viewer = THelpViewer::Instance();
    QSet<QString> titles;
    for (int context : expected) {
        viewer->ShowTopic(context);
        EXPECT_EQ(viewer->CurrentContext(), context);
        EXPECT_FALSE(Title(viewer).isEmpty()) << context;
        EXPECT_GT(viewer->Browser()->toPlainText().size(), 200) << context;
        titles.insert(Title(viewer));
    }
    EXPECT_EQ(titles.size(), expected.size()); // no page shown twice

    ShowHelpContents();
    EXPECT_EQ(viewer->CurrentContext(), 0);
    EXPECT_EQ(Title(viewer), "Tessaro Help");
    QSet<int> reached;
    for (const QString &link : Links(viewer->Browser()->document())) {
        viewer->Browser()->setSource(viewer->Browser()->source().resolved(QUrl(link)));
        reached.insert(viewer->CurrentContext());
        viewer->ShowContents();
    }
    EXPECT_EQ(reached, QSet<int>(expected.begin(), expected.end()));
}

TEST(HelpViewerTest, UnknownContextShowsTheContentsWithANote)
{
    ShowHelpTopic(4242);
    THelpViewer *viewer = THelpViewer::Existing();
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->CurrentContext(), 0);
    EXPECT_EQ(Title(viewer), "Tessaro Help");
    EXPECT_TRUE(viewer->Note().contains("4242"));
    auto *note = viewer->findChild<QLabel *>("HelpNote");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());

    // Going on to a real topic takes the note away.
    ShowHelpTopic(2102);
    EXPECT_TRUE(viewer->Note().isEmpty());
    EXPECT_FALSE(note->isVisible());
}

TEST(HelpViewerTest, LinksContentsButtonAndBackWork)
{
    ShowHelpTopic(2105);
    THelpViewer *viewer = THelpViewer::Existing();
    ASSERT_NE(viewer, nullptr);
    QTextBrowser *browser = viewer->Browser();

    // Follow the first link of the page with the keyboard, as a reader would.
    browser->setFocus();
    browser->moveCursor(QTextCursor::Start);
    QTest::keyClick(browser, Qt::Key_Tab);
    ASSERT_TRUE(browser->textCursor().hasSelection());
    QTest::keyClick(browser, Qt::Key_Return);
    EXPECT_EQ(viewer->CurrentContext(), 2020);

    auto *back = viewer->findChild<QPushButton *>("BackButton");
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(viewer->CurrentContext(), 2105);

    auto *contents = viewer->findChild<QPushButton *>("ContentsButton");
    ASSERT_NE(contents, nullptr);
    contents->click();
    EXPECT_EQ(viewer->CurrentContext(), 0);

    // The window is not modal: closing hides it, the next call brings it back.
    viewer->close();
    EXPECT_FALSE(viewer->isVisible());
    ShowHelpContents();
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->CurrentContext(), 0);
}

} // namespace
