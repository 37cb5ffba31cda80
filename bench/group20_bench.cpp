// Group 20 (screen registry rebuild) at the size of a large installation: 10
// branches that control stock and 20 administrators, so 373 screens and 74,600
// access rows. A first pass records the statements the group sends to the
// connection; then the group runs through the update window on a freshly seeded
// embedded database and, as the anchor, the recorded texts are prepared, stepped
// and finalized one by one through the SQLite C API on a plain SQLite file with
// the same tables, rows and settings (WAL, synchronous=NORMAL, autocommit).

#include "bench/BenchSupport.h"
#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "platform/database/Database.h"
#include "platform/database/Script.h"
#include "update/Mnt.h"
#include "update/Release.h"

#include <QApplication>
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

constexpr int kBranches = 10;
constexpr int kAdministrators = 20;
constexpr int kScreens = 373;

// ---------------------------------------------------------------- engine

// The business schema on a new embedded database file, with the branches, the
// administrators (plus one blocked administrator and one ordinary user, who get
// no access rows) and an ordinary user's access row that the rebuild keeps.
struct EngineDb {
    QTemporaryDir dir;
    std::unique_ptr<Tdm> dm;

    EngineDb() {
        dm = bench::SchemaDatabase(dir.filePath(QStringLiteral("bench.db")));
        platform::db::Connection &c = *dm->FDConnection;
        for (int b = 1; b <= kBranches; ++b)
            c.Execute(QStringLiteral("insert into FIL (COD, NME, CTL_EST) values (%1, 'Filial "
                                     "%1', 'Sim')")
                          .arg(b));
        c.Execute(QStringLiteral("insert into FIL (COD, NME, CTL_EST) values (99, 'Escritório', "
                                 "'Não')"));
        for (int a = 1; a <= kAdministrators; ++a)
            c.Execute(QStringLiteral("insert into USU (IDT, NME, ADM, BLQ) values ('ADM%1', "
                                     "'Administrador %1', 'Sim', 'Não')")
                          .arg(a, 2, 10, QLatin1Char('0')));
        c.Execute(QStringLiteral(
            "insert into USU (IDT, NME, ADM, BLQ) values ('BLQ', 'Bloqueado', 'Sim', 'Sim')"));
        c.Execute(QStringLiteral(
            "insert into USU (IDT, NME, ADM, BLQ) values ('OPE', 'Operador', 'Não', 'Não')"));
        c.Execute(QStringLiteral(
            "insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'OPE', 100)"));
    }

    QString Scalar(const QString &sql) {
        const platform::db::ResultSet r = dm->FDConnection->Execute(sql);
        return r.rows.empty() || r.rows[0].empty() ? QString() : r.rows[0][0].toString();
    }
};

TRelease ReleaseWithGroup20() {
    TRelease r;
    r.Grupo_20.Ligado = true;
    return r;
}

// Runs the group through the window; throws when the group reports a failure.
void RunGroup(Tdm &dm) {
    Tfrm_Mnt form(ReleaseWithGroup20(), &dm);
    form.Grupo_20_Inclui_Tela();
    if (form.Erro)
        throw std::runtime_error("group 20 failed: " + form.Num_Err.toStdString());
}

// ---------------------------------------------------------------- raw SQLite

struct RawDb : bench::RawSqlite {
    RawDb() {
        exec("create table FIL (COD NUMERIC not null, NME TEXT, SGL TEXT, CTL_EST TEXT, "
             "primary key (COD))");
        exec("create table USU (IDT TEXT not null, NME TEXT, ADM TEXT, BLQ TEXT, "
             "primary key (IDT))");
        exec("create table TEL (NUM NUMERIC not null, NME TEXT, DES TEXT, primary key (NUM))");
        exec("create table USU_ACE (FIL_COD NUMERIC not null, USU_IDT TEXT not null, "
             "TEL_NUM NUMERIC not null, primary key (FIL_COD, USU_IDT, TEL_NUM))");
        exec("begin");
        exec("with recursive N(I) as (select 1 union all select I + 1 from N where I < 10) "
             "insert into FIL (COD, NME, CTL_EST) select I, 'Filial ' || I, 'Sim' from N");
        exec("insert into FIL (COD, NME, CTL_EST) values (99, 'Escritório', 'Não')");
        exec("with recursive N(I) as (select 1 union all select I + 1 from N where I < 20) "
             "insert into USU (IDT, NME, ADM, BLQ) select printf('ADM%02d', I), "
             "'Administrador ' || printf('%02d', I), 'Sim', 'Não' from N");
        exec("insert into USU (IDT, NME, ADM, BLQ) values ('BLQ', 'Bloqueado', 'Sim', 'Sim')");
        exec("insert into USU (IDT, NME, ADM, BLQ) values ('OPE', 'Operador', 'Não', 'Não')");
        exec("insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'OPE', 100)");
        exec("commit");
    }
};

// ---------------------------------------------------------------- benchmark

void Group20(benchmark::State &state) {
    for (auto _ : state) {
        try {
            // Recording pass.
            QList<QByteArray> stream;
            {
                EngineDb recorder;
                const int id = recorder.dm->FDConnection->AddStatementObserver(
                    [&stream](const platform::db::StatementEvent &e) {
                        stream.append(e.sql.toUtf8());
                    });
                RunGroup(*recorder.dm);
                recorder.dm->FDConnection->RemoveStatementObserver(id);
            }

            // The group through the window, on a fresh seed.
            EngineDb engine;
            const auto engineStart = std::chrono::steady_clock::now();
            RunGroup(*engine.dm);
            const double engineSeconds = bench::Seconds(engineStart);
            const QString screens = engine.Scalar(QStringLiteral("select count(*) from TEL"));
            const QString access =
                engine.Scalar(QStringLiteral("select count(*) from USU_ACE where USU_IDT like "
                                             "'ADM%'"));
            if (screens != QString::number(kScreens) ||
                access != QString::number(kScreens * kBranches * kAdministrators)) {
                throw std::runtime_error(
                    ("engine wrote " + screens + " screens and " + access + " access rows")
                        .toStdString());
            }

            // The anchor: the same texts on plain SQLite.
            RawDb raw;
            const auto rawStart = std::chrono::steady_clock::now();
            for (const QByteArray &text : stream)
                raw.run(text);
            const double rawSeconds = bench::Seconds(rawStart);
            if (raw.scalar("select count(*) from TEL") != kScreens ||
                raw.scalar("select count(*) from USU_ACE where USU_IDT like 'ADM%'") !=
                    kScreens * kBranches * kAdministrators) {
                state.SkipWithError("the anchor did not rebuild the same registry");
                return;
            }

            state.SetIterationTime(engineSeconds);
            state.counters["statements"] = double(stream.size());
            state.counters["engine_ms"] = engineSeconds * 1000;
            state.counters["sqlite_ms"] = rawSeconds * 1000;
            state.counters["ratio"] = engineSeconds / rawSeconds;
            state.counters["peak_rss_mb"] = bench::PeakRssMb();
            std::printf("group 20: %lld statements, engine %.1f ms, sqlite %.1f ms, ratio %.2f "
                        "(goal <= 1.50), peak RSS %.1f MB\n",
                        static_cast<long long>(stream.size()), engineSeconds * 1000,
                        rawSeconds * 1000, engineSeconds / rawSeconds, bench::PeakRssMb());
        } catch (const std::exception &e) {
            state.SkipWithError(e.what());
            return;
        }
    }
}

} // namespace

BENCHMARK(Group20)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    return bench::Main(argc, argv);
}
