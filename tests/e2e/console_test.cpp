// The program as an operator runs it: atualiza --console on a demo database,
// looking at the exit code, the output, the database and the files written.

#include "common/Configuracao.h"
#include "common/Funcoes_Cifra.h"
#include "common/Funcoes_Estacao.h"
#include "platform/database/Database.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Saida {
    int code = -1;
    QString out;
};

class Console : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        db = dir.filePath(QStringLiteral("demo.db"));
        dados = dir.filePath(QStringLiteral("dados")) + QLatin1Char('/');
        QDir().mkpath(dados);
        QFile ini(dir.filePath(QStringLiteral("atualiza.ini")));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write(QStringLiteral("[Banco]\nDriverID=Embedded\nDatabase=%1\n"
                                 "[Backup]\nPasta_Dados=%2\nSenha_System=S1\nSenha_Esquema=S2\n")
                      .arg(db, dados)
                      .toUtf8());
    }

    Saida Atualiza(const QStringList &args) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        QStringList all{QStringLiteral("--config"), dir.filePath(QStringLiteral("atualiza.ini"))};
        all += args;
        p.start(QStringLiteral(ATUALIZA_EXE), all);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(120000)) << "atualiza did not end";
        return {p.exitCode(), QString::fromUtf8(p.readAll())};
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
    void CriaDemo() {
        const Saida r = Atualiza({QStringLiteral("--criar-demo"), db});
        ASSERT_EQ(r.code, 0) << r.out.toStdString();
    }

    QTemporaryDir dir;
    QString db, dados;
};

TEST_F(Console, DemoRunUpdatesOnceAndThenRefuses) {
    CriaDemo();
    EXPECT_EQ(Versao(), QStringLiteral("18"));

    const QString log = dir.filePath(QStringLiteral("comandos.log"));
    const Saida first = Atualiza(
        {QStringLiteral("--console"), QStringLiteral("--executar"), QStringLiteral("--log"), log});
    EXPECT_EQ(first.code, 0) << first.out.toStdString();
    EXPECT_TRUE(first.out.contains(QStringLiteral("05 - CRIA TABELA")));
    EXPECT_TRUE(first.out.contains(QStringLiteral("09 - PREENCHE CAMPO")));
    EXPECT_TRUE(first.out.contains(QStringLiteral("Operação realizada com sucesso!")));
    EXPECT_EQ(Versao(), QStringLiteral("1"));
    EXPECT_EQ(Sql(QStringLiteral("select count(*) from CST_IBS_CBS")).rows.at(0).at(0).toInt(), 18);
    // The statement log names every statement with its outcome.
    QFile logFile(log);
    ASSERT_TRUE(logFile.open(QIODevice::ReadOnly));
    const QStringList lines =
        QString::fromUtf8(logFile.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.filter(QStringLiteral("OK   update CFG set VER_DAD = '")).size(), 1);
    EXPECT_TRUE(lines.filter(QStringLiteral("OK   INSERT ALL INTO CST_IBS_CBS")).size() == 1);
    for (const char *f : {"Parametros", "0-Backup.bat", "1-Manha.bat", "2-Tarde.bat", "3-Noite.bat",
                          "0-Restore.bat", "Drop_Create_User.sql"})
        EXPECT_TRUE(QFile::exists(dados + QLatin1String(f))) << f;
    // The logged users were listed and left alone.
    EXPECT_EQ(Sql(QStringLiteral("select count(*) from USU_LOG")).rows.at(0).at(0).toInt(), 2);

    const Saida again = Atualiza({QStringLiteral("--console"), QStringLiteral("--executar")});
    EXPECT_EQ(again.code, 3) << again.out.toStdString();
    EXPECT_TRUE(again.out.contains(QStringLiteral("Atualização fora de sequencia!")));
    EXPECT_TRUE(again.out.contains(QStringLiteral("Rode a Atualização 18")));
    EXPECT_EQ(Versao(), QStringLiteral("1"));
}

TEST_F(Console, StartUpFailuresEndWithTheirReport) {
    struct Case {
        const char *name;
        QStringList setup;
        QString expected;
        int code;
    };
    const QString unknown =
        QStringLiteral("Ocorreu um erro desconhecido.\n\nContate  para resolver o problema.");
    const std::vector<Case> cases = {
        {"unknown company",
         {QStringLiteral("update FIL set NME = 'servidor' where COD = 1")},
         unknown,
         2},
        {"no version", {QStringLiteral("delete from CFG")}, unknown, 2},
        {"garbage version", {QStringLiteral("update CFG set VER_DAD = 'ZZ'")}, unknown, 2},
        {"no logged-users table",
         {QStringLiteral("drop table USU_LOG purge")},
         QStringLiteral("DESCRIÇÃO DO ERRO:\n\nTela de Usuários Logados:\n"
                        "ORA-00942: table or view does not exist"),
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(db);
        CriaDemo();
        for (const QString &s : c.setup)
            Sql(s);
        const Saida r = Atualiza({QStringLiteral("--console"), QStringLiteral("--executar")});
        EXPECT_EQ(r.code, c.code) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(c.expected)) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("CRIA TABELA")));
    }
}

TEST_F(Console, UnreachableDatabaseIsAnUnknownError) {
    const Saida r = Atualiza({QStringLiteral("--console"), QStringLiteral("--executar"),
                              QStringLiteral("--driver"), QStringLiteral("ODBC"),
                              QStringLiteral("--banco"), QStringLiteral("DSN=nao_existe_aqui")});
    EXPECT_EQ(r.code, 2) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(
        QStringLiteral("Ocorreu um erro desconhecido.\n\nContate  para resolver o problema.")))
        << r.out.toStdString();
    // The database's own message is not part of the report.
    EXPECT_FALSE(r.out.contains(QStringLiteral("nao_existe_aqui"))) << r.out.toStdString();
}

TEST_F(Console, SupportWorkstationSkipsLoggedUsersAndBackupFiles) {
    CriaDemo();
    const QString serial = Serie_Disco(QStringLiteral("C"));
    ASSERT_EQ(serial.size(), 8) << "this machine reports no volume serial";
    const Saida r =
        Atualiza({QStringLiteral("--console"), QStringLiteral("--executar"),
                  QStringLiteral("--series-suporte"), serial + QStringLiteral(",00000001")});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains(QStringLiteral("Usuários logados"))) << r.out.toStdString();
    EXPECT_EQ(Versao(), QStringLiteral("1"));
    EXPECT_TRUE(QDir(dados).entryList(QDir::Files).isEmpty());
}

TEST_F(Console, CompanyRowMissingGoesOnWithTheEmptyInstallation) {
    CriaDemo();
    Sql(QStringLiteral("delete from FIL where COD = 1"));
    const Saida r = Atualiza({QStringLiteral("--console"), QStringLiteral("--executar")});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(Versao(), QStringLiteral("1"));
}

TEST_F(Console, DemoDatabaseIsNeverOverwritten) {
    CriaDemo();
    const Saida r = Atualiza({QStringLiteral("--criar-demo"), db});
    EXPECT_NE(r.code, 0);
    EXPECT_EQ(Versao(), QStringLiteral("18"));
}

} // namespace
