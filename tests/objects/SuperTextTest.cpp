#include "ObjectsFixture.h"
#include "document/ObjectStream.h"
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
    EXPECT_EQ(text.ShadowColor(), 0x808080u);
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
    EXPECT_EQ(REPORTS(text->SetShadowColor(0)), 1);

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

namespace {

// The object's stored entries as the dump shows them, without its name line.
QStringList Entries(const TGGraphicControl &object)
{
    return DumpObject(object).mid(1);
}

TGBitmap Brick()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::darkRed);
    TGBitmap bitmap;
    bitmap.SetImage(image);
    return bitmap;
}

} // namespace

// Every entry of the kinds' tables comes across (the texture and the font
// too), the place and the texture file stay, and the dialog's write-back
// leaves what the dialog does not show.
TEST_F(SuperTextTest, CopiesTakeEveryStoredPropertyButThePlace)
{
    const TGBitmap brick = Brick();
    auto *shape = Place<TSuperShape>(30, 40, 120, 90);
    shape->SetSurfaceType(TSuperShape::stBrushImage);
    shape->SetImage(&brick);
    shape->SetBackColor(0x112233);
    shape->SetFillDirection(gdLeft);
    shape->SetForeColor(0x445566);
    shape->SetGradientToColor(0x778899);
    shape->SetOutlineColor(0x0000FF);
    shape->SetOutlineStyle(psDash);
    shape->SetOutlineWidth(3);
    shape->SetPattern(bsCross);
    shape->SetRoundPerc(40);
    shape->SetShadowColor(0x00FF00);
    shape->SetShadowDepth(4);
    shape->SetShadowOrient(TSuperShape::soUpperLeft);
    shape->SetShape(TSuperShape::gstPolyGon);
    shape->SetInVectorPercent(20);
    shape->SetStartingAngle(30);
    shape->SetVectors(7);
    TSuperShape shapeCopy;
    shapeCopy.SetBounds(30, 40, 10, 10);
    shapeCopy.SetLastBitmapFileNameandPath(QStringLiteral("/t/kept.bmp"));
    shapeCopy.CopyProperties(*shape);
    EXPECT_EQ(shapeCopy.LastBitmapFileNameandPath(), "/t/kept.bmp");
    shapeCopy.SetLastBitmapFileNameandPath(QString());
    EXPECT_EQ(Entries(shapeCopy), Entries(*shape));

    auto *text = Place<TGSuperText>(30, 40, 200, 80);
    text->SetSurfaceType(TGSuperText::stBrushImage);
    text->SetImage(&brick);
    text->SetShadowDepth(5);
    text->SetShadowOrientation(TGSuperText::sdLeft);
    text->SetShadowColor(0x00FF00);
    text->SetBorderStyle(TGSuperText::bsSingle);
    text->SetControlTransparent(false);
    text->SetBGColor(0x123456);
    text->SetCaption(QStringLiteral("Copied"));
    text->Font()->SetName(QStringLiteral("Courier New"));
    text->Font()->SetColor(0x0000FF);
    text->SetFillDirection(gdUp);
    text->SetGradientToColor(0x111111);
    text->SetGradientFromColor(0x222222);
    text->SetOutlineColor(0x333333);
    text->SetOutlineStyle(psDot);
    text->SetOutlineWidth(2);
    TGSuperText textCopy;
    textCopy.SetBounds(30, 40, 10, 10);
    textCopy.CopyProperties(*text);
    EXPECT_EQ(Entries(textCopy), Entries(*text));

    auto *edited = Place<TGSuperText>(30, 40, 200, 80);
    edited->TakeEditedProperties(textCopy);
    EXPECT_EQ(edited->BorderStyle(), TGSuperText::bsNone);
    EXPECT_TRUE(edited->ControlTransparent());
    EXPECT_EQ(edited->BGColor(), 0xFFFFFFu);
    edited->SetBorderStyle(TGSuperText::bsSingle);
    edited->SetControlTransparent(false);
    edited->SetBGColor(0x123456);
    edited->SetBounds(text->Left(), text->Top(), text->Width(), text->Height());
    EXPECT_EQ(Entries(*edited), Entries(*text));
}

// ---- layout, drawing and menu -----------------------------------------------

#include "effects/SurfaceFill.h"

#include <QFontMetrics>
#include <QPainter>

namespace {

constexpr QRgb White = 0xFFFFFFFF;

QImage Render(TGSuperText &text)
{
    text.UpdateLayout();
    QImage image(text.Width(), text.Height(), QImage::Format_RGB32);
    image.fill(White);
    QPainter painter(&image);
    painter.setClipRect(0, 0, text.Width(), text.Height());
    text.Paint(painter);
    return image;
}

// Pixels of exactly that colour, and the leftmost/rightmost columns holding one.
struct TColourSpread
{
    int count = 0;
    int left = INT_MAX;
    int right = -1;
    int top = INT_MAX;
};
TColourSpread Spread(const QImage &image, const std::function<bool(QRgb)> &match)
{
    TColourSpread s;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (match(image.pixel(x, y))) {
                ++s.count;
                s.left = std::min(s.left, x);
                s.right = std::max(s.right, x);
                s.top = std::min(s.top, y);
            }
    return s;
}

} // namespace

TEST_F(SuperTextTest, LayoutFitsTheHeightAndKeepsRoomForTheShadow)
{
    auto *text = Place<TGSuperText>(0, 0, 142, 33);
    text->UpdateLayout();
    const QFontMetrics metrics(text->CanvasFont());
    // 48-point text is taller than 33 pixels: the object grows to it.
    EXPECT_EQ(text->Height(), metrics.height());
    EXPECT_EQ(text->TextRect(), (TRect{5, 0, 142, metrics.height()}));
    EXPECT_EQ(text->ShadowRect(), text->TextRect());

    // A shadow 4 to the left: the text moves 4 right, the shadow starts at 5.
    text->SetShadowOrientation(TGSuperText::sdLeft);
    text->SetShadowDepth(4);
    text->UpdateLayout();
    EXPECT_EQ(text->TextRect().Left, 9);
    EXPECT_EQ(text->ShadowRect().Left, 5);

    // A borderless transparent text far taller than its text shrinks to 1.2
    // times it; with a border it keeps its height.
    text->SetShadowOrientation(TGSuperText::sdNone);
    text->SetBounds(0, 0, 142, 300);
    text->UpdateLayout();
    EXPECT_EQ(text->Height(), int(metrics.height() * 1.2));
    text->SetBorderStyle(TGSuperText::bsSingle);
    text->SetBounds(0, 0, 142, 300);
    text->UpdateLayout();
    EXPECT_EQ(text->Height(), 300);

    // Zoom 2 doubles the glyphs.
    surface->SetZoom(2.0f);
    EXPECT_EQ(text->CanvasFont().pixelSize(), 2 * QFont(text->FontData().ToQFont()).pixelSize());
}

TEST_F(SuperTextTest, LongCaptionIsCutForDrawingOnly)
{
    auto *text = Place<TGSuperText>(0, 0, 120, 60);
    text->SetBorderStyle(TGSuperText::bsSingle);
    const QString caption = QStringLiteral("Wonderful cards for everyone");
    text->SetCaption(caption);
    text->SetShadowOrientation(TGSuperText::sdLeft);
    text->SetShadowDepth(4);
    text->UpdateLayout();
    const QString drawn = text->DrawnCaption();
    EXPECT_EQ(text->Caption(), caption);
    ASSERT_FALSE(drawn.isEmpty());
    EXPECT_TRUE(caption.startsWith(drawn));
    EXPECT_LT(drawn.size(), caption.size());
    const QFontMetrics metrics(text->CanvasFont());
    const int room = text->Width() - 9; // e = 5 + the shadow's 4
    EXPECT_LE(metrics.horizontalAdvance(drawn), room);
    EXPECT_GT(metrics.horizontalAdvance(caption.left(drawn.size() + 1)), room);

    // A very long pasted caption is cut just as well and stays stored.
    const QString huge = QString(20000, QLatin1Char('W'));
    text->SetCaption(huge);
    text->UpdateLayout();
    EXPECT_LE(metrics.horizontalAdvance(text->DrawnCaption()), room);
    EXPECT_EQ(text->Caption(), huge);
    Render(*text);
    EXPECT_EQ(text->Caption(), huge);
}

TEST_F(SuperTextTest, GlyphsAreFilledOutlinedAndShadowed)
{
    // A gradient from blue (left) to yellow (right), no outline.
    auto *text = Place<TGSuperText>(0, 0, 200, 80);
    text->SetCaption(QStringLiteral("MMMM"));
    text->SetOutlineStyle(psClear);
    QImage image = Render(*text);
    const auto blueish = [](QRgb c) { return qBlue(c) > 200 && qRed(c) < 60; };
    const auto yellowish = [](QRgb c) { return qBlue(c) < 60 && qRed(c) > 200 && qGreen(c) > 200; };
    const TColourSpread blue = Spread(image, blueish);
    const TColourSpread yellow = Spread(image, yellowish);
    ASSERT_GT(blue.count, 20);
    ASSERT_GT(yellow.count, 20);
    EXPECT_LT(blue.right, yellow.left); // from-colour at the left
    // The fill stays inside the glyphs: the gap above the caps is untouched.
    EXPECT_EQ(image.pixel(100, 1), White);
    // Exactly the band colour of the gradient at each column inside a glyph.
    const QImage &gradient = text->GradientPicture();
    ASSERT_EQ(gradient.size(), QSize(text->Width(), text->Height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != White)
                ASSERT_EQ(image.pixel(x, y), gradient.pixel(x, y));

    // The plain fill takes the font colour; the outline its own colour.
    text->SetSurfaceType(TGSuperText::stNormal);
    text->Font()->SetColor(0x0000FF); // red
    text->SetOutlineStyle(psSolid);
    text->SetOutlineColor(0x00FF00);
    image = Render(*text);
    const TColourSpread red = Spread(image, [](QRgb c) { return c == qRgb(255, 0, 0); });
    const TColourSpread green = Spread(image, [](QRgb c) { return c == qRgb(0, 255, 0); });
    EXPECT_GT(red.count, 50);
    EXPECT_GT(green.count, 50);
    EXPECT_LE(green.left, red.left); // the outline wraps the fill

    // A grey shadow 6 pixels down and right: its silhouette starts 6 pixels
    // right of and below the glyphs.
    text->SetOutlineStyle(psClear);
    text->SetShadowOrientation(TGSuperText::sdDownRight);
    text->SetShadowDepth(6);
    text->SetShadowColor(0x808080);
    image = Render(*text);
    const TColourSpread glyphs = Spread(image, [](QRgb c) { return c == qRgb(255, 0, 0); });
    const TColourSpread shadow = Spread(image, [](QRgb c) { return c == qRgb(128, 128, 128); });
    ASSERT_GT(shadow.count, 20);
    EXPECT_EQ(shadow.right - glyphs.right, 6);
    EXPECT_EQ(shadow.top - glyphs.top, 6);

    // Transparent glyphs show only their outline; a background fills the rest.
    text->SetShadowOrientation(TGSuperText::sdNone);
    text->SetSurfaceType(TGSuperText::stBrushTransparent);
    text->SetControlTransparent(false);
    text->SetBGColor(0x00FFFF); // yellow
    image = Render(*text);
    EXPECT_EQ(Spread(image, [](QRgb c) { return c == qRgb(255, 0, 0); }).count, 0);
    EXPECT_GT(Spread(image, [](QRgb c) { return c == qRgb(0, 255, 0); }).count, 50);
    EXPECT_EQ(image.pixel(1, 1), qRgb(255, 255, 0));
}

TEST_F(SuperTextTest, EmptyCaptionShowsAFrameWithDiagonals)
{
    auto *text = Place<TGSuperText>(0, 0, 100, 60);
    text->SetBorderStyle(TGSuperText::bsSingle); // keeps the height
    text->SetCaption(QString());
    const QImage image = Render(*text);
    const int w = text->Width();
    const int h = text->Height();
    EXPECT_EQ(image.pixel(0, h / 2), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(w - 1, h / 2), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(w / 2, h - 1), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(w / 2, (h - 1) / 2), qRgb(0, 0, 0)); // the diagonals cross
    EXPECT_EQ(image.pixel(w / 4, 3 * h / 4 - 10), White);
}

TEST_F(SuperTextTest, MenuTogglesAndPropertiesWriteBack)
{
    auto *text = Place<TGSuperText>(0, 0, 150, 60);
    QMenu *menu = text->ObjectMenu();
    ASSERT_NE(menu, nullptr);
    const QStringList captions = TopLevelCaptions(menu);
    EXPECT_EQ(
        captions.mid(captions.size() - 6),
        QStringList({"-", "Font", "Transparent", "Background Color", "Border", "Properties"}));
    text->RefreshMenu();
    EXPECT_TRUE(FindItem(menu, "Transparent")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Border")->isChecked());
    EXPECT_EQ(REPORTS(FindItem(menu, "Border")->trigger()), 1);
    EXPECT_EQ(text->BorderStyle(), TGSuperText::bsSingle);
    FindItem(menu, "Transparent")->trigger();
    EXPECT_FALSE(text->ControlTransparent());
    text->RefreshMenu();
    EXPECT_TRUE(FindItem(menu, "Border")->isChecked());
    EXPECT_FALSE(FindItem(menu, "Transparent")->isChecked());

    // The dialog's sample comes back except size, background and border.
    TGSuperText::ShowPropertiesDialog = [](TGSuperText &sample, QString &last, QWidget *) {
        sample.SetCaption(QStringLiteral("Hello"));
        sample.SetSurfaceType(TGSuperText::stNormal);
        sample.Font()->SetColor(0x0000FF);
        sample.SetShadowDepth(3);
        sample.SetBorderStyle(TGSuperText::bsNone);
        sample.SetBounds(0, 0, 10, 10);
        last = QStringLiteral("/t/brick.bmp");
        return true;
    };
    text->RefreshMenu();
    ASSERT_TRUE(FindItem(menu, "Properties")->isEnabled());
    const int reported = REPORTS(FindItem(menu, "Properties")->trigger());
    TGSuperText::ShowPropertiesDialog = nullptr;
    EXPECT_GE(reported, 1);
    EXPECT_EQ(text->Caption(), "Hello");
    EXPECT_EQ(text->SurfaceType(), TGSuperText::stNormal);
    EXPECT_EQ(text->FontData().Color(), 0x0000FFu);
    EXPECT_EQ(text->ShadowDepth(), 3);
    EXPECT_EQ(text->BorderStyle(), TGSuperText::bsSingle);
    EXPECT_GE(text->Width(), 150);
    EXPECT_EQ(text->LastBitmapFileNameandPath(), "/t/brick.bmp");
}

TEST_F(SuperTextTest, ToolPlacesADrawnText)
{
    int shown = 0;
    TGSuperText::ShowPropertiesDialog = [&](TGSuperText &, QString &, QWidget *) {
        ++shown;
        return false;
    };
    surface->SetPanelState(psSuperText);
    surface->CreateObjectForTool(TRect{10, 10, 200, 80});
    TGSuperText::ShowPropertiesDialog = nullptr;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(surface->PanelState(), psPointing);
    ASSERT_EQ(surface->Objects().size(), 1);
    auto *text = qobject_cast<TGSuperText *>(surface->Objects().first());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Caption(), "Text");
    const QImage image = Render(*text);
    EXPECT_GT(Spread(image, [](QRgb c) { return qBlue(c) > 150 && qRed(c) < 100; }).count, 20);
    EXPECT_GT(Spread(image, [](QRgb c) { return c == qRgb(0, 0, 0); }).count, 20); // outline
}

TEST_F(SuperTextTest, AClickPlacedTextWidensToShowItsWholeCaption)
{
    // A click gives 50 pixels, less than "Text" or "ACME" take in 48-point
    // bold: the placeholder cross would show instead of the text typed.
    for (const float zoom : {1.0f, 2.0f}) {
        for (const bool accepted : {true, false}) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << (accepted ? " ok" : " cancel"));
            surface->SetZoom(zoom);
            TGSuperText::ShowPropertiesDialog = [&](TGSuperText &sample, QString &, QWidget *) {
                sample.SetCaption(QStringLiteral("ACME"));
                sample.SetShadowDepth(6);
                sample.SetShadowOrientation(TGSuperText::sdDownLeft);
                return accepted;
            };
            surface->SetPanelState(psSuperText);
            surface->CreateObjectForTool(TRect{10, 10, 12, 12});
            TGSuperText::ShowPropertiesDialog = nullptr;
            auto *text = qobject_cast<TGSuperText *>(surface->Objects().last());
            ASSERT_NE(text, nullptr);
            const QString caption = accepted ? QStringLiteral("ACME") : QStringLiteral("Text");
            EXPECT_EQ(text->Caption(), caption);
            EXPECT_EQ(text->DrawnCaption(), caption);
            EXPECT_GT(text->Width(), 50 * zoom);
            // Not wider than the caption and a space beyond where it starts.
            const int inset = std::max(text->TextRect().Left, text->ShadowRect().Left);
            EXPECT_LE(text->Width(),
                      inset + QFontMetrics(text->CanvasFont()).horizontalAdvance(caption + " "));
            surface->FreeObject(text);
        }
    }
    surface->SetZoom(1.0f);

    // A text the user sized keeps its size through a later edit.
    auto *narrow = Place<TGSuperText>(0, 0, 60, 60);
    TGSuperText::ShowPropertiesDialog = [](TGSuperText &sample, QString &, QWidget *) {
        sample.SetCaption(QStringLiteral("Much longer now"));
        return true;
    };
    narrow->EditProperties();
    TGSuperText::ShowPropertiesDialog = nullptr;
    EXPECT_EQ(narrow->Width(), 60);
}

TEST_F(SuperTextTest, SizeToCaptionLeavesRoomForTheCaption)
{
    auto *text = Place<TGSuperText>(0, 0, 30, 30);
    text->SetCaption(QStringLiteral("Sized"));
    EXPECT_TRUE(text->SizeToCaption());
    const QFontMetrics metrics(text->FontData().ToQFont());
    EXPECT_GE(text->Width(), metrics.horizontalAdvance("Sized"));
    EXPECT_GE(text->Height(), metrics.height());
    EXPECT_EQ(text->DrawnCaption(), "Sized");
}

TEST_F(SuperTextTest, ExtremeShadowDepthsFromADamagedDesignDrawSafely)
{
    for (const int depth : {INT_MAX, INT_MIN}) {
        TGSuperText text;
        text.SetBounds(0, 0, 120, 60);
        text.SetLoading(true);
        text.SetShadowDepth(depth);
        text.SetShadowOrientation(TGSuperText::sdDownLeft);
        text.Loaded();
        text.UpdateLayout();
        // The object grows to hold the shadow, within the coordinate range.
        EXPECT_EQ(text.Width(), 120);
        EXPECT_GT(text.Height(), 60);
        EXPECT_LE(text.Height(), TGGraphicControl::MaxCoordinate);
        // The visible corner paints: the caption cannot fit beside a shadow
        // that far away, so the placeholder frame shows.
        QImage corner(120, 60, QImage::Format_RGB32);
        corner.fill(White);
        {
            QPainter painter(&corner);
            painter.setClipRect(corner.rect());
            text.Paint(painter);
        }
        EXPECT_EQ(corner.pixel(0, 30), qRgb(0, 0, 0));
        EXPECT_EQ(text.Caption(), "Text");
    }
}
