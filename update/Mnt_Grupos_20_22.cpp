// Groups 20 to 22 when switched on: not built yet. A switched-on group fails at
// its first slot, so a release that needs one of them cannot pass as done.

#include "update/Mnt.h"

void Tfrm_Mnt::Grupo_20_Ligado() {
    Quadro_Grupo(20, [](int) { Passo_Nao_Construido(20); });
}

void Tfrm_Mnt::Grupo_21_Ligado() {
    Quadro_Grupo(21, [](int) { Passo_Nao_Construido(21); });
}

void Tfrm_Mnt::Grupo_22_Ligado() {
    Quadro_Grupo(22, [](int) { Passo_Nao_Construido(22); });
}
