// Mensagem and the message catalogue, through the scripted dialogs: which codes
// exist, the kind and buttons of each, the composition with the extra text and
// the user name, and the result returned.

#include "common/Funcoes_Mensagem.h"
#include "common/Globais.h"
#include "platform/DialogsScripted.h"

#include <QSet>
#include <gtest/gtest.h>
#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os) {
    *os << text.toStdString();
}

using namespace platform;

namespace {

class MensagemTest : public ::testing::Test {
protected:
    void SetUp() override { ResetGlobais(); }
    void TearDown() override { ResetGlobais(); }

    // The one dialog the last call showed.
    const RecordedDialog &Shown() {
        static const RecordedDialog none;
        EXPECT_EQ(scripted_->Shown().size(), 1);
        return scripted_->Shown().isEmpty() ? none : scripted_->Shown().back();
    }

    ScriptedDialogs *scripted_ = new ScriptedDialogs;
    ScopedDialogs scope_{std::unique_ptr<Dialogs>(scripted_)};
};

// Codes of the catalogue that are not plain information dialogs.
const QSet<int> yesNoCodes = {250, 257, 259, 261, 283, 299, 300, 301, 328, 344,
                              349, 354, 358, 367, 396, 398, 400, 402, 412, 436,
                              438, 441, 454, 460, 461, 462, 464, 468, 469};
constexpr int errorCode = 249;
constexpr int noByDefaultCode = 251;

TEST_F(MensagemTest, OnlyTheCatalogueCodesShowADialog) {
    // 248 to 471 without 433; everything else shows nothing and returns 0.
    QList<int> shown;
    for (int code = 0; code <= 0xFFFF; ++code) {
        scripted_->Clear();
        const std::uint16_t result = Mensagem(std::uint16_t(code), QStringLiteral("x"));
        if (!scripted_->Shown().isEmpty())
            shown << code;
        else
            EXPECT_EQ(result, 0) << code;
    }
    QList<int> expected;
    for (int code = 248; code <= 471; ++code)
        if (code != 433)
            expected << code;
    EXPECT_EQ(expected.size(), 223);
    EXPECT_EQ(shown, expected);
}

TEST_F(MensagemTest, EachEntryHasItsKindButtonsAndDefault) {
    for (int code = 248; code <= 471; ++code) {
        if (code == 433)
            continue;
        SCOPED_TRACE(code);
        scripted_->Clear();
        const std::uint16_t result = Mensagem(std::uint16_t(code));
        const RecordedDialog &d = Shown();
        if (yesNoCodes.contains(code) || code == noByDefaultCode) {
            EXPECT_EQ(d.kind, DialogKind::Confirmation);
            EXPECT_EQ(d.buttons, QList<DialogButton>({DialogButton::Yes, DialogButton::No}));
            const DialogButton def = code == noByDefaultCode ? DialogButton::No : DialogButton::Yes;
            EXPECT_EQ(d.defaultButton, def);
            EXPECT_EQ(result, code == noByDefaultCode ? 7 : 6);
        } else {
            EXPECT_EQ(d.kind, code == errorCode ? DialogKind::Error : DialogKind::Information);
            EXPECT_EQ(d.buttons, QList<DialogButton>({DialogButton::OK}));
            EXPECT_EQ(d.defaultButton, DialogButton::OK);
            EXPECT_EQ(result, 1);
        }
    }
}

TEST_F(MensagemTest, ReturnsTheButtonPressed) {
    struct Case {
        int code;
        DialogButton answer;
        int expected;
    };
    const Case cases[] = {
        {250, DialogButton::No, 7}, {251, DialogButton::Yes, 6}, {454, DialogButton::No, 7},
        {249, DialogButton::OK, 1}, {270, DialogButton::OK, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.code);
        scripted_->Clear();
        scripted_->Answer(c.answer);
        EXPECT_EQ(Mensagem(std::uint16_t(c.code)), c.expected);
        EXPECT_EQ(scripted_->Shown().size(), 1);
    }
}

struct TextCase {
    int code;
    const char16_t *user; // Nme_Usu
    const char16_t *extra;
    const char16_t *expected;
};

TEST_F(MensagemTest, ComposesTheTextWithTheExtraTextAndTheUserName) {
    const TextCase cases[] = {
        // The extra text alone.
        {248, u"", u"", u""},
        {248, u"", u"Arquivo C:\\Quinta\\Dados\\BKP.bat não encontrado", //
         u"Arquivo C:\\Quinta\\Dados\\BKP.bat não encontrado"},
        {251, u"", u"Deseja sair?", u"Deseja sair?"},
        // Fixed text, then the extra text with nothing between.
        {270, u"", u"", u"Operação realizada com sucesso!\r\n"},
        {274, u"", u"\r\n01 - RENOMEIA TABELA\r\nORA-00942",
         u"Não foi possível realizar esta operação!\r\n\r\n01 - RENOMEIA TABELA\r\nORA-00942"},
        {262, u"", u"\r\nDESCRIÇÃO DO ERRO:\r\nfalha",
         u"Não é permitido Incluir/Alterar/Excluir\r\n\r\nCaso seja necessário,\r\nentre em "
         u"contato com a Veltrana\r\n\r\nDESCRIÇÃO DO ERRO:\r\nfalha"},
        {330, u"", u"VENDA", u"Pedido deve ser do tipo = VENDA"},
        {451, u"", u"!", u"Hora inicial maior que hora final.!"},
        {273, u"", u"", u"Quantidade digitada deve ser \r\nmaior ou igual a quantidade lida!\r\n"},
        {284, u"", u"só o extra", u"\r\nsó o extra"},
        {460, u"", u"", u"\r\n"},
        {387, u"", u"", u"Etiqueta com qualidade \"Indústria\"!\r\n"},
        {388, u"", u"",
         u"Existe baixa de etiqueta com \"data/pomar/produto\" informado,\r\nportanto o tipo do "
         u"romaneio deve ser \"classificado\".\r\n"},
        {432, u"", u"",
         u"Não é possível fazer romaneio\r\ncom um produto de origem \"IMPORTADO\"\r\npara um "
         u"pomar \"PRÓPRIO\"\r\n"},
        {325, u"", u"", u"Soma do percentual é inferior a 100%\r\n"},
        // Composed of pieces around the extra text.
        {268, u"", u"Variedade",
         u"Variedade\r\n\r\nconstante na Etiqueta é\r\ndiferente do que foi informado!"},
        {269, u"", u"Calibre",
         u"Calibre\r\n\r\nconstante no Romaneio é\r\ndiferente do que foi informado!"},
        {448, u"", u"Mais de 10.000 linhas",
         u"Mais de 10.000 linhas\r\n\r\nReduza o período ou altere alguns filtros."},
        {354, u"", u"Mínimo 1, máximo 9",
         u"Valor digitado fora do intervalo permitido!\r\n\r\nMínimo 1, máximo 9\r\n\r\n"
         u"Permanece o valor digitado?"},
        {354, u"", u"",
         u"Valor digitado fora do intervalo permitido!\r\n\r\n\r\n\r\nPermanece o "
         u"valor digitado?"},
        // The user name.
        {309, u"", u"Texto", u", ATENÇÃO: \r\nTexto"},
        {309, u"SUPORTE", u"Texto", u"SUPORTE, ATENÇÃO: \r\nTexto"},
        {316, u"SUPORTE", u"",
         u"SUPORTE, você não tem permissão para selecionar esse relatório.\r\n\r\nFavor entrar "
         u"em contato como o Administrador do Sistema.\r\n"},
        {316, u"", u"(REL_001)",
         u", você não tem permissão para selecionar esse relatório.\r\n\r\nFavor entrar em "
         u"contato como o Administrador do Sistema.\r\n(REL_001)"},
        // The extra text is taken as it is: no placeholders, no markup, no access keys.
        {248, u"", u"%1 & %2 <b>100%</b>", u"%1 & %2 <b>100%</b>"},
        {252, u"JOÃO", u"%1", u"Não existe relatório disponível!\r\n%1"},
    };
    for (const TextCase &c : cases) {
        SCOPED_TRACE(c.code);
        scripted_->Clear();
        Nme_Usu = QString::fromUtf16(c.user);
        Mensagem(std::uint16_t(c.code), QString::fromUtf16(c.extra));
        EXPECT_EQ(Shown().text, QString::fromUtf16(c.expected));
    }
}

} // namespace
