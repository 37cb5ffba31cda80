#include "platform/InputBlocker.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QPointer>
#include <QThread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace platform {

#ifdef Q_OS_WIN

namespace {
bool blocked = false;
}

bool InputBlocker::Block(bool block) {
    if (!::BlockInput(block ? TRUE : FALSE))
        return false;
    blocked = block;
    return true;
}

bool InputBlocker::IsBlocked() {
    return blocked;
}

#else

namespace {

class InputFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *, QEvent *event) override {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonDblClick:
        case QEvent::NonClientAreaMouseMove:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::TabletMove:
        case QEvent::InputMethod:
            return true;
        default:
            return false;
        }
    }
};

// Owned by the application object, so it goes away with it.
QPointer<InputFilter> filter;

} // namespace

bool InputBlocker::Block(bool block) {
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() != app->thread())
        return false;
    if (block && filter.isNull()) {
        filter = new InputFilter(app);
        app->installEventFilter(filter);
    } else if (!block && !filter.isNull()) {
        app->removeEventFilter(filter);
        delete filter.data();
    }
    return true;
}

bool InputBlocker::IsBlocked() {
    return !filter.isNull();
}

#endif

} // namespace platform
