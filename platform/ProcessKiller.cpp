#include "platform/ProcessKiller.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <limits>

#ifdef Q_OS_WIN
#include <windows.h>

#include <shellapi.h>
#include <string>
#if defined(_MSC_VER)
#pragma comment(lib, "shell32")
#endif
#else
#include <cerrno>
#include <csignal>
#include <sys/types.h>
#endif

namespace platform {

PidCheck CheckPid(qint64 pid) {
    if (pid <= 0)
        return PidCheck::NotPositive;
    if (pid > std::numeric_limits<qint32>::max())
        return PidCheck::TooLarge;
    if (pid == 1)
        return PidCheck::SystemInit;
    if (pid == QCoreApplication::applicationPid())
        return PidCheck::OwnProcess;
    return PidCheck::Allowed;
}

QString TaskkillParameters(qint64 pid) {
    return QStringLiteral("/c CMD.exe /c taskkill /f /PID ") + QString::number(pid) +
           QStringLiteral(" /t");
}

namespace {

// Parent of a process from /proc/<pid>/stat ("pid (name) state ppid ..."); the
// name may hold spaces and parentheses, so the fields are read after the last ')'.
qint64 ParentOf(const QString &statPath) {
    QFile f(statPath);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray stat = f.readAll();
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return -1;
    const QList<QByteArray> fields = stat.mid(close + 1).simplified().split(' ');
    if (fields.size() < 2)
        return -1;
    bool ok = false;
    const qint64 parent = fields[1].toLongLong(&ok);
    return ok ? parent : -1;
}

} // namespace

QList<qint64> ProcessTree(qint64 pid) {
    QList<qint64> tree;
    const QDir proc(QStringLiteral("/proc"));
    if (pid <= 0 || !proc.exists(QString::number(pid)))
        return tree;
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &name : entries) {
        bool ok = false;
        const qint64 child = name.toLongLong(&ok);
        if (!ok)
            continue;
        const qint64 parent = ParentOf(proc.filePath(name + QStringLiteral("/stat")));
        if (parent > 0)
            children[parent].append(child);
    }
    QSet<qint64> seen{pid};
    tree.append(pid);
    for (qsizetype i = 0; i < tree.size(); ++i) {
        for (qint64 child : children.value(tree[i])) {
            if (!seen.contains(child)) {
                seen.insert(child);
                tree.append(child);
            }
        }
    }
    return tree;
}

bool SystemProcessKiller::Kill(qint64 pid, quintptr parentWindow) {
    if (CheckPid(pid) != PidCheck::Allowed)
        return false;
#ifdef Q_OS_WIN
    const std::wstring parameters = TaskkillParameters(pid).toStdWString();
    ShellExecuteW(reinterpret_cast<HWND>(parentWindow), L"open", L"cmd.exe", parameters.c_str(),
                  nullptr, SW_HIDE);
#else
    Q_UNUSED(parentWindow);
    // Freeze the tree first so that no process can start a new child while the
    // others are being killed; look again until no new descendant shows up.
    QList<qint64> stopped;
    QSet<qint64> seen;
    for (int round = 0; round < 10; ++round) {
        bool found = false;
        for (qint64 p : ProcessTree(pid)) {
            if (seen.contains(p))
                continue;
            seen.insert(p);
            if (CheckPid(p) != PidCheck::Allowed)
                continue; // never ourselves or PID 1, also not as a descendant
            found = true;
            ::kill(static_cast<pid_t>(p), SIGSTOP);
            stopped.append(p);
        }
        if (!found)
            break;
    }
    if (stopped.isEmpty())
        stopped.append(pid); // no /proc: the process alone
    for (qint64 p : stopped)
        ::kill(static_cast<pid_t>(p), SIGKILL);
#endif
    return true;
}

bool RecordingProcessKiller::Kill(qint64 pid, quintptr) {
    if (CheckPid(pid) != PidCheck::Allowed)
        return false;
    killed_.append(pid);
    return true;
}

namespace {
std::unique_ptr<ProcessKiller> &Installed() {
    static std::unique_ptr<ProcessKiller> killer;
    return killer;
}
} // namespace

ProcessKiller &CurrentProcessKiller() {
    static SystemProcessKiller real;
    ProcessKiller *installed = Installed().get();
    return installed != nullptr ? *installed : real;
}

std::unique_ptr<ProcessKiller> SetCurrentProcessKiller(std::unique_ptr<ProcessKiller> killer) {
    std::unique_ptr<ProcessKiller> previous = std::move(Installed());
    Installed() = std::move(killer);
    return previous;
}

ScopedProcessKiller::ScopedProcessKiller(std::unique_ptr<ProcessKiller> killer)
    : previous_(SetCurrentProcessKiller(std::move(killer))) {}

ScopedProcessKiller::~ScopedProcessKiller() {
    SetCurrentProcessKiller(std::move(previous_));
}

} // namespace platform
