// Settings: the command line over the INI file over the defaults, passwords only from
// the INI file or the environment, and a clear text for every bad input.

#include "app/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << text.toStdString();
}

using app::parseSettings;
using app::SettingsResult;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("bin")));
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("conf")));
        env_.programFolder = dir_.filePath(QStringLiteral("bin"));
        // The process environment must not leak into the cases.
        env_.variables = QProcessEnvironment();
    }

    void SetPasswords() {
        env_.variables.insert(QStringLiteral("ATUALIZA_DB_PASSWORD"), QStringLiteral("envdb"));
        env_.variables.insert(QStringLiteral("ATUALIZA_SYSTEM_PASSWORD"), QStringLiteral("envsys"));
        env_.variables.insert(QStringLiteral("ATUALIZA_SCHEMA_PASSWORD"), QStringLiteral("envesq"));
    }

    QString Write(const QString &relative, const QByteArray &content) {
        const QString path = dir_.filePath(relative);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        return path;
    }

    SettingsResult Parse(QStringList args) {
        args.prepend(dir_.filePath(QStringLiteral("bin/atualiza")));
        return parseSettings(args, env_);
    }

    QTemporaryDir dir_;
    app::SettingsEnvironment env_;
};

TEST_F(SettingsTest, WithoutOptionsOrIniFileTheDesignValuesHold) {
    SetPasswords();
    const SettingsResult r = Parse({});
    ASSERT_EQ(r.error, QString());
    const TConfiguracao defaults;
    const TConfiguracao &c = r.configuration;
    EXPECT_EQ(c.DriverID, QStringLiteral("Ora"));
    EXPECT_EQ(c.Database, QStringLiteral("XE"));
    EXPECT_EQ(c.User_Name, QStringLiteral("TALVERO"));
    EXPECT_EQ(c.Password, QStringLiteral("envdb"));
    EXPECT_EQ(c.Senha_System, QStringLiteral("envsys"));
    EXPECT_EQ(c.Senha_Esquema, QStringLiteral("envesq"));
    EXPECT_EQ(c.OracleOdbcDriver, defaults.OracleOdbcDriver);
    EXPECT_EQ(c.Ser_Sup, defaults.Ser_Sup);
    EXPECT_EQ(c.Chave_Cifra, defaults.Chave_Cifra);
    EXPECT_EQ(c.Ctt_Sup, QString());
    EXPECT_EQ(c.Pasta_Dados, defaults.Pasta_Dados);
    EXPECT_EQ(c.Pasta_Data_Pump, defaults.Pasta_Data_Pump);
    EXPECT_EQ(c.Nme_Mod, defaults.Nme_Mod);
    EXPECT_EQ(c.Pth_Atu, defaults.Pth_Atu);
    EXPECT_EQ(c.Arquivo_Release, QString());
    EXPECT_EQ(r.iniFile, QString());
    EXPECT_FALSE(r.options.console);
    EXPECT_FALSE(r.options.run);
    EXPECT_FALSE(r.helpRequested());
}

// With the Oracle driver every password must be known before start-up; the text
// names the INI key and the environment variable of each missing one.
TEST_F(SettingsTest, MissingOraclePasswordsAreReportedByName) {
    struct Case {
        std::vector<const char *> set;
        QString error;
    };
    const QString db = QStringLiteral("[Banco] Password no arquivo de configuração ou a variável "
                                      "de ambiente ATUALIZA_DB_PASSWORD");
    const QString sys = QStringLiteral("[Backup] Senha_System no arquivo de configuração ou a "
                                       "variável de ambiente ATUALIZA_SYSTEM_PASSWORD");
    const QString esq = QStringLiteral("[Backup] Senha_Esquema no arquivo de configuração ou a "
                                       "variável de ambiente ATUALIZA_SCHEMA_PASSWORD");
    const std::vector<Case> cases = {
        {{},
         QStringLiteral("Senha não informada. Defina ") + db + QStringLiteral("; defina ") + sys +
             QStringLiteral("; defina ") + esq + QStringLiteral(".")},
        {{"ATUALIZA_SYSTEM_PASSWORD", "ATUALIZA_SCHEMA_PASSWORD"},
         QStringLiteral("Senha não informada. Defina ") + db + QStringLiteral(".")},
        {{"ATUALIZA_DB_PASSWORD", "ATUALIZA_SYSTEM_PASSWORD"},
         QStringLiteral("Senha não informada. Defina ") + esq + QStringLiteral(".")},
    };
    for (const Case &c : cases) {
        env_.variables = QProcessEnvironment();
        for (const char *name : c.set)
            env_.variables.insert(QLatin1String(name), QStringLiteral("x"));
        EXPECT_EQ(Parse({}).error, c.error);
    }
    // An empty variable counts as missing.
    SetPasswords();
    env_.variables.insert(QStringLiteral("ATUALIZA_DB_PASSWORD"), QString());
    EXPECT_EQ(Parse({}).error,
              QStringLiteral("Senha não informada. Defina ") + db + QStringLiteral("."));
}

// The embedded demo needs no password, neither does creating it nor the help.
TEST_F(SettingsTest, PasswordsAreNotAskedWhereNoOracleConnectionFollows) {
    EXPECT_EQ(Parse({QStringLiteral("--driver"), QStringLiteral("embedded"),
                     QStringLiteral("--banco"), QStringLiteral("demo.db")})
                  .error,
              QString());
    EXPECT_EQ(Parse({QStringLiteral("--criar-demo"), QStringLiteral("demo.db")}).error, QString());
    EXPECT_TRUE(Parse({QStringLiteral("--help")}).helpRequested());
}

TEST_F(SettingsTest, CommandLineOverIniFileOverDefaults) {
    SetPasswords();
    const QString ini = Write(QStringLiteral("conf/a.ini"), "; comment\n"
                                                            "[Banco]\n"
                                                            "Database = PRODUCAO\n"
                                                            "User_Name=QUINTA\n"
                                                            "Password=inipass;with=signs\n"
                                                            "[Suporte]\n"
                                                            "Ser_Sup=0000ABCD, 12345678\n"
                                                            "Ctt_Sup=\"  Suporte Veltrana  \"\n"
                                                            "[cifra]\n"
                                                            "chave_cifra=AbCdEfG\n"
                                                            "[Backup]\n"
                                                            "Pasta_Dados=D:\\Quinta\\Dados\n"
                                                            "Servidor_Backup=NAS01\n");
    const SettingsResult r =
        Parse({QStringLiteral("--config"), ini, QStringLiteral("--banco"), QStringLiteral("XE2"),
               QStringLiteral("--series-suporte"), QStringLiteral("FFFFFFFF")});
    ASSERT_EQ(r.error, QString());
    const TConfiguracao &c = r.configuration;
    EXPECT_EQ(r.iniFile, ini);
    EXPECT_EQ(c.Database, QStringLiteral("XE2"));                // command line wins
    EXPECT_EQ(c.User_Name, QStringLiteral("QUINTA"));            // INI file wins over default
    EXPECT_EQ(c.DriverID, QStringLiteral("Ora"));                // default stays
    EXPECT_EQ(c.Password, QStringLiteral("inipass;with=signs")); // INI wins over environment
    EXPECT_EQ(c.Senha_System, QStringLiteral("envsys"));         // environment fills the gap
    EXPECT_EQ(c.Ser_Sup, QStringList{QStringLiteral("FFFFFFFF")});
    EXPECT_EQ(c.Ctt_Sup, QStringLiteral("  Suporte Veltrana  "));
    EXPECT_EQ(c.Chave_Cifra, QStringLiteral("AbCdEfG"));
    EXPECT_EQ(c.Pasta_Dados, QStringLiteral("D:\\Quinta\\Dados\\")); // separator added
    EXPECT_EQ(c.Servidor_Backup, QStringLiteral("NAS01"));

    const SettingsResult fromIni = Parse({QStringLiteral("--config"), ini});
    ASSERT_EQ(fromIni.error, QString());
    EXPECT_EQ(fromIni.configuration.Ser_Sup,
              (QStringList{QStringLiteral("0000ABCD"), QStringLiteral("12345678")}));
}

TEST_F(SettingsTest, DefaultIniFileBesideTheProgramIsRead) {
    SetPasswords();
    const QString ini =
        Write(QStringLiteral("bin/atualiza.ini"), "[Banco]\nDriverID=ODBC\nDatabase=DSN=quinta\n"
                                                  "[Release]\nArquivo_Release=release.json\n");
    Write(QStringLiteral("bin/release.json"), "{}");
    const SettingsResult r = Parse({});
    ASSERT_EQ(r.error, QString());
    EXPECT_EQ(r.iniFile, ini);
    EXPECT_EQ(r.configuration.DriverID, QStringLiteral("ODBC"));
    EXPECT_EQ(r.configuration.Database, QStringLiteral("DSN=quinta"));
    // A relative file name in the INI file is taken from the INI file's folder.
    EXPECT_EQ(r.configuration.Arquivo_Release, dir_.filePath(QStringLiteral("bin/release.json")));
}

TEST_F(SettingsTest, IniFileInWindows1252IsReadAsSuch) {
    SetPasswords();
    const QString ini =
        Write(QStringLiteral("conf/ansi.ini"), "[Suporte]\r\nCtt_Sup=Jo\xe3o Suporte\r\n");
    const SettingsResult r = Parse({QStringLiteral("--config"), ini});
    ASSERT_EQ(r.error, QString());
    EXPECT_EQ(r.configuration.Ctt_Sup, QStringLiteral("João Suporte"));
}

TEST_F(SettingsTest, FrontEndOptions) {
    SetPasswords();
    const SettingsResult r = Parse({QStringLiteral("--console"), QStringLiteral("--executar"),
                                    QStringLiteral("--log"), QStringLiteral("run.log")});
    ASSERT_EQ(r.error, QString());
    EXPECT_TRUE(r.options.console);
    EXPECT_TRUE(r.options.run);
    EXPECT_EQ(r.options.logFile, QStringLiteral("run.log"));
    EXPECT_EQ(r.options.createDemoFile, QString());

    const SettingsResult demo = Parse({QStringLiteral("--criar-demo"), QStringLiteral("d.db")});
    ASSERT_EQ(demo.error, QString());
    EXPECT_EQ(demo.options.createDemoFile, QStringLiteral("d.db"));
    EXPECT_FALSE(demo.options.console);
}

// Every bad input gives one clear text; nothing of it is taken.
TEST_F(SettingsTest, BadInputIsRefusedWithAClearText) {
    SetPasswords();
    struct Case {
        QStringList args;
        QByteArray ini; // written to conf/bad.ini and passed with --config when not empty
        QString error;  // "%1" stands for the INI file's path
    };
    const std::vector<Case> cases = {
        {{},
         "[Banco]\nPorta=1521\n",
         "Chave desconhecida no arquivo de configuração (%1, linha 2): [Banco] Porta"},
        {{},
         "[Geral]\nDatabase=XE\n",
         "Seção desconhecida no arquivo de configuração (%1, linha 1): [Geral]"},
        {{},
         "Database=XE\n",
         "Chave fora de seção no arquivo de configuração (%1, linha 1): Database"},
        {{},
         "[Banco]\nDatabase XE\n",
         "Linha inválida no arquivo de configuração (%1, linha 2): esperado Chave=Valor."},
        {{},
         "[Banco]\nDatabase=A\n\ndatabase=B\n",
         "Chave repetida no arquivo de configuração (%1, linha 4): [Banco] Database"},
        {{},
         "[Suporte]\nSer_Sup=5A3C19E2,0b7f42d1\n",
         "Número de série inválido na chave [Suporte] Ser_Sup: \"0b7f42d1\" (são 8 dígitos "
         "hexadecimais maiúsculos, como 0B7F42D1). (%1, linha 2)"},
        {{"--series-suporte", "5A3C19E"},
         "",
         "Número de série inválido na opção --series-suporte: \"5A3C19E\" (são 8 dígitos "
         "hexadecimais maiúsculos, como 0B7F42D1)."},
        {{"--chave", "ABCDEF"},
         "",
         "Chave de cifra inválida na opção --chave: são 7 letras ASCII (A a Z, a a z)."},
        {{"--chave", "ABCDEF1"},
         "",
         "Chave de cifra inválida na opção --chave: são 7 letras ASCII (A a Z, a a z)."},
        {{},
         "[Cifra]\nChave_Cifra=ABCDEFÉ\n",
         "Chave de cifra inválida na chave [Cifra] Chave_Cifra: são 7 letras ASCII (A a Z, a a "
         "z). (%1, linha 2)"},
        {{"--driver", "Oracle"},
         "",
         "Driver de banco de dados desconhecido na opção --driver: \"Oracle\" (use Ora, ODBC ou "
         "Embedded)."},
        {{},
         "[Banco]\nDriverID=SQLite\n",
         "Driver de banco de dados desconhecido na chave [Banco] DriverID: \"SQLite\" (use Ora, "
         "ODBC ou Embedded). (%1, linha 2)"},
        {{"--banco", ""}, "", "Valor vazio na opção --banco."},
        // An empty value where one is needed, also blank or as empty quotes.
        {{}, "[Banco]\nDatabase=\n", "Valor vazio na chave [Banco] Database. (%1, linha 2)"},
        {{},
         "[Backup]\nPasta_Dados=   \n",
         "Valor vazio na chave [Backup] Pasta_Dados. (%1, linha 2)"},
        {{}, "[Backup]\nNme_Mod=\"\"\n", "Valor vazio na chave [Backup] Nme_Mod. (%1, linha 2)"},
        {{},
         "[Banco]\nDriverID=\n",
         "Driver de banco de dados desconhecido na chave [Banco] DriverID: \"\" (use Ora, ODBC ou "
         "Embedded). (%1, linha 2)"},
        {{"--servidor-backup", "\\\\NAS01"},
         "",
         "Nome de servidor inválido na opção --servidor-backup: \"\\\\NAS01\" (só o nome, sem "
         "barras)."},
        {{"--config", "nao-existe.ini"},
         "",
         "Arquivo de configuração não encontrado: " +
             QDir::current().absoluteFilePath("nao-existe.ini")},
        {{"--senha=segredo"},
         "",
         "Senhas não são aceitas na linha de comando (opção \"senha\"): informe-as no arquivo de "
         "configuração ou nas variáveis de ambiente ATUALIZA_DB_PASSWORD, "
         "ATUALIZA_SYSTEM_PASSWORD e ATUALIZA_SCHEMA_PASSWORD."},
        {{"--password", "segredo"},
         "",
         "Senhas não são aceitas na linha de comando (opção \"password\"): informe-as no arquivo "
         "de configuração ou nas variáveis de ambiente ATUALIZA_DB_PASSWORD, "
         "ATUALIZA_SYSTEM_PASSWORD e ATUALIZA_SCHEMA_PASSWORD."},
        {{"--rapido"}, "", "Opção desconhecida: rapido. Use --help para ver as opções."},
        {{"--log"}, "", "Falta o valor da opção --log."},
        {{"--console=sim"}, "", "A opção --console não aceita valor."},
        {{"demo.db"}, "", "Argumento inesperado: demo.db. Use --help para ver as opções."},
        {{"--banco", "A", "--banco", "B"}, "", "A opção --banco foi informada mais de uma vez."},
        {{"--executar"}, "", "A opção --executar só vale junto com --console."},
        {{"--criar-demo", "d.db", "--console"},
         "",
         "A opção --criar-demo não se combina com --console nem com --executar."},
        {{"--release", "nao-existe.json"},
         "",
         "Arquivo não encontrado na opção --release: " +
             QDir::current().absoluteFilePath("nao-existe.json")},
    };
    for (const Case &c : cases) {
        QStringList args = c.args;
        QString ini;
        if (!c.ini.isEmpty()) {
            ini = Write(QStringLiteral("conf/bad.ini"), c.ini);
            args << QStringLiteral("--config") << ini;
        }
        const SettingsResult r = Parse(args);
        const QString expected = c.error.contains(QLatin1String("%1")) ? c.error.arg(ini) : c.error;
        EXPECT_EQ(r.error, expected) << args.join(' ').toStdString();
        EXPECT_FALSE(r.ok());
        // Nothing of a refused input is handed on, and a password never shows.
        EXPECT_EQ(r.configuration.Database, QStringLiteral("XE"));
        EXPECT_EQ(r.configuration.Password, QString());
        EXPECT_FALSE(r.error.contains(QLatin1String("segredo")));
    }
}

// The help is Portuguese and lists every option the parser takes, and no password.
TEST_F(SettingsTest, HelpListsEveryAcceptedOption) {
    const SettingsResult r = Parse({QStringLiteral("--help")});
    ASSERT_EQ(r.error, QString());
    const QStringList lines = r.help.split(QLatin1Char('\n'));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("Uso: atualiza [opções]"));
    EXPECT_EQ(Parse({QStringLiteral("-h")}).help, r.help);

    SetPasswords();
    int options = 0;
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (!trimmed.startsWith(QLatin1String("--")))
            continue;
        ++options;
        const QStringList words = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        EXPECT_FALSE(words[0].contains(QLatin1String("senha")));
        // Every listed option is accepted; a value of the right kind for each.
        QStringList args{words[0]};
        if (words.size() > 1 && words[1] == words[1].toUpper() && words[1].size() > 1) {
            QString value = QStringLiteral("valor");
            if (words[0] == QLatin1String("--driver"))
                value = QStringLiteral("ODBC");
            else if (words[0] == QLatin1String("--chave"))
                value = QStringLiteral("AbCdEfG");
            else if (words[0] == QLatin1String("--series-suporte"))
                value = QStringLiteral("0B7F42D1");
            else if (words[0] == QLatin1String("--config") ||
                     words[0] == QLatin1String("--release"))
                value = Write(QStringLiteral("conf/vazio"), "");
            args << value;
        }
        if (words[0] == QLatin1String("--executar"))
            args << QStringLiteral("--console");
        EXPECT_EQ(Parse(args).error, QString()) << args.join(' ').toStdString();
    }
    EXPECT_EQ(options, 18);
    EXPECT_TRUE(r.help.contains(QLatin1String("ATUALIZA_DB_PASSWORD")));
    EXPECT_TRUE(r.help.contains(QLatin1String("ATUALIZA_SYSTEM_PASSWORD")));
    EXPECT_TRUE(r.help.contains(QLatin1String("ATUALIZA_SCHEMA_PASSWORD")));
}

} // namespace
