// File search, deletion and renaming: wildcard rules, every kind of entry found,
// failures answered with false, and paths that cannot name anything here.

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

using namespace platform;

namespace {

struct CasoPadrao {
    const char *nome;
    const char *padrao;
    bool casa;
};

TEST(FileSystemPattern, StarAndQuestionMark) {
    const CasoPadrao casos[] = {
        {"A.OLD", "*", true},       {"A.OLD", "*.OLD", true}, {"A.OLD", "*.old", false},
        {"A.OLD", "A.OL?", true},   {"A.OL", "A.OL?", false}, {"A.OLD", "?.OLD", true},
        {"AB.OLD", "?.OLD", false}, {"A.OLD", "*OL*", true},  {"OLD", "*OLD*", true},
        {"A.OLDX", "*.OLD", false}, {"xaxbx", "*a*b*", true}, {"xbxax", "*a*b*", false},
        {"SEMPONTO", "*.*", true},  {"a.b.c", "*.c", true},   {"abc", "a*c*", true},
        {"abc", "abc", true},       {"abcd", "abc", false},   {"", "*", true},
        {"aaa", "a*a*a*a", false},  {"ab", "a**b", true},
    };
    for (const CasoPadrao &c : casos)
        EXPECT_EQ(MatchesPattern(QString::fromUtf8(c.nome), QString::fromUtf8(c.padrao)), c.casa)
            << c.nome << " / " << c.padrao;
}

class FileSystem : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pasta = dir.path() + QStringLiteral("/");
    }

    void Cria(const QString &nome, const QByteArray &conteudo = "x") {
        QFile f(pasta + nome);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(conteudo);
    }

    QByteArray Conteudo(const QString &nome) {
        QFile f(pasta + nome);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<ausente>");
    }

    QStringList Nomes() const {
        return QDir(pasta).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

    // The matches of a pattern as "name:path:F|D", sorted by name.
    QStringList Achados(const QString &padrao) {
        QList<FoundEntry> e = FindEntries(padrao);
        std::sort(e.begin(), e.end(),
                  [](const FoundEntry &a, const FoundEntry &b) { return a.name < b.name; });
        QStringList r;
        for (const FoundEntry &x : e)
            r << x.name + QLatin1Char(':') + x.path + QLatin1Char(':') +
                     (x.folder ? QLatin1Char('D') : QLatin1Char('F'));
        return r;
    }

    QTemporaryDir dir;
    QString pasta;
};

TEST_F(FileSystem, SearchFindsFilesHiddenFilesAndFoldersButNeverDotEntries) {
    Cria(QStringLiteral("A.OLD"));
    Cria(QStringLiteral(".oculto.OLD"));
    Cria(QStringLiteral("B.TXT"));
    ASSERT_TRUE(QDir(pasta).mkdir(QStringLiteral("P.OLD")));
    EXPECT_EQ(Achados(pasta + QStringLiteral("*.OLD")),
              (QStringList{QStringLiteral(".oculto.OLD:") + pasta + QStringLiteral(".oculto.OLD:F"),
                           QStringLiteral("A.OLD:") + pasta + QStringLiteral("A.OLD:F"),
                           QStringLiteral("P.OLD:") + pasta + QStringLiteral("P.OLD:D")}));
    // A plain path finds itself; "*" finds everything but "." and "..".
    EXPECT_EQ(Achados(pasta + QStringLiteral("B.TXT")),
              QStringList{QStringLiteral("B.TXT:") + pasta + QStringLiteral("B.TXT:F")});
    EXPECT_EQ(Achados(pasta + QStringLiteral("*")).size(), 4);
    EXPECT_EQ(Achados(pasta + QStringLiteral(".*")).size(), 1);
}

TEST_F(FileSystem, SearchThatCanFindNothing) {
    Cria(QStringLiteral("A.OLD"));
    const QStringList padroes = {
        pasta + QStringLiteral("Z*"),            // no match
        pasta + QStringLiteral("falta/*"),       // missing folder
        pasta + QStringLiteral("A.OLD/*"),       // a file used as a folder
        pasta,                                   // no name part
        QString(),                               // nothing at all
        QString(pasta).replace('/', '\\') + "*", // backslashes name nothing here
    };
    for (const QString &p : padroes)
        EXPECT_TRUE(FindEntries(p).isEmpty()) << p.toStdString();
}

TEST_F(FileSystem, RemoveDeletesFilesOnly) {
    Cria(QStringLiteral("A.TXT"));
    ASSERT_TRUE(QDir(pasta).mkdir(QStringLiteral("P")));
    EXPECT_FALSE(RemoveFile(pasta + QStringLiteral("P")));
    EXPECT_FALSE(RemoveFile(pasta + QStringLiteral("falta.txt")));
    EXPECT_FALSE(RemoveFile(QString(pasta).replace('/', '\\') + QStringLiteral("A.TXT")));
    EXPECT_FALSE(RemoveFile(QString()));
    EXPECT_EQ(Nomes(), (QStringList{QStringLiteral("A.TXT"), QStringLiteral("P")}));
    EXPECT_TRUE(RemoveFile(pasta + QStringLiteral("A.TXT")));
    EXPECT_EQ(Nomes(), QStringList{QStringLiteral("P")});
}

// A link to a folder is a folder (never deleted as a file); a link to a file is a
// file, and deleting it leaves its target alone.
TEST_F(FileSystem, LinksCountAsWhatTheyPointTo) {
    Cria(QStringLiteral("alvo.txt"));
    ASSERT_TRUE(QDir(pasta).mkdir(QStringLiteral("P")));
    if (!QFile::link(pasta + QStringLiteral("P"), pasta + QStringLiteral("LP")) ||
        !QFile::link(pasta + QStringLiteral("alvo.txt"), pasta + QStringLiteral("LA")))
        GTEST_SKIP() << "no symbolic links here";
    EXPECT_EQ(Achados(pasta + QStringLiteral("L*")),
              (QStringList{QStringLiteral("LA:") + pasta + QStringLiteral("LA:F"),
                           QStringLiteral("LP:") + pasta + QStringLiteral("LP:D")}));
    EXPECT_FALSE(RemoveFile(pasta + QStringLiteral("LP")));
    EXPECT_TRUE(RemoveFile(pasta + QStringLiteral("LA")));
    EXPECT_EQ(Nomes(),
              (QStringList{QStringLiteral("LP"), QStringLiteral("P"), QStringLiteral("alvo.txt")}));
}

TEST_F(FileSystem, RenameMovesFilesAndFoldersButNeverOverwrites) {
    Cria(QStringLiteral("A.OLD"), "a");
    Cria(QStringLiteral("B.OLD"), "b");
    Cria(QStringLiteral("B.NEW"), "existente");
    ASSERT_TRUE(QDir(pasta).mkdir(QStringLiteral("P.OLD")));
    EXPECT_TRUE(RenameEntry(pasta + QStringLiteral("A.OLD"), pasta + QStringLiteral("A.NEW")));
    EXPECT_TRUE(RenameEntry(pasta + QStringLiteral("P.OLD"), pasta + QStringLiteral("P.NEW")));
    EXPECT_FALSE(RenameEntry(pasta + QStringLiteral("B.OLD"), pasta + QStringLiteral("B.NEW")));
    EXPECT_FALSE(RenameEntry(pasta + QStringLiteral("falta"), pasta + QStringLiteral("X")));
    EXPECT_FALSE(RenameEntry(pasta + QStringLiteral("B.OLD"), QString()));
    EXPECT_FALSE(RenameEntry(QString(pasta).replace('/', '\\') + QStringLiteral("B.OLD"),
                             pasta + QStringLiteral("C")));
    EXPECT_EQ(Nomes(), (QStringList{QStringLiteral("A.NEW"), QStringLiteral("B.NEW"),
                                    QStringLiteral("B.OLD"), QStringLiteral("P.NEW")}));
    EXPECT_EQ(Conteudo(QStringLiteral("A.NEW")), "a");
    EXPECT_EQ(Conteudo(QStringLiteral("B.NEW")), "existente");
    EXPECT_EQ(Conteudo(QStringLiteral("B.OLD")), "b");
    EXPECT_TRUE(QFileInfo(pasta + QStringLiteral("P.NEW")).isDir());
}

} // namespace
