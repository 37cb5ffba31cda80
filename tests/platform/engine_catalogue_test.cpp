// The engine's files, its dictionary and its all-or-nothing statements: opening
// and recognising database files, dictionary views that show the user's objects
// as Oracle does (and nothing of the engine's own), and failed statements that
// leave data and schema exactly as they were.

#include "platform/database/Database.h"
#include "platform/database/embedded/EmbeddedEngine.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace platform::db;
using platform::db::embedded::EmbeddedEngine;

namespace {

QString errorOf(Backend &db, const QString &sql) {
    try {
        db.execute(sql);
        return QStringLiteral("ok");
    } catch (const platform::DatabaseError &e) {
        return e.Message();
    }
}

// Rows of a query as "a|b" lines.
QString rowsOf(Backend &db, const QString &sql) {
    QStringList out;
    for (const auto &row : db.execute(sql).rows) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << (v.isValid() ? v.toString() : QStringLiteral("NULL"));
        out << cells.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char('\n'));
}

class EngineCatalogue : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        file = dir.filePath(QStringLiteral("c.db"));
        db = std::make_unique<EmbeddedEngine>(file);
        db->open();
    }
    QTemporaryDir dir;
    QString file;
    std::unique_ptr<EmbeddedEngine> db;
};

TEST_F(EngineCatalogue, FilesAreRecognised) {
    EXPECT_EQ(db->characterSet().toStdString(), "WE8MSWIN1252");
    EXPECT_EQ(db->owner().toStdString(), "TALVERO");
    db->execute(QStringLiteral("create table T (A NUMBER)"));
    db->close();
    EmbeddedEngine again(file, {QStringLiteral("AL32UTF8"), QStringLiteral("OUTRO")});
    again.open(); // an existing file keeps its own settings
    EXPECT_EQ(again.characterSet().toStdString(), "WE8MSWIN1252");
    EXPECT_EQ(again.owner().toStdString(), "TALVERO");
    EXPECT_EQ(rowsOf(again, QStringLiteral("select TABLE_NAME from USER_TABLES")).toStdString(),
              "T");

    const QString garbage = dir.filePath(QStringLiteral("garbage.db"));
    QFile g(garbage);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write(QByteArray(4096, 'x'));
    g.close();
    const QString foreign = dir.filePath(QStringLiteral("foreign.db"));
    sqlite3 *raw = nullptr;
    sqlite3_open(foreign.toUtf8().constData(), &raw);
    sqlite3_exec(raw, "create table X (A)", nullptr, nullptr, nullptr);
    sqlite3_close(raw);
    const struct {
        QString file;
        QString error;
    } bad[] = {
        {garbage,
         QStringLiteral("Banco embutido: o arquivo \"%1\" não é um banco de dados.").arg(garbage)},
        {foreign,
         QStringLiteral("Banco embutido: o arquivo \"%1\" não é um banco de dados deste programa.")
             .arg(foreign)},
    };
    for (const auto &b : bad) {
        EmbeddedEngine e(b.file);
        try {
            e.open();
            ADD_FAILURE() << "opened " << b.file.toStdString();
        } catch (const platform::DatabaseError &err) {
            EXPECT_EQ(err.Message().toStdString(), b.error.toStdString());
        }
        EXPECT_FALSE(e.isOpen());
    }
}

TEST_F(EngineCatalogue, DictionaryShowsObjectsAsOracle) {
    db->execute(QStringLiteral(
        "create table FRU (COD NUMBER(3,0) not null, \"Nome Popular\" VARCHAR2(20 CHAR), "
        "PSO NUMBER, QDE INTEGER, SGL CHAR(2) default 'XX', DTA DATE, primary key (COD))"));
    db->execute(QStringLiteral("create unique index FRU_SGL on FRU (SGL)"));
    db->execute(QStringLiteral("create index fru_dta on fru (dta desc)"));
    db->execute(QStringLiteral("create sequence FRU_SEQ start with 10 increment by 5"));
    EXPECT_EQ(
        rowsOf(*db, QStringLiteral("select COLUMN_NAME, DATA_TYPE, DATA_LENGTH, DATA_PRECISION, "
                                   "DATA_SCALE, NULLABLE, COLUMN_ID from USER_TAB_COLUMNS "
                                   "where TABLE_NAME = 'FRU' order by COLUMN_ID"))
            .toStdString(),
        "COD|NUMBER|22|3|0|N|1\n"
        "Nome Popular|VARCHAR2|20|NULL|NULL|Y|2\n"
        "PSO|NUMBER|22|NULL|NULL|Y|3\n"
        "QDE|NUMBER|22|NULL|0|Y|4\n"
        "SGL|CHAR|2|NULL|NULL|Y|5\n"
        "DTA|DATE|7|NULL|NULL|Y|6");
    // The NOT NULL column is a check constraint with a system name; the key is
    // named by the system too, and its index carries the same name.
    const QString constraints =
        rowsOf(*db, QStringLiteral("select CONSTRAINT_TYPE, CONSTRAINT_NAME from USER_CONSTRAINTS "
                                   "order by CONSTRAINT_TYPE"));
    const QStringList lines = constraints.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << constraints.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QLatin1String("C|SYS_C"))) << constraints.toStdString();
    EXPECT_TRUE(lines[1].startsWith(QLatin1String("P|SYS_C"))) << constraints.toStdString();
    const QString keyName = lines[1].mid(2);
    EXPECT_EQ(
        rowsOf(*db, QStringLiteral("select INDEX_NAME, UNIQUENESS from USER_INDEXES order by 2, 1"))
            .toStdString(),
        "FRU_DTA|NONUNIQUE\nFRU_SGL|UNIQUE\n" + keyName.toStdString() + "|UNIQUE");
    EXPECT_EQ(rowsOf(*db, QStringLiteral("select SEQUENCE_NAME, LAST_NUMBER, INCREMENT_BY from "
                                         "USER_SEQUENCES"))
                  .toStdString(),
              "FRU_SEQ|10|5");
    EXPECT_EQ(rowsOf(*db, QStringLiteral("select count(*) from USER_TABLES")).toStdString(), "1");
    EXPECT_EQ(
        rowsOf(*db, QStringLiteral("select TABLE_NAME from USER_TABLES where TABLE_NAME = 'fru'"))
            .toStdString(),
        "");
    // The engine's own tables are neither listed nor reachable.
    EXPECT_EQ(rowsOf(*db, QStringLiteral(
                              "select count(*) from USER_TAB_COLUMNS where TABLE_NAME <> 'FRU'"))
                  .toStdString(),
              "0");
    EXPECT_EQ(errorOf(*db, QStringLiteral("select * from \"_eng_tables\"")).toStdString(),
              "ORA-00942: table or view does not exist");
    EXPECT_EQ(errorOf(*db, QStringLiteral("select * from \"sqlite_master\"")).toStdString(),
              "ORA-00942: table or view does not exist");
    // Defaults fill columns left out.
    db->execute(QStringLiteral("insert into FRU (COD) values (1)"));
    EXPECT_EQ(rowsOf(*db, QStringLiteral("select SGL from FRU")).toStdString(), "XX");
}

TEST_F(EngineCatalogue, FailedStatementsLeaveNothingBehind) {
    db->execute(QStringLiteral("create table T (COD NUMBER(3) not null, NME VARCHAR2(5))"));
    db->execute(QStringLiteral("alter table T add constraint T_PK  primary key (COD)"));
    db->execute(QStringLiteral("insert into T values (1, 'um')"));
    db->execute(QStringLiteral("create sequence S start with 1"));
    const QString before = rowsOf(*db, QStringLiteral("select COD, NME from T order by COD"));
    const QString columns = QStringLiteral(
        "select TABLE_NAME, COLUMN_NAME, DATA_TYPE, DATA_LENGTH, NULLABLE, COLUMN_ID from "
        "USER_TAB_COLUMNS order by TABLE_NAME, COLUMN_ID");
    const QString schemaBefore =
        rowsOf(*db, columns) +
        rowsOf(*db, QStringLiteral("select CONSTRAINT_NAME from USER_CONSTRAINTS order by 1")) +
        rowsOf(*db, QStringLiteral("select INDEX_NAME from USER_INDEXES")) +
        rowsOf(*db, QStringLiteral("select LAST_NUMBER from USER_SEQUENCES"));
    const struct {
        const char *sql;
        const char *error;
    } failing[] = {
        // the fifth row is too long: none of the rows stays
        {"INSERT ALL INTO T VALUES (2, 'a') INTO T VALUES (3, 'b') INTO T VALUES (4, 'c') "
         "INTO T VALUES (5, 'd') INTO T VALUES (6, 'seis!!') SELECT * FROM dual",
         "ORA-12899: value too large for column \"TALVERO\".\"T\".\"NME\" (actual: 6, maximum: 5)"},
        {"INSERT ALL INTO T VALUES (2, 'a') INTO T VALUES (1, 'b') SELECT * FROM dual",
         "ORA-00001: unique constraint (TALVERO.T_PK) violated"},
        {"insert into T select COD + 10, NME || '!!!!' from T",
         "ORA-12899: value too large for column \"TALVERO\".\"T\".\"NME\" (actual: 6, maximum: 5)"},
        {"insert into T (COD, NME) values (S.nextval, 'muito longo')",
         "ORA-12899: value too large for column \"TALVERO\".\"T\".\"NME\" (actual: 11, maximum: "
         "5)"},
        {"alter table T modify NME VARCHAR2 (1)",
         "ORA-01441: cannot decrease column length because some value is too big"},
        {"alter table T modify NME NUMBER (5)",
         "ORA-01439: column to be modified must be empty to change datatype"},
        {"create table U (A NUMBER, constraint U_PK primary key (B))",
         "ORA-00904: \"B\": invalid identifier"},
        {"alter table T add (X NUMBER, Y DATE (7))", "ORA-01735: invalid ALTER TABLE option"},
        {"alter table T add (X NUMBER, NME NUMBER)",
         "ORA-01430: column being added already exists in table"},
        {"alter table T add Z NUMBER not null",
         "ORA-01758: table must be empty to add mandatory (NOT NULL) column"},
        {"alter table T drop (COD, NME)", "ORA-12983: cannot drop all columns in a table"},
        {"alter table T drop constraint T_PK extra", "ORA-00933: SQL command not properly ended"},
        {"create unique index T_NME on T (NOPE)", "ORA-00904: \"NOPE\": invalid identifier"},
        {"drop index T_PK",
         "ORA-02429: cannot drop index used for enforcement of unique/primary key"},
        {"rename T to S", "ORA-00955: name is already used by an existing object"},
        {"rename NOPE to X", "ORA-04043: object NOPE does not exist"},
        {"update T set NME = 'longo demais'", "ORA-12899: value too large for column "
                                              "\"TALVERO\".\"T\".\"NME\" (actual: 12, maximum: 5)"},
    };
    for (const auto &f : failing) {
        SCOPED_TRACE(f.sql);
        EXPECT_EQ(errorOf(*db, QString::fromUtf8(f.sql)).toStdString(), f.error);
        EXPECT_EQ(rowsOf(*db, QStringLiteral("select COD, NME from T order by COD")), before);
        const QString schemaAfter =
            rowsOf(*db, columns) +
            rowsOf(*db, QStringLiteral("select CONSTRAINT_NAME from USER_CONSTRAINTS order by 1")) +
            rowsOf(*db, QStringLiteral("select INDEX_NAME from USER_INDEXES")) +
            rowsOf(*db, QStringLiteral("select LAST_NUMBER from USER_SEQUENCES"));
        EXPECT_EQ(schemaAfter.toStdString(), schemaBefore.toStdString());
    }
    // The file tells the same after reopening.
    db->close();
    db->open();
    EXPECT_EQ(rowsOf(*db, QStringLiteral("select COD, NME from T order by COD")), before);
}

TEST_F(EngineCatalogue, TypeChangeKeepsOrderRowsAndKeys) {
    db->execute(QStringLiteral(
        "create table T (COD NUMBER(3) not null, VLR NUMBER(5,2), NME VARCHAR2(5))"));
    db->execute(QStringLiteral("alter table T add constraint T_PK primary key (COD)"));
    db->execute(QStringLiteral("create index T_NME on T (NME)"));
    db->execute(QStringLiteral("insert into T values (1, NULL, 'um')"));
    db->execute(QStringLiteral("alter table T modify VLR VARCHAR2 (10)"));
    db->execute(QStringLiteral("alter table T modify NME VARCHAR2 (2)"));
    EXPECT_EQ(rowsOf(*db, QStringLiteral("select COLUMN_NAME, DATA_TYPE, DATA_LENGTH from "
                                         "USER_TAB_COLUMNS order by COLUMN_ID"))
                  .toStdString(),
              "COD|NUMBER|22\nVLR|VARCHAR2|10\nNME|VARCHAR2|2");
    EXPECT_EQ(rowsOf(*db, QStringLiteral("select * from T")).toStdString(), "1|NULL|um");
    EXPECT_EQ(
        rowsOf(*db, QStringLiteral("select INDEX_NAME from USER_INDEXES order by 1")).toStdString(),
        "T_NME\nT_PK");
    EXPECT_EQ(errorOf(*db, QStringLiteral("insert into T values (1, 'x', 'x')")).toStdString(),
              "ORA-00001: unique constraint (TALVERO.T_PK) violated");
    EXPECT_EQ(
        errorOf(*db, QStringLiteral("insert into T values (2, 'x', 'xyz')")).toStdString(),
        "ORA-12899: value too large for column \"TALVERO\".\"T\".\"NME\" (actual: 3, maximum: 2)");
}

TEST_F(EngineCatalogue, PrimaryKeyDropRemovesOnlyItsOwnIndex) {
    // A key over an existing unique index uses it and leaves it when dropped, as
    // Oracle does; a key that made its index takes the index away with it.
    db->execute(QStringLiteral("create table A (COD NUMBER)"));
    db->execute(QStringLiteral("create unique index A_PK on A (COD)"));
    db->execute(QStringLiteral("alter table A add constraint A_PK primary key (COD)"));
    db->execute(QStringLiteral("alter table A drop constraint A_PK "));
    EXPECT_EQ(rowsOf(*db, QStringLiteral("select INDEX_NAME from USER_INDEXES")).toStdString(),
              "A_PK");
    EXPECT_EQ(errorOf(*db, QStringLiteral("drop index A_PK ")).toStdString(), "ok");

    db->execute(QStringLiteral("create table B (COD NUMBER, X NUMBER)"));
    db->execute(QStringLiteral("insert into B values (1, NULL)"));
    db->execute(QStringLiteral("insert into B values (1, NULL)"));
    EXPECT_EQ(errorOf(*db, QStringLiteral("alter table B add constraint B_PK  primary key (COD)"))
                  .toStdString(),
              "ORA-02437: cannot validate (TALVERO.B_PK) - primary key violated");
    EXPECT_EQ(errorOf(*db, QStringLiteral("alter table B add constraint B_PK  primary key (X)"))
                  .toStdString(),
              "ORA-01449: column contains NULL values; cannot alter to NOT NULL");
    db->execute(QStringLiteral("delete from B"));
    db->execute(QStringLiteral("create index B_X on B (X)"));
    db->execute(QStringLiteral("alter table B add constraint B_PK  primary key (COD)"));
    db->execute(QStringLiteral("alter table B drop constraint B_PK "));
    // The table still has an index, but not the key's.
    EXPECT_EQ(errorOf(*db, QStringLiteral("drop index B_PK ")).toStdString(),
              "ORA-01418: specified index does not exist");
    EXPECT_EQ(errorOf(*db, QStringLiteral("alter table B drop constraint B_PK ")).toStdString(),
              "ORA-02443: Cannot drop constraint  - nonexistent constraint");
}

TEST_F(EngineCatalogue, SecondConnectionSeesSchemaChanges) {
    // A test seeding the file through one connection while the program holds
    // another: each must see the other's tables and sequence values.
    EmbeddedEngine other(file);
    other.open();
    db->execute(QStringLiteral("create table T (A NUMBER(3) not null)"));
    db->execute(QStringLiteral("create sequence S start with 1"));
    EXPECT_EQ(errorOf(other, QStringLiteral("insert into T (A) values (S.nextval)")).toStdString(),
              "ok");
    EXPECT_EQ(errorOf(*db, QStringLiteral("insert into T (A) values (S.nextval)")).toStdString(),
              "ok");
    EXPECT_EQ(errorOf(other, QStringLiteral("insert into T (A) values (1000)")).toStdString(),
              "ORA-01438: value larger than specified precision allowed for this column");
    EXPECT_EQ(rowsOf(other, QStringLiteral("select A from T order by A")).toStdString(), "1\n2");
    other.execute(QStringLiteral("drop table T purge"));
    EXPECT_EQ(errorOf(*db, QStringLiteral("select A from T")).toStdString(),
              "ORA-00942: table or view does not exist");
}

TEST_F(EngineCatalogue, HooksFailAndCutStatements) {
    Connection connection;
    connection.Params = {QStringLiteral("DriverID=Embedded"),
                         QStringLiteral("Database=") + dir.filePath(QStringLiteral("h.db"))};
    connection.Execute(QStringLiteral("create table T (A NUMBER)"));
    auto *engine = dynamic_cast<EmbeddedEngine *>(connection.CurrentBackend());
    ASSERT_NE(engine, nullptr);
    EXPECT_EQ(engine->statementsExecuted(), 1);

    engine->failStatement(2,
                          QStringLiteral("ORA-01013: user requested cancel of current operation"));
    Query q(&connection);
    auto run = [&](const QString &sql) {
        try {
            q.SQL.Clear();
            q.SQL.Add(sql);
            q.ExecSQL();
            return QStringLiteral("ok");
        } catch (const platform::DatabaseError &e) {
            return e.Message();
        }
    };
    EXPECT_EQ(run(QStringLiteral("insert into T values (1)")).toStdString(), "ok");
    EXPECT_EQ(run(QStringLiteral("insert into T values (2)")).toStdString(),
              "ORA-01013: user requested cancel of current operation");
    EXPECT_EQ(run(QStringLiteral("insert into T values (3)")).toStdString(), "ok");
    EXPECT_EQ(engine->statementsExecuted(), 4);
    // The failed statement did not run.
    EXPECT_EQ(rowsOf(*engine, QStringLiteral("select A from T order by A")).toStdString(), "1\n3");

    engine->loseConnectionAt(2);
    EXPECT_EQ(run(QStringLiteral("insert into T values (4)")).toStdString(), "ok");
    EXPECT_EQ(run(QStringLiteral("insert into T values (5)")).toStdString(),
              "ORA-03113: end-of-file on communication channel");
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(run(QStringLiteral("select A from T")).toStdString(),
              "ORA-03113: end-of-file on communication channel");
    EmbeddedEngine::restoreConnection(dir.filePath(QStringLiteral("h.db")));
    EXPECT_EQ(run(QStringLiteral("insert into T values (6)")).toStdString(), "ok");
    EXPECT_EQ(rowsOf(*connection.CurrentBackend(), QStringLiteral("select A from T order by A"))
                  .toStdString(),
              "1\n3\n4\n6");
}

} // namespace
