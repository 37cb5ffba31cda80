#include "common/Funcoes_Backup.h"

#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "common/Funcoes_Mensagem.h"
#include "common/Funcoes_Veltrana.h"
#include "platform/Application.h"
#include "platform/Exception.h"
#include "platform/TextFile.h"

#include <QStringList>
#include <exception>
#include <utility>
#include <vector>

namespace {

const QString Arq_Dmp = QStringLiteral("X.DMP");
const QString Rem = QStringLiteral("rem ");
const QString Usuario = QStringLiteral("TALVERO");

// Only a to z: accented letters keep their case.
QString Maiusculas_Ascii(const QString &Texto) {
    QString out = Texto;
    for (QChar &c : out) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return out;
}

QString Pasta_Backup() {
    Tdm *m = dm;
    if (!m)
        throw platform::Exception(QStringLiteral("O módulo de dados não foi criado."));
    platform::db::Query &q = *m->fdqry_Funcao;
    q.SQL.Clear();
    q.SQL.Add(QStringLiteral("select PST_BKP from PRM_GER"));
    q.Open();
    return q.FieldByName(QStringLiteral("PST_BKP")).AsString() + QStringLiteral("\\Quinta\\");
}

} // namespace

void Gera_Backup(const QString &Modulo, const QString &Versao, const QString &Instalacao) {
    Q_UNUSED(Modulo); // the update tool passes its own module name; nothing depends on it
    QString Arquivo;
    try {
        const TConfiguracao &cfg = Configuracao();
        const QString B = Pasta_Backup();
        QString S;
        if (StrToTVeltrana(Instalacao) == TVeltrana::Empresa24)
            S = QStringLiteral("\\\\") + cfg.Servidor_Backup + QStringLiteral("\\Backup\\Quinta\\");
        const QString &V = Versao;
        const QString I = Maiusculas_Ascii(Instalacao);
        const QString &P = cfg.Pasta_Data_Pump;
        const QString &PS = cfg.Senha_System;
        const QString &PT = cfg.Senha_Esquema;
        const QString Q = QStringLiteral("\"");

        const QString Exporta = QStringLiteral("EXPDP parfile=Parametros");
        auto Turno = [&](const QString &Sufixo) {
            QStringList l{Exporta, QStringLiteral("COPY /y ") + Q + P + Arq_Dmp + Q +
                                       QStringLiteral(" ") + Q + B + I + Sufixo + Q};
            if (!S.isEmpty())
                l << QStringLiteral("COPY /y ") + Q + P + Arq_Dmp + Q + QStringLiteral(" ") + Q +
                         S + I + Sufixo + Q;
            return l;
        };

        const std::vector<std::pair<QString, QStringList>> arquivos = {
            {QStringLiteral("Parametros"),
             {QStringLiteral("USERID=SYSTEM/") + PS, QStringLiteral("DIRECTORY=DATA_PUMP_DIR"),
              QStringLiteral("DUMPFILE=") + Arq_Dmp, QStringLiteral("SCHEMAS=") + Usuario,
              QStringLiteral("GRANTS=Y")}},
            {QStringLiteral("0-Backup.bat"),
             {Exporta, QStringLiteral("COPY /y ") + Q + P + Arq_Dmp + Q + QStringLiteral(" ") + Q +
                           B + V + QStringLiteral("-") + I + QStringLiteral(".DMP") + Q}},
            {QStringLiteral("1-Manha.bat"), Turno(QStringLiteral("-1M.DMP"))},
            {QStringLiteral("2-Tarde.bat"), Turno(QStringLiteral("-2T.DMP"))},
            {QStringLiteral("3-Noite.bat"), Turno(QStringLiteral("-3N.DMP"))},
            {QStringLiteral("0-Restore.bat"),
             {Rem + QStringLiteral("COPY /y ") + Q + B + Arq_Dmp + Q + QStringLiteral(" ") + Q + P +
                  Arq_Dmp + Q,
              Rem + QStringLiteral("SQLPLUS @Drop_Create_User.sql"),
              Rem + QStringLiteral("IMPDP parfile=Parametros"), Rem + QStringLiteral("PAUSE")}},
            {QStringLiteral("Drop_Create_User.sql"),
             {Rem + QStringLiteral("SYSTEM/") + PS,
              Rem + QStringLiteral("ALTER SESSION SET \"_ORACLE_SCRIPT\" = TRUE;"),
              Rem + QStringLiteral("DROP USER ") + Usuario + QStringLiteral(" CASCADE;"),
              Rem + QStringLiteral("CREATE USER ") + Usuario + QStringLiteral(" IDENTIFIED BY ") +
                  PT +
                  QStringLiteral(" DEFAULT TABLESPACE USERS TEMPORARY TABLESPACE TEMP QUOTA "
                                 "UNLIMITED ON USERS;"),
              Rem + QStringLiteral("GRANT DBA TO ") + Usuario + QStringLiteral(";"),
              Rem + QStringLiteral("EXIT;")}},
        };
        for (const auto &[nome, linhas] : arquivos) {
            Arquivo = nome;
            platform::WriteAnsiLines(cfg.Pasta_Dados + nome, linhas);
        }
    } catch (...) {
        QString erro;
        try {
            throw;
        } catch (const platform::Exception &e) {
            erro = e.Message();
        } catch (const std::exception &e) {
            erro = QString::fromLocal8Bit(e.what());
        } catch (...) {
            erro = QStringLiteral("Erro desconhecido.");
        }
        try {
            Mensagem(248,
                     QStringLiteral("BACKUP/RESTORE\r\n\r\nNão foi possivel localizar, "
                                    "alterar ou criar este arquivo de Backup/Restore!\r\n\r\n") +
                         Arquivo + QStringLiteral("\r\n\r\n") + erro);
        } catch (...) {
            // The dialog itself failed: the termination request below still ends the run.
        }
        platform::RequestTermination();
    }
}
