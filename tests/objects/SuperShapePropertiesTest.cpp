#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "document/Desktop.h"
#include "document/ObjectStream.h"
#include "document/ProgramFolder.h"
#include "effects/Gbimageb.h"
#include "effects/Gssprop.h"
#include "surface/ColDrop.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QListView>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

QStringList Items(const QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// Chooses a list item with the keyboard, as a user would: Home, then Down.
void Choose(QComboBox *combo, int index)
{
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Home);
    for (int i = 0; i < index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentIndex(), index);
}

// Types a value into a spin box and confirms it with Enter.
void Type(QSpinBox *spin, int value)
{
    spin->setFocus();
    spin->selectAll();
    QTest::keyClicks(spin, QString::number(value));
    QTest::keyClick(spin, Qt::Key_Return);
}

void ChooseColor(TColorDropDown *combo, TColor color)
{
    for (int i = 0; i < int(TColorDropDown::Entries().size()); ++i)
        if (TColorDropDown::Entries()[i].value == color) {
            Choose(combo, i);
            return;
        }
    ADD_FAILURE() << "colour not listed";
}

QImage Filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// The bytes a design stores for the object: equal bytes, equal object.
QByteArray Stored(TStoredObject *object)
{
    return WriteObjectList({object});
}

class SuperShapePropertiesTest : public ObjectTest
{
protected:
    void SetUp() override
    {
        ObjectTest::SetUp();
        TSuperShape::ShowPropertiesDialog = RunSuperShapeProperties;
    }
    void TearDown() override
    {
        TSuperShape::ShowPropertiesDialog = nullptr;
        ObjectTest::TearDown();
    }
    // Opens the object's dialog and runs the steps on it while it is up; the
    // steps close it.
    void EditWith(TSuperShape *shape, std::function<void(TSuperShapeProperties &)> steps)
    {
        bool ran = false;
        OnNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<TSuperShapeProperties *>(modal);
            ran = true;
            if (!dialog) {
                ADD_FAILURE() << "another window opened";
                modal->close();
                return;
            }
            steps(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        shape->EditProperties();
        EXPECT_TRUE(ran);
    }
};

} // namespace

TEST(SuperShapeProperties, ListsRangesAndCaptionsAreTheDialogs)
{
    TSuperShapeProperties dialog;
    EXPECT_EQ(dialog.windowTitle(), "Super Shape Properties");
    EXPECT_EQ(dialog.size(), QSize(592, 393));
    EXPECT_EQ(Items(dialog.ShapeCombo),
              QStringList({"Rectangle", "Round Rectangle", "Ellipse                  ", "Diamond",
                           "Star", "Triangle Left", "Triangle Right", "Triangle Up",
                           "Triangle Down"}));
    EXPECT_EQ(Items(dialog.SurfaceTypeCombo),
              QStringList({"Transparent", "Solid", "Texture", "Gradient Fill"}));
    EXPECT_EQ(Items(dialog.FillDirectionCombo), QStringList({"Up", "Down", "Left", "Right"}));
    EXPECT_EQ(Items(dialog.ShadowOrientationCombo),
              QStringList({"None", "Lower Right", "Upper Right", "Upper Left", "Lower Left"}));
    EXPECT_EQ(Items(dialog.OutlineStyleCombo),
              QStringList({"Solid Line", "Dash Line", "Dotted Line", "DashDot Line",
                           "DashDotDot Line", "Clear"}));
    for (TColorDropDown *colors :
         {dialog.BackGroundColorCombo, dialog.BackGroundColorCombo2, dialog.GradientToColorCombo,
          dialog.ShadowColorCombo, dialog.OutlineColorCombo})
        EXPECT_EQ(colors->count(), 18) << colors->objectName().toStdString();

    struct Range
    {
        QSpinBox *spin;
        int min, max, step;
    };
    for (const Range &r : {Range{dialog.PointsOnStar, 5, 20, 1},
                           Range{dialog.PercentinVector, 0, 90, 5},
                           Range{dialog.RoundPercent, 0, 90, 5},
                           Range{dialog.ShadowDepthSpinner, 0, 10, 1},
                           Range{dialog.OutLineWidthSpinner, 0, 10, 1}}) {
        SCOPED_TRACE(r.spin->objectName().toStdString());
        EXPECT_EQ(r.spin->minimum(), r.min);
        EXPECT_EQ(r.spin->maximum(), r.max);
        EXPECT_EQ(r.spin->singleStep(), r.step);
    }
    // Each group's alternatives share one place.
    EXPECT_EQ(dialog.RRPanel->geometry(), dialog.StarPanel->geometry());
    EXPECT_EQ(dialog.FillPanel->pos(), dialog.PatternPanel->pos());
    EXPECT_EQ(dialog.ImagePanel->pos(), dialog.PatternPanel->pos());
    EXPECT_EQ(dialog.PatternPanel->y(), dialog.StarPanel->y());
    EXPECT_TRUE(dialog.OkButton->isDefault());
    EXPECT_EQ(HelpTopicOf(&dialog), 40011);
    EXPECT_FALSE(dialog.ShapeCombo->whatsThis().isEmpty());
}

TEST(SuperShapeProperties, PanelsFollowTheShapeAndTheSurface)
{
    TSuperShapeProperties dialog;
    dialog.show();
    struct Case
    {
        int shape;
        bool star, rr;
    };
    for (const Case &c : {Case{TSuperShape::gstStar, true, false},
                          Case{TSuperShape::gstRoundRect, false, true},
                          Case{TSuperShape::gstEllipse, false, false},
                          Case{TSuperShape::gstTriangleDown, false, false}}) {
        Choose(dialog.ShapeCombo, c.shape);
        EXPECT_EQ(dialog.Sample().Shape(), c.shape);
        EXPECT_EQ(dialog.StarPanel->isVisible(), c.star) << c.shape;
        EXPECT_EQ(dialog.RRPanel->isVisible(), c.rr) << c.shape;
    }
    const QFrame *panels[] = {nullptr, dialog.PatternPanel, dialog.ImagePanel, dialog.FillPanel};
    for (int surface = 0; surface < 4; ++surface) {
        Choose(dialog.SurfaceTypeCombo, surface);
        EXPECT_EQ(dialog.Sample().SurfaceType(), surface);
        for (const QFrame *panel : {dialog.PatternPanel, dialog.ImagePanel, dialog.FillPanel})
            EXPECT_EQ(panel->isVisible(), panel == panels[surface])
                << surface << panel->objectName().toStdString();
    }
}

TEST(SuperShapeProperties, ShowingClampsToTheRangesAndWritesTheShownValues)
{
    TSuperShapeProperties dialog;
    TSuperShape &sample = dialog.Sample();
    sample.SetVectors(44);
    sample.SetInVectorPercent(95);
    sample.SetOutlineWidth(14);
    sample.SetShadowDepth(3);
    sample.SetShape(TSuperShape::gstPolyGon);
    dialog.FormActivate();
    EXPECT_EQ(sample.Vectors(), 40);
    EXPECT_EQ(dialog.PointsOnStar->value(), 20);
    EXPECT_EQ(sample.InVectorPercent(), 90);
    EXPECT_EQ(sample.OutlineWidth(), 10);
    EXPECT_EQ(sample.ShadowDepth(), 3);
    EXPECT_EQ(dialog.ShapeCombo->currentIndex(), -1); // the polygon has no item

    // Seven points make a star of fourteen vectors.
    Type(dialog.PointsOnStar, 7);
    EXPECT_EQ(sample.Vectors(), 14);
}

TEST(SuperShapeProperties, BothBackgroundColourListsShowTheOneColour)
{
    TSuperShapeProperties dialog;
    dialog.show();
    ChooseColor(dialog.BackGroundColorCombo, 0x0000FF); // clRed
    EXPECT_EQ(dialog.Sample().BackColor(), TColor(0x0000FF));
    EXPECT_EQ(dialog.BackGroundColorCombo2->Color(), TColor(0x0000FF));
    ChooseColor(dialog.BackGroundColorCombo2, 0x800000); // clNavy
    EXPECT_EQ(dialog.Sample().BackColor(), TColor(0x800000));
    EXPECT_EQ(dialog.BackGroundColorCombo->Color(), TColor(0x800000));
}

TEST(SuperShapeProperties, TextureComesBackAfterAnotherSurfaceType)
{
    TSuperShapeProperties dialog;
    TGBitmap texture;
    texture.SetImage(Filled(QSize(8, 8), Qt::darkGreen));
    dialog.Sample().SetSurfaceType(TSuperShape::stBrushImage);
    dialog.Sample().SetImage(&texture);
    dialog.show();
    Choose(dialog.SurfaceTypeCombo, TSuperShape::stGradientFill);
    ASSERT_TRUE(dialog.Sample().ImageBitmap().IsEmpty()); // the shape dropped it
    // Showing the dialog again (as after a help window) must not forget it.
    dialog.FormActivate();
    Choose(dialog.SurfaceTypeCombo, TSuperShape::stBrushImage);
    ASSERT_FALSE(dialog.Sample().ImageBitmap().IsEmpty());
    EXPECT_EQ(dialog.Sample().ImageBitmap().Image().pixel(3, 3), QColor(Qt::darkGreen).rgb());
}

TEST_F(SuperShapePropertiesTest, ControlsChangeTheSampleAtOnceAndTheObjectOnlyOnOk)
{
    auto *shape = Place<TSuperShape>(10, 10, 120, 90);
    shape->SetSurfaceType(TSuperShape::stGradientFill);
    changes = 0;
    const QByteArray before = Stored(shape);
    EditWith(shape, [&](TSuperShapeProperties &d) {
        TSuperShape &sample = d.Sample();
        EXPECT_EQ(sample.Width(), 120);
        const QImage shownBefore = d.SampleBox->grab().toImage();
        Choose(d.ShapeCombo, TSuperShape::gstRoundRect);
        EXPECT_EQ(sample.Shape(), TSuperShape::gstRoundRect);
        Type(d.RoundPercent, 40);
        EXPECT_EQ(sample.RoundPerc(), 40);
        Choose(d.FillDirectionCombo, gdRight);
        EXPECT_EQ(sample.FillDirection(), gdRight);
        ChooseColor(d.GradientToColorCombo, 0x00FFFF); // clYellow
        EXPECT_EQ(sample.GradientToColor(), TColor(0x00FFFF));
        Choose(d.ShadowOrientationCombo, TSuperShape::soUpperLeft);
        EXPECT_EQ(sample.ShadowOrient(), TSuperShape::soUpperLeft);
        Type(d.ShadowDepthSpinner, 7);
        EXPECT_EQ(sample.ShadowDepth(), 7);
        ChooseColor(d.ShadowColorCombo, 0x808080); // clGray
        EXPECT_EQ(sample.ShadowColor(), TColor(0x808080));
        Choose(d.OutlineStyleCombo, psDash);
        EXPECT_EQ(sample.OutlineStyle(), psDash);
        Type(d.OutLineWidthSpinner, 3);
        EXPECT_EQ(sample.OutlineWidth(), 3);
        ChooseColor(d.OutlineColorCombo, 0x008000); // clGreen
        EXPECT_EQ(sample.OutlineColor(), TColor(0x008000));
        // The preview shows it, and the card object has not changed at all.
        EXPECT_NE(d.SampleBox->grab().toImage(), shownBefore);
        EXPECT_EQ(Stored(shape), before);
        EXPECT_EQ(changes, 0);
        d.OkButton->click();
    });
    EXPECT_EQ(shape->Shape(), TSuperShape::gstRoundRect);
    EXPECT_EQ(shape->RoundPerc(), 40);
    EXPECT_EQ(shape->FillDirection(), gdRight);
    EXPECT_EQ(shape->GradientToColor(), TColor(0x00FFFF));
    EXPECT_EQ(shape->ShadowOrient(), TSuperShape::soUpperLeft);
    EXPECT_EQ(shape->ShadowDepth(), 7);
    EXPECT_EQ(shape->ShadowColor(), TColor(0x808080));
    EXPECT_EQ(shape->OutlineStyle(), psDash);
    EXPECT_EQ(shape->OutlineWidth(), 3);
    EXPECT_EQ(shape->OutlineColor(), TColor(0x008000));
    EXPECT_EQ(shape->Width(), 120); // the size stays the object's
    EXPECT_GE(changes, 1);
}

TEST_F(SuperShapePropertiesTest, CancelAfterBrowsingTexturesLeavesTheObjectAsItWas)
{
    QTemporaryDir dir;
    const QString old = dir.filePath("old.bmp");
    const QString fresh = dir.filePath("fresh.bmp");
    ASSERT_TRUE(Filled(QSize(10, 10), Qt::blue).save(old, "BMP"));
    ASSERT_TRUE(Filled(QSize(12, 12), Qt::red).save(fresh, "BMP"));
    auto *shape = Place<TSuperShape>(10, 10, 100, 100);
    shape->SetSurfaceType(TSuperShape::stBrushImage);
    TGBitmap blue;
    blue.SetImage(Filled(QSize(10, 10), Qt::blue));
    shape->SetImage(&blue);
    shape->SetLastBitmapFileNameandPath(old);
    changes = 0;
    const QByteArray before = Stored(shape);

    QString startedAt;
    auto browseFresh = [&](TSuperShapeProperties &d) {
        d.ShowBrowser = [&](TGBrushImageBrowser &browser) {
            startedAt = browser.FileName(); // opened at the last texture
            EXPECT_TRUE(browser.SelectFile(fresh));
            EXPECT_EQ(browser.Texture().size(), QSize(12, 12));
            return int(QDialog::Accepted);
        };
        d.LoadTextureButton->click();
        EXPECT_EQ(d.Sample().ImageBitmap().Image().size(), QSize(12, 12));
        EXPECT_EQ(d.LastTexturePath, fresh);
    };
    EditWith(shape, [&](TSuperShapeProperties &d) {
        browseFresh(d);
        Choose(d.ShapeCombo, TSuperShape::gstDiamond);
        d.CancelButton->click();
    });
    EXPECT_EQ(QFileInfo(startedAt), QFileInfo(old));
    EXPECT_EQ(Stored(shape), before);
    EXPECT_EQ(shape->LastBitmapFileNameandPath(), old);
    EXPECT_EQ(changes, 0);

    // The same on Ok takes the texture and where it came from.
    EditWith(shape, [&](TSuperShapeProperties &d) {
        browseFresh(d);
        d.OkButton->click();
    });
    EXPECT_EQ(shape->LastBitmapFileNameandPath(), fresh);
    EXPECT_EQ(shape->ImageBitmap().Image().pixel(5, 5), QColor(Qt::red).rgb());
}

TEST_F(SuperShapePropertiesTest, BrowserStartsInTheTextureFolderWhenTheLastFileIsGone)
{
    const QString textures = ProgramFolder() + "bmbrush";
    ASSERT_TRUE(QDir().mkpath(textures));
    auto *shape = Place<TSuperShape>(10, 10, 60, 60);
    shape->SetSurfaceType(TSuperShape::stBrushImage);
    shape->SetLastBitmapFileNameandPath("/no/such/folder/gone.bmp");
    QString folder;
    EditWith(shape, [&](TSuperShapeProperties &d) {
        d.ShowBrowser = [&](TGBrushImageBrowser &browser) {
            folder = browser.Folder();
            EXPECT_EQ(browser.windowTitle(), "Load Texture Image");
            EXPECT_EQ(browser.size(), QSize(596, 286));
            return int(QDialog::Accepted); // Ok with nothing chosen
        };
        d.LoadTextureButton->click();
        d.OkButton->click();
    });
    EXPECT_EQ(folder, QDir::cleanPath(textures));
    // Nothing chosen: the texture and its path stay.
    EXPECT_EQ(shape->LastBitmapFileNameandPath(), "/no/such/folder/gone.bmp");
}

TEST(TextureBrowser, ListsTexturesOnlyAndReportsUnreadableBitmaps)
{
    QTemporaryDir dir;
    ASSERT_TRUE(Filled(QSize(6, 6), Qt::green).save(dir.filePath("good.bmp"), "BMP"));
    WriteBytes(dir.filePath("broken.bmp"), QByteArray("BM") + QByteArray(60, '\x7f'));
    WriteBytes(dir.filePath("broken.jpg"), QByteArray("not a picture"));
    WriteBytes(dir.filePath("drawing.wmf"), QByteArray("metafile"));
    WriteBytes(dir.filePath("photo.png"), QByteArray("png"));

    TGBrushImageBrowser browser;
    browser.SetFolder(dir.path());
    QAbstractItemModel *model = browser.FileListBox1->model();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return model->rowCount(browser.FileListBox1->rootIndex()) == 3; }, 5000));
    EXPECT_FALSE(browser.SelectFile(dir.filePath("photo.png")));
    EXPECT_FALSE(browser.SelectFile(dir.filePath("drawing.wmf")));

    ASSERT_TRUE(browser.SelectFile(dir.filePath("good.bmp")));
    EXPECT_FALSE(browser.ExampleSuperShape->ImageBitmap().IsEmpty());
    TDialogAnswer answer;
    AnswerNextMessageBox(QMessageBox::Ok, &answer);
    ASSERT_TRUE(browser.SelectFile(dir.filePath("broken.bmp")));
    EXPECT_TRUE(answer.seen);
    EXPECT_EQ(answer.text, "Error loading file!");
    EXPECT_TRUE(browser.ExampleSuperShape->ImageBitmap().IsEmpty());
    EXPECT_TRUE(browser.Texture().isNull());

    // Other kinds fail silently, also emptying the texture.
    ASSERT_TRUE(browser.SelectFile(dir.filePath("good.bmp")));
    TDialogAnswer none;
    AnswerNextMessageBox(QMessageBox::Ok, &none);
    ASSERT_TRUE(browser.SelectFile(dir.filePath("broken.jpg")));
    QTest::qWait(50);
    EXPECT_FALSE(none.seen);
    EXPECT_TRUE(browser.ExampleSuperShape->ImageBitmap().IsEmpty());
    EXPECT_TRUE(ReportsTextureLoadError("a.WMF"));
    EXPECT_FALSE(ReportsTextureLoadError("a.jpg"));
}

TEST(TextureBrowser, LargeTexturesAreScaledDownOnLoading)
{
    QTemporaryDir dir;
    QImage big = Filled(QSize(3000, 3000), Qt::white);
    big.setPixelColor(2999, 2999, Qt::black);
    ASSERT_TRUE(big.save(dir.filePath("big.bmp"), "BMP"));
    ASSERT_TRUE(Filled(QSize(3000, 1200), Qt::gray).save(dir.filePath("wide.bmp"), "BMP"));
    ASSERT_TRUE(Filled(QSize(2000, 40), Qt::gray).save(dir.filePath("edge.bmp"), "BMP"));
    EXPECT_EQ(LoadTextureFile(dir.filePath("big.bmp")).size(), QSize(2000, 2000));
    EXPECT_EQ(LoadTextureFile(dir.filePath("wide.bmp")).size(), QSize(2000, 800));
    EXPECT_EQ(LoadTextureFile(dir.filePath("edge.bmp")).size(), QSize(2000, 40));

    TGBrushImageBrowser browser;
    ASSERT_TRUE(browser.SelectFile(dir.filePath("big.bmp")));
    EXPECT_EQ(browser.ExampleSuperShape->ImageBitmap().Image().size(), QSize(2000, 2000));
}

TEST_F(SuperShapePropertiesTest, SavedDesignHoldsWhatTheDialogSet)
{
    auto *shape = Place<TSuperShape>(10, 10, 100, 80);
    EditWith(shape, [&](TSuperShapeProperties &d) {
        Choose(d.ShapeCombo, TSuperShape::gstStar);
        Type(d.PointsOnStar, 6);
        Type(d.PercentinVector, 30);
        Choose(d.SurfaceTypeCombo, TSuperShape::stBrushPattern);
        ChooseColor(d.BackGroundColorCombo, 0x008080); // clOlive
        Choose(d.ShadowOrientationCombo, TSuperShape::soLowerLeft);
        d.OkButton->click();
    });
    QTemporaryDir dir;
    const QString path = dir.filePath("STAR.TSC");
    WriteBytes(path, Stored(shape));
    QProcess batch;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    batch.setProcessEnvironment(env);
    batch.start(TESSARO_BINARY_DIR "/tessaro-batch", {"dump", path});
    ASSERT_TRUE(batch.waitForFinished(60000));
    ASSERT_EQ(batch.exitCode(), 0) << batch.readAllStandardError().constData();
    const QString dump = QString::fromUtf8(batch.readAllStandardOutput());
    // The star is the shape's default, which designs leave out.
    EXPECT_FALSE(dump.contains("  Shape = ")) << dump.toStdString();
    for (const char *line : {"  Vectors = 12\n", "  InVectorPercent = 30\n",
                             "  SurfaceType = stBrushPattern\n", "  BackColor = clOlive\n",
                             "  ShadowOrient = soLowerLeft\n"})
        EXPECT_TRUE(dump.contains(QLatin1StringView(line))) << line << dump.toStdString();
}
