// atualiza: the database update tool of the Veltrana business system.

#include "app/DemoDatabase.h"
#include "app/Inicio.h"
#include "app/Settings.h"
#include "app/Traducao.h"
#include "common/Configuracao.h"
#include "platform/Dialogs.h"
#include "platform/DialogsConsole.h"
#include "platform/Exception.h"

#include <QApplication>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// Options that need no window system: the program then runs on the offscreen
// platform, so it also works in an SSH session without a display.
bool Sem_Janelas(int argc, char **argv) {
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (std::strcmp(a, "--console") == 0 || std::strncmp(a, "--criar-demo", 12) == 0 ||
            std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv) {
    // The Portuguese dialog texts are in place before anything can show a dialog.
    Traducao_Carrega();
    const bool Console = Sem_Janelas(argc, argv);
    if (Console && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#ifdef Q_OS_UNIX
    // Without a desktop session (SSH, cron) there is no runtime folder; give Qt a
    // private one so it does not warn about it on every start.
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        const QByteArray Pasta = QByteArray("/tmp/runtime-") + QByteArray::number(getuid());
        if (mkdir(Pasta.constData(), 0700) == 0 || errno == EEXIST)
            qputenv("XDG_RUNTIME_DIR", Pasta);
    }
#endif
    QApplication App(argc, argv);
    QApplication::setApplicationName(QStringLiteral("atualiza"));

    const app::SettingsResult Ajustes = app::parseSettings(QApplication::arguments());
    if (Ajustes.helpRequested()) {
        std::cout << Ajustes.help.toStdString();
        if (!Ajustes.help.endsWith(QLatin1Char('\n')))
            std::cout << '\n';
        std::cout << std::flush;
        return 0;
    }
    if (!Ajustes.ok()) {
        std::cerr << "atualiza: " << Ajustes.error.toStdString() << std::endl;
        if (Console)
            return app::Saida_Inicio;
        // The windowed program ends with 0 in every case; the box says what is wrong.
        platform::ShowErrorBox(Ajustes.error);
        return 0;
    }
    Configuracao() = Ajustes.configuration;

    if (!Ajustes.options.createDemoFile.isEmpty()) {
        try {
            app::createDemoDatabase(Ajustes.options.createDemoFile, Configuracao());
            std::cout << "Banco de demonstração criado: "
                      << Ajustes.options.createDemoFile.toStdString() << std::endl;
            return 0;
        } catch (const platform::Exception &E) {
            std::cerr << "atualiza: " << E.Message().toStdString() << std::endl;
            return app::Saida_Inicio;
        }
    }

    if (Ajustes.options.console)
        platform::SetCurrentDialogs(std::make_unique<platform::ConsoleDialogs>());
    return app::Executa_Atualizador(Ajustes.options);
}
