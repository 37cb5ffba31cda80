#pragma once

// Generation of the installation's backup and restore scripts in the data folder.

#include <QString>

// Writes, in this order, "Parametros", "0-Backup.bat", "1-Manha.bat", "2-Tarde.bat",
// "3-Noite.bat", "0-Restore.bat" and "Drop_Create_User.sql" into the data folder
// (settings), as ANSI text with CR LF. The first failure stops the generation,
// shows message 248 naming the file being written and requests the end of the
// program. Never throws.
void Gera_Backup(const QString &Modulo, const QString &Versao, const QString &Instalacao);
