// LoadPictureFile: picture files written here from their formats' rules,
// found by extension (in any case) or, failing that, by content; damaged and
// oversized files give no picture.
#include "graphics/Picture.h"

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
