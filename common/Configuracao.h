#pragma once

// The settings values of the tool: a plain struct whose defaults are the design's
// fixed values. app/ fills it from the command line, the INI file and the
// environment; every other unit only reads it through Configuracao().

#include <QString>
#include <QStringList>

struct TConfiguracao {
    // Database connection (data module).
    QString DriverID = QStringLiteral("Ora");
    QString Database = QStringLiteral("XE");
    QString User_Name = QStringLiteral("TALVERO");
    QString Password; // never in the source: INI file or ATUALIZA_DB_PASSWORD
    QString OracleOdbcDriver = QStringLiteral("Oracle in XE");

    // Workstation identification: serials of the support workstations' drive C.
    QStringList Ser_Sup = {QStringLiteral("5A3C19E2"), QStringLiteral("0B7F42D1"),
                           QStringLiteral("C4E8A637"), QStringLiteral("19D0F5B8"),
                           QStringLiteral("E26B3C04")};

    // Scrambling key of the stored data version (seven ASCII letters).
    QString Chave_Cifra = QStringLiteral("QTVLDAB");

    // Support contact named in the unknown-error text (empty as designed).
    QString Ctt_Sup;

    // Backup and restore script generation.
    QString Pasta_Dados = QStringLiteral("C:\\Quinta\\Dados\\");
    QString Pasta_Data_Pump =
        QStringLiteral("C:\\app\\Veltrana\\product\\21c\\admin\\XE\\dpdump\\");
    QString Senha_System;    // PS: password of the SYSTEM account
    QString Senha_Esquema;   // PT: password given to the schema owner
    QString Servidor_Backup; // network backup server of Empresa24
    QString Nme_Mod = QStringLiteral("ATUALIZA");

    // Report folder of the diagnostic reports.
    QString Pth_Atu = QStringLiteral("C:\\OneDrive\\Veltrana\\Atualizacao\\");

    // Release file to load instead of the one built in (empty: built-in release).
    QString Arquivo_Release;
};

// The program's settings; tests may change them and call ResetConfiguracao().
TConfiguracao &Configuracao();
void ResetConfiguracao();
