#pragma once

#include "platform/database/Database.h"

#include <QString>
#include <QStringList>

namespace platform::db {

// Splits an SQL script into statements: a statement ends with ";" as the last
// character of a line (outside a quoted text). Lines that start with "--" and
// blank lines between statements are left out. The ";" is not part of the
// statement.
QStringList SplitScript(const QString &script);

// Runs every statement of the script through the connection, in order; stops at
// the first failure (the DatabaseError names the statement number and text).
void RunScript(Connection &connection, const QString &script);

// Reads a UTF-8 script file and runs it; Exception when it cannot be read.
void RunScriptFile(Connection &connection, const QString &path);

} // namespace platform::db
