// Metafiles written here from the formats' rules (WMF: 18-byte header,
// records of size in words, function, parameters stored last first; the
// placeable header before it; EMF: records of type and size in bytes), drawn
// through the player and TPicture and checked by pixel probes.
#include "graphics/MetafilePlayer.h"
#include "graphics/Picture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <climits>
#include <functional>
#include <initializer_list>

namespace {

void Put16(QByteArray &b, int v)
{
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}

void Put32(QByteArray &b, uint32_t v)
{
    Put16(b, int(v & 0xFFFF));
    Put16(b, int(v >> 16));
}

QByteArray ColorRef(QRgb c)
{
    QByteArray b;
    b += char(qRed(c));
    b += char(qGreen(c));
    b += char(qBlue(c));
    b += char(0);
    return b;
}

// A 24-bit DIB (40-byte header, rows bottom-up) of the given top-down rows.
QByteArray Dib24(const QVector<QVector<QRgb>> &rows)
{
    const int height = int(rows.size());
    const int width = int(rows[0].size());
    const int rowBytes = (width * 3 + 3) / 4 * 4;
    QByteArray b;
    for (uint32_t v : {40u, uint32_t(width), uint32_t(height)})
        Put32(b, v);
    Put16(b, 1);
    Put16(b, 24);
    for (uint32_t v : {0u, uint32_t(rowBytes * height), 0u, 0u, 0u, 0u})
        Put32(b, v);
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row;
        for (QRgb c : rows[y]) {
            row += char(qBlue(c));
            row += char(qGreen(c));
            row += char(qRed(c));
        }
        b += row.leftJustified(rowBytes, '\0');
    }
    return b;
}

class TWmfWriter
{
public:
    // One record: 16-bit parameter words as the file stores them, then raw bytes.
    TWmfWriter &Rec(int function, std::initializer_list<int> words, const QByteArray &raw = {})
    {
        QByteArray params;
        for (int w : words)
            Put16(params, w);
        params += raw;
        if (params.size() % 2)
            params += '\0';
        Put32(m_records, uint32_t(3 + params.size() / 2));
        Put16(m_records, function);
        m_records += params;
        return *this;
    }
    TWmfWriter &Raw(const QByteArray &bytes)
    {
        m_records += bytes;
        return *this;
    }
    TWmfWriter &Window(int x, int y, int width, int height)
    {
        Rec(0x0103, {8}); // anisotropic
        Rec(0x020B, {y, x});
        return Rec(0x020C, {height, width});
    }
    TWmfWriter &Pen(int style, int width, QRgb c) { return Rec(0x02FA, {style, width, 0}, ColorRef(c)); }
    TWmfWriter &Brush(int style, QRgb c, int hatch = 0)
    {
        QByteArray raw = ColorRef(c);
        Put16(raw, hatch);
        return Rec(0x02FC, {style}, raw);
    }
    // Liberation Sans, height (negative: the em) and weight; no escapement.
    TWmfWriter &Font(int height, int weight)
    {
        QByteArray font;
        for (int v : {height, 0, 0, 0, weight})
            Put16(font, v);
        font += QByteArray(8, '\0');
        font += QByteArray("Liberation Sans").leftJustified(32, '\0');
        return Rec(0x02FB, {}, font);
    }
    TWmfWriter &Select(int index) { return Rec(0x012D, {index}); }
    TWmfWriter &Rectangle(int l, int t, int r, int b) { return Rec(0x041B, {b, r, t, l}); }
    TWmfWriter &Ellipse(int l, int t, int r, int b) { return Rec(0x0418, {b, r, t, l}); }

    QByteArray Plain(int objects = 16) const
    {
        QByteArray all = m_records;
        Put32(all, 3);
        Put16(all, 0); // end of file
        QByteArray header;
        Put16(header, 1);
        Put16(header, 9);
        Put16(header, 0x0300);
        Put32(header, uint32_t((18 + all.size()) / 2));
        Put16(header, objects);
        Put32(header, 0);
        Put16(header, 0);
        return header + all;
    }
    QByteArray Placeable(int l, int t, int r, int b, int inch) const
    {
        QByteArray head;
        Put32(head, 0x9AC6CDD7u);
        for (int v : {0, l, t, r, b, inch})
            Put16(head, v);
        Put32(head, 0);
        int checksum = 0;
        for (int i = 0; i < 20; i += 2)
            checksum ^= uint8_t(head[i]) | (uint8_t(head[i + 1]) << 8);
        Put16(head, checksum);
        return head + Plain();
    }

private:
    QByteArray m_records;
};

QImage Render(const QByteArray &metafile, QSize size, QRect target)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PlayMetafile(painter, target, metafile);
    return image;
}

// The box of pixels darker than light grey, or an empty rect.
QRect DarkBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF,
               Black = 0xFF000000, Yellow = 0xFFFFFF00;

// Red triangle in the left half, blue ellipse in the right half of a
// 1000 x 500 window, no outlines.
TWmfWriter Shapes()
{
    TWmfWriter w;
    w.Pen(5, 0, Black).Brush(0, Red).Brush(0, Blue).Select(0).Select(1);
    w.Rec(0x0324, {3, 50, 450, 250, 50, 450, 450});
    w.Select(2).Ellipse(550, 50, 950, 450);
    return w;
}

} // namespace

TEST(MetafileTest, PlaceableMetafilesFillTheirTargetAndGiveTheirSize)
{
    const QByteArray wmf = Shapes().Placeable(0, 0, 1000, 500, 1000);
    EXPECT_EQ(MetafileKindOf(wmf), TMetafileKind::PlaceableWmf);
    EXPECT_EQ(MetafileNaturalSize(wmf), QSize(96, 48));

    // The 1000 x 500 frame onto 200 x 100 pixels at (10, 10).
    const QImage image = Render(wmf, QSize(220, 120), QRect(10, 10, 200, 100));
    EXPECT_EQ(image.pixel(60, 73), Red);    // inside the triangle
    EXPECT_EQ(image.pixel(160, 60), Blue);  // the ellipse's centre
    EXPECT_EQ(image.pixel(22, 22), White);  // beside the triangle's apex
    EXPECT_EQ(image.pixel(205, 15), White); // the ellipse box's corner
    EXPECT_EQ(image.pixel(160, 15), White); // above the ellipse

    // TPicture draws it the same way, keeps its bytes and knows its size.
    TPicture picture;
    picture.SetMetafileData(wmf);
    EXPECT_EQ(picture.GraphicData(), wmf);
    EXPECT_EQ(picture.NaturalSize(), QSize(96, 48));
    QImage drawn(220, 120, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    {
        QPainter painter(&drawn);
        picture.Draw(painter, QRect(10, 10, 200, 100));
    }
    EXPECT_EQ(drawn, image);

    // At 1440 units an inch the same box is two thirds the size.
    EXPECT_EQ(MetafileNaturalSize(Shapes().Placeable(0, 0, 1440, 720, 1440)), QSize(96, 48));
}

TEST(MetafileTest, PlainMetafilesUseTheirWindowAndClipping)
{
    TWmfWriter w;
    w.Window(100, 100, 400, 200).Pen(5, 0, Black).Brush(0, Green).Select(0).Select(1);
    w.Rectangle(300, 100, 500, 300);            // the right half
    w.Rec(0x001E, {});                          // SaveDC
    w.Rec(0x0416, {200, 200, 100, 100});        // clip to the top-left quarter
    w.Brush(0, Yellow).Select(2);
    w.Rectangle(100, 100, 500, 300);            // all of it, clipped
    w.Rec(0x0127, {0xFFFF});                    // RestoreDC(-1): clip and brush back
    w.Rectangle(120, 260, 160, 290);            // green again, unclipped
    const QByteArray wmf = w.Plain();
    EXPECT_EQ(MetafileKindOf(wmf), TMetafileKind::PlainWmf);
    EXPECT_EQ(MetafileNaturalSize(wmf), QSize(400, 200));

    const QImage image = Render(wmf, QSize(400, 200), QRect(0, 0, 400, 200));
    EXPECT_EQ(image.pixel(300, 100), Green);
    EXPECT_EQ(image.pixel(50, 50), Yellow);
    EXPECT_EQ(image.pixel(150, 50), White);  // outside the clip
    EXPECT_EQ(image.pixel(50, 150), White);
    EXPECT_EQ(image.pixel(40, 175), Green);  // after RestoreDC
    EXPECT_EQ(image.pixel(300, 20), Green);

    // A plain metafile that never sets its window has no natural size.
    TWmfWriter none;
    none.Rectangle(0, 0, 10, 10);
    EXPECT_EQ(MetafileKindOf(none.Plain()), TMetafileKind::PlainWmf);
    EXPECT_FALSE(MetafileNaturalSize(none.Plain()).isValid());
}

// A plain WMF read from disk is kept with the placeable header designs hold
// metafiles in: the frame of its window, or of what it draws, at 96 units per
// inch, so that it shows as before.
TEST(MetafileTest, APlainMetafileFromDiskGetsAPlaceableHeader)
{
    TWmfWriter w;
    w.Window(100, 100, 400, 200).Pen(5, 0, Black).Brush(0, Green).Select(0).Select(1);
    w.Rectangle(300, 100, 500, 300);
    const QByteArray plain = w.Plain();
    QTemporaryDir folder;
    const QString path = folder.filePath("plain.wmf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(plain);
    file.close();

    TPicture picture;
    ASSERT_TRUE(picture.LoadFromFile(path));
    const QByteArray kept = picture.GraphicData();
    ASSERT_EQ(kept.size(), plain.size() + 22);
    EXPECT_EQ(kept.mid(22), plain);
    // Key, handle, box 100,100 to 500,300, 96 per inch, reserved, then the
    // XOR of those ten words.
    const QByteArray head = kept.left(22);
    EXPECT_EQ(head.left(20).toHex(' '), "d7 cd c6 9a 00 00 64 00 64 00 f4 01 2c 01 60 00 00 00 00 00");
    quint16 checksum = 0;
    for (int i = 0; i < 20; i += 2)
        checksum ^= quint16(uint8_t(head[i]) | (uint8_t(head[i + 1]) << 8));
    EXPECT_EQ(uint8_t(head[20]) | (uint8_t(head[21]) << 8), checksum);
    EXPECT_EQ(MetafileKindOf(kept), TMetafileKind::PlaceableWmf);
    EXPECT_EQ(MetafileNaturalSize(kept), QSize(400, 200));
    EXPECT_TRUE(Render(kept, QSize(400, 200), QRect(0, 0, 400, 200)) ==
                Render(plain, QSize(400, 200), QRect(0, 0, 400, 200)));

    // Without a window the frame is the box of what it draws.
    TWmfWriter bare;
    bare.Pen(5, 0, Black).Brush(0, Blue).Select(0).Select(1).Rectangle(20, 30, 120, 80);
    const QByteArray framed = WithPlaceableHeader(bare.Plain());
    ASSERT_EQ(MetafileKindOf(framed), TMetafileKind::PlaceableWmf);
    const QSize size = MetafileNaturalSize(framed);
    EXPECT_NEAR(size.width(), 100, 1);
    EXPECT_NEAR(size.height(), 50, 1);
    // A placeable file, an EMF and bytes of no metafile stay as they are.
    const QByteArray placeable = w.Placeable(0, 0, 400, 200, 96);
    EXPECT_EQ(WithPlaceableHeader(placeable), placeable);
    EXPECT_EQ(WithPlaceableHeader("not a metafile"), QByteArray("not a metafile"));
}

TEST(MetafileTest, ObjectsTakeTheFirstFreeSlotAndHatchesAndArcsDraw)
{
    TWmfWriter w;
    w.Window(0, 0, 300, 100);
    w.Pen(0, 0, Black);                  // 0
    w.Brush(0, Red);                     // 1
    w.Rec(0x01F0, {0});                  // delete the pen: slot 0 is free
    w.Brush(0, Blue);                    // 0 again
    w.Pen(5, 0, Black).Select(2);        // 2: no outline
    w.Select(0).Rectangle(0, 0, 100, 100);
    w.Select(1).Rectangle(100, 0, 200, 100);
    // A pie of the right square's top-right quarter: from (300, 50) round
    // anticlockwise to (250, 0).
    w.Brush(0, Green).Select(3);
    w.Rec(0x081A, {0, 250, 50, 300, 100, 300, 0, 200});
    const QImage image = Render(w.Plain(), QSize(300, 100), QRect(0, 0, 300, 100));
    EXPECT_EQ(image.pixel(50, 50), Blue);
    EXPECT_EQ(image.pixel(150, 50), Red);
    EXPECT_EQ(image.pixel(270, 30), Green);  // inside the pie
    EXPECT_EQ(image.pixel(230, 70), White);  // the other three quarters
    EXPECT_EQ(image.pixel(230, 30), White);
}

TEST(MetafileTest, TextLandsOnItsReferencePoint)
{
    const auto draw = [](int align, bool opaque, bool plainTextOut = false) {
        TWmfWriter w;
        w.Window(0, 0, 1000, 500).Font(-80, 700).Select(0);
        w.Rec(0x0209, {}, ColorRef(Black));
        w.Rec(0x0201, {}, ColorRef(Yellow));
        w.Rec(0x0102, {opaque ? 2 : 1});
        w.Rec(0x012E, {align});
        const QByteArray text("HHHH");
        if (plainTextOut) {
            // TextOut, its length counting a closing zero, then y and x.
            QByteArray raw = text + QByteArray(2, '\0');
            Put16(raw, 300);
            Put16(raw, 500);
            w.Rec(0x0521, {int(text.size()) + 1}, raw);
        } else {
            w.Rec(0x0A32, {300, 500, int(text.size()), 0}, text); // ExtTextOut at (500, 300)
        }
        return Render(w.Plain(), QSize(400, 200), QRect(0, 0, 400, 200));
    };
    // Baseline at y 300 -> 120 px; an em of 80 units -> 32 px.
    const QImage left = draw(24, false); // TA_BASELINE | TA_LEFT
    const QRect box = DarkBox(left);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_NEAR(box.left(), 200, 4);
    EXPECT_NEAR(box.bottom(), 119, 2);
    EXPECT_NEAR(box.height(), 23, 4); // a capital H: about 0.72 em
    EXPECT_GT(box.width(), 60);

    EXPECT_EQ(DarkBox(draw(24, false, true)), box);

    const QRect centred = DarkBox(draw(24 | 6, false)); // TA_CENTER
    EXPECT_NEAR(centred.center().x(), 200, 3);
    EXPECT_EQ(centred.size(), box.size());

    const QRect top = DarkBox(draw(0, false)); // TA_TOP: the text hangs below y
    EXPECT_GT(top.top(), 120);
    EXPECT_LT(top.top(), 132);

    // Text far larger than the picture still lands where it should (drawn
    // as outlines): a 1000-pixel H whose left stem starts near x 80.
    {
        TWmfWriter w;
        w.Window(0, 0, 400, 200).Font(-1000, 400).Select(0).Rec(0x012E, {24});
        w.Rec(0x0A32, {850, 0, 1, 0}, QByteArray("H\0", 2));
        const QRect huge = DarkBox(Render(w.Plain(), QSize(400, 200), QRect(0, 0, 400, 200)));
        ASSERT_FALSE(huge.isEmpty());
        EXPECT_NEAR(huge.left(), 80, 25);
        EXPECT_EQ(huge.bottom(), 199); // the stems run on below the picture
    }

    // An opaque background fills the text's box with the background colour.
    const QImage opaque = draw(24, true);
    EXPECT_EQ(opaque.pixel(box.left() + 1, box.top() - 3), Yellow);
    EXPECT_EQ(left.pixel(box.left() + 1, box.top() - 3), White);
}

TEST(MetafileTest, EmbeddedBitmapsKeepTheirRowOrder)
{
    const QByteArray dib = Dib24({{Red, Green}, {Blue, White}});
    QByteArray stretchDib;
    Put32(stretchDib, 0x00CC0020);
    for (int v : {0, 2, 2, 0, 0, 100, 200, 0, 0}) // usage, source, destination
        Put16(stretchDib, v);
    QByteArray dibStretchBlt;
    Put32(dibStretchBlt, 0x00CC0020);
    for (int v : {2, 2, 0, 0, 100, 200, 0, 200})
        Put16(dibStretchBlt, v);
    TWmfWriter w;
    w.Window(0, 0, 400, 100);
    w.Rec(0x0F43, {}, stretchDib + dib);      // StretchDIB at x 0
    w.Rec(0x0B41, {}, dibStretchBlt + dib);   // DIBStretchBlt at x 200
    const QImage image = Render(w.Plain(), QSize(400, 100), QRect(0, 0, 400, 100));
    for (int x0 : {0, 200}) {
        SCOPED_TRACE(x0);
        EXPECT_EQ(image.pixel(x0 + 50, 25), Red);
        EXPECT_EQ(image.pixel(x0 + 150, 25), Green);
        EXPECT_EQ(image.pixel(x0 + 50, 75), Blue);
        EXPECT_EQ(image.pixel(x0 + 150, 75), White);
    }

    // A bitmap whose header claims more rows than it holds is not drawn,
    // and what follows still is.
    QByteArray shortDib = dib;
    shortDib[8] = 50; // height 50
    TWmfWriter bad;
    bad.Window(0, 0, 400, 100);
    bad.Rec(0x0F43, {}, stretchDib + shortDib);
    bad.Pen(5, 0, Black).Brush(0, Blue).Select(0).Select(1).Rectangle(300, 0, 400, 100);
    const QImage drawn = Render(bad.Plain(), QSize(400, 100), QRect(0, 0, 400, 100));
    EXPECT_EQ(drawn.pixel(50, 25), White);
    EXPECT_EQ(drawn.pixel(350, 50), Blue);
}

TEST(MetafileTest, DamagedRecordsStopOrAreSkipped)
{
    const auto blueRect = [](TWmfWriter &w, int l) {
        return w.Pen(5, 0, Black).Brush(0, Blue).Select(0).Select(1).Rectangle(l, 0, l + 100, 100);
    };
    // A polygon claiming 30000 points with three in its record: skipped.
    {
        TWmfWriter w;
        w.Window(0, 0, 400, 100);
        w.Rec(0x0324, {30000, 0, 0, 100, 0, 0, 100});
        blueRect(w, 0);
        const QImage image = Render(w.Plain(), QSize(400, 100), QRect(0, 0, 400, 100));
        EXPECT_EQ(image.pixel(50, 50), Blue);
    }
    // A record claiming more words than the file has ends the picture; one
    // of zero words ends it too, at once rather than looping.
    for (uint32_t words : {0xFFFFFFFFu, 0x40000000u, 0u, 2u}) {
        SCOPED_TRACE(words);
        TWmfWriter w;
        w.Window(0, 0, 400, 100);
        blueRect(w, 0);
        QByteArray broken;
        Put32(broken, words);
        Put16(broken, 0x041B);
        w.Raw(broken);
        w.Brush(0, Red).Select(2).Rectangle(200, 0, 300, 100);
        const QImage image = Render(w.Plain(), QSize(400, 100), QRect(0, 0, 400, 100));
        EXPECT_EQ(image.pixel(50, 50), Blue);
        EXPECT_EQ(image.pixel(250, 50), White);
    }
    // Deep SaveDC nesting and a restore of all of it leave the painter as
    // it was; so does a restore of a level that never was.
    {
        TWmfWriter w;
        for (int i = 0; i < 1000; ++i)
            w.Rec(0x001E, {});
        w.Rec(0x0127, {1});
        w.Rec(0x0127, {0xFFFF - 5});
        QImage image(50, 50, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.translate(5, 7);
        PlayMetafile(painter, QRect(0, 0, 40, 40), w.Plain());
        EXPECT_EQ(painter.worldTransform(), QTransform::fromTranslate(5, 7));
        EXPECT_FALSE(painter.hasClipping());
    }
    // Sizes past the limit and cut headers: no metafile.
    EXPECT_EQ(MetafileKindOf(Shapes().Placeable(0, 0, 30000, 100, 96)), TMetafileKind::None);
    EXPECT_EQ(MetafileKindOf(Shapes().Placeable(0, 0, 20000, 100, 96)),
              TMetafileKind::PlaceableWmf);
    TWmfWriter huge;
    huge.Window(0, 0, 25000, 100);
    EXPECT_EQ(MetafileKindOf(huge.Plain()), TMetafileKind::None);
    const QByteArray wmf = Shapes().Placeable(0, 0, 1000, 500, 1000);
    EXPECT_EQ(MetafileKindOf(wmf.left(30)), TMetafileKind::None);
    EXPECT_EQ(MetafileKindOf(QByteArray()), TMetafileKind::None);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("huge.wmf");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Shapes().Placeable(0, 0, 30000, 100, 96));
    }
    TPicture picture;
    EXPECT_FALSE(picture.LoadFromFile(path));
    EXPECT_TRUE(picture.IsEmpty());
}

namespace {

QByteArray Emr(uint32_t type, const QByteArray &payload)
{
    QByteArray b;
    Put32(b, type);
    Put32(b, uint32_t(8 + payload.size()));
    return b + payload;
}

QByteArray Ints(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        Put32(b, uint32_t(v));
    return b;
}

// An enhanced metafile: a frame of 100 x 50 mm on a 96-dpi reference device
// (1000 x 500 pixels on 264.58 x 132.29 mm), drawing in device pixels.
QByteArray Emf(const QByteArray &records)
{
    const QByteArray eof = Emr(14, Ints({0, 16, 20}));
    QByteArray header = Ints({0, 0, 377, 188, 0, 0, 10000, 5000});
    Put32(header, 0x464D4520u);
    Put32(header, 0x10000);
    Put32(header, uint32_t(88 + records.size() + eof.size()));
    Put32(header, 3);
    Put16(header, 8);
    Put16(header, 0);
    header += Ints({0, 0, 0, 1000, 500, 265, 132});
    return Emr(1, header) + records + eof;
}

} // namespace

TEST(MetafileTest, EnhancedMetafilesDrawInTheirFrame)
{
    QByteArray records;
    records += Emr(39, Ints({1, 0, 0x0000FF, 0}));        // red brush, handle 1
    records += Emr(37, Ints({1}));
    records += Emr(37, Ints({int(0x80000008)}));          // stock null pen
    records += Emr(43, Ints({0, 0, 189, 189}));           // left: a square
    records += Emr(37, Ints({int(0x80000004)}));          // stock black brush
    records += Emr(42, Ints({200, 0, 378, 189}));         // right: an ellipse
    const QByteArray emf = Emf(records);
    EXPECT_EQ(MetafileKindOf(emf), TMetafileKind::Emf);
    EXPECT_EQ(MetafileNaturalSize(emf), QSize(378, 189));

    // The frame (378 x 189 device pixels) onto 189 x 94.
    const QImage image = Render(emf, QSize(189, 95), QRect(0, 0, 189, 94));
    EXPECT_EQ(image.pixel(40, 40), Red);
    EXPECT_EQ(image.pixel(144, 47), Black);
    EXPECT_EQ(image.pixel(102, 4), White);

    // A record longer than the file: nothing after it, no crash.
    QByteArray cut = Emf(records);
    cut.chop(20);
    EXPECT_EQ(MetafileKindOf(cut), TMetafileKind::Emf);
    Render(cut, QSize(50, 50), QRect(0, 0, 50, 50));
    // A header claiming to be longer than the file: no metafile.
    QByteArray longHeader = emf;
    longHeader[4] = char(0xF0);
    EXPECT_EQ(MetafileKindOf(longHeader), TMetafileKind::None);
}

TEST(MetafileTest, PrintedMetafilesStayVectors)
{
    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "pdftoppm is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto print = [&](const QByteArray &metafile, const QString &name) {
        const QString path = dir.filePath(name + ".pdf");
        {
            QPdfWriter writer(path);
            writer.setResolution(72);
            writer.setPageSize(QPageSize(QSizeF(200, 100), QPageSize::Point));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter(&writer);
            TPicture picture;
            picture.SetMetafileData(metafile);
            picture.Draw(painter, QRect(0, 0, 200, 100));
        }
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        // Image objects, not the procedure set names (/ImageB ...).
        return std::make_pair(path, pdf.contains("/Subtype /Image") || pdf.contains("/Subtype/Image"));
    };
    const auto [shapesPath, rasterised] = print(Shapes().Placeable(0, 0, 1000, 500, 1000), "shapes");
    EXPECT_FALSE(rasterised);

    ASSERT_EQ(QProcess::execute(pdftoppm, {"-r", "72", "-png", "-singlefile", shapesPath,
                                           dir.filePath("shapes")}),
              0);
    const QImage page(dir.filePath("shapes.png"));
    ASSERT_EQ(page.size(), QSize(200, 100));
    EXPECT_EQ(page.pixel(50, 63), Red);
    EXPECT_EQ(page.pixel(150, 50), Blue);
    EXPECT_EQ(page.pixel(12, 12), White);

    // A metafile with a bitmap does carry an image: the check above can fail.
    QByteArray stretchDib;
    Put32(stretchDib, 0x00CC0020);
    for (int v : {0, 2, 2, 0, 0, 100, 200, 0, 0})
        Put16(stretchDib, v);
    TWmfWriter withBitmap;
    withBitmap.Window(0, 0, 200, 100).Rec(0x0F43, {}, stretchDib + Dib24({{Red, Green}, {Blue, White}}));
    EXPECT_TRUE(print(withBitmap.Plain(), "bitmap").second);
}

namespace {

// A device whose engine counts what the painter hands it: clip changes, the
// rectangles and path elements they carry, and drawings. Like the PDF engine
// it gets every clip change as it is made.
class TCountingEngine : public QPaintEngine
{
public:
    TCountingEngine()
        : QPaintEngine(QPaintEngine::AllFeatures)
    {
    }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyClipPath) {
            ++clipChanges;
            clipParts += state.clipPath().elementCount();
        } else if (state.state() & QPaintEngine::DirtyClipRegion) {
            ++clipChanges;
            clipParts += state.clipRegion().rectCount();
        }
    }
    void drawPath(const QPainterPath &) override { ++drawings; }
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override { ++drawings; }
    void drawRects(const QRectF *, int count) override { drawings += count; }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override { ++drawings; }
    Type type() const override { return QPaintEngine::User; }

    int clipChanges = 0;
    int64_t clipParts = 0;
    int drawings = 0;
};

class TCountingDevice : public QPaintDevice
{
public:
    QPaintEngine *paintEngine() const override { return &engine; }
    mutable TCountingEngine engine;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return 400;
        case PdmHeight: return 200;
        case PdmWidthMM: return 106;
        case PdmHeightMM: return 53;
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 96; // the resolutions
        }
    }
};

struct TCounts
{
    int clipChanges;
    int64_t clipParts;
    int drawings;
};

TCounts Count(const QByteArray &metafile)
{
    TCountingDevice device;
    {
        QPainter painter(&device);
        PlayMetafile(painter, QRect(0, 0, 400, 200), metafile);
    }
    const TCountingEngine &e = device.engine;
    return {e.clipChanges, e.clipParts, e.drawings};
}

// WMF: a window of 400 x 200, a green brush, then the clip records, then
// the whole window filled.
QByteArray ClippedFill(const std::function<void(TWmfWriter &)> &clip)
{
    TWmfWriter w;
    w.Window(0, 0, 400, 200).Pen(5, 0, Black).Brush(0, Green).Select(0).Select(1);
    clip(w);
    w.Rectangle(0, 0, 400, 200);
    return w.Plain();
}

QByteArray EmfClippedFill(const std::function<void(QByteArray &)> &clip)
{
    QByteArray records;
    records += Emr(39, Ints({1, 0, 0x00FF00, 0})); // green brush
    records += Emr(37, Ints({1}));
    records += Emr(37, Ints({int(0x80000008)}));   // no outline
    clip(records);
    records += Emr(43, Ints({0, 0, 1000, 500}));
    return Emf(records);
}

} // namespace

// Clip records change the player's own clip; the device gets the clip in
// force once, when something is drawn, and a clip of rectangles stays a few
// rectangles however many records make it.
TEST(MetafileTest, ClipRecordsReachTheDeviceOnlyWhenSomethingIsDrawn)
{
    // 20,000 intersections, the last ones narrowing to 100,50 - 300,150.
    const QByteArray narrowing = ClippedFill([](TWmfWriter &w) {
        for (int i = 0; i < 20000; ++i) {
            const int inset = std::min(i / 100, 50);
            w.Rec(0x0416, {200 - inset, 400 - 2 * inset, inset, 2 * inset});
        }
    });
    const TCounts intersected = Count(narrowing);
    EXPECT_LE(intersected.clipChanges, 8); // the frame's, the records', restoring them
    EXPECT_EQ(intersected.drawings, 1);
    QImage image = Render(narrowing, QSize(400, 200), QRect(0, 0, 400, 200));
    EXPECT_EQ(image.pixel(200, 100), Green);
    EXPECT_EQ(image.pixel(101, 51), Green);
    EXPECT_EQ(image.pixel(98, 100), White);
    EXPECT_EQ(image.pixel(200, 151), White);

    // 5,000 holes cut out of the clip: the first ones are kept exactly, the
    // clip stays within its bound of rectangles, and a SaveDC before them
    // brings the whole picture back.
    const auto holes = [](TWmfWriter &w, int count) {
        for (int i = 0; i < count; ++i) {
            const int x = i % 40 * 10, y = i / 40 % 20 * 10;
            w.Rec(0x0415, {y + 5, x + 5, y, x}); // 5 x 5 at (x, y)
        }
    };
    const QByteArray excluded = ClippedFill([&](TWmfWriter &w) { holes(w, 5000); });
    QElapsedTimer timer;
    timer.start();
    const TCounts counted = Count(excluded);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_LE(counted.clipChanges, 8);
    EXPECT_LE(counted.clipParts, 2000); // a few hundred rectangles, once
    EXPECT_EQ(counted.drawings, 1);
    image = Render(excluded, QSize(400, 200), QRect(0, 0, 400, 200));
    EXPECT_EQ(image.pixel(2, 2), White);   // the first hole
    EXPECT_EQ(image.pixel(12, 2), White);  // the second
    EXPECT_EQ(image.pixel(7, 7), Green);   // between them
    EXPECT_EQ(image.pixel(397, 197), Green);

    const QByteArray restored = ClippedFill([&](TWmfWriter &w) {
        w.Rec(0x001E, {});
        holes(w, 200);
        w.Rectangle(0, 0, 1, 1);
        w.Rec(0x0127, {0xFFFF});
    });
    image = Render(restored, QSize(400, 200), QRect(0, 0, 400, 200));
    EXPECT_EQ(image.pixel(2, 2), Green);
    EXPECT_EQ(Count(restored).drawings, 2);

    // EMF alike: 5,000 holes in a frame of 1000 x 500 device pixels.
    const QByteArray emf = EmfClippedFill([](QByteArray &records) {
        for (int i = 0; i < 5000; ++i) {
            const int x = i % 100 * 10, y = i / 100 % 50 * 10;
            records += Emr(29, Ints({x, y, x + 5, y + 5}));
        }
    });
    timer.restart();
    const TCounts emfCounted = Count(emf);
    EXPECT_LT(timer.elapsed(), 5000);
    EXPECT_LE(emfCounted.clipChanges, 8);
    EXPECT_EQ(emfCounted.drawings, 1);
    EXPECT_LE(emfCounted.clipParts, 2000);
    image = Render(emf, QSize(200, 100), QRect(0, 0, 200, 100));
    EXPECT_EQ(image.pixel(0, 0), White);
    EXPECT_EQ(image.pixel(199, 99), Green);
}

// A new WMF object takes the lowest free slot of its table in constant time,
// however large the table.
TEST(MetafileTest, ObjectsFindTheLowestFreeSlotOfALargeTable)
{
    TWmfWriter w;
    w.Window(0, 0, 300, 100).Pen(5, 0, Black).Select(0); // slot 0
    for (int i = 1; i < 65000; ++i)
        w.Brush(0, Black);
    // The last slot but one freed and taken again, again and again.
    for (int i = 0; i < 50000; ++i)
        w.Rec(0x01F0, {64999}).Brush(0, Black);
    // Freed out of order, one twice: new objects go to 7, 30000, 40000,
    // then to the end of the table.
    for (int slot : {40000, 7, 30000, 7})
        w.Rec(0x01F0, {slot});
    w.Brush(0, Red).Brush(0, Green).Brush(0, Blue).Brush(0, Yellow);
    for (auto [slot, left] : {std::pair{7, 0}, {30000, 100}, {40000, 200}}) {
        w.Select(slot).Rectangle(left, 0, left + 100, 50);
    }
    w.Select(65000).Rectangle(0, 50, 300, 100);

    QElapsedTimer timer;
    timer.start();
    const QImage image = Render(w.Plain(65535), QSize(300, 100), QRect(0, 0, 300, 100));
    EXPECT_LT(timer.elapsed(), 2000);
    EXPECT_EQ(image.pixel(50, 25), Red);
    EXPECT_EQ(image.pixel(150, 25), Green);
    EXPECT_EQ(image.pixel(250, 25), Blue);
    EXPECT_EQ(image.pixel(150, 75), Yellow);
}

// A picture is played up to a bounded amount of work: what lies beyond it
// is not drawn.
TEST(MetafileTest, APictureIsPlayedOnlyUpToItsShareOfWork)
{
    const auto after = [](int64_t records) {
        QByteArray setBkMode;
        Put32(setBkMode, 4);
        Put16(setBkMode, 0x0102);
        Put16(setBkMode, 1);
        TWmfWriter w;
        w.Window(0, 0, 100, 100).Pen(5, 0, Black).Brush(0, Blue).Select(0).Select(1);
        w.Raw(setBkMode.repeated(records));
        w.Rectangle(0, 0, 100, 100);
        return Render(w.Plain(), QSize(100, 100), QRect(0, 0, 100, 100)).pixel(50, 50);
    };
    // Seven records before the ones repeated, the rectangle after them.
    EXPECT_EQ(after(kMaxMetafileWork - 8), Blue);
    EXPECT_EQ(after(kMaxMetafileWork), White);
}
