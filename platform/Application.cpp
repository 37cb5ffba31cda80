#include "platform/Application.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

namespace platform {

namespace {
bool g_requested = false;
}

void RequestTermination() {
    g_requested = true;
    // Inside the event loop: quit once control is back there. Before the loop
    // starts, start-up looks at TerminationRequested() and does not enter it.
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread()->loopLevel() > 0)
        QMetaObject::invokeMethod(app, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool TerminationRequested() {
    return g_requested;
}

void ResetTermination() {
    g_requested = false;
}

} // namespace platform
