// Sheets printed into PDF files and read back: where the cards land, how many
// sheets come out, which positions print, the background art and the preview.
#include "MixedCard.h"
#include "PrintTestSupport.h"
#include "common/TestSupport.h"
#include "printing/Printlbl.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"
#include "surface/GGraphc.h"
#include "surface/Gbcpanel32.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int Dpi = 300;

// A card object that runs an action when it prints for the n-th time, as a
// user pressing the status window's button while the cards print.
class TActionObject : public TGGraphicControl
{
public:
    TActionObject(QObject *owner, int when, std::function<void()> action)
        : TGGraphicControl(owner)
        , m_when(when)
        , m_action(std::move(action))
    {
    }
    void PrintTo(TBaseReport *, double, double) override
    {
        if (++printed == m_when)
            m_action();
    }
    int printed = 0;

private:
    int m_when;
    std::function<void()> m_action;
};

class SheetPrintTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        panel = std::make_unique<TGBusinessCardPanel32>();
        panel->SetOwner(panel.get());
        panel->setFixedSize(336, 192);
    }

    // A job on an empty card, laid out as given, into a fresh PDF file.
    std::unique_ptr<TLabelPrinter> Job(const TCardLayout &layout, const TPrinterNudges &nudges = {})
    {
        auto job = std::make_unique<TLabelPrinter>();
        job->Panel = panel.get();
        job->Renderer().SetLayout(layout, nudges);
        job->Renderer().ToPrinter = true;
        return job;
    }

    // Runs the job on a PDF report; the file's path.
    QString RunToPdf(TLabelPrinter &job, int paper, const QString &name = "sheet.pdf")
    {
        const QString path = dir.filePath(name);
        report = std::make_unique<TReportPrinter>();
        report->SetOutputFile(path);
        report->SetPaperSize(paper);
        report->SetOrientation(poPortrait);
        job.SetPrinterReport(report.get());
        job.RunJob();
        EXPECT_FALSE(job.Failed()) << job.ErrorMessage().toStdString();
        return path;
    }

    // All four edges of the card whose top-left corner is (x, y) inches are
    // drawn within one pixel; `bottom` is false where the next row covers it.
    static void ExpectOutline(const QImage &page, double x, double y, double w, double h,
                              bool bottom, const std::string &what)
    {
        EXPECT_GE(FindVerticalLine(page, Dpi, x, y, y + h, 1), 0) << what << " left edge";
        EXPECT_GE(FindVerticalLine(page, Dpi, x + w, y, y + h, 1), 0) << what << " right edge";
        EXPECT_GE(FindHorizontalLine(page, Dpi, y, x, x + w, 1), 0) << what << " top edge";
        if (bottom) {
            EXPECT_GE(FindHorizontalLine(page, Dpi, y + h, x, x + w, 1), 0)
                << what << " bottom edge";
        }
    }

    QTemporaryDir dir;
    std::unique_ptr<TGBusinessCardPanel32> panel;
    std::unique_ptr<TReportPrinter> report;
};

TEST_F(SheetPrintTest, OutlinesLandAtTheLayoutPositionsPlusTheNudges)
{
    const TCardLayout layout; // 2 x 5 on Letter, 3.5 x 2.0 cards touching
    TPrinterNudges nudges;
    nudges.TopMarginNudge = 8;    // +0.25 inch
    nudges.LeftMarginNudge = -4;  // -0.125 inch
    nudges.VerticalSpacing = -1;  // rows 1/32 inch closer
    nudges.HorizontalSpacing = 3; // columns 3/32 inch apart
    auto job = Job(layout, nudges);
    job->Renderer().OutlineOnly = true;
    const QString pdf = RunToPdf(*job, TCardLayout::PaperLetter);

    EXPECT_EQ(job->Renderer().CardsDrawn(), 10);
    EXPECT_EQ(job->Extralabel->text(), QString()); // cleared at the end
    EXPECT_EQ(job->CancelButton->text(), QStringLiteral("OK"));
    // Into a file: the status names it.
    EXPECT_EQ(job->RStatusLabel->text(), QStringLiteral("The sheet was written to %1.").arg(pdf));

    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(pages[0].size(), QSize(2550, 3300)); // Letter
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 2; ++col) {
            const double x = 0.75 - 4 / 32.0 + col * (3.5 + 3 / 32.0);
            const double y = 0.5 + 8 / 32.0 + row * (2.0 - 1 / 32.0);
            ExpectOutline(pages[0], x, y, 3.5, 2.0, row == 4,
                          "card " + std::to_string(row * 2 + col + 1));
        }
    }
    // Nothing where the first card would be without the nudges.
    EXPECT_LT(FindVerticalLine(pages[0], Dpi, 0.75, 0.75, 2.75, 1), 0);
    EXPECT_LT(FindHorizontalLine(pages[0], Dpi, 0.5, 0.75, 4.25, 1), 0);
}

TEST_F(SheetPrintTest, CopiesGiveAsManySheets)
{
    const TCardLayout layout;
    auto job = Job(layout);
    job->Renderer().OutlineOnly = true;
    job->Renderer().Copies = 3;
    const QString pdf = RunToPdf(*job, TCardLayout::PaperLetter);
    const int pages = PdfPageCount(pdf);
    EXPECT_EQ(pages, report->PrinterCopiesItself() ? 1 : 3);
    if (pages == 1) {
        // The device repeats the sheet itself.
        EXPECT_EQ(report->Copies(), 3);
        EXPECT_EQ(job->Renderer().CardsDrawn(), 10);
    } else {
        EXPECT_EQ(pages, 3);
        // Drawn once; the file repeats the sheet.
        EXPECT_EQ(job->Renderer().CardsDrawn(), 10);
        const QList<QImage> images = RenderPdf(pdf, Dpi);
        ASSERT_EQ(images.size(), 3);
        for (int p = 0; p < 3; ++p) {
            ExpectOutline(images[p], 0.75, 0.5, 3.5, 2.0, false, "first card of a sheet");
            ExpectOutline(images[p], 4.25, 8.5, 3.5, 2.0, true, "last card of a sheet");
        }
    }
}

TEST_F(SheetPrintTest, StatusWindowShowsThePageBeingPrinted)
{
    // What the status line shows while the job runs, seen whenever the job
    // lets the window repaint.
    QStringList shown;
    auto watch = [&](TLabelPrinter &job) {
        auto *timer = new QTimer(&job);
        QObject::connect(timer, &QTimer::timeout, &job, [&shown, &job] {
            const QString text = job.RStatusLabel->text().section(QLatin1Char('\n'), 0, 0);
            if (job.JobRan() || (!shown.isEmpty() && shown.last() == text))
                return;
            shown << text;
        });
        timer->start(0);
    };

    auto job = Job(TCardLayout());
    job->Renderer().OutlineOnly = true;
    job->Renderer().Copies = 3;
    watch(*job);
    RunToPdf(*job, TCardLayout::PaperLetter);
    // The device repeats the sheet (the queue's copies, or the file's pages
    // drawn once): only the first page is drawn; the count may then jump to
    // the last.
    EXPECT_EQ(shown.value(0), "Printing Page 1");
    EXPECT_FALSE(shown.contains("Printing Page 2"));
    EXPECT_LE(shown.size(), 2);

    shown.clear();
    auto preview = Job(TCardLayout());
    preview->Renderer().ToPrinter = false;
    watch(*preview);
    preview->RunJob();
    EXPECT_EQ(shown, QStringList({"Preparing Preview Page 1"}));
}

TEST_F(SheetPrintTest, EveryPositionOfTheLayoutFollowsItsSelection)
{
    TCardLayout layout;
    layout.Across = 2;
    layout.Down = 7;
    layout.Width = 3.0f;
    layout.Height = 1.2f;
    layout.HPitch = 3.5f;
    layout.VPitch = 1.4f;
    const auto cardRect = [&](int index) {
        const int row = index / 2, col = index % 2;
        return QRectF(0.75 + col * 3.5, 0.5 + row * 1.4, 3.0, 1.2);
    };

    auto job = Job(layout);
    job->Renderer().OutlineOnly = true;
    job->Renderer().PrintSelection = QList<bool>(14, true);
    job->Renderer().PrintSelection[0] = false;
    job->Renderer().PrintSelection[3] = false;
    job->Renderer().PrintSelection[11] = false;
    const QString pdf = RunToPdf(*job, TCardLayout::PaperLetter);
    EXPECT_EQ(job->Renderer().CardsDrawn(), 11);
    QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    for (int index = 0; index < 14; ++index) {
        const QRectF r = cardRect(index);
        const std::string what = "position " + std::to_string(index);
        if (index == 0 || index == 3 || index == 11)
            EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, r.adjusted(-0.05, -0.05, 0.05, 0.05)), 0) << what;
        else
            ExpectOutline(pages[0], r.x(), r.y(), r.width(), r.height(), true, what);
    }

    // A selection shorter than the sheet: the positions it does not reach print.
    auto shortSelection = Job(layout);
    shortSelection->Renderer().OutlineOnly = true;
    shortSelection->Renderer().PrintSelection = QList<bool>(10, false);
    const QString second = RunToPdf(*shortSelection, TCardLayout::PaperLetter, "short.pdf");
    EXPECT_EQ(shortSelection->Renderer().CardsDrawn(), 4);
    pages = RenderPdf(second, Dpi);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, QRectF(0, 0, 8.5, 0.5 + 5 * 1.4 - 0.05)), 0);
    for (int index = 10; index < 14; ++index) {
        const QRectF r = cardRect(index);
        ExpectOutline(pages[0], r.x(), r.y(), r.width(), r.height(), true,
                      "position " + std::to_string(index));
    }
}

TEST_F(SheetPrintTest, BackgroundArtCoversTheCardItIsPrintedOn)
{
    QImage art(64, 32, QImage::Format_RGB32);
    art.fill(QColor(255, 0, 0));
    const QString bmp = dir.filePath("red.bmp");
    ASSERT_TRUE(art.save(bmp, "BMP"));

    TCardLayout layout = TCardLayout::PredefinedLayout(9); // A4
    layout.Width = 3.0f;
    layout.Height = 1.5f;
    auto job = Job(layout);
    job->Renderer().BackgroundFile = bmp;
    const QString pdf = RunToPdf(*job, TCardLayout::PaperA4);
    EXPECT_EQ(job->Renderer().BackgroundKind, 2);
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    // A4, 210 x 297 mm
    EXPECT_NEAR(pages[0].width(), 2480, 1);
    EXPECT_NEAR(pages[0].height(), 3508, 1);

    const auto red = [&](double x, double y) {
        const QRgb p = pages[0].pixel(int(x * Dpi), int(y * Dpi));
        return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
    };
    const auto white = [&](double x, double y) {
        return qGray(pages[0].pixel(int(x * Dpi), int(y * Dpi))) > 240;
    };
    const double left = double(layout.LeftMargin), top = double(layout.TopMargin);
    for (int row = 0; row < 5; ++row) {
        for (int col = 0; col < 2; ++col) {
            const double x = left + col * double(layout.HPitch);
            const double y = top + row * double(layout.VPitch);
            EXPECT_TRUE(red(x + 0.03, y + 0.03)) << row << "," << col;
            EXPECT_TRUE(red(x + 2.97, y + 1.47)) << row << "," << col;
            // Beyond the card, where a fixed 3.5 x 2.0 inch art would still reach.
            EXPECT_TRUE(white(x + 3.2, y + 0.7)) << row << "," << col;
            EXPECT_TRUE(white(x + 1.5, y + 1.75)) << row << "," << col;
        }
    }

    // Names the loader does not take, and missing files, print no background.
    for (const QString &name :
         {dir.filePath("missing.bmp"), dir.filePath("art.png"), dir.filePath("broken.wmf")}) {
        QFile::remove(name);
        if (name.endsWith(".png"))
            art.save(name, "PNG");
        if (name.endsWith(".wmf")) {
            QFile f(name);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("not a metafile");
        }
        auto other = Job(layout);
        other->Renderer().BackgroundFile = name;
        RunToPdf(*other, TCardLayout::PaperA4, "other.pdf");
        EXPECT_EQ(other->Renderer().BackgroundKind, 0) << name.toStdString();
    }
}

TEST_F(SheetPrintTest, ASheetSentCardByCardInPartsPrintsAsTheWholeSheet)
{
    // Every kind of object, background art, nudges that put the cards off
    // the device's pixel grid, outlines, some positions left out, two sheets.
    BuildMixedCard(*panel);
    QImage art(64, 32, QImage::Format_RGB32);
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x)
            art.setPixel(x, y, qRgb(255 - x, 230, 200 + y));
    const QString bmp = dir.filePath("art.bmp");
    ASSERT_TRUE(art.save(bmp, "BMP"));
    TPrinterNudges nudges;
    nudges.LeftMarginNudge = 3;
    nudges.TopMarginNudge = -5;
    nudges.HorizontalSpacing = 1;
    nudges.VerticalSpacing = 2;
    auto print = [&](qsizetype objectsPerPart, const QString &name) {
        auto job = Job(TCardLayout(), nudges);
        job->Renderer().BackgroundFile = bmp;
        job->Renderer().DrawOutlines = true;
        job->Renderer().Copies = 2;
        job->Renderer().PrintSelection = {true, false, true, true,  false,
                                          true, true,  true, false, true};
        job->Renderer().ObjectsPerPagePart = objectsPerPart;
        const QString pdf = RunToPdf(*job, TCardLayout::PaperLetter, name);
        EXPECT_EQ(job->Renderer().CardsDrawn(), 7); // the second sheet repeats the first
        return pdf;
    };
    const QString whole = print(1000000, "whole.pdf");
    const QString parts = print(1, "parts.pdf");
    // The second file went out card by card; the first in one piece.
    auto fileText = [](const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(fileText(parts).count("/Contents ["), 2);
    EXPECT_EQ(fileText(whole).count("/Contents ["), 0);

    constexpr int Ppi = 150;
    const QList<QImage> a = RenderPdf(whole, Ppi);
    const QList<QImage> b = RenderPdf(parts, Ppi);
    ASSERT_EQ(a.size(), 2);
    ASSERT_EQ(b.size(), 2);
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page + 1);
        ASSERT_EQ(a[page].size(), b[page].size());
        const TPixelComparison c = ComparePixels(a[page], b[page], a[page].rect());
        EXPECT_EQ(c.differing, 0);
        EXPECT_GT(c.ink, 7 * 40000);
    }

    // Ghostscript, which turns a queue's job into the printer's pages, draws
    // them alike too.
    auto ghostscript = [&](const QString &pdf) {
        const QString png = pdf + QStringLiteral("-gs-%d.png");
        const int status = RunProgram(
            QStringLiteral("gs"), {QStringLiteral("-q"), QStringLiteral("-dSAFER"),
                                   QStringLiteral("-dBATCH"), QStringLiteral("-dNOPAUSE"),
                                   QStringLiteral("-sDEVICE=png16m"), QStringLiteral("-r100"),
                                   QStringLiteral("-sOutputFile=") + png, pdf});
        EXPECT_EQ(status, 0);
        QList<QImage> pages;
        for (int page = 1; page <= 2; ++page)
            pages << QImage(pdf + QStringLiteral("-gs-%1.png").arg(page))
                         .convertToFormat(QImage::Format_RGB32);
        return pages;
    };
    const QList<QImage> gsWhole = ghostscript(whole);
    const QList<QImage> gsParts = ghostscript(parts);
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page + 1);
        ASSERT_FALSE(gsWhole[page].isNull());
        ASSERT_EQ(gsWhole[page].size(), gsParts[page].size());
        const TPixelComparison c =
            ComparePixels(gsWhole[page], gsParts[page], gsWhole[page].rect());
        EXPECT_EQ(c.differing, 0);
        EXPECT_GT(c.ink, 7 * 15000);
    }
}

TEST_F(SheetPrintTest, PreviewRecordsTheFirstColumnOnly)
{
    const auto preview = [&](int across, int down, QList<bool> selection) {
        TCardLayout layout;
        layout.Across = across;
        layout.Down = down;
        auto job = Job(layout);
        job->Renderer().ToPrinter = false;
        job->Renderer().Copies = 3; // a preview is one sheet whatever the copies
        job->Renderer().PrintSelection = selection;
        job->RunJob();
        EXPECT_FALSE(job->Failed()) << job->ErrorMessage().toStdString();
        return job;
    };

    auto two = preview(2, 5, QList<bool>(10, true));
    EXPECT_EQ(two->Renderer().CardsDrawn(), 1);
    EXPECT_EQ(two->RStatusLabel->text(),
              QStringLiteral("\nBusiness Card preview ready!\n\nNote: To save time, only a "
                             "single card is previewed"));
    TRecordedReport recording;
    ASSERT_TRUE(ReadRecordedReport(two->Recording(), recording));
    ASSERT_EQ(recording.Pages.size(), 1);
    // The card's silver outline at the first position.
    QImage page(850, 1100, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        ASSERT_TRUE(PlayRecordedPage(painter, recording, 0, 100, 100));
    }
    const QRgb edge = page.pixel(75, 150);
    EXPECT_NEAR(qRed(edge), 192, 8);
    EXPECT_NEAR(qBlue(edge), 192, 8);

    QList<bool> firstOff(10, true);
    firstOff[0] = false;
    EXPECT_EQ(preview(2, 5, firstOff)->Renderer().CardsDrawn(), 0);
    auto column = preview(1, 4, QList<bool>(10, true));
    EXPECT_EQ(column->Renderer().CardsDrawn(), 4);
    ASSERT_TRUE(ReadRecordedReport(column->Recording(), recording));
    EXPECT_EQ(recording.Pages.size(), 1);
}

TEST_F(SheetPrintTest, AMissingQueueIsReportedAsAFailure)
{
    auto job = Job(TCardLayout());
    TReportPrinter printer;
    printer.SetPrinterName(QStringLiteral("NoSuchTessaroQueue"));
    job->SetPrinterReport(&printer);
    job->RunJob();
    EXPECT_TRUE(job->Failed());
    EXPECT_FALSE(job->ErrorMessage().isEmpty());
    EXPECT_TRUE(job->RStatusLabel->text().contains(QStringLiteral("Failed")))
        << job->RStatusLabel->text().toStdString();
    EXPECT_EQ(job->Renderer().CardsDrawn(), 0);
}

TEST_F(SheetPrintTest, CancelAndStopEndTheJob)
{
    const TCardLayout layout;
    const auto run = [&](bool toPrinter, int down, QMessageBox::StandardButton answer,
                         std::shared_ptr<bool> asked) {
        TCardLayout l = layout;
        l.Across = toPrinter ? 2 : 1;
        l.Down = down;
        auto job = Job(l);
        job->Renderer().ToPrinter = toPrinter;
        job->Renderer().ObjectsPerPagePart = 1; // every card a part of the sheet of its own
        TLabelPrinter *raw = job.get();
        auto *object = new TActionObject(panel.get(), 3, [raw] { raw->CancelButtonClick(); });
        panel->InsertObject(object);
        // Stop in a preview asks nothing; a question there would hang the job.
        WhenModal([](QWidget *w) { return qobject_cast<QMessageBox *>(w) != nullptr; },
                  [answer, asked](QWidget *w) {
                      auto *box = static_cast<QMessageBox *>(w);
                      *asked = box->text() == QLatin1String("Cancel Business Card Printing?");
                      box->button(answer)->click();
                  },
                  3000);
        if (toPrinter)
            RunToPdf(*job, TCardLayout::PaperLetter, "cancel.pdf");
        else
            job->RunJob();
        panel->RemoveObject(object);
        delete object;
        return job;
    };

    // Shared, as a question that never comes leaves its watcher running a while.
    auto asked = std::make_shared<bool>(false);
    auto printing = run(true, 5, QMessageBox::Yes, asked);
    EXPECT_TRUE(*asked);
    EXPECT_TRUE(printing->Aborted());
    EXPECT_FALSE(printing->Failed());
    EXPECT_EQ(printing->Renderer().CardsDrawn(), 3); // nothing after the card being drawn
    // The parts already written go nowhere: no file, nothing left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList());
    EXPECT_EQ(printing->RStatusLabel->text(), QStringLiteral("\nBusiness Card Print Canceled!"));
    EXPECT_EQ(printing->CancelButton->text(), QStringLiteral("OK"));

    asked = std::make_shared<bool>(false);
    auto goingOn = run(true, 5, QMessageBox::No, asked);
    EXPECT_TRUE(*asked);
    EXPECT_FALSE(goingOn->Aborted());
    EXPECT_EQ(goingOn->Renderer().CardsDrawn(), 10);
    EXPECT_EQ(PdfPageCount(dir.filePath("cancel.pdf")), 1); // ten parts, one sheet
    EXPECT_EQ(goingOn->RStatusLabel->text(),
              QStringLiteral("The sheet was written to %1.").arg(dir.filePath("cancel.pdf")));

    asked = std::make_shared<bool>(false);
    auto preview = run(false, 6, QMessageBox::No, asked);
    EXPECT_FALSE(*asked);
    EXPECT_TRUE(preview->Renderer().StopRequested);
    EXPECT_TRUE(preview->Aborted());
    EXPECT_EQ(preview->Renderer().CardsDrawn(), 3);
    EXPECT_EQ(preview->RStatusLabel->text(), QStringLiteral("\nBusiness Card Preview Canceled!"));
}

} // namespace
