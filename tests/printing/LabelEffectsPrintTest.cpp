// A label with shadow and highlight three pixels deep, turned a quarter,
// printed on the sheet and painted on the card: both copies in their colours,
// the text running up the card, and nothing outside the label.
#include "PrintTestSupport.h"
#include "objects/gbclabel32.h"
#include "printing/Printlbl.h"
#include "report/RPrinter.h"
#include "surface/Gbcpanel32.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int Dpi = 300;

bool IsRed(QRgb c)
{
    return qRed(c) > 170 && qGreen(c) < 90 && qBlue(c) < 90;
}
bool IsLime(QRgb c)
{
    return qGreen(c) > 170 && qRed(c) < 90 && qBlue(c) < 90;
}
bool IsInk(QRgb c)
{
    return qGray(c) < 100 && !IsRed(c) && !IsLime(c);
}

struct TInk
{
    int red = 0, lime = 0, black = 0;
    QRect blackBox;
    int outside = 0; // any non-white pixel outside the label's area
};

TInk Survey(const QImage &image, const QRect &label, const QRect &area)
{
    TInk ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            const bool inside = label.contains(x, y);
            if (!inside) {
                if (qGray(c) < 200)
                    ++ink.outside;
                continue;
            }
            if (IsRed(c))
                ++ink.red;
            else if (IsLime(c))
                ++ink.lime;
            else if (IsInk(c)) {
                ++ink.black;
                ink.blackBox |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

TGBusinessCardLabel *EffectsLabel(TGBusinessCardPanel32 &panel)
{
    auto *label = new TGBusinessCardLabel(&panel);
    label->MakeReady();
    label->SetParent(&panel);
    label->SetCaption(QStringLiteral("EFFECTS"));
    label->Font()->SetHeight(-24);
    label->SetDepthShadow(3);
    label->SetDepthHighlight(3);
    label->SetShadowColor(255);        // red
    label->SetColorHighlight(65280);   // lime
    label->SetAngle(90);
    label->SetBounds(60, 10, 50, 170);
    return label;
}

void ExpectEffects(const TInk &ink, const std::string &where)
{
    EXPECT_GT(ink.red, 40) << where << ": the shadow copy is missing";
    EXPECT_GT(ink.lime, 40) << where << ": the highlight copy is missing";
    EXPECT_GT(ink.black, 40) << where << ": the main text is missing";
    // Turned a quarter, the text runs up the card: its ink is tall and narrow.
    EXPECT_GT(ink.blackBox.height(), 2 * ink.blackBox.width()) << where;
    EXPECT_EQ(ink.outside, 0) << where << ": ink outside the label";
}

} // namespace

TEST(LabelEffectsPrint, ShadowHighlightAndQuarterTurnOnCardAndPaper)
{
    TGBusinessCardPanel32 panel;
    panel.SetOwner(&panel);
    panel.setFixedSize(336, 192);
    panel.SetDrawOutline(false);
    TGBusinessCardLabel *label = EffectsLabel(panel);

    // On paper: the first position of a 2 x 5 Letter sheet, 0.75 in and 0.5 in from the corner.
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("effects.pdf"));
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(1);
    TLabelPrinter job;
    job.Panel = &panel;
    job.Renderer().PrintSelection = QList<bool>(10, false);
    job.Renderer().PrintSelection[0] = true;
    job.Renderer().SetLayout(TCardLayout(), TPrinterNudges());
    job.SetPrinterReport(&report);
    job.RunJob();
    ASSERT_FALSE(job.Failed()) << job.ErrorMessage().toStdString();
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const double ppi = 96.0;
    auto px = [](double inches) { return int(std::lround(inches * Dpi)); };
    const QRect onPaper(px(0.75 + 60 / ppi), px(0.5 + 10 / ppi), px(50 / ppi), px(170 / ppi));
    // One device pixel of slack round the label for antialiased edges.
    const QRect slack = onPaper.adjusted(-2, -2, 2, 2);
    const QRect card300(px(0.75), px(0.5), px(3.5), px(2.0));
    ExpectEffects(Survey(pages.first(), slack, card300), "paper");

    // On the card as the surface paints it (after printing, so that printing
    // cannot lean on a layout the painting did).
    QImage card(panel.size(), QImage::Format_RGB32);
    {
        QPainter painter(&card);
        panel.PaintCard(painter, false);
    }
    ExpectEffects(Survey(card, label->BoundsRect().ToQRect(), card.rect()), "card");
}
