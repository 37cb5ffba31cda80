#pragma once

// Database access in the shape the program's routines are written against:
//
//   dm->fdqry_Funcao->SQL.Clear();
//   dm->fdqry_Funcao->SQL.Add("select TABLE_NAME from USER_TABLES where TABLE_NAME = " +
//                             QuotedStr(name));
//   dm->fdqry_Funcao->Open();
//   bool found = !dm->fdqry_Funcao->IsEmpty();
//
// One Connection, several Query objects on it. The connection opens itself at the
// first statement; every statement is committed on its own.

#include "platform/Exception.h"
#include "platform/database/Backend.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace platform::db {

// Quotes a text as an SQL string literal: apostrophes around it, inner ones doubled.
QString QuotedStr(const QString &text);

// What the connection reports about each statement it ran (statement logs,
// recording tests).
struct StatementEvent {
    QString sql;
    bool ok = true;
    QString error;       // the database's text when !ok
    QDateTime startedAt; // local time
    qint64 elapsedUs = 0;
};

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // "Key=Value" texts as the design writes them:
    //   DriverID=Ora       Database=<net service name>  User_Name=...  Password=...
    //   DriverID=ODBC      Database=<ODBC connection string>
    //   DriverID=Embedded  Database=<database file>
    QStringList Params;
    // Value of one parameter ("" when absent); keys compare case-insensitively.
    QString Param(const QString &key) const;

    // Oracle ODBC driver name used by DriverID=Ora when Qt has no QOCI driver.
    QString OracleOdbcDriver = QStringLiteral("Oracle in XE");

    bool Connected() const;
    // Opens explicitly; statements open the connection themselves when needed.
    void Open();
    void Close();

    // Runs one statement (opening the connection first when needed).
    ResultSet Execute(const QString &sql);

    // Observers see every statement, in order, after it ran.
    using StatementObserver = std::function<void(const StatementEvent &)>;
    int AddStatementObserver(StatementObserver observer);
    void RemoveStatementObserver(int id);

    // The backend in use (nullptr before the first open). Tests reach engine hooks
    // through it.
    Backend *CurrentBackend() const { return backend_.get(); }

private:
    void notify(const StatementEvent &event);

    std::unique_ptr<Backend> backend_;
    std::vector<std::pair<int, StatementObserver>> observers_;
    int nextObserverId_ = 1;
};

class Query;

// A field of the current row of an open query.
class Field {
public:
    Field(const Query *query, int index, QString name);
    const QString &FieldName() const { return name_; }
    QVariant Value() const;
    bool IsNull() const;
    // NULL reads as "", 0, 0.0 and an invalid date-time.
    QString AsString() const;
    int AsInteger() const;  // ConvertError when the value is not a whole number
    double AsFloat() const; // ConvertError when the value is not a number
    QDateTime AsDateTime() const;

private:
    const Query *query_;
    int index_;
    QString name_;
};

// The statement text of a query: a list of lines joined with line breaks.
// Changing it closes a result that is still open.
class SqlText {
public:
    explicit SqlText(Query *owner) : owner_(owner) {}
    void Clear();
    void Add(const QString &line);
    QString Text() const;
    int Count() const { return int(lines_.size()); }

private:
    Query *owner_;
    QStringList lines_;
};

class Query {
public:
    explicit Query(Connection *connection);
    Query(const Query &) = delete;
    Query &operator=(const Query &) = delete;

    SqlText SQL{this};
    Connection *GetConnection() const { return connection_; }

    void Open();    // runs the statement and keeps its result set, positioned on row 1
    void ExecSQL(); // runs the statement; any result set is discarded
    void Close();
    bool Active() const { return active_; }

    bool IsEmpty() const;
    bool Eof() const;
    void Next();
    void First();
    int RecordCount() const;
    qint64 RowsAffected() const { return rowsAffected_; }

    // Throws Exception when the result set has no field of that name.
    Field FieldByName(const QString &name) const;
    QStringList FieldNames() const { return result_.columns; }

    // Used by Field.
    QVariant ValueAt(int index) const;

private:
    void requireActive(const char *what) const;

    Connection *connection_;
    ResultSet result_;
    bool active_ = false;
    size_t row_ = 0;
    qint64 rowsAffected_ = 0;
};

} // namespace platform::db
