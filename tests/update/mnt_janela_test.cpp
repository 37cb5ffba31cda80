// The update window before a run: its layout, what activation shows or refuses,
// the blinking notice and the keys.
//
// With ATUALIZA_SCREENSHOT=<file.png> set, the test FirstActivationScreenshot
// writes the window as grabbed at its first activation (docs/mnt.png).

#include "tests/update/mnt_fixture.h"
#include "update/Gauge.h"
#include "update/Mnt_Componentes.h"
#include "update/NumericEdit.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

using mnttest::MntFixture;
using mnttest::Release_Desligada;

namespace {

const QString Texto_Fora_Sequencia_18 =
    QStringLiteral("Não foi possível realizar esta operação!\r\n\r\nDESCRIÇÃO DO ERRO:\r\n\r\n"
                   "Tela de Manutenção:\r\n\r\nAtualização fora de sequencia!\r\n"
                   "Rode a Atualização 18");

class Janela : public MntFixture {};

struct Aparencia {
    const char *objeto;
    QRect lugar; // in the parent's coordinates
    QString texto;
    QColor cor;
    int pixels;
    bool negrito;
    bool sublinhado;
};

QString Texto_De(QWidget *w) {
    if (auto *l = qobject_cast<CaptionLabel *>(w))
        return l->Caption();
    if (auto *b = qobject_cast<QAbstractButton *>(w))
        return b->text();
    if (auto *g = qobject_cast<QGroupBox *>(w))
        return g->title();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        return e->text();
    return QString();
}

TEST_F(Janela, IsBuiltAsDesigned) {
    Tfrm_Mnt f(Release_Desligada(), &db.Dm());
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Atualiza a Base de Dados"));
    EXPECT_EQ(f.size(), QSize(354, 336));
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(f.palette().color(QPalette::Window), QColor(240, 240, 240));
    EXPECT_EQ(f.font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(f.font().pixelSize(), 16);

    const QColor navy(0, 0, 128), black(0, 0, 0), blue(0, 0, 255), teal(0, 128, 128),
        red(255, 0, 0), green(0, 128, 0);
    const std::vector<Aparencia> casos = {
        {"pnl_Dad", {0, 0, 354, 230}, {}, {}, 0, false, false},
        {"lbl_Emp", {6, 19, 342, 30}, QStringLiteral("E M P R E S A"), navy, 21, true, true},
        {"lbl_Tot", {20, 66, 70, 17}, QStringLiteral("Total"), black, 13, true, true},
        {"lbl_Par", {90, 66, 70, 17}, QStringLiteral("Parcial"), black, 13, true, true},
        {"gg_Tot", {20, 85, 70, 70}, {}, {}, 19, true, false},
        {"gg_Par", {90, 85, 70, 70}, {}, {}, 19, true, false},
        {"grpbx_Ver",
         {200, 60, 130, 100},
         QStringLiteral("Versão dos Dados"),
         teal,
         13,
         true,
         true},
        {"lbl_Bse_Atu", {15, 32, 45, 19}, QStringLiteral("Atual"), black, 13, true, false},
        {"lbl_Bse_Fut", {72, 32, 55, 19}, QStringLiteral("Futura"), black, 13, true, false},
        {"jvclcedt_Dad_Atu", {15, 56, 40, 27}, QString(), red, 16, true, false},
        {"jvclcedt_Dad_Fut", {75, 56, 40, 27}, QStringLiteral("1"), green, 16, true, false},
        {"btbtn_Executar", {20, 165, 140, 50}, QStringLiteral("Executar"), {}, 13, true, false},
        {"chckbx_Tes_Usu_Log",
         {170, 170, 178, 17},
         QStringLiteral("Testa usuários logados"),
         blue,
         13,
         true,
         false},
        {"chckbx_Val_Atu_Ver",
         {170, 190, 178, 17},
         QStringLiteral("Valida e atualiza versão"),
         blue,
         13,
         true,
         false},
        {"pnl_Avi", {0, 230, 354, 66}, {}, {}, 0, false, false},
        {"lbl_Avi", {6, 6, 342, 54}, QStringLiteral("MENSAGEM  do  BACKUP"), red, 19, true, false},
        {"pnl_Atu", {0, 296, 354, 40}, {}, {}, 0, false, false},
        {"lbl_Atu", {6, 6, 342, 28}, QStringLiteral("ATUALIZAÇÃO"), blue, 16, false, false},
    };
    for (const Aparencia &c : casos) {
        SCOPED_TRACE(c.objeto);
        auto *w = f.findChild<QWidget *>(QString::fromLatin1(c.objeto));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), c.lugar);
        EXPECT_EQ(Texto_De(w), c.texto);
        if (c.cor.isValid()) {
            // The colour holds in every state: several of these sit in disabled parents.
            EXPECT_EQ(w->palette().color(QPalette::Disabled, QPalette::WindowText), c.cor);
            EXPECT_EQ(w->palette().color(QPalette::Active, QPalette::WindowText), c.cor);
        }
        if (c.pixels != 0) {
            EXPECT_EQ(w->font().pixelSize(), c.pixels);
            EXPECT_EQ(w->font().bold(), c.negrito);
            EXPECT_EQ(w->font().underline(), c.sublinhado);
        }
    }
    EXPECT_EQ(f.lbl_Emp->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_TRUE(f.lbl_Emp->autoFillBackground());
    EXPECT_EQ(f.lbl_Avi->alignment(), Qt::AlignCenter);
    EXPECT_EQ(f.lbl_Atu->alignment(), Qt::AlignCenter);
    EXPECT_EQ(f.gg_Tot->MaxValue(), 22);
    EXPECT_EQ(f.gg_Tot->Position(), 0);
    EXPECT_EQ(f.btbtn_Executar->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_FALSE(f.btbtn_Executar->icon().isNull());
    EXPECT_TRUE(f.chckbx_Tes_Usu_Log->isChecked());
    EXPECT_FALSE(f.chckbx_Tes_Usu_Log->isEnabled());
    EXPECT_TRUE(f.chckbx_Val_Atu_Ver->isChecked());
    EXPECT_FALSE(f.grpbx_Ver->isEnabled());
    EXPECT_TRUE(f.grpbx_Ver->isFlat());
    EXPECT_TRUE(f.jvclcedt_Dad_Atu->isReadOnly());
    EXPECT_FALSE(f.pnl_Avi->isEnabled());
    EXPECT_FALSE(f.pnl_Atu->isEnabled());
    EXPECT_EQ(f.tmr_Avi->interval(), 500);
    EXPECT_TRUE(f.tmr_Avi->isActive());

    // Centred on the screen.
    const QPoint centro = f.screen()->availableGeometry().center();
    EXPECT_LE((f.geometry().center() - centro).manhattanLength(), 2);
}

// Creation copies the boxes and the future version into the unit's globals; only a
// support workstation may change "Valida e atualiza versão".
TEST_F(Janela, CreationSetsTheGlobals) {
    for (bool suporte : {false, true}) {
        SCOPED_TRACE(suporte);
        ResetMnt();
        Est_Sup = suporte;
        TRelease r = Release_Desligada();
        r.Ver_Dad_Fut = 7;
        r.Usa_Ver_Exi = false;
        r.Ver_Exi = 3;
        Tfrm_Mnt f(r, &db.Dm());
        EXPECT_TRUE(Tes_Usu_Log);
        EXPECT_TRUE(Val_Atu_Ver);
        EXPECT_EQ(Ver_Dad_Fut, 7);
        EXPECT_FALSE(Usa_Ver_Exi);
        EXPECT_EQ(Ver_Exi, 3);
        EXPECT_EQ(f.chckbx_Val_Atu_Ver->isEnabled(), suporte);
    }
}

TEST_F(Janela, ActivationAtTheExpectedVersionShowsTheInstallationAndVersions) {
    struct Caso {
        bool suporte;
        QString linha;
    };
    for (const Caso &c : {Caso{false, QStringLiteral("Atualização que será executada")},
                          Caso{true, QStringLiteral("Logado = Veltrana")}}) {
        SCOPED_TRACE(c.suporte);
        Est_Sup = c.suporte;
        dialogs->Clear();
        Tfrm_Mnt *f = Abre();
        EXPECT_EQ(f->lbl_Emp->Caption(), QStringLiteral("EMPRESA11"));
        EXPECT_EQ(f->lbl_Avi->Caption(), QStringLiteral("Sempre faça um \"BACKUP\" antes\r\n"
                                                        "de realizar qualquer atualização."));
        EXPECT_EQ(f->jvclcedt_Dad_Atu->text(), QStringLiteral("18"));
        EXPECT_EQ(f->jvclcedt_Dad_Fut->text(), QStringLiteral("1"));
        EXPECT_TRUE(f->grpbx_Ver->isVisible());
        EXPECT_EQ(f->lbl_Atu->Caption(), c.linha);
        EXPECT_TRUE(f->btbtn_Executar->isEnabled());
        EXPECT_TRUE(f->btbtn_Executar->hasFocus());
        EXPECT_TRUE(dialogs->Shown().isEmpty());
        EXPECT_FALSE(Err_Ver);
        EXPECT_TRUE(Des_Err.isEmpty());
        frm.reset();
    }
}

// At any other version than the one the release expects: design-time captions,
// message 274 once, and no way to start the run; Esc still closes.
TEST_F(Janela, OutOfSequenceVersionIsExplainedOnceAndRefused) {
    for (bool suporte : {false, true}) {
        for (qint32 versao : {17, 19, 1, 0}) {
            SCOPED_TRACE(
                QStringLiteral("suporte %1, versão %2").arg(suporte).arg(versao).toStdString());
            ResetGlobais();
            Emp_Atu = TVeltrana::Empresa11;
            Est_Sup = suporte;
            Ver_Dad_Atu = versao;
            dialogs->Clear();
            db.ClearLog();
            Tfrm_Mnt *f = Abre();

            EXPECT_EQ(f->lbl_Emp->Caption(), QStringLiteral("E M P R E S A"));
            EXPECT_EQ(f->lbl_Avi->Caption(), QStringLiteral("MENSAGEM  do  BACKUP"));
            EXPECT_EQ(f->lbl_Atu->Caption(), QStringLiteral("ATUALIZAÇÃO"));
            EXPECT_EQ(f->jvclcedt_Dad_Atu->text(), QString());
            EXPECT_EQ(Textos_Mostrados(), QStringList{Texto_Fora_Sequencia_18});
            EXPECT_EQ(dialogs->Shown().value(0).kind, platform::DialogKind::Information);
            EXPECT_EQ(Des_Err,
                      QStringLiteral("DESCRIÇÃO DO ERRO:\r\n\r\nTela de Manutenção:\r\n\r\n"
                                     "Atualização fora de sequencia!\r\n"
                                     "Rode a Atualização 18"));
            EXPECT_TRUE(Err_Ver);
            EXPECT_FALSE(f->btbtn_Executar->isEnabled());

            // Every way of starting the run does nothing.
            f->btbtn_Executar->click();
            Tecla(Qt::Key_F5);
            f->btbtn_Executar->setFocus();
            Tecla(Qt::Key_Return);
            f->btbtn_ExecutarClick();
            EXPECT_TRUE(f->isVisible());
            EXPECT_TRUE(db.Log().isEmpty()) << db.Log().join('\n').toStdString();
            EXPECT_EQ(f->lbl_Avi->Caption(), QStringLiteral("MENSAGEM  do  BACKUP"));

            // A later activation does not repeat the message.
            QWidget outra;
            ASSERT_TRUE(mnttest::Ativa(&outra));
            Mostra();
            EXPECT_EQ(dialogs->Shown().size(), 1);
            EXPECT_FALSE(f->btbtn_Executar->isEnabled());

            Tecla(Qt::Key_Escape);
            EXPECT_FALSE(f->isVisible());
            EXPECT_TRUE(f->Fechou_Tela);
            frm.reset();
        }
    }
}

// Without the exact-version rule the future version must follow the current one,
// unless this is a support workstation.
TEST_F(Janela, SequenceRuleWithoutExactVersion) {
    struct Caso {
        qint32 atual, futura;
        bool suporte, recusa;
        QString esperada;
    };
    const std::vector<Caso> casos = {
        {41, 42, false, false, {}},
        {40, 42, false, true, QStringLiteral("41")},
        {40, 42, true, false, {}},
        {42, 42, false, true, QStringLiteral("43")},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(QStringLiteral("%1 -> %2, suporte %3")
                         .arg(c.atual)
                         .arg(c.futura)
                         .arg(c.suporte)
                         .toStdString());
        ResetGlobais();
        Emp_Atu = TVeltrana::Empresa11;
        Est_Sup = c.suporte;
        Ver_Dad_Atu = c.atual;
        dialogs->Clear();
        TRelease r = Release_Desligada();
        r.Usa_Ver_Exi = false;
        r.Ver_Dad_Fut = c.futura;
        Tfrm_Mnt *f = Abre(r);
        EXPECT_EQ(f->Execucao_Recusada(), c.recusa);
        EXPECT_EQ(f->btbtn_Executar->isEnabled(), !c.recusa);
        if (c.recusa) {
            EXPECT_TRUE(Des_Err.endsWith(QStringLiteral("Rode a Atualização ") + c.esperada));
            EXPECT_EQ(dialogs->Shown().size(), 1);
        } else {
            EXPECT_EQ(f->jvclcedt_Dad_Atu->text(), QString::number(c.atual));
            EXPECT_TRUE(dialogs->Shown().isEmpty());
        }
        frm.reset();
    }
}

// A support workstation that unticks "Valida e atualiza versão" switches the check
// off: the version box hides and a schema at another version may be updated.
TEST_F(Janela, UntickingTheVersionBoxTurnsTheCheckOff) {
    Est_Sup = true;
    Ver_Dad_Atu = 17;
    Tfrm_Mnt *f = Abre();
    ASSERT_FALSE(f->btbtn_Executar->isEnabled());
    f->chckbx_Val_Atu_Ver->setChecked(false);
    EXPECT_FALSE(Val_Atu_Ver);
    EXPECT_FALSE(f->grpbx_Ver->isVisible());
    EXPECT_TRUE(f->btbtn_Executar->isEnabled());
    f->chckbx_Val_Atu_Ver->setChecked(true);
    EXPECT_TRUE(Val_Atu_Ver);
    EXPECT_TRUE(f->grpbx_Ver->isVisible());
    EXPECT_FALSE(f->btbtn_Executar->isEnabled());
}

TEST_F(Janela, NoticeBlinksEveryHalfSecond) {
    Tfrm_Mnt *f = Abre();
    QList<bool> visivel;
    QObject::connect(f->tmr_Avi, &QTimer::timeout, f, [&] { visivel << f->lbl_Avi->isVisible(); });
    ASSERT_TRUE(f->lbl_Avi->isVisible());
    ASSERT_TRUE(testsupport::WaitUntil([&] { return visivel.size() >= 2; }));
    // Our slot runs after the form's handler: hidden after the first tick, shown after the second.
    EXPECT_FALSE(visivel.at(0));
    EXPECT_TRUE(visivel.at(1));
}

TEST_F(Janela, EscAndAltF4CloseTheWindow) {
    struct Caso {
        Qt::Key tecla;
        Qt::KeyboardModifiers mods;
        bool fecha;
    };
    const std::vector<Caso> casos = {
        {Qt::Key_Escape, Qt::NoModifier, true},
        {Qt::Key_F4, Qt::AltModifier, true},
        {Qt::Key_F4, Qt::ControlModifier | Qt::AltModifier, false},
        {Qt::Key_F4, Qt::ShiftModifier | Qt::AltModifier, false},
        {Qt::Key_F4, Qt::NoModifier, false},
        {Qt::Key_F4, Qt::ControlModifier, false},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(QKeySequence(c.tecla | c.mods).toString().toStdString());
        Tfrm_Mnt *f = Abre();
        Tecla(c.tecla, c.mods);
        EXPECT_EQ(f->isVisible(), !c.fecha);
        EXPECT_EQ(f->Fechou_Tela, c.fecha);
        frm.reset();
    }
}

// Records the keys a control receives.
class Gravador : public QObject {
public:
    QList<int> teclas;

protected:
    bool eventFilter(QObject *, QEvent *e) override {
        if (e->type() == QEvent::KeyPress)
            teclas << static_cast<QKeyEvent *>(e)->key();
        return false;
    }
};

// F1 to F12 reach the focused control as the Clear key, never as themselves; other
// keys pass unchanged.
TEST_F(Janela, FunctionKeysReachTheFocusedControlAsClear) {
    Tfrm_Mnt *f = Abre();
    ASSERT_TRUE(f->btbtn_Executar->hasFocus());
    Gravador g;
    f->btbtn_Executar->installEventFilter(&g);
    for (int k = Qt::Key_F1; k <= Qt::Key_F12; ++k) {
        if (k == Qt::Key_F5 || k == Qt::Key_F4)
            continue; // F5 runs the update, Alt+F4 is covered above
        Tecla(static_cast<Qt::Key>(k));
    }
    Tecla(Qt::Key_F4, Qt::ControlModifier);
    Tecla(Qt::Key_A);
    QList<int> esperado(10, Qt::Key_Clear);
    esperado << Qt::Key_Clear << Qt::Key_A;
    EXPECT_EQ(g.teclas, esperado);
    EXPECT_TRUE(f->isVisible());

    // The handler itself, for every code from F1 to F12 and its neighbours.
    for (quint16 k = 100; k < 130; ++k) {
        quint16 key = k;
        if (k == Tecla::F4 || k == Tecla::F5)
            continue;
        f->FormKeyDown(key, Qt::NoModifier);
        EXPECT_EQ(key, (k >= 112 && k <= 123) ? 12 : k) << k;
    }
}

TEST_F(Janela, FirstActivationScreenshot) {
    const QString destino = qEnvironmentVariable("ATUALIZA_SCREENSHOT");
    if (destino.isEmpty())
        GTEST_SKIP() << "set ATUALIZA_SCREENSHOT=<file.png> to write the screenshot";
    Tfrm_Mnt *f = Abre();
    ASSERT_TRUE(f->lbl_Avi->isVisible());
    ASSERT_TRUE(f->grab().save(destino));
}

} // namespace
