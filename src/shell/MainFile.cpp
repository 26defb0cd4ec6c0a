// The main window's file commands: new, open, save, save as, delete, cancel
// and exit, with their questions and messages. The open design itself (file,
// changes, background art, reading and writing) is a TCardModel.
#include "document/DesignHistory.h"
#include "document/Filer.h"
#include "document/StreamIO.h"
#include "graphics/RegularFile.h"
#include "shell/MRUFileList.h"
#include "shell/Main.h"
#include "shell/ShellUtil.h"
#include "surface/GHandle.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

namespace {

bool IsDesignFile(const QString &path)
{
    return QFileInfo(path).suffix().toUpper() == QLatin1String("TSC");
}

} // namespace

// ---- file commands ----------------------------------------------------------------

QString TMainScreen::UnableToOpenMessage(const QString &path)
{
    return tr("Unable to open ") + PrintableText(path) +
           tr(". Possibly corrupted, posibly not a TSC file");
}

QString TMainScreen::SavedFolder()
{
    return ProgramFolder() + QStringLiteral("Saved/");
}

bool TMainScreen::CheckSaveNeeded(bool offerCancel)
{
    if (!ChangesMade())
        return true;
    QMessageBox box(QMessageBox::Question, tr("Save"), tr("Save changes?"),
                    QMessageBox::Yes | QMessageBox::No |
                        (offerCancel ? QMessageBox::Cancel : QMessageBox::NoButton),
                    this);
    box.setObjectName(QStringLiteral("AskYesNoBox"));
    const int answer = box.exec();
    if (answer == QMessageBox::Cancel)
        return false;
    if (answer != QMessageBox::Yes)
        return true;
    if (FileName().isEmpty()) {
        // A Save As that is cancelled abandons the command that asked.
        return mnuSaveAsClick();
    }
    if (!SaveBCFile(FileName()))
        return false;
    SetChangesMade(false);
    return true;
}

bool TMainScreen::SaveBCFile(const QString &path)
{
    QStringList lost = m_frontModel->TextLostBySaving();
    for (const QString &line : m_backModel->TextLostBySaving())
        lost.append(tr("Back: ") + line);
    if (!lost.isEmpty()) {
        const QString question =
            tr("A design file holds Western (Windows-1252) characters only. This text "
               "holds others, which would be saved as \"?\":\n\n%1\n\nSave anyway?")
                .arg(lost.join(QLatin1Char('\n')));
        if (!AskYesNo(question, tr("Save")))
            return false;
    }
    try {
        m_frontModel->Save(path);
        SaveBackSide(path);
    } catch (const EStreamError &e) {
        ShowInformation(e.Message());
        return false;
    }
    return true;
}

void TMainScreen::OpenBCFile(const QString &path)
{
    m_busy = true;
    ShowSide(false);
    m_frontModel->Clear();
    m_backModel->Clear();
    m_backModel->SetFileName(QString());
    m_unreadBackFile.clear();
    m_panel->Handles()->SetOwnBounds(m_panel->width() + 1, m_panel->Handles()->Top(),
                                     m_panel->Handles()->Width(), m_panel->Handles()->Height());
    try {
        m_panel->hide();
        m_frontModel->Open(path);
        m_panel->show();
        m_frontModel->SetFileName(path);
        OpenBackSide(path);
        m_recentFiles->AddFile(path);
        QString error;
        if (!m_recentFiles->SaveList(&error))
            ShowInformation(error);
        m_panel->update();
    } catch (const EStreamError &) {
        m_panel->DeleteAllObjects();
        m_panel->show();
        // A later Save must not write the empty card over the file that failed.
        m_frontModel->SetFileName(QString());
        m_frontModel->ClearBackgroundArt();
        ShowInformation(UnableToOpenMessage(path));
    }
    ResetHistories();
    SetChangesMade(false);
    QCoreApplication::processEvents();
    m_busy = false;
    Setbuttons();
    m_panel->update();
}

QString TMainScreen::ChooseDesignFile(const QString &title)
{
    QFileDialog dialog(this, title, SavedFolder(), tr("TSC File (*.tsc *.TSC)"));
    dialog.setObjectName(QStringLiteral("OpenDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(QStringLiteral("TSC"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().first();
}

void TMainScreen::New1Click()
{
    if (!CheckSaveNeeded(true))
        return;
    m_busy = true;
    ShowSide(false);
    for (TCardModel *side : {m_frontModel, m_backModel}) {
        side->Clear();
        side->SetFileName(QString());
    }
    m_unreadBackFile.clear();
    m_panel->update();
    ResetHistories();
    SetChangesMade(false);
    m_busy = false;
    Setbuttons();
}

void TMainScreen::Open1Click()
{
    if (!CheckSaveNeeded(true))
        return;
    const QString path = ChooseDesignFile(tr("Open Business Card"));
    if (path.isEmpty())
        return;
    if (!IsDesignFile(path)) {
        ShowInformation(tr("Must be a TSC (Tessaro) file"));
        return;
    }
    OpenBCFile(path);
}

void TMainScreen::MRUFileClicked(const QString &path)
{
    if (!CheckSaveNeeded(true)) {
        m_recentFiles->AddFile(path); // the command was abandoned: keep the entry
        return;
    }
    if (QFile::exists(path))
        OpenBCFile(path);
    else
        ShowInformation(path + tr(" no longer exists"));
}

void TMainScreen::Delete1Click()
{
    const QString path = ChooseDesignFile(tr("Delete Business Card"));
    if (path.isEmpty())
        return;
    if (!IsDesignFile(path)) {
        ShowInformation(tr("Must be a TSC (Tessaro) file"));
        return;
    }
    if (!AskYesNo(tr("Delete ") + path + QStringLiteral("?"), tr("CONFIRM")))
        return;
    if (!QFile::remove(path) && QFile::exists(path)) {
        ShowInformation(tr("Unable to delete %1").arg(path));
        return;
    }
    // The design's sidecar, and its back with the back's sidecar.
    const QString back = BackSidePath(path);
    for (const QString &file : {SidecarPath(path), back, SidecarPath(back)})
        if (QFile::exists(file))
            QFile::remove(file);
}

void TMainScreen::mnuSaveClick()
{
    if (FileName().isEmpty()) {
        // A design never saved has no file to go to yet: Save is Save As.
        mnuSaveAsClick();
        return;
    }
    m_panel->RemoveOutsideObjects();
    if (SaveBCFile(FileName()))
        SetChangesMade(false);
}

QString TMainScreen::ProposedFileName() const
{
    const QString folder = SavedFolder();
    QString name;
    for (int n = 10001; n <= 99999; ++n) {
        name = QStringLiteral("BC") + QString::number(n).mid(1) + QStringLiteral(".TSC");
        if (!QFile::exists(folder + name))
            break;
    }
    return name;
}

bool TMainScreen::mnuSaveAsClick()
{
    m_panel->RemoveOutsideObjects();
    QDir().mkpath(SavedFolder());
    const QString proposed =
        FileName().isEmpty() ? ProposedFileName() : QFileInfo(FileName()).fileName();
    QFileDialog dialog(this, tr("Save Business Card"), SavedFolder(), tr("TSC File (*.TSC *.tsc)"));
    dialog.setObjectName(QStringLiteral("SaveDialog1"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("TSC"));
    dialog.selectFile(proposed);
    bool saved = false;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString path = dialog.selectedFiles().first();
        if (SaveBCFile(path)) {
            m_frontModel->SetFileName(path);
            SetChangesMade(false);
            m_recentFiles->AddFile(path);
            QString error;
            if (!m_recentFiles->SaveList(&error))
                ShowInformation(error);
            saved = true;
        }
    }
    Setbuttons();
    return saved;
}

void TMainScreen::SavebuttonClick()
{
    if (FileName().isEmpty())
        mnuSaveAsClick();
    else
        mnuSaveClick();
}

void TMainScreen::CancelbuttonClick()
{
    if (!AskYesNo(tr("Cancel all changes?"), tr("CANCEL")))
        return;
    m_busy = true;
    ShowSide(false);
    m_frontModel->Clear();
    m_backModel->Clear();
    m_busy = false;
    if (!FileName().isEmpty())
        OpenBCFile(FileName());
    ResetHistories();
    SetChangesMade(false);
    m_panel->update();
}

void TMainScreen::CloseButtonClick()
{
    if (!CheckSaveNeeded(true))
        return;
    m_closeConfirmed = true;
    close();
}

void TMainScreen::closeEvent(QCloseEvent *event)
{
    // The close box asks as Exit does; Cancel keeps the program open.
    if (!m_closeConfirmed && !CheckSaveNeeded(true)) {
        event->ignore();
        return;
    }
    m_closeConfirmed = false;
    SavePlacement(this);
    QMainWindow::closeEvent(event);
}
