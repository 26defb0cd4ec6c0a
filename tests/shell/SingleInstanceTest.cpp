#include "shell/SingleInstance.h"

#include "ShellTestHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSysInfo>
#include <QUuid>
#include <cstdio>
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

} // namespace
