// The release carried by this build, and the loader's refusal of malformed
// releases before anything reaches the database.

#include "platform/Exception.h"
#include "tests/support/TestSupport.h"
#include "update/Release.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// Texts in failure messages as text, not as arrays of characters.
inline void PrintTo(const QString &text, std::ostream *os) {
    *os << '"' << text.toStdString() << '"';
}

namespace {

// ---------------------------------------------------------------------------
// This release, written out from the table of tax situations, independently of
// how the release file lays it out.

const QStringList Indicadores = {
    "ind_gIS",           "ind_gIBSCBS",         "ind_gIBSUF",        "ind_gIBSMun",
    "ind_gDif",          "ind_gDevTrib",        "ind_gRed",          "ind_RedutorBC",
    "ind_gTribRegular",  "ind_gTribCompraGov",  "ind_gIBSCBSMono",   "ind_gMonoPadrao",
    "ind_gMonoReten",    "ind_gMonoRet",        "ind_gMonoDif",      "ind_gTransfCred",
    "ind_gAjusteCompet", "ind_gEstornoCred",    "ind_gCredPresOper", "ind_gIBSCredPres",
    "ind_gCBSCredPres",  "ind_gCredPresIBSZFM",
};

struct Situacao {
    const char *cod;
    const char *nme;
    QStringList sim; // indicators that are "Sim"; all others are "Não"
};

const QStringList Ibs = {"ind_gIBSCBS", "ind_gIBSUF", "ind_gIBSMun"};

const std::vector<Situacao> Situacoes = {
    {"000", "Tributação integral", Ibs},
    {"010", "Tributação com alíquotas uniformes", Ibs},
    {"011", "Tributação com alíquotas uniformes reduzidas", Ibs + QStringList{"ind_gRed"}},
    {"200", "Alíquota reduzida", Ibs + QStringList{"ind_gRed"}},
    {"220", "Alíquota fixa", Ibs},
    {"222", "Redução de base de cálculo", Ibs + QStringList{"ind_RedutorBC"}},
    {"221", "Alíquota fixa proporcional", Ibs},
    {"400", "Isenção", {}},
    {"410", "Imunidade e não incidência", {}},
    {"510", "Diferimento", Ibs + QStringList{"ind_gDif"}},
    {"515", "Diferimento com redução de alíquota", Ibs + QStringList{"ind_gDif", "ind_gRed"}},
    {"550", "Suspensão", Ibs},
    {"620", "Tributação monofásica", {"ind_gIBSCBSMono"}},
    {"800", "Transferência de crédito", {"ind_gTransfCred"}},
    {"810", "Ajuste de IBS na ZFM", {"ind_gCredPresIBSZFM"}},
    {"811", "Ajustes", {"ind_gAjusteCompet"}},
    {"820", "Tributação em declaração de regime específico", {}},
    {"830", "Exclusão de base de cálculo", Ibs},
};

QString Linha(const Situacao &s) {
    QStringList valores = {s.cod, QStringLiteral("'%1'").arg(QString::fromUtf8(s.nme)), "3"};
    for (const QString &indicador : Indicadores)
        valores << (s.sim.contains(indicador) ? QStringLiteral("'Sim'") : QStringLiteral("'Não'"));
    return QLatin1Char('(') + valores.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString Insert_Esperado() {
    const QStringList colunas = QStringList{"COD", "NME", "RGT_COD"} + Indicadores;
    QString sql = QStringLiteral("INSERT ALL INTO CST_IBS_CBS (") + colunas.join(", ") +
                  QStringLiteral(") VALUES ") + Linha(Situacoes[0]);
    for (size_t i = 1; i < Situacoes.size(); ++i)
        sql += QStringLiteral(" INTO CST_IBS_CBS VALUES ") + Linha(Situacoes[i]);
    return sql + QStringLiteral(" SELECT * FROM dual");
}

QString Definicoes_Esperadas() {
    QStringList definicoes = {"\"COD\" NUMBER(3,0)", "\"NME\" VARCHAR2(45 BYTE)",
                              "\"RGT_COD\" NUMBER(5,0)"};
    for (const QString &indicador : Indicadores)
        definicoes << QStringLiteral("\"%1\" VARCHAR2(3 BYTE)").arg(indicador.toUpper());
    return definicoes.join(QStringLiteral(", "));
}

TEST(ReleaseInterna, CarriesVersion1From18WithOnlyGroups05And09) {
    const TRelease r = Carrega_Release_Interna();
    EXPECT_EQ(r.Ver_Dad_Fut, 1);
    EXPECT_TRUE(r.Usa_Ver_Exi);
    EXPECT_EQ(r.Ver_Exi, 18);
    for (int grupo = 1; grupo <= 22; ++grupo)
        EXPECT_EQ(r.Ligado(grupo), grupo == 5 || grupo == 9) << "grupo " << grupo;

    ASSERT_EQ(r.Grupo_05.Entradas.size(), 1u);
    const TEntrada_05 *tabela = r.Grupo_05.Entrada(1);
    ASSERT_NE(tabela, nullptr);
    EXPECT_EQ(tabela->Tabela, "CST_IBS_CBS");
    EXPECT_EQ(tabela->Chaves, "COD");
    EXPECT_EQ(tabela->Definicoes, Definicoes_Esperadas());

    ASSERT_EQ(r.Grupo_09.Entradas.size(), 1u);
    const TEntrada_09 *insert = r.Grupo_09.Entrada(1);
    ASSERT_NE(insert, nullptr);
    EXPECT_EQ(insert->Comando, Insert_Esperado());
    // The rows in the table's order: 222 before 221.
    QStringList codigos;
    for (const QString &parte : insert->Comando.split(QStringLiteral("VALUES (")).mid(1))
        codigos << parte.left(3);
    EXPECT_EQ(codigos.join(' '),
              "000 010 011 200 220 222 221 400 410 510 515 550 620 800 810 811 820 830");
}

// ---------------------------------------------------------------------------
// A release that switches every group on, each field holding its own name, so a
// field read into the wrong member shows.

TEST(ReleaseArquivo, ReadsEveryFieldOfEveryGroupIntoItsMember) {
    const TRelease r = Carrega_Release(
        testsupport::SourcePath(QStringLiteral("tests/update/data/todos_grupos.json")));
    EXPECT_EQ(r.Ver_Dad_Fut, 42);
    EXPECT_FALSE(r.Usa_Ver_Exi);
    EXPECT_EQ(r.Ver_Exi, -1);
    for (int grupo = 1; grupo <= 22; ++grupo)
        EXPECT_TRUE(r.Ligado(grupo)) << "grupo " << grupo;
    EXPECT_FALSE(r.Ligado(0));
    EXPECT_FALSE(r.Ligado(23));

    const auto &e01 = r.Grupo_01.Entradas.at(1);
    const auto &e02 = r.Grupo_02.Entradas.at(1);
    const auto &e03 = r.Grupo_03.Entradas.at(1);
    const auto &e04 = r.Grupo_04.Entradas.at(1);
    const auto &e05 = r.Grupo_05.Entradas.at(37);
    const auto &e06 = r.Grupo_06.Entradas.at(1);
    const auto &e07 = r.Grupo_07.Entradas.at(1);
    const auto &e08 = r.Grupo_08.Entradas.at(1);
    const auto &e12 = r.Grupo_12.Entradas.at(1);
    const auto &e15 = r.Grupo_15.Entradas.at(1);
    const auto &e16 = r.Grupo_16.Entradas.at(1);
    const std::vector<std::pair<QString, QString>> textos = {
        {e01.Tabela_Antiga, "01.tabela_antiga"},
        {e01.Tabela_Nova, "01.tabela_nova"},
        {e01.Chaves, "01.chaves"},
        {e02.Sequencia_Antiga, "02.sequencia_antiga"},
        {e02.Sequencia_Nova, "02.sequencia_nova"},
        {e03.Tabela, "03.tabela"},
        {e03.Campo_Antigo, "03.campo_antigo"},
        {e03.Campo_Novo, "03.campo_novo"},
        {e03.Chaves, "03.chaves"},
        {e04.Tabela, "04.tabela"},
        {e04.Campo, "04.campo"},
        {e04.Chaves, "04.chaves"},
        {e04.Tipo_Antigo, "04.tipo_antigo"},
        {e04.Tamanho_Antigo, "04.tamanho_antigo"},
        {e04.Tipo_Novo, "04.tipo_novo"},
        {e04.Tamanho_Novo, "04.tamanho_novo"},
        {e05.Tabela, "05.tabela"},
        {e05.Definicoes, "05.definicoes"},
        {e05.Chaves, "05.chaves"},
        {e06.Tabela, "06.tabela"},
        {e06.Campo, "06.campo"},
        {e06.Sequencia, "06.sequencia"},
        {e07.Tabela, "07.tabela"},
        {e07.Campo, "07.campo"},
        {e07.Tipo, "07.tipo"},
        {e07.Tamanho, "07.tamanho"},
        {e07.Valor, "07.valor"},
        {e08.Tabela, "08.tabela"},
        {e08.Definicoes, "08.definicoes A, B"}, // a list of lines joined with one blank
        {e08.Campos, "08.campos"},
        {e08.Chaves, "08.chaves"},
        {r.Grupo_09.Entradas.at(1).Comando, "09.comando"},
        {r.Grupo_10.Entradas.at(1).Tabela, "10.tabela"},
        {r.Grupo_11.Entradas.at(1).Sequencia, "11.sequencia"},
        {e12.Tabela, "12.tabela"},
        {e12.Campo, "12.campo"},
        {r.Grupo_14.Entradas.at(1).Arquivo, "14.arquivo"},
        {e15.Pasta, "C:\\Dados\\"},
        {e15.Fragmento, "15.fragmento"},
        {e15.Marcador, "15.marcador"},
        {e15.Acrescimo, "15.acrescimo"},
        {e16.Tabela, "16.tabela"},
        {e16.Campo_Chave, "16.campo_chave"},
        {e16.Campo_Texto, "16.campo_texto"},
        {e16.Filtro_Linhas, "16.filtro_linhas"},
        {e16.Texto_Antigo, "16.texto_antigo"},
        {e16.Texto_Novo, "16.texto_novo"},
        {e16.Filtro_Atualizacao, "16.filtro_atualizacao"},
        {r.Grupo_18.Entradas.at(1).Comando, "select 1 from dual"},
        {r.Grupo_21.Entradas.at(1).Fragmento, "21.fragmento"},
        {r.Grupo_07.Entradas.at(2).Valor, ""}, // an empty list is an empty text
    };
    for (const auto &[lido, esperado] : textos)
        EXPECT_EQ(lido, esperado);
    EXPECT_TRUE(e03.Chave);
    EXPECT_FALSE(r.Grupo_03.Entradas.at(2).Chave); // key columns may stay empty then
    EXPECT_FALSE(e04.Chave);
    EXPECT_EQ(r.Grupo_19.Entradas.at(1).Tela, 7);

    // Slots by number, in slot order; an empty slot has no entry.
    std::vector<int> numeros;
    for (const auto &[numero, entrada] : r.Grupo_01.Entradas)
        numeros.push_back(numero);
    EXPECT_EQ(numeros, (std::vector<int>{1, 100}));
    EXPECT_EQ(r.Grupo_01.Entrada(2), nullptr);
    EXPECT_EQ(r.Grupo_01.Entrada(100)->Tabela_Nova, "B");
}

// ---------------------------------------------------------------------------
// Refusals. Each case changes one thing in an otherwise valid release.

QJsonObject Valida() {
    QJsonObject grupos;
    for (int g = 1; g <= 22; ++g)
        grupos[QStringLiteral("%1").arg(g, 2, 10, QLatin1Char('0'))] =
            QJsonObject{{"ligado", false}};
    auto entrada = [](const QJsonObject &e) { return QJsonObject{{"1", e}}; };
    grupos["03"] = QJsonObject{{"ligado", true},
                               {"entradas", QJsonObject{{"2", QJsonObject{{"tabela", "T"},
                                                                          {"campo_antigo", "A"},
                                                                          {"campo_novo", "B"},
                                                                          {"chave", true},
                                                                          {"chaves", "A"}}}}}};
    grupos["05"] = QJsonObject{
        {"ligado", true},
        {"entradas",
         entrada({{"tabela", "T"}, {"definicoes", "\"A\" NUMBER(3,0)"}, {"chaves", "A"}})}};
    grupos["09"] =
        QJsonObject{{"ligado", true}, {"entradas", entrada({{"comando", "delete from T"}})}};
    grupos["10"] = QJsonObject{{"ligado", true}, {"entradas", entrada({{"tabela", "T"}})}};
    grupos["15"] = QJsonObject{
        {"ligado", true},
        {"entradas",
         entrada(
             {{"pasta", "C:\\D\\"}, {"fragmento", "X"}, {"marcador", "."}, {"acrescimo", "NEW"}})}};
    grupos["16"] = QJsonObject{{"ligado", true},
                               {"entradas", entrada({{"tabela", "T"},
                                                     {"campo_chave", "K"},
                                                     {"campo_texto", "X"},
                                                     {"filtro_linhas", "K > 0"},
                                                     {"texto_antigo", "a"},
                                                     {"texto_novo", "b"},
                                                     {"filtro_atualizacao", "K = 1"}})}};
    grupos["19"] = QJsonObject{{"ligado", true}, {"entradas", entrada({{"tela", 7}})}};
    return {{"ver_dad_fut", 1}, {"usa_ver_exi", true}, {"ver_exi", 18}, {"grupos", grupos}};
}

// Sets (or, with an undefined value, removes) the value at a path of keys.
void Poe(QJsonObject &objeto, const QStringList &caminho, const QJsonValue &valor) {
    if (caminho.size() == 1) {
        if (valor.isUndefined())
            objeto.remove(caminho[0]);
        else
            objeto[caminho[0]] = valor;
        return;
    }
    QJsonObject filho = objeto[caminho[0]].toObject();
    Poe(filho, caminho.mid(1), valor);
    objeto[caminho[0]] = filho;
}

QByteArray Texto(const QJsonObject &objeto) {
    return QJsonDocument(objeto).toJson(QJsonDocument::Compact);
}

// The message of the refusal, or "(aceita)" when the text loads.
QString Recusa(const QByteArray &json) {
    try {
        Le_Release(json, QStringLiteral("teste.json"));
    } catch (const platform::Exception &e) {
        return e.Message();
    }
    return QStringLiteral("(aceita)");
}

TEST(ReleaseRecusada, BaseOfTheCasesLoads) {
    EXPECT_EQ(Recusa(Texto(Valida())), "(aceita)");
}

struct Caso {
    QStringList caminho;
    QJsonValue valor; // undefined: remove the key
    const char *mensagem;
};

TEST(ReleaseRecusada, NamesGroupSlotAndField) {
    const QJsonValue fora(QJsonValue::Undefined);
    const QString p = QStringLiteral("Release \"teste.json\" recusada: ");
    const std::vector<Caso> casos = {
        // release level
        {{"ver_dad_fut"}, 0, "campo \"ver_dad_fut\": deve ser um número inteiro de 1 em diante."},
        {{"ver_dad_fut"}, 1.5, "campo \"ver_dad_fut\": deve ser um número inteiro."},
        {{"ver_dad_fut"}, "1", "campo \"ver_dad_fut\": deve ser um número inteiro."},
        {{"ver_exi"}, 3000000000.0, "campo \"ver_exi\": deve ser um número inteiro."},
        {{"ver_exi"}, fora, "campo \"ver_exi\": campo ausente."},
        {{"usa_ver_exi"}, 1, "campo \"usa_ver_exi\": deve ser true ou false."},
        {{"versao"}, 2, "campo \"versao\": campo desconhecido."},
        {{"grupos"}, QJsonArray(), "campo \"grupos\": deve ser um objeto."},
        // groups
        {{"grupos", "23"},
         QJsonObject{{"ligado", false}},
         "grupo \"23\": grupo desconhecido (os grupos vão de \"01\" a \"22\")."},
        {{"grupos", "5"},
         QJsonObject{{"ligado", false}},
         "grupo \"5\": grupo desconhecido (os grupos vão de \"01\" a \"22\")."},
        {{"grupos", "07"}, fora, "grupo 07: grupo ausente."},
        {{"grupos", "07"}, true, "grupo 07: deve ser um objeto."},
        {{"grupos", "07", "ligado"}, fora, "grupo 07, campo \"ligado\": campo ausente."},
        {{"grupos", "07", "ligado"},
         "false",
         "grupo 07, campo \"ligado\": deve ser true ou false."},
        {{"grupos", "07", "entrada"},
         QJsonObject(),
         "grupo 07, campo \"entrada\": campo desconhecido."},
        {{"grupos", "09", "entradas"},
         QJsonArray(),
         "grupo 09, campo \"entradas\": deve ser um objeto."},
        {{"grupos", "10", "ligado"},
         false,
         "grupo 10, entrada 1: o grupo está desligado e não pode ter entradas."},
        {{"grupos", "13", "entradas"},
         QJsonObject{{"4", QJsonObject()}},
         "grupo 13, entrada 4: o grupo 13 não recebe entradas."},
        {{"grupos", "20", "entradas"},
         QJsonObject{{"1", QJsonObject()}},
         "grupo 20, entrada 1: o grupo 20 não recebe entradas."},
        // slots
        {{"grupos", "10", "entradas", "0"},
         QJsonObject{{"tabela", "T"}},
         "grupo 10, entrada \"0\": número de entrada fora de 1 a 100."},
        {{"grupos", "10", "entradas", "101"},
         QJsonObject{{"tabela", "T"}},
         "grupo 10, entrada \"101\": número de entrada fora de 1 a 100."},
        {{"grupos", "10", "entradas", "01"},
         QJsonObject{{"tabela", "T"}},
         "grupo 10, entrada \"01\": número de entrada inválido (use 1 a 100)."},
        {{"grupos", "10", "entradas", "-1"},
         QJsonObject{{"tabela", "T"}},
         "grupo 10, entrada \"-1\": número de entrada inválido (use 1 a 100)."},
        {{"grupos", "10", "entradas", "1"}, "T", "grupo 10, entrada 1: deve ser um objeto."},
        // fields
        {{"grupos", "05", "entradas", "1", "chaves"},
         fora,
         "grupo 05, entrada 1, campo \"chaves\": campo ausente."},
        {{"grupos", "09", "entradas", "1", "tabela"},
         "T",
         "grupo 09, entrada 1, campo \"tabela\": campo desconhecido."},
        {{"grupos", "03", "entradas", "2", "chave"},
         "Sim",
         "grupo 03, entrada 2, campo \"chave\": deve ser true ou false."},
        {{"grupos", "10", "entradas", "1", "tabela"},
         5,
         "grupo 10, entrada 1, campo \"tabela\": deve ser um texto ou uma lista de textos."},
        {{"grupos", "09", "entradas", "1", "comando"},
         QJsonArray{"delete", 1},
         "grupo 09, entrada 1, campo \"comando\": o item 2 da lista deve ser um texto."},
        {{"grupos", "19", "entradas", "1", "tela"},
         "7",
         "grupo 19, entrada 1, campo \"tela\": deve ser um número inteiro."},
        {{"grupos", "19", "entradas", "1", "tela"},
         7.5,
         "grupo 19, entrada 1, campo \"tela\": deve ser um número inteiro."},
        {{"grupos", "19", "entradas", "1", "tela"},
         0,
         "grupo 19, entrada 1, campo \"tela\": deve ser um número inteiro de 1 em diante."},
        // texts that would build a broken statement or act on the wrong objects
        {{"grupos", "10", "entradas", "1", "tabela"},
         "",
         "grupo 10, entrada 1, campo \"tabela\": não pode ser vazio."},
        {{"grupos", "09", "entradas", "1", "comando"},
         QJsonArray(),
         "grupo 09, entrada 1, campo \"comando\": não pode ser vazio."},
        {{"grupos", "16", "entradas", "1", "filtro_linhas"},
         "  ",
         "grupo 16, entrada 1, campo \"filtro_linhas\": não pode ser vazio."},
        {{"grupos", "15", "entradas", "1", "pasta"},
         "C:\\D",
         "grupo 15, entrada 1, campo \"pasta\": deve terminar com \"\\\" ou \"/\"."},
        {{"grupos", "03", "entradas", "2", "chaves"},
         "",
         "grupo 03, entrada 2, campo \"chaves\": não pode ser vazio quando \"chave\" é true."},
    };
    for (const Caso &c : casos) {
        QJsonObject release = Valida();
        Poe(release, c.caminho, c.valor);
        EXPECT_EQ(Recusa(Texto(release)), p + QString::fromUtf8(c.mensagem))
            << c.caminho.join('/').toStdString();
    }
}

// A JSON reader keeps one value of a repeated key; the loader must see the repeat.
TEST(ReleaseRecusada, RepeatedKeysAtEveryLevel) {
    const QString p = QStringLiteral("Release \"teste.json\" recusada: ");
    const QString base = QString::fromUtf8(Texto(Valida()));
    struct Repeticao {
        const char *trecho;
        const char *repetido;
        const char *mensagem;
    };
    const std::vector<Repeticao> casos = {
        {"\"ver_exi\":18", "\"ver_exi\":18,\"ver_exi\":17",
         "campo \"ver_exi\": aparece mais de uma vez."},
        {"\"07\":{", "\"07\":{\"ligado\":false},\"07\":{", "grupo 07: aparece mais de uma vez."},
        {"\"ligado\":true", "\"ligado\":false,\"ligado\":true",
         "grupo 03, campo \"ligado\": aparece mais de uma vez."},
        {"\"1\":{\"tabela\":\"T\"}", "\"1\":{\"tabela\":\"T\"},\"1\":{\"tabela\":\"T\"}",
         "grupo 10, entrada 1: aparece mais de uma vez."},
        {"\"comando\":\"delete from T\"",
         "\"comando\":\"drop table T\",\"comando\":\"delete from T\"",
         "grupo 09, entrada 1, campo \"comando\": aparece mais de uma vez."},
        // the same key written with an escape is still the same key
        {"{\"tela\":7}", "{\"tela\":7,\"t\\u0065la\":8}",
         "grupo 19, entrada 1, campo \"tela\": aparece mais de uma vez."},
    };
    for (const Repeticao &c : casos) {
        ASSERT_TRUE(base.contains(c.trecho)) << c.trecho;
        QString texto = base;
        texto.replace(QString::fromUtf8(c.trecho), QString::fromUtf8(c.repetido));
        EXPECT_EQ(Recusa(texto.toUtf8()), p + QString::fromUtf8(c.mensagem)) << c.repetido;
    }

    // A key may repeat across objects (every group has "ligado"), and quotes,
    // braces and commas inside a text are not structure.
    QString texto = base;
    texto.replace("\"comando\":\"delete from T\"",
                  "\"comando\":\"delete from T where A = '{\\\"comando\\\":1,}' \"");
    EXPECT_EQ(Recusa(texto.toUtf8()), "(aceita)");
}

TEST(ReleaseRecusada, TextThatIsNotAReleaseObject) {
    const QString p = QStringLiteral("Release \"teste.json\" recusada: ");
    EXPECT_EQ(Recusa("[1, 2]"), p + "o conteúdo deve ser um objeto JSON.");
    // Syntax errors give the line and column; the reason in parentheses is the
    // JSON reader's own text.
    const QString erro = Recusa("{\n  \"ver_dad_fut\": 1,\n  \"ver_exi\" 18\n}");
    EXPECT_TRUE(erro.startsWith(p + "JSON mal formado na linha 3, coluna 13 ("))
        << erro.toStdString();
    EXPECT_TRUE(erro.endsWith(").")) << erro.toStdString();
}

TEST(ReleaseRecusada, FileIsNamedInTheMessage) {
    const QString arquivo =
        testsupport::SourcePath(QStringLiteral("tests/update/data/entrada_fora.json"));
    try {
        Carrega_Release(arquivo);
        FAIL() << "aceita";
    } catch (const platform::Exception &e) {
        EXPECT_EQ(e.Message(), "Release \"" + arquivo +
                                   "\" recusada: grupo 10, entrada \"101\": número de entrada "
                                   "fora de 1 a 100.");
    }
    const QString falta =
        testsupport::SourcePath(QStringLiteral("tests/update/data/nao_existe.json"));
    try {
        Carrega_Release(falta);
        FAIL() << "aceita";
    } catch (const platform::Exception &e) {
        EXPECT_TRUE(e.Message().startsWith("Release \"" + falta +
                                           "\" recusada: não foi possível ler o arquivo ("))
            << e.Message().toStdString();
    }
}

} // namespace
