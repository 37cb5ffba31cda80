#pragma once

// The business system's screen list as the screen registry (TEL) receives it:
// number, code and description of every screen, report and utility. The list
// itself is in Telas.cpp, one line per screen, in ascending number.

#include <QString>
#include <vector>

struct TTela {
    int Num = 0;
    const char *Nme = nullptr; // code (plain ASCII)
    const char *Des = nullptr; // description (UTF-8)
};

// Every screen, in ascending number.
const std::vector<TTela> &Lista_Telas();

// The screen with this number, or nullptr when the number has none.
const TTela *Tela_Por_Numero(int Num);
