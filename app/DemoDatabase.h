#pragma once

// The demo database: an embedded database file with the business system's tables
// (demo/schema.sql) and sample data (demo/data.sql), both compiled into the program
// so that it does not need the source tree.

#include "common/Configuracao.h"

#include <QString>

namespace app {

// Data version stored (scrambled) in the demo's CFG.VER_DAD.
inline constexpr int kDemoDataVersion = 18;

// The text of one of the built-in scripts, "schema.sql" or "data.sql".
// Throws platform::Exception when there is no such script.
QString demoScript(const QString &name);

// Creates the demo database in `file`, which must not exist yet: the schema, the
// sample data, and CFG.VER_DAD scrambled with the key of `configuration`. The schema
// owner is the configured user. On failure nothing is left behind and
// platform::Exception (platform::DatabaseError for a failing statement) says why.
void createDemoDatabase(const QString &file, const TConfiguracao &configuration);

} // namespace app
