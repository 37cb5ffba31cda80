#pragma once

// ODBC connection strings: "KEY=value;KEY=value", where a value that holds ';',
// braces or '=' (or starts or ends with a blank) is written in braces with any
// '}' doubled, so that a password like "a;b" cannot end the attribute early or
// add another one.

#include <QString>
#include <QStringList>

namespace platform::db::odbc {

// The value as it must be written after "KEY=".
QString QuoteValue(const QString &value);

// "KEY=value" with the value quoted when needed.
QString Attribute(const QString &key, const QString &value);

// The unquoted value of the first attribute with that key ("" when absent);
// keys compare case-insensitively.
QString ValueOf(const QString &connectionString, const QString &key);

// DRIVER={driver};DBQ=service;UID=user;PWD=password (the Oracle ODBC driver's keys).
QString OracleConnectionString(const QString &driver, const QString &service, const QString &user,
                               const QString &password);

// The connection string followed by UID and PWD, each only when not empty.
QString WithCredentials(const QString &connectionString, const QString &user,
                        const QString &password);

// What QSqlDatabase::setDatabaseName must receive so that the QODBC driver hands
// exactly this connection string to the driver manager. QODBC passes a string on
// untouched only when it contains "DRIVER=" or "SERVER="; otherwise it puts
// "DSN=" in front (or "FILEDSN=" when the text contains ".dsn"), which turns
// "DSN=name;..." into "DSN=DSN=name;...". For such strings the DSN (or FILEDSN)
// attribute is moved to the front without its key. Throws DatabaseError when no
// form survives QODBC unchanged.
QString QodbcDatabaseName(const QString &connectionString);

} // namespace platform::db::odbc
