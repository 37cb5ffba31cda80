#pragma once

// The embedded engine: an Oracle-compatible layer over SQLite that stands in for
// the customer's Oracle schema in the demo, the tests and the benchmarks.
//
// What it understands (everything else fails with ORA-00900 or another Oracle error,
// never silently):
// - Dictionary views USER_TABLES, USER_TAB_COLUMNS, USER_CONSTRAINTS,
//   USER_CONS_COLUMNS, USER_INDEXES, USER_IND_COLUMNS, USER_SEQUENCES and DUAL,
//   usable in any select; the engine's own tables never show and cannot be named.
// - create table (NUMBER[(p[,s])], INTEGER, VARCHAR2(n [BYTE|CHAR]), CHAR(n), DATE;
//   DEFAULT, NOT NULL, inline and out-of-line PRIMARY KEY / UNIQUE), drop table
//   [cascade constraints] [purge] (there is no recycle bin), truncate table,
//   rename A to B (tables and sequences), create [unique] index, drop index,
//   create/drop sequence, S.NEXTVAL / S.CURRVAL, alter table add / modify / drop
//   column / rename column / add constraint (primary key, unique) / drop
//   constraint / drop primary key / rename to.
// - select / insert / update / delete with where, joins, group by, having, order
//   by, subqueries, union / minus / intersect, insert ... select, and
//   INSERT ALL INTO ... SELECT ... FROM dual as one statement.
// - Oracle's value rules: lengths in bytes of the database character set or in
//   characters, NUMBER precision and scale (rounding), NOT NULL, unique keys, ''
//   is NULL, 'DD/MM/RR' text compared with and stored into DATE columns, real
//   division, NULLs last ascending and first descending, case-sensitive LIKE.
// - Functions: upper, lower, nvl, nvl2, decode, coalesce, sysdate, to_char,
//   to_date, to_number, substr, instr, length, trim, ltrim, rtrim, replace, lpad,
//   rpad, round, trunc, abs, mod, ceil, floor, sign, power, greatest, least,
//   count, sum, min, max, avg.
// Not supported: create table ... as select, views, check constraints, foreign
// keys, date arithmetic, ROWNUM, INSERT FIRST / conditional INSERT ALL, bind
// variables. Names that differ only in case (quoted) clash inside one table.
//
// Every statement is atomic: a failed statement leaves neither data nor catalogue
// changes behind. The catalogue (types, lengths, constraint names, sequences,
// character set, owner) lives in hidden tables of the same file and is cached in
// memory; a commit by another connection on the same file makes it reload.
// Literals are bound as parameters so that queries and inserts differing only in
// their values share one translation and one prepared SQLite statement.
// File settings: WAL journal, synchronous=NORMAL, busy timeout 5 s.

#include "platform/database/Backend.h"

#include <QString>
#include <memory>

namespace platform::db::embedded {

class Engine;

// Settings written into a database file when it is created; an existing file keeps
// its own.
struct EngineSettings {
    QString characterSet = QStringLiteral("WE8MSWIN1252"); // or AL32UTF8
    QString owner = QStringLiteral("TALVERO");             // schema named in errors
};

class EmbeddedEngine : public Backend {
public:
    using Settings = EngineSettings;

    explicit EmbeddedEngine(const QString &file, Settings forNewFile = Settings());
    ~EmbeddedEngine() override;

    // Creates the database file (it must not exist yet) and closes it again.
    static void createDatabase(const QString &file, Settings settings = Settings());

    void open() override;
    void close() override;
    bool isOpen() const override;
    ResultSet execute(const QString &sql) override;

    // Of the open database.
    QString characterSet() const;
    QString owner() const;

    // Test hooks. Statements are counted by execute(), from the call on, 1-based.
    // Statement `n` fails with `message` before it runs.
    void failStatement(int n, const QString &message);
    // Statement `n` and every later one fail with ORA-03113; the connection is then
    // closed, and opening the same file again (a new Connection, a reconnect) fails
    // with ORA-03113 too until restoreConnection() is called for it.
    void loseConnectionAt(int n);
    static void restoreConnection(const QString &file);
    // Statements passed to execute() since the engine was made.
    qint64 statementsExecuted() const;

private:
    QString file_;
    Settings settings_;
    std::unique_ptr<Engine> engine_;
    qint64 executed_ = 0;
    qint64 failAt_ = 0;
    QString failMessage_;
    qint64 loseAt_ = 0;
    bool lost_ = false;
};

} // namespace platform::db::embedded
