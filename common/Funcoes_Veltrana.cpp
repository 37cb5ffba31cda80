#include "common/Funcoes_Veltrana.h"

#include "platform/Exception.h"

#include <QStringView>

#include <algorithm>
#include <iterator>
#include <string_view>

namespace {

struct TLinha_Veltrana {
    quint16 Valor;
    std::u16string_view Texto;
};

// Every value that has a text, in ascending order. Each text belongs to one value only;
// texts are compared exactly (case, accents, underscores).
// clang-format off
constexpr TLinha_Veltrana Tab_Veltrana[] = {
    // Installations: none, the maker, technicians, workstations, server, companies
    {0, u"Nda"},
    {1, u""},
    {2, u"Veltrana"},
    {3, u"Tecnico1"},
    {4, u"Tecnico2"},
    {5, u"Estacao1"},
    {6, u"Estacao2"},
    {8, u"Servidor"},
    {11, u"Empresa11"},
    {12, u"Empresa12"},
    {13, u"Empresa13"},
    {14, u"Empresa14"},
    {15, u"Empresa15"},
    {16, u"Empresa16"},
    {17, u"Empresa17"},
    {18, u"Empresa18"},
    {19, u"Empresa19"},
    {20, u"Empresa20"},
    {21, u"Empresa21"},
    {22, u"Empresa22"},
    {23, u"Empresa23"},
    {24, u"Empresa24"},
    {25, u"Empresa25"},
    {26, u"Empresa26"},
    {27, u"Empresa27"},
    {28, u"Empresa28"},
    {29, u"Empresa29"},
    {30, u"Empresa30"},
    {31, u"Empresa31"},
    {32, u"Empresa32"},
    {33, u"Empresa33"},
    {34, u"Empresa34"},

    // Record operations
    {35, u"Iniciar"},
    {36, u"Incluir"},
    {37, u"Alterar"},
    {38, u"Excluir"},
    {39, u"Salvar"},
    {40, u"Cancelar"},

    // Electronic invoice: environments, issuing modes, purposes, actions and states
    {45, u"Produção"},
    {46, u"Homologação"},
    {47, u"Normal"},
    {48, u"Contingencia_Epec"},
    {49, u"Contingencia_Fsda"},
    {50, u"Contingencia_Svc"},
    {55, u"finNormal"},
    {56, u"finAvulsa"},
    {57, u"finVeltrana"},
    {58, u"finAntecipada"},
    {59, u"finComplemento_Icms"},
    {60, u"finComplemento_Valor"},
    {61, u"finAjuste"},
    {62, u"finDevolucao"},
    {72, u"Nfe_Cancelar"},
    {73, u"Nfe_Excluir"},
    {90, u"Autorizada"},
    {91, u"Denegada"},
    {92, u"AguardaEPEC"},
    {93, u"EPEC"},
    {94, u"Fsda"},
    {95, u"Cancelada"},
    {96, u"Estornada"},
    {97, u"Devolvida"},
    {98, u"Inutilizada"},
    {99, u"Pendente"},

    // Kinds of operation, partners and taxpayers
    {101, u"Venda"},
    {102, u"Bonificacao"},
    {103, u"Transferencia"},
    {104, u"Venda_Antecipada"},
    {105, u"Remessa_Exportacao"},
    {106, u"Remessa_Consignada"},
    {107, u"Remessa_Ordem"},
    {109, u"Cliente"},
    {110, u"Fornecedor"},
    {111, u"Ambos"},
    {112, u"Contribuinte"},
    {113, u"Isento"},
    {114, u"Nao_Contribuinte"},

    // Payment terms and means
    {137, u"AVista"},
    {138, u"APrazo"},
    {139, u"Prazo_Percentual"},
    {140, u"Data_Percentual"},
    {141, u"Parcela_Dia"},
    {142, u"Parcelas_Iguais"},
    {144, u"Boleto"},
    {148, u"Cheque"},
    {151, u"Dinheiro"},

    // Other values of the business system
    {169, u"Individual"},
    {170, u"Media"},
    {171, u"Media_Final"},
    {172, u"pmnSelecao"},
    {173, u"pmnTabela"},
    {174, u"actClassificacao"},
    {175, u"actEntrada"},
    {176, u"actVenda"},
    {177, u"actBaixa"},
    {178, u"actTabela"},
    {179, u"actFixo"},
    {183, u"itgLocal"},
    {184, u"itgWKRadar"},
    {185, u"Desconto_Pos_Venda"},
    {186, u"Despesas_Exportacao"},
    {187, u"Juros"},

    // Kinds of stock and quality records
    {201, u"Fruta"},
    {202, u"Pomar"},
    {203, u"Pre_Classificado"},
    {204, u"Classificado"},
    {205, u"Industria"},
    {206, u"Descarte"},
    {207, u"Outros"},
    {208, u"Digitado"},
    {209, u"Vasilhame"},
    {210, u"Fitossanitario"},
    {211, u"Todos"},

    // Logged actions
    {234, u"Inclusão"},
    {235, u"Alteração"},
    {236, u"Exclusão"},
    {237, u"Exportação"},

    // Other values of the business system
    {238, u"AGR_QUA"},
    {239, u"AJU_BACEN"},
    {240, u"AJU_CCIR"},
    {241, u"AJU_DOC_CLA_SER"},
    {242, u"AJU_FRT_PSO_MIN"},
    {243, u"AJU_IBGE"},
    {244, u"AJU_ISUF"},
    {245, u"AJU_LOG"},
    {246, u"AJU_SEN"},
    {247, u"AJU_PSO_MED_ETQ"},
    {483, u"ratDesconto"},
    {484, u"ratDesconto_Ite"},
    {485, u"ratDesconto_Pos"},
    {486, u"ratDespesas"},
    {487, u"ratExportacao"},
    {488, u"ratPtv"},
    {489, u"ratJuros"},
    {490, u"ratFunrural"},
    {491, u"ratIi"},
    {492, u"ratIof"},
    {493, u"ratPis"},
    {494, u"ratCofins"},
    {496, u"ratFrete"},
    {497, u"ratFrete_Icms"},
    {498, u"ratSeguro"},
    {535, u"tabPdt_Ped"},
    {536, u"tabEtq_Nfp"},
    {537, u"cds_Nfe"},
    {538, u"cds_Nfe_Dfr"},
    {539, u"cds_Nfe_Pdt"},
    {540, u"cds_Nfe_Dim"},
    {541, u"cds_Nfe_Tot"},
    {542, u"cds_Nfe_Tra"},
    {543, u"cds_Nfe_Fat"},
    {544, u"cds_Nfe_Par"},
    {545, u"cds_Nfe_Dad"},
    {546, u"cds_Nfe_Aut_Xml"},
    {578, u"Cancheiro"},
    {579, u"Classificador"},
    {580, u"Colhedor"},
    {581, u"Juntador"},
    {592, u"Saida"},
    {597, u"Terceiro"},
    {598, u"Interno"},
    {599, u"Externo"},
    {600, u"Ticket"},
    {601, u"Etiqueta"},
    {602, u"Romaneio"},
    {607, u"Total"},
    {611, u"Peso"},
    {612, u"Quantidade"},
    {613, u"Unidade"},
    {614, u"Valor"},
    {618, u"Eletronica"},
    {619, u"Produtor"},
    {620, u"Fisica"},
    {621, u"Juridica"},
    {639, u"Ano"},
    {640, u"Sfr"},
    {641, u"Filial"},
    {644, u"Frt"},
    {654, u"Def"},
    {674, u"Sobre_a_Venda"},
    {675, u"Valor_por_kg"},
    {676, u"Pedido"},
    {677, u"Nota"},
};
// clang-format on

constexpr bool Ordenada_Sem_Repeticao() {
    for (std::size_t i = 0; i < std::size(Tab_Veltrana); ++i) {
        if (i > 0 && Tab_Veltrana[i - 1].Valor >= Tab_Veltrana[i].Valor)
            return false;
        for (std::size_t j = i + 1; j < std::size(Tab_Veltrana); ++j)
            if (Tab_Veltrana[i].Texto == Tab_Veltrana[j].Texto)
                return false;
    }
    return true;
}

static_assert(std::size(Tab_Veltrana) == 183);
static_assert(Ordenada_Sem_Repeticao(), "values ascending, no text twice");
static_assert(Tab_Veltrana[1].Valor == 1 && Tab_Veltrana[1].Texto.empty());

} // namespace

QString TVeltranaToStr(TVeltrana Value) {
    const quint16 valor = static_cast<quint16>(Value);
    const auto linha =
        std::lower_bound(std::begin(Tab_Veltrana), std::end(Tab_Veltrana), valor,
                         [](const TLinha_Veltrana &l, quint16 v) { return l.Valor < v; });
    if (linha == std::end(Tab_Veltrana) || linha->Valor != valor)
        throw platform::Exception(QStringLiteral("Parâmetro - TVeltranaToStr: '%1'").arg(Par_Inv));
    return QStringView(linha->Texto).toString();
}

TVeltrana StrToTVeltrana(const QString &Text) {
    for (const TLinha_Veltrana &linha : Tab_Veltrana) {
        if (QStringView(linha.Texto) == Text)
            return static_cast<TVeltrana>(linha.Valor);
    }
    throw platform::Exception(QStringLiteral("Parâmetro - StrToTVeltrana: '%1'").arg(Par_Inv));
}
