#include "app/DemoDatabase.h"

#include "common/Funcoes_Cifra.h"
#include "platform/Exception.h"
#include "platform/database/Database.h"
#include "platform/database/Script.h"
#include "platform/database/embedded/EmbeddedEngine.h"

#include <QFile>
#include <QFileInfo>

// The scripts live in a static library: nothing would pull them into the program
// unless code that is linked registers them. Q_INIT_RESOURCE must stand outside any
// namespace.
static void registerDemoResource() {
    Q_INIT_RESOURCE(demo);
}

namespace app {

QString demoScript(const QString &name) {
    registerDemoResource();
    QFile file(QStringLiteral(":/demo/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw platform::Exception(
            QStringLiteral("Script de demonstração inexistente: %1").arg(name));
    return QString::fromUtf8(file.readAll());
}

void createDemoDatabase(const QString &file, const TConfiguracao &configuration) {
    if (file.isEmpty())
        throw platform::Exception(
            QStringLiteral("Informe o arquivo do banco de demonstração a criar."));
    auto exists = [&file] {
        const QFileInfo info(file);
        return info.exists() || info.isSymLink();
    };
    const platform::Exception existing(
        QStringLiteral("O arquivo %1 já existe; o banco de demonstração só é criado num "
                       "arquivo novo.")
            .arg(file));
    if (exists())
        throw existing;
    // Read both scripts before anything is created.
    const QString schema = demoScript(QStringLiteral("schema.sql"));
    const QString data = demoScript(QStringLiteral("data.sql"));

    // Claim the name atomically: a file that appeared since the test above (another
    // program, a second --criar-demo) is never taken over, and only a file made here
    // is removed on failure.
    {
        QFile claim(file);
        if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (exists())
                throw existing;
            throw platform::Exception(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                                          .arg(file, claim.errorString()));
        }
    }

    platform::db::embedded::EngineSettings settings;
    if (!configuration.User_Name.isEmpty())
        settings.owner = configuration.User_Name.toUpper();
    try {
        platform::db::embedded::EmbeddedEngine::createDatabase(file, settings);
        platform::db::Connection connection;
        connection.Params << QStringLiteral("DriverID=Embedded")
                          << QStringLiteral("Database=") + file;
        platform::db::RunScript(connection, schema);
        platform::db::RunScript(connection, data);
        // data.sql holds the version under the default key; the database must hold it
        // under the key in force, or start-up could not read it back.
        const QString version = Cifra_Texto(QStringLiteral("C"), QString::number(kDemoDataVersion),
                                            configuration.Chave_Cifra);
        connection.Execute(QStringLiteral("update CFG set VER_DAD = ") +
                           platform::db::QuotedStr(version));
        connection.Close();
    } catch (...) {
        // A half-filled demo database would only mislead: remove it.
        QFile::remove(file);
        throw;
    }
}

} // namespace app
