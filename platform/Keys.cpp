#include "platform/Keys.h"

#include <QGuiApplication>
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

} // namespace platform
