// The update run: the driver (version write, backup scripts, final reports, input
// block, one run at a time) and the frame every operation group shares.

#include "common/Funcoes_Veltrana.h"
#include "tests/update/mnt_fixture.h"
#include "update/Gauge.h"
#include "update/Mnt_Componentes.h"
#include "update/NumericEdit.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <map>
#include <stdexcept>

using mnttest::MntFixture;
using mnttest::Release_Desligada;

namespace {

const QString Sucesso = QStringLiteral("Operação realizada com sucesso!\r\n");
const QString Restaurar = QStringLiteral("Restauração da base de dados necessária\r\n"
                                         "Contate o suporte técnico para instruções");

QString Falha(const QString &rotulo, const QString &numErr) {
    return QStringLiteral("Não foi possível realizar esta operação!\r\n") + QStringLiteral("\r\n") +
           rotulo + QStringLiteral("\r\n\r\ni = ") + numErr + QStringLiteral("\r\n\r\n") +
           Restaurar;
}

QString Versao_Cifrada(const QString &v) {
    return Cifra_Texto(QStringLiteral("C"), v, Chave_Cifra());
}

// The form with groups that a test can replace by a step of its own, run inside
// the shared frame, and a record of the groups the driver called.
class Form_Teste : public Tfrm_Mnt {
public:
    using Tfrm_Mnt::Tfrm_Mnt;

    QList<int> chamados;
    std::map<int, std::function<void(int)>> passos;

    void Executa_Grupo(int Grupo) override {
        chamados << Grupo;
        auto it = passos.find(Grupo);
        if (it != passos.end())
            Quadro_Grupo(Grupo, it->second);
        else
            Tfrm_Mnt::Executa_Grupo(Grupo);
    }
};

// What the form reported through its signals.
struct Relato {
    QStringList iniciados, terminados;
    int casas = 0;
    QList<std::pair<bool, QString>> fins;

    void Liga(Tfrm_Mnt *f) {
        QObject::connect(f, &Tfrm_Mnt::groupStarted, [this](const QString &l) { iniciados << l; });
        QObject::connect(f, &Tfrm_Mnt::slotReached, [this](int, int) { ++casas; });
        QObject::connect(f, &Tfrm_Mnt::groupEnded, [this](const QString &l, bool falhou) {
            terminados << l + (falhou ? QStringLiteral(" (falhou)") : QString());
        });
        QObject::connect(f, &Tfrm_Mnt::runEnded, [this](bool ok, const QString &t) {
            fins.append({ok, t});
        });
    }
};

class Execucao : public MntFixture {
protected:
    // Back to a schema at 18 with no scripts written, before another run.
    void Reinicia() {
        frm.reset();
        db.Exec(QStringLiteral("update CFG set VER_DAD = ") + QuotedStr(Versao_Cifrada("18")));
        for (const QString &a : Arquivos_Escritos())
            QFile::remove(pasta + a);
        dialogs->Clear();
        db.ClearLog();
        platform::ResetTermination();
    }

    QStringList Gravacoes_Versao() const { return db.Log().filter(QStringLiteral("update CFG")); }
};

enum class Gatilho { Clique, Enter, F5 };

TEST_F(Execucao, GoodRunStoresTheVersionRewritesTheScriptsAndCloses) {
    QStringList arquivos = mnttest::Arquivos_Backup;
    arquivos.sort();
    for (Gatilho g : {Gatilho::Clique, Gatilho::Enter, Gatilho::F5}) {
        SCOPED_TRACE(static_cast<int>(g));
        Reinicia();
        TRelease r = Release_Desligada();
        r.Grupo_13.Ligado = true; // a group without entry steps, to watch the run
        Tfrm_Mnt *f = Abre(r);
        Relato relato;
        relato.Liga(f);
        int bloqueado = 0;
        QObject::connect(f, &Tfrm_Mnt::slotReached, [&](int, int) {
            bloqueado += platform::InputBlocker::IsBlocked() ? 1 : 0;
            EXPECT_EQ(f->lbl_Avi->Caption(),
                      QStringLiteral("Atualização em andamento.\r\nPor favor, aguarde..."));
            EXPECT_TRUE(f->lbl_Avi->isVisible());
            EXPECT_FALSE(f->tmr_Avi->isActive());
            EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("13 - EXCLUI REGISTRO"));
        });

        switch (g) {
        case Gatilho::Clique:
            f->btbtn_Executar->click();
            break;
        case Gatilho::Enter:
            ASSERT_TRUE(f->btbtn_Executar->hasFocus());
            Tecla(Qt::Key_Return);
            break;
        case Gatilho::F5:
            f->chckbx_Tes_Usu_Log->setFocus(); // F5 works wherever the focus is
            Tecla(Qt::Key_F5);
            break;
        }

        EXPECT_EQ(Gravacoes_Versao(), QStringList{QStringLiteral("update CFG set VER_DAD = '") +
                                                  Versao_Cifrada("1") + QStringLiteral("'")});
        EXPECT_EQ(db.Scalar(QStringLiteral("select VER_DAD from CFG")), Versao_Cifrada("1"));
        EXPECT_EQ(Arquivos_Escritos(), arquivos);
        EXPECT_EQ(Textos_Mostrados(), QStringList{Sucesso});
        EXPECT_EQ(relato.iniciados, QStringList{QStringLiteral("13 - EXCLUI REGISTRO")});
        EXPECT_EQ(relato.casas, 100);
        EXPECT_EQ(bloqueado, 100);
        EXPECT_EQ(relato.fins, (QList<std::pair<bool, QString>>{{true, QString()}}));
        EXPECT_FALSE(platform::InputBlocker::IsBlocked());
        EXPECT_FALSE(f->Erro);
        EXPECT_EQ(f->gg_Tot->Position(), f->gg_Tot->MaxValue());
        EXPECT_EQ(f->lbl_Avi->Caption(),
                  QStringLiteral("Operação finalizada\r\nAtualização sem erros"));
        EXPECT_EQ(f->lbl_Atu->Caption(), QString());
        EXPECT_FALSE(f->isVisible());
        EXPECT_FALSE(f->Fechou_Tela);
    }
}

// A support workstation keeps its input and gets no scripts; with "Valida e
// atualiza versão" unticked nothing is stored either.
TEST_F(Execucao, SupportWorkstationAndVersionBox) {
    struct Caso {
        bool suporte, desmarca, bloqueia, grava, arquivos;
    };
    for (const Caso &c :
         {Caso{false, false, true, true, true}, Caso{true, false, false, true, false},
          Caso{true, true, false, false, false}}) {
        SCOPED_TRACE(
            QStringLiteral("suporte %1 desmarca %2").arg(c.suporte).arg(c.desmarca).toStdString());
        Reinicia();
        Est_Sup = c.suporte;
        TRelease r = Release_Desligada();
        r.Grupo_17.Ligado = true;
        Tfrm_Mnt *f = Abre(r);
        if (c.desmarca)
            f->chckbx_Val_Atu_Ver->setChecked(false);
        QList<bool> bloqueio;
        QObject::connect(f, &Tfrm_Mnt::slotReached,
                         [&](int, int) { bloqueio << platform::InputBlocker::IsBlocked(); });
        f->btbtn_Executar->click();
        ASSERT_EQ(bloqueio.size(), 100);
        EXPECT_EQ(bloqueio.count(true), c.bloqueia ? 100 : 0);
        EXPECT_EQ(Gravacoes_Versao().size(), c.grava ? 1 : 0);
        EXPECT_EQ(db.Scalar(QStringLiteral("select VER_DAD from CFG")),
                  Versao_Cifrada(c.grava ? "1" : "18"));
        EXPECT_EQ(Arquivos_Escritos().size(), c.arquivos ? 7 : 0);
        EXPECT_EQ(Textos_Mostrados(), QStringList{Sucesso});
        EXPECT_FALSE(platform::InputBlocker::IsBlocked());
        EXPECT_FALSE(f->isVisible());
        Est_Sup = false;
    }
}

// A database failure inside a group: the failing slot and the database's message
// in message 274, later slots and groups skipped, nothing stored, input released.
TEST_F(Execucao, GroupFailureIsReportedAndNothingIsStored) {
    const QString ora = QStringLiteral("ORA-00955: name is already used by an existing object");
    for (int falha : {1, 3}) {
        SCOPED_TRACE(falha);
        Reinicia();
        db.Exec(QStringLiteral("delete from TEL"));
        auto *f = Abre<Form_Teste>();
        Relato relato;
        relato.Liga(f);
        QList<int> visitados;
        f->passos[5] = [&](int slot) {
            visitados << slot;
            f->FormActivate(); // a dialog closing during the run re-activates the window
            f->Executa_Sql(
                QStringLiteral("insert into TEL (NUM, NME, DES) values (%1, 'T', 'T')").arg(slot));
        };
        Engine().failStatement(falha, ora);
        f->btbtn_Executar->click();

        const QString numErr = QString::number(falha) + QStringLiteral("\r\n\r\n") + ora;
        EXPECT_EQ(Textos_Mostrados(),
                  QStringList{Falha(QStringLiteral("05 - CRIA TABELA"), numErr)});
        EXPECT_EQ(dialogs->Shown().value(0).kind, platform::DialogKind::Information);
        EXPECT_TRUE(f->Erro);
        EXPECT_EQ(f->Num_Err, numErr);
        EXPECT_EQ(f->chamados, (QList<int>{1, 2, 3, 4, 5}));
        EXPECT_EQ(visitados.size(), falha);
        EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from TEL")),
                  QString::number(falha - 1));
        EXPECT_EQ(f->gg_Tot->Position(), 1);
        EXPECT_EQ(f->gg_Par->Position(), falha);
        EXPECT_EQ(relato.terminados, QStringList{QStringLiteral("05 - CRIA TABELA (falhou)")});
        ASSERT_EQ(relato.fins.size(), 1);
        EXPECT_FALSE(relato.fins[0].first);
        EXPECT_EQ(QStringLiteral("Não foi possível realizar esta operação!\r\n") +
                      relato.fins[0].second,
                  Textos_Mostrados().value(0));
        EXPECT_TRUE(Gravacoes_Versao().isEmpty());
        EXPECT_EQ(db.Scalar(QStringLiteral("select VER_DAD from CFG")), Versao_Cifrada("18"));
        EXPECT_TRUE(Arquivos_Escritos().isEmpty());
        EXPECT_FALSE(platform::InputBlocker::IsBlocked());
        EXPECT_EQ(f->lbl_Avi->Caption(), Restaurar);
        EXPECT_EQ(f->lbl_Atu->Caption(), QString());
        EXPECT_FALSE(f->isVisible());
    }
}

// A failure that is not the program's own exception kind still ends as a failure,
// never in the success branch; it escapes the group's capture, so the group does
// not advance the total gauge.
TEST_F(Execucao, ForeignExceptionIsAFailureToo) {
    auto *f = Abre<Form_Teste>();
    f->passos[9] = [](int) { throw std::runtime_error("falha inesperada"); };
    f->btbtn_Executar->click();
    EXPECT_EQ(Textos_Mostrados(), QStringList{Falha(QStringLiteral("09 - PREENCHE CAMPO"),
                                                    QStringLiteral("\r\nfalha inesperada"))});
    EXPECT_EQ(f->chamados.size(), 9);
    EXPECT_EQ(f->gg_Tot->Position(), 0);
    EXPECT_TRUE(Gravacoes_Versao().isEmpty());
    EXPECT_TRUE(Arquivos_Escritos().isEmpty());
    EXPECT_FALSE(platform::InputBlocker::IsBlocked());
}

// Without a release file in the settings the form takes the release built in.
TEST_F(Execucao, BuiltInReleaseByDefault) {
    frm = std::make_unique<Tfrm_Mnt>();
    const TRelease interna = Carrega_Release_Interna();
    EXPECT_EQ(frm->jvclcedt_Dad_Fut->text(), QString::number(interna.Ver_Dad_Fut));
    for (int g = 1; g <= 22; ++g)
        EXPECT_EQ(frm->Release().Ligado(g), interna.Ligado(g)) << g;
    EXPECT_EQ(Usa_Ver_Exi, interna.Usa_Ver_Exi);
    EXPECT_EQ(Ver_Exi, interna.Ver_Exi);
}

// A release file named in the settings replaces the built-in one.
TEST_F(Execucao, ReleaseFileFromTheSettings) {
    QString grupos;
    for (int g = 1; g <= 22; ++g)
        grupos += QStringLiteral("%1\"%2\": {\"ligado\": false}")
                      .arg(g == 1 ? QString() : QStringLiteral(", "))
                      .arg(g, 2, 10, QLatin1Char('0'));
    const QString arquivo = db.Folder() + QStringLiteral("/release.json");
    QFile out(arquivo);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(QStringLiteral("{\"ver_dad_fut\": 19, \"usa_ver_exi\": true, \"ver_exi\": 18, "
                             "\"grupos\": {%1}}")
                  .arg(grupos)
                  .toUtf8());
    out.close();
    Configuracao().Arquivo_Release = arquivo;
    frm = std::make_unique<Tfrm_Mnt>();
    Mostra();
    EXPECT_EQ(frm->jvclcedt_Dad_Fut->text(), QStringLiteral("19"));
    frm->btbtn_Executar->click();
    EXPECT_EQ(Textos_Mostrados(), QStringList{Sucesso});
    EXPECT_EQ(db.Scalar(QStringLiteral("select VER_DAD from CFG")), Versao_Cifrada("19"));
}

// While a run is in progress, a click, Enter or F5 does not start another run
// inside it, and Esc does not take the window away.
TEST_F(Execucao, NoRunInsideARun) {
    Est_Sup = true; // input is not blocked on a support workstation
    auto *f = Abre<Form_Teste>();
    bool visivel_apos_esc = false;
    f->passos[13] = [&](int slot) {
        if (slot != 1)
            return;
        f->btbtn_Executar->click();
        Tecla(Qt::Key_F5);
        f->btbtn_Executar->setFocus();
        Tecla(Qt::Key_Return);
        f->btbtn_ExecutarClick();
        Tecla(Qt::Key_Escape);
        visivel_apos_esc = f->isVisible();
    };
    f->btbtn_Executar->click();
    QList<int> todos;
    for (int g = 1; g <= 22; ++g)
        todos << g;
    EXPECT_EQ(f->chamados, todos);
    EXPECT_TRUE(visivel_apos_esc);
    EXPECT_FALSE(f->Fechou_Tela);
    EXPECT_EQ(Textos_Mostrados(), QStringList{Sucesso});
    EXPECT_EQ(Gravacoes_Versao().size(), 1);
    EXPECT_FALSE(f->isVisible());
    // Nor after it: the run is over.
    f->btbtn_ExecutarClick();
    EXPECT_EQ(f->chamados.size(), 22);
}

// The version write itself fails: the standard error box, input released, the
// window stays open, no success report.
TEST_F(Execucao, FailedVersionWriteShowsTheErrorBoxAndKeepsTheWindow) {
    const QString ora = QStringLiteral("ORA-01031: insufficient privileges");
    Tfrm_Mnt *f = Abre();
    Relato relato;
    relato.Liga(f);
    Engine().failStatement(1, ora); // the first statement of this run is the version write
    f->btbtn_Executar->click();
    ASSERT_EQ(dialogs->Shown().size(), 1);
    EXPECT_EQ(dialogs->Shown()[0].kind, platform::DialogKind::ApplicationError);
    EXPECT_EQ(dialogs->Shown()[0].text, ora);
    EXPECT_EQ(db.Scalar(QStringLiteral("select VER_DAD from CFG")), Versao_Cifrada("18"));
    EXPECT_TRUE(Arquivos_Escritos().isEmpty());
    EXPECT_FALSE(platform::InputBlocker::IsBlocked());
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->Em_Execucao());
    EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("Atualização que será executada"));
    EXPECT_EQ(relato.fins, (QList<std::pair<bool, QString>>{{false, ora}}));
}

// ---- The group frame ----

// Switches group g on, without entries.
void Liga_Sem_Entradas(TRelease &r, int g) {
    switch (g) {
    // clang-format off
    case 1: r.Grupo_01.Ligado = true; break;
    case 2: r.Grupo_02.Ligado = true; break;
    case 3: r.Grupo_03.Ligado = true; break;
    case 4: r.Grupo_04.Ligado = true; break;
    case 5: r.Grupo_05.Ligado = true; break;
    case 6: r.Grupo_06.Ligado = true; break;
    case 7: r.Grupo_07.Ligado = true; break;
    case 8: r.Grupo_08.Ligado = true; break;
    case 9: r.Grupo_09.Ligado = true; break;
    case 10: r.Grupo_10.Ligado = true; break;
    case 11: r.Grupo_11.Ligado = true; break;
    case 12: r.Grupo_12.Ligado = true; break;
    case 13: r.Grupo_13.Ligado = true; break;
    case 14: r.Grupo_14.Ligado = true; break;
    case 15: r.Grupo_15.Ligado = true; break;
    case 16: r.Grupo_16.Ligado = true; break;
    case 17: r.Grupo_17.Ligado = true; break;
    case 18: r.Grupo_18.Ligado = true; break;
    case 19: r.Grupo_19.Ligado = true; break;
    case 20: r.Grupo_20.Ligado = true; break;
    case 21: r.Grupo_21.Ligado = true; break;
    case 22: r.Grupo_22.Ligado = true; break;
        // clang-format on
    }
}

// A switched-off group touches neither gauge nor the caption and cannot fail.
TEST_F(Execucao, SwitchedOffGroupsTouchNothing) {
    auto *f = Abre<Form_Teste>();
    Relato relato;
    relato.Liga(f);
    f->gg_Par->SetPosition(37);
    f->gg_Tot->SetPosition(4);
    f->lbl_Atu->SetCaption(QStringLiteral("antes"));
    for (int g = 1; g <= 22; ++g)
        f->Executa_Grupo(g);
    EXPECT_EQ(f->gg_Par->Position(), 37);
    EXPECT_EQ(f->gg_Par->MaxValue(), 100);
    EXPECT_EQ(f->gg_Tot->Position(), 4);
    EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("antes"));
    EXPECT_FALSE(f->Erro);
    EXPECT_TRUE(f->Num_Err.isEmpty());
    EXPECT_TRUE(relato.iniciados.isEmpty());
    EXPECT_EQ(relato.casas, 0);
    EXPECT_TRUE(db.Log().isEmpty());
}

// Every switched-on group runs the frame: its label, slots 1 to 100 with their
// signals, the total gauge advanced once. Without entries no step runs, so none
// of this depends on what the steps do.
TEST_F(Execucao, SwitchedOnGroupsRunTheFrame) {
    for (int g = 1; g <= 19; ++g) {
        SCOPED_TRACE(g);
        TRelease r = Release_Desligada();
        Liga_Sem_Entradas(r, g);
        auto *f = Abre<Form_Teste>(r);
        Relato relato;
        relato.Liga(f);
        f->gg_Par->SetPosition(55);
        f->Executa_Grupo(g);
        const QString rotulo = Tfrm_Mnt::Rotulo_Grupo(g);
        EXPECT_EQ(relato.iniciados, QStringList{rotulo});
        EXPECT_EQ(relato.terminados, QStringList{rotulo});
        EXPECT_EQ(f->lbl_Atu->Caption(), rotulo);
        EXPECT_EQ(relato.casas, 100);
        EXPECT_EQ(f->gg_Par->Position(), 100);
        EXPECT_EQ(f->gg_Par->MaxValue(), 100);
        EXPECT_EQ(f->gg_Tot->Position(), 1);
        EXPECT_FALSE(f->Erro);
        EXPECT_TRUE(db.Log().isEmpty());
        frm.reset();
    }
}

// The frame's capture replaces what Num_Err held, stops at the failing slot and
// lets the window repaint between slots.
TEST_F(Execucao, FrameProcessesWindowMessagesOncePerSlot) {
    auto *f = Abre<Form_Teste>();
    f->Num_Err = QStringLiteral("antigo");
    int entregues = 0;
    QList<int> vistos;
    f->passos[4] = [&](int slot) {
        vistos << entregues;
        // Delivered by the next slot's pass of window messages, not before.
        QMetaObject::invokeMethod(
            f, [&] { ++entregues; }, Qt::QueuedConnection);
        if (slot == 6)
            throw platform::DatabaseError(
                QStringLiteral("ORA-00942: table or view does not exist"));
    };
    f->Executa_Grupo(4);
    EXPECT_EQ(vistos, (QList<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(f->Num_Err, QStringLiteral("6\r\n\r\nORA-00942: table or view does not exist"));
    EXPECT_TRUE(f->Erro);
    EXPECT_EQ(f->gg_Tot->Position(), 1);
}

} // namespace
