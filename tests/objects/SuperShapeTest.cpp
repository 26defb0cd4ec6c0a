#include "ObjectsFixture.h"
#include "effects/Gsshape.h"

#include <QImage>

namespace {
TGBitmap Texture(int size)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    TGBitmap bitmap;
    bitmap.SetImage(image);
    return bitmap;
}
} // namespace

using SuperShapeTest = ObjectTest;

TEST_F(SuperShapeTest, TableOrderDefaultsAndIdentifiers)
{
    TSuperShape shape;
    const QStringList own{"BackColor",
                          "FillDirection",
                          "ForeColor",
                          "GradientToColor",
                          "Image",
                          "InVectorPercent",
                          "OutlineColor",
                          "OutlineStyle",
                          "OutlineWidth",
                          "Pattern",
                          "RoundPerc",
                          "ShadowColor",
                          "ShadowDepth",
                          "ShadowOrient",
                          "Shape",
                          "StartingAngle",
                          "SurfaceType",
                          "Vectors",
                          "LastBitmapFileNameandPath"};
    EXPECT_EQ(TableNames(shape), BaseNames() + own);
    // Shape is the only entry with a default; every other one is always written.
    for (const QString &name : own)
        EXPECT_EQ(Entry(shape, name).defaultValue.has_value(), name == "Shape")
            << name.toStdString();
    EXPECT_EQ(Entry(shape, "Shape").defaultValue, TSuperShape::gstStar);
    EXPECT_EQ(Entry(shape, "Shape").identifiers,
              QStringList({"gstRectangle", "gstRoundRect", "gstEllipse", "gstDiamond", "gstStar",
                           "gstTriangleLeft", "gstTriangleRight", "gstTriangleUp",
                           "gstTriangleDown", "gstPolyGon"}));
    EXPECT_EQ(
        Entry(shape, "SurfaceType").identifiers,
        QStringList({"stBrushTransparent", "stBrushPattern", "stBrushImage", "stGradientFill"}));
    EXPECT_EQ(
        Entry(shape, "ShadowOrient").identifiers,
        QStringList({"soNone", "soLowerRight", "soUpperRight", "soUpperLeft", "soLowerLeft"}));
    EXPECT_EQ(Entry(shape, "FillDirection").identifiers,
              QStringList({"gdUp", "gdDown", "gdLeft", "gdRight"}));
    EXPECT_EQ(Entry(shape, "OutlineStyle").identifiers,
              QStringList({"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear",
                           "psInsideFrame"}));
    EXPECT_EQ(Entry(shape, "Pattern").identifiers,
              QStringList({"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
                           "bsBDiagonal", "bsCross", "bsDiagCross"}));
    for (const char *colour :
         {"BackColor", "ForeColor", "GradientToColor", "OutlineColor", "ShadowColor"})
        EXPECT_EQ(Entry(shape, colour).identifierTable, TIdentifierTable::Color) << colour;
    EXPECT_EQ(Entry(shape, "Image").kind, TPropertyKind::Object);
    EXPECT_EQ(Entry(shape, "LastBitmapFileNameandPath").kind, TPropertyKind::String);
}

TEST_F(SuperShapeTest, NewSuperShapeIsAGradientFilledStar)
{
    TSuperShape shape;
    EXPECT_EQ(shape.Width(), 25);
    EXPECT_EQ(shape.Height(), 25);
    EXPECT_EQ(shape.BackColor(), 0x0000FFu); // clRed
    EXPECT_EQ(shape.FillDirection(), gdUp);
    EXPECT_EQ(shape.ForeColor(), 0u);
    EXPECT_EQ(shape.GradientToColor(), 0xFF0000u); // clBlue
    EXPECT_TRUE(shape.ImageBitmap().IsEmpty());
    EXPECT_EQ(shape.InVectorPercent(), 50);
    EXPECT_EQ(shape.OutlineColor(), 0u);
    EXPECT_EQ(shape.OutlineStyle(), psSolid);
    EXPECT_EQ(shape.OutlineWidth(), 1);
    EXPECT_EQ(shape.Pattern(), bsClear);
    EXPECT_EQ(shape.RoundPerc(), 25);
    EXPECT_EQ(shape.ShadowColor(), 0u);
    EXPECT_EQ(shape.ShadowDepth(), 5);
    EXPECT_EQ(shape.ShadowOrient(), TSuperShape::soNone);
    EXPECT_EQ(shape.Shape(), TSuperShape::gstStar);
    EXPECT_EQ(shape.StartingAngle(), 90);
    EXPECT_EQ(shape.SurfaceType(), TSuperShape::stGradientFill);
    EXPECT_EQ(shape.Vectors(), 10);
    EXPECT_TRUE(shape.LastBitmapFileNameandPath().isEmpty());
}

TEST_F(SuperShapeTest, RangeRulesIgnoreOutOfRangeWritesSilently)
{
    auto *shape = Place<TSuperShape>(0, 0, 100, 100);
    EXPECT_EQ(REPORTS(shape->SetVectors(2)), 0);
    EXPECT_EQ(REPORTS(shape->SetVectors(61)), 0);
    EXPECT_EQ(REPORTS(shape->SetVectors(3)), 1);
    EXPECT_EQ(REPORTS(shape->SetVectors(60)), 1);
    EXPECT_EQ(shape->Vectors(), 60);

    EXPECT_EQ(REPORTS(shape->SetStartingAngle(-1)), 0);
    EXPECT_EQ(REPORTS(shape->SetStartingAngle(360)), 0);
    EXPECT_EQ(REPORTS(shape->SetStartingAngle(0)), 1);
    EXPECT_EQ(REPORTS(shape->SetStartingAngle(359)), 1);
    EXPECT_EQ(shape->StartingAngle(), 359);

    EXPECT_EQ(REPORTS(shape->SetInVectorPercent(-1)), 0);
    EXPECT_EQ(REPORTS(shape->SetInVectorPercent(101)), 0);
    EXPECT_EQ(REPORTS(shape->SetInVectorPercent(0)), 1);
    EXPECT_EQ(REPORTS(shape->SetInVectorPercent(100)), 1);
    EXPECT_EQ(shape->InVectorPercent(), 100);

    EXPECT_EQ(REPORTS(shape->SetShadowOrient(static_cast<TSuperShape::TShadowOrient>(5))), 0);
    EXPECT_EQ(REPORTS(shape->SetShadowOrient(TSuperShape::soLowerLeft)), 1);
    EXPECT_EQ(REPORTS(shape->SetSurfaceType(static_cast<TSuperShape::TSurfaceType>(4))), 0);
    EXPECT_EQ(REPORTS(shape->SetShape(static_cast<TSuperShape::TGPShapeType>(10))), 0);
    EXPECT_EQ(REPORTS(shape->SetFillDirection(static_cast<TFillDirection>(4))), 0);
    EXPECT_EQ(shape->FillDirection(), gdUp);

    // Properties without a range take any value.
    EXPECT_EQ(REPORTS(shape->SetRoundPerc(500)), 1);
    EXPECT_EQ(REPORTS(shape->SetOutlineWidth(0)), 1);
    EXPECT_EQ(REPORTS(shape->SetBackColor(0x123456)), 1);
    EXPECT_EQ(REPORTS(shape->SetBackColor(0x123456)), 0);
}

TEST_F(SuperShapeTest, ChoosingTheStarRestoresAUsableStar)
{
    auto *shape = Place<TSuperShape>(0, 0, 100, 100);
    shape->SetShape(TSuperShape::gstRectangle);
    shape->SetInVectorPercent(0);
    shape->SetVectors(6);
    shape->SetStartingAngle(45);
    EXPECT_EQ(REPORTS(shape->SetShape(TSuperShape::gstStar)), 1);
    EXPECT_EQ(shape->InVectorPercent(), 50);
    EXPECT_EQ(shape->Vectors(), 10);
    EXPECT_EQ(shape->StartingAngle(), 90);

    // The polygon keeps what it is given.
    shape->SetInVectorPercent(0);
    shape->SetVectors(6);
    shape->SetStartingAngle(45);
    shape->SetShape(TSuperShape::gstPolyGon);
    EXPECT_EQ(shape->InVectorPercent(), 0);
    EXPECT_EQ(shape->Vectors(), 6);
    EXPECT_EQ(shape->StartingAngle(), 45);

    // More points than ten and a non-zero pull stay as they are.
    shape->SetShape(TSuperShape::gstRectangle);
    shape->SetVectors(14);
    shape->SetInVectorPercent(30);
    shape->SetShape(TSuperShape::gstStar);
    EXPECT_EQ(shape->Vectors(), 14);
    EXPECT_EQ(shape->InVectorPercent(), 30);

    // A rectangle turned into a star in the dialog with no inward pull: the
    // write-back sets the pull before the shape, so the star gets 50 again,
    // while the points and angle written after the shape stay.
    TSuperShape sample;
    sample.CopyProperties(*shape);
    EXPECT_EQ(sample.Width(), 100);
    sample.SetInVectorPercent(0);
    sample.SetVectors(12);
    sample.SetStartingAngle(30);
    shape->SetShape(TSuperShape::gstRectangle);
    shape->CopyProperties(sample);
    EXPECT_EQ(shape->Shape(), TSuperShape::gstStar);
    EXPECT_EQ(shape->InVectorPercent(), 50);
    EXPECT_EQ(shape->Vectors(), 12);
    EXPECT_EQ(shape->StartingAngle(), 30);
}

TEST_F(SuperShapeTest, TransparentSurfaceKeepsTheFigureVisibleAndTexturesAreDropped)
{
    auto *shape = Place<TSuperShape>(0, 0, 60, 60);
    shape->SetShadowOrient(TSuperShape::soLowerRight);
    shape->SetPattern(bsCross);
    shape->SetOutlineStyle(psClear);
    EXPECT_EQ(REPORTS(shape->SetSurfaceType(TSuperShape::stBrushTransparent)), 1);
    EXPECT_EQ(shape->ShadowOrient(), TSuperShape::soNone);
    EXPECT_EQ(shape->Pattern(), bsClear);
    EXPECT_EQ(shape->OutlineStyle(), psSolid);

    const TGBitmap texture = Texture(16);
    shape->SetSurfaceType(TSuperShape::stBrushImage);
    EXPECT_EQ(REPORTS(shape->SetImage(&texture)), 1);
    EXPECT_EQ(REPORTS(shape->SetImage(&texture)), 0);
    EXPECT_FALSE(shape->ImageBitmap().IsEmpty());
    // Leaving the texture type empties the texture; coming back keeps it empty.
    EXPECT_EQ(REPORTS(shape->SetSurfaceType(TSuperShape::stGradientFill)), 1);
    EXPECT_TRUE(shape->ImageBitmap().IsEmpty());
    shape->SetSurfaceType(TSuperShape::stBrushImage);
    EXPECT_TRUE(shape->ImageBitmap().IsEmpty());
    shape->SetImage(&texture);
    EXPECT_EQ(REPORTS(shape->SetImage(nullptr)), 1);
    EXPECT_TRUE(shape->ImageBitmap().IsEmpty());
}

TEST_F(SuperShapeTest, ShadowDepthCannotGrowPastHalfTheSizeButCanShrink)
{
    auto *shape = Place<TSuperShape>(0, 0, 12, 15);
    shape->SetHeight(12);
    EXPECT_EQ(REPORTS(shape->SetShadowDepth(8)), 1); // held 5 is within 12 div 2
    EXPECT_EQ(shape->ShadowDepth(), 8);
    EXPECT_EQ(REPORTS(shape->SetShadowDepth(9)), 0); // held 8 already exceeds 6
    EXPECT_EQ(shape->ShadowDepth(), 8);
    EXPECT_EQ(REPORTS(shape->SetShadowDepth(2)), 1);
    EXPECT_EQ(shape->ShadowDepth(), 2);
    EXPECT_EQ(REPORTS(shape->SetShadowDepth(40)), 1); // no bound on the new value itself
}

TEST_F(SuperShapeTest, ReadingOnlyStoresValues)
{
    auto *shape = Place<TSuperShape>(0, 0, 8, 15);
    shape->SetHeight(8);
    changes = 0;
    shape->SetLoading(true);
    shape->SetShape(TSuperShape::gstRectangle);
    shape->SetInVectorPercent(0);
    shape->SetStartingAngle(45);
    shape->SetOutlineStyle(psClear);
    shape->SetShadowOrient(TSuperShape::soUpperLeft);
    shape->SetShadowDepth(7); // a stored depth is taken whatever the size
    shape->SetShape(TSuperShape::gstStar);
    shape->SetSurfaceType(TSuperShape::stBrushTransparent);
    shape->SetLastBitmapFileNameandPath("/tmp/x.bmp");
    EXPECT_EQ(changes, 0);
    shape->Loaded();
    EXPECT_EQ(shape->Shape(), TSuperShape::gstStar);
    EXPECT_EQ(shape->InVectorPercent(), 0);
    EXPECT_EQ(shape->StartingAngle(), 45);
    EXPECT_EQ(shape->OutlineStyle(), psClear);
    EXPECT_EQ(shape->ShadowOrient(), TSuperShape::soUpperLeft);
    EXPECT_EQ(shape->ShadowDepth(), 7);
    EXPECT_EQ(shape->SurfaceType(), TSuperShape::stBrushTransparent);
    EXPECT_EQ(shape->LastBitmapFileNameandPath(), "/tmp/x.bmp");
}
