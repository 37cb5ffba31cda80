// The Qt Sql backends on the real ODBC driver manager with the SQLite ODBC
// driver: connection strings, value conversion, connection lifetime and the
// texts of a missing driver.

#include "platform/Exception.h"
#include "platform/database/Backends.h"
#include "platform/database/qtsql/OdbcConnectionString.h"

#include <QDateTime>
#include <QFile>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <functional>
#include <gtest/gtest.h>

using platform::DatabaseError;
using namespace platform::db;

namespace {

QString messageOf(const std::function<void()> &action) {
    try {
        action();
    } catch (const DatabaseError &e) {
        return e.Message();
    }
    return QStringLiteral("<no DatabaseError>");
}

QString sqliteString(const QTemporaryDir &dir, const QString &name = "b.db") {
    return "DRIVER=SQLite3;Database=" + dir.filePath(name);
}

TEST(OdbcConnectionString, ValuesThatWouldEndTheAttributeGoInBraces) {
    struct Case {
        QString driver, service, user, password, expected;
    };
    const QList<Case> cases = {
        {"Oracle in XE", "XE", "TALVERO", "SENHAXY",
         "DRIVER={Oracle in XE};DBQ=XE;UID=TALVERO;PWD=SENHAXY"},
        {"Oracle in XE", "XE", "TALVERO", "a;DBQ=OUTRO",
         "DRIVER={Oracle in XE};DBQ=XE;UID=TALVERO;PWD={a;DBQ=OUTRO}"},
        {"Oracle in XE", "XE", "TALVERO", "x}y{z",
         "DRIVER={Oracle in XE};DBQ=XE;UID=TALVERO;PWD={x}}y{z}"},
        {"Oracle in XE", "host:1521/XE", "TALVERO", " senha ",
         "DRIVER={Oracle in XE};DBQ=host:1521/XE;UID=TALVERO;PWD={ senha }"},
        {"Driver {estranho}", "XE", "", "", "DRIVER={Driver {estranho}}};DBQ=XE;UID=;PWD="},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        const QString s = odbc::OracleConnectionString(c.driver, c.service, c.user, c.password);
        EXPECT_EQ(s, c.expected);
        // Read back, every value is whole again.
        EXPECT_EQ(odbc::ValueOf(s, "driver"), c.driver);
        EXPECT_EQ(odbc::ValueOf(s, "PWD"), c.password);
        EXPECT_EQ(odbc::ValueOf(s, "DBQ"), c.service);
    }
}

TEST(OdbcConnectionString, CredentialsAndDsnSurviveTheQodbcDriver) {
    struct Case {
        QString connection, user, password, forQodbc;
    };
    const QList<Case> cases = {
        // Strings with DRIVER= go through QODBC untouched.
        {"DRIVER=SQLite3;Database=/t/a.db", "", "", "DRIVER=SQLite3;Database=/t/a.db"},
        {"DRIVER=SQLite3;Database=/t/a.db;", "eu", "p;w",
         "DRIVER=SQLite3;Database=/t/a.db;UID=eu;PWD={p;w}"},
        // QODBC puts "DSN=" in front of anything else: the DSN goes first, without its key.
        {"DSN=Base", "", "", "Base"},
        {"UID=eu;DSN=Base", "", "", "Base;UID=eu"},
        {"DSN=Base", "eu", "s", "Base;UID=eu;PWD=s"},
        {"Base", "eu", "", "Base;UID=eu"},
        {"FILEDSN=/t/base.dsn", "", "", "/t/base.dsn"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.connection.toStdString());
        EXPECT_EQ(odbc::QodbcDatabaseName(odbc::WithCredentials(c.connection, c.user, c.password)),
                  c.forQodbc);
    }
    EXPECT_EQ(messageOf([] { odbc::QodbcDatabaseName("UID=eu;PWD=s"); }),
              "A string de conexão ODBC \"UID=eu;PWD=s\" não pode ser usada pelo driver QODBC do "
              "Qt: informe DRIVER=, SERVER= ou DSN=.");
}

TEST(QtSqlOdbcBackend, ReachesADataSourceByName) {
    // The SQLite driver loads libodbcinst by itself to read odbc.ini and unloads
    // it again; what that library caches would then be reported by the leak
    // checker from an unknown module. Kept loaded, it is known (and suppressed).
    ASSERT_NE(dlopen("libodbcinst.so.2", RTLD_NOW | RTLD_NODELETE), nullptr);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile ini(dir.filePath("odbc.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[AtualizaTeste]\nDriver=SQLite3\nDatabase=" + dir.filePath("dsn.db").toUtf8() +
              "\n");
    ini.close();
    const QByteArray previous = qgetenv("ODBCINI");
    qputenv("ODBCINI", dir.filePath("odbc.ini").toLocal8Bit());
    for (const QString connection : {"DSN=AtualizaTeste", "AtualizaTeste"}) {
        SCOPED_TRACE(connection.toStdString());
        auto b = createOdbcBackend(connection, "", "");
        b->execute("create table if not exists T (A integer)");
        b->execute("insert into T values (1)");
    }
    auto b = createOdbcBackend("DSN=AtualizaTeste", "", "");
    EXPECT_EQ(b->execute("select count(*) as N from T").rows.at(0).at(0), QVariant(qlonglong(2)));
    b.reset();
    qputenv("ODBCINI", previous);
    EXPECT_TRUE(QFile::exists(dir.filePath("dsn.db")));
}

TEST(QtSqlOdbcBackend, ValuesFollowTheBackendConventions) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto b = createOdbcBackend(sqliteString(dir), "", "");
    b->execute("create table V (ID INTEGER, GRANDE NUMERIC(19), PRECO NUMERIC(10,2), "
               "REAL_ REAL, CODIGO VARCHAR(10), DIA DATE, MOMENTO TIMESTAMP, LONGO BIGINT)");
    // 9007199254740993 = 2^53 + 1: a double would read 9007199254740992.
    const ResultSet insert =
        b->execute("insert into V values (1, 9007199254740993, 2.5, 3.0, '007', '2024-01-31', "
                   "'2024-01-31 10:20:30', 9007199254740993)");
    EXPECT_FALSE(insert.hasResultSet);
    EXPECT_EQ(insert.rowsAffected, 1);
    b->execute("insert into V values (2, null, null, null, null, null, null, null)");

    const ResultSet r = b->execute("select * from V order by ID");
    ASSERT_TRUE(r.hasResultSet);
    EXPECT_EQ(r.columns,
              QStringList({"ID", "GRANDE", "PRECO", "REAL_", "CODIGO", "DIA", "MOMENTO", "LONGO"}));
    EXPECT_EQ(r.rowsAffected, 0);
    ASSERT_EQ(r.rows.size(), 2u);
    const std::vector<QVariant> expected = {
        QVariant(qlonglong(1)),
        QVariant(qlonglong(9007199254740993)),
        QVariant(2.5),
        QVariant(qlonglong(3)),
        QVariant(QStringLiteral("007")),
        QVariant(QDateTime(QDate(2024, 1, 31), QTime(0, 0))),
        QVariant(QDateTime(QDate(2024, 1, 31), QTime(10, 20, 30))),
        QVariant(qlonglong(9007199254740993)),
    };
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(r.columns[qsizetype(i)].toStdString());
        const QVariant &v = r.rows[0][i];
        EXPECT_EQ(v.typeId(), expected[i].typeId());
        EXPECT_EQ(v, expected[i]);
        // NULL is an invalid QVariant whatever the column's type (row 2 has only its ID).
        if (i > 0) {
            EXPECT_FALSE(r.rows[1][i].isValid());
        }
    }
}

TEST(QtSqlOdbcBackend, TheDatabaseTextReachesTheCaller) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    auto b = createOdbcBackend(sqliteString(dir), "", "");
    const struct {
        QString sql, text;
    } cases[] = {
        {"select * from NAO_EXISTE", "no such table: NAO_EXISTE (1)"},
        {"selec 1", "near \"selec\": syntax error (1)"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(messageOf([&] { b->execute(c.sql); }), c.text);
    // A failed statement leaves the connection usable.
    EXPECT_EQ(b->execute("select 1 as UM").rows.at(0).at(0), QVariant(qlonglong(1)));
}

TEST(QtSqlBackends, EachBackendHasItsOwnConnectionAndRemovesIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext &, const QString &m) { warnings << m; });
    const QStringList before = QSqlDatabase::connectionNames();
    {
        auto a = createOdbcBackend(sqliteString(dir, "a.db"), "", "");
        auto b = createOdbcBackend(sqliteString(dir, "b.db"), "", "");
        EXPECT_FALSE(a->isOpen());
        a->open();
        b->open();
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() + 2);
        a->execute("create table A (X integer)");
        b->execute("create table B (Y integer)");
        // Each statement went to its own file.
        EXPECT_EQ(messageOf([&] { b->execute("select * from A"); }), "no such table: A (1)");
        a->close();
        EXPECT_FALSE(a->isOpen());
        EXPECT_EQ(QSqlDatabase::connectionNames().size(), before.size() + 1);
        // b is still open when it is destroyed.
        auto bad = createOdbcBackend("DRIVER=Driver Inexistente", "", "");
        EXPECT_THROW(bad->open(), DatabaseError);
        EXPECT_FALSE(bad->isOpen());
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(QSqlDatabase::connectionNames(), before);
    EXPECT_EQ(warnings, QStringList());
}

TEST(QtSqlOdbcBackend, AMissingDriverOrDataSourceIsNamed) {
    struct Case {
        QString connection, text;
    };
    const QList<Case> cases = {
        {"DRIVER={Driver Ausente};Database=x",
         "O driver ODBC \"Driver Ausente\" não está instalado ou não pôde ser carregado: "
         "instale-o e registre-o com esse nome no gerenciador ODBC (odbcinst -i -d; para "
         "SQLite, o pacote libsqliteodbc). Mensagem do ODBC: Can't open lib 'Driver Ausente' : "
         "file not found"},
        {"DSN=FonteAusente",
         "A fonte de dados ODBC \"FonteAusente\" não está configurada ou seu driver não está "
         "instalado: configure-a no gerenciador ODBC (odbc.ini). Mensagem do ODBC: Data source "
         "name not found and no default driver specified"},
    };
    for (const Case &c : cases) {
        auto b = createOdbcBackend(c.connection, "", "");
        EXPECT_EQ(messageOf([&] { b->open(); }), c.text);
        EXPECT_FALSE(b->isOpen());
        // A statement opens the connection itself and fails the same way.
        EXPECT_EQ(messageOf([&] { b->execute("select 1 from dual"); }), c.text);
    }
}

} // namespace
