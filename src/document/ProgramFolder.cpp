#include "document/ProgramFolder.h"

#include "document/Desktop.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef TESSARO_DATA_FROM_BIN
#define TESSARO_DATA_FROM_BIN "../share/tessaro"
#endif

QString ProgramFolder()
{
    static bool reported = false;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.local/share/Tessaro");
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    if (!QDir().mkpath(folder) && !reported) {
        reported = true; // before showing: the box's event loop may call us again
        ShowInformation(QStringLiteral("Unable to create the folder %1.\r\n"
                                       "Designs and settings cannot be saved.")
                            .arg(QDir::toNativeSeparators(folder)));
    }
    return folder;
}

QString PreferencesPath()
{
    return ProgramFolder() + QStringLiteral("TSC.INI");
}

QString HelpFilePath()
{
    return ProgramFolder() + QStringLiteral("TSC.HLP");
}

QString InstalledDataFolder()
{
    const QString folder = QDir::cleanPath(QCoreApplication::applicationDirPath() +
                                           QStringLiteral("/" TESSARO_DATA_FROM_BIN));
    return QFileInfo(folder).isDir() ? folder + QLatin1Char('/') : QString();
}
