#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>

namespace platform {

// One dialog as it was shown: texts as they were at that moment.
struct RecordedDialog {
    DialogKind kind = DialogKind::Information;
    QString title;
    QString text;
    QList<DialogButton> buttons; // in display order
    QStringList captions;        // in display order
    DialogButton defaultButton = DialogButton::OK;
    QString defaultCaption;
};

// Dialogs for tests: records every dialog and answers with the next queued
// button, or with the default button when the queue is empty. A queued button
// that the dialog does not offer is a fault of the test: std::logic_error.
class ScriptedDialogs : public Dialogs {
public:
    int Show(const DialogRequest &request) override;

    void Answer(DialogButton button) { answers_.push_back(button); }
    const QList<RecordedDialog> &Shown() const { return shown_; }
    void Clear() {
        shown_.clear();
        answers_.clear();
    }

private:
    QList<RecordedDialog> shown_;
    std::deque<DialogButton> answers_;
};

} // namespace platform
