// The nested groups (font, pen, brush, string list, bitmap, picture, rich
// text) and the text label kinds' stored data.
#include "DocumentTestSupport.h"
#include "shell/CardKinds.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "objects/Gpslabel.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPainter>
#include <functional>
#include <memory>
#include <vector>

namespace {

QByteArray Prop(const QByteArray &path, const QByteArray &value)
{
    return ShortName(path) + value;
}

QByteArray Le32(uint32_t v)
{
    QByteArray b;
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
    return b;
}

QByteArray PropertyBytes(const TPersistent &object)
{
    TStreamWriter writer;
    WriteProperties(writer, object);
    return writer.Data();
}

// Everything after the base entries that every card object writes.
QByteArray OwnEntries(const TGGraphicControl &object)
{
    TGGraphicControl bare;
    bare.SetBounds(object.Left(), object.Top(), object.Width(), object.Height());
    return PropertyBytes(object).mid(PropertyBytes(bare).size());
}

// A placeable Windows metafile by hand: 22-byte header, a 9-word metafile
// header and the end record.
QByteArray SmallMetafile()
{
    return Hex("D7 CD C6 9A"             // key
               "00 00"                   // handle
               "00 00 00 00 64 00 64 00" // bounds 0,0 - 100,100
               "60 00"                   // units per inch
               "00 00 00 00"             // reserved
               "00 00"                   // checksum (not checked)
               "01 00 09 00 00 03"       // disk metafile, 9-word header, version 0x300
               "0C 00 00 00"             // size in words
               "00 00"                   // objects
               "03 00 00 00"             // largest record
               "00 00"                   // no parameters
               "03 00 00 00 00 00");     // end of metafile
}

// A copy of reference compares equal and takes an equal Assign without a
// notice; after each change it compares unequal and Assign brings it back.
template <class G>
void ExpectEachAttributeCounts(const G &reference,
                               const std::vector<std::function<void(G &)>> &changes)
{
    for (size_t i = 0; i < changes.size(); ++i) {
        G copy;
        int notices = 0;
        copy.OnChange = [&] { ++notices; };
        copy.Assign(reference);
        EXPECT_TRUE(copy == reference) << i;
        EXPECT_FALSE(copy != reference) << i;
        notices = 0;
        copy.Assign(reference);
        EXPECT_EQ(notices, 0) << i;
        changes[i](copy);
        EXPECT_FALSE(copy == reference) << i;
        EXPECT_TRUE(copy != reference) << i;
        copy.Assign(reference);
        EXPECT_EQ(notices, 2) << i;
        EXPECT_TRUE(copy == reference) << i;
    }
}

class GroupsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterCardObjectKinds();
        RegisterTestKinds();
        owner = std::make_unique<QObject>();
    }

    template <class T> T *RoundTrip(T *object)
    {
        TGLabelObjectFiler filer;
        const QList<TGGraphicControl *> read =
            CardObjects(filer.ReadObjects(WriteObjectList({object}), owner.get(), nullptr));
        EXPECT_EQ(read.size(), 1);
        return qobject_cast<T *>(read.value(0));
    }

    std::unique_ptr<QObject> owner;
};

} // namespace

TEST_F(GroupsTest, FontSizesStylesAndChangeNotices)
{
    TGFont font;
    int changes = 0;
    font.OnChange = [&] { ++changes; };

    font.SetHeight(-16);
    EXPECT_EQ(font.Size(), 12);
    font.SetHeight(-14); // 10.5 points rounds away from zero
    EXPECT_EQ(font.Size(), 11);
    font.SetSize(10);
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(changes, 3);
    font.SetSize(10); // same height: no notice
    font.SetName(QStringLiteral("Arial"));
    font.SetStyle(0);
    EXPECT_EQ(changes, 3);
    font.SetName(QString(40, QLatin1Char('N')));
    EXPECT_EQ(font.Name().size(), 31);
    font.SetStyle(fsBold | fsUnderline);
    font.SetColor(255);
    font.SetPitch(fpVariable);
    EXPECT_EQ(changes, 7);

    font.SetName(QStringLiteral("Arial"));
    font.SetHeight(-16);
    QFont q = font.ToQFont();
    EXPECT_EQ(q.pixelSize(), 16);
    EXPECT_EQ(q.family(), QStringLiteral("Arial"));
    EXPECT_TRUE(q.bold());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.italic());
    // At 150 % the 12-point font is drawn at 18 points, 24 pixels.
    EXPECT_EQ(font.ToQFont(1.5).pixelSize(), 24);
    font.SetSize(10); // 13 px; 2.0 gives 20 points, 27 px
    EXPECT_EQ(font.ToQFont(2.0).pixelSize(), 27);

    changes = 0;
    QFont chosen(QStringLiteral("Times New Roman"));
    chosen.setPointSize(12);
    chosen.setItalic(true);
    font.Assign(chosen);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(font.Height(), -16);
    EXPECT_EQ(font.Style(), uint32_t(fsItalic));
    EXPECT_EQ(font.Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(font.Color(), TColor(255)); // colour is not part of a Qt font
    TGFont copy;
    copy.Assign(font);
    EXPECT_EQ(copy.Height(), -16);
    EXPECT_EQ(copy.Pitch(), fpVariable);
    EXPECT_EQ(copy.Color(), TColor(255));
}

TEST_F(GroupsTest, PenAndBrushWriteOnlyWhatDiffersFromTheirDefaults)
{
    TGPen pen;
    TGBrush brush;
    EXPECT_TRUE(PropertyBytes(pen).isEmpty());
    EXPECT_TRUE(PropertyBytes(brush).isEmpty());
    pen.SetWidth(3);
    pen.SetStyle(psDot);
    pen.SetMode(pmXor);
    pen.SetColor(0x0000FF);
    EXPECT_EQ(PropertyBytes(pen), Prop("Color", Hex("07") + ShortName("clRed")) +
                                      Prop("Mode", Hex("07") + ShortName("pmXor")) +
                                      Prop("Style", Hex("07") + ShortName("psDot")) +
                                      Prop("Width", Hex("02 03")));
    brush.SetStyle(bsClear);
    brush.SetColor(0x123456);
    EXPECT_EQ(PropertyBytes(brush), Prop("Color", Hex("04 56 34 12 00")) +
                                        Prop("Style", Hex("07") + ShortName("bsClear")));

    TTestGroupsObject object(owner.get());
    object.Pen()->Assign(pen);
    object.Brush()->Assign(brush);
    auto *copy = RoundTrip(&object);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Pen()->Width(), 3);
    EXPECT_EQ(copy->Pen()->Style(), psDot);
    EXPECT_EQ(copy->Pen()->Mode(), pmXor);
    EXPECT_EQ(copy->Pen()->Color(), TColor(255));
    EXPECT_EQ(copy->Brush()->Style(), bsClear);
    EXPECT_EQ(copy->Brush()->Color(), TColor(0x123456));
}

// Each group compares every attribute it stores, one at a time, and not its
// change notice; Assign leaves an equal group alone.
TEST_F(GroupsTest, GroupsCompareEveryStoredAttribute)
{
    TGFont font;
    font.SetName(QStringLiteral("Courier New"));
    font.SetHeight(-20);
    font.SetStyle(fsItalic);
    font.SetColor(0x00FF00);
    font.SetPitch(fpFixed);
    ExpectEachAttributeCounts<TGFont>(font, {
                                                [](TGFont &f) { f.SetColor(0x00FF01); },
                                                [](TGFont &f) { f.SetHeight(21); },
                                                [](TGFont &f) { f.SetName("Arial"); },
                                                [](TGFont &f) { f.SetPitch(fpVariable); },
                                                [](TGFont &f) { f.SetStyle(fsBold); },
                                            });

    TGPen pen;
    pen.SetColor(0x0000FF);
    pen.SetMode(pmXor);
    pen.SetStyle(psDash);
    pen.SetWidth(4);
    ExpectEachAttributeCounts<TGPen>(pen, {
                                              [](TGPen &p) { p.SetColor(0x0000FE); },
                                              [](TGPen &p) { p.SetMode(pmNotXor); },
                                              [](TGPen &p) { p.SetStyle(psDot); },
                                              [](TGPen &p) { p.SetWidth(5); },
                                          });

    TGBrush brush;
    brush.SetColor(0x123456);
    brush.SetStyle(bsCross);
    ExpectEachAttributeCounts<TGBrush>(brush, {
                                                  [](TGBrush &b) { b.SetColor(0x123457); },
                                                  [](TGBrush &b) { b.SetStyle(bsDiagCross); },
                                              });
}

TEST_F(GroupsTest, StringListsAreWrittenAsAListOfStrings)
{
    TTestGroupsObject object(owner.get());
    EXPECT_EQ(OwnEntries(object), QByteArray()); // empty list: no entry
    int changes = 0;
    object.Items()->OnChange = [&] { ++changes; };
    object.Items()->SetLines({QStringLiteral("one"), QStringLiteral("it's"), QString()});
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(OwnEntries(object), Prop("Items.Strings", Hex("01 06 03") + "one" + Hex("06 04") +
                                                            "it's" + Hex("06 00 00")));
    const auto dump = object.Items()->DumpDefinedEntries();
    ASSERT_EQ(dump.size(), 1u);
    EXPECT_EQ(dump[0].first, QStringLiteral("Strings"));
    EXPECT_EQ(dump[0].second, QStringLiteral("(\n    'one'\n    'it''s'\n    ''\n  )"));

    auto *copy = RoundTrip(&object);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Items()->Lines(), object.Items()->Lines());

    // Reading empties the list first; a value that is not a string is refused.
    TStreamReader replace(Hex("01 06 01 7A 00"));
    EXPECT_TRUE(copy->Items()->ReadDefinedEntry(QStringLiteral("strings"), replace));
    EXPECT_EQ(copy->Items()->Lines(), QStringList{QStringLiteral("z")});
    TStreamReader bad(Hex("01 02 05 00"));
    EXPECT_THROW(copy->Items()->ReadDefinedEntry(QStringLiteral("Strings"), bad), EStreamError);
    TStreamReader other(Hex("01 00"));
    EXPECT_FALSE(copy->Items()->ReadDefinedEntry(QStringLiteral("Lines"), other));
    EXPECT_EQ(other.Position(), 0);
}

TEST_F(GroupsTest, BitmapsKeepTheirBmpBytesAndEncodeNewImagesAs24Bit)
{
    const QByteArray bmp = SmallBmp();
    ASSERT_EQ(bmp.size(), 70);

    // The encoder writes exactly the hand-made file for the same pixels.
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, qRgb(0, 0, 255));
    image.setPixel(1, 0, qRgb(0, 255, 0));
    image.setPixel(0, 1, qRgb(255, 0, 0));
    image.setPixel(1, 1, qRgb(255, 255, 255));
    EXPECT_EQ(EncodeBmp24(image).toHex(' '), bmp.toHex(' '));
    // Rows of 3 pixels (9 bytes) are padded to 12.
    const QByteArray wide = EncodeBmp24(QImage(3, 1, QImage::Format_RGB32));
    EXPECT_EQ(wide.size(), 54 + 12);
    EXPECT_EQ(wide.mid(2, 4), Le32(66));

    TTestGroupsObject object(owner.get());
    object.Image()->SetBmpBytes(bmp);
    EXPECT_EQ(object.Image()->Image().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(object.Image()->Image().pixel(0, 1), qRgb(255, 0, 0));
    EXPECT_EQ(OwnEntries(object), Prop("Image.Data", Hex("0A") + Le32(74) + Le32(70) + bmp));
    auto *copy = RoundTrip(&object);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Image()->BmpBytes(), bmp);
    EXPECT_EQ(copy->Image()->Image().pixel(1, 0), qRgb(0, 255, 0));

    // A size of 0 empties the bitmap.
    TStreamReader empty(Hex("0A 04 00 00 00 00 00 00 00"));
    copy->Image()->ReadDefinedEntry(QStringLiteral("Data"), empty);
    EXPECT_TRUE(copy->Image()->IsEmpty());

    // Headers other than 40 or 12 bytes, a wrong signature and pixel rows
    // that the data does not hold are all refused.
    auto invalid = [](QByteArray data) {
        try {
            TGBitmap b;
            b.SetBmpBytes(data);
        } catch (const EStreamError &e) {
            return e.Message() == QStringLiteral("Bitmap image is not valid");
        }
        return false;
    };
    QByteArray v4 = bmp;
    v4[14] = char(108);
    EXPECT_TRUE(invalid(v4));
    QByteArray signature = bmp;
    signature[1] = 'A';
    EXPECT_TRUE(invalid(signature));
    EXPECT_TRUE(invalid(bmp.left(69)));
    QByteArray tall = bmp;
    tall[22] = char(0x7F); // height 127 rows
    EXPECT_TRUE(invalid(tall));
    QByteArray huge = bmp;
    huge.replace(18, 4, Le32(0x7FFFFFFF));
    EXPECT_TRUE(invalid(huge));
    EXPECT_TRUE(invalid(QByteArray("BM")));

    // An OS/2 bitmap with a 12-byte header is taken.
    const QByteArray os2 = Hex("42 4D 1E 00 00 00 00 00 00 00 1A 00 00 00"
                               "0C 00 00 00 01 00 01 00 01 00 18 00"
                               "00 00 FF 00");
    TGBitmap old;
    old.SetBmpBytes(os2);
    EXPECT_EQ(old.Image().pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(GroupsTest, PictureEntriesFollowTheLayoutAndComeBackUnchanged)
{
    const QByteArray bmp = SmallBmp();
    TTestGroupsObject object(owner.get());
    object.Picture()->SetBitmapData(bmp);
    EXPECT_EQ(object.Picture()->GraphicClassName(), QStringLiteral("TBitmap"));

    // 13-byte name, svBinary, N = 12 + S, "TBitmap", S, the BMP file.
    const QByteArray expected = Hex("0C") + "Picture.Data" + Hex("0A") + Le32(12 + 70) + Hex("07") +
                                "TBitmap" + Le32(70) + bmp;
    EXPECT_EQ(OwnEntries(object).toHex(' '), expected.toHex(' '));
    auto *copy = RoundTrip(&object);
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->Picture()->IsBitmap());
    EXPECT_EQ(copy->Picture()->GraphicData(), bmp);
    EXPECT_EQ(OwnEntries(*copy), expected);

    QImage canvas(4, 4, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    {
        QPainter painter(&canvas);
        copy->Picture()->Draw(painter, QRect(0, 0, 4, 4));
    }
    EXPECT_EQ(canvas.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(canvas.pixel(3, 3), qRgb(255, 255, 255));

    // A class name that is none of the three leaves the picture as it was.
    TStreamReader jpeg(Hex("0A 0D 00 00 00 0A") + "TJPEGImage" + Hex("00 00"));
    EXPECT_TRUE(copy->Picture()->ReadDefinedEntry(QStringLiteral("Data"), jpeg));
    EXPECT_TRUE(copy->Picture()->IsBitmap());
    EXPECT_EQ(copy->Picture()->GraphicData(), bmp);
    // Compared exactly: "tbitmap" is not "TBitmap".
    TStreamReader lower(Hex("0A 08 00 00 00 07") + "tbitmap");
    copy->Picture()->ReadDefinedEntry(QStringLiteral("Data"), lower);
    EXPECT_EQ(copy->Picture()->GraphicData(), bmp);

    // A metafile: its length counts itself; the bytes come back as they went.
    const QByteArray wmf = SmallMetafile();
    object.Picture()->SetMetafileData(wmf);
    const QByteArray metaEntry = Hex("0C") + "Picture.Data" + Hex("0A") +
                                 Le32(10 + 4 + wmf.size()) + Hex("09") + "TMetafile" +
                                 Le32(wmf.size() + 4) + wmf;
    EXPECT_EQ(OwnEntries(object), metaEntry);
    auto *metaCopy = RoundTrip(&object);
    ASSERT_NE(metaCopy, nullptr);
    EXPECT_EQ(metaCopy->Picture()->GraphicKind(), TPicture::Kind::Metafile);
    EXPECT_EQ(metaCopy->Picture()->GraphicData(), wmf);

    // An icon: the icon file follows the class name directly.
    QImage dot(16, 16, QImage::Format_ARGB32);
    dot.fill(qRgb(0, 128, 0));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(QImageWriter(&buffer, "ico").write(dot));
    const QByteArray ico = buffer.data();
    ASSERT_TRUE(object.Picture()->SetIconData(ico));
    EXPECT_EQ(OwnEntries(object), Hex("0C") + "Picture.Data" + Hex("0A") + Le32(6 + ico.size()) +
                                      Hex("05") + "TIcon" + ico);
    auto *iconCopy = RoundTrip(&object);
    ASSERT_NE(iconCopy, nullptr);
    EXPECT_EQ(iconCopy->Picture()->GraphicClassName(), QStringLiteral("TIcon"));
    EXPECT_EQ(iconCopy->Picture()->GraphicData(), ico);
    EXPECT_EQ(iconCopy->Picture()->Image().pixel(8, 8), qRgb(0, 128, 0));

    // Dump text of the entry.
    const auto dump = iconCopy->Picture()->DumpDefinedEntries();
    ASSERT_EQ(dump.size(), 1u);
    EXPECT_EQ(dump[0].second, QStringLiteral("{%1 bytes}").arg(6 + ico.size()));
    object.Picture()->Clear();
    EXPECT_TRUE(OwnEntries(object).isEmpty());
}

TEST_F(GroupsTest, PicturesLoadFromFilesByTheirExtension)
{
    QTemporaryDir dir;
    TPicture picture;
    EXPECT_FALSE(picture.LoadFromFile(dir.filePath(QStringLiteral("none.bmp"))));
    EXPECT_TRUE(picture.IsEmpty());

    const QString bmpPath = dir.filePath(QStringLiteral("dots.BMP"));
    WriteAll(bmpPath, SmallBmp());
    ASSERT_TRUE(picture.LoadFromFile(bmpPath));
    EXPECT_TRUE(picture.IsBitmap());
    EXPECT_EQ(picture.GraphicData(), SmallBmp()); // kept as it was

    // Other formats become 24-bit bitmaps.
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(qRgb(10, 20, 30));
    const QString pngPath = dir.filePath(QStringLiteral("fill.png"));
    ASSERT_TRUE(image.save(pngPath));
    ASSERT_TRUE(picture.LoadFromFile(pngPath));
    EXPECT_EQ(picture.GraphicClassName(), QStringLiteral("TBitmap"));
    EXPECT_TRUE(IsValidBmpFile(picture.GraphicData()));
    EXPECT_EQ(picture.GraphicData().mid(28, 2), Hex("18 00"));
    EXPECT_EQ(picture.Image().pixel(2, 1), qRgb(10, 20, 30));

    const QString wmfPath = dir.filePath(QStringLiteral("art.wmf"));
    WriteAll(wmfPath, SmallMetafile());
    ASSERT_TRUE(picture.LoadFromFile(wmfPath));
    EXPECT_EQ(picture.GraphicClassName(), QStringLiteral("TMetafile"));
    EXPECT_EQ(picture.GraphicData(), SmallMetafile());
    // A plain metafile without the placeable header is taken too.
    WriteAll(wmfPath, SmallMetafile().mid(22));
    ASSERT_TRUE(picture.LoadFromFile(wmfPath));
    EXPECT_EQ(picture.GraphicData(), SmallMetafile().mid(22));

    // Garbage leaves the picture as it was.
    const QString junk = dir.filePath(QStringLiteral("junk.wmf"));
    WriteAll(junk, QByteArray("not a metafile at all"));
    EXPECT_FALSE(picture.LoadFromFile(junk));
    const QString junkPng = dir.filePath(QStringLiteral("junk.png"));
    WriteAll(junkPng, QByteArray("nor a png"));
    EXPECT_FALSE(picture.LoadFromFile(junkPng));
    EXPECT_EQ(picture.GraphicData(), SmallMetafile().mid(22));

    // Copies take the graphic but keep their own change notice.
    int changes = 0;
    TPicture other;
    other.OnChange = [&] { ++changes; };
    other = picture;
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(other.GraphicData(), picture.GraphicData());
}

TEST_F(GroupsTest, RichTextIsStoredWithFourZeroBytesAfterIt)
{
    TTestGroupsObject object(owner.get());
    const QByteArray rtf = "{\\rtf1 Hello}";
    object.RTFText()->SetRtf(rtf);
    EXPECT_EQ(OwnEntries(object),
              Prop("RTFText.Data", Hex("0A") + Le32(rtf.size() + 4) + rtf + Hex("00 00 00 00")));
    auto *copy = RoundTrip(&object);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->RTFText()->Rtf(), rtf);
}

TEST_F(GroupsTest, DumpShowsEveryWrittenEntryInWritingOrder)
{
    TTestGroupsObject object(owner.get());
    object.SetName(QStringLiteral("Component4"));
    object.SetBounds(1, 2, 30, 40);
    object.SetHint(QStringLiteral("Say 'hi'"));
    object.SetRatio(0.1);
    object.Items()->SetLines({QStringLiteral("a")});
    object.Pen()->SetWidth(2);
    object.Image()->SetBmpBytes(SmallBmp());
    EXPECT_EQ(DumpObject(object), (QStringList{
                                      "object Component4: TTestGroupsObject",
                                      "  Left = 1",
                                      "  Top = 2",
                                      "  Width = 30",
                                      "  Height = 40",
                                      "  Hint = 'Say ''hi'''",
                                      "  Locked = False",
                                      "  Unselectable = False",
                                      "  Ratio = 0.1",
                                      "  Items.Strings = (\n    'a'\n  )",
                                      "  Pen.Width = 2",
                                      "  Image.Data = {74 bytes}",
                                      "end",
                                  }));
}

TEST_F(GroupsTest, TextLabelsStartWithTheirCreationValues)
{
    TGBusinessCardLabel label(owner.get());
    EXPECT_EQ(label.Width(), 142);
    EXPECT_EQ(label.Height(), 33);
    EXPECT_EQ(label.Caption(), QStringLiteral("Text"));
    EXPECT_EQ(label.Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(label.Font()->Size(), 10);
    EXPECT_EQ(label.Font()->Color(), TColor(0));
    EXPECT_FALSE(label.ParentFont());
    EXPECT_TRUE(label.Transparent());
    EXPECT_EQ(label.BackColor(), TColor(0xFFFFFF));
    EXPECT_EQ(label.BorderStyle(), bsNone);
    EXPECT_EQ(label.DirectionShadow(), sdDownRight);
    EXPECT_EQ(label.DirectionHighlight(), hdUpLeft);
    EXPECT_EQ(label.ColorHighlight(), TColor(16776960));

    // The table: base entries, then the label's own in stored order.
    QStringList names;
    for (const TPropertyDescriptor &d : label.PropertyTable())
        names.append(d.name);
    EXPECT_EQ(names, (QStringList{"Name",
                                  "Tag",
                                  "Left",
                                  "Top",
                                  "Width",
                                  "Height",
                                  "Cursor",
                                  "Hint",
                                  "Locked",
                                  "Unselectable",
                                  "Alignment",
                                  "DepthHighlight",
                                  "DepthShadow",
                                  "DirectionHighlight",
                                  "DirectionShadow",
                                  "colorHighlight",
                                  "colorShadow",
                                  "Angle",
                                  "Caption",
                                  "Font",
                                  "Transparent",
                                  "BackColor",
                                  "BorderStyle"}));

    // The font is stored only while ParentFont is off; any font change turns it off.
    label.SetParentFont(true);
    EXPECT_FALSE(DumpObject(label).join('\n').contains(QStringLiteral("Font.Name")));
    label.Font()->SetColor(0x0000FF);
    EXPECT_FALSE(label.ParentFont());
    EXPECT_TRUE(DumpObject(label).join('\n').contains(QStringLiteral("Font.Name = 'Arial'")));

    // Quarter turns only; turning swaps the sides and forces left alignment.
    label.SetAlignment(taCenter);
    label.SetAngle(45);
    EXPECT_EQ(label.Angle(), 0);
    label.SetAngle(90);
    EXPECT_EQ(label.Angle(), 90);
    EXPECT_EQ(label.Width(), 33);
    EXPECT_EQ(label.Height(), 142);
    EXPECT_EQ(label.Alignment(), taLeftJustify);
    label.SetAngle(0);
    EXPECT_EQ(label.Width(), 142);
    EXPECT_EQ(label.Alignment(), taLeftJustify);

    label.SetDepthShadow(3);
    label.SetDepthHighlight(2);
    EXPECT_EQ(label.ShadowOffset(), QPoint(3, 3));
    EXPECT_EQ(label.HighlightOffset(), QPoint(-2, -2));
    label.SetDirectionHighlight(hdright);
    EXPECT_EQ(label.HighlightOffset(), QPoint(2, 0));

    TGSymbolLabel symbol(owner.get());
    EXPECT_EQ(symbol.Font()->Name(), QStringLiteral("WingDings"));
    EXPECT_EQ(symbol.Font()->Size(), 24);
    EXPECT_EQ(symbol.Caption(), QStringLiteral("["));
    symbol.AssignFont(QFont(QStringLiteral("Courier New")));
    EXPECT_EQ(symbol.Font()->Name(), QStringLiteral("WingDings"));
    label.AssignFont(QFont(QStringLiteral("Courier New")));
    EXPECT_EQ(label.Font()->Name(), QStringLiteral("Courier New"));
}

TEST_F(GroupsTest, KindsEnterTheirBasesOnceAndAreFoundInAnyCase)
{
    TObjectKindRegistry registry;
    registry.Register<TGBusinessCardLabel>();
    EXPECT_EQ(registry.Names(), (QStringList{"TGBusinessCardLabel", "TGPLabel", "TGBaseLabel"}));
    registry.Register<TGSymbolLabel>(); // its base is present already
    registry.Register<TGPLabel>();      // present: nothing changes
    EXPECT_EQ(registry.Names(),
              (QStringList{"TGBusinessCardLabel", "TGPLabel", "TGBaseLabel", "TGSymbolLabel"}));
    EXPECT_TRUE(registry.Contains(QStringLiteral("tgplabel")));
    EXPECT_FALSE(registry.Contains(QStringLiteral("TGGraphicControl")));

    QObject owner;
    TStoredObject *made = registry.Create(QStringLiteral("TGBASELABEL"), &owner);
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->metaObject()->className(), "TGBaseLabel");
    EXPECT_EQ(made->parent(), &owner);
    EXPECT_EQ(registry.Create(QStringLiteral("TGLineShapeX"), &owner), nullptr);

    // The card surface enters the eleven kinds in its order.
    RegisterCardObjectKinds();
    const QStringList names = TObjectKindRegistry::Instance().Names();
    const QStringList kinds = {"TGLineShape",      "TGImage",          "TGLabelShapes",
                               "TBCShapes",        "TGPLabel",         "TGBusinessCardLabel",
                               "TGSymbolLabel",    "TGMultiLineLabel", "TSuperShape",
                               "TGPRichBaseLabel", "TGSuperText"};
    qsizetype last = -1;
    for (const QString &kind : kinds) {
        const qsizetype at = names.indexOf(kind);
        EXPECT_GT(at, last) << kind.toStdString();
        last = at;
    }
    EXPECT_TRUE(names.contains(QStringLiteral("TGBaseLabel")));
    EXPECT_TRUE(names.contains(QStringLiteral("TGMultiLineBaseLabel")));
}
