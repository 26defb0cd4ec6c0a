// The main window's personal information and background art commands.
#include "document/ProgramFolder.h"
#include "graphics/Picture.h"
#include "shell/Loadbg.h"
#include "shell/Main.h"
#include "shell/Persinfo.h"
#include "shell/ShellUtil.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

void TMainScreen::mnuPersonalInformationClick()
{
    TPersonalInformation dialog(this);
    // What the file holds now, in case it was edited since the start.
    dialog.SetPersonalInfo(::LoadPreferences(PreferencesPath()).PersonalInfo);
    PlaceDialog(&dialog, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_preferences.PersonalInfo = dialog.PersonalInfo();
    SavePreferences();
    // Offered by the next text dialog, whether or not the file could be written.
    m_frontModel->SetPersonalInfo(m_preferences.PersonalInfo);
    m_backModel->SetPersonalInfo(m_preferences.PersonalInfo);
}

QString TMainScreen::BackgroundFolder()
{
    return ProgramFolder() + QStringLiteral("bg");
}

// Outside any namespace: Q_INIT_RESOURCE declares the registration function.
static void LoadSampleArtResources()
{
    // A static library only registers its resources when asked to.
    static const bool loaded = [] {
        Q_INIT_RESOURCE(background_art);
        Q_INIT_RESOURCE(starter_textures);
        return true;
    }();
    Q_UNUSED(loaded);
}

// Copies the sample files of a folder of the installed data (or, running
// from the build folder, of the resources) into a folder, leaving files of
// the same name alone; the number copied.
static int CopySampleFiles(const QString &folder, const QString &targetFolder)
{
    LoadSampleArtResources();
    const QDir target(targetFolder);
    int copied = 0;
    const QString data = InstalledDataFolder();
    const QDir samples(!data.isEmpty() && QFileInfo(data + folder).isDir()
                           ? data + folder
                           : QStringLiteral(":/") + folder);
    for (const QString &name : samples.entryList(QDir::Files)) {
        const QString path = target.filePath(name);
        if (QFileInfo::exists(path) || !QFile::copy(samples.filePath(name), path))
            continue;
        // Copies of resources are read-only; the user's own files are not.
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::WriteOwner);
        ++copied;
    }
    return copied;
}

int TMainScreen::InstallSampleBackgrounds()
{
    return CopySampleFiles(QStringLiteral("bg"), BackgroundFolder());
}

QString TMainScreen::TextureFolder()
{
    return ProgramFolder() + QStringLiteral("bmbrush");
}

int TMainScreen::InstallStarterTextures()
{
    return CopySampleFiles(QStringLiteral("bmbrush"), TextureFolder());
}

void TMainScreen::mnuSetorChangeBackgroundArtClick()
{
    TLoadBackGround dialog(this);
    dialog.SetDirectory(BackgroundFolder());
    const QString current = m_model->BackgroundArtFile();
    if (!current.isEmpty()) {
        const QFileInfo info(current);
        // Art that moved with the program into its own folder is found again.
        const QString moved = QDir(BackgroundFolder()).filePath(info.fileName());
        if (info.isFile())
            dialog.SetFileName(current);
        else if (QFileInfo(moved).isFile())
            dialog.SetFileName(moved);
    }
    switch (dialog.exec()) {
    case TLoadBackGround::ResultOk: {
        // A file that cannot be read leaves the card as it was.
        const QString path = dialog.FileName();
        TPicture probe;
        if (!probe.LoadFromFile(path)) {
            ShowInformation(tr("Error loading file!"));
            return;
        }
        m_model->SetBackgroundArtFile(path);
        break;
    }
    case TLoadBackGround::ResultNone:
        m_model->ClearBackgroundArt();
        break;
    default:
        return;
    }
    m_panel->update();
    SetChangesMade(true);
}
