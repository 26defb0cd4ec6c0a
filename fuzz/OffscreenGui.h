#pragma once

#include <QGuiApplication>

// The picture fuzz targets draw (fonts, images), which needs a GUI
// application: an offscreen one, with Qt's warnings silenced.
inline void StartOffscreenGui(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(*argc, *argv);
}
