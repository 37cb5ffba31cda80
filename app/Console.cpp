#include "app/Console.h"

#include "app/Inicio.h"
#include "common/Funcoes_Veltrana.h"
#include "common/Globais.h"
#include "platform/Exception.h"
#include "platform/database/Database.h"
#include "update/Gauge.h"
#include "update/Mnt.h"
#include "update/Mnt_Componentes.h"
#include "users/Usu_Log.h"

#include <QApplication>
#include <QLocale>
#include <QPushButton>
#include <QTimer>
#include <cstdio>
#include <iostream>
#include <string>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace app {

namespace {

bool Terminal_Interativo() {
#ifdef Q_OS_UNIX
    return isatty(STDIN_FILENO) != 0;
#else
    return true;
#endif
}

QString Linha_Log(const platform::db::StatementEvent &E) {
    QString Sql = E.sql;
    Sql.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QString L = E.startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz")) +
                QStringLiteral(" %1 ms ").arg(double(E.elapsedUs) / 1000.0, 0, 'f', 1) +
                (E.ok ? QStringLiteral("OK   ") : QStringLiteral("ERRO ")) + Sql;
    if (!E.ok)
        L += QStringLiteral("\n    ") +
             QString(E.error).replace(QLatin1Char('\n'), QLatin1Char(' '));
    return L + QLatin1Char('\n');
}

} // namespace

Console::Console(const FrontEndOptions &Opcoes) : Opcoes_(Opcoes) {
    if (!Opcoes_.logFile.isEmpty()) {
        Log_ = std::make_unique<QFile>(Opcoes_.logFile);
        if (!Log_->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            Escreve(QStringLiteral("Não foi possível abrir o registro \"%1\": %2")
                        .arg(Opcoes_.logFile, Log_->errorString()));
            Log_.reset();
        }
    }
}

Console::~Console() = default;

void Console::Escreve(const QString &Texto) {
    std::cout << Texto.toStdString() << std::endl;
}

QString Console::Pergunta(const QString &Texto) {
    std::cout << Texto.toStdString() << std::flush;
    if (!Terminal_Interativo()) {
        std::cout << "\n(sem terminal: resposta padrão)" << std::endl;
        return QString();
    }
    std::string Linha;
    if (!std::getline(std::cin, Linha))
        return QString();
    return QString::fromStdString(Linha).trimmed();
}

void Console::Acompanha_Conexao(platform::db::Connection &Conexao) {
    if (!Log_)
        return;
    QFile *Arquivo = Log_.get();
    Conexao.AddStatementObserver([Arquivo](const platform::db::StatementEvent &E) {
        Arquivo->write(Linha_Log(E).toUtf8());
        Arquivo->flush();
    });
}

void Console::Usuarios_Logados(Tfrm_Usu_Log &Janela) {
    for (;;) {
        const QList<TUsu_Log> &Lista = Janela.Registros();
        if (Lista.isEmpty()) {
            Escreve(QStringLiteral("Nenhum usuário logado."));
            return;
        }
        Escreve(QStringLiteral("Usuários logados:"));
        Escreve(QStringLiteral("  #  PID       USUÁRIO          COMPUTADOR       TRS  LOGON"));
        for (int i = 0; i < Lista.size(); ++i) {
            const TUsu_Log &R = Lista[i];
            Escreve(QStringLiteral("%1  %2 %3 %4 %5 %6")
                        .arg(i + 1, 3)
                        .arg(R.PID.isNull() ? QString() : R.PID.toString(), -9)
                        .arg(R.USU, -16)
                        .arg(R.CPU, -16)
                        .arg(R.TRS.isNull() ? QString() : R.TRS.toString(), 4)
                        .arg(Formata_Logon(R.LGN)));
        }
        if (Opcoes_.run) {
            Escreve(QStringLiteral("(--executar: os usuários logados são mantidos)"));
            return;
        }
        const QString Resposta =
            Pergunta(QStringLiteral("Número da linha a desconectar, ou Enter para continuar: "));
        if (Resposta.isEmpty())
            return;
        bool Ok = false;
        const int N = Resposta.toInt(&Ok);
        if (!Ok || N < 1 || N > Lista.size()) {
            Escreve(QStringLiteral("Linha inválida: %1").arg(Resposta));
            continue;
        }
        Janela.Desconecta(N - 1);
    }
}

void Console::Acompanha_Janela(Tfrm_Mnt &Janela) {
    connect(&Janela, &Tfrm_Mnt::groupStarted, this, [this](const QString &Rotulo) {
        Ultimo_Quarto_ = 0;
        Escreve(Rotulo);
    });
    connect(&Janela, &Tfrm_Mnt::slotReached, this, [this](int Slot, int Maximo) {
        if (Maximo <= 0)
            return;
        const int Quarto = int(qint64(Slot) * 4 / Maximo);
        if (Quarto > Ultimo_Quarto_ && Quarto < 4) {
            Ultimo_Quarto_ = Quarto;
            Escreve(QStringLiteral("  %1 de %2")
                        .arg(QLocale().toString(Slot), QLocale().toString(Maximo)));
        }
    });
    connect(&Janela, &Tfrm_Mnt::groupEnded, this, [this](const QString &, bool Falhou) {
        Escreve(Falhou ? QStringLiteral("  falhou") : QStringLiteral("  concluído"));
    });
    connect(&Janela, &Tfrm_Mnt::runEnded, this, [this, &Janela](bool Ok, const QString &) {
        Executou_ = true;
        Sucesso_ = Ok;
        Escreve(Ok ? QStringLiteral("Atualização concluída.")
                   : QStringLiteral("Atualização com falha: a base de dados deve ser restaurada."));
        // A failed version write leaves the window open: the console has nobody to
        // close it, so it does.
        QTimer::singleShot(0, &Janela, [&Janela] {
            if (Janela.isVisible())
                Janela.close();
        });
    });
}

void Console::Inicia(Tfrm_Mnt &Janela) {
    QApplication::setActiveWindow(&Janela);
    QCoreApplication::processEvents();
    QString Instalacao;
    try {
        Instalacao = TVeltranaToStr(Emp_Atu);
    } catch (const platform::Exception &) {
        Instalacao = QStringLiteral("?");
    }
    Escreve(QStringLiteral("Instalação: \"%1\"").arg(Instalacao));
    Escreve(QStringLiteral("Versão atual dos dados: %1").arg(Ver_Dad_Atu));
    Escreve(QStringLiteral("Versão futura dos dados: %1").arg(Ver_Dad_Fut));
    if (Janela.Execucao_Recusada()) {
        Escreve(QStringLiteral("Atualização recusada."));
        QTimer::singleShot(0, &Janela, [&Janela] { Janela.close(); });
        return;
    }
    bool Executa = Opcoes_.run;
    if (!Executa) {
        const QString R = Pergunta(QStringLiteral("Executar a atualização agora? (s/N): "));
        Executa = R.compare(QLatin1String("s"), Qt::CaseInsensitive) == 0 ||
                  R.compare(QLatin1String("sim"), Qt::CaseInsensitive) == 0;
    }
    if (!Executa) {
        Escreve(QStringLiteral("Nada foi alterado."));
        QTimer::singleShot(0, &Janela, [&Janela] { Janela.close(); });
        return;
    }
    QTimer::singleShot(0, &Janela, [&Janela] { Janela.btbtn_Executar->click(); });
}

int Console::Codigo_Saida(const Tfrm_Mnt &Janela) const {
    if (Janela.Execucao_Recusada())
        return Saida_Recusada;
    if (Executou_)
        return Sucesso_ ? Saida_Concluida : Saida_Falhou;
    return Saida_Concluida;
}

} // namespace app
