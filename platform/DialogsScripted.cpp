#include "platform/DialogsScripted.h"

#include <stdexcept>

namespace platform {

int ScriptedDialogs::Show(const DialogRequest &request) {
    RecordedDialog dialog;
    dialog.kind = request.kind;
    dialog.title = DialogTitle(request.kind);
    dialog.text = request.text;
    dialog.buttons = ButtonsInOrder(request.buttons);
    for (DialogButton b : dialog.buttons)
        dialog.captions << ButtonCaption(b);
    dialog.defaultButton = EffectiveDefault(request);
    dialog.defaultCaption = ButtonCaption(dialog.defaultButton);
    shown_.append(dialog);

    if (answers_.empty())
        return ButtonResult(dialog.defaultButton);
    const DialogButton answer = answers_.front();
    answers_.pop_front();
    if (!dialog.buttons.contains(answer))
        throw std::logic_error("scripted answer names a button the dialog does not offer");
    return ButtonResult(answer);
}

} // namespace platform
