#pragma once

// Reading the settings: command-line options over an INI file (--config FILE, by
// default atualiza.ini beside the program) over the defaults of TConfiguracao.
// Passwords come only from the INI file or the environment, never from the command
// line: a command line is visible to every user of the machine in the process list.
//
// parseSettings() neither prints nor exits; the caller shows `help` or `error` and
// decides the exit code. On an error nothing of the result may be used.

#include "common/Configuracao.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace app {

// Environment variables of the passwords (the schema's one is the data module's).
inline constexpr const char *kSystemPasswordVariable = "ATUALIZA_SYSTEM_PASSWORD";
inline constexpr const char *kSchemaOwnerPasswordVariable = "ATUALIZA_SCHEMA_PASSWORD";

// Name of the INI file looked for beside the program when --config is not given.
inline constexpr const char *kDefaultIniName = "atualiza.ini";

// What the front end does besides the settings.
struct FrontEndOptions {
    bool console = false;   // --console
    bool run = false;       // --executar (only with --console)
    QString logFile;        // --log FILE
    QString createDemoFile; // --criar-demo FILE
};

struct SettingsResult {
    TConfiguracao configuration;
    FrontEndOptions options;
    QString iniFile; // the INI file that was read; empty when none
    QString error;   // Portuguese text for the operator; empty when all is well
    QString help;    // the help text when --help was asked for; empty otherwise

    bool ok() const { return error.isEmpty(); }
    bool helpRequested() const { return !help.isEmpty(); }
};

// Where the reader looks besides the arguments; tests pass their own.
struct SettingsEnvironment {
    QString programFolder; // folder of the default INI file
    QProcessEnvironment variables;
};

// The folder of the running program and the process environment.
SettingsEnvironment currentSettingsEnvironment();

// `arguments` as QCoreApplication::arguments() gives them: the program first.
SettingsResult parseSettings(const QStringList &arguments, const SettingsEnvironment &environment);
SettingsResult parseSettings(const QStringList &arguments);

// The help text (also what --help gives).
QString settingsHelpText(const QString &programName);

} // namespace app
