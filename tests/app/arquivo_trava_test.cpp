// The lock that keeps two runs off one database: every spelling of the same database
// leads to the same lock file, different databases to different ones, and nothing of
// a path or connection string reaches the file name.

#include "app/Inicio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << text.toStdString();
}

namespace {

TConfiguracao Alvo(const char *driver, const QString &database, const char *user = "TALVERO") {
    TConfiguracao c;
    c.DriverID = QLatin1String(driver);
    c.Database = database;
    c.User_Name = QLatin1String(user);
    return c;
}

class Nome_Trava : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("sub")));
        db = dir.filePath(QStringLiteral("demo.db"));
        QFile f(db);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_TRUE(QFile::link(db, dir.filePath(QStringLiteral("atalho.db"))));
        anterior = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.filePath(QStringLiteral("sub"))));
    }
    void TearDown() override { QDir::setCurrent(anterior); }

    QTemporaryDir dir;
    QString db, anterior;
};

TEST_F(Nome_Trava, EverySpellingOfOneDatabaseSharesItsLock) {
    struct Par {
        const char *caso;
        TConfiguracao a, b;
    };
    const std::vector<Par> mesmos = {
        {"relative and absolute file", Alvo("Embedded", db), Alvo("Embedded", "../demo.db")},
        {"file through a symbolic link", Alvo("Embedded", db),
         Alvo("Embedded", dir.filePath(QStringLiteral("atalho.db")))},
        {"file with another user", Alvo("Embedded", db), Alvo("Embedded", db, "OUTRO")},
        {"Oracle names in any case", Alvo("Ora", "XE"), Alvo("Ora", " xe ", "talvero")},
    };
    for (const Par &p : mesmos) {
        SCOPED_TRACE(p.caso);
        EXPECT_EQ(app::Arquivo_Trava(p.a), app::Arquivo_Trava(p.b));
    }
    const std::vector<Par> outros = {
        {"another file", Alvo("Embedded", db), Alvo("Embedded", "demo.db")},
        {"another schema", Alvo("Ora", "XE"), Alvo("Ora", "XE", "TALVERO2")},
        {"another service", Alvo("Ora", "XE"), Alvo("Ora", "XEPDB1")},
        {"another driver", Alvo("Ora", "XE"), Alvo("ODBC", "XE")},
        {"another ODBC connection", Alvo("ODBC", "DSN=quinta"), Alvo("ODBC", "DSN=quinta2")},
    };
    for (const Par &p : outros) {
        SCOPED_TRACE(p.caso);
        EXPECT_NE(app::Arquivo_Trava(p.a), app::Arquivo_Trava(p.b));
    }
}

// Whatever the target holds, the lock file is a plain name in the temporary folder.
TEST_F(Nome_Trava, FileNameIsAHashInTheTemporaryFolder) {
    const QRegularExpression nome(QStringLiteral("^atualiza-[0-9a-f]{40}\\.lock$"));
    for (const TConfiguracao &c :
         {Alvo("ODBC", "DRIVER={SQLite3};DATABASE=C:\\x\\..\\y*?.db;UID=a/b:c"),
          Alvo("Embedded", dir.filePath(QStringLiteral("sub/ó dá\n|<>.db"))), Alvo("Ora", "")}) {
        const QFileInfo arquivo(app::Arquivo_Trava(c));
        EXPECT_EQ(arquivo.absolutePath(), QFileInfo(QDir::tempPath()).absoluteFilePath());
        EXPECT_TRUE(nome.match(arquivo.fileName()).hasMatch()) << arquivo.fileName().toStdString();
    }
}

} // namespace
