// A card stock's round corners on the design surface: off the card outside
// them, at every zoom, and a square card without them.
#include "SurfaceFixture.h"
#include "surface/CardPainter.h"
#include "surface/ScreenInfo.h"

namespace {

bool IsWhite(const QImage &image, int x, int y)
{
    return image.pixel(x, y) == qRgb(255, 255, 255);
}

} // namespace

TEST_F(SurfaceTest, RoundCornersOfTheCardStockFollowTheZoom)
{
    surface->SetShape(lsRectangle);
    QImage square = surface->grab().toImage();
    // Square: the outline runs into the very corner.
    EXPECT_EQ(square.pixel(0, 0), qRgb(0, 0, 0));

    // 0.25 inch corners: 24 pixels at 96 ppi.
    surface->SetCornerRadius(0.25);
    const double radius = 0.25 * ScreenPixelsPerInch();
    EXPECT_DOUBLE_EQ(surface->Look().CornerRadius, radius);
    QImage round = surface->grab().toImage();
    const int w = round.width();
    const int h = round.height();
    for (const QPoint corner :
         {QPoint(2, 2), QPoint(w - 3, 2), QPoint(2, h - 3), QPoint(w - 3, h - 3)}) {
        // Outside the corner is off the card, neither white nor outline.
        EXPECT_FALSE(IsWhite(round, corner.x(), corner.y())) << corner.x() << "," << corner.y();
        EXPECT_NE(round.pixel(corner), qRgb(0, 0, 0));
    }
    // Inside the curve is card; the straight edges keep their outline.
    EXPECT_TRUE(IsWhite(round, int(radius), int(radius)));
    EXPECT_EQ(round.pixel(w / 2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(round.pixel(0, h / 2), qRgb(0, 0, 0));

    // At 150 % the corner is 1.5 times as large.
    surface->SetZoom(1.5f);
    EXPECT_NEAR(surface->Look().CornerRadius, radius * 1.5, 1e-6);
    surface->SetCornerRadius(0.0);
    EXPECT_EQ(surface->Look().CornerRadius, 0.0);
}

TEST(CardCorners, BackgroundPartsAgreeWithTheWholeCard)
{
    TCardLook look;
    look.Shape = lsRectangle;
    look.CornerRadius = 30;
    look.ShowGrid = true;
    const QImage whole = RenderCardBackground(look, QSize(200, 120));
    // Painted a part at a time, as a large card is, the corner is the same.
    const QRect part(0, 90, 50, 30);
    const QImage piece = RenderCardBackground(look, QSize(200, 120), part);
    EXPECT_EQ(piece, whole.copy(part));
    // No grid dot outside the corner (2, 2 is a dot's place); inside, dots.
    EXPECT_EQ(whole.pixel(2, 2), qRgb(192, 192, 192));
    EXPECT_EQ(whole.pixel(50, 50), qRgb(0, 128, 0));
    EXPECT_FALSE(IsWhite(whole, 2, 117));
    // A radius past half the card is held to it: still a card in the middle.
    look.CornerRadius = 1000;
    const QImage pill = RenderCardBackground(look, QSize(200, 120));
    EXPECT_TRUE(IsWhite(pill, 100, 60));
    EXPECT_FALSE(IsWhite(pill, 10, 10));
}
