#include "app/Inicio.h"

#include "app/Console.h"
#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "common/Formatos.h"
#include "common/Funcoes_Cifra.h"
#include "common/Funcoes_Estacao.h"
#include "common/Funcoes_Mensagem.h"
#include "common/Funcoes_Veltrana.h"
#include "common/Globais.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "update/Mnt.h"
#include "users/Usu_Log.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <memory>

namespace app {

namespace {

const QString Titulo = QStringLiteral("Veltrana - Atualização da Base de Dados");

// Company (FIL row 1) and data version (CFG), read on fdqry_Funcao.
void Le_Empresa_E_Versao() {
    platform::db::Query &q = *dm->fdqry_Funcao;
    q.SQL.Clear();
    q.SQL.Add(QStringLiteral("select NME, SGL from FIL where COD = 1"));
    q.Open();
    Emp_Atu = StrToTVeltrana(q.FieldByName(QStringLiteral("NME")).AsString());

    q.SQL.Clear();
    q.SQL.Add(QStringLiteral("select VER_DAD as VER_DAD_ATU from CFG"));
    q.Open();
    const QString Texto =
        Cifra_Texto(QStringLiteral("D"), q.FieldByName(QStringLiteral("VER_DAD_ATU")).AsString(),
                    Chave_Cifra());
    bool Ok = false;
    const qint32 Versao = Texto.toInt(&Ok, 10);
    // Only plain decimal digits, with an optional sign, are a version.
    if (!Ok || Texto.trimmed() != Texto || Texto.startsWith(QLatin1Char('+')))
        throw platform::ConvertError(
            QStringLiteral("'%1' não é um valor inteiro válido").arg(Texto));
    Ver_Dad_Atu = Versao;
}

// The release of this run: the file named in the settings or the built-in one.
TRelease Release_Configurada() {
    const QString Arquivo = Configuracao().Arquivo_Release;
    return Arquivo.isEmpty() ? Carrega_Release_Interna() : Carrega_Release(Arquivo);
}

// The embedded engine makes a new database of a missing or empty file: a mistyped
// path would leave a stray database behind, and an empty file would be changed.
// Only an existing, non-empty file is opened; opening it here lets the engine refuse
// a file that is not one of its databases as a connection error, before any query.
void Abre_Banco_Embutido(platform::db::Connection &Conexao) {
    if (Configuracao().DriverID.compare(QLatin1String("Embedded"), Qt::CaseInsensitive) != 0)
        return;
    const QString Arquivo = Configuracao().Database;
    const QFileInfo Info(Arquivo);
    if (!Info.exists())
        throw platform::Exception(
            QStringLiteral("Banco embutido: o arquivo \"%1\" não existe.").arg(Arquivo));
    if (!Info.isFile())
        throw platform::Exception(
            QStringLiteral("Banco embutido: \"%1\" não é um arquivo.").arg(Arquivo));
    if (Info.size() == 0)
        throw platform::Exception(
            QStringLiteral("Banco embutido: o arquivo \"%1\" não é um banco de dados.")
                .arg(Arquivo));
    Conexao.Open();
}

// One run at a time per database on this server. Once taken, the lock is held for
// as long as `Lock` lives; a lock whose holder has died (killed, crashed) is taken
// over, one whose holder still runs never is.
enum class Trava { Obtida, Ocupada, Falhou };

Trava Obtem_Trava(QLockFile &Lock, QString &Motivo) {
    // 0: age alone never makes a lock stale; only a dead holder does.
    Lock.setStaleLockTime(0);
    if (Lock.tryLock(0))
        return Trava::Obtida;
    if (Lock.error() == QLockFile::LockFailedError)
        return Trava::Ocupada;
    const QString Pasta = QDir::toNativeSeparators(QFileInfo(Lock.fileName()).absolutePath());
    if (!QFileInfo(Pasta).isDir())
        Motivo = QStringLiteral("a pasta %1 não existe").arg(Pasta);
    else if (Lock.error() == QLockFile::PermissionError)
        Motivo = QStringLiteral("sem permissão de gravação na pasta %1").arg(Pasta);
    else
        Motivo = QStringLiteral("erro desconhecido na pasta %1").arg(Pasta);
    return Trava::Falhou;
}

// The system's temporary folder. For a TMPDIR that does not exist Qt answers with
// the empty text, which would put the lock into the current folder, where another
// instance started elsewhere would not see it: the lock must fail on that folder.
QString Pasta_Trava() {
    const QString Pasta = QDir::tempPath();
    if (!Pasta.isEmpty())
        return Pasta;
    const QString Variavel = qEnvironmentVariable("TMPDIR");
    return Variavel.isEmpty() ? QStringLiteral("/tmp") : QDir::cleanPath(Variavel);
}

} // namespace

QString Alvo_Banco(const TConfiguracao &Cfg) {
    const QString Driver = Cfg.DriverID.toLower();
    const QChar Sep(QLatin1Char('\n'));
    if (Driver == QLatin1String("embedded")) {
        // The file is the database, whoever the configured user is.
        const QFileInfo Info(Cfg.Database);
        QString Caminho = Info.canonicalFilePath();
        if (Caminho.isEmpty())
            Caminho = Info.absoluteFilePath();
#ifdef Q_OS_WIN
        Caminho = Caminho.toLower();
#endif
        return Driver + Sep + Caminho;
    }
    if (Driver == QLatin1String("ora"))
        return Driver + Sep + Cfg.Database.trimmed().toUpper() + Sep +
               Cfg.User_Name.trimmed().toUpper();
    return Driver + Sep + Cfg.Database + Sep + Cfg.User_Name.trimmed().toUpper();
}

QString Arquivo_Trava(const TConfiguracao &Cfg) {
    const QByteArray Hash =
        QCryptographicHash::hash(Alvo_Banco(Cfg).toUtf8(), QCryptographicHash::Sha1).toHex();
    return QDir(Pasta_Trava())
        .filePath(QStringLiteral("atualiza-") + QString::fromLatin1(Hash) +
                  QStringLiteral(".lock"));
}

bool Caminho_De_Rede(const QString &Pasta) {
    return Pasta.left(2) == QStringLiteral("\\\\");
}

QString Pasta_Programa() {
    QString Pasta = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    if (!Pasta.endsWith(QDir::separator()))
        Pasta += QDir::separator();
    return Pasta;
}

int Executa_Atualizador(const FrontEndOptions &Opcoes) {
    // 1. Started from a network path: refuse before anything else runs.
    if (Caminho_De_Rede(Pasta_Programa())) {
        platform::ShowMessage(
            QStringLiteral("Só é permitida a execução deste programa no SERVIDOR"));
        return Opcoes.console ? Saida_Recusada : Saida_Concluida;
    }

    // The release is read before anything else: a faulty release file names itself
    // and its fault, and neither the lock nor the database is touched.
    TRelease Release;
    try {
        Release = Release_Configurada();
    } catch (const platform::Exception &E) {
        Mensagem(274, QStringLiteral("\r\n") + E.Message());
        return Opcoes.console ? Saida_Inicio : Saida_Concluida;
    }

    // One update of a database at a time on this server, taken before anything can
    // change the database or end other program instances, and held until the program
    // ends. The groups of two runs would otherwise interleave on one schema.
    QLockFile Lock(Arquivo_Trava(Configuracao()));
    QString Motivo;
    switch (Obtem_Trava(Lock, Motivo)) {
    case Trava::Obtida:
        break;
    case Trava::Ocupada:
        Mensagem(274, QStringLiteral("\r\nJá existe uma atualização desta base de dados em "
                                     "andamento neste servidor.\r\nAguarde o término dela antes "
                                     "de executar o programa de novo."));
        return Opcoes.console ? Saida_Recusada : Saida_Concluida;
    case Trava::Falhou:
        Mensagem(274, QStringLiteral("\r\nNão foi possível criar o arquivo de trava da "
                                     "atualização %1: %2.\r\nA atualização não foi iniciada.")
                          .arg(QDir::toNativeSeparators(Lock.fileName()), Motivo));
        return Opcoes.console ? Saida_Inicio : Saida_Concluida;
    }

    Ctt_Sup = Configuracao().Ctt_Sup;
    std::unique_ptr<Tfrm_Mnt> Janela;
    std::unique_ptr<Console> Terminal;
    if (Opcoes.console)
        Terminal = std::make_unique<Console>(Opcoes);

    // 2 to 8; each guarded stage leaves at its first failure.
    auto Etapas = [&]() {
        Identifica_Estacao();
        platform::SetApplicationTitle(Titulo);
        try {
            dm = new Tdm(qApp);
            Abre_Banco_Embutido(*dm->FDConnection);
        } catch (const platform::Exception &E) {
            Err_Con = true;
            Des_Err = QStringLiteral("DESCRIÇÃO DO ERRO:\r\n") + E.Message();
            return;
        }
        if (Terminal)
            Terminal->Acompanha_Conexao(*dm->FDConnection);
        Le_Empresa_E_Versao();
        Janela = std::make_unique<Tfrm_Mnt>(Release);
        if (Tes_Usu_Log && !Est_Sup) {
            try {
                frm_Usu_Log = new Tfrm_Usu_Log();
                if (Exi_Usu_Log) {
                    if (Terminal)
                        Terminal->Usuarios_Logados(*frm_Usu_Log);
                    else
                        frm_Usu_Log->exec();
                }
            } catch (const platform::Exception &E) {
                Err_Usu_Log = true;
                Des_Err =
                    QStringLiteral("DESCRIÇÃO DO ERRO:\r\n\r\nTela de Usuários Logados:\r\n") +
                    E.Message();
                return;
            }
        }
    };
    try {
        Etapas();
    } catch (...) {
        Err_Dsc = true;
        Des_Err = QStringLiteral("Ocorreu um erro desconhecido.\r\n\r\nContate ") + Ctt_Sup +
                  QStringLiteral(" para resolver o problema.");
    }

    // 9. Exit report.
    if (Err_Con)
        Mensagem(262, QStringLiteral("\r\n") + Des_Err);
    if (Err_Usu_Log)
        Mensagem(274, QStringLiteral("\r\n") + Des_Err);
    if (Err_Dsc)
        platform::MessageDlg(Des_Err, platform::DialogKind::Information, platform::DialogButton::OK,
                             platform::DialogButton::OK);
    if (Tes_Usu_Log) {
        delete frm_Usu_Log;
        frm_Usu_Log = nullptr;
    }
    if (Err_Con || Err_Usu_Log || Err_Dsc) {
        platform::RequestTermination();
        Janela.reset();
        return Opcoes.console ? Saida_Inicio : Saida_Concluida;
    }

    // 10. Dates formatted from now on use "dd/mm/yy"; the update window runs the loop.
    QLocale::setDefault(QLocale(QLocale::system()));
    Formato_Data_Curta = QStringLiteral("dd/mm/yy");
    if (Terminal)
        Terminal->Acompanha_Janela(*Janela);
    Janela->show();
    Janela->activateWindow();
    if (Terminal)
        Terminal->Inicia(*Janela);
    const int Laco = platform::TerminationRequested() ? 0 : QApplication::exec();
    Q_UNUSED(Laco);
    const int Codigo = Terminal ? Terminal->Codigo_Saida(*Janela) : Saida_Concluida;
    Janela.reset();
    return Codigo;
}

} // namespace app
