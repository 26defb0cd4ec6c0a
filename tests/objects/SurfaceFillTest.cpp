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

// ---- gradient bands, tiling and stored textures ------------------------------

#include "document/StreamIO.h"

#include <QPainter>

namespace {

QRgb Band(TColor from, TColor to, TFillDirection direction, int n)
{
    return GradientBandColor(from, to, direction, n).rgb();
}

// A stored "Data" entry: the payload's recorded length, then its bytes, and a
// marker value after it that must still be readable.
QByteArray DataEntry(int32_t recordedLength, const QByteArray &bytes)
{
    TStreamWriter payload;
    payload.WriteInt32Raw(recordedLength);
    payload.WriteRaw(bytes);
    TStreamWriter writer;
    writer.WriteBinary(payload.Data());
    writer.WriteInteger(77);
    return writer.Data();
}

// A 24-bit BMP file of 2 x 2 pixels whose header may claim another size.
QByteArray SmallBmp(int32_t claimedWidth, int32_t claimedHeight)
{
    TGBitmap honest;
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    honest.SetImage(image);
    QByteArray bmp = honest.BmpBytes();
    auto put = [&](int at, int32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = char((uint32_t(v) >> (8 * i)) & 0xFF);
    };
    put(18, claimedWidth);
    put(22, claimedHeight);
    return bmp;
}

} // namespace

TEST(SurfaceFillDrawing, BandColoursRunFromStartToEndInEveryDirection)
{
    // Black to white downward: band 0 black, 128 mid grey, 255 white.
    EXPECT_EQ(Band(0x000000, 0xFFFFFF, gdDown, 0), qRgb(0, 0, 0));
    EXPECT_EQ(Band(0x000000, 0xFFFFFF, gdDown, 128), qRgb(128, 128, 128));
    EXPECT_EQ(Band(0x000000, 0xFFFFFF, gdDown, 255), qRgb(255, 255, 255));
    // Upward and leftward start from the to-colour.
    EXPECT_EQ(Band(0x000000, 0xFFFFFF, gdUp, 0), qRgb(255, 255, 255));
    EXPECT_EQ(Band(0x000000, 0xFFFFFF, gdLeft, 255), qRgb(0, 0, 0));
    EXPECT_EQ(Band(0x000000, 0xFFFFFF, gdRight, 0), qRgb(0, 0, 0));
    // Red ($0000FF) to blue ($FF0000): each channel on its own, no red left.
    EXPECT_EQ(Band(0x0000FF, 0xFF0000, gdDown, 255), qRgb(0, 0, 255));
    EXPECT_EQ(Band(0x0000FF, 0xFF0000, gdDown, 51), qRgb(204, 0, 51));

    // 512 pixels high: every band 2 pixels; the last ends at the bottom.
    EXPECT_EQ(GradientBand(0, 30, 512, gdDown), QRect(0, 0, 30, 2));
    EXPECT_EQ(GradientBand(255, 30, 512, gdUp), QRect(0, 510, 30, 2));
    EXPECT_EQ(GradientBand(255, 300, 9, gdRight).right(), 299);
    // 10 pixels high: ten visible one-pixel bands, the rest empty.
    int visible = 0;
    int covered = 0;
    for (int n = 0; n < 256; ++n) {
        const QRect band = GradientBand(n, 5, 10, gdDown);
        if (!band.isEmpty()) {
            ++visible;
            covered += band.height();
            EXPECT_EQ(band.height(), 1);
        }
    }
    EXPECT_EQ(visible, 10);
    EXPECT_EQ(covered, 10);

    // System colours are their colours, not their index bytes: button face
    // ($8000000F) to window text ($80000008).
    EXPECT_EQ(Band(0x8000000F, 0x80000008, gdDown, 0), qRgb(212, 208, 200));
    EXPECT_EQ(Band(0x8000000F, 0x80000008, gdDown, 255), qRgb(0, 0, 0));
    EXPECT_EQ(ColorFromTColor(0x80000005), QColor(255, 255, 255));
    EXPECT_EQ(MakeGradientPicture(0x8000000F, 0xFFFFFF, gdDown, QSize(4, 256)).pixel(1, 0),
              qRgb(212, 208, 200));

    const QImage picture = MakeGradientPicture(0x000000, 0xFFFFFF, gdDown, QSize(4, 512));
    EXPECT_EQ(picture.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(picture.pixel(2, 257), qRgb(128, 128, 128));
    EXPECT_EQ(picture.pixel(2, 511), qRgb(255, 255, 255));
    EXPECT_TRUE(MakeGradientPicture(0, 0xFFFFFF, gdDown, QSize(0, 40)).isNull());
}

TEST(SurfaceFillDrawing, GradientIsBuiltOnceAndAgainOnlyOnChanges)
{
    bool shown = true;
    TSurfaceFill fill([&] { return shown; }, 0x000000, 0xFFFFFF, gdDown);
    EXPECT_TRUE(fill.GradientFor(QSize(0, 10)).isNull());
    EXPECT_EQ(fill.GradientBuilds(), 0);
    fill.GradientFor(QSize(40, 256));
    fill.GradientFor(QSize(40, 256));
    EXPECT_EQ(fill.GradientBuilds(), 1);
    fill.SetToColor(0x00FF00);
    EXPECT_EQ(fill.GradientFor(QSize(40, 256)).pixel(0, 255), qRgb(0, 255, 0));
    EXPECT_EQ(fill.GradientBuilds(), 2);
    fill.GradientFor(QSize(80, 512));
    EXPECT_EQ(fill.GradientBuilds(), 3);
    fill.SetDirection(gdUp);
    EXPECT_EQ(fill.GradientFor(QSize(80, 512)).pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(fill.GradientBuilds(), 4);
}

TEST(SurfaceFillDrawing, TextureTilesFromTheCornerAtTheirSize)
{
    // 32 x 32 tiles with a marked top-left pixel over 100 x 70: 4 x 3 tiles.
    QImage texture(32, 32, QImage::Format_RGB32);
    texture.fill(Qt::green);
    texture.setPixel(0, 0, qRgb(255, 0, 0));
    QImage canvas(100, 70, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        TileFillPicture(painter, texture, canvas.size(), texture.size());
    }
    int marks = 0;
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 100; ++x)
            if (canvas.pixel(x, y) == qRgb(255, 0, 0)) {
                ++marks;
                EXPECT_EQ(x % 32, 0);
                EXPECT_EQ(y % 32, 0);
            }
    EXPECT_EQ(marks, 12);
    EXPECT_EQ(canvas.pixel(99, 69), qRgb(0, 255, 0));

    // An empty picture or tile draws nothing.
    QImage untouched(10, 10, QImage::Format_RGB32);
    untouched.fill(Qt::white);
    {
        QPainter painter(&untouched);
        TileFillPicture(painter, QImage(), untouched.size(), QSize(4, 4));
        TileFillPicture(painter, texture, untouched.size(), QSize(0, 4));
    }
    EXPECT_EQ(untouched.pixel(0, 0), qRgb(255, 255, 255));
}

TEST(SurfaceFillDrawing, StoredTextureThatLiesAboutItsSizeIsRefused)
{
    TSuperShape shape;
    TGBitmap *texture = shape.Image();

    // The recorded length runs past the bytes stored.
    TStreamReader past(DataEntry(100000, QByteArray(10, 'x')));
    EXPECT_TRUE(texture->ReadDefinedEntry(QStringLiteral("Data"), past));
    EXPECT_TRUE(texture->IsEmpty());
    EXPECT_EQ(past.ReadInteger(), 77);

    // A bitmap header claiming 1000 x 1000 pixels over 2 x 2 pixels of data.
    const QByteArray liar = SmallBmp(1000, 1000);
    TStreamReader claimed(DataEntry(int32_t(liar.size()), liar));
    EXPECT_TRUE(texture->ReadDefinedEntry(QStringLiteral("Data"), claimed));
    EXPECT_TRUE(texture->IsEmpty());
    EXPECT_EQ(claimed.ReadInteger(), 77);

    // The honest bitmap is taken.
    const QByteArray honest = SmallBmp(2, 2);
    TStreamReader good(DataEntry(int32_t(honest.size()), honest));
    EXPECT_TRUE(texture->ReadDefinedEntry(QStringLiteral("Data"), good));
    EXPECT_EQ(texture->Image().size(), QSize(2, 2));

    // Other bitmaps (clip art) still fail the read rather than lose a picture.
    TGBitmap strict;
    TStreamReader again(DataEntry(int32_t(liar.size()), liar));
    EXPECT_THROW(strict.ReadDefinedEntry(QStringLiteral("Data"), again), EStreamError);
}
