// Choosing what prints where: the positions of "Print Cards" and of
// tessaro-batch --positions, the bottom-margin warning before printing, and
// the printer nudges (the default printer's and each queue's own).
#include "PrintTestSupport.h"
#include "common/TestSupport.h"
#include "document/ProgramFolder.h"
#include "printing/Printft.h"
#include "printing/Printlbl.h"
#include "printing/Selectsl.h"
#include "printing/Warnbot.h"
#include "report/RPrinter.h"
#include "shell/IniFile.h"
#include "shell/Main.h"
#include "shell/Preferences.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace TestCard;
constexpr int Dpi = 300;

// The positions (row x 2 + column of the standard layout) whose caption is
// on a page, in print order; every caption must sit where its card's label
// is, shifted down by `down` inches.
QList<int> CaptionPositions(const QString &pdf, int page, double down = 0.0)
{
    QList<int> found;
    for (const TPdfWord &w : PdfWords(pdf)) {
        if (w.page != page || w.text != QLatin1String("Tessaro"))
            continue;
        const double cardX = w.inches.left() - LabelLeft / 96.0 - 0.75;
        const double cardY = w.inches.top() - LabelTop / 96.0 - 0.5 - down;
        const int column = int(std::lround(cardX / 3.5));
        const int row = int(std::lround(cardY / 2.0));
        EXPECT_NEAR(cardX, column * 3.5, 0.06) << "caption at " << w.inches.left();
        EXPECT_NEAR(cardY, row * 2.0, 0.1) << "caption at " << w.inches.top();
        found << row * 2 + column;
    }
    return found;
}

// The top edge of the first caption found, in inches.
double FirstCaptionTop(const QString &pdf)
{
    for (const TPdfWord &w : PdfWords(pdf))
        if (w.text == QLatin1String("Tessaro"))
            return w.inches.top();
    return -1.0;
}

class PrintPositionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        savedCheck = TMainScreen::PrinterCheck;
        savedBottom = TMainScreen::UnprintableBottomMargin;
        TMainScreen::PrinterCheck = [](bool) { return true; };
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        design = dir.filePath("card.tsc");
        WriteDesign(design);
        pdf = dir.filePath("sheet.pdf");
    }
    void TearDown() override
    {
        window.reset();
        TMainScreen::PrinterCheck = savedCheck;
        TMainScreen::UnprintableBottomMargin = savedBottom;
    }

    // The main window with the design open, printing into the PDF file.
    void Start()
    {
        window = std::make_unique<TMainScreen>();
        window->show();
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
        ASSERT_NE(window->MainReport(), nullptr);
        window->MainReport()->SetOutputFile(pdf);
        window->OpenBCFile(design);
    }

    // Runs `choose` on "Print Cards" when it opens, then presses "Ok".
    void OnPrintCards(std::function<void(TSelectSpecificLabels &)> choose)
    {
        WhenModal([](QWidget *w) { return qobject_cast<TSelectSpecificLabels *>(w) != nullptr; },
                  [this, choose](QWidget *w) {
                      auto *dialog = static_cast<TSelectSpecificLabels *>(w);
                      printCardsShown = true;
                      if (choose)
                          choose(*dialog);
                      if (dialog->isVisible())
                          dialog->OKbutton->click();
                  });
    }
    void CloseStatusWhenDone()
    {
        WhenModal(
            [](QWidget *w) {
                auto *status = qobject_cast<TLabelPrinter *>(w);
                return status && status->JobRan();
            },
            [](QWidget *w) { static_cast<TLabelPrinter *>(w)->CancelButton->click(); });
    }

    QTemporaryDir dir;
    QString design;
    QString pdf;
    std::unique_ptr<TMainScreen> window;
    bool printCardsShown = false;
    std::function<bool(bool)> savedCheck;
    std::function<double(TCanvasReport &)> savedBottom;
};

TEST_F(PrintPositionsTest, PrintAsksForThePositionsAndPrintsExactlyThose)
{
    Start();
    // "Ok" with two positions of the top row clicked off and two sheets.
    OnPrintCards([](TSelectSpecificLabels &dialog) {
        EXPECT_EQ(dialog.PositionCount(), 10);
        EXPECT_TRUE(dialog.PrinterLabel->text().contains(QStringLiteral("sheet.pdf")));
        QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, dialog.Rectangles().at(0).center());
        QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, dialog.Rectangles().at(1).center());
        dialog.pages->setValue(2);
    });
    CloseStatusWhenDone();
    window->mnuPrintClick();
    ASSERT_TRUE(printCardsShown);
    ASSERT_TRUE(QFile::exists(pdf));
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const QList<int> rest{2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_EQ(CaptionPositions(pdf, 1), rest);
    EXPECT_EQ(CaptionPositions(pdf, 2), rest);
    EXPECT_FALSE(window->PrintSelection.at(0));
    EXPECT_FALSE(window->PrintSelection.at(1));
    EXPECT_TRUE(window->PrintSelection.at(2));

    // Cancel prints nothing and keeps the positions as they were.
    QFile::remove(pdf);
    printCardsShown = false;
    WhenModal([](QWidget *w) { return qobject_cast<TSelectSpecificLabels *>(w) != nullptr; },
              [this](QWidget *w) {
                  auto *dialog = static_cast<TSelectSpecificLabels *>(w);
                  printCardsShown = true;
                  EXPECT_FALSE(dialog->Selection().at(0)); // the last choice is shown
                  dialog->SelectAll->click();
                  QTest::keyClick(dialog, Qt::Key_Escape);
              });
    window->mnuPrintClick();
    EXPECT_TRUE(printCardsShown);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(window->PrintSelection.at(0));
}

TEST_F(PrintPositionsTest, BottomMarginWarningBeforePrinting)
{
    TMainScreen::UnprintableBottomMargin = [](TCanvasReport &) { return 0.667; };
    Start();
    EXPECT_TRUE(window->Preferences().ShowBottomMarginWarning);

    // Without the bottom row nothing runs into the margin: no warning.
    int alerts = 0;
    QString botMarg, difference;
    auto watchAlert = [&](bool dontShow, bool proceed) {
        WhenModal([](QWidget *w) { return qobject_cast<TWarnBottomMargin *>(w) != nullptr; },
                  [&, dontShow, proceed](QWidget *w) {
                      auto *alert = static_cast<TWarnBottomMargin *>(w);
                      ++alerts;
                      botMarg = alert->BotMarg->text();
                      difference = alert->Difference->text();
                      alert->DontShowCheck->setChecked(dontShow);
                      (proceed ? alert->ContinueButton : alert->CancelPrintingButton)->click();
                  },
                  3000);
    };
    OnPrintCards([](TSelectSpecificLabels &dialog) {
        QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, dialog.Rectangles().at(8).center());
        QTest::mouseClick(dialog.PaintBox1, Qt::LeftButton, {}, dialog.Rectangles().at(9).center());
    });
    CloseStatusWhenDone();
    window->mnuPrintClick();
    EXPECT_EQ(alerts, 0);
    EXPECT_EQ(CaptionPositions(pdf, 1), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));

    // All positions: the warning with the figures of the layout; "Continue" prints.
    QFile::remove(pdf);
    watchAlert(false, true);
    OnPrintCards([](TSelectSpecificLabels &dialog) { dialog.SelectAll->click(); });
    CloseStatusWhenDone();
    window->mnuPrintClick();
    EXPECT_EQ(alerts, 1);
    EXPECT_EQ(botMarg, QStringLiteral("Business Cards need to print to within 0.5 inches of the "
                                      "bottom, but the current printer has a bottom margin "
                                      "setting of : 0.667 inches"));
    EXPECT_EQ(difference, QStringLiteral("This could result in the bottom of the last two "
                                         "business cards being cut off by approximately: 0.167 "
                                         "inches"));
    EXPECT_EQ(CaptionPositions(pdf, 1).size(), 10);

    // Ticked and "Cancel Printing": nothing prints, and the warning is off for good.
    QFile::remove(pdf);
    watchAlert(true, false);
    OnPrintCards({});
    window->mnuPrintClick();
    EXPECT_EQ(alerts, 2);
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(window->Preferences().ShowBottomMarginWarning);
    EXPECT_FALSE(LoadPreferences(PreferencesPath()).ShowBottomMarginWarning);
    QApplication::processEvents();

    watchAlert(false, false);
    OnPrintCards({});
    CloseStatusWhenDone();
    window->mnuPrintClick();
    EXPECT_EQ(alerts, 2);
    EXPECT_EQ(CaptionPositions(pdf, 1).size(), 10);
    // Let the unused watcher give up before the window goes.
    QTest::qWait(3100);
}

TEST_F(PrintPositionsTest, FineTuningStoresOnOkAndMovesThePrint)
{
    Start();
    QAction *item = window->findChild<QAction *>(QStringLiteral("mnuPrinterFineTuning"));
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());
    OnPrintCards({});
    CloseStatusWhenDone();
    window->mnuPrintClick();
    const double before = FirstCaptionTop(pdf);
    ASSERT_GT(before, 0.0);

    // Three presses of the top margin's down arrow, then "Ok".
    QString shown;
    WhenModal([](QWidget *w) { return qobject_cast<TPrintFineTune *>(w) != nullptr; },
              [&shown](QWidget *w) {
                  auto *dialog = static_cast<TPrintFineTune *>(w);
                  auto *down = dialog->findChild<QToolButton *>("TopMarginSpinnerDown");
                  for (int i = 0; i < 3; ++i)
                      QTest::mouseClick(down, Qt::LeftButton);
                  shown = dialog->lTopMarginNudge->text();
                  dialog->OKButton->click();
              });
    item->trigger();
    EXPECT_EQ(shown, QStringLiteral("Increase by 3/32\""));
    EXPECT_EQ(window->Preferences().Nudges.TopMarginNudge, 3);
    {
        const TIniFile ini(PreferencesPath());
        EXPECT_EQ(ini.ReadString("Printer", "TopMarginNudge", QString()), QStringLiteral("3"));
    }

    // "Default" then "Cancel": nothing changes, in the program or the file.
    QFile file(PreferencesPath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    file.close();
    WhenModal([](QWidget *w) { return qobject_cast<TPrintFineTune *>(w) != nullptr; },
              [](QWidget *w) {
                  auto *dialog = static_cast<TPrintFineTune *>(w);
                  EXPECT_EQ(dialog->lTopMarginNudge->text(), QStringLiteral("Increase by 3/32\""));
                  dialog->DefaultButton->click();
                  dialog->Cancelbutton->click();
              });
    item->trigger();
    EXPECT_EQ(window->Preferences().Nudges.TopMarginNudge, 3);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), stored);
    file.close();

    OnPrintCards({});
    CloseStatusWhenDone();
    window->mnuPrintClick();
    // 3/32 inch lower, within one device pixel at 300 dpi.
    EXPECT_NEAR(FirstCaptionTop(pdf) - before, 3 / 32.0, 1.0 / Dpi);
}

TEST_F(PrintPositionsTest, BatchPrintsTheListedPositions)
{
    // The default printer's nudges apply to a PDF file, not another queue's.
    {
        TIniFile ini(PreferencesPath());
        ini.WriteInteger("Printer", "TopMarginNudge", 4);
        ini.WriteInteger("Printer OtherQueue", "TopMarginNudge", -8);
    }
    TBatchRun run = RunBatch({"print", design, "-o", pdf, "--positions", "2,5-6", "--outline"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CaptionPositions(pdf, 1, 4 / 32.0), (QList<int>{1, 4, 5}));
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    for (int index : {1, 4, 5}) {
        const double x = 0.75 + (index % 2) * 3.5;
        const double y = 0.5 + 4 / 32.0 + (index / 2) * 2.0;
        EXPECT_GE(FindHorizontalLine(pages[0], Dpi, y, x, x + 3.5, 1), 0) << index;
        EXPECT_GE(FindVerticalLine(pages[0], Dpi, x, y, y + 2.0, 1), 0) << index;
    }
    // Nothing at the positions left out.
    for (int index : {0, 2, 3, 6, 7, 8, 9}) {
        const QRectF card(0.75 + (index % 2) * 3.5 + 0.05,
                          0.5 + 4 / 32.0 + (index / 2) * 2.0 + 0.05, 3.4, 1.9);
        EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, card), 0) << index;
    }

    // Ranges may overlap and run to the last position.
    run = RunBatch({"print", design, "-o", pdf, "--positions", " 9-10 , 10,1"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(CaptionPositions(pdf, 1, 4 / 32.0), (QList<int>{0, 8, 9}));

    for (const char *wrong : {"0", "11", "3-2", "a", "1,,2", "-3", "4-", ""}) {
        SCOPED_TRACE(wrong);
        QFile::remove(pdf);
        run = RunBatch({"print", design, "-o", pdf, "--positions", wrong});
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains("--positions")) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
    run = RunBatch({"--help"});
    EXPECT_TRUE(run.out.contains("--positions LIST"));
}

TEST_F(PrintPositionsTest, AQueuesOwnNudgesOverrideTheDefaultOnThatQueue)
{
    if (CupsQueue().isEmpty() || CupsPdfFolder().isEmpty())
        GTEST_SKIP() << "no CUPS PDF queue (scripts/test starts one; TESSARO_CUPS_QUEUE unset)";
    {
        TIniFile ini(PreferencesPath());
        ini.WriteInteger("Printer", "TopMarginNudge", 8);
        ini.WriteInteger("Printer " + CupsQueue(), "TopMarginNudge", 2);
        ini.WriteInteger("Printer " + CupsQueue(), "LeftMarginNudge", 4);
    }
    ASSERT_TRUE(WaitForIdleCupsQueue());
    const QStringList before = CupsPdfFiles();
    const TBatchRun run =
        RunBatch({"print", design, "--printer", CupsQueue(), "--outline", "--positions", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString printed = WaitForNewCupsPdf(before);
    ASSERT_FALSE(printed.isEmpty());
    const QList<QImage> pages = RenderPdf(printed, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const double x = 0.75 + 4 / 32.0;
    const double y = 0.5 + 2 / 32.0;
    EXPECT_GE(FindHorizontalLine(pages[0], Dpi, y, x, x + 3.5, 1), 0);
    EXPECT_GE(FindVerticalLine(pages[0], Dpi, x, y, y + 2.0, 1), 0);
    EXPECT_LT(FindHorizontalLine(pages[0], Dpi, 0.5 + 8 / 32.0, x, x + 3.5, 1), 0);
}

} // namespace
