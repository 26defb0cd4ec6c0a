#include "ObjectsFixture.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"

#include <QFont>
#include <QImage>

using SuperTextTest = ObjectTest;

TEST_F(SuperTextTest, TableOrderDefaultsAndItsOwnSurfaceTypes)
{
    TGSuperText text;
    const QStringList own{"ShadowDepth",
                          "ShadowOrientation",
                          "Shadowcolor",
                          "BorderStyle",
                          "ControlTransparent",
                          "BGColor",
                          "Caption",
                          "Font",
                          "FillDirection",
                          "GradientToColor",
                          "GradientFromColor",
                          "Image",
                          "OutlineColor",
                          "OutlineStyle",
                          "OutlineWidth",
                          "SurfaceType",
                          "LastBitmapFileNameandPath"};
    EXPECT_EQ(TableNames(text), BaseNames() + own);
    EXPECT_EQ(Entry(text, "ShadowDepth").defaultValue, 0);
    EXPECT_EQ(Entry(text, "ShadowOrientation").defaultValue, TGSuperText::sdDownRight);
    EXPECT_EQ(Entry(text, "ShadowOrientation").identifiers,
              QStringList({"sdNone", "sdRight", "sdLeft", "sdDownRight", "sdDownLeft", "sdDown"}));
    EXPECT_EQ(Entry(text, "Shadowcolor").defaultValue, 8421504);
    EXPECT_EQ(Entry(text, "Shadowcolor").identifierTable, TIdentifierTable::Color);
    for (const QString &name : own.mid(3))
        EXPECT_FALSE(Entry(text, name).defaultValue.has_value()) << name.toStdString();

    // The same identifier stands at different ordinals in the two surface types.
    const QStringList textTypes = Entry(text, "SurfaceType").identifiers;
    EXPECT_EQ(textTypes,
              QStringList({"stNormal", "stBrushTransparent", "stBrushImage", "stGradientFill"}));
    TSuperShape shape;
    EXPECT_EQ(textTypes.indexOf("stBrushTransparent"), 1);
    EXPECT_EQ(Entry(shape, "SurfaceType").identifiers.indexOf("stBrushTransparent"), 0);
    EXPECT_EQ(Entry(text, "FillDirection").identifiers, Entry(shape, "FillDirection").identifiers);
    EXPECT_EQ(Entry(text, "BorderStyle").identifiers, QStringList({"bsNone", "bsSingle"}));
}

TEST_F(SuperTextTest, NewSuperTextCarriesItsCreationValues)
{
    TGSuperText text;
    EXPECT_EQ(text.Width(), 142);
    EXPECT_EQ(text.Height(), 33);
    EXPECT_EQ(text.ShadowDepth(), 0);
    EXPECT_EQ(text.ShadowOrientation(), TGSuperText::sdDownRight);
    EXPECT_EQ(text.ShadowOffset(), QPoint(0, 0));
    EXPECT_EQ(text.Shadowcolor(), 0x808080u);
    EXPECT_EQ(text.BorderStyle(), TGSuperText::bsNone);
    EXPECT_TRUE(text.ControlTransparent());
    EXPECT_EQ(text.BGColor(), 0xFFFFFFu);
    EXPECT_EQ(text.Caption(), "Text");
    EXPECT_EQ(text.Font()->Name(), "Arial");
    EXPECT_EQ(text.Font()->Size(), 48);
    EXPECT_EQ(text.Font()->Style(), uint32_t(fsBold));
    EXPECT_EQ(text.Font()->Color(), 0u);
    EXPECT_FALSE(text.ParentFont());
    EXPECT_TRUE(Entry(text, "Font").IsStored(text));
    EXPECT_EQ(text.FillDirection(), gdRight);
    EXPECT_EQ(text.GradientToColor(), 0x00FFFFu);   // clYellow
    EXPECT_EQ(text.GradientFromColor(), 0xFF0000u); // clBlue
    EXPECT_TRUE(text.ImageBitmap().IsEmpty());
    EXPECT_EQ(text.OutlineColor(), 0u);
    EXPECT_EQ(text.OutlineStyle(), psSolid);
    EXPECT_EQ(text.OutlineWidth(), 1);
    EXPECT_EQ(text.SurfaceType(), TGSuperText::stGradientFill);
    EXPECT_TRUE(text.LastBitmapFileNameandPath().isEmpty());
}

TEST_F(SuperTextTest, ShadowOffsetFollowsDepthAndOrientation)
{
    auto *text = Place<TGSuperText>();
    EXPECT_EQ(REPORTS(text->SetShadowDepth(4)), 1);
    EXPECT_EQ(text->ShadowOffset(), QPoint(4, 4));
    const std::pair<TGSuperText::TShadowOrientation, QPoint> cases[] = {
        {TGSuperText::sdNone, {0, 0}},  {TGSuperText::sdRight, {4, 0}},
        {TGSuperText::sdLeft, {-4, 0}}, {TGSuperText::sdDownLeft, {-4, 4}},
        {TGSuperText::sdDown, {0, 4}},  {TGSuperText::sdDownRight, {4, 4}},
    };
    for (const auto &[orientation, offset] : cases) {
        text->SetShadowOrientation(orientation);
        EXPECT_EQ(text->ShadowOffset(), offset) << orientation;
    }
    // A value outside the enumeration is not taken and leaves the offset.
    text->SetShadowOrientation(TGSuperText::sdLeft);
    EXPECT_EQ(REPORTS(text->SetShadowOrientation(static_cast<TGSuperText::TShadowOrientation>(6))),
              0);
    EXPECT_EQ(text->ShadowOrientation(), TGSuperText::sdLeft);
    EXPECT_EQ(text->ShadowOffset(), QPoint(-4, 0));

    // A depth read from a stream moves the shadow too.
    text->SetLoading(true);
    EXPECT_EQ(REPORTS(text->SetShadowDepth(7)), 0);
    text->Loaded();
    EXPECT_EQ(text->ShadowOffset(), QPoint(-7, 0));
}

TEST_F(SuperTextTest, SettersReportOnceAndKeepTransparentGlyphsVisible)
{
    auto *text = Place<TGSuperText>(10, 10, 142, 33);
    EXPECT_EQ(REPORTS(text->SetCaption("Sales")), 1);
    EXPECT_EQ(REPORTS(text->SetCaption("Sales")), 0);
    EXPECT_EQ(REPORTS(text->SetBGColor(0x00FF00)), 1);
    EXPECT_EQ(REPORTS(text->SetControlTransparent(false)), 1);
    EXPECT_EQ(REPORTS(text->SetBorderStyle(TGSuperText::bsSingle)), 1);
    EXPECT_EQ(REPORTS(text->SetBorderStyle(static_cast<TGSuperText::TBorderStyle>(2))), 0);
    EXPECT_EQ(REPORTS(text->SetGradientFromColor(0x0000FF)), 1);
    EXPECT_EQ(REPORTS(text->SetGradientToColor(0x00FFFF)), 0);
    EXPECT_EQ(REPORTS(text->SetFillDirection(gdDown)), 1);
    EXPECT_EQ(REPORTS(text->SetOutlineWidth(0)), 1);
    EXPECT_EQ(REPORTS(text->SetShadowcolor(0)), 1);

    text->SetOutlineStyle(psClear);
    EXPECT_EQ(REPORTS(text->SetSurfaceType(TGSuperText::stBrushTransparent)), 1);
    EXPECT_EQ(text->OutlineStyle(), psSolid);

    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    TGBitmap texture;
    texture.SetImage(image);
    text->SetSurfaceType(TGSuperText::stBrushImage);
    EXPECT_EQ(REPORTS(text->SetImage(&texture)), 1);
    text->SetSurfaceType(TGSuperText::stNormal);
    EXPECT_TRUE(text->ImageBitmap().IsEmpty());

    // A size of zero is raised to one pixel.
    text->SetBounds(text->Left(), text->Top(), 0, -3);
    EXPECT_EQ(text->Width(), 1);
    EXPECT_EQ(text->Height(), 1);
}

TEST_F(SuperTextTest, FontChangesTurnParentFontOffAndAskForALayout)
{
    auto *text = Place<TGSuperText>();
    text->SetParentFont(true);
    EXPECT_FALSE(Entry(*text, "Font").IsStored(*text));
    EXPECT_EQ(REPORTS(text->Font()->SetSize(36)), 1);
    EXPECT_FALSE(text->ParentFont());
    EXPECT_TRUE(Entry(*text, "Font").IsStored(*text));
    EXPECT_TRUE(text->LayoutNeeded());

    text->SetParentFont(true);
    EXPECT_EQ(REPORTS(text->AssignFont(QFont(QStringLiteral("Courier New"), 20))), 1);
    EXPECT_FALSE(text->ParentFont());
    EXPECT_EQ(text->Font()->Name(), "Courier New");

    // Copying from a sample takes every property in one go.
    TGSuperText sample;
    sample.CopyProperties(*text);
    EXPECT_EQ(sample.Font()->Name(), "Courier New");
    EXPECT_EQ(sample.Width(), text->Width());
    sample.SetCaption("Copied");
    sample.SetShadowDepth(3);
    sample.SetShadowOrientation(TGSuperText::sdDown);
    text->CopyProperties(sample);
    EXPECT_EQ(text->Caption(), "Copied");
    EXPECT_EQ(text->ShadowOffset(), QPoint(0, 3));
}
