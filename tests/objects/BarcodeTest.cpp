// The barcode kind: what it stores, the contact card it builds, what it
// refuses, its dialog, and printed codes that a reader decodes.
#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "document/CardModel.h"
#include "document/Filer.h"
#include "document/ObjectStream.h"
#include "objects/Gbarcode.h"
#include "objects/Gbarcodep.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

class BarcodeTest : public ObjectTest
{
protected:
    TGBarcode *PlaceCode(TGBarcode::TSymbology symbology, const QString &data, int left,
                         int width = 100, int height = 100, int top = 5)
    {
        auto *code = Place<TGBarcode>(left, top, width, height);
        code->SetSymbology(symbology);
        code->SetData(data);
        return code;
    }
};

// The owner's ten details, each with something vCard must escape.
QStringList FullDetails()
{
    return {"Ann Marie Smith", "Smith, Jones & Co", "Head; Sales",      "12 High St",
            "Leeds",           "LS1 4AB",           "+44 113 496 0000", "+44 7700 900123",
            "ann@example.com", "+44 113 496 0001"};
}

int RedPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += c.red() > 150 && c.green() < 80 && c.blue() < 80;
        }
    return count;
}

QImage Painted(TGBarcode &code)
{
    QImage image(code.Width(), code.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    code.Paint(painter);
    return image;
}

QString RunProgram(const QString &program, const QStringList &arguments, const QString &home = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    if (!home.isEmpty()) {
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/.local/share");
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    if (!process.waitForFinished(120000))
        return QStringLiteral("(timed out)");
    EXPECT_EQ(process.exitCode(), 0)
        << program.toStdString() << ": " << process.readAllStandardError().constData();
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

TEST(BarcodeData, ContactCardEscapesAndSkipsEmptyFields)
{
    const QString card = TGBarcode::ContactCard(FullDetails());
    EXPECT_EQ(card, "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ann Marie Smith\r\n"
                    "N:Smith;Ann Marie;;;\r\nORG:Smith\\, Jones & Co\r\nTITLE:Head\\; Sales\r\n"
                    "ADR;TYPE=WORK:;;12 High St\\nLeeds\\nLS1 4AB;;;;\r\n"
                    "TEL;TYPE=WORK,VOICE:+44 113 496 0000\r\nTEL;TYPE=CELL:+44 7700 900123\r\n"
                    "TEL;TYPE=FAX:+44 113 496 0001\r\nEMAIL;TYPE=INTERNET:ann@example.com\r\n"
                    "END:VCARD\r\n");
    QStringList sparse(10);
    sparse[0] = "Bo\\b";
    sparse[8] = "a\nb";
    EXPECT_EQ(TGBarcode::ContactCard(sparse),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Bo\\\\b\r\nN:Bo\\\\b;;;;\r\n"
              "EMAIL;TYPE=INTERNET:a\\nb\r\nEND:VCARD\r\n");
    EXPECT_TRUE(TGBarcode::ContactCard(QStringList(10)).isEmpty());
}

TEST(BarcodeData, StoredDataTakesBackEveryText)
{
    for (const QString &text :
         {QString("https://example.com/a?b=c"), QString("C:\\dir\\u0041"),
          QString("Caf\u00e9 \u20ac"), QString("\u03a9 \u4e2d\u6587 \\"),
          QString(QChar(0xD83D)) + QChar(0xDE00), QString("\\u12"), QString("\x01\x02\t")}) {
        const QString stored = TGBarcode::TextToStoredData(text);
        bool lossless = false;
        EncodeWindows1252(stored, &lossless);
        EXPECT_TRUE(lossless) << stored.toStdString();
        EXPECT_EQ(TGBarcode::StoredDataToText(stored), text) << stored.toStdString();
    }
    EXPECT_EQ(TGBarcode::TextToStoredData("plain"), "plain");
}

TEST_F(BarcodeTest, DesignWithCodesSavesAndReopensByteIdentical)
{
    PlaceCode(TGBarcode::bsQRCode, "https://example.com", 5);
    auto *contact = PlaceCode(TGBarcode::bsQRCode, QString(), 110);
    contact->SetSource(TGBarcode::dsContact);
    contact->SetErrorLevel(TGBarcode::elHigh);
    auto *ean = PlaceCode(TGBarcode::bsEAN13, "400638133393", 215, 110, 60);
    ean->SetShowText(false);
    ean->SetForeColor(0x800000);
    ean->SetTransparent(true);
    PlaceCode(TGBarcode::bsCode128, "\u03a9 back\\slash", 5);

    const QList<TStoredObject *> objects = StoredList(surface->Objects());
    // Defaults are left out; the symbology, source and level are named.
    const QString dump = DumpObject(*objects.at(1)).join('\n');
    EXPECT_TRUE(dump.contains("Source = dsContact")) << dump.toStdString();
    EXPECT_TRUE(dump.contains("ErrorLevel = elHigh")) << dump.toStdString();
    EXPECT_FALSE(dump.contains("Symbology")) << dump.toStdString();
    EXPECT_FALSE(dump.contains("ForeColor")) << dump.toStdString();

    QTemporaryDir dir;
    QFile file(dir.filePath("A.TSC"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(WriteObjectList(objects));
    file.close();
    // Saved by the program, then opened and saved again: the same bytes.
    TCardModel first;
    first.Open(dir.filePath("A.TSC"));
    first.Save(dir.filePath("B.TSC"));
    TCardModel second;
    second.Open(dir.filePath("B.TSC"));
    ASSERT_EQ(second.Count(), 4);
    auto *code128 = qobject_cast<TGBarcode *>(second.Objects().at(3));
    ASSERT_TRUE(code128);
    EXPECT_EQ(code128->Data(), "\u03a9 back\\slash");
    EXPECT_EQ(code128->Symbology(), TGBarcode::bsCode128);
    auto *readEan = qobject_cast<TGBarcode *>(second.Objects().at(2));
    EXPECT_EQ(readEan->ForeColor(), 0x800000u);
    EXPECT_TRUE(readEan->Transparent());
    EXPECT_FALSE(readEan->ShowText());
    EXPECT_EQ(second.DesignBytes(), first.DesignBytes());
}

TEST_F(BarcodeTest, HostileDataDrawsTheCrossedBoxNeverACode)
{
    const struct
    {
        TGBarcode::TSymbology symbology;
        QString data;
    } hostile[] = {
        {TGBarcode::bsQRCode, QString(65536, 'A')},
        {TGBarcode::bsQRCode, QString(5000, 'A')},
        {TGBarcode::bsCode128, QString(65536, QChar(0x01))},
        {TGBarcode::bsEAN13, "400638133394"},  // 12 digits are fine; 13 need the right check
        {TGBarcode::bsEAN13, "4006381333932"}, // wrong check digit
        {TGBarcode::bsEAN13, "40063813339a"},
        {TGBarcode::bsUPCA, "12345"},
        {TGBarcode::bsCode128, "\u4e2d"},
        {TGBarcode::bsPDF417, QString()},
    };
    int left = 0;
    for (const auto &h : hostile) {
        auto *code = PlaceCode(h.symbology, h.data, left);
        left += 2;
        const bool expectValid = h.data == "400638133394";
        EXPECT_EQ(code->Symbol().Valid, expectValid) << h.data.left(20).toStdString();
        if (!expectValid) {
            EXPECT_FALSE(code->Symbol().Reason.isEmpty());
            EXPECT_GT(RedPixels(Painted(*code)), 100) << h.data.left(20).toStdString();
        }
    }
    // Control bytes a code can hold are encoded, not refused.
    EXPECT_TRUE(PlaceCode(TGBarcode::bsQRCode, "\x01\x02\x7f", 0)->Symbol().Valid);
    EXPECT_EQ(RedPixels(Painted(*PlaceCode(TGBarcode::bsQRCode, "ok", 0))), 0);
}

TEST_F(BarcodeTest, DialogChecksTheDataAndSetsTheObject)
{
    auto *code = PlaceCode(TGBarcode::bsQRCode, "x", 5);
    TBarcodeProperties dialog;
    dialog.SetPersonalInfo(FullDetails());
    dialog.TakeFrom(*code);
    dialog.SetSampleSize(QSize(150, 80));
    dialog.SymbologyBox->setCurrentIndex(TGBarcode::bsEAN13);
    dialog.DataEdit->setPlainText("4006381333932");
    EXPECT_EQ(dialog.CheckMessage(), "Wrong check digit: it should be 1");
    EXPECT_EQ(dialog.CheckLabel->text(), dialog.CheckMessage());
    dialog.DataEdit->setPlainText("4006381333931");
    EXPECT_TRUE(dialog.CheckMessage().isEmpty()) << dialog.CheckMessage().toStdString();
    // A long text in a small code: the modules get too small to print.
    dialog.SymbologyBox->setCurrentIndex(TGBarcode::bsQRCode);
    dialog.SetSampleSize(QSize(40, 40));
    dialog.DataEdit->setPlainText(QString(600, 'x'));
    EXPECT_TRUE(dialog.CheckMessage().startsWith("Too much data for the size"));
    dialog.SourceBox->setCurrentIndex(TGBarcode::dsContact);
    dialog.SetSampleSize(QSize(200, 200));
    EXPECT_TRUE(dialog.CheckMessage().isEmpty()) << dialog.CheckMessage().toStdString();
    EXPECT_FALSE(dialog.DataEdit->isEnabled());

    dialog.GiveTo(*code);
    EXPECT_EQ(code->Source(), TGBarcode::dsContact);
    EXPECT_EQ(code->Data(), QString(600, 'x'));
    EXPECT_GT(changes, 0);
}

TEST_F(BarcodeTest, ContactCodeFollowsTheCardsDetails)
{
    TCardModel model;
    auto *code = PlaceCode(TGBarcode::bsQRCode, QString(), 5);
    code->SetSource(TGBarcode::dsContact);
    code->setParent(model.Owner());
    model.Insert(code);
    EXPECT_FALSE(code->Symbol().Valid);
    model.SetPersonalInfo(FullDetails());
    EXPECT_TRUE(code->Symbol().Valid);
    EXPECT_EQ(code->EncodedText(), TGBarcode::ContactCard(FullDetails()));
    model.Remove(code);
}

// Printed to PDF at card size, rasterised at 300 dpi, each code decodes to
// exactly its data, and the PDF draws them as paths, not pictures.
TEST_F(BarcodeTest, PrintedCodesDecodeToTheirData)
{
    const QString zbarimg = QStandardPaths::findExecutable("zbarimg");
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (zbarimg.isEmpty() || pdftoppm.isEmpty())
        GTEST_SKIP() << "zbarimg or pdftoppm is not installed";
    surface->setFixedSize(336, 192);
    const QString url = "https://example.com/cards/2026/tessaro?design=BC0001&sz=60ch";
    ASSERT_EQ(url.size(), 60);
    PlaceCode(TGBarcode::bsQRCode, url, 4, 90, 90);
    auto *contact = PlaceCode(TGBarcode::bsQRCode, QString(), 100, 110, 110);
    contact->SetSource(TGBarcode::dsContact);
    PlaceCode(TGBarcode::bsCode128, "TESSARO-0042", 4, 200, 65, 120);
    PlaceCode(TGBarcode::bsEAN13, "4006381333931", 214, 118, 80);

    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    const QString folder = home + "/.local/share/Tessaro";
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile ini(folder + "/TSC.INI");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    const QStringList keys{"Name",     "Company", "Title",  "Address1", "Address2",
                           "Address3", "Phone1",  "Phone2", "Email",    "Fax"};
    ini.write("[Personal]\n");
    for (int i = 0; i < 10; ++i)
        ini.write((keys[i] + "=" + FullDetails()[i] + "\n").toUtf8());
    ini.close();
    const QString design = dir.filePath("CODES.TSC");
    QFile file(design);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(WriteObjectList(StoredList(surface->Objects())));
    file.close();

    const QString pdf = dir.filePath("sheet.pdf");
    RunProgram(TESSARO_BINARY_DIR "/tessaro-batch",
               {"print", design, "-o", pdf, "--positions", "1"}, home);
    QFile printed(pdf);
    ASSERT_TRUE(printed.open(QIODevice::ReadOnly));
    const QByteArray pdfBytes = printed.readAll();
    EXPECT_FALSE(pdfBytes.contains("/Subtype /Image")) << "a code was printed as a picture";
    EXPECT_FALSE(pdfBytes.contains("/Subtype/Image"));

    RunProgram(pdftoppm, {"-r", "300", "-png", "-singlefile", pdf, dir.filePath("sheet")});
    const QString decoded =
        RunProgram(zbarimg, {"--quiet", "--raw", "-Sbinary", dir.filePath("sheet.png")});
    // --raw with binary output separates symbols by a line end only.
    for (const QString &expected : {url, TGBarcode::ContactCard(FullDetails()),
                                    QString("TESSARO-0042"), QString("4006381333931")})
        EXPECT_TRUE(decoded.contains(expected)) << expected.toStdString() << "\nin:\n"
                                                << decoded.toStdString();
}
