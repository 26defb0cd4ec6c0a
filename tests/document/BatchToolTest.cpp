// tessaro-batch run as a process on design files written by hand.
#include "DocumentTestSupport.h"
#include "document/CardModel.h"
#include "richtext/RichTextEngine.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <cstdio>
#include <unistd.h>

namespace {

QByteArray Prop(const QByteArray &path, const QByteArray &value)
{
    return ShortName(path) + value;
}

// The worked example's label followed by a symbol label, both as the writer
// writes them (table order, names Component0 and Component1).
QByteArray GoldenDesign()
{
    const QByteArray worked = WorkedExampleBytes();
    const QByteArray symbol =
        QByteArray("TPF0") + ShortName("TGSymbolLabel") + ShortName("Component1") +
        Prop("Tag", Hex("03 2C 01")) + Prop("Left", Hex("02 05")) + Prop("Top", Hex("02 06")) +
        Prop("Width", Hex("02 28")) + Prop("Height", Hex("02 29")) + Prop("Locked", Hex("08")) +
        Prop("Unselectable", Hex("08")) + Prop("DepthShadow", Hex("02 03")) +
        Prop("DirectionHighlight", Hex("07") + ShortName("hdright")) +
        Prop("Caption", Hex("06 09") + "It's caf\xE9") +
        Prop("Font.Color", Hex("07") + ShortName("clBlack")) + Prop("Font.Height", Hex("02 E0")) +
        Prop("Font.Name", Hex("06") + ShortName("WingDings")) + Prop("Font.Style", Hex("0B 00")) +
        Prop("Transparent", Hex("09")) + Prop("BackColor", Hex("04 FE FF FF 00")) +
        Prop("BorderStyle", Hex("07") + ShortName("bsSingle")) + Hex("00 00");
    // Drop the worked example's list end, add the symbol, end the list.
    return worked.left(worked.size() - 1) + symbol + Hex("00");
}

const char ExpectedDump[] = "object Component0: TGBusinessCardLabel\n"
                            "  Left = 24\n"
                            "  Top = 16\n"
                            "  Width = 150\n"
                            "  Height = 22\n"
                            "  Locked = False\n"
                            "  Unselectable = False\n"
                            "  Alignment = taCenter\n"
                            "  Caption = 'Sales Manager'\n"
                            "  Font.Color = clNavy\n"
                            "  Font.Height = -16\n"
                            "  Font.Name = 'Arial'\n"
                            "  Font.Style = [fsBold]\n"
                            "  Transparent = True\n"
                            "  BackColor = clWhite\n"
                            "  BorderStyle = bsNone\n"
                            "end\n"
                            "object Component1: TGSymbolLabel\n"
                            "  Tag = 300\n"
                            "  Left = 5\n"
                            "  Top = 6\n"
                            "  Width = 40\n"
                            "  Height = 41\n"
                            "  Locked = False\n"
                            "  Unselectable = False\n"
                            "  DepthShadow = 3\n"
                            "  DirectionHighlight = hdright\n"
                            "  Caption = 'It''s caf\xC3\xA9'\n"
                            "  Font.Color = clBlack\n"
                            "  Font.Height = -32\n"
                            "  Font.Name = 'WingDings'\n"
                            "  Font.Style = []\n"
                            "  Transparent = True\n"
                            "  BackColor = 16777214\n"
                            "  BorderStyle = bsSingle\n"
                            "end\n";

struct TRun
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

const QString BatchPath = QStringLiteral(TESSARO_BINARY_DIR "/tessaro-batch");

// dataHome: the XDG_DATA_HOME the tool runs with (the environment's when empty).
TRun RunBatch(const QStringList &args, const QString &dataHome = QString())
{
    TRun run;
    if (!QFile::exists(BatchPath)) {
        ADD_FAILURE() << "build the tessaro-batch target first: " << BatchPath.toStdString();
        return run;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (!dataHome.isEmpty())
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    process.setProcessEnvironment(env);
    process.start(BatchPath, args);
    if (!process.waitForFinished(60000)) {
        process.kill();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

} // namespace

TEST(BatchToolTest, DumpPrintsWhatTheWriterWouldWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("GOLDEN.TSC"));
    WriteAll(path, GoldenDesign());

    const TRun run = RunBatch({QStringLiteral("dump"), path});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.out.toStdString(), std::string(ExpectedDump));

    // Names in the file do not matter: every load renames, and the order of
    // the entries is the writer's, not the file's.
    QByteArray shuffled = GoldenDesign();
    shuffled.replace("Component1", "Special77X");
    const QByteArray depth = Prop("DepthShadow", Hex("02 03"));
    const QByteArray direction = Prop("DirectionHighlight", Hex("07") + ShortName("hdright"));
    shuffled.replace(depth + direction, direction + depth);
    ASSERT_NE(shuffled, GoldenDesign());
    WriteAll(path, shuffled);
    const TRun again = RunBatch({QStringLiteral("dump"), path});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out.toStdString(), std::string(ExpectedDump));
}

TEST(BatchToolTest, ResaveWritesTheSameBytesAndCarriesTheSidecar)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("IN.TSC"));
    const QString out = dir.filePath(QStringLiteral("OUT.TSC"));
    WriteAll(in, GoldenDesign());
    WriteAll(dir.filePath(QStringLiteral("IN.TSE")), QByteArray("/art/bg/waves.bmp\r\n"));

    TRun run = RunBatch({QStringLiteral("resave"), in, out});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(ReadAll(out).toHex(' '), GoldenDesign().toHex(' '));
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("OUT.TSE"))),
              QByteArray("/art/bg/waves.bmp\r\n"));

    // A design another program wrote with text the 8-bit file text cannot
    // hold (UTF-8, tag 20) is not resaved with that text changed.
    QByteArray wide = GoldenDesign();
    const qsizetype caption = wide.indexOf("Caption");
    ASSERT_GT(caption, 0);
    const int length = uint8_t(wide.at(caption + 8));
    wide.replace(caption + 7, 2 + length, QByteArray("\x14\x05\x00\x00\x00", 5) + "Ж ok");
    WriteAll(in, wide);
    QFile::remove(out);
    run = RunBatch({QStringLiteral("resave"), in, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(": 'Ж ok'")) << run.err.constData();
    EXPECT_FALSE(QFile::exists(out));
    WriteAll(in, GoldenDesign());

    // Without a background the target's old sidecar goes.
    QFile::remove(dir.filePath(QStringLiteral("IN.TSE")));
    run = RunBatch({QStringLiteral("resave"), in, out});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("OUT.TSE"))));
}

TEST(BatchToolTest, UnreadableFilesAndWrongCommandLines)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("MISSING.TSC"));
    TRun run = RunBatch({QStringLiteral("dump"), missing});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_EQ(run.err, QStringLiteral("Cannot open file %1\n").arg(missing).toUtf8());

    const QString damaged = dir.filePath(QStringLiteral("DAMAGED.TSC"));
    WriteAll(damaged, WorkedExampleBytes().left(120));
    run = RunBatch({QStringLiteral("dump"), damaged});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err,
              (damaged + ": Error reading Component0.Caption: Stream read error\n").toUtf8());

    const QString out = dir.filePath(QStringLiteral("no/folder/OUT.TSC"));
    WriteAll(damaged, WorkedExampleBytes());
    run = RunBatch({QStringLiteral("resave"), damaged, out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, QStringLiteral("Cannot create file %1\n").arg(out).toUtf8());

    // Every command names the file it could not read.
    QByteArray bad = WorkedExampleBytes();
    ASSERT_TRUE(bad.contains("taCenter"));
    bad.replace("taCenter", "taMiddle");
    const QString invalid = dir.filePath(QStringLiteral("INVALID.TSC"));
    WriteAll(invalid, bad);
    const QString outPdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const QString outPng = dir.filePath(QStringLiteral("card.png"));
    for (const QStringList &command :
         {QStringList{QStringLiteral("dump"), invalid},
          QStringList{QStringLiteral("resave"), invalid, dir.filePath(QStringLiteral("R.TSC"))},
          QStringList{QStringLiteral("print"), invalid, QStringLiteral("-o"), outPdf},
          QStringList{QStringLiteral("render"), invalid, QStringLiteral("-o"), outPng}}) {
        run = RunBatch(command);
        EXPECT_EQ(run.exitCode, 1) << command.first().toStdString();
        EXPECT_TRUE(run.err.startsWith((invalid + ": ").toUtf8())) << run.err.constData();
        EXPECT_TRUE(run.err.contains("Invalid property value")) << run.err.constData();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("R.TSC"))));
    EXPECT_FALSE(QFile::exists(outPdf));
    EXPECT_FALSE(QFile::exists(outPng));

    // A file that cannot be written is named too.
    const QString good = dir.filePath(QStringLiteral("GOOD.TSC"));
    WriteAll(good, WorkedExampleBytes());
    const QString unwritable = dir.filePath(QStringLiteral("no/folder/card.png"));
    run = RunBatch({QStringLiteral("render"), good, QStringLiteral("-o"), unwritable});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith((unwritable + ": ").toUtf8())) << run.err.constData();

    run = RunBatch({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.out.contains("dump FILE"));
    EXPECT_TRUE(run.out.contains("resave IN OUT"));

    run = RunBatch({QStringLiteral("dump")});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("Usage"));
}

TEST(BatchToolTest, MessagesGoToStandardErrorWithoutWaitingForAnAnswer)
{
    // A data folder that cannot be made (its parent is a file): the tool
    // says so on standard error, once, and still renders and prints.
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("blocker"));
    WriteAll(blocker, QByteArray("not a folder"));
    const QString design = dir.filePath(QStringLiteral("CARD.TSC"));
    WriteAll(design, WorkedExampleBytes());
    const QString png = dir.filePath(QStringLiteral("card.png"));
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    for (const QStringList &command :
         {QStringList{QStringLiteral("render"), design, QStringLiteral("-o"), png},
          QStringList{QStringLiteral("print"), design, QStringLiteral("-o"), pdf}}) {
        const TRun run = RunBatch(command, blocker + QStringLiteral("/data"));
        EXPECT_EQ(run.exitCode, 0) << command.first().toStdString() << run.err.constData();
        EXPECT_EQ(run.err.count("Unable to create the folder "), 1) << run.err.constData();
        EXPECT_TRUE(run.err.contains("\nDesigns and settings cannot be saved.\n"))
            << run.err.constData();
    }
    EXPECT_TRUE(QFile::exists(png));
    EXPECT_TRUE(QFile::exists(pdf));
}

// The tool runs without the widget toolkit: a command that made a window, a
// dialog or a menu on the way (for any of the kinds) would stop the process
// instead of finishing.
TEST(BatchToolTest, EveryCommandRunsOnEveryKindWithoutAWidget)
{
    QTemporaryDir dir;
    const QString design = dir.filePath(QStringLiteral("Kinds.TSC"));
    {
        TCardModel model;
        TRichTextEngine::EnsureMaster(&model);
        int left = 4;
        for (const QString &kind : TObjectKindRegistry::Instance().Names()) {
            auto *object = qobject_cast<TGGraphicControl *>(
                TObjectKindRegistry::Instance().Create(kind, model.Owner()));
            if (!object)
                continue;
            object->MakeReady();
            object->SetBounds(left, 10, 40, 30);
            left += 24;
            model.Insert(object);
        }
        ASSERT_GE(model.Count(), 11);
        model.Save(design);
    }
    const QString out = dir.filePath(QStringLiteral("out"));
    const QList<QStringList> commands{
        {"dump", design},
        {"resave", design, out + ".TSC"},
        {"render", design, "-o", out + ".png", "--zoom", "1.5"},
        {"print", design, "-o", out + ".pdf"},
    };
    for (const QStringList &command : commands) {
        const TRun run = RunBatch(command, dir.filePath(QStringLiteral("data")));
        EXPECT_EQ(run.exitCode, 0) << command.first().toStdString() << ": "
                                   << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("QWidget")) << run.err.toStdString();
    }
    EXPECT_GT(QFileInfo(out + ".png").size(), 0);
    EXPECT_GT(QFileInfo(out + ".pdf").size(), 0);
    EXPECT_GT(QFileInfo(out + ".TSC").size(), 0);
}

// Text from a design never reaches the terminal as control characters: an
// escape sequence in a caption or a class name would set the terminal's
// title or clear its screen.
TEST(BatchToolTest, ControlCharactersFromADesignArePrintedEscaped)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ESC.TSC"));
    QByteArray design = WorkedExampleBytes();
    ASSERT_TRUE(design.contains("Sales Manager"));
    // The same length, so the string's length byte still fits.
    design.replace("Sales Manager", "Sa\x1b]0;X\x07\x1b[2J!");
    WriteAll(path, design);
    TRun run = RunBatch({QStringLiteral("dump"), path});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.out.contains("  Caption = 'Sa\\x1b]0;X\\x07\\x1b[2J!'\n")) << run.out.data();
    EXPECT_FALSE(run.out.contains('\x1b'));
    EXPECT_FALSE(run.out.contains('\x07'));

    design = WorkedExampleBytes();
    ASSERT_TRUE(design.contains("TGBusinessCardLabel"));
    design.replace("TGBusinessCardLabel", "TGBusiness\x1b[2JLabel");
    WriteAll(path, design);
    for (const QString &command : {QStringLiteral("dump"), QStringLiteral("render")}) {
        QStringList args{command, path};
        if (command == QLatin1String("render"))
            args << QStringLiteral("-o") << dir.filePath(QStringLiteral("card.png"));
        run = RunBatch(args);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, (path + ": Class TGBusiness\\x1b[2JLabel not found\n").toUtf8());
    }
}

// A design whose name is not UTF-8 is opened by the bytes of its name, and
// a settings file that cannot be read is said once on standard error.
TEST(BatchToolTest, NamesThatAreNotUtf8AndSettingsThatCannotBeRead)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray badName = folder + "/bad\xff"
                                        "name.TSC";
    QFile file(QString::fromUtf8(folder + "/plain.TSC"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(WorkedExampleBytes());
    file.close();
    ASSERT_EQ(::rename((folder + "/plain.TSC").constData(), badName.constData()), 0);

    // The name's bytes reach the tool as they are, through the shell.
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("exec \"$0\" dump \"$(printf 'bad\\377name.TSC')\""), BatchPath});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    EXPECT_TRUE(process.readAllStandardOutput().contains("Caption = 'Sales Manager'"));

    // Missing, it is named with the byte shown as \xff.
    ASSERT_EQ(::unlink(badName.constData()), 0);
    process.start(QStringLiteral("/bin/sh"),
                  {QStringLiteral("-c"),
                   QStringLiteral("exec \"$0\" dump \"$(printf 'bad\\377name.TSC')\""), BatchPath});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 1);
    EXPECT_EQ(process.readAllStandardError(), QByteArray("Cannot open file bad\\xffname.TSC\n"));

    // TSC.INI is a folder: the sheet prints with the standard settings.
    const QString data = dir.filePath(QStringLiteral("data"));
    ASSERT_TRUE(QDir().mkpath(data + QStringLiteral("/Tessaro/TSC.INI")));
    const QString design = dir.filePath(QStringLiteral("CARD.TSC"));
    WriteAll(design, WorkedExampleBytes());
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    const TRun run = RunBatch({QStringLiteral("print"), design, QStringLiteral("-o"), pdf}, data);
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_EQ(run.err, QStringLiteral("The settings file %1/Tessaro/TSC.INI cannot be read (not a "
                                      "regular file); the standard settings are used.\n")
                           .arg(data)
                           .toUtf8());
    EXPECT_TRUE(QFile::exists(pdf));
}
