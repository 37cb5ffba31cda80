#include "update/Mnt_Primitivas.h"

#include "platform/Exception.h"

using platform::db::Query;

Tdm *TMnt_Primitivas::Modulo() const {
    Tdm *m = module_ ? module_ : dm;
    if (!m)
        throw platform::Exception(QStringLiteral("O módulo de dados não foi criado."));
    return m;
}

bool TMnt_Primitivas::Abre_Nao_Vazio(const QString &Sql) {
    Query &q = *Modulo()->fdqry_Funcao;
    q.SQL.Clear();
    q.SQL.Add(Sql);
    q.Open();
    return !q.IsEmpty();
}

void TMnt_Primitivas::Executa_Funcao(const QString &Sql) {
    Query &q = *Modulo()->fdqry_Funcao;
    q.SQL.Clear();
    q.SQL.Add(Sql);
    q.ExecSQL();
}

bool TMnt_Primitivas::Existe_Tabela(const QString &Tabela) {
    return Abre_Nao_Vazio(QStringLiteral("select TABLE_NAME from USER_TABLES where TABLE_NAME = ") +
                          QuotedStr(Tabela));
}

bool TMnt_Primitivas::Existe_Campo(const QString &Tabela, const QString &Campo) {
    bool result = false;
    Query &q = *Modulo()->fdqry_Funcao;
    q.SQL.Clear();
    q.SQL.Add(QStringLiteral("select COLUMN_NAME from USER_TAB_COLUMNS where TABLE_NAME = ") +
              QuotedStr(Tabela));
    q.Open();
    while (!q.Eof()) {
        result = q.FieldByName(QStringLiteral("COLUMN_NAME")).AsString() == Campo;
        if (result)
            break;
        q.Next();
    }
    return result;
}

bool TMnt_Primitivas::Existe_Constraint(const QString &Tabela) {
    return Abre_Nao_Vazio(
        QStringLiteral("select CONSTRAINT_NAME from USER_CONSTRAINTS where TABLE_NAME = ") +
        QuotedStr(Tabela));
}

bool TMnt_Primitivas::Existe_Indice(const QString &Tabela) {
    return Abre_Nao_Vazio(
        QStringLiteral("select INDEX_NAME from USER_INDEXES where TABLE_NAME = ") +
        QuotedStr(Tabela));
}

bool TMnt_Primitivas::Existe_Sequencia(const QString &Sequencia) {
    return Abre_Nao_Vazio(
        QStringLiteral("select SEQUENCE_NAME from USER_SEQUENCES where SEQUENCE_NAME = ") +
        QuotedStr(Sequencia));
}

void TMnt_Primitivas::Cria_Tabela(const QString &Tabela, const QString &Campos) {
    Executa_Funcao(QStringLiteral("create table ") + Tabela + QStringLiteral(" (") + Campos +
                   QStringLiteral(")"));
}

void TMnt_Primitivas::Exclui_Tabela(const QString &Tabela) {
    Executa_Funcao(QStringLiteral("drop table ") + Tabela + QStringLiteral(" purge"));
}

void TMnt_Primitivas::Renomeia_Tabela(const QString &Antigo, const QString &Novo) {
    Executa_Funcao(QStringLiteral("rename ") + Antigo + QStringLiteral(" to ") + Novo);
}

void TMnt_Primitivas::Renomeia_Sequencia(const QString &Antigo, const QString &Novo) {
    Executa_Funcao(QStringLiteral("rename ") + Antigo + QStringLiteral(" to ") + Novo);
}

void TMnt_Primitivas::Cria_Chave_Primaria(const QString &Tabela, const QString &Chaves) {
    // Two blanks before "primary key": the suffix part ends with one and the next
    // part begins with one.
    Executa_Funcao(QStringLiteral("alter table ") + Tabela + QStringLiteral(" add constraint ") +
                   Tabela + QStringLiteral("_PK ") + QStringLiteral(" primary key ") +
                   QStringLiteral("(") + Chaves + QStringLiteral(")"));
}

void TMnt_Primitivas::Exclui_Chave_Primaria(const QString &Tabela) {
    Executa_Funcao(QStringLiteral("alter table ") + Tabela + QStringLiteral(" drop constraint ") +
                   Tabela + QStringLiteral("_PK "));
    // Oracle drops the index that backed the constraint together with it. An index
    // of the key's name is left only when it existed before the constraint: drop
    // that one, and never fail on a table that merely has other indexes.
    if (Existe_Indice(Tabela) &&
        Tem_Linha(QStringLiteral("INDEX_NAME"), Tabela + QStringLiteral("_PK")))
        Executa_Funcao(QStringLiteral("drop index ") + Tabela + QStringLiteral("_PK "));
}

bool TMnt_Primitivas::Tem_Linha(const QString &Campo, const QString &Valor) {
    Query &q = *Modulo()->fdqry_Funcao;
    for (q.First(); !q.Eof(); q.Next()) {
        if (q.FieldByName(Campo).AsString() == Valor)
            return true;
    }
    return false;
}

void TMnt_Primitivas::Exclui_Sequencia(const QString &Sequencia) {
    Executa_Funcao(QStringLiteral("drop sequence ") + Sequencia);
}

void TMnt_Primitivas::Renomeia_Campo(const QString &Tabela, const QString &Antigo,
                                     const QString &Novo) {
    Executa_Funcao(QStringLiteral("alter table ") + Tabela + QStringLiteral(" rename column ") +
                   Antigo + QStringLiteral(" to ") + Novo);
}

void TMnt_Primitivas::Exclui_Campo(const QString &Tabela, const QString &Campo) {
    Executa_Funcao(QStringLiteral("alter table ") + Tabela + QStringLiteral(" drop column ") +
                   Campo);
}

void TMnt_Primitivas::Executa_Sql(const QString &Sql) {
    Query &q = *Modulo()->fdqry_Atualiza;
    q.SQL.Clear();
    q.SQL.Add(Sql);
    q.ExecSQL();
}
