// Connection, Query and Field on a real database: the SQLite ODBC driver through
// the ODBC driver manager, and Oracle too when ATUALIZA_TEST_ORACLE names one
// ("user/password@service"; ATUALIZA_TEST_ORACLE_ODBC_DRIVER names the Oracle
// ODBC driver when Qt has no QOCI).

#include "platform/database/Database.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using platform::DatabaseError;
using platform::Exception;
using namespace platform::db;

namespace {

enum class Engine { SQLite, Oracle };

struct Row {
    int cod;
    QString nme;
    double prc;
    QString prcText;
    QDateTime dta;
};

class QueryLayer : public ::testing::TestWithParam<Engine> {
protected:
    void SetUp() override {
        if (GetParam() == Engine::Oracle) {
            // user/password@service
            const QString named = qEnvironmentVariable("ATUALIZA_TEST_ORACLE");
            if (named.isEmpty())
                GTEST_SKIP() << "ATUALIZA_TEST_ORACLE (user/password@service) is not set";
            const qsizetype at = named.lastIndexOf(QLatin1Char('@'));
            const qsizetype slash = named.indexOf(QLatin1Char('/'));
            ASSERT_TRUE(at > 0 && slash > 0 && slash < at) << "expected user/password@service";
            params_ = {"DriverID=Ora", "Database=" + named.mid(at + 1),
                       "User_Name=" + named.left(slash),
                       "Password=" + named.mid(slash + 1, at - slash - 1)};
            odbcDriver_ = qEnvironmentVariable("ATUALIZA_TEST_ORACLE_ODBC_DRIVER",
                                               QStringLiteral("Oracle in XE"));
            intType_ = "NUMBER(9)";
            decimalType_ = "NUMBER(10,2)";
            textType_ = "VARCHAR2(40)";
            dateType_ = "DATE";
        } else {
            ASSERT_TRUE(dir_.isValid());
            file_ = dir_.filePath("consulta.db");
            params_ = {"DriverID=ODBC", "Database=DRIVER=SQLite3;Database=" + file_};
            intType_ = "INTEGER";
            decimalType_ = "NUMERIC(10,2)";
            textType_ = "VARCHAR(40)";
            dateType_ = "TIMESTAMP";
        }
        db_ = connect();
        dropTable();
        run("create table QRY_PRODUTO (COD " + intType_ + ", NME " + textType_ + ", PRC " +
            decimalType_ + ", DTA " + dateType_ + ")");
    }

    void TearDown() override {
        if (db_)
            dropTable();
    }

    std::unique_ptr<Connection> connect() const {
        auto c = std::make_unique<Connection>();
        c->Params = params_;
        if (!odbcDriver_.isEmpty())
            c->OracleOdbcDriver = odbcDriver_;
        return c;
    }

    void dropTable() {
        try {
            run(GetParam() == Engine::Oracle ? "drop table QRY_PRODUTO purge"
                                             : "drop table if exists QRY_PRODUTO");
        } catch (const DatabaseError &) {
            // not there yet
        }
    }

    void run(const QString &sql) { db_->Execute(sql); }

    QString dateLiteral(const QString &text) const {
        return GetParam() == Engine::Oracle ? "to_date('" + text + "', 'YYYY-MM-DD HH24:MI:SS')"
                                            : QuotedStr(text);
    }

    void seed() {
        run("insert into QRY_PRODUTO values (1, " + QuotedStr("Maçã Fuji") + ", 12.5, " +
            dateLiteral("2024-01-31 10:20:30") + ")");
        run("insert into QRY_PRODUTO values (2, " + QuotedStr("it's") + ", 7, " +
            dateLiteral("2024-02-29 00:00:00") + ")");
        run("insert into QRY_PRODUTO values (3, null, null, null)");
    }

    QString missingTableText() const {
        return GetParam() == Engine::Oracle ? "ORA-00942" : "no such table: NAO_EXISTE (1)";
    }

    QTemporaryDir dir_;
    QString file_;
    QStringList params_;
    QString odbcDriver_;
    QString intType_, decimalType_, textType_, dateType_;
    std::unique_ptr<Connection> db_;
};

TEST_P(QueryLayer, ConnectsAtTheFirstStatementOnly) {
    auto c = connect();
    Query q(c.get());
    q.SQL.Add("select COD from QRY_PRODUTO");
    EXPECT_FALSE(c->Connected());
    EXPECT_EQ(c->CurrentBackend(), nullptr);
    q.Open();
    EXPECT_TRUE(c->Connected());
    EXPECT_NE(c->CurrentBackend(), nullptr);
}

TEST(QueryLayerSQLite, CreatingAConnectionTouchesNoDatabase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("nova.db");
    Connection c;
    c.Params = {"DriverID=ODBC", "Database=DRIVER=SQLite3;Database=" + file};
    Query q(&c);
    q.SQL.Add("create table T (A integer)");
    EXPECT_FALSE(QFile::exists(file));
    q.ExecSQL();
    EXPECT_TRUE(QFile::exists(file));
}

TEST_P(QueryLayer, FieldsReadByNameFromEveryRow) {
    seed();
    const QList<Row> expected = {
        {1, "Maçã Fuji", 12.5, "12.5", QDateTime(QDate(2024, 1, 31), QTime(10, 20, 30))},
        {2, "it's", 7.0, "7", QDateTime(QDate(2024, 2, 29), QTime(0, 0))},
        {3, "", 0.0, "", QDateTime()},
    };
    Query q(db_.get());
    q.SQL.Add("select COD, NME, PRC, DTA from QRY_PRODUTO");
    q.SQL.Add("order by COD");
    q.Open();
    ASSERT_EQ(q.RecordCount(), expected.size());
    for (const Row &e : expected) {
        SCOPED_TRACE(e.cod);
        ASSERT_FALSE(q.Eof());
        EXPECT_EQ(q.FieldByName("cod").AsInteger(), e.cod);
        EXPECT_EQ(q.FieldByName("Nme").AsString(), e.nme);
        EXPECT_EQ(q.FieldByName("NME").IsNull(), e.nme.isEmpty());
        EXPECT_DOUBLE_EQ(q.FieldByName("prc").AsFloat(), e.prc);
        EXPECT_EQ(q.FieldByName("PRC").AsString(), e.prcText);
        EXPECT_EQ(q.FieldByName("PRC").IsNull(), e.prcText.isEmpty());
        EXPECT_EQ(q.FieldByName("DTA").AsDateTime(), e.dta);
        q.Next();
    }
    EXPECT_TRUE(q.Eof());
}

TEST_P(QueryLayer, FieldErrorsRaiseWithTheirText) {
    seed();
    Query q(db_.get());
    q.SQL.Add("select COD, NME from QRY_PRODUTO where COD = 1");
    q.Open();
    try {
        q.FieldByName("NAO_HA");
        FAIL() << "an unknown field must raise";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "Campo 'NAO_HA' não encontrado.");
    }
    try {
        q.FieldByName("NME").AsInteger();
        FAIL() << "text is no integer";
    } catch (const platform::ConvertError &e) {
        EXPECT_EQ(e.Message(), "'Maçã Fuji' não é um valor inteiro válido");
    }
}

TEST_P(QueryLayer, WalksForwardAndBackToTheFirstRow) {
    seed();
    Query q(db_.get());
    q.SQL.Add("select COD from QRY_PRODUTO order by COD");
    q.Open();
    EXPECT_FALSE(q.IsEmpty());
    EXPECT_EQ(q.RecordCount(), 3);
    QList<int> seen;
    for (; !q.Eof(); q.Next())
        seen << q.FieldByName("COD").AsInteger();
    EXPECT_EQ(seen, QList<int>({1, 2, 3}));
    q.Next(); // past the end stays there
    EXPECT_TRUE(q.Eof());
    EXPECT_TRUE(q.FieldByName("COD").IsNull());
    q.First();
    EXPECT_FALSE(q.Eof());
    EXPECT_EQ(q.FieldByName("COD").AsInteger(), 1);

    q.SQL.Clear();
    q.SQL.Add("select COD from QRY_PRODUTO where COD > 99");
    q.Open();
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_TRUE(q.Eof());
    EXPECT_EQ(q.RecordCount(), 0);
    EXPECT_TRUE(q.FieldByName("COD").IsNull());
}

TEST_P(QueryLayer, ChangingTheTextClosesTheOpenResult) {
    seed();
    Query q(db_.get());
    q.SQL.Add("select COD, NME from QRY_PRODUTO order by COD");
    q.Open();
    ASSERT_TRUE(q.Active());
    q.SQL.Clear();
    EXPECT_FALSE(q.Active());
    EXPECT_TRUE(q.IsEmpty());
    EXPECT_EQ(q.RecordCount(), 0);
    try {
        q.FieldByName("COD");
        FAIL() << "a closed query has no fields";
    } catch (const Exception &e) {
        EXPECT_EQ(e.Message(), "FieldByName: a consulta não está aberta.");
    }
    q.SQL.Add("select PRC from QRY_PRODUTO where COD = 2");
    q.Open();
    EXPECT_EQ(q.FieldNames(), QStringList({"PRC"}));
    EXPECT_EQ(q.FieldByName("PRC").AsInteger(), 7);

    q.SQL.Add("-- one more line"); // Add alone closes as well
    EXPECT_FALSE(q.Active());
}

TEST_P(QueryLayer, QuotedTextsRoundTripThroughTheDatabase) {
    const QStringList texts = {"it's", "''", "'", "O'Brien's 'quoted'", "sem apóstrofo"};
    int cod = 10;
    for (const QString &t : texts)
        run(QStringLiteral("insert into QRY_PRODUTO (COD, NME) values (%1, %2)")
                .arg(cod++)
                .arg(QuotedStr(t)));
    Query q(db_.get());
    cod = 10;
    for (const QString &t : texts) {
        SCOPED_TRACE(t.toStdString());
        q.SQL.Clear();
        q.SQL.Add("select COD from QRY_PRODUTO where NME = " + QuotedStr(t));
        q.Open();
        ASSERT_EQ(q.RecordCount(), 1);
        EXPECT_EQ(q.FieldByName("COD").AsInteger(), cod++);
    }
    EXPECT_EQ(QuotedStr("it's"), "'it''s'");
}

TEST_P(QueryLayer, DatabaseErrorsReachTheCallerAndTheObservers) {
    struct Seen {
        QString sql;
        bool ok;
        QString error;
    };
    QList<Seen> seen;
    // An observer that leaves after the first statement it sees, registered before
    // the one that records: leaving must not make the others miss a statement.
    int once = 0;
    int onceId = 0;
    onceId = db_->AddStatementObserver([&](const StatementEvent &) {
        ++once;
        db_->RemoveStatementObserver(onceId);
    });
    const int seenId = db_->AddStatementObserver([&seen](const StatementEvent &e) {
        seen.append({e.sql, e.ok, e.error});
    });

    Query q(db_.get());
    q.SQL.Add("insert into QRY_PRODUTO (COD) values (5)");
    q.ExecSQL();
    EXPECT_EQ(q.RowsAffected(), 1);
    q.SQL.Clear();
    q.SQL.Add("select * from NAO_EXISTE");
    QString caught;
    try {
        q.Open();
    } catch (const DatabaseError &e) {
        caught = e.Message();
    }
    EXPECT_FALSE(q.Active());
    q.SQL.Clear();
    q.SQL.Add("update QRY_PRODUTO set NME = 'x' where COD = 5");
    q.ExecSQL();

    const QString missing = missingTableText();
    if (GetParam() == Engine::Oracle) {
        // The rest of Oracle's text changes with its version.
        EXPECT_TRUE(caught.startsWith(missing)) << caught.toStdString();
    } else {
        EXPECT_EQ(caught, missing);
    }
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[0].sql, "insert into QRY_PRODUTO (COD) values (5)");
    EXPECT_TRUE(seen[0].ok);
    EXPECT_EQ(seen[0].error, "");
    EXPECT_EQ(seen[1].sql, "select * from NAO_EXISTE");
    EXPECT_FALSE(seen[1].ok);
    EXPECT_EQ(seen[1].error, caught);
    EXPECT_EQ(seen[2].sql, "update QRY_PRODUTO set NME = 'x' where COD = 5");
    EXPECT_TRUE(seen[2].ok);
    EXPECT_EQ(once, 1);
    db_->RemoveStatementObserver(seenId); // it captures locals of this test
}

TEST_P(QueryLayer, EveryStatementIsCommittedOnItsOwn) {
    seed();
    Query change(db_.get());
    change.SQL.Add("update QRY_PRODUTO set PRC = 1 where COD < 3");
    change.ExecSQL();
    EXPECT_EQ(change.RowsAffected(), 2);

    // A second session sees the change at once: nothing waits for a commit.
    auto other = connect();
    Query q(other.get());
    q.SQL.Add("select count(*) as N from QRY_PRODUTO where PRC = 1");
    q.Open();
    EXPECT_EQ(q.FieldByName("N").AsInteger(), 2);
}

INSTANTIATE_TEST_SUITE_P(Engines, QueryLayer, ::testing::Values(Engine::SQLite, Engine::Oracle),
                         [](const auto &info) {
                             return info.param == Engine::Oracle ? "Oracle" : "SQLite";
                         });

TEST(QueryLayerSQLite, AFailingObserverDoesNotMakeAStatementThatRanFail) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    Connection c;
    c.Params = {"DriverID=ODBC", "Database=DRIVER=SQLite3;Database=" + dir.filePath("o.db")};
    QList<bool> oks;
    c.AddStatementObserver([&oks](const StatementEvent &e) { oks << e.ok; });
    const int failing = c.AddStatementObserver(
        [](const StatementEvent &) { throw Exception("observador com defeito"); });
    EXPECT_THROW(c.Execute("create table T (A integer)"), Exception);
    EXPECT_EQ(oks, QList<bool>({true}));
    c.RemoveStatementObserver(failing);
    c.Execute("insert into T values (1)"); // the table was created
    EXPECT_EQ(oks, QList<bool>({true, true}));
}

TEST(QueryLayerDriver, AnUnusableDriverIsNamedWithItsRemedy) {
    const bool qoci = QSqlDatabase::isDriverAvailable("QOCI");
    const struct {
        QStringList params;
        QString text;
    } cases[] = {
        {{"DriverID=Firebird", "Database=x"},
         "Driver de banco de dados desconhecido: \"Firebird\" (use Ora, ODBC ou Embedded)."},
        // Without QOCI the Oracle driver goes through ODBC, under the configured name.
        {{"DriverID=Ora", "Database=XE", "User_Name=TALVERO", "Password=SENHAXY"},
         qoci ? QString()
              : "O driver ODBC do Oracle \"Oracle ODBC Ausente\" não está instalado ou não pôde "
                "ser carregado. Instale o Oracle Instant Client (pacotes Basic e ODBC) e registre "
                "o driver ODBC com o nome \"Oracle ODBC Ausente\" (odbc_update_ini.sh do Instant "
                "Client ou odbcinst -i -d; no Windows, odbc_install.exe). Mensagem do ODBC: Can't "
                "open lib 'Oracle ODBC Ausente' : file not found"},
    };
    for (const auto &c : cases) {
        if (c.text.isEmpty())
            continue; // this Qt reaches Oracle through QOCI
        SCOPED_TRACE(c.params.join(' ').toStdString());
        Connection db;
        db.Params = c.params;
        db.OracleOdbcDriver = "Oracle ODBC Ausente";
        Query q(&db);
        q.SQL.Add("select 1 from dual");
        try {
            q.Open();
            ADD_FAILURE() << "the driver cannot be usable";
        } catch (const DatabaseError &e) {
            EXPECT_EQ(e.Message(), c.text);
        }
        EXPECT_FALSE(db.Connected());
    }
}

} // namespace
