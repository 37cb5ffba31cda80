#pragma once

// Data-dictionary checks and the fixed-shape DDL statements on which the
// operation groups are built. The update form inherits them, so the groups call
// them as the form's own methods; they need nothing of the form but the query
// components of the data module, so they also work without any window.
//
// Names are passed exactly as the dictionary stores them (upper case); nothing
// here upper-cases, trims or validates them. Look-ups quote the name as an SQL
// literal; DDL inserts it unchanged. Nothing here catches: a database failure
// reaches the calling group as a DatabaseError.

#include "common/Data_Module.h"

#include <QString>

class TMnt_Primitivas {
public:
    // Works on the given data module, or on the program's `dm` when none is given.
    explicit TMnt_Primitivas(Tdm *module = nullptr) : module_(module) {}
    virtual ~TMnt_Primitivas() = default;

    // Existence checks (fdqry_Funcao; the result set is left open).
    bool Existe_Tabela(const QString &Tabela);
    bool Existe_Campo(const QString &Tabela, const QString &Campo);
    bool Existe_Constraint(const QString &Tabela);
    bool Existe_Indice(const QString &Tabela);
    bool Existe_Sequencia(const QString &Sequencia);

    // DDL (fdqry_Funcao).
    void Cria_Tabela(const QString &Tabela, const QString &Campos);
    void Exclui_Tabela(const QString &Tabela);
    void Renomeia_Tabela(const QString &Antigo, const QString &Novo);
    void Renomeia_Sequencia(const QString &Antigo, const QString &Novo);
    void Cria_Chave_Primaria(const QString &Tabela, const QString &Chaves);
    void Exclui_Chave_Primaria(const QString &Tabela);
    void Exclui_Sequencia(const QString &Sequencia);
    void Renomeia_Campo(const QString &Tabela, const QString &Antigo, const QString &Novo);
    void Exclui_Campo(const QString &Tabela, const QString &Campo);

    // Runs a statement text unchanged (fdqry_Atualiza).
    void Executa_Sql(const QString &Sql);

protected:
    Tdm *Modulo() const;

private:
    bool Abre_Nao_Vazio(const QString &Sql);
    void Executa_Funcao(const QString &Sql);
    // True when a row of the result open on fdqry_Funcao has the field equal to the value.
    bool Tem_Linha(const QString &Campo, const QString &Valor);

    Tdm *module_;
};
