#include "ObjectsFixture.h"
#include "objects/Gbcshape.h"
#include "objects/Glines.h"
#include "objects/Glshapes.h"

using ShapesTest = ObjectTest;

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
    // The brush style is read from its own entry, so Transparent leaves it be.
    EXPECT_EQ(shape->Brush()->Style(), bsSolid);
    EXPECT_TRUE(shape->Transparent());
    EXPECT_EQ(shape->RoundPerc(), 40);
    EXPECT_EQ(shape->Shape(), TGLabelShapes::stEllipse);
    shape->Loaded();
    EXPECT_FALSE(shape->IsLoading());
    EXPECT_EQ(REPORTS(shape->SetRoundPerc(41)), 1);
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
