// The personal information and background art commands as the user runs
// them: the two dialogs, what reaches TSC.INI, the text dialog, the card and
// the design's sidecar.
#include "ShellTestHelpers.h"
#include "common/MainWindowFixture.h"
#include "common/TestSupport.h"
#include "document/Filer.h"
#include "graphics/Picture.h"
#include "objects/Gbarcode.h"
#include "objects/Gbarcodep.h"
#include "objects/Ggbctext.h"
#include "objects/gbclabel32.h"
#include "shell/Loadbg.h"
#include "shell/Main.h"
#include "shell/Persinfo.h"
#include "shell/ShellUtil.h"
#include "surface/Gbcpanel32.h"
#include "surface/ScreenInfo.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPaintEvent>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

namespace {

class PersonalBackgroundTest : public TMainWindowFixture
{
protected:
    TGBusinessCardPanel32 *Panel() const { return window->BusinessCardPanel(); }
    QAction *Item(const char *name) const
    {
        return window->findChild<QAction *>(QString::fromLatin1(name));
    }
    static QString SolidBmp(const QString &path, QColor color, QSize size = QSize(64, 32))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    // The card's colour in its middle, as the surface paints it.
    QColor CardMiddle() const
    {
        const QImage shown = Panel()->grab().toImage();
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    }
    // Saves the design as the Save command does.
    void Save(const QString &path)
    {
        ASSERT_TRUE(window->SaveBCFile(path));
        window->SetChangesMade(false);
    }
    // Runs the background command; `act` works the dialog while it is open.
    int RunBackgroundDialog(const std::function<void(TLoadBackGround *)> &act)
    {
        int seen = 0;
        OnNextModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<TLoadBackGround *>(modal);
            if (!dialog) {
                modal->close();
                return;
            }
            ++seen;
            act(dialog);
        });
        window->findChild<QToolButton *>("SetBackgroundArtButton")->click();
        return seen;
    }
};

TEST_F(PersonalBackgroundTest, PersonalInformationIsStoredAndOfferedByTheNextTextDialog)
{
    WriteBytes(PreferencesPath(), "[Personal]\r\nName=Jo Bloggs\r\nFax=555 0101\r\n");
    Start();
    QAction *item = Item("mnuPersonalInformation");
    ASSERT_NE(item, nullptr);
    ASSERT_TRUE(item->isEnabled());

    // Cancel: the file and the surface stay as they were, typing included.
    const QByteArray before = ReadBytes(PreferencesPath());
    QStringList shownFirst;
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TPersonalInformation *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Personal Information");
        shownFirst = dialog->PersonalInfo();
        QTest::keyClicks(dialog->pPersonalCompany, "Nobody Inc");
        dialog->CancelButton->click();
    });
    item->trigger();
    ASSERT_EQ(shownFirst.size(), 10);
    EXPECT_EQ(shownFirst.at(0), "Jo Bloggs");
    EXPECT_EQ(shownFirst.at(9), "555 0101");
    EXPECT_EQ(ReadBytes(PreferencesPath()), before);
    EXPECT_TRUE(Panel()->Model()->PersonalInfo().at(1).isEmpty());

    // Edited since the start: the dialog shows what the file holds now.
    WriteBytes(PreferencesPath(), "[Personal]\r\nName=Jo Bloggs\r\nTitle=Owner\r\n");
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TPersonalInformation *>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->pPersonalTitle->text(), "Owner");
        QTest::keyClicks(dialog->pPersonalCompany, "Tessaro & Sons");
        dialog->pPersonalEmail->setText("jo@example.org");
        // Enter takes the default button, Ok.
        QTest::keyClick(dialog->pPersonalEmail, Qt::Key_Return);
    });
    item->trigger();
    const QString ini = QString::fromUtf8(ReadBytes(PreferencesPath()));
    EXPECT_TRUE(ini.contains("[Personal]"));
    EXPECT_TRUE(ini.contains("Company=Tessaro & Sons"));
    EXPECT_TRUE(ini.contains("Email=jo@example.org"));
    EXPECT_TRUE(ini.contains("Title=Owner"));
    EXPECT_EQ(Panel()->Model()->PersonalInfo().at(1), "Tessaro & Sons");

    // A new text object's dialog offers the values at once.
    QStringList offered;
    window->findChild<QToolButton *>("DrawLabelButton")->click();
    OnNextModal([&](QWidget *modal) {
        auto *dialog = qobject_cast<TGetBCLabelText *>(modal);
        ASSERT_NE(dialog, nullptr);
        for (int i = 0; i < dialog->cbPersonalInfo->count(); ++i)
            offered << dialog->cbPersonalInfo->itemText(i);
        dialog->cbPersonalInfo->setCurrentIndex(offered.indexOf("Tessaro & Sons"));
        static_cast<QDialog *>(modal)->accept();
    });
    QTest::mousePress(Panel(), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(Panel(), Qt::LeftButton, {}, QPoint(200, 50));
    EXPECT_EQ(offered, QStringList({"Jo Bloggs", "Tessaro & Sons", "Owner", "jo@example.org"}));
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    auto *label = qobject_cast<TGBusinessCardLabel *>(Panel()->ObjectAt(0));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->Caption(), "Tessaro & Sons");
}

TEST_F(PersonalBackgroundTest, BackgroundDialogListsPreviewsAndChoosesArt)
{
    Start();
    const QString bg = TMainScreen::BackgroundFolder();
    ASSERT_TRUE(QFileInfo(bg).isDir());
    SolidBmp(bg + "/red.bmp", QColor(255, 0, 0), QSize(400, 100));
    SolidBmp(bg + "/BLUE.BMP", QColor(0, 0, 255));
    WriteBytes(bg + "/broken.bmp", "BM not really a bitmap");
    WriteBytes(bg + "/notes.txt", "not a picture");
    ASSERT_TRUE(Item("mnuSetorChangeBackgroundArt")->isEnabled());

    // Cancel changes nothing.
    EXPECT_EQ(RunBackgroundDialog([](TLoadBackGround *d) { d->Cancelbutton->click(); }), 1);
    EXPECT_TRUE(window->BackgroundArtFile().isEmpty());
    EXPECT_FALSE(window->ChangesMade());

    QStringList listed;
    TDialogAnswer error;
    bool stayedOpen = false, brokenShowsNothing = false;
    QSize previewSize, imageSize;
    RunBackgroundDialog([&](TLoadBackGround *d) {
        EXPECT_EQ(d->windowTitle(), "Load  Business Card Background Art ");
        EXPECT_EQ(QDir(d->Directory()), QDir(bg));
        for (int i = 0; i < d->FileListBox1->count(); ++i)
            listed << d->FileListBox1->item(i)->text();
        // Ok without a file keeps the dialog open.
        d->OKButton->click();
        stayedOpen = d->isVisible() && d->result() == 0;
        // A file that cannot be read says so and shows nothing.
        d->FileListBox1->setCurrentRow(int(listed.indexOf("red.bmp")));
        AnswerNextMessageBox(QMessageBox::Ok, &error);
        d->FileListBox1->setCurrentRow(int(listed.indexOf("broken.bmp")));
        brokenShowsNothing = d->Image1->pixmap().isNull();
        d->FileListBox1->setCurrentRow(int(listed.indexOf("red.bmp")));
        // At its own size, cut off at the panel's edge.
        previewSize = d->Image1->size();
        imageSize = d->Image1->pixmap().size();
        d->OKButton->click();
    });
    // The sample art of the first start is listed beside the user's files.
    EXPECT_EQ(listed, QStringList({"BLUE.BMP", "broken.bmp", "Navy Frame.bmp", "red.bmp",
                                   "Sand.bmp", "Sky.bmp"}));
    EXPECT_TRUE(stayedOpen);
    EXPECT_TRUE(error.seen);
    EXPECT_EQ(error.text, "Error loading file!");
    EXPECT_TRUE(brokenShowsNothing);
    EXPECT_EQ(imageSize, QSize(400, 100));
    EXPECT_LT(previewSize.width(), 400);

    EXPECT_EQ(QFileInfo(window->BackgroundArtFile()), QFileInfo(bg + "/red.bmp"));
    EXPECT_TRUE(window->ChangesMade());
    const QColor middle = CardMiddle();
    EXPECT_GT(middle.red(), 200);
    EXPECT_LT(middle.green(), 50);

    // Saved with the design: its sidecar names the art, and the design
    // brings it back when opened again.
    const QString design = TMainScreen::SavedFolder() + "art.tsc";
    Save(design);
    EXPECT_TRUE(QString::fromUtf8(ReadBytes(SidecarPath(design))).contains("red.bmp"));
    window->New1Click();
    EXPECT_TRUE(window->BackgroundArtFile().isEmpty());
    EXPECT_GT(CardMiddle().green(), 200);
    window->OpenBCFile(design);
    EXPECT_EQ(QFileInfo(window->BackgroundArtFile()), QFileInfo(bg + "/red.bmp"));
    EXPECT_GT(CardMiddle().red(), 200);

    // The current art is selected when the dialog opens; None removes it
    // and is a change, also the sidecar goes on the next save.
    QString selected;
    RunBackgroundDialog([&](TLoadBackGround *d) {
        selected = d->FileName();
        d->NoneButton->click();
    });
    EXPECT_EQ(QFileInfo(selected), QFileInfo(bg + "/red.bmp"));
    EXPECT_TRUE(window->BackgroundArtFile().isEmpty());
    EXPECT_TRUE(window->ChangesMade());
    EXPECT_GT(CardMiddle().green(), 200);
    Save(design);
    EXPECT_FALSE(QFile::exists(SidecarPath(design)));

    // None on a design without art still counts as a change.
    window->New1Click();
    ASSERT_FALSE(window->ChangesMade());
    RunBackgroundDialog([](TLoadBackGround *d) { d->NoneButton->click(); });
    EXPECT_TRUE(window->ChangesMade());
}

TEST_F(PersonalBackgroundTest, ArtMovedIntoTheProgramsFolderIsFoundAgain)
{
    Start();
    const QString outside = SolidBmp(dir.filePath("green.bmp"), QColor(0, 160, 0));
    const QString design = TMainScreen::SavedFolder() + "moved.tsc";
    RunBackgroundDialog([&](TLoadBackGround *d) {
        d->SetFileName(outside);
        EXPECT_EQ(QFileInfo(d->FileName()), QFileInfo(outside));
        d->OKButton->click();
    });
    ASSERT_EQ(QFileInfo(window->BackgroundArtFile()), QFileInfo(outside));
    Save(design);
    window->New1Click();

    const QString moved = TMainScreen::BackgroundFolder() + "/green.bmp";
    ASSERT_TRUE(QFile::rename(outside, moved));
    // A missing art file is no reason to refuse the design.
    window->OpenBCFile(design);
    EXPECT_EQ(window->FileName(), design);
    EXPECT_GT(CardMiddle().red(), 200);

    QString selected;
    RunBackgroundDialog([&](TLoadBackGround *d) {
        selected = d->FileName();
        d->OKButton->click();
    });
    EXPECT_EQ(QFileInfo(selected), QFileInfo(moved));
    EXPECT_EQ(QFileInfo(window->BackgroundArtFile()), QFileInfo(moved));
    EXPECT_GT(CardMiddle().green(), 120);
    EXPECT_LT(CardMiddle().red(), 50);
}

TEST_F(PersonalBackgroundTest, FirstStartInstallsSampleArtOnce)
{
    Start();
    const QDir bg(TMainScreen::BackgroundFolder());
    const QStringList samples = bg.entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(samples, QStringList({"Navy Frame.bmp", "Sand.bmp", "Sky.bmp"}));
    for (const QString &name : samples) {
        TPicture picture;
        ASSERT_TRUE(picture.LoadFromFile(bg.filePath(name))) << name.toStdString();
        EXPECT_TRUE(picture.IsBitmap());
        EXPECT_EQ(picture.Image().size(), QSize(336, 192)) << name.toStdString();
        EXPECT_TRUE(QFileInfo(bg.filePath(name)).isWritable());
    }

    // Samples the user deleted stay deleted on the next start.
    ASSERT_TRUE(QFile::remove(bg.filePath("Sky.bmp")));
    window->close();
    window.reset();
    Start();
    EXPECT_FALSE(QFile::exists(bg.filePath("Sky.bmp")));

    // Installing never overwrites a file of the user's.
    WriteBytes(bg.filePath("Sand.bmp"), "mine");
    EXPECT_EQ(TMainScreen::InstallSampleBackgrounds(), 1); // only Sky.bmp again
    EXPECT_EQ(ReadBytes(bg.filePath("Sand.bmp")), QByteArray("mine"));
    EXPECT_TRUE(QFile::exists(bg.filePath("Sky.bmp")));
}

} // namespace

namespace {

TEST_F(PersonalBackgroundTest, EmptyTextureFolderGetsTheStarterTextures)
{
    Start();
    const QDir textures(TMainScreen::TextureFolder());
    const QStringList names = textures.entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names, QStringList({"Brushed Metal.bmp", "Linen.bmp", "Marble.bmp", "Paper.bmp",
                                  "Wood Grain.bmp"}));
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        TPicture picture;
        ASSERT_TRUE(picture.LoadFromFile(textures.filePath(name)));
        ASSERT_TRUE(picture.IsBitmap());
        const QImage tile = picture.Image();
        EXPECT_EQ(tile.size(), QSize(96, 96));
        // A texture, not a flat colour.
        QSet<QRgb> colours;
        for (int y = 0; y < tile.height(); y += 3)
            for (int x = 0; x < tile.width(); x += 3)
                colours.insert(tile.pixel(x, y));
        EXPECT_GT(colours.size(), 8);
        EXPECT_TRUE(QFileInfo(textures.filePath(name)).isWritable());
    }

    // A folder holding anything of the user's is left alone.
    for (const QString &name : names)
        ASSERT_TRUE(QFile::remove(textures.filePath(name)));
    WriteBytes(textures.filePath("Mine.bmp"), "mine");
    window->close();
    window.reset();
    Start();
    EXPECT_EQ(textures.entryList(QDir::Files), QStringList({"Mine.bmp"}));
}

} // namespace

// Paint events the card gets, for what a command asks to be drawn again.
class PaintedArea : public QObject
{
public:
    QRegion Area;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Area += static_cast<QPaintEvent *>(event)->region();
        return false;
    }
};

TEST_F(PersonalBackgroundTest, BarcodeToolPlacesAContactCodeThatFollowsThePersonalInformation)
{
    WriteBytes(PreferencesPath(), "[Personal]\r\nName=Jo Bloggs\r\n");
    Start();
    auto *tool = window->findChild<QToolButton *>("DrawBarcodeButton");
    ASSERT_NE(tool, nullptr);
    tool->click();
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TBarcodeProperties *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->SourceBox->setCurrentIndex(TGBarcode::dsContact);
        EXPECT_TRUE(dialog->CheckMessage().isEmpty()) << dialog->CheckMessage().toStdString();
        dialog->accept();
    });
    QTest::mouseClick(Panel(), Qt::LeftButton, {}, QPoint(20, 20));
    ASSERT_EQ(Panel()->ObjectCount(), 1);
    auto *code = qobject_cast<TGBarcode *>(Panel()->ObjectAt(0));
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(code->Source(), TGBarcode::dsContact);
    // A click gives a square an inch wide, not the flat box other kinds get.
    EXPECT_EQ(code->Width(), ScreenPixelsPerInch());
    EXPECT_EQ(code->Height(), ScreenPixelsPerInch());
    EXPECT_TRUE(code->EncodedText().contains("FN:Jo Bloggs\r\n"));

    QApplication::processEvents();
    PaintedArea painted;
    Panel()->installEventFilter(&painted);
    OnNextModal([](QWidget *modal) {
        auto *dialog = qobject_cast<TPersonalInformation *>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->pPersonalPhone1->setText("555 0100");
        static_cast<QDialog *>(modal)->accept();
    });
    Item("mnuPersonalInformation")->trigger();
    QApplication::processEvents();
    Panel()->removeEventFilter(&painted);
    EXPECT_TRUE(code->EncodedText().contains("TEL;TYPE=WORK,VOICE:555 0100\r\n"));
    // The code is drawn again at once with the new details.
    EXPECT_TRUE(painted.Area.contains(
        QPoint(code->Left() + code->Width() / 2, code->Top() + code->Height() / 2)));
}
