// The print commands as the user and scripts reach them: the main window's
// "Print to PDF..." and preview, tessaro-batch print / render, and the CUPS
// queue of the test script.
#include "PrintTestSupport.h"
#include "common/HostileFiles.h"
#include "common/TestSupport.h"
#include "objects/gbclabel32.h"
#include "printing/Printft.h"
#include "printing/Printlbl.h"
#include "printing/Prevue.h"
#include "printing/Selectsl.h"
#include "report/RPreview.h"
#include "report/RPrinter.h"
#include "shell/Main.h"
#include "shell/Preferences.h"
#include "shell/ShellUtil.h"
#include "surface/Gbcpanel32.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>

namespace {

constexpr int Dpi = 300;
using TRun = TBatchRun;
using namespace TestCard;

class PrintCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        TMainScreen::PrinterCheck = [](bool) { return false; };
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
    QAction *Item(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }

    // Closes the status window with its button once the job has run, keeping
    // what it showed.
    void CloseStatusWhenDone()
    {
        WhenModal(
            [](QWidget *w) {
                auto *status = qobject_cast<TLabelPrinter *>(w);
                return status && status->JobRan();
            },
            [this](QWidget *w) {
                auto *status = qobject_cast<TLabelPrinter *>(w);
                statusTitle = status->windowTitle();
                statusText = status->RStatusLabel->text();
                buttonText = status->CancelButton->text();
                status->CancelButton->click();
            });
    }

    // Answers "Print Cards" with "Ok", keeping the positions it shows.
    static void AcceptPrintCards()
    {
        WhenModal([](QWidget *w) { return qobject_cast<TSelectSpecificLabels *>(w) != nullptr; },
                  [](QWidget *w) { static_cast<TSelectSpecificLabels *>(w)->OKbutton->click(); });
    }

    QTemporaryDir dir;
    std::unique_ptr<TMainScreen> window;
    QString statusTitle, statusText, buttonText;
};

TEST_F(PrintCommandsTest, PrintToPdfWorksWithoutAPrinter)
{
    Start();
    QAction *toPdf = Item("mnuPrintToPdf");
    ASSERT_NE(toPdf, nullptr);
    EXPECT_TRUE(toPdf->isEnabled());
    EXPECT_FALSE(Item("mnuPrint")->isEnabled());
    const QList<QAction *> items = window->findChild<QMenu *>("FileMenu")->actions();
    EXPECT_EQ(items.indexOf(toPdf), items.indexOf(Item("mnuPreview")) + 1);

    // Saved where designs are saved: the program's own data folder.
    const QString design = TMainScreen::SavedFolder() + "card.tsc";
    WriteDesign(design);
    window->OpenBCFile(design);
    window->BusinessCardPanel()->SetZoom(2.0f);

    QString proposed;
    WhenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [this, &proposed](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  // The design's name is proposed; the user types another, without ".pdf".
                  proposed = dialog->selectedFiles().value(0);
                  dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                      ->setText(dir.filePath("sheet"));
                  static_cast<QDialog *>(dialog)->accept();
              });
    // Then the positions, for the file; it has no printer to set up.
    bool setupOffered = true;
    int positions = 0;
    WhenModal([](QWidget *w) { return qobject_cast<TSelectSpecificLabels *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *cards = static_cast<TSelectSpecificLabels *>(w);
                  setupOffered = cards->PrinterSetupButton->isEnabled();
                  positions = cards->PositionCount();
                  cards->OKbutton->click();
              });
    CloseStatusWhenDone();
    toPdf->trigger();
    EXPECT_FALSE(setupOffered);
    EXPECT_EQ(positions, 10);

    // The design's name, in the user's documents (or home) folder.
    EXPECT_EQ(QFileInfo(proposed).fileName(), QStringLiteral("card.pdf"));
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir())
        documents = QDir::homePath();
    EXPECT_EQ(QFileInfo(proposed).absolutePath(), QFileInfo(documents).absoluteFilePath());
    EXPECT_FALSE(proposed.startsWith(ProgramFolder())) << proposed.toStdString();
    const QString pdf = dir.filePath("sheet.pdf");
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(statusTitle, QStringLiteral("Print Status "));
    // The status names the file written; no printer was involved.
    EXPECT_EQ(statusText, QStringLiteral("The sheet was written to %1.").arg(pdf));
    EXPECT_EQ(buttonText, QStringLiteral("OK"));
    EXPECT_FLOAT_EQ(window->BusinessCardPanel()->ZoomScale(), 2.0f); // zoom given back

    // The caption prints once per position, where the label sits on each card.
    int found = 0;
    for (const TPdfWord &w : PdfWords(pdf)) {
        if (w.text != QLatin1String("Tessaro"))
            continue;
        const int index = found++;
        const double x = 0.75 + (index % 2) * 3.5 + LabelLeft / 96.0;
        const double y = 0.5 + (index / 2) * 2.0 + LabelTop / 96.0;
        EXPECT_NEAR(w.inches.left(), x, 0.06) << "card " << index + 1;
        EXPECT_GE(w.inches.top(), y - 0.03) << "card " << index + 1;
        EXPECT_LE(w.inches.bottom(), y + LabelHeight / 96.0 + 0.03) << "card " << index + 1;
        // Its height follows the font: 20 points plus the font's ascent and descent.
        EXPECT_GT(w.inches.height(), 0.9 * LabelPoints / 72.0);
        EXPECT_LT(w.inches.height(), 1.4 * LabelPoints / 72.0);
    }
    EXPECT_EQ(found, 10);

    // Positions the user switched off stay blank.
    window->PrintSelection[1] = false;
    CloseStatusWhenDone();
    ASSERT_TRUE(window->PrintToPdf(dir.filePath("second.pdf")));
    int second = 0;
    for (const TPdfWord &w : PdfWords(dir.filePath("second.pdf")))
        second +=
            w.text == QLatin1String("Tessaro") && w.inches.left() > 4.0 && w.inches.top() < 2.5;
    EXPECT_EQ(second, 0);
}

TEST_F(PrintCommandsTest, PreviewShowsTheRecordedCard)
{
    Start();
    window->PrintSelection[0] = true;
    CloseStatusWhenDone();
    int pages = -1;
    QString title;
    QImage shown;
    WhenModal([](QWidget *w) { return qobject_cast<TPreviewForm *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *preview = static_cast<TPreviewForm *>(w);
                  title = preview->windowTitle();
                  pages = preview->FilePreview1().PageCount();
                  preview->FilePreview1().SetZoomFactor(100);
                  shown = preview->FilePreview1().RenderPage(1);
                  preview->accept();
              });
    window->mnuPreviewClick();
    EXPECT_EQ(statusTitle, QStringLiteral("Preview Status"));
    EXPECT_TRUE(statusText.contains(QStringLiteral("Business Card preview ready!")));
    EXPECT_EQ(title, QStringLiteral("Preview Page 1 of 1"));
    EXPECT_EQ(pages, 1);
    ASSERT_FALSE(shown.isNull());
    EXPECT_TRUE(window->BusinessCardPanel()->Previewing());
}

// Print to PDF and the batch tool use the nudges of [Printer]; without a
// printer those are previewed on the layout's paper and fine-tuned.
TEST_F(PrintCommandsTest, PreviewAndFineTuningWorkWithoutAPrinter)
{
    Start();
    QPushButton *previewButton = window->findChild<QPushButton *>("Previewbutton");
    ASSERT_TRUE(previewButton->isEnabled());
    QAction *fineTuning = Item("mnuPrinterFineTuning");
    ASSERT_TRUE(fineTuning->isEnabled());

    QString printer;
    WhenModal([](QWidget *w) { return qobject_cast<TPrintFineTune *>(w) != nullptr; },
              [&printer](QWidget *w) {
                  auto *dialog = static_cast<TPrintFineTune *>(w);
                  printer = dialog->PrinterLabel->text();
                  for (int i = 0; i < 3; ++i) // the down arrow moves the print down
                      dialog->findChild<QToolButton *>("TopMarginSpinnerDown")->click();
                  dialog->OKButton->click();
              });
    fineTuning->trigger();
    EXPECT_EQ(printer, QStringLiteral("Printer: none (Print to PDF)"));
    EXPECT_EQ(window->Preferences().Nudges.TopMarginNudge, 3);
    EXPECT_EQ(LoadPreferences(PreferencesPath()).Nudges.TopMarginNudge, 3);

    // The preview is of a Letter sheet (the layout's paper) with the nudge.
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);
    window->OpenBCFile(design);
    CloseStatusWhenDone();
    double dpi = 0;
    QImage page;
    WhenModal([](QWidget *w) { return qobject_cast<TPreviewForm *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *preview = static_cast<TPreviewForm *>(w);
                  preview->FilePreview1().SetZoomFactor(100);
                  dpi = preview->FilePreview1().ScreenDpi();
                  page = preview->FilePreview1().RenderPage(1);
                  preview->accept();
              });
    previewButton->click();
    EXPECT_EQ(statusTitle, QStringLiteral("Preview Status"));
    ASSERT_GT(dpi, 0);
    EXPECT_EQ(page.size(), QSize(qRound(8.5 * dpi), qRound(11.0 * dpi)));
    // The card's frame starts 0.5 + 3/32 inch from the top.
    int top = -1;
    const int x = qRound(1.5 * dpi);
    for (int y = 0; y < page.height() && top < 0; ++y)
        if (qGray(page.pixel(x, y)) < 250)
            top = y;
    EXPECT_NEAR(top, (0.5 + 3 / 32.0) * dpi, 1.5);
}

TEST_F(PrintCommandsTest, BatchPrintsAndRendersWithTheUsersSettings)
{
    TPreferences preferences;
    preferences.Nudges.TopMarginNudge = 4;
    preferences.Nudges.LeftMarginNudge = -2;
    preferences.Nudges.VerticalSpacing = 1;
    ASSERT_TRUE(SavePreferences(PreferencesPath(), preferences));
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);

    const QString pdf = dir.filePath("batch.pdf");
    TRun run = RunBatch({"print", design, "-o", pdf, "--outline", "--copies", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 2);
    for (const QImage &page : pages) {
        for (int index = 0; index < 10; ++index) {
            const double x = 0.75 - 2 / 32.0 + (index % 2) * 3.5;
            const double y = 0.5 + 4 / 32.0 + (index / 2) * (2.0 + 1 / 32.0);
            EXPECT_GE(FindVerticalLine(page, Dpi, x, y, y + 2.0, 1), 0) << index;
            EXPECT_GE(FindVerticalLine(page, Dpi, x + 3.5, y, y + 2.0, 1), 0) << index;
            EXPECT_GE(FindHorizontalLine(page, Dpi, y, x, x + 3.5, 1), 0) << index;
            EXPECT_GE(FindHorizontalLine(page, Dpi, y + 2.0, x, x + 3.5, 1), 0) << index;
        }
    }
    int captions = 0;
    for (const TPdfWord &w : PdfWords(pdf))
        captions += w.text == QLatin1String("Tessaro");
    EXPECT_EQ(captions, 20);

    const QString png = dir.filePath("card.png");
    run = RunBatch({"render", design, "-o", png, "--zoom", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QImage card(png);
    ASSERT_FALSE(card.isNull());
    EXPECT_EQ(card.size(), QSize(672, 384));
    int dark = 0;
    for (int y = LabelTop * 2; y < (LabelTop + LabelHeight) * 2; ++y)
        for (int x = LabelLeft * 2; x < (LabelLeft + LabelWidth) * 2; ++x)
            dark += qGray(card.pixel(x, y)) < 128;
    EXPECT_GT(dark, 200); // the caption
    int outside = 0;
    for (int y = 200; y < 380; ++y)
        for (int x = 20; x < 600; ++x)
            outside += qGray(card.pixel(x, y)) < 128;
    EXPECT_EQ(outside, 0);
}

TEST_F(PrintCommandsTest, BatchFailuresAreClear)
{
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);

    TRun run = RunBatch({"print", dir.filePath("missing.tsc"), "-o", dir.filePath("x.pdf")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("missing.tsc")) << run.err.toStdString();

    run = RunBatch({"print", design, "--printer", "NoSuchTessaroQueue"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("NoSuchTessaroQueue")) << run.err.toStdString();

    run = RunBatch({"print", design, "-o", dir.filePath("no/such/folder/x.pdf")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("no/such/folder/x.pdf")));

    run = RunBatch({"render", design, "-o", dir.filePath("no/such/folder/x.png")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_FALSE(run.err.isEmpty());

    for (const QStringList &wrong : {QStringList{"print", design},
                                     QStringList{"print", design, "-o", "a.pdf", "--copies", "0"},
                                     QStringList{"print", design, "-o", "a.pdf", "--printer", "Q"},
                                     QStringList{"render", design},
                                     QStringList{"render", design, "-o", "a.png", "--zoom", "x"},
                                     QStringList{"print", design, "-o", "a.pdf", "--bogus"}}) {
        run = RunBatch(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("Usage")) << wrong.join(' ').toStdString();
    }
    run = RunBatch({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("print DESIGN --printer QUEUE"));
    EXPECT_TRUE(run.out.contains("render DESIGN -o CARD.png"));
}

TEST_F(PrintCommandsTest, PrintToPdfOnAFullDiskSaysSoAndKeepsTheOldSheet)
{
    Start();
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);
    window->OpenBCFile(design);
    const QString pdf = dir.filePath("sheet.pdf");
    const QByteArray old("%PDF-1.4 the sheet printed last week\n");
    {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    CloseStatusWhenDone();
    QString told;
    WhenModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
              [&told](QWidget *w) {
                  auto *box = static_cast<QMessageBox *>(w);
                  told = box->text();
                  box->accept();
              });
    bool printed = true;
    {
        TFileSizeLimit full(1024);
        ASSERT_TRUE(full.Ok());
        printed = window->PrintToPdf(pdf);
    }
    EXPECT_FALSE(printed);
    EXPECT_TRUE(told.contains("sheet.pdf")) << told.toStdString();
    // The status window says the job failed, not that it was cancelled.
    EXPECT_TRUE(statusText.contains(QStringLiteral("Business Card Print Failed!")))
        << statusText.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
}

TEST_F(PrintCommandsTest, BatchRefusesLayoutsThatMakeNoSense)
{
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);
    const QString pdf = dir.filePath("sheet.pdf");
    const struct
    {
        const char *ini;
        const char *key;
    } cases[] = {
        {"[Layout]\nTopMargin=99000\n", "TopMargin"},
        {"[Layout]\nTopMargin=-99000\n", "TopMargin"},
        {"[Layout]\nVPitch=0\n", "VPitch"},
        {"[Layout]\nWidth=100000\nHPitch=100000\n", "Width"},
        {"[Printer]\nLeftMarginNudge=32000\n", "LeftMarginNudge"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.ini);
        QFile ini(PreferencesPath());
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ini.write(c.ini);
        ini.close();
        const TRun run = RunBatch({"print", design, "-o", pdf});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("The value of %1 in section").arg(c.key)))
            << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(PreferencesPath())) << run.err.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

TEST_F(PrintCommandsTest, BatchPrintOnAFullDiskFailsAndKeepsTheOldSheet)
{
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);
    const QString pdf = dir.filePath("sheet.pdf");
    const QByteArray old("%PDF-1.4 the sheet printed last week\n");
    {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    // The tool may write 1 KB; a sheet of cards needs more.
    const TRun run = RunBatch({"print", design, "-o", pdf}, [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = 1024;
        setrlimit(RLIMIT_FSIZE, &small);
    });
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("sheet.pdf")) << run.err.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 2);
}

TEST_F(PrintCommandsTest, BatchDoesNotWaitOnASettingsFileThatIsAFifo)
{
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);
    QFile::remove(PreferencesPath());
    ASSERT_TRUE(MakeFifo(PreferencesPath()));
    TFifoWatchdog watchdog(PreferencesPath());
    const TRun run = RunBatch({"print", design, "-o", dir.filePath("sheet.pdf")}, {}, 20000);
    EXPECT_FALSE(watchdog.Stop()) << "the tool waited for a writer";
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    int cards = 0;
    for (const TPdfWord &w : PdfWords(dir.filePath("sheet.pdf")))
        cards += w.text == QLatin1String("Tessaro");
    EXPECT_EQ(cards, 10); // the standard layout
    EXPECT_TRUE(IsFifo(PreferencesPath()));
}

TEST_F(PrintCommandsTest, CupsQueueReceivesTheSheet)
{
    if (CupsQueue().isEmpty() || CupsPdfFolder().isEmpty())
        GTEST_SKIP() << "no CUPS PDF queue (scripts/test starts one; TESSARO_CUPS_QUEUE unset)";
    TPreferences preferences;
    preferences.Nudges.TopMarginNudge = 8;
    preferences.Nudges.HorizontalSpacing = 2;
    ASSERT_TRUE(SavePreferences(PreferencesPath(), preferences));
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);

    ASSERT_TRUE(WaitForIdleCupsQueue());
    QStringList before = CupsPdfFiles();
    TRun run = RunBatch({"print", design, "--printer", CupsQueue(), "--outline"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString pdf = WaitForNewCupsPdf(before);
    ASSERT_FALSE(pdf.isEmpty()) << "cups-pdf wrote nothing into " << CupsPdfFolder().toStdString();
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_NEAR(pages[0].width(), 2550, 1);
    EXPECT_NEAR(pages[0].height(), 3300, 1);
    for (int index = 0; index < 10; ++index) {
        const double x = 0.75 + (index % 2) * (3.5 + 2 / 32.0);
        const double y = 0.5 + 8 / 32.0 + (index / 2) * 2.0;
        EXPECT_GE(FindVerticalLine(pages[0], Dpi, x, y, y + 2.0, 1), 0) << index;
        EXPECT_GE(FindVerticalLine(pages[0], Dpi, x + 3.5, y, y + 2.0, 1), 0) << index;
        EXPECT_GE(FindHorizontalLine(pages[0], Dpi, y, x, x + 3.5, 1), 0) << index;
    }
    // cups-pdf turns the glyphs into Type 3 fonts without text, so the
    // caption is looked for as ink inside the label on every card.
    for (int index = 0; index < 10; ++index) {
        const double x = 0.75 + (index % 2) * (3.5 + 2 / 32.0) + LabelLeft / 96.0;
        const double y = 0.5 + 8 / 32.0 + (index / 2) * 2.0 + LabelTop / 96.0;
        EXPECT_GT(DarkPixelsIn(pages[0], Dpi, QRectF(x, y, LabelWidth / 96.0, LabelHeight / 96.0)),
                  500)
            << index;
    }

    // Three copies: three sheets, or one drawn sheet the queue repeats.
    ASSERT_TRUE(WaitForIdleCupsQueue());
    before = CupsPdfFiles();
    run = RunBatch({"print", design, "--printer", CupsQueue(), "--copies", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString copies = WaitForNewCupsPdf(before);
    ASSERT_FALSE(copies.isEmpty());
    const int sheets = PdfPageCount(copies);
    if (sheets == 1) { // the queue was asked for three copies of one sheet
        EXPECT_EQ(CupsSheetsOfLastJob(QStringLiteral("Tessaro")), 3);
    } else {
        EXPECT_EQ(sheets, 3);
    }
}

TEST_F(PrintCommandsTest, PrintCommandPrintsOnTheDefaultQueue)
{
    if (CupsQueue().isEmpty() || CupsPdfFolder().isEmpty())
        GTEST_SKIP() << "no CUPS PDF queue (scripts/test starts one; TESSARO_CUPS_QUEUE unset)";
    TMainScreen::PrinterCheck = [](bool report) { return PrinterAvailable(report); };
    Start();
    ASSERT_TRUE(window->PrinterReady());
    ASSERT_NE(window->MainReport(), nullptr);
    EXPECT_TRUE(Item("mnuPrint")->isEnabled());
    EXPECT_TRUE(Item("mnuPreview")->isEnabled());
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);
    window->OpenBCFile(design);
    for (int i = 0; i < 10; ++i)
        window->PrintSelection[i] = i == 9; // only the last card

    ASSERT_TRUE(WaitForIdleCupsQueue());
    const QStringList before = CupsPdfFiles();
    AcceptPrintCards();
    CloseStatusWhenDone();
    QPushButton *print = window->findChild<QPushButton *>("PrintButton");
    ASSERT_TRUE(print->isEnabled());
    print->click();
    EXPECT_EQ(statusText, QStringLiteral("Print job completed and sent to printer!"));
    const QString pdf = WaitForNewCupsPdf(before);
    ASSERT_FALSE(pdf.isEmpty());
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const QRectF label(LabelLeft / 96.0, LabelTop / 96.0, LabelWidth / 96.0, LabelHeight / 96.0);
    EXPECT_GT(DarkPixelsIn(pages[0], Dpi, label.translated(4.25, 8.5)), 500);
    EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, QRectF(0, 0, 8.5, 8.45)), 0);
}

TEST_F(PrintCommandsTest, APrinterThatVanishedIsReportedAndTheDesignKept)
{
    TMainScreen::PrinterCheck = [](bool) { return true; };
    Start();
    ASSERT_NE(window->MainReport(), nullptr);
    const QString design = dir.filePath("card.tsc");
    WriteDesign(design);
    window->OpenBCFile(design);
    const int objects = window->BusinessCardPanel()->ObjectCount();
    QFile file(design);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    window->BusinessCardPanel()->SetZoom(1.5f);
    // The queue the report was set up for is gone by the time the user prints.
    window->MainReport()->SetPrinterName(QStringLiteral("NoSuchTessaroQueue"));

    AcceptPrintCards();
    CloseStatusWhenDone();
    QString message;
    WhenModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
              [&message](QWidget *w) {
                  auto *box = static_cast<QMessageBox *>(w);
                  message = box->text();
                  box->accept();
              });
    window->mnuPrintClick();

    EXPECT_TRUE(statusText.contains(QStringLiteral("Business Card Print Failed!")))
        << statusText.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("NoSuchTessaroQueue"))) << message.toStdString();
    EXPECT_FALSE(window->ChangesMade());
    EXPECT_EQ(window->BusinessCardPanel()->ObjectCount(), objects);
    EXPECT_FLOAT_EQ(window->BusinessCardPanel()->ZoomScale(), 1.5f);
    EXPECT_FALSE(window->BusinessCardPanel()->Printing());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), bytes);
}

} // namespace
