#pragma once

#include "platform/Dialogs.h"

namespace platform {

// Qt message boxes. Title and captions come from the standard texts, not from
// Qt's own translations; Enter answers the default button, Escape the Cancel
// (else No, else OK) button. Without a QApplication it asks on the terminal.
class QtDialogs : public Dialogs {
public:
    int Show(const DialogRequest &request) override;
};

// The dialog text as Qt shows it: carriage return + line feed become one line break.
QString QtDialogText(const QString &text);

} // namespace platform
