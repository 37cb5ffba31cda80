// Group 22 (romaneio stock-difference report) over 100,000 romaneios with three
// write-offs each (two stock write-offs, one order-item write-off); every 50th
// romaneio's stored balance is one box short, so the report has 2,000 lines.
// A first pass records the statements the group sends to the connection; then the
// group runs again through the update window and, as the anchor, the recorded
// texts are prepared, stepped (reading every row) and finalized one by one through
// the SQLite C API on a plain SQLite file with the same tables, rows and settings
// (WAL, synchronous=NORMAL, autocommit). The group only reads, so both passes
// run on the same seeded database.

#include "bench/BenchSupport.h"
#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "platform/database/Database.h"
#include "platform/database/Script.h"
#include "update/Gauge.h"
#include "update/Mnt.h"
#include "update/Mnt_Componentes.h"
#include "update/Release.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <sys/resource.h>

namespace {

constexpr int kRomaneios = 100000;
constexpr int kDifferent = kRomaneios / 50;

// ---------------------------------------------------------------- engine

// The business schema on a new embedded database file, seeded through the
// engine's own SQL: a numbers table grown by doubling, then one INSERT ... SELECT
// per table. Entry weights are multiples of 10.125 / 10.875 kg a box, so every
// sum is exact and only the romaneios made different show up.
struct EngineDb {
    QTemporaryDir dir;
    std::unique_ptr<Tdm> dm;

    EngineDb() {
        dm = bench::SchemaDatabase(dir.filePath(QStringLiteral("bench.db")));
        platform::db::Connection &c = *dm->FDConnection;

        c.Execute(QStringLiteral("create table BEN_NUM (I NUMBER(9,0) not null)"));
        c.Execute(QStringLiteral("insert into BEN_NUM (I) values (1)"));
        for (int size = 1; size < kRomaneios; size *= 2)
            c.Execute(
                QStringLiteral("insert into BEN_NUM (I) select I + %1 from BEN_NUM").arg(size));
        const QString upTo = QStringLiteral(" from BEN_NUM where I <= %1").arg(kRomaneios);
        c.Execute(QStringLiteral("insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, "
                                 "ENT_PSO_BRU, QDE, PSO_LIQ, PSO_BRU) "
                                 "select I, to_date(lpad(mod(I, 28) + 1, 2, '0') || '/' || "
                                 "lpad(mod(I, 12) + 1, 2, '0') || '/' || (2001 + mod(I, 30)), "
                                 "'DD/MM/YYYY'), "
                                 "60 + mod(I, 40), (60 + mod(I, 40)) * 10.125, "
                                 "(60 + mod(I, 40)) * 10.875, "
                                 "35 + mod(I, 40) - decode(mod(I, 50), 0, 1, 0), "
                                 "(35 + mod(I, 40)) * 10.125, (35 + mod(I, 40)) * 10.875") +
                  upTo);
        for (int k = 0; k < 2; ++k)
            c.Execute(QStringLiteral("insert into ROM_BXA (COD, ROM_NUM, QDE, PSO_LIQ, PSO_BRU) "
                                     "select 2 * I - %1, I, 10, 101.25, 108.75")
                          .arg(k) +
                      upTo);
        c.Execute(QStringLiteral("insert into PDT_PED_ITE_BXA (COD, NUM, QDE, PSO_LIQ, PSO_BRU) "
                                 "select I, I, 5, 50.625, 54.375") +
                  upTo);
        c.Execute(QStringLiteral("drop table BEN_NUM"));
    }

    QString Scalar(const QString &sql) {
        const platform::db::ResultSet r = dm->FDConnection->Execute(sql);
        return r.rows.empty() || r.rows[0].empty() ? QString() : r.rows[0][0].toString();
    }
};

TRelease ReleaseWithGroup22() {
    TRelease r;
    r.Grupo_22.Ligado = true;
    return r;
}

// Runs the group through the window and returns the report's line count; throws
// when the group reports a failure or did not walk every romaneio.
int RunGroup(Tdm &dm, const QString &reportFolder) {
    Configuracao().Pth_Atu = reportFolder;
    Tfrm_Mnt form(ReleaseWithGroup22(), &dm);
    form.Grupo_22_Diferenca_Estoque_Romaneio();
    if (form.Erro)
        throw std::runtime_error("group 22 failed: " + form.Num_Err.toStdString());
    if (form.gg_Par->MaxValue() != kRomaneios || form.gg_Par->Position() != kRomaneios)
        throw std::runtime_error("group 22 walked " + std::to_string(form.gg_Par->Position()) +
                                 " of " + std::to_string(form.gg_Par->MaxValue()) + " romaneios");
    QFile report(reportFolder + QStringLiteral("Romaneio - ") + form.lbl_Emp->Caption() +
                 QStringLiteral(".txt"));
    if (!report.open(QIODevice::ReadOnly))
        throw std::runtime_error("group 22 wrote no report");
    return int(report.readAll().count("\r\n"));
}

// ---------------------------------------------------------------- raw SQLite

struct RawDb : bench::RawSqlite {
    RawDb() {
        exec("create table ROM (NUM NUMERIC not null, ENT_DTA TEXT, ENT_QDE NUMERIC, "
             "ENT_PSO_LIQ NUMERIC, ENT_PSO_BRU NUMERIC, QDE NUMERIC, PSO_LIQ NUMERIC, "
             "PSO_BRU NUMERIC, primary key (NUM))");
        exec("create table ROM_BXA (COD NUMERIC not null, ROM_NUM NUMERIC not null, DTA TEXT, "
             "QDE NUMERIC, PSO_LIQ NUMERIC, PSO_BRU NUMERIC, primary key (COD))");
        exec("create index ROM_BXA_ROM_NUM on ROM_BXA (ROM_NUM)");
        exec("create table PDT_PED_ITE_BXA (COD NUMERIC not null, NUM NUMERIC not null, "
             "DTA TEXT, QDE NUMERIC, PSO_LIQ NUMERIC, PSO_BRU NUMERIC, primary key (COD))");
        exec("create index PDT_PED_ITE_BXA_NUM on PDT_PED_ITE_BXA (NUM)");
        exec("begin");
        exec("with recursive N(I) as (select 1 union all select I + 1 from N where I < 100000) "
             "insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, PSO_LIQ, "
             "PSO_BRU) select I, printf('%04d-%02d-%02d 00:00:00', 2001 + I % 30, I % 12 + 1, I % "
             "28 + 1), "
             "60 + I % 40, (60 + I % 40) * 10.125, (60 + I % 40) * 10.875, "
             "35 + I % 40 - (I % 50 = 0), (35 + I % 40) * 10.125, (35 + I % 40) * 10.875 from N");
        exec("with recursive N(I) as (select 1 union all select I + 1 from N where I < 100000) "
             "insert into ROM_BXA (COD, ROM_NUM, QDE, PSO_LIQ, PSO_BRU) "
             "select 2 * I - K, I, 10, 101.25, 108.75 from N, (select 0 as K union all select 1) "
             "order by 1");
        exec("with recursive N(I) as (select 1 union all select I + 1 from N where I < 100000) "
             "insert into PDT_PED_ITE_BXA (COD, NUM, QDE, PSO_LIQ, PSO_BRU) "
             "select I, I, 5, 50.625, 54.375 from N");
        exec("commit");
    }
};

// ---------------------------------------------------------------- benchmark

void Group22(benchmark::State &state) {
    for (auto _ : state) {
        try {
            QTemporaryDir reports;
            const QString folder = reports.path() + QLatin1Char('/');
            EngineDb engine;
            if (engine.Scalar(QStringLiteral("select count(*) from ROM_BXA")) !=
                QString::number(2 * kRomaneios)) {
                state.SkipWithError("the engine seed is incomplete");
                return;
            }

            // Recording pass.
            QList<QByteArray> stream;
            const int id = engine.dm->FDConnection->AddStatementObserver(
                [&stream](const platform::db::StatementEvent &e) {
                    stream.append(e.sql.toUtf8());
                });
            RunGroup(*engine.dm, folder);
            engine.dm->FDConnection->RemoveStatementObserver(id);

            // The group through the window.
            const auto engineStart = std::chrono::steady_clock::now();
            const int lines = RunGroup(*engine.dm, folder);
            const double engineSeconds = bench::Seconds(engineStart);
            const double peakMb = bench::PeakRssMb();
            if (lines != kDifferent) {
                throw std::runtime_error("the report has " + std::to_string(lines) +
                                         " lines, not " + std::to_string(kDifferent));
            }

            // The anchor: the same texts on plain SQLite.
            RawDb raw;
            long long rows = 0;
            const auto rawStart = std::chrono::steady_clock::now();
            for (const QByteArray &text : stream)
                rows += raw.run(text);
            const double rawSeconds = bench::Seconds(rawStart);
            // The romaneio list plus one sum row for each of its two look-ups.
            if (rows != 3LL * kRomaneios) {
                throw std::runtime_error("the anchor read " + std::to_string(rows) + " rows");
            }

            state.SetIterationTime(engineSeconds);
            state.counters["statements"] = double(stream.size());
            state.counters["engine_ms"] = engineSeconds * 1000;
            state.counters["sqlite_ms"] = rawSeconds * 1000;
            state.counters["ratio"] = engineSeconds / rawSeconds;
            state.counters["peak_rss_mb"] = peakMb;
            std::printf("group 22: %lld statements, engine %.1f ms, sqlite %.1f ms, ratio %.2f "
                        "(goal <= 1.50), peak RSS %.1f MB (goal < 300)\n",
                        static_cast<long long>(stream.size()), engineSeconds * 1000,
                        rawSeconds * 1000, engineSeconds / rawSeconds, peakMb);
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            return;
        }
    }
}

} // namespace

BENCHMARK(Group22)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    return bench::Main(argc, argv);
}
