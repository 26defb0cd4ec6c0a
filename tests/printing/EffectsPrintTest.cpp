// Super shapes and super texts on paper: the same layers as on screen, at the
// card's place on the sheet, drawn as figures and glyph outlines.
#include "PrintTestSupport.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "graphics/SymbolFonts.h"
#include "printing/SheetRenderer.h"
#include "report/RPFiler.h"
#include "report/RPrinter.h"
#include "surface/Gbcpanel32.h"

#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int Dpi = 300;

QRgb At(const QImage &page, double inchX, double inchY)
{
    return page.pixel(int(inchX * Dpi), int(inchY * Dpi));
}

bool Near(QRgb c, int r, int g, int b, int tolerance)
{
    return std::abs(qRed(c) - r) <= tolerance && std::abs(qGreen(c) - g) <= tolerance &&
           std::abs(qBlue(c) - b) <= tolerance;
}

// Pixels inside an inch rectangle that pass the test.
int Count(const QImage &page, const QRectF &inches, const std::function<bool(QRgb)> &match)
{
    int n = 0;
    for (int y = int(inches.top() * Dpi); y < int(inches.bottom() * Dpi); ++y)
        for (int x = int(inches.left() * Dpi); x < int(inches.right() * Dpi); ++x)
            if (page.valid(x, y) && match(page.pixel(x, y)))
                ++n;
    return n;
}

QString PrintSheet(const QList<TGGraphicControl *> &objects, const QList<bool> &selection,
                   const QString &pdf)
{
    TCardLayout layout;
    TSheetRenderer sheet;
    sheet.Objects = objects;
    sheet.SetLayout(layout, TPrinterNudges());
    sheet.PrintSelection = selection;
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(TCardLayout::PaperLetter);
    report.SetOrientation(poPortrait);
    if (!sheet.Render(report))
        return QString();
    return pdf;
}

// Whether the PDF holds any picture: figures and glyphs print as paths.
bool HoldsPictures(const QString &pdf)
{
    QFile file(pdf);
    return !file.open(QIODevice::ReadOnly) || file.readAll().contains("/Subtype /Image");
}

TSuperShape *Shape(QObject *owner, TSuperShape::TGPShapeType kind, int left, int top, int width,
                   int height)
{
    auto *shape = new TSuperShape(owner);
    shape->SetBounds(left, top, width, height);
    shape->SetShape(kind);
    shape->SetOutlineStyle(psClear);
    return shape;
}

} // namespace

TEST(EffectsPrint, ShapeLayersPrintAtTheCardsPlaceAsFigures)
{
    QObject owner;
    // 1 x 0.5 inch at (1, 0.5) inch on the card: black to white, left to right.
    TSuperShape *gradient = Shape(&owner, TSuperShape::gstRectangle, 96, 48, 96, 48);
    gradient->SetBackColor(0x000000);
    gradient->SetGradientToColor(0xFFFFFF);
    gradient->SetFillDirection(gdRight);
    // Red, with a green shadow 10 pixels down and right, below it.
    TSuperShape *shadowed = Shape(&owner, TSuperShape::gstRectangle, 96, 120, 96, 48);
    shadowed->SetSurfaceType(TSuperShape::stBrushPattern);
    shadowed->SetShadowOrient(TSuperShape::soLowerRight);
    shadowed->SetShadowDepth(10);
    shadowed->SetShadowColor(0x00FF00);
    // A transparent ellipse with a blue outline 3 hundredths of an inch wide.
    TSuperShape *ring = Shape(&owner, TSuperShape::gstEllipse, 220, 48, 96, 96);
    ring->SetSurfaceType(TSuperShape::stBrushTransparent);
    ring->SetOutlineStyle(psSolid);
    ring->SetOutlineWidth(3);
    ring->SetOutlineColor(0xFF0000);
    // A red-filled star.
    TSuperShape *star = Shape(&owner, TSuperShape::gstStar, 220, 150, 40, 40);
    star->SetSurfaceType(TSuperShape::stBrushPattern);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QList<bool> selection(10, false);
    selection[3] = true; // second row, right
    const QString pdf =
        PrintSheet({gradient, shadowed, ring, star}, selection, dir.filePath("shapes.pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_FALSE(HoldsPictures(pdf));

    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const QImage &page = pages.first();
    TCardLayout layout;
    const double x = double(layout.LeftMargin) + double(layout.HPitch);
    const double y = double(layout.TopMargin) + double(layout.VPitch);

    // The gradient reaches both colours at the object's edges, grey between.
    EXPECT_TRUE(Near(At(page, x + 1.005, y + 0.75), 0, 0, 0, 8));
    EXPECT_TRUE(Near(At(page, x + 1.995, y + 0.75), 255, 255, 255, 8));
    EXPECT_TRUE(Near(At(page, x + 1.5, y + 0.75), 128, 128, 128, 8));
    EXPECT_TRUE(Near(At(page, x + 0.98, y + 0.75), 255, 255, 255, 0));
    EXPECT_TRUE(Near(At(page, x + 2.02, y + 0.75), 255, 255, 255, 0));

    // Figure red; the shadow green exactly 10 pixels (10/96 inch) further.
    const double sx = x + 1.0;
    const double sy = y + 1.25;
    EXPECT_TRUE(Near(At(page, sx + 0.2, sy + 0.2), 255, 0, 0, 0));
    EXPECT_TRUE(Near(At(page, sx + 0.95, sy + 0.46), 0, 255, 0, 0));
    EXPECT_TRUE(Near(At(page, sx + 0.05, sy + 0.46), 255, 255, 255, 0));
    // The red figure ends 86 pixels in; the shadow's edge 96 pixels in.
    EXPECT_TRUE(Near(At(page, sx + 85.0 / 96, sy + 0.2), 255, 0, 0, 0));
    EXPECT_TRUE(Near(At(page, sx + 87.0 / 96, sy + 0.2), 0, 255, 0, 0));
    EXPECT_TRUE(Near(At(page, sx + 97.0 / 96, sy + 0.2), 255, 255, 255, 0));

    // The ring: blue at its left and top edges, empty inside.
    const auto blue = [](QRgb c) { return Near(c, 0, 0, 255, 40); };
    const double rx = x + 220.0 / 96;
    const double ry = y + 0.5;
    EXPECT_GT(Count(page, QRectF(rx - 0.02, ry + 0.45, 0.06, 0.1), blue), 10);
    EXPECT_GT(Count(page, QRectF(rx + 0.45, ry - 0.02, 0.1, 0.06), blue), 10);
    EXPECT_EQ(Count(page, QRectF(rx + 0.3, ry + 0.3, 0.4, 0.4), blue), 0);

    // The star: red at its centre, white at its box's corners.
    const double cx = x + 240.0 / 96;
    const double cy = y + 170.0 / 96;
    EXPECT_TRUE(Near(At(page, cx, cy), 255, 0, 0, 0));
    EXPECT_TRUE(Near(At(page, cx - 18.0 / 96, cy - 18.0 / 96), 255, 255, 255, 0));
}

TEST(EffectsPrint, SuperTextPrintsItsGlyphsFilledAndOutlined)
{
    QObject owner;
    auto *text = new TGSuperText(&owner);
    text->SetBounds(48, 48, 240, 80);
    text->SetCaption(QStringLiteral("MMMM"));
    text->SetOutlineStyle(psClear);
    auto *outlined = new TGSuperText(&owner);
    outlined->SetBounds(48, 130, 240, 60);
    outlined->SetCaption(QStringLiteral("HH"));
    outlined->SetSurfaceType(TGSuperText::stBrushTransparent);
    outlined->SetOutlineColor(0x0000FF);
    outlined->SetOutlineWidth(2);
    outlined->SetShadowOrientation(TGSuperText::sdDown);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QList<bool> selection(10, false);
    selection[0] = true;
    const QString pdf = PrintSheet({text, outlined}, selection, dir.filePath("text.pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_FALSE(HoldsPictures(pdf));

    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const QImage &page = pages.first();
    TCardLayout layout;
    const double x = double(layout.LeftMargin) + 0.5;
    const double y = double(layout.TopMargin) + 0.5;
    // Blue glyph pixels in the left part, yellow ones in the right part.
    const auto blue = [](QRgb c) { return qBlue(c) > 200 && qRed(c) < 60; };
    const auto yellow = [](QRgb c) { return qBlue(c) < 60 && qRed(c) > 200 && qGreen(c) > 200; };
    const QRectF left(x, y, 0.8, 0.8);
    const QRectF right(x + 1.7, y, 0.8, 0.8);
    EXPECT_GT(Count(page, left, blue), 100);
    EXPECT_EQ(Count(page, left, yellow), 0);
    EXPECT_GT(Count(page, right, yellow), 100);
    EXPECT_EQ(Count(page, right, blue), 0);
    // Nothing outside the object's rectangle.
    const auto inked = [](QRgb c) { return qGray(c) < 250; };
    EXPECT_EQ(Count(page, QRectF(x - 0.3, y - 0.2, 0.25, 0.8), inked), 0);
    // The outlined text: red strokes, hollow glyphs (no shadow: depth 0).
    const auto red = [](QRgb c) { return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80; };
    EXPECT_GT(Count(page, QRectF(x, y + 82.0 / 96, 1.2, 0.6), red), 100);
}

TEST(EffectsPrint, TenCardsOfTenEffectObjectsStaySmall)
{
    QObject owner;
    QList<TGGraphicControl *> objects;
    for (int i = 0; i < 5; ++i) {
        TSuperShape *shape =
            Shape(&owner, TSuperShape::TGPShapeType(i * 2), 10 + 60 * i, 10, 50, 50);
        shape->SetOutlineStyle(psSolid);
        shape->SetShadowOrient(TSuperShape::soLowerRight);
        objects.append(shape);
        auto *text = new TGSuperText(&owner);
        text->SetBounds(10 + 60 * i, 100, 60, 60);
        text->SetShadowOrientation(TGSuperText::sdDownRight);
        text->SetShadowDepth(3);
        objects.append(text);
    }
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = PrintSheet(objects, QList<bool>(10, true), dir.filePath("sheet.pdf"));
    ASSERT_FALSE(pdf.isEmpty());
    const qint64 size = QFileInfo(pdf).size();
    EXPECT_GT(size, 10000);
    EXPECT_LT(size, 2 * 1024 * 1024);
    EXPECT_FALSE(HoldsPictures(pdf));
    // Every card shows its objects: the first shape's gradient at its centre.
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    TCardLayout layout;
    for (int card = 0; card < 10; ++card) {
        const double x = double(layout.LeftMargin) + (card % 2) * double(layout.HPitch);
        const double y = double(layout.TopMargin) + (card / 2) * double(layout.VPitch);
        const QRgb centre = At(pages.first(), x + 35.0 / 96, y + 35.0 / 96);
        EXPECT_TRUE(qRed(centre) > 60 && qBlue(centre) > 60 && qGreen(centre) < 20)
            << "card " << card;
    }
}

namespace {

// tessaro-batch with its own empty program folder (default layout, no nudges).
int RunBatch(const QStringList &args, const QString &home, QString *err)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(TESSARO_BINARY_DIR "/tessaro-batch"), args);
    if (!process.waitForFinished(120000))
        return -1;
    *err = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode();
}

bool Blue(QRgb c)
{
    return qBlue(c) > 200 && qRed(c) < 60 && qGreen(c) < 60;
}
bool Yellow(QRgb c)
{
    return qBlue(c) < 60 && qRed(c) > 200 && qGreen(c) > 200;
}

} // namespace

TEST(EffectsPrint, SavedDesignRendersAndPrintsThroughTheBatchTool)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString design = dir.filePath("effects.tsc");
    {
        TGBusinessCardPanel32 panel;
        panel.SetOwner(&panel);
        panel.setFixedSize(336, 192);
        // 60 x 40 rectangle: black to white downward, red outline, green
        // shadow 6 pixels down and right.
        auto *shape = new TSuperShape(&panel);
        shape->MakeReady();
        panel.PlaceObject(shape, TRect::FromBounds(20, 20, 60, 40));
        shape->SetShape(TSuperShape::gstRectangle);
        shape->SetBackColor(0x000000);
        shape->SetGradientToColor(0xFFFFFF);
        shape->SetFillDirection(gdDown);
        shape->SetOutlineColor(0x0000FF);
        shape->SetShadowOrient(TSuperShape::soLowerRight);
        shape->SetShadowDepth(6);
        shape->SetShadowColor(0x00FF00);
        // 40 x 40 rectangle tiled with an 8 x 8 texture: yellow, blue corner.
        auto *tiled = new TSuperShape(&panel);
        tiled->MakeReady();
        panel.PlaceObject(tiled, TRect::FromBounds(120, 20, 40, 40));
        tiled->SetShape(TSuperShape::gstRectangle);
        tiled->SetOutlineStyle(psClear);
        tiled->SetSurfaceType(TSuperShape::stBrushImage);
        QImage tile(8, 8, QImage::Format_RGB32);
        tile.fill(Qt::yellow);
        tile.setPixel(0, 0, qRgb(0, 0, 255));
        TGBitmap texture;
        texture.SetImage(tile);
        tiled->SetImage(&texture);
        // Gradient text, blue to yellow from left to right.
        auto *text = new TGSuperText(&panel);
        text->MakeReady();
        panel.PlaceObject(text, TRect::FromBounds(20, 100, 220, 60));
        text->SetCaption(QStringLiteral("MMMM"));
        text->SetOutlineStyle(psClear);
        panel.SaveToFile(design);
    }

    QString err;
    for (const double zoom : {1.0, 1.5}) {
        const QString png = dir.filePath(QStringLiteral("card%1.png").arg(zoom));
        ASSERT_EQ(RunBatch({"render", design, "-o", png, "--zoom", QString::number(zoom)},
                           dir.path(), &err),
                  0)
            << err.toStdString();
        const QImage card(png);
        ASSERT_FALSE(card.isNull());
        const auto px = [&](double x, double y) {
            return card.pixel(int(x * zoom), int(y * zoom));
        };
        const int sd = int(6 * zoom);
        const int w = int(60 * zoom);
        const int h = int(40 * zoom);
        const int x0 = int(20 * zoom);
        EXPECT_EQ(px(20, 40), qRgb(255, 0, 0)) << zoom;                              // outline
        EXPECT_TRUE(Near(px(40, 22), 0, 0, 0, 16)) << zoom;                          // gradient top
        EXPECT_EQ(card.pixel(x0 + w - sd / 2, x0 + h / 2), qRgb(0, 255, 0)) << zoom; // shadow
        EXPECT_EQ(card.pixel(x0 + w - sd / 2, x0 + 1), qRgb(255, 255, 255)) << zoom;
        // Texture corners every 8 pixels (12 at 150 %).
        EXPECT_TRUE(Blue(px(120, 20))) << zoom;
        EXPECT_TRUE(Blue(px(128, 28))) << zoom;
        EXPECT_TRUE(Yellow(px(124, 24))) << zoom;
        // The text: blue at its left, yellow at its right.
        int blue = 0;
        int yellow = 0;
        for (int y = int(100 * zoom); y < int(160 * zoom); ++y) {
            for (int x = int(20 * zoom); x < int(90 * zoom); ++x)
                blue += Blue(card.pixel(x, y));
            for (int x = int(180 * zoom); x < int(240 * zoom); ++x)
                yellow += Yellow(card.pixel(x, y));
        }
        EXPECT_GT(blue, 50) << zoom;
        EXPECT_GT(yellow, 50) << zoom;
    }

    const QString pdf = dir.filePath("effects.pdf");
    ASSERT_EQ(RunBatch({"print", design, "-o", pdf}, dir.path(), &err), 0) << err.toStdString();
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const QImage &page = pages.first();
    for (int card = 0; card < 10; card += 9) {
        const double x = 0.75 + (card % 2) * 3.5;
        const double y = 0.5 + (card / 2) * 2.0;
        EXPECT_TRUE(Near(At(page, x + 20.2 / 96, y + 40 / 96.0), 255, 0, 0, 40)) << card;
        EXPECT_TRUE(Near(At(page, x + 40 / 96.0, y + 22 / 96.0), 0, 0, 0, 16)) << card;
        EXPECT_TRUE(Near(At(page, x + 77 / 96.0, y + 40 / 96.0), 0, 255, 0, 0)) << card;
        EXPECT_TRUE(Near(At(page, x + 77 / 96.0, y + 22 / 96.0), 255, 255, 255, 0)) << card;
        // The engine smooths stretched pictures, so the blue corner of every
        // 8-pixel tile shows as a bluer spot than the yellow between them.
        const int middle = qBlue(At(page, x + 124.5 / 96, y + 24.5 / 96));
        for (const double corner : {120.5, 128.5, 136.5})
            EXPECT_GT(qBlue(At(page, x + corner / 96, y + (corner - 100) / 96)), middle + 40)
                << card << " " << corner;
        EXPECT_TRUE(Yellow(At(page, x + 124.5 / 96, y + 24.5 / 96))) << card;
        EXPECT_GT(Count(page, QRectF(x + 20 / 96.0, y + 100 / 96.0, 0.7, 0.6), Blue), 100);
        EXPECT_GT(Count(page, QRectF(x + 180 / 96.0, y + 100 / 96.0, 0.6, 0.6), Yellow), 100);
    }
}

TEST(EffectsPrint, RecordedPreviewShowsTheSameLayers)
{
    QObject owner;
    TSuperShape *gradient = Shape(&owner, TSuperShape::gstRectangle, 96, 48, 96, 48);
    gradient->SetBackColor(0x000000);
    gradient->SetGradientToColor(0xFFFFFF);
    gradient->SetFillDirection(gdDown);
    auto *text = new TGSuperText(&owner);
    text->SetBounds(20, 110, 240, 70);
    text->SetCaption(QStringLiteral("MMMM"));
    text->SetOutlineStyle(psClear);

    TSheetRenderer sheet;
    sheet.Objects = {gradient, text};
    sheet.SetLayout(TCardLayout(), TPrinterNudges());
    sheet.ToPrinter = false; // a preview draws the first card only
    TReportFiler recording;
    ASSERT_TRUE(sheet.Render(recording));
    TRecordedReport recorded;
    ASSERT_TRUE(ReadRecordedReport(recording.StreamData(), recorded));
    ASSERT_EQ(recorded.Pages.size(), 1);

    constexpr int Ppi = 200;
    QImage page(int(8.5 * Ppi), int(11 * Ppi), QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        ASSERT_TRUE(PlayRecordedPage(painter, recorded, 0, Ppi, Ppi));
    }
    TCardLayout layout;
    const double x = double(layout.LeftMargin);
    const double y = double(layout.TopMargin);
    const auto at = [&](double ix, double iy) { return page.pixel(int(ix * Ppi), int(iy * Ppi)); };
    EXPECT_TRUE(Near(at(x + 1.5, y + 0.503), 0, 0, 0, 10));
    EXPECT_TRUE(Near(at(x + 1.5, y + 0.997), 255, 255, 255, 10));
    EXPECT_TRUE(Near(at(x + 1.5, y + 0.75), 128, 128, 128, 10));
    int blue = 0;
    int yellow = 0;
    for (int py = int((y + 110 / 96.0) * Ppi); py < int((y + 180 / 96.0) * Ppi); ++py) {
        for (int px = int((x + 0.2) * Ppi); px < int((x + 0.9) * Ppi); ++px)
            blue += Blue(page.pixel(px, py));
        for (int px = int((x + 1.9) * Ppi); px < int((x + 2.6) * Ppi); ++px)
            yellow += Yellow(page.pixel(px, py));
    }
    EXPECT_GT(blue, 100);
    EXPECT_GT(yellow, 100);
}

TEST(EffectsPrint, SymbolFontSuperTextPrintsTheSymbolsPicture)
{
    ResetSymbolFontCache();
    if (QFontDatabase::families().contains("Wingdings", Qt::CaseInsensitive) ||
        !QFontDatabase::families().contains(SymbolPictureFamilies().first()))
        GTEST_SKIP() << "needs the picture font and no real Wingdings";
    // The printed card of one super text filled black, without outline or shadow.
    const auto printed = [](const QString &family, const QString &caption) {
        QObject owner;
        auto *text = new TGSuperText(&owner);
        text->SetBounds(48, 48, 200, 100);
        text->Font()->SetName(family);
        text->Font()->SetSize(48);
        text->Font()->SetColor(0);
        text->SetCaption(caption);
        text->SetSurfaceType(TGSuperText::stNormal);
        text->SetOutlineStyle(psClear);
        text->SetShadowDepth(0);
        QTemporaryDir dir;
        QList<bool> selection(10, false);
        selection[0] = true;
        const QString pdf = PrintSheet({text}, selection, dir.filePath("symbol.pdf"));
        const QList<QImage> pages = pdf.isEmpty() ? QList<QImage>() : RenderPdf(pdf, Dpi);
        if (pages.size() != 1)
            return QImage();
        TCardLayout layout;
        return pages.first().copy(int((double(layout.LeftMargin) + 0.5) * Dpi),
                                  int((double(layout.TopMargin) + 0.5) * Dpi), int(2.1 * Dpi),
                                  int(1.1 * Dpi));
    };
    // Pixels dark in one card and light in the other.
    const auto differing = [](const QImage &a, const QImage &b) {
        int n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += (qGray(a.pixel(x, y)) < 128) != (qGray(b.pixel(x, y)) < 128);
        return n;
    };
    const QImage symbol = printed("Wingdings", "J");
    const QImage picture = printed(SymbolPictureFamilies().first(), QString(QChar(0x263A)));
    const QImage letter = printed("DejaVu Sans", "J");
    ASSERT_FALSE(symbol.isNull() || picture.isNull() || letter.isNull());
    QImage blank(picture.size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    const int ink = differing(picture, blank);
    ASSERT_GT(ink, 200);
    // The smiley, not the letter J the code stands for in other fonts.
    EXPECT_LT(differing(symbol, picture), ink / 20);
    EXPECT_GT(differing(symbol, letter), ink / 2);
}
