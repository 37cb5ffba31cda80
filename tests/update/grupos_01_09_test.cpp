// Operation groups 01 to 09 on the embedded engine: each group switched on by a
// test release (tests/update/data/grupos_01_09), the exact statements it issues
// and the query component each one goes through, the schema and data it leaves,
// and how a failure ends up in Erro and Num_Err. Plus this build's own release
// (groups 05 and 09) on the demo schema at version 18.

#include "common/Funcoes_Cifra.h"
#include "tests/support/TestSupport.h"
#include "tests/update/mnt_fixture.h"
#include "update/Gauge.h"
#include "update/Mnt_Componentes.h"

#include <QPushButton>
#include <algorithm>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

using mnttest::MntFixture;

namespace {

const QString Restaurar = QStringLiteral("Restauração da base de dados necessária\r\n"
                                         "Contate o suporte técnico para instruções");

// The text of message 274 after a failed run.
QString Falha(const QString &rotulo, const QString &numErr) {
    return QStringLiteral("Não foi possível realizar esta operação!\r\n\r\n") + rotulo +
           QStringLiteral("\r\n\r\ni = ") + numErr + QStringLiteral("\r\n\r\n") + Restaurar;
}

// Dictionary look-ups as the schema checks write them.
QString Tabela(const QString &t) {
    return QStringLiteral("F| select TABLE_NAME from USER_TABLES where TABLE_NAME = '%1'").arg(t);
}
QString Campos(const QString &t) {
    return QStringLiteral("F| select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = '%1'")
        .arg(t);
}
QString Constraints(const QString &t) {
    return QStringLiteral("F| select CONSTRAINT_NAME from USER_CONSTRAINTS where TABLE_NAME = '%1'")
        .arg(t);
}
QString Indices(const QString &t) {
    return QStringLiteral("F| select INDEX_NAME from USER_INDEXES where TABLE_NAME = '%1'").arg(t);
}
QString Sequencia(const QString &s) {
    return QStringLiteral("F| select SEQUENCE_NAME from USER_SEQUENCES where SEQUENCE_NAME = '%1'")
        .arg(s);
}
// Primary-key removal when the key's index goes with the constraint.
QStringList Sem_Chave(const QString &t) {
    return {Constraints(t), QStringLiteral("F| alter table %1 drop constraint %1_PK ").arg(t),
            Indices(t)};
}
QString Com_Chave(const QString &t, const QString &chaves) {
    return QStringLiteral("F| alter table %1 add constraint %1_PK  primary key (%2)")
        .arg(t, chaves);
}

} // namespace

class Grupos : public MntFixture {
protected:
    void TearDown() override {
        if (observador_ != 0)
            db.Dm().FDConnection->RemoveStatementObserver(observador_);
        MntFixture::TearDown();
    }

    static TRelease Release(const QString &arquivo) {
        return Carrega_Release(
            testsupport::SourcePath(QStringLiteral("tests/update/data/grupos_01_09/") + arquivo));
    }

    // The form on a test release; from here on every statement is recorded with
    // the query component that holds it ("F" fdqry_Funcao, "A" fdqry_Atualiza,
    // "X" fdqry_Auxiliar, "T" fdqry_Temp, nothing when it came from elsewhere).
    Tfrm_Mnt *Abre_Com(const TRelease &release) {
        Tfrm_Mnt *f = Abre(release);
        Tdm &m = db.Dm();
        if (observador_ != 0)
            m.FDConnection->RemoveStatementObserver(observador_);
        observador_ =
            m.FDConnection->AddStatementObserver([this, &m](const platform::db::StatementEvent &e) {
                QString c;
                if (m.fdqry_Funcao->SQL.Text() == e.sql)
                    c += QLatin1Char('F');
                if (m.fdqry_Atualiza->SQL.Text() == e.sql)
                    c += QLatin1Char('A');
                if (m.fdqry_Auxiliar->SQL.Text() == e.sql)
                    c += QLatin1Char('X');
                if (m.fdqry_Temp->SQL.Text() == e.sql)
                    c += QLatin1Char('T');
                comandos << c + QStringLiteral("| ") + e.sql;
            });
        return f;
    }

    // The columns of a table in their order: name, type, length, precision, scale, nullable.
    QStringList Colunas(const QString &t) {
        return db.Rows(QStringLiteral("select COLUMN_NAME, DATA_TYPE, DATA_LENGTH, "
                                      "DATA_PRECISION, DATA_SCALE, NULLABLE from "
                                      "USER_TAB_COLUMNS where TABLE_NAME = '%1' order by "
                                      "COLUMN_ID")
                           .arg(t));
    }
    // The table's constraints with their type and columns.
    QStringList Chaves(const QString &t) {
        return db.Rows(QStringLiteral("select c.CONSTRAINT_NAME, c.CONSTRAINT_TYPE, k.COLUMN_NAME "
                                      "from USER_CONSTRAINTS c, USER_CONS_COLUMNS k where "
                                      "k.CONSTRAINT_NAME = c.CONSTRAINT_NAME and c.TABLE_NAME = "
                                      "'%1' order by k.POSITION")
                           .arg(t));
    }

    QStringList comandos;

private:
    int observador_ = 0;
};

// ---- 01: rename a table ----

// The key is dropped under the old name and rebuilt under the new one, the rows
// stay. Run again, the new table already has its key: the entry fails loudly.
TEST_F(Grupos, G01RenamesTheTableAndMovesItsKey) {
    db.Exec(QStringLiteral("create table ANTIGA (COD NUMBER(5), NME VARCHAR2(10))"));
    db.Exec(QStringLiteral("alter table ANTIGA add constraint ANTIGA_PK primary key (COD)"));
    db.Exec(QStringLiteral("insert into ANTIGA (COD, NME) values (7, 'sete')"));
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo01.json")));

    f->Grupo_01_Renomeia_Tabela();

    QStringList esperado = Sem_Chave(QStringLiteral("ANTIGA"));
    esperado << Tabela(QStringLiteral("ANTIGA")) << QStringLiteral("F| rename ANTIGA to NOVA")
             << Tabela(QStringLiteral("NOVA"))
             << Com_Chave(QStringLiteral("NOVA"), QStringLiteral("COD"))
             // entry 2: nothing left under the old name, the key is in place
             << Constraints(QStringLiteral("ANTIGA")) << Tabela(QStringLiteral("ANTIGA"))
             << Tabela(QStringLiteral("NOVA"))
             << Com_Chave(QStringLiteral("NOVA"), QStringLiteral("COD"));
    EXPECT_EQ(comandos, esperado);
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from USER_TABLES where TABLE_NAME = "
                                       "'ANTIGA'")),
              QStringLiteral("0"));
    EXPECT_EQ(db.Rows(QStringLiteral("select COD, NME from NOVA")),
              QStringList{QStringLiteral("7|sete")});
    EXPECT_EQ(Chaves(QStringLiteral("NOVA")), QStringList{QStringLiteral("NOVA_PK|P|COD")});
    EXPECT_EQ(db.Rows(QStringLiteral("select INDEX_NAME from USER_INDEXES where TABLE_NAME in "
                                     "('NOVA', 'ANTIGA')")),
              QStringList{QStringLiteral("NOVA_PK")});
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err,
              QStringLiteral("2\r\n\r\nORA-02260: table can have only one primary key"));
    EXPECT_EQ(f->gg_Tot->Position(), 1);
    EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("01 - RENOMEIA TABELA"));
}

// ---- 02: rename a sequence ----

TEST_F(Grupos, G02PassesOverAMissingSequence) {
    db.Exec(QStringLiteral("create sequence SEQ_VELHA increment by 1 start with 5 nocache order"));
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo02.json")));

    f->Grupo_02_Renomeia_Sequencia();

    EXPECT_EQ(comandos, (QStringList{Sequencia(QStringLiteral("SEQ_NAO_HA")),
                                     Sequencia(QStringLiteral("SEQ_VELHA")),
                                     QStringLiteral("F| rename SEQ_VELHA to SEQ_NOVA")}));
    EXPECT_EQ(db.Rows(QStringLiteral("select SEQUENCE_NAME from USER_SEQUENCES")),
              QStringList{QStringLiteral("SEQ_NOVA")});
    EXPECT_EQ(db.Scalar(QStringLiteral("select SEQ_NOVA.NEXTVAL from dual")), QStringLiteral("5"));
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(f->Num_Err, QString());
    EXPECT_EQ(f->gg_Tot->Position(), 1);
    EXPECT_EQ(f->gg_Par->Position(), 100);
}

// ---- 03: rename a column, and a failure inside a run ----

// Entry 1 renames a key column (key dropped and rebuilt), entry 2 a plain column;
// entry 3 names a column the table does not have and fails: the run stops there,
// entry 4 and group 09 do not run, the total gauge has advanced all the same.
TEST_F(Grupos, G03RenamesColumnsAndFailsLoudlyOnAMissingOne) {
    db.Exec(QStringLiteral("create table T3 (COD NUMBER(5), NOM VARCHAR2(10))"));
    db.Exec(QStringLiteral("alter table T3 add constraint T3_PK primary key (COD)"));
    db.Exec(QStringLiteral("insert into T3 (COD, NOM) values (1, 'um')"));
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo03.json")));
    int totalAoFim = -1;
    QObject::connect(f, &Tfrm_Mnt::runEnded,
                     [&](bool, const QString &) { totalAoFim = f->gg_Tot->Position(); });

    f->btbtn_Executar->click();

    const QString ora = QStringLiteral("ORA-00904: \"XXX\": invalid identifier");
    QStringList esperado = Sem_Chave(QStringLiteral("T3"));
    esperado << Tabela(QStringLiteral("T3"))
             << QStringLiteral("F| alter table T3 rename column COD to CODIGO")
             << Com_Chave(QStringLiteral("T3"), QStringLiteral("CODIGO"))
             << Tabela(QStringLiteral("T3"))
             << QStringLiteral("F| alter table T3 rename column NOM to NOME")
             << Tabela(QStringLiteral("T3"))
             << QStringLiteral("F| alter table T3 rename column XXX to YYY");
    EXPECT_EQ(comandos, esperado);
    EXPECT_EQ(f->Num_Err, QStringLiteral("3\r\n\r\n") + ora);
    EXPECT_EQ(Textos_Mostrados(), QStringList{Falha(QStringLiteral("03 - RENOMEIA CAMPO"),
                                                    QStringLiteral("3\r\n\r\n") + ora)});
    EXPECT_EQ(totalAoFim, 1);
    EXPECT_EQ(Colunas(QStringLiteral("T3")),
              (QStringList{QStringLiteral("CODIGO|NUMBER|22|5|0|N"),
                           QStringLiteral("NOME|VARCHAR2|10|<null>|<null>|Y")}));
    EXPECT_EQ(Chaves(QStringLiteral("T3")), QStringList{QStringLiteral("T3_PK|P|CODIGO")});
    EXPECT_EQ(db.Rows(QStringLiteral("select CODIGO, NOME from T3")),
              QStringList{QStringLiteral("1|um")});
}

// ---- 04: change a column's type by way of a copy column ----

// A leftover OLD_CAMPO is dropped first. VARCHAR2(10) to (20) keeps the data;
// "Date" gets no size and its values come back as text; a key column loses and
// regains its key; a size 12,2 becomes the length 12.2; "DATE" (not "Date") gets
// the size part and the database refuses it.
TEST_F(Grupos, G04ChangesTypesThroughTheCopyColumn) {
    db.Exec(QStringLiteral("create table T4 (COD VARCHAR2(10), TXT VARCHAR2(10), DT DATE, "
                           "VAL NUMBER(10,2), DT2 DATE, OLD_CAMPO VARCHAR2(5))"));
    db.Exec(QStringLiteral("alter table T4 add constraint T4_PK primary key (COD)"));
    db.Exec(QStringLiteral("insert into T4 (COD, TXT, DT, VAL, OLD_CAMPO) values ('A1', "
                           "'texto um', '25/12/26', 1234.5, 'resto')"));
    db.Exec(QStringLiteral("insert into T4 (COD, TXT) values ('B2', 'dois')"));
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo04.json")));

    f->Grupo_04_Altera_Campo();

    const QString copia = QStringLiteral("F| alter table T4 drop column OLD_CAMPO");
    const QString t4 = QStringLiteral("T4");
    QStringList esperado;
    // 1: VARCHAR2 10 -> 20, with the leftover copy column
    esperado << Campos(t4) << copia
             << QStringLiteral("A| alter table T4 add OLD_CAMPO VARCHAR2 (10)")
             << QStringLiteral("A| update T4 set OLD_CAMPO = TXT")
             << QStringLiteral("A| update T4 set TXT = null")
             << QStringLiteral("A| alter table T4 modify TXT VARCHAR2 (20)")
             << QStringLiteral("A| update T4 set TXT = substr(OLD_CAMPO,1,20)") << Campos(t4)
             << copia;
    // 2: "Date" -> VARCHAR2 8
    esperado << Campos(t4) << QStringLiteral("A| alter table T4 add OLD_CAMPO Date")
             << QStringLiteral("A| update T4 set OLD_CAMPO = DT")
             << QStringLiteral("A| update T4 set DT = null")
             << QStringLiteral("A| alter table T4 modify DT VARCHAR2 (8)")
             << QStringLiteral("A| update T4 set DT = substr(OLD_CAMPO,1,8)") << Campos(t4)
             << copia;
    // 3: the key column
    esperado << Campos(t4) << QStringLiteral("A| alter table T4 add OLD_CAMPO VARCHAR2 (10)")
             << QStringLiteral("A| update T4 set OLD_CAMPO = COD") << Sem_Chave(t4)
             << QStringLiteral("A| update T4 set COD = null")
             << QStringLiteral("A| alter table T4 modify COD VARCHAR2 (15)")
             << QStringLiteral("A| update T4 set COD = substr(OLD_CAMPO,1,15)") << Campos(t4)
             << copia << Com_Chave(t4, QStringLiteral("COD"));
    // 4: a size with a comma
    esperado << Campos(t4) << QStringLiteral("A| alter table T4 add OLD_CAMPO NUMBER (10,2)")
             << QStringLiteral("A| update T4 set OLD_CAMPO = VAL")
             << QStringLiteral("A| update T4 set VAL = null")
             << QStringLiteral("A| alter table T4 modify VAL NUMBER (12,2)")
             << QStringLiteral("A| update T4 set VAL = substr(OLD_CAMPO,1,12.2)") << Campos(t4)
             << copia;
    // 5: "DATE" is not "Date"
    esperado << Campos(t4) << QStringLiteral("A| alter table T4 add OLD_CAMPO DATE (7)");
    EXPECT_EQ(comandos, esperado);

    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("5\r\n\r\nORA-01735: invalid ALTER TABLE option"));
    EXPECT_EQ(f->gg_Par->Position(), 5);
    EXPECT_EQ(Colunas(t4), (QStringList{QStringLiteral("COD|VARCHAR2|15|<null>|<null>|N"),
                                        QStringLiteral("TXT|VARCHAR2|20|<null>|<null>|Y"),
                                        QStringLiteral("DT|VARCHAR2|8|<null>|<null>|Y"),
                                        QStringLiteral("VAL|NUMBER|22|12|2|Y"),
                                        QStringLiteral("DT2|DATE|7|<null>|<null>|Y")}));
    EXPECT_EQ(Chaves(t4), QStringList{QStringLiteral("T4_PK|P|COD")});
    EXPECT_EQ(db.Rows(QStringLiteral("select COD, TXT, DT, VAL from T4 order by COD")),
              (QStringList{QStringLiteral("A1|texto um|25/12/26|1234.5"),
                           QStringLiteral("B2|dois|<null>|<null>")}));
}

// ---- 05: create a table ----

// An existing table of the name is discarded with its rows and its key.
TEST_F(Grupos, G05ReplacesAnExistingTable) {
    db.Exec(QStringLiteral("create table T5 (X VARCHAR2(3), Y NUMBER)"));
    db.Exec(QStringLiteral("alter table T5 add constraint T5_PK primary key (X)"));
    db.Exec(QStringLiteral("insert into T5 (X, Y) values ('a', 1)"));
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo05.json")));

    f->Grupo_05_Cria_Tabela();

    EXPECT_EQ(comandos,
              (QStringList{Tabela(QStringLiteral("T5")), QStringLiteral("F| drop table T5 purge"),
                           QStringLiteral("F| create table T5 (COD NUMBER(3), NOVA VARCHAR2(5))"),
                           Com_Chave(QStringLiteral("T5"), QStringLiteral("COD"))}));
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(Colunas(QStringLiteral("T5")),
              (QStringList{QStringLiteral("COD|NUMBER|22|3|0|N"),
                           QStringLiteral("NOVA|VARCHAR2|5|<null>|<null>|Y")}));
    EXPECT_EQ(Chaves(QStringLiteral("T5")), QStringList{QStringLiteral("T5_PK|P|COD")});
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from T5")), QStringLiteral("0"));
}

// ---- 06: create a sequence ----

// Entry 1: maximum 57 (a null among the values), an older sequence replaced.
// Entry 2: no table: message 248 during the run, Erro set, input free from then
// on, Num_Err empty. Entry 3 still runs: empty table, start 1. Group 09 does not.
TEST_F(Grupos, G06StartsAtTheMaximumAndReportsAMissingTable) {
    db.Exec(QStringLiteral("create table T6 (ID NUMBER(10))"));
    db.Exec(QStringLiteral("insert into T6 (ID) values (3)"));
    db.Exec(QStringLiteral("insert into T6 (ID) values (57)"));
    db.Exec(QStringLiteral("insert into T6 (ID) values (null)"));
    db.Exec(QStringLiteral("create table T6V (ID NUMBER(10))"));
    db.Exec(QStringLiteral("create sequence SEQ_T6 increment by 1 start with 1000 nocache order"));
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo06.json")));
    QList<bool> bloqueado; // input block at each slot of group 06
    QObject::connect(f, &Tfrm_Mnt::slotReached, [&](int slot, int) {
        if (slot <= 3)
            bloqueado << platform::InputBlocker::IsBlocked();
    });

    f->btbtn_Executar->click();

    EXPECT_EQ(comandos,
              (QStringList{
                  Tabela(QStringLiteral("T6")), QStringLiteral("F| select max(ID) as ID from T6"),
                  Sequencia(QStringLiteral("SEQ_T6")), QStringLiteral("F| drop sequence SEQ_T6"),
                  QStringLiteral("F|  create sequence SEQ_T6 increment by 1 start with "
                                 "57 nocache order "),
                  Tabela(QStringLiteral("nao_existe")), Tabela(QStringLiteral("T6V")),
                  QStringLiteral("F| select max(ID) as ID from T6V"),
                  Sequencia(QStringLiteral("SEQ_T6V")),
                  QStringLiteral("F|  create sequence SEQ_T6V increment by 1 start with "
                                 "1 nocache order ")}));
    EXPECT_EQ(Textos_Mostrados(),
              (QStringList{QStringLiteral("SEQUÊNCIA\r\n\r\nNão foi possível criar a sequência "
                                          "\"SEQ_AÇÃO\".\r\n\r\nCrie primeiro a tabela "
                                          "\"NAO_EXISTE\"!"),
                           Falha(QStringLiteral("06 - CRIA SEQUÊNCIA"), QString())}));
    EXPECT_EQ(dialogs->Shown().value(0).kind, platform::DialogKind::Information);
    EXPECT_EQ(bloqueado, (QList<bool>{true, true, false}));
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QString());
    EXPECT_EQ(db.Scalar(QStringLiteral("select SEQ_T6.NEXTVAL from dual")), QStringLiteral("57"));
    EXPECT_EQ(db.Scalar(QStringLiteral("select SEQ_T6V.NEXTVAL from dual")), QStringLiteral("1"));
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from T6V")), QStringLiteral("0"));
    EXPECT_EQ(db.Scalar(QStringLiteral("select VER_DAD from CFG")),
              Cifra_Texto(QStringLiteral("C"), QStringLiteral("18"), Chave_Cifra()));
}

// ---- 07: add a column at the end and fill it ----

// An empty fill value leaves the column null; an apostrophe is doubled; "date"
// in any case goes without a size; an existing column is dropped with its data
// and comes back last.
TEST_F(Grupos, G07AddsColumnsAtTheEndAndFillsThem) {
    db.Exec(QStringLiteral("create table T7 (COD NUMBER(3), ANT VARCHAR2(5))"));
    db.Exec(QStringLiteral("insert into T7 (COD, ANT) values (1, 'velho')"));
    db.Exec(QStringLiteral("insert into T7 (COD, ANT) values (2, 'velho')"));
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo07.json")));

    f->Grupo_07_Cria_Preenche_Campo();

    const QString t7 = QStringLiteral("T7");
    EXPECT_EQ(comandos,
              (QStringList{Campos(t7), QStringLiteral("A| alter table T7 add OBS VARCHAR2 (10)"),
                           Campos(t7), QStringLiteral("A| alter table T7 add NOTA VARCHAR2 (20)"),
                           QStringLiteral("A| update T7 set NOTA = 'd''água'"), Campos(t7),
                           QStringLiteral("A| alter table T7 add DT date"), Campos(t7),
                           QStringLiteral("F| alter table T7 drop column ANT"),
                           QStringLiteral("A| alter table T7 add ANT VARCHAR2 (5)"),
                           QStringLiteral("A| update T7 set ANT = 'novo'")}));
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(Colunas(t7), (QStringList{QStringLiteral("COD|NUMBER|22|3|0|Y"),
                                        QStringLiteral("OBS|VARCHAR2|10|<null>|<null>|Y"),
                                        QStringLiteral("NOTA|VARCHAR2|20|<null>|<null>|Y"),
                                        QStringLiteral("DT|DATE|7|<null>|<null>|Y"),
                                        QStringLiteral("ANT|VARCHAR2|5|<null>|<null>|Y")}));
    EXPECT_EQ(db.Rows(QStringLiteral("select COD, OBS, NOTA, DT, ANT from T7 order by COD")),
              (QStringList{QStringLiteral("1|<null>|d'água|<null>|novo"),
                           QStringLiteral("2|<null>|d'água|<null>|novo")}));
}

// ---- 08: rebuild a table with a new column order ----

TEST_F(Grupos, G08RebuildsTheColumnOrderAndLeavesNoTmp) {
    db.Exec(QStringLiteral("create table T8 (A NUMBER(3), B VARCHAR2(5), C VARCHAR2(5))"));
    db.Exec(QStringLiteral("alter table T8 add constraint T8_PK primary key (A)"));
    db.Exec(QStringLiteral("insert into T8 (A, B, C) values (1, 'b1', 'c1')"));
    db.Exec(QStringLiteral("insert into T8 (A, B, C) values (2, 'b2', 'c2')"));
    db.Exec(QStringLiteral("create table TMP (Z NUMBER)")); // left by an interrupted run
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo08.json")));

    f->Grupo_08_Cria_Reordena_Campo();

    QStringList esperado{Tabela(QStringLiteral("TMP")), QStringLiteral("F| drop table TMP purge")};
    esperado << Sem_Chave(QStringLiteral("T8")) << Tabela(QStringLiteral("T8"))
             << QStringLiteral("F| rename T8 to TMP")
             << QStringLiteral("F| create table T8 (A NUMBER(3), NOVO VARCHAR2(5), C "
                               "VARCHAR2(5), B VARCHAR2(5))")
             << QStringLiteral("A| insert into T8 (A, B, C) select A, B, C from TMP")
             << Tabela(QStringLiteral("TMP")) << QStringLiteral("F| drop table TMP purge")
             << Com_Chave(QStringLiteral("T8"), QStringLiteral("A"));
    EXPECT_EQ(comandos, esperado);
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(
        db.Scalar(QStringLiteral("select count(*) from USER_TABLES where TABLE_NAME = 'TMP'")),
        QStringLiteral("0"));
    EXPECT_EQ(Colunas(QStringLiteral("T8")),
              (QStringList{QStringLiteral("A|NUMBER|22|3|0|N"),
                           QStringLiteral("NOVO|VARCHAR2|5|<null>|<null>|Y"),
                           QStringLiteral("C|VARCHAR2|5|<null>|<null>|Y"),
                           QStringLiteral("B|VARCHAR2|5|<null>|<null>|Y")}));
    EXPECT_EQ(db.Rows(QStringLiteral("select A, NOVO, C, B from T8 order by A")),
              (QStringList{QStringLiteral("1|<null>|c1|b1"), QStringLiteral("2|<null>|c2|b2")}));
    EXPECT_EQ(Chaves(QStringLiteral("T8")), QStringList{QStringLiteral("T8_PK|P|A")});
}

// Without the table there is no TMP to copy from: the new table is created, the
// copy fails and the key is not built.
TEST_F(Grupos, G08FailsWhenTheTableDidNotExist) {
    Tfrm_Mnt *f = Abre_Com(Release(QStringLiteral("grupo08_sem_tabela.json")));

    f->Grupo_08_Cria_Reordena_Campo();

    EXPECT_EQ(comandos,
              (QStringList{Tabela(QStringLiteral("TMP")), Constraints(QStringLiteral("NAO_HA")),
                           Tabela(QStringLiteral("NAO_HA")),
                           QStringLiteral("F| create table NAO_HA (A NUMBER(3))"),
                           QStringLiteral("A| insert into NAO_HA (A) select A from TMP")}));
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("1\r\n\r\nORA-00942: table or view does not exist"));
    EXPECT_EQ(f->gg_Tot->Position(), 1);
    EXPECT_EQ(Colunas(QStringLiteral("NAO_HA")), QStringList{QStringLiteral("A|NUMBER|22|3|0|Y")});
    EXPECT_EQ(Chaves(QStringLiteral("NAO_HA")), QStringList());
}

// ---- This build's release: groups 05 and 09 ----

namespace {

// The 18 rows of CST_IBS_CBS: code, name and the indicators (1 to 22, in column
// order) that hold "Sim"; every other indicator holds "Não".
struct Linha_Cst {
    int cod;
    const char16_t *nome;
    QList<int> sim;
};

const QList<Linha_Cst> Linhas_Cst = {
    {0, u"Tributação integral", {2, 3, 4}},
    {10, u"Tributação com alíquotas uniformes", {2, 3, 4}},
    {11, u"Tributação com alíquotas uniformes reduzidas", {2, 3, 4, 7}},
    {200, u"Alíquota reduzida", {2, 3, 4, 7}},
    {220, u"Alíquota fixa", {2, 3, 4}},
    {222, u"Redução de base de cálculo", {2, 3, 4, 8}},
    {221, u"Alíquota fixa proporcional", {2, 3, 4}},
    {400, u"Isenção", {}},
    {410, u"Imunidade e não incidência", {}},
    {510, u"Diferimento", {2, 3, 4, 5}},
    {515, u"Diferimento com redução de alíquota", {2, 3, 4, 5, 7}},
    {550, u"Suspensão", {2, 3, 4}},
    {620, u"Tributação monofásica", {11}},
    {800, u"Transferência de crédito", {16}},
    {810, u"Ajuste de IBS na ZFM", {22}},
    {811, u"Ajustes", {17}},
    {820, u"Tributação em declaração de regime específico", {}},
    {830, u"Exclusão de base de cálculo", {2, 3, 4}},
};

const QStringList Indicadores = {
    QStringLiteral("IND_GIS"),           QStringLiteral("IND_GIBSCBS"),
    QStringLiteral("IND_GIBSUF"),        QStringLiteral("IND_GIBSMUN"),
    QStringLiteral("IND_GDIF"),          QStringLiteral("IND_GDEVTRIB"),
    QStringLiteral("IND_GRED"),          QStringLiteral("IND_REDUTORBC"),
    QStringLiteral("IND_GTRIBREGULAR"),  QStringLiteral("IND_GTRIBCOMPRAGOV"),
    QStringLiteral("IND_GIBSCBSMONO"),   QStringLiteral("IND_GMONOPADRAO"),
    QStringLiteral("IND_GMONORETEN"),    QStringLiteral("IND_GMONORET"),
    QStringLiteral("IND_GMONODIF"),      QStringLiteral("IND_GTRANSFCRED"),
    QStringLiteral("IND_GAJUSTECOMPET"), QStringLiteral("IND_GESTORNOCRED"),
    QStringLiteral("IND_GCREDPRESOPER"), QStringLiteral("IND_GIBSCREDPRES"),
    QStringLiteral("IND_GCBSCREDPRES"),  QStringLiteral("IND_GCREDPRESIBSZFM"),
};

// By code (the release inserts 222 before 221).
QStringList Linhas_Esperadas() {
    QList<Linha_Cst> porCodigo = Linhas_Cst;
    std::sort(porCodigo.begin(), porCodigo.end(),
              [](const Linha_Cst &a, const Linha_Cst &b) { return a.cod < b.cod; });
    QStringList l;
    for (const Linha_Cst &c : porCodigo) {
        QStringList v{QString::number(c.cod), QString::fromUtf16(c.nome), QStringLiteral("3")};
        for (int i = 1; i <= 22; ++i)
            v << (c.sim.contains(i) ? QStringLiteral("Sim") : QStringLiteral("Não"));
        l << v.join(QLatin1Char('|'));
    }
    return l;
}

QStringList Colunas_Esperadas() {
    QStringList l{QStringLiteral("COD|NUMBER|22|3|0|N"),
                  QStringLiteral("NME|VARCHAR2|45|<null>|<null>|Y"),
                  QStringLiteral("RGT_COD|NUMBER|22|5|0|Y")};
    for (const QString &i : Indicadores)
        l << i + QStringLiteral("|VARCHAR2|3|<null>|<null>|Y");
    return l;
}

} // namespace

class Release_Atual : public Grupos {
protected:
    // The rows of CST_IBS_CBS by code.
    QStringList Linhas() {
        return db.Rows(QStringLiteral("select COD, NME, RGT_COD, ") + Indicadores.join(u", ") +
                       QStringLiteral(" from CST_IBS_CBS order by COD"));
    }

    // The end state: columns in order, the key, the 18 rows.
    void Confere_Tabela() {
        EXPECT_EQ(Colunas(QStringLiteral("CST_IBS_CBS")), Colunas_Esperadas());
        EXPECT_EQ(Chaves(QStringLiteral("CST_IBS_CBS")),
                  QStringList{QStringLiteral("CST_IBS_CBS_PK|P|COD")});
        EXPECT_EQ(db.Rows(QStringLiteral("select INDEX_NAME from USER_INDEXES where TABLE_NAME = "
                                         "'CST_IBS_CBS'")),
                  QStringList{QStringLiteral("CST_IBS_CBS_PK")});
        EXPECT_EQ(Linhas(), Linhas_Esperadas());
    }
};

// The built-in release on the demo schema at 18, then again on the schema that
// now has the table with its rows (and one more): the same end state.
TEST_F(Release_Atual, CreatesAndFillsCstIbsCbsAndCanRunAgain) {
    const TRelease interna = Carrega_Release_Interna();
    const QString comando = interna.Grupo_09.Entrada(1)->Comando;
    const QString definicoes = interna.Grupo_05.Entrada(1)->Definicoes;
    for (int vez = 1; vez <= 2; ++vez) {
        SCOPED_TRACE(vez);
        if (vez == 2) {
            frm.reset();
            db.Exec(
                QStringLiteral("update CFG set VER_DAD = ") +
                QuotedStr(Cifra_Texto(QStringLiteral("C"), QStringLiteral("18"), Chave_Cifra())));
            db.Exec(QStringLiteral("insert into CST_IBS_CBS (COD, NME) values (999, 'extra')"));
            dialogs->Clear();
            comandos.clear();
        }
        Tfrm_Mnt *f = Abre_Com(interna);
        f->btbtn_Executar->click();

        EXPECT_EQ(Textos_Mostrados(),
                  QStringList{QStringLiteral("Operação realizada com sucesso!\r\n")});
        EXPECT_FALSE(f->Erro);
        QStringList esperado{Tabela(QStringLiteral("CST_IBS_CBS"))};
        if (vez == 2)
            esperado << QStringLiteral("F| drop table CST_IBS_CBS purge");
        esperado << QStringLiteral("F| create table CST_IBS_CBS (") + definicoes +
                        QStringLiteral(")")
                 << Com_Chave(QStringLiteral("CST_IBS_CBS"), QStringLiteral("COD"))
                 << QStringLiteral("A| ") + comando;
        ASSERT_GE(comandos.size(), esperado.size());
        EXPECT_EQ(comandos.mid(0, esperado.size()), esperado);
        Confere_Tabela();
    }
}

// Group 09 alone on a table that already holds its rows: duplicate key, nothing
// inserted, the report starts with the entry number 1 and two line breaks.
TEST_F(Release_Atual, G09DuplicateKeyIsReportedAtEntryOne) {
    TRelease so09 = Carrega_Release_Interna();
    {
        Tfrm_Mnt *f = Abre(so09);
        f->Grupo_05_Cria_Tabela();
        f->Grupo_09_Preenche_Campo();
        ASSERT_FALSE(f->Erro) << f->Num_Err.toStdString();
        frm.reset();
    }
    so09.Grupo_05.Ligado = false;
    Tfrm_Mnt *f = Abre_Com(so09);

    f->btbtn_Executar->click();

    const QString numErr =
        QStringLiteral("1\r\n\r\nORA-00001: unique constraint (TALVERO.CST_IBS_CBS_PK) violated");
    EXPECT_EQ(f->Num_Err, numErr);
    EXPECT_EQ(Textos_Mostrados(),
              QStringList{Falha(QStringLiteral("09 - PREENCHE CAMPO"), numErr)});
    EXPECT_EQ(comandos, QStringList{QStringLiteral("A| ") + so09.Grupo_09.Entrada(1)->Comando});
    Confere_Tabela();
}
