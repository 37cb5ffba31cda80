#include "common/Configuracao.h"

namespace {
TConfiguracao g_configuracao;
}

TConfiguracao &Configuracao() {
    return g_configuracao;
}

void ResetConfiguracao() {
    g_configuracao = TConfiguracao();
}
