#include "common/Funcoes_Mensagem.h"

#include "common/Globais.h"
#include "platform/Dialogs.h"

using platform::DialogButton;
using platform::DialogKind;

namespace {

QString Compoe(const TEntrada_Msg &Ent, const QString &Txt) {
    QString Msg;
    for (int i = 0; i < Ent.Num_Partes; ++i) {
        const TParte_Msg &Par = Ent.Partes[i];
        switch (Par.Tipo) {
        case TParte_Msg::Texto:
            Msg += QString::fromUtf16(Par.Txt);
            break;
        case TParte_Msg::Extra:
            Msg += Txt;
            break;
        case TParte_Msg::Usuario:
            Msg += Nme_Usu;
            break;
        }
    }
    return Msg;
}

} // namespace

std::uint16_t Mensagem(std::uint16_t Cod, const QString &Txt) {
    const TEntrada_Msg *Ent = Busca_Mensagem(Cod);
    if (Ent == nullptr)
        return 0;
    const QString Msg = Compoe(*Ent, Txt);
    int Res = 0;
    switch (Ent->Tipo) {
    case TTipo_Msg::Informacao:
        Res =
            platform::MessageDlg(Msg, DialogKind::Information, DialogButton::OK, DialogButton::OK);
        break;
    case TTipo_Msg::Erro:
        Res = platform::MessageDlg(Msg, DialogKind::Error, DialogButton::OK, DialogButton::OK);
        break;
    case TTipo_Msg::Sim_Nao:
        Res = platform::MessageDlg(Msg, DialogKind::Confirmation,
                                   DialogButton::Yes | DialogButton::No, DialogButton::Yes);
        break;
    case TTipo_Msg::Sim_Nao_Padrao_Nao:
        Res = platform::MessageDlg(Msg, DialogKind::Confirmation,
                                   DialogButton::Yes | DialogButton::No, DialogButton::No);
        break;
    }
    return static_cast<std::uint16_t>(Res);
}
