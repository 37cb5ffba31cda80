// The program as an operator runs it: atualiza --console on a demo database,
// looking at the exit code, the output, the database and the files written.

#include "common/Funcoes_Estacao.h"
#include "tests/e2e/atualiza_fixture.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <functional>
#include <vector>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

using e2e::Saida;

class Console : public e2e::AtualizaFixture {};

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

// --criar-demo never writes over what is there: the file keeps its bytes.
TEST_F(Console, DemoDatabaseIsNeverOverwritten) {
    CriaDemo();
    const QString texto = dir.filePath(QStringLiteral("notas.txt"));
    e2e::Grava(texto, "notas do operador\r\n");
    for (const QString &alvo : {db, texto, dados}) {
        SCOPED_TRACE(alvo.toStdString());
        const QByteArray antes = e2e::Bytes(alvo);
        const Saida r = Atualiza({QStringLiteral("--criar-demo"), alvo});
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, QStringLiteral("atualiza: O arquivo %1 já existe; o banco de "
                                        "demonstração só é criado num arquivo novo.\n")
                             .arg(alvo));
        EXPECT_EQ(e2e::Bytes(alvo), antes);
    }
    EXPECT_EQ(Versao(), QStringLiteral("18"));
}

// ---- Bad input at the edges: a clear text, the start-up failure code, nothing changed ----

class Entrada_Ruim : public Console {
protected:
    // The built-in release with `muda` applied to its groups, written to `nome`.
    QString Release(const QString &nome, const std::function<void(QJsonObject &)> &muda) {
        QJsonObject release =
            QJsonDocument::fromJson(
                e2e::Bytes(testsupport::SourcePath(QStringLiteral("update/release/atual.json"))))
                .object();
        QJsonObject grupos = release.value(QStringLiteral("grupos")).toObject();
        muda(grupos);
        release.insert(QStringLiteral("grupos"), grupos);
        const QString arquivo = dir.filePath(nome);
        e2e::Grava(arquivo, QJsonDocument(release).toJson());
        return arquivo;
    }
};

// A faulty release file is named with its fault; the run does not start.
TEST_F(Entrada_Ruim, ReleaseFileFaults) {
    CriaDemo();
    using Grupos = QJsonObject;
    struct Caso {
        const char *nome;
        std::function<void(Grupos &)> muda;
        QString falha;
    };
    auto entrada = [](Grupos &g, const char *grupo) {
        return g.value(QLatin1String(grupo))
            .toObject()
            .value(QStringLiteral("entradas"))
            .toObject();
    };
    auto poe_entradas = [](Grupos &g, const char *grupo, const QJsonObject &entradas) {
        QJsonObject o = g.value(QLatin1String(grupo)).toObject();
        o.insert(QStringLiteral("ligado"), true);
        o.insert(QStringLiteral("entradas"), entradas);
        g.insert(QLatin1String(grupo), o);
    };
    const std::vector<Caso> casos = {
        {"campo_ausente.json",
         [&](Grupos &g) {
             QJsonObject e = entrada(g, "05");
             QJsonObject um = e.value(QStringLiteral("1")).toObject();
             um.remove(QStringLiteral("chaves"));
             e.insert(QStringLiteral("1"), um);
             poe_entradas(g, "05", e);
         },
         QStringLiteral("grupo 05, entrada 1, campo \"chaves\": campo ausente.")},
        {"entrada_fora.json",
         [&](Grupos &g) {
             QJsonObject e = entrada(g, "09");
             e.insert(QStringLiteral("101"), e.value(QStringLiteral("1")));
             poe_entradas(g, "09", e);
         },
         QStringLiteral("grupo 09, entrada \"101\": número de entrada fora de 1 a 100.")},
        {"grupo_sem_entradas.json",
         [&](Grupos &g) {
             poe_entradas(g, "13", QJsonObject{{"1", QJsonObject{{"tabela", "FIL"}}}});
         },
         QStringLiteral("grupo 13, entrada 1: o grupo 13 não recebe entradas.")},
        {"grupo_desconhecido.json",
         [](Grupos &g) {
             g.insert(QStringLiteral("23"), QJsonObject{{"ligado", false}});
         },
         QStringLiteral("grupo \"23\": grupo desconhecido (os grupos vão de \"01\" a \"22\").")},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        const QString arquivo = Release(QString::fromLatin1(c.nome), c.muda);
        const Saida r = Atualiza(Executa() + QStringList{QStringLiteral("--release"), arquivo});
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, QStringLiteral("[Informação]\nNão foi possível realizar esta operação!\n\n"
                                        "Release \"%1\" recusada: %2\n")
                             .arg(arquivo, c.falha));
        Intocado();
    }
}

// A settings file with an unknown key or a bad value names the file, the line and
// the key; the program ends as for any start-up failure.
TEST_F(Entrada_Ruim, SettingsFileFaults) {
    CriaDemo();
    struct Caso {
        QByteArray linhas; // appended to the INI file of the fixture
        QString falha;     // %1: the INI file, %2: the line number
    };
    const std::vector<Caso> casos = {
        {"[Banco]\nPorta=1521\n",
         "Chave desconhecida no arquivo de configuração (%1, linha %2): [Banco] Porta"},
        {"[Relatorios]\nPth_Atu=\n", "Valor vazio na chave [Relatorios] Pth_Atu. (%1, linha %2)"},
        {"[Cifra]\nChave_Cifra=1234567\n",
         "Chave de cifra inválida na chave [Cifra] Chave_Cifra: são 7 letras ASCII (A a Z, a a "
         "z). (%1, linha %2)"},
        {"[Suporte]\nSer_Sup=12AB\n",
         "Número de série inválido na chave [Suporte] Ser_Sup: \"12AB\" (são 8 dígitos "
         "hexadecimais maiúsculos, como 0B7F42D1). (%1, linha %2)"},
    };
    const QByteArray base = e2e::Bytes(ini);
    const int linha = int(base.count('\n')) + 2;
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.linhas.toStdString());
        e2e::Grava(ini, base + c.linhas);
        const Saida r = Atualiza(Executa());
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out,
                  QStringLiteral("atualiza: ") + c.falha.arg(ini).arg(linha) + QLatin1Char('\n'));
        Intocado();
    }
    // A driver the program does not know, and an empty database name, in the file.
    e2e::Grava(ini, "[Banco]\nDriverID=SQLite\nDatabase=" + db.toUtf8() + "\n");
    EXPECT_EQ(Atualiza(Executa()).out,
              QStringLiteral("atualiza: Driver de banco de dados desconhecido na chave [Banco] "
                             "DriverID: \"SQLite\" (use Ora, ODBC ou Embedded). (%1, linha 2)\n")
                  .arg(ini));
    e2e::Grava(ini, "[Banco]\nDriverID=Embedded\nDatabase=\n");
    EXPECT_EQ(Atualiza(Executa()).out,
              QStringLiteral("atualiza: Valor vazio na chave [Banco] Database. (%1, linha 3)\n")
                  .arg(ini));
    Intocado();
}

// A file that is not one of the embedded engine's databases is a connection error
// (message 262) that names it, and the file keeps its bytes: the engine would make a
// new database of a missing or empty file.
TEST_F(Entrada_Ruim, EmbeddedDatabaseThatIsNoDatabase) {
    QByteArray aleatorio(4096, '\0');
    for (int i = 0; i < aleatorio.size(); ++i)
        aleatorio[i] = char((i * 7919 + 13) % 251);
    struct Caso {
        const char *nome;
        QByteArray conteudo; // "<pasta>": a folder; "<nada>": no file at all
        QString falha;       // %1: the path
    };
    const std::vector<Caso> casos = {
        {"aleatorio.db", aleatorio, "Banco embutido: o arquivo \"%1\" não é um banco de dados."},
        {"vazio.db", QByteArray(), "Banco embutido: o arquivo \"%1\" não é um banco de dados."},
        {"texto.db", "[Banco]\r\nDatabase=XE\r\n",
         "Banco embutido: o arquivo \"%1\" não é um banco de dados."},
        {"nao_existe.db", "<nada>", "Banco embutido: o arquivo \"%1\" não existe."},
        {"pasta.db", "<pasta>", "Banco embutido: \"%1\" não é um arquivo."},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        const QString arquivo = dir.filePath(QString::fromLatin1(c.nome));
        if (c.conteudo == "<pasta>") {
            ASSERT_TRUE(QDir().mkpath(arquivo));
        } else if (c.conteudo != "<nada>") {
            e2e::Grava(arquivo, c.conteudo);
        }
        const QStringList antes =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const Saida r = Atualiza(Executa() + QStringList{QStringLiteral("--banco"), arquivo});
        EXPECT_EQ(r.code, 2);
        EXPECT_EQ(r.out, QStringLiteral("[Informação]\nNão é permitido Incluir/Alterar/Excluir\n\n"
                                        "Caso seja necessário,\nentre em contato com a Veltrana\n\n"
                                        "DESCRIÇÃO DO ERRO:\n") +
                             c.falha.arg(arquivo) + QLatin1Char('\n'));
        if (c.conteudo == "<nada>") {
            EXPECT_FALSE(QFileInfo::exists(arquivo));
        } else if (c.conteudo != "<pasta>") {
            EXPECT_EQ(e2e::Bytes(arquivo), c.conteudo);
        }
        // No database made, no journal beside the file.
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), antes);
    }
}

// The backup scripts are written after the new version is stored: a data folder that
// cannot be written shows message 248 naming the first file and its reason, the run
// still reports its success (as designed: the schema is updated and its version
// stored), and no script is left in the folder.
TEST_F(Entrada_Ruim, DataFolderThatCannotBeWritten) {
#ifdef Q_OS_UNIX
    const QString somente_leitura = dir.filePath(QStringLiteral("somente_leitura"));
    ASSERT_TRUE(QDir().mkpath(somente_leitura));
    ASSERT_TRUE(QFile::setPermissions(somente_leitura,
                                      QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther));
    // The superuser writes anywhere on a disk, not in the kernel's file system.
    const QString sem_escrita = geteuid() == 0 ? QStringLiteral("/sys/kernel") : somente_leitura;
    const QString inexistente = dir.filePath(QStringLiteral("nao_ha"));
    struct Caso {
        QString pasta, motivo;
    };
    const std::vector<Caso> casos = {
        {inexistente, QStringLiteral("Pasta não encontrada: ") + inexistente},
        {sem_escrita, QStringLiteral("Não foi possível criar o arquivo %1/Parametros: "
                                     "Permission denied")
                          .arg(sem_escrita)},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.pasta.toStdString());
        QFile::remove(db);
        CriaDemo();
        const QStringList antes = QDir(c.pasta).entryList(QDir::Files);
        const Saida r = Atualiza(Executa() + QStringList{QStringLiteral("--pasta-dados"), c.pasta});
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.out.endsWith(
            QStringLiteral("09 - PREENCHE CAMPO\n  25 de 100\n  50 de 100\n  75 de 100\n"
                           "  concluído\n[Informação]\nBACKUP/RESTORE\n\n"
                           "Não foi possivel localizar, alterar ou criar este arquivo de "
                           "Backup/Restore!\n\nParametros\n\n") +
            c.motivo +
            QStringLiteral("\nAtualização concluída.\n[Informação]\n"
                           "Operação realizada com sucesso!\n\n")))
            << r.out.toStdString();
        EXPECT_EQ(Versao(), QStringLiteral("1"));
        EXPECT_EQ(QDir(c.pasta).entryList(QDir::Files), antes);
    }
#else
    GTEST_SKIP() << "the unwritable folder is made with Unix permissions";
#endif
}

// Groups 21 and 22 write into the report folder, which the tool does not create.
// Missing, group 21 fails in its capture and group 22 is not run; group 22 alone
// fails as it creates its file, before its capture, in the driver's. Either way the
// group's line says it failed, the failure names the group, and nothing is written
// after it.
TEST_F(Entrada_Ruim, ReportFolderMissing) {
    const QString relatorios = dir.filePath(QStringLiteral("relatorios"));
    ASSERT_TRUE(QDir().mkpath(relatorios));
    const QString falta = relatorios + QStringLiteral("/nao_ha");
    auto so_relatorios = [](bool com_21) {
        return [com_21](QJsonObject &g) {
            g.insert(QStringLiteral("05"), QJsonObject{{"ligado", false}});
            g.insert(QStringLiteral("09"), QJsonObject{{"ligado", false}});
            if (com_21)
                g.insert(QStringLiteral("21"),
                         QJsonObject{
                             {"ligado", true},
                             {"entradas", QJsonObject{{"1", QJsonObject{{"fragmento", "COD"}}}}}});
            g.insert(QStringLiteral("22"), QJsonObject{{"ligado", true}});
        };
    };
    struct Caso {
        const char *nome;
        bool com_21;
        QString relato; // from the group's line to the end
    };
    const QString fim = QStringLiteral("Pasta não encontrada: ") + falta +
                        QStringLiteral("\n\nRestauração da base de dados necessária\n"
                                       "Contate o suporte técnico para instruções\n");
    const std::vector<Caso> casos = {
        {"relatorios_21_22.json", true,
         QStringLiteral("21 - ONDE USA CAMPO\n  falhou\n"
                        "Atualização com falha: a base de dados deve ser restaurada.\n"
                        "[Informação]\nNão foi possível realizar esta operação!\n\n"
                        "21 - ONDE USA CAMPO\n\ni = 1\n\n") +
             fim},
        {"relatorio_22.json", false,
         QStringLiteral("22 - DIFERENCA ESTOQUE ROMANEIO\n  falhou\n"
                        "Atualização com falha: a base de dados deve ser restaurada.\n"
                        "[Informação]\nNão foi possível realizar esta operação!\n\n"
                        "22 - DIFERENCA ESTOQUE ROMANEIO\n\ni = \n") +
             fim},
    };
    for (const Caso &c : casos) {
        SCOPED_TRACE(c.nome);
        QFile::remove(db);
        CriaDemo();
        const QString release = Release(QString::fromLatin1(c.nome), so_relatorios(c.com_21));
        const Saida r = Atualiza(Executa() + QStringList{QStringLiteral("--release"), release,
                                                         QStringLiteral("--pasta-relatorios"),
                                                         falta + QLatin1Char('/')});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.out.endsWith(QStringLiteral("Versão futura dos dados: 1\n") + c.relato))
            << r.out.toStdString();
        EXPECT_EQ(Versao(), QStringLiteral("18"));
        EXPECT_EQ(QDir(relatorios).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList());
        EXPECT_EQ(QDir(dados).entryList(QDir::Files), QStringList());
    }
}

} // namespace
