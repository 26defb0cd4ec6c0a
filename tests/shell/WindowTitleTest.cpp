// The real program on its own X server: the title bar as the desktop shows it.
#include "ShellTestHelpers.h"
#include "objects/gbclabel32.h"
#include "surface/Gbcpanel32.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString Output(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return QString();
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

void Stop(QProcess &process)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished();
    }
}

TEST(WindowTitleTest, TitleBarShowsTheCaptionAsItIs)
{
    const QString program = QStringLiteral(TESSARO_BINARY_DIR "/tessaro");
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString xwininfo = QStandardPaths::findExecutable(QStringLiteral("xwininfo"));
    const QString xprop = QStandardPaths::findExecutable(QStringLiteral("xprop"));
    if (!QFile::exists(program) || xvfb.isEmpty() || xwininfo.isEmpty() || xprop.isEmpty())
        GTEST_SKIP() << "needs the tessaro program, Xvfb, xwininfo and xprop";

    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString home = scratch.filePath(QStringLiteral("home"));
    const QString data = home + QStringLiteral("/.local/share");
    const QString runtime = scratch.filePath(QStringLiteral("runtime"));
    const QString saved = data + QStringLiteral("/Tessaro/Saved");
    ASSERT_TRUE(QDir().mkpath(saved));
    ASSERT_TRUE(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A saved design, which the program reopens as the most recent one.
    const QString design = saved + QStringLiteral("/BC0001.TSC");
    {
        TGBusinessCardPanel32 panel;
        panel.SetOwner(&panel);
        panel.setFixedSize(336, 192);
        auto *label = new TGBusinessCardLabel(&panel);
        label->MakeReady();
        panel.PlaceObject(label, TRect::FromBounds(20, 20, 142, 33));
        panel.SaveToFile(design);
    }
    ASSERT_TRUE(WriteBytes(data + QStringLiteral("/Tessaro/TSC.INI"),
                           "[MRU]\nF0=" + design.toUtf8() + "\n"));

    const QString displayFile = scratch.filePath(QStringLiteral("display"));
    QProcess server;
    server.start(QStringLiteral("bash"),
                 {QStringLiteral("-c"),
                  QStringLiteral("exec \"$0\" -displayfd 3 -screen 0 1024x768x24 -nolisten tcp "
                                 "3>\"$1\" 2>/dev/null"),
                  xvfb, displayFile});
    ASSERT_TRUE(server.waitForStarted());
    ASSERT_TRUE(WaitFor([&] { return !ReadBytes(displayFile).trimmed().isEmpty(); }, 10000));
    const QString display =
        QStringLiteral(":") + QString::fromUtf8(ReadBytes(displayFile).trimmed());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display);
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), data);
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    // The server takes connections once it answers.
    ASSERT_TRUE(WaitFor([&] { return !Output(xwininfo, {QStringLiteral("-root")}, env).isEmpty(); },
                        10000));
    QProcess app;
    app.setProcessEnvironment(env);
    app.start(program, {});
    ASSERT_TRUE(app.waitForStarted());

    // The program's windows (by their class), and the title of the one that
    // shows the design as the window manager reads it (_NET_WM_NAME).
    const QRegularExpression ours(QStringLiteral("^\\s*(0x[0-9a-f]+) .*\\(\"tessaro\" "),
                                  QRegularExpression::MultilineOption);
    QString title;
    WaitFor(
        [&] {
            const QString tree =
                Output(xwininfo, {QStringLiteral("-root"), QStringLiteral("-tree")}, env);
            for (auto it = ours.globalMatch(tree); it.hasNext();) {
                const QString name = Output(xprop,
                                            {QStringLiteral("-id"), it.next().captured(1),
                                             QStringLiteral("_NET_WM_NAME")},
                                            env)
                                         .trimmed();
                if (name.contains(QLatin1String("BC0001.TSC")))
                    title = name;
            }
            return !title.isEmpty();
        },
        30000);
    Stop(app);
    Stop(server);

    ASSERT_FALSE(title.isEmpty()) << "no window showed the design; the program said:\n"
                                  << app.readAllStandardError().constData();
    EXPECT_EQ(title, QStringLiteral("_NET_WM_NAME(UTF8_STRING) = \"Tessaro - BC0001.TSC\""));
}

} // namespace
