// Cards for a print shop with tessaro-batch export and render: the page boxes
// of the bleed and trim, a fill and a label running into the bleed, crop
// marks only outside the bleed, fonts embedded and no pictures for text;
// CMYK as PDF/X; images at an exact pixel size; bad input refused with
// nothing written.
#include "PrintTestSupport.h"
#include "common/HostileFiles.h"
#include "common/TestSupport.h"
#include "document/ProgramFolder.h"
#include "objects/Glshapes.h"
#include "objects/gbclabel32.h"
#include "printing/CardExport.h"
#include "printing/ExportDialog.h"
#include "shell/Main.h"
#include "shell/Preferences.h"
#include "surface/Gbcpanel32.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

constexpr TColor Red = 0x0000FF; // BGR

// A red rectangle over the whole 3.5 x 2 in card and a label whose box
// crosses the card's right edge.
void WriteBleedDesign(const QString &path)
{
    TGBusinessCardPanel32 panel;
    panel.SetOwner(&panel);
    panel.setFixedSize(336, 192);
    auto *fill = new TGLabelShapes(&panel);
    fill->MakeReady();
    TGBrush red;
    red.SetColor(Red);
    red.SetStyle(bsSolid);
    fill->SetBrush(red);
    panel.PlaceObject(fill, TRect::FromBounds(0, 0, 336, 192));
    fill->SetBounds(0, 0, 336, 192);
    auto *label = new TGBusinessCardLabel(&panel);
    label->MakeReady();
    label->SetCaption(QStringLiteral("EDGEWORD"));
    label->SetAlignment(taRightJustify);
    label->Font()->SetName(QStringLiteral("Arial"));
    label->Font()->SetSize(14);
    panel.PlaceObject(label, TRect::FromBounds(200, 80, 150, 30));
    label->SetBounds(200, 80, 150, 30);
    panel.SaveToFile(path);
}

// The named box of the first page ("TrimBox", ...) in points, as pdfinfo says.
QRectF PdfBox(const QString &pdf, const QString &name)
{
    QString out;
    RunProgram(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), pdf}, &out);
    for (const QString &line : out.split('\n')) {
        if (!line.startsWith(name + QLatin1Char(':')))
            continue;
        const QStringList f = line.simplified().split(' ');
        const double x1 = f.value(1).toDouble(), y1 = f.value(2).toDouble();
        return QRectF(x1, y1, f.value(3).toDouble() - x1, f.value(4).toDouble() - y1);
    }
    return QRectF();
}

// The content streams of a PDF, inflated.
QList<QByteArray> InflatedStreams(const QByteArray &pdf)
{
    QList<QByteArray> streams;
    for (qsizetype at = pdf.indexOf("stream"); at >= 0; at = pdf.indexOf("stream", at + 6)) {
        if (at >= 3 && pdf.mid(at - 3, 3) == "end")
            continue;
        qsizetype start = at + 6;
        start += pdf.mid(start, 2) == "\r\n" ? 2 : 1;
        const qsizetype end = pdf.indexOf("endstream", start);
        if (end < 0)
            break;
        // qUncompress wants the size first; it grows a guess that is short.
        const QByteArray inflated =
            qUncompress(QByteArray("\0\1\0\0", 4) + pdf.mid(start, end - start));
        if (!inflated.isEmpty())
            streams.append(inflated);
    }
    return streams;
}

bool IsRed(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

} // namespace

TEST(PrintShopExport, BleedTrimAndCropMarksOnTheCardsPage)
{
    QTemporaryDir dir;
    const QString design = dir.filePath("BLEED.TSC");
    WriteBleedDesign(design);
    const QString pdf = dir.filePath("card.pdf");
    const TBatchRun run =
        RunBatch({"export", design, "-o", pdf, "--bleed", "0.125in", "--crop-marks"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    // 3.5 x 2 in trim, 1/8 in bleed, a third of an inch for the marks.
    const QRectF media = PdfBox(pdf, "MediaBox");
    const QRectF trim = PdfBox(pdf, "TrimBox");
    const QRectF bleed = PdfBox(pdf, "BleedBox");
    EXPECT_NEAR(trim.width(), 252.0, 0.01);
    EXPECT_NEAR(trim.height(), 144.0, 0.01);
    EXPECT_NEAR(bleed.width(), 270.0, 0.01);
    EXPECT_NEAR(bleed.height(), 162.0, 0.01);
    EXPECT_NEAR(trim.left() - bleed.left(), 9.0, 0.01);
    EXPECT_NEAR(media.width(), 270.0 + 48.0, 0.01);
    EXPECT_NEAR(media.height(), 162.0 + 48.0, 0.01);

    const int dpi = 144;
    const QList<QImage> pages = RenderPdf(pdf, dpi);
    ASSERT_EQ(pages.size(), 1);
    const QImage &page = pages.first();
    auto px = [&](double pt) { return int(pt * dpi / 72.0); };
    const double top = media.bottom(); // pdfinfo's y runs up
    // The fill reaches the bleed's edge on every side, and not past it.
    EXPECT_TRUE(IsRed(page.pixel(px(bleed.left() + 1), px(top - bleed.bottom() + 1))));
    EXPECT_TRUE(IsRed(page.pixel(px(bleed.right() - 1), px(top - bleed.top() - 1))));
    EXPECT_FALSE(IsRed(page.pixel(px(bleed.left() - 2), px(top - bleed.center().y()))));
    // The label's last letters lie in the bleed right of the trim.
    bool inkInBleed = false;
    for (const TPdfWord &word : PdfWords(pdf))
        if (word.text == QLatin1String("EDGEWORD"))
            inkInBleed = word.inches.right() * 72 > trim.right() + 1;
    EXPECT_TRUE(inkInBleed);
    // Crop marks: dark on the trim lines outside the bleed, nothing dark
    // between the bleed and the page edge elsewhere.
    const int markY = px(top - trim.bottom());
    int darkOutside = 0;
    for (int x = 0; x < px(bleed.left()) - 1; ++x)
        darkOutside += IsDark(page, x, markY) ? 1 : 0;
    EXPECT_GT(darkOutside, px(12));
    const int between = px(top - (trim.bottom() + bleed.bottom()) / 2);
    for (int x = 0; x < px(bleed.left()) - 1; ++x)
        EXPECT_FALSE(IsDark(page, x, between)) << x;

    // Text as text with its font embedded, no pictures.
    QString fonts, images;
    RunProgram(QStringLiteral("pdffonts"), {pdf}, &fonts);
    RunProgram(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf}, &images);
    const QStringList fontLines = fonts.split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fontLines.isEmpty()) << fonts.toStdString();
    for (const QString &line : fontLines)
        EXPECT_TRUE(line.simplified().split(' ').contains("yes")) << line.toStdString();
    EXPECT_EQ(images.split('\n', Qt::SkipEmptyParts).size(), 2) << images.toStdString();
}

TEST(PrintShopExport, ABackIsPageTwoAndCmykIsPdfX)
{
    QTemporaryDir dir;
    const QString design = dir.filePath("BLEED.TSC");
    WriteBleedDesign(design);
    const QString pdf = dir.filePath("cmyk.pdf");
    const TBatchRun run =
        RunBatch({"export", design, "-o", pdf, "--bleed", "3mm", "--cmyk", "--back", design});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(PdfPageCount(pdf), 2);
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.contains("/OutputIntents"));
    EXPECT_TRUE(bytes.contains("/GTS_PDFX"));
    EXPECT_FALSE(bytes.contains("/DeviceRGB"));
    // Colours are set as CMYK ("k"), none as RGB ("rg").
    bool cmyk = false, rgb = false;
    for (const QByteArray &stream : InflatedStreams(bytes)) {
        cmyk = cmyk || stream.contains(" k\n") || stream.contains(" K\n");
        rgb = rgb || stream.contains(" rg\n") || stream.contains(" RG\n");
    }
    EXPECT_TRUE(cmyk);
    EXPECT_FALSE(rgb);
    // 3 mm of bleed, to the hundredth of a point, survives the conversion.
    const QRectF trim = PdfBox(pdf, "TrimBox");
    const QRectF bleed = PdfBox(pdf, "BleedBox");
    EXPECT_NEAR(trim.left() - bleed.left(), 3 / 25.4 * 72, 0.01);
    EXPECT_NEAR(trim.width(), 252.0, 0.01);
    // It looks as the RGB one does: red at the bleed's corner.
    const QImage page = RenderPdf(pdf, 72).value(0);
    ASSERT_FALSE(page.isNull());
    const QRgb corner = page.pixel(1, 1);
    EXPECT_GT(qRed(corner), 180);
    EXPECT_LT(qGreen(corner), 90);
    EXPECT_FALSE(QDir(dir.path())
                     .entryList(QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot)
                     .join(' ')
                     .contains(".tessaro"));
}

TEST(PrintShopExport, ImagesHaveTheCardsSizeAtTheirResolution)
{
    QTemporaryDir dir;
    const QString design = dir.filePath("BLEED.TSC");
    WriteBleedDesign(design);
    const QString png = dir.filePath("card.png");
    TBatchRun run = RunBatch({"render", design, "-o", png, "--dpi", "300"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(1050, 600));
    run = RunBatch({"render", design, "-o", png, "--dpi", "300", "--stock", "Hama 50400"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QImage(png).size(), QSize(1004, 650));
    const QString jpeg = dir.filePath("card.jpg");
    run = RunBatch({"render", design, "-o", jpeg, "--dpi", "300", "--stock", "Hama 50400",
                    "--bleed", "0.125in"});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QImageReader reader(jpeg);
    EXPECT_EQ(reader.format(), "jpeg");
    // 85 x 55 mm with 1/8 in around it: 1004 + 75 by 650 + 75.
    EXPECT_EQ(reader.size(), QSize(1004 + 75, 650 + 75));
}

TEST(PrintShopExport, BadInputIsRefusedAndWritesNothing)
{
    QTemporaryDir dir;
    const QString design = dir.filePath("BLEED.TSC");
    WriteBleedDesign(design);
    const QString pdf = dir.filePath("out.pdf");
    for (const QString &bleed : {"3cm", "-1mm", "2in", "lots"}) {
        const TBatchRun run = RunBatch({"export", design, "-o", pdf, "--bleed", bleed});
        EXPECT_EQ(run.exitCode, 2) << bleed.toStdString();
        EXPECT_TRUE(run.err.contains("--bleed")) << run.err.toStdString();
    }
    TBatchRun run = RunBatch({"export", design, "-o", dir.filePath("missing/folder/out.pdf")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains("could not be written")) << run.err.toStdString();
    // A disk that takes 2 KB: the PDF, the CMYK one and the picture all fail
    // with a message, and leave nothing in the folder.
    const auto smallDisk = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit small{};
        getrlimit(RLIMIT_FSIZE, &small);
        small.rlim_cur = 2048;
        setrlimit(RLIMIT_FSIZE, &small);
    };
    for (const QStringList &args :
         {QStringList{"export", design, "-o", pdf},
          QStringList{"export", design, "-o", pdf, "--cmyk"},
          QStringList{"render", design, "-o", dir.filePath("card.png"), "--dpi", "600"}}) {
        run = RunBatch(args, smallDisk);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"BLEED.TSC"});
    }

    // A picture is written whole into a regular file or not at all: a FIFO
    // would block the tool and a device would swallow it unchecked.
    const QString fifo = dir.filePath("pipe.png");
    ASSERT_TRUE(MakeFifo(fifo));
    for (const QString &target : {fifo, QStringLiteral("/dev/full")}) {
        for (const QStringList &extra : {QStringList{}, QStringList{"--dpi", "100"}}) {
            run = RunBatch(QStringList{"render", design, "-o", target} + extra);
            EXPECT_EQ(run.exitCode, 1) << target.toStdString();
            EXPECT_TRUE(run.err.contains(target)) << run.err.toStdString();
        }
    }

    QString why;
    EXPECT_EQ(ParseBleed("3mm").value_or(-1), 3 / 25.4);
    EXPECT_EQ(ParseBleed(" 0.125 in ").value_or(-1), 0.125);
    EXPECT_EQ(ParseBleed("0").value_or(-1), 0.0);
    EXPECT_FALSE(ParseBleed("1e9", &why));
}

namespace {

// Answers the next file dialog with a name typed into it.
void AnswerFileDialog(const QString &path)
{
    WhenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [path](QWidget *w) {
                  w->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(path);
                  static_cast<QDialog *>(w)->accept();
              });
}

// The first word's left edge in points from the trim's left.
double WordFromTrim(const QString &pdf, const QString &text)
{
    for (const TPdfWord &word : PdfWords(pdf))
        if (word.text == text)
            return word.inches.left() * 72 - PdfBox(pdf, "TrimBox").left();
    return -1;
}

} // namespace

TEST(PrintShopExport, TheWindowsCommandsExportTheCardAtAnyZoomAndRememberTheirSettings)
{
    TMainScreen::PrinterCheck = [](bool) { return false; };
    QDir(ProgramFolder()).removeRecursively();
    QDir().mkpath(TMainScreen::SavedFolder());
    QTemporaryDir dir;
    const QString design = TMainScreen::SavedFolder() + "bleed.tsc";
    WriteBleedDesign(design);
    auto window = std::make_unique<TMainScreen>();
    window->show();
    window->OpenBCFile(design);
    window->BusinessCardPanel()->SetZoom(2.0f);
    // The guides show the export's bleed: 1/8 inch until 3 mm is chosen.
    window->findChild<QAction *>("mnuPrintShopGuides")->trigger();
    const int eighthInch = window->BusinessCardPanel()->BleedPixels();

    // The dialog: a bleed that is not a length keeps Export disabled; 3 mm
    // with crop marks redraws the preview larger.
    QImage firstPreview, secondPreview;
    bool refused = false;
    QString pageText;
    WhenModal([](QWidget *w) { return qobject_cast<TPrintShopExportDialog *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *dialog = static_cast<TPrintShopExportDialog *>(w);
                  auto *bleed = dialog->findChild<QComboBox *>("Bleed");
                  auto *exportButton = dialog->findChild<QPushButton *>("ExportButton");
                  firstPreview = dialog->Preview();
                  bleed->setEditText("3 cm");
                  refused = !exportButton->isEnabled();
                  bleed->setEditText("3mm");
                  dialog->findChild<QCheckBox *>("CropMarks")->setChecked(true);
                  QTest::qWait(300);
                  secondPreview = dialog->Preview();
                  pageText = dialog->findChild<QLabel *>("PageSize")->text();
                  exportButton->click();
              });
    const QString pdf = dir.filePath("forshop.pdf");
    AnswerFileDialog(dir.filePath("forshop"));
    window->findChild<QAction *>("mnuExportForPrintShop")->trigger();
    EXPECT_TRUE(refused);
    // Redrawn for the new page: the card smaller within it, the marks around.
    ASSERT_FALSE(secondPreview.isNull());
    EXPECT_NE(secondPreview, firstPreview);
    EXPECT_TRUE(pageText.contains("mm")) << pageText.toStdString();
    ASSERT_TRUE(QFile::exists(pdf));
    EXPECT_NEAR(PdfBox(pdf, "TrimBox").left() - PdfBox(pdf, "BleedBox").left(), 3 / 25.4 * 72,
                0.01);
    // The card at 100 %, whatever the window's zoom: as the batch tool writes it.
    const QString batchPdf = dir.filePath("batch.pdf");
    ASSERT_EQ(
        RunBatch({"export", design, "-o", batchPdf, "--bleed", "3mm", "--crop-marks"}).exitCode, 0);
    EXPECT_NEAR(WordFromTrim(pdf, "EDGEWORD"), WordFromTrim(batchPdf, "EDGEWORD"), 0.5);
    EXPECT_FLOAT_EQ(window->BusinessCardPanel()->ZoomScale(), 2.0f);
    EXPECT_LT(window->BusinessCardPanel()->BleedPixels(), eighthInch);

    // Remembered in TSC.INI, as typed.
    const TPreferences stored = LoadPreferences(PreferencesPath());
    EXPECT_DOUBLE_EQ(stored.Export.Bleed, 3 / 25.4);
    EXPECT_TRUE(stored.ExportInMillimetres);
    EXPECT_TRUE(stored.Export.CropMarks);

    // The image: 150 pixels per inch with the bleed, as JPEG by its name.
    QString sizeText;
    WhenModal([](QWidget *w) { return qobject_cast<TCardImageDialog *>(w) != nullptr; },
              [&](QWidget *w) {
                  w->findChild<QSpinBox *>("Dpi")->setValue(150);
                  w->findChild<QCheckBox *>("WithBleed")->setChecked(true);
                  sizeText = w->findChild<QLabel *>("ImageSize")->text();
                  w->findChild<QPushButton *>("ExportButton")->click();
              });
    const QString jpeg = dir.filePath("card.jpg");
    AnswerFileDialog(jpeg);
    window->findChild<QAction *>("mnuExportCardAsImage")->trigger();
    const QSize expected(int(std::lround((3.5 + 6 / 25.4) * 150)),
                         int(std::lround((2 + 6 / 25.4) * 150)));
    EXPECT_EQ(sizeText,
              QStringLiteral("%1 x %2 pixels").arg(expected.width()).arg(expected.height()));
    QImageReader reader(jpeg);
    EXPECT_EQ(reader.format(), "jpeg");
    EXPECT_EQ(reader.size(), expected);
    EXPECT_EQ(LoadPreferences(PreferencesPath()).ImageDpi, 150);
}
