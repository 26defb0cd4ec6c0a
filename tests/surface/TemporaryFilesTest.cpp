// The clipboard files live in the per-user folder that every copy of the
// program and the batch tool share: only the program's own exit removes them.
#include "common/TestSupport.h"
#include "document/ProgramFolder.h"
#include "shell/Main.h"
#include "surface/Gbcpanel32.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString BatchPath = QStringLiteral(TESSARO_BINARY_DIR "/tessaro-batch");

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

int RunBatch(const QStringList &args)
{
    QProcess process;
    process.start(BatchPath, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        return -1;
    }
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
}

} // namespace

TEST(TemporaryFilesTest, OnlyTheProgramsExitRemovesTheClipboardFiles)
{
    const QString clipboard = ProgramFolder() + QStringLiteral("Clipbrd.tmp");
    const QString scratch = ProgramFolder() + QStringLiteral("TempFile.tmp");
    Write(clipboard, "cut objects");
    Write(scratch, "scratch");

    // A surface that is not the program's comes and goes.
    QTemporaryDir dir;
    const QString design = dir.filePath(QStringLiteral("CARD.TSC"));
    {
        TGBusinessCardPanel32 other;
        other.setFixedSize(336, 192);
        EXPECT_EQ(other.ClipboardFile(), clipboard);
        EXPECT_EQ(other.ScratchFile(), scratch);
        other.SaveToFile(design);
    }
    EXPECT_EQ(Contents(clipboard), QByteArray("cut objects"));
    EXPECT_EQ(Contents(scratch), QByteArray("scratch"));

    // The batch tool renders and prints while the program runs.
    Write(clipboard, "cut objects");
    Write(scratch, "scratch");
    if (!QFile::exists(BatchPath)) {
        ADD_FAILURE() << "build the tessaro-batch target first: " << BatchPath.toStdString();
    } else {
        EXPECT_EQ(RunBatch({"render", design, "-o", dir.filePath("CARD.png")}), 0);
        EXPECT_EQ(RunBatch({"print", design, "-o", dir.filePath("SHEET.pdf")}), 0);
        EXPECT_TRUE(QFile::exists(dir.filePath("CARD.png")));
        EXPECT_EQ(Contents(clipboard), QByteArray("cut objects"));
        EXPECT_EQ(Contents(scratch), QByteArray("scratch"));
    }

    // The program's main window removes them as the program ends.
    Write(clipboard, "cut objects");
    Write(scratch, "scratch");
    TMainScreen::PrinterCheck = [](bool) { return false; };
    {
        TMainScreen window;
        window.show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(QFile::exists(clipboard));
    }
    EXPECT_FALSE(QFile::exists(clipboard));
    EXPECT_FALSE(QFile::exists(scratch));
}
