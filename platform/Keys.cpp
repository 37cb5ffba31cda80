#include "platform/Keys.h"

#include "platform/GuardedCall.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QRect>
#include <QScreen>
#include <QWidget>

namespace platform {

quint16 VirtualKeyCode(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return static_cast<quint16>(Tecla::F1 + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Tecla::Enter;
    case Qt::Key_Escape:
        return Tecla::Esc;
    case Qt::Key_Clear:
        return Tecla::Clear;
    default:
        return 0;
    }
}

void CenterOnScreen(QWidget &window) {
    QScreen *screen =
        window.screen() != nullptr ? window.screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    QRect r(QPoint(0, 0), window.size());
    r.moveCenter(screen->availableGeometry().center());
    window.move(r.topLeft());
}

KeyPreview::KeyPreview(Handler handler, QObject *parent)
    : QObject(parent), handler_(std::move(handler)) {}

KeyPreview::~KeyPreview() {
    if (!window_.isNull())
        window_->removeEventFilter(this);
}

void KeyPreview::Watch(QWindow *window) {
    if (window == nullptr || window == window_.data())
        return;
    if (!window_.isNull())
        window_->removeEventFilter(this);
    window->installEventFilter(this);
    window_ = window;
}

bool KeyPreview::eventFilter(QObject *watched, QEvent *event) {
    if (watched != window_.data() || event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    auto *press = static_cast<QKeyEvent *>(event);
    const quint16 original = VirtualKeyCode(press->key());
    if (original == 0)
        return false;
    quint16 key = original;
    GuardedCall([&] { handler_(key, press->modifiers()); });
    if (key == original)
        return false;
    if (key == Tecla::Clear) {
        QKeyEvent clear(QEvent::KeyPress, Qt::Key_Clear, press->modifiers());
        QCoreApplication::sendEvent(watched, &clear);
    }
    return true;
}

} // namespace platform
