// Labels print straight onto the page: the paper shows exactly what the
// label's drawing recorded as a picture and stretched onto its place shows,
// each printed label costs the page one transform and no state it does not
// draw with, and what a job prepared never outlives a change of the label.
#include "MixedCard.h"
#include "PrintTestSupport.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"
#include "objects/gbclabel32.h"
#include "printing/SheetRenderer.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"
#include "surface/Gbcpanel32.h"
#include "surface/ScreenInfo.h"

#include <QFile>
#include <QMap>
#include <QPainter>
#include <QPicture>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int Dpi = 300;
const TCardLayout Layout; // 2 x 5 on Letter, the first card at (0.75, 0.5) inches

// Prints the card's objects at the first position of the sheet.
void PrintFirstCard(const QList<TGGraphicControl *> &objects, TBaseReport &report)
{
    TSheetRenderer sheet;
    sheet.Objects = objects;
    sheet.SetLayout(Layout, TPrinterNudges());
    sheet.PrintSelection = QList<bool>(10, false);
    sheet.PrintSelection[0] = true;
    ASSERT_TRUE(sheet.Render(report));
}

// A report that prints a Letter sheet into a PDF file.
std::unique_ptr<TReportPrinter> PdfReport(const QString &pdf)
{
    auto report = std::make_unique<TReportPrinter>();
    report->SetOutputFile(pdf);
    report->SetPaperSize(TCardLayout::PaperLetter);
    report->SetOrientation(poPortrait);
    return report;
}

void PrintFirstCard(const QList<TGGraphicControl *> &objects, const QString &pdf)
{
    PrintFirstCard(objects, *PdfReport(pdf));
}

// The same card as labels used to print: each label's and rich text's
// drawing recorded into a new picture and stretched onto its place, the
// other kinds as they print.
void PrintFirstCardThroughPictures(const QList<TGGraphicControl *> &objects, TBaseReport &report)
{
    const double x = double(Layout.LeftMargin), y = double(Layout.TopMargin);
    report.OnPrint = [&](TBaseReport &r) {
        r.SetMarginLeft(0);
        r.SetMarginTop(0);
        r.SetBaseClipRect(x, y, x + double(Layout.Width), y + double(Layout.Height));
        const double ppi = ScreenPixelsPerInch();
        for (TGGraphicControl *object : objects) {
            auto *label = qobject_cast<TGBaseLabel *>(object);
            auto *rich = qobject_cast<TGPRichBaseLabel *>(object);
            if (!label && !rich) {
                object->PrintTo(&r, x, y);
                continue;
            }
            object->UpdateLayout();
            QPicture picture;
            {
                QPainter painter(&picture);
                painter.setClipRect(0, 0, object->Width(), object->Height());
                if (label)
                    label->DrawLabel(painter);
                else
                    rich->Paint(painter);
            }
            picture.setBoundingRect(QRect(0, 0, object->Width(), object->Height()));
            r.StretchDraw(r.InchRect(x + object->Left() / ppi, y + object->Top() / ppi,
                                     x + (object->Left() + object->Width()) / ppi,
                                     y + (object->Top() + object->Height()) / ppi),
                          picture);
        }
        r.ClearBaseClip();
    };
    ASSERT_TRUE(report.Execute());
    report.OnPrint = nullptr;
}

void PrintFirstCardThroughPictures(const QList<TGGraphicControl *> &objects, const QString &pdf)
{
    PrintFirstCardThroughPictures(objects, *PdfReport(pdf));
}

// The recorded page as the preview shows it, at `ppi` pixels per inch.
QImage PreviewPage(const TReportFiler &recording, double ppi)
{
    TRecordedReport pages;
    if (!ReadRecordedReport(recording.StreamData(), pages) || pages.Pages.isEmpty())
        return {};
    QImage image(qRound(pages.PageWidth * ppi), qRound(pages.PageHeight * ppi),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (!PlayRecordedPage(painter, pages, 0, ppi, ppi))
        return {};
    return image;
}

QRect InchesToPixels(const QRectF &inches)
{
    return QRect(qRound(inches.left() * Dpi), qRound(inches.top() * Dpi),
                 qRound(inches.width() * Dpi), qRound(inches.height() * Dpi));
}

// The page's drawing commands: the largest stream of the file that inflates
// and holds a transform.
QByteArray PageContent(const QString &pdf)
{
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = file.readAll();
    QByteArray content;
    qsizetype from = 0;
    for (;;) {
        qsizetype start = data.indexOf("stream", from);
        if (start < 0)
            break;
        start += 6;
        if (data.mid(start, 2) == "\r\n")
            start += 2;
        else if (data.mid(start, 1) == "\n")
            ++start;
        const qsizetype end = data.indexOf("endstream", start);
        if (end < 0)
            break;
        from = end + 9;
        const QByteArray packed = data.mid(start, end - start);
        // qUncompress wants the size first; it grows a guess that is too small.
        QByteArray sized(4, '\0');
        const quint32 guess = quint32(packed.size()) * 16;
        for (int i = 0; i < 4; ++i)
            sized[i] = char((guess >> (24 - 8 * i)) & 0xFF);
        const QByteArray text = qUncompress(sized + packed);
        if (text.contains(" cm\n") && text.size() > content.size())
            content = text;
    }
    return content;
}

struct TStateBlocks
{
    int empty = 0;      // q ... Q pairs that draw nothing
    int transforms = 0; // cm
    int clips = 0;      // W n / W* n
    int texts = 0;      // BT
};

// Counts the state blocks that open within the objects' drawing: from the
// transform before the first text to the last text's end. What the sheet
// writes around a card (its clip) lies outside.
TStateBlocks CountObjectBlocks(const QByteArray &content)
{
    TStateBlocks counts;
    const QList<QByteArray> lines = content.split('\n');
    qsizetype first = lines.indexOf("BT");
    const qsizetype last = lines.lastIndexOf("ET");
    while (first > 0 && !lines[first].endsWith(" cm"))
        --first;
    if (first <= 0 || last < first)
        return counts;
    static const QRegularExpression paints(QStringLiteral("(^| )(Tj|TJ|f\\*?|S|B\\*?|Do|sh)$"));
    struct TOpen
    {
        bool counted;
        bool drew;
    };
    QList<TOpen> open;
    for (qsizetype i = first - 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (i <= last) {
            if (line.endsWith(" cm"))
                ++counts.transforms;
            if (line == "W n" || line == "W* n")
                ++counts.clips;
            if (line == "BT")
                ++counts.texts;
        }
        if (paints.match(QString::fromLatin1(line)).hasMatch() && !open.isEmpty())
            open.last().drew = true;
        for (const QByteArray &op : line.split(' ')) {
            if (op == "q") {
                open.append({i <= last, false});
            } else if (op == "Q" && !open.isEmpty()) {
                const TOpen block = open.takeLast();
                if (block.counted && !block.drew)
                    ++counts.empty;
                if (block.drew && !open.isEmpty())
                    open.last().drew = true;
            }
        }
    }
    return counts;
}

TGBusinessCardLabel *AddLabel(QObject &owner, QList<TGGraphicControl *> &objects,
                              const QString &caption, const QRect &bounds)
{
    auto *label = new TGBusinessCardLabel(&owner);
    label->SetBounds(bounds.x(), bounds.y(), bounds.width(), bounds.height());
    label->SetCaption(caption);
    objects.append(label);
    return label;
}

} // namespace

TEST(PlacedPrint, MixedCardPrintsAsItsRecordedDrawingWithNothingPastTheCard)
{
    TGBusinessCardPanel32 panel;
    panel.SetOwner(&panel);
    BuildMixedCard(panel);
    const QList<TGGraphicControl *> objects = panel.Objects();
    ASSERT_GE(objects.size(), 15);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString direct = dir.filePath("direct.pdf");
    const QString pictures = dir.filePath("pictures.pdf");
    PrintFirstCard(objects, direct);
    PrintFirstCardThroughPictures(objects, pictures);
    const QList<QImage> a = RenderPdf(direct, Dpi);
    const QList<QImage> b = RenderPdf(pictures, Dpi);
    ASSERT_EQ(a.size(), 1);
    ASSERT_EQ(b.size(), 1);
    ASSERT_EQ(a[0].size(), b[0].size());

    // On the card, pixel for pixel the same, and plenty of it.
    const QRectF card(double(Layout.LeftMargin), double(Layout.TopMargin), double(Layout.Width),
                      double(Layout.Height));
    const TPixelComparison onCard = ComparePixels(a[0], b[0], InchesToPixels(card));
    EXPECT_EQ(onCard.differing, 0);
    EXPECT_GT(onCard.ink, 40000);

    // The label over the right edge: a played picture set its own clip in
    // place of the card's and ran onto the next card; placed, it stops at the edge.
    const QRectF pastEdge(card.right() + 0.01, card.top(), 0.8, card.height());
    EXPECT_EQ(ComparePixels(a[0], a[0], InchesToPixels(pastEdge)).ink, 0);
    EXPECT_GT(ComparePixels(b[0], b[0], InchesToPixels(pastEdge)).ink, 500);

    // The recorded page the preview shows: the same on the card as well.
    TReportFiler placedPage, picturesPage;
    PrintFirstCard(objects, placedPage);
    PrintFirstCardThroughPictures(objects, picturesPage);
    constexpr double PreviewPpi = 144;
    const QImage shownPlaced = PreviewPage(placedPage, PreviewPpi);
    const QImage shownPictures = PreviewPage(picturesPage, PreviewPpi);
    ASSERT_FALSE(shownPlaced.isNull());
    ASSERT_EQ(shownPlaced.size(), shownPictures.size());
    const QRect cardShown(qRound(card.left() * PreviewPpi), qRound(card.top() * PreviewPpi),
                          qRound(card.width() * PreviewPpi), qRound(card.height() * PreviewPpi));
    const TPixelComparison shown = ComparePixels(shownPlaced, shownPictures, cardShown);
    EXPECT_EQ(shown.differing, 0);
    EXPECT_GT(shown.ink, 5000);
}

TEST(PlacedPrint, EachLabelCostsOneTransformAndNoClipItDoesNotNeed)
{
    QObject owner;
    QList<TGGraphicControl *> objects;
    constexpr int Plain = 20;
    for (int i = 0; i < Plain; ++i)
        AddLabel(owner, objects, QStringLiteral("Line %1 of the card").arg(i + 1),
                 QRect(8 + i % 2 * 160, 6 + i / 2 % 5 * 36, 150, 24));
    // Depths, a background and a border draw more, still with no clip.
    auto *deep = AddLabel(owner, objects, QStringLiteral("Deep"), QRect(8, 150, 100, 30));
    deep->SetDepthShadow(2);
    deep->SetDepthHighlight(1);
    deep->SetTransparent(false);
    deep->SetBorderStyle(TGBaseLabel::bsSingle);
    // Ink that comes within a pixel of its box, at the left edge and
    // aligned to the right one, still lies inside it.
    AddLabel(owner, objects, QStringLiteral("TTTT"), QRect(8, 120, 100, 24))
        ->SetAlignment(taLeftJustify);
    AddLabel(owner, objects, QStringLiteral("TTTT"), QRect(170, 120, 100, 24))
        ->SetAlignment(taRightJustify);
    // Text longer than its box: one clip for it, and one to go back to the card's.
    AddLabel(owner, objects, QStringLiteral("Far too long for so small a box"),
             QRect(170, 150, 60, 24));

    QTemporaryDir dir;
    const QString pdf = dir.filePath("blocks.pdf");
    PrintFirstCard(objects, pdf);
    const QByteArray content = PageContent(pdf);
    ASSERT_FALSE(content.isEmpty());
    const TStateBlocks blocks = CountObjectBlocks(content);
    EXPECT_EQ(blocks.texts, Plain + 3 + 2 + 1);
    // One per plain label; the deep one's fill, its three copies (each from
    // its own corner) and four border strips (the device writes a transform
    // with each fill); the clipped one's clip and its text.
    EXPECT_EQ(blocks.transforms, Plain + 8 + 2 + 2);
    // The clip goes to the device under the label's placement, its text
    // under the page scale: that placement's state draws nothing.
    EXPECT_EQ(blocks.empty, 1);
    EXPECT_EQ(blocks.clips, 1);
    // Every text, the clipped one too, is the shaping kept for the job:
    // glyphs at 64 times the size.
    static const QRegularExpression size(QStringLiteral("/F\\d+ ([0-9.]+) Tf"));
    int sizes = 0;
    for (auto m = size.globalMatch(QString::fromLatin1(content)); m.hasNext(); ++sizes)
        EXPECT_GT(m.next().captured(1).toDouble(), 200);
    EXPECT_EQ(sizes, Plain + 3 + 2 + 1);
    // No text label goes through a recorded picture any more: played
    // pictures wrote a dozen state blocks per label.
    EXPECT_LT(content.count("\nq\n"), 2 * (Plain + 2) + 20);
}

TEST(PlacedPrint, WhatAJobPreparedFollowsAChangeOfTheLabel)
{
    QObject owner;
    QList<TGGraphicControl *> objects;
    auto *label = AddLabel(owner, objects, QStringLiteral("Before"), QRect(20, 20, 200, 30));
    QTemporaryDir dir;
    const QString pdf = dir.filePath("change.pdf");

    TSheetRenderer sheet;
    sheet.Objects = objects;
    sheet.SetLayout(Layout, TPrinterNudges());
    // Between the first and the second position the label changes.
    sheet.OnPositionStarting = [&](int index) {
        if (index == 1)
            label->SetCaption(QStringLiteral("After"));
        if (index == 2)
            label->Font()->SetSize(20);
        if (index == 3)
            sheet.StopRequested = true;
    };
    sheet.Render(*PdfReport(pdf));
    ASSERT_EQ(sheet.CardsDrawn(), 3);

    // The first card reads "Before", the second (to its right) "After", the
    // third (below the first) "After" twice as high.
    const QList<TPdfWord> printed = PdfWords(pdf);
    ASSERT_EQ(printed.size(), 3);
    QMap<int, TPdfWord> byCard;
    for (const TPdfWord &w : printed)
        byCard[(w.inches.top() > 2.5 ? 2 : 0) + (w.inches.left() > 4.25 ? 1 : 0)] = w;
    ASSERT_EQ(byCard.keys(), QList<int>({0, 1, 2}));
    EXPECT_EQ(byCard[0].text, QStringLiteral("Before"));
    EXPECT_EQ(byCard[1].text, QStringLiteral("After"));
    EXPECT_EQ(byCard[2].text, QStringLiteral("After"));
    EXPECT_GT(byCard[2].inches.height(), byCard[1].inches.height() * 1.5);

    // A later job starts afresh.
    label->SetCaption(QStringLiteral("Later"));
    PrintFirstCard(objects, pdf);
    const QList<TPdfWord> words = PdfWords(pdf);
    ASSERT_EQ(words.size(), 1);
    EXPECT_EQ(words[0].text, QStringLiteral("Later"));
}

TEST(PlacedPrint, AfterAPlacedPieceTheReportDrawsOnThePageAgain)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    const std::unique_ptr<TReportPrinter> printer = PdfReport(pdf);
    TReportPrinter &report = *printer;
    bool placed = false;
    report.OnPrint = [&](TBaseReport &r) {
        r.SetMarginLeft(0);
        r.SetMarginTop(0);
        r.SetBaseClipRect(1, 1, 3, 2);
        // A piece of 10 x 10 units on half an inch by a fifth, cut to its
        // top-left quarter.
        QPainter *painter = r.BeginPlaced(r.InchRect(1.5, 1.2, 2.0, 1.4), QSizeF(10, 10));
        placed = painter != nullptr;
        if (!painter)
            return;
        r.ClipPlaced(QRectF(0, 0, 5, 5));
        painter->fillRect(QRectF(0, 0, 10, 10), Qt::red);
        r.EndPlaced();
        // Then a figure of the report, in inches, from left of the base clip
        // to right of it: only the base clip cuts it.
        r.SetBrush(0, bsSolid);
        r.SetPen(0, psSolid, 0, pmCopy);
        r.Rectangle(0.5, 1.5, 3.5, 1.8);
        r.ClearBaseClip();
    };
    ASSERT_TRUE(report.Execute());
    ASSERT_TRUE(placed);
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const auto at = [&](double x, double y) {
        return pages[0].pixel(qRound(x * Dpi), qRound(y * Dpi));
    };
    const auto isRed = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60; };
    const auto isBlack = [](QRgb c) { return qGray(c) < 60; };
    const auto isWhite = [](QRgb c) { return qGray(c) > 245; };
    EXPECT_TRUE(isRed(at(1.6, 1.25)));
    EXPECT_TRUE(isWhite(at(1.9, 1.35))); // the piece's clip cut it there
    EXPECT_TRUE(isBlack(at(1.1, 1.65))); // the piece's clip and scale are gone
    EXPECT_TRUE(isBlack(at(2.9, 1.65)));
    EXPECT_TRUE(isWhite(at(0.8, 1.65))); // the base clip still cuts
    EXPECT_TRUE(isWhite(at(3.2, 1.65)));
}

// A multi-line label whose font names no family (a design file may leave the
// name out) prints in the default family on the page the preview records,
// as it does on paper.
TEST(PlacedPrint, AFontWithoutANamePrintsOnThePreviewPage)
{
    QObject owner;
    auto *lines = new TGMultiLineLabel(&owner);
    lines->MakeReady();
    lines->SetItems({QStringLiteral("123 Main Street"), QStringLiteral("Springfield")});
    lines->Font()->SetName(QString());
    lines->SetBounds(20, 20, 200, 40);
    TReportFiler page;
    PrintFirstCard({lines}, page);
    const QImage shown = PreviewPage(page, Dpi);
    ASSERT_FALSE(shown.isNull());
    const double ppi = ScreenPixelsPerInch();
    const QRectF label(0.75 + 20 / ppi, 0.5 + 20 / ppi, 200 / ppi, 40 / ppi);
    EXPECT_GT(ComparePixels(shown, shown, InchesToPixels(label)).ink, 300);
}

