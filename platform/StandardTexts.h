#pragma once

// The titles and button captions of the standard message dialogs. Every dialog
// implementation reads them here at the moment it shows a dialog, so a unit that
// replaces them at load (the dialog translation) changes every later dialog.

#include <QString>

namespace platform {

enum class StandardTextId {
    // Dialog titles.
    Warning,
    Error,
    Information,
    Confirm,
    // Button captions; "&" marks the access key.
    Yes,
    No,
    OK,
    Cancel,
    Abort,
    Retry,
    Ignore,
    All,
    NoToAll,
    YesToAll,
    HelpButton,
    Close,
    // Other texts of the dialog layer.
    Help,
    NoHelpAvailable,
};

inline constexpr int StandardTextCount = static_cast<int>(StandardTextId::NoHelpAvailable) + 1;

// The text currently in effect.
QString StandardText(StandardTextId id);

// Replaces a text for every dialog shown from now on.
void SetStandardText(StandardTextId id, const QString &text);

} // namespace platform
