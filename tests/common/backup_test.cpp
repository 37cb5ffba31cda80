// Backup and restore scripts: byte-exact files for the installations that differ,
// and the failure path (message 248, termination request, nothing thrown).

#include "common/Configuracao.h"
#include "common/Funcoes_Backup.h"
#include "platform/Application.h"
#include "platform/DialogsScripted.h"
#include "tests/support/TestDatabase.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using testsupport::TestDatabase;

namespace {

const QStringList kArquivos = {
    QStringLiteral("Parametros"),          QStringLiteral("0-Backup.bat"),
    QStringLiteral("1-Manha.bat"),         QStringLiteral("2-Tarde.bat"),
    QStringLiteral("3-Noite.bat"),         QStringLiteral("0-Restore.bat"),
    QStringLiteral("Drop_Create_User.sql")};

QByteArray Bytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class Backup : public ::testing::Test {
protected:
    void SetUp() override {
        ResetConfiguracao();
        platform::ResetTermination();
        dm = &db.Dm();
        pasta = db.Folder() + QStringLiteral("/dados/");
        QDir().mkpath(pasta);
        TConfiguracao &cfg = Configuracao();
        cfg.Pasta_Dados = pasta;
        cfg.Senha_System = QStringLiteral("SYSPW");
        cfg.Senha_Esquema = QStringLiteral("TALPW");
        cfg.Servidor_Backup = QStringLiteral("NAS01");
        dialogs = new platform::ScriptedDialogs;
        scoped =
            std::make_unique<platform::ScopedDialogs>(std::unique_ptr<platform::Dialogs>(dialogs));
    }
    void TearDown() override {
        dm = nullptr;
        ResetConfiguracao();
        platform::ResetTermination();
    }
    void Backup_Em(const QString &pstBkp) {
        db.Exec(QStringLiteral("delete from PRM_GER"));
        db.Exec(QStringLiteral("insert into PRM_GER (COD, PST_BKP) values (1, %1)")
                    .arg(pstBkp.isNull() ? QStringLiteral("NULL") : QuotedStr(pstBkp)));
    }
    // Every file of the fixture folder equals the generated file of that name.
    void Confere(const QString &fixture) {
        const QDir dir(
            testsupport::SourcePath(QStringLiteral("tests/common/data/backup/") + fixture));
        const QStringList names = dir.entryList(QDir::Files);
        ASSERT_FALSE(names.isEmpty()) << fixture.toStdString();
        for (const QString &n : names) {
            SCOPED_TRACE(n.toStdString());
            EXPECT_EQ(Bytes(pasta + n), Bytes(dir.filePath(n)));
        }
    }

    TestDatabase db;
    QString pasta;
    platform::ScriptedDialogs *dialogs = nullptr;
    std::unique_ptr<platform::ScopedDialogs> scoped;
};

TEST_F(Backup, WritesTheSevenFilesExactly) {
    struct Case {
        const char *fixture;
        QString pstBkp;
        QString installation;
        QString version;
    };
    const std::vector<Case> cases = {
        {"servidor_19", QStringLiteral("D:"), QStringLiteral("Servidor"), QStringLiteral("19")},
        {"empresa24_5", QStringLiteral("E:\\"), QStringLiteral("Empresa24"), QStringLiteral("5")},
        {"vazia_2", QString(), QString(), QStringLiteral("2")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fixture);
        Backup_Em(c.pstBkp);
        Gera_Backup(QStringLiteral("ATUALIZA"), c.version, c.installation);
        EXPECT_TRUE(dialogs->Shown().isEmpty());
        EXPECT_FALSE(platform::TerminationRequested());
        for (const QString &n : kArquivos)
            EXPECT_TRUE(QFile::exists(pasta + n)) << n.toStdString();
        Confere(QString::fromLatin1(c.fixture));
    }
}

TEST_F(Backup, BackupFolderAndInstallationNameRules) {
    // Empty PRM_GER: backup folder "\Quinta\"; only a to z are upper-cased.
    db.Exec(QStringLiteral("delete from PRM_GER"));
    Gera_Backup(QStringLiteral("ATUALIZA"), QStringLiteral("7"), QStringLiteral("Produção"));
    EXPECT_EQ(Bytes(pasta + QStringLiteral("0-Backup.bat")),
              QByteArray("EXPDP parfile=Parametros\r\nCOPY /y "
                         "\"C:\\app\\Veltrana\\product\\21c\\admin\\XE\\dpdump\\X.DMP\" "
                         "\"\\Quinta\\7-PRODU\xE7\xE3O.DMP\"\r\n"));
    // Running again with the same inputs gives the same files.
    const QByteArray first = Bytes(pasta + QStringLiteral("Drop_Create_User.sql"));
    Gera_Backup(QStringLiteral("ATUALIZA"), QStringLiteral("7"), QStringLiteral("Produção"));
    EXPECT_EQ(Bytes(pasta + QStringLiteral("Drop_Create_User.sql")), first);
}

// A data folder that is missing or cannot be written fails on the first file:
// message 248 names it and the system's reason, the end of the program is
// requested, nothing is thrown and no file is left.
TEST_F(Backup, DataFolderThatCannotBeWrittenReports248AndRequestsTheEnd) {
#ifdef Q_OS_UNIX
    Backup_Em(QStringLiteral("D:"));
    const QString somente_leitura = db.Folder() + QStringLiteral("/somente_leitura");
    ASSERT_TRUE(QDir().mkpath(somente_leitura));
    ASSERT_TRUE(QFile::setPermissions(somente_leitura,
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther));
    // The superuser writes anywhere on a disk, not in the kernel's file system.
    const QString sem_escrita = geteuid() == 0 ? QStringLiteral("/sys/kernel") : somente_leitura;
    const QString inexistente = db.Folder() + QStringLiteral("/nao_existe");
    struct Caso {
        QString pasta, motivo;
    };
    const std::vector<Caso> casos = {
        {inexistente, QStringLiteral("Pasta não encontrada: ") + inexistente},
        {sem_escrita,
         QStringLiteral("Não foi possível criar o arquivo %1/Parametros: Permission denied")
             .arg(sem_escrita)},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.pasta.toStdString());
        platform::ResetTermination();
        dialogs->Clear();
        Configuracao().Pasta_Dados = c.pasta + QLatin1Char('/');
        const QStringList antes = QDir(c.pasta).entryList(QDir::Files);
        EXPECT_NO_THROW(Gera_Backup(QStringLiteral("ATUALIZA"), QStringLiteral("19"),
                                    QStringLiteral("Servidor")));
        ASSERT_EQ(dialogs->Shown().size(), 1);
        const platform::RecordedDialog &d = dialogs->Shown().first();
        EXPECT_EQ(d.kind, platform::DialogKind::Information);
        EXPECT_EQ(d.text, QStringLiteral("BACKUP/RESTORE\r\n\r\nNão foi possivel localizar, "
                                         "alterar ou criar este arquivo de Backup/Restore!\r\n\r\n"
                                         "Parametros\r\n\r\n") +
                              c.motivo);
        EXPECT_TRUE(platform::TerminationRequested());
        EXPECT_EQ(QDir(c.pasta).entryList(QDir::Files), antes);
    }
#else
    GTEST_SKIP() << "the unwritable folder is made with Unix permissions";
#endif
}

TEST_F(Backup, QueryFailureNamesNoFile) {
    db.Exec(QStringLiteral("drop table PRM_GER purge"));
    EXPECT_NO_THROW(
        Gera_Backup(QStringLiteral("ATUALIZA"), QStringLiteral("19"), QStringLiteral("Servidor")));
    ASSERT_EQ(dialogs->Shown().size(), 1);
    EXPECT_EQ(dialogs->Shown().first().text,
              QStringLiteral("BACKUP/RESTORE\r\n\r\nNão foi possivel localizar, alterar ou criar "
                             "este arquivo de Backup/Restore!\r\n\r\n\r\n\r\n"
                             "ORA-00942: table or view does not exist"));
    EXPECT_TRUE(platform::TerminationRequested());
    EXPECT_TRUE(QDir(pasta).entryList(QDir::Files).isEmpty());
}

} // namespace
