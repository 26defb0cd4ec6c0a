#include "shell/Loadbg.h"

#include "document/Desktop.h"
#include "graphics/Picture.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

const char *const TLoadBackGround::Mask = "*.BMP;*.WMF";

namespace {

constexpr int PreviewWidth = 336; // a 3.5 x 2 inch card at 96 pixels per inch
constexpr int PreviewHeight = 192;

} // namespace

TLoadBackGround::TLoadBackGround(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("LoadBackGround"));
    setWindowTitle(QStringLiteral("Load  Business Card Background Art "));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    SetHelpTopic(this, HelpContext);

    DirectoryLabel = new QLabel(this);
    DirectoryLabel->setObjectName(QStringLiteral("DirectoryLabel"));
    DirectoryLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    DirectoryLabel->setMaximumWidth(200 + PreviewWidth);
    FileListBox1 = new QListWidget(this);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    FileListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    FileListBox1->setFixedWidth(200);
    FileListBox1->setWhatsThis(tr("The pictures (bitmaps and metafiles) of the folder above. "
                                  "Pick one to see it beside the list."));
    connect(FileListBox1, &QListWidget::itemSelectionChanged, this,
            [this] { FileListBox1Change(); });
    // A double click chooses the file, as in the system's file dialogs.
    connect(FileListBox1, &QListWidget::itemDoubleClicked, this, [this] { OKButtonClick(); });

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(2);
    Panel1->setFixedSize(PreviewWidth + 4, PreviewHeight + 4);
    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(2, 2, PreviewWidth, PreviewHeight);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    FolderButton = new QPushButton(tr("&Folder..."), this);
    FolderButton->setObjectName(QStringLiteral("FolderButton"));
    FolderButton->setAutoDefault(false);
    FolderButton->setWhatsThis(tr("Lists the pictures of another folder."));
    OKButton = new QPushButton(tr("Ok"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    Cancelbutton = new QPushButton(tr("Cancel"), this);
    Cancelbutton->setObjectName(QStringLiteral("Cancelbutton"));
    Cancelbutton->setAutoDefault(false);
    NoneButton = new QPushButton(tr("None"), this);
    NoneButton->setObjectName(QStringLiteral("NoneButton"));
    NoneButton->setAutoDefault(false);
    NoneButton->setWhatsThis(tr("Removes the background art from the card."));
    Helpbutton = new QPushButton(tr("Help"), this);
    Helpbutton->setObjectName(QStringLiteral("Helpbutton"));
    Helpbutton->setAutoDefault(false);
    connect(FolderButton, &QPushButton::clicked, this, [this] { FolderButtonClick(); });
    connect(OKButton, &QPushButton::clicked, this, [this] { OKButtonClick(); });
    connect(Cancelbutton, &QPushButton::clicked, this, [this] { CancelbuttonClick(); });
    connect(NoneButton, &QPushButton::clicked, this, [this] { NoneButtonClick(); });
    connect(Helpbutton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpContext); });

    auto *left = new QVBoxLayout;
    left->addWidget(FileListBox1, 1);
    left->addWidget(FolderButton);
    auto *right = new QVBoxLayout;
    right->addWidget(Panel1);
    right->addStretch(1);
    auto *body = new QHBoxLayout;
    body->addLayout(left);
    body->addLayout(right);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *b : {OKButton, Cancelbutton, NoneButton, Helpbutton})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(DirectoryLabel);
    layout->addLayout(body, 1);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    PlaceDialog(this, parent ? parent->window() : nullptr);
}

void TLoadBackGround::SetDirectory(const QString &folder)
{
    m_directory = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    DirectoryLabel->setText(QDir::toNativeSeparators(m_directory));
    DirectoryLabel->setToolTip(DirectoryLabel->text());
    const QSignalBlocker quiet(FileListBox1);
    FileListBox1->clear();
    const QStringList masks = QString::fromLatin1(Mask).split(QLatin1Char(';'));
    const QStringList files = QDir(m_directory)
                                  .entryList(masks, QDir::Files | QDir::Readable | QDir::Hidden,
                                             QDir::Name | QDir::IgnoreCase);
    FileListBox1->addItems(files);
    FileListBox1->setCurrentRow(-1);
    ClearPreview();
}

void TLoadBackGround::SetFileName(const QString &path)
{
    const QFileInfo info(path);
    SetDirectory(info.absolutePath());
    const QList<QListWidgetItem *> found =
        FileListBox1->findItems(info.fileName(), Qt::MatchExactly);
    if (!found.isEmpty())
        FileListBox1->setCurrentItem(found.first()); // previews it
}

QString TLoadBackGround::FileName() const
{
    const QList<QListWidgetItem *> selected = FileListBox1->selectedItems();
    if (selected.isEmpty() || m_directory.isEmpty())
        return QString();
    return QDir(m_directory).filePath(selected.first()->text());
}

void TLoadBackGround::ClearPreview()
{
    Image1->setPixmap(QPixmap());
}

void TLoadBackGround::FileListBox1Change()
{
    const QString path = FileName();
    if (path.isEmpty())
        return;
    TPicture picture;
    QPixmap shown;
    if (picture.LoadFromFile(path)) {
        if (picture.IsBitmap()) {
            // At its own size: what does not fit the panel is cut off.
            shown = QPixmap::fromImage(picture.Image());
        } else if (picture.GraphicKind() == TPicture::Kind::Metafile) {
            shown = QPixmap(PreviewWidth, PreviewHeight);
            shown.fill(Qt::white);
            QPainter painter(&shown);
            picture.Draw(painter, shown.rect());
        }
    }
    if (shown.isNull()) {
        ClearPreview();
        QMessageBox box(QMessageBox::Critical, tr("Error"), tr("Error loading file!"),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("LoadErrorBox"));
        box.exec();
        return;
    }
    Image1->setPixmap(shown);
}

void TLoadBackGround::OKButtonClick()
{
    if (FileName().isEmpty()) {
        QApplication::beep();
        return;
    }
    done(ResultOk);
}

void TLoadBackGround::NoneButtonClick()
{
    done(ResultNone);
}

void TLoadBackGround::CancelbuttonClick()
{
    done(ResultCancel);
}

void TLoadBackGround::FolderButtonClick()
{
    QFileDialog dialog(this, tr("Folder of Background Art"), m_directory);
    dialog.setObjectName(QStringLiteral("BackgroundFolderDialog"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        SetDirectory(dialog.selectedFiles().constFirst());
}
