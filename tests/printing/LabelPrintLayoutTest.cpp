// Labels whose stored size is not the size their layout gives them: every
// card on the sheet prints the whole label, and the card render shows it whole.
// Also labels read from files holding values the setters never let through.
#include "PrintTestSupport.h"
#include "common/TestSupport.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "objects/gbclabel32.h"
#include "printing/SheetRenderer.h"
#include "report/RPrinter.h"
#include "shell/CardKinds.h"
#include "surface/Gbcpanel32.h"

#include <QPainter>
#include <QTemporaryDir>
#include <climits>
#include <gtest/gtest.h>

namespace {

constexpr int Dpi = 150;

// A stored label with a caption, as another program may have written it.
TGBusinessCardLabel *ReadBack(QObject *owner, const std::function<void(TGBusinessCardLabel &)> &set)
{
    return ReadBackAsStored<TGBusinessCardLabel>(owner, [&](TGBusinessCardLabel &label) {
        label.SetCaption(QStringLiteral("Whole Label"));
        set(label);
    });
}

QString PrintSheet(const QList<TGGraphicControl *> &objects, const QTemporaryDir &dir)
{
    TSheetRenderer sheet;
    sheet.Objects = objects;
    sheet.SetLayout(TCardLayout(), TPrinterNudges());
    sheet.PrintSelection = QList<bool>(10, false);
    sheet.PrintSelection[0] = true;
    sheet.PrintSelection[1] = true;
    const QString pdf = dir.filePath("sheet.pdf");
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(TCardLayout::PaperLetter);
    report.SetOrientation(poPortrait);
    EXPECT_TRUE(sheet.Render(report));
    return pdf;
}

TEST(LabelPrintLayout, EveryCardPrintsTheWholeLabelAndTheRenderShowsItWhole)
{
    // Stored 12 pixels high: too low for its 24-point text until laid out.
    QObject owner;
    TGBusinessCardLabel *label = ReadBack(&owner, [](TGBusinessCardLabel &l) {
        l.SetBounds(20, 30, 260, 12);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSize(24);
        l.AssignFont(font);
    });
    ASSERT_NE(label, nullptr);
    ASSERT_EQ(label->Height(), 12);

    QTemporaryDir dir;
    const QList<QImage> pages = RenderPdf(PrintSheet({label}, dir), Dpi);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_GT(label->Height(), 12); // the layout grew it
    const TCardLayout layout;
    const QRectF first(layout.LeftMargin, layout.TopMargin, layout.Width, layout.Height);
    const QRectF second = first.translated(layout.HPitch, 0);
    const int inkFirst = DarkPixelsIn(pages[0], Dpi, first);
    const int inkSecond = DarkPixelsIn(pages[0], Dpi, second);
    EXPECT_GT(inkFirst, 500);
    EXPECT_NEAR(inkFirst, inkSecond, inkSecond / 50 + 5); // both cards alike
    // The letters reach below the stored 12 pixels on paper.
    const QRectF belowStored(layout.LeftMargin + 20 / 96.0, layout.TopMargin + 43 / 96.0, 2.5,
                             label->Height() / 96.0 - 13 / 96.0);
    EXPECT_GT(DarkPixelsIn(pages[0], Dpi, belowStored), 20);

    // The card as the surface paints it (tessaro-batch render) shows it whole too.
    QObject cardOwner;
    TGBusinessCardLabel *shown = ReadBack(&cardOwner, [](TGBusinessCardLabel &l) {
        l.SetBounds(20, 30, 260, 12);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSize(24);
        l.AssignFont(font);
    });
    TGBusinessCardPanel32 panel;
    panel.SetOwner(&cardOwner);
    panel.setFixedSize(336, 192);
    shown->SetParent(&panel);
    QImage card(panel.size(), QImage::Format_RGB32);
    card.fill(Qt::white);
    {
        QPainter painter(&card);
        panel.PaintCard(painter, false);
    }
    int below = 0;
    for (int y = 42 + 1; y < 30 + shown->Height(); ++y)
        for (int x = 20; x < 280; ++x)
            below += qGray(card.pixel(x, y)) < 100;
    EXPECT_GT(below, 20);
}

TEST(LabelPrintLayout, ValuesNoSetterAllowsAreMadeSaneWhenRead)
{
    QObject owner;
    // No width, a negative height: raised, then laid out to a usable size.
    TGBusinessCardLabel *flat =
        ReadBack(&owner, [](TGBusinessCardLabel &l) { l.SetBounds(10, 10, 0, -5); });
    ASSERT_NE(flat, nullptr);
    EXPECT_GE(flat->Width(), 1);
    EXPECT_GE(flat->Height(), 1);
    QTemporaryDir dir;
    const QList<QImage> pages = RenderPdf(PrintSheet({flat}, dir), Dpi);
    ASSERT_EQ(pages.size(), 1);
    const TCardLayout layout;
    EXPECT_GT(DarkPixelsIn(pages[0], Dpi,
                           QRectF(layout.LeftMargin, layout.TopMargin, layout.Width, layout.Height)),
              100);
    EXPECT_GT(flat->Width(), 5);

    // A quarter turn read from a file stands on its side and is left-aligned.
    TGBusinessCardLabel *turned = ReadBack(&owner, [](TGBusinessCardLabel &l) {
        l.SetBounds(10, 10, 142, 33);
        l.SetAlignment(taCenter);
        l.SetAngle(90);
    });
    ASSERT_NE(turned, nullptr);
    EXPECT_EQ(turned->Angle(), 90);
    EXPECT_EQ(turned->Width(), 33);
    EXPECT_EQ(turned->Height(), 142);
    EXPECT_EQ(turned->Alignment(), taLeftJustify);

    // Depths at the ends of the integer range are kept but drawn within reach.
    TGBusinessCardLabel *deep = ReadBack(&owner, [](TGBusinessCardLabel &l) {
        l.SetDepthShadow(INT_MIN);
        l.SetDepthHighlight(INT_MAX);
        l.SetDirectionShadow(sdDownRight);
        l.SetDirectionHighlight(hdUpLeft);
    });
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->DepthShadow(), INT_MIN);
    EXPECT_EQ(deep->DepthHighlight(), INT_MAX);
    EXPECT_LE(std::abs(deep->ShadowOffset().x()), 1000);
    EXPECT_LE(std::abs(deep->HighlightOffset().y()), 1000);
    QImage image(400, 400, QImage::Format_RGB32);
    QPainter painter(&image);
    deep->Paint(painter); // lays out without overflowing
    EXPECT_GT(deep->Height(), 0);
}

} // namespace
