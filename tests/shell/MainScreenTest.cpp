// The main window driven as a user drives it: first start, placing, saving,
// the recent files, the save prompts, zoom and keys.
#include "common/HostileFiles.h"
#include "common/TestSupport.h"
#include "ShellTestHelpers.h"
#include "objects/Placeholder.h"
#include "objects/gbclabel32.h"
#include "document/CardModel.h"
#include "shell/MRUFileList.h"
#include "shell/Main.h"
#include "shell/Preferences.h"
#include "shell/ShellUtil.h"
#include "surface/GHandle.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace {

class MainScreenTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        TMainScreen::PrinterCheck = [](bool) { return false; };
        // Each test starts as a first run: no preferences, no designs.
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
    }
    void TearDown() override { window.reset(); }

    TMainScreen *Start()
    {
        window = std::make_unique<TMainScreen>();
        window->show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        return window.get();
    }
    void Restart()
    {
        window->close();
        window.reset();
        Start();
    }

    TGBusinessCardPanel32 *Panel() const { return window->BusinessCardPanel(); }
    QAction *Item(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }
    QPushButton *Button(const char *name) const
    {
        return window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    // Places an object as the rectangle tool does.
    void PlaceRectangle(int x, int y)
    {
        window->findChild<QToolButton *>("DrawRectanglebutton")->click();
        QTest::mousePress(Panel(), Qt::LeftButton, {}, QPoint(x, y));
        QTest::mouseRelease(Panel(), Qt::LeftButton, {}, QPoint(x + 60, y + 30));
    }
    // Answers the next file dialog with a path (a file name is taken in its folder).
    static void AnswerFileDialog(const QString &path, QString *proposed = nullptr)
    {
        OnNextModal([path, proposed](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            ASSERT_NE(dialog, nullptr);
            if (proposed && !dialog->selectedFiles().isEmpty())
                *proposed = dialog->selectedFiles().first();
            if (path.isEmpty()) {
                dialog->reject();
                return;
            }
            // Typed into the name field, as a user would.
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(path);
            static_cast<QDialog *>(dialog)->accept();
        });
    }
    // Places a text label with the text tool; its text dialog is answered OK.
    TGBusinessCardLabel *PlaceTextLabel(int x, int y)
    {
        const int before = Panel()->ObjectCount();
        window->findChild<QToolButton *>("DrawLabelButton")->click();
        OnNextModal([](QWidget *dialog) { static_cast<QDialog *>(dialog)->accept(); });
        QTest::mousePress(Panel(), Qt::LeftButton, {}, QPoint(x, y));
        QTest::mouseRelease(Panel(), Qt::LeftButton, {}, QPoint(x + 120, y + 30));
        EXPECT_EQ(Panel()->ObjectCount(), before + 1);
        return qobject_cast<TGBusinessCardLabel *>(Panel()->ObjectAt(before));
    }
    // A right click on the card as the window system delivers it: the press
    // opens a menu, which then takes the release.
    QMenu *RightClick(QPoint onPanel)
    {
        const QPoint at = Panel()->mapTo(window.get(), onPanel);
        QTest::mousePress(window->windowHandle(), Qt::RightButton, {}, at);
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QTest::mouseRelease(window->windowHandle(), Qt::RightButton, {}, at);
        return menu;
    }
    static QAction *MenuItem(QMenu *menu, const QString &caption)
    {
        for (QAction *item : menu->actions())
            if (item->text().remove('&').section('\t', 0, 0) == caption)
                return item;
        return nullptr;
    }
    // Clicks an item of an open popup menu with the mouse.
    static void ClickItem(QMenu *menu, QAction *item)
    {
        ASSERT_TRUE(menu->isVisible());
        const QPoint at = menu->actionGeometry(item).center();
        QTest::mouseMove(menu->windowHandle(), at);
        QTest::mouseClick(menu->windowHandle(), Qt::LeftButton, {}, at);
    }
    // The font dialog's list that offers a style, or null.
    static QListView *ListOffering(QFontDialog *dialog, const QString &entry)
    {
        for (QListView *list : dialog->findChildren<QListView *>()) {
            const QModelIndexList found = list->model()->match(
                list->model()->index(0, 0), Qt::DisplayRole, entry, 1, Qt::MatchExactly);
            if (!found.isEmpty())
                return list;
        }
        return nullptr;
    }
    // Clicks an entry of one of the font dialog's lists.
    static void ClickEntry(QListView *list, const QString &entry)
    {
        const QModelIndexList found = list->model()->match(
            list->model()->index(0, 0), Qt::DisplayRole, entry, 1, Qt::MatchExactly);
        ASSERT_FALSE(found.isEmpty()) << entry.toStdString();
        list->scrollTo(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(found.first()).center());
    }
    static void ClickOk(QWidget *dialog)
    {
        auto *box = dialog->findChild<QDialogButtonBox *>();
        ASSERT_NE(box, nullptr);
        box->button(QDialogButtonBox::Ok)->click();
    }
    QStringList RecentCaptions() const
    {
        QStringList captions;
        for (QAction *a : window->findChild<QMenu *>("FileMenu")->actions())
            if (a->objectName().startsWith("MRUItem"))
                captions << a->text();
        return captions;
    }

    std::unique_ptr<TMainScreen> window;
};

} // namespace

TEST_F(MainScreenTest, FirstStartShowsAnEmptyNewDesign)
{
    Start();
    EXPECT_EQ(window->windowTitle(), "Tessaro");
    EXPECT_EQ(Panel()->width(), 336);
    EXPECT_EQ(Panel()->height(), 192);
    EXPECT_EQ(Panel()->pos(), QPoint(10, 8));
    EXPECT_TRUE(Item("mnuSave")->isEnabled()); // Ctrl+S saves as a new file
    EXPECT_FALSE(Button("Savebutton")->isVisible());
    EXPECT_FALSE(Button("Cancelbutton")->isVisible());
    EXPECT_TRUE(RecentCaptions().isEmpty());
    // Without a printer the commands that need one are off; the preview
    // (of the layout's paper) and the fine tuning of PDF files stay on.
    EXPECT_FALSE(Button("PrintButton")->isEnabled());
    EXPECT_FALSE(Item("mnuPrint")->isEnabled());
    EXPECT_FALSE(Item("mnuPrinterSetup")->isEnabled());
    EXPECT_TRUE(Button("Previewbutton")->isEnabled());
    EXPECT_TRUE(Item("mnuPreview")->isEnabled());
    EXPECT_TRUE(Item("mnuPrinterFineTuning")->isEnabled());
    // The outline test page can still go into a PDF file.
    EXPECT_TRUE(Item("mnuPrintOutlineTestPage")->isEnabled());
    QFile ini(PreferencesPath());
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains("[TMainScreen_Placement]"));
    EXPECT_TRUE(QDir(TMainScreen::SavedFolder()).exists());
    EXPECT_TRUE(Item("mnuDefaultFont")->text().startsWith("Default Font: Arial, 10 pt "));
}

TEST_F(MainScreenTest, SaveAsProposesNumberedNamesAndRecordsTheFile)
{
    Start();
    PlaceRectangle(20, 20);
    EXPECT_TRUE(window->ChangesMade());
    EXPECT_TRUE(Button("Savebutton")->isVisible());
    EXPECT_EQ(Button("Savebutton")->text(), "Save As");

    QString proposed;
    const QString path = TMainScreen::SavedFolder() + "BC0001.TSC";
    AnswerFileDialog(path, &proposed);
    Button("Savebutton")->click();
    EXPECT_TRUE(proposed.endsWith("BC0001.TSC")) << proposed.toStdString();
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(window->windowTitle(), "Tessaro - BC0001.TSC");
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_FALSE(Button("Savebutton")->isVisible());
    EXPECT_EQ(RecentCaptions(), QStringList{"&1 " + path});
    EXPECT_EQ(window->ProposedFileName(), "BC0002.TSC");

    // Ctrl+S after a change saves in place.
    PlaceRectangle(120, 20);
    const qint64 before = QFileInfo(path).size();
    Item("mnuSave")->trigger();
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_GT(QFileInfo(path).size(), before);
}

TEST_F(MainScreenTest, RestartReopensTheMostRecentDesignWithUnicodePaths)
{
    Start();
    PlaceRectangle(30, 40);
    const QString path = TMainScreen::SavedFolder() + QStringLiteral("Carte é ü 名.TSC");
    AnswerFileDialog(path);
    Item("mnuSaveAs")->trigger();
    ASSERT_TRUE(QFile::exists(path));
    Restart();
    EXPECT_EQ(window->FileName(), path);
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_EQ(RecentCaptions(), QStringList{"&1 " + path});
}

TEST_F(MainScreenTest, ADesignNamedAtStartComesOverTheRecentOneWhichStaysWhenItCannot)
{
    Start();
    PlaceRectangle(30, 40);
    const QString recent = TMainScreen::SavedFolder() + QStringLiteral("Recent.TSC");
    AnswerFileDialog(recent);
    Item("mnuSaveAs")->trigger();
    PlaceRectangle(120, 40);
    const QString named = TMainScreen::SavedFolder() + QStringLiteral("Named.TSC");
    AnswerFileDialog(named);
    Item("mnuSaveAs")->trigger();
    ASSERT_TRUE(QFile::exists(named));
    window->close();
    window.reset();

    const auto startWith = [&](const QString &design) {
        window = std::make_unique<TMainScreen>();
        window->SetStartupFile(design);
        window->show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    // Named: opened, and it heads the recent designs.
    startWith(recent);
    window->close();
    window.reset();
    startWith(named);
    EXPECT_EQ(window->FileName(), named);
    EXPECT_EQ(Panel()->ObjectCount(), 2);
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_EQ(RecentCaptions().value(0), "&1 " + named);
    window->close();
    window.reset();

    // A name that is no design, or no file: said, and the recent one opens.
    const QString notADesign = TMainScreen::SavedFolder() + QStringLiteral("Notes.TSC");
    {
        QFile f(notADesign);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some notes");
    }
    for (const QString &bad : {notADesign, TMainScreen::SavedFolder() + "Gone.TSC"}) {
        SCOPED_TRACE(bad.toStdString());
        TDialogAnswer told;
        AnswerNextMessageBox(QMessageBox::Ok, &told);
        startWith(bad);
        EXPECT_TRUE(told.seen);
        EXPECT_TRUE(told.text.contains("Unable to open")) << told.text.toStdString();
        EXPECT_EQ(window->FileName(), named);
        EXPECT_EQ(Panel()->ObjectCount(), 2);
        EXPECT_FALSE(window->ChangesMade());
        window->close();
        window.reset();
    }
}

TEST_F(MainScreenTest, ExitAsksAndCancelKeepsTheProgramOpen)
{
    Start();
    PlaceRectangle(20, 20);
    TDialogAnswer asked;
    AnswerNextMessageBox(QMessageBox::Cancel, &asked);
    Item("mnuExit")->trigger();
    EXPECT_TRUE(asked.seen);
    EXPECT_EQ(asked.title, "Save");
    EXPECT_EQ(asked.text, "Save changes?");
    EXPECT_TRUE(window->isVisible());

    // The close box asks the same.
    AnswerNextMessageBox(QMessageBox::Cancel);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());

    AnswerNextMessageBox(QMessageBox::No);
    EXPECT_TRUE(window->close());
}

TEST_F(MainScreenTest, CancelledSaveAsAbandonsTheCommandThatAsked)
{
    Start();
    PlaceRectangle(20, 20);
    AnswerNextMessageBox(QMessageBox::Yes);
    AnswerFileDialog(QString()); // the Save As dialog is cancelled
    Item("mnuNew")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_TRUE(window->ChangesMade());
}

TEST_F(MainScreenTest, FailedOpenLeavesANewDesign)
{
    Start();
    PlaceRectangle(20, 20);
    const QString good = TMainScreen::SavedFolder() + "Good.TSC";
    AnswerFileDialog(good);
    Item("mnuSaveAs")->trigger();
    ASSERT_EQ(window->FileName(), good);

    const QString bad = TMainScreen::SavedFolder() + "Bad.TSC";
    QFile file(bad);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a design at all");
    file.close();
    TDialogAnswer told;
    AnswerNextMessageBox(QMessageBox::Ok, &told);
    window->OpenBCFile(bad);
    EXPECT_EQ(told.text, "Unable to open " + bad + ". Possibly corrupted, posibly not a TSC file");
    EXPECT_EQ(Panel()->ObjectCount(), 0);
    EXPECT_TRUE(window->FileName().isEmpty());
    EXPECT_EQ(window->windowTitle(), "Tessaro");
    // A later Ctrl+S cannot write the empty card over the good file: it asks
    // where to save, as Save As does.
    QString proposed;
    AnswerFileDialog(QString(), &proposed);
    Item("mnuSave")->trigger();
    EXPECT_TRUE(proposed.endsWith(".TSC")) << proposed.toStdString();
    EXPECT_GT(QFileInfo(good).size(), 2);
}

TEST_F(MainScreenTest, SavingAskedBeforeTextTheFileCannotHoldIsChanged)
{
    Start();
    // Never saved: Ctrl+S does what Save As does.
    TGBusinessCardLabel *label = PlaceTextLabel(20, 20);
    ASSERT_NE(label, nullptr);
    label->SetCaption(QString::fromUtf8("Иван Café"));
    const QString path = TMainScreen::SavedFolder() + "Text.TSC";
    AnswerFileDialog(path);
    TDialogAnswer asked;
    AnswerNextMessageBox(QMessageBox::No, &asked);
    Item("mnuSave")->trigger();
    EXPECT_TRUE(asked.seen);
    EXPECT_TRUE(asked.text.contains(label->Name() + QString::fromUtf8(": 'Иван Café'")))
        << asked.text.toStdString();
    EXPECT_FALSE(QFile::exists(path)) << "No keeps the design unsaved";
    EXPECT_TRUE(window->ChangesMade());

    // Yes saves it, with "?" for what the file cannot hold; the rest as typed.
    AnswerFileDialog(path);
    AnswerNextMessageBox(QMessageBox::Yes);
    Item("mnuSave")->trigger();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains(QByteArray("Caption\x06\x09???? Caf\xE9", 18)));
    for (char tag = 15; tag <= 20; ++tag)
        EXPECT_FALSE(bytes.contains(QByteArray("Caption") + tag));
    EXPECT_EQ(window->FileName(), path);
    EXPECT_FALSE(window->ChangesMade());

    // Text the file holds saves without a question.
    label->SetCaption(QString::fromUtf8("Jean Café €"));
    TDialogAnswer none;
    AnswerNextMessageBox(QMessageBox::No, &none);
    Item("mnuSave")->trigger();
    EXPECT_FALSE(none.seen);
}

TEST_F(MainScreenTest, RecentFilesKeepFiveAndMoveReopenedOnesUp)
{
    Start();
    QStringList paths;
    for (int i = 0; i < 6; ++i) {
        paths << TMainScreen::SavedFolder() + QStringLiteral("Card%1.TSC").arg(i);
        window->New1Click(); // each design is a new one, saved under its own name
        PlaceRectangle(10 + i * 10, 20);
        AnswerFileDialog(paths.last());
        Item("mnuSaveAs")->trigger();
    }
    QStringList captions = RecentCaptions();
    ASSERT_EQ(captions.size(), 5);
    EXPECT_EQ(captions.first(), "&1 " + paths.at(5));
    EXPECT_EQ(captions.last(), "&5 " + paths.at(1));

    // Reopening a listed file, in other letter case, moves it up without a duplicate.
    window->RecentFiles()->AddFile(paths.at(3).toUpper());
    captions = RecentCaptions();
    EXPECT_EQ(captions.size(), 5);
    EXPECT_EQ(captions.first(), "&1 " + paths.at(3).toUpper());

    // A listed file that has gone: message, entry removed, design unchanged.
    QFile::remove(paths.at(5));
    const int objects = Panel()->ObjectCount();
    TDialogAnswer told;
    AnswerNextMessageBox(QMessageBox::Ok, &told);
    window->findChild<QAction *>("MRUItem2")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(told.text, paths.at(5) + " no longer exists");
    EXPECT_EQ(RecentCaptions().size(), 4);
    EXPECT_EQ(Panel()->ObjectCount(), objects);
}

TEST_F(MainScreenTest, RecentEntriesThatAreNoFilesAreNeitherListedNorOpened)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("Pipe.TSC");
    ASSERT_TRUE(MakeFifo(fifo));
    const QString missing = dir.filePath("Gone.TSC");
    const QString zero = dir.filePath("Zero.TSC");
    ASSERT_TRUE(QFile::link("/dev/zero", zero));

    // A FIFO, a link to a device, a folder: never a design, so not listed (the
    // start would reopen the first). A missing file may come back: kept.
    TMRUFileList list;
    list.AutoSaveName = dir.filePath("TSC.INI");
    list.AutoSaveKey = "MRU";
    ASSERT_TRUE(WriteBytes(list.AutoSaveName, ("[MRU]\nF0=" + fifo + "\nF1=" + zero + "\nF2=" +
                                               dir.path() + "\nF3=" + missing + "\n")
                                                  .toUtf8()));
    list.LoadList();
    EXPECT_EQ(list.Files(), QStringList{missing});

    // Opened all the same (by a script, say): refused at once with the
    // message for a design that cannot be read.
    Start();
    TFifoWatchdog watchdog(fifo);
    TDialogAnswer told;
    AnswerNextMessageBox(QMessageBox::Ok, &told);
    window->OpenBCFile(fifo);
    EXPECT_FALSE(watchdog.Stop()) << "opening waited for a writer";
    EXPECT_EQ(told.text, "Unable to open " + fifo + ". Possibly corrupted, posibly not a TSC file");
    EXPECT_TRUE(window->FileName().isEmpty());
    EXPECT_TRUE(IsFifo(fifo));
}

TEST_F(MainScreenTest, CtrlSOnANewDesignAsksWhereAndCancelSavesNothing)
{
    Start();
    PlaceRectangle(20, 20);
    QString proposed;
    AnswerFileDialog(QString(), &proposed);
    Item("mnuSave")->trigger();
    EXPECT_TRUE(proposed.endsWith("BC0001.TSC")) << proposed.toStdString();
    EXPECT_TRUE(QDir(TMainScreen::SavedFolder()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(window->ChangesMade());
}

TEST_F(MainScreenTest, CancelThrowsChangesAwayAndReloads)
{
    Start();
    PlaceRectangle(20, 20);
    const QString path = TMainScreen::SavedFolder() + "Kept.TSC";
    AnswerFileDialog(path);
    Item("mnuSaveAs")->trigger();
    PlaceRectangle(120, 60);
    ASSERT_EQ(Panel()->ObjectCount(), 2);
    TDialogAnswer asked;
    AnswerNextMessageBox(QMessageBox::Yes, &asked);
    Button("Cancelbutton")->click();
    EXPECT_EQ(asked.title, "CANCEL");
    EXPECT_EQ(asked.text, "Cancel all changes?");
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_FALSE(window->ChangesMade());
}

TEST_F(MainScreenTest, ZoomStepsBetweenOneHundredAndOneHundredFiftyPercent)
{
    Start();
    PlaceRectangle(23, 37);
    window->SetChangesMade(false);
    TGGraphicControl *object = Panel()->ObjectAt(0);
    const TRect before = object->BoundsRect();
    auto *caption = window->findChild<QLabel *>("ZoomCaption");
    for (int i = 0; i < 7; ++i)
        window->ZoomSpinnerUpClick();
    EXPECT_EQ(caption->text(), "150%");
    // Each step rescales the current pixels, so 150 % lands near, not on, 504 x 288.
    EXPECT_LE(std::abs(Panel()->width() - 504), 3);
    EXPECT_LE(std::abs(Panel()->height() - 288), 3);
    for (int i = 0; i < 5; ++i)
        window->ZoomSpinnerDownClick();
    EXPECT_EQ(caption->text(), "100%");
    EXPECT_FLOAT_EQ(Panel()->ZoomScale(), 1.0f);
    EXPECT_EQ(Panel()->width(), 336);
    EXPECT_EQ(Panel()->height(), 192);
    const TRect after = object->BoundsRect();
    EXPECT_LE(std::abs(after.Left - before.Left), 1);
    EXPECT_LE(std::abs(after.Top - before.Top), 1);
    EXPECT_LE(std::abs(after.Right - before.Right), 1);
    EXPECT_LE(std::abs(after.Bottom - before.Bottom), 1);
    EXPECT_FALSE(window->ChangesMade());

    // The keypad "+" zooms; the main keyboard's does not.
    Panel()->setFocus();
    QApplication::setActiveWindow(window.get());
    QKeyEvent keypadPlus(QEvent::KeyRelease, Qt::Key_Plus, Qt::KeypadModifier, "+");
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : Panel(),
                            &keypadPlus);
    QKeyEvent plus(QEvent::KeyRelease, Qt::Key_Plus, Qt::NoModifier, "+");
    QApplication::sendEvent(QApplication::focusWidget() ? QApplication::focusWidget() : Panel(),
                            &plus);
    EXPECT_EQ(caption->text(), "110%");
}

TEST_F(MainScreenTest, ToolButtonsPickToolsAndDroppingReturnsToSelection)
{
    Start();
    auto *pointer = window->findChild<QToolButton *>("Pointerbutton");
    auto *text = window->findChild<QToolButton *>("DrawSuperTextButton");
    EXPECT_EQ(text->toolTip(),
              "SuperText tool \nSpecial Effects Text - fill with gradients or bitmaps");
    text->click();
    EXPECT_EQ(Panel()->PanelState(), psSuperText);
    EXPECT_FALSE(pointer->isChecked());
    QTest::mousePress(Panel(), Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseRelease(Panel(), Qt::LeftButton, {}, QPoint(90, 80));
    EXPECT_EQ(Panel()->PanelState(), psPointing);
    EXPECT_TRUE(pointer->isChecked());

    window->findChild<QToolButton *>("ShowGrid")->click();
    EXPECT_TRUE(Panel()->ShowGrid());
    window->findChild<QToolButton *>("SnapToGrid")->click();
    EXPECT_TRUE(Panel()->SnapToGrid());

    // A click in the scrolling area outside the card clears the selection.
    Panel()->Handles()->AddToSelection(Panel()->ObjectAt(0));
    QTest::mouseClick(window->findChild<QWidget *>("ScrollContents"), Qt::LeftButton, {},
                      QPoint(Panel()->width() + 15, 5));
    EXPECT_EQ(Panel()->Handles()->SelectedCount(), 0);
}

TEST_F(MainScreenTest, PrintShopGuidesShowTheBleedRoundTheCardAndAreRemembered)
{
    Start();
    QAction *guides = Item("mnuPrintShopGuides");
    EXPECT_EQ(guides->text(), "Print Shop &Guides");
    EXPECT_TRUE(window->findChild<QMenu *>("ViewMenu")->actions().contains(guides));
    auto shot = [this] { return window->findChild<QWidget *>("ScrollContents")->grab().toImage(); };
    const QRgb grey = shot().pixel(2, 2);
    // The pixels of a column of the card's holder, beside the card, that are reddish.
    auto reddish = [this](const QImage &image, int x) {
        int n = 0;
        for (int y = Panel()->y() + 20; y < Panel()->y() + 120; ++y)
            n += qRed(image.pixel(x, y)) > qGreen(image.pixel(x, y)) + 20;
        return n;
    };
    // The band of the bleed beyond the card, its dashed outer edge, the
    // margin beyond that, and the safe line inside the card.
    auto expectGuides = [&](int bleed, const char *when) {
        const QImage image = shot();
        const int left = Panel()->x();
        EXPECT_EQ(Panel()->pos(), QPoint(bleed + 8, bleed + 8)) << when;
        EXPECT_EQ(reddish(image, left - 2), 100) << when;
        EXPECT_EQ(reddish(image, left + Panel()->width() + bleed - 1), 100) << when;
        EXPECT_GT(reddish(image, left - bleed), 50) << when;
        EXPECT_EQ(image.pixel(left - bleed - 2, Panel()->y() + 30), grey) << when;
        EXPECT_EQ(image.pixel(left + bleed, Panel()->y() + bleed), qRgb(0, 102, 204)) << when;
        EXPECT_EQ(image.pixel(left + bleed + 1, Panel()->y() + bleed + 1), qRgb(255, 255, 255));
    };
    guides->trigger();
    expectGuides(12, "at 100 %");
    for (int i = 0; i < 5; ++i)
        window->findChild<QToolButton *>("ZoomUp")->click();
    expectGuides(18, "at 150 %");
    EXPECT_FALSE(window->ChangesMade()); // a view of the design, no change of it

    // Kept in TSC.INI at once, and shown again at the next start.
    EXPECT_TRUE(ReadBytes(PreferencesPath()).contains("[View]\nPrintShopGuides=1\n"));
    EXPECT_FALSE(ReadBytes(PreferencesPath()).contains("[Layout]")); // the view's key alone
    Restart();
    EXPECT_TRUE(Item("mnuPrintShopGuides")->isChecked());
    expectGuides(12, "after a restart");
    Item("mnuPrintShopGuides")->trigger();
    EXPECT_EQ(Panel()->pos(), QPoint(10, 8));
    EXPECT_EQ(reddish(shot(), 4), 0);
    EXPECT_TRUE(ReadBytes(PreferencesPath()).contains("PrintShopGuides=0"));
}

TEST_F(MainScreenTest, DefaultFontCaptionListsTheStyles)
{
    Start();
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(12);
    font.setBold(true);
    font.setUnderline(true);
    Panel()->SetSurfaceFont(font);
    window->SetDefaultFontCaption();
    EXPECT_EQ(Item("mnuDefaultFont")->text(), "Default Font: Courier New, 12 pt , bold, underline");
}

TEST_F(MainScreenTest, PersonalInformationSubmenuOffersOnlyTheValuesThatAreSet)
{
    {
        QFile ini(PreferencesPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[Personal]\r\nName=\r\nCompany=Acme & Co\r\nEmail=jo@acme.example\r\n");
    }
    Start();
    TGBusinessCardLabel *label = PlaceTextLabel(20, 20);
    ASSERT_NE(label, nullptr);
    ASSERT_EQ(label->Caption(), "Text");

    QMenu *menu = RightClick(QPoint(label->Left() + 10, label->Top() + 10));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu, label->ObjectMenu());
    QAction *info = MenuItem(menu, "Personal Information");
    ASSERT_NE(info, nullptr);
    ClickItem(menu, info);
    QMenu *submenu = info->menu();
    ASSERT_TRUE(WaitFor([&] { return submenu->isVisible(); }));

    const QStringList captions = TGBusinessCardLabel::PersonalInfoCaptions();
    ASSERT_EQ(submenu->actions().size(), captions.size());
    for (int i = 0; i < captions.size(); ++i) {
        const bool set = i == 1 || i == 8;
        EXPECT_EQ(submenu->actions().at(i)->isEnabled(), set) << captions.at(i).toStdString();
    }
    // An empty value cannot be picked: the label keeps its text.
    ClickItem(submenu, MenuItem(submenu, "Name"));
    QCoreApplication::processEvents();
    EXPECT_EQ(label->Caption(), "Text");

    if (!submenu->isVisible()) {
        menu = RightClick(QPoint(label->Left() + 10, label->Top() + 10));
        ASSERT_NE(menu, nullptr);
        ClickItem(menu, info);
        ASSERT_TRUE(WaitFor([&] { return submenu->isVisible(); }));
    }
    ClickItem(submenu, MenuItem(submenu, "Company"));
    QCoreApplication::processEvents();
    EXPECT_EQ(label->Caption(), "Acme & Co");
    EXPECT_TRUE(window->ChangesMade());
}

TEST_F(MainScreenTest, DefaultFontDialogKeepsAFontTheUserDidNotChange)
{
    Start();
    ASSERT_EQ(Panel()->SurfaceFont().family(), "Arial");
    // Arial is not installed; fontconfig draws it with its metric twin.
    const QString twin = QFontInfo(QFont(QStringLiteral("Arial"))).family();

    QString preset;
    bool boldOffered = false;
    OnNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFontDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        preset = dialog->currentFont().family();
        boldOffered = ListOffering(dialog, "Bold") != nullptr;
        ClickOk(dialog);
    });
    Item("mnuDefaultFont")->trigger();
    EXPECT_EQ(preset, twin);
    EXPECT_TRUE(boldOffered);
    EXPECT_EQ(Panel()->SurfaceFont().family(), "Arial");
    EXPECT_EQ(Item("mnuDefaultFont")->text(), "Default Font: Arial, 10 pt ");
    EXPECT_EQ(LoadPreferences(PreferencesPath()).DefaultFont.Name, "Arial");

    // A new style keeps the name.
    OnNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFontDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        if (QListView *styles = ListOffering(dialog, "Bold"))
            ClickEntry(styles, "Bold");
        ClickOk(dialog);
    });
    Item("mnuDefaultFont")->trigger();
    EXPECT_EQ(Panel()->SurfaceFont().family(), "Arial");
    EXPECT_TRUE(Panel()->SurfaceFont().bold());
    EXPECT_EQ(Item("mnuDefaultFont")->text(), "Default Font: Arial, 10 pt , bold");

    // Another family is taken as chosen.
    OnNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFontDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        QListView *families = ListOffering(dialog, "Liberation Serif");
        EXPECT_NE(families, nullptr);
        if (families)
            ClickEntry(families, "Liberation Serif");
        ClickOk(dialog);
    });
    Item("mnuDefaultFont")->trigger();
    EXPECT_EQ(Panel()->SurfaceFont().family(), "Liberation Serif");
    EXPECT_EQ(LoadPreferences(PreferencesPath()).DefaultFont.Name, "Liberation Serif");

    // Cancel changes nothing.
    OnNextModal([](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
    Item("mnuDefaultFont")->trigger();
    EXPECT_EQ(Panel()->SurfaceFont().family(), "Liberation Serif");
}

TEST_F(MainScreenTest, LabelAndSelectionFontCommandsKeepAnUnchangedFont)
{
    Start();
    const QString twin = QFontInfo(QFont(QStringLiteral("Arial"))).family();
    TGBusinessCardLabel *label = PlaceTextLabel(20, 20);
    ASSERT_NE(label, nullptr);
    ASSERT_EQ(label->LabelFont().Name(), "Arial");
    const QPoint onLabel(label->Left() + 10, label->Top() + 10);

    // The label's own "Font" item.
    QMenu *menu = RightClick(onLabel);
    ASSERT_EQ(menu, label->ObjectMenu());
    QString preset;
    OnNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFontDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        preset = dialog->currentFont().family();
        ClickOk(dialog);
    });
    ClickItem(menu, MenuItem(menu, "Font"));
    EXPECT_EQ(preset, twin);
    EXPECT_EQ(label->LabelFont().Name(), "Arial");
    EXPECT_EQ(label->LabelFont().Size(), 10);

    // The card's "Font" for the selection, opened on an empty part of the card.
    ASSERT_EQ(Panel()->Handles()->SelectedCount(), 1);
    menu = RightClick(QPoint(Panel()->width() - 20, Panel()->height() - 20));
    ASSERT_EQ(menu, Panel()->SurfaceMenu());
    preset.clear();
    OnNextModal([&](QWidget *w) {
        auto *dialog = qobject_cast<QFontDialog *>(w);
        ASSERT_NE(dialog, nullptr);
        preset = dialog->currentFont().family();
        ClickOk(dialog);
    });
    ClickItem(menu, MenuItem(menu, "Font"));
    EXPECT_EQ(preset, twin);
    EXPECT_EQ(label->LabelFont().Name(), "Arial");
}

TEST_F(MainScreenTest, EnterSavesAndEscapeCancelsWhileTheirButtonsShow)
{
    Start();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    PlaceRectangle(20, 20);
    ASSERT_TRUE(Button("Savebutton")->isVisible());
    Panel()->setFocus();

    const QString path = TMainScreen::SavedFolder() + "Entered.TSC";
    AnswerFileDialog(path);
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_EQ(window->windowTitle(), "Tessaro - Entered.TSC");

    PlaceRectangle(120, 60);
    ASSERT_EQ(Panel()->ObjectCount(), 2);
    // Back from the file dialog, the main window is the active one again.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Panel()->setFocus();
    TDialogAnswer asked;
    AnswerNextMessageBox(QMessageBox::Yes, &asked);
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(asked.text, "Cancel all changes?");
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_FALSE(window->ChangesMade());

    // With the buttons hidden the keys press nothing: no dialog opens.
    ASSERT_FALSE(Button("Savebutton")->isVisible());
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Panel()->setFocus();
    QTest::keyClick(window->windowHandle(), Qt::Key_Return);
    QTest::keyClick(window->windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(Panel()->ObjectCount(), 1);
}

TEST_F(MainScreenTest, AClickAnywhereOnTheGreyAreaClearsTheSelection)
{
    Start();
    window->resize(1000, 760);
    QCoreApplication::processEvents();
    PlaceRectangle(20, 20);
    QWidget *viewport = window->ScrollBox()->viewport();
    for (const QPoint at :
         {QPoint(viewport->width() - 10, viewport->height() - 10),
          QPoint(Panel()->width() + 200, 30), QPoint(40, Panel()->height() + 150)}) {
        Panel()->Handles()->ClearSelection();
        Panel()->Handles()->AddToSelection(Panel()->ObjectAt(0));
        ASSERT_EQ(Panel()->Handles()->SelectedCount(), 1);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                          viewport->mapTo(window.get(), at));
        EXPECT_EQ(Panel()->Handles()->SelectedCount(), 0) << at.x() << "," << at.y();
    }
    // A click on the card itself is the card's.
    Panel()->Handles()->AddToSelection(Panel()->ObjectAt(0));
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                      Panel()->mapTo(window.get(), QPoint(50, 35)));
    EXPECT_EQ(Panel()->Handles()->SelectedCount(), 1);
}

TEST_F(MainScreenTest, BottomButtonsNeverCoverEachOther)
{
    Start();
    PlaceRectangle(20, 20); // Save and Cancel show as well
    QWidget *bar = window->findChild<QWidget *>("ButtonBar");
    QList<QWidget *> controls;
    for (const char *name :
         {"ZoomSpinner", "Label1", "ZoomCaption", "Savebutton", "Cancelbutton", "PrintButton",
          "Previewbutton", "Helpbutton", "MouseHelpButton", "CloseButton"})
        controls << bar->findChild<QWidget *>(QString::fromLatin1(name));
    ASSERT_FALSE(controls.contains(nullptr));

    auto rectOf = [&](QWidget *w) {
        return QRect(w->mapTo(window.get(), QPoint(0, 0)), w->size());
    };
    // A window manager may give the window less than it asks for.
    for (const int width : {1000, 622, 450, 300}) {
        window->windowHandle()->resize(width, 480);
        ASSERT_TRUE(WaitFor([&] { return window->width() == width; })) << width;
        QCoreApplication::processEvents();
        for (int i = 0; i < controls.size(); ++i) {
            EXPECT_TRUE(window->rect().contains(rectOf(controls[i])))
                << width << ": " << controls[i]->objectName().toStdString();
            for (int j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(rectOf(controls[i]).intersects(rectOf(controls[j])))
                    << width << ": " << controls[i]->objectName().toStdString() << " and "
                    << controls[j]->objectName().toStdString();
        }
        // The card area keeps the rest of the window.
        EXPECT_GE(window->ScrollBox()->height(), 150) << width;
    }
    // At the usual width everything is on one row of the 47-pixel bar.
    window->windowHandle()->resize(622, 480);
    ASSERT_TRUE(WaitFor([&] { return window->width() == 622; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(bar->height(), 47);
    const int row = rectOf(Button("PrintButton")).center().y();
    for (QWidget *w : controls)
        EXPECT_LE(std::abs(rectOf(w).center().y() - row), 1) << w->objectName().toStdString();
}

namespace {

// The first object's bounds as a design file holds them.
TRect StoredBounds(const QString &path)
{
    TCardModel design;
    design.Open(path);
    const QList<TGGraphicControl *> objects = CardObjects(design.Objects());
    return objects.isEmpty() ? TRect() : objects.first()->BoundsRect();
}

} // namespace

TEST_F(MainScreenTest, TheFirstNudgeAfterOpeningIsAChangeAndSavingZoomedNeverShifts)
{
    Start();
    PlaceRectangle(251, 25);
    const QString path = TMainScreen::SavedFolder() + "Drift.TSC";
    AnswerFileDialog(path);
    Item("mnuSaveAs")->trigger();
    ASSERT_TRUE(QFile::exists(path));
    const TRect saved = StoredBounds(path);

    Restart(); // reopens the design
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_FALSE(window->ChangesMade());
    TGGraphicControl *object = Panel()->ObjectAt(0);
    Panel()->Handles()->AddToSelection(object);
    QTest::keyClick(Panel(), Qt::Key_Right);
    EXPECT_EQ(object->Left(), saved.Left + 1);
    EXPECT_TRUE(window->ChangesMade()); // Exit would ask
    Item("mnuSave")->trigger();
    EXPECT_FALSE(window->ChangesMade());
    const TRect nudged = StoredBounds(path);
    EXPECT_EQ(nudged.Left, saved.Left + 1);

    // Saved again and again at 110 % to 150 %: the file keeps the same bounds.
    for (int step = 0; step < 5; ++step) {
        window->ZoomSpinnerUpClick();
        window->SetChangesMade(true);
        Item("mnuSave")->trigger();
        const TRect again = StoredBounds(path);
        EXPECT_EQ(again.Left, nudged.Left) << "step " << step;
        EXPECT_EQ(again.Top, nudged.Top) << "step " << step;
        EXPECT_EQ(again.Right, nudged.Right) << "step " << step;
        EXPECT_EQ(again.Bottom, nudged.Bottom) << "step " << step;
    }
    // And back at 100 % the object is exactly where it was.
    for (int step = 0; step < 5; ++step)
        window->ZoomSpinnerDownClick();
    EXPECT_EQ(object->BoundsRect(), nudged);
}

static QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(MainScreenTest, BothSidesAreEditedSavedAndReopenedTheFrontFileAsWithoutABack)
{
    Start();
    auto *frontButton = window->findChild<QToolButton *>("FrontSideButton");
    auto *backButton = window->findChild<QToolButton *>("BackSideButton");
    ASSERT_TRUE(frontButton && backButton);
    PlaceRectangle(20, 20);
    const QString path = TMainScreen::SavedFolder() + "Sides.TSC";
    AnswerFileDialog(path);
    Item("mnuSaveAs")->trigger();
    const QByteArray frontAlone = ReadWholeFile(path);
    EXPECT_FALSE(QFile::exists(TMainScreen::SavedFolder() + "Sides.back.TSC"));

    // The back is a card of its own, reached by Ctrl+Tab, the menu and the switch.
    window->ZoomSpinnerUpClick();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window->windowHandle(), Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_TRUE(window->ShowingBack());
    EXPECT_TRUE(backButton->isChecked());
    EXPECT_TRUE(Item("mnuBack")->isChecked());
    EXPECT_TRUE(window->windowTitle().endsWith("(Back)"));
    EXPECT_EQ(Panel()->ObjectCount(), 0);
    PlaceRectangle(100, 40);
    PlaceRectangle(150, 80);
    EXPECT_TRUE(window->ChangesMade());
    // Undo takes back the back's last step only.
    Item("mnuUndo")->trigger();
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_TRUE(window->ChangesMade());
    Item("mnuFront")->trigger();
    EXPECT_FALSE(window->ShowingBack());
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    window->ZoomSpinnerDownClick();
    EXPECT_EQ(Panel()->ObjectAt(0)->Left(), 20);
    Item("mnuSave")->trigger();
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_EQ(ReadWholeFile(path), frontAlone);
    const QString backPath = TMainScreen::SavedFolder() + "Sides.back.TSC";
    ASSERT_TRUE(QFile::exists(backPath));
    // Placed at 110 %, the back's object is stored at 100 %.
    const TRect backBounds = StoredBounds(backPath);
    EXPECT_NEAR(backBounds.Left, 91, 1);

    Restart(); // reopens the design with its back
    EXPECT_FALSE(window->ShowingBack());
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    backButton = window->findChild<QToolButton *>("BackSideButton");
    backButton->click();
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    EXPECT_EQ(Panel()->ObjectAt(0)->BoundsRect(), backBounds);
    EXPECT_FALSE(window->ChangesMade());

    // Emptied, the back is no back: saving takes its file away. New starts
    // with an empty back on the front.
    Panel()->Handles()->AddToSelection(Panel()->ObjectAt(0));
    QTest::keyClick(Panel(), Qt::Key_Delete);
    EXPECT_TRUE(window->ChangesMade());
    Item("mnuSave")->trigger();
    EXPECT_FALSE(QFile::exists(backPath));
    EXPECT_EQ(ReadWholeFile(path), window->FrontModel().DesignBytes());
    PlaceRectangle(30, 30);
    AnswerNextMessageBox(QMessageBox::No);
    Item("mnuNew")->trigger();
    EXPECT_FALSE(window->ShowingBack());
    EXPECT_EQ(window->BackModel().Count(), 0);
    EXPECT_FALSE(window->ChangesMade());
}

TEST_F(MainScreenTest, ABackThatCannotBeReadIsSaidAndNeverOverwrittenByAnEmptyBack)
{
    Start();
    PlaceRectangle(20, 20);
    const QString path = TMainScreen::SavedFolder() + "Damaged.TSC";
    AnswerFileDialog(path);
    Item("mnuSaveAs")->trigger();
    const QString backPath = TMainScreen::SavedFolder() + "Damaged.back.TSC";
    const QByteArray damagedBytes("\x01TPF0\x07TGImage\x00\x04Left\x7f", 20);
    QFile damaged(backPath);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(damagedBytes);
    damaged.close();

    TDialogAnswer told;
    AnswerNextMessageBox(QMessageBox::Ok, &told);
    window->OpenBCFile(path);
    EXPECT_TRUE(told.text.startsWith("Unable to open ")) << told.text.toStdString();
    EXPECT_EQ(Panel()->ObjectCount(), 1);
    window->SetChangesMade(true);
    Item("mnuSave")->trigger();
    EXPECT_EQ(ReadWholeFile(backPath), damagedBytes);
}
