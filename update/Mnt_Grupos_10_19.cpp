// Entry steps of groups 10 to 19: removing tables, sequences and columns that are
// still there, deleting and renaming files, replacing text inside column values,
// running free statements and removing screens from the registry. Groups 13 and
// 17 have no entry step.

#include "common/Globais.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "update/Mnt.h"

#include <QLocale>
#include <QVariant>

namespace {

// The key value of the row just read, as it goes into the update's condition:
// numbers as they are, anything else as a quoted literal.
QString Valor_Chave(const platform::db::Field &Campo) {
    const QVariant Valor = Campo.Value();
    switch (Valor.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return Valor.toString();
    case QMetaType::Double:
        return QString::number(Valor.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        return QuotedStr(Campo.AsString());
    }
}

} // namespace

void Tfrm_Mnt::Passo_10(const TEntrada_10 &Ent) {
    if (Existe_Tabela(Ent.Tabela))
        Exclui_Tabela(Ent.Tabela);
}

void Tfrm_Mnt::Passo_11(const TEntrada_11 &Ent) {
    if (Existe_Sequencia(Ent.Sequencia))
        Exclui_Sequencia(Ent.Sequencia);
}

void Tfrm_Mnt::Passo_12(const TEntrada_12 &Ent) {
    if (Existe_Campo(Ent.Tabela, Ent.Campo))
        Exclui_Campo(Ent.Tabela, Ent.Campo);
}

// The entry names a file or a pattern; every match that is not a folder is
// deleted. Missing files and failed deletions are passed over. A support
// workstation never touches the files.
void Tfrm_Mnt::Passo_14(const TEntrada_14 &Ent) {
    if (Est_Sup)
        return;
    for (const platform::FoundEntry &Achado : platform::FindEntries(Ent.Arquivo)) {
        if (!Achado.folder)
            platform::RemoveFile(Achado.path);
    }
}

// Every entry of the folder whose name holds the fragment (folders too) is
// renamed: the name up to and including the first character of the first cut
// marker (found with case), then the appended text; without the marker, the
// appended text alone. All matches are listed before the first rename, so a
// renamed entry is never found and renamed again. A rename the system refuses
// (the new name exists, for one) is passed over.
void Tfrm_Mnt::Passo_15(const TEntrada_15 &Ent) {
    if (Est_Sup)
        return;
    const QString Padrao = Ent.Pasta + QStringLiteral("*") + Ent.Fragmento + QStringLiteral("*");
    for (const platform::FoundEntry &Achado : platform::FindEntries(Padrao)) {
        // An empty marker is never found (it would otherwise cut every name
        // after its first character).
        const qsizetype Indice = Ent.Marcador.isEmpty() ? -1 : Achado.name.indexOf(Ent.Marcador);
        const qsizetype Posicao = Indice < 0 ? 0 : Indice + 1;
        const QString Novo = Achado.name.left(Posicao) + Ent.Acrescimo;
        platform::RenameEntry(Ent.Pasta + Achado.name, Ent.Pasta + Novo);
    }
}

// Each row that holds the old text (in any case) gets its own value back with
// every occurrence replaced. The update names the row just read by its key
// besides the entry's filter, so no other row receives that row's text.
void Tfrm_Mnt::Passo_16(const TEntrada_16 &Ent) {
    Tdm *Modulo_Dados = Modulo();
    platform::db::Query &Linhas = *Modulo_Dados->fdqry_Funcao;
    Linhas.SQL.Clear();
    Linhas.SQL.Add(
        QStringLiteral("select ") + Ent.Campo_Chave + QStringLiteral(", ") + Ent.Campo_Texto +
        QStringLiteral(" from ") + Ent.Tabela + QStringLiteral(" where ") + Ent.Filtro_Linhas +
        QStringLiteral(" and upper(") + Ent.Campo_Texto + QStringLiteral(") like ") +
        QuotedStr(QStringLiteral("%") + QLocale().toUpper(Ent.Texto_Antigo) + QStringLiteral("%")) +
        QStringLiteral(" order by ") + Ent.Campo_Chave);
    Linhas.Open();
    platform::db::Query &Atualiza = *Modulo_Dados->fdqry_Atualiza;
    while (!Linhas.Eof()) {
        const platform::db::Field Texto = Linhas.FieldByName(Ent.Campo_Texto);
        const platform::db::Field Chave = Linhas.FieldByName(Ent.Campo_Chave);
        // A null text holds nothing to replace (the row query never returns one).
        if (!Texto.IsNull()) {
            // Without a key value the row cannot be singled out: refuse rather than
            // update nothing or the wrong rows.
            if (Chave.IsNull())
                throw platform::Exception(QStringLiteral("Linha de ") + Ent.Tabela +
                                          QStringLiteral(" sem valor em ") + Ent.Campo_Chave +
                                          QStringLiteral(": não é possível substituir o texto."));
            QString Novo_Valor = Texto.AsString();
            // An empty old text would be inserted between every character.
            if (!Ent.Texto_Antigo.isEmpty())
                Novo_Valor.replace(Ent.Texto_Antigo, Ent.Texto_Novo, Qt::CaseInsensitive);
            Atualiza.SQL.Clear();
            Atualiza.SQL.Add(QStringLiteral("update ") + Ent.Tabela + QStringLiteral(" set ") +
                             Ent.Campo_Texto + QStringLiteral(" = ") + QuotedStr(Novo_Valor) +
                             QStringLiteral(" where ") + Ent.Filtro_Atualizacao +
                             QStringLiteral(" and ") + Ent.Campo_Chave + QStringLiteral(" = ") +
                             Valor_Chave(Chave));
            Atualiza.ExecSQL();
        }
        Linhas.Next();
    }
}

void Tfrm_Mnt::Passo_18(const TEntrada_18 &Ent) {
    Executa_Sql(Ent.Comando);
}

// The screen's access rows go first, then the screen itself.
void Tfrm_Mnt::Passo_19(const TEntrada_19 &Ent) {
    const QString Numero = QuotedStr(QString::number(Ent.Tela));
    platform::db::Query &Atualiza = *Modulo()->fdqry_Atualiza;
    Atualiza.SQL.Clear();
    Atualiza.SQL.Add(QStringLiteral("delete from USU_ACE where TEL_NUM = ") + Numero);
    Atualiza.ExecSQL();
    Atualiza.SQL.Clear();
    Atualiza.SQL.Add(QStringLiteral("delete from TEL where NUM = ") + Numero);
    Atualiza.ExecSQL();
}
