#include "update/Release.h"

#include "platform/Exception.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <optional>
#include <variant>
#include <vector>

// The resource lives in a static library: nothing would pull it into the program
// unless code that is linked registers it. Q_INIT_RESOURCE must stand outside any
// namespace.
static void Registra_Recurso_Release() {
    Q_INIT_RESOURCE(release);
}

namespace {

// Where a fault was found; empty parts are left out of the message. Group and slot
// hold the keys as written in the file.
struct Local {
    QString grupo, entrada, campo;
};

bool Chave_De_Grupo(const QString &chave) {
    if (chave.size() != 2 || !chave[0].isDigit() || !chave[1].isDigit())
        return false;
    const int n = chave.toInt();
    return n >= 1 && n <= 22;
}

// Slot keys are plain decimals 1..100: "1", "42", "100".
enum class Slot { Valido, Fora, Invalido };
Slot Classifica_Slot(const QString &chave, int *numero) {
    bool ok = false;
    const int n = chave.toInt(&ok);
    for (QChar c : chave)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            ok = false;
    if (!ok || chave.isEmpty() || (chave.size() > 1 && chave[0] == QLatin1Char('0')))
        return Slot::Invalido;
    *numero = n;
    return n >= 1 && n <= 100 ? Slot::Valido : Slot::Fora;
}

class Leitor {
public:
    explicit Leitor(const QString &origem) : origem_(origem) {}

    [[noreturn]] void Recusa(const Local &local, const QString &problema) const {
        QStringList partes;
        if (!local.grupo.isEmpty())
            partes << (Chave_De_Grupo(local.grupo)
                           ? QStringLiteral("grupo ") + local.grupo
                           : QStringLiteral("grupo \"%1\"").arg(local.grupo));
        if (!local.entrada.isEmpty()) {
            int n = 0;
            partes << (Classifica_Slot(local.entrada, &n) == Slot::Valido
                           ? QStringLiteral("entrada ") + local.entrada
                           : QStringLiteral("entrada \"%1\"").arg(local.entrada));
        }
        if (!local.campo.isEmpty())
            partes << QStringLiteral("campo \"%1\"").arg(local.campo);
        const QString onde = partes.join(QStringLiteral(", "));
        throw platform::Exception(
            QStringLiteral("Release \"%1\" recusada: %2%3.")
                .arg(origem_, onde.isEmpty() ? onde : onde + QStringLiteral(": "), problema));
    }

    // Keys outside the allowed set are refused, then each required key must be there.
    void Chaves(const QJsonObject &objeto, const QStringList &permitidas,
                const QStringList &obrigatorias, Local local) const {
        for (const QString &chave : objeto.keys()) {
            if (!permitidas.contains(chave)) {
                local.campo = chave;
                Recusa(local, QStringLiteral("campo desconhecido"));
            }
        }
        for (const QString &chave : obrigatorias) {
            if (!objeto.contains(chave)) {
                local.campo = chave;
                Recusa(local, QStringLiteral("campo ausente"));
            }
        }
    }

    int Inteiro(const QJsonValue &valor, const Local &local) const {
        const double d = valor.toDouble();
        if (!valor.isDouble() || d != std::trunc(d) || d < std::numeric_limits<int>::min() ||
            d > std::numeric_limits<int>::max())
            Recusa(local, QStringLiteral("deve ser um número inteiro"));
        return static_cast<int>(d);
    }

    bool Booleano(const QJsonValue &valor, const Local &local) const {
        if (!valor.isBool())
            Recusa(local, QStringLiteral("deve ser true ou false"));
        return valor.toBool();
    }

    // A string, or an array of strings joined with one blank.
    QString Texto(const QJsonValue &valor, const Local &local) const {
        if (valor.isString())
            return valor.toString();
        if (!valor.isArray())
            Recusa(local, QStringLiteral("deve ser um texto ou uma lista de textos"));
        QStringList linhas;
        const QJsonArray lista = valor.toArray();
        for (qsizetype i = 0; i < lista.size(); ++i) {
            if (!lista[i].isString())
                Recusa(local, QStringLiteral("o item %1 da lista deve ser um texto").arg(i + 1));
            linhas << lista[i].toString();
        }
        return linhas.join(QLatin1Char(' '));
    }

    QJsonObject Objeto(const QJsonValue &valor, const Local &local) const {
        if (!valor.isObject())
            Recusa(local, QStringLiteral("deve ser um objeto"));
        return valor.toObject();
    }

private:
    QString origem_;
};

// ---------------------------------------------------------------------------
// Repeated keys. QJsonDocument keeps only one value of a repeated key, so a
// release with a doubled field would load with one of its values silently lost.
// The text is scanned here, after QJsonDocument has accepted its syntax.

QString Decodifica_Chave(const QByteArray &literal) {
    if (!literal.contains('\\'))
        return QString::fromUtf8(literal.mid(1, literal.size() - 2));
    const QByteArray lista = '[' + literal + ']';
    return QJsonDocument::fromJson(lista).array().at(0).toString();
}

// The location of a repeated key from the keys that lead to it.
Local Local_Do_Caminho(const QStringList &caminho) {
    Local local;
    if (caminho.size() >= 2 && caminho[0] == QLatin1String("grupos")) {
        local.grupo = caminho[1];
        if (caminho.size() >= 4 && caminho[2] == QLatin1String("entradas")) {
            local.entrada = caminho[3];
            if (caminho.size() >= 5)
                local.campo = caminho.mid(4).join(QLatin1Char('/'));
        } else if (caminho.size() >= 3) {
            local.campo = caminho.mid(2).join(QLatin1Char('/'));
        }
    } else {
        local.campo = caminho.join(QLatin1Char('/'));
    }
    return local;
}

void Verifica_Chaves_Repetidas(const QByteArray &json, const Leitor &leitor) {
    struct Nivel {
        bool objeto;
        bool espera_chave;
        QString nome; // key under which this object or array stands in its parent
        QSet<QString> chaves;
    };
    QList<Nivel> pilha;
    QString ultima_chave;
    for (qsizetype i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (c == '"') {
            qsizetype fim = i + 1;
            while (fim < json.size() && json[fim] != '"')
                fim += json[fim] == '\\' ? 2 : 1;
            if (!pilha.isEmpty() && pilha.last().objeto && pilha.last().espera_chave) {
                const QString chave = Decodifica_Chave(json.mid(i, fim - i + 1));
                if (pilha.last().chaves.contains(chave)) {
                    QStringList caminho;
                    for (qsizetype n = 1; n < pilha.size(); ++n)
                        caminho << pilha[n].nome;
                    caminho << chave;
                    leitor.Recusa(Local_Do_Caminho(caminho),
                                  QStringLiteral("aparece mais de uma vez"));
                }
                pilha.last().chaves.insert(chave);
                pilha.last().espera_chave = false;
                ultima_chave = chave;
            }
            i = fim;
        } else if (c == '{' || c == '[') {
            const bool em_lista = !pilha.isEmpty() && !pilha.last().objeto;
            pilha.append({c == '{', c == '{', em_lista ? QString() : ultima_chave, {}});
        } else if (c == '}' || c == ']') {
            if (!pilha.isEmpty())
                pilha.removeLast();
        } else if (c == ',') {
            if (!pilha.isEmpty() && pilha.last().objeto)
                pilha.last().espera_chave = true;
        }
    }
}

// ---------------------------------------------------------------------------
// Entry fields.

enum class Regra {
    Livre,               // any text
    Preenchido,          // must not be empty or blank
    Pasta,               // not empty, ends with a path separator
    Preenchido_Se_Chave, // must not be empty when the entry's "chave" is true
};

template <class E> struct Campo {
    const char *nome;
    std::variant<QString E::*, bool E::*, int E::*> membro;
    Regra regra = Regra::Livre;
};

template <class E> using Campos = std::vector<Campo<E>>;

constexpr Regra Livre = Regra::Livre;
constexpr Regra Cheio = Regra::Preenchido;

const Campos<TEntrada_01> campos_01 = {
    {"tabela_antiga", &TEntrada_01::Tabela_Antiga, Cheio},
    {"tabela_nova", &TEntrada_01::Tabela_Nova, Cheio},
    {"chaves", &TEntrada_01::Chaves, Cheio},
};
const Campos<TEntrada_02> campos_02 = {
    {"sequencia_antiga", &TEntrada_02::Sequencia_Antiga, Cheio},
    {"sequencia_nova", &TEntrada_02::Sequencia_Nova, Cheio},
};
const Campos<TEntrada_03> campos_03 = {
    {"tabela", &TEntrada_03::Tabela, Cheio},
    {"campo_antigo", &TEntrada_03::Campo_Antigo, Cheio},
    {"campo_novo", &TEntrada_03::Campo_Novo, Cheio},
    {"chave", &TEntrada_03::Chave, Livre},
    {"chaves", &TEntrada_03::Chaves, Regra::Preenchido_Se_Chave},
};
const Campos<TEntrada_04> campos_04 = {
    {"tabela", &TEntrada_04::Tabela, Cheio},
    {"campo", &TEntrada_04::Campo, Cheio},
    {"chave", &TEntrada_04::Chave, Livre},
    {"chaves", &TEntrada_04::Chaves, Regra::Preenchido_Se_Chave},
    {"tipo_antigo", &TEntrada_04::Tipo_Antigo, Cheio},
    {"tamanho_antigo", &TEntrada_04::Tamanho_Antigo, Livre},
    {"tipo_novo", &TEntrada_04::Tipo_Novo, Cheio},
    {"tamanho_novo", &TEntrada_04::Tamanho_Novo, Cheio},
};
const Campos<TEntrada_05> campos_05 = {
    {"tabela", &TEntrada_05::Tabela, Cheio},
    {"definicoes", &TEntrada_05::Definicoes, Cheio},
    {"chaves", &TEntrada_05::Chaves, Cheio},
};
const Campos<TEntrada_06> campos_06 = {
    {"tabela", &TEntrada_06::Tabela, Cheio},
    {"campo", &TEntrada_06::Campo, Cheio},
    {"sequencia", &TEntrada_06::Sequencia, Cheio},
};
const Campos<TEntrada_07> campos_07 = {
    {"tabela", &TEntrada_07::Tabela, Cheio}, {"campo", &TEntrada_07::Campo, Cheio},
    {"tipo", &TEntrada_07::Tipo, Cheio},     {"tamanho", &TEntrada_07::Tamanho, Livre},
    {"valor", &TEntrada_07::Valor, Livre},
};
const Campos<TEntrada_08> campos_08 = {
    {"tabela", &TEntrada_08::Tabela, Cheio},
    {"definicoes", &TEntrada_08::Definicoes, Cheio},
    {"campos", &TEntrada_08::Campos, Cheio},
    {"chaves", &TEntrada_08::Chaves, Cheio},
};
const Campos<TEntrada_09> campos_09 = {{"comando", &TEntrada_09::Comando, Cheio}};
const Campos<TEntrada_10> campos_10 = {{"tabela", &TEntrada_10::Tabela, Cheio}};
const Campos<TEntrada_11> campos_11 = {{"sequencia", &TEntrada_11::Sequencia, Cheio}};
const Campos<TEntrada_12> campos_12 = {
    {"tabela", &TEntrada_12::Tabela, Cheio},
    {"campo", &TEntrada_12::Campo, Cheio},
};
const Campos<TEntrada_14> campos_14 = {{"arquivo", &TEntrada_14::Arquivo, Cheio}};
const Campos<TEntrada_15> campos_15 = {
    {"pasta", &TEntrada_15::Pasta, Regra::Pasta},
    {"fragmento", &TEntrada_15::Fragmento, Livre},
    {"marcador", &TEntrada_15::Marcador, Livre},
    {"acrescimo", &TEntrada_15::Acrescimo, Livre},
};
const Campos<TEntrada_16> campos_16 = {
    {"tabela", &TEntrada_16::Tabela, Cheio},
    {"campo_chave", &TEntrada_16::Campo_Chave, Cheio},
    {"campo_texto", &TEntrada_16::Campo_Texto, Cheio},
    {"filtro_linhas", &TEntrada_16::Filtro_Linhas, Cheio},
    {"texto_antigo", &TEntrada_16::Texto_Antigo, Livre},
    {"texto_novo", &TEntrada_16::Texto_Novo, Livre},
    {"filtro_atualizacao", &TEntrada_16::Filtro_Atualizacao, Cheio},
};
const Campos<TEntrada_18> campos_18 = {{"comando", &TEntrada_18::Comando, Cheio}};
const Campos<TEntrada_19> campos_19 = {{"tela", &TEntrada_19::Tela, Livre}};
const Campos<TEntrada_21> campos_21 = {{"fragmento", &TEntrada_21::Fragmento, Livre}};

template <class E>
E Le_Entrada(const Leitor &leitor, const QJsonObject &objeto, const Campos<E> &campos,
             Local local) {
    QStringList nomes;
    for (const auto &campo : campos)
        nomes << QString::fromLatin1(campo.nome);
    leitor.Chaves(objeto, nomes, nomes, local);

    E entrada{};
    for (const auto &campo : campos) {
        local.campo = QString::fromLatin1(campo.nome);
        const QJsonValue valor = objeto.value(local.campo);
        if (auto texto = std::get_if<QString E::*>(&campo.membro)) {
            const QString t = leitor.Texto(valor, local);
            if (t.trimmed().isEmpty() &&
                (campo.regra == Regra::Preenchido || campo.regra == Regra::Pasta))
                leitor.Recusa(local, QStringLiteral("não pode ser vazio"));
            if (campo.regra == Regra::Pasta && !t.endsWith(QLatin1Char('\\')) &&
                !t.endsWith(QLatin1Char('/')))
                leitor.Recusa(local, QStringLiteral("deve terminar com \"\\\" ou \"/\""));
            entrada.**texto = t;
        } else if (auto booleano = std::get_if<bool E::*>(&campo.membro)) {
            entrada.**booleano = leitor.Booleano(valor, local);
        } else if (auto inteiro = std::get_if<int E::*>(&campo.membro)) {
            const int n = leitor.Inteiro(valor, local);
            if (n < 1)
                leitor.Recusa(local, QStringLiteral("deve ser um número inteiro de 1 em diante"));
            entrada.**inteiro = n;
        }
    }
    // Key columns are needed only when the entry changes a key column.
    if constexpr (requires { entrada.Chave; }) {
        for (const auto &campo : campos) {
            if (campo.regra == Regra::Preenchido_Se_Chave && entrada.Chave &&
                (entrada.*std::get<QString E::*>(campo.membro)).trimmed().isEmpty()) {
                local.campo = QString::fromLatin1(campo.nome);
                leitor.Recusa(local, QStringLiteral("não pode ser vazio quando \"chave\" é true"));
            }
        }
    }
    return entrada;
}

// The switch and the "entradas" object of a group, checked for the rules that do
// not depend on the group's fields.
QJsonObject Le_Cabecalho(const Leitor &leitor, const QJsonObject &grupo, bool *ligado,
                         bool aceita_entradas, const Local &local) {
    leitor.Chaves(grupo, {QStringLiteral("ligado"), QStringLiteral("entradas")},
                  {QStringLiteral("ligado")}, local);
    *ligado = leitor.Booleano(grupo.value(QStringLiteral("ligado")),
                              {local.grupo, QString(), QStringLiteral("ligado")});
    QJsonObject entradas;
    if (grupo.contains(QStringLiteral("entradas")))
        entradas = leitor.Objeto(grupo.value(QStringLiteral("entradas")),
                                 {local.grupo, QString(), QStringLiteral("entradas")});
    for (const QString &slot : entradas.keys()) {
        int n = 0;
        switch (Classifica_Slot(slot, &n)) {
        case Slot::Invalido:
            leitor.Recusa({local.grupo, slot, QString()},
                          QStringLiteral("número de entrada inválido (use 1 a 100)"));
        case Slot::Fora:
            leitor.Recusa({local.grupo, slot, QString()},
                          QStringLiteral("número de entrada fora de 1 a 100"));
        case Slot::Valido:
            break;
        }
        if (!aceita_entradas)
            leitor.Recusa({local.grupo, slot, QString()},
                          QStringLiteral("o grupo %1 não recebe entradas").arg(local.grupo));
        if (!*ligado)
            leitor.Recusa({local.grupo, slot, QString()},
                          QStringLiteral("o grupo está desligado e não pode ter entradas"));
    }
    return entradas;
}

template <class E>
void Le_Grupo(const Leitor &leitor, const QJsonObject &grupo, TGrupo<E> &destino,
              const Campos<E> &campos, const Local &local) {
    const QJsonObject entradas = Le_Cabecalho(leitor, grupo, &destino.Ligado, true, local);
    for (const QString &slot : entradas.keys()) {
        const Local onde{local.grupo, slot, QString()};
        destino.Entradas[slot.toInt()] =
            Le_Entrada(leitor, leitor.Objeto(entradas.value(slot), onde), campos, onde);
    }
}

void Le_Grupo(const Leitor &leitor, const QJsonObject &grupo, TGrupo_Sem_Entradas &destino,
              const Local &local) {
    Le_Cabecalho(leitor, grupo, &destino.Ligado, false, local);
}

void Le_Grupo_Numero(const Leitor &leitor, int numero, const QJsonObject &g, TRelease &r) {
    const Local local{QStringLiteral("%1").arg(numero, 2, 10, QLatin1Char('0')), QString(),
                      QString()};
    switch (numero) {
    case 1:
        return Le_Grupo(leitor, g, r.Grupo_01, campos_01, local);
    case 2:
        return Le_Grupo(leitor, g, r.Grupo_02, campos_02, local);
    case 3:
        return Le_Grupo(leitor, g, r.Grupo_03, campos_03, local);
    case 4:
        return Le_Grupo(leitor, g, r.Grupo_04, campos_04, local);
    case 5:
        return Le_Grupo(leitor, g, r.Grupo_05, campos_05, local);
    case 6:
        return Le_Grupo(leitor, g, r.Grupo_06, campos_06, local);
    case 7:
        return Le_Grupo(leitor, g, r.Grupo_07, campos_07, local);
    case 8:
        return Le_Grupo(leitor, g, r.Grupo_08, campos_08, local);
    case 9:
        return Le_Grupo(leitor, g, r.Grupo_09, campos_09, local);
    case 10:
        return Le_Grupo(leitor, g, r.Grupo_10, campos_10, local);
    case 11:
        return Le_Grupo(leitor, g, r.Grupo_11, campos_11, local);
    case 12:
        return Le_Grupo(leitor, g, r.Grupo_12, campos_12, local);
    case 13:
        return Le_Grupo(leitor, g, r.Grupo_13, local);
    case 14:
        return Le_Grupo(leitor, g, r.Grupo_14, campos_14, local);
    case 15:
        return Le_Grupo(leitor, g, r.Grupo_15, campos_15, local);
    case 16:
        return Le_Grupo(leitor, g, r.Grupo_16, campos_16, local);
    case 17:
        return Le_Grupo(leitor, g, r.Grupo_17, local);
    case 18:
        return Le_Grupo(leitor, g, r.Grupo_18, campos_18, local);
    case 19:
        return Le_Grupo(leitor, g, r.Grupo_19, campos_19, local);
    case 20:
        return Le_Grupo(leitor, g, r.Grupo_20, local);
    case 21:
        return Le_Grupo(leitor, g, r.Grupo_21, campos_21, local);
    case 22:
        return Le_Grupo(leitor, g, r.Grupo_22, local);
    }
}

} // namespace

bool TRelease::Ligado(int Grupo) const {
    const bool *chaves[] = {
        &Grupo_01.Ligado, &Grupo_02.Ligado, &Grupo_03.Ligado, &Grupo_04.Ligado, &Grupo_05.Ligado,
        &Grupo_06.Ligado, &Grupo_07.Ligado, &Grupo_08.Ligado, &Grupo_09.Ligado, &Grupo_10.Ligado,
        &Grupo_11.Ligado, &Grupo_12.Ligado, &Grupo_13.Ligado, &Grupo_14.Ligado, &Grupo_15.Ligado,
        &Grupo_16.Ligado, &Grupo_17.Ligado, &Grupo_18.Ligado, &Grupo_19.Ligado, &Grupo_20.Ligado,
        &Grupo_21.Ligado, &Grupo_22.Ligado,
    };
    return Grupo >= 1 && Grupo <= 22 && *chaves[Grupo - 1];
}

TRelease Le_Release(const QByteArray &Json, const QString &Origem) {
    const Leitor leitor(Origem);

    QJsonParseError erro;
    const QJsonDocument documento = QJsonDocument::fromJson(Json, &erro);
    if (erro.error != QJsonParseError::NoError) {
        // The reader's offset lies just past the character it stumbled on.
        const QByteArray antes = Json.left(erro.offset);
        const qsizetype linha = antes.count('\n') + 1;
        const qsizetype coluna =
            std::max<qsizetype>(erro.offset - (antes.lastIndexOf('\n') + 1), 1);
        leitor.Recusa({}, QStringLiteral("JSON mal formado na linha %1, coluna %2 (%3)")
                              .arg(linha)
                              .arg(coluna)
                              .arg(erro.errorString()));
    }
    if (!documento.isObject())
        leitor.Recusa({}, QStringLiteral("o conteúdo deve ser um objeto JSON"));
    Verifica_Chaves_Repetidas(Json, leitor);

    const QJsonObject raiz = documento.object();
    const QStringList chaves = {QStringLiteral("ver_dad_fut"), QStringLiteral("usa_ver_exi"),
                                QStringLiteral("ver_exi"), QStringLiteral("grupos")};
    leitor.Chaves(raiz, chaves, chaves, {});

    TRelease release;
    const Local ver_dad_fut{QString(), QString(), QStringLiteral("ver_dad_fut")};
    release.Ver_Dad_Fut = leitor.Inteiro(raiz.value(ver_dad_fut.campo), ver_dad_fut);
    if (release.Ver_Dad_Fut < 1)
        leitor.Recusa(ver_dad_fut, QStringLiteral("deve ser um número inteiro de 1 em diante"));
    release.Usa_Ver_Exi = leitor.Booleano(raiz.value(QStringLiteral("usa_ver_exi")),
                                          {QString(), QString(), QStringLiteral("usa_ver_exi")});
    release.Ver_Exi = leitor.Inteiro(raiz.value(QStringLiteral("ver_exi")),
                                     {QString(), QString(), QStringLiteral("ver_exi")});

    const QJsonObject grupos = leitor.Objeto(raiz.value(QStringLiteral("grupos")),
                                             {QString(), QString(), QStringLiteral("grupos")});
    for (const QString &chave : grupos.keys())
        if (!Chave_De_Grupo(chave))
            leitor.Recusa({chave, QString(), QString()},
                          QStringLiteral("grupo desconhecido (os grupos vão de \"01\" a \"22\")"));
    for (int numero = 1; numero <= 22; ++numero) {
        const QString chave = QStringLiteral("%1").arg(numero, 2, 10, QLatin1Char('0'));
        if (!grupos.contains(chave))
            leitor.Recusa({chave, QString(), QString()}, QStringLiteral("grupo ausente"));
        const QJsonObject grupo = leitor.Objeto(grupos.value(chave), {chave, QString(), QString()});
        Le_Grupo_Numero(leitor, numero, grupo, release);
    }
    return release;
}

TRelease Carrega_Release(const QString &Arquivo) {
    QFile arquivo(Arquivo);
    if (!arquivo.open(QIODevice::ReadOnly))
        Leitor(Arquivo).Recusa(
            {}, QStringLiteral("não foi possível ler o arquivo (%1)").arg(arquivo.errorString()));
    return Le_Release(arquivo.readAll(), Arquivo);
}

TRelease Carrega_Release_Interna() {
    static std::once_flag registrado;
    std::call_once(registrado, Registra_Recurso_Release);
    return Carrega_Release(Release_Interna);
}
