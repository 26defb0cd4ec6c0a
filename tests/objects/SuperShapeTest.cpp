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

TEST_F(SuperShapeTest, ReadingStoresValuesAsTheSettersWouldInTheStoredOrder)
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
    // The transparent surface, stored after them, drops the shadow and
    // draws the outline, as setting it does.
    EXPECT_EQ(shape->OutlineStyle(), psSolid);
    EXPECT_EQ(shape->ShadowOrient(), TSuperShape::soNone);
    EXPECT_EQ(shape->Pattern(), bsClear);
    EXPECT_EQ(shape->ShadowDepth(), 7);
    EXPECT_EQ(shape->SurfaceType(), TSuperShape::stBrushTransparent);
    EXPECT_EQ(shape->LastBitmapFileNameandPath(), "/tmp/x.bmp");
}

// ---- geometry and drawing ----------------------------------------------------

#include <QPainter>

namespace {

constexpr QRgb White = 0xFFFFFFFF;

// Paints the object alone into a white picture with a margin of `margin`
// pixels round it, as the surface does (translated, clipped to the bounds).
QImage Render(TGGraphicControl &object, int margin = 0)
{
    QImage image(object.Width() + 2 * margin, object.Height() + 2 * margin, QImage::Format_RGB32);
    image.fill(White);
    QPainter painter(&image);
    painter.translate(margin, margin);
    painter.setClipRect(0, 0, object.Width(), object.Height());
    object.Paint(painter);
    return image;
}

bool Near(QRgb a, QRgb b, int tolerance = 2)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

TEST_F(SuperShapeTest, FigureRectanglesAndStarPointsFollowTheRules)
{
    // A 100 x 100 star, outline 1, no shadow: first point straight above the
    // centre at the outer radius 46, the second at the inner radius 23.
    auto *star = Place<TSuperShape>(0, 0, 100, 100);
    const TSuperShape::TFigureRects plain = star->FigureRects();
    EXPECT_EQ(plain.shape, (TRect{0, 0, 100, 100}));
    EXPECT_FALSE(plain.shadow.has_value());
    const QPolygon points = star->Figure(plain.shape).points;
    ASSERT_EQ(points.size(), 10);
    EXPECT_EQ(points[0], QPoint(50, 4));
    EXPECT_EQ(points[5], QPoint(50, 73)); // an inner point straight below the centre
    EXPECT_EQ(points[1], QPoint(50 + RoundEven(23 * std::cos(-54 * M_PI / 180)),
                                50 + RoundEven(23 * std::sin(-54 * M_PI / 180))));

    // A 60 x 40 diamond with a lower-right shadow of 5: sideways only.
    auto *diamond = Place<TSuperShape>(0, 0, 60, 40);
    diamond->SetShape(TSuperShape::gstDiamond);
    diamond->SetShadowOrient(TSuperShape::soLowerRight);
    const TSuperShape::TFigureRects d = diamond->FigureRects();
    EXPECT_EQ(d.shape, (TRect{0, 0, 55, 40}));
    EXPECT_EQ(d.shadow, (TRect{5, 0, 60, 40}));

    // A downward triangle's shadow is the triangle moved by the offset, in
    // every orientation; the two rectangles always have one size.
    auto *triangle = Place<TSuperShape>(0, 0, 80, 50);
    triangle->SetShape(TSuperShape::gstTriangleDown);
    triangle->SetOutlineWidth(3);
    const QPoint offsets[] = {{5, 5}, {5, -5}, {-5, -5}, {-5, 5}};
    for (int o = TSuperShape::soLowerRight; o <= TSuperShape::soLowerLeft; ++o) {
        triangle->SetShadowOrient(TSuperShape::TShadowOrient(o));
        const TSuperShape::TFigureRects r = triangle->FigureRects();
        ASSERT_TRUE(r.shadow.has_value());
        EXPECT_EQ(r.shape.Width(), r.shadow->Width());
        EXPECT_EQ(r.shape.Height(), r.shadow->Height());
        const QPolygon shape = triangle->Figure(r.shape).points;
        const QPolygon shadow = triangle->Figure(*r.shadow).points;
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(shadow[i] - shape[i], offsets[o - 1]) << "orientation " << o;
    }

    // At zoom 2 the shadow offset doubles; the outline width does not.
    auto *zoomed = Place<TSuperShape>(0, 0, 40, 40);
    zoomed->SetShadowOrient(TSuperShape::soLowerRight);
    surface->SetZoom(2.0f);
    EXPECT_EQ(zoomed->ZoomedShadowDepth(), 10);
    EXPECT_EQ(zoomed->FigureRects().shape, (TRect{0, 0, 70, 70}));
}

TEST_F(SuperShapeTest, LayersPaintShadowFillAndOutlineInTheirColours)
{
    // A 60 x 40 rectangle with a solid red fill, a 1-pixel blue outline and a
    // green shadow 5 pixels down and right.
    auto *shape = Place<TSuperShape>(0, 0, 60, 40);
    shape->SetShape(TSuperShape::gstRectangle);
    shape->SetSurfaceType(TSuperShape::stBrushPattern);
    shape->SetOutlineColor(0xFF0000);
    shape->SetShadowOrient(TSuperShape::soLowerRight);
    shape->SetShadowColor(0x00FF00);
    const QImage image = Render(*shape);
    EXPECT_EQ(image.pixel(20, 15), qRgb(255, 0, 0)); // fill
    EXPECT_EQ(image.pixel(0, 10), qRgb(0, 0, 255));  // outline, left edge
    EXPECT_EQ(image.pixel(54, 10), qRgb(0, 0, 255)); // outline, right edge (x = 55 - 1)
    EXPECT_EQ(image.pixel(57, 20), qRgb(0, 255, 0)); // shadow right of the figure
    EXPECT_EQ(image.pixel(20, 37), qRgb(0, 255, 0)); // and below it
    EXPECT_EQ(image.pixel(2, 38), White);            // not under the upper-left corner
    EXPECT_EQ(image.pixel(58, 2), White);

    // A clear outline leaves the fill to the figure's edge; a transparent
    // surface leaves the inside untouched.
    shape->SetShadowOrient(TSuperShape::soNone);
    shape->SetOutlineStyle(psClear);
    EXPECT_EQ(Render(*shape).pixel(0, 10), qRgb(255, 0, 0));
    shape->SetSurfaceType(TSuperShape::stBrushTransparent);
    const QImage hollow = Render(*shape);
    EXPECT_EQ(hollow.pixel(20, 15), White);
    EXPECT_EQ(hollow.pixel(0, 10), qRgb(0, 0, 255)); // the outline came back

    // A star keeps its fill inside: the corners of its box stay white.
    auto *star = Place<TSuperShape>(0, 0, 100, 100);
    star->SetSurfaceType(TSuperShape::stBrushPattern);
    const QImage starImage = Render(*star);
    EXPECT_EQ(starImage.pixel(50, 50), qRgb(255, 0, 0));
    EXPECT_EQ(starImage.pixel(5, 5), White);
    EXPECT_EQ(starImage.pixel(50, 2), White); // above the top point
}

TEST_F(SuperShapeTest, GradientRunsOverTheWholeObjectAndTexturesTile)
{
    // Black to white downward over 100 x 256, figure without outline.
    auto *shape = Place<TSuperShape>(0, 0, 100, 256);
    shape->SetShape(TSuperShape::gstRectangle);
    shape->SetOutlineStyle(psClear);
    shape->SetBackColor(0x000000);
    shape->SetGradientToColor(0xFFFFFF);
    shape->SetFillDirection(gdDown);
    QImage image = Render(*shape);
    EXPECT_EQ(image.pixel(50, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(50, 128), qRgb(128, 128, 128));
    EXPECT_EQ(image.pixel(50, 255), qRgb(255, 255, 255));
    // Upward: the from-colour (black) at the bottom.
    shape->SetFillDirection(gdUp);
    image = Render(*shape);
    EXPECT_EQ(image.pixel(50, 0), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(50, 255), qRgb(0, 0, 0));
    // With a shadow the gradient still spans the object, not the figure.
    shape->SetShadowOrient(TSuperShape::soUpperLeft);
    shape->SetShadowDepth(16);
    image = Render(*shape);
    EXPECT_EQ(image.pixel(50, 255), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(50, 16), GradientBandColor(0, 0xFFFFFF, gdUp, 16).rgb());

    // A 32 x 32 texture on 100 x 70 tiles 4 x 3 times; at zoom 2 the tiles
    // are 64 x 64 and again 4 x 3 of them.
    QImage tile(32, 32, QImage::Format_RGB32);
    tile.fill(Qt::green);
    tile.setPixel(0, 0, qRgb(255, 0, 0));
    tile.setPixel(31, 31, qRgb(0, 0, 255));
    TGBitmap texture;
    texture.SetImage(tile);
    auto *textured = Place<TSuperShape>(0, 0, 100, 70);
    textured->SetShape(TSuperShape::gstRectangle);
    textured->SetOutlineStyle(psClear);
    textured->SetSurfaceType(TSuperShape::stBrushImage);
    textured->SetImage(&texture);
    image = Render(*textured);
    EXPECT_EQ(image.pixel(64, 64), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(95, 63), qRgb(0, 0, 255));
    surface->SetZoom(2.0f);
    ASSERT_EQ(textured->Width(), 200);
    image = Render(*textured);
    int marks = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            marks += Near(image.pixel(x, y), qRgb(255, 0, 0), 40) ? 1 : 0;
    EXPECT_GE(marks, 12 * 2); // each mark is stretched to about 2 x 2 pixels
    EXPECT_TRUE(Near(image.pixel(128, 128), qRgb(255, 0, 0), 40));
    EXPECT_TRUE(Near(image.pixel(100, 100), qRgb(0, 255, 0), 40));

    // An empty texture fills nothing; the outline still draws.
    textured->SetImage(nullptr);
    textured->SetOutlineStyle(psSolid);
    image = Render(*textured);
    EXPECT_EQ(image.pixel(100, 70), White);
    EXPECT_EQ(image.pixel(0, 70), qRgb(0, 0, 0));
}

TEST_F(SuperShapeTest, ZoomChangeRebuildsEachGradientOnce)
{
    QList<TSuperShape *> shapes;
    for (int i = 0; i < 4; ++i)
        shapes.append(Place<TSuperShape>(10 + 40 * i, 10, 30, 30));
    QImage card(surface->size(), QImage::Format_RGB32);
    auto paintCard = [&] {
        QPainter painter(&card);
        surface->PaintCard(painter, false);
    };
    paintCard();
    std::vector<int> before;
    for (TSuperShape *s : shapes)
        before.push_back(s->GradientBuilds());
    paintCard();
    surface->SetZoom(1.5f);
    paintCard();
    paintCard();
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(shapes[i]->GradientBuilds(), before[i] + 1);
        EXPECT_EQ(shapes[i]->GradientPicture().size(),
                  QSize(shapes[i]->Width(), shapes[i]->Height()));
    }
}

TEST_F(SuperShapeTest, TinyAndEmptyFiguresStayInsideTheirBounds)
{
    const int margin = 10;
    for (int kind = TSuperShape::gstRectangle; kind <= TSuperShape::gstPolyGon; ++kind) {
        for (const QSize size : {QSize(6, 6), QSize(3, 9), QSize(1, 1)}) {
            // Smaller than the surface lets a placed object be.
            auto *shape = new TSuperShape(owner.get());
            shape->SetBounds(0, 0, size.width(), size.height());
            shape->SetShape(TSuperShape::TGPShapeType(kind));
            shape->SetOutlineWidth(7); // thicker than the object
            shape->SetShadowOrient(TSuperShape::soUpperLeft);
            const QImage image = Render(*shape, margin);
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x) {
                    const bool inside = x >= margin && x < margin + shape->Width() && y >= margin &&
                                        y < margin + shape->Height();
                    if (!inside)
                        ASSERT_EQ(image.pixel(x, y), White)
                            << "kind " << kind << " at " << x << "," << y;
                }
        }
    }
    // Depths and widths no setter refuses, as a damaged design may hold them.
    for (const int extreme : {INT_MAX, INT_MIN, -40}) {
        auto *shape = new TSuperShape(owner.get());
        shape->SetBounds(0, 0, 30, 30);
        shape->SetLoading(true);
        shape->SetShadowDepth(extreme);
        shape->SetOutlineWidth(extreme == -40 ? -40 : extreme / 2);
        shape->SetShadowOrient(TSuperShape::soUpperRight);
        shape->SetShape(TSuperShape::gstDiamond);
        shape->Loaded();
        const QImage image = Render(*shape, margin);
        EXPECT_EQ(image.pixel(margin - 1, margin - 1), White);
        EXPECT_EQ(image.pixel(margin + 31, margin + 31), White);
    }

    // A star whose radii reach zero: no point thrown past the centre.
    TSuperShape star;
    star.SetBounds(0, 0, 7, 7);
    const QPolygon points = star.Figure(star.FigureRects().shape).points;
    for (const QPoint &p : points)
        EXPECT_EQ(p, QPoint(3, 3));

    // A zero-sized object has no fill picture and paints nothing.
    TSuperShape empty;
    empty.SetBounds(0, 0, 0, 0);
    QImage image(10, 10, QImage::Format_RGB32);
    image.fill(White);
    {
        QPainter painter(&image);
        empty.Paint(painter);
    }
    EXPECT_EQ(image.pixel(0, 0), White);
    EXPECT_TRUE(empty.GradientPicture().isNull());
    EXPECT_EQ(empty.GradientBuilds(), 0);
}

TEST_F(SuperShapeTest, MenuPropertiesWritesBackInTheDialogsOrder)
{
    auto *shape = Place<TSuperShape>(0, 0, 80, 80);
    QMenu *menu = shape->ObjectMenu();
    ASSERT_NE(menu, nullptr);
    const QStringList captions = TopLevelCaptions(menu);
    ASSERT_GE(captions.size(), 2);
    EXPECT_EQ(captions.mid(captions.size() - 2), QStringList({"-", "Properties"}));
    // Without a dialog to open the item is greyed out.
    shape->RefreshMenu();
    EXPECT_FALSE(FindItem(menu, "Properties")->isEnabled());

    // The dialog turns the rectangle-to-be into a star with 0 % inward
    // vector, 7 vectors and angle 45; writing the star raises 0 to 50 but
    // the later writes keep 7 and 45. The size is not taken back.
    shape->SetShape(TSuperShape::gstRectangle);
    int shown = 0;
    TSuperShape::ShowPropertiesDialog = [&](TSuperShape &sample, QString &last, QWidget *) {
        ++shown;
        EXPECT_EQ(sample.Shape(), TSuperShape::gstRectangle);
        EXPECT_EQ(sample.Width(), 80);
        sample.SetInVectorPercent(0);
        sample.SetVectors(7);
        sample.SetStartingAngle(45);
        sample.SetShape(TSuperShape::gstStar);
        sample.SetInVectorPercent(0);
        sample.SetVectors(7);
        sample.SetStartingAngle(45);
        sample.SetBounds(0, 0, 20, 20);
        last = QStringLiteral("/textures/stone.bmp");
        return true;
    };
    shape->RefreshMenu();
    QAction *item = FindItem(shape->ObjectMenu(), "Properties");
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    TSuperShape::ShowPropertiesDialog = nullptr;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(shape->Shape(), TSuperShape::gstStar);
    EXPECT_EQ(shape->InVectorPercent(), 50);
    EXPECT_EQ(shape->Vectors(), 7);
    EXPECT_EQ(shape->StartingAngle(), 45);
    EXPECT_EQ(shape->Width(), 80);
    EXPECT_EQ(shape->LastBitmapFileNameandPath(), "/textures/stone.bmp");
    EXPECT_GE(changes, 1);
}

TEST_F(SuperShapeTest, ToolPlacesADrawnShapeAndOffersItsDialog)
{
    int shown = 0;
    TSuperShape::ShowPropertiesDialog = [&](TSuperShape &, QString &, QWidget *) {
        ++shown;
        return false; // cancelled: the creation values stay
    };
    surface->SetPanelState(psSuperShape);
    surface->CreateObjectForTool(TRect{30, 40, 130, 140});
    TSuperShape::ShowPropertiesDialog = nullptr;
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(surface->PanelState(), psPointing);
    ASSERT_EQ(surface->Objects().size(), 1);
    auto *shape = qobject_cast<TSuperShape *>(surface->Objects().first());
    ASSERT_NE(shape, nullptr);
    EXPECT_EQ(shape->BoundsRect(), (TRect{30, 40, 130, 140}));
    EXPECT_EQ(shape->Shape(), TSuperShape::gstStar);
    // Drawn: the red-to-blue gradient shows at the star's centre.
    const QImage image = Render(*shape);
    const QRgb centre = image.pixel(50, 50);
    EXPECT_GT(qRed(centre) + qBlue(centre), 200);
    EXPECT_LT(qGreen(centre), 10);
}
