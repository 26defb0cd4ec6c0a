#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "document/Filer.h"
#include "document/KindRegistry.h"
#include "document/ObjectStream.h"
#include "objects/Gbcshape.h"
#include "objects/Glines.h"
#include "objects/Glshapes.h"
#include "report/ReportTestSupport.h"

#include <QAction>
#include <QColorDialog>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>

using ShapesTest = ObjectTest;

namespace {

constexpr int Margin = 4;
const QColor Canvas(0, 200, 0); // green, so white fill and the canvas differ

// Paints the object the way the surface does: translated to its place and
// clipped to its bounds, on a canvas with a margin round it.
QImage Render(TGGraphicControl &object)
{
    QImage image(object.Width() + 2 * Margin, object.Height() + 2 * Margin, QImage::Format_RGB32);
    image.fill(Canvas);
    QPainter painter(&image);
    painter.translate(Margin, Margin);
    painter.setClipRect(0, 0, object.Width(), object.Height());
    object.Paint(painter);
    return image;
}

// The pixel at (x, y) of the object's own coordinates.
QRgb At(const QImage &image, int x, int y)
{
    return image.pixel(x + Margin, y + Margin) & 0xFFFFFF;
}
bool Ink(const QImage &image, int x, int y)
{
    return At(image, x, y) == 0x000000;
}
bool Bare(const QImage &image, int x, int y)
{
    return At(image, x, y) == (Canvas.rgb() & 0xFFFFFF);
}
bool Filled(const QImage &image, int x, int y)
{
    return At(image, x, y) == 0xFFFFFF;
}

// How many pixels from the left edge along row y are outline.
int InkRunFromLeft(const QImage &image, int y)
{
    int n = 0;
    while (Ink(image, n, y))
        ++n;
    return n;
}
int InkRunFromRight(const QImage &image, int width, int y)
{
    int n = 0;
    while (Ink(image, width - 1 - n, y))
        ++n;
    return n;
}

QStringList TickedIn(QMenu *menu)
{
    QStringList ticked;
    for (QAction *a : menu->actions())
        if (a->isChecked())
            ticked.append(a->text());
    return ticked;
}

// Answers the next colour dialog with the colour (or cancels when invalid),
// checking the colour it was opened with.
void AnswerColorDialog(QColor start, QColor answer)
{
    OnNextModal([start, answer](QWidget *modal) {
        auto *dialog = qobject_cast<QColorDialog *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->currentColor().rgb() & 0xFFFFFF, start.rgb() & 0xFFFFFF);
        if (!answer.isValid()) {
            dialog->reject();
            return;
        }
        dialog->setCurrentColor(answer);
        dialog->accept();
    });
}

} // namespace

TEST_F(ShapesTest, ShapeTableOrderDefaultsAndIdentifiers)
{
    TBCShapes shape;
    EXPECT_EQ(TableNames(shape),
              BaseNames() + QStringList({"Transparent", "Brush", "Pen", "RoundPerc", "Shape"}));
    // The tool's class and its base publish one and the same table.
    TGLabelShapes plain;
    EXPECT_EQ(&shape.PropertyTable(), &plain.PropertyTable());
    EXPECT_EQ(TBCShapes::staticMetaObject.superClass(), &TGLabelShapes::staticMetaObject);

    const TPropertyDescriptor &transparent = Entry(shape, "Transparent");
    EXPECT_EQ(transparent.kind, TPropertyKind::Enumeration);
    EXPECT_EQ(transparent.identifiers, QStringList({"False", "True"}));
    EXPECT_FALSE(transparent.defaultValue.has_value()); // always written
    EXPECT_EQ(Entry(shape, "Brush").kind, TPropertyKind::Object);
    EXPECT_EQ(Entry(shape, "Pen").kind, TPropertyKind::Object);
    EXPECT_EQ(Entry(shape, "RoundPerc").defaultValue, 25);
    const TPropertyDescriptor &kind = Entry(shape, "Shape");
    EXPECT_EQ(kind.identifiers, QStringList({"stRectangle", "stSquare", "stRoundRect",
                                             "stRoundSquare", "stEllipse", "stCircle"}));
    EXPECT_EQ(kind.defaultValue, 0);

    // The table reaches the object's own groups.
    TPersistent &asPersistent = shape;
    EXPECT_EQ(Entry(shape, "Pen").getObject(asPersistent), shape.Pen());
    EXPECT_EQ(Entry(shape, "Brush").getObject(asPersistent), shape.Brush());
}

TEST_F(ShapesTest, NewShapeAndLineCarryTheirCreationValues)
{
    TBCShapes shape;
    EXPECT_EQ(shape.Width(), 25);
    EXPECT_EQ(shape.Height(), 25);
    EXPECT_FALSE(shape.Transparent());
    EXPECT_EQ(shape.Brush()->Color(), 0xFFFFFFu);
    EXPECT_EQ(shape.Brush()->Style(), bsSolid);
    EXPECT_EQ(shape.Pen()->Color(), 0u);
    EXPECT_EQ(shape.Pen()->Mode(), pmCopy);
    EXPECT_EQ(shape.Pen()->Style(), psSolid);
    EXPECT_EQ(shape.Pen()->Width(), 1);
    EXPECT_EQ(shape.RoundPerc(), 25);
    EXPECT_EQ(shape.Shape(), TGLabelShapes::stRectangle);

    TGLineShape line;
    EXPECT_EQ(line.Width(), 10);
    EXPECT_EQ(line.Height(), 10);
    EXPECT_EQ(line.LineStyle(), TGLineShape::stHorizontal);
    EXPECT_EQ(line.Pen()->Width(), 1);
    EXPECT_EQ(line.Pen()->Style(), psSolid);
}

TEST_F(ShapesTest, ShapeSettersReportEachRealChangeOnce)
{
    auto *shape = Place<TBCShapes>(10, 10, 60, 30);

    EXPECT_EQ(REPORTS(shape->SetTransparent(true)), 1);
    EXPECT_EQ(shape->Brush()->Style(), bsClear);
    EXPECT_EQ(REPORTS(shape->SetTransparent(true)), 0);
    EXPECT_EQ(REPORTS(shape->SetTransparent(false)), 1);
    EXPECT_EQ(shape->Brush()->Style(), bsSolid);

    // Any rounding is kept, even outside the menu's range.
    EXPECT_EQ(REPORTS(shape->SetRoundPerc(0)), 1);
    EXPECT_EQ(REPORTS(shape->SetRoundPerc(250)), 1);
    EXPECT_EQ(shape->RoundPerc(), 250);
    EXPECT_EQ(REPORTS(shape->SetRoundPerc(250)), 0);

    EXPECT_EQ(REPORTS(shape->SetShape(TGLabelShapes::stRoundSquare)), 1);
    EXPECT_EQ(REPORTS(shape->SetShape(static_cast<TGLabelShapes::TShapeType>(6))), 0);
    EXPECT_EQ(REPORTS(shape->SetShape(static_cast<TGLabelShapes::TShapeType>(-1))), 0);
    EXPECT_EQ(shape->Shape(), TGLabelShapes::stRoundSquare);
    // A square kind does not force equal sides.
    EXPECT_EQ(shape->Width(), 60);
    EXPECT_EQ(shape->Height(), 30);

    // Changes made inside the groups count as design changes too.
    EXPECT_EQ(REPORTS(shape->Pen()->SetWidth(4)), 1);
    EXPECT_EQ(REPORTS(shape->Brush()->SetColor(0x00FF00)), 1);

    TGPen pen;
    pen.SetColor(0x0000FF);
    pen.SetWidth(3);
    EXPECT_EQ(REPORTS(shape->SetPen(pen)), 1);
    EXPECT_EQ(shape->Pen()->Color(), 0x0000FFu);
    EXPECT_EQ(shape->Pen()->Width(), 3);
    EXPECT_EQ(REPORTS(shape->SetPen(pen)), 0);

    TGBrush brush;
    brush.SetStyle(bsCross);
    EXPECT_EQ(REPORTS(shape->SetBrush(brush)), 1);
    EXPECT_EQ(shape->Brush()->Style(), bsCross);
    EXPECT_EQ(shape->Brush()->Color(), 0xFFFFFFu);
}

TEST_F(ShapesTest, ShapeReadFromAStreamKeepsEachValueAsStored)
{
    auto *shape = Place<TBCShapes>();
    shape->SetLoading(true);
    const int before = changes;
    shape->SetTransparent(true);
    shape->SetRoundPerc(40);
    shape->SetShape(TGLabelShapes::stEllipse);
    shape->Pen()->SetColor(0x808080);
    EXPECT_EQ(changes, before);
    // As the setter does: a file without a Brush.Style entry draws unfilled.
    EXPECT_EQ(shape->Brush()->Style(), bsClear);
    EXPECT_TRUE(shape->Transparent());
    EXPECT_EQ(shape->RoundPerc(), 40);
    EXPECT_EQ(shape->Shape(), TGLabelShapes::stEllipse);
    shape->Loaded();
    EXPECT_FALSE(shape->IsLoading());
    EXPECT_EQ(REPORTS(shape->SetRoundPerc(41)), 1);

    // A Brush.Style stored after Transparent has the last word.
    auto *hatched = Place<TBCShapes>();
    hatched->SetLoading(true);
    hatched->SetTransparent(true);
    hatched->Brush()->SetStyle(bsCross);
    hatched->Loaded();
    EXPECT_EQ(hatched->Brush()->Style(), bsCross);
}

TEST_F(ShapesTest, LineTableAndSetters)
{
    auto *line = Place<TGLineShape>(5, 5, 80, 20);
    EXPECT_EQ(TableNames(*line), BaseNames() + QStringList({"LineStyle", "Pen"}));
    const TPropertyDescriptor &style = Entry(*line, "LineStyle");
    EXPECT_EQ(style.identifiers, QStringList({"stHorizontal", "stVertical", "stAngleSlopingUp",
                                              "stAngleSlopingDown"}));
    EXPECT_EQ(style.defaultValue, 0); // stHorizontal
    EXPECT_EQ(Entry(*line, "Pen").kind, TPropertyKind::Object);

    EXPECT_EQ(REPORTS(line->SetLineStyle(TGLineShape::stAngleSlopingDown)), 1);
    EXPECT_EQ(REPORTS(line->SetLineStyle(TGLineShape::stAngleSlopingDown)), 0);
    EXPECT_EQ(REPORTS(line->SetLineStyle(static_cast<TGLineShape::TLineStyle>(4))), 0);
    EXPECT_EQ(line->LineStyle(), TGLineShape::stAngleSlopingDown);

    // Through the table, as the reader sets it.
    TPersistent &asPersistent = *line;
    style.setOrdinal(asPersistent, 1);
    EXPECT_EQ(line->LineStyle(), TGLineShape::stVertical);

    EXPECT_EQ(REPORTS(line->Pen()->SetColor(0xFF0000)), 1);
    TGPen same;
    same.Assign(*line->Pen());
    EXPECT_EQ(REPORTS(line->SetPen(same)), 0);

    line->SetLoading(true);
    EXPECT_EQ(REPORTS(line->SetLineStyle(TGLineShape::stHorizontal)), 0);
    EXPECT_EQ(REPORTS(line->Pen()->SetWidth(5)), 0);
    EXPECT_EQ(line->LineStyle(), TGLineShape::stHorizontal);
    EXPECT_EQ(line->Pen()->Width(), 5);
}

TEST_F(ShapesTest, ShapeOutlineStaysInsideItsBounds)
{
    TBCShapes shape;
    shape.SetBounds(0, 0, 50, 50);

    // One pixel: the outline is the outermost ring, the inside is the brush.
    QImage image = Render(shape);
    EXPECT_EQ(InkRunFromLeft(image, 25), 1);
    EXPECT_EQ(InkRunFromRight(image, 50, 25), 1);
    EXPECT_TRUE(Ink(image, 25, 0));
    EXPECT_TRUE(Ink(image, 25, 49));
    EXPECT_TRUE(Ink(image, 0, 0));
    EXPECT_TRUE(Ink(image, 49, 49));
    EXPECT_TRUE(Filled(image, 1, 1));
    EXPECT_TRUE(Filled(image, 48, 48));

    // Five pixels: drawn from (2, 2) to (48, 48), so the ring is pixels 0..4
    // and 45..49 on every side.
    shape.Pen()->SetWidth(5);
    image = Render(shape);
    EXPECT_EQ(InkRunFromLeft(image, 25), 5);
    EXPECT_EQ(InkRunFromRight(image, 50, 25), 5);
    for (int y : {0, 4, 45, 49})
        EXPECT_TRUE(Ink(image, 25, y)) << y;
    EXPECT_TRUE(Filled(image, 25, 5));
    EXPECT_TRUE(Filled(image, 25, 44));
    EXPECT_TRUE(Ink(image, 0, 0));
    EXPECT_TRUE(Ink(image, 49, 49));

    // An even width stays inside too.
    shape.Pen()->SetWidth(4);
    image = Render(shape);
    EXPECT_EQ(InkRunFromLeft(image, 25), 4);
    EXPECT_EQ(InkRunFromRight(image, 50, 25), 4);

    // A square kind does not force equal sides.
    shape.SetShape(TGLabelShapes::stSquare);
    shape.Pen()->SetWidth(1);
    shape.SetBounds(0, 0, 60, 30);
    image = Render(shape);
    EXPECT_TRUE(Ink(image, 59, 15));
    EXPECT_TRUE(Ink(image, 30, 29));
    EXPECT_TRUE(Filled(image, 50, 15));
}

TEST_F(ShapesTest, ShapeFillFollowsTransparentAndTheBrush)
{
    TBCShapes shape;
    shape.SetBounds(0, 0, 40, 40);
    EXPECT_TRUE(Filled(Render(shape), 20, 20));
    shape.SetTransparent(true);
    QImage image = Render(shape);
    EXPECT_TRUE(Bare(image, 20, 20));
    EXPECT_TRUE(Ink(image, 0, 20)); // the outline is still there
    shape.SetTransparent(false);
    shape.Brush()->SetColor(0x0000FF); // red
    EXPECT_EQ(At(Render(shape), 20, 20), 0xFF0000u);
    // A cleared pen leaves only the fill.
    shape.Pen()->SetStyle(psClear);
    EXPECT_EQ(At(Render(shape), 20, 0), 0xFF0000u);
}

TEST_F(ShapesTest, RoundedCornersAndEllipses)
{
    TBCShapes shape;
    shape.SetShape(TGLabelShapes::stRoundRect);
    shape.SetBounds(0, 0, 100, 40);
    // Corner ellipses of 25 x 25 (25 % of the longer side): the straight top
    // edge begins 12.5 pixels in.
    QImage image = Render(shape);
    EXPECT_TRUE(Bare(image, 0, 0));
    EXPECT_TRUE(Bare(image, 2, 1));
    EXPECT_TRUE(Bare(image, 8, 0));
    EXPECT_TRUE(Ink(image, 13, 0));
    EXPECT_TRUE(Ink(image, 86, 0));
    EXPECT_TRUE(Bare(image, 91, 0));
    EXPECT_TRUE(Ink(image, 0, 20));
    EXPECT_TRUE(Ink(image, 0, 13));
    EXPECT_TRUE(Bare(image, 0, 8));
    EXPECT_TRUE(Bare(image, 99, 39));
    EXPECT_TRUE(Filled(image, 50, 20));

    // 80 %: the corner ellipses are 80 x 80, larger than the height.
    shape.SetRoundPerc(80);
    image = Render(shape);
    EXPECT_TRUE(Bare(image, 0, 20 - 12));
    EXPECT_TRUE(Bare(image, 13, 0));
    EXPECT_TRUE(Filled(image, 50, 20));

    // No rounding gives square corners.
    shape.SetRoundPerc(0);
    image = Render(shape);
    EXPECT_TRUE(Ink(image, 0, 0));
    EXPECT_TRUE(Ink(image, 99, 39));

    // The ellipse touches the middle of each side and leaves the corners.
    shape.SetShape(TGLabelShapes::stCircle);
    shape.SetBounds(0, 0, 60, 30);
    image = Render(shape);
    EXPECT_TRUE(Bare(image, 0, 0));
    EXPECT_TRUE(Bare(image, 59, 29));
    EXPECT_TRUE(Ink(image, 0, 15));
    EXPECT_TRUE(Ink(image, 59, 15));
    EXPECT_TRUE(Ink(image, 30, 0));
    EXPECT_TRUE(Ink(image, 30, 29));
    EXPECT_TRUE(Filled(image, 30, 15));
    EXPECT_TRUE(Filled(image, 10, 15)); // wider than high: not a circle
}

TEST_F(ShapesTest, ZoomScalesThePenWidth)
{
    TBCShapes shape;
    shape.SetBounds(0, 0, 50, 50);
    shape.Pen()->SetWidth(3);
    shape.AdoptZoomScale(2.0f);
    EXPECT_EQ(InkRunFromLeft(Render(shape), 25), 6);
    // Round(1.5) is 2; a 1-pixel outline stays 1 pixel.
    shape.AdoptZoomScale(0.5f);
    EXPECT_EQ(InkRunFromLeft(Render(shape), 25), 2);
    shape.Pen()->SetWidth(1);
    EXPECT_EQ(InkRunFromLeft(Render(shape), 25), 1);
    shape.AdoptZoomScale(0.25f);
    EXPECT_EQ(InkRunFromLeft(Render(shape), 25), 1);

    TGLineShape line;
    line.SetBounds(0, 0, 40, 20);
    line.Pen()->SetWidth(2);
    line.AdoptZoomScale(2.0f);
    QImage image = Render(line);
    EXPECT_TRUE(Ink(image, 20, 3));
    EXPECT_FALSE(Ink(image, 20, 4));
    // Rounded to no width, the line is still drawn as thin as can be.
    line.Pen()->SetWidth(1);
    line.AdoptZoomScale(0.25f);
    image = Render(line);
    EXPECT_TRUE(Ink(image, 20, 0));
    EXPECT_FALSE(Ink(image, 20, 1));
}

TEST_F(ShapesTest, LinesRunAsTheirStyleSays)
{
    TGLineShape line;
    // Horizontal, 4-pixel pen, 80 wide: from (2, 2) to (79, 2), so rows
    // 0..3 from x 2 up to 78.
    line.SetBounds(0, 0, 80, 20);
    line.Pen()->SetWidth(4);
    QImage image = Render(line);
    for (int y = 0; y < 4; ++y) {
        EXPECT_TRUE(Ink(image, 2, y)) << y;
        EXPECT_TRUE(Ink(image, 78, y)) << y;
    }
    EXPECT_FALSE(Ink(image, 40, 4));
    EXPECT_FALSE(Ink(image, 1, 2));
    EXPECT_FALSE(Ink(image, 79, 2));

    // Vertical, 1 pixel: the left column, top to bottom.
    line.SetLineStyle(TGLineShape::stVertical);
    line.Pen()->SetWidth(1);
    line.SetBounds(0, 0, 20, 30);
    image = Render(line);
    EXPECT_TRUE(Ink(image, 0, 0));
    EXPECT_TRUE(Ink(image, 0, 29));
    EXPECT_FALSE(Ink(image, 1, 15));
    EXPECT_TRUE(Bare(image, 10, 15));

    // Diagonals run corner to corner.
    line.SetBounds(0, 0, 20, 20);
    line.SetLineStyle(TGLineShape::stAngleSlopingDown);
    image = Render(line);
    EXPECT_TRUE(Ink(image, 0, 0));
    EXPECT_TRUE(Ink(image, 10, 10));
    EXPECT_TRUE(Ink(image, 19, 19));
    EXPECT_FALSE(Ink(image, 19, 0));
    EXPECT_FALSE(Ink(image, 0, 19));
    line.SetLineStyle(TGLineShape::stAngleSlopingUp);
    image = Render(line);
    // From (20, 0) towards (0, 20): the pixels whose corners add up to 20.
    EXPECT_TRUE(Ink(image, 19, 1));
    EXPECT_TRUE(Ink(image, 10, 10));
    EXPECT_TRUE(Ink(image, 1, 19));
    EXPECT_FALSE(Ink(image, 9, 9));
    EXPECT_FALSE(Ink(image, 11, 11));
    EXPECT_FALSE(Ink(image, 0, 0));
    EXPECT_FALSE(Ink(image, 19, 19));

    // The line's colour.
    line.SetLineStyle(TGLineShape::stHorizontal);
    line.Pen()->SetColor(0xFF0000); // blue
    EXPECT_EQ(At(Render(line), 10, 0), 0x0000FFu);
}

TEST_F(ShapesTest, HostilePenWidthIsDrawnWithinRangeAndKept)
{
    TBCShapes shape;
    shape.SetBounds(0, 0, 300, 300);
    shape.Pen()->SetWidth(1000000);
    QImage image = Render(shape);
    // Drawn 100 pixels wide; the inside still shows the brush.
    EXPECT_EQ(InkRunFromLeft(image, 150), 100);
    EXPECT_TRUE(Filled(image, 150, 150));
    EXPECT_EQ(shape.Pen()->Width(), 1000000);

    // Saved and read back, the width is as it was, and drawn the same way.
    TObjectKindRegistry::Instance().Register<TBCShapes>();
    TGLabelObjectFiler filer;
    const QList<TGGraphicControl *> read =
        CardObjects(filer.ReadObjects(WriteObjectList({&shape}), owner.get(), surface.get()));
    ASSERT_EQ(read.size(), 1);
    auto *copy = qobject_cast<TBCShapes *>(read.first());
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Pen()->Width(), 1000000);
    EXPECT_EQ(InkRunFromLeft(Render(*copy), 150), 100);

    // A negative width is drawn as the thinnest line.
    shape.Pen()->SetWidth(-40);
    image = Render(shape);
    EXPECT_EQ(InkRunFromLeft(image, 150), 1);
    EXPECT_EQ(shape.Pen()->Width(), -40);

    TGLineShape line;
    line.SetBounds(0, 0, 300, 300);
    line.Pen()->SetWidth(1 << 30);
    image = Render(line);
    EXPECT_TRUE(Ink(image, 150, 99));
    EXPECT_FALSE(Ink(image, 150, 100));
    EXPECT_EQ(line.Pen()->Width(), 1 << 30);
    // At a zoom, too.
    line.AdoptZoomScale(2.0f);
    image = Render(line);
    EXPECT_TRUE(Ink(image, 150, 199));
    EXPECT_FALSE(Ink(image, 150, 200));

    // Printing keeps to the same range: one inch is 100 device pixels here,
    // so the pen is at most an inch wide, centred half its width (50 design
    // pixels, 0.52 inch) below the top: device rows 102..202.
    TProbeReport report(100);
    line.AdoptZoomScale(1.0f);
    line.SetBounds(0, 0, 288, 96);
    report.OnPrint = [&](TBaseReport &r) { line.PrintTo(&r, 1.0, 1.0); };
    ASSERT_TRUE(report.Execute());
    ASSERT_EQ(report.pages.size(), 1);
    const QImage &page = report.pages.first();
    EXPECT_NE(page.pixel(200, 110), 0xFFFFFFFFu);
    EXPECT_NE(page.pixel(200, 195), 0xFFFFFFFFu);
    EXPECT_EQ(page.pixel(200, 95), 0xFFFFFFFFu);
    EXPECT_EQ(page.pixel(200, 210), 0xFFFFFFFFu);
}

TEST_F(ShapesTest, ShapeMenuChangesReportOnceAndTicks)
{
    auto *shape = Place<TBCShapes>(10, 10, 60, 40);
    QMenu *menu = shape->ObjectMenu();
    ASSERT_NE(menu, nullptr);
    const QStringList base = {"Bring To Front",
                              "Send To Back",
                              "Cut",
                              "Copy",
                              "Delete",
                              "Clone",
                              "-",
                              "Locked",
                              "Unselectable",
                              "-",
                              "Center Vertically",
                              "Center Horizontally"};
    EXPECT_EQ(TopLevelCaptions(menu), base + QStringList({"-", "Background Color", "Line Color",
                                                          "Line Thickness", "-", "Transparent"}));
    QMenu *thickness = FindItem(menu, "Line Thickness")->menu();
    ASSERT_NE(thickness, nullptr);
    ASSERT_EQ(thickness->actions().size(), 10);
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(thickness->actions().at(n - 1)->text(), QStringLiteral("%1 Point").arg(n));
        EXPECT_EQ(thickness->actions().at(n - 1)->data().toInt(), n);
    }
    Q_EMIT menu->aboutToShow();
    EXPECT_EQ(TickedIn(thickness), QStringList({"1 Point"}));
    EXPECT_FALSE(FindItem(menu, "Transparent")->isChecked());

    EXPECT_EQ(REPORTS(FindItem(menu, "7 Point")->trigger()), 1);
    EXPECT_EQ(shape->Pen()->Width(), 7);
    EXPECT_EQ(REPORTS(FindItem(menu, "Transparent")->trigger()), 1);
    EXPECT_TRUE(shape->Transparent());
    EXPECT_EQ(shape->Brush()->Style(), bsClear);
    Q_EMIT menu->aboutToShow();
    EXPECT_EQ(TickedIn(thickness), QStringList({"7 Point"}));
    EXPECT_TRUE(FindItem(menu, "Transparent")->isChecked());
    // A width no item has ticks none.
    shape->Pen()->SetWidth(12);
    Q_EMIT menu->aboutToShow();
    EXPECT_TRUE(TickedIn(thickness).isEmpty());

    // Background colour: the dialog starts at the brush colour; OK fills the
    // shape again, as one change.
    AnswerColorDialog(Qt::white, QColor(0, 0, 255));
    EXPECT_EQ(REPORTS(FindItem(menu, "Background Color")->trigger()), 1);
    EXPECT_EQ(shape->Brush()->Color(), 0xFF0000u);
    EXPECT_FALSE(shape->Transparent());
    EXPECT_EQ(shape->Brush()->Style(), bsSolid);
    Q_EMIT menu->aboutToShow();
    EXPECT_FALSE(FindItem(menu, "Transparent")->isChecked());
    // Cancel changes nothing.
    AnswerColorDialog(QColor(0, 0, 255), QColor());
    EXPECT_EQ(REPORTS(FindItem(menu, "Background Color")->trigger()), 0);
    EXPECT_EQ(shape->Brush()->Color(), 0xFF0000u);

    AnswerColorDialog(Qt::black, QColor(255, 0, 0));
    EXPECT_EQ(REPORTS(FindItem(menu, "Line Color")->trigger()), 1);
    EXPECT_EQ(shape->Pen()->Color(), 0x0000FFu);

    // Through the real popup: a change made elsewhere shows in the tick as it
    // opens, and a click on the item toggles it, once.
    shape->SetTransparent(true);
    changes = 0;
    shape->PopupObjectMenu(QPoint(200, 200));
    QCoreApplication::processEvents();
    ASSERT_TRUE(menu->isVisible());
    QAction *transparent = FindItem(menu, "Transparent");
    EXPECT_TRUE(transparent->isChecked());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(transparent).center());
    QCoreApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    EXPECT_FALSE(shape->Transparent());
    EXPECT_EQ(changes, 1);

    // Only a rounded kind, as it was when the menu was built, offers rounding.
    EXPECT_EQ(FindItem(menu, "Degree of Rounding"), nullptr);
    auto *rounded = new TBCShapes(owner.get());
    rounded->SetShape(TGLabelShapes::stRoundSquare);
    rounded->MakeReady();
    surface->PlaceObject(rounded, TRect::FromBounds(100, 10, 60, 40));
    changes = 0;
    QMenu *roundMenu = rounded->ObjectMenu();
    EXPECT_EQ(TopLevelCaptions(roundMenu).mid(base.size() + 5),
              QStringList({"Transparent", "-", "Degree of Rounding"}));
    QMenu *rounding = FindItem(roundMenu, "Degree of Rounding")->menu();
    ASSERT_NE(rounding, nullptr);
    ASSERT_EQ(rounding->actions().size(), 7);
    EXPECT_EQ(rounding->actions().first()->text(), QStringLiteral("20 %"));
    EXPECT_EQ(rounding->actions().last()->data().toInt(), 80);
    EXPECT_EQ(REPORTS(FindItem(roundMenu, "60 %")->trigger()), 1);
    EXPECT_EQ(rounded->RoundPerc(), 60);
    rounded->SetShape(TGLabelShapes::stRectangle);
    EXPECT_NE(FindItem(rounded->ObjectMenu(), "Degree of Rounding"), nullptr);
}

TEST_F(ShapesTest, LineMenuChangesReportOnceAndTicks)
{
    auto *line = Place<TGLineShape>(30, 40, 60, 20);
    QMenu *menu = line->ObjectMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(TopLevelCaptions(menu).mid(12),
              QStringList({"-", "Style", "Color", "Line Thickness", "-", "Stretch To Edges"}));
    QMenu *style = FindItem(menu, "Style")->menu();
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(TopLevelCaptions(style),
              QStringList({"Horizontal", "Vertical", "Angled Sloping Up", "Angled Sloping Down"}));
    Q_EMIT menu->aboutToShow();
    EXPECT_EQ(TickedIn(style), QStringList({"Horizontal"}));
    EXPECT_EQ(REPORTS(FindItem(menu, "Angled Sloping Up")->trigger()), 1);
    EXPECT_EQ(line->LineStyle(), TGLineShape::stAngleSlopingUp);
    EXPECT_EQ(REPORTS(FindItem(menu, "4 Point")->trigger()), 1);
    EXPECT_EQ(line->Pen()->Width(), 4);
    Q_EMIT menu->aboutToShow();
    EXPECT_EQ(TickedIn(style), QStringList({"Angled Sloping Up"}));
    EXPECT_EQ(TickedIn(FindItem(menu, "Line Thickness")->menu()), QStringList({"4 Point"}));

    AnswerColorDialog(Qt::black, QColor(0, 128, 0));
    EXPECT_EQ(REPORTS(FindItem(menu, "Color")->trigger()), 1);
    EXPECT_EQ(line->Pen()->Color(), 0x008000u);

    // Diagonals are not stretched.
    EXPECT_EQ(REPORTS(FindItem(menu, "Stretch To Edges")->trigger()), 0);
    EXPECT_EQ(line->BoundsRect(), TRect::FromBounds(30, 40, 60, 20));
    // A vertical line goes to the top and takes the card's height.
    FindItem(menu, "Vertical")->trigger();
    EXPECT_EQ(REPORTS(FindItem(menu, "Stretch To Edges")->trigger()), 1);
    EXPECT_EQ(line->BoundsRect(), TRect::FromBounds(30, 0, 60, surface->height()));
    // A horizontal one to the left edge, the card's width.
    FindItem(menu, "Horizontal")->trigger();
    FindItem(menu, "Stretch To Edges")->trigger();
    EXPECT_EQ(line->BoundsRect(), TRect::FromBounds(0, 0, surface->width(), surface->height()));

    // Off a surface nothing moves.
    TGLineShape loose;
    loose.MakeReady();
    loose.SetBounds(5, 6, 7, 8);
    FindItem(loose.ObjectMenu(), "Stretch To Edges")->trigger();
    EXPECT_EQ(loose.BoundsRect(), TRect::FromBounds(5, 6, 7, 8));
}

TEST_F(ShapesTest, LineToolCreatesAVerticalLineAndShapeToolsTheirKinds)
{
    const std::pair<TLPanelState, int> tools[] = {
        {psRectangle, TGLabelShapes::stRectangle},
        {psEllipse, TGLabelShapes::stEllipse},
        {psRoundRectangle, TGLabelShapes::stRoundRect},
    };
    int made = 0;
    for (const auto &[tool, kind] : tools) {
        surface->SetPanelState(tool);
        surface->CreateObjectForTool(TRect{10, 10, 70, 50});
        ASSERT_EQ(surface->ObjectCount(), ++made);
        auto *shape = qobject_cast<TBCShapes *>(surface->ObjectAt(made - 1));
        ASSERT_NE(shape, nullptr);
        EXPECT_EQ(shape->Shape(), kind);
        EXPECT_EQ(FindItem(shape->ObjectMenu(), "Degree of Rounding") != nullptr,
                  tool == psRoundRectangle);
    }
    surface->SetPanelState(psLine);
    surface->CreateObjectForTool(TRect{10, 10, 70, 50});
    ASSERT_EQ(surface->ObjectCount(), made + 1);
    auto *line = qobject_cast<TGLineShape *>(surface->ObjectAt(made));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->LineStyle(), TGLineShape::stVertical);
}
