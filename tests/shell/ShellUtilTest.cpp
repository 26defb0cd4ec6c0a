#include "shell/ShellUtil.h"

#include "ShellTestHelpers.h"
#include "common/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// What a message box looked like when it was answered.
struct TSeenBox
{
    bool seen = false;
    QString objectName;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

// Answers the next modal message box with a button (or closes it with Escape
// when button is NoButton) after recording it.
void InspectNextBox(TSeenBox *seen, QMessageBox::StandardButton button)
{
    OnNextModal([seen, button](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (!box) {
            modal->close();
            return;
        }
        seen->seen = true;
        seen->objectName = box->objectName();
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttons = box->standardButtons();
        if (button == QMessageBox::NoButton)
            box->reject();
        else
            box->button(button)->click();
    });
}

// Closes a modal box that opens while the next events are handled, recording
// its text. Unlike OnNextModal it does not linger when no box opens.
struct TBoxCatcher
{
    TBoxCatcher()
    {
        QTimer::singleShot(0, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                texts.append(box->text());
                box->reject();
            }
        });
    }
    ~TBoxCatcher() { QCoreApplication::processEvents(); }
    QStringList texts;
};

TEST(MessageBoxTest, InformationHasItsCaptionIconAndOneButton)
{
    TSeenBox seen;
    InspectNextBox(&seen, QMessageBox::Ok);
    ShowInformation("Card Height must be at least .3 inches (or 7mm)");
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.objectName, "InformationBox");
    EXPECT_EQ(seen.title, "Information");
    EXPECT_EQ(seen.text, "Card Height must be at least .3 inches (or 7mm)");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    // Line breaks written as CR LF show as one line break each.
    TDialogAnswer answer;
    AnswerNextMessageBox(QMessageBox::Ok, &answer);
    ShowInformation(QString::fromLatin1(NoPrintersMessage));
    ASSERT_TRUE(answer.seen);
    EXPECT_EQ(answer.text,
              "There are no installed printers.\nUnable to perform printer related operations");
}

TEST(MessageBoxTest, AskYesNoAnswersTrueOnlyForYes)
{
    TSeenBox seen;
    InspectNextBox(&seen, QMessageBox::Yes);
    EXPECT_TRUE(AskYesNo("Save changes?", "Save"));
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.objectName, "AskYesNoBox");
    EXPECT_EQ(seen.title, "Save");
    EXPECT_EQ(seen.text, "Save changes?");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    TDialogAnswer answer;
    AnswerNextMessageBox(QMessageBox::No, &answer);
    EXPECT_FALSE(AskYesNo("Cancel all changes?", "CANCEL"));
    EXPECT_EQ(answer.title, "CANCEL");

    // Escape or the close box count as No.
    TSeenBox escaped;
    InspectNextBox(&escaped, QMessageBox::NoButton);
    EXPECT_FALSE(AskYesNo("Delete /tmp/a.tsc?", "CONFIRM"));
    EXPECT_TRUE(escaped.seen);
}

TEST(PrinterCheckTest, DecisionAndMessagesInTheirOrder)
{
    EXPECT_STREQ(
        NoPrintersMessage,
        "There are no installed printers.\r\nUnable to perform printer related operations");
    EXPECT_STREQ(NoDefaultPrinterMessage, "There is no default printer selected.\r\nUnable to "
                                          "perform printer related operations");

    EXPECT_EQ(PrinterProblem(0, false), NoPrintersMessage);
    // No printers at all is reported as such even if a default were claimed.
    EXPECT_EQ(PrinterProblem(0, true), NoPrintersMessage);
    // Printers but none chosen as default: the default-printer message.
    EXPECT_EQ(PrinterProblem(3, false), NoDefaultPrinterMessage);
    EXPECT_EQ(PrinterProblem(1, true), nullptr);
}

TEST(PrinterCheckTest, ReportsExactlyWhenPrintingIsNotPossible)
{
    // Whatever printers this machine has: false comes with one of the two
    // messages, true with none, and without report nothing is shown.
    bool available = false;
    QStringList shown;
    {
        TBoxCatcher catcher;
        available = PrinterAvailable(true);
        QCoreApplication::processEvents();
        shown = catcher.texts;
    }
    if (available) {
        EXPECT_TRUE(shown.isEmpty());
    } else {
        ASSERT_EQ(shown.size(), 1);
        EXPECT_TRUE(shown[0].endsWith("\nUnable to perform printer related operations"));
    }

    TBoxCatcher quiet;
    EXPECT_EQ(PrinterAvailable(false), available);
    QCoreApplication::processEvents();
    EXPECT_TRUE(quiet.texts.isEmpty());
}

TEST(ProgramFolderTest, IsThePerUserDataFolderAndExists)
{
    const QString expected = qEnvironmentVariable("XDG_DATA_HOME") + "/Tessaro/";
    EXPECT_EQ(ProgramFolder(), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    EXPECT_EQ(PreferencesPath(), expected + "TSC.INI");
    EXPECT_EQ(HelpFilePath(), expected + "TSC.HLP");
}

TEST(ProgramFolderTest, AFolderThatCannotBeMadeIsReportedOnce)
{
    QTemporaryDir dir;
    const QString blocker = dir.path() + "/not-a-folder";
    ASSERT_TRUE(WriteBytes(blocker, "x"));
    const QByteArray savedHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", blocker.toUtf8());

    TDialogAnswer first;
    AnswerNextMessageBox(QMessageBox::Ok, &first);
    const QString folder = ProgramFolder();
    QStringList later;
    {
        TBoxCatcher catcher;
        ProgramFolder();
        PreferencesPath();
        QCoreApplication::processEvents();
        later = catcher.texts;
    }
    qputenv("XDG_DATA_HOME", savedHome);

    // The path is still given, so the program starts; the user hears once.
    EXPECT_EQ(folder, blocker + "/Tessaro/");
    ASSERT_TRUE(first.seen);
    EXPECT_EQ(first.title, "Information");
    EXPECT_TRUE(first.text.contains("Unable to create the folder"));
    EXPECT_TRUE(first.text.contains(blocker + "/Tessaro/"));
    EXPECT_TRUE(later.isEmpty());

    EXPECT_TRUE(QFileInfo(ProgramFolder()).isDir());
}

} // namespace
