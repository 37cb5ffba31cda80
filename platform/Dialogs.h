#pragma once

// Modal message dialogs. Everything that talks to the operator goes through the
// current implementation: Qt message boxes in the windowed program, the terminal
// in the console front end, a script in tests. Titles and captions come from the
// standard texts (StandardTexts.h) at the moment a dialog is shown.

#include <QFlags>
#include <QList>
#include <QString>
#include <memory>

namespace platform {

// What a dialog is about; decides its title and icon.
enum class DialogKind {
    Warning,
    Error,
    Information,
    Confirmation,
    Plain,            // plain message box: application title, no icon
    ApplicationError, // the program's error box: application title, error icon
};

// The buttons, in the order in which a dialog shows them.
enum class DialogButton {
    Yes = 0x0001,
    No = 0x0002,
    OK = 0x0004,
    Cancel = 0x0008,
    Abort = 0x0010,
    Retry = 0x0020,
    Ignore = 0x0040,
    All = 0x0080,
    NoToAll = 0x0100,
    YesToAll = 0x0200,
    Help = 0x0400,
    Close = 0x0800,
};
Q_DECLARE_FLAGS(DialogButtons, DialogButton)
Q_DECLARE_OPERATORS_FOR_FLAGS(DialogButtons)

// Modal results: what a dialog returns for the button that closed it.
struct ModalResult {
    static constexpr int None = 0;
    static constexpr int Ok = 1;
    static constexpr int Cancel = 2;
    static constexpr int Abort = 3;
    static constexpr int Retry = 4;
    static constexpr int Ignore = 5;
    static constexpr int Yes = 6;
    static constexpr int No = 7;
    static constexpr int Close = 8;
    static constexpr int Help = 9;
    static constexpr int TryAgain = 10;
    static constexpr int Continue = 11;
    static constexpr int All = 12;
    static constexpr int NoToAll = 13;
    static constexpr int YesToAll = 14;
};

struct DialogRequest {
    DialogKind kind = DialogKind::Information;
    QString text;
    DialogButtons buttons = DialogButton::OK;
    DialogButton defaultButton = DialogButton::OK;
};

// One implementation of the dialogs.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Shows the dialog modally and returns the modal result of the button chosen.
    virtual int Show(const DialogRequest &request) = 0;
};

// ---- Texts of a dialog, read from the standard texts when it is shown ----

// The title: the standard title of the kind, or the application title.
QString DialogTitle(DialogKind kind);
// The caption of a button ("&" marks the access key).
QString ButtonCaption(DialogButton button);
// The modal result a button returns.
int ButtonResult(DialogButton button);
// The buttons of a request in display order, and the one that answers Enter (the
// requested default, or the first button when the default is not among them).
QList<DialogButton> ButtonsInOrder(DialogButtons buttons);
DialogButton EffectiveDefault(const DialogRequest &request);

// The application title used by plain message boxes and the error box. Set once
// at start; until then the Qt application's display name.
QString ApplicationTitle();
void SetApplicationTitle(const QString &title);

// ---- The current implementation ----

// The implementation in use. Without one installed: Qt message boxes (which fall
// back to the terminal when no QApplication exists).
Dialogs &CurrentDialogs();
// Installs an implementation (nullptr: back to the default) and returns the previous one.
std::unique_ptr<Dialogs> SetCurrentDialogs(std::unique_ptr<Dialogs> dialogs);

// Installs an implementation for the lifetime of this object (tests).
class ScopedDialogs {
public:
    explicit ScopedDialogs(std::unique_ptr<Dialogs> dialogs);
    ~ScopedDialogs();
    ScopedDialogs(const ScopedDialogs &) = delete;
    ScopedDialogs &operator=(const ScopedDialogs &) = delete;

private:
    std::unique_ptr<Dialogs> previous_;
};

// ---- What the program calls ----

// A message dialog of a kind, with its buttons and default button; returns the modal result.
int MessageDlg(const QString &text, DialogKind kind, DialogButtons buttons,
               DialogButton defaultButton);
// The plain message box: the text and OK.
void ShowMessage(const QString &text);
// The program's error box (application title, the message, OK).
void ShowErrorBox(const QString &text);

} // namespace platform
