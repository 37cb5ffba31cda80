// The logged-users window on a demo schema: the list, the disconnection (with a
// recording process killer: nothing real is killed), the refused PIDs, the keys
// and the window as designed.

#include "common/Data_Module.h"
#include "common/Globais.h"
#include "platform/DialogsScripted.h"
#include "platform/ProcessKiller.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"
#include "users/Usu_Log.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLocale>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString Lista = QStringLiteral("select * from USU_LOG order by TRS desc, CPU, LGN");
const QString Falha = QStringLiteral("Não foi possível realizar esta operação!\r\n");

class UsuLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGlobais();
        ResetUsu_Log();
        QApplication::setQuitOnLastWindowClosed(false);
        dm = &db.Dm();
        dialogs = new platform::ScriptedDialogs;
        scopedDialogs =
            std::make_unique<platform::ScopedDialogs>(std::unique_ptr<platform::Dialogs>(dialogs));
        killer = new platform::RecordingProcessKiller;
        scopedKiller = std::make_unique<platform::ScopedProcessKiller>(
            std::unique_ptr<platform::ProcessKiller>(killer));
    }

    void TearDown() override {
        frm.reset();
        dm = nullptr;
        ResetUsu_Log();
        ResetGlobais();
    }

    void Usuario(const QString &pid, const QString &usu, const QString &cpu, int trs,
                 const QString &lgn) {
        db.Exec(QStringLiteral("insert into USU_LOG (PID, USU, CPU, TRS, LGN) values (%1, %2, "
                               "%3, %4, to_date('%5', 'YYYY-MM-DD HH24:MI'))")
                    .arg(pid, QuotedStr(usu), QuotedStr(cpu), QString::number(trs), lgn));
    }

    Tfrm_Usu_Log *Cria() {
        frm = std::make_unique<Tfrm_Usu_Log>(&db.Dm());
        db.ClearLog();
        return frm.get();
    }

    // Creates the window and shows it as start-up does (non-modal here, so the
    // test keeps control), waiting until it is active.
    Tfrm_Usu_Log *Mostra() {
        Tfrm_Usu_Log *f = Cria();
        f->show();
        f->activateWindow();
        EXPECT_TRUE(testsupport::WaitUntil([f] { return f->isActiveWindow(); }));
        return f;
    }

    // A key pressed on the window: delivered to its native window, which hands it
    // to the focused control, as the window system does.
    void Tecla(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QCoreApplication::sendEvent(frm->windowHandle(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, mods);
        QCoreApplication::sendEvent(frm->windowHandle(), &release);
    }

    QStringList PIDs() const {
        QStringList r;
        for (const TUsu_Log &u : frm->Registros())
            r << u.PID.toString() + QLatin1Char('@') + u.CPU;
        return r;
    }

    QStringList Textos() const {
        QStringList t;
        for (const platform::RecordedDialog &d : dialogs->Shown())
            t << d.text;
        return t;
    }

    testsupport::TestDatabase db;
    platform::ScriptedDialogs *dialogs = nullptr;
    platform::RecordingProcessKiller *killer = nullptr;
    std::unique_ptr<platform::ScopedDialogs> scopedDialogs;
    std::unique_ptr<platform::ScopedProcessKiller> scopedKiller;
    std::unique_ptr<Tfrm_Usu_Log> frm;
};

// ---- The list ----

TEST_F(UsuLogTest, ListsByTrsDescendingThenComputerThenLogon) {
    Usuario("101", "ANA", "PC-B", 1, "2025-02-01 08:30");
    Usuario("102", "BIA", "PC-A", 1, "2025-02-01 09:00");
    Usuario("103", "CAIO", "PC-A", 1, "2025-02-01 07:15");
    Usuario("104", "DANI", "PC-Z", 5, "2025-03-10 17:45");
    db.ClearLog();
    Tfrm_Usu_Log f(&db.Dm());

    EXPECT_EQ(db.Log(), QStringList{Lista});
    EXPECT_TRUE(Exi_Usu_Log);
    frm.reset();
    QStringList ordem;
    for (const TUsu_Log &u : f.Registros())
        ordem << u.PID.toString();
    EXPECT_EQ(ordem, (QStringList{"104", "103", "102", "101"}));

    // The grid shows the same rows; the logon in the system's short format.
    ASSERT_EQ(f.dtsrc_Dis->rowCount(), 4);
    QStringList linha;
    for (int c = 0; c < 5; ++c)
        linha << f.dtsrc_Dis->item(0, c)->text();
    const QString logon = QLocale::system().toString(QDateTime(QDate(2025, 3, 10), QTime(17, 45)),
                                                     QLocale::ShortFormat);
    EXPECT_EQ(linha, (QStringList{"104", "DANI", "PC-Z", "5", logon}));
    EXPECT_EQ(f.Registros()[0].LGN, QDateTime(QDate(2025, 3, 10), QTime(17, 45)));
    EXPECT_EQ(f.Linha_Atual(), 0);
}

TEST_F(UsuLogTest, EmptyTableLeavesTheWindowHiddenAndTheFlagClear) {
    Exi_Usu_Log = true; // from an earlier refresh
    Tfrm_Usu_Log *f = Cria();
    EXPECT_FALSE(Exi_Usu_Log);
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(f->Registros().isEmpty());
    EXPECT_EQ(f->Linha_Atual(), -1);
    // Nothing to disconnect: no kill, no statement.
    EXPECT_FALSE(f->Desconecta(0));
    EXPECT_TRUE(killer->Killed().isEmpty());
    EXPECT_TRUE(db.Log().isEmpty());
}

TEST_F(UsuLogTest, MissingTableLeavesTheCreation) {
    db.Exec(QStringLiteral("drop table USU_LOG purge"));
    try {
        Tfrm_Usu_Log f(&db.Dm());
        FAIL() << "the window was created without its table";
    } catch (const platform::DatabaseError &e) {
        EXPECT_TRUE(e.Message().startsWith(QStringLiteral("ORA-00942"))) << e.what();
    }
}

// ---- Disconnecting ----

TEST_F(UsuLogTest, DisconnectDeletesOnlyTheSelectedComputersRowWithTheQuoteDoubled) {
    Usuario("4321", "ANA", "O'NEIL-PC", 2, "2025-02-01 08:30");
    Usuario("4321", "BIA", "CAIXA", 2, "2025-02-01 08:31");
    Usuario("777", "CAIO", "ESTOQUE", 1, "2025-02-01 08:32");
    Tfrm_Usu_Log *f = Mostra();
    ASSERT_EQ(PIDs(), (QStringList{"4321@CAIXA", "4321@O'NEIL-PC", "777@ESTOQUE"}));

    f->dbgrd->setCurrentIndex(f->dtsrc_Dis->index(1, 2));
    Tecla(Qt::Key_F8);

    EXPECT_EQ(killer->Killed(), QList<qint64>{4321});
    EXPECT_EQ(db.Log(),
              (QStringList{"delete from USU_LOG where PID = 4321 and CPU = 'O''NEIL-PC'", Lista}));
    EXPECT_EQ(PIDs(), (QStringList{"4321@CAIXA", "777@ESTOQUE"}));
    EXPECT_EQ(db.Rows(QStringLiteral("select PID, CPU from USU_LOG order by CPU")),
              (QStringList{"4321|CAIXA", "777|ESTOQUE"}));
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(Exi_Usu_Log);
    EXPECT_TRUE(dialogs->Shown().isEmpty()); // no confirmation
}

TEST_F(UsuLogTest, DisconnectingTheLastRowEndsTheModalWindow) {
    Usuario("555", "ANA", "CAIXA", 1, "2025-02-01 08:30");
    Tfrm_Usu_Log *f = Cria();
    ASSERT_TRUE(Exi_Usu_Log);
    QTimer::singleShot(0, f, [f] { f->spdbtn_Desconectar->click(); });
    // Should the window stay open, this ends the loop with a result of its own.
    QTimer::singleShot(5000, f, [f] { f->done(99); });
    const int resultado = f->exec();

    EXPECT_NE(resultado, 99) << "the window did not close by itself";
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(Exi_Usu_Log);
    EXPECT_EQ(killer->Killed(), QList<qint64>{555});
    EXPECT_EQ(db.Log(),
              (QStringList{"delete from USU_LOG where PID = 555 and CPU = 'CAIXA'", Lista}));
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from USU_LOG")), QStringLiteral("0"));
}

// A PID from the table goes to a process killer only when it names some other
// process: otherwise message 274 says why, and nothing is killed or deleted.
TEST_F(UsuLogTest, RefusesPidsThatNameNoOtherProcess) {
    const qint64 proprio = QCoreApplication::applicationPid();
    const QString Mantido = QStringLiteral(
        "\r\nNenhum processo foi encerrado e o registro de ANA no computador CAIXA foi mantido.");
    struct Caso {
        QString pid;
        QString motivo;
    };
    const Caso casos[] = {
        {"0", "O PID 0 não é um número de processo válido."},
        {"-42", "O PID -42 não é um número de processo válido."},
        {"1", "O PID 1 é o processo inicial do sistema operacional."},
        {QString::number(proprio),
         "O PID " + QString::number(proprio) + " é o deste programa de atualização."},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.pid.toStdString());
        db.Exec(QStringLiteral("delete from USU_LOG"));
        Usuario(c.pid, "ANA", "CAIXA", 1, "2025-02-01 08:30");
        dialogs->Clear();
        Tfrm_Usu_Log *f = Mostra();
        Tecla(Qt::Key_F8);

        EXPECT_EQ(Textos(), QStringList{Falha + "\r\n" + c.motivo + Mantido});
        ASSERT_EQ(dialogs->Shown().size(), 1);
        EXPECT_EQ(dialogs->Shown()[0].kind, platform::DialogKind::Information);
        EXPECT_TRUE(killer->Killed().isEmpty());
        EXPECT_TRUE(db.Log().isEmpty());
        EXPECT_EQ(db.Rows(QStringLiteral("select PID, CPU from USU_LOG")),
                  QStringList{c.pid + "|CAIXA"});
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(f->Registros().size(), 1);
    }
}

TEST_F(UsuLogTest, RefusesARowWithoutPid) {
    // Another schema may let the column be empty.
    db.Exec(QStringLiteral("drop table USU_LOG purge"));
    db.Exec(QStringLiteral("create table USU_LOG (PID NUMBER(7,0), USU VARCHAR2(15 BYTE), CPU "
                           "VARCHAR2(15 BYTE), TRS NUMBER(3,0), LGN DATE)"));
    Usuario("NULL", "ANA", "CAIXA", 1, "2025-02-01 08:30");
    Tfrm_Usu_Log *f = Cria();
    EXPECT_FALSE(f->Desconecta(0));
    EXPECT_EQ(Textos(),
              QStringList{Falha + "\r\nO registro não tem PID.\r\nNenhum processo foi encerrado "
                                  "e o registro de ANA no computador CAIXA foi mantido."});
    EXPECT_TRUE(killer->Killed().isEmpty());
    EXPECT_TRUE(db.Log().isEmpty());
    EXPECT_EQ(db.Scalar(QStringLiteral("select count(*) from USU_LOG")), QStringLiteral("1"));
}

// Values as other database drivers may hand the column over.
TEST(Valida_PID, AcceptsOnlyAPositiveWholeNumberOfAnotherProcess) {
    struct Caso {
        QVariant pid;
        bool valido;
        QString texto_ou_motivo;
    };
    const Caso casos[] = {
        {QVariant(qlonglong(4321)), true, "4321"},
        {QVariant(4321.0), true, "4321"},
        {QVariant(QStringLiteral("0004321")), true, "4321"},
        {QVariant(QStringLiteral("12a")), false, "O PID \"12a\" não é um número inteiro."},
        {QVariant(QStringLiteral("")), false, "O PID \"\" não é um número inteiro."},
        {QVariant(QStringLiteral("4321 & calc")), false,
         "O PID \"4321 & calc\" não é um número inteiro."},
        {QVariant(12.5), false, "O PID 12.5 não é um número inteiro."},
        {QVariant(QStringLiteral("-7")), false, "O PID -7 não é um número de processo válido."},
        {QVariant(qlonglong(9999999999LL)), false,
         "O PID 9999999999 não é um número de processo válido."},
        {QVariant(), false, "O registro não tem PID."},
    };
    for (const Caso &c : casos) {
        const TPID_Usu_Log r = Valida_PID(c.pid);
        EXPECT_EQ(r.Valido, c.valido) << c.pid.toString().toStdString();
        EXPECT_EQ(r.Valido ? r.Texto : r.Motivo, c.texto_ou_motivo);
    }
}

// ---- Keys ----

TEST_F(UsuLogTest, KeysThatCloseTheWindowAndKeysThatDoNot) {
    struct Caso {
        Qt::Key tecla;
        Qt::KeyboardModifiers mods;
        bool fecha;
    };
    const Caso casos[] = {
        {Qt::Key_Escape, Qt::NoModifier, true},
        {Qt::Key_Escape, Qt::ShiftModifier | Qt::ControlModifier, true},
        {Qt::Key_F4, Qt::AltModifier, true},
        {Qt::Key_F4, Qt::ControlModifier | Qt::AltModifier, false},
        {Qt::Key_F4, Qt::ShiftModifier | Qt::AltModifier, false},
        {Qt::Key_F4, Qt::NoModifier, false},
        {Qt::Key_F4, Qt::ControlModifier, false},
    };
    Usuario("4321", "ANA", "CAIXA", 1, "2025-02-01 08:30");
    for (const Caso &c : casos) {
        SCOPED_TRACE(QKeySequence(c.tecla | c.mods).toString().toStdString());
        Tfrm_Usu_Log *f = Mostra();
        Tecla(c.tecla, c.mods);
        EXPECT_EQ(f->isVisible(), !c.fecha);
        EXPECT_TRUE(db.Log().isEmpty());
    }
    EXPECT_TRUE(killer->Killed().isEmpty());
}

TEST_F(UsuLogTest, F5RefreshesAndOtherFunctionKeysReachNoControl) {
    Usuario("4321", "ANA", "CAIXA", 1, "2025-02-01 08:30");
    Tfrm_Usu_Log *f = Mostra();
    Usuario("99", "BIA", "BALANCA", 3, "2025-02-01 09:30");
    db.ClearLog();

    // What the focused grid receives.
    struct Gravador : QObject {
        QList<int> teclas;
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() == QEvent::KeyPress)
                teclas << static_cast<QKeyEvent *>(e)->key();
            return false;
        }
    } gravador;
    f->dbgrd->setFocus();
    f->dbgrd->installEventFilter(&gravador);

    const Qt::Key outras[] = {Qt::Key_F1, Qt::Key_F2,  Qt::Key_F3,  Qt::Key_F6, Qt::Key_F7,
                              Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_F12};
    for (Qt::Key k : outras)
        Tecla(k);
    EXPECT_TRUE(db.Log().isEmpty());
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(f->Registros().size(), 1);
    EXPECT_EQ(gravador.teclas, QList<int>(std::size(outras), Qt::Key_Clear));

    Tecla(Qt::Key_F5);
    EXPECT_EQ(db.Log(), QStringList{Lista});
    EXPECT_EQ(PIDs(), (QStringList{"99@BALANCA", "4321@CAIXA"}));
    EXPECT_TRUE(f->isVisible());
    EXPECT_TRUE(killer->Killed().isEmpty());
    f->dbgrd->removeEventFilter(&gravador);
}

TEST_F(UsuLogTest, RefreshThatFindsNoRowClosesTheWindow) {
    Usuario("4321", "ANA", "CAIXA", 1, "2025-02-01 08:30");
    Tfrm_Usu_Log *f = Mostra();
    db.Exec(QStringLiteral("delete from USU_LOG"));
    f->spdbtn_Atualizar->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_FALSE(Exi_Usu_Log);
}

// ---- The window as designed ----

TEST_F(UsuLogTest, WindowGridAndButtonsAsDesigned) {
    Usuario("4321", "ANA", "CAIXA", 1, "2025-02-01 08:30");
    Tfrm_Usu_Log *f = Mostra();

    EXPECT_EQ(f->windowTitle(), QStringLiteral("003 - Usuários Logados"));
    EXPECT_EQ(f->size(), QSize(489, 377));
    EXPECT_EQ(f->minimumSize(), QSize(489, 377));
    EXPECT_EQ(f->maximumSize(), QSize(489, 377));
    const Qt::WindowFlags flags = f->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

    struct Coluna {
        QString titulo;
        int largura;
    };
    const Coluna colunas[] = {
        {"PID", 45}, {"USUÁRIO", 110}, {"COMPUTADOR", 150}, {"TRS", 30}, {"LOGON", 110}};
    ASSERT_EQ(f->dtsrc_Dis->columnCount(), 5);
    for (int c = 0; c < 5; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(f->dtsrc_Dis->headerData(c, Qt::Horizontal).toString(), colunas[c].titulo);
        EXPECT_EQ(f->dbgrd->columnWidth(c), colunas[c].largura);
        EXPECT_EQ(f->dtsrc_Dis->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
                  int(Qt::AlignCenter));
        const QFont titulo =
            f->dtsrc_Dis->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>();
        EXPECT_TRUE(titulo.bold());
        EXPECT_TRUE(titulo.underline());
        EXPECT_EQ(f->dtsrc_Dis->item(0, c)->textAlignment(), Qt::AlignCenter);
    }
    EXPECT_EQ(f->dbgrd->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(f->dbgrd->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_TRUE(f->dbgrd->verticalHeader()->isVisible());
    EXPECT_TRUE(f->dbgrd->tabKeyNavigation());

    EXPECT_EQ(f->pnl_Sair->geometry(), QRect(0, 317, 489, 60));
    EXPECT_EQ(f->pnl_Dad->geometry(), QRect(0, 0, 489, 317));
    EXPECT_EQ(f->spdbtn_Atualizar->text(), QStringLiteral("&Atualizar"));
    EXPECT_EQ(f->spdbtn_Atualizar->toolTip(),
              QStringLiteral("<F5> - Atualizar | Atualiza os dados da tela"));
    EXPECT_EQ(f->spdbtn_Desconectar->text(), QStringLiteral("&Desconectar"));
    EXPECT_EQ(f->spdbtn_Desconectar->toolTip(),
              QStringLiteral("<F8> - Desconectar | Desconecta o registro selecionado"));
    EXPECT_EQ(f->spdbtn_Desconectar->geometry(), QRect(297, 0, 192, 60));
    EXPECT_EQ(f->spdbtn_Atualizar->geometry(), QRect(0, 0, 297, 60));
    EXPECT_TRUE(f->spdbtn_Atualizar->autoRaise());
    EXPECT_TRUE(f->spdbtn_Desconectar->autoRaise());
}

} // namespace
