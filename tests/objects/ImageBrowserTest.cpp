#include "ObjectsFixture.h"
#include "common/TestSupport.h"
#include "objects/Gimage.h"
#include "objects/Gimageb.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QtEndian>

namespace {

void WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

void SaveFilled(const QString &path, QSize size, QColor color, const char *format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    ASSERT_TRUE(image.save(path, format));
}

// A folder of picture files, some of them damaged, and things the list hides.
class ClipArtFolder
{
public:
    ClipArtFolder()
    {
        SaveFilled(Path("red.bmp"), QSize(30, 20), Qt::red, "BMP");
        SaveFilled(Path("PHOTO.PNG"), QSize(12, 8), Qt::green, "PNG");
        // An icon whose left half is transparent.
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        QPainter(&icon).fillRect(8, 0, 8, 16, Qt::blue);
        EXPECT_TRUE(icon.save(Path("icon.ico"), "ICO"));
        WriteBytes(Path("broken.bmp"), QByteArray("BM") + QByteArray(60, '\x7f'));
        WriteBytes(Path("broken.png"), QByteArray("not a picture at all"));
        WriteBytes(Path("notes.txt"), QByteArray("text"));
        QDir(dir.path()).mkdir("sub");
        SaveFilled(Path("sub/inner.bmp"), QSize(5, 5), Qt::black, "BMP");
    }
    QString Path(const QString &name) const { return dir.filePath(name); }
    QString Folder() const { return QDir::cleanPath(dir.path()); }

    QTemporaryDir dir;
};

QStringList ListedNames(TGImageBrowser &browser)
{
    QAbstractItemModel *model = browser.FileListBox1->model();
    const QModelIndex root = browser.FileListBox1->rootIndex();
    QStringList names;
    for (int row = 0; row < model->rowCount(root); ++row)
        names.append(model->index(row, 0, root).data().toString());
    names.sort();
    return names;
}

// The file list fills in the background.
bool WaitForListed(TGImageBrowser &browser, int count)
{
    return QTest::qWaitFor([&] { return ListedNames(browser).size() == count; }, 5000);
}

QRgb PreviewPixel(TGImageBrowser &browser, QPoint at)
{
    return browser.Image1->grab().toImage().pixel(at) & 0xFFFFFF;
}

} // namespace

TEST(ImageBrowser, ListShowsPictureFilesOfTheChosenFolderOnly)
{
    ClipArtFolder files;
    TGImageBrowser browser;
    EXPECT_EQ(browser.windowTitle(), QStringLiteral("Load Image File "));
    EXPECT_EQ(browser.size(), QSize(592, 300));
    browser.SetFolder(files.Folder());
    browser.show();
    EXPECT_EQ(browser.Folder(), files.Folder());
    ASSERT_TRUE(WaitForListed(browser, 5));
    // Upper and lower case alike; no text files, no folders.
    EXPECT_EQ(ListedNames(browser),
              QStringList({"PHOTO.PNG", "broken.bmp", "broken.png", "icon.ico", "red.bmp"}));
    EXPECT_TRUE(browser.FileName().isEmpty());

    // The tree opens its branches down to the folder and marks it.
    auto *tree = browser.DirectoryListBox1;
    auto *folders = qobject_cast<QFileSystemModel *>(tree->model());
    ASSERT_NE(folders, nullptr);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const QModelIndex current = tree->currentIndex();
            return QDir::cleanPath(folders->filePath(current)) == files.Folder() &&
                   tree->isExpanded(current.parent()) &&
                   tree->viewport()->rect().contains(tree->visualRect(current).topLeft() +
                                                     QPoint(2, 2));
        },
        5000));
    // The drive list names the folder's place; choosing another place that
    // does not hold the folder goes there.
    EXPECT_EQ(browser.DriveComboBox1->currentData().toString(), "/");
    ASSERT_EQ(browser.DriveComboBox1->itemText(1), "Home");
    if (!files.Folder().startsWith(QDir::homePath() + "/")) {
        QTest::keyClick(browser.DriveComboBox1, Qt::Key_Down);
        EXPECT_EQ(browser.Folder(), QDir::cleanPath(QDir::homePath()));
        EXPECT_EQ(browser.DriveComboBox1->currentText(), "Home");
        browser.SetFolder(files.Folder());
        EXPECT_EQ(browser.DriveComboBox1->currentData().toString(), "/");
    }

    // Choosing a folder in the tree moves the list there.
    tree->setCurrentIndex(folders->index(files.Path("sub")));
    EXPECT_EQ(browser.Folder(), QDir::cleanPath(files.Path("sub")));
    ASSERT_TRUE(WaitForListed(browser, 1));
    EXPECT_EQ(ListedNames(browser), QStringList({"inner.bmp"}));

    // A missing folder is ignored; a file that is not listed cannot be chosen.
    browser.SetFolder(files.Path("missing"));
    EXPECT_EQ(browser.Folder(), QDir::cleanPath(files.Path("sub")));
    EXPECT_FALSE(browser.SelectFile(files.Path("notes.txt")));
    EXPECT_TRUE(browser.FileName().isEmpty());
}

TEST(ImageBrowser, ChoosingAFileShowsItInThePreview)
{
    ClipArtFolder files;
    TGImageBrowser browser;
    browser.SetStretch(true);
    browser.show();
    browser.SetFolder(files.Folder());
    ASSERT_TRUE(WaitForListed(browser, 5));
    EXPECT_TRUE(browser.PreviewPicture().IsEmpty());

    // A click on the list's entry, as the user chooses.
    auto *list = browser.FileListBox1;
    auto *model = qobject_cast<QFileSystemModel *>(list->model());
    const QModelIndex red = model->index(files.Path("red.bmp"));
    ASSERT_TRUE(red.isValid());
    list->scrollTo(red);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(red).center());
    EXPECT_EQ(browser.FileName(), files.Path("red.bmp"));
    EXPECT_TRUE(browser.PreviewPicture().IsBitmap());
    EXPECT_EQ(browser.PreviewPicture().NaturalSize(), QSize(30, 20));
    // Stretched, the preview fills the box with the picture.
    const QSize box = browser.ScrollBox1->viewport()->size();
    EXPECT_EQ(browser.Image1->size(), box);
    EXPECT_EQ(PreviewPixel(browser, QPoint(box.width() - 3, box.height() - 3)), 0xFF0000u);

    ASSERT_TRUE(browser.SelectFile(files.Path("PHOTO.PNG")));
    EXPECT_EQ(browser.PreviewPicture().NaturalSize(), QSize(12, 8));
    EXPECT_EQ(PreviewPixel(browser, QPoint(box.width() / 2, box.height() / 2)), 0x00FF00u);

    // AutoSize: the preview takes the picture's size and Stretch is cleared.
    QTest::mouseClick(browser.AutoSizeCheckBox, Qt::LeftButton);
    EXPECT_TRUE(browser.AutoSize());
    EXPECT_FALSE(browser.Stretch());
    EXPECT_EQ(browser.Image1->size(), QSize(12, 8));

    // Stretch again: AutoSize is cleared and the preview fills the box.
    QTest::mouseClick(browser.StretchCheckBox, Qt::LeftButton);
    EXPECT_TRUE(browser.Stretch());
    EXPECT_FALSE(browser.AutoSize());
    EXPECT_EQ(browser.Image1->size(), box);

    // Neither: the picture at its own size in the top-left corner.
    QTest::mouseClick(browser.StretchCheckBox, Qt::LeftButton);
    EXPECT_FALSE(browser.Stretch());
    EXPECT_FALSE(browser.AutoSize());
    EXPECT_EQ(PreviewPixel(browser, QPoint(11, 7)), 0x00FF00u);
    EXPECT_NE(PreviewPixel(browser, QPoint(30, 30)), 0x00FF00u);
}

TEST(ImageBrowser, UnreadableFileSaysSoAndEmptiesThePreview)
{
    ClipArtFolder files;
    TGImageBrowser browser;
    browser.SetFolder(files.Folder());
    ASSERT_TRUE(WaitForListed(browser, 5));
    for (const char *name : {"broken.bmp", "broken.png"}) {
        ASSERT_TRUE(browser.SelectFile(files.Path("red.bmp")));
        ASSERT_FALSE(browser.PreviewPicture().IsEmpty());
        TDialogAnswer answer;
        AnswerNextMessageBox(QMessageBox::Ok, &answer);
        ASSERT_TRUE(browser.SelectFile(files.Path(name)));
        EXPECT_TRUE(answer.seen) << name;
        EXPECT_EQ(answer.text, QStringLiteral("Error loading file!"));
        EXPECT_EQ(answer.title, QStringLiteral("Error"));
        EXPECT_TRUE(browser.PreviewPicture().IsEmpty()) << name;
    }
}

TEST(ImageBrowser, IconBecomesABitmapOfItsSize)
{
    ClipArtFolder files;
    TGImageBrowser browser;
    ASSERT_TRUE(browser.SelectFile(files.Path("icon.ico")));
    const TPicture &preview = browser.PreviewPicture();
    ASSERT_TRUE(preview.IsBitmap());
    EXPECT_EQ(preview.NaturalSize(), QSize(16, 16));
    EXPECT_EQ(preview.Image().pixel(2, 8) & 0xFFFFFF, 0xFFFFFFu); // transparent part
    EXPECT_EQ(preview.Image().pixel(12, 8) & 0xFFFFFF, 0x0000FFu);
}

// ---- the object's load command ------------------------------------------------

using ImageLoadTest = ObjectTest;

TEST_F(ImageLoadTest, OkPlacesThePictureWithTheBoxesAsTheyStand)
{
    ClipArtFolder files;
    auto *image = Place<TGImage>(10, 12, 80, 70);
    const QString folderBefore = QDir::currentPath();
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TGImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        // The boxes start from the object's flags.
        EXPECT_TRUE(browser->Stretch());
        EXPECT_FALSE(browser->AutoSize());
        browser->SelectFile(files.Path("red.bmp"));
        QTest::mouseClick(browser->AutoSizeCheckBox, Qt::LeftButton);
        browser->OKButton->click();
    });
    image->LoadImage();
    EXPECT_GE(changes, 1);
    EXPECT_TRUE(image->Picture()->IsBitmap());
    EXPECT_TRUE(image->AutoSize());
    EXPECT_FALSE(image->Stretch());
    EXPECT_EQ(QSize(image->Width(), image->Height()), QSize(30, 20));
    EXPECT_EQ(image->Left(), 10);
    EXPECT_TRUE(image->IsOpaque());
    EXPECT_EQ(QDir::currentPath(), folderBefore);

    // Both boxes cleared are taken as they are; the bounds stay.
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TGImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        // The next browser opens where the last picture came from.
        EXPECT_EQ(browser->Folder(), files.Folder());
        EXPECT_TRUE(browser->AutoSize());
        browser->SelectFile(files.Path("PHOTO.PNG"));
        QTest::mouseClick(browser->AutoSizeCheckBox, Qt::LeftButton);
        browser->OKButton->click();
    });
    image->LoadImage();
    EXPECT_FALSE(image->AutoSize());
    EXPECT_FALSE(image->Stretch());
    EXPECT_EQ(image->PictureSize(), QSize(12, 8));
    EXPECT_EQ(QSize(image->Width(), image->Height()), QSize(30, 20));
}

TEST_F(ImageLoadTest, AutoSizeFollowsTheZoom)
{
    ClipArtFolder files;
    surface->SetZoom(2.0f);
    auto *image = Place<TGImage>(10, 10, 80, 80);
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TGImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        browser->SetAutoSize(true);
        browser->SelectFile(files.Path("red.bmp"));
        browser->OKButton->click();
    });
    image->LoadImage();
    EXPECT_EQ(QSize(image->Width(), image->Height()), QSize(60, 40));
    surface->SetZoom(1.0f);
    EXPECT_EQ(QSize(image->Width(), image->Height()), QSize(30, 20));
}

TEST_F(ImageLoadTest, CancelAndUnusableChoicesLeaveTheObjectAlone)
{
    ClipArtFolder files;
    auto *image = Place<TGImage>(5, 5, 60, 40);
    QImage original(3, 3, QImage::Format_RGB32);
    original.fill(Qt::magenta);
    TPicture picture;
    picture.SetImage(original);
    image->SetPicture(picture);
    changes = 0;
    const QByteArray bytes = image->Picture()->GraphicData();

    // Cancel after choosing a file.
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TGImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        browser->SelectFile(files.Path("red.bmp"));
        QTest::mouseClick(browser->AutoSizeCheckBox, Qt::LeftButton);
        browser->CancelButton->click();
    });
    image->LoadImage();
    // OK without a file chosen.
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TGImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        browser->SetFolder(files.Folder());
        browser->OKButton->click();
    });
    image->LoadImage();
    // OK on a file that did not load (its error box answered first).
    OnNextModal([&](QWidget *modal) {
        auto *browser = qobject_cast<TGImageBrowser *>(modal);
        ASSERT_NE(browser, nullptr);
        AnswerNextMessageBox(QMessageBox::Ok);
        browser->SelectFile(files.Path("broken.bmp"));
        browser->OKButton->click();
    });
    image->LoadImage();

    EXPECT_EQ(changes, 0);
    EXPECT_EQ(image->Picture()->GraphicData(), bytes);
    EXPECT_TRUE(image->Stretch());
    EXPECT_FALSE(image->AutoSize());
    EXPECT_EQ(QSize(image->Width(), image->Height()), QSize(60, 40));
}

TEST_F(ImageLoadTest, ImageToolOpensTheBrowserAndCancelLeavesAnEmptyBox)
{
    surface->SetPanelState(psImage);
    bool opened = false;
    OnNextModal([&](QWidget *modal) {
        opened = qobject_cast<TGImageBrowser *>(modal) != nullptr;
        modal->close();
    });
    surface->CreateObjectForTool(TRect{30, 40, 130, 100});
    EXPECT_TRUE(opened);
    EXPECT_EQ(surface->PanelState(), psPointing);
    ASSERT_EQ(surface->Objects().size(), 1);
    auto *image = qobject_cast<TGImage *>(surface->Objects().first());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->BoundsRect(), (TRect{30, 40, 130, 100}));
    EXPECT_TRUE(image->Picture()->IsEmpty());
}

// ---- the sample clip art ------------------------------------------------------

namespace {
quint16 U16(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
quint32 U32(const QByteArray &b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// Walks a placeable metafile: header checksum, header sizes and every record
// inside the file, ending in the end-of-file record. Empty when sound.
QString MetafileFault(const QByteArray &wmf)
{
    if (wmf.size() < 22 + 18 || U32(wmf, 0) != 0x9AC6CDD7u)
        return "no placeable header";
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= U16(wmf, i * 2);
    if (sum != U16(wmf, 20))
        return "checksum";
    if (qint16(U16(wmf, 10)) <= 0 || qint16(U16(wmf, 12)) <= 0 || U16(wmf, 14) == 0)
        return "frame or units per inch";
    const QByteArray body = wmf.mid(22);
    if (U16(body, 0) != 1 || U16(body, 2) != 9 || qsizetype(U32(body, 6)) * 2 != body.size())
        return "metafile header";
    qsizetype at = 18;
    quint32 largest = 0;
    while (at + 6 <= body.size()) {
        const quint32 words = U32(body, at);
        if (words < 3 || at + qsizetype(words) * 2 > body.size())
            return QString("record at %1").arg(at);
        largest = std::max(largest, words);
        if (U16(body, at + 4) == 0)
            return at + 6 == body.size() && largest == U32(body, 12) ? QString()
                                                                     : "end or largest record";
        at += qsizetype(words) * 2;
    }
    return "no end record";
}
} // namespace

TEST(SampleClipArt, FoundBesideTheProgramInstalledOrInTheBuildTree)
{
    const QString built = SampleClipArtFolderFor(QStringLiteral(TESSARO_BINARY_DIR));
    ASSERT_FALSE(built.isEmpty());
    EXPECT_EQ(built, QDir::cleanPath(QStringLiteral(TESSARO_BINARY_DIR "/clipart")));

    QTemporaryDir prefix;
    EXPECT_TRUE(SampleClipArtFolderFor(prefix.filePath("bin")).isEmpty());
    QDir(prefix.path()).mkpath("bin");
    QDir(prefix.path()).mkpath("share/tessaro/clipart");
    EXPECT_EQ(SampleClipArtFolderFor(prefix.filePath("bin")),
              QDir::cleanPath(prefix.filePath("share/tessaro/clipart")));
}

TEST(SampleClipArt, EveryPictureIsSoundAndLoads)
{
    const QDir folder(SampleClipArtFolderFor(QStringLiteral(TESSARO_BINARY_DIR)));
    const QStringList metafiles = folder.entryList({"*.wmf"}, QDir::Files, QDir::Name);
    EXPECT_EQ(metafiles,
              QStringList({"envelope.wmf", "globe.wmf", "logo-frame.wmf", "phone.wmf"}));
    for (const QString &name : metafiles) {
        QFile f(folder.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(MetafileFault(f.readAll()), QString()) << name.toStdString();
        TPicture picture;
        EXPECT_TRUE(picture.LoadFromFile(folder.filePath(name)));
        EXPECT_EQ(picture.GraphicKind(), TPicture::Kind::Metafile);
    }
    const QStringList bitmaps = folder.entryList({"*.bmp"}, QDir::Files, QDir::Name);
    EXPECT_EQ(bitmaps, QStringList({"envelope.bmp", "globe.bmp", "phone.bmp"}));
    for (const QString &name : bitmaps) {
        TPicture picture;
        ASSERT_TRUE(picture.LoadFromFile(folder.filePath(name))) << name.toStdString();
        EXPECT_TRUE(picture.IsBitmap());
        EXPECT_EQ(picture.NaturalSize(), QSize(160, 160));
        // Drawn on white: the corners are paper, the middle is not.
        EXPECT_EQ(picture.Image().pixel(0, 0) & 0xFFFFFF, 0xFFFFFFu);
        EXPECT_NE(picture.Image().pixel(80, 80) & 0xFFFFFF, 0xFFFFFFu);
    }
}
