// Data-dictionary checks and DDL primitives against the embedded engine: each one
// issues exactly its statement on its query component and has Oracle's effect.

#include "platform/Exception.h"
#include "tests/support/TestDatabase.h"
#include "update/Mnt_Primitivas.h"

#include <functional>
#include <gtest/gtest.h>

using testsupport::TestDatabase;

namespace {

class Primitivas : public ::testing::Test {
protected:
    TestDatabase db;
    TMnt_Primitivas p{&db.Dm()};
};

struct StatementCase {
    const char *name;
    std::function<void(TMnt_Primitivas &)> call;
    QStringList statements;
    bool onAtualiza; // last statement went through fdqry_Atualiza (else fdqry_Funcao)
};

TEST_F(Primitivas, IssueExactlyTheirStatementsOnTheirQueryComponent) {
    db.Exec(QStringLiteral("create table T_A (COD NUMBER(3,0) NOT NULL, NME VARCHAR2(10))"));
    db.Exec(QStringLiteral("create sequence S_A increment by 1 start with 1 nocache order"));
    const std::vector<StatementCase> cases = {
        {"Existe_Tabela",
         [](auto &m) { m.Existe_Tabela(QStringLiteral("O'BRIEN")); },
         {QStringLiteral("select TABLE_NAME from USER_TABLES where TABLE_NAME = 'O''BRIEN'")},
         false},
        {"Existe_Campo",
         [](auto &m) { m.Existe_Campo(QStringLiteral("T_A"), QStringLiteral("X")); },
         {QStringLiteral("select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = 'T_A'")},
         false},
        {"Existe_Constraint",
         [](auto &m) { m.Existe_Constraint(QStringLiteral("T_A")); },
         {QStringLiteral("select CONSTRAINT_NAME from USER_CONSTRAINTS where TABLE_NAME = 'T_A'")},
         false},
        {"Existe_Indice",
         [](auto &m) { m.Existe_Indice(QStringLiteral("T_A")); },
         {QStringLiteral("select INDEX_NAME from USER_INDEXES where TABLE_NAME = 'T_A'")},
         false},
        {"Existe_Sequencia",
         [](auto &m) { m.Existe_Sequencia(QStringLiteral("S_A")); },
         {QStringLiteral("select SEQUENCE_NAME from USER_SEQUENCES where SEQUENCE_NAME = 'S_A'")},
         false},
        {"Cria_Chave_Primaria",
         [](auto &m) { m.Cria_Chave_Primaria(QStringLiteral("T_A"), QStringLiteral("COD")); },
         {QStringLiteral("alter table T_A add constraint T_A_PK  primary key (COD)")},
         false},
        {"Exclui_Chave_Primaria",
         [](auto &m) { m.Exclui_Chave_Primaria(QStringLiteral("T_A")); },
         {QStringLiteral("alter table T_A drop constraint T_A_PK "),
          QStringLiteral("select INDEX_NAME from USER_INDEXES where TABLE_NAME = 'T_A'")},
         false},
        {"Renomeia_Campo",
         [](auto &m) {
             m.Renomeia_Campo(QStringLiteral("T_A"), QStringLiteral("NME"), QStringLiteral("DES"));
         },
         {QStringLiteral("alter table T_A rename column NME to DES")},
         false},
        {"Exclui_Campo",
         [](auto &m) { m.Exclui_Campo(QStringLiteral("T_A"), QStringLiteral("DES")); },
         {QStringLiteral("alter table T_A drop column DES")},
         false},
        {"Renomeia_Tabela",
         [](auto &m) { m.Renomeia_Tabela(QStringLiteral("T_A"), QStringLiteral("T_B")); },
         {QStringLiteral("rename T_A to T_B")},
         false},
        {"Renomeia_Sequencia",
         [](auto &m) { m.Renomeia_Sequencia(QStringLiteral("S_A"), QStringLiteral("S_B")); },
         {QStringLiteral("rename S_A to S_B")},
         false},
        {"Exclui_Sequencia",
         [](auto &m) { m.Exclui_Sequencia(QStringLiteral("S_B")); },
         {QStringLiteral("drop sequence S_B")},
         false},
        {"Exclui_Tabela",
         [](auto &m) { m.Exclui_Tabela(QStringLiteral("T_B")); },
         {QStringLiteral("drop table T_B purge")},
         false},
        {"Cria_Tabela",
         [](auto &m) {
             m.Cria_Tabela(QStringLiteral("T_C"),
                           QStringLiteral("\"COD\" NUMBER(3,0), \"NME\" VARCHAR2(45 BYTE)"));
         },
         {QStringLiteral("create table T_C (\"COD\" NUMBER(3,0), \"NME\" VARCHAR2(45 BYTE))")},
         false},
        {"Executa_Sql",
         [](auto &m) { m.Executa_Sql(QStringLiteral("insert into T_C (COD) values (1)")); },
         {QStringLiteral("insert into T_C (COD) values (1)")},
         true},
    };
    for (const StatementCase &c : cases) {
        SCOPED_TRACE(c.name);
        db.ClearLog();
        c.call(p);
        EXPECT_EQ(db.Log(), c.statements);
        const auto &q = c.onAtualiza ? db.Dm().fdqry_Atualiza : db.Dm().fdqry_Funcao;
        EXPECT_EQ(q->SQL.Text(), c.statements.last());
    }
}

TEST_F(Primitivas, LookUpsCompareExactlyAndFindOnlyWhatExists) {
    db.Exec(QStringLiteral("create table ONLY_NN (COD NUMBER(3,0) NOT NULL)"));
    db.Exec(QStringLiteral("create table NO_CONS (COD NUMBER(3,0))"));
    db.Exec(QStringLiteral("create sequence SEQ_X increment by 1 start with 5 nocache order"));

    EXPECT_TRUE(p.Existe_Tabela(QStringLiteral("CFG")));
    EXPECT_FALSE(p.Existe_Tabela(QStringLiteral("cfg")));
    EXPECT_FALSE(p.Existe_Tabela(QStringLiteral("NOPE")));

    EXPECT_TRUE(p.Existe_Campo(QStringLiteral("ROM"), QStringLiteral("PSO_BRU")));
    EXPECT_FALSE(p.Existe_Campo(QStringLiteral("ROM"), QStringLiteral("pso_bru")));
    EXPECT_FALSE(p.Existe_Campo(QStringLiteral("rom"), QStringLiteral("PSO_BRU")));
    EXPECT_FALSE(p.Existe_Campo(QStringLiteral("NOPE"), QStringLiteral("COD")));

    // A NOT NULL column is a constraint of its own in the dictionary.
    EXPECT_TRUE(p.Existe_Constraint(QStringLiteral("ONLY_NN")));
    EXPECT_FALSE(p.Existe_Constraint(QStringLiteral("NO_CONS")));
    EXPECT_TRUE(p.Existe_Constraint(QStringLiteral("CFG")));

    EXPECT_TRUE(p.Existe_Indice(QStringLiteral("ROM_BXA")));
    EXPECT_FALSE(p.Existe_Indice(QStringLiteral("NO_CONS")));

    EXPECT_TRUE(p.Existe_Sequencia(QStringLiteral("SEQ_X")));
    EXPECT_FALSE(p.Existe_Sequencia(QStringLiteral("seq_x")));
}

TEST_F(Primitivas, PrimaryKeyIsNamedAfterTheTableAndDroppedWithItsIndex) {
    p.Cria_Tabela(QStringLiteral("CST_IBS_CBS"),
                  QStringLiteral("\"COD\" NUMBER(3,0), \"NME\" VARCHAR2(45 BYTE)"));
    p.Cria_Chave_Primaria(QStringLiteral("CST_IBS_CBS"), QStringLiteral("COD"));
    EXPECT_EQ(db.Rows(QStringLiteral("select CONSTRAINT_NAME, CONSTRAINT_TYPE from "
                                     "USER_CONSTRAINTS where TABLE_NAME = 'CST_IBS_CBS'")),
              QStringList{QStringLiteral("CST_IBS_CBS_PK|P")});
    EXPECT_EQ(
        db.Rows(QStringLiteral(
            "select INDEX_NAME, UNIQUENESS from USER_INDEXES where TABLE_NAME = 'CST_IBS_CBS'")),
        QStringList{QStringLiteral("CST_IBS_CBS_PK|UNIQUE")});
    db.Exec(QStringLiteral("insert into CST_IBS_CBS (COD) values (1)"));
    try {
        db.Exec(QStringLiteral("insert into CST_IBS_CBS (COD) values (1)"));
        ADD_FAILURE() << "duplicate key accepted";
    } catch (const platform::DatabaseError &e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("ORA-00001: unique constraint (TALVERO.CST_IBS_CBS_PK) violated"));
    }

    // No other index: one DDL statement and the look-up, nothing else.
    db.ClearLog();
    p.Exclui_Chave_Primaria(QStringLiteral("CST_IBS_CBS"));
    EXPECT_EQ(db.Log().size(), 2);
    EXPECT_FALSE(p.Existe_Constraint(QStringLiteral("CST_IBS_CBS")));
    EXPECT_FALSE(p.Existe_Indice(QStringLiteral("CST_IBS_CBS")));
}

TEST_F(Primitivas, DroppingTheKeyKeepsTheTablesOtherIndexes) {
    // ROM_BXA has its key and a secondary index on ROM_NUM: the key goes, the
    // secondary index stays, and no "drop index" of a missing index is attempted.
    db.ClearLog();
    p.Exclui_Chave_Primaria(QStringLiteral("ROM_BXA"));
    for (const QString &s : db.Log())
        EXPECT_FALSE(s.startsWith(QLatin1String("drop index"))) << s.toStdString();
    EXPECT_EQ(db.Rows(QStringLiteral("select INDEX_NAME from USER_INDEXES where TABLE_NAME = "
                                     "'ROM_BXA' order by INDEX_NAME")),
              QStringList{QStringLiteral("ROM_BXA_ROM_NUM")});
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from USER_CONSTRAINTS where "
                                       "CONSTRAINT_NAME = 'ROM_BXA_PK'")),
              QStringLiteral("0"));
}

TEST_F(Primitivas, DdlFailuresReachTheCallerWithOraclesText) {
    struct Case {
        const char *name;
        std::function<void(TMnt_Primitivas &)> call;
        const char *message;
    };
    const std::vector<Case> cases = {
        {"drop missing table", [](auto &m) { m.Exclui_Tabela(QStringLiteral("NOPE")); },
         "ORA-00942: table or view does not exist"},
        {"create existing table",
         [](auto &m) { m.Cria_Tabela(QStringLiteral("CFG"), QStringLiteral("X NUMBER")); },
         "ORA-00955: name is already used by an existing object"},
        {"drop missing key", [](auto &m) { m.Exclui_Chave_Primaria(QStringLiteral("TEL_X")); },
         "ORA-00942: table or view does not exist"},
        {"drop key of a table without one",
         [](auto &m) {
             m.Cria_Tabela(QStringLiteral("NK"), QStringLiteral("COD NUMBER"));
             m.Exclui_Chave_Primaria(QStringLiteral("NK"));
         },
         "ORA-02443: Cannot drop constraint  - nonexistent constraint"},
        {"second key",
         [](auto &m) { m.Cria_Chave_Primaria(QStringLiteral("FIL"), QStringLiteral("NME")); },
         "ORA-02260: table can have only one primary key"},
        {"drop missing sequence", [](auto &m) { m.Exclui_Sequencia(QStringLiteral("NOPE")); },
         "ORA-02289: sequence does not exist"},
        {"rename missing column",
         [](auto &m) {
             m.Renomeia_Campo(QStringLiteral("FIL"), QStringLiteral("NOPE"), QStringLiteral("X"));
         },
         "ORA-00904: \"NOPE\": invalid identifier"},
        {"apostrophe goes into DDL unchanged",
         [](auto &m) { m.Exclui_Tabela(QStringLiteral("O'BRIEN")); }, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.call(p);
            ADD_FAILURE() << "no failure";
        } catch (const platform::DatabaseError &e) {
            if (c.message) {
                EXPECT_EQ(e.Message(), QString::fromUtf8(c.message));
            }
        }
    }
    EXPECT_EQ(db.Log().last(), QStringLiteral("drop table O'BRIEN purge"));
}

TEST_F(Primitivas, RenamesAndDropsTakeEffect) {
    db.Exec(QStringLiteral("create sequence SEQ_A increment by 1 start with 7 nocache order"));
    p.Renomeia_Sequencia(QStringLiteral("SEQ_A"), QStringLiteral("SEQ_B"));
    EXPECT_FALSE(p.Existe_Sequencia(QStringLiteral("SEQ_A")));
    EXPECT_TRUE(p.Existe_Sequencia(QStringLiteral("SEQ_B")));
    EXPECT_EQ(db.Scalar(QStringLiteral("select SEQ_B.nextval from DUAL")), QStringLiteral("7"));

    db.Exec(QStringLiteral("insert into FIL (COD, NME) values (1, 'Servidor')"));
    p.Renomeia_Tabela(QStringLiteral("FIL"), QStringLiteral("FIL_OLD"));
    EXPECT_FALSE(p.Existe_Tabela(QStringLiteral("FIL")));
    EXPECT_EQ(db.Scalar(QStringLiteral("select NME from FIL_OLD where COD = 1")),
              QStringLiteral("Servidor"));

    p.Renomeia_Campo(QStringLiteral("FIL_OLD"), QStringLiteral("NME"), QStringLiteral("DES"));
    EXPECT_TRUE(p.Existe_Campo(QStringLiteral("FIL_OLD"), QStringLiteral("DES")));
    EXPECT_EQ(db.Scalar(QStringLiteral("select DES from FIL_OLD where COD = 1")),
              QStringLiteral("Servidor"));
    p.Exclui_Campo(QStringLiteral("FIL_OLD"), QStringLiteral("DES"));
    EXPECT_FALSE(p.Existe_Campo(QStringLiteral("FIL_OLD"), QStringLiteral("DES")));

    p.Exclui_Tabela(QStringLiteral("FIL_OLD"));
    EXPECT_FALSE(p.Existe_Tabela(QStringLiteral("FIL_OLD")));
}

} // namespace
