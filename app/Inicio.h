#pragma once

// The program's start-up: network-path refusal, the release, the one-run-at-a-time
// lock, workstation, data module, installation and data version, the update window,
// the logged-users gate, the exit report of start-up failures, and the event loop
// with the update window.

#include "app/Settings.h"
#include "common/Configuracao.h"

#include <QString>

namespace app {

// Exit codes of the console front end (the windowed program always ends with 0).
enum Codigo_Saida : int {
    Saida_Concluida = 0, // update done (or nothing asked of the tool)
    Saida_Falhou = 1,    // the update failed: the database must be restored
    Saida_Inicio = 2,    // start-up failed
    Saida_Recusada = 3,  // refused: network path, data version out of sequence,
                         // another update of the same database running on this server
};

// The folder text begins with two backslashes: a network path ("\\server\share\"),
// also the long-path form "\\?\".
bool Caminho_De_Rede(const QString &Pasta);

// The program's folder as the operating system writes it, with a trailing separator.
QString Pasta_Programa();

// The database the settings point at, as one text: the driver, then the Oracle
// service and schema owner, the ODBC connection string and user, or the embedded
// database's absolute file path. Spellings that reach the same database give the
// same text (Oracle names in any case, a relative or absolute file path).
QString Alvo_Banco(const TConfiguracao &Cfg);

// The lock file that keeps a second instance from updating the same database on
// this server while one runs: in the system's temporary folder (QDir::tempPath()),
// named "atualiza-" + the SHA-1 of Alvo_Banco in hexadecimal + ".lock", so that no
// character of a path or connection string reaches the file name.
QString Arquivo_Trava(const TConfiguracao &Cfg);

// Runs start-up and, when it succeeds, the event loop. The settings are in force
// (Configuracao()); a QApplication exists. Returns the exit code.
int Executa_Atualizador(const FrontEndOptions &Opcoes);

} // namespace app
