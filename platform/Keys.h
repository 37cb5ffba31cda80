#pragma once

// Keys and window placement as the Windows forms of the business system know
// them: key handlers work with the platform's virtual-key codes.

#include <QObject>
#include <QPointer>
#include <QWindow>
#include <QtGlobal>
#include <functional>

class QWidget;

namespace platform {

// Virtual-key codes of the keys the forms react to.
namespace Tecla {
inline constexpr quint16 Clear = 12;
inline constexpr quint16 Enter = 13;
inline constexpr quint16 Esc = 27;
inline constexpr quint16 F1 = 112;
inline constexpr quint16 F4 = 115;
inline constexpr quint16 F5 = 116;
inline constexpr quint16 F8 = 119;
inline constexpr quint16 F12 = 123;
} // namespace Tecla

// Virtual-key code of a Qt key among Enter, Esc, Clear and F1 to F12; 0 for the others.
quint16 VirtualKeyCode(int qtKey);

// Centres the window on the screen it is on (or the primary screen).
void CenterOnScreen(QWidget &window);

// The forms' key preview: every key press on the form's native window reaches the
// handler once, before the focused control, as a virtual-key code that the
// handler may change. A key changed to Clear reaches the focused control as Qt's
// Clear key instead of the original; a key changed otherwise is swallowed.
class KeyPreview : public QObject {
public:
    using Handler = std::function<void(quint16 &key, Qt::KeyboardModifiers shift)>;
    KeyPreview(Handler handler, QObject *parent);
    ~KeyPreview() override;

    // Watches this native window (call it from the form's showEvent).
    void Watch(QWindow *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Handler handler_;
    QPointer<QWindow> window_;
};

} // namespace platform
