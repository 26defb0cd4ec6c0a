#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;
class QListWidget;
class QPushButton;

// "Load  Business Card Background Art ": a folder's bitmaps and metafiles in
// a list, the selected one previewed beside it. Ends with Ok (a file was
// chosen), None (no background) or Cancel.
class TLoadBackGround : public QDialog
{
    Q_OBJECT

public:
    explicit TLoadBackGround(QWidget *parent = nullptr);

    static constexpr int HelpContext = 2101;
    // exec() results: Ok and Cancel as every dialog, None a result of its own.
    enum TResult { ResultCancel = QDialog::Rejected, ResultOk = QDialog::Accepted, ResultNone = 2 };

    // The folder listed; the list shows its files matching Mask, by name.
    QString Directory() const { return m_directory; }
    void SetDirectory(const QString &folder);
    static const char *const Mask; // "*.BMP;*.WMF"
    // Lists the file's folder and selects the file.
    void SetFileName(const QString &path);
    // The selected file's full path; empty when none is selected.
    QString FileName() const;

    void FileListBox1Change();
    void OKButtonClick();
    void NoneButtonClick();
    void CancelbuttonClick();
    // Asks for another folder to list.
    void FolderButtonClick();

    QListWidget *FileListBox1 = nullptr;
    QLabel *DirectoryLabel = nullptr;
    QFrame *Panel1 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *Cancelbutton = nullptr;
    QPushButton *NoneButton = nullptr;
    QPushButton *Helpbutton = nullptr;
    QPushButton *FolderButton = nullptr;

private:
    void ClearPreview();
    QString m_directory;
};
