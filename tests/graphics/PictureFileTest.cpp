// LoadPictureFile: picture files written here from their formats' rules,
// found by extension (in any case) or, failing that, by content; damaged and
// oversized files give no picture.
#include "graphics/Picture.h"
#include "graphics/TgaImage.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void Le(QByteArray &b, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        b += char((v >> (8 * i)) & 0xFF);
}

// 4 x 2, RLE8: top row blue, blue, white, white; bottom row all red.
QByteArray Rle8Bmp(int width = 4)
{
    QByteArray data;
    data += QByteArray("\x04\x01\x00\x00", 4);                 // bottom row: 4 x red
    data += QByteArray("\x02\x02\x02\x00\x00\x01", 6);         // top: 2 x blue, 2 x white; end
    QByteArray b("BM");
    Le(b, 14 + 40 + 12 + data.size(), 4);
    Le(b, 0, 4);
    Le(b, 14 + 40 + 12, 4);
    for (uint32_t v : {40u, uint32_t(width), 2u})
        Le(b, v, 4);
    Le(b, 1, 2);
    Le(b, 8, 2);
    for (uint32_t v : {1u, uint32_t(data.size()), 0u, 0u, 3u, 0u})
        Le(b, v, 4);
    for (QRgb c : {qRgb(255, 255, 255), qRgb(255, 0, 0), qRgb(0, 0, 255)}) {
        b += char(qBlue(c));
        b += char(qGreen(c));
        b += char(qRed(c));
        b += char(0);
    }
    return b + data;
}

// Uncompressed true-colour TGA (version 2, with its footer), rows bottom-up:
// 3 x 2, top row red, green, blue; bottom row white.
QByteArray Tga()
{
    QByteArray b(12, '\0');
    b[2] = 2;
    Le(b, 3, 2);
    Le(b, 2, 2);
    b += char(24);
    b += char(0);
    for (QRgb c : {qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(255, 255, 255), qRgb(255, 0, 0),
                   qRgb(0, 255, 0), qRgb(0, 0, 255)}) {
        b += char(qBlue(c));
        b += char(qGreen(c));
        b += char(qRed(c));
    }
    Le(b, 0, 4); // no extension area
    Le(b, 0, 4); // no developer area
    return b + QByteArray("TRUEVISION-XFILE.", 18);
}

// A version-1 TGA (no footer) with the given type, depth, descriptor,
// colour map and pixel data.
QByteArray Tga1(int type, int width, int height, int depth, int descriptor, const QByteArray &data,
                const QByteArray &map = QByteArray(), int mapBits = 0)
{
    QByteArray b;
    b += char(3); // an id of three bytes, to be skipped
    b += char(map.isEmpty() ? 0 : 1);
    b += char(type);
    Le(b, 0, 2);
    Le(b, mapBits ? uint32_t(map.size() / ((mapBits + 7) / 8)) : 0, 2);
    b += char(mapBits);
    Le(b, 0, 4); // origin
    Le(b, uint32_t(width), 2);
    Le(b, uint32_t(height), 2);
    b += char(depth);
    b += char(descriptor);
    return b + "id!" + map + data;
}

QString Write(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

} // namespace

TEST(PictureFileTest, FilesAreReadByExtensionThenByContent)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const QString &name : {QStringLiteral("art.rle"), QStringLiteral("ART.BMP"),
                                QStringLiteral("art.dib"), QStringLiteral("misnamed.jpg"),
                                QStringLiteral("noextension")}) {
        SCOPED_TRACE(name.toStdString());
        const QImage image = LoadPictureFile(Write(dir, name, Rle8Bmp()));
        ASSERT_EQ(image.size(), QSize(4, 2));
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 255));
        EXPECT_EQ(image.pixel(3, 0), qRgb(255, 255, 255));
        EXPECT_EQ(image.pixel(2, 1), qRgb(255, 0, 0));
    }

    // TGA has no mark of its own: the extension names the reader.
    const QImage tga = LoadPictureFile(Write(dir, "logo.Tga", Tga()));
    ASSERT_EQ(tga.size(), QSize(3, 2));
    EXPECT_EQ(tga.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(tga.pixel(2, 0), qRgb(0, 0, 255));
    EXPECT_EQ(tga.pixel(1, 1), qRgb(255, 255, 255));

    // JPEG under its old short name.
    QImage photo(8, 8, QImage::Format_RGB32);
    photo.fill(qRgb(0, 0, 200));
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(photo.save(&buffer, "JPEG"));
    }
    const QImage jif = LoadPictureFile(Write(dir, "photo.jif", jpeg));
    ASSERT_EQ(jif.size(), QSize(8, 8));
    EXPECT_LT(qRed(jif.pixel(4, 4)), 20);
    EXPECT_GT(qBlue(jif.pixel(4, 4)), 180);
}

TEST(PictureFileTest, DamagedOrOversizedFilesGiveNoPicture)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(LoadPictureFile(dir.filePath("missing.bmp")).isNull());
    EXPECT_TRUE(LoadPictureFile(Write(dir, "empty.png", QByteArray())).isNull());
    EXPECT_TRUE(LoadPictureFile(Write(dir, "text.gif", "GIF89a but nothing more")).isNull());
    // A run-length bitmap whose header claims a side past the limit: refused
    // before decoding, whatever its name.
    for (const QString &name : {QStringLiteral("wide.bmp"), QStringLiteral("wide.png")})
        EXPECT_TRUE(LoadPictureFile(Write(dir, name, Rle8Bmp(20001))).isNull());
    EXPECT_FALSE(LoadPictureFile(Write(dir, "limit.bmp", Rle8Bmp(20000))).isNull());
    TPicture picture;
    EXPECT_FALSE(picture.SetBitmapData(Rle8Bmp(20001)));
    EXPECT_TRUE(picture.IsEmpty());
}

TEST(PictureFileTest, TgaFilesOfEveryKindRead)
{
    // 24 bits, plain, bottom-up, no footer: 2 x 2, top row red, green.
    const QByteArray plain = Tga1(2, 2, 2, 24, 0,
                                  QByteArray("\xFF\x00\x00\x00\x00\x00"      // bottom: blue, black
                                             "\x00\x00\xFF\x00\xFF\x00", 12)); // top: red, green
    QImage image = DecodeTga(plain);
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(0, 1), qRgb(0, 0, 255));
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_EQ(LoadPictureFile(Write(dir, "old.tga", plain)), image);

    // 32 bits with alpha, runs, top-down: a run of three half-transparent
    // white pixels crossing into the second row, then one raw red pixel.
    const QByteArray runs = Tga1(10, 2, 2, 32, 0x28,
                                 QByteArray("\x82\xFF\xFF\xFF\x80"
                                            "\x00\x00\x00\xFF\xFF", 10));
    image = DecodeTga(runs);
    ASSERT_EQ(image.size(), QSize(2, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgba(255, 255, 255, 0x80));
    EXPECT_EQ(image.pixel(1, 0), qRgba(255, 255, 255, 0x80));
    EXPECT_EQ(image.pixel(0, 1), qRgba(255, 255, 255, 0x80));
    EXPECT_EQ(image.pixel(1, 1), qRgba(255, 0, 0, 0xFF));

    // Colour-mapped with runs (16-bit map entries), and grey.
    const QByteArray map("\x00\x7C\xE0\x03", 4); // red, green in 5-5-5
    image = DecodeTga(Tga1(9, 3, 1, 8, 0x20, QByteArray("\x81\x01\x00\x00", 4), map, 16));
    ASSERT_EQ(image.size(), QSize(3, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 0), qRgb(255, 0, 0));
    image = DecodeTga(Tga1(3, 2, 1, 8, 0x20, QByteArray("\x10\xF0", 2)));
    ASSERT_EQ(image.size(), QSize(2, 1));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0xF0, 0xF0, 0xF0));

    // Refused: a pixel short, runs that stop early, sides past the limit,
    // a colour-mapped picture without its map.
    EXPECT_TRUE(DecodeTga(plain.left(plain.size() - 1)).isNull());
    EXPECT_TRUE(DecodeTga(runs.left(runs.size() - 4)).isNull());
    EXPECT_TRUE(DecodeTga(Tga1(10, 20001, 1, 24, 0, QByteArray(4000, '\xFF'))).isNull());
    EXPECT_TRUE(DecodeTga(Tga1(10, 20000, 20000, 24, 0, QByteArray(4000, '\xFF'))).isNull());
    EXPECT_TRUE(DecodeTga(Tga1(1, 1, 1, 8, 0, QByteArray(1, '\0'))).isNull());
}
