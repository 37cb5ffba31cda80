// The named values and their texts: every value with a text converts both ways, every
// other value and every unknown text raise the exact message.
#include "common/Funcoes_Veltrana.h"
#include "platform/Exception.h"

#include <QSet>
#include <gtest/gtest.h>
#include <utility>

namespace {

// Values that have a text, as ranges (first, last).
const std::pair<int, int> Faixas_Com_Texto[] = {
    {0, 6},     {8, 8},     {11, 40},   {45, 50},   {55, 62},   {72, 73},   {90, 99},   {101, 107},
    {109, 114}, {137, 142}, {144, 144}, {148, 148}, {151, 151}, {169, 179}, {183, 187}, {201, 211},
    {234, 247}, {483, 494}, {496, 498}, {535, 546}, {578, 581}, {592, 592}, {597, 602}, {607, 607},
    {611, 614}, {618, 621}, {639, 641}, {644, 644}, {654, 654}, {674, 677},
};

bool Tem_Texto(int valor) {
    for (const auto &[primeiro, ultimo] : Faixas_Com_Texto) {
        if (valor >= primeiro && valor <= ultimo)
            return true;
    }
    return false;
}

const QString Msg_ToStr = QStringLiteral("Parâmetro - TVeltranaToStr: 'Parâmetro Inválido: '");
const QString Msg_StrTo = QStringLiteral("Parâmetro - StrToTVeltrana: 'Parâmetro Inválido: '");

// The message of the general exception the call raises; a conversion error of another
// class, or no error at all, fails the test.
template <typename F> QString Mensagem_Do_Erro(F chamada) {
    try {
        chamada();
    } catch (const platform::ConvertError &e) {
        ADD_FAILURE() << "expected the general exception class, got ConvertError: " << e.what();
        return QString();
    } catch (const platform::Exception &e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception";
    return QString();
}

} // namespace

static_assert(sizeof(TVeltrana) == 2, "stored in 16 bits");

TEST(TVeltrana, EveryValueWithATextConvertsBothWays) {
    int com_texto = 0;
    QSet<QString> textos;
    for (int valor = 0; valor <= 0xFFFF; ++valor) {
        const TVeltrana v = static_cast<TVeltrana>(valor);
        if (!Tem_Texto(valor)) {
            ASSERT_EQ(Mensagem_Do_Erro([&] { TVeltranaToStr(v); }), Msg_ToStr) << valor;
            continue;
        }
        ++com_texto;
        const QString texto = TVeltranaToStr(v);
        EXPECT_EQ(texto.isEmpty(), valor == 1) << valor;
        EXPECT_EQ(StrToTVeltrana(texto), v) << valor << " " << texto.toStdString();
        textos.insert(texto);
    }
    EXPECT_EQ(com_texto, 183);
    EXPECT_EQ(textos.size(), 183);
}

TEST(TVeltrana, TextsAreTheBusinessSystemsOwn) {
    struct Caso {
        int valor;
        QString texto;
    };
    const Caso casos[] = {
        {0, QStringLiteral("Nda")},
        {1, QString()},
        {2, QStringLiteral("Veltrana")},
        {8, QStringLiteral("Servidor")},
        {11, QStringLiteral("Empresa11")},
        {24, QStringLiteral("Empresa24")},
        {34, QStringLiteral("Empresa34")},
        {35, QStringLiteral("Iniciar")},
        {45, QStringLiteral("Produção")},
        {46, QStringLiteral("Homologação")},
        {57, QStringLiteral("finVeltrana")},
        {92, QStringLiteral("AguardaEPEC")},
        {137, QStringLiteral("AVista")},
        {184, QStringLiteral("itgWKRadar")},
        {234, QStringLiteral("Inclusão")},
        {235, QStringLiteral("Alteração")},
        {236, QStringLiteral("Exclusão")},
        {237, QStringLiteral("Exportação")},
        {247, QStringLiteral("AJU_PSO_MED_ETQ")},
        {483, QStringLiteral("ratDesconto")},
        {546, QStringLiteral("cds_Nfe_Aut_Xml")},
        {674, QStringLiteral("Sobre_a_Venda")},
        {675, QStringLiteral("Valor_por_kg")},
        {677, QStringLiteral("Nota")},
    };
    for (const Caso &c : casos) {
        EXPECT_EQ(TVeltranaToStr(static_cast<TVeltrana>(c.valor)), c.texto) << c.valor;
        EXPECT_EQ(StrToTVeltrana(c.texto), static_cast<TVeltrana>(c.valor)) << c.valor;
    }
    EXPECT_EQ(StrToTVeltrana(QStringLiteral("Servidor")), TVeltrana::Servidor);
    EXPECT_EQ(StrToTVeltrana(QStringLiteral("Empresa24")), TVeltrana::Empresa24);
    EXPECT_EQ(TVeltranaToStr(TVeltrana::Empresa34), QStringLiteral("Empresa34"));
}

TEST(TVeltrana, UnknownTextsRaiseTheExactMessage) {
    const QString textos[] = {
        QStringLiteral("servidor"),
        QStringLiteral(" Servidor"),
        QStringLiteral("Servidor "),
        QStringLiteral("SERVIDOR"),
        QStringLiteral("Producao"),
        QStringLiteral("PRODUÇÃO"),
        QStringLiteral("Produc\u0327a\u0303o"), // the same word with combining accents
        QStringLiteral("Empresa 24"),
        QStringLiteral("Empresa35"),
        QStringLiteral("Valor_Por_Kg"),
        QStringLiteral(" "),
        QStringLiteral("Parâmetro Inválido: "),
    };
    for (const QString &texto : textos)
        EXPECT_EQ(Mensagem_Do_Erro([&] { StrToTVeltrana(texto); }), Msg_StrTo)
            << texto.toStdString();
}

TEST(TVeltrana, ValuesWithoutATextRaiseTheExactMessage) {
    for (const int valor : {7, 9, 10, 41, 44, 248, 482, 495, 678, 0xFFFF})
        EXPECT_EQ(Mensagem_Do_Erro([&] { TVeltranaToStr(static_cast<TVeltrana>(valor)); }),
                  Msg_ToStr)
            << valor;
}
