#include "ReportTestSupport.h"
#include "common/TestSupport.h"
#include "report/RPBase.h"

#include <QLabel>
#include <QPicture>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

constexpr QRgb kRed = 0xFF0000;
constexpr QRgb kBlue = 0x0000FF;
constexpr QRgb kWhite = 0xFFFFFF;

TEST(ReportCoordinates, InchToDevicePixelRoundsHalvesToEvenAfterOffsets)
{
    TProbeReport r(600, 0.25, 0.5);
    EXPECT_EQ(r.XI2D(1.0), 450);  // (1 - 0.25) * 600
    EXPECT_EQ(r.YI2D(1.0), 300);  // (1 - 0.5) * 600
    EXPECT_EQ(r.XI2D(0.25), 0);   // the printable area's corner
    EXPECT_EQ(r.XI2D(0.0), -150); // the paper's corner lies outside it

    // Halves go to the even neighbour: 0.5 -> 0, 1.5 -> 2, 2.5 -> 2, 3.5 -> 4.
    TProbeReport h(2);
    EXPECT_EQ(h.XI2D(0.25), 0);
    EXPECT_EQ(h.XI2D(0.75), 2);
    EXPECT_EQ(h.XI2D(1.25), 2);
    EXPECT_EQ(h.YI2D(1.75), 4);
    EXPECT_EQ(h.XI2D(-0.25), 0);
    EXPECT_EQ(h.XI2D(-0.75), -2);

    // Scale and zoom multiply the inch value before the offset comes off.
    TProbeReport s(100, 0.5, 0);
    s.SetScaleX(50);
    EXPECT_EQ(s.XI2D(2.0), 50); // (2 * 0.5 - 0.5) * 100
    s.zoom = 150;
    EXPECT_EQ(s.XI2D(2.0), 100); // (2 * 0.75 - 0.5) * 100
    EXPECT_EQ(s.YI2D(1.0), 150);

    // InchRect: corners in any order, right and bottom edges outside the area.
    TProbeReport q(100);
    const QRect rc = q.InchRect(2.0, 1.5, 1.0, 0.5);
    EXPECT_EQ(rc.left(), 100);
    EXPECT_EQ(rc.top(), 50);
    EXPECT_EQ(rc.width(), 100);
    EXPECT_EQ(rc.height(), 100);

    // Units other than inches divide by the factor first.
    q.SetUnits(unMM);
    EXPECT_EQ(q.XI2D(25.4), 100);
    q.SetUnitsFactor(0); // refused
    EXPECT_DOUBLE_EQ(q.UnitsFactor(), 25.4);
}

TEST(ReportDrawingState, PenWidthsInHundredthsDevicePixelsAndThinnest)
{
    TProbeReport r(600);
    r.SetPen(0, psSolid, -1, pmCopy);
    EXPECT_EQ(r.PenDeviceWidth(), 6); // 1/100 inch at 600 dpi
    r.SetPen(0, psSolid, -25, pmCopy);
    EXPECT_EQ(r.PenDeviceWidth(), 150);
    r.SetPen(0, psSolid, 3, pmCopy);
    EXPECT_EQ(r.PenDeviceWidth(), 3); // device pixels as given
    r.SetPen(0, psSolid, 0, pmCopy);
    EXPECT_EQ(r.PenDeviceWidth(), 0); // the device's thinnest line

    TProbeReport low(50);
    low.SetPen(0, psSolid, -1, pmCopy);
    EXPECT_EQ(low.PenDeviceWidth(), 1); // Round(0.5) = 0, raised to one pixel
    low.SetPen(0, psSolid, -3, pmCopy);
    EXPECT_EQ(low.PenDeviceWidth(), 2); // 1.5 -> 2
    low.SetPen(0, psSolid, -5, pmCopy);
    EXPECT_EQ(low.PenDeviceWidth(), 2); // 2.5 -> 2
    low.zoom = 200;
    EXPECT_EQ(low.PenDeviceWidth(), 5); // the preview zoom widens it

    // The painter of a running job gets the same width, and a thin pen is cosmetic.
    TProbeReport job(600);
    job.OnPrint = [](TBaseReport &rep) {
        rep.SetPen(0x0000FF, psDash, -2, pmCopy);
        EXPECT_EQ(rep.Canvas()->pen().width(), 12);
        EXPECT_EQ(rep.Canvas()->pen().style(), Qt::DashLine);
        EXPECT_EQ(rep.Canvas()->pen().color(), QColor(Qt::red));
        rep.SetPen(0, psClear, 0, pmCopy);
        EXPECT_EQ(rep.Canvas()->pen().style(), Qt::NoPen);
        rep.SetPen(0, psSolid, 0, pmCopy);
        EXPECT_TRUE(rep.Canvas()->pen().isCosmetic());
    };
    EXPECT_TRUE(job.Execute());
}

TEST(ReportDrawingState, FontHeightRoundingAndSetFontResets)
{
    TProbeReport r(600);
    r.SetFont("Liberation Sans", 10);
    EXPECT_EQ(r.FontDeviceHeight(), 83); // 600 * 10 / 72 = 83.33
    EXPECT_EQ(r.DeviceFont().pixelSize(), 83);

    TProbeReport h(72);
    h.SetFont("Liberation Sans", 2.5);
    EXPECT_EQ(h.FontDeviceHeight(), 2); // 2.5 -> 2
    h.SetFont("Liberation Sans", 3.5);
    EXPECT_EQ(h.FontDeviceHeight(), 4); // 3.5 -> 4
    h.SetScaleY(200);
    h.zoom = 50;
    EXPECT_EQ(h.FontDeviceHeight(), 4); // scale and zoom cancel

    r.SetBold(true);
    r.SetItalic(true);
    r.SetUnderline(true);
    r.SetStrikeOut(true);
    r.SetFontColor(0x0000FF);
    r.SetFontRotation(90);
    r.SetFont("Liberation Serif", 12);
    EXPECT_EQ(r.FontName(), "Liberation Serif");
    EXPECT_FALSE(r.FontBold());
    EXPECT_FALSE(r.FontItalic());
    EXPECT_FALSE(r.FontUnderline());
    EXPECT_FALSE(r.FontStrikeOut());
    EXPECT_EQ(r.FontColor(), 0u);
    EXPECT_EQ(r.FontRotation(), 0);

    r.SetBold(true);
    r.SetFont("Liberation Mono", 0); // ignored entirely
    r.SetFont("Liberation Mono", -4);
    EXPECT_EQ(r.FontName(), "Liberation Serif");
    EXPECT_DOUBLE_EQ(r.FontSize(), 12);
    EXPECT_TRUE(r.FontBold());

    r.SetFontRotation(-90);
    EXPECT_EQ(r.FontRotation(), 270);
    r.SetFontRotation(725);
    EXPECT_EQ(r.FontRotation(), 5);
    r.SetFontRotation(360);
    EXPECT_EQ(r.FontRotation(), 0);
}

TEST(ReportDrawingState, LineHeightMethodsAndTextWidth)
{
    TProbeReport r(600);
    r.SetFont("Liberation Sans", 12);
    EXPECT_EQ(r.LineHeightMethod(), lhmFont);
    EXPECT_DOUBLE_EQ(r.LineHeight(), 0.2); // 12 / 60
    r.SetLineHeightMethod(lhmLinesPerInch);
    EXPECT_DOUBLE_EQ(r.LineHeight(), 1.0 / 6.0);
    r.SetLinesPerInch(8);
    EXPECT_DOUBLE_EQ(r.LineHeight(), 0.125);
    r.SetLinesPerInch(0); // refused
    EXPECT_DOUBLE_EQ(r.LineHeight(), 0.125);

    // Text width grows with the text; an empty text is still one device pixel.
    const double one = r.TextWidth("M");
    EXPECT_GT(one, 0.05);
    EXPECT_LT(one, 0.25);
    EXPECT_NEAR(r.TextWidth("MMMM"), 4 * one, 0.01);
    EXPECT_DOUBLE_EQ(r.TextWidth(QString()), 1.0 / 600);
}

TEST(ReportDrawingState, StatusTextFillsPageAndExtraLines)
{
    TProbeReport r;
    QLabel label;
    r.SetStatusLabel(&label);
    r.SetStatusFormat(QStringLiteral("Printing Page %p\r%0\r%1"));
    r.OnPrint = [&](TBaseReport &rep) {
        rep.NewPage();
        rep.NewPage();
        EXPECT_EQ(rep.CurrentPage(), 3);
        EXPECT_EQ(rep.StatusString(), "Printing Page 3\r\r");
        rep.SetStatusText({"Card 4", "second", "third"});
        EXPECT_EQ(rep.StatusString(), "Printing Page 3\rCard 4\rsecond");
        rep.StatusText() = QStringList{"only"};
        EXPECT_EQ(rep.StatusString(), "Printing Page 3\ronly\r");
        rep.UpdateStatus();
    };
    ASSERT_TRUE(r.Execute());
    EXPECT_EQ(label.text(), "Printing Page 3\nonly\n");
    EXPECT_EQ(r.pages.size(), 3);
    // A page number in the extra lines is not expanded again.
    r.SetStatusFormat(QStringLiteral("%0 %% %1"));
    r.SetStatusText({"%p", "100%"});
    EXPECT_EQ(r.StatusString(), "%p %% 100%");
}

TEST(ReportDrawingState, StatusLineShowsEachPageAsItBegins)
{
    TProbeReport r;
    QLabel label;
    r.SetStatusLabel(&label);
    // The format is set before the first page, as the sheet printer does.
    r.OnBeforePrint = [](TBaseReport &rep) {
        rep.SetStatusFormat(QStringLiteral("Printing Page %p\r%0\r%1"));
        rep.SetStatusText({QString(), QString()});
    };
    QStringList shown;
    r.OnPrint = [&](TBaseReport &rep) {
        shown << label.text();
        rep.NewPage();
        shown << label.text();
        rep.NewPage();
        shown << label.text();
        rep.Abort();
        rep.NewPage(); // no page begins after an abort
        shown << label.text();
    };
    EXPECT_FALSE(r.Execute());
    EXPECT_EQ(shown, QStringList({"Printing Page 1\n\n", "Printing Page 2\n\n",
                                  "Printing Page 3\n\n", "Printing Page 3\n\n"}));
}

TEST(ReportJob, CallbackOrderPagesAndRefusalOutsideAJob)
{
    TProbeReport r(100);
    QStringList order;
    r.OnBeforePrint = [&](TBaseReport &rep) {
        order << "before";
        EXPECT_FALSE(rep.Printing());
        rep.Rectangle(0, 0, 1, 1); // refused: no page yet
    };
    r.OnPrint = [&](TBaseReport &rep) {
        order << "print";
        EXPECT_TRUE(rep.Printing());
        EXPECT_EQ(rep.CurrentPage(), 1);
        rep.SetBrush(0x0000FF, bsSolid);
        rep.SetPen(0x0000FF, psSolid, 1, pmCopy);
        rep.Rectangle(1, 1, 2, 2);
        rep.NewPage();
        rep.SetBrush(0xFF0000, bsSolid);
        rep.SetPen(0xFF0000, psSolid, 1, pmCopy);
        rep.Ellipse(3, 3, 4, 4);
    };
    r.OnAfterPrint = [&](TBaseReport &rep) {
        order << "after";
        EXPECT_FALSE(rep.Printing());
    };
    ASSERT_TRUE(r.Execute());
    EXPECT_EQ(order, QStringList({"before", "print", "after"}));
    ASSERT_EQ(r.pages.size(), 2);
    EXPECT_TRUE(IsColor(r.pages[0], 150, 150, kRed));
    EXPECT_TRUE(IsColor(r.pages[0], 100, 100, kRed));   // left/top edge inside
    EXPECT_TRUE(IsColor(r.pages[0], 199, 199, kRed));   // last pixel inside
    EXPECT_TRUE(IsColor(r.pages[0], 200, 150, kWhite)); // right edge outside
    EXPECT_TRUE(IsColor(r.pages[0], 350, 350, kWhite));
    EXPECT_TRUE(IsColor(r.pages[1], 350, 350, kBlue));
    EXPECT_TRUE(IsColor(r.pages[1], 150, 150, kWhite));
    EXPECT_FALSE(r.abandoned);

    // Outside a job every drawing call is a harmless no-op.
    r.Rectangle(0, 0, 1, 1);
    r.Ellipse(0, 0, 1, 1);
    r.PrintText("x");
    r.TextRect(QRect(0, 0, 10, 10), "x", 0, 0);
    r.FillDeviceRect(QRect(0, 0, 5, 5));
    r.DevicePolygon(QPolygon({QPoint(0, 0), QPoint(5, 0), QPoint(0, 5)}));
    r.BeginPath();
    r.StrokePath();
    r.SelectClip();
    r.NewPage();
    EXPECT_FALSE(r.PushClipRect(0, 0, 1, 1));
    EXPECT_EQ(r.CurrentPage(), 2);
    EXPECT_EQ(r.Canvas(), nullptr);
}

TEST(ReportJob, ErrorInDrawingEndsTheJobAndIsPassedOn)
{
    TProbeReport r;
    bool after = false;
    r.OnAfterPrint = [&](TBaseReport &) { after = true; };
    r.OnPrint = [](TBaseReport &rep) {
        rep.Rectangle(0, 0, 1, 1);
        rep.PushClipRect(0, 0, 1, 1);
        throw std::runtime_error("object failed");
    };
    try {
        r.Execute();
        FAIL() << "the error was swallowed";
    } catch (const std::runtime_error &e) {
        EXPECT_STREQ(e.what(), "object failed");
    }
    EXPECT_TRUE(r.ended);
    EXPECT_TRUE(r.abandoned);
    EXPECT_TRUE(r.Aborted()); // the status must not claim success
    EXPECT_FALSE(r.Printing());
    EXPECT_FALSE(after);
    EXPECT_EQ(r.ClipDepth(), 0);

    // The report can run again afterwards.
    r.OnPrint = [](TBaseReport &rep) { rep.Rectangle(0, 0, 1, 1); };
    EXPECT_TRUE(r.Execute());
    EXPECT_FALSE(r.Aborted());
    EXPECT_EQ(r.pages.size(), 1);
}

TEST(ReportJob, AbortStopsDrawingAndFurtherPages)
{
    TProbeReport r;
    int pagesAfterAbort = 0;
    r.OnPrint = [&](TBaseReport &rep) {
        rep.Rectangle(0, 0, 1, 1);
        rep.Abort();
        EXPECT_TRUE(rep.Aborted());
        rep.Rectangle(1, 1, 2, 2); // ignored
        rep.NewPage();             // ignored
        pagesAfterAbort = rep.CurrentPage();
    };
    EXPECT_FALSE(r.Execute());
    EXPECT_TRUE(r.Aborted());
    EXPECT_EQ(pagesAfterAbort, 1);
    EXPECT_EQ(r.beginPages, 1);
    EXPECT_TRUE(r.abandoned);

    // Abort before the first page: nothing is opened.
    TProbeReport early;
    bool printed = false;
    early.OnBeforePrint = [](TBaseReport &rep) { rep.Abort(); };
    early.OnPrint = [&](TBaseReport &) { printed = true; };
    EXPECT_FALSE(early.Execute());
    EXPECT_FALSE(printed);
    EXPECT_EQ(early.beginPages, 0);
}

TEST(ReportClip, StackHoldsTwentyOneRegionsAndClipsDrawing)
{
    TProbeReport r(100);
    r.OnPrint = [](TBaseReport &rep) {
        for (int i = 0; i < 21; ++i)
            EXPECT_TRUE(rep.PushClipRect(0, 0, 1 + i, 1 + i)) << i;
        EXPECT_FALSE(rep.PushClipEllipse(0, 0, 1, 1)); // the 22nd is refused
        EXPECT_EQ(rep.ClipDepth(), 21);
        for (int i = 0; i < 21; ++i)
            rep.PopClip();
        rep.PopClip(); // on an empty stack: nothing
        EXPECT_EQ(rep.ClipDepth(), 0);
        rep.SelectClip(); // nothing to select

        // A rectangle region limits a full fill to it.
        ASSERT_TRUE(rep.PushClipRect(1, 1, 2, 2));
        rep.SelectClip();
        rep.SetBrush(0x0000FF, bsSolid);
        rep.FillDeviceRect(QRect(0, 0, 850, 1100));
        rep.ClearClip();
        rep.PopClip();

        // A self-overlapping polygon keeps its middle under the winding rule.
        const QPoint star[] = {{300, 300}, {500, 300}, {500, 500}, {350, 500},
                               {350, 350}, {450, 350}, {450, 450}, {300, 450}};
        ASSERT_TRUE(rep.PushClipPolygon(star, 8));
        rep.SelectClip();
        rep.SetBrush(0xFF0000, bsSolid);
        rep.FillDeviceRect(QRect(0, 0, 850, 1100));
        rep.ClearClip();
        rep.PopClip();

        ASSERT_TRUE(rep.PushClipEllipse(6, 6, 7, 7));
        rep.SelectClip();
        rep.SetBrush(0x00FF00, bsSolid);
        rep.FillDeviceRect(QRect(0, 0, 850, 1100));
        rep.ClearClip();
        rep.PopClip();
        EXPECT_FALSE(rep.PushClipPolygon(star, 2)); // not a region
    };
    ASSERT_TRUE(r.Execute());
    const QImage &img = r.pages[0];
    EXPECT_TRUE(IsColor(img, 150, 150, kRed));
    EXPECT_TRUE(IsColor(img, 99, 150, kWhite));
    EXPECT_TRUE(IsColor(img, 200, 150, kWhite));
    EXPECT_TRUE(IsColor(img, 400, 400, kBlue)); // inside the crossing
    EXPECT_TRUE(IsColor(img, 320, 320, kBlue));
    EXPECT_TRUE(IsColor(img, 520, 400, kWhite));
    EXPECT_TRUE(IsColor(img, 650, 650, 0x00FF00));
    EXPECT_TRUE(IsColor(img, 605, 605, kWhite)); // ellipse corner stays out
}

TEST(ReportPictures, StretchDrawBitmapAndRecordedPictureIntoInchRectangles)
{
    QImage bitmap(2, 1, QImage::Format_RGB32);
    bitmap.setPixel(0, 0, qRgb(255, 0, 0));
    bitmap.setPixel(1, 0, qRgb(0, 0, 255));

    QPicture picture; // a recorded drawing of 100 x 50 units: left half red
    {
        QPainter p(&picture);
        p.fillRect(QRect(0, 0, 50, 50), Qt::red);
    }
    picture.setBoundingRect(QRect(0, 0, 100, 50));

    TProbeReport r(100, 0.5, 0.5);
    r.OnPrint = [&](TBaseReport &rep) {
        rep.PrintBitmapRect(1, 1, 3, 2, bitmap);
        rep.StretchDraw(rep.InchRect(4, 4, 6, 5), picture);
        // The same drawing with its frame given: (0,0)-(50,50) is the red part,
        // so red fills the whole inch rectangle.
        rep.PrintPictureRect(1, 6, 2, 7, picture, QRectF(0, 0, 50, 50));
    };
    ASSERT_TRUE(r.Execute());
    const QImage &img = r.pages[0];
    // Bitmap over inch (1,1)-(3,2) = device (50,50)-(250,150).
    EXPECT_TRUE(IsColor(img, 60, 100, kRed));
    EXPECT_TRUE(IsColor(img, 240, 100, kBlue));
    EXPECT_TRUE(IsColor(img, 45, 100, kWhite));
    EXPECT_TRUE(IsColor(img, 255, 100, kWhite));
    // Picture over inch (4,4)-(6,5) = device (350,350)-(550,450): red left half only.
    EXPECT_TRUE(IsColor(img, 360, 400, kRed));
    EXPECT_TRUE(IsColor(img, 445, 400, kRed));
    EXPECT_TRUE(IsColor(img, 455, 400, kWhite));
    EXPECT_TRUE(IsColor(img, 360, 455, kWhite));
    EXPECT_TRUE(IsColor(img, 52, 552, kRed));
    EXPECT_TRUE(IsColor(img, 147, 647, kRed));
    EXPECT_TRUE(IsColor(img, 153, 600, kWhite));
}

// Rows and columns that hold dark pixels, as a rectangle.
QRect InkBounds(const QImage &img)
{
    QRect box;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST(ReportText, PrintTextSitsOnTheBaselineAndAdvancesWithTabs)
{
    TProbeReport r(100, 0, 0, 4, 3);
    double endX = 0;
    r.OnPrint = [&](TBaseReport &rep) {
        rep.SetFont("Liberation Sans", 36); // 50 pixels
        rep.GotoXY(1, 1);
        rep.PrintText("HH");
        endX = rep.XPos();
    };
    ASSERT_TRUE(r.Execute());
    const QRect ink = InkBounds(r.pages[0]);
    ASSERT_FALSE(ink.isNull());
    EXPECT_NEAR(ink.bottom(), 99, 1);    // baseline at y = 1 inch
    EXPECT_NEAR(ink.top(), 100 - 36, 3); // cap height of about 0.72 em
    EXPECT_NEAR(ink.left(), 100 + 4, 4); // left side bearing of H
    EXPECT_NEAR(endX, 1 + r.TextWidth("HH"), 1e-9);

    // A tab moves to the next half inch; the text follows from there.
    TProbeReport t(100, 0, 0, 4, 3);
    t.OnPrint = [&](TBaseReport &rep) {
        rep.SetFont("Liberation Sans", 36);
        rep.GotoXY(0.6, 1);
        rep.PrintText("\tH");
        endX = rep.XPos();
    };
    ASSERT_TRUE(t.Execute());
    EXPECT_NEAR(endX, 1.0 + t.TextWidth("H"), 1e-9);
    EXPECT_NEAR(InkBounds(t.pages[0]).left(), 100 + 4, 4);

    // TextRect places the top of the text and clips to the rectangle, filling
    // it with the brush colour.
    TProbeReport c(100, 0, 0, 4, 3);
    c.OnPrint = [&](TBaseReport &rep) {
        rep.SetFont("Liberation Sans", 36);
        rep.SetBrush(0x00FFFF, bsSolid); // yellow, lighter than the ink
        rep.TextRect(QRect(100, 100, 20, 200), "HHHH", 1, 1);
    };
    ASSERT_TRUE(c.Execute());
    EXPECT_TRUE(IsColor(c.pages[0], 119, 290, 0xFFFF00));
    EXPECT_TRUE(IsColor(c.pages[0], 121, 130, kWhite)); // clipped away
    const QRect cink = InkBounds(c.pages[0].copy(100, 100, 20, 200));
    EXPECT_NEAR(cink.top(), 50 - 36, 4); // ascent below the top edge
}

TEST(ReportText, GlyphPathCanClipAndStroke)
{
    TProbeReport r(100, 0, 0, 4, 3);
    r.OnPrint = [](TBaseReport &rep) {
        rep.SetFont("Liberation Sans", 72); // 100 pixels
        rep.BeginPath();
        rep.GotoXY(0.5, 1.5);
        rep.PrintText("I");
        rep.EndPath();
        EXPECT_FALSE(rep.Path().isEmpty());
        rep.SelectPathAsClip();
        rep.SetBrush(0x0000FF, bsSolid);
        rep.FillDeviceRect(QRect(0, 0, 400, 300));
        rep.ClearClip();
    };
    ASSERT_TRUE(r.Execute());
    const QImage &img = r.pages[0];
    // Only the glyph is filled: red inside the stem, white beside it.
    int red = 0;
    for (int x = 50; x < 100; ++x)
        red += IsColor(img, x, 120, kRed) ? 1 : 0;
    EXPECT_GT(red, 5);
    EXPECT_LT(red, 20);
    EXPECT_TRUE(IsColor(img, 300, 120, kWhite));
    EXPECT_TRUE(IsColor(img, 70, 155, kWhite)); // below the baseline
}

} // namespace
