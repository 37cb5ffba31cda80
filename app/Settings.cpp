#include "app/Settings.h"

#include "common/Data_Module.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <vector>

namespace app {

namespace {

// How a setting's text is checked and stored.
enum class Kind {
    Text,      // any text, also empty
    Required,  // must not be empty
    Driver,    // Ora, ODBC or Embedded (any case), stored in that spelling
    Serials,   // comma-separated list of 8 upper-case hexadecimal digits
    Key,       // seven ASCII letters
    Folder,    // not empty; a trailing separator is added when missing
    File,      // a file that must exist (empty: none)
    ServerName // host name without path separators
};

// One setting: where it sits in the INI file, its command-line option (none for
// passwords) and its environment variable (passwords only).
struct Setting {
    const char *section;
    const char *key;
    const char *option;      // nullptr: not on the command line
    const char *variable;    // nullptr: no environment variable
    const char *valueName;   // shown in the help
    const char *description; // shown in the help
    Kind kind;
    QString TConfiguracao::*textField; // or
    QStringList TConfiguracao::*listField;
};

const std::vector<Setting> &settings() {
    static const std::vector<Setting> table = {
        {"Banco", "DriverID", "driver", nullptr, "DRIVER",
         "Driver do banco de dados: Ora, ODBC ou Embedded.", Kind::Driver, &TConfiguracao::DriverID,
         nullptr},
        {"Banco", "Database", "banco", nullptr, "BANCO",
         "Nome de serviço Oracle (Ora), texto de conexão ODBC (ODBC) ou arquivo do banco "
         "embutido (Embedded).",
         Kind::Required, &TConfiguracao::Database, nullptr},
        {"Banco", "User_Name", "usuario", nullptr, "USUARIO", "Usuário dono do esquema.",
         Kind::Text, &TConfiguracao::User_Name, nullptr},
        {"Banco", "Password", nullptr, Variavel_Senha_Banco, nullptr, nullptr, Kind::Text,
         &TConfiguracao::Password, nullptr},
        {"Banco", "OracleOdbcDriver", "driver-odbc", nullptr, "NOME",
         "Nome do driver ODBC da Oracle, usado quando o Qt não tem o driver QOCI.", Kind::Required,
         &TConfiguracao::OracleOdbcDriver, nullptr},
        {"Suporte", "Ser_Sup", "series-suporte", nullptr, "SERIES",
         "Números de série do disco C das estações de suporte, separados por vírgula "
         "(8 dígitos hexadecimais maiúsculos cada).",
         Kind::Serials, nullptr, &TConfiguracao::Ser_Sup},
        {"Suporte", "Ctt_Sup", "contato-suporte", nullptr, "CONTATO",
         "Contato do suporte citado na mensagem de erro desconhecido.", Kind::Text,
         &TConfiguracao::Ctt_Sup, nullptr},
        {"Cifra", "Chave_Cifra", "chave", nullptr, "CHAVE",
         "Chave da versão de dados gravada cifrada (7 letras ASCII).", Kind::Key,
         &TConfiguracao::Chave_Cifra, nullptr},
        {"Backup", "Pasta_Dados", "pasta-dados", nullptr, "PASTA",
         "Pasta onde os arquivos de backup e restauração são gerados.", Kind::Folder,
         &TConfiguracao::Pasta_Dados, nullptr},
        {"Backup", "Pasta_Data_Pump", "pasta-data-pump", nullptr, "PASTA",
         "Pasta DATA_PUMP_DIR do Oracle, de onde os backups copiam o arquivo X.DMP.", Kind::Folder,
         &TConfiguracao::Pasta_Data_Pump, nullptr},
        {"Backup", "Senha_System", nullptr, kSystemPasswordVariable, nullptr, nullptr, Kind::Text,
         &TConfiguracao::Senha_System, nullptr},
        {"Backup", "Senha_Esquema", nullptr, kSchemaOwnerPasswordVariable, nullptr, nullptr,
         Kind::Text, &TConfiguracao::Senha_Esquema, nullptr},
        {"Backup", "Servidor_Backup", "servidor-backup", nullptr, "SERVIDOR",
         "Servidor de rede que recebe a cópia dos backups da Empresa24.", Kind::ServerName,
         &TConfiguracao::Servidor_Backup, nullptr},
        {"Backup", "Nme_Mod", "modulo", nullptr, "MODULO", "Nome do módulo deste programa.",
         Kind::Required, &TConfiguracao::Nme_Mod, nullptr},
        {"Relatorios", "Pth_Atu", "pasta-relatorios", nullptr, "PASTA",
         "Pasta dos relatórios de diagnóstico.", Kind::Folder, &TConfiguracao::Pth_Atu, nullptr},
        {"Release", "Arquivo_Release", "release", nullptr, "ARQUIVO",
         "Arquivo de release a usar no lugar do que vem no programa.", Kind::File,
         &TConfiguracao::Arquivo_Release, nullptr},
    };
    return table;
}

QString settingName(const Setting &s) {
    return QStringLiteral("[%1] %2").arg(QLatin1String(s.section), QLatin1String(s.key));
}

// Where a value came from, for the error texts.
QString originText(const Setting &s, bool fromCommandLine) {
    if (fromCommandLine)
        return QStringLiteral("opção --%1").arg(QLatin1String(s.option));
    return QStringLiteral("chave %1").arg(settingName(s));
}

bool isUpperHex8(const QString &text) {
    static const QRegularExpression re(QStringLiteral("^[0-9A-F]{8}$"));
    return re.match(text).hasMatch();
}

bool isKey(const QString &text) {
    static const QRegularExpression re(QStringLiteral("^[A-Za-z]{7}$"));
    return re.match(text).hasMatch();
}

// Checks `value` for `s` and stores it in `cfg`; returns the error text or "".
// `baseFolder` resolves a relative file name (the INI file's folder, or the
// current folder for the command line).
QString applyValue(const Setting &s, const QString &value, bool fromCommandLine,
                   const QString &baseFolder, TConfiguracao &cfg) {
    const QString origin = originText(s, fromCommandLine);
    switch (s.kind) {
    case Kind::Text:
        cfg.*s.textField = value;
        return QString();
    case Kind::Required:
        if (value.isEmpty())
            return QStringLiteral("Valor vazio na %1.").arg(origin);
        cfg.*s.textField = value;
        return QString();
    case Kind::Driver: {
        for (const char *d : {"Ora", "ODBC", "Embedded"}) {
            if (value.compare(QLatin1String(d), Qt::CaseInsensitive) == 0) {
                cfg.*s.textField = QLatin1String(d);
                return QString();
            }
        }
        return QStringLiteral("Driver de banco de dados desconhecido na %1: \"%2\" "
                              "(use Ora, ODBC ou Embedded).")
            .arg(origin, value);
    }
    case Kind::Serials: {
        QStringList serials;
        if (!value.trimmed().isEmpty()) {
            for (const QString &part : value.split(QLatin1Char(','))) {
                const QString serial = part.trimmed();
                if (!isUpperHex8(serial))
                    return QStringLiteral("Número de série inválido na %1: \"%2\" (são 8 "
                                          "dígitos hexadecimais maiúsculos, como 0B7F42D1).")
                        .arg(origin, serial);
                serials.append(serial);
            }
        }
        cfg.*s.listField = serials;
        return QString();
    }
    case Kind::Key:
        if (!isKey(value))
            return QStringLiteral("Chave de cifra inválida na %1: são 7 letras ASCII (A a Z, "
                                  "a a z).")
                .arg(origin);
        cfg.*s.textField = value;
        return QString();
    case Kind::Folder: {
        if (value.isEmpty())
            return QStringLiteral("Valor vazio na %1.").arg(origin);
        QString folder = value;
        if (!folder.endsWith(QLatin1Char('\\')) && !folder.endsWith(QLatin1Char('/')))
            folder += folder.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
        cfg.*s.textField = folder;
        return QString();
    }
    case Kind::File: {
        if (value.isEmpty()) {
            cfg.*s.textField = QString();
            return QString();
        }
        const QString path = QDir(baseFolder).absoluteFilePath(value);
        if (!QFileInfo(path).isFile())
            return QStringLiteral("Arquivo não encontrado na %1: %2").arg(origin, path);
        cfg.*s.textField = path;
        return QString();
    }
    case Kind::ServerName:
        if (value.contains(QLatin1Char('\\')) || value.contains(QLatin1Char('/')))
            return QStringLiteral("Nome de servidor inválido na %1: \"%2\" (só o nome, sem "
                                  "barras).")
                .arg(origin, value);
        cfg.*s.textField = value;
        return QString();
    }
    return QString();
}

// Reads the INI file into `cfg`. Lines: "[Section]", "Key=Value", comments starting
// with ";" or "#", blank lines. Sections and keys compare without regard to case;
// values are taken as written (backslashes included), trimmed, and may be put in
// double quotes to keep outer spaces. A ";" after a value belongs to the value, so
// passwords may contain it. UTF-8, or Windows-1252 when the file is not valid UTF-8.
QString readIni(const QString &path, TConfiguracao &cfg, std::vector<const Setting *> &givenInIni) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("Não foi possível ler o arquivo de configuração %1: %2")
            .arg(path, file.errorString());
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) {
        QStringDecoder cp1252("windows-1252");
        text = cp1252.isValid() ? QString(cp1252(bytes)) : QString::fromLatin1(bytes);
    }
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);

    const QString folder = QFileInfo(path).absolutePath();
    const QStringList lines = text.split(QLatin1Char('\n'));
    QString section;
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        const QString where = QStringLiteral("%1, linha %2").arg(path).arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')) ||
            line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return QStringLiteral("Linha inválida no arquivo de configuração (%1): %2")
                    .arg(where, line);
            section = line.mid(1, line.size() - 2).trimmed();
            bool known = false;
            for (const Setting &s : settings())
                known =
                    known || section.compare(QLatin1String(s.section), Qt::CaseInsensitive) == 0;
            if (!known)
                return QStringLiteral("Seção desconhecida no arquivo de configuração (%1): [%2]")
                    .arg(where, section);
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return QStringLiteral("Linha inválida no arquivo de configuração (%1): esperado "
                                  "Chave=Valor.")
                .arg(where);
        const QString key = line.left(eq).trimmed();
        QString value = line.mid(eq + 1).trimmed();
        if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
            value.endsWith(QLatin1Char('"')))
            value = value.mid(1, value.size() - 2);
        if (section.isEmpty())
            return QStringLiteral("Chave fora de seção no arquivo de configuração (%1): %2")
                .arg(where, key);
        const Setting *found = nullptr;
        for (const Setting &s : settings()) {
            if (section.compare(QLatin1String(s.section), Qt::CaseInsensitive) == 0 &&
                key.compare(QLatin1String(s.key), Qt::CaseInsensitive) == 0)
                found = &s;
        }
        if (!found)
            return QStringLiteral("Chave desconhecida no arquivo de configuração (%1): [%2] %3")
                .arg(where, section, key);
        for (const Setting *given : givenInIni) {
            if (given == found)
                return QStringLiteral("Chave repetida no arquivo de configuração (%1): %2")
                    .arg(where, settingName(*found));
        }
        givenInIni.push_back(found);
        const QString error = applyValue(*found, value, false, folder, cfg);
        if (!error.isEmpty())
            return error + QStringLiteral(" (%1)").arg(where);
    }
    return QString();
}

struct FrontEndOption {
    const char *name;
    const char *valueName; // nullptr: a switch
    const char *description;
};

const std::vector<FrontEndOption> &frontEndOptions() {
    static const std::vector<FrontEndOption> table = {
        {"config", "ARQUIVO",
         "Arquivo de configuração (padrão: atualiza.ini na pasta do programa)."},
        {"console", nullptr, "Executa no terminal, sem janelas."},
        {"executar", nullptr, "Com --console: executa a atualização sem perguntar."},
        {"log", "ARQUIVO", "Grava no arquivo o registro dos comandos enviados ao banco."},
        {"criar-demo", "ARQUIVO",
         "Cria um banco embutido de demonstração no arquivo (que não pode existir) e termina."},
    };
    return table;
}

bool isPasswordOption(const QString &name) {
    const QString n = name.toLower();
    return n.contains(QLatin1String("senha")) || n.contains(QLatin1String("password")) ||
           n.contains(QLatin1String("pwd"));
}

QString optionLine(const QString &names, const QString &description) {
    // Names in a column of 30, descriptions wrapped at 80 columns.
    constexpr int column = 30, width = 80;
    QString out = QStringLiteral("  ") + names;
    if (out.size() < column)
        out = out.leftJustified(column);
    else
        out += QLatin1Char('\n') + QString(column, QLatin1Char(' '));
    int used = column;
    bool first = true;
    for (const QString &word : description.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!first && used + 1 + word.size() > width) {
            out += QLatin1Char('\n') + QString(column, QLatin1Char(' '));
            used = column;
            first = true;
        }
        if (!first) {
            out += QLatin1Char(' ');
            ++used;
        }
        out += word;
        used += int(word.size());
        first = false;
    }
    return out + QLatin1Char('\n');
}

} // namespace

QString settingsHelpText(const QString &programName) {
    QString help = QStringLiteral("Uso: %1 [opções]\n\n"
                                  "Atualiza a base de dados do sistema Veltrana.\n\n"
                                  "Opções:\n")
                       .arg(programName);
    help += optionLine(QStringLiteral("-h, --help"), QStringLiteral("Mostra esta ajuda."));
    for (const FrontEndOption &o : frontEndOptions()) {
        QString names = QStringLiteral("--") + QLatin1String(o.name);
        if (o.valueName)
            names += QLatin1Char(' ') + QLatin1String(o.valueName);
        help += optionLine(names, QString::fromUtf8(o.description));
    }
    help += QStringLiteral("\nConfigurações (a opção vale sobre o arquivo de configuração, que "
                           "vale\nsobre o padrão):\n");
    for (const Setting &s : settings()) {
        if (!s.option)
            continue;
        help += optionLine(
            QStringLiteral("--%1 %2").arg(QLatin1String(s.option), QLatin1String(s.valueName)),
            QString::fromUtf8(s.description) + QStringLiteral(" Arquivo: %1.").arg(settingName(s)));
    }
    help += QStringLiteral("\nSenhas não são aceitas na linha de comando. Informe-as no arquivo "
                           "de\nconfiguração ou em variáveis de ambiente:\n");
    for (const Setting &s : settings()) {
        if (s.variable)
            help += QStringLiteral("  %1 ou %2\n").arg(settingName(s), QLatin1String(s.variable));
    }
    return help;
}

SettingsEnvironment currentSettingsEnvironment() {
    return {QCoreApplication::applicationDirPath(), QProcessEnvironment::systemEnvironment()};
}

SettingsResult parseSettings(const QStringList &arguments) {
    return parseSettings(arguments, currentSettingsEnvironment());
}

SettingsResult parseSettings(const QStringList &arguments, const SettingsEnvironment &environment) {
    SettingsResult result;
    auto fail = [&result](const QString &error) {
        SettingsResult failed;
        failed.error = error;
        failed.iniFile = result.iniFile;
        return failed;
    };

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption helpOption(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOption(helpOption);
    for (const FrontEndOption &o : frontEndOptions()) {
        parser.addOption(o.valueName ? QCommandLineOption(QLatin1String(o.name), QString(),
                                                          QLatin1String(o.valueName))
                                     : QCommandLineOption(QLatin1String(o.name)));
    }
    for (const Setting &s : settings()) {
        if (s.option)
            parser.addOption(
                QCommandLineOption(QLatin1String(s.option), QString(), QLatin1String(s.valueName)));
    }

    const QString programName =
        arguments.isEmpty() ? QStringLiteral("atualiza") : QFileInfo(arguments[0]).fileName();
    if (!parser.parse(arguments)) {
        for (const QString &name : parser.unknownOptionNames()) {
            if (isPasswordOption(name))
                return fail(QStringLiteral("Senhas não são aceitas na linha de comando (opção "
                                           "\"%1\"): informe-as no arquivo de configuração ou "
                                           "nas variáveis de ambiente %2, %3 e %4.")
                                .arg(name, QLatin1String(Variavel_Senha_Banco),
                                     QLatin1String(kSystemPasswordVariable),
                                     QLatin1String(kSchemaOwnerPasswordVariable)));
        }
        if (!parser.unknownOptionNames().isEmpty())
            return fail(QStringLiteral("Opção desconhecida: %1. Use --help para ver as opções.")
                            .arg(parser.unknownOptionNames().first()));
        // The parser's other failures: a value option at the end without its value, or
        // a value given to a switch ("--console=1").
        const QString last = arguments.isEmpty() ? QString() : arguments.last();
        if (last.startsWith(QLatin1Char('-')) && !last.contains(QLatin1Char('=')))
            return fail(QStringLiteral("Falta o valor da opção %1.").arg(last));
        for (const QString &argument : arguments.mid(1)) {
            if (argument.startsWith(QLatin1Char('-')) && argument.contains(QLatin1Char('=')))
                return fail(QStringLiteral("A opção %1 não aceita valor.")
                                .arg(argument.left(argument.indexOf(QLatin1Char('=')))));
        }
        return fail(QStringLiteral("Linha de comando inválida. Use --help para ver as opções."));
    }
    if (parser.isSet(helpOption)) {
        result.help = settingsHelpText(programName);
        return result;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Argumento inesperado: %1. Use --help para ver as opções.")
                        .arg(parser.positionalArguments().first()));
    for (const QString &name : parser.optionNames()) {
        if (parser.values(name).size() > 1)
            return fail(QStringLiteral("A opção --%1 foi informada mais de uma vez.").arg(name));
    }

    // INI file: the one named, or atualiza.ini beside the program when it exists.
    TConfiguracao &cfg = result.configuration;
    std::vector<const Setting *> givenInIni;
    if (parser.isSet(QStringLiteral("config"))) {
        const QString named = parser.value(QStringLiteral("config"));
        result.iniFile = QDir::current().absoluteFilePath(named);
        if (!QFileInfo(result.iniFile).isFile())
            return fail(
                QStringLiteral("Arquivo de configuração não encontrado: %1").arg(result.iniFile));
    } else {
        const QString beside =
            QDir(environment.programFolder).absoluteFilePath(QLatin1String(kDefaultIniName));
        if (QFileInfo::exists(beside))
            result.iniFile = beside;
    }
    if (!result.iniFile.isEmpty()) {
        const QString error = readIni(result.iniFile, cfg, givenInIni);
        if (!error.isEmpty())
            return fail(error);
    }

    // Command line over the INI file.
    for (const Setting &s : settings()) {
        if (!s.option || !parser.isSet(QLatin1String(s.option)))
            continue;
        const QString error =
            applyValue(s, parser.value(QLatin1String(s.option)), true, QDir::currentPath(), cfg);
        if (!error.isEmpty())
            return fail(error);
    }

    // Passwords the INI file left empty come from the environment.
    for (const Setting &s : settings()) {
        if (s.variable && (cfg.*s.textField).isEmpty())
            cfg.*s.textField = environment.variables.value(QLatin1String(s.variable));
    }

    FrontEndOptions &options = result.options;
    options.console = parser.isSet(QStringLiteral("console"));
    options.run = parser.isSet(QStringLiteral("executar"));
    options.logFile = parser.value(QStringLiteral("log"));
    options.createDemoFile = parser.value(QStringLiteral("criar-demo"));
    if (parser.isSet(QStringLiteral("log")) && options.logFile.isEmpty())
        return fail(QStringLiteral("Valor vazio na opção --log."));
    if (parser.isSet(QStringLiteral("criar-demo")) && options.createDemoFile.isEmpty())
        return fail(QStringLiteral("Valor vazio na opção --criar-demo."));
    if (options.run && !options.console)
        return fail(QStringLiteral("A opção --executar só vale junto com --console."));
    if (!options.createDemoFile.isEmpty() && (options.console || options.run))
        return fail(QStringLiteral("A opção --criar-demo não se combina com --console nem com "
                                   "--executar."));

    // The Oracle connection and the backup files it leads to need their passwords; say
    // so now instead of failing at the first query or writing unusable backup scripts.
    if (options.createDemoFile.isEmpty() && cfg.DriverID == QLatin1String("Ora")) {
        if (cfg.User_Name.isEmpty())
            return fail(QStringLiteral("Usuário do banco de dados não informado: defina a chave "
                                       "[Banco] User_Name ou a opção --usuario."));
        QStringList missing;
        for (const Setting &s : settings()) {
            if (s.variable && (cfg.*s.textField).isEmpty())
                missing.append(QStringLiteral("%1 no arquivo de configuração ou a variável de "
                                              "ambiente %2")
                                   .arg(settingName(s), QLatin1String(s.variable)));
        }
        if (!missing.isEmpty())
            return fail(QStringLiteral("Senha não informada. Defina %1.")
                            .arg(missing.join(QStringLiteral("; defina "))));
    }
    return result;
}

} // namespace app
