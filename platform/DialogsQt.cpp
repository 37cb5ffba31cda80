#include "platform/DialogsQt.h"

#include "platform/DialogsConsole.h"
#include "platform/StandardTexts.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <utility>
#include <vector>

namespace platform {

namespace {

QMessageBox::Icon iconOf(DialogKind kind) {
    switch (kind) {
    case DialogKind::Warning:
        return QMessageBox::Warning;
    case DialogKind::Error:
    case DialogKind::ApplicationError:
        return QMessageBox::Critical;
    case DialogKind::Information:
        return QMessageBox::Information;
    case DialogKind::Confirmation:
        return QMessageBox::Question;
    case DialogKind::Plain:
        break;
    }
    return QMessageBox::NoIcon;
}

// The button that Escape and the window's close button answer.
DialogButton escapeOf(DialogButtons buttons) {
    for (DialogButton b : {DialogButton::Cancel, DialogButton::No, DialogButton::OK})
        if (buttons.testFlag(b))
            return b;
    const QList<DialogButton> list = ButtonsInOrder(buttons);
    return list.size() == 1 ? list.first() : DialogButton::Cancel;
}

void showNoHelp(QWidget *parent) {
    QMessageBox box(parent);
    box.setWindowTitle(StandardText(StandardTextId::Help));
    box.setTextFormat(Qt::PlainText);
    box.setText(StandardText(StandardTextId::NoHelpAvailable));
    QPushButton *ok = box.addButton(ButtonCaption(DialogButton::OK), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}

} // namespace

QString QtDialogText(const QString &text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

int QtDialogs::Show(const DialogRequest &request) {
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return ConsoleDialogs().Show(request);

    QWidget *parent = QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowTitle(DialogTitle(request.kind));
    box.setIcon(iconOf(request.kind));
    // Plain text: a message never turns into markup, whatever it holds.
    box.setTextFormat(Qt::PlainText);
    box.setText(QtDialogText(request.text));

    // Action role for every button keeps them in our order on every platform style.
    std::vector<std::pair<QAbstractButton *, DialogButton>> buttons;
    const DialogButton defaultButton = EffectiveDefault(request);
    const DialogButton escapeButton = escapeOf(request.buttons);
    for (DialogButton b : ButtonsInOrder(request.buttons)) {
        QPushButton *pb = box.addButton(ButtonCaption(b), QMessageBox::ActionRole);
        buttons.emplace_back(pb, b);
        if (b == escapeButton)
            box.setEscapeButton(pb);
    }
    for (const auto &[pb, b] : buttons)
        if (b == defaultButton)
            box.setDefaultButton(static_cast<QPushButton *>(pb));

    for (;;) {
        box.exec();
        QAbstractButton *clicked = box.clickedButton();
        auto it = std::find_if(buttons.begin(), buttons.end(),
                               [clicked](const auto &entry) { return entry.first == clicked; });
        if (it == buttons.end())
            return ModalResult::Cancel; // closed without a button
        if (it->second != DialogButton::Help)
            return ButtonResult(it->second);
        // The help button does not close the dialog: there is no help to show.
        showNoHelp(&box);
    }
}

} // namespace platform
