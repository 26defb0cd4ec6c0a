#include "shell/HelpViewer.h"

#include "ShellTestHelpers.h"
#include "common/TestSupport.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

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
    // Every number a window, dialog or button of the program asks for.
    const QList<int> expected = {2016,  2020,  2039,  2040,  2041,  2101,  2102,  2103,
                                 2105,  3101,  40001, 40003, 40004, 40005, 40008,
                                 40011, 40012, 40013, 40014, 40015};
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

// The main window, as the user starts it, for the help it gives.
class HelpFromWindowsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TMainScreen::PrinterCheck = [](bool) { return false; };
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        window = std::make_unique<TMainScreen>();
        window->show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        if (THelpViewer *viewer = THelpViewer::Existing())
            viewer->close();
    }
    void TearDown() override
    {
        if (THelpViewer *viewer = THelpViewer::Existing())
            viewer->close();
        window.reset();
    }
    // Opens "Change Business Card Layout" and runs `inside` while it is open.
    void WithLayoutDialog(const std::function<void(QDialog *)> &inside)
    {
        bool ran = false;
        OnNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            inside(dialog);
            ran = true;
            dialog->reject();
        });
        window->findChild<QAction *>("mnuChangeCardLayout")->trigger();
        EXPECT_TRUE(ran);
    }
    static void Activate(QWidget *w)
    {
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    }
    // A click as the window system delivers it, so that a window a modal
    // dialog blocks does not get it.
    static void ClickThroughWindow(QWidget *button)
    {
        QWidget *top = button->window();
        QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                          button->mapTo(top, button->rect().center()));
    }

    std::unique_ptr<TMainScreen> window;
};

TEST_F(HelpFromWindowsTest, HelpWindowStaysUsableWhileADialogIsOpen)
{
    // Asked for from the dialog itself.
    WithLayoutDialog([](QDialog *dialog) {
        auto *help = dialog->findChild<QPushButton *>("Helpbutton");
        ASSERT_NE(help, nullptr);
        help->click();
        THelpViewer *viewer = THelpViewer::Existing();
        ASSERT_NE(viewer, nullptr);
        ASSERT_TRUE(viewer->isVisible());
        EXPECT_EQ(viewer->CurrentContext(), 3101);
        ClickThroughWindow(viewer->findChild<QPushButton *>("ContentsButton"));
        EXPECT_EQ(viewer->CurrentContext(), 0);
        ClickThroughWindow(viewer->findChild<QPushButton *>("BackButton"));
        EXPECT_EQ(viewer->CurrentContext(), 3101);
    });
    // It outlives the dialog.
    THelpViewer *viewer = THelpViewer::Existing();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());

    // Open before the dialog: still usable while the dialog is.
    ShowHelpTopic(2016);
    WithLayoutDialog([viewer](QDialog *) {
        ASSERT_TRUE(viewer->isVisible());
        ClickThroughWindow(viewer->findChild<QPushButton *>("ContentsButton"));
        EXPECT_EQ(viewer->CurrentContext(), 0);
    });
    EXPECT_TRUE(viewer->isVisible());
}

TEST_F(HelpFromWindowsTest, F1OpensTheHelpOfTheActiveWindow)
{
    Activate(window.get());
    window->BusinessCardPanel()->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_F1);
    THelpViewer *viewer = THelpViewer::Existing();
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->CurrentContext(), 2016);
    EXPECT_TRUE(viewer->Note().isEmpty());

    WithLayoutDialog([&](QDialog *dialog) {
        Activate(dialog);
        QTest::keyClick(dialog->windowHandle(), Qt::Key_F1);
        EXPECT_EQ(viewer->CurrentContext(), 3101);
    });

    // A text label's dialog, opened by the text tool.
    window->findChild<QToolButton *>("DrawLabelButton")->click();
    int context = -1;
    OnNextModal([&](QWidget *modal) {
        Activate(modal);
        QTest::keyClick(modal->windowHandle(), Qt::Key_F1);
        context = viewer->CurrentContext();
        static_cast<QDialog *>(modal)->accept();
    });
    QTest::mousePress(window->BusinessCardPanel(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(window->BusinessCardPanel(), Qt::LeftButton, {}, QPoint(140, 50));
    EXPECT_EQ(context, 40004);
    EXPECT_TRUE(viewer->Note().isEmpty());

    // In the help window itself F1 shows the contents.
    Activate(viewer);
    viewer->Browser()->setFocus();
    QTest::keyClick(viewer->windowHandle(), Qt::Key_F1);
    EXPECT_EQ(viewer->CurrentContext(), 0);
}

} // namespace
