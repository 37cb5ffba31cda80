#include "platform/Dialogs.h"

#include "platform/DialogsQt.h"
#include "platform/StandardTexts.h"

#include <QGuiApplication>

namespace platform {

namespace {

struct ButtonInfo {
    DialogButton button;
    StandardTextId caption;
    int result;
};

// Display order, caption and modal result of each button.
constexpr ButtonInfo buttonTable[] = {
    {DialogButton::Yes, StandardTextId::Yes, ModalResult::Yes},
    {DialogButton::No, StandardTextId::No, ModalResult::No},
    {DialogButton::OK, StandardTextId::OK, ModalResult::Ok},
    {DialogButton::Cancel, StandardTextId::Cancel, ModalResult::Cancel},
    {DialogButton::Abort, StandardTextId::Abort, ModalResult::Abort},
    {DialogButton::Retry, StandardTextId::Retry, ModalResult::Retry},
    {DialogButton::Ignore, StandardTextId::Ignore, ModalResult::Ignore},
    {DialogButton::All, StandardTextId::All, ModalResult::All},
    {DialogButton::NoToAll, StandardTextId::NoToAll, ModalResult::NoToAll},
    {DialogButton::YesToAll, StandardTextId::YesToAll, ModalResult::YesToAll},
    {DialogButton::Help, StandardTextId::HelpButton, ModalResult::Help},
    {DialogButton::Close, StandardTextId::Close, ModalResult::Close},
};

const ButtonInfo &info(DialogButton button) {
    for (const ButtonInfo &b : buttonTable)
        if (b.button == button)
            return b;
    return buttonTable[2]; // not reached: every enumerator is in the table
}

QString &applicationTitle() {
    static QString title;
    return title;
}

std::unique_ptr<Dialogs> &current() {
    static std::unique_ptr<Dialogs> dialogs;
    return dialogs;
}

} // namespace

QString DialogTitle(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return StandardText(StandardTextId::Warning);
    case DialogKind::Error:
        return StandardText(StandardTextId::Error);
    case DialogKind::Information:
        return StandardText(StandardTextId::Information);
    case DialogKind::Confirmation:
        return StandardText(StandardTextId::Confirm);
    case DialogKind::Plain:
    case DialogKind::ApplicationError:
        break;
    }
    return ApplicationTitle();
}

QString ButtonCaption(DialogButton button) {
    return StandardText(info(button).caption);
}

int ButtonResult(DialogButton button) {
    return info(button).result;
}

QList<DialogButton> ButtonsInOrder(DialogButtons buttons) {
    QList<DialogButton> list;
    for (const ButtonInfo &b : buttonTable)
        if (buttons.testFlag(b.button))
            list.append(b.button);
    return list;
}

DialogButton EffectiveDefault(const DialogRequest &request) {
    if (request.buttons.testFlag(request.defaultButton))
        return request.defaultButton;
    const QList<DialogButton> list = ButtonsInOrder(request.buttons);
    return list.isEmpty() ? DialogButton::OK : list.first();
}

QString ApplicationTitle() {
    if (!applicationTitle().isEmpty())
        return applicationTitle();
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::applicationDisplayName();
    return QCoreApplication::applicationName();
}

void SetApplicationTitle(const QString &title) {
    applicationTitle() = title;
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        QGuiApplication::setApplicationDisplayName(title);
}

Dialogs &CurrentDialogs() {
    if (!current())
        current() = std::make_unique<QtDialogs>();
    return *current();
}

std::unique_ptr<Dialogs> SetCurrentDialogs(std::unique_ptr<Dialogs> dialogs) {
    std::unique_ptr<Dialogs> previous = std::move(current());
    current() = std::move(dialogs);
    return previous;
}

ScopedDialogs::ScopedDialogs(std::unique_ptr<Dialogs> dialogs)
    : previous_(SetCurrentDialogs(std::move(dialogs))) {}

ScopedDialogs::~ScopedDialogs() {
    SetCurrentDialogs(std::move(previous_));
}

int MessageDlg(const QString &text, DialogKind kind, DialogButtons buttons,
               DialogButton defaultButton) {
    DialogRequest request;
    request.kind = kind;
    request.text = text;
    request.buttons = buttons ? buttons : DialogButtons(DialogButton::OK);
    request.defaultButton = defaultButton;
    return CurrentDialogs().Show(request);
}

void ShowMessage(const QString &text) {
    MessageDlg(text, DialogKind::Plain, DialogButton::OK, DialogButton::OK);
}

void ShowErrorBox(const QString &text) {
    MessageDlg(text, DialogKind::ApplicationError, DialogButton::OK, DialogButton::OK);
}

} // namespace platform
