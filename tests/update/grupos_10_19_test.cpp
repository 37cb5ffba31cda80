// Entry steps of groups 10 to 19 on the embedded engine and a temporary folder:
// removals that pass over what is gone, file deletion and renaming (never on a
// support workstation), text replacement that keeps each row's own text, free
// statements, screen removal, and how a failing entry is reported.

#include "tests/support/TestSupport.h"
#include "tests/update/mnt_fixture.h"
#include "update/Gauge.h"
#include "update/Mnt_Componentes.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

using mnttest::MntFixture;
using mnttest::Release_Desligada;

namespace {

const QString Sucesso = QStringLiteral("Operação realizada com sucesso!\r\n");

class Grupos_10_19 : public MntFixture {
protected:
    void SetUp() override {
        MntFixture::SetUp();
        arquivos = db.Folder() + QStringLiteral("/arquivos/");
        QDir().mkpath(arquivos + QStringLiteral("apaga"));
        QDir().mkpath(arquivos + QStringLiteral("renomeia"));
        db.Exec(QStringLiteral("create table TMP_A (COD NUMBER(3))"));
        db.Exec(QStringLiteral("create table TMP_B (COD NUMBER(3), COL_X NUMBER(3), COL_Y "
                               "NUMBER(3))"));
        db.Exec(QStringLiteral("create sequence SEQ_A increment by 1 start with 1 nocache order"));
        db.Exec(QStringLiteral(
            "create table TXT_TST (COD NUMBER(3), GRP NUMBER(1), DES VARCHAR2(60 BYTE))"));
        // Row 5 holds the old text but lies outside the row filter; row 4 has no text.
        const char *linhas[] = {"1, 1, 'NÃO SEI'", "2, 1, 'não, não e Não'",
                                "3, 1, 'sim'",     "4, 1, null",
                                "5, 2, 'NÃO'",     "6, 1, 'Nao tem til'"};
        for (const char *l : linhas)
            db.Exec(QStringLiteral("insert into TXT_TST (COD, GRP, DES) values (") +
                    QString::fromUtf8(l) + QStringLiteral(")"));
        db.Exec(QStringLiteral("insert into TEL (NUM, NME, DES) values (7, 'SETE', 'Tela 7')"));
        db.Exec(QStringLiteral("insert into TEL (NUM, NME, DES) values (8, 'OITO', 'Tela 8')"));
        for (const char *l : {"1, 'ANA', 7", "1, 'RUI', 7", "1, 'ANA', 8"})
            db.Exec(QStringLiteral("insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (") +
                    QString::fromUtf8(l) + QStringLiteral(")"));
        for (const char *a : {"apaga/APAGA.TXT", "apaga/X.TMP", "apaga/Y.TMP", "apaga/FICA.TXT",
                              "renomeia/A.OLD", "renomeia/X.OLD.BAK", "renomeia/B.OLD",
                              "renomeia/B.NEW", "renomeia/ARQOLD", "renomeia/OUTRO.TXT"})
            Cria(QString::fromUtf8(a));
        for (const char *p : {"apaga/PASTA.TXT", "apaga/D.TMP", "renomeia/D.OLD"})
            QDir().mkpath(arquivos + QString::fromUtf8(p));
        db.ClearLog();
    }

    void Cria(const QString &nome) {
        QFile f(arquivos + nome);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(nome.toUtf8());
    }

    // Entries of a folder below `arquivos`, folders marked with "/".
    QStringList Conteudo(const QString &sub) const {
        QStringList r;
        const QDir d(arquivos + sub);
        for (const QFileInfo &i :
             d.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name))
            r << i.fileName() + (i.isDir() ? QStringLiteral("/") : QString());
        return r;
    }

    QString Texto_De(const QString &sub) const {
        QFile f(arquivos + sub);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    // The test release with the temporary folder in place of @PASTA@.
    TRelease Release_Teste() {
        QString json = testsupport::ReadText(
            testsupport::SourcePath(QStringLiteral("tests/update/data/grupos_10_19/todos.json")));
        json.replace(QStringLiteral("@PASTA@"), arquivos);
        return Le_Release(json.toUtf8(), QStringLiteral("todos.json"));
    }

    QStringList Apaga_Antes() const {
        return {QStringLiteral("APAGA.TXT"),  QStringLiteral("D.TMP/"), QStringLiteral("FICA.TXT"),
                QStringLiteral("PASTA.TXT/"), QStringLiteral("X.TMP"),  QStringLiteral("Y.TMP")};
    }
    QStringList Renomeia_Antes() const {
        return {QStringLiteral("A.OLD"),    QStringLiteral("ARQOLD"), QStringLiteral("B.NEW"),
                QStringLiteral("B.OLD"),    QStringLiteral("D.OLD/"), QStringLiteral("OUTRO.TXT"),
                QStringLiteral("X.OLD.BAK")};
    }

    QString arquivos;
};

// ---- The whole release through Executar ----

TEST_F(Grupos_10_19, ReleaseWithEveryGroupOnRunsToTheEnd) {
    auto *f = Abre(Release_Teste());
    f->btbtn_Executar->click();
    ASSERT_EQ(Textos_Mostrados(), QStringList{Sucesso});
    EXPECT_FALSE(f->Erro);

    // 10, 11, 12: what was there is gone, what was missing or named in lower case
    // was passed over.
    EXPECT_EQ(db.Rows(QStringLiteral("select TABLE_NAME from USER_TABLES where TABLE_NAME like "
                                     "'TMP%' order by TABLE_NAME")),
              QStringList{QStringLiteral("TMP_B")});
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from USER_SEQUENCES where SEQUENCE_NAME "
                                       "= 'SEQ_A'")),
              QStringLiteral("0"));
    EXPECT_EQ(db.Rows(QStringLiteral("select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME "
                                     "= 'TMP_B' order by COLUMN_NAME")),
              (QStringList{QStringLiteral("COD"), QStringLiteral("COL_Y")}));
    // 14: files deleted, the folders and the other file kept.
    EXPECT_EQ(Conteudo(QStringLiteral("apaga")),
              (QStringList{QStringLiteral("D.TMP/"), QStringLiteral("FICA.TXT"),
                           QStringLiteral("PASTA.TXT/")}));
    // 15: cut after the first marker, the marker-less name replaced by the
    // appended text, the folder renamed too, B.OLD kept because B.NEW exists.
    EXPECT_EQ(Conteudo(QStringLiteral("renomeia")),
              (QStringList{QStringLiteral("A.NEW"), QStringLiteral("B.NEW"),
                           QStringLiteral("B.OLD"), QStringLiteral("D.NEW/"), QStringLiteral("NEW"),
                           QStringLiteral("OUTRO.TXT"), QStringLiteral("X.NEW")}));
    EXPECT_EQ(Texto_De(QStringLiteral("renomeia/A.NEW")), QStringLiteral("renomeia/A.OLD"));
    EXPECT_EQ(Texto_De(QStringLiteral("renomeia/X.NEW")), QStringLiteral("renomeia/X.OLD.BAK"));
    EXPECT_EQ(Texto_De(QStringLiteral("renomeia/NEW")), QStringLiteral("renomeia/ARQOLD"));
    EXPECT_EQ(Texto_De(QStringLiteral("renomeia/B.NEW")), QStringLiteral("renomeia/B.NEW"));
    // 16: each row keeps its own text.
    EXPECT_EQ(db.Rows(QStringLiteral("select COD, DES from TXT_TST order by COD")),
              (QStringList{QStringLiteral("1|SIM SEI"), QStringLiteral("2|SIM, SIM e SIM"),
                           QStringLiteral("3|sim"), QStringLiteral("4|<null>"),
                           QStringLiteral("5|NÃO"), QStringLiteral("6|Nao tem til")}));
    // 18 and 19.
    EXPECT_EQ(db.Rows(QStringLiteral("select NUM, NME, DES from TEL order by NUM")),
              (QStringList{QStringLiteral("8|OITO|Tela 8"), QStringLiteral("9|NOVA|do grupo 18")}));
    EXPECT_EQ(db.Rows(QStringLiteral("select USU_IDT, TEL_NUM from USU_ACE")),
              QStringList{QStringLiteral("ANA|8")});
}

// ---- Exact statements, group by group ----

TEST_F(Grupos_10_19, RemovalsLookFirstAndDropOnlyWhatIsThere) {
    auto *f = Abre(Release_Teste());
    f->Grupo_10_Exclui_Tabela();
    f->Grupo_11_Exclui_Sequencia();
    f->Grupo_12_Exclui_Campo();
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(db.Log(),
              (QStringList{
                  "select TABLE_NAME from USER_TABLES where TABLE_NAME = 'TMP_A'",
                  "drop table TMP_A purge",
                  "select TABLE_NAME from USER_TABLES where TABLE_NAME = 'NAO_EXISTE'",
                  "select TABLE_NAME from USER_TABLES where TABLE_NAME = 'tmp_b'",
                  "select SEQUENCE_NAME from USER_SEQUENCES where SEQUENCE_NAME = 'SEQ_FALTA'",
                  "select SEQUENCE_NAME from USER_SEQUENCES where SEQUENCE_NAME = 'SEQ_A'",
                  "drop sequence SEQ_A",
                  "select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = 'TMP_B'",
                  "alter table TMP_B drop column COL_X",
                  "select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = 'TMP_B'",
                  "select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = 'TABELA_FALTA'",
                  "select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = 'TMP_B'",
              }));
    EXPECT_EQ(f->gg_Tot->Position(), 3);
    EXPECT_EQ(f->gg_Par->Position(), 100);
}

TEST_F(Grupos_10_19, ReplacementUpdatesOnlyTheRowJustRead) {
    auto *f = Abre(Release_Teste());
    f->Grupo_16_Substitui_String();
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(db.Log(),
              (QStringList{
                  "select COD, DES from TXT_TST where GRP = 1 and upper(DES) like '%NÃO%' "
                  "order by COD",
                  "update TXT_TST set DES = 'SIM SEI' where GRP = 1 and COD = 1",
                  "update TXT_TST set DES = 'SIM, SIM e SIM' where GRP = 1 and COD = 2",
              }));
}

// A text key goes into the update quoted; apostrophes in the old text, the new
// value and the key are doubled; the new text is taken as it is written.
TEST_F(Grupos_10_19, ReplacementQuotesTextKeysAndApostrophes) {
    db.Exec(QStringLiteral("create table OBS (IDT VARCHAR2(10 BYTE), TXT VARCHAR2(60 BYTE))"));
    db.Exec(
        QStringLiteral("insert into OBS (IDT, TXT) values ('D''A', 'pingo d''água e D''ÁGUA')"));
    db.Exec(QStringLiteral("insert into OBS (IDT, TXT) values ('B', 'seco')"));
    db.ClearLog();
    TRelease r = Release_Desligada();
    r.Grupo_16.Ligado = true;
    r.Grupo_16.Entradas[3] = {QStringLiteral("OBS"),
                              QStringLiteral("IDT"),
                              QStringLiteral("TXT"),
                              QStringLiteral("1 = 1"),
                              QStringLiteral("d'água"),
                              QStringLiteral("d'Água"),
                              QStringLiteral("TXT is not null")};
    auto *f = Abre(r);
    f->Grupo_16_Substitui_String();
    EXPECT_FALSE(f->Erro) << f->Num_Err.toStdString();
    EXPECT_EQ(db.Log(),
              (QStringList{
                  "select IDT, TXT from OBS where 1 = 1 and upper(TXT) like '%D''ÁGUA%' order "
                  "by IDT",
                  "update OBS set TXT = 'pingo d''Água e d''Água' where TXT is not null and IDT "
                  "= 'D''A'",
              }));
    EXPECT_EQ(db.Rows(QStringLiteral("select IDT, TXT from OBS order by IDT")),
              (QStringList{QStringLiteral("B|seco"), QStringLiteral("D'A|pingo d'Água e d'Água")}));
}

// A matching row without a key value cannot be singled out: the entry fails
// instead of updating nothing or every row of the filter; the rows before it
// keep their change.
TEST_F(Grupos_10_19, ReplacementRefusesARowWithoutKey) {
    db.Exec(QStringLiteral("insert into TXT_TST (COD, GRP, DES) values (null, 1, 'não')"));
    db.ClearLog();
    auto *f = Abre(Release_Teste());
    f->Grupo_16_Substitui_String();
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("1\r\n\r\nLinha de TXT_TST sem valor em COD: não é "
                                         "possível substituir o texto."));
    EXPECT_EQ(db.Log().size(), 3);
    EXPECT_EQ(db.Rows(QStringLiteral("select DES from TXT_TST where GRP = 1 order by COD")),
              (QStringList{QStringLiteral("SIM SEI"), QStringLiteral("SIM, SIM e SIM"),
                           QStringLiteral("sim"), QStringLiteral("<null>"),
                           QStringLiteral("Nao tem til"), QStringLiteral("não")}));
}

TEST_F(Grupos_10_19, ScreenRemovalDeletesAccessRowsFirst) {
    auto *f = Abre(Release_Teste());
    f->Grupo_19_Exclui_Tela();
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(db.Log(), (QStringList{"delete from USU_ACE where TEL_NUM = '7'",
                                     "delete from TEL where NUM = '7'"}));
    EXPECT_EQ(db.Rows(QStringLiteral("select NUM from TEL order by NUM")),
              QStringList{QStringLiteral("8")});
}

// ---- Failures ----

// A statement that fails at entry 7 stops the group there with the slot, two line
// breaks and the database's own message; later entries do not run.
TEST_F(Grupos_10_19, FailureAtEntrySevenIsReportedWithItsSlot) {
    TRelease r = Release_Desligada();
    r.Grupo_18.Ligado = true;
    r.Grupo_18.Entradas[1] = {QStringLiteral("update TEL set DES = 'mudou' where NUM = 8")};
    r.Grupo_18.Entradas[7] = {QStringLiteral("drop table NAO_EXISTE purge")};
    r.Grupo_18.Entradas[8] = {QStringLiteral("delete from TEL")};
    auto *f = Abre(r);
    f->Grupo_18_Roda_Programa();
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("7\r\n\r\nORA-00942: table or view does not exist"));
    EXPECT_EQ(f->gg_Par->Position(), 7);
    EXPECT_EQ(f->gg_Tot->Position(), 1);
    EXPECT_EQ(db.Log(), (QStringList{"update TEL set DES = 'mudou' where NUM = 8",
                                     "drop table NAO_EXISTE purge"}));
    EXPECT_EQ(db.Rows(QStringLiteral("select NUM, DES from TEL order by NUM")),
              (QStringList{QStringLiteral("7|Tela 7"), QStringLiteral("8|mudou")}));
}

// Group 19 failing at its second statement: the access rows are already gone,
// the screen stays.
TEST_F(Grupos_10_19, ScreenRemovalFailingAtTheSecondDelete) {
    TRelease r = Release_Desligada();
    r.Grupo_19.Ligado = true;
    r.Grupo_19.Entradas[7] = {7};
    auto *f = Abre(r);
    const QString ora = QStringLiteral(
        "ORA-02292: integrity constraint (TALVERO.TEL_FK) violated - child record found");
    Engine().failStatement(2, ora);
    f->Grupo_19_Exclui_Tela();
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("7\r\n\r\n") + ora);
    EXPECT_EQ(db.Rows(QStringLiteral("select TEL_NUM from USU_ACE")),
              QStringList{QStringLiteral("8")});
    EXPECT_EQ(db.Rows(QStringLiteral("select NUM from TEL order by NUM")),
              (QStringList{QStringLiteral("7"), QStringLiteral("8")}));
}

// ---- Files ----

// On a support workstation the file groups move the gauge but touch nothing.
TEST_F(Grupos_10_19, SupportWorkstationLeavesEveryFileAlone) {
    Est_Sup = true;
    auto *f = Abre(Release_Teste());
    f->Grupo_14_Exclui_Arquivo();
    EXPECT_EQ(f->gg_Par->Position(), 100);
    f->Grupo_15_Renomeia_Arquivo();
    EXPECT_EQ(f->gg_Par->Position(), 100);
    EXPECT_EQ(f->gg_Tot->Position(), 2);
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("15 - RENOMEIA ARQUIVO"));
    EXPECT_EQ(Conteudo(QStringLiteral("apaga")), Apaga_Antes());
    EXPECT_EQ(Conteudo(QStringLiteral("renomeia")), Renomeia_Antes());
}

// Paths this machine cannot resolve (Windows paths here), an empty marker and an
// empty fragment: nothing is deleted or renamed into a broken name, nothing fails.
TEST_F(Grupos_10_19, FileEntriesThatNameNothingUsable) {
    TRelease r = Release_Desligada();
    r.Grupo_14.Ligado = true;
    r.Grupo_14.Entradas[1] = {QString(arquivos).replace('/', '\\') + QStringLiteral("apaga\\*")};
    r.Grupo_15.Ligado = true;
    r.Grupo_15.Entradas[1] = {QStringLiteral("C:\\Dados\\"), QStringLiteral("OLD"),
                              QStringLiteral("."), QStringLiteral("NEW")};
    // Marker empty: never found, so every match would get the appended text alone;
    // with the appended text empty too, the rename has no target and is refused.
    r.Grupo_15.Entradas[2] = {arquivos + QStringLiteral("renomeia/"), QString(), QString(),
                              QString()};
    auto *f = Abre(r);
    f->Grupo_14_Exclui_Arquivo();
    f->Grupo_15_Renomeia_Arquivo();
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(Conteudo(QStringLiteral("apaga")), Apaga_Antes());
    EXPECT_EQ(Conteudo(QStringLiteral("renomeia")), Renomeia_Antes());
}

} // namespace
