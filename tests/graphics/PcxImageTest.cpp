// PCX pictures written here from the format's rules (128-byte header, rows
// of planes, runs of 0xC0 | count), read back through every way the program
// reads pictures; damaged and hostile headers refused.
#include "graphics/PcxImage.h"
#include "graphics/Picture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <QVector>
#include <gtest/gtest.h>

namespace {

struct TPcxLayout
{
    int width = 0;
    int height = 0;
    int bits = 8;
    int planes = 1;
    int bytesPerLine = 0; // 0: the smallest even count
    bool rle = true;
    QVector<QRgb> headerPalette;   // up to 16 entries
    QVector<QRgb> trailingPalette; // 256 entries, or none
};

void Put16(QByteArray &b, int at, int v)
{
    b[at] = char(v & 0xFF);
    b[at + 1] = char((v >> 8) & 0xFF);
}

// Encodes the given scan lines (each plane's bytes one after another) as the
// format says: with RLE, a run of 1..63 equal bytes, or any byte of 0xC0 and
// above, is written as 0xC0 | count followed by the byte.
QByteArray WritePcx(const TPcxLayout &layout, const QByteArray &scan)
{
    QByteArray b(128, '\0');
    b[0] = 0x0A;
    b[1] = 5;
    b[2] = layout.rle ? 1 : 0;
    b[3] = char(layout.bits);
    Put16(b, 4, 0);
    Put16(b, 6, 0);
    Put16(b, 8, layout.width - 1);
    Put16(b, 10, layout.height - 1);
    Put16(b, 12, 96);
    Put16(b, 14, 96);
    for (int i = 0; i < layout.headerPalette.size(); ++i) {
        b[16 + i * 3] = char(qRed(layout.headerPalette[i]));
        b[17 + i * 3] = char(qGreen(layout.headerPalette[i]));
        b[18 + i * 3] = char(qBlue(layout.headerPalette[i]));
    }
    b[65] = char(layout.planes);
    const int bpl = layout.bytesPerLine ? layout.bytesPerLine : ((layout.width * layout.bits + 15) / 16) * 2;
    Put16(b, 66, bpl);
    Put16(b, 68, 1);
    if (!layout.rle) {
        b += scan;
    } else {
        for (qsizetype i = 0; i < scan.size();) {
            qsizetype run = 1;
            while (i + run < scan.size() && run < 63 && scan[i + run] == scan[i])
                ++run;
            const auto byte = uint8_t(scan[i]);
            if (run > 1 || byte >= 0xC0) {
                b += char(0xC0 | run);
                b += char(byte);
            } else {
                b += char(byte);
            }
            i += run;
        }
    }
    if (!layout.trailingPalette.isEmpty()) {
        b += char(0x0C);
        for (QRgb c : layout.trailingPalette) {
            b += char(qRed(c));
            b += char(qGreen(c));
            b += char(qBlue(c));
        }
    }
    return b;
}

QImage ReadThroughQt(const QByteArray &bytes, const QByteArray &format = QByteArray())
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    return reader.read();
}

// A 24-bit picture whose pixels all differ: red grows along x, green along
// y, blue is 0xC5 (above 0xC0, so every blue byte needs a run marker).
QRgb Pixel24(int x, int y)
{
    return qRgb(x * 40 % 256, y * 50 % 256, 0xC5);
}

} // namespace

TEST(PcxImageTest, TwentyFourBitPicturesReadEveryWay)
{
    EXPECT_TRUE(QImageReader::supportedImageFormats().contains("pcx"));
    TPcxLayout layout;
    layout.width = 5;
    layout.height = 3;
    layout.planes = 3;
    const int bpl = 6; // 5 bytes rounded up to even
    QByteArray scan;
    for (int y = 0; y < layout.height; ++y)
        for (int plane = 0; plane < 3; ++plane)
            for (int x = 0; x < bpl; ++x) {
                const QRgb c = Pixel24(std::min(x, 4), y);
                scan += char(plane == 0 ? qRed(c) : plane == 1 ? qGreen(c) : qBlue(c));
            }
    const QByteArray file = WritePcx(layout, scan);
    EXPECT_EQ(PcxImageSize(file), QSize(5, 3));

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Card.PCX");
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(file);
    }
    TPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(path));
    const QImage images[] = {DecodePcx(file), ReadThroughQt(file), ReadThroughQt(file, "pcx"),
                             LoadPictureFile(path), picture.Image()};
    for (const QImage &image : images) {
        ASSERT_EQ(image.size(), QSize(5, 3)) << &image - images;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
                EXPECT_EQ(image.pixel(x, y), Pixel24(x, y)) << x << "," << y;
    }
    EXPECT_EQ(picture.NaturalSize(), QSize(5, 3));

    // The same rows stored plainly.
    layout.rle = false;
    const QImage plain = DecodePcx(WritePcx(layout, scan));
    ASSERT_EQ(plain.size(), QSize(5, 3));
    EXPECT_EQ(plain.pixel(4, 2), Pixel24(4, 2));
}

TEST(PcxImageTest, IndexedPicturesUseTheirPalettes)
{
    // 8 bits: the 256 colours at the end of the file; a run of 40 equal
    // bytes that carries on from one row into the next.
    {
        TPcxLayout layout;
        layout.width = 20;
        layout.height = 4;
        for (int i = 0; i < 256; ++i)
            layout.trailingPalette.push_back(qRgb(255 - i, i, (i * 7) % 256));
        QByteArray scan;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 20; ++x)
                scan += char(y < 2 ? 200 : x * 10 + y);
        const QImage image = ReadThroughQt(WritePcx(layout, scan));
        ASSERT_EQ(image.size(), QSize(20, 4));
        EXPECT_EQ(image.pixel(0, 0), layout.trailingPalette[200]);
        EXPECT_EQ(image.pixel(19, 1), layout.trailingPalette[200]);
        EXPECT_EQ(image.pixel(7, 3), layout.trailingPalette[73]);

        // Without its palette the picture is grey.
        layout.trailingPalette.clear();
        EXPECT_EQ(DecodePcx(WritePcx(layout, scan)).pixel(7, 3), qRgb(73, 73, 73));
    }
    // 1 bit, one plane: black and white; a width that is not a whole byte.
    {
        TPcxLayout layout;
        layout.width = 10;
        layout.height = 2;
        layout.bits = 1;
        // Row 0: 1010101010, row 1: 0000000001 (padding bits set to catch misreads).
        const QByteArray scan("\xAA\xBF\x00\x7F", 4);
        const QImage image = DecodePcx(WritePcx(layout, scan));
        ASSERT_EQ(image.size(), QSize(10, 2));
        EXPECT_EQ(image.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(8, 0), qRgb(255, 255, 255));
        EXPECT_EQ(image.pixel(8, 1), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(9, 1), qRgb(255, 255, 255));
    }
    // 16 colours as four 1-bit planes, and as one 4-bit plane, from the
    // header's palette.
    QVector<QRgb> sixteen;
    for (int i = 0; i < 16; ++i)
        sixteen.push_back(qRgb(i * 16, 255 - i * 16, i % 2 ? 255 : 0));
    {
        TPcxLayout layout;
        layout.width = 8;
        layout.height = 1;
        layout.bits = 1;
        layout.planes = 4;
        layout.headerPalette = sixteen;
        // Pixel x has colour index x + 8 * (x % 2): planes hold bit 0..3.
        QByteArray scan;
        for (int plane = 0; plane < 4; ++plane) {
            int byte = 0;
            for (int x = 0; x < 8; ++x)
                if (((x + 8 * (x % 2)) >> plane) & 1)
                    byte |= 0x80 >> x;
            scan += char(byte);
            scan += char(0);
        }
        const QImage image = DecodePcx(WritePcx(layout, scan));
        ASSERT_EQ(image.size(), QSize(8, 1));
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(image.pixel(x, 0), sixteen[x + 8 * (x % 2)]) << x;
    }
    {
        TPcxLayout layout;
        layout.width = 3;
        layout.height = 1;
        layout.bits = 4;
        layout.headerPalette = sixteen;
        const QImage image = DecodePcx(WritePcx(layout, QByteArray("\x5C\xF0", 2)));
        ASSERT_EQ(image.size(), QSize(3, 1));
        EXPECT_EQ(image.pixel(0, 0), sixteen[5]);
        EXPECT_EQ(image.pixel(1, 0), sixteen[12]);
        EXPECT_EQ(image.pixel(2, 0), sixteen[15]);
    }
}

TEST(PcxImageTest, HostileHeadersAreRefused)
{
    TPcxLayout layout;
    layout.width = 16;
    layout.height = 16;
    const QByteArray rows(16 * 16, char(0x11));
    const QByteArray good = WritePcx(layout, rows);
    ASSERT_FALSE(DecodePcx(good).isNull());

    // The data ends a row early: refused, not padded.
    {
        TPcxLayout plain = layout;
        plain.rle = false;
        EXPECT_FALSE(DecodePcx(WritePcx(plain, rows)).isNull());
        EXPECT_TRUE(DecodePcx(WritePcx(plain, rows.left(16 * 15))).isNull());
        EXPECT_TRUE(DecodePcx(good.left(good.size() - 1)).isNull()); // run cut in two
    }
    // Sides past the limit, and a header claiming far more rows than the
    // data could hold even in the longest runs.
    const auto withSides = [&](int width, int height) {
        QByteArray b = good;
        Put16(b, 8, width - 1);
        Put16(b, 10, height - 1);
        Put16(b, 66, width + (width & 1));
        return b;
    };
    for (const QByteArray &bad : {withSides(20001, 2), withSides(2, 20001),
                                  withSides(20000, 20000), withSides(4000, 4000)}) {
        EXPECT_EQ(PcxImageSize(bad).isValid(), bad == withSides(4000, 4000));
        EXPECT_TRUE(DecodePcx(bad).isNull());
        EXPECT_TRUE(ReadThroughQt(bad, "pcx").isNull());
    }
    // A plain 20000 x 1 row that is all there is accepted: the limit is the side.
    {
        TPcxLayout wide;
        wide.width = 20000;
        wide.height = 1;
        wide.rle = false;
        EXPECT_EQ(DecodePcx(WritePcx(wide, QByteArray(20000, '\x01'))).size(), QSize(20000, 1));
    }
    // Rows shorter than the width, unknown depths, bad marks.
    {
        QByteArray b = good;
        Put16(b, 66, 14);
        EXPECT_TRUE(DecodePcx(b).isNull());
        b = good;
        b[3] = 3;
        EXPECT_TRUE(DecodePcx(b).isNull());
        b = good;
        b[65] = 2;
        EXPECT_TRUE(DecodePcx(b).isNull());
        b = good;
        b[0] = 0x0B;
        EXPECT_TRUE(DecodePcx(b).isNull());
        b = good;
        Put16(b, 4, 20); // xMin past xMax
        EXPECT_TRUE(DecodePcx(b).isNull());
        EXPECT_TRUE(DecodePcx(good.left(100)).isNull());
    }
    // A damaged file named .pcx is no picture, through the loader either.
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("bad.pcx");
    {
        QFile out(path);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(withSides(20000, 20000));
    }
    EXPECT_TRUE(LoadPictureFile(path).isNull());
    TPicture picture;
    EXPECT_FALSE(picture.LoadFromFile(path));
    EXPECT_TRUE(picture.IsEmpty());
}
