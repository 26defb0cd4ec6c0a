// Shapes and lines print with the engine's pen, brush and figures: vector
// outlines at the card's place on the sheet.
#include "PrintTestSupport.h"
#include "objects/Gbcshape.h"
#include "objects/Glines.h"
#include "printing/SheetRenderer.h"
#include "report/RPrinter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int Dpi = 150;

TEST(ShapesPrint, ShapesAndLinesPrintAsVectorsAtTheCardsPlace)
{
    QObject owner;
    // At 96 pixels per inch: a 1-inch square outline, transparent, 1 inch
    // from the card's left edge and half an inch down.
    auto *square = new TBCShapes(&owner);
    square->SetBounds(96, 48, 96, 96);
    square->Pen()->SetWidth(4);
    square->SetTransparent(true);
    // A filled black ellipse, 1 x 0.5 inch, right of it.
    auto *ellipse = new TBCShapes(&owner);
    ellipse->SetShape(TGLabelShapes::stEllipse);
    ellipse->SetBounds(240, 48, 96, 48);
    ellipse->Brush()->SetColor(0);
    // A rounded rectangle with large corners (80 % of its 1-inch side).
    auto *rounded = new TBCShapes(&owner);
    rounded->SetShape(TGLabelShapes::stRoundRect);
    rounded->SetRoundPerc(80);
    rounded->SetBounds(240, 110, 96, 48);
    rounded->Brush()->SetColor(0);
    // A 3-pixel horizontal line 1.75 inch down, across 3 inches; and a
    // vertical one down the card's left side.
    auto *line = new TGLineShape(&owner);
    line->SetBounds(0, 168, 288, 10);
    line->Pen()->SetWidth(3);
    auto *vertical = new TGLineShape(&owner);
    vertical->SetLineStyle(TGLineShape::stVertical);
    vertical->SetBounds(10, 20, 10, 96);
    vertical->Pen()->SetWidth(2);

    TCardLayout layout; // 2 x 5 on Letter
    TSheetRenderer sheet;
    sheet.Objects = {square, ellipse, rounded, line, vertical};
    sheet.SetLayout(layout, TPrinterNudges());
    sheet.PrintSelection = QList<bool>(10, false);
    sheet.PrintSelection[3] = true; // second row, right

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("shapes.pdf");
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(TCardLayout::PaperLetter);
    report.SetOrientation(poPortrait);
    ASSERT_TRUE(sheet.Render(report));
    ASSERT_EQ(sheet.CardsDrawn(), 1);

    // Drawn as figures, not as pictures of them.
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("/Subtype /Image"));

    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const QImage &page = pages.first();
    const double x = double(layout.LeftMargin) + double(layout.HPitch);
    const double y = double(layout.TopMargin) + double(layout.VPitch);

    // The square's four sides, and nothing inside it.
    EXPECT_GE(FindVerticalLine(page, Dpi, x + 1.0, y + 0.5, y + 1.5, 3), 0);
    EXPECT_GE(FindVerticalLine(page, Dpi, x + 2.0, y + 0.5, y + 1.5, 3), 0);
    EXPECT_GE(FindHorizontalLine(page, Dpi, y + 0.5, x + 1.0, x + 2.0, 3), 0);
    EXPECT_GE(FindHorizontalLine(page, Dpi, y + 1.5, x + 1.0, x + 2.0, 3), 0);
    EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(x + 1.1, y + 0.6, 0.8, 0.8)), 0);
    EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(x + 0.9, y + 0.4, 0.05, 0.05)), 0);

    // The ellipse is filled in the middle and leaves its corners.
    const QRectF e(x + 2.5, y + 0.5, 1.0, 0.5);
    EXPECT_GT(DarkPixelsIn(page, Dpi, QRectF(e.center() - QPointF(0.1, 0.1), QSizeF(0.2, 0.2))),
              0.9 * 0.04 * Dpi * Dpi);
    EXPECT_EQ(
        DarkPixelsIn(page, Dpi, QRectF(e.topLeft() + QPointF(0.02, 0.02), QSizeF(0.06, 0.05))), 0);
    EXPECT_EQ(
        DarkPixelsIn(page, Dpi, QRectF(e.bottomRight() - QPointF(0.08, 0.07), QSizeF(0.06, 0.05))),
        0);

    // The rounded rectangle: corner ellipses of 0.8 inch leave its corners bare,
    // while its middle and the middle of its long sides are filled.
    const QRectF r(x + 2.5, y + 110 / 96.0, 1.0, 0.5);
    EXPECT_EQ(
        DarkPixelsIn(page, Dpi, QRectF(r.topLeft() + QPointF(0.01, 0.01), QSizeF(0.08, 0.04))), 0);
    EXPECT_GT(DarkPixelsIn(page, Dpi, QRectF(r.center() - QPointF(0.1, 0.1), QSizeF(0.2, 0.2))),
              0.9 * 0.04 * Dpi * Dpi);

    // The line: from the card's left edge over 3 inches, centred 169/96 inch
    // down (its top plus half the pen, in whole pixels), 0.03 inch thick.
    const double lineY = y + 169 / 96.0;
    EXPECT_GE(FindHorizontalLine(page, Dpi, lineY, x + 0.05, x + 2.95, 2), 0);
    EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(x + 0.1, lineY - 0.08, 2.8, 0.04)), 0);
    EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(x + 0.1, lineY + 0.08, 0.8, 0.04)), 0);
    EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(x + 3.05, lineY - 0.05, 0.2, 0.1)), 0);

    // The vertical line runs down from its top by its height.
    EXPECT_GE(FindVerticalLine(page, Dpi, x + 10 / 96.0, y + 0.3, y + 1.2, 3), 0);
    EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(x + 0.05, y + 0.05, 0.1, 0.1)), 0);
}

} // namespace
