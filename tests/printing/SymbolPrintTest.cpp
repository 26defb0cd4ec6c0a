// Symbol text on paper and in pictures: a symbol label and a text label in
// WingDings, printed with tessaro-batch print and painted with render, show
// the pictures of their codes with the picture font embedded.
#include "PrintTestSupport.h"
#include "graphics/SymbolFonts.h"
#include "objects/Gpmlabel.h"
#include "objects/Gpslabel.h"
#include "objects/gbclabel32.h"
#include "printing/SheetRenderer.h"
#include "surface/Gbcpanel32.h"

#include <QFontDatabase>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString BatchPath = QStringLiteral(TESSARO_BINARY_DIR "/tessaro-batch");

// The symbol label at (48, 24) shows the telephone; the text label below it
// says "*(" in WingDings: an envelope and a telephone.
TRect WriteSymbolDesign(const QString &path)
{
    TGBusinessCardPanel32 panel;
    panel.SetOwner(&panel);
    panel.setFixedSize(336, 192);
    auto *symbol = new TGSymbolLabel(&panel);
    symbol->MakeReady();
    symbol->SetCaption(QStringLiteral("("));
    panel.PlaceObject(symbol, TRect::FromBounds(48, 24, 60, 60));
    auto *text = new TGBusinessCardLabel(&panel);
    text->MakeReady();
    text->SetCaption(QStringLiteral("*("));
    text->Font()->SetName(QStringLiteral("WingDings"));
    text->Font()->SetSize(20);
    panel.PlaceObject(text, TRect::FromBounds(48, 110, 200, 40));
    panel.SaveToFile(path);
    return symbol->BoundsRect();
}

int DarkIn(const QImage &image, const QRect &r)
{
    int dark = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

bool PictureFontInstalled()
{
    return QFontDatabase::families().contains(SymbolPictureFamilies().first()) &&
           !QFontDatabase::families().contains(QStringLiteral("Wingdings"), Qt::CaseInsensitive);
}

} // namespace

TEST(SymbolPrint, ThePdfHoldsThePicturesInAnEmbeddedFont)
{
    if (!PictureFontInstalled())
        GTEST_SKIP() << "needs the picture font and no real Wingdings";
    QTemporaryDir dir;
    const QString design = dir.filePath("symbols.tsc");
    const TRect bounds = WriteSymbolDesign(design);
    const QString pdf = dir.filePath("symbols.pdf");
    QString out;
    QString err;
    ASSERT_EQ(RunProgram(BatchPath, {"print", design, "-o", pdf}, &out, &err), 0)
        << err.toStdString();

    QString fonts;
    ASSERT_EQ(RunProgram("pdffonts", {pdf}, &fonts), 0);
    bool embedded = false;
    for (const QString &line : fonts.split('\n'))
        if (line.contains(SymbolPictureFamilies().first()))
            embedded = embedded || line.simplified().split(' ').contains("yes");
    EXPECT_TRUE(embedded) << fonts.toStdString();

    // The pictures are drawn, not their letters: the text holds no "(" or "*"
    // (the glyphs lie beyond the font's basic plane, which the PDF writer
    // does not map back to text, so pdftotext finds no words at all).
    QString text;
    ASSERT_EQ(RunProgram("pdftotext", {pdf, "-"}, &text), 0);
    EXPECT_FALSE(text.contains('(')) << text.toStdString();
    EXPECT_FALSE(text.contains('*'));

    // The first card's telephone carries as much ink as the card painted on
    // screen shows (an empty box would have a fraction of it).
    const QString png = dir.filePath("card.png");
    ASSERT_EQ(RunProgram(BatchPath, {"render", design, "-o", png}), 0);
    const QImage card(png);
    ASSERT_FALSE(card.isNull());
    const QRect onScreen(bounds.Left, bounds.Top, bounds.Right - bounds.Left,
                         bounds.Bottom - bounds.Top);
    const double screenInk = DarkIn(card, onScreen);
    const QList<QImage> pages = RenderPdf(pdf, 96);
    ASSERT_EQ(pages.size(), 1);
    const TCardLayout layout;
    const QRectF inches(layout.LeftMargin + bounds.Left / 96.0,
                        layout.TopMargin + bounds.Top / 96.0, (bounds.Right - bounds.Left) / 96.0,
                        (bounds.Bottom - bounds.Top) / 96.0);
    const double paperInk = DarkPixelsIn(pages.first(), 96, inches);
    EXPECT_GT(screenInk, 80);
    EXPECT_NEAR(paperInk / screenInk, 1.0, 0.3) << paperInk << " " << screenInk;
}

TEST(SymbolPrint, RenderedCardsShowTheSymbolAtEachZoom)
{
    if (!PictureFontInstalled())
        GTEST_SKIP() << "needs the picture font and no real Wingdings";
    QTemporaryDir dir;
    const QString design = dir.filePath("symbols.tsc");
    const TRect bounds = WriteSymbolDesign(design);
    int darkAt[3] = {0, 0, 0};
    for (int zoom : {1, 2}) {
        const QString png = dir.filePath(QStringLiteral("card%1.png").arg(zoom));
        QString err;
        ASSERT_EQ(RunProgram(BatchPath,
                             {"render", design, "-o", png, "--zoom", QString::number(zoom)},
                             nullptr, &err),
                  0)
            << err.toStdString();
        const QImage card(png);
        ASSERT_FALSE(card.isNull());
        const QRect symbol(bounds.Left * zoom, bounds.Top * zoom,
                           (bounds.Right - bounds.Left) * zoom,
                           (bounds.Bottom - bounds.Top) * zoom);
        darkAt[zoom] = DarkIn(card, symbol);
        // Nothing of it spills past the glyph-sized bounds on the right.
        EXPECT_EQ(DarkIn(card, QRect(symbol.right() + 2, symbol.top(), 20 * zoom, symbol.height())),
                  0);
    }
    EXPECT_GT(darkAt[1], 80);
    // Twice the size: about four times the ink.
    EXPECT_GT(darkAt[2], 3 * darkAt[1]);
    EXPECT_LT(darkAt[2], 5 * darkAt[1]);
}

TEST(SymbolPrint, MultiLineTextInASymbolFontPrintsItsPictures)
{
    if (!PictureFontInstalled())
        GTEST_SKIP() << "needs the picture font and no real Wingdings";
    QTemporaryDir dir;
    const QString design = dir.filePath("webdings.tsc");
    {
        TGBusinessCardPanel32 panel;
        panel.SetOwner(&panel);
        panel.setFixedSize(336, 192);
        auto *lines = new TGMultiLineLabel(&panel);
        lines->MakeReady();
        lines->Font()->SetName(QStringLiteral("Webdings"));
        lines->Font()->SetSize(18);
        // An eye, a heart and a city: "I love New York".
        lines->SetItems({QStringLiteral("NYC")});
        panel.PlaceObject(lines, TRect::FromBounds(48, 24, 200, 40));
        panel.SaveToFile(design);
    }
    const QString pdf = dir.filePath("webdings.pdf");
    QString err;
    ASSERT_EQ(RunProgram(BatchPath, {"print", design, "-o", pdf}, nullptr, &err), 0)
        << err.toStdString();
    QString fonts;
    ASSERT_EQ(RunProgram("pdffonts", {pdf}, &fonts), 0);
    EXPECT_TRUE(fonts.contains(SymbolPictureFamilies().first())) << fonts.toStdString();
    QString text;
    ASSERT_EQ(RunProgram("pdftotext", {pdf, "-"}, &text), 0);
    EXPECT_FALSE(text.contains("NYC")) << text.toStdString();
    const QList<QImage> pages = RenderPdf(pdf, 96);
    ASSERT_EQ(pages.size(), 1);
    const TCardLayout layout;
    EXPECT_GT(DarkPixelsIn(pages.first(), 96,
                           QRectF(layout.LeftMargin + 0.5, layout.TopMargin + 0.25, 2.0, 0.4)),
              150);
}
