#pragma once

// Keys and window placement as the Windows forms of the business system know
// them: key handlers work with the platform's virtual-key codes.

#include <QtGlobal>

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

} // namespace platform
