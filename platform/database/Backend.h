#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace platform::db {

// What one statement gave back. A statement that yields no result set (DDL, DML)
// has hasResultSet == false and no columns.
//
// Values: QVariant() (invalid) for NULL, qlonglong for whole numbers, double for
// other numbers, QString for text, QDateTime for dates.
struct ResultSet {
    bool hasResultSet = false;
    QStringList columns; // as the database names them (upper case unless quoted)
    std::vector<std::vector<QVariant>> rows;
    qint64 rowsAffected = 0;
};

// One way of reaching a database. Connection owns exactly one.
class Backend {
public:
    virtual ~Backend() = default;

    // Connects; throws DatabaseError with a text that says what is missing.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Runs one statement and commits it on its own. Throws DatabaseError with the
    // database's text on failure.
    virtual ResultSet execute(const QString &sql) = 0;
};

} // namespace platform::db
