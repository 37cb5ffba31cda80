// Oracle's value rules in the embedded engine: what a column stores or refuses,
// functions, NULL ordering and comparisons, each case beside Oracle's answer.

#include "platform/database/Database.h"
#include "platform/database/embedded/EmbeddedEngine.h"
#include "platform/database/embedded/Engine.h"
#include "platform/database/embedded/Tokenizer.h"
#include "platform/database/embedded/Translator.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace platform::db;
using platform::db::embedded::EmbeddedEngine;

namespace {

class EngineValues : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        connection.Params = {QStringLiteral("DriverID=Embedded"),
                             QStringLiteral("Database=") + dir.filePath(QStringLiteral("v.db"))};
        connection.Execute(
            QStringLiteral("create table T (N3 NUMBER(3,0), N52 NUMBER(5,2), N NUMBER, I INTEGER, "
                           "B VARCHAR2(3 BYTE), C VARCHAR2(3 CHAR), F CHAR(3), D DATE, "
                           "M VARCHAR2(5) not null)"));
    }

    // The single value of a one-row, one-column query.
    QVariant value(const QString &sql) {
        const ResultSet r = connection.Execute(sql);
        EXPECT_EQ(r.rows.size(), 1u) << sql.toStdString();
        return r.rows.empty() ? QVariant() : r.rows[0][0];
    }

    // What Oracle answers to an insert: "ok" or the error text.
    QString insert(const QString &columns, const QString &values) {
        try {
            connection.Execute(
                QStringLiteral("insert into T (%1, M) values (%2, 'm')").arg(columns, values));
            return QStringLiteral("ok");
        } catch (const platform::DatabaseError &e) {
            return e.Message();
        }
    }

    QTemporaryDir dir;
    Connection connection;
};

TEST_F(EngineValues, ColumnsStoreOrRefuseAsOracle) {
    struct Case {
        const char *column;
        const char *literal;
        const char *answer; // "ok" or the error
        QVariant stored;    // when ok
    };
    const QString tooLong = QStringLiteral(
        "ORA-12899: value too large for column \"TALVERO\".\"T\".\"%1\" (actual: %2, maximum: 3)");
    const Case cases[] = {
        {"N3", "000", "ok", QVariant(qlonglong(0))},
        {"N3", "2.5", "ok", QVariant(qlonglong(3))},
        {"N3", "-2.5", "ok", QVariant(qlonglong(-3))},
        {"N3", "999", "ok", QVariant(qlonglong(999))},
        {"N3",
         "999.5",
         "ORA-01438: value larger than specified precision allowed for this column",
         {}},
        {"N3",
         "1000",
         "ORA-01438: value larger than specified precision allowed for this column",
         {}},
        {"N3", "'12'", "ok", QVariant(qlonglong(12))},
        {"N3", "' 7 '", "ok", QVariant(qlonglong(7))},
        {"N3", "'1x'", "ORA-01722: invalid number", {}},
        {"N52", "1.005", "ok", QVariant(1.01)},
        {"N52", "2.675", "ok", QVariant(2.68)},
        {"N52", "999.994", "ok", QVariant(999.99)},
        {"N52",
         "999.995",
         "ORA-01438: value larger than specified precision allowed for this column",
         {}},
        {"N", "1.23456789", "ok", QVariant(1.23456789)},
        {"I", "7.5", "ok", QVariant(qlonglong(8))},
        {"B", "'Não'", "ok", QVariant(QStringLiteral("Não"))},
        {"B", "'Nãoo'", nullptr, {}},
        {"B", "12", "ok", QVariant(QStringLiteral("12"))},
        {"B", "0.5", "ok", QVariant(QStringLiteral(".5"))},
        {"C", "'ããã'", "ok", QVariant(QStringLiteral("ããã"))},
        {"F", "'a'", "ok", QVariant(QStringLiteral("a  "))},
        {"D", "'29/02/24'", "ok", QVariant(QDateTime(QDate(2024, 2, 29), QTime(0, 0)))},
        {"D", "'01/01/49'", "ok", QVariant(QDateTime(QDate(2049, 1, 1), QTime(0, 0)))},
        {"D", "'01/01/50'", "ok", QVariant(QDateTime(QDate(1950, 1, 1), QTime(0, 0)))},
        {"D", "'1/2/2003'", "ok", QVariant(QDateTime(QDate(2003, 2, 1), QTime(0, 0)))},
        {"D", "'29/02/23'", "ORA-01839: date not valid for month specified", {}},
        {"D", "'01/13/20'", "ORA-01843: not a valid month", {}},
        {"D", "'32/01/20'", "ORA-01847: day of month must be between 1 and last day of month", {}},
        {"D", "'2020-01-01'", "ORA-01843: not a valid month", {}},
        {"D",
         "'ab/01/20'",
         "ORA-01858: a non-numeric character was found where a numeric was expected",
         {}},
        {"D", "5", "ORA-00932: inconsistent datatypes: expected DATE got NUMBER", {}},
        {"D", "to_date('31/12/2030 23:59:58', 'DD/MM/YYYY HH24:MI:SS')", "ok",
         QVariant(QDateTime(QDate(2030, 12, 31), QTime(23, 59, 58)))},
    };
    int row = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.column) + " <- " + c.literal);
        const QString column = QString::fromLatin1(c.column);
        const QString literal = QString::fromUtf8(c.literal);
        const QString expected =
            c.answer ? QString::fromLatin1(c.answer) : tooLong.arg(column).arg(4);
        ASSERT_EQ(insert(column, literal).toStdString(), expected.toStdString());
        if (expected != QLatin1String("ok"))
            continue;
        ++row;
        const QVariant stored = value(QStringLiteral("select %1 from T").arg(column));
        EXPECT_EQ(stored, c.stored);
        connection.Execute(QStringLiteral("delete from T"));
    }
    EXPECT_EQ(row, 21);
}

TEST_F(EngineValues, CharacterSetDecidesByteLength) {
    // The same text in a single-byte and in a UTF-8 database.
    QTemporaryDir other;
    const QString utf8File = other.filePath(QStringLiteral("u.db"));
    EmbeddedEngine::createDatabase(utf8File, {QStringLiteral("AL32UTF8"), QStringLiteral("FRUTA")});
    EmbeddedEngine utf8(utf8File);
    utf8.open();
    EXPECT_EQ(utf8.characterSet().toStdString(), "AL32UTF8");
    utf8.execute(QStringLiteral("create table T (B VARCHAR2(4 BYTE), C VARCHAR2(3 CHAR))"));
    utf8.execute(QStringLiteral("insert into T (B, C) values ('Não', 'ããã')"));
    try {
        utf8.execute(QStringLiteral("insert into T (B) values ('Nãoo')"));
        FAIL() << "5 bytes went into 4";
    } catch (const platform::DatabaseError &e) {
        EXPECT_EQ(
            e.Message().toStdString(),
            "ORA-12899: value too large for column \"FRUTA\".\"T\".\"B\" (actual: 5, maximum: 4)");
    }
    const ResultSet lengths = utf8.execute(QStringLiteral(
        "select COLUMN_NAME, DATA_LENGTH, CHAR_LENGTH from USER_TAB_COLUMNS order by COLUMN_ID"));
    ASSERT_EQ(lengths.rows.size(), 2u);
    EXPECT_EQ(lengths.rows[1][1].toLongLong(), 12); // 3 characters of up to 4 bytes
    EXPECT_EQ(insert(QStringLiteral("B"), QStringLiteral("'Não'")).toStdString(), "ok");
}

TEST_F(EngineValues, ExpressionsAndFunctions) {
    connection.Execute(
        QStringLiteral("insert into T (N3, B, D, M) values (1, 'abc', '15/03/01', 'm')"));
    struct Case {
        const char *expression;
        QVariant expected;
    };
    const Case cases[] = {
        {"7/2", QVariant(3.5)},
        {"6/2", QVariant(qlonglong(3))},
        {"'a' || NULL || 'b'", QVariant(QStringLiteral("ab"))},
        {"NULL || NULL", QVariant()},
        {"B || N3", QVariant(QStringLiteral("abc1"))},
        {"upper('ação')", QVariant(QStringLiteral("AÇÃO"))},
        {"lower('ÁGUA')", QVariant(QStringLiteral("água"))},
        {"nvl(N52, 5)", QVariant(qlonglong(5))},
        {"nvl('', 'vazio')", QVariant(QStringLiteral("vazio"))},
        {"substr('abcdefghijklmnop',1,12.2)", QVariant(QStringLiteral("abcdefghijkl"))},
        {"substr('abcdef',-2)", QVariant(QStringLiteral("ef"))},
        {"substr('abcdef',0,2)", QVariant(QStringLiteral("ab"))},
        {"length('Não')", QVariant(qlonglong(3))},
        {"to_char(D, 'DD/MM/YYYY')", QVariant(QStringLiteral("15/03/2001"))},
        {"to_char(D, 'YYYY-MM-DD HH24:MI:SS')", QVariant(QStringLiteral("2001-03-15 00:00:00"))},
        {"to_char(D)", QVariant(QStringLiteral("15/03/01"))},
        {"to_char(1.50)", QVariant(QStringLiteral("1.5"))},
        {"to_char(-0.25)", QVariant(QStringLiteral("-.25"))},
        {"to_date('2001-03-15', 'YYYY-MM-DD')",
         QVariant(QDateTime(QDate(2001, 3, 15), QTime(0, 0)))},
        {"round(2.5)", QVariant(qlonglong(3))},
        {"round(-2.5)", QVariant(qlonglong(-3))},
        {"round(1.2345, 2)", QVariant(1.23)},
        {"trunc(1.99)", QVariant(qlonglong(1))},
        {"trunc(-1.99, 1)", QVariant(-1.9)},
        {"abs(-4)", QVariant(qlonglong(4))},
        {"decode(N3, 1, 'um', 'outro')", QVariant(QStringLiteral("um"))},
        {"count(*)", QVariant(qlonglong(1))},
        {"max(D)", QVariant(QDateTime(QDate(2001, 3, 15), QTime(0, 0)))},
        {"sum(N3) + 1", QVariant(qlonglong(2))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(value(QStringLiteral("select %1 from T").arg(QString::fromUtf8(c.expression))),
                  c.expected);
    }
    // to_date with a format the text does not follow.
    EXPECT_THROW(value(QStringLiteral("select to_date('2001-13-01', 'YYYY-MM-DD') from dual")),
                 platform::DatabaseError);
}

TEST_F(EngineValues, ComparisonsAndOrderingFollowOracle) {
    connection.Execute(
        QStringLiteral("INSERT ALL INTO T (N3, B, D, M) VALUES (1, 'abc', '31/12/99', 'm') "
                       "INTO T (N3, B, D, M) VALUES (2, 'Abc', '01/01/01', 'm') "
                       "INTO T (N3, B, D, M) VALUES (3, NULL, '31/12/30', 'm') "
                       "INTO T (N3, B, D, M) VALUES (4, '', '01/01/31', 'm') SELECT * FROM dual"));
    struct Case {
        const char *query;
        const char *keys; // N3 of the rows, in order
    };
    const Case cases[] = {
        {"select N3 from T where B like 'a%' order by N3", "1"},
        {"select N3 from T where B like 'A%' order by N3", "2"},
        {"select N3 from T where upper(B) like 'A%' order by N3", "1,2"},
        {"select N3 from T order by B", "2,1,3,4"},
        {"select N3 from T order by B desc, N3", "3,4,1,2"},
        {"select N3 from T order by B nulls first, N3", "3,4,2,1"},
        {"select N3 from T where B is null order by N3", "3,4"},
        {"select N3 from T where B = '' order by N3", ""},
        {"select N3 from T where D between '01/01/01' and '31/12/30' order by D", "2,3"},
        {"select N3 from T where D > '31/12/30' order by N3", "4"},
        {"select N3 from T where '01/01/01' = D", "2"},
        {"select N3 from T where D < to_date('01/01/2000', 'DD/MM/YYYY')", "1"},
        {"select N3 from T where N3 = '2'", "2"},
        {"select N3 from T where N3 in (select N3 from T where N3 > 2) order by 1 desc", "4,3"},
        {"select N3 from T where N3 > 1 minus select N3 from T where N3 > 3", "2,3"},
        {"select N3 from T a where exists (select 1 from T b where b.N3 = a.N3 + 1) order by a.N3",
         "1,2,3"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.query);
        QStringList keys;
        for (const auto &row : connection.Execute(QString::fromUtf8(c.query)).rows)
            keys << row[0].toString();
        EXPECT_EQ(keys.join(QLatin1Char(',')).toStdString(), c.keys);
    }
}

TEST_F(EngineValues, ResultColumnsAreNamedAsOracleNamesThem) {
    connection.Execute(QStringLiteral("create table CFG (VER_DAD VARCHAR2(20))"));
    connection.Execute(QStringLiteral("insert into CFG values ('abc')"));
    struct Case {
        const char *query;
        const char *columns;
    };
    const Case cases[] = {
        {"select VER_DAD as VER_DAD_ATU from CFG", "VER_DAD_ATU"},
        {"select ver_dad from cfg", "VER_DAD"},
        {"select c.ver_dad x, c.VER_DAD \"Mixed\" from CFG c", "X,Mixed"},
        {"select max(VER_DAD) as VER_DAD from CFG", "VER_DAD"},
        {"select count(*) from CFG", "COUNT(*)"},
        {"select max(ver_dad), nvl(ver_dad, 'x') from CFG group by ver_dad",
         "MAX(VER_DAD),NVL(VER_DAD,'X')"},
        {"select * from CFG", "VER_DAD"},
        {"select sysdate from dual", "SYSDATE"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.query);
        EXPECT_EQ(connection.Execute(QString::fromUtf8(c.query))
                      .columns.join(QLatin1Char(','))
                      .toStdString(),
                  c.columns);
    }
}

// A query repeated with other literals reuses its translation; it must still
// answer exactly as a connection that never saw the first one: every value its
// own, dates read in the session format (bad ones refused), '' still NULL, names
// and ORDER BY positions taken from the literals themselves, and a column that
// became a DATE compared as one.
TEST_F(EngineValues, RepeatedQueryShapesAnswerAsFreshOnes) {
    connection.Execute(QStringLiteral(
        "INSERT ALL INTO T (N3, B, D, M) VALUES (1, 'abc', '01/02/03', 'm') "
        "INTO T (N3, B, D, M) VALUES (2, 'xyz', '05/06/07', 'm') "
        "INTO T (N3, B, D, M) VALUES (3, NULL, '05/06/07', 'm') SELECT * FROM dual"));
    connection.Execute(QStringLiteral("create table T2 (K NUMBER(3), X VARCHAR2(8))"));
    auto answer = [](Connection &c, const QString &sql) {
        try {
            const ResultSet r = c.Execute(sql);
            QStringList rows{r.columns.join(QLatin1Char(','))};
            for (const auto &row : r.rows) {
                QStringList cells;
                for (const QVariant &v : row)
                    cells << (v.isNull() ? QStringLiteral("<null>")
                              : v.typeId() == QMetaType::QDateTime
                                  ? v.toDateTime().toString(Qt::ISODate)
                                  : v.toString());
                rows << cells.join(QLatin1Char('|'));
            }
            return rows.join(QLatin1Char(';')).toStdString();
        } catch (const platform::DatabaseError &e) {
            return e.Message().toStdString();
        }
    };
    struct Case {
        const char *first; // run first, on the same connection
        const char *then;
    };
    const Case cases[] = {
        {"select B from T where N3 = 1", "select B from T where N3 = 2"},
        {"select N3 from T where D = '01/02/03' order by N3",
         "select N3 from T where D = '05/06/07' order by N3"},
        {"select N3 from T where D between '01/01/01' and '31/12/03'",
         "select N3 from T where D between '01/01/07' and '31/12/07' order by N3"},
        {"select N3 from T where D = '01/02/03'", "select N3 from T where D = '31/02/03'"},
        {"select N3 from T where D = DATE '2003-02-01'",
         "select N3 from T where D = DATE '2007-06-05' order by N3"},
        {"select N3 from T where B = 'abc'", "select N3 from T where B = ''"},
        {"select N3 from T where nvl(B, 'abc') = 'abc' order by N3",
         "select N3 from T where nvl(B, 'q') = 'xyz'"},
        {"select substr(B, 1, 2) as S from T where N3 = 1",
         "select substr(B, 1, 2.9) as S from T where N3 = 1"},
        {"select 'a' from dual", "select 'b' from dual"},
        {"select 1 + 1 from dual", "select 2 + 2 from dual"},
        {"select N3, B from T where N3 < 3 order by 1",
         "select N3, B from T where N3 < 3 order by 2 desc"},
    };
    Connection fresh;
    fresh.Params = connection.Params;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.then);
        answer(connection, QString::fromUtf8(c.first));
        EXPECT_EQ(answer(connection, QString::fromUtf8(c.then)),
                  answer(fresh, QString::fromUtf8(c.then)));
    }

    // The expected answers themselves, so that both connections cannot be wrong
    // together.
    EXPECT_EQ(
        answer(connection, QStringLiteral("select N3 from T where D = '05/06/07' order by N3")),
        "N3;2;3");
    EXPECT_EQ(answer(connection, QStringLiteral("select N3 from T where D = '31/02/03'")),
              answer(fresh, QStringLiteral("select N3 from T where D = '31/02/03'")));
    EXPECT_NE(answer(connection, QStringLiteral("select N3 from T where D = '31/02/03'"))
                  .rfind("ORA-", 0),
              std::string::npos);
    EXPECT_EQ(answer(connection, QStringLiteral("select 'b' from dual")), "'B';b");
    EXPECT_EQ(
        answer(connection, QStringLiteral("select N3, B from T where N3 < 3 order by 2 desc")),
        "N3,B;2|xyz;1|abc");

    // Inserts of one shape: each row its own values, the defaults of the columns
    // left out, and each value checked against its own column.
    connection.Execute(QStringLiteral(
        "create table T3 (K NUMBER(3) not null, X VARCHAR2(3), Y VARCHAR2(5) default 'dflt', "
        "Z NUMBER(2) default 7)"));
    struct Insert {
        const char *values;
        const char *answer; // "" when it is stored
    };
    const Insert inserts[] = {
        {"1, 'ab'", ""},
        {"2, 'abcd'",
         "ORA-12899: value too large for column \"TALVERO\".\"T3\".\"X\" (actual: 4, maximum: 3)"},
        {"3, ''", ""},
        {"null, 'c'", "ORA-01400: cannot insert NULL into (\"TALVERO\".\"T3\".\"K\")"},
        {"1000, 'd'", "ORA-01438: value larger than specified precision allowed for this column"},
        {"5, 'e'", ""},
    };
    for (const Insert &i : inserts) {
        SCOPED_TRACE(i.values);
        EXPECT_EQ(
            answer(connection, QStringLiteral("insert into T3 (K, X) values (%1)").arg(i.values)),
            std::string(i.answer));
    }
    EXPECT_EQ(answer(connection, QStringLiteral("select K, X, Y, Z from T3 order by K")),
              "K,X,Y,Z;1|ab|dflt|7;3|<null>|dflt|7;5|e|dflt|7");

    // The same text before and after its column turns into a DATE.
    const QString onX = QStringLiteral("select K from T2 where X = '01/02/03'");
    connection.Execute(QStringLiteral("insert into T2 values (1, '01/02/03')"));
    EXPECT_EQ(answer(connection, onX), "K;1");
    connection.Execute(QStringLiteral("delete from T2"));
    connection.Execute(QStringLiteral("alter table T2 modify X DATE"));
    connection.Execute(QStringLiteral("insert into T2 values (2, '01/02/03')"));
    EXPECT_EQ(answer(connection, onX), "K;2");
    EXPECT_EQ(answer(connection, QStringLiteral("select K from T2 where X = '01/02/2003'")),
              answer(fresh, QStringLiteral("select K from T2 where X = '01/02/2003'")));
}

// Statements cut short or carrying a NUL are refused with Oracle's errors, never
// read past their end nor passed on to SQLite half-read.
TEST_F(EngineValues, TruncatedAndNulStatementsAreRefused) {
    const QString missingSelect = QStringLiteral("ORA-00928: missing SELECT keyword");
    const QString invalidCharacter = QStringLiteral("ORA-00911: invalid character");
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("select 1 from dual union"), missingSelect},
        {QStringLiteral("select 1 from dual union all"), missingSelect},
        {QStringLiteral("select 1 from dual minus"), missingSelect},
        {QStringLiteral("select N3 from T intersect"), missingSelect},
        {QStringLiteral("select 'a") + QChar(0) + QStringLiteral("b' from dual"), invalidCharacter},
        {QStringLiteral("create table \"A") + QChar(0) + QStringLiteral("B\" (X NUMBER)"),
         invalidCharacter},
        {QStringLiteral("insert into T (N3, M) values (1, 'm')") + QChar(0) +
             QStringLiteral("; drop table T"),
         invalidCharacter},
    };
    for (const auto &[sql, error] : cases) {
        SCOPED_TRACE(sql.toStdString());
        try {
            connection.Execute(sql);
            ADD_FAILURE() << "accepted";
        } catch (const platform::DatabaseError &e) {
            EXPECT_EQ(e.Message(), error);
        }
    }
    EXPECT_EQ(value(QStringLiteral("select count(*) from T")).toLongLong(), 0);
}

// A translator that starts after others in the same statement (a column
// default inside an insert) numbers its parameters after theirs; a date literal
// in it is converted in its own parameter, not someone else's.
TEST_F(EngineValues, LaterTranslatorsConvertTheirOwnDateLiterals) {
    using namespace platform::db::embedded;
    Engine engine(dir.filePath(QStringLiteral("t.db")), QStringLiteral("WE8MSWIN1252"),
                  QStringLiteral("TALVERO"));
    engine.execute(QStringLiteral("create table ROM (NUM NUMBER(5), ENT_DTA DATE)"));
    const Tokens first = tokenize(QStringLiteral("select NUM from ROM where NUM = 1"));
    Translator(engine, first).query(0, int(first.size()));
    // "from ROM" only tells the translator where ENT_DTA comes from.
    const Tokens good = tokenize(QStringLiteral("ENT_DTA > '01/02/03' from ROM"));
    Translator second(engine, good);
    EXPECT_EQ(second.expression(0, 3), QStringLiteral("\"ENT_DTA\" > ?2"));
    EXPECT_FALSE(second.reusable());
    const Tokens bad = tokenize(QStringLiteral("ENT_DTA > 'x' from ROM"));
    Translator third(engine, bad);
    try {
        third.expression(0, 3);
        ADD_FAILURE() << "'x' read as a date";
    } catch (const platform::DatabaseError &e) {
        EXPECT_TRUE(e.Message().startsWith(QLatin1String("ORA-018"))) << e.Message().toStdString();
    }
}

} // namespace
