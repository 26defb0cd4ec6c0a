// Pictures from hostile or merely large input: BMP headers checked against
// the file's real size and the memory budget, picture files that are not
// regular files.
#include "graphics/Picture.h"

#include "common/HostileFiles.h"
#include "graphics/RegularFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

void PutLe32(QByteArray &b, qsizetype at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xFF);
}

// A BMP file with a 40-byte information header, no colour table beyond what
// the depth needs (a grey ramp for 1 to 8 bits), rows of zero pixels.
QByteArray Bmp(int32_t width, int32_t height, uint16_t bits, qsizetype pixelBytes)
{
    const qsizetype table = bits <= 8 ? (qsizetype(1) << bits) * 4 : 0;
    const qsizetype offBits = 14 + 40 + table;
    QByteArray b(offBits, '\0');
    b[0] = 'B';
    b[1] = 'M';
    PutLe32(b, 2, uint32_t(offBits + pixelBytes));
    PutLe32(b, 10, uint32_t(offBits));
    PutLe32(b, 14, 40);
    PutLe32(b, 18, uint32_t(width));
    PutLe32(b, 22, uint32_t(height));
    b[26] = 1; // planes
    b[28] = char(bits);
    for (qsizetype i = 0; i < table / 4; ++i)
        b[54 + i * 4] = b[55 + i * 4] = b[56 + i * 4] =
            char(i * 255 / std::max<qsizetype>(1, table / 4 - 1));
    b.append(QByteArray(pixelBytes, '\0'));
    return b;
}

qsizetype RowBytes(int64_t width, int bits)
{
    return qsizetype(((width * bits + 31) / 32) * 4);
}

} // namespace

TEST(PictureTest, BitmapsAreBoundedByTheirFileAndTheBudgetNotBySide)
{
    // 6000 x 6000 at 16 bits: 72 MB of rows that are all in the file, and
    // 144 MB once decoded (within the budget).
    {
        const QByteArray bmp = Bmp(6000, 6000, 16, RowBytes(6000, 16) * 6000);
        EXPECT_TRUE(IsValidBmpFile(bmp));
        TPicture picture;
        ASSERT_TRUE(picture.SetBitmapData(bmp));
        EXPECT_EQ(picture.Image().size(), QSize(6000, 6000));
        EXPECT_EQ(picture.GraphicData().size(), bmp.size());
    }
    // The image readers allow what the check allows.
    EXPECT_EQ(qint64(QImageReader::allocationLimit()) * 1024 * 1024, kMaxDecodedImageBytes);

    // One row short of what the header says: refused.
    {
        const QByteArray bmp = Bmp(300, 200, 24, RowBytes(300, 24) * 199);
        EXPECT_FALSE(IsValidBmpFile(bmp));
        EXPECT_TRUE(IsValidBmpFile(Bmp(300, 200, 24, RowBytes(300, 24) * 200)));
        EXPECT_TRUE(IsValidBmpFile(Bmp(300, -200, 24, RowBytes(300, 24) * 200))); // top-down
    }

    // Sides so large that rows x height does not fit 64 bits: refused, not wrapped round.
    const struct
    {
        int32_t width;
        int32_t height;
        uint16_t bits;
    } huge[] = {{0x7FFFFFFF, 0x7FFFFFFF, 32},
                {0x7FFFFFFF, -0x7FFFFFFF, 32},
                {0x40000000, 0x7FFFFFFF, 24},
                {0x7FFFFFFF, 0x7FFFFFFF, 1}};
    for (const auto &c : huge) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " x " << c.bits);
        const QByteArray bmp = Bmp(c.width, c.height, c.bits, 4096);
        EXPECT_FALSE(IsValidBmpFile(bmp));
        TPicture picture;
        EXPECT_FALSE(picture.SetBitmapData(bmp));
        EXPECT_TRUE(picture.IsEmpty());
    }

    // More pixels than the budget, even where the rows would fit in few
    // bytes (1 bit each): refused before anything is decoded.
    {
        const int side = 8193; // 8193 x 8193 > 64 M pixels
        const QByteArray bmp = Bmp(side, side, 1, RowBytes(side, 1) * side);
        EXPECT_FALSE(IsValidBmpFile(bmp));
        EXPECT_TRUE(IsValidBmpFile(Bmp(8192, 8192, 1, RowBytes(8192, 1) * 8192)));
    }
}

TEST(PictureTest, PictureFilesMustBeRegularFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());

    // A small real picture, through a link: loads.
    const QString real = dir.filePath("real.bmp");
    {
        QFile file(real);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Bmp(4, 2, 24, RowBytes(4, 24) * 2));
    }
    const QString link = dir.filePath("link.bmp");
    ASSERT_TRUE(QFile::link(real, link));
    TPicture picture;
    EXPECT_TRUE(picture.LoadFromFile(link));
    EXPECT_EQ(picture.Image().size(), QSize(4, 2));

    // A FIFO named like a picture: refused at once, the picture kept.
    const QString fifo = dir.filePath("art.bmp");
    ASSERT_TRUE(MakeFifo(fifo));
    bool loaded = true;
    EXPECT_TRUE(FinishesWithoutBlocking([&] { loaded = picture.LoadFromFile(fifo); }, fifo));
    EXPECT_FALSE(loaded);
    EXPECT_EQ(picture.Image().size(), QSize(4, 2));

    // A link to a device that never ends, and a folder.
    const QString device = dir.filePath("zero.bmp");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    EXPECT_FALSE(picture.LoadFromFile(device));
    QDir(dir.path()).mkdir("folder.bmp");
    EXPECT_FALSE(picture.LoadFromFile(dir.filePath("folder.bmp")));
    EXPECT_EQ(picture.Image().size(), QSize(4, 2));
}

TEST(PictureTest, BoundedReadsOfRegularFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("data");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("0123456789");
    }
    QByteArray bytes;
    EXPECT_EQ(ReadRegularFile(path, 10, &bytes), TFileReadResult::Read);
    EXPECT_EQ(bytes, QByteArray("0123456789"));
    EXPECT_EQ(ReadRegularFile(path, 9, &bytes), TFileReadResult::TooLarge);
    EXPECT_TRUE(bytes.isEmpty());
    EXPECT_EQ(ReadRegularFileHead(path, 4, &bytes), TFileReadResult::Read);
    EXPECT_EQ(bytes, QByteArray("0123"));
    EXPECT_EQ(ReadRegularFile(dir.filePath("none"), 10, &bytes), TFileReadResult::Missing);
    EXPECT_EQ(ReadRegularFile(QStringLiteral("/dev/zero"), 10, &bytes),
              TFileReadResult::NotARegularFile);
    EXPECT_EQ(ReadRegularFile(dir.path(), 10, &bytes), TFileReadResult::NotARegularFile);

    // A sparse file larger than the bound is refused from its size alone.
    const QString huge = dir.filePath("huge");
    {
        QFile file(huge);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(kMaxPictureFileBytes + 1));
    }
    EXPECT_EQ(ReadRegularFile(huge, kMaxPictureFileBytes, &bytes), TFileReadResult::TooLarge);
    TPicture picture;
    EXPECT_FALSE(picture.LoadFromFile(huge));
}

TEST(PictureTest, FileNamesKeepTheirBytesAndTextIsShownPrintable)
{
    // Bytes that are not UTF-8 (a lone 0xFF, a cut sequence, an encoded
    // surrogate, an overlong slash) come back as they were; UTF-8 stays text.
    for (const QByteArray &name :
         {QByteArray("bad\xff"
                     "name.TSC"),
          QByteArray("cut\xe2\x82"), QByteArray("\xed\xa0\x80"), QByteArray("\xc0\xaf"),
          QByteArray("caf\xc3\xa9 \xf0\x9f\x98\x80.TSC")})
        EXPECT_EQ(EncodeFileName(DecodeFileName(name)), name) << name.toHex().constData();
    EXPECT_EQ(DecodeFileName("caf\xc3\xa9"), QStringLiteral("caf\u00e9"));
    EXPECT_EQ(PrintableText(DecodeFileName("bad\xff"
                                           "name")),
              QStringLiteral("bad\\xffname"));

    // A real file by that name is read.
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path()) + "/bad\xff"
                                                            "name.TSC";
    {
        FILE *raw = std::fopen(path.constData(), "wb");
        ASSERT_NE(raw, nullptr);
        std::fputs("card", raw);
        std::fclose(raw);
    }
    QByteArray bytes;
    EXPECT_EQ(ReadRegularFile(DecodeFileName(path), 100, &bytes), TFileReadResult::Read);
    EXPECT_EQ(bytes, QByteArray("card"));

    EXPECT_EQ(PrintableText(QStringLiteral("a\x1b]0;t\x07"
                                           "b\x7f\tc\u0085d\u00e9")),
              QStringLiteral("a\\x1b]0;t\\x07b\\x7f\\x09c\\u0085d\u00e9"));
    const QString face = QString::fromUtf8("\xf0\x9f\x98\x80");
    EXPECT_EQ(PrintableText(face), face);
    EXPECT_EQ(PrintableText(face.left(1)), QStringLiteral("\\ud83d"));
}
