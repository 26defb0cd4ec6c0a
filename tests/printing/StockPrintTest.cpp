// Printing on card stocks from the catalogue with tessaro-batch: a label at
// each card's top-left lands on the stock's card positions, on its paper;
// the stock's round corners on the outline; the stocks command; and names
// that are unknown or fit several stocks.
#include "PrintTestSupport.h"
#include "document/CardStocks.h"
#include "objects/gbclabel32.h"
#include "printing/Warnbot.h"
#include "surface/Gbcpanel32.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// A design whose only label sits at the card's top-left corner.
void WriteCornerDesign(const QString &path)
{
    TGBusinessCardPanel32 panel;
    panel.SetOwner(&panel);
    panel.setFixedSize(180, 180);
    auto *label = new TGBusinessCardLabel(&panel);
    label->MakeReady();
    label->SetCaption(QStringLiteral("Corner"));
    label->SetAlignment(taLeftJustify);
    label->Font()->SetName(QStringLiteral("Arial"));
    label->Font()->SetSize(8);
    panel.PlaceObject(label, TRect::FromBounds(0, 0, 96, 24));
    label->SetBounds(0, 0, 96, 24);
    panel.SaveToFile(path);
}

// The top-left corners of the printed labels, row by row.
QList<QPointF> LabelCorners(const QString &pdf)
{
    QList<QPointF> corners;
    for (const TPdfWord &word : PdfWords(pdf))
        if (word.text == QLatin1String("Corner"))
            corners.append(word.inches.topLeft());
    std::sort(corners.begin(), corners.end(), [](const QPointF &a, const QPointF &b) {
        return std::abs(a.y() - b.y()) > 0.05 ? a.y() < b.y() : a.x() < b.x();
    });
    return corners;
}

QSizeF PageInches(const QString &pdf)
{
    QString out;
    RunProgram(QStringLiteral("pdfinfo"), {pdf}, &out);
    for (const QString &line : out.split('\n')) {
        if (!line.startsWith(QLatin1String("Page size:")))
            continue;
        const QStringList f = line.simplified().split(' ');
        return QSizeF(f.value(2).toDouble() / 72, f.value(4).toDouble() / 72);
    }
    return QSizeF();
}

} // namespace

TEST(StockPrint, LabelsLandOnEachStocksCardPositions)
{
    QTemporaryDir dir;
    const QString design = dir.filePath("CORNER.TSC");
    WriteCornerDesign(design);

    // Where the text of a label at a card's corner starts, from the standard
    // layout's first card at (0.75, 0.5).
    const QString reference = dir.filePath("reference.pdf");
    TBatchRun run = RunBatch({"print", design, "-o", reference, "--positions", "1"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QPointF> first = LabelCorners(reference);
    ASSERT_EQ(first.size(), 1);
    const QPointF textOffset = first.at(0) - QPointF(0.75, 0.5);

    // The stocks' figures in points as the maker gives them.
    const struct
    {
        const char *name;
        QSizeF paperPt;
        int across, down;
        double leftPt, topPt, hPitchPt, vPitchPt;
    } stocks[] = {
        {"Geha P68", {595.28, 841.89}, 2, 4, 42.52, 36.85, 269.29, 204.09},       // A4, gaps
        {"Southworth BC554", {612, 792}, 2, 5, 36.00, 36.00, 288.00, 144.00},     // Letter
        {"Russian A4 5x9", {595.28, 841.89}, 4, 3, 14.17, 36.85, 141.73, 255.12}, // 4 x 3
        {"Russian A3 5x9", {841.89, 1190.55}, 3, 8, 39.69, 28.35, 255.12, 141.73},
    };
    for (const auto &stock : stocks) {
        SCOPED_TRACE(stock.name);
        const QString pdf = dir.filePath(QString::fromLatin1(stock.name) + ".pdf");
        run = RunBatch({"print", design, "-o", pdf, "--stock", stock.name});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QSizeF page = PageInches(pdf);
        EXPECT_NEAR(page.width(), stock.paperPt.width() / 72, 0.01);
        EXPECT_NEAR(page.height(), stock.paperPt.height() / 72, 0.01);
        const QList<QPointF> corners = LabelCorners(pdf);
        ASSERT_EQ(corners.size(), stock.across * stock.down);
        for (int row = 0; row < stock.down; ++row)
            for (int col = 0; col < stock.across; ++col) {
                const QPointF expected((stock.leftPt + col * stock.hPitchPt) / 72,
                                       (stock.topPt + row * stock.vPitchPt) / 72);
                const QPointF printed = corners.at(row * stock.across + col) - textOffset;
                EXPECT_NEAR(printed.x(), expected.x(), 0.01) << "column " << col << " row " << row;
                EXPECT_NEAR(printed.y(), expected.y(), 0.01) << "column " << col << " row " << row;
            }
    }
}

TEST(StockPrint, RoundCornersShowOnTheOutline)
{
    QTemporaryDir dir;
    const QString design = dir.filePath("CORNER.TSC");
    WriteCornerDesign(design);
    // Sattleford VM-6200: one column of 180 x 50 mm cards with 3 mm corners
    // (8.5 pt), the first at (42.52, 39.69) pt.
    const QString pdf = dir.filePath("outline.pdf");
    const TBatchRun run =
        RunBatch({"print", design, "-o", pdf, "--stock", "Sattleford VM-6200", "--outline"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QList<QImage> pages = RenderPdf(pdf, 300);
    ASSERT_EQ(pages.size(), 1);
    const double left = 42.52 / 72;
    const double top = 39.69 / 72;
    const double bottom = top + 141.73 / 72;
    // The hairline's pixels in an inch rectangle (it prints grey at 300 dpi).
    auto ink = [&](const QRectF &inches) {
        int count = 0;
        for (int y = int(inches.top() * 300); y <= int(inches.bottom() * 300); ++y)
            for (int x = int(inches.left() * 300); x <= int(inches.right() * 300); ++x)
                count += pages[0].valid(x, y) && qGray(pages[0].pixel(x, y)) < 230;
        return count;
    };
    // The straight edges are there; the very corner is not (it is cut round)
    // and the curve runs inside it.
    EXPECT_GT(ink(QRectF(left - 0.01, top + 0.5, 0.02, 0.5)), 100);
    EXPECT_GT(ink(QRectF(left + 0.5, bottom - 0.01, 1.0, 0.02)), 200);
    EXPECT_EQ(ink(QRectF(left - 0.01, bottom - 0.02, 0.025, 0.03)), 0);
    EXPECT_GT(ink(QRectF(left + 0.02, bottom - 0.05, 0.05, 0.05)), 0);
}

TEST(StockPrint, StocksCommandAndNamesThatDoNotChooseOne)
{
    TBatchRun run = RunBatch({"stocks", "8373"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();
    EXPECT_TRUE(lines.at(0).startsWith("Avery 8373\t")) << lines.at(0).toStdString();
    EXPECT_TRUE(lines.at(0).contains("8 cards (2 x 4)")) << lines.at(0).toStdString();
    run = RunBatch({"stocks", "85", "x", "55"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("Hama 50400\t"));
    EXPECT_FALSE(run.out.contains("Avery 5371\t"));
    run = RunBatch({"stocks", "nothing like it"});
    EXPECT_EQ(run.exitCode, 1);

    QTemporaryDir dir;
    const QString design = dir.filePath("CORNER.TSC");
    WriteCornerDesign(design);
    const QString pdf = dir.filePath("none.pdf");
    run = RunBatch({"print", design, "-o", pdf, "--stock", "Avery 837"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("Avery 8371")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("Avery 8373")) << run.err.toStdString();
    run = RunBatch({"print", design, "-o", pdf, "--stock", "Nobody 123"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("no card stock named \"Nobody 123\"")) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(pdf));
}

TEST(StockPrint, TheBottomMarginWarningMeasuresFromTheStocksPaper)
{
    // The 3 x 8 A3 stock ends 0.39 inch above the bottom of its 16.54-inch
    // paper: a printer with a half-inch strip cuts the last row, one with a
    // quarter-inch strip cuts nothing.
    const TStockCatalogue catalogue = TStockCatalogue::Load(QString());
    const TCardLayout a3 = catalogue.Stocks().at(catalogue.Find("Russian A3 5x9").Found).Layout();
    const double paper = PaperHeightInches(a3.Papersize);
    EXPECT_NEAR(paper, 420 / 25.4, 1e-9);
    TBottomMarginCheck check = CheckBottomMargin(a3, TPrinterNudges(), {}, paper, 0.5);
    EXPECT_TRUE(check.Due);
    EXPECT_EQ(check.CardsCut, 3);
    // (Seven pitches kept to the thousandth of an inch: a few thousandths.)
    EXPECT_NEAR(check.NeededMargin, (1190.55 - 28.35 - 8 * 141.73) / 72, 0.005);
    check = CheckBottomMargin(a3, TPrinterNudges(), {}, paper, 0.25);
    EXPECT_FALSE(check.Due);
}
