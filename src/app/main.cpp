#include "shell/Application.h"
#include "shell/Main.h"
#include "shell/SingleInstance.h"
#include "surface/Desktop.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    TApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessaro"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tessaro"));
    QApplication::setApplicationVersion(QStringLiteral(TESSARO_VERSION));

    TSingleInstance instance(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    if (!instance.IsFirst())
        return 0;
    if (!instance.Problem().isEmpty()) {
        const QByteArray text = QStringLiteral("tessaro: %1\n").arg(instance.Problem()).toLocal8Bit();
        std::fputs(text.constData(), stderr);
    }

    QApplication::setOverrideCursor(Qt::WaitCursor);
    TMainScreen window;
    instance.SetRaiseHandler([&window] {
        if (window.isMinimized())
            window.showNormal();
        window.raise();
        window.activateWindow();
    });
    window.show();
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();

    // A stored layout that cannot be used has been replaced; say so once,
    // over the window.
    const TPreferences &preferences = window.Preferences();
    if (!preferences.LayoutProblem.isEmpty()) {
        const QString message = preferences.LayoutProblem + QStringLiteral("\n\n") +
                                preferences.LayoutFallback;
        QTimer::singleShot(0, &window, [message] { ShowInformation(message); });
    }
    return app.exec();
}
