#pragma once

// Text files as the Windows programs of the business system write them: 8-bit
// ANSI text (Windows-1252) with CR LF line ends, created or truncated.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace platform {

// Windows-1252 bytes of a text; characters the code page lacks become '?'.
QByteArray ToWindows1252(const QString &text);
QString FromWindows1252(const QByteArray &bytes);

// Writes the lines, each followed by CR LF, to the file (created or truncated).
// Throws Exception with the system's reason when the folder is missing or the
// file cannot be created, written or closed. Off Windows a path written with
// backslashes names no folder of this machine and is refused the same way.
void WriteAnsiLines(const QString &path, const QStringList &lines);

// Joins a folder text and a file name the way the Windows programs do (plain
// concatenation: the folder carries its trailing separator).
inline QString JoinFolder(const QString &folder, const QString &name) {
    return folder + name;
}

} // namespace platform
