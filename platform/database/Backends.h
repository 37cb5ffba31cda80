#pragma once

// Factories of the backends that Connection chooses from by DriverID.

#include "platform/database/Backend.h"

#include <memory>

namespace platform::db {

// DriverID=Embedded: the Oracle-compatible engine over SQLite (embedded/).
// The file is created when it does not exist.
std::unique_ptr<Backend> createEmbeddedBackend(const QString &file);

// DriverID=Ora: Qt Sql, QOCI when the Qt build has it, else QODBC with the named
// Oracle ODBC driver and the service name as DBQ (qtsql/).
std::unique_ptr<Backend> createOracleBackend(const QString &service, const QString &user,
                                             const QString &password,
                                             const QString &odbcDriver);

// DriverID=ODBC: a raw ODBC connection string through QODBC (qtsql/).
std::unique_ptr<Backend> createOdbcBackend(const QString &connectionString, const QString &user,
                                           const QString &password);

} // namespace platform::db
