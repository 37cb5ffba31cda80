// Traducao: the Portuguese dialog texts are in place from load on, and the real
// Qt message boxes of the catalogue and of start-up show them.

#include "app/Traducao.h"
#include "common/Funcoes_Mensagem.h"
#include "common/Globais.h"
#include "platform/Dialogs.h"
#include "platform/DialogsQt.h"
#include "platform/StandardTexts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << text.toStdString();
}

using namespace platform;

namespace {

struct Expected {
    StandardTextId id;
    const char16_t *text;
};

// Every standard text after the translation.
const Expected translated[] = {
    {StandardTextId::Warning, u"Atenção"},
    {StandardTextId::Error, u"Erro"},
    {StandardTextId::Information, u"Informação"},
    {StandardTextId::Confirm, u"Confirmar"},
    {StandardTextId::Yes, u"&Sim"},
    {StandardTextId::No, u"&Não"},
    {StandardTextId::OK, u"OK"},
    {StandardTextId::Cancel, u"Cancelar"},
    {StandardTextId::Abort, u"&Abortar"},
    {StandardTextId::Retry, u"&Retry"},
    {StandardTextId::Ignore, u"&Ignorar"},
    {StandardTextId::All, u"&Todos"},
    {StandardTextId::NoToAll, u"&Não para Todos"},
    {StandardTextId::YesToAll, u"Sim para &Todos"},
    {StandardTextId::HelpButton, u"&Ajuda"},
    {StandardTextId::Close, u"&Fechar"},
    {StandardTextId::Help, u"Ajuda"},
    {StandardTextId::NoHelpAvailable, u"No help available"},
};

void expectTranslated() {
    static_assert(std::size(translated) == StandardTextCount);
    for (const Expected &e : translated)
        EXPECT_EQ(StandardText(e.id), QString::fromUtf16(e.text)) << int(e.id);
}

// Must stay the first test of this file: it runs before anything calls
// Traducao_Carrega, so only the load-time replacement can have put the texts in
// place (ctest also runs each test in a process of its own).
TEST(Traducao, TextsArePortugueseFromLoadOn) {
    expectTranslated();
}

TEST(Traducao, LoadingAgainChangesNothing) {
    Traducao_Carrega();
    Traducao_Carrega();
    expectTranslated();
}

// ---- Real Qt message boxes ----

struct BoxSeen {
    QString title;
    QString text;
    QStringList captions;
    QList<QKeySequence> accessKeys;
    QString defaultCaption;
};

// When the next message box is up, records it and presses Enter on the widget
// that has the focus, as the operator would.
class EnterOnNextBox : public QObject {
public:
    explicit EnterOnNextBox(BoxSeen &seen) : seen_(seen) { qApp->installEventFilter(this); }
    ~EnterOnNextBox() override { qApp->removeEventFilter(this); }
    bool Done() const { return done_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box != nullptr && event->type() == QEvent::Show && !done_) {
            QPointer<QMessageBox> guard(box);
            QTimer::singleShot(0, this, [this, guard] {
                if (!guard.isNull())
                    answer(guard.data());
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void answer(QMessageBox *box) {
        done_ = true;
        seen_.title = box->windowTitle();
        seen_.text = box->text();
        for (QAbstractButton *b : box->buttons()) {
            seen_.captions << b->text();
            seen_.accessKeys << QKeySequence::mnemonic(b->text());
        }
        if (box->defaultButton())
            seen_.defaultCaption = box->defaultButton()->text();
        QWidget *target = QApplication::focusWidget();
        if (target == nullptr || !box->isAncestorOf(target))
            target = box;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    BoxSeen &seen_;
    bool done_ = false;
};

class TraducaoQtTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGlobais();
        previous_ = SetCurrentDialogs(std::make_unique<QtDialogs>());
    }
    void TearDown() override { SetCurrentDialogs(std::move(previous_)); }

    std::unique_ptr<Dialogs> previous_;
};

struct BoxCase {
    const char *name;
    std::function<int()> show;
    const char16_t *title;
    QStringList captions;
    QList<QKeySequence> accessKeys;
    const char16_t *defaultCaption;
    int enterResult;
};

TEST_F(TraducaoQtTest, DialogsShowThePortugueseTitlesAndCaptions) {
    const QString sim = QStringLiteral("&Sim"), nao = QStringLiteral("&Não");
    const QKeySequence altS(Qt::ALT | Qt::Key_S), altN(Qt::ALT | Qt::Key_N);
    const BoxCase cases[] = {
        {"251, No by default",
         [] { return int(Mensagem(251, QStringLiteral("Sair?"))); },
         u"Confirmar",
         {sim, nao},
         {altS, altN},
         u"&Não",
         7},
        {"250, Yes by default",
         [] { return int(Mensagem(250, QStringLiteral("Sair?"))); },
         u"Confirmar",
         {sim, nao},
         {altS, altN},
         u"&Sim",
         6},
        {"catalogue information",
         [] { return int(Mensagem(270)); },
         u"Informação",
         {QStringLiteral("OK")},
         {QKeySequence()},
         u"OK",
         1},
        {"catalogue error",
         [] { return int(Mensagem(249, QStringLiteral("Falha"))); },
         u"Erro",
         {QStringLiteral("OK")},
         {QKeySequence()},
         u"OK",
         1},
        {"unknown start-up error",
         [] {
             return MessageDlg(QStringLiteral("Ocorreu um erro desconhecido.\r\n\r\nContate  "
                                              "para resolver o problema."),
                               DialogKind::Information, DialogButton::OK, DialogButton::OK);
         },
         u"Informação",
         {QStringLiteral("OK")},
         {QKeySequence()},
         u"OK",
         1},
        {"warning",
         [] {
             return MessageDlg(QStringLiteral("?"), DialogKind::Warning,
                               DialogButton::Cancel | DialogButton::Close, DialogButton::Close);
         },
         u"Atenção",
         {QStringLiteral("Cancelar"), QStringLiteral("&Fechar")},
         {QKeySequence(), QKeySequence(Qt::ALT | Qt::Key_F)},
         u"&Fechar",
         8},
        {"no to all",
         [] {
             return MessageDlg(QStringLiteral("?"), DialogKind::Confirmation,
                               DialogButton::NoToAll | DialogButton::YesToAll,
                               DialogButton::NoToAll);
         },
         u"Confirmar",
         {QStringLiteral("&Não para Todos"), QStringLiteral("Sim para &Todos")},
         {altN, QKeySequence(Qt::ALT | Qt::Key_T)},
         u"&Não para Todos",
         13},
        {"abort",
         [] {
             return MessageDlg(QStringLiteral("?"), DialogKind::Error,
                               DialogButton::Abort | DialogButton::Ignore, DialogButton::Abort);
         },
         u"Erro",
         {QStringLiteral("&Abortar"), QStringLiteral("&Ignorar")},
         {QKeySequence(Qt::ALT | Qt::Key_A), QKeySequence(Qt::ALT | Qt::Key_I)},
         u"&Abortar",
         3},
    };
    for (const BoxCase &c : cases) {
        SCOPED_TRACE(c.name);
        BoxSeen seen;
        EnterOnNextBox driver(seen);
        const int result = c.show();
        ASSERT_TRUE(driver.Done());
        EXPECT_EQ(seen.title, QString::fromUtf16(c.title));
        EXPECT_EQ(seen.captions, c.captions);
        EXPECT_EQ(seen.accessKeys, c.accessKeys);
        EXPECT_EQ(seen.defaultCaption, QString::fromUtf16(c.defaultCaption));
        EXPECT_EQ(result, c.enterResult);
    }
}

TEST_F(TraducaoQtTest, CatalogueTextReachesTheBox) {
    BoxSeen seen;
    EnterOnNextBox driver(seen);
    Nme_Usu = QStringLiteral("SUPORTE");
    EXPECT_EQ(Mensagem(309, QStringLiteral("Versão 1.2")), 1);
    EXPECT_EQ(seen.title, QStringLiteral("Informação"));
    EXPECT_EQ(seen.text, QStringLiteral("SUPORTE, ATENÇÃO: \nVersão 1.2"));
}

} // namespace
