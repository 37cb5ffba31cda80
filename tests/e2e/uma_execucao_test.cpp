// One update of a database at a time on a server: a second atualiza started while
// another holds the database's lock is refused and changes nothing; the lock of a
// killed run does not block the next one; a lock that cannot be made stops the run.

#include "app/Inicio.h"
#include "tests/e2e/atualiza_fixture.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QThread>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

using e2e::Saida;

const QString Ocupada =
    QStringLiteral("[Informação]\n"
                   "Não foi possível realizar esta operação!\n\n"
                   "Já existe uma atualização desta base de dados em andamento neste servidor.\n"
                   "Aguarde o término dela antes de executar o programa de novo.\n");

class Uma_Execucao : public e2e::AtualizaFixture {};

TEST_F(Uma_Execucao, SecondRunWhileTheLockIsHeldIsRefused) {
    CriaDemo();
    QLockFile trava(app::Arquivo_Trava(Ajustes()));
    trava.setStaleLockTime(0);
    ASSERT_TRUE(trava.tryLock(0));
    // An hour old, as in a long run: age alone never frees the lock of a live holder.
    {
        QFile arquivo(app::Arquivo_Trava(Ajustes()));
        ASSERT_TRUE(arquivo.open(QIODevice::Append));
        ASSERT_TRUE(arquivo.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                        QFileDevice::FileModificationTime));
    }

    // Also when the same file is named another way, and also when the run would
    // ask before running.
    const std::vector<QStringList> runs = {
        Executa(),
        {QStringLiteral("--console"), QStringLiteral("--executar"), QStringLiteral("--banco"),
         QStringLiteral("./demo.db")},
        {QStringLiteral("--console")},
    };
    for (const QStringList &args : runs) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Saida r = Atualiza(args);
        EXPECT_EQ(r.code, 3);
        EXPECT_EQ(r.out, Ocupada);
        Intocado();
    }

    // The lock is the database's: another database updates meanwhile.
    const QString outro = dir.filePath(QStringLiteral("outro.db"));
    ASSERT_EQ(Atualiza({QStringLiteral("--criar-demo"), outro}).code, 0);
    const QString outros_dados = dir.filePath(QStringLiteral("outros_dados"));
    ASSERT_TRUE(QDir().mkpath(outros_dados));
    const Saida lado =
        Atualiza(Executa() + QStringList{QStringLiteral("--banco"), outro,
                                         QStringLiteral("--pasta-dados"), outros_dados});
    EXPECT_EQ(lado.code, 0) << lado.out.toStdString();
    Intocado();

    // Released, the run goes through and releases it in turn.
    trava.unlock();
    const Saida r = Atualiza(Executa());
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(Versao(), QStringLiteral("1"));
    EXPECT_FALSE(QFileInfo::exists(app::Arquivo_Trava(Ajustes())));
}

// The windowed program waits in the logged-users window with the lock held; killed
// there (as by the task manager or kill -9) it leaves its lock file behind, which
// the next run takes over because its holder is gone.
TEST_F(Uma_Execucao, LockOfAKilledRunIsTakenOver) {
    CriaDemo();
    const QString arquivo = app::Arquivo_Trava(Ajustes());
    QProcess janela;
    Prepara(janela, {});
    janela.start();
    ASSERT_TRUE(janela.waitForStarted());

    // Wait until the window program holds the lock.
    QDeadlineTimer prazo(60000);
    qint64 dono = 0;
    QString host, programa;
    QLockFile leitor(arquivo);
    while (!prazo.hasExpired() && dono != janela.processId()) {
        QThread::msleep(50);
        leitor.getLockInfo(&dono, &host, &programa);
    }
    ASSERT_EQ(dono, janela.processId()) << janela.readAll().toStdString();
    // Meanwhile it refuses a second run.
    EXPECT_EQ(Atualiza(Executa()).code, 3);

    janela.kill(); // SIGKILL: no clean-up runs
    ASSERT_TRUE(janela.waitForFinished());
    ASSERT_TRUE(QFileInfo::exists(arquivo));

    const Saida r = Atualiza(Executa());
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(Versao(), QStringLiteral("1"));
    EXPECT_FALSE(QFileInfo::exists(arquivo));
}

// The lock lives in the temporary folder (TMPDIR); when it cannot be made there the
// run stops as a start-up failure instead of running unprotected.
TEST_F(Uma_Execucao, LockThatCannotBeMadeStopsTheRun) {
#ifdef Q_OS_UNIX
    CriaDemo();
    // A folder no one may write to: a read-only folder, or for the superuser, who
    // writes anywhere on a disk, a folder of the kernel's file system.
    const QString somente_leitura = dir.filePath(QStringLiteral("somente_leitura"));
    ASSERT_TRUE(QDir().mkpath(somente_leitura));
    ASSERT_TRUE(QFile::setPermissions(somente_leitura,
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther));
    const QString sem_escrita = geteuid() == 0 ? QStringLiteral("/sys/kernel") : somente_leitura;
    ASSERT_TRUE(QFileInfo(sem_escrita).isDir());
    const QString nome = QFileInfo(app::Arquivo_Trava(Ajustes())).fileName();
    struct Caso {
        QString pasta, motivo;
    };
    const QString inexistente = dir.filePath(QStringLiteral("nao_existe"));
    const std::vector<Caso> casos = {
        {inexistente, QStringLiteral("a pasta %1 não existe").arg(inexistente)},
        {sem_escrita, QStringLiteral("sem permissão de gravação na pasta %1").arg(sem_escrita)},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.pasta.toStdString());
        QProcessEnvironment env;
        env.insert(QStringLiteral("TMPDIR"), c.pasta);
        const Saida r = Atualiza(Executa(), env);
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, QStringLiteral("[Informação]\n"
                                        "Não foi possível realizar esta operação!\n\n"
                                        "Não foi possível criar o arquivo de trava da "
                                        "atualização %1/%2: %3.\n"
                                        "A atualização não foi iniciada.\n")
                             .arg(c.pasta, nome, c.motivo));
        Intocado();
    }
#else
    GTEST_SKIP() << "TMPDIR names the temporary folder only on Unix";
#endif
}

} // namespace
