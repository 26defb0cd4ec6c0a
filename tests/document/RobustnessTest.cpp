// Damaged, truncated and hostile design data: every failure is a stream
// error with a message, never a crash, a hang or a huge allocation.
#include "DocumentTestSupport.h"
#include "shell/CardKinds.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "document/StreamIO.h"
#include "objects/Gpslabel.h"
#include "report/RPBase.h"

#include <QPainter>
#include <QRandomGenerator>
#include <cstdio>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

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

QByteArray OneLabel(const QByteArray &props)
{
    return Hex("01") + "TPF0" + ShortName("TGBusinessCardLabel") + ShortName("") + props +
           Hex("00 00 00");
}

// A design with every kind of value the reader knows.
QByteArray RichSample()
{
    QObject owner;
    auto *label = MakeWorkedExampleLabel(&owner);
    label->SetCaption(QString::fromUtf8("Großhändler 名片"));
    label->SetTag(-70000);
    auto *groups = new TTestGroupsObject(&owner);
    groups->SetRatio(2.75);
    groups->Items()->SetLines({QStringLiteral("one"), QString(300, QLatin1Char('w'))});
    groups->Pen()->SetWidth(4);
    groups->Brush()->SetStyle(bsCross);
    groups->Picture()->SetBitmapData(SmallBmp());
    groups->Image()->SetBmpBytes(SmallBmp());
    groups->RTFText()->SetRtf("{\\rtf1 x}");
    auto *symbol = new TGSymbolLabel(&owner);
    symbol->SetDepthHighlight(2);
    return WriteObjectList({label, groups, symbol});
}

// Reads the bytes; true when they read or fail with a stream error.
bool ReadsCleanly(const QByteArray &bytes, QString *message = nullptr)
{
    QObject owner;
    try {
        TGLabelObjectFiler().ReadObjects(bytes, &owner, nullptr);
    } catch (const EStreamError &e) {
        if (message)
            *message = e.Message();
        return true;
    } catch (const std::exception &e) {
        ADD_FAILURE() << "not a stream error: " << e.what();
        return false;
    }
    return true;
}

// Keeps the process's address space within reach of what it uses now, so a
// length taken from the data without a check fails loudly.
void LimitAddressSpace(size_t headroom)
{
    long pages = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld", &pages) != 1)
            pages = 0;
        std::fclose(f);
    }
    rlimit limit{};
    limit.rlim_cur = size_t(pages) * size_t(sysconf(_SC_PAGESIZE)) + headroom;
    limit.rlim_max = RLIM_INFINITY;
    setrlimit(RLIMIT_AS, &limit);
}

// Runs in a child process: exits 0 when every hostile length is refused.
[[noreturn]] void CheckHostileLengths()
{
    LimitAddressSpace(size_t(256) << 20);
    const char *read = "Stream read error";
    const struct
    {
        const char *what;
        QByteArray bytes;
    } cases[] = {
        {"long string", OneLabel(Prop("Caption", Hex("0C FF FF FF 7F") + "abc"))},
        {"utf-8 string", OneLabel(Prop("Caption", Hex("14 FF FF FF FF") + "abc"))},
        {"wide string", OneLabel(Prop("Caption", Hex("12 FF FF FF 7F") + "abcd"))},
        {"short string", OneLabel(Prop("Caption", Hex("06 FF") + "abc"))},
        {"short name", Hex("01") + "TPF0" + Hex("EF") + "TGPLabel"},
        {"binary", Hex("01") + "TPF0" + ShortName("TTestGroupsObject") + ShortName("") +
                       Prop("RTFText.Data", Hex("0A FF FF FF FF 00"))},
        {"bitmap size", Hex("01") + "TPF0" + ShortName("TTestGroupsObject") + ShortName("") +
                            Prop("Image.Data", Hex("0A 08 00 00 00 FF FF FF 7F 42 4D 00 00"))},
        {"picture size", Hex("01") + "TPF0" + ShortName("TTestGroupsObject") + ShortName("") +
                             Prop("Picture.Data", Hex("0A 0F 00 00 00 07") + "TBitmap" +
                                                      Hex("00 00 00 80 42 4D 00"))},
        {"metafile size",
         Hex("01") + "TPF0" + ShortName("TTestGroupsObject") + ShortName("") +
             Prop("Picture.Data", Hex("0A 0E 00 00 00 09") + "TMetafile" + Hex("FF FF FF 7F"))},
    };
    for (const auto &c : cases) {
        QString message;
        if (!ReadsCleanly(c.bytes, &message) || !message.endsWith(QLatin1String(read))) {
            std::fprintf(stderr, "%s: %s\n", c.what, qPrintable(message));
            _exit(1);
        }
    }

    // A BMP header claiming a huge run-length picture in a few bytes is refused.
    QByteArray rle = SmallBmp().left(54);
    rle.replace(10, 4, Le32(14 + 40 + 1024)); // after 256 palette entries
    rle.replace(18, 4, Le32(30000));          // 30000 x 30000 pixels
    rle.replace(22, 4, Le32(30000));
    rle.replace(28, 2, Hex("08 00"));
    rle.replace(30, 4, Le32(1)); // RLE8
    rle.replace(34, 4, Le32(2));
    rle += QByteArray(1024, '\0') + Hex("00 01"); // palette, end of bitmap
    rle.replace(2, 4, Le32(uint32_t(rle.size())));
    const QByteArray value =
        Hex("0A") + Le32(uint32_t(rle.size() + 4)) + Le32(uint32_t(rle.size())) + rle;
    QString message;
    if (!ReadsCleanly(Hex("01") + "TPF0" + ShortName("TTestGroupsObject") + ShortName("") +
                          Prop("Image.Data", value) + Hex("00 00 00"),
                      &message) ||
        !message.endsWith(QLatin1String("Bitmap image is not valid"))) {
        std::fprintf(stderr, "rle: %s\n", qPrintable(message));
        _exit(1);
    }
    _exit(0);
}

// Runs in a child process: exits 0 when every damaged stream fails cleanly.
[[noreturn]] void CheckDamagedStreams()
{
    LimitAddressSpace(size_t(256) << 20);
    const QByteArray sample = RichSample();
    QString message;
    if (!ReadsCleanly(sample, &message) || !message.isEmpty())
        _exit(2);
    for (qsizetype n = 0; n < sample.size(); ++n)
        if (!ReadsCleanly(sample.left(n)))
            _exit(3);
    for (qsizetype i = 0; i < sample.size(); ++i) {
        for (const char mask : {'\x01', '\x10', '\x80', '\xFF'}) {
            QByteArray flipped = sample;
            flipped[i] = char(flipped.at(i) ^ mask);
            if (!ReadsCleanly(flipped))
                _exit(4);
        }
    }
    QRandomGenerator random(20240607);
    const QByteArray head = sample.left(40);
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes(random.bounded(1, 600), Qt::Uninitialized);
        for (char &b : bytes)
            b = char(random.bounded(256));
        if (round % 2)
            bytes = head + bytes;
        if (!ReadsCleanly(bytes))
            _exit(5);
    }
    _exit(0);
}

// An 8192 x 8192 run-length picture of one colour in 558 KB, as a hostile
// design carries many of.
QByteArray LargeRunLengthBmp()
{
    QByteArray rows;
    for (int y = 0; y < 8192; ++y) {
        for (int run = 0; run < 32; ++run)
            rows += Hex("FF 00");
        rows += Hex("20 00") + (y == 8191 ? Hex("00 01") : Hex("00 00"));
    }
    const QByteArray palette = Hex("00 00 FF 00 00 FF 00 00"); // red, green
    QByteArray bmp = "BM" + Le32(0) + Le32(0) + Le32(14 + 40 + 8) + Le32(40) + Le32(8192) +
                     Le32(8192) + Hex("01 00 08 00") + Le32(1) + Le32(uint32_t(rows.size())) +
                     Le32(0) + Le32(0) + Le32(2) + Le32(0) + palette + rows;
    bmp.replace(2, 4, Le32(uint32_t(bmp.size())));
    return bmp;
}

// Runs in a child process: sixteen such pictures read, show and print one
// at a time in far less memory than decoding them all would take (1 GB).
[[noreturn]] void CheckLargePicturesStayInBudget()
{
    LimitAddressSpace(size_t(768) << 20);
    const QByteArray bmp = LargeRunLengthBmp();
    QObject owner;
    QList<TStoredObject *> made;
    for (int i = 1; i <= 16; ++i) {
        auto *object = new TTestGroupsObject(&owner);
        object->SetName(QStringLiteral("Component%1").arg(i));
        if (!object->Picture()->SetBitmapData(bmp))
            _exit(2);
        made.append(object);
    }
    QObject readOwner;
    QList<TGGraphicControl *> read;
    try {
        read = CardObjects(TGLabelObjectFiler().ReadObjects(WriteObjectList(made), &readOwner, nullptr));
    } catch (const EStreamError &) {
        _exit(3);
    }
    if (read.size() != 16)
        _exit(4);
    QImage screen(300, 300, QImage::Format_RGB32);
    for (TGGraphicControl *object : read) {
        screen.fill(Qt::white);
        QPainter painter(&screen);
        static_cast<TTestGroupsObject *>(object)->Picture()->Draw(painter, screen.rect());
        painter.end();
        if (screen.pixel(150, 150) != qRgb(255, 0, 0))
            _exit(5);
    }
    // The screen holds reduced copies only; a print covering few device
    // pixels takes one too, no smaller than those pixels.
    if (DecodedPictureBytes() > (int64_t(32) << 20))
        _exit(6);
    auto *first = static_cast<TTestGroupsObject *>(read.first());
    if (PrintableImage(*first->Picture(), first->Name(), QSize(300, 200)).size() != QSize(512, 512))
        _exit(9);
    for (TGGraphicControl *object : read) {
        const QImage whole =
            PrintableImage(*static_cast<TTestGroupsObject *>(object)->Picture(), object->Name());
        if (whole.size() != QSize(8192, 8192) || whole.pixel(8191, 0) != qRgb(255, 0, 0))
            _exit(7);
        if (DecodedPictureBytes() > kDecodedPicturesBudget)
            _exit(8);
    }
    _exit(0);
}

// Runs in a child process: a picture that cannot be held stops printing
// with a message that says so, and the screen draws without it.
[[noreturn]] void CheckPictureWithoutMemory()
{
    const QByteArray bmp = LargeRunLengthBmp();
    LimitAddressSpace(size_t(32) << 20);
    TTestGroupsObject object;
    object.SetName(QStringLiteral("Component7"));
    if (!object.Picture()->SetBitmapData(bmp))
        _exit(2);
    try {
        PrintableImage(*object.Picture(), object.Name());
        _exit(3);
    } catch (const EReportError &e) {
        if (e.Message() !=
            QLatin1String("There is not enough memory for the picture of Component7 (8192 x 8192)."))
            _exit(4);
    }
    QImage screen(100, 100, QImage::Format_RGB32);
    screen.fill(Qt::white);
    QPainter painter(&screen);
    object.Picture()->Draw(painter, screen.rect());
    painter.end();
    _exit(screen.pixel(50, 50) == qRgb(255, 255, 255) ? 0 : 5);
}

class RobustnessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterCardObjectKinds();
        RegisterTestKinds();
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
};

} // namespace

TEST_F(RobustnessTest, HostileLengthsAreCheckedBeforeAnythingIsAllocated)
{
    EXPECT_EXIT(CheckHostileLengths(), ::testing::ExitedWithCode(0), "");
}

TEST_F(RobustnessTest, LargePicturesAreDecodedOneAtATimeWithinABudget)
{
    EXPECT_EXIT(CheckLargePicturesStayInBudget(), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(CheckPictureWithoutMemory(), ::testing::ExitedWithCode(0), "");
}

TEST_F(RobustnessTest, DeepNestingIsBounded)
{
    // Lists inside lists in a child record, and child records inside child
    // records, far deeper than any design.
    QByteArray lists;
    for (int i = 0; i < 100000; ++i)
        lists.append('\x01');
    lists.append(QByteArray(100000, '\0'));
    const QByteArray deepValue = Hex("01") + "TPF0" + ShortName("TGPLabel") + ShortName("") +
                                 Hex("00") + ShortName("TGPLabel") + ShortName("") +
                                 ShortName("X") + lists + Hex("00 00") + Hex("00 00");
    QString message;
    EXPECT_TRUE(ReadsCleanly(deepValue, &message));
    EXPECT_EQ(message, QStringLiteral("Stream read error"));

    QByteArray children = Hex("01") + "TPF0" + ShortName("TGPLabel") + ShortName("") + Hex("00");
    for (int i = 0; i < 50000; ++i)
        children += ShortName("TGPLabel") + ShortName("") + Hex("00");
    children += QByteArray(50002, '\0');
    message.clear();
    EXPECT_TRUE(ReadsCleanly(children, &message));
    EXPECT_EQ(message, QStringLiteral("Stream read error"));

    // A collection on an object-valued property is read past.
    const QByteArray collection =
        OneLabel(Prop("Font", Hex("0E") + Hex("02 00") + Hex("01") + Prop("Width", Hex("02 05")) +
                                  Hex("00") + Hex("01 00") + Hex("00")) +
                 Prop("Tag", Hex("02 09")));
    QObject owner;
    const QList<TGGraphicControl *> read =
        CardObjects(TGLabelObjectFiler().ReadObjects(collection, &owner, nullptr));
    ASSERT_EQ(read.size(), 1);
    EXPECT_EQ(read.at(0)->Tag(), 9);
}

TEST_F(RobustnessTest, TruncatedFlippedAndRandomStreamsFailCleanly)
{
    EXPECT_EXIT(CheckDamagedStreams(), ::testing::ExitedWithCode(0), "");
}
