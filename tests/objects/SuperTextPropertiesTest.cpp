// The SuperText Properties dialog and its Symbol Selector: their controls,
// the live sample, Ok and Cancel, and symbol captions drawn as pictures.
#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "document/ObjectStream.h"
#include "effects/gsstext.h"
#include "effects/gstprop.h"
#include "effects/gstpropGetSym.h"
#include "effects/gstpropGetTexture.h"
#include "graphics/SymbolFonts.h"
#include "surface/ColDrop.h"
#include "objects/Ggetsym.h"

#include <QComboBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

QStringList Items(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

QStringList Items(const QListWidget *list)
{
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text());
    return items;
}

QImage Painted(TGSuperText &text)
{
    text.UpdateLayout();
    QImage image(text.Width(), text.Height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    text.Paint(painter);
    return image;
}

int CountOf(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

// A dialog shown without blocking, its sample a copy of a super text.
class SuperTextPropertiesTest : public ObjectTest
{
protected:
    void Open(const TGSuperText &from)
    {
        dialog = std::make_unique<TSuperTextProperties>();
        dialog->Sample()->CopyProperties(from);
        dialog->show();
        QCoreApplication::processEvents();
    }
    void TearDown() override
    {
        dialog.reset();
        TGSuperText::ShowPropertiesDialog = nullptr;
        TSuperTextProperties::BrowseTexture = nullptr;
        ObjectTest::TearDown();
    }
    std::unique_ptr<TSuperTextProperties> dialog;
};

bool HaveMappedSymbolPictures()
{
    ResetSymbolFontCache();
    return !QFontDatabase::families().contains("Wingdings", Qt::CaseInsensitive) &&
           QFontDatabase::families().contains(SymbolPictureFamilies().first());
}

} // namespace

TEST_F(SuperTextPropertiesTest, CaptionsListsAndRanges)
{
    TGSuperText text;
    Open(text);
    EXPECT_EQ(dialog->windowTitle(), "SuperText Properties");
    EXPECT_EQ(dialog->size(), QSize(582, 423));
    EXPECT_EQ(Items(dialog->findChild<QListWidget *>("SurfaceTypeCombo")),
              QStringList({"Normal", "Transparent", "Texture", "Gradient Fill"}));
    EXPECT_EQ(Items(dialog->findChild<QComboBox *>("FillDirectionCombo")),
              QStringList({"Up", "Down", "Left", "Right"}));
    EXPECT_EQ(Items(dialog->findChild<QComboBox *>("ShadowOrientationCombo")),
              QStringList({"None", "Right", "Left", "Down and Right", "Down and Left", "Down"}));
    EXPECT_EQ(Items(dialog->findChild<QComboBox *>("OutlineStyleCombo")),
              QStringList({"Solid Line", "Dash Line", "Dotted Line", "DashDot Line",
                           "DashDotDot Line", "Clear"}));
    for (const char *name : {"ShadowDepthSpinner", "OutLineWidthSpinner"}) {
        const auto *spin = dialog->findChild<QSpinBox *>(name);
        ASSERT_NE(spin, nullptr) << name;
        EXPECT_EQ(spin->minimum(), 0);
        EXPECT_EQ(spin->maximum(), 10);
    }
    for (const char *name : {"FontColorButton", "GradientFromcolorButton", "GradientToColorButton",
                             "ShadowColorButton", "OutlineColorButton"})
        EXPECT_NE(dialog->findChild<TColorDropDown *>(name), nullptr) << name;
    QStringList buttons;
    for (const QPushButton *b : dialog->findChildren<QPushButton *>())
        buttons.append(b->text());
    for (const char *caption :
         {"Ok", "Cancel", "Select Font", "Select Symbol", "Help", "Load Texture"})
        EXPECT_TRUE(buttons.contains(caption)) << caption;
    EXPECT_TRUE(dialog->OkButton->isDefault());
    EXPECT_NE(dialog->findChild<QWidget *>("RapidChangeFontSize"), nullptr);
    // The text box holds the caption and has the focus first.
    EXPECT_EQ(dialog->CaptionText->text(), "Text");
    EXPECT_EQ(QApplication::focusWidget(), dialog->CaptionText);
    // No texture browser installed: its button cannot be pressed.
    EXPECT_FALSE(dialog->LoadTextureButton->isEnabled());
}

TEST_F(SuperTextPropertiesTest, PanelsFollowTheSurfaceAndTextureStartsWithTheDefault)
{
    TGSuperText text;
    ASSERT_TRUE(text.ImageBitmap().IsEmpty());
    Open(text);
    auto *surface = dialog->SurfaceTypeCombo;
    const auto shown = [&] {
        return QString("%1%2%3")
            .arg(dialog->FontcolorPanel->isVisible() ? "C" : "-")
            .arg(dialog->FillPanel->isVisible() ? "G" : "-")
            .arg(dialog->ImagePanel->isVisible() ? "T" : "-");
    };
    EXPECT_EQ(shown(), "-G-"); // a new text is a gradient
    surface->setCurrentRow(0);
    EXPECT_EQ(dialog->Sample()->SurfaceType(), TGSuperText::stNormal);
    EXPECT_EQ(shown(), "C--");
    surface->setCurrentRow(1);
    EXPECT_EQ(shown(), "---");
    surface->setCurrentRow(2);
    EXPECT_EQ(shown(), "--T");
    EXPECT_EQ(dialog->Sample()->ImageBitmap().Image().size(), QSize(120, 84));
    EXPECT_EQ(dialog->Sample()->ImageBitmap().Image(), dialog->LastUsedTexture().Image());
}

TEST_F(SuperTextPropertiesTest, SizeButtonsStepByFiveAndStopAtTenAndHundredFifty)
{
    TGSuperText text;
    text.Font()->SetSize(12);
    Open(text);
    TGSuperText *sample = dialog->Sample();
    const int wideAt12 = sample->Width();
    dialog->FontSizeDownButton->click();
    EXPECT_EQ(sample->FontData().Size(), 7);
    EXPECT_LT(sample->Width(), wideAt12); // sized to the smaller caption
    dialog->FontSizeDownButton->click();
    EXPECT_EQ(sample->FontData().Size(), 7);

    sample->Font()->SetSize(148);
    dialog->FontSizeUpButton->click();
    EXPECT_EQ(sample->FontData().Size(), 153);
    dialog->FontSizeUpButton->click();
    EXPECT_EQ(sample->FontData().Size(), 153);
    // Down from above the top works, and 10 itself is the floor.
    sample->Font()->SetSize(10);
    dialog->FontSizeDownButton->click();
    EXPECT_EQ(sample->FontData().Size(), 10);
    dialog->FontSizeUpButton->click();
    EXPECT_EQ(sample->FontData().Size(), 15);
}

TEST_F(SuperTextPropertiesTest, TypingResizesTheSampleOnTheTimerNotPerKey)
{
    TGSuperText text;
    Open(text);
    TGSuperText *sample = dialog->Sample();
    dialog->Timer1->stop(); // ticks by hand below
    dialog->CaptionText->selectAll();
    QTest::keyClicks(dialog->CaptionText, "Hello there");
    EXPECT_EQ(sample->Caption(), "Hello there");
    EXPECT_TRUE(dialog->CaptionChanged());
    const int before = sample->Width();
    dialog->Timer1Timer();
    EXPECT_FALSE(dialog->CaptionChanged());
    EXPECT_GT(sample->Width(), before);
    EXPECT_TRUE(dialog->Timer1->isActive()); // the tick starts it again
    // With the real timer the size follows within a few ticks.
    const int grown = sample->Width();
    QTest::keyClicks(dialog->CaptionText, " and more words");
    EXPECT_TRUE(QTest::qWaitFor([&] { return sample->Width() > grown; }, 2000));
}

TEST_F(SuperTextPropertiesTest, ASampleTooNarrowForItsTextShowsItWhole)
{
    // As a click places it: 50 pixels for "Text" in 48-point bold.
    TGSuperText text;
    text.SetBounds(0, 0, 50, 15);
    ASSERT_NE(text.DrawnCaption(), text.Caption());
    Open(text);
    EXPECT_EQ(dialog->Sample()->DrawnCaption(), "Text");
    EXPECT_GT(dialog->Sample()->Width(), 50);
    // A wide one keeps the size it has.
    TGSuperText wide;
    wide.SetBounds(0, 0, 400, 90);
    Open(wide);
    EXPECT_EQ(dialog->Sample()->Width(), 400);
}

TEST_F(SuperTextPropertiesTest, EmptyTextIsRefusedAndTheDialogStaysOpen)
{
    TGSuperText text;
    Open(text);
    dialog->CaptionText->clear();
    TDialogAnswer answer;
    AnswerNextMessageBox(QMessageBox::Ok, &answer);
    dialog->OkButton->click();
    EXPECT_TRUE(answer.seen);
    EXPECT_EQ(answer.text, "Please enter some text");
    EXPECT_EQ(answer.title, "Information");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    QTest::keyClicks(dialog->CaptionText, "X");
    dialog->OkButton->click();
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
}

TEST_F(SuperTextPropertiesTest, EveryControlReachesTheObjectOnlyOnOk)
{
    InstallSuperTextPropertiesDialog();
    TSuperTextProperties::BrowseTexture = [](TGSuperText &example, QString &path, QWidget *) {
        QImage tile(8, 8, QImage::Format_RGB32);
        tile.fill(qRgb(0, 200, 0));
        example.Image()->SetImage(tile);
        path = QStringLiteral("/textures/green.bmp");
        return true;
    };
    auto *text = Place<TGSuperText>(10, 10, 150, 60);
    text->SetLastBitmapFileNameandPath(QStringLiteral("/textures/old.bmp"));
    const QByteArray stored = WriteObjectList({text});

    // Changes everything, checks the sample follows and the object does not.
    const auto changeAll = [&](TSuperTextProperties *d) {
        TGSuperText *sample = d->Sample();
        d->CaptionText->selectAll();
        QTest::keyClicks(d->CaptionText, "Changed");
        d->SurfaceTypeCombo->setCurrentRow(2);
        d->LoadTextureButton->click();
        EXPECT_EQ(sample->ImageBitmap().Image().pixel(0, 0), qRgb(0, 200, 0));
        d->FillDirectionCombo->setCurrentIndex(1);
        d->GradientFromcolorButton->SetColor(0x00FF00);
        d->GradientToColorButton->SetColor(0x800080);
        d->FontColorButton->SetColor(0x0000FF);
        d->ShadowColorButton->SetColor(0x008000);
        d->ShadowOrientationCombo->setCurrentIndex(5);
        d->ShadowDepthSpinner->setValue(7);
        d->OutlineColorButton->SetColor(0x00FFFF);
        d->OutlineStyleCombo->setCurrentIndex(2);
        d->OutLineWidthSpinner->setValue(4);
        d->FontSizeUpButton->click();
        EXPECT_EQ(sample->Caption(), "Changed");
        EXPECT_EQ(sample->FillDirection(), gdDown);
        EXPECT_EQ(sample->GradientFromColor(), 0x00FF00u);
        EXPECT_EQ(sample->GradientToColor(), 0x800080u);
        EXPECT_EQ(sample->FontData().Color(), 0x0000FFu);
        EXPECT_EQ(sample->ShadowColor(), 0x008000u);
        EXPECT_EQ(sample->ShadowOrientation(), TGSuperText::sdDown);
        EXPECT_EQ(sample->ShadowDepth(), 7);
        EXPECT_EQ(sample->OutlineColor(), 0x00FFFFu);
        EXPECT_EQ(sample->OutlineStyle(), psDot);
        EXPECT_EQ(sample->OutlineWidth(), 4);
        EXPECT_EQ(sample->FontData().Size(), 53);
        EXPECT_EQ(d->LastTexturePath(), "/textures/green.bmp");
        EXPECT_EQ(text->Caption(), "Text");
        EXPECT_EQ(WriteObjectList({text}), stored);
    };

    // Cancel leaves the object exactly as it was, texture path included.
    OnNextModal([&](QWidget *modal) {
        auto *d = qobject_cast<TSuperTextProperties *>(modal);
        ASSERT_NE(d, nullptr);
        changeAll(d);
        d->CancelButton->click();
    });
    EXPECT_EQ(REPORTS(text->EditProperties()), 0);
    EXPECT_EQ(WriteObjectList({text}), stored);

    OnNextModal([&](QWidget *modal) {
        auto *d = qobject_cast<TSuperTextProperties *>(modal);
        ASSERT_NE(d, nullptr);
        changeAll(d);
        d->OkButton->click();
    });
    EXPECT_GE(REPORTS(text->EditProperties()), 1);
    EXPECT_EQ(text->Caption(), "Changed");
    EXPECT_EQ(text->SurfaceType(), TGSuperText::stBrushImage);
    EXPECT_EQ(text->ImageBitmap().Image().pixel(0, 0), qRgb(0, 200, 0));
    EXPECT_EQ(text->FillDirection(), gdDown);
    EXPECT_EQ(text->GradientFromColor(), 0x00FF00u);
    EXPECT_EQ(text->GradientToColor(), 0x800080u);
    EXPECT_EQ(text->FontData().Color(), 0x0000FFu);
    EXPECT_EQ(text->ShadowColor(), 0x008000u);
    EXPECT_EQ(text->ShadowOrientation(), TGSuperText::sdDown);
    EXPECT_EQ(text->ShadowDepth(), 7);
    EXPECT_EQ(text->OutlineColor(), 0x00FFFFu);
    EXPECT_EQ(text->OutlineStyle(), psDot);
    EXPECT_EQ(text->OutlineWidth(), 4);
    EXPECT_EQ(text->FontData().Size(), 53);
    EXPECT_EQ(text->LastBitmapFileNameandPath(), "/textures/green.bmp");
}

TEST_F(SuperTextPropertiesTest, SpinnersHoldADamagedDepthWithinTheirRange)
{
    TGSuperText text;
    text.SetLoading(true);
    text.SetShadowDepth(400);
    text.SetOutlineWidth(-3);
    text.SetLoading(false);
    Open(text);
    EXPECT_EQ(dialog->Sample()->ShadowDepth(), 10);
    EXPECT_EQ(dialog->Sample()->OutlineWidth(), 0);
}

TEST(SuperTextSymbolSelectorTest, OpensOnWingdingsAndNeedsASymbolFont)
{
    TSuperTextGetSymbol selector({"Webdings", "wingdings 2", "Symbol", "MyWingding"}, nullptr);
    EXPECT_EQ(selector.windowTitle(), "Symbol Selector");
    EXPECT_EQ(selector.size(), QSize(530, 371));
    EXPECT_EQ(Items(selector.SymbolSets),
              QStringList({"MyWingding", "Symbol", "Webdings", "wingdings 2"}));
    EXPECT_EQ(selector.SymbolSets->currentText(), "MyWingding");
    EXPECT_EQ(selector.CopyCharButton->text(), "Ok");
    EXPECT_EQ(selector.OKButton->text(), "Cancel");
    EXPECT_EQ(selector.SymbolSets->toolTip(), "Select a symbol font set");
    EXPECT_EQ(selector.CopyCharButton->toolTip(), "Copy the selected symbol to the label");
    EXPECT_EQ(selector.SymbolList->count(), 224);
    EXPECT_EQ(selector.SymbolList->Columns(), 15);
    EXPECT_EQ(selector.SymbolList->currentRow(), 0);
    EXPECT_EQ(selector.SymbolList->ShownFont().pixelSize(), 24);

    TSuperTextGetSymbol none(QStringList{}, nullptr);
    TDialogAnswer answer;
    AnswerNextMessageBox(QMessageBox::Ok, &answer);
    EXPECT_EQ(none.exec(), QDialog::Rejected);
    EXPECT_EQ(answer.text, "No Symbol fonts installed");
}

TEST_F(SuperTextPropertiesTest, ASymbolBecomesTheCaptionAndDrawsAsItsPicture)
{
    if (!HaveMappedSymbolPictures())
        GTEST_SKIP() << "needs the picture font and no real Wingdings";
    TGSuperText text;
    text.SetSurfaceType(TGSuperText::stNormal);
    text.Font()->SetColor(0x0000FF); // red
    text.SetShadowDepth(0);
    text.SetOutlineStyle(psClear);
    Open(text);

    // Cancel in the selector leaves the text and font alone.
    OnNextModal([](QWidget *modal) {
        auto *selector = qobject_cast<TSuperTextGetSymbol *>(modal);
        ASSERT_NE(selector, nullptr);
        selector->SymbolList->setCurrentRow(10);
        QTest::mouseClick(selector->OKButton, Qt::LeftButton);
    });
    dialog->SelectSymbolButton->click();
    EXPECT_EQ(dialog->Sample()->Caption(), "Text");
    EXPECT_EQ(dialog->Sample()->FontData().Name(), "Arial");

    // Picks the Wingdings smiley (code 74, 'J') by double-click.
    OnNextModal([](QWidget *modal) {
        auto *selector = qobject_cast<TSuperTextGetSymbol *>(modal);
        ASSERT_NE(selector, nullptr);
        EXPECT_EQ(selector->SymbolSets->currentText(), "Wingdings");
        QListWidgetItem *smiley = selector->SymbolList->item('J' - 32);
        EXPECT_EQ(smiley->text(), QString(QChar(0x263A)));
        selector->SymbolList->setCurrentItem(smiley);
        selector->SymbolList->scrollToItem(smiley);
        const QRect at = selector->SymbolList->visualItemRect(smiley);
        QTest::mouseClick(selector->SymbolList->viewport(), Qt::LeftButton, {}, at.center());
        EXPECT_EQ(selector->ChosenCharacter(), "J");
        QTest::mouseDClick(selector->SymbolList->viewport(), Qt::LeftButton, {}, at.center());
        if (selector->isVisible()) {
            ADD_FAILURE() << "the double-click did not take the symbol";
            selector->reject();
        }
    });
    dialog->SelectSymbolButton->click();
    TGSuperText *sample = dialog->Sample();
    EXPECT_EQ(dialog->CaptionText->text(), "J");
    EXPECT_EQ(sample->Caption(), "J");
    EXPECT_EQ(sample->FontData().Name(), "Wingdings");

    // The sample draws the same pixels as the smiley written in the picture font.
    TGSuperText picture;
    picture.CopyProperties(*sample);
    picture.Font()->SetName(SymbolPictureFamilies().first());
    picture.SetCaption(QString(QChar(0x263A)));
    picture.SetBounds(0, 0, sample->Width(), sample->Height());
    const QImage drawn = Painted(*sample);
    EXPECT_GT(CountOf(drawn, qRgb(255, 0, 0)), 50);
    EXPECT_EQ(drawn, Painted(picture));
    // ... and not the letter J.
    TGSuperText letter;
    letter.CopyProperties(*sample);
    letter.Font()->SetName("DejaVu Sans");
    letter.SetBounds(0, 0, sample->Width(), sample->Height());
    EXPECT_NE(drawn, Painted(letter));
}

TEST_F(SuperTextPropertiesTest, SelectFontTakesTheFontAndTheTextBoxShowsItsTypeface)
{
    TGSuperText text;
    text.Font()->SetColor(0x0000FF);
    Open(text);
    TGSuperText *sample = dialog->Sample();
    const int before = sample->Width();
    OnNextModal([](QWidget *modal) {
        auto *fonts = qobject_cast<QFontDialog *>(modal);
        ASSERT_NE(fonts, nullptr);
        fonts->setCurrentFont(QFont("DejaVu Serif", 160));
        fonts->accept();
    });
    dialog->SelectFontButton->click();
    EXPECT_EQ(sample->FontData().Name(), "DejaVu Serif");
    // Sizes from the font dialog are not held to the buttons' 150 points.
    EXPECT_EQ(sample->FontData().Size(), 160);
    EXPECT_EQ(sample->FontData().Color(), 0x0000FFu); // the colour stays
    EXPECT_GT(sample->Width(), before * 2);
    EXPECT_EQ(dialog->CaptionText->font().family(), "DejaVu Serif");
    EXPECT_NE(dialog->CaptionText->font().pointSize(), 160); // the name only
    // Cancelling the font dialog changes nothing.
    OnNextModal([](QWidget *modal) { qobject_cast<QDialog *>(modal)->reject(); });
    dialog->SelectFontButton->click();
    EXPECT_EQ(sample->FontData().Name(), "DejaVu Serif");
    EXPECT_EQ(sample->FontData().Size(), 160);
}

TEST_F(SuperTextPropertiesTest, TheSavedDesignHoldsWhatTheDialogSet)
{
    const QString batch = QStringLiteral(TESSARO_BINARY_DIR "/tessaro-batch");
    if (!QFile::exists(batch))
        GTEST_SKIP() << "build the tessaro-batch target first";
    InstallSuperTextPropertiesDialog();
    auto *text = Place<TGSuperText>(10, 10, 150, 60);
    OnNextModal([](QWidget *modal) {
        auto *d = qobject_cast<TSuperTextProperties *>(modal);
        ASSERT_NE(d, nullptr);
        d->CaptionText->selectAll();
        QTest::keyClicks(d->CaptionText, "Saved words");
        d->SurfaceTypeCombo->setCurrentRow(0);
        d->ShadowOrientationCombo->setCurrentIndex(2);
        d->ShadowDepthSpinner->setValue(6);
        d->OutlineStyleCombo->setCurrentIndex(1);
        d->OutLineWidthSpinner->setValue(3);
        d->FontSizeDownButton->click();
        d->OkButton->click();
    });
    text->EditProperties();
    ASSERT_EQ(text->FontData().Size(), 43);
    QTemporaryDir dir;
    const QString design = dir.filePath("CARD.TSC");
    surface->SaveToFile(design);
    QProcess process;
    process.start(batch, {"dump", design});
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString dump = QString::fromUtf8(process.readAllStandardOutput());
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    for (const char *line :
         {"Caption = 'Saved words'", "SurfaceType = stNormal", "ShadowOrientation = sdLeft",
          "ShadowDepth = 6", "OutlineStyle = psDash", "OutlineWidth = 3"})
        EXPECT_TRUE(dump.contains(line)) << line << "\n" << dump.toStdString();
    EXPECT_TRUE(dump.contains(QString("Font.Height = %1").arg(text->FontData().Height())));
}

TEST(SuperTextTextureBrowser, OkTakesThePreviewedTextureAndCancelLeavesTheExample)
{
    QTemporaryDir dir;
    QImage green(8, 8, QImage::Format_RGB32);
    green.fill(Qt::green);
    const QString file = dir.filePath("green.bmp");
    ASSERT_TRUE(green.save(file, "BMP"));

    TGSuperText example;
    example.SetBounds(0, 0, 120, 40);
    example.SetSurfaceType(TGSuperText::stBrushImage);
    ASSERT_TRUE(example.ImageBitmap().IsEmpty());

    // Cancel: neither the example nor the path changes, though the browser
    // previewed the texture on its own copy.
    QString path = file;
    bool previewed = false;
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TSuperTextBrushImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        previewed = !browser->ExampleSuperText->ImageBitmap().IsEmpty();
        browser->reject();
    });
    EXPECT_FALSE(TSuperTextBrushImageBrowser::Browse(example, path, nullptr));
    EXPECT_TRUE(previewed);
    EXPECT_TRUE(example.ImageBitmap().IsEmpty());
    EXPECT_EQ(path, file);

    // Ok: the example takes the picture and the path names its file.
    path.clear();
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TSuperTextBrushImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        ASSERT_TRUE(browser->SelectFile(file));
        browser->accept();
    });
    ASSERT_TRUE(TSuperTextBrushImageBrowser::Browse(example, path, nullptr));
    ASSERT_FALSE(example.ImageBitmap().IsEmpty());
    EXPECT_EQ(example.ImageBitmap().Image().pixelColor(3, 3), QColor(Qt::green));
    EXPECT_EQ(QFileInfo(path), QFileInfo(file));
}
