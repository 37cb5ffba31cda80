#include "platform/FileSystem.h"

#include <algorithm>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#endif

namespace platform {

namespace {

// Index just after the last path separator of a pattern (0 when it has none).
qsizetype NameStart(const QString &pattern) {
#ifdef Q_OS_WIN
    const qsizetype slash =
        std::max(pattern.lastIndexOf(QLatin1Char('\\')), pattern.lastIndexOf(QLatin1Char('/')));
    return std::max(slash, pattern.lastIndexOf(QLatin1Char(':'))) + 1;
#else
    return pattern.lastIndexOf(QLatin1Char('/')) + 1;
#endif
}

bool IsDotEntry(const QString &name) {
    return name == QLatin1String(".") || name == QLatin1String("..");
}

// Backtracking match of "*" and "?" from the given positions.
bool Matches(const QString &name, qsizetype n, const QString &pattern, qsizetype p) {
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

} // namespace

bool MatchesPattern(const QString &name, const QString &pattern) {
    if (pattern == QLatin1String("*.*"))
        return true;
    return Matches(name, 0, pattern, 0);
}

#ifdef Q_OS_WIN

QList<FoundEntry> FindEntries(const QString &pattern) {
    QList<FoundEntry> found;
    if (pattern.isEmpty())
        return found;
    const QString folder = pattern.left(NameStart(pattern));
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(reinterpret_cast<LPCWSTR>(pattern.utf16()), &data);
    if (h == INVALID_HANDLE_VALUE)
        return found;
    do {
        const QString name = QString::fromWCharArray(data.cFileName);
        if (IsDotEntry(name))
            continue;
        found.append(
            {name, folder + name, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileW(h, &data));
    FindClose(h);
    return found;
}

bool RemoveFile(const QString &path) {
    return !path.isEmpty() && DeleteFileW(reinterpret_cast<LPCWSTR>(path.utf16())) != 0;
}

bool RenameEntry(const QString &from, const QString &to) {
    return !from.isEmpty() && !to.isEmpty() &&
           MoveFileW(reinterpret_cast<LPCWSTR>(from.utf16()),
                     reinterpret_cast<LPCWSTR>(to.utf16())) != 0;
}

#else

namespace {

// A path that can name something on this machine.
bool Usable(const QString &path) {
    return !path.isEmpty() && !path.contains(QLatin1Char('\\'));
}

// Exists as any kind of entry, a dangling symbolic link included.
bool Present(const QString &path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

} // namespace

QList<FoundEntry> FindEntries(const QString &pattern) {
    QList<FoundEntry> found;
    if (!Usable(pattern))
        return found;
    const qsizetype start = NameStart(pattern);
    const QString folder = pattern.left(start);
    const QString namePattern = pattern.mid(start);
    if (namePattern.isEmpty())
        return found;
    const QString dir = folder.isEmpty() ? QStringLiteral(".") : folder;
    if (!QFileInfo(dir).isDir())
        return found;
    QDirIterator it(dir, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (IsDotEntry(name) || !MatchesPattern(name, namePattern))
            continue;
        const QFileInfo info = it.fileInfo();
        found.append({name, folder + name, info.isDir()});
    }
    return found;
}

bool RemoveFile(const QString &path) {
    if (!Usable(path))
        return false;
    if (QFileInfo(path).isDir())
        return false;
    return QFile::remove(path);
}

bool RenameEntry(const QString &from, const QString &to) {
    if (!Usable(from) || !Usable(to) || !Present(from) || Present(to))
        return false;
    return QDir().rename(from, to);
}

#endif

} // namespace platform
