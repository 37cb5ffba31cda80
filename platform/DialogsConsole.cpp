#include "platform/DialogsConsole.h"

#include "platform/StandardTexts.h"

#include <QStringList>
#include <iostream>
#include <string>

#ifdef Q_OS_WIN
#include <io.h>
#define ATUALIZA_ISATTY _isatty
#else
#include <unistd.h>
#define ATUALIZA_ISATTY isatty
#endif

namespace platform {

namespace {

// "&Sim" -> "[S]im"; a caption without access key stays as it is.
QString labelOf(const QString &caption) {
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    if (amp < 0 || amp + 1 >= caption.size())
        return caption;
    return caption.left(amp) + QLatin1Char('[') + caption.at(amp + 1) + QLatin1Char(']') +
           caption.mid(amp + 2);
}

QString withoutAccessKey(const QString &caption) {
    QString plain = caption;
    plain.remove(QLatin1Char('&'));
    return plain;
}

QChar accessKeyOf(const QString &caption) {
    const qsizetype amp = caption.indexOf(QLatin1Char('&'));
    return amp >= 0 && amp + 1 < caption.size() ? caption.at(amp + 1) : QChar();
}

void writeLine(std::ostream &out, const QString &line) {
    out << line.toStdString() << '\n';
}

// The button an answer names, or false when it names none.
bool match(const QString &answer, const QList<DialogButton> &buttons, DialogButton &chosen) {
    for (DialogButton b : buttons) {
        const QString caption = ButtonCaption(b);
        const QChar key = accessKeyOf(caption);
        const bool byKey = answer.size() == 1 && !key.isNull() &&
                           answer.compare(QString(key), Qt::CaseInsensitive) == 0;
        if (byKey || answer.compare(withoutAccessKey(caption), Qt::CaseInsensitive) == 0) {
            chosen = b;
            return true;
        }
    }
    return false;
}

} // namespace

ConsoleDialogs::ConsoleDialogs() : ConsoleDialogs(std::cin, std::cout, ATUALIZA_ISATTY(0) != 0) {}

ConsoleDialogs::ConsoleDialogs(std::istream &in, std::ostream &out, bool interactive)
    : in_(in), out_(out), interactive_(interactive) {}

int ConsoleDialogs::Show(const DialogRequest &request) {
    const QString title = DialogTitle(request.kind);
    if (!title.isEmpty())
        writeLine(out_, QLatin1String("[") + title + QLatin1String("]"));
    QString text = request.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString &line : text.split(QLatin1Char('\n')))
        writeLine(out_, line);

    const QList<DialogButton> buttons = ButtonsInOrder(request.buttons);
    const DialogButton defaultButton = EffectiveDefault(request);
    if (buttons.size() <= 1) {
        out_.flush();
        return ButtonResult(defaultButton);
    }

    QStringList labels;
    for (DialogButton b : buttons)
        labels << labelOf(ButtonCaption(b));
    const QString choices = labels.join(QLatin1String(" / "));
    const QString defaultText = withoutAccessKey(ButtonCaption(defaultButton));

    if (!interactive_) {
        writeLine(out_, choices + QLatin1String(" -> ") + defaultText +
                            QStringLiteral(" (sem terminal: resposta padrão)"));
        out_.flush();
        return ButtonResult(defaultButton);
    }
    for (;;) {
        out_ << (choices + QLatin1String(" (Enter: ") + defaultText + QLatin1String(")? "))
                    .toStdString();
        out_.flush();
        std::string line;
        if (!std::getline(in_, line)) {
            writeLine(out_, QLatin1String("-> ") + defaultText +
                                QStringLiteral(" (fim da entrada: resposta padrão)"));
            out_.flush();
            return ButtonResult(defaultButton);
        }
        const QString answer = QString::fromStdString(line).trimmed();
        DialogButton chosen = defaultButton;
        if (!answer.isEmpty() && !match(answer, buttons, chosen)) {
            writeLine(out_, QStringLiteral("Resposta inválida."));
            continue;
        }
        if (chosen == DialogButton::Help) {
            writeLine(out_, StandardText(StandardTextId::Help) + QLatin1String(": ") +
                                StandardText(StandardTextId::NoHelpAvailable));
            continue;
        }
        return ButtonResult(chosen);
    }
}

} // namespace platform
