// The fill settings the super shape and the super text share, on their own
// and as the two objects report them.
#include "effects/SurfaceFill.h"

#include "ObjectsFixture.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"

#include <QImage>

namespace {

TGBitmap Texture(Qt::GlobalColor color)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(color);
    TGBitmap bitmap;
    bitmap.SetImage(image);
    return bitmap;
}

class SurfaceFillTest : public ObjectTest
{
protected:
    // Runs every fill setter of a placed object: each real change reports
    // once, an equal or invalid value not at all; while the object is read
    // the values are only stored.
    template <class Kind>
    void ExpectFillReports(Kind *object, void (Kind::*setFromColor)(TColor),
                           TColor (Kind::*fromColor)() const)
    {
        EXPECT_EQ(REPORTS((object->*setFromColor)(0x010203)), 1);
        EXPECT_EQ(REPORTS((object->*setFromColor)(0x010203)), 0);
        EXPECT_EQ(REPORTS(object->SetGradientToColor(0x040506)), 1);
        EXPECT_EQ(REPORTS(object->SetGradientToColor(0x040506)), 0);
        EXPECT_EQ(REPORTS(object->SetFillDirection(gdLeft)), 1);
        EXPECT_EQ(REPORTS(object->SetFillDirection(gdLeft)), 0);
        EXPECT_EQ(REPORTS(object->SetFillDirection(static_cast<TFillDirection>(4))), 0);
        EXPECT_EQ(object->FillDirection(), gdLeft);

        const TGBitmap red = Texture(Qt::red);
        const TGBitmap sameRed = Texture(Qt::red);
        EXPECT_EQ(REPORTS(object->SetImage(&red)), 1);
        EXPECT_EQ(REPORTS(object->SetImage(&sameRed)), 0);
        // A change made to the texture itself, as the design reader makes it.
        EXPECT_EQ(REPORTS(object->Image()->SetImage(QImage())), 1);
        EXPECT_TRUE(object->ImageBitmap().IsEmpty());
        EXPECT_EQ(REPORTS(object->SetImage(nullptr)), 0);
        EXPECT_EQ(REPORTS(object->SetLastBitmapFileNameandPath("/tiles/red.bmp")), 1);
        EXPECT_EQ(REPORTS(object->SetLastBitmapFileNameandPath("/tiles/red.bmp")), 0);

        object->SetLoading(true);
        const int before = changes;
        (object->*setFromColor)(0x0A0B0C);
        object->SetGradientToColor(0x0D0E0F);
        object->SetFillDirection(gdDown);
        object->SetImage(&red);
        object->Image()->SetImage(QImage());
        object->SetImage(&red);
        object->SetLastBitmapFileNameandPath("/tiles/other.bmp");
        EXPECT_EQ(changes, before);
        object->Loaded();
        EXPECT_EQ((object->*fromColor)(), 0x0A0B0Cu);
        EXPECT_EQ(object->GradientToColor(), 0x0D0E0Fu);
        EXPECT_EQ(object->FillDirection(), gdDown);
        EXPECT_EQ(object->ImageBitmap().BmpBytes(), red.BmpBytes());
        EXPECT_EQ(object->LastBitmapFileNameandPath(), "/tiles/other.bmp");
    }
};

} // namespace

TEST(SurfaceFillUnitTest, NoticesComeOncePerRealChangeAndTheTextureFollowsTheType)
{
    TSurfaceFill fill([] { return true; }, 0x0000FF, 0xFF0000, gdUp);
    int changes = 0;
    int fileChanges = 0;
    fill.OnChange = [&] { ++changes; };
    fill.OnFileChange = [&] { ++fileChanges; };
    EXPECT_EQ(fill.FromColor(), 0x0000FFu);
    EXPECT_EQ(fill.ToColor(), 0xFF0000u);
    EXPECT_EQ(fill.Direction(), gdUp);

    fill.SetFromColor(0x0000FF);
    fill.SetToColor(0xFF0000);
    fill.SetDirection(gdUp);
    fill.SetDirection(static_cast<TFillDirection>(-1));
    fill.SetImage(nullptr);
    EXPECT_EQ(changes, 0);
    fill.SetFromColor(1);
    fill.SetToColor(2);
    fill.SetDirection(gdRight);
    EXPECT_EQ(changes, 3);

    // The file name shows nowhere: it has a notice of its own.
    fill.SetLastBitmapFile("/tiles/a.bmp");
    fill.SetLastBitmapFile("/tiles/a.bmp");
    EXPECT_EQ(fileChanges, 1);
    EXPECT_EQ(changes, 3);

    const TGBitmap green = Texture(Qt::green);
    fill.SetImage(&green);
    EXPECT_EQ(changes, 4);
    // A textured type keeps the texture; any other drops it without a notice,
    // since the owner reports the type change itself.
    fill.FollowSurfaceType(true);
    EXPECT_EQ(fill.ImageBitmap().BmpBytes(), green.BmpBytes());
    fill.FollowSurfaceType(false);
    EXPECT_TRUE(fill.ImageBitmap().IsEmpty());
    EXPECT_EQ(changes, 4);
    // Once dropped, the texture reports its changes again.
    fill.SetImage(&green);
    EXPECT_EQ(changes, 5);
    EXPECT_EQ(fileChanges, 1);
}

TEST_F(SurfaceFillTest, SuperShapeReportsFillChangesOnceAndNoneWhileRead)
{
    ExpectFillReports(Place<TSuperShape>(0, 0, 80, 80), &TSuperShape::SetBackColor,
                      &TSuperShape::BackColor);
}

TEST_F(SurfaceFillTest, SuperTextReportsFillChangesOnceAndNoneWhileRead)
{
    ExpectFillReports(Place<TGSuperText>(), &TGSuperText::SetGradientFromColor,
                      &TGSuperText::GradientFromColor);
}

TEST_F(SurfaceFillTest, LeavingTheTextureTypeDropsTheTextureInTheTypeChange)
{
    const TGBitmap blue = Texture(Qt::blue);
    auto *text = Place<TGSuperText>();
    text->SetSurfaceType(TGSuperText::stBrushImage);
    text->SetImage(&blue);
    EXPECT_EQ(REPORTS(text->SetSurfaceType(TGSuperText::stNormal)), 1);
    EXPECT_TRUE(text->ImageBitmap().IsEmpty());

    // A type read from a design keeps the texture read with it.
    text->SetLoading(true);
    text->SetImage(&blue);
    text->SetSurfaceType(TGSuperText::stGradientFill);
    text->Loaded();
    EXPECT_EQ(text->ImageBitmap().BmpBytes(), blue.BmpBytes());
}
