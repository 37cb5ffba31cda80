#pragma once

// What the group benchmarks share: timing and memory figures, the embedded
// database with the business schema, the raw SQLite anchor, and main().

#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "platform/database/Script.h"

#include <QApplication>
#include <QByteArray>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

namespace bench {

inline double Seconds(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double PeakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// A data module on a new embedded database file holding the business schema.
inline std::unique_ptr<Tdm> SchemaDatabase(const QString &file) {
    TConfiguracao &cfg = Configuracao();
    const TConfiguracao saved = cfg;
    cfg.DriverID = QStringLiteral("Embedded");
    cfg.Database = file;
    auto dm = std::make_unique<Tdm>();
    cfg = saved;
    platform::db::RunScriptFile(*dm->FDConnection, QStringLiteral(ATUALIZA_SOURCE_DIR) +
                                                       QStringLiteral("/demo/schema.sql"));
    return dm;
}

// The anchor: a plain SQLite file in a temporary folder with the engine's file
// settings (WAL, synchronous=NORMAL, busy timeout), reached through the C API.
class RawSqlite {
public:
    RawSqlite() {
        if (sqlite3_open(dir_.filePath(QStringLiteral("raw.db")).toUtf8().constData(), &db_) !=
            SQLITE_OK)
            throw std::runtime_error("cannot open the anchor database");
        exec("PRAGMA busy_timeout = 5000");
        exec("PRAGMA journal_mode = WAL");
        exec("PRAGMA synchronous = NORMAL");
    }
    ~RawSqlite() { sqlite3_close(db_); }
    RawSqlite(const RawSqlite &) = delete;
    RawSqlite &operator=(const RawSqlite &) = delete;

    void exec(const char *sql) {
        char *error = nullptr;
        if (sqlite3_exec(db_, sql, nullptr, nullptr, &error) != SQLITE_OK) {
            const std::string text = error != nullptr ? error : "?";
            sqlite3_free(error);
            throw std::runtime_error("anchor set-up failed: " + text);
        }
    }

    // One statement as the anchor runs it: prepare, step to the end, finalize.
    // Returns the number of rows read.
    long long run(const QByteArray &text) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &st, nullptr) != SQLITE_OK)
            throw std::runtime_error("anchor statement failed: " + text.toStdString() + ": " +
                                     sqlite3_errmsg(db_));
        long long rows = 0;
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW)
            ++rows;
        sqlite3_finalize(st);
        if (rc != SQLITE_DONE)
            throw std::runtime_error("anchor statement failed: " + text.toStdString());
        return rows;
    }

    long long scalar(const char *sql) {
        sqlite3_stmt *st = nullptr;
        sqlite3_prepare_v2(db_, sql, -1, &st, nullptr);
        long long value = -1;
        if (sqlite3_step(st) == SQLITE_ROW)
            value = sqlite3_column_int64(st, 0);
        sqlite3_finalize(st);
        return value;
    }

private:
    QTemporaryDir dir_;
    sqlite3 *db_ = nullptr;
};

// main() of a group benchmark: the window classes need a QApplication, here on
// the offscreen platform.
inline int Main(int argc, char **argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
