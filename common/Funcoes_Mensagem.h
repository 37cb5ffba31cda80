#pragma once

// Unit Funcoes: the numbered catalogue of user messages of the business system
// and Mensagem, which shows one of them. The catalogue holds the messages of the
// whole system; this tool itself uses 248, 262, 270 and 274.

#include <QString>
#include <array>
#include <cstdint>
#include <initializer_list>

// Shows the message of code Cod, composed with the extra text Txt, in a modal
// dialog of the entry's kind and returns the modal result of the button pressed
// (1 OK, 6 Yes, 7 No). A code that is not in the catalogue shows nothing and
// returns 0.
std::uint16_t Mensagem(std::uint16_t Cod, const QString &Txt = QString());

// ---- The catalogue's data (Funcoes_Mensagem_Catalogo.cpp) ----

// Dialog kind of an entry.
enum class TTipo_Msg : std::uint8_t {
    Informacao,         // information, OK
    Erro,               // error, OK
    Sim_Nao,            // confirmation, Yes and No, Yes answers Enter
    Sim_Nao_Padrao_Nao, // confirmation, Yes and No, No answers Enter
};

// One piece of a message: a fixed text, the extra text, or the user name Nme_Usu.
struct TParte_Msg {
    enum TTipo : std::uint8_t { Texto, Extra, Usuario };
    TTipo Tipo = Texto;
    const char16_t *Txt = nullptr;

    constexpr TParte_Msg() = default;
    constexpr TParte_Msg(const char16_t *Txt_Fix) : Tipo(Texto), Txt(Txt_Fix) {}
    constexpr TParte_Msg(TTipo Tip) : Tipo(Tip) {}
};

struct TEntrada_Msg {
    static constexpr int Max_Partes = 8;

    std::uint16_t Cod = 0;
    TTipo_Msg Tipo = TTipo_Msg::Informacao;
    std::array<TParte_Msg, Max_Partes> Partes{};
    int Num_Partes = 0;

    // An entry of one fixed text: the text followed by the extra text.
    constexpr TEntrada_Msg(std::uint16_t Cod_Msg, TTipo_Msg Tip, const char16_t *Txt_Fix)
        : Cod(Cod_Msg), Tipo(Tip), Partes{TParte_Msg(Txt_Fix), TParte_Msg(TParte_Msg::Extra)},
          Num_Partes(2) {}

    // An entry composed of the listed pieces, in that order.
    constexpr TEntrada_Msg(std::uint16_t Cod_Msg, TTipo_Msg Tip,
                           std::initializer_list<TParte_Msg> Lst_Par)
        : Cod(Cod_Msg), Tipo(Tip) {
        for (const TParte_Msg &Par : Lst_Par)
            Partes[Num_Partes++] = Par;
    }
};

// The catalogue entry of a code, or nullptr.
const TEntrada_Msg *Busca_Mensagem(std::uint16_t Cod);
