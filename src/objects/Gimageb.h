#pragma once

#include "graphics/Picture.h"

#include <QDialog>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QListView;
class QModelIndex;
class QPushButton;
class QScrollArea;
class QTreeView;

// Shows "Error loading file!" in an error box.
void ShowLoadError(QWidget *parent);

// Where the sample clip art shipped with the program is: installed beside the
// program's share folder (<prefix>/share/tessaro/clipart for <prefix>/bin), or
// in the build tree beside the program. Empty when neither exists.
QString SampleClipArtFolder();
// The same search, from a given program folder.
QString SampleClipArtFolderFor(const QString &programDir);

// The preview picture, drawn stretched into the widget or at its own size
// from the top-left corner.
class TImagePreview : public QWidget
{
    Q_OBJECT

public:
    explicit TImagePreview(QWidget *parent = nullptr);
    TPicture &Picture() { return m_picture; }
    const TPicture &Picture() const { return m_picture; }
    bool Stretch() const { return m_stretch; }
    void SetStretch(bool stretch);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPicture m_picture;
    bool m_stretch = true;
};

// The dialog that picks a clip-art file: a drive list, a folder tree and the
// folder's picture files on the left, a live preview on the right.
class TGImageBrowser : public QDialog
{
    Q_OBJECT

public:
    static constexpr int HelpTopic = 40003;
    // The pictures the list shows; matched regardless of case.
    static const QStringList &FileMask();

    explicit TGImageBrowser(QWidget *mainWindow = nullptr);

    // The folder the file list shows; setting it moves the drive list and the
    // folder tree there too. A folder that does not exist is ignored.
    QString Folder() const { return m_folder; }
    void SetFolder(const QString &folder);
    // Selects a file of the list's folder (the preview follows); false when
    // it is not shown there.
    bool SelectFile(const QString &path);
    // The selected file's full path; empty when none is selected.
    QString FileName() const;
    const TPicture &PreviewPicture() const { return Image1->Picture(); }

    bool Stretch() const;
    void SetStretch(bool value);
    bool AutoSize() const;
    void SetAutoSize(bool value);

    // Where a browser opens: the folder a picture was last taken from in this
    // run, else the user's own "Clipart" folder in the program folder, else
    // the sample clip art, else the home folder.
    static QString StartFolder();

    QComboBox *DriveComboBox1 = nullptr;
    QTreeView *DirectoryListBox1 = nullptr;
    QListView *FileListBox1 = nullptr;
    QLabel *FolderLabel = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    TImagePreview *Image1 = nullptr;
    QGroupBox *GroupBox1 = nullptr;
    QCheckBox *StretchCheckBox = nullptr;
    QCheckBox *AutoSizeCheckBox = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;
    QPushButton *HelpButton = nullptr;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    // Shows a picture file chosen in the list; browsers of other pictures
    // (textures) preview it their own way.
    virtual void LoadPreview(const QString &path);
    // The pictures the list shows instead of FileMask().
    void SetFileMask(const QStringList &mask);

private:
    void FillDrives();
    void DriveChanged(int index);
    int DriveEntryFor(const QString &folder) const;
    void FolderChosen(const QModelIndex &index);
    void ShowFolder(const QString &folder);
    void RevealFolderInTree();
    void FileListChange();
    void StretchClick(bool checked);
    void AutoSizeClick(bool checked);
    void LayOutPreview();

    QFileSystemModel *m_folderModel = nullptr;
    QFileSystemModel *m_fileModel = nullptr;
    QString m_folder;
    QStringList m_fileMask;
    bool m_followFolder = true;
};
