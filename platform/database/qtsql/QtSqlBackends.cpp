// The network backends: DriverID=Ora and DriverID=ODBC over Qt Sql.

#include "platform/database/Backends.h"
#include "platform/database/qtsql/OdbcConnectionString.h"
#include "platform/database/qtsql/QtSqlBackend.h"

#include <QSqlDatabase>

namespace platform::db {

namespace {

const QString qodbcMissing = QStringLiteral(
    "O driver QODBC do Qt não está instalado ou não pôde ser carregado: instale o pacote "
    "libqt6sql6-odbc (Debian) e o unixODBC, ou, no Windows, o plugin qsqlodbc junto do programa.");

// unixODBC: "Can't open lib 'X' : file not found" when the driver is not
// registered or its library (or a library it needs, such as the Oracle client)
// is missing; "Data source name not found and no default driver specified"
// when neither DRIVER nor a known DSN is given.
bool isMissingOdbcDriver(const QString &text) {
    return text.contains(QLatin1String("Can't open lib"), Qt::CaseInsensitive) ||
           text.contains(QLatin1String("Data source name not found"), Qt::CaseInsensitive);
}

} // namespace

std::unique_ptr<Backend> createOracleBackend(const QString &service, const QString &user,
                                             const QString &password, const QString &odbcDriver) {
    QtSqlBackend::Settings s;
    if (QSqlDatabase::isDriverAvailable(QStringLiteral("QOCI"))) {
        s.qtDriver = QStringLiteral("QOCI");
        s.databaseName = service;
        s.user = user;
        s.password = password;
        s.missingPluginText = QStringLiteral(
            "O driver QOCI do Qt não pôde ser carregado: instale o Oracle Instant Client "
            "(pacote Basic) e coloque-o no caminho de bibliotecas (ldconfig ou LD_LIBRARY_PATH; "
            "no Windows, PATH).");
        return std::make_unique<QtSqlBackend>(std::move(s));
    }
    s.qtDriver = QStringLiteral("QODBC");
    s.databaseName = odbc::OracleConnectionString(odbcDriver, service, user, password);
    s.missingPluginText =
        QStringLiteral("Nenhum driver Oracle do Qt está disponível (QOCI ou QODBC). ") +
        qodbcMissing;
    s.connectErrorText = [odbcDriver](const QString &text) {
        if (!isMissingOdbcDriver(text))
            return text;
        return QStringLiteral(
                   "O driver ODBC do Oracle \"%1\" não está instalado ou não pôde ser carregado. "
                   "Instale o Oracle Instant Client (pacotes Basic e ODBC) e registre o driver "
                   "ODBC com o nome \"%1\" (odbc_update_ini.sh do Instant Client ou odbcinst -i "
                   "-d; no Windows, odbc_install.exe). Mensagem do ODBC: %2")
            .arg(odbcDriver, text);
    };
    return std::make_unique<QtSqlBackend>(std::move(s));
}

std::unique_ptr<Backend> createOdbcBackend(const QString &connectionString, const QString &user,
                                           const QString &password) {
    QtSqlBackend::Settings s;
    s.qtDriver = QStringLiteral("QODBC");
    s.databaseName =
        odbc::QodbcDatabaseName(odbc::WithCredentials(connectionString, user, password));
    s.missingPluginText = qodbcMissing;
    const QString driver = odbc::ValueOf(connectionString, QStringLiteral("DRIVER"));
    const QString dsn = odbc::ValueOf(connectionString, QStringLiteral("DSN"));
    s.connectErrorText = [driver, dsn](const QString &text) {
        if (!isMissingOdbcDriver(text))
            return text;
        if (!driver.isEmpty())
            return QStringLiteral("O driver ODBC \"%1\" não está instalado ou não pôde ser "
                                  "carregado: instale-o e registre-o com esse nome no "
                                  "gerenciador ODBC (odbcinst -i -d; para SQLite, o pacote "
                                  "libsqliteodbc). Mensagem do ODBC: %2")
                .arg(driver, text);
        return QStringLiteral("A fonte de dados ODBC \"%1\" não está configurada ou seu driver "
                              "não está instalado: configure-a no gerenciador ODBC (odbc.ini). "
                              "Mensagem do ODBC: %2")
            .arg(dsn, text);
    };
    return std::make_unique<QtSqlBackend>(std::move(s));
}

} // namespace platform::db
