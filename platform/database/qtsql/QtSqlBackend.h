#pragma once

#include "platform/database/Backend.h"

#include <QSqlError>
#include <QString>
#include <functional>

namespace platform::db {

// A Backend over one Qt Sql connection (QOCI or QODBC). Each instance registers
// its own uniquely named QSqlDatabase connection and removes it again on close
// and on destruction. Statements run forward-only in the driver's automatic
// commit mode: every statement is committed on its own.
class QtSqlBackend : public Backend {
public:
    // Turns a failed connect into the text the operator sees (e.g. naming a
    // missing driver and how to install it); gets the database's own text.
    using ConnectErrorText = std::function<QString(const QString &databaseText)>;

    struct Settings {
        QString qtDriver;     // "QOCI", "QODBC"
        QString databaseName; // service name or connection string
        QString user;         // passed to QSqlDatabase (QOCI); QODBC takes them in the string
        QString password;
        QString missingPluginText; // why the Qt driver cannot be loaded, and the fix
        ConnectErrorText connectErrorText;
    };

    explicit QtSqlBackend(Settings settings);
    ~QtSqlBackend() override;
    QtSqlBackend(const QtSqlBackend &) = delete;
    QtSqlBackend &operator=(const QtSqlBackend &) = delete;

    void open() override;
    void close() override;
    bool isOpen() const override;
    ResultSet execute(const QString &sql) override;

    // The database's text of an error: databaseText(), else driverText(), without
    // the "[vendor][component]" tags that ODBC layers put in front.
    static QString errorText(const QSqlError &error);

private:
    void removeConnection();

    Settings settings_;
    QString connectionName_;
};

} // namespace platform::db
