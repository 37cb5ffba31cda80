#pragma once

// File search, deletion and renaming as the Windows programs of the business
// system use them (FindFirst/FindNext, DeleteFile, RenameFile). On Windows the
// system is asked; elsewhere Qt stands in with the same rules:
// - a search pattern is a path whose last component may hold "*" (any run of
//   characters, none included) and "?" (exactly one character); the folder part
//   is taken as it stands;
// - every kind of entry matches (hidden files and folders included), but never
//   "." or "..";
// - off Windows names are compared with case, as this machine's file systems
//   name files, and a path written with backslashes names nothing here;
// - a link to a folder counts as a folder, as a Windows directory link does;
// - failures come back as false or as no match, never as an exception.

#include <QList>
#include <QString>

namespace platform {

struct FoundEntry {
    QString name; // the entry's own name, as the search returns it
    QString path; // the folder part of the pattern followed by the name
    bool folder = false;
};

// The entries matching the pattern, in the order the system lists them. The whole
// list is read before it is returned, so renaming or deleting the entries while
// walking it cannot make the search return an entry twice or skip one.
QList<FoundEntry> FindEntries(const QString &pattern);

// Deletes one file (never a folder). False when it is missing or cannot be deleted.
bool RemoveFile(const QString &path);

// Renames a file or a folder. False when the source is missing, the target exists
// already or the system refuses.
bool RenameEntry(const QString &from, const QString &to);

// Whether a name matches a pattern of "*" and "?" (last path component only).
// "*.*" matches every name, as on Windows.
bool MatchesPattern(const QString &name, const QString &pattern);

} // namespace platform
