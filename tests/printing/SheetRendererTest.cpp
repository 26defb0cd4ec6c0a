// The sheet renderer on its own: a card's objects that sit on no surface,
// printed across the layout with a report and no window at all.
#include "printing/SheetRenderer.h"

#include "PrintTestSupport.h"
#include "objects/gbclabel32.h"
#include "report/RPBase.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"
#include "surface/GGraphc.h"

#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int Dpi = 150;

// Counts where it is asked to print, in inches.
class TCountingObject : public TGGraphicControl
{
public:
    using TGGraphicControl::TGGraphicControl;
    void PrintTo(TBaseReport *, double x, double y) override { places.append({x, y}); }
    QList<QPointF> places;
};

TEST(SheetRenderer, PrintsObjectsWithoutASurfaceAtEveryChosenPosition)
{
    QObject owner;
    auto *counter = new TCountingObject(&owner);
    auto *label = new TGBusinessCardLabel(&owner);
    label->SetBounds(20, 20, 200, 40);
    label->SetCaption(QStringLiteral("Renderer"));
    ASSERT_EQ(label->Parent(), nullptr);

    TCardLayout layout; // 2 x 5 on Letter
    TPrinterNudges nudges;
    nudges.TopMarginNudge = 8; // a quarter inch
    TSheetRenderer sheet;
    sheet.Objects = {counter, label};
    sheet.SetLayout(layout, nudges);
    sheet.PrintSelection = QList<bool>(10, false);
    sheet.PrintSelection[0] = true;
    sheet.PrintSelection[3] = true; // second row, right
    sheet.Copies = 2;
    sheet.DrawOutlines = true;

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("sheet.pdf");
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(TCardLayout::PaperLetter);
    report.SetOrientation(poPortrait);
    ASSERT_TRUE(sheet.Render(report));

    // Two chosen positions, drawn once; the file repeats the sheet.
    EXPECT_EQ(sheet.CardsDrawn(), 2);
    ASSERT_EQ(counter->places.size(), 2);
    const double top = double(layout.TopMargin) + 0.25;
    const QPointF second(double(layout.LeftMargin) + double(layout.HPitch),
                         top + double(layout.VPitch));
    EXPECT_NEAR(counter->places[0].x(), layout.LeftMargin, 1e-6);
    EXPECT_NEAR(counter->places[0].y(), top, 1e-6);
    EXPECT_NEAR(counter->places[1].x(), second.x(), 1e-6);
    EXPECT_NEAR(counter->places[1].y(), second.y(), 1e-6);
    EXPECT_EQ(PdfPageCount(pdf), 2);

    // The label's text is on the paper at the nudged position of card 4.
    const QList<TPdfWord> words = PdfWords(pdf);
    int found = 0;
    for (const TPdfWord &w : words) {
        if (w.text == QLatin1String("Renderer") && w.page == 1 && w.inches.left() > second.x())
            ++found;
    }
    EXPECT_EQ(found, 1);
    int onSecondSheet = 0;
    for (const TPdfWord &w : words)
        onSecondSheet += w.text == QLatin1String("Renderer") && w.page == 2 ? 1 : 0;
    EXPECT_EQ(onSecondSheet, 2);
    // Hooks are taken off the report again.
    EXPECT_FALSE(bool(report.OnPrint));
    EXPECT_FALSE(bool(report.OnBeforePrint));
}

TEST(SheetRenderer, AnObjectFreedWhileTheSheetPrintsIsLeftOut)
{
    QObject owner;
    auto *first = new TCountingObject(&owner);
    QPointer<TCountingObject> doomed = new TCountingObject(&owner);
    TSheetRenderer sheet;
    sheet.Objects = {first, doomed.data()};
    sheet.SetLayout(TCardLayout(), TPrinterNudges());
    int positions = 0;
    // Progress lets events run; a queued delete frees an object between cards.
    sheet.OnPositionStarting = [&](int) {
        if (++positions == 3)
            delete doomed.data();
    };
    TReportFiler recording;
    ASSERT_TRUE(sheet.Render(recording));
    EXPECT_EQ(sheet.CardsDrawn(), 10);
    EXPECT_EQ(first->places.size(), 10);
    EXPECT_TRUE(doomed.isNull());
}

TEST(SheetRenderer, StoppingEndsTheSheetAndThePreviewDrawsOneCard)
{
    QObject owner;
    auto *counter = new TCountingObject(&owner);
    TSheetRenderer sheet;
    sheet.Objects = {counter};
    sheet.SetLayout(TCardLayout(), TPrinterNudges());
    sheet.OnPositionStarting = [&](int index) {
        if (index == 4)
            sheet.StopRequested = true;
    };
    TReportFiler recording;
    sheet.Render(recording);
    EXPECT_EQ(counter->places.size(), 4);

    TSheetRenderer preview;
    preview.Objects = {counter};
    preview.ToPrinter = false;
    preview.Copies = 3;
    counter->places.clear();
    TReportFiler previewRecording;
    ASSERT_TRUE(preview.Render(previewRecording));
    EXPECT_EQ(preview.CardsDrawn(), 1);
    EXPECT_EQ(counter->places.size(), 1);
}

} // namespace

namespace {

// Paints a solid block from half an inch left of the card to four inches
// right of it, selecting and clearing clips of its own on the way.
class TWideObject : public TGGraphicControl
{
public:
    using TGGraphicControl::TGGraphicControl;
    void PrintTo(TBaseReport *report, double x, double y) override
    {
        report->SetBrush(0, bsSolid);
        report->SetPen(0, psSolid, 0, pmCopy);
        report->PushClipRect(x - 1, y, x + 5, y + 0.5);
        report->SelectClip();
        report->Rectangle(x - 0.5, y + 0.1, x + 4, y + 0.4);
        report->ClearClip();
        report->PopClip();
        report->Rectangle(x - 0.5, y + 0.6, x + 4, y + 0.9);
    }
};

} // namespace

TEST(SheetRenderer, NothingPrintsPastTheCardsEdges)
{
    QObject owner;
    auto *wide = new TWideObject(&owner);
    TSheetRenderer sheet;
    sheet.Objects = {wide};
    const TCardLayout layout; // cards side by side, 3.5 x 2 inches from (0.75, 0.5)
    sheet.SetLayout(layout, TPrinterNudges());
    sheet.PrintSelection = QList<bool>(10, false);
    sheet.PrintSelection[0] = true;

    QTemporaryDir dir;
    const QString pdf = dir.filePath("edges.pdf");
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(TCardLayout::PaperLetter);
    report.SetOrientation(poPortrait);
    ASSERT_TRUE(sheet.Render(report));
    EXPECT_FALSE(report.HasBaseClip());
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const double left = layout.LeftMargin, top = layout.TopMargin;
    for (double band : {0.25, 0.75}) {
        const QRectF inside(left + 0.05, top + band - 0.05, 3.4, 0.1);
        const QRectF before(left - 0.45, top + band - 0.05, 0.4, 0.1);
        const QRectF neighbour(left + 3.55, top + band - 0.05, 0.4, 0.1);
        EXPECT_GT(DarkPixelsIn(pages[0], Dpi, inside), 1000) << band;
        EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, before), 0) << band;
        EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, neighbour), 0) << band;
    }
}
