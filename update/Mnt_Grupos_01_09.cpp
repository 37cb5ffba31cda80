// Entry steps of groups 01 to 09: renaming tables, sequences and columns, changing
// a column's type, creating tables and sequences, adding a column at the end of a
// table, rebuilding a table with a new column order, and fill statements.
//
// Every structural change is guarded by a look into the data dictionary where the
// group has a guard; where it has none, the statement is issued and a schema that
// is not in the state the entry expects fails loudly. Names are used exactly as
// the release writes them (upper case, as the dictionary stores them).

#include "common/Data_Module.h"
#include "common/Funcoes_Mensagem.h"
#include "platform/InputBlocker.h"
#include "update/Mnt.h"

#include <QLocale>

namespace {

// Fixed names: the copy column of group 04 and the holding table of group 08. A
// leftover of an earlier, interrupted run is dropped before use.
const QString Campo_Copia = QStringLiteral("OLD_CAMPO");
const QString Tabela_Temp = QStringLiteral("TMP");

// Replaces the SQL text of a query component with one statement and executes it.
void Executa(platform::db::Query &q, const QString &Sql) {
    q.SQL.Clear();
    q.SQL.Add(Sql);
    q.ExecSQL();
}

} // namespace

// Rename a table; its primary key is rebuilt under the new table's name.
void Tfrm_Mnt::Passo_01(const TEntrada_01 &Ent) {
    if (Existe_Constraint(Ent.Tabela_Antiga))
        Exclui_Chave_Primaria(Ent.Tabela_Antiga);
    if (Existe_Tabela(Ent.Tabela_Antiga))
        Renomeia_Tabela(Ent.Tabela_Antiga, Ent.Tabela_Nova);
    if (Existe_Tabela(Ent.Tabela_Nova))
        Cria_Chave_Primaria(Ent.Tabela_Nova, Ent.Chaves);
}

// Rename a sequence; a missing one is passed over.
void Tfrm_Mnt::Passo_02(const TEntrada_02 &Ent) {
    if (Existe_Sequencia(Ent.Sequencia_Antiga))
        Renomeia_Sequencia(Ent.Sequencia_Antiga, Ent.Sequencia_Nova);
}

// Rename a column. The old column is not looked for: when it is missing the
// rename fails and the run stops there.
void Tfrm_Mnt::Passo_03(const TEntrada_03 &Ent) {
    if (Ent.Chave) {
        if (Existe_Constraint(Ent.Tabela))
            Exclui_Chave_Primaria(Ent.Tabela);
        if (Existe_Tabela(Ent.Tabela)) {
            Renomeia_Campo(Ent.Tabela, Ent.Campo_Antigo, Ent.Campo_Novo);
            Cria_Chave_Primaria(Ent.Tabela, Ent.Chaves);
        }
    } else if (Existe_Tabela(Ent.Tabela)) {
        Renomeia_Campo(Ent.Tabela, Ent.Campo_Antigo, Ent.Campo_Novo);
    }
}

// Change a column's type and size: the values are parked in OLD_CAMPO, the column
// is emptied and altered, and the values come back cut to the new size.
void Tfrm_Mnt::Passo_04(const TEntrada_04 &Ent) {
    platform::db::Query &q = *Modulo()->fdqry_Atualiza;
    const QString &Tab = Ent.Tabela;

    if (Existe_Campo(Tab, Campo_Copia))
        Exclui_Campo(Tab, Campo_Copia);
    // Only the type written exactly "Date" goes without a size.
    if (Ent.Tipo_Antigo == QStringLiteral("Date"))
        Executa(q, QStringLiteral("alter table ") + Tab + QStringLiteral(" add ") + Campo_Copia +
                       QStringLiteral(" ") + Ent.Tipo_Antigo);
    else
        Executa(q, QStringLiteral("alter table ") + Tab + QStringLiteral(" add ") + Campo_Copia +
                       QStringLiteral(" ") + Ent.Tipo_Antigo + QStringLiteral(" (") +
                       Ent.Tamanho_Antigo + QStringLiteral(")"));
    Executa(q, QStringLiteral("update ") + Tab + QStringLiteral(" set ") + Campo_Copia +
                   QStringLiteral(" = ") + Ent.Campo);
    if (Ent.Chave && Existe_Constraint(Tab))
        Exclui_Chave_Primaria(Tab);
    Executa(q, QStringLiteral("update ") + Tab + QStringLiteral(" set ") + Ent.Campo +
                   QStringLiteral(" = null"));
    Executa(q, QStringLiteral("alter table ") + Tab + QStringLiteral(" modify ") + Ent.Campo +
                   QStringLiteral(" ") + Ent.Tipo_Novo + QStringLiteral(" (") + Ent.Tamanho_Novo +
                   QStringLiteral(")"));
    // A size such as 12,2 becomes the length argument 12.2.
    QString Comprimento = Ent.Tamanho_Novo;
    Comprimento.replace(QLatin1Char(','), QLatin1Char('.'));
    Executa(q, QStringLiteral("update ") + Tab + QStringLiteral(" set ") + Ent.Campo +
                   QStringLiteral(" = substr(") + Campo_Copia + QStringLiteral(",1,") +
                   Comprimento + QStringLiteral(")"));
    if (Existe_Campo(Tab, Campo_Copia))
        Exclui_Campo(Tab, Campo_Copia);
    if (Ent.Chave)
        Cria_Chave_Primaria(Tab, Ent.Chaves);
}

// Create a table with its primary key; a table of that name is dropped first,
// rows and all.
void Tfrm_Mnt::Passo_05(const TEntrada_05 &Ent) {
    if (Existe_Tabela(Ent.Tabela))
        Exclui_Tabela(Ent.Tabela);
    Cria_Tabela(Ent.Tabela, Ent.Definicoes);
    Cria_Chave_Primaria(Ent.Tabela, Ent.Chaves);
}

// Create a sequence that continues a key column. It starts at the column's
// current maximum (1 on an empty column): the business system's callers count on
// that value. Without the table the operator is told at once, the run is marked
// failed and the group goes on with its next entry.
void Tfrm_Mnt::Passo_06(const TEntrada_06 &Ent) {
    platform::db::Query &q = *Modulo()->fdqry_Funcao;

    if (!Existe_Tabela(Ent.Tabela)) {
        Erro = true;
        platform::InputBlocker::Block(false);
        const QLocale Local;
        Mensagem(248, QStringLiteral("SEQUÊNCIA\r\n\r\nNão foi possível criar a sequência \"") +
                          Local.toUpper(Ent.Sequencia) + QStringLiteral("\".\r\n\r\n") +
                          QStringLiteral("Crie primeiro a tabela \"") + Local.toUpper(Ent.Tabela) +
                          QStringLiteral("\"!"));
        return;
    }

    q.SQL.Clear();
    q.SQL.Add(QStringLiteral("select max(") + Ent.Campo + QStringLiteral(") as ") + Ent.Campo +
              QStringLiteral(" from ") + Ent.Tabela);
    q.Open();
    const platform::db::Field Maximo = q.FieldByName(Ent.Campo);
    const qint64 Inicio = Maximo.IsNull() ? 1 : Maximo.AsInteger();

    if (Existe_Sequencia(Ent.Sequencia))
        Exclui_Sequencia(Ent.Sequencia);
    Executa(q, QStringLiteral(" create sequence ") + Ent.Sequencia +
                   QStringLiteral(" increment by 1 start with ") + QString::number(Inicio) +
                   QStringLiteral(" nocache order "));
}

// Add a column at the end of a table and fill every row with the value. A column
// of that name is dropped first, data and all.
void Tfrm_Mnt::Passo_07(const TEntrada_07 &Ent) {
    platform::db::Query &q = *Modulo()->fdqry_Atualiza;

    if (Existe_Campo(Ent.Tabela, Ent.Campo))
        Exclui_Campo(Ent.Tabela, Ent.Campo);
    if (Ent.Tipo.toUpper() == QStringLiteral("DATE"))
        Executa(q, QStringLiteral("alter table ") + Ent.Tabela + QStringLiteral(" add ") +
                       Ent.Campo + QStringLiteral(" ") + Ent.Tipo);
    else
        Executa(q, QStringLiteral("alter table ") + Ent.Tabela + QStringLiteral(" add ") +
                       Ent.Campo + QStringLiteral(" ") + Ent.Tipo + QStringLiteral(" (") +
                       Ent.Tamanho + QStringLiteral(")"));
    if (!Ent.Valor.isEmpty())
        Executa(q, QStringLiteral("update ") + Ent.Tabela + QStringLiteral(" set ") + Ent.Campo +
                       QStringLiteral(" = ") + QuotedStr(Ent.Valor));
}

// Rebuild a table with a new column order: the old table is parked as TMP, the
// new one created and filled from it, TMP dropped and the key put back. Without
// the old table the copy fails, as there is no TMP to copy from.
void Tfrm_Mnt::Passo_08(const TEntrada_08 &Ent) {
    if (Existe_Tabela(Tabela_Temp))
        Exclui_Tabela(Tabela_Temp);
    if (Existe_Constraint(Ent.Tabela))
        Exclui_Chave_Primaria(Ent.Tabela);
    if (Existe_Tabela(Ent.Tabela))
        Renomeia_Tabela(Ent.Tabela, Tabela_Temp);
    Cria_Tabela(Ent.Tabela, Ent.Definicoes);
    Executa(*Modulo()->fdqry_Atualiza,
            QStringLiteral("insert into ") + Ent.Tabela + QStringLiteral(" (") + Ent.Campos +
                QStringLiteral(") select ") + Ent.Campos + QStringLiteral(" from ") + Tabela_Temp);
    if (Existe_Tabela(Tabela_Temp))
        Exclui_Tabela(Tabela_Temp);
    Cria_Chave_Primaria(Ent.Tabela, Ent.Chaves);
}

// A fill statement, run as the release writes it.
void Tfrm_Mnt::Passo_09(const TEntrada_09 &Ent) {
    Executa_Sql(Ent.Comando);
}
