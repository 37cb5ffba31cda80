// Without Qt's SQL driver plugins the network backends say which one is missing
// and how to install it. A program of its own: the plugin list is read once per
// process, so the library path must be empty before any Qt Sql use.

#include "platform/Exception.h"
#include "platform/database/Backends.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using platform::DatabaseError;
using namespace platform::db;

namespace {

TEST(QtSqlPlugins, AMissingQtDriverSaysWhichPackageBringsIt) {
    QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    const QStringList paths = QCoreApplication::libraryPaths();
    QCoreApplication::setLibraryPaths({empty.path()});
    ASSERT_FALSE(QSqlDatabase::isDriverAvailable("QODBC"));

    const QString qodbc =
        "O driver QODBC do Qt não está instalado ou não pôde ser carregado: instale o pacote "
        "libqt6sql6-odbc (Debian) e o unixODBC, ou, no Windows, o plugin qsqlodbc junto do "
        "programa.";
    const struct {
        std::function<std::unique_ptr<Backend>()> make;
        QString text;
    } cases[] = {
        {[] { return createOdbcBackend("DRIVER=SQLite3;Database=x.db", "", ""); }, qodbc},
        {[] { return createOracleBackend("XE", "TALVERO", "SENHAXY", "Oracle in XE"); },
         "Nenhum driver Oracle do Qt está disponível (QOCI ou QODBC). " + qodbc},
    };
    for (const auto &c : cases) {
        auto b = c.make();
        QString message;
        try {
            b->execute("select 1 from dual");
        } catch (const DatabaseError &e) {
            message = e.Message();
        }
        EXPECT_EQ(message, c.text);
        EXPECT_FALSE(b->isOpen());
    }
    EXPECT_EQ(QSqlDatabase::connectionNames(), QStringList());
    QCoreApplication::setLibraryPaths(paths);
}

} // namespace
