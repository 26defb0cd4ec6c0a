// Two-sided designs: each back printed on the page after its sheet's fronts,
// where it lands behind its front once the sheet turns over, the back nudges,
// and the two-sided job a queue receives (duplex unit, or turned by hand).
#include "PrintTestSupport.h"
#include "common/TestSupport.h"
#include "document/CardModel.h"
#include "document/ProgramFolder.h"
#include "printing/Printlbl.h"
#include "printing/Selectsl.h"
#include "printing/SheetRenderer.h"
#include "report/RPrinter.h"
#include "shell/IniFile.h"
#include "shell/Main.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace TestCard;
constexpr double PaperWidth = 8.5;
constexpr double PaperHeight = 11.0;

// The card corners, in inches, of a caption's words on a page, found from
// where the caption sits in its card on the front (`inset`).
QList<QPointF> Corners(const QString &pdf, int page, const QString &caption, QPointF inset)
{
    QList<QPointF> corners;
    for (const TPdfWord &w : PdfWords(pdf))
        if (w.page == page && w.text == caption)
            corners << w.inches.topLeft() - inset;
    return corners;
}

// Whether a corner is among the corners found, to 0.01 inch.
bool Has(const QList<QPointF> &corners, QPointF corner)
{
    return std::any_of(corners.cbegin(), corners.cend(), [&](QPointF c) {
        return std::abs(c.x() - corner.x()) <= 0.01 && std::abs(c.y() - corner.y()) <= 0.01;
    });
}

class TwoSidedPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir(ProgramFolder()).removeRecursively();
        QDir().mkpath(ProgramFolder());
        design = dir.filePath("card.TSC");
        WriteDesign(design, "FRONT");
        WriteDesign(BackSidePath(design), "BACK");
        pdf = dir.filePath("sheet.pdf");
    }

    // The FRONT caption's place in its card, from the first card of page 1
    // (at 0.75, 0.5 without nudges).
    QPointF FrontInset()
    {
        for (const TPdfWord &w : PdfWords(pdf))
            if (w.page == 1 && w.text == QLatin1String("FRONT"))
                return w.inches.topLeft() - QPointF(0.75, 0.5);
        ADD_FAILURE() << "no FRONT on page 1";
        return {};
    }

    QTemporaryDir dir;
    QString design;
    QString pdf;
};

TEST_F(TwoSidedPrintTest, BatchPrintsEachBackBehindItsFront)
{
    // Long edge: every back at its front's place mirrored across the
    // paper's vertical centre line.
    TBatchRun run = RunBatch({"print", design, "-o", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 2);
    const QPointF inset = FrontInset();
    const QList<QPointF> fronts = Corners(pdf, 1, "FRONT", inset);
    const QList<QPointF> backs = Corners(pdf, 2, "BACK", inset);
    ASSERT_EQ(fronts.size(), 10);
    ASSERT_EQ(backs.size(), 10);
    EXPECT_TRUE(Corners(pdf, 2, "FRONT", inset).isEmpty());
    for (const QPointF f : fronts)
        EXPECT_TRUE(Has(backs, QPointF(PaperWidth - f.x() - 3.5, f.y()))) << f.x() << "," << f.y();

    // Short edge: rows mirrored across the horizontal centre line.
    run = RunBatch({"print", design, "-o", pdf, "--flip", "short"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QPointF> shortBacks = Corners(pdf, 2, "BACK", inset);
    ASSERT_EQ(shortBacks.size(), 10);
    for (const QPointF f : fronts)
        EXPECT_TRUE(Has(shortBacks, QPointF(f.x(), PaperHeight - f.y() - 2.0)))
            << f.x() << "," << f.y();

    // A chosen position prints its back at the mirrored place; copies are
    // sheets, each front followed by its back.
    run = RunBatch({"print", design, "-o", pdf, "--positions", "1", "--copies", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 4);
    for (int page : {1, 3}) {
        EXPECT_EQ(Corners(pdf, page, "FRONT", inset), (QList<QPointF>{{0.75, 0.5}}));
        const QList<QPointF> back = Corners(pdf, page + 1, "BACK", inset);
        ASSERT_EQ(back.size(), 1);
        EXPECT_TRUE(Has(back, {PaperWidth - 0.75 - 3.5, 0.5}));
    }

    // One side alone.
    run = RunBatch({"print", design, "-o", pdf, "--back-only", "--positions", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    ASSERT_EQ(PdfPageCount(pdf), 1);
    EXPECT_TRUE(Has(Corners(pdf, 1, "BACK", inset), {PaperWidth - 4.25 - 3.5, 0.5}));
    run = RunBatch({"print", design, "-o", pdf, "--front-only"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(RunBatch({"print", design, "-o", pdf, "--flip", "diagonal"}).exitCode, 2);
    QFile::remove(BackSidePath(design));
    run = RunBatch({"print", design, "-o", pdf, "--back-only"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("no back side")) << run.err.toStdString();
}

TEST_F(TwoSidedPrintTest, TheTwoSidedTestPageCrossesEachCentreOnBothSides)
{
    TSheetRenderer sheet;
    const TCardLayout layout; // 2 x 5 cards of 3.5 x 2 in on Letter
    TDuplexSettings duplex;
    duplex.BackNudges.LeftMarginNudge = 4; // 1/8 inch
    sheet.SetLayout(layout, TPrinterNudges());
    sheet.SetBackLayout(layout, duplex);
    sheet.HasBack = true;
    sheet.CrossesOnly = true;
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(layout.Papersize);
    ASSERT_TRUE(sheet.Render(report));
    const QList<QImage> pages = RenderPdf(pdf, 100);
    ASSERT_EQ(pages.size(), 2);
    const auto crossed = [](const QImage &page, double x, double y) {
        return DarkPixelsIn(page, 100, QRectF(x - 0.05, y - 0.05, 0.1, 0.1)) > 0;
    };
    for (int row = 0; row < 5; ++row) {
        const double y = 0.5 + row * 2.0 + 1.0;
        // Front: the centres of both columns. Back: the mirrored centres,
        // moved by the back nudge only.
        EXPECT_TRUE(crossed(pages[0], 2.5, y)) << row;
        EXPECT_TRUE(crossed(pages[0], 6.0, y)) << row;
        EXPECT_TRUE(crossed(pages[1], PaperWidth - 2.5 + 0.125, y)) << row;
        EXPECT_TRUE(crossed(pages[1], PaperWidth - 6.0 + 0.125, y)) << row;
        EXPECT_FALSE(crossed(pages[1], PaperWidth - 2.5 - 0.3, y)) << row;
    }
}

TEST_F(TwoSidedPrintTest, BackNudgesMoveOnlyTheBacks)
{
    {
        TIniFile ini(PreferencesPath());
        ini.WriteInteger("Printer", "LeftMarginNudge", 2);
        ini.WriteInteger("Printer", "BackLeftMarginNudge", 3);
        ini.WriteInteger("Printer", "BackTopMarginNudge", -2);
        ini.WriteInteger("Printer", "BackHorizontalSpacing", 1);
    }
    const TBatchRun run = RunBatch({"print", design, "-o", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QPointF inset = FrontInset() - QPointF(2 / 32.0, 0);
    const QList<QPointF> fronts = Corners(pdf, 1, "FRONT", inset);
    const QList<QPointF> backs = Corners(pdf, 2, "BACK", inset);
    ASSERT_EQ(backs.size(), 10);
    for (int row = 0; row < 5; ++row) {
        const double y = 0.5 + row * 2.0;
        EXPECT_TRUE(Has(fronts, {0.75 + 2 / 32.0, y}));
        EXPECT_TRUE(Has(fronts, {4.25 + 2 / 32.0, y}));
        // The back page's grid starts at the mirrored right-hand column.
        const double left = PaperWidth - 4.25 - 3.5 + 3 / 32.0;
        EXPECT_TRUE(Has(backs, {left, y - 2 / 32.0})) << row;
        EXPECT_TRUE(Has(backs, {left + 3.5 + 1 / 32.0, y - 2 / 32.0})) << row;
    }
}

// On the test script's paused queue, whose driver prints both sides.
class TwoSidedQueueTest : public TwoSidedPrintTest
{
protected:
    void SetUp() override
    {
        if (!queue.Ok())
            GTEST_SKIP() << "no CUPS server of the test script (scripts/test starts one)";
        TwoSidedPrintTest::SetUp();
    }
    void TearDown() override
    {
        window.reset();
        TMainScreen::AskToTurnSheets = savedAsk;
    }

    // Prints from the window with the back side open, choosing in "Print Cards".
    void PrintFromWindow(bool manual)
    {
        WhenModal([](QWidget *w) { return qobject_cast<TSelectSpecificLabels *>(w) != nullptr; },
                  [manual](QWidget *w) {
                      auto *dialog = static_cast<TSelectSpecificLabels *>(w);
                      EXPECT_TRUE(dialog->SidesBox->isVisible());
                      EXPECT_TRUE(dialog->ManualDuplex->isEnabled());
                      dialog->ManualDuplex->setChecked(manual);
                      dialog->OKbutton->click();
                  });
        for (int turns = 0; turns < (manual ? 2 : 1); ++turns)
            WhenModal(
                [](QWidget *w) {
                    auto *status = qobject_cast<TLabelPrinter *>(w);
                    return status && status->JobRan();
                },
                [](QWidget *w) { static_cast<TLabelPrinter *>(w)->CancelButton->click(); });
        window->mnuPrintClick();
    }

    TPausedCupsQueue queue;
    std::unique_ptr<TMainScreen> window;
    std::function<bool(const TDuplexSettings &, int, QWidget *)> savedAsk =
        TMainScreen::AskToTurnSheets;
};

TEST_F(TwoSidedQueueTest, BatchAsksTheQueueForBothSides)
{
    TBatchRun run = RunBatch({"print", design, "--printer", queue.Name()});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(queue.LastJobAttributes().value("sides"), "two-sided-long-edge");
    run = RunBatch({"print", design, "--printer", queue.Name(), "--flip", "short"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(queue.LastJobAttributes().value("sides"), "two-sided-short-edge");
    EXPECT_EQ(queue.JobCount(), 2);
}

TEST_F(TwoSidedQueueTest, WindowPrintsInOneDuplexJobOrTurnsTheSheetsByHand)
{
    TMainScreen::PrinterCheck = [](bool) { return true; };
    window = std::make_unique<TMainScreen>();
    window->show();
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
    ASSERT_NE(window->MainReport(), nullptr);
    window->MainReport()->SetPrinterName(queue.Name());
    window->OpenBCFile(design);
    if (!window->BackModel().HasContent())
        window->BackModel().Open(BackSidePath(design));
    for (int i = 8; i < 10; ++i)
        window->PrintSelection[i] = false; // no bottom-margin warning
    int turns = 0;
    TMainScreen::AskToTurnSheets = [&turns](const TDuplexSettings &, int, QWidget *) {
        ++turns;
        return true;
    };

    PrintFromWindow(false);
    ASSERT_EQ(queue.JobCount(), 1);
    EXPECT_EQ(queue.LastJobAttributes().value("sides"), "two-sided-long-edge");
    EXPECT_EQ(turns, 0);
    // The printer's own two-sided setting is as it was.
    EXPECT_NE(window->MainReport()->Printer()->duplex(), QPrinter::DuplexLongSide);

    // By hand: the fronts, the turn, the backs as a job of their own; the
    // choice is kept for the printer.
    PrintFromWindow(true);
    EXPECT_EQ(turns, 1);
    EXPECT_EQ(queue.JobCount(), 3);
    EXPECT_NE(queue.LastJobAttributes().value("sides"), "two-sided-long-edge");
    EXPECT_TRUE(window->Preferences().DuplexFor(queue.Name()).Manual);
    // Printing is no change of either side.
    EXPECT_FALSE(window->FrontModel().ChangesMade());
    EXPECT_FALSE(window->BackModel().ChangesMade());
}

} // namespace
