// Input blocking during an update run: keyboard, mouse and shortcuts are swallowed
// while blocked and reach the widgets again once released.

#include "platform/InputBlocker.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcutEvent>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

using platform::InputBlocker;

namespace {

// Input as the window system delivers it, through the application object.
void Tecla(QWidget *w, Qt::Key tecla, const QString &texto) {
    QKeyEvent press(QEvent::KeyPress, tecla, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, tecla, Qt::NoModifier, texto);
    QApplication::sendEvent(w, &release);
}

void Clique(QWidget *w) {
    const QPointF meio = QRectF(w->rect()).center();
    const QPointF global = w->mapToGlobal(meio);
    QMouseEvent press(QEvent::MouseButtonPress, meio, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, meio, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

class InputBlockerTest : public ::testing::Test {
protected:
    void TearDown() override { InputBlocker::Block(false); }
};

// Each kind of input, and what it changes when it gets through.
struct Entrada {
    const char *nome;
    std::function<void()> envia;
    std::function<int()> efeito;
};

TEST_F(InputBlockerTest, SwallowsKeyboardMouseAndShortcutsOnlyWhileBlocked) {
    QWidget janela;
    QLineEdit edit(&janela);
    QPushButton botao(QStringLiteral("Executar"), &janela);
    botao.move(0, 40);
    QAction acao(&janela);
    acao.setShortcut(QKeySequence(Qt::Key_F5));
    int cliques = 0, disparos = 0, rodas = 0;
    QObject::connect(&botao, &QPushButton::clicked, [&cliques] { ++cliques; });
    QObject::connect(&acao, &QAction::triggered, [&disparos] { ++disparos; });
    janela.show();

    struct Roda : QObject {
        int *contador;
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() == QEvent::Wheel)
                ++*contador;
            return false;
        }
    } roda;
    roda.contador = &rodas;
    edit.installEventFilter(&roda);

    const std::vector<Entrada> entradas = {
        {"tecla", [&] { Tecla(&edit, Qt::Key_A, QStringLiteral("a")); },
         [&] { return static_cast<int>(edit.text().size()); }},
        {"clique", [&] { Clique(&botao); }, [&] { return cliques; }},
        {"atalho",
         [&] {
             QShortcutEvent e(QKeySequence(Qt::Key_F5), 0);
             QApplication::sendEvent(&acao, &e);
         },
         [&] { return disparos; }},
        {"roda",
         [&] {
             QWheelEvent e(QPointF(5, 5), edit.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                           Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
             QApplication::sendEvent(&edit, &e);
         },
         [&] { return rodas; }},
    };

    for (const Entrada &e : entradas) {
        const int antes = e.efeito();
        ASSERT_TRUE(InputBlocker::Block(true));
        EXPECT_TRUE(InputBlocker::IsBlocked());
        e.envia();
        EXPECT_EQ(e.efeito(), antes) << e.nome << " passou com a entrada bloqueada";
        ASSERT_TRUE(InputBlocker::Block(false));
        EXPECT_FALSE(InputBlocker::IsBlocked());
        e.envia();
        EXPECT_EQ(e.efeito(), antes + 1) << e.nome << " não passou depois de liberada";
    }
}

// Like BlockInput there is no count: a second block changes nothing and one
// release releases. Releasing what is not blocked succeeds.
TEST_F(InputBlockerTest, BlockAndReleaseAreNotCounted) {
    QLineEdit edit;
    EXPECT_TRUE(InputBlocker::Block(false));
    EXPECT_TRUE(InputBlocker::Block(true));
    EXPECT_TRUE(InputBlocker::Block(true));
    Tecla(&edit, Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(edit.text(), "");
    EXPECT_TRUE(InputBlocker::Block(false));
    EXPECT_FALSE(InputBlocker::IsBlocked());
    Tecla(&edit, Qt::Key_B, QStringLiteral("b"));
    EXPECT_EQ(edit.text(), "b");
}

// Painting and timers keep working while input is blocked: the window repaints
// during the run.
TEST_F(InputBlockerTest, LeavesPaintingAndTimersAlone) {
    struct Contador : QWidget {
        int pinturas = 0, tempos = 0;
        void paintEvent(QPaintEvent *) override { ++pinturas; }
        void timerEvent(QTimerEvent *) override { ++tempos; }
    } w;
    w.resize(40, 20);
    w.show();
    ASSERT_TRUE(InputBlocker::Block(true));
    w.repaint();
    w.startTimer(0);
    QCoreApplication::processEvents();
    EXPECT_GE(w.pinturas, 1);
    EXPECT_GE(w.tempos, 1);
}

// The filter belongs to the application's thread; another thread is refused
// instead of touching the application object from the wrong thread.
TEST_F(InputBlockerTest, RefusesCallsFromAnotherThread) {
    bool resultado = true;
    std::thread outra([&resultado] { resultado = InputBlocker::Block(true); });
    outra.join();
    EXPECT_FALSE(resultado);
    EXPECT_FALSE(InputBlocker::IsBlocked());
}

} // namespace
