#pragma once

// The release this build carries: the future data version, the version rule
// (`Usa_Ver_Exi`, `Ver_Exi`), a switch per operation group and the entries of
// each switched-on group by slot (1 to 100). The content is data, not code: a
// JSON file compiled in as a resource (update/release/atual.json, read as
// ":/release/atual.json"), or any other file of the same form given by path so
// that a release can be tried on a staging database first.
//
// Form of the file (UTF-8):
//
//   {
//     "ver_dad_fut": 1,           future data version, integer >= 1
//     "usa_ver_exi": true,        true: the schema must be exactly at ver_exi
//     "ver_exi": 18,              integer
//     "grupos": {                 all 22 groups, keyed "01" .. "22"
//       "05": {
//         "ligado": true,         the group's switch
//         "entradas": {           optional; slot ("1" .. "100") -> entry
//           "1": { "tabela": "CST_IBS_CBS", "definicoes": [...], "chaves": "COD" }
//         }
//       },
//       "13": { "ligado": false },
//       ...
//     }
//   }
//
// Entry fields by group (all texts unless marked):
//   01 tabela_antiga, tabela_nova, chaves
//   02 sequencia_antiga, sequencia_nova
//   03 tabela, campo_antigo, campo_novo, chave (true/false), chaves
//   04 tabela, campo, chave (true/false), chaves, tipo_antigo, tamanho_antigo,
//      tipo_novo, tamanho_novo
//   05 tabela, definicoes, chaves
//   06 tabela, campo, sequencia
//   07 tabela, campo, tipo, tamanho, valor
//   08 tabela, definicoes, campos, chaves
//   09 comando
//   10 tabela            11 sequencia           12 tabela, campo
//   14 arquivo           15 pasta, fragmento, marcador, acrescimo
//   16 tabela, campo_chave, campo_texto, filtro_linhas, texto_antigo, texto_novo,
//      filtro_atualizacao
//   18 comando           19 tela (integer >= 1)  21 fragmento
//   13, 17, 20 and 22 take no entries (group 20's screen list is kept apart).
//
// Texts: a text field is a JSON string or an array of strings; the loader joins
// the strings of an array with one blank between them and adds nothing else, so
// a long statement or column list can be written one clause or row per line and
// still yield exactly the text the database must receive. A line that should be
// followed by ", " therefore ends with "," and the next line starts with the next
// item.
//
// The loader refuses a malformed release, before anything reaches the database,
// with a platform::Exception whose message names the file and, where it applies,
// the group, the entry (slot) and the field. Refused:
// - text that is not JSON, a key that appears twice in the same object (a JSON
//   reader would silently keep one of them), a missing or unknown key at any level;
// - a value of the wrong type (integer, true/false, text or list of texts, object);
// - "ver_dad_fut" below 1, a group key other than "01".."22", a missing group,
//   a slot key other than a plain decimal 1..100;
// - entries for 13, 17, 20 or 22, and entries under a switched-off group (they
//   would never run; an entry parked under a switch that is off is far more often
//   a forgotten switch than an intention, so the release must say what it means);
// - an empty text where the group would build a broken statement or act on the
//   wrong objects: object names, definitions, statements, group 16's filters,
//   group 15's folder (which must also end with "\" or "/"), and the key columns
//   of 01, 05 and 08 (and of 03 and 04 when "chave" is true);
// - a screen number below 1.
// A switched-on group may have no entries: its slots only move the gauge.

#include <QString>
#include <map>

struct TEntrada_01 {
    QString Tabela_Antiga, Tabela_Nova, Chaves;
};
struct TEntrada_02 {
    QString Sequencia_Antiga, Sequencia_Nova;
};
struct TEntrada_03 {
    QString Tabela, Campo_Antigo, Campo_Novo;
    bool Chave = false;
    QString Chaves;
};
struct TEntrada_04 {
    QString Tabela, Campo;
    bool Chave = false;
    QString Chaves, Tipo_Antigo, Tamanho_Antigo, Tipo_Novo, Tamanho_Novo;
};
struct TEntrada_05 {
    QString Tabela, Definicoes, Chaves;
};
struct TEntrada_06 {
    QString Tabela, Campo, Sequencia;
};
struct TEntrada_07 {
    QString Tabela, Campo, Tipo, Tamanho, Valor;
};
struct TEntrada_08 {
    QString Tabela, Definicoes, Campos, Chaves;
};
struct TEntrada_09 {
    QString Comando;
};
struct TEntrada_10 {
    QString Tabela;
};
struct TEntrada_11 {
    QString Sequencia;
};
struct TEntrada_12 {
    QString Tabela, Campo;
};
struct TEntrada_14 {
    QString Arquivo;
};
struct TEntrada_15 {
    QString Pasta, Fragmento, Marcador, Acrescimo;
};
struct TEntrada_16 {
    QString Tabela, Campo_Chave, Campo_Texto, Filtro_Linhas, Texto_Antigo, Texto_Novo,
        Filtro_Atualizacao;
};
struct TEntrada_18 {
    QString Comando;
};
struct TEntrada_19 {
    int Tela = 0;
};
struct TEntrada_21 {
    QString Fragmento;
};

// A group with entries: its switch and its entries by slot, in slot order.
template <class TEntrada> struct TGrupo {
    bool Ligado = false;
    std::map<int, TEntrada> Entradas;

    // The entry of a slot, or nullptr when the slot is empty.
    const TEntrada *Entrada(int Slot) const {
        auto it = Entradas.find(Slot);
        return it == Entradas.end() ? nullptr : &it->second;
    }
};

// A group that takes no entries (13, 17, 20, 22): only its switch.
struct TGrupo_Sem_Entradas {
    bool Ligado = false;
};

struct TRelease {
    int Ver_Dad_Fut = 0;
    bool Usa_Ver_Exi = false;
    int Ver_Exi = 0;

    TGrupo<TEntrada_01> Grupo_01;
    TGrupo<TEntrada_02> Grupo_02;
    TGrupo<TEntrada_03> Grupo_03;
    TGrupo<TEntrada_04> Grupo_04;
    TGrupo<TEntrada_05> Grupo_05;
    TGrupo<TEntrada_06> Grupo_06;
    TGrupo<TEntrada_07> Grupo_07;
    TGrupo<TEntrada_08> Grupo_08;
    TGrupo<TEntrada_09> Grupo_09;
    TGrupo<TEntrada_10> Grupo_10;
    TGrupo<TEntrada_11> Grupo_11;
    TGrupo<TEntrada_12> Grupo_12;
    TGrupo_Sem_Entradas Grupo_13;
    TGrupo<TEntrada_14> Grupo_14;
    TGrupo<TEntrada_15> Grupo_15;
    TGrupo<TEntrada_16> Grupo_16;
    TGrupo_Sem_Entradas Grupo_17;
    TGrupo<TEntrada_18> Grupo_18;
    TGrupo<TEntrada_19> Grupo_19;
    TGrupo_Sem_Entradas Grupo_20;
    TGrupo<TEntrada_21> Grupo_21;
    TGrupo_Sem_Entradas Grupo_22;

    // The switch of group 1..22 (false for any other number).
    bool Ligado(int Grupo) const;
};

// Resource path of the release compiled into this build.
inline const QString Release_Interna = QStringLiteral(":/release/atual.json");

// The release compiled into this build.
TRelease Carrega_Release_Interna();

// A release file given by path (staging trials, tests).
TRelease Carrega_Release(const QString &Arquivo);

// A release from JSON text; Origem names the text in error messages.
TRelease Le_Release(const QByteArray &Json, const QString &Origem);
