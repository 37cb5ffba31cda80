#pragma once

// A data module on a fresh embedded database in a temporary folder, optionally
// seeded with the business system's tables (demo/schema.sql), with a log of every
// statement the connection ran.

#include "common/Data_Module.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace testsupport {

class TestDatabase {
public:
    enum Seed { Empty, DemoSchema };
    explicit TestDatabase(Seed seed = DemoSchema);
    ~TestDatabase();

    Tdm &Dm() { return *dm_; }
    QString File() const { return file_; }
    QString Folder() const { return dir_.path(); }

    // Statements run since the last ClearLog(), in order; failed ones too.
    const QStringList &Log() const { return log_; }
    void ClearLog() { log_.clear(); }

    // Runs a statement directly (fixture set-up), logged like any other.
    void Exec(const QString &sql);
    // First column of the first row of a query, as text ("" for NULL / no row).
    QString Scalar(const QString &sql);
    // All rows of a query, each row's columns joined with "|".
    QStringList Rows(const QString &sql);

private:
    QTemporaryDir dir_;
    QString file_;
    std::unique_ptr<Tdm> dm_;
    QStringList log_;
};

} // namespace testsupport
