// The preview window on recorded pages, the preview and the outline test page
// from the main window, and background art on the printed sheet.
#include "PrintTestSupport.h"
#include "common/MainWindowFixture.h"
#include "common/TestSupport.h"
#include "document/Filer.h"
#include "objects/gbclabel32.h"
#include "printing/Prevue.h"
#include "printing/Printlbl.h"
#include "report/RPFiler.h"
#include "report/RPreview.h"
#include "shell/IniFile.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"
#include "surface/Gbcpanel32.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int Dpi = 100;

// Two recorded Letter pages, one rectangle on each.
QByteArray TwoPageRecording()
{
    TReportFiler filer;
    filer.SetPaperSize(1);
    filer.OnPrint = [](TBaseReport &report) {
        report.Rectangle(1, 1, 3, 2);
        report.NewPage();
        report.Rectangle(1, 1, 2, 2);
    };
    EXPECT_TRUE(filer.Execute());
    return filer.StreamData();
}

bool Red(const QImage &page, double x, double y, int dpi)
{
    const QRgb p = page.pixel(int(x * dpi), int(y * dpi));
    return qRed(p) > 200 && qGreen(p) < 70 && qBlue(p) < 70;
}

int RedPixels(const QImage &page)
{
    int count = 0;
    for (int y = 0; y < page.height(); y += 2)
        for (int x = 0; x < page.width(); x += 2) {
            const QRgb p = page.pixel(x, y);
            count += qRed(p) > 200 && qGreen(p) < 70 && qBlue(p) < 70;
        }
    return count;
}

class PreviewOutlineTest : public TMainWindowFixture
{
protected:
    // A design with the text "Tessaro" on the card and red art under it, open
    // in the window.
    QString OpenDesignWithArt()
    {
        QImage art(48, 24, QImage::Format_RGB32);
        art.fill(QColor(255, 0, 0));
        artPath = TMainScreen::BackgroundFolder() + "/red.bmp";
        EXPECT_TRUE(art.save(artPath, "BMP"));
        TGBusinessCardPanel32 panel;
        panel.SetOwner(&panel);
        panel.setFixedSize(336, 192);
        auto *label = new TGBusinessCardLabel(&panel);
        label->MakeReady();
        label->SetCaption(QStringLiteral("Tessaro"));
        label->SetAlignment(taLeftJustify);
        label->Font()->SetName(QStringLiteral("Arial"));
        label->Font()->SetSize(20);
        panel.PlaceObject(label, TRect::FromBounds(48, 24, 240, 48));
        label->SetBounds(48, 24, 240, 48);
        const QString design = TMainScreen::SavedFolder() + "card.tsc";
        panel.SaveToFile(design);
        WriteSidecar(design, artPath);
        window->OpenBCFile(design);
        EXPECT_EQ(window->BackgroundArtFile(), artPath);
        return design;
    }
    void CloseStatusWhenDone(int *jobs = nullptr)
    {
        WhenModal(
            [](QWidget *w) {
                auto *status = qobject_cast<TLabelPrinter *>(w);
                return status && status->JobRan();
            },
            [jobs](QWidget *w) {
                if (jobs)
                    ++*jobs;
                static_cast<TLabelPrinter *>(w)->CancelButton->click();
            });
    }

    QString artPath;
};

TEST_F(PreviewOutlineTest, PreviewWindowZoomsScrollsAndTurnsPages)
{
    TPreviewForm form;
    form.RestoreWindowPlacement = [](QWidget *w) { RestorePlacement(w); };
    form.SaveWindowPlacement = [](QWidget *w) { SavePlacement(w); };
    form.SetRecording(TwoPageRecording());
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    TFilePreview &view = form.FilePreview1();
    EXPECT_EQ(form.windowTitle(), "Preview Page 1 of 2");
    EXPECT_EQ(view.ZoomFactor(), 100.0);

    // The four buttons.
    form.findChild<QToolButton *>("sbZoomIn")->click();
    EXPECT_EQ(view.ZoomFactor(), 110.0);
    form.findChild<QToolButton *>("sbZoomOut")->click();
    form.findChild<QToolButton *>("sbZoomOut")->click();
    EXPECT_EQ(view.ZoomFactor(), 90.0);
    QScrollArea *box = form.ScrollBox1();
    form.findChild<QToolButton *>("sbZoomPageWidth")->click();
    QCoreApplication::processEvents();
    EXPECT_NEAR(view.ZoomFactor(), view.PageWidthZoom(), 0.01);
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0);
    EXPECT_GT(box->verticalScrollBar()->maximum(), 0);
    form.findChild<QToolButton *>("sbZoomPage")->click();
    QCoreApplication::processEvents();
    EXPECT_LT(view.ZoomFactor(), view.PageWidthZoom());
    EXPECT_EQ(box->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(box->verticalScrollBar()->maximum(), 0);

    // Clicks on the page and beside it: left zooms in, any other button out,
    // under the magnifying glass.
    view.SetZoomFactor(100);
    QWidget *page = view.PageWidgets().value(0);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->cursor().shape(), Qt::BitmapCursor);
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(40, 40));
    EXPECT_EQ(view.ZoomFactor(), 110.0);
    QTest::mouseClick(page, Qt::RightButton, {}, QPoint(40, 40));
    QTest::mouseClick(page, Qt::MiddleButton, {}, QPoint(40, 40));
    EXPECT_EQ(view.ZoomFactor(), 90.0);
    QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(view.ZoomFactor(), 100.0);

    // Up and Down scroll by the bar's step, never past either end, whichever
    // control has the focus.
    view.SetZoomFactor(200);
    QCoreApplication::processEvents();
    QScrollBar *bar = box->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 3 * bar->singleStep());
    form.CloseButton->setFocus();
    QTest::keyClick(form.CloseButton, Qt::Key_Down);
    QTest::keyClick(form.CloseButton, Qt::Key_Down);
    EXPECT_EQ(bar->value(), 2 * bar->singleStep());
    QTest::keyClick(form.CloseButton, Qt::Key_Up);
    EXPECT_EQ(bar->value(), bar->singleStep());
    QTest::keyClick(form.CloseButton, Qt::Key_Up);
    QTest::keyClick(form.CloseButton, Qt::Key_Up);
    EXPECT_EQ(bar->value(), 0);
    bar->setValue(bar->maximum());
    QTest::keyClick(box->viewport(), Qt::Key_Down);
    EXPECT_EQ(bar->value(), bar->maximum());

    // Page Down / Page Up turn the pages; the caption follows.
    QTest::keyClick(form.CloseButton, Qt::Key_PageDown);
    EXPECT_EQ(form.windowTitle(), "Preview Page 2 of 2");
    EXPECT_TRUE(view.PageWidgets().value(1)->isVisible());
    EXPECT_FALSE(view.PageWidgets().value(0)->isVisible());
    QTest::keyClick(form.CloseButton, Qt::Key_PageDown);
    EXPECT_EQ(form.windowTitle(), "Preview Page 2 of 2");
    QTest::keyClick(form.CloseButton, Qt::Key_PageUp);
    EXPECT_EQ(form.windowTitle(), "Preview Page 1 of 2");

    // Ok closes it and keeps its place for the next preview.
    form.resize(500, 400);
    form.move(40, 30);
    const QRect placed = form.geometry();
    form.CloseButton->click();
    EXPECT_FALSE(form.isVisible());
    TIniFile ini(PreferencesPath());
    const QString section = PlacementSection(&form);
    EXPECT_TRUE(section.startsWith("TPreviewForm_Placement"));
    EXPECT_EQ(ini.ReadInteger(section, "Left", -1), placed.left());
    EXPECT_EQ(ini.ReadInteger(section, "Right", -1), placed.left() + placed.width());

    TPreviewForm again;
    again.RestoreWindowPlacement = [](QWidget *w) { RestorePlacement(w); };
    again.SetRecording(TwoPageRecording());
    again.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(again.geometry().topLeft(), placed.topLeft());
    EXPECT_EQ(again.windowTitle(), "Preview Page 1 of 2");
}

TEST_F(PreviewOutlineTest, UnreadableRecordingIsReportedNotShown)
{
    TPreviewForm form;
    form.SetRecording(QByteArray("not a recording"));
    QString error;
    EXPECT_FALSE(form.Start(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(form.windowTitle(), "Preview Business Cards");
}

TEST_F(PreviewOutlineTest, PreviewShowsTheFirstCardFramedInSilverOverItsArt)
{
    Start();
    OpenDesignWithArt();
    CloseStatusWhenDone();
    QString title;
    QImage shown;
    WhenModal([](QWidget *w) { return qobject_cast<TPreviewForm *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *preview = static_cast<TPreviewForm *>(w);
                  title = preview->windowTitle();
                  shown = preview->FilePreview1().RenderPage(1);
                  preview->CloseButton->click();
              });
    window->mnuPreviewClick();
    EXPECT_EQ(title, "Preview Page 1 of 1");
    ASSERT_FALSE(shown.isNull());
    const int dpi = shown.width() * 2 / 17; // Letter, 8.5 inches wide
    // The art under the first card, to its corners; nothing at the second.
    EXPECT_TRUE(Red(shown, 0.75 + 0.1, 0.5 + 0.1, dpi));
    EXPECT_TRUE(Red(shown, 0.75 + 3.4, 0.5 + 1.9, dpi));
    EXPECT_FALSE(Red(shown, 0.75 + 3.5 + 1.75, 0.5 + 1.0, dpi));
    EXPECT_FALSE(Red(shown, 0.75 + 1.75, 2.5 + 1.0, dpi));
    // The silver frame just outside the art's edge, on the left side.
    bool silver = false;
    for (int dx = -2; dx <= 2; ++dx) {
        const QColor c = shown.pixelColor(int(0.75 * dpi) + dx, int(1.5 * dpi));
        silver |= std::abs(c.red() - 192) < 20 && std::abs(c.green() - 192) < 20 &&
                  std::abs(c.blue() - 192) < 20;
    }
    EXPECT_TRUE(silver);
}

TEST_F(PreviewOutlineTest, BackgroundArtLiesUnderEveryPrintedCardAndMissingArtIsSkipped)
{
    Start();
    OpenDesignWithArt();
    const QString pdf = dir.filePath("sheet.pdf");
    CloseStatusWhenDone();
    ASSERT_TRUE(window->PrintToPdf(pdf));
    QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    for (int index = 0; index < 10; ++index) {
        const double x = 0.75 + (index % 2) * 3.5;
        const double y = 0.5 + (index / 2) * 2.0;
        // Stretched over the whole card: near each corner, and not beyond.
        EXPECT_TRUE(Red(pages[0], x + 0.05, y + 0.05, Dpi)) << "card " << index + 1;
        EXPECT_TRUE(Red(pages[0], x + 3.45, y + 1.95, Dpi)) << "card " << index + 1;
        EXPECT_TRUE(Red(pages[0], x + 0.05, y + 1.95, Dpi)) << "card " << index + 1;
    }
    EXPECT_FALSE(Red(pages[0], 0.5, 1.0, Dpi));
    EXPECT_FALSE(Red(pages[0], 4.0, 10.75, Dpi));
    int words = 0;
    for (const TPdfWord &w : PdfWords(pdf))
        words += w.text == QLatin1String("Tessaro");
    EXPECT_EQ(words, 10);

    // The art's file has gone: the cards still print, without it.
    ASSERT_TRUE(QFile::remove(artPath));
    const QString second = dir.filePath("second.pdf");
    CloseStatusWhenDone();
    ASSERT_TRUE(window->PrintToPdf(second));
    pages = RenderPdf(second, Dpi);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_EQ(RedPixels(pages[0]), 0);
    words = 0;
    for (const TPdfWord &w : PdfWords(second))
        words += w.text == QLatin1String("Tessaro");
    EXPECT_EQ(words, 10);
}

TEST_F(PreviewOutlineTest, OutlineTestPageDrawsOnlyTheSelectedOutlines)
{
    Start();
    OpenDesignWithArt();
    window->PrintSelection[8] = false;
    window->PrintSelection[9] = false;
    QAction *item = window->findChild<QAction *>("mnuPrintOutlineTestPage");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());

    // Without a printer it asks for a PDF file; cancelling prints nothing.
    int jobs = 0;
    WhenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [](QWidget *w) { static_cast<QFileDialog *>(w)->reject(); });
    item->trigger();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());

    const QString pdf = dir.filePath("outline.pdf");
    WhenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [&](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  dialog->findChild<QLineEdit *>("fileNameEdit")->setText(dir.filePath("outline"));
                  static_cast<QDialog *>(dialog)->accept();
              });
    CloseStatusWhenDone(&jobs);
    item->trigger();
    EXPECT_EQ(jobs, 1);
    ASSERT_TRUE(QFile::exists(pdf));
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    const QImage &page = pages[0];

    // Positions 1 to 8 are outlined; 9 and 10 are left blank.
    for (int index = 0; index < 8; ++index) {
        const double x = 0.75 + (index % 2) * 3.5;
        const double y = 0.5 + (index / 2) * 2.0;
        const std::string what = "card " + std::to_string(index + 1);
        EXPECT_GE(FindVerticalLine(page, Dpi, x, y, y + 2.0, 1), 0) << what;
        EXPECT_GE(FindVerticalLine(page, Dpi, x + 3.5, y, y + 2.0, 1), 0) << what;
        EXPECT_GE(FindHorizontalLine(page, Dpi, y, x, x + 3.5, 1), 0) << what;
        EXPECT_GE(FindHorizontalLine(page, Dpi, y + 2.0, x, x + 3.5, 1), 0) << what;
        // Nothing inside: no art, no card content.
        EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(x + 0.1, y + 0.1, 3.3, 1.8)), 0) << what;
    }
    EXPECT_EQ(DarkPixelsIn(page, Dpi, QRectF(0.75 - 0.1, 8.5 + 0.05, 7.2, 2.1)), 0);
    EXPECT_EQ(RedPixels(page), 0);
    EXPECT_TRUE(PdfWords(pdf).isEmpty());
    // The next print is a whole sheet again.
    const QString sheet = dir.filePath("sheet.pdf");
    CloseStatusWhenDone();
    ASSERT_TRUE(window->PrintToPdf(sheet));
    EXPECT_GT(RedPixels(RenderPdf(sheet, Dpi).value(0)), 0);
}

TEST_F(PreviewOutlineTest, OutlineTestPageGoesThroughTheSystemPrintDialog)
{
    if (CupsQueue().isEmpty() || CupsPdfFolder().isEmpty())
        GTEST_SKIP() << "no CUPS PDF queue (scripts/test starts one; TESSARO_CUPS_QUEUE unset)";
    TMainScreen::PrinterCheck = [](bool report) { return PrinterAvailable(report); };
    Start();
    ASSERT_NE(window->MainReport(), nullptr);
    OpenDesignWithArt();
    window->PrintSelection[8] = false;
    window->PrintSelection[9] = false;
    QAction *item = window->findChild<QAction *>("mnuPrintOutlineTestPage");
    const auto isPrintDialog = [](QWidget *w) {
        return qobject_cast<QPrintDialog *>(w) != nullptr;
    };

    // Cancelling the print dialog prints nothing.
    ASSERT_TRUE(WaitForIdleCupsQueue());
    QStringList before = CupsPdfFiles();
    bool asked = false;
    WhenModal(isPrintDialog, [&](QWidget *w) {
        asked = true;
        static_cast<QDialog *>(w)->reject();
    });
    item->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(WaitForNewCupsPdf(before, 3000).isEmpty());

    int jobs = 0;
    WhenModal(isPrintDialog, [](QWidget *w) { static_cast<QDialog *>(w)->accept(); });
    CloseStatusWhenDone(&jobs);
    item->trigger();
    EXPECT_EQ(jobs, 1);
    const QString pdf = WaitForNewCupsPdf(before);
    ASSERT_FALSE(pdf.isEmpty());
    const QList<QImage> pages = RenderPdf(pdf, Dpi);
    ASSERT_EQ(pages.size(), 1);
    for (int index = 0; index < 8; ++index) {
        const double x = 0.75 + (index % 2) * 3.5;
        const double y = 0.5 + (index / 2) * 2.0;
        EXPECT_GE(FindVerticalLine(pages[0], Dpi, x, y, y + 2.0, 1), 0) << index;
        EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, QRectF(x + 0.1, y + 0.1, 3.3, 1.8)), 0) << index;
    }
    EXPECT_EQ(DarkPixelsIn(pages[0], Dpi, QRectF(0.65, 8.55, 7.2, 2.1)), 0);
    EXPECT_EQ(RedPixels(pages[0]), 0);
}

} // namespace
