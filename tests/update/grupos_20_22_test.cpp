// Groups 20 to 22 on the embedded engine: the screen registry rebuilt with the
// administrators' access rows, the column-usage report and the romaneio stock
// report written into a temporary report folder, and how each reports a failure.

#include "tests/update/mnt_fixture.h"
#include "update/Gauge.h"
#include "update/Mnt_Componentes.h"
#include "update/Telas.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QPushButton>

using mnttest::MntFixture;
using mnttest::Release_Desligada;

namespace {

const QString Sucesso = QStringLiteral("Operação realizada com sucesso!\r\n");

class Grupos_20_22 : public MntFixture {
protected:
    void SetUp() override {
        MntFixture::SetUp();
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        relatorios = db.Folder() + QStringLiteral("/relatorios/");
        QDir().mkpath(relatorios);
        Configuracao().Pth_Atu = relatorios;
        db.ClearLog();
    }
    void TearDown() override {
        MntFixture::TearDown();
        QLocale::setDefault(QLocale::c());
    }

    QByteArray Conteudo(const QString &nome) const {
        QFile f(relatorios + nome);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
    }

    void Cadastra_Usuarios() {
        for (const char *l : {"1, 'Sim'", "2, 'Não'", "3, 'Sim'"})
            db.Exec(QStringLiteral("insert into FIL (COD, CTL_EST) values (") +
                    QString::fromUtf8(l) + QStringLiteral(")"));
        for (const char *l : {"'ANA', 'Sim', 'Não'", "'BIA', 'Sim', 'Não'", "'BLQ', 'Sim', 'Sim'",
                              "'OPE', 'Não', 'Não'"})
            db.Exec(QStringLiteral("insert into USU (IDT, ADM, BLQ) values (") +
                    QString::fromUtf8(l) + QStringLiteral(")"));
        // Older rows: an ordinary user's survive, every administrator's go.
        for (const char *l : {"1, 'OPE', 100", "2, 'OPE', 9999", "1, 'ANA', 5", "1, 'BLQ', 100"})
            db.Exec(QStringLiteral("insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (") +
                    QString::fromUtf8(l) + QStringLiteral(")"));
        db.Exec(QStringLiteral("insert into TEL (NUM, NME, DES) values (999, 'VELHA', 'x')"));
        db.ClearLog();
    }

    TRelease Com_Grupo(int grupo) {
        TRelease r = Release_Desligada();
        if (grupo == 20)
            r.Grupo_20.Ligado = true;
        if (grupo == 22)
            r.Grupo_22.Ligado = true;
        return r;
    }

    QString relatorios;
};

// ---- Group 20 ----

TEST_F(Grupos_20_22, ScreenListHoldsTheReleaseScreens) {
    const std::vector<TTela> &telas = Lista_Telas();
    ASSERT_EQ(telas.size(), 373u);
    int blocos[4] = {0, 0, 0, 0};
    for (const TTela &t : telas) {
        const QString nme = QString::fromLatin1(t.Nme);
        const QString des = QString::fromUtf8(t.Des);
        EXPECT_FALSE(nme.contains(QLatin1Char('\'')) || des.contains(QLatin1Char('\''))) << t.Num;
        EXPECT_LE(nme.size(), 27) << t.Num;
        EXPECT_LE(des.size(), 69) << t.Num;
        const char *prefixo = t.Num >= 700   ? "REL_"
                              : t.Num >= 400 ? "MVT_"
                              : t.Num >= 100 ? "CAD_"
                                             : "";
        const char *tipo = t.Num >= 700   ? "Relatório"
                           : t.Num >= 400 ? "Movimento"
                           : t.Num >= 100 ? "Cadastro"
                                          : "";
        EXPECT_TRUE(nme.startsWith(QString::fromLatin1(prefixo))) << t.Num;
        EXPECT_TRUE(des.startsWith(QString::fromUtf8(tipo))) << t.Num;
        ++blocos[t.Num >= 700 ? 3 : t.Num >= 400 ? 2 : t.Num >= 100 ? 1 : 0];
    }
    EXPECT_EQ(blocos[0], 40);
    EXPECT_EQ(blocos[1], 115);
    EXPECT_EQ(blocos[2], 81);
    EXPECT_EQ(blocos[3], 137);
}

TEST_F(Grupos_20_22, RebuildWritesEveryScreenWithAdministratorAccess) {
    Cadastra_Usuarios();
    auto *f = Abre(Com_Grupo(20));
    f->Grupo_20_Inclui_Tela();
    ASSERT_FALSE(f->Erro) << f->Num_Err.toStdString();
    EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("20 - INCLUI TELA"));
    EXPECT_EQ(f->gg_Par->Position(), 999);
    EXPECT_EQ(f->gg_Par->MaxValue(), 999);
    EXPECT_EQ(f->gg_Tot->Position(), 1);

    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from TEL")), QStringLiteral("373"));
    // Gaps and absent numbers give no row.
    EXPECT_EQ(db.Scalar(QStringLiteral(
                  "select count(*) from TEL where NUM in (2, 33, 167, 999) or NUM between 43 "
                  "and 99 or NUM between 216 and 399 or NUM between 481 and 699 or NUM > 836")),
              QStringLiteral("0"));
    EXPECT_EQ(db.Rows(QStringLiteral("select NUM, NME, DES from TEL where NME = 'CAD_EPT' order "
                                     "by NUM")),
              (QStringList{QStringLiteral("111|CAD_EPT|Cadastro de Empreiteiro"),
                           QStringLiteral("200|CAD_EPT|Cadastro de Empreiteiro")}));
    EXPECT_EQ(
        db.Rows(QStringLiteral("select NUM, NME, DES from TEL where NUM in (1, 3, 26, 27, 41, "
                               "42, 100, 205, 215, 400, 480, 700, 765, 836) order by NUM")),
        (QStringList{
            QStringLiteral("1|CRA_EBL|Crachá da Embaladora"),
            QStringLiteral("3|USU_LOG|Usuário Logados"),
            QStringLiteral("26|EXC_PED_TKT_ITE_CAR|Exclusão da Baixa dos Itens Carregados no "
                           "Pedido Ticket (Carga Real)"),
            QStringLiteral("27|PRM_GER|Parâmetros Gerais"),
            QStringLiteral("41|INF_LCT_PAR_CNC_BCA_ITE_BXA|Informação de Parcela - Baixa"),
            QStringLiteral("42|PRM_COL|Parâmetro de Colheita"),
            QStringLiteral("100|CAD_AGN|Cadastro de Agenda"),
            QStringLiteral("205|CAD_TMP_AMB|Cadastro de Tempertura Ambiente"),
            QStringLiteral("215|CAD_COFINS|Cadastro de COFINS"),
            QStringLiteral("400|MVT_FIT_RCT|Movimento Fitossanitário - Receituário"),
            QStringLiteral(
                "480|MVT_ACT_ADI_PGT|Movimento de Acerto com Produtor - Adiantamento - Pagamento"),
            QStringLiteral("700|REL_AMX_BXA|Relatório de Almoxarifado - Baixa"),
            QStringLiteral("765|REL_TMP_AMB|Relatório de Temperatura Ambiente"),
            QStringLiteral("836|REL_COFINS|Relatório de COFINS")}));

    // 373 screens x branches 1 and 3 x ANA and BIA, plus OPE's two untouched rows;
    // the blocked administrator keeps nothing.
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from USU_ACE")),
              QString::number(373 * 2 * 2 + 2));
    EXPECT_EQ(db.Rows(QStringLiteral("select FIL_COD, USU_IDT, TEL_NUM from USU_ACE where "
                                     "USU_IDT in ('OPE', 'BLQ') order by FIL_COD")),
              (QStringList{QStringLiteral("1|OPE|100"), QStringLiteral("2|OPE|9999")}));
    EXPECT_EQ(db.Rows(QStringLiteral("select FIL_COD, USU_IDT from USU_ACE where TEL_NUM = 836 "
                                     "order by FIL_COD, USU_IDT")),
              (QStringList{QStringLiteral("1|ANA"), QStringLiteral("1|BIA"),
                           QStringLiteral("3|ANA"), QStringLiteral("3|BIA")}));

    // The statement stream of the clearing step and the first screen.
    ASSERT_GE(db.Log().size(), 10);
    EXPECT_EQ(db.Log().mid(0, 10),
              (QStringList{
                  "delete from USU_ACE where USU_IDT = (select IDT from USU where IDT = "
                  "USU_ACE.USU_IDT and ADM = 'Sim')",
                  "delete from TEL",
                  "insert into TEL (NUM, NME, DES) values (1, 'CRA_EBL', 'Crachá da Embaladora')",
                  "select COD as FIL_COD from FIL where CTL_EST = 'Sim' order by COD",
                  "select IDT from USU where ADM = 'Sim' and BLQ = 'Não' order by IDT",
                  "insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'ANA', 1)",
                  "insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (1, 'BIA', 1)",
                  "select IDT from USU where ADM = 'Sim' and BLQ = 'Não' order by IDT",
                  "insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (3, 'ANA', 1)",
                  "insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) values (3, 'BIA', 1)"}));
}

// Without a branch that controls stock, or without an administrator who may
// work, the screens are written and no access row is.
TEST_F(Grupos_20_22, NoBranchOrNoFreeAdministratorWritesNoAccessRow) {
    const char *casos[] = {"update FIL set CTL_EST = 'Não'", "update USU set BLQ = 'Sim'"};
    for (const char *caso : casos) {
        SCOPED_TRACE(caso);
        db.Exec(QStringLiteral("delete from USU_ACE"));
        db.Exec(QStringLiteral("delete from USU"));
        db.Exec(QStringLiteral("delete from FIL"));
        Cadastra_Usuarios();
        db.Exec(QString::fromUtf8(caso));
        auto *f = Abre(Com_Grupo(20));
        f->Grupo_20_Inclui_Tela();
        EXPECT_FALSE(f->Erro);
        EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from TEL")), QStringLiteral("373"));
        EXPECT_EQ(db.Rows(QStringLiteral("select FIL_COD, USU_IDT, TEL_NUM from USU_ACE order by "
                                         "FIL_COD")),
                  (QStringList{QStringLiteral("1|OPE|100"), QStringLiteral("2|OPE|9999")}));
    }
}

// One branch and one administrator: four statements per screen after the two
// deletes. Screen 400 is the 156th; its insert fails.
TEST_F(Grupos_20_22, FailureAtScreen400KeepsTheScreensBelowAndReports401) {
    db.Exec(QStringLiteral("insert into FIL (COD, CTL_EST) values (1, 'Sim')"));
    db.Exec(QStringLiteral("insert into USU (IDT, ADM, BLQ) values ('ANA', 'Sim', 'Não')"));
    auto *f = Abre(Com_Grupo(20));
    const QString ora = QStringLiteral("ORA-01653: unable to extend table TEL");
    Engine().failStatement(2 + 155 * 4 + 1, ora);
    db.ClearLog();
    f->Grupo_20_Inclui_Tela();
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("401\r\n\r\n") + ora);
    EXPECT_EQ(f->gg_Tot->Position(), 1);
    EXPECT_EQ(db.Log().last(),
              QStringLiteral("insert into TEL (NUM, NME, DES) values (400, 'MVT_FIT_RCT', "
                             "'Movimento Fitossanitário - Receituário')"));
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from TEL")), QStringLiteral("155"));
    EXPECT_EQ(db.Scalar(QStringLiteral("select max(NUM) from TEL")), QStringLiteral("215"));
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from USU_ACE")), QStringLiteral("155"));
}

TEST_F(Grupos_20_22, FailureWhileClearingReports1) {
    auto *f = Abre(Com_Grupo(20));
    Engine().failStatement(2, QStringLiteral("ORA-00054: resource busy"));
    f->Grupo_20_Inclui_Tela();
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("1\r\n\r\nORA-00054: resource busy"));
}

// ---- Group 21 ----

TEST_F(Grupos_20_22, ColumnUsageReportPadsTableNamesTo25) {
    db.Exec(QStringLiteral("create table ABC (COD NUMBER(3), XPTO_A NUMBER(3))"));
    db.Exec(QStringLiteral("create table T234567890123456789012_4 (XPTO_B NUMBER(3))"));
    db.Exec(QStringLiteral("create table T234567890123456789012_45 (XPTO_C NUMBER(3))"));
    db.Exec(QStringLiteral("create table T234567890123456789012_456 (D_XPTO NUMBER(3))"));
    QFile velho(relatorios + QStringLiteral("NAO_EXISTE.txt"));
    ASSERT_TRUE(velho.open(QIODevice::WriteOnly));
    velho.write("antigo");
    velho.close();

    TRelease r = Release_Desligada();
    r.Grupo_21.Ligado = true;
    r.Grupo_21.Entradas[3] = {QStringLiteral("XPTO")};
    r.Grupo_21.Entradas[50] = {QStringLiteral("NAO_EXISTE")};
    r.Grupo_21.Entradas[51] = {QStringLiteral("xpto")}; // not upper-cased: no match
    auto *f = Abre(r);
    db.ClearLog();
    f->Grupo_21_Onde_Usa_Campo();
    ASSERT_FALSE(f->Erro) << f->Num_Err.toStdString();
    EXPECT_EQ(Conteudo(QStringLiteral("XPTO.txt")),
              QByteArray("ABC......................XPTO_A\r\n"
                         "T234567890123456789012_4.XPTO_B\r\n"
                         "T234567890123456789012_45XPTO_C\r\n"
                         "T234567890123456789012_456D_XPTO\r\n"));
    EXPECT_EQ(QDir(relatorios).entryList(QDir::Files), QStringList{QStringLiteral("XPTO.txt")});
    EXPECT_EQ(db.Log(), (QStringList{"select TABLE_NAME, COLUMN_NAME from USER_TAB_COLUMNS where "
                                     "COLUMN_NAME like '%XPTO%' order by TABLE_NAME",
                                     "select TABLE_NAME, COLUMN_NAME from USER_TAB_COLUMNS where "
                                     "COLUMN_NAME like '%NAO_EXISTE%' order by TABLE_NAME",
                                     "select TABLE_NAME, COLUMN_NAME from USER_TAB_COLUMNS where "
                                     "COLUMN_NAME like '%xpto%' order by TABLE_NAME"}));
    EXPECT_EQ(f->gg_Par->Position(), 100);
    EXPECT_EQ(f->gg_Tot->Position(), 1);
    EXPECT_FALSE(f->chckbx_Tes_Usu_Log->isChecked());
    EXPECT_FALSE(f->chckbx_Val_Atu_Ver->isChecked());
    EXPECT_FALSE(Val_Atu_Ver);
}

TEST_F(Grupos_20_22, ColumnUsageFailureReportsItsSlot) {
    TRelease r = Release_Desligada();
    r.Grupo_21.Ligado = true;
    r.Grupo_21.Entradas[7] = {QStringLiteral("COD")};
    auto *f = Abre(r);
    Engine().failStatement(1, QStringLiteral("ORA-00942: table or view does not exist"));
    f->Grupo_21_Onde_Usa_Campo();
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("7\r\n\r\nORA-00942: table or view does not exist"));
    EXPECT_EQ(f->gg_Tot->Position(), 1);
}

// ---- Group 22 ----

class Romaneios : public Grupos_20_22 {
protected:
    void SetUp() override {
        Grupos_20_22::SetUp();
        // NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, PSO_LIQ, PSO_BRU
        const char *rom[] = {
            // balanced after its write-offs of both kinds
            "1, '15/03/24', 100, 1000.5, 1100.25, 65, 650.15, 715.25",
            // no write-offs; quantity wrong
            "2, '16/03/24', 50, 500, 520, 48, 500, 520",
            // 0.3 - 0.1 - 0.2 leaves a few 1e-17: no difference after rounding
            "3, '16/03/24', 10, 0.3, 0.6, 10, 0, 0",
            // net weight wrong by 0.001
            "4, '01/01/01', 7, 12.5, 13.25, 7, 12.499, 13.25",
            // outside the date range
            "5, '01/01/31', 1, 1, 1, 0, 0, 0",
            // last day of the range, gross weight wrong
            "6, '31/12/30', 3, 3.5, 4.125, 3, 3.5, 4",
        };
        for (const char *l : rom)
            db.Exec(QStringLiteral("insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, "
                                   "ENT_PSO_BRU, QDE, PSO_LIQ, PSO_BRU) values (") +
                    QString::fromUtf8(l) + QStringLiteral(")"));
        const char *bxa[] = {"1, 1, 10, 100.1, 110", "2, 1, 20, 200.2, 220", "3, 3, 0, 0.1, 0.2",
                             "4, 3, 0, 0.2, 0.4", "5, 5, 1, 1, 1"};
        for (const char *l : bxa)
            db.Exec(QStringLiteral("insert into ROM_BXA (COD, ROM_NUM, QDE, PSO_LIQ, PSO_BRU) "
                                   "values (") +
                    QString::fromUtf8(l) + QStringLiteral(")"));
        db.Exec(QStringLiteral("insert into PDT_PED_ITE_BXA (COD, NUM, QDE, PSO_LIQ, PSO_BRU) "
                               "values (1, 1, 5, 50.05, 55)"));
        db.ClearLog();
    }

    QString Relatorio(Tfrm_Mnt *f) const {
        return QStringLiteral("Romaneio - ") + f->lbl_Emp->Caption() + QStringLiteral(".txt");
    }
};

TEST_F(Romaneios, ReportListsOnlyTheRomaneiosThatDiffer) {
    auto *f = Abre(Com_Grupo(22));
    f->Grupo_22_Diferenca_Estoque_Romaneio();
    ASSERT_FALSE(f->Erro) << f->Num_Err.toStdString();
    EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("22 - DIFERENCA ESTOQUE ROMANEIO"));
    EXPECT_EQ(Conteudo(Relatorio(f)),
              QByteArray("01/01/01 | R=4 # QDE E=7 | B=0 | V=0 | S=7 | X=7 # LIQ E=12,5 | B=0 | "
                         "V=0 | S=12,5 | X=12,499 # BRU E=13,25 | B=0 | V=0 | S=13,25 | X=13,25\r\n"
                         "16/03/24 | R=2 # QDE E=50 | B=0 | V=0 | S=50 | X=48 # LIQ E=500 | B=0 | "
                         "V=0 | S=500 | X=500 # BRU E=520 | B=0 | V=0 | S=520 | X=520\r\n"
                         "31/12/30 | R=6 # QDE E=3 | B=0 | V=0 | S=3 | X=3 # LIQ E=3,5 | B=0 | "
                         "V=0 | S=3,5 | X=3,5 # BRU E=4,125 | B=0 | V=0 | S=4,125 | X=4\r\n"));
    EXPECT_EQ(f->gg_Par->MaxValue(), 5);
    EXPECT_EQ(f->gg_Par->Position(), 5);
    EXPECT_EQ(f->lbl_Avi->Caption(), QStringLiteral("5 de 5"));
    EXPECT_EQ(f->gg_Tot->Position(), 0);
    EXPECT_FALSE(f->chckbx_Val_Atu_Ver->isChecked());
    EXPECT_FALSE(f->chckbx_Tes_Usu_Log->isChecked());
    ASSERT_GE(db.Log().size(), 3);
    EXPECT_EQ(db.Log().mid(0, 3),
              (QStringList{"select * from ROM where ENT_DTA between '01/01/01' and '31/12/30' "
                           "order by ENT_DTA, NUM",
                           "select sum(QDE) as QDE, sum(PSO_LIQ) as PSO_LIQ, sum(PSO_BRU) as "
                           "PSO_BRU from   ROM_BXA where  ROM_NUM = 4",
                           "select sum(QDE) as QDE, sum(PSO_LIQ) as PSO_LIQ, sum(PSO_BRU) as "
                           "PSO_BRU from   PDT_PED_ITE_BXA where  NUM = 4"}));
}

// Write-offs of both kinds, with a stored balance that misses one write-off.
TEST_F(Romaneios, WriteOffsOfBothKindsEnterTheBalance) {
    db.Exec(QStringLiteral("delete from ROM where NUM <> 1"));
    db.Exec(QStringLiteral("update ROM set QDE = 70, PSO_LIQ = 700.2, PSO_BRU = 770.25"));
    auto *f = Abre(Com_Grupo(22));
    f->Grupo_22_Diferenca_Estoque_Romaneio();
    ASSERT_FALSE(f->Erro);
    EXPECT_EQ(Conteudo(Relatorio(f)),
              QByteArray("15/03/24 | R=1 # QDE E=100 | B=30 | V=5 | S=65 | X=70 # LIQ E=1000,5 | "
                         "B=300,3 | V=50,05 | S=650,15 | X=700,2 # BRU E=1100,25 | B=330 | V=55 | "
                         "S=715,25 | X=770,25\r\n"));
}

TEST_F(Romaneios, EmptyRangeWritesAnEmptyReport) {
    db.Exec(QStringLiteral("delete from ROM"));
    auto *f = Abre(Com_Grupo(22));
    QFile antigo(relatorios + Relatorio(f));
    ASSERT_TRUE(antigo.open(QIODevice::WriteOnly));
    antigo.write("linha antiga\r\n");
    antigo.close();
    f->Grupo_22_Diferenca_Estoque_Romaneio();
    EXPECT_FALSE(f->Erro);
    EXPECT_EQ(Conteudo(Relatorio(f)), QByteArray());
    EXPECT_EQ(f->gg_Par->MaxValue(), 0);
    EXPECT_EQ(f->gg_Par->Position(), 0);
}

// A sum failing at the third romaneio: the partial report is removed.
TEST_F(Romaneios, FailureRemovesThePartialReport) {
    auto *f = Abre(Com_Grupo(22));
    Engine().failStatement(1 + 2 * 2 + 1, QStringLiteral("ORA-01722: invalid number"));
    f->Grupo_22_Diferenca_Estoque_Romaneio();
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->Num_Err, QStringLiteral("3\r\n\r\nORA-01722: invalid number"));
    EXPECT_EQ(f->gg_Tot->Position(), 0);
    EXPECT_EQ(QDir(relatorios).entryList(QDir::Files), QStringList());
}

// A run with a report group: success, but the stored version stays; with a
// missing report folder group 22 fails before its capture and the driver
// reports it.
TEST_F(Romaneios, RunWithReportGroupsKeepsTheStoredVersion) {
    db.Exec(QStringLiteral("create table ABC (XPTO NUMBER(3))"));
    const QString versao = db.Scalar(QStringLiteral("select VER_DAD from CFG"));
    TRelease r = Com_Grupo(22);
    r.Grupo_21.Ligado = true;
    r.Grupo_21.Entradas[1] = {QStringLiteral("XPTO")};
    auto *f = Abre(r);
    f->btbtn_Executar->click();
    EXPECT_EQ(Textos_Mostrados(), QStringList{Sucesso});
    EXPECT_EQ(db.Scalar(QStringLiteral("select VER_DAD from CFG")), versao);
    EXPECT_EQ(Conteudo(QStringLiteral("XPTO.txt")),
              QByteArray("ABC......................XPTO\r\n"));
    EXPECT_NE(Conteudo(Relatorio(f)), QByteArray("<ausente>"));
    EXPECT_EQ(Arquivos_Escritos(), QStringList()); // no backup scripts either
}

TEST_F(Romaneios, MissingReportFolderFailsTheRun) {
    Configuracao().Pth_Atu = relatorios + QStringLiteral("nao_ha/");
    auto *f = Abre(Com_Grupo(22));
    QStringList terminados;
    QObject::connect(f, &Tfrm_Mnt::groupEnded, [&](const QString &l, bool falhou) {
        terminados << l + (falhou ? QStringLiteral(" (falhou)") : QString());
    });
    f->btbtn_Executar->click();
    EXPECT_TRUE(f->Erro);
    ASSERT_EQ(dialogs->Shown().size(), 1u);
    EXPECT_TRUE(
        Textos_Mostrados().first().contains(QStringLiteral("22 - DIFERENCA ESTOQUE ROMANEIO")));
    // Those who follow the run (the console) see the group end as failed.
    EXPECT_EQ(terminados, QStringList{QStringLiteral("22 - DIFERENCA ESTOQUE ROMANEIO (falhou)")});
}

} // namespace

namespace {

// Ten write-offs of 0.1 sum to 0.9999999999999999: the balance of an entry of 1
// differs from the stored 0 only far beyond the third decimal. Counters of a
// long range carry the thousands separator.
TEST_F(Romaneios, DifferenceBeyondTheThirdDecimalIsNotReported) {
    db.Exec(QStringLiteral("delete from ROM"));
    db.Exec(QStringLiteral("delete from ROM_BXA"));
    db.Exec(QStringLiteral("insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, "
                           "PSO_LIQ, PSO_BRU) values (2, '02/02/02', 10, 1, 1, 0, 0, 0)"));
    for (int n = 1; n <= 10; ++n)
        db.Exec(QStringLiteral("insert into ROM_BXA (COD, ROM_NUM, QDE, PSO_LIQ, PSO_BRU) values "
                               "(%1, 2, 1, 0.1, 0.1)")
                    .arg(n));
    for (int n = 10; n < 1009; ++n)
        db.Exec(QStringLiteral("insert into ROM (NUM, ENT_DTA, ENT_QDE, QDE) values (%1, "
                               "'02/02/02', 0, 0)")
                    .arg(n));
    auto *f = Abre(Com_Grupo(22));
    f->Grupo_22_Diferenca_Estoque_Romaneio();
    ASSERT_FALSE(f->Erro);
    EXPECT_EQ(Conteudo(Relatorio(f)), QByteArray());
    EXPECT_EQ(f->lbl_Avi->Caption(), QStringLiteral("1.000 de 1.000"));
}

} // namespace

namespace {

// 0.3 - 0.1 - 0.2 is a tiny negative number: its rounded balance is written
// "0", never "-0".
TEST_F(Romaneios, ZeroBalanceIsWrittenWithoutSign) {
    db.Exec(QStringLiteral("delete from ROM"));
    db.Exec(QStringLiteral("delete from ROM_BXA"));
    db.Exec(QStringLiteral("delete from PDT_PED_ITE_BXA"));
    db.Exec(QStringLiteral("insert into ROM (NUM, ENT_DTA, ENT_QDE, ENT_PSO_LIQ, ENT_PSO_BRU, QDE, "
                           "PSO_LIQ, PSO_BRU) values (7, '05/05/05', 10, 0.3, 0, 9, 0, 0)"));
    db.Exec(QStringLiteral("insert into ROM_BXA (COD, ROM_NUM, QDE, PSO_LIQ, PSO_BRU) values (1, "
                           "7, 0, 0.1, 0)"));
    db.Exec(QStringLiteral("insert into PDT_PED_ITE_BXA (COD, NUM, QDE, PSO_LIQ, PSO_BRU) values "
                           "(1, 7, 0, 0.2, 0)"));
    auto *f = Abre(Com_Grupo(22));
    f->Grupo_22_Diferenca_Estoque_Romaneio();
    ASSERT_FALSE(f->Erro);
    EXPECT_EQ(Conteudo(Relatorio(f)),
              QByteArray("05/05/05 | R=7 # QDE E=10 | B=0 | V=0 | S=10 | X=9 # LIQ E=0,3 | B=0,1 | "
                         "V=0,2 | S=0 | X=0 # BRU E=0 | B=0 | V=0 | S=0 | X=0\r\n"));
}

} // namespace
