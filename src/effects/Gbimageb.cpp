#include "effects/Gbimageb.h"

#include "document/Desktop.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>

QImage LoadTextureFile(const QString &path)
{
    QImage picture = LoadPictureFile(path);
    if (picture.isNull())
        return QImage();
    if (picture.hasAlphaChannel()) {
        // A texture tiles an opaque surface: transparent parts show as white.
        QImage opaque(picture.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter(&opaque).drawImage(0, 0, picture);
        picture = opaque;
    }
    if (picture.width() > kMaxTextureSide || picture.height() > kMaxTextureSide)
        picture = picture.scaled(kMaxTextureSide, kMaxTextureSide, Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
    return picture;
}

bool ReportsTextureLoadError(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toUpper();
    return suffix == QLatin1StringView("BMP") || suffix == QLatin1StringView("WMF");
}

// ---- sample box -----------------------------------------------------------------

TObjectSampleBox::TObjectSampleBox(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void TObjectSampleBox::SetObject(TGGraphicControl *object)
{
    m_object = object;
    FitObject();
}

void TObjectSampleBox::FitObject()
{
    if (m_object)
        setMinimumSize(m_object->Left() + m_object->Width() + 10,
                       m_object->Top() + m_object->Height() + 10);
    update();
}

void TObjectSampleBox::paintEvent(QPaintEvent *)
{
    if (!m_object)
        return;
    QPainter painter(this);
    painter.translate(m_object->Left(), m_object->Top());
    painter.setClipRect(0, 0, m_object->Width(), m_object->Height());
    m_object->Paint(painter);
}

// ---- browser --------------------------------------------------------------------

const QStringList &TGBrushImageBrowser::TextureFileMask()
{
    static const QStringList mask{
        QStringLiteral("*.BMP"), QStringLiteral("*.DIB"), QStringLiteral("*.JPG"),
        QStringLiteral("*.JIF"), QStringLiteral("*.PCX"), QStringLiteral("*.RLE"),
        QStringLiteral("*.TGA"), QStringLiteral("*.ICO"),
    };
    return mask;
}

TGBrushImageBrowser::TGBrushImageBrowser(QWidget *mainWindow)
    : TGImageBrowser(mainWindow)
{
    setObjectName(QStringLiteral("BrushImageBrowser"));
    setWindowTitle(QStringLiteral("Load Texture Image"));
    setFixedSize(596, 286);
    SetFileMask(TextureFileMask());
    FileListBox1->setGeometry(161, 8, 179, 215);
    FolderLabel->setGeometry(8, 236, 332, 18);
    // No picture options: the texture is always tiled at its own size.
    GroupBox1->hide();
    StretchCheckBox->setChecked(false);
    AutoSizeCheckBox->setChecked(false);

    ScrollBox1->setGeometry(348, 8, 239, 215);
    ExampleBox = new TObjectSampleBox;
    ExampleBox->setObjectName(QStringLiteral("ExampleBox"));
    ExampleSuperShape = new TSuperShape(ExampleBox);
    ExampleSuperShape->setObjectName(QStringLiteral("ExampleSuperShape"));
    ExampleSuperShape->SetBounds(10, 10, 96, 96);
    ExampleBox->SetObject(ExampleSuperShape);
    ExampleBox->resize(ExampleBox->minimumSize());
    // The clip-art preview stays, hidden, for the base's picture checks.
    ScrollBox1->takeWidget();
    Image1->setParent(this);
    Image1->hide();
    ScrollBox1->setWidget(ExampleBox);
    ScrollBox1->setWidgetResizable(true); // white to the edges, scrolling when larger

    OKButton->setGeometry(348, 250, 74, 28);
    CancelButton->setGeometry(430, 250, 74, 28);
    HelpButton->setGeometry(512, 250, 74, 28);
    disconnect(HelpButton, &QPushButton::clicked, nullptr, nullptr);
    connect(HelpButton, &QPushButton::clicked, this, [] { ShowHelpTopic(HelpTopic); });
    SetHelpTopic(this, HelpTopic);
    FileListBox1->setFocus();
    PlaceDialog(this, mainWindow);
    QApplication::restoreOverrideCursor();
}

void TGBrushImageBrowser::LoadPreview(const QString &path)
{
    m_texture = LoadTextureFile(path);
    ShowTexture(m_texture);
    if (m_texture.isNull() && ReportsTextureLoadError(path))
        ShowLoadError(this);
    if (FileListBox1->isEnabled() && isVisible())
        FileListBox1->setFocus();
}

void TGBrushImageBrowser::ShowTexture(const QImage &texture)
{
    if (texture.isNull()) {
        ExampleSuperShape->SetImage(nullptr);
    } else {
        TGBitmap bitmap;
        bitmap.SetImage(texture);
        ExampleSuperShape->SetImage(&bitmap);
    }
    ExampleBox->FitObject();
}
