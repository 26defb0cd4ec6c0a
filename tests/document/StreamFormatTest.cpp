// The component stream's byte format: golden bytes written from the format
// rules, value widths, identifiers, strings, sets, floats and the messages of
// damaged streams.
#include "DocumentTestSupport.h"
#include "shell/CardKinds.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "objects/Gpslabel.h"

#include <QObject>
#include <cmath>
#include <limits>
#include <memory>

namespace {

QByteArray Prop(const QByteArray &path, const QByteArray &value)
{
    return ShortName(path) + value;
}

QByteArray Record(const QByteArray &className, const QByteArray &name, const QByteArray &props)
{
    return QByteArray("TPF0") + ShortName(className) + ShortName(name) + props + Hex("00 00");
}

QByteArray List(const QByteArray &records)
{
    return Hex("01") + records + Hex("00");
}

QByteArray LabelRecord(const QByteArray &props)
{
    return Record("TGBusinessCardLabel", "Component9", props);
}

// The bytes of one property entry as the writer writes it for the object.
QByteArray EntryOf(const TGGraphicControl &object, const QByteArray &path)
{
    TStreamWriter writer;
    WriteProperties(writer, object);
    const QByteArray all = writer.Data();
    TStreamReader reader(all);
    while (!reader.AtEnd()) {
        const qsizetype start = reader.Position();
        const QString name = reader.ReadShortName();
        reader.SkipValue();
        if (name == QString::fromLatin1(path))
            return all.mid(start, reader.Position() - start);
    }
    return QByteArray();
}

class StreamFormatTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterCardObjectKinds();
        RegisterTestKinds();
        owner = std::make_unique<QObject>();
    }

    QList<TGGraphicControl *> Read(const QByteArray &bytes)
    {
        TGLabelObjectFiler filer;
        return CardObjects(filer.ReadObjects(bytes, owner.get(), nullptr));
    }

    // The message of the error that reading the bytes into a new owner raises
    // (empty when none).
    QString ReadError(const QByteArray &bytes)
    {
        QObject freshOwner;
        try {
            TGLabelObjectFiler().ReadObjects(bytes, &freshOwner, nullptr);
        } catch (const EStreamError &e) {
            return e.Message();
        }
        return QString();
    }

    TGBusinessCardLabel *ReadLabel(const QByteArray &props)
    {
        const QList<TGGraphicControl *> objects = Read(List(LabelRecord(props)));
        EXPECT_EQ(objects.size(), 1);
        return qobject_cast<TGBusinessCardLabel *>(objects.value(0));
    }

    std::unique_ptr<QObject> owner;
};

} // namespace

TEST_F(StreamFormatTest, WorkedExampleIsWrittenReadAndWrittenAgainByteForByte)
{
    const QByteArray golden = WorkedExampleBytes();
    ASSERT_EQ(golden.size(), 257);

    TGBusinessCardLabel *label = MakeWorkedExampleLabel(owner.get());
    EXPECT_EQ(WriteObjectList({label}).toHex(' '), golden.toHex(' '));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CARD.TSC"));
    TGLabelObjectFiler().SaveObject(label, path);
    EXPECT_EQ(ReadAll(path), golden);

    // Read into an owner that already has a Component0: the copy is renamed.
    const QList<TGGraphicControl *> objects =
        CardObjects(TGLabelObjectFiler().LoadObjects(owner.get(), nullptr, path));
    ASSERT_EQ(objects.size(), 1);
    auto *copy = qobject_cast<TGBusinessCardLabel *>(objects.at(0));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Name(), QStringLiteral("Component1"));
    EXPECT_FALSE(copy->IsLoading());
    EXPECT_EQ(copy->Left(), 24);
    EXPECT_EQ(copy->Top(), 16);
    EXPECT_EQ(copy->Width(), 150);
    EXPECT_EQ(copy->Height(), 22);
    EXPECT_EQ(copy->Alignment(), taCenter);
    EXPECT_EQ(copy->Caption(), QStringLiteral("Sales Manager"));
    EXPECT_EQ(copy->Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(copy->Font()->Height(), -16);
    EXPECT_EQ(copy->Font()->Size(), 12);
    EXPECT_EQ(copy->Font()->Style(), uint32_t(fsBold));
    EXPECT_EQ(copy->Font()->Color(), TColor(0x800000));
    EXPECT_TRUE(copy->Transparent());
    EXPECT_EQ(copy->BackColor(), TColor(0xFFFFFF));
    EXPECT_EQ(copy->BorderStyle(), bsNone);
    EXPECT_EQ(copy->DirectionHighlight(), hdUpLeft);
    EXPECT_EQ(copy->ShadowColor(), TColor(8421504));
    EXPECT_NE(copy->ObjectMenu(), nullptr); // made ready after reading

    // Written again under its first name, the bytes are the same.
    copy->SetName(QStringLiteral("Component0"));
    EXPECT_EQ(WriteObjectList({copy}), golden);
}

TEST_F(StreamFormatTest, IntegersTakeTheSmallestTagThatHoldsThem)
{
    struct Case
    {
        int32_t value;
        const char *bytes;
    };
    const Case cases[] = {
        {0, "02 00"},
        {127, "02 7F"},
        {128, "03 80 00"},
        {-128, "02 80"},
        {-129, "03 7F FF"},
        {32767, "03 FF 7F"},
        {32768, "04 00 80 00 00"},
        {-32768, "03 00 80"},
        {-32769, "04 FF 7F FF FF"},
        {std::numeric_limits<int32_t>::min(), "04 00 00 00 80"},
    };
    for (const Case &c : cases) {
        TStreamWriter writer;
        writer.WriteInteger(c.value);
        EXPECT_EQ(writer.Data(), Hex(c.bytes)) << c.value;
        TStreamReader reader(writer.Data());
        EXPECT_EQ(reader.ReadInteger(), c.value);
    }

    // Through a property: Tag 0 is its default and is left out, 128 takes 3 bytes.
    TGBusinessCardLabel label(owner.get());
    EXPECT_TRUE(EntryOf(label, "Tag").isEmpty());
    label.SetTag(128);
    EXPECT_EQ(EntryOf(label, "Tag"), Prop("Tag", Hex("03 80 00")));
    label.SetTag(32768);
    EXPECT_EQ(EntryOf(label, "Tag"), Prop("Tag", Hex("04 00 80 00 00")));
    label.SetTag(-129);
    EXPECT_EQ(EntryOf(label, "Tag"), Prop("Tag", Hex("03 7F FF")));
}

TEST_F(StreamFormatTest, ColoursAndCursorsUseTheirIdentifiersReadInAnyCase)
{
    TGBusinessCardLabel label(owner.get());
    label.SetBackColor(16777215);
    EXPECT_EQ(EntryOf(label, "BackColor"), Prop("BackColor", Hex("07") + ShortName("clWhite")));
    label.SetBackColor(16777214);
    EXPECT_EQ(EntryOf(label, "BackColor"), Prop("BackColor", Hex("04 FE FF FF 00")));
    label.SetBackColor(0x8000000F); // system colour 15
    EXPECT_EQ(EntryOf(label, "BackColor"), Prop("BackColor", Hex("07") + ShortName("clBtnFace")));
    label.SetBackColor(0x1FFFFFFF);
    EXPECT_EQ(EntryOf(label, "BackColor"), Prop("BackColor", Hex("07") + ShortName("clNone")));
    // clGray and the shadow's default are one value: the default wins, nothing written.
    label.SetShadowColor(0x808080);
    EXPECT_TRUE(EntryOf(label, "colorShadow").isEmpty());
    label.SetShadowColor(0x00FF00);
    EXPECT_EQ(EntryOf(label, "colorShadow"), Prop("colorShadow", Hex("07") + ShortName("clLime")));

    label.SetCursorId(-2);
    EXPECT_EQ(EntryOf(label, "Cursor"), Prop("Cursor", Hex("07") + ShortName("crArrow")));
    label.SetCursorId(5);
    EXPECT_EQ(EntryOf(label, "Cursor"), Prop("Cursor", Hex("02 05")));

    TGBusinessCardLabel *read = ReadLabel(
        Prop("BackColor", Hex("07") + ShortName("CLRED")) +
        Prop("colorHighlight", Hex("07") + ShortName("clbtnface")) +
        Prop("Cursor", Hex("07") + ShortName("CRHELP")) +
        Prop("font.name", Hex("06") + ShortName("Courier New")) + Prop("LEFT", Hex("02 05")) +
        Prop("alignment", Hex("07") + ShortName("TACENTER")) +
        Prop("transparent", Hex("07") + ShortName("false")));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->BackColor(), TColor(255));
    EXPECT_EQ(read->ColorHighlight(), TColor(0x8000000F));
    EXPECT_EQ(read->CursorId(), -20);
    EXPECT_EQ(read->Font()->Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(read->Left(), 5);
    EXPECT_EQ(read->Alignment(), taCenter);
    EXPECT_FALSE(read->Transparent());

    EXPECT_EQ(ReadError(List(LabelRecord(Prop("BackColor", Hex("07") + ShortName("clPink"))))),
              QStringLiteral("Error reading Component0.BackColor: Invalid property value"));
    // An identifier for an integer without an identifier table is refused too.
    EXPECT_EQ(ReadError(List(LabelRecord(Prop("Tag", Hex("07") + ShortName("clRed"))))),
              QStringLiteral("Error reading Component0.Tag: Invalid property value"));
}

TEST_F(StreamFormatTest, StringsTakeTheirTagByLengthAndKeepEveryCharacter)
{
    TGBusinessCardLabel label(owner.get());
    const QString c255(255, QLatin1Char('x'));
    label.SetCaption(c255);
    EXPECT_EQ(EntryOf(label, "Caption"), Prop("Caption", Hex("06 FF") + QByteArray(255, 'x')));
    const QString c256(256, QLatin1Char('y'));
    label.SetCaption(c256);
    EXPECT_EQ(EntryOf(label, "Caption"),
              Prop("Caption", Hex("0C 00 01 00 00") + QByteArray(256, 'y')));
    label.SetCaption(QString());
    EXPECT_TRUE(EntryOf(label, "Caption").isEmpty());

    // Windows-1252 holds accented letters and the euro sign in one byte each.
    label.SetCaption(QString::fromUtf8("Café €5"));
    EXPECT_EQ(EntryOf(label, "Caption"), Prop("Caption", Hex("06 07 43 61 66 E9 20 80 35")));
    // A design file has only the format's own tags: text the code page
    // cannot hold is told before saving, and written with "?" for what it lacks.
    label.SetCaption(QString::fromUtf8("名片 Card"));
    EXPECT_EQ(EntryOf(label, "Caption"), Prop("Caption", Hex("06 07 3F 3F 20 43 61 72 64")));
    const auto losing = ObjectsLosingText({&label});
    ASSERT_EQ(losing.size(), size_t(1));
    EXPECT_EQ(losing.front().first, &label);
    EXPECT_EQ(losing.front().second, QString::fromUtf8("'名片 Card'"));
    // Copies the program reads back itself keep it as UTF-8 (tag 20).
    EXPECT_TRUE(WriteObjectList({&label}, true)
                    .contains(Prop("Caption", Hex("14 0B 00 00 00 E5 90 8D E7 89 87 20 43 61 72 64"))));

    for (const QString &caption : {c255, c256, QString::fromUtf8("Café €5"),
                                   QString::fromUtf8("名片 Card"), QString::fromUtf8("x\u0081y")}) {
        label.SetCaption(caption);
        const QList<TGGraphicControl *> copies = Read(WriteObjectList({&label}, true));
        ASSERT_EQ(copies.size(), 1);
        EXPECT_EQ(static_cast<TGBusinessCardLabel *>(copies.at(0))->Caption(), caption);
        EXPECT_EQ(ObjectsLosingText({&label}).empty(), caption != QString::fromUtf8("名片 Card"));
    }

    // Strings of other producers: UTF-16 (tag 18, count of characters) and UTF-8 (tag 20).
    TGBusinessCardLabel *wide = ReadLabel(Prop("Caption", Hex("12 02 00 00 00 0D 54 72 00")));
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(wide->Caption(), QString::fromUtf8("名r"));
    TGBusinessCardLabel *utf8 = ReadLabel(Prop("Caption", Hex("14 03 00 00 00 E2 82 AC")));
    ASSERT_NE(utf8, nullptr);
    EXPECT_EQ(utf8->Caption(), QString::fromUtf8("€"));
    // A font name is cut to 31 characters when it is set.
    TGBusinessCardLabel *cut = ReadLabel(Prop("Font.Name", Hex("06 28") + QByteArray(40, 'F')));
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->Font()->Name(), QString(31, QLatin1Char('F')));
}

TEST_F(StreamFormatTest, EnumerationsBooleansAndSetsAreWrittenByName)
{
    TGBusinessCardLabel label(owner.get());
    label.Font()->SetStyle(0);
    EXPECT_EQ(EntryOf(label, "Font.Style"), Prop("Font.Style", Hex("0B 00")));
    label.Font()->SetStyle(fsStrikeOut | fsBold | fsItalic);
    EXPECT_EQ(EntryOf(label, "Font.Style"),
              Prop("Font.Style", Hex("0B") + ShortName("fsBold") + ShortName("fsItalic") +
                                     ShortName("fsStrikeOut") + Hex("00")));
    label.Font()->SetPitch(fpFixed);
    EXPECT_EQ(EntryOf(label, "Font.Pitch"), Prop("Font.Pitch", Hex("07") + ShortName("fpFixed")));
    EXPECT_TRUE(EntryOf(label, "Font.Size").isEmpty()); // never stored
    label.SetDirectionHighlight(hdright);
    EXPECT_EQ(EntryOf(label, "DirectionHighlight"),
              Prop("DirectionHighlight", Hex("07") + ShortName("hdright")));
    label.SetTransparent(false);
    EXPECT_EQ(EntryOf(label, "Transparent"), Prop("Transparent", Hex("08")));
    label.SetLocked(true);
    EXPECT_EQ(EntryOf(label, "Locked"), Prop("Locked", Hex("09")));

    TGBusinessCardLabel *read = ReadLabel(
        Prop("Font.Style", Hex("0B") + ShortName("FSUNDERLINE") + ShortName("fsBold") + Hex("00")) +
        Prop("DirectionShadow", Hex("07") + ShortName("sdleft")) + Prop("Transparent", Hex("08")) +
        Prop("Locked", Hex("09")) + Prop("Font.Size", Hex("02 18")));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Font()->Style(), uint32_t(fsBold | fsUnderline));
    EXPECT_EQ(read->DirectionShadow(), sdLeft);
    EXPECT_FALSE(read->Transparent());
    EXPECT_TRUE(read->Locked());
    EXPECT_EQ(read->Font()->Size(), 24); // settable, though never written
    EXPECT_EQ(read->Font()->Height(), -32);

    const QString bad = ReadError(
        List(LabelRecord(Prop("Font.Style", Hex("0B") + ShortName("fsHuge") + Hex("00")))));
    EXPECT_EQ(bad, QStringLiteral("Error reading Component0.Font.Style: Invalid property value"));
    EXPECT_EQ(ReadError(List(LabelRecord(Prop("Alignment", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Alignment: Invalid property value"));
    // An angle other than a quarter turn is refused silently, from a file too.
    TGBusinessCardLabel *angled = ReadLabel(Prop("Angle", Hex("02 2D")));
    ASSERT_NE(angled, nullptr);
    EXPECT_EQ(angled->Angle(), 0);
}

TEST_F(StreamFormatTest, ExtendedFloatsAreConvertedBitByBit)
{
    auto bytesOf = [](double v) {
        const auto e = ExtendedFromDouble(v);
        return QByteArray(reinterpret_cast<const char *>(e.data()), 10);
    };
    EXPECT_EQ(bytesOf(0.0), Hex("00 00 00 00 00 00 00 00 00 00"));
    EXPECT_EQ(bytesOf(1.0), Hex("00 00 00 00 00 00 00 80 FF 3F"));
    EXPECT_EQ(bytesOf(-2.5), Hex("00 00 00 00 00 00 00 A0 00 C0"));
    EXPECT_EQ(bytesOf(0.1), Hex("00 D0 CC CC CC CC CC CC FB 3F"));
    // The smallest double denormal, 2^-1074, is a normal extended.
    EXPECT_EQ(bytesOf(std::numeric_limits<double>::denorm_min()),
              Hex("00 00 00 00 00 00 00 80 CD 3B"));
    EXPECT_EQ(bytesOf(std::numeric_limits<double>::infinity()),
              Hex("00 00 00 00 00 00 00 80 FF 7F"));

    const double values[] = {0.0,
                             1.0,
                             -2.5,
                             1e300,
                             -1e-300,
                             0.1,
                             3.141592653589793,
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::min() / 3,
                             -std::numeric_limits<double>::denorm_min() * 12345,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::infinity()};
    for (double v : values) {
        const auto e = ExtendedFromDouble(v);
        const double back = DoubleFromExtended(e.data());
        EXPECT_EQ(std::bit_cast<uint64_t>(back), std::bit_cast<uint64_t>(v)) << v;
    }
    EXPECT_TRUE(std::isnan(DoubleFromExtended(ExtendedFromDouble(std::nan("")).data())));
    EXPECT_TRUE(std::signbit(DoubleFromExtended(ExtendedFromDouble(-0.0).data())));

    auto fromHex = [](const char *hex) {
        const QByteArray b = Hex(hex);
        return DoubleFromExtended(reinterpret_cast<const uint8_t *>(b.constData()));
    };
    // Mantissa bits below a double's are rounded to nearest, ties to even.
    EXPECT_EQ(fromHex("00 04 00 00 00 00 00 80 FF 3F"), 1.0); // exactly half: stays even
    EXPECT_EQ(fromHex("00 0C 00 00 00 00 00 80 FF 3F"), 1.0 + 2 * 0x1p-52); // half, odd: up
    EXPECT_EQ(fromHex("01 04 00 00 00 00 00 80 FF 3F"), 1.0 + 0x1p-52);     // above half
    EXPECT_EQ(fromHex("00 00 00 00 00 00 00 80 FE 7F"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(fromHex("00 00 00 00 00 00 00 80 01 00"), 0.0); // far below a double
    EXPECT_EQ(fromHex("00 00 00 00 00 00 00 40 00 00"), 0.0); // extended denormal
    // An unnormal (integer bit clear) still means mantissa * 2^(e - 63).
    EXPECT_EQ(fromHex("00 00 00 00 00 00 00 40 00 40"), 1.0);

    // Through a float property: 0 is left out, an integer tag is accepted.
    TTestGroupsObject object(owner.get());
    EXPECT_TRUE(EntryOf(object, "Ratio").isEmpty());
    object.SetRatio(-2.5);
    EXPECT_EQ(EntryOf(object, "Ratio"), Prop("Ratio", Hex("05 00 00 00 00 00 00 00 A0 00 C0")));
    const QList<TGGraphicControl *> read =
        Read(List(Record("TTestGroupsObject", "", Prop("Ratio", Hex("03 E8 03")))));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(static_cast<TTestGroupsObject *>(read.at(0))->Ratio(), 1000.0);
}

TEST_F(StreamFormatTest, RecordPrefixesAndChildRecordsAreReadPast)
{
    // F0 alone, and F2 with a child position, before the class name.
    const QByteArray inherited = QByteArray("TPF0") + Hex("F0") + ShortName("TGPLabel") +
                                 ShortName("") + Prop("Tag", Hex("02 07")) + Hex("00 00");
    const QByteArray positioned =
        QByteArray("TPF0") + Hex("F2 02 03") + ShortName("TGSymbolLabel") + ShortName("X") +
        Hex("00")
        // one child record (no signature), with a child of its own
        + ShortName("TGPLabel") + ShortName("Inner") + Prop("Tag", Hex("02 01")) + Hex("00") +
        ShortName("TGPLabel") + ShortName("") + Hex("00 00") + Hex("00") + Hex("00");
    const QList<TGGraphicControl *> objects = Read(List(inherited + positioned));
    ASSERT_EQ(objects.size(), 2);
    EXPECT_STREQ(objects.at(0)->metaObject()->className(), "TGPLabel");
    EXPECT_EQ(objects.at(0)->Tag(), 7);
    EXPECT_STREQ(objects.at(1)->metaObject()->className(), "TGSymbolLabel");
    EXPECT_EQ(owner->children().size(), 2); // no object made for the child records

    // Class names are found in any letter case.
    EXPECT_EQ(Read(List(Record("tgplabel", "", ""))).size(), 1);
}

TEST_F(StreamFormatTest, DamagedStreamsGiveTheFormatsMessages)
{
    const QByteArray good = WorkedExampleBytes();
    EXPECT_EQ(ReadError(good.left(good.size() - 1)), QStringLiteral("Stream read error"));
    EXPECT_EQ(ReadError(good.left(30)), QStringLiteral("Stream read error"));
    EXPECT_TRUE(ReadError(good.left(100)).endsWith(QStringLiteral(": Stream read error")));
    EXPECT_EQ(ReadError(QByteArray()), QStringLiteral("Stream read error"));
    EXPECT_EQ(ReadError(Hex("00")), QStringLiteral("Invalid property value"));
    EXPECT_EQ(ReadError(Hex("01") + QByteArray("TPF1") + good.mid(5)),
              QStringLiteral("Invalid stream format"));
    EXPECT_EQ(ReadError(List(Record("TGNoSuchKind", "", ""))),
              QStringLiteral("Class TGNoSuchKind not found"));
    // The base every kind derives from is not a kind of its own.
    EXPECT_EQ(ReadError(List(Record("TGGraphicControl", "", ""))),
              QStringLiteral("Class TGGraphicControl not found"));

    EXPECT_EQ(ReadError(List(LabelRecord(Prop("Foo.Bar", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Foo.Bar: Invalid property path"));
    EXPECT_EQ(ReadError(List(LabelRecord(Prop("Caption.Length", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Caption.Length: Invalid property path"));
    EXPECT_EQ(ReadError(List(LabelRecord(Prop("Font.Weight", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Font.Weight: Property does not exist"));
    EXPECT_EQ(ReadError(List(LabelRecord(Prop("Shade", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Shade: Property does not exist"));
    EXPECT_EQ(ReadError(List(LabelRecord(Prop("Caption", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Caption: Invalid property value"));
    EXPECT_EQ(ReadError(List(Record("TTestGroupsObject", "", Prop("Fixed", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Fixed: Property is read-only"));
    EXPECT_EQ(ReadError(List(Record("TTestGroupsObject", "", Prop("Missing.X", Hex("02 01"))))),
              QStringLiteral("Error reading Component0.Missing.X: Invalid property path"));
    EXPECT_EQ(ReadError(List(Record("TTestGroupsObject", "",
                                    Prop("Image.Data", Hex("0A 08 00 00 00 04 00 00 00") +
                                                           QByteArray("BX\0\0", 4))))),
              QStringLiteral("Error reading Component0.Image.Data: Bitmap image is not valid"));

    // The failing object is freed; the ones read before stay, loaded and ready.
    const QByteArray twoObjects =
        List(LabelRecord(Prop("Tag", Hex("02 01"))) +
             LabelRecord(Prop("Tag", Hex("02 02")) + Prop("Nope", Hex("02 01"))));
    QString message;
    try {
        Read(twoObjects);
    } catch (const EStreamError &e) {
        message = e.Message();
    }
    EXPECT_EQ(message, QStringLiteral("Error reading Component1.Nope: Property does not exist"));
    const QList<QObject *> left = owner->children();
    ASSERT_EQ(left.size(), 1);
    auto *survivor = qobject_cast<TGGraphicControl *>(left.at(0));
    ASSERT_NE(survivor, nullptr);
    EXPECT_EQ(survivor->Tag(), 1);
    EXPECT_FALSE(survivor->IsLoading());
    EXPECT_NE(survivor->ObjectMenu(), nullptr);
}

TEST_F(StreamFormatTest, NamesAreGivenByTheReaderUnlessAllAreTaken)
{
    // "Special7" and an empty name are both replaced by the first free name.
    const QList<TGGraphicControl *> renamed =
        Read(List(Record("TGPLabel", "Special7", "") + Record("TGPLabel", "", "")));
    ASSERT_EQ(renamed.size(), 2);
    EXPECT_EQ(renamed.at(0)->Name(), QStringLiteral("Component0"));
    EXPECT_EQ(renamed.at(1)->Name(), QStringLiteral("Component1"));

    // Names are compared without regard to letter case.
    auto other = std::make_unique<QObject>();
    (new QObject(other.get()))->setObjectName(QStringLiteral("COMPONENT0"));
    const QList<TGGraphicControl *> next =
        CardObjects(TGLabelObjectFiler().ReadObjects(List(Record("TGPLabel", "a", "")), other.get(), nullptr));
    ASSERT_EQ(next.size(), 1);
    EXPECT_EQ(next.at(0)->Name(), QStringLiteral("Component1"));

    // With all 1001 names taken the stream's name stays, and must be usable.
    auto crowded = std::make_unique<QObject>();
    for (int n = 0; n <= 1000; ++n)
        (new QObject(crowded.get()))->setObjectName(QStringLiteral("Component%1").arg(n));
    auto readInto = [&](const QByteArray &name) -> QString {
        try {
            const QList<TGGraphicControl *> objects = CardObjects(TGLabelObjectFiler().ReadObjects(
                List(Record("TGPLabel", name, "")), crowded.get(), nullptr));
            return objects.value(0) ? objects.at(0)->Name() : QString();
        } catch (const EStreamError &e) {
            return e.Message();
        }
    };
    EXPECT_EQ(readInto("Kept_1"), QStringLiteral("Kept_1"));
    EXPECT_EQ(readInto("Bad Name"), QStringLiteral("''Bad Name'' is not a valid component name"));
    EXPECT_EQ(readInto("component7"),
              QStringLiteral("A component named component7 already exists"));
    EXPECT_EQ(readInto(""), QString());
}

TEST_F(StreamFormatTest, ANameEntryRenamesUnderTheSameRulesAsTheRecordName)
{
    auto name = [](const QByteArray &value) {
        return Prop("Name", QByteArray("\x06", 1) + char(value.size()) + value);
    };
    auto message = [&](const QByteArray &records) -> QString {
        try {
            Read(List(records));
        } catch (const EStreamError &e) {
            return e.Message();
        }
        return QString();
    };
    // A usable name is taken, and counts as taken for the records after it.
    const QList<TGGraphicControl *> read = Read(List(Record("TGPLabel", "a", name("Title"))));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read.at(0)->Name(), QStringLiteral("Title"));
    EXPECT_EQ(message(Record("TGPLabel", "a", name("Bad Name"))),
              QStringLiteral("Error reading Component0.Name: ''Bad Name'' is not a valid "
                             "component name"));
    EXPECT_EQ(message(Record("TGPLabel", "a", name("Twin")) + Record("TGPLabel", "b", name("TWIN"))),
              QStringLiteral("Error reading Component0.Name: A component named TWIN already "
                             "exists"));
    // Its own name again, in another letter case, is no clash.
    const QList<TGGraphicControl *> same =
        Read(List(Record("TGPLabel", "a", name("Component0") + name("COMPONENT0"))));
    ASSERT_EQ(same.size(), 1);
    EXPECT_EQ(same.at(0)->Name(), QStringLiteral("COMPONENT0"));
}
