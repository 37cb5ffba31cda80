#pragma once

// The program as an operator runs it: the atualiza executable on a demo database in
// a temporary folder, with an INI file that points at it and at a data folder.

#include "common/Configuracao.h"
#include "common/Funcoes_Cifra.h"
#include "platform/database/Database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << text.toStdString();
}

namespace e2e {

struct Saida {
    int code = -1;
    QString out; // standard output and error, in the order written
};

inline QByteArray Bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
}

inline void Grava(const QString &path, const QByteArray &content) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(f.write(content), content.size());
}

class AtualizaFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = dir.filePath(QStringLiteral("demo.db"));
        dados = dir.filePath(QStringLiteral("dados")) + QLatin1Char('/');
        ini = dir.filePath(QStringLiteral("atualiza.ini"));
        QDir().mkpath(dados);
        Grava(ini, QStringLiteral("[Banco]\nDriverID=Embedded\nDatabase=%1\n"
                                  "[Backup]\nPasta_Dados=%2\nSenha_System=S1\nSenha_Esquema=S2\n")
                       .arg(db, dados)
                       .toUtf8());
    }

    // Sets up a run: the INI file first, then `args`; `env` is added to the
    // environment, `workdir` is the current folder (the temporary folder by default).
    void Prepara(QProcess &p, const QStringList &args, const QProcessEnvironment &env = {},
                 const QString &workdir = {}) {
        p.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
        all.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QString &k : env.keys())
            all.insert(k, env.value(k));
        p.setProcessEnvironment(all);
        p.setWorkingDirectory(workdir.isEmpty() ? dir.path() : workdir);
        p.setProgram(QStringLiteral(ATUALIZA_EXE));
        p.setArguments(QStringList{QStringLiteral("--config"), ini} + args);
    }

    Saida Atualiza(const QStringList &args, const QProcessEnvironment &env = {},
                   const QString &workdir = {}) {
        QProcess p;
        Prepara(p, args, env, workdir);
        p.start();
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(120000)) << "atualiza did not end";
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAll())};
    }

    static QStringList Executa() {
        return {QStringLiteral("--console"), QStringLiteral("--executar")};
    }

    // Runs a statement on the demo database.
    platform::db::ResultSet Sql(const QString &sql) {
        platform::db::Connection c;
        c.Params << QStringLiteral("DriverID=Embedded") << QStringLiteral("Database=") + db;
        return c.Execute(sql);
    }
    QString Versao() {
        const auto r = Sql(QStringLiteral("select VER_DAD from CFG"));
        return Cifra_Texto(QStringLiteral("D"), r.rows.at(0).at(0).toString(), Chave_Cifra());
    }
    int Conta(const QString &table) {
        return Sql(QStringLiteral("select count(*) from ") + table).rows.at(0).at(0).toInt();
    }
    // Nothing of the demo database changed, no logged user ended, no file written.
    void Intocado() {
        EXPECT_EQ(Versao(), QStringLiteral("18"));
        EXPECT_EQ(Conta(QStringLiteral("USER_TABLES where TABLE_NAME = 'CST_IBS_CBS'")), 0);
        EXPECT_EQ(Conta(QStringLiteral("USU_LOG")), 2);
        EXPECT_EQ(QDir(dados).entryList(QDir::Files), QStringList());
    }
    void CriaDemo() {
        const Saida r = Atualiza({QStringLiteral("--criar-demo"), db});
        ASSERT_EQ(r.code, 0) << r.out.toStdString();
    }
    // The settings the INI file gives, as far as the database is concerned.
    TConfiguracao Ajustes() const {
        TConfiguracao c;
        c.DriverID = QStringLiteral("Embedded");
        c.Database = db;
        return c;
    }

    QTemporaryDir dir;
    QString db, dados, ini;
};

} // namespace e2e
