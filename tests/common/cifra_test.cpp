// The scrambler of the stored data version: its stored format, its round trip, the
// texts it refuses and the key it uses.
#include "common/Configuracao.h"
#include "common/Funcoes_Cifra.h"
#include "platform/Exception.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

const QString Chave_Teste = QStringLiteral("QTVLDAB");

QString Codigos(std::initializer_list<char16_t> codigos) {
    QString texto;
    for (const char16_t c : codigos)
        texto += QChar(c);
    return texto;
}

// Text of every character with a code from `de` to `ate`.
QString Faixa(int de, int ate) {
    QString texto;
    for (int c = de; c <= ate; ++c)
        texto += QChar(char16_t(c));
    return texto;
}

} // namespace

TEST(Tira_Espacos, RemovesOnlyTheSpaceCharacter) {
    struct Caso {
        QString entrada, esperado;
    };
    const Caso casos[] = {
        {QStringLiteral(""), QStringLiteral("")},
        {QStringLiteral("   "), QStringLiteral("")},
        {QStringLiteral(" 1 2  3 "), QStringLiteral("123")},
        {QStringLiteral("\t1\r\n2\u00A0"), QStringLiteral("\t1\r\n2\u00A0")},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(Tira_Espacos(c.entrada), c.esperado) << c.entrada.toStdString();
}

// Vectors worked out by hand: start value 77, modulus 255, key cycling over the whole
// text, zero-filled upper-case pairs.
TEST(Cifra_Texto, ScramblesKnownVectors) {
    struct Caso {
        QString texto, chave, cifrado;
    };
    const Caso casos[] = {
        // (49 + 77) = 126 = 0x7E; 0x7E ^ 'K' (0x4B) = 0x35
        {QStringLiteral("1"), QStringLiteral("K"), QStringLiteral("4D35")},
        // '1': 0x7E ^ 'Q' = 0x2F; '2': (50 + 47) = 0x61 ^ 'T' = 0x35
        {QStringLiteral("12"), Chave_Teste, QStringLiteral("4D2F35")},
        // (200 + 77) mod 255 = 22 = 0x16 ^ 'A' = 0x57 (mod 256 would give 0x54)
        {Codigos({200}), QStringLiteral("A"), QStringLiteral("4D57")},
        // (253 + 77) mod 255 = 75 ^ 'A' = 0x0A: zero-filled, upper case
        {Codigos({253}), QStringLiteral("A"), QStringLiteral("4D0A")},
        // the key restarts at its first character after the last: A, B, A
        {QStringLiteral("aaa"), QStringLiteral("AB"), QStringLiteral("4DEF1335")},
        // a space inside the text is scrambled like any other character
        {QStringLiteral("1 2"), QStringLiteral("K"), QStringLiteral("4D351E1B")},
    };
    for (const Caso &c : casos) {
        EXPECT_EQ(Cifra_Texto(QStringLiteral("C"), c.texto, c.chave), c.cifrado)
            << c.cifrado.toStdString();
        EXPECT_EQ(Cifra_Texto(QStringLiteral("D"), c.cifrado, c.chave), c.texto)
            << c.cifrado.toStdString();
    }
}

TEST(Cifra_Texto, ScrambledFormIsStartPairAndOneUpperCasePairPerCharacter) {
    const QRegularExpression formato(QStringLiteral("^4D([0-9A-F]{2})*$"));
    for (const QString &texto : {QStringLiteral("7"), QStringLiteral("20250611"),
                                 QStringLiteral(" 12 "), Faixa(1, 254), Faixa(250, 600)}) {
        const QString cifrado = Cifra_Texto(QStringLiteral("C"), texto, Chave_Teste);
        EXPECT_EQ(cifrado.size(), 2 + 2 * texto.size());
        EXPECT_TRUE(formato.match(cifrado).hasMatch()) << cifrado.toStdString();
    }
}

TEST(Cifra_Texto, EveryCodeFrom1To254ComesBackUnchanged) {
    // One long text (the chain runs over all of them) and every code alone and after
    // every other code, under a few keys.
    for (const QString &chave : {Chave_Teste, QStringLiteral("a"), QStringLiteral("zZyYxXw")}) {
        const QString todos = Faixa(1, 254);
        ASSERT_EQ(
            Cifra_Texto(QStringLiteral("D"), Cifra_Texto(QStringLiteral("C"), todos, chave), chave),
            todos);
        for (int primeiro = 1; primeiro <= 254; ++primeiro) {
            for (int segundo = 1; segundo <= 254; ++segundo) {
                if (primeiro == ' ' && segundo == ' ')
                    continue; // blank: no result at all
                const QString texto = Codigos({char16_t(primeiro), char16_t(segundo)});
                const QString volta = Cifra_Texto(
                    QStringLiteral("D"), Cifra_Texto(QStringLiteral("C"), texto, chave), chave);
                ASSERT_EQ(volta, texto) << primeiro << " " << segundo;
            }
        }
    }
}

TEST(Cifra_Texto, OtherCodesComeBackAsTheirRemainderModulo255) {
    struct Caso {
        QString texto, volta;
    };
    // With key "A": "q" scrambles to "FF", so the character after it follows an "FF" pair.
    const Caso casos[] = {
        {Codigos({0}), Codigos({255})},
        {Codigos({255}), Codigos({255})},
        {Codigos({256}), Codigos({1})},
        {Codigos({0x20AC}), Codigos({0x20AC % 255})},
        {Codigos({'q', 0}), Codigos({'q', 0})},
        {Codigos({'q', 255}), Codigos({'q', 0})},
        {Codigos({'1', 0, '2'}), Codigos({'1', 255, '2'})},
    };
    ASSERT_EQ(Cifra_Texto(QStringLiteral("C"), QStringLiteral("q"), QStringLiteral("A")),
              QStringLiteral("4DFF"));
    for (const Caso &c : casos) {
        const QString cifrado = Cifra_Texto(QStringLiteral("C"), c.texto, QStringLiteral("A"));
        EXPECT_EQ(Cifra_Texto(QStringLiteral("D"), cifrado, QStringLiteral("A")), c.volta)
            << cifrado.toStdString();
    }
}

TEST(Cifra_Texto, BlankTextOrUnknownModeGivesEmptyText) {
    for (const QString &modo : {QStringLiteral("C"), QStringLiteral("D")}) {
        for (const QString &texto : {QString(), QStringLiteral(""), QStringLiteral("   ")})
            EXPECT_EQ(Cifra_Texto(modo, texto, Chave_Teste), QString()) << modo.toStdString();
    }
    for (const QString &modo : {QStringLiteral("c"), QStringLiteral("d"), QStringLiteral(""),
                                QStringLiteral("X"), QStringLiteral("CD"), QStringLiteral(" C")}) {
        EXPECT_EQ(Cifra_Texto(modo, QStringLiteral("4D2F35"), Chave_Teste), QString())
            << modo.toStdString();
    }
}

TEST(Cifra_Texto, UnscramblesAsTheTextStands) {
    struct Caso {
        QString cifrado, chave, texto;
    };
    const Caso casos[] = {
        // digits of either case
        {QStringLiteral("4d2f35"), Chave_Teste, QStringLiteral("12")},
        // the start pair is read, not assumed: 0x35 ^ 'K' = 126, 126 - 0x50 = 46 '.'
        {QStringLiteral("5035"), QStringLiteral("K"), QStringLiteral(".")},
        // odd length of five or more: the last character is not read
        {QStringLiteral("4D2F35A"), Chave_Teste, QStringLiteral("12")},
        {QStringLiteral("4D2F3"), Chave_Teste, QStringLiteral("1")},
        // three characters: the third is a pair of one digit; 5 ^ 'K' = 78, 78 - 77 = 1
        {QStringLiteral("4D5"), QStringLiteral("K"), Codigos({1})},
    };
    for (const Caso &c : casos)
        EXPECT_EQ(Cifra_Texto(QStringLiteral("D"), c.cifrado, c.chave), c.texto)
            << c.cifrado.toStdString();
}

TEST(Cifra_Texto, KeyPositionRunsOnOverTheWholeText) {
    // Each plain character depends on its own pair, the pair before it and one key
    // character; changing only the first key character changes characters 1, 8 and 15.
    QString cifrado = QStringLiteral("4D");
    for (int i = 0; i < 16; ++i)
        cifrado += QStringLiteral("%1").arg(0x30 + 7 * i, 2, 16, QLatin1Char('0')).toUpper();
    const QString a = Cifra_Texto(QStringLiteral("D"), cifrado, QStringLiteral("ABCDEFG"));
    const QString b = Cifra_Texto(QStringLiteral("D"), cifrado, QStringLiteral("XBCDEFG"));
    ASSERT_EQ(a.size(), 16);
    ASSERT_EQ(b.size(), 16);
    QList<int> diferentes;
    for (int i = 0; i < 16; ++i) {
        if (a.at(i) != b.at(i))
            diferentes << i + 1;
    }
    EXPECT_EQ(diferentes, QList<int>({1, 8, 15}));
}

TEST(Cifra_Texto, UnscramblingRaisesConversionErrorForBadPairs) {
    for (const QString &cifrado :
         {QStringLiteral("4D"), QStringLiteral("4"), QStringLiteral("4DZZ"), QStringLiteral("ZZ35"),
          QStringLiteral("4D2F3G"), QStringLiteral("4D 2"), QStringLiteral("4D-1"),
          QStringLiteral("4D+1"), QStringLiteral("0x35"), QStringLiteral("4D\u0661\u0662")}) {
        EXPECT_THROW(Cifra_Texto(QStringLiteral("D"), cifrado, Chave_Teste), platform::ConvertError)
            << cifrado.toStdString();
    }
}

TEST(Cifra_Texto, RefusesAKeyThatCannotKeepTheFormat) {
    struct Caso {
        QString chave, mensagem;
    };
    const Caso casos[] = {
        {QString(), QStringLiteral("Cifra_Texto: a chave de cifra está vazia.")},
        {QStringLiteral(""), QStringLiteral("Cifra_Texto: a chave de cifra está vazia.")},
        {QStringLiteral("AB\u0100CDEF"),
         QStringLiteral("Cifra_Texto: a chave de cifra tem um caractere acima de 255.")},
    };
    for (const Caso &c : casos) {
        for (const QString &modo : {QStringLiteral("C"), QStringLiteral("D")}) {
            for (const QString &texto : {QStringLiteral("4D2F35"), QString()}) {
                try {
                    Cifra_Texto(modo, texto, c.chave);
                    ADD_FAILURE() << "key accepted: " << c.chave.toStdString();
                } catch (const platform::ConvertError &) {
                    ADD_FAILURE() << "a bad key is no conversion error";
                } catch (const platform::Exception &e) {
                    EXPECT_EQ(e.Message(), c.mensagem);
                }
            }
        }
    }
}

// Arbitrary texts, as a damaged CFG.VER_DAD could hold: either a result or the
// conversion error, never anything else.
TEST(Cifra_Texto, ArbitraryTextsNeverBreakUnscrambling) {
    QRandomGenerator aleatorio(20250611);
    const QString hex = QStringLiteral("0123456789abcdefABCDEF");
    int resultados = 0;
    int erros = 0;
    for (int n = 0; n < 20000; ++n) {
        QString texto;
        const int tamanho = aleatorio.bounded(0, 24);
        const bool so_hex = aleatorio.bounded(2) == 0;
        for (int i = 0; i < tamanho; ++i) {
            if (so_hex)
                texto += hex.at(aleatorio.bounded(int(hex.size())));
            else
                texto += QChar(char16_t(aleatorio.bounded(0, 0x10000)));
        }
        try {
            const QString plano = Cifra_Texto(QStringLiteral("D"), texto, Chave_Teste);
            ++resultados;
            if (!Tira_Espacos(texto).isEmpty()) {
                // one character per pair read after the start pair, at least one
                EXPECT_EQ(plano.size(), std::max<qsizetype>(1, (texto.size() - 2) / 2))
                    << texto.toStdString();
            }
        } catch (const platform::ConvertError &) {
            ++erros;
        }
    }
    // Both outcomes must have occurred, or the generator tested nothing.
    EXPECT_GT(resultados, 1000);
    EXPECT_GT(erros, 1000);
}

TEST(Cifra_Texto, ArbitraryTextsOfCodes1To254RoundTrip) {
    QRandomGenerator aleatorio(77);
    for (int n = 0; n < 5000; ++n) {
        QString texto;
        const int tamanho = aleatorio.bounded(1, 40);
        for (int i = 0; i < tamanho; ++i)
            texto += QChar(char16_t(aleatorio.bounded(1, 255)));
        if (Tira_Espacos(texto).isEmpty())
            continue;
        ASSERT_EQ(Cifra_Texto(QStringLiteral("D"),
                              Cifra_Texto(QStringLiteral("C"), texto, Chave_Teste), Chave_Teste),
                  texto);
    }
}

class Chave_CifraTest : public ::testing::Test {
protected:
    void TearDown() override { ResetConfiguracao(); }
};

TEST_F(Chave_CifraTest, DefaultKeyIsSevenAsciiLetters) {
    const QString chave = Chave_Cifra();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[A-Za-z]{7}$")).match(chave).hasMatch())
        << chave.toStdString();
}

TEST_F(Chave_CifraTest, KeyComesFromTheSettings) {
    const QString versao = QStringLiteral("2025061101");
    const QString sob_padrao = Cifra_Texto(QStringLiteral("C"), versao, Chave_Cifra());

    Configuracao().Chave_Cifra = QStringLiteral("mNoPqRs");
    EXPECT_EQ(Chave_Cifra(), QStringLiteral("mNoPqRs"));
    const QString sob_outra = Cifra_Texto(QStringLiteral("C"), versao, Chave_Cifra());
    EXPECT_NE(sob_outra, sob_padrao);
    EXPECT_EQ(Cifra_Texto(QStringLiteral("D"), sob_outra, Chave_Cifra()), versao);
    EXPECT_NE(Cifra_Texto(QStringLiteral("D"), sob_padrao, Chave_Cifra()), versao);
}
