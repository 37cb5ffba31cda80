#include "platform/GuardedCall.h"

#include "platform/Dialogs.h"
#include "platform/Exception.h"

#include <QString>
#include <cstdio>

namespace platform {

namespace {

void report(const QString &message) noexcept {
    try {
        ShowErrorBox(message);
    } catch (...) {
        // The error box itself failed: the terminal is all that is left.
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

} // namespace

void GuardedCall(const std::function<void()> &handler) noexcept {
    try {
        handler();
    } catch (const Exception &e) {
        report(e.Message());
    } catch (const std::exception &e) {
        report(QString::fromUtf8(e.what()));
    } catch (...) {
        report(QStringLiteral("Erro desconhecido."));
    }
}

} // namespace platform
