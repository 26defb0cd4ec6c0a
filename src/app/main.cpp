#include "shell/Application.h"
#include "shell/Main.h"
#include "shell/SingleInstance.h"

#include <QApplication>
#include <QCursor>
#include <QFileInfo>
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
    return app.exec();
}
