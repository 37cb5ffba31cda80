#pragma once

// The console front end: the same start-up, forms and run on the offscreen
// platform, with the dialogs on the terminal. It prints the installation, the
// versions, each group as it starts and ends, and the outcome; the logged-users
// window becomes a numbered list with a prompt; --executar runs without asking.

#include "app/Settings.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <memory>

class Tfrm_Mnt;
class Tfrm_Usu_Log;
namespace platform::db {
class Connection;
}

namespace app {

class Console : public QObject {
    Q_OBJECT

public:
    explicit Console(const FrontEndOptions &Opcoes);
    ~Console() override;

    // Appends every statement of the connection to the --log file, if one was asked for.
    void Acompanha_Conexao(platform::db::Connection &Conexao);
    // The logged-users list: numbered, with a prompt to end an instance or go on.
    void Usuarios_Logados(Tfrm_Usu_Log &Janela);
    // Prints the run's progress and records its outcome.
    void Acompanha_Janela(Tfrm_Mnt &Janela);
    // After the window is shown: runs the update (asking first without --executar).
    void Inicia(Tfrm_Mnt &Janela);
    // The exit code once the event loop has ended.
    int Codigo_Saida(const Tfrm_Mnt &Janela) const;

private:
    void Escreve(const QString &Texto);
    QString Pergunta(const QString &Texto);

    FrontEndOptions Opcoes_;
    std::unique_ptr<QFile> Log_;
    bool Executou_ = false;
    bool Sucesso_ = false;
    int Ultimo_Quarto_ = 0;
};

} // namespace app
