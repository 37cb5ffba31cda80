// The process killer: which ids it refuses, and that the real one ends a process
// together with the processes it started. Only children started here are ever
// killed.

#include "platform/ProcessKiller.h"
#include "tests/support/TestSupport.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <limits>

#ifndef Q_OS_WIN
#include <csignal>
#endif

using namespace platform;

namespace {

qint64 OwnPid() {
    return QCoreApplication::applicationPid();
}

// State letter of a process from /proc ('Z' zombie), or 0 when it is gone.
char StateOf(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray stat = f.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    return close >= 0 && close + 2 < stat.size() ? stat[close + 2] : 0;
}

bool Ended(qint64 pid) {
    const char s = StateOf(pid);
    return s == 0 || s == 'Z' || s == 'X';
}

// A shell that starts a grandchild `sleep 60` and prints its id.
struct ShellWithGrandchild {
    QProcess shell;
    qint64 grandchild = 0;

    bool Start() {
        shell.start(QStringLiteral("/bin/sh"),
                    {QStringLiteral("-c"), QStringLiteral("sleep 60 & echo $!; wait")});
        if (!shell.waitForStarted(5000) || !shell.waitForReadyRead(5000))
            return false;
        grandchild = shell.readLine().trimmed().toLongLong();
        return grandchild > 1;
    }
    ~ShellWithGrandchild() {
        if (shell.state() != QProcess::NotRunning) {
            shell.kill();
            shell.waitForFinished(5000);
        }
#ifndef Q_OS_WIN
        if (grandchild > 1 && !Ended(grandchild))
            ::kill(static_cast<pid_t>(grandchild), SIGKILL);
#endif
    }
};

} // namespace

TEST(ProcessKiller, ChecksTheIdBeforeAnyKill) {
    struct Case {
        qint64 pid;
        PidCheck expected;
    };
    const qint64 other = OwnPid() == 2 ? 3 : 2;
    const Case cases[] = {
        {0, PidCheck::NotPositive},
        {-1, PidCheck::NotPositive},
        {-OwnPid(), PidCheck::NotPositive},
        {std::numeric_limits<qint64>::min(), PidCheck::NotPositive},
        {qint64(std::numeric_limits<qint32>::max()) + 1, PidCheck::TooLarge},
        {1, PidCheck::SystemInit},
        {OwnPid(), PidCheck::OwnProcess},
        {other, PidCheck::Allowed},
        {qint64(std::numeric_limits<qint32>::max()), PidCheck::Allowed},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CheckPid(c.pid), c.expected) << "pid " << c.pid;
}

TEST(ProcessKiller, TaskkillCommandEndsTheTreeForcibly) {
    EXPECT_EQ(TaskkillParameters(4321), QStringLiteral("/c CMD.exe /c taskkill /f /PID 4321 /t"));
}

TEST(ProcessKiller, RecordingKillerChecksLikeTheRealOneAndIsInstalledForAScope) {
    auto *recording = new RecordingProcessKiller;
    {
        ScopedProcessKiller scope{std::unique_ptr<ProcessKiller>(recording)};
        ProcessKiller &current = CurrentProcessKiller();
        EXPECT_EQ(&current, recording);
        EXPECT_FALSE(current.Kill(1, 0));
        EXPECT_FALSE(current.Kill(0, 0));
        EXPECT_FALSE(current.Kill(OwnPid(), 0));
        EXPECT_TRUE(current.Kill(4321, 0));
        EXPECT_EQ(recording->Killed(), QList<qint64>{4321});
    }
    EXPECT_NE(dynamic_cast<SystemProcessKiller *>(&CurrentProcessKiller()), nullptr);
}

#ifndef Q_OS_WIN

// kill(0) would end our own process group, kill(-1) every process we may signal,
// kill(-n) group n: a sentinel child of ours must survive every refused id.
TEST(ProcessKiller, RealKillerRefusesDangerousIdsAndSignalsNothing) {
    QProcess sentinel;
    sentinel.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    ASSERT_TRUE(sentinel.waitForStarted(5000));
    const qint64 sentinelPid = sentinel.processId();

    SystemProcessKiller killer;
    for (qint64 pid : {qint64(0), qint64(-1), -sentinelPid, qint64(1), OwnPid(),
                       qint64(std::numeric_limits<qint32>::max()) + 1})
        EXPECT_FALSE(killer.Kill(pid, 0)) << "pid " << pid;

    EXPECT_FALSE(sentinel.waitForFinished(300));
    EXPECT_EQ(sentinel.state(), QProcess::Running);
    sentinel.kill();
    sentinel.waitForFinished(5000);
}

TEST(ProcessKiller, RealKillerEndsTheProcessAndItsDescendants) {
    ShellWithGrandchild tree;
    ASSERT_TRUE(tree.Start());
    const qint64 shellPid = tree.shell.processId();
    const QList<qint64> found = ProcessTree(shellPid);
    ASSERT_FALSE(found.isEmpty());
    EXPECT_EQ(found.first(), shellPid);
    EXPECT_TRUE(found.contains(tree.grandchild));
    EXPECT_FALSE(found.contains(OwnPid()));

    EXPECT_TRUE(SystemProcessKiller().Kill(shellPid, 0));

    ASSERT_TRUE(tree.shell.waitForFinished(5000));
    EXPECT_EQ(tree.shell.exitStatus(), QProcess::CrashExit);
    EXPECT_EQ(tree.shell.exitCode(), SIGKILL);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return Ended(tree.grandchild); }))
        << "the grandchild " << tree.grandchild << " is still running";
}

TEST(ProcessKiller, ProcessTreeOfAMissingProcessIsEmpty) {
    QProcess done;
    done.start(QStringLiteral("true"), {});
    ASSERT_TRUE(done.waitForStarted(5000));
    const qint64 pid = done.processId();
    ASSERT_TRUE(done.waitForFinished(5000));
    EXPECT_TRUE(ProcessTree(pid).isEmpty());
    EXPECT_TRUE(ProcessTree(0).isEmpty());
}

#endif
