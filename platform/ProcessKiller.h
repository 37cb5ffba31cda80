#pragma once

// Ending a logged-in program instance by its process id, together with the
// processes it started.
//
// Windows: the shell's "open" verb on cmd.exe with "/c CMD.exe /c taskkill /f
// /PID <pid> /t", its window hidden, not waited for. Elsewhere: SIGKILL to the
// process and to all its descendants.
//
// The id comes from a database table, so it is checked before anything is
// started: a PID that is not positive, PID 1 (the system's first process) and
// the program's own process are never handed to a kill call, and this process
// is never signalled as someone's descendant either.

#include <QList>
#include <QString>
#include <QtGlobal>
#include <memory>

namespace platform {

// Whether a PID may be handed to a kill call.
enum class PidCheck {
    Allowed,
    NotPositive, // zero or negative (a negative id or 0 would signal whole process groups)
    TooLarge,    // beyond what a process id can be
    SystemInit,  // PID 1
    OwnProcess,  // this program
};
PidCheck CheckPid(qint64 pid);

// The parameter text that cmd.exe receives on Windows.
QString TaskkillParameters(qint64 pid);

// The process and its descendants (children first found, then theirs), read
// from /proc; the process itself first. Empty where /proc is missing or the
// process does not exist.
QList<qint64> ProcessTree(qint64 pid);

// One way of ending processes.
class ProcessKiller {
public:
    virtual ~ProcessKiller() = default;
    // Starts ending `pid` and its descendants and does not wait for the outcome.
    // Returns false, having started nothing, when CheckPid refuses the id.
    // `parentWindow` is the native handle of the window that asks (Windows: the
    // parent of anything the shell shows); 0 for none.
    virtual bool Kill(qint64 pid, quintptr parentWindow) = 0;
};

// The real one: taskkill through the shell on Windows, SIGKILL elsewhere.
class SystemProcessKiller : public ProcessKiller {
public:
    bool Kill(qint64 pid, quintptr parentWindow) override;
};

// For tests and dry runs: checks like the real one, records what it would have
// ended, ends nothing.
class RecordingProcessKiller : public ProcessKiller {
public:
    bool Kill(qint64 pid, quintptr parentWindow) override;
    const QList<qint64> &Killed() const { return killed_; }

private:
    QList<qint64> killed_;
};

// The killer in use (the real one unless another is installed).
ProcessKiller &CurrentProcessKiller();
// Installs a killer (nullptr: back to the real one) and returns the previous one.
std::unique_ptr<ProcessKiller> SetCurrentProcessKiller(std::unique_ptr<ProcessKiller> killer);

// Installs a killer for the lifetime of this object (tests).
class ScopedProcessKiller {
public:
    explicit ScopedProcessKiller(std::unique_ptr<ProcessKiller> killer);
    ~ScopedProcessKiller();
    ScopedProcessKiller(const ScopedProcessKiller &) = delete;
    ScopedProcessKiller &operator=(const ScopedProcessKiller &) = delete;

private:
    std::unique_ptr<ProcessKiller> previous_;
};

} // namespace platform
