#include "ReportTestSupport.h"
#include "common/HostileFiles.h"
#include "common/TestSupport.h"
#include "report/RPFPrint.h"
#include "report/RPFiler.h"
#include "report/RPreview.h"
#include "report/RPrinter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPicture>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kBlue = 0x0000FF;
constexpr QRgb kWhite = 0xFFFFFF;

// Two Letter pages: a red square at (1,1)-(2,2) and "HH" on page 1, a blue
// ellipse at (3,4)-(5,6) on page 2.
QByteArray RecordTwoPages()
{
    TReportFiler filer;
    QBuffer stream;
    stream.open(QIODevice::ReadWrite);
    filer.SetStream(&stream);
    filer.SetPaperSize(kPaperLetter);
    filer.OnPrint = [](TBaseReport &rep) {
        rep.SetPen(0x0000FF, psSolid, -1, pmCopy);
        rep.SetBrush(0x0000FF, bsSolid);
        rep.Rectangle(1, 1, 2, 2);
        rep.SetFont("Liberation Sans", 36);
        rep.GotoXY(3, 2);
        rep.PrintText("HH");
        rep.NewPage();
        rep.SetPen(0xFF0000, psSolid, 0, pmCopy);
        rep.SetBrush(0xFF0000, bsSolid);
        rep.Ellipse(3, 4, 5, 6);
    };
    EXPECT_TRUE(filer.Execute());
    EXPECT_EQ(filer.PageCount(), 2);
    EXPECT_EQ(filer.XDPI(), TReportFiler::kRecordResolution);
    EXPECT_EQ(stream.data(), filer.StreamData());
    return stream.data();
}

QRect InkBounds(const QImage &img, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(ReportRecording, TwoPagesPlayBackInThePreviewAtAnyZoom)
{
    const QByteArray data = RecordTwoPages();
    TRecordedReport rec;
    ASSERT_TRUE(ReadRecordedReport(data, rec));
    EXPECT_EQ(rec.Pages.size(), 2);
    EXPECT_DOUBLE_EQ(rec.PageWidth, 8.5);
    EXPECT_DOUBLE_EQ(rec.PageHeight, 11.0);

    QScrollArea box;
    box.resize(600, 500);
    TFilePreview preview;
    preview.SetScrollBox(&box);
    preview.SetStreamData(data);
    int pageChanges = 0;
    preview.OnPageChange = [&] { ++pageChanges; };
    preview.Start();
    ASSERT_EQ(preview.PageCount(), 2);
    EXPECT_EQ(preview.ShownPage(), 1);
    EXPECT_EQ(pageChanges, 1);
    EXPECT_EQ(preview.PageWidgets().size(), 2);
    EXPECT_TRUE(preview.PageWidgets()[0]->isVisibleTo(&box));
    EXPECT_FALSE(preview.PageWidgets()[1]->isVisibleTo(&box));
    ASSERT_EQ(preview.ScreenDpi(), 96);

    // Page 1 at 100 %: 96 pixels per inch.
    QImage p1 = preview.RenderPage(1);
    ASSERT_EQ(p1.size(), QSize(816, 1056));
    EXPECT_TRUE(IsColor(p1, 144, 144, kRed));
    EXPECT_TRUE(IsColor(p1, 97, 97, kRed));
    EXPECT_TRUE(IsColor(p1, 93, 144, kWhite));
    EXPECT_TRUE(IsColor(p1, 196, 144, kWhite));
    EXPECT_TRUE(IsColor(p1, 480, 480, kWhite)); // page 2's ellipse is not here
    // The text keeps its place and size: baseline at 2 inches, 36 points.
    const QRect ink = InkBounds(p1, QRect(250, 100, 300, 150));
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.bottom(), 191, 2);
    EXPECT_NEAR(ink.height(), 35, 3); // cap height of 48 pixels of em
    EXPECT_NEAR(ink.left(), 288 + 4, 4);

    preview.NextPage();
    EXPECT_EQ(preview.ShownPage(), 2);
    EXPECT_EQ(pageChanges, 2);
    preview.NextPage(); // already the last
    EXPECT_EQ(preview.ShownPage(), 2);
    EXPECT_EQ(pageChanges, 2);
    EXPECT_TRUE(preview.PageWidgets()[1]->isVisibleTo(&box));

    // Page 2 at 200 %: 192 pixels per inch.
    preview.SetZoomFactor(200);
    QImage p2 = preview.RenderPage(2);
    EXPECT_TRUE(IsColor(p2, 768, 960, kBlue));  // centre of (3,4)-(5,6)
    EXPECT_TRUE(IsColor(p2, 590, 780, kWhite)); // corner outside the ellipse
    EXPECT_TRUE(IsColor(p2, 288, 288, kWhite));
    // The page widget shows the same picture.
    QImage shown = preview.PageWidgets()[1]->grab().toImage();
    EXPECT_TRUE(IsColor(shown, 768, 960, kBlue));
    EXPECT_TRUE(IsColor(shown, 288, 288, kWhite));
    preview.PrevPage();
    EXPECT_EQ(preview.ShownPage(), 1);
    if (!qEnvironmentVariableIsEmpty("TESSARO_SHOT_DIR")) {
        preview.SetZoomFactor(50);
        box.show();
        box.grab().save(qEnvironmentVariable("TESSARO_SHOT_DIR") + "/preview.png");
    }
}

TEST(ReportRecording, DamagedStreamsAreRefused)
{
    const QByteArray data = RecordTwoPages();
    TRecordedReport rec;
    QString why;
    EXPECT_FALSE(ReadRecordedReport(QByteArray("not a recording"), rec, &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_FALSE(ReadRecordedReport(data.left(data.size() / 2), rec, &why));
    QByteArray hugeCount = data;
    // Page count field sits after magic(4) version(2) width(8) height(8) dpi(4).
    hugeCount[26] = char(0x7F);
    EXPECT_FALSE(ReadRecordedReport(hugeCount, rec, &why));

    QScrollArea box;
    TFilePreview preview;
    preview.SetScrollBox(&box);
    preview.SetStreamData(data.left(40));
    EXPECT_THROW(preview.Start(), EReportError);
    EXPECT_EQ(preview.PageCount(), 0);

    // A page whose picture bytes are damaged plays nothing instead of crashing.
    ASSERT_TRUE(ReadRecordedReport(data, rec));
    rec.Pages[0][rec.Pages[0].size() / 2] = char(rec.Pages[0][rec.Pages[0].size() / 2] ^ 0x55);
    QImage img(100, 100, QImage::Format_RGB32);
    QPainter p(&img);
    EXPECT_FALSE(PlayRecordedPage(p, rec, 0, 10, 10));
    EXPECT_FALSE(PlayRecordedPage(p, rec, 5, 10, 10));
}

TEST(ReportPreview, ZoomStepsClampsAndFitting)
{
    QScrollArea box;
    box.setFrameShape(QFrame::NoFrame);
    box.resize(700, 500);
    TFilePreview preview;
    preview.SetScrollBox(&box);
    preview.SetStreamData(RecordTwoPages());
    preview.Start();
    int zoomChanges = 0;
    preview.OnZoomChange = [&] { ++zoomChanges; };

    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 100);
    EXPECT_DOUBLE_EQ(preview.ZoomInc(), 10);
    EXPECT_EQ(preview.ShadowDepth(), 5);
    EXPECT_DOUBLE_EQ(preview.MarginPercent(), 2.5);
    preview.ZoomIn();
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 110);
    preview.ZoomOut();
    preview.ZoomOut();
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 90);
    EXPECT_EQ(zoomChanges, 3);
    preview.SetZoomFactor(5);
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 10);
    preview.ZoomOut();
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 10);
    EXPECT_EQ(zoomChanges, 4); // no change, no event
    preview.SetZoomFactor(195);
    preview.ZoomIn();
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 200);
    preview.ZoomIn();
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 200);
    preview.SetZoomFactor(1000);
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 200);

    // Fitting: (viewport - shadow - 2 spare pixels) / (page at 100 % * (1 + 2 * 2.5 %)).
    // A page taller than the box at its width gets a vertical scroll bar,
    // whose width the page has to leave free.
    const QSize vp = box.maximumViewportSize();
    ASSERT_EQ(vp, QSize(700, 500));
    const int bar = box.verticalScrollBar()->sizeHint().width();
    ASSERT_GT(bar, 0);
    const double widthZoom = (700.0 - bar - 7) / (8.5 * 96 * 1.05) * 100; // about 79
    const double pageZoom = (500.0 - 7) / (11.0 * 96 * 1.05) * 100;       // 44.5
    preview.ZoomPageWidth();
    EXPECT_NEAR(preview.ZoomFactor(), widthZoom, 1e-9);
    preview.ZoomPage();
    EXPECT_NEAR(preview.ZoomFactor(), pageZoom, 1e-9);
    // The page widget then fits the viewport with its margins.
    QWidget *page = preview.PageWidgets()[0];
    EXPECT_LE(page->parentWidget()->height(), 500);
    EXPECT_GE(page->parentWidget()->height(), 495);

    box.resize(6000, 200); // a very wide, flat box: the height decides
    preview.ZoomPage();
    EXPECT_NEAR(preview.ZoomFactor(), 193.0 / (11.0 * 96 * 1.05) * 100, 1e-9); // 17.4
    box.resize(6000, 100);
    preview.ZoomPage();
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 10); // 8.2 clamps to the minimum
    box.resize(6000, 6000);
    preview.ZoomPageWidth();
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 200); // far above the maximum
}

// ------------------------------------------------------------ PDF output

QImage RenderPdfPage(const QString &pdf, int page)
{
    const QString prefix = pdf + QStringLiteral(".page");
    QProcess::execute("pdftoppm", {"-r", "300", "-png", "-f", QString::number(page), "-l",
                                   QString::number(page), "-singlefile", pdf, prefix});
    return QImage(prefix + ".png");
}

int PdfPageCount(const QString &pdf)
{
    QProcess p;
    p.start("pdfinfo", {pdf});
    p.waitForFinished();
    for (const QString &line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("Pages:"))
            return line.mid(6).trimmed().toInt();
    return -1;
}

TEST(ReportPdf, RectangleAndTextLandWhereTheInchesSay)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("card.pdf");
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(kPaperLetter);
    EXPECT_EQ(report.MaxCopies(), 1);
    report.OnPrint = [](TBaseReport &rep) {
        EXPECT_EQ(rep.XDPI(), TCanvasReport::kPdfResolution);
        EXPECT_DOUBLE_EQ(rep.LeftOffset(), 0);
        EXPECT_DOUBLE_EQ(rep.TopOffset(), 0);
        EXPECT_DOUBLE_EQ(rep.PageHeight(), 11.0);
        rep.SetPen(0, psClear, 0, pmCopy);
        rep.SetBrush(0, bsSolid);
        rep.Rectangle(1.0, 2.0, 3.0, 2.5);
        rep.SetFont("Liberation Sans", 12);
        rep.GotoXY(1.0, 4.0);
        rep.PrintText("Tessaro");
        rep.NewPage();
        rep.Rectangle(4.0, 5.0, 4.5, 6.0);
        // A label's recorded drawing, 96 x 48 units, stretched into 2 x 1 inches.
        QPicture label;
        {
            QPainter p(&label);
            p.fillRect(QRect(0, 0, 48, 48), Qt::black);
        }
        label.setBoundingRect(QRect(0, 0, 96, 48));
        rep.StretchDraw(rep.InchRect(1.0, 8.0, 3.0, 9.0), label);
    };
    ASSERT_TRUE(report.Execute());
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_EQ(PdfPageCount(pdf), 2);

    const QImage page = RenderPdfPage(pdf, 1);
    ASSERT_EQ(page.size(), QSize(2550, 3300));
    auto dark = [&](int x, int y) { return qGray(page.pixel(x, y)) < 128; };
    // Along the middle row (2.25 in) the first dark column is 1 in = 300 px.
    int left = -1;
    for (int x = 0; x < 1000 && left < 0; ++x)
        if (dark(x, 675))
            left = x;
    int top = -1;
    for (int y = 0; y < 1000 && top < 0; ++y)
        if (dark(600, y))
            top = y;
    int right = -1;
    for (int x = 1000; x > 0 && right < 0; --x)
        if (dark(x, 675))
            right = x;
    EXPECT_NEAR(left, 300, 1);
    EXPECT_NEAR(top, 600, 1);
    EXPECT_NEAR(right, 899, 1);

    QImage page2 = RenderPdfPage(pdf, 2);
    EXPECT_LT(qGray(page2.pixel(1275, 1650)), 128); // (4.25, 5.5) in
    EXPECT_GT(qGray(page2.pixel(600, 675)), 128);
    // The picture's black left half covers (1, 8)-(2, 9) inches exactly.
    EXPECT_LT(qGray(page2.pixel(302, 2402)), 128);
    EXPECT_LT(qGray(page2.pixel(597, 2697)), 128);
    EXPECT_GT(qGray(page2.pixel(297, 2450)), 128);
    EXPECT_GT(qGray(page2.pixel(603, 2450)), 128);
    EXPECT_GT(qGray(page2.pixel(450, 2703)), 128);

    // pdftotext: the word starts at 1 inch (72 pt) and sits on the 4-inch line.
    QProcess text;
    text.start("pdftotext", {"-bbox", "-f", "1", "-l", "1", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished());
    const QString html = QString::fromUtf8(text.readAllStandardOutput());
    QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">Tessaro</word>)re");
    const auto m = word.match(html);
    ASSERT_TRUE(m.hasMatch()) << html.toStdString();
    EXPECT_NEAR(m.captured(1).toDouble(), 72.0, 1.5);
    EXPECT_LT(m.captured(2).toDouble(), 288.0 - 6);
    EXPECT_GT(m.captured(4).toDouble(), 288.0);
    EXPECT_LT(m.captured(4).toDouble(), 288.0 + 5);
}

TEST(ReportPdf, AbortDiscardsTheFileAndBadPathsAreErrors)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("aborted.pdf");
    TReportPrinter report;
    report.SetOutputFile(pdf);
    int after = 0;
    report.OnPrint = [](TBaseReport &rep) {
        rep.Rectangle(1, 1, 2, 2);
        rep.NewPage();
        rep.Abort();
        rep.Rectangle(1, 1, 2, 2);
    };
    report.OnAfterPrint = [&](TBaseReport &) { ++after; };
    EXPECT_FALSE(report.Execute());
    EXPECT_TRUE(report.Aborted());
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_EQ(after, 1);

    TReportPrinter bad;
    bad.SetOutputFile(dir.filePath("missing-folder/out.pdf"));
    bool drawn = false;
    bad.OnPrint = [&](TBaseReport &) { drawn = true; };
    try {
        bad.Execute();
        ADD_FAILURE() << "an unwritable file was reported as printed";
    } catch (const EReportError &e) {
        EXPECT_TRUE(e.Message().contains("out.pdf")) << e.what();
    }
    EXPECT_FALSE(drawn);
    EXPECT_FALSE(bad.Printing());

    // A queue that is not installed is an error, not a silent success.
    TReportPrinter missing;
    missing.SetPrinterName("Tessaro-No-Such-Queue");
    EXPECT_THROW(missing.Execute(), EReportError);
}

TEST(ReportPdf, AFullDiskIsAnErrorAndLeavesTheOldFile)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("sheet.pdf");
    const QByteArray old("%PDF-1.4 an older sheet that must survive\n");
    {
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    auto drawSheet = [](TBaseReport &rep) {
        rep.SetFont("Liberation Sans", 24);
        for (int i = 0; i < 10; ++i) {
            rep.GotoXY(1.0, 1.0 + i);
            rep.PrintText(QStringLiteral("Card %1 of a sheet that does not fit").arg(i));
        }
        rep.SetBrush(0x0000FF, bsSolid);
        rep.Ellipse(2, 2, 6, 8);
    };

    // The disk takes 4 KB, the sheet needs more.
    for (const rlim_t room : {rlim_t(0), rlim_t(4096)}) {
        SCOPED_TRACE(room);
        TReportPrinter report;
        report.SetOutputFile(pdf);
        report.OnPrint = drawSheet;
        QString message;
        {
            TFileSizeLimit full(room);
            ASSERT_TRUE(full.Ok());
            try {
                report.Execute();
            } catch (const EReportError &e) {
                message = e.Message();
            }
        }
        EXPECT_TRUE(message.contains("sheet.pdf")) << message.toStdString();
        EXPECT_FALSE(message.contains("Unknown error")) << message.toStdString();
        EXPECT_FALSE(report.Printing());
        QFile file(pdf);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  QStringList{"sheet.pdf"});
    }

    // With room, the new sheet replaces the old file whole.
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.OnPrint = drawSheet;
    ASSERT_TRUE(report.Execute());
    EXPECT_EQ(PdfPageCount(pdf), 1);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
              QStringList{"sheet.pdf"});

    // An aborted job leaves the file of that name as it was.
    const QByteArray complete = [&] {
        QFile file(pdf);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    TReportPrinter aborted;
    aborted.SetOutputFile(pdf);
    aborted.OnPrint = [&](TBaseReport &rep) {
        drawSheet(rep);
        rep.Abort();
    };
    EXPECT_FALSE(aborted.Execute());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), complete);
}

TEST(ReportPdf, RecordedPagesPrintWithCopies)
{
    QTemporaryDir dir;
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_PDF"));
    const QString pdf = dir.filePath("copies.pdf");
    TFilePrinter printer;
    printer.SetOutputFile(pdf);
    printer.SetStreamData(RecordTwoPages());
    printer.SetCopies(2);
    ASSERT_FALSE(printer.PrinterCopiesItself()); // a PDF file makes no copies
    ASSERT_TRUE(printer.Execute());
    EXPECT_EQ(PdfPageCount(pdf), 4);
    const QImage p1 = RenderPdfPage(pdf, 1);
    const QImage p4 = RenderPdfPage(pdf, 4);
    EXPECT_TRUE(IsColor(p1, 450, 450, kRed)); // (1.5, 1.5) in
    EXPECT_TRUE(IsColor(p1, 290, 450, kWhite));
    EXPECT_TRUE(IsColor(p4, 1200, 1500, kBlue)); // (4, 5) in
    EXPECT_TRUE(IsColor(p4, 450, 450, kWhite));

    // Recorded text keeps its size and place on the printer: 36 pt "HH" from
    // 3 inches, baseline at 2 inches (216 pt, 144 pt).
    QProcess text;
    text.start("pdftotext", {"-bbox", "-f", "3", "-l", "3", pdf, "-"});
    ASSERT_TRUE(text.waitForFinished());
    const QString html = QString::fromUtf8(text.readAllStandardOutput());
    QRegularExpression word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">HH</word>)re");
    const auto m = word.match(html);
    ASSERT_TRUE(m.hasMatch()) << html.toStdString();
    EXPECT_NEAR(m.captured(1).toDouble(), 216.0, 1.5);
    EXPECT_GT(m.captured(4).toDouble(), 144.0);
    EXPECT_LT(m.captured(4).toDouble(), 144.0 + 12);
    EXPECT_NEAR(m.captured(3).toDouble() - m.captured(1).toDouble(), 2 * 26.0, 3); // H = 0.722 em
}

TEST(ReportPrinterQueue, NoPrinterFailsWithTheMessageAndPrintsNothing)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "printers are installed here";
    TReportPrinter report;
    bool printed = false;
    report.OnPrint = [&](TBaseReport &) { printed = true; };
    // The engine opens no box of its own: the reason goes to the caller.
    TDialogAnswer answer;
    AnswerNextMessageBox(QMessageBox::Ok, &answer);
    QString reason;
    try {
        report.Execute();
    } catch (const EReportError &e) {
        reason = e.Message();
    }
    EXPECT_EQ(reason, "No printers are defined, aborting print job.");
    EXPECT_FALSE(answer.seen);
    EXPECT_FALSE(printed);
}

} // namespace

// ------------------------------------------------------------ a real queue
// Runs when the test script has started the private CUPS server with its PDF
// queue (TESSARO_CUPS_QUEUE, TESSARO_CUPS_PDF_DIR).

namespace {

QStringList PdfsIn(const QString &dir)
{
    return QDir(dir).entryList({"*.pdf"}, QDir::Files, QDir::Name);
}

// Waits until a PDF of the titled job that was not there before is complete
// (other tests may print into the same queue at the same time).
QString WaitForNewPdf(const QString &dir, const QStringList &before, const QString &title, int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        for (const QString &f : PdfsIn(dir)) {
            if (before.contains(f) || !f.contains(title))
                continue;
            QFile file(QDir(dir).filePath(f));
            if (file.open(QIODevice::ReadOnly) && file.size() > 0) {
                file.seek(std::max<qint64>(0, file.size() - 64));
                if (file.readAll().contains("%%EOF"))
                    return file.fileName();
            }
        }
        QThread::msleep(100);
    }
    return QString();
}

TEST(ReportPrinterQueue, PrintsToANamedCupsQueueAtThePaperPosition)
{
    const QString queue = qEnvironmentVariable("TESSARO_CUPS_QUEUE");
    const QString outDir = qEnvironmentVariable("TESSARO_CUPS_PDF_DIR");
    if (queue.isEmpty() || outDir.isEmpty())
        GTEST_SKIP() << "no CUPS PDF queue started for the tests";

    TReportPrinter report;
    const QString title =
        QStringLiteral("ReportQueueTest%1").arg(QCoreApplication::applicationPid());
    report.SetTitle(title);
    report.SetPrinterName(queue);
    report.SetPaperSize(kPaperLetter);
    ASSERT_TRUE(report.UpdateMetrics());
    EXPECT_GE(report.XDPI(), 72);
    EXPECT_GE(report.LeftOffset(), 0);
    EXPECT_DOUBLE_EQ(report.PageHeight(), 11.0);
    const QStringList before = PdfsIn(outDir);
    // The bar is drawn in two parts of the page, which the queue gets joined.
    report.OnPrint = [](TBaseReport &rep) {
        rep.SetPen(0, psClear, 0, pmCopy);
        rep.SetBrush(0, bsSolid);
        rep.Rectangle(1.0, 2.0, 2.0, 2.5);
        rep.NewPagePart();
        rep.Rectangle(2.0, 2.0, 3.0, 2.5);
    };
    ASSERT_TRUE(report.Execute());
    const QString pdf = WaitForNewPdf(outDir, before, title, 30000);
    ASSERT_FALSE(pdf.isEmpty()) << "the queue produced no file";
    EXPECT_EQ(PdfPageCount(pdf), 1);
    const QImage page = RenderPdfPage(pdf, 1);
    ASSERT_EQ(page.size(), QSize(2550, 3300));
    int left = -1, top = -1;
    for (int x = 0; x < 1000 && left < 0; ++x)
        if (qGray(page.pixel(x, 675)) < 128)
            left = x;
    for (int y = 0; y < 1000 && top < 0; ++y)
        if (qGray(page.pixel(600, y)) < 128)
            top = y;
    // Within one pixel of a 300 dpi rendering or of the printer's own grid.
    const int tol = std::max(1, int(std::ceil(300.0 / report.XDPI())) + 1);
    EXPECT_NEAR(left, 300, tol);
    EXPECT_NEAR(top, 600, tol);
    int right = -1;
    for (int x = 1000; x > 0 && right < 0; --x)
        if (qGray(page.pixel(x, 675)) < 128)
            right = x;
    EXPECT_NEAR(right, 899, tol);
}

} // namespace

namespace {

TEST(ReportPrinterQueue, AbortedQueueJobSendsNothing)
{
    const QString queue = qEnvironmentVariable("TESSARO_CUPS_QUEUE");
    const QString outDir = qEnvironmentVariable("TESSARO_CUPS_PDF_DIR");
    if (queue.isEmpty() || outDir.isEmpty())
        GTEST_SKIP() << "no CUPS PDF queue started for the tests";
    TReportPrinter report;
    const QString title =
        QStringLiteral("ReportAbortTest%1").arg(QCoreApplication::applicationPid());
    report.SetTitle(title);
    report.SetPrinterName(queue);
    const QStringList before = PdfsIn(outDir);
    report.OnPrint = [](TBaseReport &rep) {
        rep.SetBrush(0, bsSolid);
        rep.Rectangle(1.0, 2.0, 3.0, 2.5);
        rep.NewPage();
        rep.Abort();
    };
    EXPECT_FALSE(report.Execute());
    EXPECT_TRUE(report.Aborted());
    EXPECT_TRUE(WaitForNewPdf(outDir, before, title, 3000).isEmpty());
}

} // namespace
