#include "ObjectsFixture.h"
#include "objects/Gimage.h"

#include <QImage>

namespace {
TPicture BitmapPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    TPicture picture;
    picture.SetImage(image);
    return picture;
}
} // namespace

using ImageTest = ObjectTest;

TEST_F(ImageTest, TableDefaultsAndCreationValues)
{
    TGImage image;
    EXPECT_EQ(TableNames(image),
              BaseNames() + QStringList({"AutoSize", "BorderStyle", "Picture", "Stretch"}));
    EXPECT_EQ(Entry(image, "AutoSize").defaultValue, 0);
    EXPECT_EQ(Entry(image, "Stretch").defaultValue, 1);
    const TPropertyDescriptor &border = Entry(image, "BorderStyle");
    EXPECT_EQ(border.identifiers, QStringList({"bsNone", "bsSingle"}));
    EXPECT_FALSE(border.defaultValue.has_value());
    EXPECT_EQ(Entry(image, "Picture").kind, TPropertyKind::Object);

    EXPECT_EQ(image.Width(), 105);
    EXPECT_EQ(image.Height(), 105);
    EXPECT_FALSE(image.AutoSize());
    EXPECT_TRUE(image.Stretch());
    EXPECT_EQ(image.BorderStyle(), TGImage::bsNone);
    EXPECT_TRUE(image.Picture()->IsEmpty());
    EXPECT_FALSE(image.IsOpaque());
}

TEST_F(ImageTest, AutoSizeAndStretchExcludeEachOtherAndFollowThePicture)
{
    auto *image = Place<TGImage>(10, 10, 120, 90);

    // Without a picture AutoSize has nothing to size to.
    EXPECT_EQ(REPORTS(image->SetAutoSize(true)), 1);
    EXPECT_FALSE(image->Stretch());
    EXPECT_EQ(image->Width(), 120);
    EXPECT_EQ(REPORTS(image->SetAutoSize(true)), 0);
    EXPECT_EQ(REPORTS(image->SetStretch(true)), 1);
    EXPECT_FALSE(image->AutoSize());

    // Stretched, a new picture keeps the bounds.
    EXPECT_EQ(REPORTS(image->SetPicture(BitmapPicture(30, 20))), 1);
    EXPECT_EQ(image->PictureSize(), QSize(30, 20));
    EXPECT_EQ(image->Width(), 120);
    EXPECT_EQ(image->Height(), 90);
    EXPECT_FALSE(image->IsOpaque());

    // AutoSize takes the picture's size at once; the bitmap then covers the object.
    image->SetAutoSize(true);
    EXPECT_EQ(image->Width(), 30);
    EXPECT_EQ(image->Height(), 20);
    EXPECT_EQ(image->Left(), 10);
    EXPECT_TRUE(image->IsOpaque());

    // The size follows the zoom.
    image->SetZoomScale(2.0f);
    EXPECT_EQ(image->Width(), 60);
    EXPECT_EQ(image->Height(), 40);
    image->SetZoomScale(1.0f);

    // Clearing Stretch turns AutoSize on, which fits the bounds straight away.
    image->SetStretch(true);
    image->SetWidth(70);
    EXPECT_EQ(image->Width(), 70);
    image->SetStretch(false);
    EXPECT_TRUE(image->AutoSize());
    EXPECT_EQ(image->Width(), 30);

    EXPECT_EQ(REPORTS(image->SetBorderStyle(TGImage::bsSingle)), 1);
    EXPECT_EQ(REPORTS(image->SetBorderStyle(TGImage::bsSingle)), 0);
    EXPECT_EQ(REPORTS(image->SetBorderStyle(static_cast<TGImage::TBorderStyle>(2))), 0);
    EXPECT_EQ(image->BorderStyle(), TGImage::bsSingle);
}

TEST_F(ImageTest, ReadingKeepsBothFlagsAsStored)
{
    auto *image = Place<TGImage>();
    image->SetLoading(true);
    // The browser may leave both flags cleared; a stream then holds Stretch False only.
    image->SetStretch(false);
    image->SetPicture(BitmapPicture(8, 8));
    EXPECT_EQ(changes, 0);
    image->Loaded();
    EXPECT_FALSE(image->Stretch());
    EXPECT_FALSE(image->AutoSize());
    EXPECT_EQ(image->Width(), 105); // not resized to the picture
}
