// The demo database: created from the scripts built into the program, with the data
// start-up, the logged-users window and the stock-difference report need, never over
// an existing file and never left half made.

#include "app/DemoDatabase.h"
#include "common/Funcoes_Cifra.h"
#include "platform/Exception.h"
#include "platform/database/Database.h"
#include "tests/support/TestSupport.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << text.toStdString();
}

namespace {

using platform::db::Connection;

class DemoDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    QString File(const QString &name = QStringLiteral("demo.db")) const {
        return dir_.filePath(name);
    }

    // Opens the created file the way the program does.
    void Open(const QString &file) {
        db_ = std::make_unique<Connection>();
        db_->Params << QStringLiteral("DriverID=Embedded") << QStringLiteral("Database=") + file;
    }

    QString Scalar(const QString &sql) {
        const platform::db::ResultSet r = db_->Execute(sql);
        if (r.rows.empty() || r.rows[0][0].isNull())
            return QString();
        return r.rows[0][0].toString();
    }

    QTemporaryDir dir_;
    std::unique_ptr<Connection> db_;
};

TEST_F(DemoDatabaseTest, ScriptsAreBuiltIntoTheProgram) {
    // The same text as in the source tree, but read from the program's resources.
    EXPECT_EQ(app::demoScript(QStringLiteral("schema.sql")),
              testsupport::ReadText(testsupport::SourcePath(QStringLiteral("demo/schema.sql"))));
    EXPECT_EQ(app::demoScript(QStringLiteral("data.sql")),
              testsupport::ReadText(testsupport::SourcePath(QStringLiteral("demo/data.sql"))));
    try {
        app::demoScript(QStringLiteral("outro.sql"));
        FAIL() << "no exception";
    } catch (const platform::Exception &e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Script de demonstração inexistente: outro.sql"));
    }
}

// Start-up must read version 18 back with whatever key is in force; data.sql's own
// value is the default key's.
TEST_F(DemoDatabaseTest, DataVersionIsScrambledWithTheKeyInForce) {
    const TConfiguracao defaults;
    for (const QString &key : {defaults.Chave_Cifra, QStringLiteral("AbCdEfG")}) {
        TConfiguracao cfg;
        cfg.Chave_Cifra = key;
        const QString file = File(key + QStringLiteral(".db"));
        app::createDemoDatabase(file, cfg);
        Open(file);
        const QString stored = Scalar(QStringLiteral("select VER_DAD as VER_DAD_ATU from CFG"));
        EXPECT_EQ(Cifra_Texto(QStringLiteral("D"), stored, key), QStringLiteral("18"))
            << key.toStdString();
        EXPECT_EQ(Scalar(QStringLiteral("select count(*) from CFG")), QStringLiteral("1"));
    }
    // The literal in data.sql is the default key's scrambled 18.
    EXPECT_TRUE(
        app::demoScript(QStringLiteral("data.sql"))
            .contains(QStringLiteral("values (1, '") +
                      Cifra_Texto(QStringLiteral("C"), QStringLiteral("18"), defaults.Chave_Cifra) +
                      QStringLiteral("')")));
}

TEST_F(DemoDatabaseTest, HoldsWhatStartUpAndTheGroupsNeed) {
    TConfiguracao cfg;
    app::createDemoDatabase(File(), cfg);
    Open(File());

    EXPECT_EQ(Scalar(QStringLiteral("select NME from FIL where COD = 1")),
              QStringLiteral("Servidor"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from FIL where CTL_EST = 'Sim'")),
              QStringLiteral("2"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from FIL where CTL_EST = 'Não'")),
              QStringLiteral("1"));

    // Administrators, one of them blocked, and ordinary users, all with access rows.
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USU where ADM = 'Sim' and BLQ = 'Não'")),
              QStringLiteral("2"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USU where ADM = 'Sim' and BLQ = 'Sim'")),
              QStringLiteral("1"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USU where ADM = 'Não'")),
              QStringLiteral("2"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USU where IDT not in (select USU_IDT "
                                    "from USU_ACE)")),
              QStringLiteral("0"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USU_ACE where TEL_NUM not in (select "
                                    "NUM from TEL)")),
              QStringLiteral("0"));

    EXPECT_FALSE(Scalar(QStringLiteral("select PST_BKP from PRM_GER")).isEmpty());

    // Two logged-in instances whose PIDs no system hands out (Linux allows at most
    // 4194304; Windows PIDs of a packing-house server stay far below 9000000).
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USU_LOG where PID > 4194304")),
              QStringLiteral("2"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USU_LOG")), QStringLiteral("2"));
}

// Group 22 recomputes every romaneio from its entry and its two kinds of write-off:
// most balance, a handful do not.
TEST_F(DemoDatabaseTest, RomaneiosMostlyBalanceAndAFewDoNot) {
    app::createDemoDatabase(File(), TConfiguracao());
    Open(File());
    const platform::db::ResultSet rom = db_->Execute(QStringLiteral(
        "select * from ROM where ENT_DTA between '01/01/01' and '31/12/30' order by ENT_DTA, NUM"));
    ASSERT_GE(rom.rows.size(), size_t(200));
    ASSERT_LE(rom.rows.size(), size_t(999));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from ROM")), QString::number(rom.rows.size()));
    EXPECT_EQ(Scalar(QStringLiteral("select to_char(min(ENT_DTA), 'YYYY-MM-DD') from ROM")) >=
                  QStringLiteral("2024-01-01"),
              true);
    EXPECT_EQ(Scalar(QStringLiteral("select to_char(max(ENT_DTA), 'YYYY-MM-DD') from ROM")) <=
                  QStringLiteral("2026-12-31"),
              true);

    auto sum = [this](const QString &table, const QString &key, const QString &column,
                      const QString &num) {
        return Scalar(QStringLiteral("select sum(%1) from %2 where %3 = %4")
                          .arg(column, table, key, num))
            .toDouble();
    };
    auto round3 = [](double v) { return std::nearbyint(v * 1000) / 1000; };
    int unbalanced = 0, withWriteOffs = 0, withoutWriteOffs = 0;
    for (const auto &row : rom.rows) {
        const QString num = row[rom.columns.indexOf(QStringLiteral("NUM"))].toString();
        auto col = [&](const char *name) {
            return row[rom.columns.indexOf(QLatin1String(name))].toDouble();
        };
        const double bQde = sum("ROM_BXA", "ROM_NUM", "QDE", num);
        const double vQde = sum("PDT_PED_ITE_BXA", "NUM", "QDE", num);
        (bQde + vQde > 0 ? withWriteOffs : withoutWriteOffs)++;
        const bool qde = col("ENT_QDE") - bQde - vQde != col("QDE");
        const bool liq =
            round3(col("ENT_PSO_LIQ") - sum("ROM_BXA", "ROM_NUM", "PSO_LIQ", num) -
                   sum("PDT_PED_ITE_BXA", "NUM", "PSO_LIQ", num)) != round3(col("PSO_LIQ"));
        const bool bru =
            round3(col("ENT_PSO_BRU") - sum("ROM_BXA", "ROM_NUM", "PSO_BRU", num) -
                   sum("PDT_PED_ITE_BXA", "NUM", "PSO_BRU", num)) != round3(col("PSO_BRU"));
        unbalanced += (qde || liq || bru) ? 1 : 0;
        EXPECT_GE(col("QDE"), 0) << num.toStdString();
        EXPECT_GE(col("PSO_LIQ"), 0) << num.toStdString();
    }
    EXPECT_EQ(unbalanced, 6);
    EXPECT_GT(withWriteOffs, int(rom.rows.size()) / 2);
    EXPECT_GT(withoutWriteOffs, 0);
    // The helper tables of the generation are gone.
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from USER_TABLES where TABLE_NAME like "
                                    "'DEMO%'")),
              QStringLiteral("0"));
}

// Whatever stands at the name stays as it is: a file, a folder, a symbolic link
// (also one whose target is missing, which would otherwise be created through it).
TEST_F(DemoDatabaseTest, RefusesToOverwriteAnExistingFile) {
    {
        QFile f(File());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("precious");
    }
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("pasta.db")));
    ASSERT_TRUE(
        QFile::link(File(QStringLiteral("alvo_ausente.db")), File(QStringLiteral("elo.db"))));
    for (const QString &name :
         {QStringLiteral("demo.db"), QStringLiteral("pasta.db"), QStringLiteral("elo.db")}) {
        SCOPED_TRACE(name.toStdString());
        try {
            app::createDemoDatabase(File(name), TConfiguracao());
            FAIL() << "no exception";
        } catch (const platform::Exception &e) {
            EXPECT_EQ(e.Message(), QStringLiteral("O arquivo ") + File(name) +
                                       QStringLiteral(" já existe; o banco de demonstração só é "
                                                      "criado num arquivo novo."));
        }
    }
    QFile f(File());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("precious"));
    EXPECT_TRUE(QFileInfo(File(QStringLiteral("pasta.db"))).isDir());
    EXPECT_FALSE(QFileInfo::exists(File(QStringLiteral("alvo_ausente.db"))));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
              (QStringList{QStringLiteral("demo.db"), QStringLiteral("elo.db"),
                           QStringLiteral("pasta.db")}));
}

// A failure after the file was created removes it: no half-made demo database stays.
TEST_F(DemoDatabaseTest, FailureLeavesNoFileBehind) {
    TConfiguracao cfg;
    cfg.Chave_Cifra.clear(); // scrambling the version fails after both scripts ran
    EXPECT_THROW(app::createDemoDatabase(File(), cfg), platform::Exception);
    EXPECT_FALSE(QFileInfo::exists(File()));
}

} // namespace
