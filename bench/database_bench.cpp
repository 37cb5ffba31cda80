// Cost of the embedded engine over plain SQLite: 20,000 single-row inserts and
// 20,000 primary-key look-ups through platform::db::Query, against the same
// statement texts prepared, stepped and finalized one by one through the SQLite C
// API on a file with the same settings (WAL, synchronous=NORMAL, autocommit).
// The ratios are printed after the benchmark table.

#include "platform/database/Database.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <sqlite3.h>
#include <string>

namespace {

constexpr int kRows = 20000;

QString insertText(int i) {
    return QStringLiteral("insert into BEN (COD, NME, VLR) values (%1, 'Nome %1', %2)")
        .arg(i)
        .arg(i * 1.5);
}

QString lookupText(int i) {
    return QStringLiteral("select COD, NME, VLR from BEN where COD = %1").arg(i * 7919 % kRows + 1);
}

const char *kCreate = "create table BEN (COD NUMBER(9,0) not null, NME VARCHAR2(40 BYTE), "
                      "VLR NUMBER(12,2), constraint BEN_PK primary key (COD))";

std::map<std::string, double> &seconds() {
    static std::map<std::string, double> s;
    return s;
}

void record(benchmark::State &state, const char *name, double elapsed) {
    state.SetIterationTime(elapsed);
    double &best = seconds()[name];
    if (best == 0 || elapsed < best)
        best = elapsed;
}

// ---------------------------------------------------------------- engine

struct EngineDb {
    QTemporaryDir dir;
    platform::db::Connection connection;
    EngineDb() {
        connection.Params = {QStringLiteral("DriverID=Embedded"),
                             QStringLiteral("Database=") +
                                 dir.filePath(QStringLiteral("bench.db"))};
        connection.Execute(QString::fromLatin1(kCreate));
    }
    void fill() {
        platform::db::Query q(&connection);
        for (int i = 1; i <= kRows; ++i) {
            q.SQL.Clear();
            q.SQL.Add(insertText(i));
            q.ExecSQL();
        }
    }
};

void EngineInsert(benchmark::State &state) {
    for (auto _ : state) {
        EngineDb db;
        platform::db::Query q(&db.connection);
        const auto start = std::chrono::steady_clock::now();
        for (int i = 1; i <= kRows; ++i) {
            q.SQL.Clear();
            q.SQL.Add(insertText(i));
            q.ExecSQL();
        }
        record(state, "insert/engine",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

void EngineLookup(benchmark::State &state) {
    EngineDb db;
    db.fill();
    platform::db::Query q(&db.connection);
    for (auto _ : state) {
        qint64 found = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRows; ++i) {
            q.SQL.Clear();
            q.SQL.Add(lookupText(i));
            q.Open();
            found += q.RecordCount();
        }
        record(state, "lookup/engine",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (found != kRows)
            state.SkipWithError("look-ups missed rows");
    }
}

// ---------------------------------------------------------------- raw SQLite

struct RawDb {
    QTemporaryDir dir;
    sqlite3 *db = nullptr;
    RawDb() {
        sqlite3_open(dir.filePath(QStringLiteral("raw.db")).toUtf8().constData(), &db);
        exec("PRAGMA busy_timeout = 5000");
        exec("PRAGMA journal_mode = WAL");
        exec("PRAGMA synchronous = NORMAL");
        exec("create table BEN (COD NUMERIC not null, NME TEXT, VLR NUMERIC)");
        exec("create unique index BEN_PK on BEN (COD)");
    }
    ~RawDb() { sqlite3_close(db); }
    void exec(const char *sql) { sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }
    // One statement as the anchor runs it: prepare, step to the end, finalize.
    int run(const QString &sql) {
        const QByteArray text = sql.toUtf8();
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr);
        int rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW)
            ++rows;
        sqlite3_finalize(st);
        return rows;
    }
};

void SqliteInsert(benchmark::State &state) {
    for (auto _ : state) {
        RawDb db;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 1; i <= kRows; ++i)
            db.run(insertText(i));
        record(state, "insert/sqlite",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}

void SqliteLookup(benchmark::State &state) {
    RawDb db;
    for (int i = 1; i <= kRows; ++i)
        db.run(insertText(i));
    for (auto _ : state) {
        int found = 0;
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRows; ++i)
            found += db.run(lookupText(i));
        record(state, "lookup/sqlite",
               std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (found != kRows)
            state.SkipWithError("look-ups missed rows");
    }
}

} // namespace

BENCHMARK(SqliteInsert)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineInsert)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(SqliteLookup)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(EngineLookup)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto &s = seconds();
    for (const char *kind : {"insert", "lookup"}) {
        const double engine = s[std::string(kind) + "/engine"];
        const double raw = s[std::string(kind) + "/sqlite"];
        if (engine > 0 && raw > 0)
            std::printf(
                "%s: %d statements, engine %.1f ms, sqlite %.1f ms, ratio %.2f (goal <= 1.30)\n",
                kind, kRows, engine * 1000, raw * 1000, engine / raw);
    }
    return 0;
}
