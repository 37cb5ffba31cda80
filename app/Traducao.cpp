#include "app/Traducao.h"

#include "platform/StandardTexts.h"

using platform::StandardTextId;

namespace {

struct TTraducao {
    StandardTextId Txt_Pad; // the platform's text
    const char16_t *Txt_Tra;
};

// In the order in which they are applied. "OK" keeps its text; "&Retry" and
// "No help available" are set to their own English text.
constexpr TTraducao Tab_Tra[] = {
    {StandardTextId::Warning, u"Atenção"},                   // "Warning"
    {StandardTextId::Error, u"Erro"},                        // "Error"
    {StandardTextId::Information, u"Informação"},            // "Information"
    {StandardTextId::Confirm, u"Confirmar"},                 // "Confirm"
    {StandardTextId::Yes, u"&Sim"},                          // "&Yes"
    {StandardTextId::No, u"&Não"},                           // "&No"
    {StandardTextId::OK, u"OK"},                             // "OK"
    {StandardTextId::Cancel, u"Cancelar"},                   // "Cancel"
    {StandardTextId::Help, u"Ajuda"},                        // "Help"
    {StandardTextId::Abort, u"&Abortar"},                    // "&Abort"
    {StandardTextId::Ignore, u"&Ignorar"},                   // "&Ignore"
    {StandardTextId::All, u"&Todos"},                        // "&All"
    {StandardTextId::NoToAll, u"&Não para Todos"},           // "N&o to All"
    {StandardTextId::YesToAll, u"Sim para &Todos"},          // "Yes to &All"
    {StandardTextId::Close, u"&Fechar"},                     // "&Close"
    {StandardTextId::HelpButton, u"&Ajuda"},                 // "&Help"
    {StandardTextId::Retry, u"&Retry"},                      // "&Retry"
    {StandardTextId::NoHelpAvailable, u"No help available"}, // "No help available"
};

// The load-time replacement.
[[maybe_unused]] const bool Carregada_Na_Carga = (Traducao_Carrega(), true);

} // namespace

void Traducao_Carrega() {
    for (const TTraducao &Tra : Tab_Tra)
        platform::SetStandardText(Tra.Txt_Pad, QString::fromUtf16(Tra.Txt_Tra));
}
