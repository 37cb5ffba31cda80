#include "platform/StandardTexts.h"

#include <array>

namespace platform {

namespace {

// The platform's own (English) texts, in the order of StandardTextId.
// clang-format off
constexpr std::array<const char16_t *, StandardTextCount> originals = {
    u"Warning",           // Warning
    u"Error",             // Error
    u"Information",       // Information
    u"Confirm",           // Confirm
    u"&Yes",              // Yes
    u"&No",               // No
    u"OK",                // OK
    u"Cancel",            // Cancel
    u"&Abort",            // Abort
    u"&Retry",            // Retry
    u"&Ignore",           // Ignore
    u"&All",              // All
    u"N&o to All",        // NoToAll
    u"Yes to &All",       // YesToAll
    u"&Help",             // HelpButton
    u"&Close",            // Close
    u"Help",              // Help
    u"No help available", // NoHelpAvailable
};
// clang-format on

// Held in a function so that a unit which writes it from its own static
// initializer never runs before the table exists (initialization order across
// object files is unspecified).
std::array<QString, StandardTextCount> &table() {
    static std::array<QString, StandardTextCount> texts = [] {
        std::array<QString, StandardTextCount> t;
        for (int i = 0; i < StandardTextCount; ++i)
            t[i] = QString::fromUtf16(originals[i]);
        return t;
    }();
    return texts;
}

} // namespace

QString StandardText(StandardTextId id) {
    return table()[static_cast<int>(id)];
}

void SetStandardText(StandardTextId id, const QString &text) {
    table()[static_cast<int>(id)] = text;
}

} // namespace platform
