// Faults during an update run. A release with every group switched on (and
// entries that all have work to do) runs once without faults; its statement
// stream tells, for each statement, which group and which slot were current.
// Then each statement in turn fails, every time on a fresh copy of the starting
// state: the run must end with one failure report naming that group, that slot
// and the database's message, run nothing after the failing statement, leave the
// stored version and the backup scripts alone, release input and close the
// window. A connection lost in the middle of the run, and faults in the version
// write and in the backup scripts' query, are checked the same way.

#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "common/Funcoes_Cifra.h"
#include "common/Globais.h"
#include "platform/Application.h"
#include "platform/DialogsScripted.h"
#include "platform/InputBlocker.h"
#include "platform/database/Script.h"
#include "platform/database/embedded/EmbeddedEngine.h"
#include "tests/support/TestSupport.h"
#include "tests/update/mnt_fixture.h"
#include "update/Mnt.h"
#include "update/Telas.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

namespace {

using platform::db::embedded::EmbeddedEngine;

const QString Sucesso = QStringLiteral("Operação realizada com sucesso!\r\n");
const QString Restaurar = QStringLiteral("Restauração da base de dados necessária\r\n"
                                         "Contate o suporte técnico para instruções");
const QString Conexao_Perdida = QStringLiteral("ORA-03113: end-of-file on communication channel");
const QString Romaneios = QStringLiteral("Romaneio - EMPRESA11.txt");

std::string S(const QString &t) {
    return t.toStdString();
}

QString Versao_Cifrada(const QString &v) {
    return Cifra_Texto(QStringLiteral("C"), v, Chave_Cifra());
}

QString Falha_Injetada(int k) {
    return QStringLiteral("ORA-20999: falha injetada no comando %1").arg(k);
}

// Message 274 for a failure at slot `casa` of the group labelled `rotulo`.
QString Relatorio_Falha(const QString &rotulo, int casa, const QString &mensagem) {
    return QStringLiteral("Não foi possível realizar esta operação!\r\n\r\n") + rotulo +
           QStringLiteral("\r\n\r\ni = ") + QString::number(casa) + QStringLiteral("\r\n\r\n") +
           mensagem + QStringLiteral("\r\n\r\n") + Restaurar;
}

// Message 248 of the backup scripts when their query fails: no file was being
// written yet, so the file name is empty.
QString Falha_Backup(const QString &mensagem) {
    return QStringLiteral("BACKUP/RESTORE\r\n\r\nNão foi possivel localizar, alterar ou criar "
                          "este arquivo de Backup/Restore!\r\n\r\n\r\n\r\n") +
           mensagem;
}

std::unique_ptr<Tdm> Modulo_Sobre(const QString &banco) {
    Configuracao().DriverID = QStringLiteral("Embedded");
    Configuracao().Database = banco;
    return std::make_unique<Tdm>();
}

// The starting state's database, built once per program: the business system's
// tables, the fixture objects of base.sql and the stored version 18. The
// connection is closed before anything is copied, so the file holds everything
// (no write-ahead log left beside it).
const QString &Banco_Modelo() {
    static QTemporaryDir pasta;
    static QString banco;
    if (banco.isEmpty()) {
        const QString arquivo = pasta.filePath(QStringLiteral("modelo.db"));
        std::unique_ptr<Tdm> m = Modulo_Sobre(arquivo);
        platform::db::RunScriptFile(*m->FDConnection,
                                    testsupport::SourcePath(QStringLiteral("demo/schema.sql")));
        platform::db::RunScriptFile(*m->FDConnection, testsupport::SourcePath(QStringLiteral(
                                                          "tests/update/data/falhas/base.sql")));
        m->FDConnection->Execute(QStringLiteral("insert into CFG (COD, VER_DAD) values (1, ") +
                                 QuotedStr(Versao_Cifrada(QStringLiteral("18"))) +
                                 QStringLiteral(")"));
        m->FDConnection->Close();
        m.reset();
        banco = arquivo;
    }
    return banco;
}

void Copia_Banco(const QString &destino) {
    for (const QString &lado : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")}) {
        if (QFileInfo::exists(Banco_Modelo() + lado)) {
            ASSERT_TRUE(QFile::copy(Banco_Modelo() + lado, destino + lado)) << S(destino + lado);
        }
    }
}

// Ends the program naming the run when a run has not ended within two minutes:
// a hang must not pass for a slow test, nor end as an anonymous time-out.
class Vigia {
public:
    explicit Vigia(int k)
        : thread_([this, k] {
              std::unique_lock<std::mutex> trava(mutex_);
              if (!fim_cv_.wait_for(trava, std::chrono::seconds(120), [this] { return fim_; })) {
                  std::fprintf(stderr, "the run failing statement %d did not end\n", k);
                  std::abort();
              }
          }) {}
    ~Vigia() {
        {
            std::lock_guard<std::mutex> trava(mutex_);
            fim_ = true;
        }
        fim_cv_.notify_one();
        thread_.join();
    }
    Vigia(const Vigia &) = delete;
    Vigia &operator=(const Vigia &) = delete;

private:
    std::mutex mutex_;
    std::condition_variable fim_cv_;
    bool fim_ = false;
    std::thread thread_;
};

// One statement of a run: its text and outcome, and the group and slot that
// were current when it ran.
struct Comando {
    QString sql;
    bool ok = true;
    QString erro;
    QString rotulo;
    int casa = 0;
};

// One update run on its own copy of the starting state: database file, the
// folder the file groups act on, an empty report folder and an empty data
// folder for the backup scripts; the window with scripted dialogs.
class Execucao {
public:
    Execucao() {
        ResetGlobais();
        ResetMnt();
        ResetConfiguracao();
        platform::ResetTermination();
        platform::InputBlocker::Block(false);
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        banco = pasta.filePath(QStringLiteral("base.db"));
        Copia_Banco(banco);
        arquivos = pasta.path() + QStringLiteral("/arquivos/");
        relatorios = pasta.path() + QStringLiteral("/relatorios/");
        dados = pasta.path() + QStringLiteral("/dados/");
        for (const char *sub : {"apaga", "renomeia"})
            QDir().mkpath(arquivos + QString::fromLatin1(sub));
        for (const char *a : {"apaga/X.TMP", "apaga/Y.TMP", "apaga/FICA.TXT", "renomeia/A.OLD",
                              "renomeia/OUTRO.TXT"}) {
            QFile f(arquivos + QString::fromLatin1(a));
            if (f.open(QIODevice::WriteOnly))
                f.write(a);
        }
        QDir().mkpath(relatorios);
        QDir().mkpath(dados);
        Configuracao().Pasta_Dados = dados;
        Configuracao().Pth_Atu = relatorios;
        modulo = Modulo_Sobre(banco);
        dm = modulo.get();
        modulo->FDConnection->Open();
        motor = dynamic_cast<EmbeddedEngine *>(modulo->FDConnection->CurrentBackend());
        if (motor == nullptr)
            throw std::logic_error("the run's database is not on the embedded engine");
        modulo->FDConnection->AddStatementObserver([this](const platform::db::StatementEvent &e) {
            comandos.append({e.sql, e.ok, e.error, rotulo, casa});
        });
        Emp_Atu = TVeltrana::Empresa11;
        Ver_Dad_Atu = 18;
        dialogos = new platform::ScriptedDialogs;
        escopo =
            std::make_unique<platform::ScopedDialogs>(std::unique_ptr<platform::Dialogs>(dialogos));
    }

    ~Execucao() {
        form.reset();
        platform::InputBlocker::Block(false);
        dm = nullptr;
        modulo.reset();
        escopo.reset();
        EmbeddedEngine::restoreConnection(banco);
        QLocale::setDefault(QLocale::c());
        ResetGlobais();
        ResetMnt();
        ResetConfiguracao();
        platform::ResetTermination();
    }

    Execucao(const Execucao &) = delete;
    Execucao &operator=(const Execucao &) = delete;

    // The campaign's release with this run's folder in place of @PASTA@.
    TRelease Release() const {
        static const QString json = testsupport::ReadText(
            testsupport::SourcePath(QStringLiteral("tests/update/data/falhas/campanha.json")));
        QString texto = json;
        texto.replace(QStringLiteral("@PASTA@"), arquivos);
        return Le_Release(texto.toUtf8(), QStringLiteral("campanha.json"));
    }

    // The same without the two report groups, so that a good run stores the
    // version and writes the backup scripts (either report group turns that off).
    TRelease Release_Com_Versao() const {
        TRelease r = Release();
        r.Grupo_21 = {};
        r.Grupo_22 = {};
        return r;
    }

    // Creates the window as start-up does, shows it and waits for its activation.
    // Without repaints (the campaign's runs look at the dialogs, not at the
    // screen) a run costs about a third: every slot of every group would
    // otherwise repaint the gauges.
    bool Abre(const TRelease &release, bool repinta = true) {
        form = std::make_unique<Tfrm_Mnt>(release, modulo.get());
        // Before its first slot a group reports 0; group 20's gauge starts at 1.
        QObject::connect(form.get(), &Tfrm_Mnt::groupStarted, [this](const QString &r) {
            rotulo = r;
            casa = r == Tfrm_Mnt::Rotulo_Grupo(20) ? 1 : 0;
        });
        QObject::connect(form.get(), &Tfrm_Mnt::slotReached, [this](int c, int) { casa = c; });
        QObject::connect(form.get(), &Tfrm_Mnt::runEnded, [this](bool ok, const QString &t) {
            fins.append({ok, t});
        });
        const bool ativa = mnttest::Ativa(form.get());
        form->setUpdatesEnabled(repinta);
        return ativa;
    }

    // Clicks Executar; what the click ran is in `comandos` and Executados().
    void Executa(int k = 0) {
        comandos.clear();
        rotulo.clear();
        casa = 0;
        inicio = motor->statementsExecuted();
        Vigia vigia(k);
        form->btbtn_Executar->click();
    }

    qint64 Executados() const { return motor->statementsExecuted() - inicio; }

    QStringList Mostrados() const {
        QStringList t;
        for (const platform::RecordedDialog &d : dialogos->Shown())
            t << d.text;
        return t;
    }

    QStringList Backup() const { return QDir(dados).entryList(QDir::Files, QDir::Name); }
    QStringList Relatorios() const { return QDir(relatorios).entryList(QDir::Files, QDir::Name); }

    // The stored version, read on the run's own connection.
    QString Versao() const {
        const platform::db::ResultSet r =
            modulo->FDConnection->Execute(QStringLiteral("select VER_DAD from CFG"));
        return r.rows.empty() ? QString() : r.rows[0][0].toString();
    }

    // The stored version seen by a new connection, once the lost one is given back.
    QString Versao_Nova_Conexao() const {
        EmbeddedEngine::restoreConnection(banco);
        std::unique_ptr<Tdm> m = Modulo_Sobre(banco);
        const platform::db::ResultSet r =
            m->FDConnection->Execute(QStringLiteral("select VER_DAD from CFG"));
        return r.rows.empty() ? QString() : r.rows[0][0].toString();
    }

    QStringList Linhas(const QString &sql) const {
        QStringList out;
        for (const auto &linha : modulo->FDConnection->Execute(sql).rows) {
            QStringList cols;
            for (const QVariant &v : linha)
                cols << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            out << cols.join(QLatin1Char('|'));
        }
        return out;
    }

    QTemporaryDir pasta;
    QString banco, arquivos, relatorios, dados;
    std::unique_ptr<Tdm> modulo;
    EmbeddedEngine *motor = nullptr;
    platform::ScriptedDialogs *dialogos = nullptr;
    std::unique_ptr<platform::ScopedDialogs> escopo;
    std::unique_ptr<Tfrm_Mnt> form;
    QList<Comando> comandos;
    QList<std::pair<bool, QString>> fins;

private:
    QString rotulo;
    int casa = 0;
    qint64 inicio = 0;
};

// The statements of the fault-free run of the campaign's release, run once per
// program. Empty when that run did not succeed.
const QList<Comando> &Comandos_Sem_Falha() {
    static const QList<Comando> comandos = [] {
        Execucao ex;
        if (!ex.Abre(ex.Release()))
            return QList<Comando>();
        ex.Executa();
        const bool ok = ex.Mostrados() == QStringList{Sucesso} && !ex.form->Erro;
        return ok ? ex.comandos : QList<Comando>();
    }();
    return comandos;
}

// Checks made after every failed run inside the groups.
void Confere_Falha_Em_Grupo(Execucao &ex, int k, const Comando &alvo, const QString &mensagem) {
    EXPECT_EQ(ex.Executados(), k);
    ASSERT_EQ(ex.comandos.size(), k);
    EXPECT_EQ(S(ex.comandos.last().sql), S(alvo.sql));
    EXPECT_FALSE(ex.comandos.last().ok);
    EXPECT_EQ(S(ex.comandos.last().erro), S(mensagem));
    ASSERT_EQ(ex.dialogos->Shown().size(), 1);
    EXPECT_EQ(ex.dialogos->Shown()[0].kind, platform::DialogKind::Information);
    EXPECT_EQ(S(ex.Mostrados()[0]), S(Relatorio_Falha(alvo.rotulo, alvo.casa, mensagem)));
    ASSERT_EQ(ex.fins.size(), 1);
    EXPECT_FALSE(ex.fins[0].first);
    EXPECT_TRUE(ex.form->Erro);
    EXPECT_FALSE(platform::InputBlocker::IsBlocked());
    EXPECT_FALSE(ex.form->isVisible());
    EXPECT_FALSE(ex.form->Em_Execucao());
    EXPECT_FALSE(platform::TerminationRequested());
    EXPECT_EQ(ex.Backup(), QStringList());
    // A failed stock report leaves no partial file.
    EXPECT_FALSE(ex.Relatorios().contains(Romaneios));
}

// ---- The fault-free run ----

// Every group does real work, the run succeeds and, with the report groups on,
// stores no version and writes no backup scripts. Its statement stream is the
// campaign's map: each group runs its statements at the slots of its entries
// (group 20 at 1 for the clearing and one ahead of each screen number, group 22
// at 0 for its query of romaneios and then one slot per romaneio).
TEST(Falhas, FaultFreeRunDoesTheWorkOfEveryGroup) {
    Execucao ex;
    const TRelease release = ex.Release();
    ASSERT_TRUE(ex.Abre(release));
    ex.Executa();
    const QList<Comando> corrida = ex.comandos;
    ASSERT_EQ(ex.Mostrados(), QStringList{Sucesso});
    EXPECT_FALSE(ex.form->Erro);
    EXPECT_EQ(ex.Executados(), corrida.size());
    EXPECT_EQ(ex.fins, (QList<std::pair<bool, QString>>{{true, QString()}}));
    EXPECT_EQ(ex.Versao(), Versao_Cifrada(QStringLiteral("18")));
    EXPECT_EQ(ex.Backup(), QStringList());
    EXPECT_FALSE(platform::InputBlocker::IsBlocked());
    EXPECT_FALSE(ex.form->isVisible());

    const std::pair<const char *, QStringList> efeitos[] = {
        {"select TABLE_NAME from USER_TABLES where TABLE_NAME in ('ANTIGA', 'NOVA', 'TMP_A', "
         "'TMP_B', 'TMP') order by TABLE_NAME",
         {"NOVA", "TMP_B"}},
        {"select CONSTRAINT_NAME from USER_CONSTRAINTS where TABLE_NAME in ('NOVA', 'T3', 'T4', "
         "'T5', 'T8') order by CONSTRAINT_NAME",
         {"NOVA_PK", "T3_PK", "T4_PK", "T5_PK", "T8_PK"}},
        {"select SEQUENCE_NAME from USER_SEQUENCES order by SEQUENCE_NAME", {"SEQ_NOVA", "SEQ_T6"}},
        {"select SEQ_T6.NEXTVAL from DUAL", {"57"}},
        {"select CODIGO, NOME from T3", {"1|um"}},
        {"select COD, TXT from T4 order by COD", {"A1|um", "B2|dois"}},
        {"select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = 'T4' order by COLUMN_NAME",
         {"COD", "TXT"}},
        {"select COD, NOVA from T5", {"1|um"}},
        {"select COD, ANT, OBS from T7 order by COD", {"1|velho|novo", "2|velho|novo"}},
        {"select A, B, C, NOVO from T8 order by A", {"1|b1|c1|<null>", "2|b2|c2|<null>"}},
        {"select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = 'TMP_B' order by COLUMN_NAME",
         {"COD", "COL_Y"}},
        {"select COD, DES from TXT_TST order by COD", {"1|SIM SEI", "2|SIM, SIM e SIM", "3|NÃO"}},
        {"select NME from USU where IDT = 'ANA'", {"Administradora"}},
        {"select count(*) from TEL", {"373"}},
        {"select USU_IDT, count(*) from USU_ACE group by USU_IDT order by USU_IDT",
         {"ANA|373", "OPE|1"}},
    };
    for (const auto &[sql, esperado] : efeitos)
        EXPECT_EQ(ex.Linhas(QString::fromUtf8(sql)), esperado) << sql;
    EXPECT_EQ(QDir(ex.arquivos + QStringLiteral("apaga")).entryList(QDir::Files),
              QStringList{QStringLiteral("FICA.TXT")});
    EXPECT_EQ(QDir(ex.arquivos + QStringLiteral("renomeia")).entryList(QDir::Files, QDir::Name),
              (QStringList{QStringLiteral("A.NEW"), QStringLiteral("OUTRO.TXT")}));
    ASSERT_EQ(ex.Relatorios(), (QStringList{QStringLiteral("PSO_.txt"), Romaneios}));
    QFile uso(ex.relatorios + QStringLiteral("PSO_.txt"));
    ASSERT_TRUE(uso.open(QIODevice::ReadOnly));
    QStringList linhas = QString::fromLatin1(uso.readAll()).split(QStringLiteral("\r\n"));
    linhas.sort();
    EXPECT_EQ(
        linhas,
        (QStringList{"", "PDT_PED_ITE_BXA..........PSO_BRU", "PDT_PED_ITE_BXA..........PSO_LIQ",
                     "ROM......................ENT_PSO_BRU", "ROM......................ENT_PSO_LIQ",
                     "ROM......................PSO_BRU", "ROM......................PSO_LIQ",
                     "ROM_BXA..................PSO_BRU", "ROM_BXA..................PSO_LIQ"}));
    QFile rom(ex.relatorios + Romaneios);
    ASSERT_TRUE(rom.open(QIODevice::ReadOnly));
    EXPECT_EQ(rom.readAll(),
              QByteArray("16/03/24 | R=2 # QDE E=50 | B=0 | V=0 | S=50 | X=49 # LIQ E=500 | B=0 | "
                         "V=0 | S=500 | X=500 # BRU E=520 | B=0 | V=0 | S=520 | X=520\r\n"));

    // The map: which slots of which group own statements.
    std::map<QString, std::set<int>> casas;
    QStringList ordem;
    for (const Comando &c : corrida) {
        if (ordem.isEmpty() || ordem.last() != c.rotulo)
            ordem << c.rotulo;
        casas[c.rotulo].insert(c.casa);
    }
    QStringList grupos;
    for (int g : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 18, 19, 20, 21, 22})
        grupos << Tfrm_Mnt::Rotulo_Grupo(g);
    EXPECT_EQ(ordem, grupos);
    const std::set<int> primeira{1};
    for (int g : {1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 16, 18, 19, 21})
        EXPECT_EQ(casas[Tfrm_Mnt::Rotulo_Grupo(g)], primeira) << g;
    for (int g : {3, 4})
        EXPECT_EQ(casas[Tfrm_Mnt::Rotulo_Grupo(g)], (std::set<int>{1, 2})) << g;
    std::set<int> telas{1};
    for (const TTela &t : Lista_Telas())
        telas.insert(t.Num + 1);
    EXPECT_EQ(casas[Tfrm_Mnt::Rotulo_Grupo(20)], telas);
    EXPECT_EQ(casas[Tfrm_Mnt::Rotulo_Grupo(22)], (std::set<int>{0, 1, 2}));
    std::printf("[ falhas ] the fault-free run executed %lld statements\n",
                static_cast<long long>(corrida.size()));
}

// ---- Every statement failing in turn ----

// The campaign is cut into interleaved parts (k = part + 1, part + 1 + Partes,
// ...) so that each part is a test of its own and the parts can run side by side.
constexpr int Partes = 4;

class Campanha : public ::testing::TestWithParam<int> {};

TEST_P(Campanha, EachFailingStatementIsReportedWithItsGroupAndSlot) {
    const QList<Comando> &limpa = Comandos_Sem_Falha();
    ASSERT_FALSE(limpa.isEmpty()) << "the fault-free run did not succeed";
    const testing::TestResult &resultado =
        *testing::UnitTest::GetInstance()->current_test_info()->result();
    QElapsedTimer relogio;
    relogio.start();
    int runs = 0;
    int falhos = 0;
    for (int k = GetParam() + 1; k <= limpa.size(); k += Partes) {
        const Comando &alvo = limpa[k - 1];
        SCOPED_TRACE(S(QStringLiteral("k = %1, %2, slot %3: %4")
                           .arg(k)
                           .arg(alvo.rotulo)
                           .arg(alvo.casa)
                           .arg(alvo.sql)));
        const int antes = resultado.total_part_count();
        {
            Execucao ex;
            ASSERT_TRUE(ex.Abre(ex.Release(), false));
            const QString mensagem = Falha_Injetada(k);
            ex.motor->failStatement(k, mensagem);
            ex.Executa(k);
            Confere_Falha_Em_Grupo(ex, k, alvo, mensagem);
            EXPECT_EQ(ex.Versao(), Versao_Cifrada(QStringLiteral("18")));
        }
        ++runs;
        if (resultado.total_part_count() > antes && ++falhos == 5) {
            ADD_FAILURE() << "stopped after 5 failing statements";
            break;
        }
    }
    std::printf("[ falhas ] part %d: %d faulted runs of %lld statements in %.1f s\n", GetParam(),
                runs, static_cast<long long>(limpa.size()), relogio.elapsed() / 1000.0);
}

INSTANTIATE_TEST_SUITE_P(Partes, Campanha, ::testing::Range(0, Partes));

// ---- A lost connection ----

// The connection is lost at the first statement, in a DDL group, in the screen
// rebuild, in the stock report and at the last statement: the report names the
// group and slot with the end-of-file message, nothing else is tried, and once
// the connection is given back the schema shows the old version and no scripts.
TEST(Falhas, LostConnectionIsReportedAndNothingFollows) {
    const QList<Comando> &limpa = Comandos_Sem_Falha();
    ASSERT_FALSE(limpa.isEmpty()) << "the fault-free run did not succeed";
    auto Indice = [&](int grupo, const QString &trecho) {
        for (int i = 0; i < limpa.size(); ++i) {
            if (limpa[i].rotulo == Tfrm_Mnt::Rotulo_Grupo(grupo) && limpa[i].sql.contains(trecho))
                return i + 1;
        }
        return 0;
    };
    const std::pair<const char *, int> casos[] = {
        {"first statement", 1},
        {"create table of group 05", Indice(5, QStringLiteral("create table T5"))},
        {"screen 400 of group 20", Indice(20, QStringLiteral("values (400, "))},
        {"sales write-offs of group 22", Indice(22, QStringLiteral("PDT_PED_ITE_BXA"))},
        {"last statement", int(limpa.size())},
    };
    for (const auto &[nome, k] : casos) {
        ASSERT_GT(k, 0) << nome;
        const Comando &alvo = limpa[k - 1];
        SCOPED_TRACE(S(QStringLiteral("%1: k = %2, %3, slot %4: %5")
                           .arg(QString::fromUtf8(nome))
                           .arg(k)
                           .arg(alvo.rotulo)
                           .arg(alvo.casa)
                           .arg(alvo.sql)));
        Execucao ex;
        ASSERT_TRUE(ex.Abre(ex.Release()));
        ex.motor->loseConnectionAt(k);
        ex.Executa(k);
        Confere_Falha_Em_Grupo(ex, k, alvo, Conexao_Perdida);
        EXPECT_EQ(ex.Versao_Nova_Conexao(), Versao_Cifrada(QStringLiteral("18")));
        EXPECT_EQ(ex.Backup(), QStringList());
    }
}

// ---- The version write and the backup scripts ----

// Without the report groups a good run ends with the version write and the
// backup scripts' query. A fault in the version write shows the error box,
// stores nothing, writes no script, releases input and keeps the window; a
// fault in the scripts' query comes after the version is stored: message 248
// (with no file name, as no file was being written), the success report, the
// program asked to end, and no script written.
TEST(Falhas, FaultsInTheVersionWriteAndTheBackupQuery) {
    qsizetype grupos = 0;
    {
        Execucao ex;
        ASSERT_TRUE(ex.Abre(ex.Release_Com_Versao()));
        ex.Executa();
        ASSERT_EQ(ex.Mostrados(), QStringList{Sucesso});
        ASSERT_GE(ex.comandos.size(), 2);
        grupos = ex.comandos.size() - 2;
        EXPECT_EQ(ex.Executados(), grupos + 2);
        EXPECT_EQ(S(ex.comandos[grupos].sql),
                  S(QStringLiteral("update CFG set VER_DAD = '") +
                    Versao_Cifrada(QStringLiteral("19")) + QStringLiteral("'")));
        EXPECT_EQ(S(ex.comandos[grupos + 1].sql), "select PST_BKP from PRM_GER");
        EXPECT_EQ(ex.comandos[grupos - 1].rotulo, Tfrm_Mnt::Rotulo_Grupo(20));
        EXPECT_EQ(ex.Versao(), Versao_Cifrada(QStringLiteral("19")));
        QStringList scripts = mnttest::Arquivos_Backup;
        scripts.sort();
        EXPECT_EQ(ex.Backup(), scripts);
    }

    struct Caso {
        const char *nome;
        int depois_dos_grupos; // 1: the version write, 2: the backup query
        bool perde_conexao;
    };
    for (const Caso &c : {Caso{"version write fails", 1, false},
                          Caso{"connection lost at the version write", 1, true},
                          Caso{"backup query fails", 2, false},
                          Caso{"connection lost at the backup query", 2, true}}) {
        SCOPED_TRACE(c.nome);
        const int k = int(grupos) + c.depois_dos_grupos;
        const QString mensagem = c.perde_conexao
                                     ? Conexao_Perdida
                                     : QStringLiteral("ORA-01031: insufficient privileges");
        Execucao ex;
        ASSERT_TRUE(ex.Abre(ex.Release_Com_Versao()));
        if (c.perde_conexao)
            ex.motor->loseConnectionAt(k);
        else
            ex.motor->failStatement(k, mensagem);
        ex.Executa(k);

        EXPECT_EQ(ex.Executados(), k);
        ASSERT_EQ(ex.comandos.size(), k);
        EXPECT_FALSE(ex.comandos.last().ok);
        EXPECT_EQ(S(ex.comandos.last().erro), S(mensagem));
        EXPECT_FALSE(ex.form->Erro);
        EXPECT_FALSE(platform::InputBlocker::IsBlocked());
        EXPECT_EQ(ex.Backup(), QStringList());
        const QString versao = c.perde_conexao ? ex.Versao_Nova_Conexao() : ex.Versao();
        if (c.depois_dos_grupos == 1) {
            ASSERT_EQ(ex.dialogos->Shown().size(), 1);
            EXPECT_EQ(ex.dialogos->Shown()[0].kind, platform::DialogKind::ApplicationError);
            EXPECT_EQ(S(ex.Mostrados()[0]), S(mensagem));
            EXPECT_EQ(ex.fins, (QList<std::pair<bool, QString>>{{false, mensagem}}));
            EXPECT_EQ(versao, Versao_Cifrada(QStringLiteral("18")));
            EXPECT_TRUE(ex.form->isVisible());
            EXPECT_FALSE(ex.form->Em_Execucao());
            EXPECT_FALSE(platform::TerminationRequested());
        } else {
            ASSERT_EQ(ex.dialogos->Shown().size(), 2);
            EXPECT_EQ(ex.dialogos->Shown()[0].kind, platform::DialogKind::Information);
            EXPECT_EQ(S(ex.Mostrados()[0]), S(Falha_Backup(mensagem)));
            EXPECT_EQ(S(ex.Mostrados()[1]), S(Sucesso));
            EXPECT_EQ(ex.fins, (QList<std::pair<bool, QString>>{{true, QString()}}));
            EXPECT_EQ(versao, Versao_Cifrada(QStringLiteral("19")));
            EXPECT_FALSE(ex.form->isVisible());
            EXPECT_TRUE(platform::TerminationRequested());
        }
    }
}

} // namespace
