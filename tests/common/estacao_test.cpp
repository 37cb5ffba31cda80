// Workstation identification: the serial of drive C as Serie_Disco writes it, support
// mode on a listed serial, and an ordinary workstation whenever the serial is unknown
// or cannot be read.
#include "common/Configuracao.h"
#include "common/Funcoes_Estacao.h"
#include "common/Globais.h"
#include "platform/Exception.h"
#include "platform/VolumeSerial.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <stdexcept>

#ifndef Q_OS_WIN
#include <sys/statvfs.h>
#endif

namespace {

// Replaces the system's volume serial by one the test chooses and records the drives
// asked for.
class EstacaoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetGlobais();
        ResetConfiguracao();
        ResetFuncoesEstacao();
        Fonte_Serie_Disco = [this](const QString &drive) -> std::optional<quint32> {
            Drives << drive;
            return Serie;
        };
    }
    void TearDown() override {
        ResetFuncoesEstacao();
        ResetConfiguracao();
        ResetGlobais();
    }

    std::optional<quint32> Serie;
    QStringList Drives;
};

} // namespace

TEST_F(EstacaoTest, SerialIsEightUpperCaseDigitsWithLeadingZeros) {
    struct Caso {
        quint32 serie;
        QString texto;
    };
    const Caso casos[] = {
        {0x0000ABCDu, QStringLiteral("0000ABCD")}, {0x00000000u, QStringLiteral("00000000")},
        {0x0000000Fu, QStringLiteral("0000000F")}, {0x0FFFFFFFu, QStringLiteral("0FFFFFFF")},
        {0x1A2B3C4Du, QStringLiteral("1A2B3C4D")}, {0xFFFFFFFFu, QStringLiteral("FFFFFFFF")},
        {0x80000000u, QStringLiteral("80000000")}, {0xabcdef01u, QStringLiteral("ABCDEF01")},
    };
    for (const Caso &c : casos) {
        Serie = c.serie;
        EXPECT_EQ(Serie_Disco(QStringLiteral("C")), c.texto);
    }
    EXPECT_EQ(Drives.size(), qsizetype(std::size(casos)));
    EXPECT_EQ(Drives.first(), QStringLiteral("C"));
}

TEST_F(EstacaoTest, UnreadableSerialGivesEmptyTextWithoutThrowing) {
    Serie = std::nullopt;
    EXPECT_EQ(Serie_Disco(QStringLiteral("C")), QString());

    Fonte_Serie_Disco = [](const QString &) -> std::optional<quint32> {
        throw platform::Exception(QStringLiteral("volume indisponível"));
    };
    EXPECT_EQ(Serie_Disco(QStringLiteral("C")), QString());

    Fonte_Serie_Disco = [](const QString &) -> std::optional<quint32> {
        throw std::runtime_error("device gone");
    };
    EXPECT_EQ(Serie_Disco(QStringLiteral("C")), QString());

    Fonte_Serie_Disco = nullptr;
    EXPECT_EQ(Serie_Disco(QStringLiteral("C")), QString());
}

TEST_F(EstacaoTest, ListedSerialOfDriveCMeansSupportMode) {
    Configuracao().Ser_Sup = {QStringLiteral("11111111"), QStringLiteral("22222222"),
                              QStringLiteral("0000ABCD"), QStringLiteral("33333333"),
                              QStringLiteral("44444444")};
    Serie = 0x0000ABCDu;
    Nme_Usu = QStringLiteral("MARIA");

    EXPECT_TRUE(Identifica_Estacao());
    EXPECT_TRUE(Est_Sup);
    EXPECT_EQ(Nme_Usu, QStringLiteral("SUPORTE"));
    EXPECT_EQ(Drives, QStringList({QStringLiteral("C")}));
}

TEST_F(EstacaoTest, EveryDefaultSerialIsRecognised) {
    const QStringList padrao = Configuracao().Ser_Sup;
    ASSERT_EQ(padrao.size(), 5);
    for (const QString &texto : padrao) {
        // The list holds serials as Serie_Disco writes them, or none could ever match.
        ASSERT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}$")).match(texto).hasMatch())
            << texto.toStdString();
        ResetGlobais();
        Serie = texto.toUInt(nullptr, 16);
        EXPECT_TRUE(Identifica_Estacao()) << texto.toStdString();
        EXPECT_EQ(Nme_Usu, QStringLiteral("SUPORTE"));
    }
}

TEST_F(EstacaoTest, AnyOtherSerialLeavesAnOrdinaryWorkstation) {
    struct Caso {
        const char *nome;
        QStringList lista;
        std::optional<quint32> serie;
    };
    const Caso casos[] = {
        {"serial not listed", {QStringLiteral("0000ABCD")}, 0x0000ABCEu},
        {"listed without its leading zeros", {QStringLiteral("ABCD")}, 0x0000ABCDu},
        {"listed in lower case", {QStringLiteral("ABCDEF0a")}, 0xABCDEF0Au},
        {"listed with spaces", {QStringLiteral(" 0000ABCD")}, 0x0000ABCDu},
        {"serial unreadable, blank entry in the settings",
         {QString(), QStringLiteral("0000ABCD")},
         std::nullopt},
        {"empty list", {}, 0x0000ABCDu},
    };
    for (const Caso &c : casos) {
        for (const QString &usuario : {QString(), QStringLiteral("MARIA")}) {
            Configuracao().Ser_Sup = c.lista;
            Serie = c.serie;
            Est_Sup = true; // left over from an earlier identification
            Nme_Usu = usuario;
            EXPECT_FALSE(Identifica_Estacao()) << c.nome;
            EXPECT_FALSE(Est_Sup) << c.nome;
            EXPECT_EQ(Nme_Usu, usuario) << c.nome;
        }
    }
}

TEST_F(EstacaoTest, ListIsTakenAnewFromTheSettingsOnEveryRun) {
    Serie = 0x12345678u;
    Configuracao().Ser_Sup = {QStringLiteral("12345678")};
    EXPECT_TRUE(Identifica_Estacao());
    EXPECT_EQ(Ser_Sup, QStringList({QStringLiteral("12345678")}));

    Configuracao().Ser_Sup = {QStringLiteral("87654321")};
    EXPECT_FALSE(Identifica_Estacao());
    EXPECT_EQ(Ser_Sup, QStringList({QStringLiteral("87654321")}));

    // A list changed in between is replaced, not added to.
    Ser_Sup << QStringLiteral("12345678");
    EXPECT_FALSE(Identifica_Estacao());
    EXPECT_EQ(Ser_Sup, QStringList({QStringLiteral("87654321")}));
}

TEST_F(EstacaoTest, SystemSourceReadsDriveC) {
    ResetFuncoesEstacao(); // the system's own source
    const QString serie = Serie_Disco(QStringLiteral("C"));
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]{8}$")).match(serie).hasMatch())
        << serie.toStdString();
    EXPECT_EQ(serie, Serie_Disco(QStringLiteral("C")));
#ifndef Q_OS_WIN
    // Off Windows drive C is the root file system and nothing else is a drive.
    struct statvfs info;
    ASSERT_EQ(statvfs("/", &info), 0);
    EXPECT_EQ(platform::VolumeSerial(QStringLiteral("C")),
              std::optional<quint32>(quint32(info.f_fsid & 0xFFFFFFFFul)));
    EXPECT_EQ(platform::VolumeSerial(QStringLiteral("c")), platform::VolumeSerial("C"));
    for (const char *drive : {"D", "Z", "", "CC"})
        EXPECT_EQ(platform::VolumeSerial(QString::fromLatin1(drive)), std::nullopt) << drive;
    EXPECT_EQ(Serie_Disco(QStringLiteral("D")), QString());
#endif
}
