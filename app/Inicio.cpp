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
#include <QDir>
#include <QLocale>
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

} // namespace

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
        } catch (const platform::Exception &E) {
            Err_Con = true;
            Des_Err = QStringLiteral("DESCRIÇÃO DO ERRO:\r\n") + E.Message();
            return;
        }
        if (Terminal)
            Terminal->Acompanha_Conexao(*dm->FDConnection);
        Le_Empresa_E_Versao();
        Janela = std::make_unique<Tfrm_Mnt>();
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
