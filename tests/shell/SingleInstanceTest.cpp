#include "shell/SingleInstance.h"

#include "ShellTestHelpers.h"
#include "common/HostileFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QDir>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QUuid>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <gtest/gtest.h>

namespace {

QString UniqueName()
{
    return QStringLiteral("tessaro-test-") + QUuid::createUuid().toString(QUuid::Id128);
}

TEST(SingleInstanceTest, SecondStartAsksTheFirstToComeForward)
{
    const QString name = UniqueName();
    TSingleInstance first(name);
    ASSERT_TRUE(first.IsFirst());
    EXPECT_TRUE(first.IsFirst()); // decided once
    EXPECT_TRUE(QFileInfo::exists(first.LockFilePath()));
    EXPECT_TRUE(first.LockFilePath().endsWith(name + ".lock"));
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });

    {
        TSingleInstance second(name);
        EXPECT_FALSE(second.IsFirst());
        EXPECT_FALSE(second.IsFirst());
    }
    EXPECT_TRUE(WaitFor([&] { return raised == 1; })) << "raised " << raised << " times";

    // A third start later raises again.
    {
        TSingleInstance third(name);
        EXPECT_FALSE(third.IsFirst());
    }
    EXPECT_TRUE(WaitFor([&] { return raised == 2; }));
}

TEST(SingleInstanceTest, RequestBeforeTheHandlerIsSetIsDeliveredLater)
{
    const QString name = UniqueName();
    TSingleInstance first(name);
    ASSERT_TRUE(first.IsFirst());
    {
        TSingleInstance second(name);
        EXPECT_FALSE(second.IsFirst());
    }
    // Let the request arrive while the window is still being made.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);

    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));
    for (int i = 0; i < 10; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(raised, 1);
}

TEST(SingleInstanceTest, LockIsFreedWhenTheFirstEnds)
{
    const QString name = UniqueName();
    QString lockPath;
    {
        TSingleInstance first(name);
        ASSERT_TRUE(first.IsFirst());
        lockPath = first.LockFilePath();
    }
    EXPECT_FALSE(QFileInfo::exists(lockPath));
    TSingleInstance next(name);
    EXPECT_TRUE(next.IsFirst());
}

TEST(SingleInstanceTest, LockLeftByACrashedRunDoesNotBlock)
{
    // A process that has ended: its id names no running program.
    QProcess finished;
    finished.start(QStringLiteral("true"), {});
    ASSERT_TRUE(finished.waitForFinished(5000));
    const qint64 deadPid = finished.processId() > 0 ? finished.processId() : 0;

    const QString name = UniqueName();
    TSingleInstance probe(name);
    const QString lockPath = probe.LockFilePath();

    // Left behind with a dead owner.
    ASSERT_TRUE(WriteBytes(lockPath, QByteArray::number(deadPid > 0 ? deadPid : 999999) + "\n" +
                                         QCoreApplication::applicationName().toUtf8() + "\n" +
                                         QSysInfo::machineHostName().toUtf8() + "\n"));
    EXPECT_TRUE(probe.IsFirst());

    // Cut short before its owner was written.
    const QString name2 = UniqueName();
    TSingleInstance probe2(name2);
    ASSERT_TRUE(WriteBytes(probe2.LockFilePath(), QByteArray()));
    EXPECT_TRUE(probe2.IsFirst());
    TSingleInstance after(name2);
    EXPECT_FALSE(after.IsFirst()); // and the new lock holds
}

TEST(SingleInstanceTest, AnotherProcessIsTurnedAwayAndRaisesTheFirst)
{
    const QString name = UniqueName();
    TSingleInstance first(name);
    ASSERT_TRUE(first.IsFirst());
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });

    // This test program started again, running only the probe below.
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TESSARO_INSTANCE_PROBE"), name);
    second.setProcessEnvironment(env);
    second.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_also_run_disabled_tests"),
                  QStringLiteral("--gtest_filter=SingleInstanceProbe.DISABLED_Run")});
    ASSERT_TRUE(second.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 20000));
    const QByteArray output = second.readAllStandardOutput();
    EXPECT_EQ(second.exitCode(), 0) << output.constData();
    EXPECT_TRUE(output.contains("probe: second")) << output.constData();
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));
}

// Run by the test above in a process of its own.
TEST(SingleInstanceProbe, DISABLED_Run)
{
    const QString name = qEnvironmentVariable("TESSARO_INSTANCE_PROBE");
    ASSERT_FALSE(name.isEmpty());
    TSingleInstance instance(name);
    std::printf("probe: %s\n", instance.IsFirst() ? "first" : "second");
    std::fflush(stdout);
}

TEST(SingleInstanceTest, NoPlaceForALockMeansNoGuard)
{
    // The lock's folder does not exist: the program must still start.
    TSingleInstance guard(QStringLiteral("no-such-folder-") + UniqueName() +
                          QStringLiteral("/tessaro"));
    EXPECT_TRUE(guard.IsFirst());
}

// A folder nobody may write in, root included (an immutable folder where the
// file system has the flag, else one without write permission). Empty when
// neither can be had here.
class TReadOnlyFolder
{
public:
    explicit TReadOnlyFolder(const QString &path)
        : m_path(path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
        if (fd >= 0) {
            int flags = 0;
            if (::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags |= FS_IMMUTABLE_FL;
                m_immutable = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
            }
            ::close(fd);
        }
        if (!m_immutable)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
        QFile probe(path + QStringLiteral("/probe"));
        m_readOnly = !probe.open(QIODevice::WriteOnly);
        if (!m_readOnly)
            probe.remove();
    }
    ~TReadOnlyFolder()
    {
        if (m_immutable) {
            const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_DIRECTORY);
            int flags = 0;
            if (fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd, FS_IOC_SETFLAGS, &flags);
            }
            if (fd >= 0)
                ::close(fd);
        }
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    bool ReadOnly() const { return m_readOnly; }

private:
    QString m_path;
    bool m_immutable = false;
    bool m_readOnly = false;
};

// The runtime folder the guard looks for first, for the length of a test.
class TRuntimeFolder
{
public:
    TRuntimeFolder()
        : m_old(qgetenv("XDG_RUNTIME_DIR"))
        , m_hadOld(qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"))
    {
        m_dir.setAutoRemove(true);
        QFile::setPermissions(m_dir.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    }
    ~TRuntimeFolder()
    {
        if (m_hadOld)
            qputenv("XDG_RUNTIME_DIR", m_old);
        else
            qunsetenv("XDG_RUNTIME_DIR");
    }
    QString Path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
    bool m_hadOld;
};

// A lock as a copy that has ended leaves it.
QByteArray StaleLock()
{
    QProcess finished;
    finished.start(QStringLiteral("true"), {});
    finished.waitForFinished(5000);
    const qint64 deadPid = finished.processId() > 0 ? finished.processId() : 999999;
    return QByteArray::number(deadPid) + "\n" + QCoreApplication::applicationName().toUtf8() +
           "\n" + QSysInfo::machineHostName().toUtf8() + "\n";
}

TEST(SingleInstanceTest, AReadOnlyRuntimeFolderStillKeepsToOneCopy)
{
    TRuntimeFolder runtime;
    TReadOnlyFolder readOnly(runtime.Path());
    if (!readOnly.ReadOnly())
        GTEST_SKIP() << "no folder can be made read-only here";
    const QString name = UniqueName();

    // The lock goes to the temporary folder instead, with the user id in its
    // name; a second start is turned away and raises the first.
    TSingleInstance first(name);
    ASSERT_TRUE(first.IsFirst());
    EXPECT_TRUE(first.Problem().isEmpty()) << first.Problem().toStdString();
    EXPECT_FALSE(first.LockFilePath().startsWith(runtime.Path()));
    EXPECT_TRUE(QFileInfo::exists(first.LockFilePath()));
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    {
        TSingleInstance second(name);
        EXPECT_FALSE(second.IsFirst());
    }
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));
}

TEST(SingleInstanceTest, AStaleLockThatCannotBeRemovedDoesNotStopTheStart)
{
    const QString name = UniqueName();
    // Left in the runtime folder by a copy that has ended, and the folder is
    // read-only since.
    {
        TRuntimeFolder runtime;
        ASSERT_TRUE(WriteBytes(runtime.Path() + "/" + name + ".lock", StaleLock()));
        TReadOnlyFolder readOnly(runtime.Path());
        if (!readOnly.ReadOnly())
            GTEST_SKIP() << "no folder can be made read-only here";
        TSingleInstance first(name);
        EXPECT_TRUE(first.IsFirst());
        EXPECT_TRUE(first.Problem().isEmpty()) << first.Problem().toStdString();
        TSingleInstance second(name);
        EXPECT_FALSE(second.IsFirst()); // and the guard still works
    }

    // The same in a full runtime folder, while every other place is full too:
    // no guard can be had, so the program starts anyway and says why.
    {
        TRuntimeFolder runtime;
        ASSERT_TRUE(WriteBytes(runtime.Path() + "/" + name + ".lock", StaleLock()));
        TFileSizeLimit full(0);
        ASSERT_TRUE(full.Ok());
        TSingleInstance guard(name);
        EXPECT_TRUE(guard.IsFirst());
        EXPECT_TRUE(guard.Problem().contains(name)) << guard.Problem().toStdString();
    }
}

TEST(SingleInstanceTest, NoWritableFolderAtAllMeansAStartWithAWarning)
{
    // Folders given: one that cannot hold files, one that does not exist.
    TSingleInstance guard(UniqueName(),
                          {QStringLiteral("/proc/self"), QStringLiteral("/no/such/folder")});
    EXPECT_TRUE(guard.IsFirst());
    EXPECT_FALSE(guard.Problem().isEmpty());

    // A later folder holding a running copy is found even when an earlier
    // one has room (it was full or read-only when that copy started).
    QTemporaryDir early;
    QTemporaryDir late;
    const QString name = UniqueName();
    TSingleInstance running(name, {late.path()});
    ASSERT_TRUE(running.IsFirst());
    int raised = 0;
    running.SetRaiseHandler([&raised] { ++raised; });
    {
        TSingleInstance next(name, {early.path(), late.path()});
        EXPECT_FALSE(next.IsFirst());
    }
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));
    EXPECT_FALSE(QFileInfo::exists(early.path() + "/" + name + "-" +
                                   QString::number(::getuid()) + ".lock"));
}

} // namespace

namespace {

TEST(SingleInstanceTest, ASecondStartHandsItsFileToTheFirst)
{
    const QString name = UniqueName();
    TSingleInstance first(name);
    ASSERT_TRUE(first.IsFirst());
    QStringList opened;
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });

    // Handed over before the first copy is ready for it: delivered once it is.
    QTemporaryDir dir;
    const QString relative = QDir(QDir::currentPath()).relativeFilePath(dir.filePath("Card ü.TSC"));
    {
        TSingleInstance second(name);
        second.SetFileToHandOver(relative);
        EXPECT_FALSE(second.IsFirst());
    }
    QCoreApplication::processEvents();
    first.SetOpenHandler([&opened](const QString &path) { opened.append(path); });
    ASSERT_TRUE(WaitFor([&] { return opened.size() == 1; }));
    EXPECT_EQ(opened.first(), dir.filePath("Card ü.TSC")) << "as an absolute path";
    EXPECT_EQ(raised, 0) << "opening, not only raising";

    // Without a file a start only raises the window.
    {
        TSingleInstance third(name);
        EXPECT_FALSE(third.IsFirst());
    }
    EXPECT_TRUE(WaitFor([&] { return raised == 1; }));
    EXPECT_EQ(opened.size(), 1);
}

TEST(SingleInstanceTest, RequestsThatAreNotOursAreDropped)
{
    const QString name = UniqueName();
    TSingleInstance first(name);
    ASSERT_TRUE(first.IsFirst());
    QStringList opened;
    int raised = 0;
    first.SetRaiseHandler([&raised] { ++raised; });
    first.SetOpenHandler([&opened](const QString &path) { opened.append(path); });
    auto send = [&first](const QByteArray &bytes) {
        QLocalSocket socket;
        socket.connectToServer(first.ServerName());
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        socket.waitForBytesWritten(1000);
        WaitFor([&socket] { return socket.state() == QLocalSocket::UnconnectedState; }, 500);
    };
    send("open \n");                                  // no path
    send("delete /home\n");                           // unknown
    send("open /no/line/end");                        // cut short
    send("open " + QByteArray(70 * 1024, 'a') + "\n"); // longer than any path
    send(TSingleInstance::Request("/tmp/Real.TSC"));
    ASSERT_TRUE(WaitFor([&] { return opened.size() == 1; }));
    QCoreApplication::processEvents(QEventLoop::AllEvents, 100);
    EXPECT_EQ(opened, QStringList{"/tmp/Real.TSC"});
    EXPECT_EQ(raised, 0);
    EXPECT_EQ(TSingleInstance::Request(QString()), QByteArray("raise\n"));
}

} // namespace
