// The dialogs layer: real Qt message boxes (offscreen), the terminal and the
// scripted implementation, the standard texts they read, and GuardedCall.

#include "platform/Dialogs.h"
#include "platform/DialogsConsole.h"
#include "platform/DialogsQt.h"
#include "platform/DialogsScripted.h"
#include "platform/Exception.h"
#include "platform/GuardedCall.h"
#include "platform/StandardTexts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <sstream>
#include <stdexcept>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << text.toStdString();
}

using namespace platform;

namespace {

// ---- Driving real message boxes ----

struct BoxSeen {
    QString title;
    QString text;
    QStringList captions;
    QString defaultCaption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::TextFormat format = Qt::AutoText;
};

BoxSeen snapshot(QMessageBox *box) {
    BoxSeen seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    for (QAbstractButton *b : box->buttons())
        seen.captions << b->text();
    if (box->defaultButton())
        seen.defaultCaption = box->defaultButton()->text();
    seen.icon = box->icon();
    seen.format = box->textFormat();
    return seen;
}

// Sends a key the way the operator types it: to the widget that has the focus.
void pressKey(QMessageBox *box, int key) {
    QWidget *target = QApplication::focusWidget();
    if (target == nullptr || (target != box && !box->isAncestorOf(target)))
        target = box;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

QAbstractButton *buttonWithText(QMessageBox *box, const QString &caption) {
    for (QAbstractButton *b : box->buttons())
        if (b->text() == caption)
            return b;
    return nullptr;
}

// Each time a message box is shown, runs the next action on it once its modal
// loop is running. A box with no action left is a fault: it is closed and fails.
class BoxDriver : public QObject {
public:
    explicit BoxDriver(QList<std::function<void(QMessageBox *)>> actions)
        : actions_(std::move(actions)) {
        qApp->installEventFilter(this);
    }
    ~BoxDriver() override { qApp->removeEventFilter(this); }
    int Pending() const { return int(actions_.size()); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box != nullptr && event->type() == QEvent::Show) {
            QPointer<QMessageBox> guard(box);
            QTimer::singleShot(0, this, [this, guard] {
                if (guard.isNull())
                    return;
                if (actions_.isEmpty()) {
                    ADD_FAILURE() << "unexpected message box: " << guard->text().toStdString();
                    guard->reject();
                    return;
                }
                actions_.takeFirst()(guard.data());
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QList<std::function<void(QMessageBox *)>> actions_;
};

// Restores the standard texts a test changed.
class StandardTextsGuard {
public:
    StandardTextsGuard() {
        for (int i = 0; i < StandardTextCount; ++i)
            saved_ << StandardText(StandardTextId(i));
    }
    ~StandardTextsGuard() {
        for (int i = 0; i < StandardTextCount; ++i)
            SetStandardText(StandardTextId(i), saved_[i]);
    }

private:
    QStringList saved_;
};

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The Qt implementation, as the windowed program uses it.
        previous_ = SetCurrentDialogs(std::make_unique<QtDialogs>());
        SetApplicationTitle(QStringLiteral("Veltrana - Teste"));
    }
    void TearDown() override { SetCurrentDialogs(std::move(previous_)); }

    ScriptedDialogs &UseScripted() {
        auto scripted = std::make_unique<ScriptedDialogs>();
        ScriptedDialogs &ref = *scripted;
        SetCurrentDialogs(std::move(scripted));
        return ref;
    }

    StandardTextsGuard texts_;
    std::unique_ptr<Dialogs> previous_;
};

// ---- Qt message boxes ----

struct QtCase {
    const char *name;
    DialogKind kind;
    DialogButtons buttons;
    DialogButton defaultButton;
    const char *title;
    QMessageBox::Icon icon;
    QStringList captions;
    const char *defaultCaption;
    int enterResult;
};

TEST_F(DialogsTest, QtBoxShowsKindTitleCaptionsAndEnterAnswersTheDefault) {
    const QtCase cases[] = {
        {"information",
         DialogKind::Information,
         DialogButton::OK,
         DialogButton::OK,
         "Information",
         QMessageBox::Information,
         {"OK"},
         "OK",
         ModalResult::Ok},
        {"error",
         DialogKind::Error,
         DialogButton::OK,
         DialogButton::OK,
         "Error",
         QMessageBox::Critical,
         {"OK"},
         "OK",
         ModalResult::Ok},
        {"warning",
         DialogKind::Warning,
         DialogButton::OK,
         DialogButton::OK,
         "Warning",
         QMessageBox::Warning,
         {"OK"},
         "OK",
         ModalResult::Ok},
        {"yes default",
         DialogKind::Confirmation,
         DialogButton::Yes | DialogButton::No,
         DialogButton::Yes,
         "Confirm",
         QMessageBox::Question,
         {"&Yes", "&No"},
         "&Yes",
         ModalResult::Yes},
        {"no default",
         DialogKind::Confirmation,
         DialogButton::Yes | DialogButton::No,
         DialogButton::No,
         "Confirm",
         QMessageBox::Question,
         {"&Yes", "&No"},
         "&No",
         ModalResult::No},
        {"cancel default",
         DialogKind::Confirmation,
         DialogButton::Cancel | DialogButton::No | DialogButton::Yes,
         DialogButton::Cancel,
         "Confirm",
         QMessageBox::Question,
         {"&Yes", "&No", "Cancel"},
         "Cancel",
         ModalResult::Cancel},
        {"default not offered",
         DialogKind::Warning,
         DialogButton::Abort | DialogButton::Retry | DialogButton::Ignore,
         DialogButton::Yes,
         "Warning",
         QMessageBox::Warning,
         {"&Abort", "&Retry", "&Ignore"},
         "&Abort",
         ModalResult::Abort},
        {"plain",
         DialogKind::Plain,
         DialogButton::OK,
         DialogButton::OK,
         "Veltrana - Teste",
         QMessageBox::NoIcon,
         {"OK"},
         "OK",
         ModalResult::Ok},
    };
    for (const QtCase &c : cases) {
        SCOPED_TRACE(c.name);
        BoxSeen seen;
        BoxDriver driver({[&](QMessageBox *box) {
            seen = snapshot(box);
            pressKey(box, Qt::Key_Return);
        }});
        const int result = MessageDlg(QStringLiteral("Texto"), c.kind, c.buttons, c.defaultButton);
        EXPECT_EQ(driver.Pending(), 0);
        EXPECT_EQ(seen.title, QString::fromUtf8(c.title));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.captions, c.captions);
        EXPECT_EQ(seen.defaultCaption, QString::fromUtf8(c.defaultCaption));
        EXPECT_EQ(result, c.enterResult);
    }
}

TEST_F(DialogsTest, QtBoxReturnsTheButtonClickedOrEscaped) {
    struct Case {
        const char *name;
        DialogButtons buttons;
        DialogButton defaultButton;
        std::function<void(QMessageBox *)> act;
        int expected;
    };
    auto click = [](const char *caption) {
        return [caption](QMessageBox *box) {
            QAbstractButton *b = buttonWithText(box, QString::fromUtf8(caption));
            ASSERT_NE(b, nullptr) << caption;
            b->click();
        };
    };
    auto escape = [](QMessageBox *box) { pressKey(box, Qt::Key_Escape); };
    const DialogButtons yesNo = DialogButton::Yes | DialogButton::No;
    const Case cases[] = {
        {"click no", yesNo, DialogButton::Yes, click("&No"), ModalResult::No},
        {"click yes", yesNo, DialogButton::No, click("&Yes"), ModalResult::Yes},
        {"escape yes/no", yesNo, DialogButton::Yes, escape, ModalResult::No},
        {"escape yes/no/cancel", yesNo | DialogButton::Cancel, DialogButton::Yes, escape,
         ModalResult::Cancel},
        {"escape ok", DialogButton::OK, DialogButton::OK, escape, ModalResult::Ok},
        {"click yes to all", DialogButton::YesToAll | DialogButton::NoToAll | DialogButton::All,
         DialogButton::All, click("Yes to &All"), ModalResult::YesToAll},
        {"click close", DialogButton::Close, DialogButton::Close, click("&Close"),
         ModalResult::Close},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        BoxDriver driver({c.act});
        EXPECT_EQ(
            MessageDlg(QStringLiteral("?"), DialogKind::Confirmation, c.buttons, c.defaultButton),
            c.expected);
        EXPECT_EQ(driver.Pending(), 0);
    }
}

TEST_F(DialogsTest, QtBoxReadsTheStandardTextsWhenShown) {
    // Texts replaced after the implementation exists must show in its next dialog.
    QtDialogs &qt = static_cast<QtDialogs &>(CurrentDialogs());
    SetStandardText(StandardTextId::Confirm, QStringLiteral("Confirmação"));
    SetStandardText(StandardTextId::Yes, QStringLiteral("&Sim"));
    SetStandardText(StandardTextId::No, QStringLiteral("&Não"));
    BoxSeen seen;
    QKeySequence yesKey, noKey;
    BoxDriver driver({[&](QMessageBox *box) {
        seen = snapshot(box);
        yesKey = QKeySequence::mnemonic(box->buttons().value(0)->text());
        noKey = QKeySequence::mnemonic(box->buttons().value(1)->text());
        pressKey(box, Qt::Key_Return);
    }});
    DialogRequest request;
    request.kind = DialogKind::Confirmation;
    request.text = QStringLiteral("Excluir?");
    request.buttons = DialogButton::Yes | DialogButton::No;
    request.defaultButton = DialogButton::No;
    EXPECT_EQ(qt.Show(request), ModalResult::No);
    EXPECT_EQ(seen.title, QStringLiteral("Confirmação"));
    EXPECT_EQ(seen.captions, QStringList({QStringLiteral("&Sim"), QStringLiteral("&Não")}));
    EXPECT_EQ(seen.defaultCaption, QStringLiteral("&Não"));
    EXPECT_EQ(yesKey, QKeySequence(Qt::ALT | Qt::Key_S));
    EXPECT_EQ(noKey, QKeySequence(Qt::ALT | Qt::Key_N));
}

TEST_F(DialogsTest, QtBoxShowsTheTextAsPlainLines) {
    // Carriage return + line feed is one line break; markup in a message is shown as typed.
    BoxSeen seen;
    BoxDriver driver({[&](QMessageBox *box) {
        seen = snapshot(box);
        pressKey(box, Qt::Key_Return);
    }});
    ShowMessage(QStringLiteral("<b>ORA-00942</b>\r\n\r\n&Tabela & 100%\r\n"));
    EXPECT_EQ(seen.text, QStringLiteral("<b>ORA-00942</b>\n\n&Tabela & 100%\n"));
    EXPECT_EQ(seen.format, Qt::PlainText);
}

TEST_F(DialogsTest, QtHelpButtonTellsThereIsNoHelpAndKeepsTheDialogOpen) {
    SetStandardText(StandardTextId::Help, QStringLiteral("Ajuda"));
    BoxSeen help;
    BoxDriver driver({
        [](QMessageBox *box) { buttonWithText(box, QStringLiteral("&Help"))->click(); },
        [&](QMessageBox *box) {
            help = snapshot(box);
            pressKey(box, Qt::Key_Return);
        },
        [](QMessageBox *box) { buttonWithText(box, QStringLiteral("&No"))->click(); },
    });
    EXPECT_EQ(MessageDlg(QStringLiteral("?"), DialogKind::Confirmation,
                         DialogButton::Yes | DialogButton::No | DialogButton::Help,
                         DialogButton::Yes),
              ModalResult::No);
    EXPECT_EQ(driver.Pending(), 0);
    EXPECT_EQ(help.title, QStringLiteral("Ajuda"));
    EXPECT_EQ(help.text, QStringLiteral("No help available"));
    EXPECT_EQ(help.captions, QStringList({QStringLiteral("OK")}));
}

// ---- Console ----

struct ConsoleCase {
    const char *name;
    bool interactive;
    const char *input;
    DialogButton defaultButton;
    int expected;
    const char *output;
};

TEST_F(DialogsTest, ConsolePrintsTheDialogAndAsksOnlyOnATerminal) {
    const char *header = "[Confirm]\nExcluir?\nsegunda linha\n\n";
    const ConsoleCase cases[] = {
        {"enter takes the default", true, "\n", DialogButton::No, ModalResult::No,
         "[Y]es / [N]o (Enter: No)? "},
        {"access letter, any case", true, "y\n", DialogButton::No, ModalResult::Yes,
         "[Y]es / [N]o (Enter: No)? "},
        {"caption without &", true, "  NO \n", DialogButton::Yes, ModalResult::No,
         "[Y]es / [N]o (Enter: Yes)? "},
        {"wrong answer asks again", true, "talvez\ny\n", DialogButton::No, ModalResult::Yes,
         "[Y]es / [N]o (Enter: No)? Resposta inválida.\n[Y]es / [N]o (Enter: No)? "},
        {"end of input", true, "", DialogButton::Yes, ModalResult::Yes,
         "[Y]es / [N]o (Enter: Yes)? -> Yes (fim da entrada: resposta padrão)\n"},
        {"no terminal", false, "n\n", DialogButton::Yes, ModalResult::Yes,
         "[Y]es / [N]o -> Yes (sem terminal: resposta padrão)\n"},
    };
    for (const ConsoleCase &c : cases) {
        SCOPED_TRACE(c.name);
        std::istringstream in(c.input);
        std::ostringstream out;
        ConsoleDialogs console(in, out, c.interactive);
        DialogRequest request;
        request.kind = DialogKind::Confirmation;
        request.text = QStringLiteral("Excluir?\r\nsegunda linha\r\n");
        request.buttons = DialogButton::Yes | DialogButton::No;
        request.defaultButton = c.defaultButton;
        EXPECT_EQ(console.Show(request), c.expected);
        EXPECT_EQ(out.str(), std::string(header) + c.output);
    }
}

TEST_F(DialogsTest, ConsoleInformationIsPrintedWithoutAQuestion) {
    std::istringstream in("n\n");
    std::ostringstream out;
    ConsoleDialogs console(in, out, true);
    DialogRequest request;
    request.kind = DialogKind::Plain;
    request.text = QStringLiteral("Só é permitida a execução deste programa no SERVIDOR");
    EXPECT_EQ(console.Show(request), ModalResult::Ok);
    EXPECT_EQ(QString::fromStdString(out.str()),
              QStringLiteral("[Veltrana - Teste]\nSó é permitida a execução deste programa no "
                             "SERVIDOR\n"));
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "n"); // the input was not consumed
}

// ---- Scripted ----

TEST_F(DialogsTest, ScriptedRecordsEveryDialogAndAnswersFromItsQueue) {
    ScriptedDialogs &scripted = UseScripted();
    SetStandardText(StandardTextId::Information, QStringLiteral("Informação"));
    scripted.Answer(DialogButton::No);
    EXPECT_EQ(MessageDlg(QStringLiteral("um"), DialogKind::Confirmation,
                         DialogButton::Yes | DialogButton::No, DialogButton::Yes),
              ModalResult::No);
    EXPECT_EQ(MessageDlg(QStringLiteral("dois"), DialogKind::Confirmation,
                         DialogButton::Yes | DialogButton::No, DialogButton::No),
              ModalResult::No); // queue empty: the default
    EXPECT_EQ(MessageDlg(QStringLiteral("três"), DialogKind::Information, DialogButton::OK,
                         DialogButton::OK),
              ModalResult::Ok);

    ASSERT_EQ(scripted.Shown().size(), 3);
    const RecordedDialog &first = scripted.Shown()[0];
    EXPECT_EQ(first.kind, DialogKind::Confirmation);
    EXPECT_EQ(first.title, QStringLiteral("Confirm"));
    EXPECT_EQ(first.text, QStringLiteral("um"));
    EXPECT_EQ(first.captions, QStringList({QStringLiteral("&Yes"), QStringLiteral("&No")}));
    EXPECT_EQ(first.defaultCaption, QStringLiteral("&Yes"));
    EXPECT_EQ(scripted.Shown()[1].defaultButton, DialogButton::No);
    EXPECT_EQ(scripted.Shown()[2].title, QStringLiteral("Informação"));

    scripted.Answer(DialogButton::Cancel);
    EXPECT_THROW(MessageDlg(QStringLiteral("quatro"), DialogKind::Information, DialogButton::OK,
                            DialogButton::OK),
                 std::logic_error);
}

TEST_F(DialogsTest, ScopedDialogsPutsThePreviousImplementationBack) {
    Dialogs *before = &CurrentDialogs();
    {
        auto scripted = std::make_unique<ScriptedDialogs>();
        ScriptedDialogs *inside = scripted.get();
        ScopedDialogs scope(std::move(scripted));
        ShowMessage(QStringLiteral("dentro"));
        ASSERT_EQ(inside->Shown().size(), 1);
        EXPECT_EQ(inside->Shown()[0].kind, DialogKind::Plain);
        EXPECT_EQ(inside->Shown()[0].title, QStringLiteral("Veltrana - Teste"));
    }
    EXPECT_EQ(&CurrentDialogs(), before);
}

// ---- GuardedCall ----

TEST_F(DialogsTest, GuardedCallShowsTheFailureInTheErrorBox) {
    ScriptedDialogs &scripted = UseScripted();
    struct Case {
        const char *name;
        std::function<void()> handler;
        const char *shown;
    };
    const Case cases[] = {
        {"platform exception",
         [] { throw DatabaseError(QStringLiteral("ORA-00942: table or view does not exist")); },
         "ORA-00942: table or view does not exist"},
        {"standard exception", [] { throw std::runtime_error("sem memória"); }, "sem memória"},
        {"anything else", [] { throw 42; }, "Erro desconhecido."},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        scripted.Clear();
        GuardedCall(c.handler);
        ASSERT_EQ(scripted.Shown().size(), 1);
        const RecordedDialog &box = scripted.Shown()[0];
        EXPECT_EQ(box.kind, DialogKind::ApplicationError);
        EXPECT_EQ(box.title, QStringLiteral("Veltrana - Teste"));
        EXPECT_EQ(box.text, QString::fromUtf8(c.shown));
        EXPECT_EQ(box.captions, QStringList({QStringLiteral("OK")}));
    }

    scripted.Clear();
    bool ran = false;
    GuardedCall([&] { ran = true; });
    EXPECT_TRUE(ran);
    EXPECT_TRUE(scripted.Shown().isEmpty());
}

TEST_F(DialogsTest, GuardedSlotKeepsExceptionsOutOfTheSignal) {
    ScriptedDialogs &scripted = UseScripted();
    QObject sender;
    QString received;
    QObject::connect(&sender, &QObject::objectNameChanged, &sender,
                     Guarded([&](const QString &name) {
                         received = name;
                         throw Exception(QStringLiteral("Falha em ") + name);
                     }));
    EXPECT_NO_THROW(sender.setObjectName(QStringLiteral("btbtn_Executar")));
    EXPECT_EQ(received, QStringLiteral("btbtn_Executar"));
    ASSERT_EQ(scripted.Shown().size(), 1);
    EXPECT_EQ(scripted.Shown()[0].text, QStringLiteral("Falha em btbtn_Executar"));
}

TEST_F(DialogsTest, QtErrorBoxHasTheApplicationTitleAndOk) {
    BoxSeen seen;
    BoxDriver driver({[&](QMessageBox *box) {
        seen = snapshot(box);
        pressKey(box, Qt::Key_Return);
    }});
    GuardedCall([] { throw Exception(QStringLiteral("Falha")); });
    EXPECT_EQ(driver.Pending(), 0);
    EXPECT_EQ(seen.title, QStringLiteral("Veltrana - Teste"));
    EXPECT_EQ(seen.text, QStringLiteral("Falha"));
    EXPECT_EQ(seen.captions, QStringList({QStringLiteral("OK")}));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
}

} // namespace
