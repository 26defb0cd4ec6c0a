#include "objects/Gimageb.h"

#include "document/Desktop.h"
#include "document/ProgramFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>

namespace {

// The folder the last picture was taken from, so the next browser opens there.
QString &LastFolder()
{
    static QString folder;
    return folder;
}

QString CleanFolder(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

bool IsWithin(const QString &folder, const QString &root)
{
    if (root == QLatin1StringView("/"))
        return true;
    return folder == root || folder.startsWith(root + QLatin1Char('/'));
}

} // namespace

void ShowLoadError(QWidget *parent)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        qWarning("Error loading file!");
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"),
                    QStringLiteral("Error loading file!"), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("ErrorBox"));
    box.exec();
}

QString SampleClipArtFolderFor(const QString &programDir)
{
    const QString candidates[] = {
        programDir + QStringLiteral("/../share/tessaro/clipart"), // installed
        programDir + QStringLiteral("/clipart"),                  // the build tree
    };
    for (const QString &candidate : candidates)
        if (QFileInfo(candidate).isDir())
            return CleanFolder(candidate);
    return QString();
}

QString SampleClipArtFolder()
{
    return SampleClipArtFolderFor(QCoreApplication::applicationDirPath());
}

// ---- preview ------------------------------------------------------------------

TImagePreview::TImagePreview(QWidget *parent)
    : QWidget(parent)
{
}

void TImagePreview::SetStretch(bool stretch)
{
    if (stretch == m_stretch)
        return;
    m_stretch = stretch;
    update();
}

void TImagePreview::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (m_picture.IsEmpty())
        return;
    const QSize natural = m_picture.NaturalSize();
    // A picture without a size of its own can only be shown stretched.
    const QRect target = m_stretch || natural.isEmpty() ? rect() : QRect(QPoint(0, 0), natural);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, target.size() != natural);
    m_picture.Draw(painter, target);
}

// ---- browser ------------------------------------------------------------------

const QStringList &TGImageBrowser::FileMask()
{
    // GIF and PNG too: the loader reads them, and hiding them only confuses.
    static const QStringList mask{
        QStringLiteral("*.BMP"), QStringLiteral("*.DIB"), QStringLiteral("*.JPG"),
        QStringLiteral("*.JIF"), QStringLiteral("*.PCX"), QStringLiteral("*.RLE"),
        QStringLiteral("*.TGA"), QStringLiteral("*.WMF"), QStringLiteral("*.ICO"),
        QStringLiteral("*.GIF"), QStringLiteral("*.PNG"),
    };
    return mask;
}

QString TGImageBrowser::StartFolder()
{
    if (!LastFolder().isEmpty() && QFileInfo(LastFolder()).isDir())
        return LastFolder();
    const QString own = ProgramFolder() + QStringLiteral("Clipart");
    if (QFileInfo(own).isDir())
        return own;
    const QString samples = SampleClipArtFolder();
    if (!samples.isEmpty())
        return samples;
    return QDir::homePath();
}

TGImageBrowser::TGImageBrowser(QWidget *mainWindow)
    : QDialog(mainWindow)
{
    setObjectName(QStringLiteral("ImageBrowser"));
    setWindowTitle(QStringLiteral("Load Image File "));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setFixedSize(592, 300);

    DriveComboBox1 = new QComboBox(this);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    DriveComboBox1->setGeometry(8, 8, 145, 24);

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    m_folderModel->setRootPath(QString());
    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    DirectoryListBox1->setGeometry(8, 38, 145, 192);
    DirectoryListBox1->setModel(m_folderModel);
    DirectoryListBox1->setHeaderHidden(true);
    // Deep folders get a horizontal scroll bar rather than being cut off.
    DirectoryListBox1->setIndentation(10);
    DirectoryListBox1->header()->setStretchLastSection(false);
    DirectoryListBox1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);

    m_fileModel = new QFileSystemModel(this);
    m_fileModel->setFilter(QDir::Files);
    m_fileMask = FileMask();
    m_fileModel->setNameFilters(m_fileMask);
    m_fileModel->setNameFilterDisables(false); // hide, not grey out
    FileListBox1 = new QListView(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setGeometry(161, 8, 179, 222);
    FileListBox1->setModel(m_fileModel);

    FolderLabel = new QLabel(this);
    FolderLabel->setObjectName(QStringLiteral("FolderLabel"));
    FolderLabel->setGeometry(8, 236, 332, 18);

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setGeometry(352, 8, 232, 214);
    Image1 = new TImagePreview;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->resize(218, 203);
    ScrollBox1->setWidget(Image1);
    ScrollBox1->setWidgetResizable(true);

    GroupBox1 = new QGroupBox(QStringLiteral(" Options "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 256, 332, 38);
    StretchCheckBox = new QCheckBox(QStringLiteral("Stretch"), GroupBox1);
    StretchCheckBox->setObjectName(QStringLiteral("StretchCheckBox"));
    StretchCheckBox->setToolTip(QStringLiteral("Stretch image to max display size"));
    StretchCheckBox->setGeometry(10, 14, 120, 20);
    AutoSizeCheckBox = new QCheckBox(QStringLiteral("AutoSize"), GroupBox1);
    AutoSizeCheckBox->setObjectName(QStringLiteral("AutoSizeCheckBox"));
    AutoSizeCheckBox->setToolTip(QStringLiteral("AutoSize TImage"));
    AutoSizeCheckBox->setGeometry(150, 14, 120, 20);

    OKButton = new QPushButton(QStringLiteral("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setGeometry(352, 262, 74, 28);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setAutoDefault(false);
    CancelButton->setGeometry(431, 262, 74, 28);
    HelpButton = new QPushButton(QStringLiteral("Help"), this);
    HelpButton->setObjectName(QStringLiteral("HelpButton"));
    HelpButton->setAutoDefault(false);
    HelpButton->setGeometry(510, 262, 74, 28);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    SetHelpTopic(this, HelpTopic);
    // The tree fills in the background: show the folder once its branch is there.
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this, [this](const QString &path) {
        if (IsWithin(m_folder, CleanFolder(path)))
            RevealFolderInTree();
    });
    // Its late sorting moves rows; keep the folder in view until the user
    // scrolls the tree or clicks in it.
    connect(m_folderModel, &QAbstractItemModel::layoutChanged, this, [this] {
        if (m_followFolder)
            RevealFolderInTree();
    });
    connect(DirectoryListBox1->verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this] { m_followFolder = false; });
    connect(DirectoryListBox1, &QTreeView::pressed, this, [this] { m_followFolder = false; });
    connect(DriveComboBox1, &QComboBox::activated, this, &TGImageBrowser::DriveChanged);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { FolderChosen(current); });
    connect(FileListBox1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { FileListChange(); });
    // A double-click or Enter on a file takes it.
    connect(FileListBox1, &QListView::activated, this, [this] {
        if (!FileName().isEmpty())
            accept();
    });
    connect(StretchCheckBox, &QCheckBox::toggled, this, &TGImageBrowser::StretchClick);
    connect(AutoSizeCheckBox, &QCheckBox::toggled, this, &TGImageBrowser::AutoSizeClick);

    FillDrives();
    SetFolder(StartFolder());
    FileListBox1->setFocus();
    PlaceDialog(this, mainWindow);
}

// Each entry of the drive list holds the folder it opens and the root of the
// folder tree it shows: a disk shows its own tree; the places (home, samples)
// show the whole tree, so the folders above them stay within reach.
constexpr int kTreeRootRole = Qt::UserRole + 1;

void TGImageBrowser::FillDrives()
{
    QStringList folders;
    auto add = [&](const QString &caption, const QString &path, bool ownTree) {
        if (path.isEmpty() || !QFileInfo(path).isDir())
            return;
        const QString folder = CleanFolder(path);
        if (folders.contains(folder))
            return;
        folders.append(folder);
        DriveComboBox1->addItem(caption, folder);
        DriveComboBox1->setItemData(DriveComboBox1->count() - 1,
                                    ownTree ? folder : QStringLiteral("/"), kTreeRootRole);
    };
    add(QStringLiteral("/"), QStringLiteral("/"), true);
    add(QStringLiteral("Home"), QDir::homePath(), false);
    add(QStringLiteral("Clip Art Samples"), SampleClipArtFolder(), false);
    // Removable and extra disks; the system's own mounts are reached from "/".
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (!volume.isValid() || !volume.isReady())
            continue;
        if (root.startsWith(QLatin1StringView("/media/")) ||
            root.startsWith(QLatin1StringView("/mnt/")) ||
            root.startsWith(QLatin1StringView("/run/media/")))
            add(volume.displayName(), root, true);
    }
}

void TGImageBrowser::DriveChanged(int index)
{
    const QString folder = DriveComboBox1->itemData(index).toString();
    const QString root = DriveComboBox1->itemData(index, kTreeRootRole).toString();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    DirectoryListBox1->setRootIndex(
        m_folderModel->index(root == QLatin1StringView("/") ? QString() : root));
    if (!IsWithin(m_folder, folder))
        ShowFolder(folder);
    DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex());
}

void TGImageBrowser::SetFolder(const QString &folder)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QString clean = CleanFolder(folder);
    ShowFolder(clean);
    DriveChanged(DriveComboBox1->currentIndex());
}

int TGImageBrowser::DriveEntryFor(const QString &folder) const
{
    // The entry that holds the folder most closely.
    int best = 0;
    qsizetype bestLength = -1;
    for (int i = 0; i < DriveComboBox1->count(); ++i) {
        const QString entry = DriveComboBox1->itemData(i).toString();
        if (IsWithin(folder, entry) && entry.size() > bestLength) {
            best = i;
            bestLength = entry.size();
        }
    }
    return best;
}

void TGImageBrowser::FolderChosen(const QModelIndex &index)
{
    if (index.isValid())
        ShowFolder(m_folderModel->filePath(index));
}

void TGImageBrowser::ShowFolder(const QString &folder)
{
    const QString clean = CleanFolder(folder);
    if (clean == m_folder)
        return;
    m_folder = clean;
    m_followFolder = true;
    // The drive list names where the folder is (setting it is no user choice,
    // so the tree keeps its root).
    DriveComboBox1->setCurrentIndex(DriveEntryFor(clean));
    RevealFolderInTree();
    m_fileModel->setRootPath(clean);
    FileListBox1->setRootIndex(m_fileModel->index(clean));
    FileListBox1->selectionModel()->clear();
    FolderLabel->setText(
        FolderLabel->fontMetrics().elidedText(QDir::toNativeSeparators(clean), Qt::ElideMiddle,
                                              FolderLabel->width()));
    FolderLabel->setToolTip(QDir::toNativeSeparators(clean));
}

void TGImageBrowser::RevealFolderInTree()
{
    // Open the branches from the top: a folder's entry exists only once its
    // parent has been read, which opening the parent starts.
    QString path;
    for (const QString &part : m_folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        path += QLatin1Char('/') + part;
        if (path == m_folder)
            break;
        const QModelIndex branch = m_folderModel->index(path);
        if (!branch.isValid())
            return; // the parent's reading will call again
        DirectoryListBox1->expand(branch);
    }
    const QModelIndex treeIndex = m_folderModel->index(m_folder);
    if (!treeIndex.isValid())
        return;
    if (DirectoryListBox1->currentIndex() != treeIndex)
        DirectoryListBox1->setCurrentIndex(treeIndex);
    DirectoryListBox1->scrollTo(treeIndex);
    DirectoryListBox1->expand(treeIndex);
}

bool TGImageBrowser::SelectFile(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !QDir::match(m_fileMask, info.fileName()))
        return false;
    SetFolder(info.absolutePath());
    const QModelIndex index = m_fileModel->index(info.absoluteFilePath());
    if (!index.isValid())
        return false;
    FileListBox1->setCurrentIndex(index);
    return FileName() == m_fileModel->filePath(index);
}

QString TGImageBrowser::FileName() const
{
    const QModelIndexList selected = FileListBox1->selectionModel()->selectedIndexes();
    if (selected.isEmpty() || m_fileModel->isDir(selected.first()))
        return QString();
    return m_fileModel->filePath(selected.first());
}

void TGImageBrowser::SetFileMask(const QStringList &mask)
{
    m_fileMask = mask;
    m_fileModel->setNameFilters(mask);
}

void TGImageBrowser::FileListChange()
{
    const QString path = FileName();
    if (!path.isEmpty())
        LoadPreview(path);
}

void TGImageBrowser::LoadPreview(const QString &path)
{
    TPicture loaded;
    bool ok = loaded.LoadFromFile(path);
    if (ok && QFileInfo(path).suffix().toUpper() == QLatin1StringView("ICO")) {
        // An icon becomes a bitmap of its size, its transparent parts white.
        QImage bitmap(loaded.Image().size(), QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        {
            QPainter painter(&bitmap);
            painter.drawImage(0, 0, loaded.Image());
        }
        loaded.SetImage(bitmap);
        ok = loaded.IsBitmap();
    }
    if (ok)
        Image1->Picture() = loaded;
    else
        Image1->Picture().Clear();
    LayOutPreview();
    Image1->update();
    if (!ok)
        ShowLoadError(this);
}

bool TGImageBrowser::Stretch() const
{
    return StretchCheckBox->isChecked();
}

void TGImageBrowser::SetStretch(bool value)
{
    StretchCheckBox->setChecked(value);
    LayOutPreview();
}

bool TGImageBrowser::AutoSize() const
{
    return AutoSizeCheckBox->isChecked();
}

void TGImageBrowser::SetAutoSize(bool value)
{
    AutoSizeCheckBox->setChecked(value);
    LayOutPreview();
}

void TGImageBrowser::StretchClick(bool checked)
{
    if (checked)
        AutoSizeCheckBox->setChecked(false);
    LayOutPreview();
}

void TGImageBrowser::AutoSizeClick(bool checked)
{
    if (checked)
        StretchCheckBox->setChecked(false);
    LayOutPreview();
}

void TGImageBrowser::LayOutPreview()
{
    const QSize natural = Image1->Picture().NaturalSize();
    if (AutoSize() && !natural.isEmpty()) {
        // The picture at its own size; the box scrolls when it is larger.
        ScrollBox1->setWidgetResizable(false);
        Image1->resize(natural);
        Image1->SetStretch(true);
    } else {
        ScrollBox1->setWidgetResizable(true);
        Image1->SetStretch(Stretch() || AutoSize());
    }
    Image1->update();
}

void TGImageBrowser::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The tree could not scroll to the folder while it had no size yet.
    QTimer::singleShot(0, this, [this] { RevealFolderInTree(); });
}

void TGImageBrowser::done(int result)
{
    if (result == QDialog::Accepted && !FileName().isEmpty() && !PreviewPicture().IsEmpty())
        LastFolder() = m_folder;
    QDialog::done(result);
}
