#pragma once

// Shared pieces of the fuzz targets: the input as text, a report that ends the run
// (libFuzzer then keeps the input as a crash file), and a scratch folder that lives
// as long as the process.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

namespace fuzz {

// The input read as UTF-8 (invalid sequences become U+FFFD, as for any file the
// program reads).
inline QString text(const uint8_t *data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A broken promise of the code under test: print what and abort, so libFuzzer
// reports the input.
[[noreturn]] inline void fail(const char *what, const QString &detail = QString()) {
    std::fprintf(stderr, "\n*** FUZZ FINDING: %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

// An exception that is not one of the program's own: a finding.
[[noreturn]] inline void unexpected(const std::exception &e) {
    fail("exception of a foreign type", QString::fromUtf8(e.what()));
}

// A scratch folder for the whole run: below ATUALIZA_FUZZ_SCRATCH when set
// (scripts/fuzz points it at a folder it removes afterwards, since libFuzzer ends
// without running destructors), else in memory when /dev/shm is there.
inline const QString &scratchFolder() {
    static const QString parent = [] {
        const QString given = qEnvironmentVariable("ATUALIZA_FUZZ_SCRATCH");
        if (!given.isEmpty())
            return given;
        return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                         : QDir::tempPath();
    }();
    static QTemporaryDir dir(parent + QStringLiteral("/atualiza-fuzz-XXXXXX"));
    if (!dir.isValid())
        fail("no scratch folder", dir.errorString());
    static const QString path = dir.path();
    return path;
}

// Writes the input to `name` in the scratch folder and gives the file's path.
inline QString writeScratchFile(const QString &name, const uint8_t *data, size_t size) {
    const QString path = scratchFolder() + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot write the scratch file", file.errorString());
    if (file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        fail("cannot write the scratch file", file.errorString());
    return path;
}

} // namespace fuzz
