#include "ObjectsFixture.h"
#include "objects/Gimage.h"
#include "report/RPrinter.h"
#include "report/ReportTestSupport.h"
#include "surface/ScreenInfo.h"

#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

namespace {
TPicture BitmapPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    TPicture picture;
    picture.SetImage(image);
    return picture;
}

// A bitmap of four coloured quadrants: red, green / blue, yellow.
TPicture QuadrantPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, QColor(255, 0, 0));
    p.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(0, 255, 0));
    p.fillRect(0, height / 2, width / 2, height - height / 2, QColor(0, 0, 255));
    p.fillRect(width / 2, height / 2, width - width / 2, height - height / 2,
               QColor(255, 255, 0));
    p.end();
    TPicture picture;
    picture.SetImage(image);
    return picture;
}

// The object painted on a grey ground, in its own coordinates.
QImage Render(TGImage &image)
{
    QImage out(image.Width(), image.Height(), QImage::Format_RGB32);
    out.fill(QColor(128, 128, 128));
    QPainter p(&out);
    image.Paint(p);
    return out;
}

QRgb Rgb(const QImage &image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}
} // namespace

using ImageTest = ObjectTest;

TEST_F(ImageTest, TableDefaultsAndCreationValues)
{
    TGImage image;
    EXPECT_EQ(TableNames(image),
              BaseNames() + QStringList({"AutoSize", "BorderStyle", "Picture", "Stretch"}));
    EXPECT_EQ(Entry(image, "AutoSize").defaultValue, 0);
    EXPECT_EQ(Entry(image, "Stretch").defaultValue, 1);
    const TPropertyDescriptor &border = Entry(image, "BorderStyle");
    EXPECT_EQ(border.identifiers, QStringList({"bsNone", "bsSingle"}));
    EXPECT_FALSE(border.defaultValue.has_value());
    EXPECT_EQ(Entry(image, "Picture").kind, TPropertyKind::Object);

    EXPECT_EQ(image.Width(), 105);
    EXPECT_EQ(image.Height(), 105);
    EXPECT_FALSE(image.AutoSize());
    EXPECT_TRUE(image.Stretch());
    EXPECT_EQ(image.BorderStyle(), TGImage::bsNone);
    EXPECT_TRUE(image.Picture()->IsEmpty());
    EXPECT_FALSE(image.IsOpaque());
}

TEST_F(ImageTest, AutoSizeAndStretchExcludeEachOtherAndFollowThePicture)
{
    auto *image = Place<TGImage>(10, 10, 120, 90);

    // Without a picture AutoSize has nothing to size to.
    EXPECT_EQ(REPORTS(image->SetAutoSize(true)), 1);
    EXPECT_FALSE(image->Stretch());
    EXPECT_EQ(image->Width(), 120);
    EXPECT_EQ(REPORTS(image->SetAutoSize(true)), 0);
    EXPECT_EQ(REPORTS(image->SetStretch(true)), 1);
    EXPECT_FALSE(image->AutoSize());

    // Stretched, a new picture keeps the bounds.
    EXPECT_EQ(REPORTS(image->SetPicture(BitmapPicture(30, 20))), 1);
    EXPECT_EQ(image->PictureSize(), QSize(30, 20));
    EXPECT_EQ(image->Width(), 120);
    EXPECT_EQ(image->Height(), 90);
    EXPECT_FALSE(image->IsOpaque());

    // AutoSize takes the picture's size at once; the bitmap then covers the object.
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 30);
    EXPECT_EQ(image->Height(), 20);
    EXPECT_EQ(image->Left(), 10);
    EXPECT_TRUE(image->IsOpaque());

    // The size follows the zoom.
    image->SetZoomScale(2.0f);
    EXPECT_EQ(image->Width(), 60);
    EXPECT_EQ(image->Height(), 40);
    image->SetZoomScale(1.0f);

    // Clearing Stretch turns AutoSize on, which fits the bounds straight away.
    image->SetStretch(true);
    image->SetWidth(70);
    EXPECT_EQ(image->Width(), 70);
    image->SetStretch(false);
    EXPECT_TRUE(image->AutoSize());
    EXPECT_EQ(image->Width(), 30);

    EXPECT_EQ(REPORTS(image->SetBorderStyle(TGImage::bsSingle)), 1);
    EXPECT_EQ(REPORTS(image->SetBorderStyle(TGImage::bsSingle)), 0);
    EXPECT_EQ(REPORTS(image->SetBorderStyle(static_cast<TGImage::TBorderStyle>(2))), 0);
    EXPECT_EQ(image->BorderStyle(), TGImage::bsSingle);
}

TEST_F(ImageTest, ReadingKeepsBothFlagsAsStored)
{
    auto *image = Place<TGImage>();
    image->SetLoading(true);
    // The browser may leave both flags cleared; a stream then holds Stretch False only.
    image->SetStretch(false);
    image->SetPicture(BitmapPicture(8, 8));
    EXPECT_EQ(changes, 0);
    image->Loaded();
    EXPECT_FALSE(image->Stretch());
    EXPECT_FALSE(image->AutoSize());
    EXPECT_EQ(image->Width(), 105); // not resized to the picture
}

TEST_F(ImageTest, EmptyImageIsAWhiteBoxWithABlackFrame)
{
    TGImage image;
    image.SetBounds(0, 0, 40, 30);
    const QImage out = Render(image);
    for (const QPoint &p : {QPoint(0, 0), QPoint(39, 0), QPoint(0, 29), QPoint(39, 29),
                            QPoint(20, 0), QPoint(20, 29), QPoint(0, 15), QPoint(39, 15)})
        EXPECT_EQ(Rgb(out, p.x(), p.y()), 0x000000u) << p.x() << "," << p.y();
    for (const QPoint &p : {QPoint(1, 1), QPoint(38, 28), QPoint(20, 15)})
        EXPECT_EQ(Rgb(out, p.x(), p.y()), 0xFFFFFFu) << p.x() << "," << p.y();
}

TEST_F(ImageTest, PictureIsStretchedIntoTheBoundsWhateverTheFlags)
{
    TGImage image;
    image.SetPicture(QuadrantPicture(2, 2));
    image.SetBounds(0, 0, 100, 60);
    for (bool bothCleared : {false, true}) {
        if (bothCleared) {
            // As the browser may leave them (and a design holds them).
            image.SetLoading(true);
            image.SetStretch(false);
            image.Loaded();
            ASSERT_FALSE(image.AutoSize());
            ASSERT_FALSE(image.Stretch());
        }
        ASSERT_EQ(image.Width(), 100);
        const QImage out = Render(image);
        EXPECT_EQ(Rgb(out, 10, 10), 0xFF0000u);
        EXPECT_EQ(Rgb(out, 90, 10), 0x00FF00u);
        EXPECT_EQ(Rgb(out, 10, 50), 0x0000FFu);
        EXPECT_EQ(Rgb(out, 90, 50), 0xFFFF00u);
        // No frame without a border: the corners are the picture's.
        EXPECT_EQ(Rgb(out, 0, 0), 0xFF0000u);
        EXPECT_EQ(Rgb(out, 99, 59), 0xFFFF00u);
    }

    // With a border the outermost pixels turn black over the picture.
    image.SetBorderStyle(TGImage::bsSingle);
    const QImage framed = Render(image);
    EXPECT_EQ(Rgb(framed, 0, 0), 0x000000u);
    EXPECT_EQ(Rgb(framed, 99, 30), 0x000000u);
    EXPECT_EQ(Rgb(framed, 50, 59), 0x000000u);
    EXPECT_EQ(Rgb(framed, 1, 1), 0xFF0000u);
    EXPECT_EQ(Rgb(framed, 98, 58), 0xFFFF00u);
}

TEST_F(ImageTest, AutoSizedBitmapIsDrawnPixelForPixel)
{
    QImage pattern(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            pattern.setPixel(x, y, qRgb(x * 30, y * 50, (x + y) % 2 ? 255 : 0));
    TPicture picture;
    picture.SetImage(pattern);
    TGImage image;
    image.SetPicture(picture);
    image.SetAutoSize(true);
    ASSERT_EQ(QSize(image.Width(), image.Height()), QSize(7, 5));
    EXPECT_TRUE(image.IsOpaque());
    const QImage out = Render(image);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(Rgb(out, x, y), pattern.pixel(x, y) & 0xFFFFFF) << x << "," << y;
}

TEST_F(ImageTest, MenuTicksFollowTheFlagsAndTogglesGoThroughTheSetters)
{
    auto *image = Place<TGImage>(10, 10, 80, 60);
    image->SetPicture(BitmapPicture(30, 20));
    changes = 0;
    QMenu *menu = image->ObjectMenu();
    ASSERT_NE(menu, nullptr);
    const QStringList captions = TopLevelCaptions(menu);
    ASSERT_GE(captions.size(), 6);
    EXPECT_EQ(captions.mid(captions.size() - 6),
              QStringList({"-", "Load Image From Disk", "-", "Border", "Stretch to Fit",
                           "AutoSize"}));
    QAction *border = FindItem(menu, "Border");
    QAction *stretch = FindItem(menu, "Stretch to Fit");
    QAction *autoSize = FindItem(menu, "AutoSize");
    Q_EMIT menu->aboutToShow();
    EXPECT_FALSE(border->isChecked());
    EXPECT_TRUE(stretch->isChecked());
    EXPECT_FALSE(autoSize->isChecked());

    // AutoSize from the menu resizes at once and unticks "Stretch to Fit".
    EXPECT_GE(REPORTS(autoSize->trigger()), 1);
    EXPECT_EQ(QSize(image->Width(), image->Height()), QSize(30, 20));
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(autoSize->isChecked());
    EXPECT_FALSE(stretch->isChecked());

    // Stretch back on keeps the size the picture gave.
    stretch->trigger();
    EXPECT_TRUE(image->Stretch());
    EXPECT_FALSE(image->AutoSize());
    EXPECT_EQ(image->Width(), 30);

    EXPECT_EQ(REPORTS(border->trigger()), 1);
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(border->isChecked());
    EXPECT_EQ(image->BorderStyle(), TGImage::bsSingle);
    border->trigger();
    EXPECT_EQ(image->BorderStyle(), TGImage::bsNone);
}

TEST_F(ImageTest, PrintingPutsTheBitmapAndTheBorderOnTheirInches)
{
    const double ppi = ScreenPixelsPerInch();
    TGImage image;
    // Half an inch in, a whole inch down, one inch by half an inch.
    image.SetBounds(int(ppi / 2), int(ppi), int(ppi), int(ppi / 2));
    image.SetPicture(QuadrantPicture(40, 40));
    const double x1 = 1.0 + image.Left() / ppi;
    const double y1 = 1.0 + image.Top() / ppi;
    const double x2 = 1.0 + (image.Left() + image.Width()) / ppi;
    const double y2 = 1.0 + (image.Top() + image.Height()) / ppi;

    TProbeReport report(200);
    report.OnPrint = [&](TBaseReport &r) { image.PrintTo(&r, 1.0, 1.0); };
    ASSERT_TRUE(report.Execute());
    const QImage page = report.pages.first();
    auto at = [&](double fx, double fy) {
        return Rgb(page, int((x1 + (x2 - x1) * fx) * 200), int((y1 + (y2 - y1) * fy) * 200));
    };
    EXPECT_EQ(at(0.25, 0.25), 0xFF0000u);
    EXPECT_EQ(at(0.75, 0.25), 0x00FF00u);
    EXPECT_EQ(at(0.25, 0.75), 0x0000FFu);
    EXPECT_EQ(at(0.75, 0.75), 0xFFFF00u);
    EXPECT_EQ(at(-0.1, 0.5), 0xFFFFFFu);
    EXPECT_EQ(at(1.1, 0.5), 0xFFFFFFu);
    EXPECT_EQ(at(0.5, -0.1), 0xFFFFFFu);
    EXPECT_EQ(at(0.5, 1.1), 0xFFFFFFu);
    // No border: the picture's own colour reaches the edge.
    EXPECT_EQ(Rgb(page, int(x1 * 200), int(y1 * 200) + 5), 0xFF0000u);

    image.SetBorderStyle(TGImage::bsSingle);
    ASSERT_TRUE(report.Execute());
    const QImage framed = report.pages.first();
    EXPECT_EQ(Rgb(framed, report.XI2D(x1), int(y1 * 200) + 5), 0x000000u);
    EXPECT_EQ(Rgb(framed, report.XI2D(x1) + 3, int(y1 * 200) + 5), 0xFF0000u);
    EXPECT_EQ(Rgb(framed, int(x1 * 200) + 5, report.YI2D(y1)), 0x000000u);
}

TEST_F(ImageTest, EmptyImagePrintsNothingUnlessItHasABorder)
{
    TGImage image;
    image.SetBounds(10, 10, 50, 40);
    TProbeReport report(100);
    report.OnPrint = [&](TBaseReport &r) { image.PrintTo(&r, 0.5, 0.5); };
    ASSERT_TRUE(report.Execute());
    QImage blank(report.pages.first().size(), QImage::Format_RGB32);
    blank.fill(Qt::white);
    EXPECT_EQ(report.pages.first(), blank);

    image.SetBorderStyle(TGImage::bsSingle);
    ASSERT_TRUE(report.Execute());
    const QImage framed = report.pages.first();
    const double ppi = ScreenPixelsPerInch();
    const int left = report.XI2D(0.5 + 10 / ppi);
    const int top = report.YI2D(0.5 + 10 / ppi);
    const int bottom = report.YI2D(0.5 + 50 / ppi);
    EXPECT_EQ(Rgb(framed, left, (top + bottom) / 2), 0x000000u);
    // The brush is clear: the inside stays paper.
    EXPECT_EQ(Rgb(framed, left + 5, (top + bottom) / 2), 0xFFFFFFu);
}

TEST_F(ImageTest, BitmapPrintedToPdfLandsAtItsPlace)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("image.pdf");
    const double ppi = ScreenPixelsPerInch();
    TGImage image;
    image.SetBounds(int(ppi), int(ppi / 2), int(ppi), int(ppi));
    image.SetPicture(QuadrantPicture(40, 40));
    TReportPrinter report;
    report.SetOutputFile(pdf);
    report.SetPaperSize(kPaperLetter);
    report.OnPrint = [&](TBaseReport &r) { image.PrintTo(&r, 1.0, 2.0); };
    ASSERT_TRUE(report.Execute());

    const QString prefix = dir.filePath("page");
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "100", "-png", "-singlefile", pdf, prefix}),
              0);
    const QImage page(prefix + ".png");
    ASSERT_EQ(page.size(), QSize(850, 1100));
    // The picture covers inches (2, 2.5) to (3, 3.5).
    auto near = [&](int x, int y, QRgb want) {
        const QRgb got = page.pixel(x, y);
        return std::abs(qRed(got) - qRed(want)) < 40 && std::abs(qGreen(got) - qGreen(want)) < 40 &&
               std::abs(qBlue(got) - qBlue(want)) < 40;
    };
    EXPECT_TRUE(near(225, 275, qRgb(255, 0, 0)));
    EXPECT_TRUE(near(275, 275, qRgb(0, 255, 0)));
    EXPECT_TRUE(near(225, 325, qRgb(0, 0, 255)));
    EXPECT_TRUE(near(275, 325, qRgb(255, 255, 0)));
    EXPECT_TRUE(near(195, 300, qRgb(255, 255, 255)));
    EXPECT_TRUE(near(305, 300, qRgb(255, 255, 255)));
    EXPECT_TRUE(near(250, 245, qRgb(255, 255, 255)));
    EXPECT_TRUE(near(250, 355, qRgb(255, 255, 255)));
}
