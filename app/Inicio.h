#pragma once

// The program's start-up: network-path refusal, workstation, data module,
// installation and data version, the update window, the logged-users gate, the
// exit report of start-up failures, and the event loop with the update window.

#include "app/Settings.h"

#include <QString>

namespace app {

// Exit codes of the console front end (the windowed program always ends with 0).
enum Codigo_Saida : int {
    Saida_Concluida = 0, // update done (or nothing asked of the tool)
    Saida_Falhou = 1,    // the update failed: the database must be restored
    Saida_Inicio = 2,    // start-up failed
    Saida_Recusada = 3,  // refused: network path, data version out of sequence
};

// The folder text begins with two backslashes: a network path ("\\server\share\"),
// also the long-path form "\\?\".
bool Caminho_De_Rede(const QString &Pasta);

// The program's folder as the operating system writes it, with a trailing separator.
QString Pasta_Programa();

// Runs start-up and, when it succeeds, the event loop. The settings are in force
// (Configuracao()); a QApplication exists. Returns the exit code.
int Executa_Atualizador(const FrontEndOptions &Opcoes);

} // namespace app
