#include "document/Desktop.h"
#include "effects/Gssprop.h"
#include "effects/gstprop.h"
#include "graphics/RegularFile.h"
#include "shell/Application.h"
#include "shell/Main.h"
#include "shell/SingleInstance.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QIcon>
#include <QTimer>
#include <cstdio>
#include <functional>

namespace {

const char Usage[] = "Usage: tessaro [DESIGN.TSC]\n"
                     "\n"
                     "Designs business cards and prints them on sheets of card stock. DESIGN.TSC\n"
                     "opens that design, in the window already running if there is one.\n"
                     "\n"
                     "  --version  show the version\n"
                     "  --help     show this text\n"
                     "\n"
                     "tessaro-batch prints, renders and exports designs without a window.\n";

} // namespace

int main(int argc, char **argv)
{
    // Answered before the window system is reached: these work without a display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--version") {
            std::fputs("tessaro " TESSARO_VERSION "\n", stdout);
            return 0;
        }
        if (argument == "--help" || argument == "-h") {
            std::fputs(Usage, stdout);
            return 0;
        }
    }

    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessaro"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/desktop/tessaro.svg")));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("app.tessaro.Tessaro"));

    // A design to open: the first argument that is not an option, by its
    // bytes (the toolkit has taken its own options out of argv), so that a
    // name that is not UTF-8 still names the file.
    QString designFile;
    for (int i = 1; i < argc; ++i) {
        const QString argument = DecodeFileName(QByteArray(argv[i]));
        if (!argument.startsWith(QLatin1Char('-'))) {
            designFile = argument;
            break;
        }
    }

    TSingleInstance instance(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    // A copy already running opens the design itself.
    instance.SetFileToHandOver(designFile);
    if (!instance.IsFirst())
        return 0;
    if (!instance.Problem().isEmpty()) {
        const QByteArray text = QStringLiteral("tessaro: %1\n").arg(instance.Problem()).toLocal8Bit();
        std::fputs(text.constData(), stderr);
    }

    // The card objects' own dialogs.
    InstallSuperShapePropertiesDialog();
    InstallSuperTextPropertiesDialog();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    TMainScreen window;
    if (!designFile.isEmpty())
        window.SetStartupFile(QFileInfo(designFile).absoluteFilePath());
    instance.SetRaiseHandler([&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    });
    // A design handed over by a later start waits until the window has
    // finished starting (so the most recent design does not replace it) and
    // no dialog is open.
    std::function<void(const QString &)> openWhenReady = [&window,
                                                          &openWhenReady](const QString &path) {
        if (window.Busy() || QApplication::activeModalWidget()) {
            QTimer::singleShot(100, &window, [&openWhenReady, path] { openWhenReady(path); });
            return;
        }
        window.OpenFromDesktop(path);
    };
    instance.SetOpenHandler([&window, &openWhenReady](const QString &path) {
        QTimer::singleShot(0, &window, [&openWhenReady, path] { openWhenReady(path); });
    });
    window.show();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();

    // A stored layout that cannot be used has been replaced; say so once,
    // over the window.
    const TPreferences &preferences = window.Preferences();
    // A settings file that cannot be read prints with the standard settings;
    // said where the window's other start-up problems go.
    if (!preferences.SettingsProblem.isEmpty()) {
        const QByteArray text = QStringLiteral("tessaro: %1\n")
                                    .arg(PrintableText(preferences.SettingsProblem))
                                    .toUtf8();
        std::fputs(text.constData(), stderr);
    }
    if (!preferences.LayoutProblem.isEmpty()) {
        const QString message = preferences.LayoutProblem + QStringLiteral("\n\n") +
                                preferences.LayoutFallback;
        QTimer::singleShot(0, &window, [message] { ShowInformation(message); });
    }
    return app.exec();
}
