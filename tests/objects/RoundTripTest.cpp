#include "ObjectsFixture.h"
#include "document/Filer.h"
#include "document/KindRegistry.h"
#include "document/ObjectStream.h"
#include "effects/Gsshape.h"
#include "effects/gsstext.h"
#include "objects/Gbcshape.h"
#include "objects/Gimage.h"
#include "objects/Glines.h"
#include "objects/Gpmlabel.h"
#include "objects/Gprichl.h"

#include <QImage>

// Objects written to a design stream and read back into new objects.
class RoundTripTest : public ObjectTest
{
protected:
    template <class T> T *RoundTrip(T *object)
    {
        TObjectKindRegistry::Instance().Register<T>();
        const QByteArray bytes = WriteObjectList({object});
        TGLabelObjectFiler filer;
        const QList<TGGraphicControl *> read =
            CardObjects(filer.ReadObjects(bytes, owner.get(), surface.get()));
        EXPECT_EQ(read.size(), 1);
        auto *copy = qobject_cast<T *>(read.value(0));
        EXPECT_NE(copy, nullptr);
        EXPECT_NE(copy, object);
        return copy;
    }

    // The property paths the writer writes for the object.
    static QStringList WrittenPaths(const TGGraphicControl &object)
    {
        QStringList paths;
        for (const QString &line : DumpObject(object)) {
            const QString entry = line.trimmed();
            const qsizetype eq = entry.indexOf(QLatin1String(" = "));
            if (eq > 0)
                paths.append(entry.left(eq));
        }
        return paths;
    }
};

TEST_F(RoundTripTest, DefaultsAreLeftOutAndTheFontIsAlwaysWritten)
{
    auto *star = Place<TSuperShape>(0, 0, 100, 100);
    auto *line = Place<TGLineShape>(0, 0, 80, 20);
    auto *label = Place<TGMultiLineLabel>();
    auto *text = Place<TGSuperText>();

    const QStringList starPaths = WrittenPaths(*star);
    EXPECT_FALSE(starPaths.contains("Shape"));
    EXPECT_TRUE(starPaths.contains("Vectors"));
    EXPECT_TRUE(starPaths.contains("RoundPerc"));
    EXPECT_FALSE(starPaths.contains("LastBitmapFileNameandPath")); // empty
    EXPECT_FALSE(WrittenPaths(*line).contains("LineStyle"));
    EXPECT_TRUE(WrittenPaths(*label).contains("Font.Name"));
    EXPECT_FALSE(WrittenPaths(*label).contains("WordWrap"));
    EXPECT_TRUE(WrittenPaths(*text).contains("Font.Style"));
    EXPECT_FALSE(WrittenPaths(*text).contains("ShadowOrientation"));

    star->SetShape(TSuperShape::gstRectangle);
    EXPECT_TRUE(WrittenPaths(*star).contains("Shape"));
    auto *copy = RoundTrip(star);
    EXPECT_EQ(copy->Shape(), TSuperShape::gstRectangle);
}

TEST_F(RoundTripTest, ShapesAndLinesComeBackAsStored)
{
    auto *shape = Place<TBCShapes>(5, 6, 60, 30);
    shape->SetShape(TGLabelShapes::stRoundRect);
    shape->SetRoundPerc(0);
    shape->SetTransparent(true);
    shape->Pen()->SetWidth(5);
    auto *copy = RoundTrip(shape);
    EXPECT_EQ(copy->Shape(), TGLabelShapes::stRoundRect);
    EXPECT_EQ(copy->RoundPerc(), 0);
    EXPECT_TRUE(copy->Transparent());
    EXPECT_EQ(copy->Brush()->Style(), bsClear);
    EXPECT_EQ(copy->Pen()->Width(), 5);
    EXPECT_EQ(copy->Width(), 60);

    // A brush filled again behind Transparent's back stays filled.
    TGBrush solid;
    shape->SetBrush(solid);
    copy = RoundTrip(shape);
    EXPECT_TRUE(copy->Transparent());
    EXPECT_EQ(copy->Brush()->Style(), bsSolid);

    auto *line = Place<TGLineShape>(0, 0, 10, 90);
    line->SetLineStyle(TGLineShape::stVertical);
    line->Pen()->SetColor(0x0000FF);
    auto *lineCopy = RoundTrip(line);
    EXPECT_EQ(lineCopy->LineStyle(), TGLineShape::stVertical);
    EXPECT_EQ(lineCopy->Pen()->Color(), 0x0000FFu);
}

TEST_F(RoundTripTest, ImageKeepsItsPictureAndBothFlags)
{
    auto *image = Place<TGImage>(0, 0, 50, 50);
    QImage bitmap(30, 20, QImage::Format_RGB32);
    bitmap.fill(Qt::magenta);
    TPicture picture;
    picture.SetImage(bitmap);
    image->SetPicture(picture);
    image->SetAutoSize(true);
    ASSERT_EQ(image->Width(), 30);
    auto *copy = RoundTrip(image);
    EXPECT_TRUE(copy->AutoSize());
    EXPECT_FALSE(copy->Stretch());
    EXPECT_EQ(copy->PictureSize(), QSize(30, 20));
    EXPECT_EQ(copy->Width(), 30);
    EXPECT_TRUE(copy->IsOpaque());

    // The image browser may clear both flags; the design keeps that.
    auto *cleared = Place<TGImage>(0, 0, 50, 50);
    cleared->SetLoading(true);
    cleared->SetStretch(false);
    cleared->SetLoading(false);
    ASSERT_FALSE(cleared->AutoSize());
    auto *clearedCopy = RoundTrip(cleared);
    EXPECT_FALSE(clearedCopy->Stretch());
    EXPECT_FALSE(clearedCopy->AutoSize());
}

TEST_F(RoundTripTest, TextKindsComeBackWithTheirDerivedState)
{
    auto *label = Place<TGMultiLineLabel>(0, 0, 90, 60);
    label->SetItems({"Design print and delivery of cards", "Second"});
    label->SetAlignment(TGMultiLineBaseLabel::taRightJustify);
    label->SetWordWrap(true);
    label->Font()->SetStyle(fsItalic);
    auto *labelCopy = RoundTrip(label);
    EXPECT_EQ(labelCopy->Lines(), label->Lines());
    EXPECT_EQ(labelCopy->Alignment(), TGMultiLineBaseLabel::taRightJustify);
    EXPECT_EQ(labelCopy->Font()->Style(), uint32_t(fsItalic));
    EXPECT_FALSE(labelCopy->ParentFont());
    EXPECT_EQ(labelCopy->DisplayLines(), label->DisplayLines()); // wrapped once read

    auto *text = Place<TGSuperText>();
    text->SetShadowDepth(4);
    text->SetShadowOrientation(TGSuperText::sdLeft);
    text->SetCaption("Acme");
    text->SetSurfaceType(TGSuperText::stNormal);
    auto *textCopy = RoundTrip(text);
    EXPECT_EQ(textCopy->ShadowOffset(), QPoint(-4, 0));
    EXPECT_EQ(textCopy->Caption(), "Acme");
    EXPECT_EQ(textCopy->SurfaceType(), TGSuperText::stNormal);
    EXPECT_EQ(textCopy->Font()->Size(), 48);

    auto *rich = Place<TGPRichBaseLabel>();
    rich->SetTransparent(false);
    rich->SetBGColor(0x00FFFF);
    rich->SetBorderStyle(TGPRichBaseLabel::bsNone);
    auto *richCopy = RoundTrip(rich);
    EXPECT_FALSE(richCopy->Transparent());
    EXPECT_EQ(richCopy->BGColor(), 0x00FFFFu);
    EXPECT_EQ(richCopy->BorderStyle(), TGPRichBaseLabel::bsNone);
}

TEST_F(RoundTripTest, SuperShapeKeepsASmallShadowAndItsTexture)
{
    // An 8 × 8 shape whose shadow was made shallower: a new object holds depth
    // 5, more than half the size, yet the stored 2 must come back.
    auto *shape = Place<TSuperShape>(0, 0, 10, 15);
    shape->SetBounds(0, 0, 8, 8);
    shape->SetShadowDepth(2);
    shape->SetShadowOrient(TSuperShape::soLowerLeft);
    auto *copy = RoundTrip(shape);
    EXPECT_EQ(copy->ShadowDepth(), 2);
    EXPECT_EQ(copy->ShadowOrient(), TSuperShape::soLowerLeft);

    auto *textured = Place<TSuperShape>(0, 0, 60, 60);
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(Qt::darkYellow);
    TGBitmap texture;
    texture.SetImage(image);
    textured->SetSurfaceType(TSuperShape::stBrushImage);
    textured->SetImage(&texture);
    textured->SetLastBitmapFileNameandPath("/home/user/bmbrush/tile.bmp");
    auto *texturedCopy = RoundTrip(textured);
    EXPECT_EQ(texturedCopy->SurfaceType(), TSuperShape::stBrushImage);
    EXPECT_EQ(texturedCopy->ImageBitmap().BmpBytes(), texture.BmpBytes());
    EXPECT_EQ(texturedCopy->LastBitmapFileNameandPath(), "/home/user/bmbrush/tile.bmp");
}
