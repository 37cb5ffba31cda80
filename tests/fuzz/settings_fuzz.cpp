// The INI settings reader through parseSettings("--config FILE"): any file either
// gives settings that keep the reader's promises or an error text for the operator.

#include "app/Settings.h"
#include "platform/Exception.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QRegularExpression>

namespace {

bool isKey(const QString &key) {
    static const QRegularExpression letters(QStringLiteral("^[A-Za-z]{7}$"));
    return letters.match(key).hasMatch();
}

bool isFolder(const QString &folder) {
    return folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'));
}

void checkSettings(const app::SettingsResult &r) {
    if (!r.error.isEmpty())
        return;
    const TConfiguracao &c = r.configuration;
    static const QStringList drivers = {QStringLiteral("Ora"), QStringLiteral("ODBC"),
                                        QStringLiteral("Embedded")};
    if (!drivers.contains(c.DriverID))
        fuzz::fail("driver accepted outside Ora/ODBC/Embedded", c.DriverID);
    if (c.Database.isEmpty())
        fuzz::fail("empty database accepted");
    if (!isKey(c.Chave_Cifra))
        fuzz::fail("scrambling key accepted that is not 7 ASCII letters", c.Chave_Cifra);
    static const QRegularExpression serial(QStringLiteral("^[0-9A-F]{8}$"));
    for (const QString &s : c.Ser_Sup)
        if (!serial.match(s).hasMatch())
            fuzz::fail("support serial accepted that is not 8 upper-case hex digits", s);
    for (const QString &folder : {c.Pasta_Dados, c.Pasta_Data_Pump, c.Pth_Atu})
        if (!isFolder(folder))
            fuzz::fail("folder accepted without a trailing separator", folder);
    if (c.Nme_Mod.isEmpty() || c.OracleOdbcDriver.isEmpty())
        fuzz::fail("empty module name or ODBC driver name accepted");
    if (c.DriverID == QLatin1String("Ora") &&
        (c.User_Name.isEmpty() || c.Password.isEmpty() || c.Senha_System.isEmpty() ||
         c.Senha_Esquema.isEmpty()))
        fuzz::fail("Oracle settings accepted without user or passwords");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString ini = fuzz::writeScratchFile(QStringLiteral("atualiza.ini"), data, size);
    app::SettingsEnvironment environment;
    environment.programFolder = fuzz::scratchFolder();
    // environment.variables stays empty: passwords come only from the file here.
    try {
        const app::SettingsResult r = app::parseSettings(
            {QStringLiteral("atualiza"), QStringLiteral("--config"), ini}, environment);
        if (r.helpRequested())
            fuzz::fail("help given although not asked for");
        checkSettings(r);
    } catch (const platform::Exception &) {
        // the program's own refusal
    } catch (const std::exception &e) {
        fuzz::unexpected(e);
    }
    return 0;
}
