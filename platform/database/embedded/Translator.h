#pragma once

// Turns the tokens of Oracle queries and expressions into SQLite text: names
// quoted as Oracle folded them, functions mapped, '' as NULL, text compared with a
// DATE column read in the session date format, || that skips NULLs, real
// division, Oracle's NULL ordering and Oracle's result column names.

#include "platform/database/embedded/Engine.h"

namespace platform::db::embedded {

class Translator {
public:
    Translator(Engine &engine, const Tokens &tokens);

    // Literals go into the text instead of the engine's parameters (for texts run
    // without parameters, such as schema changes).
    void inlineLiterals() { inline_ = true; }

    QString query(int begin, int end);
    QString expression(int begin, int end);
    // How each parameter of the translated text was made from the statement's
    // literals; together with the text, enough to run the same statement shape
    // with other literals without translating it again.
    const std::vector<ParamRecipe> &recipes() const { return recipes_; }
    // False when a literal's value went into the text itself (an ORDER BY
    // position, a result column named after an expression with literals).
    bool reusable() const { return reusable_; }
    // The parameter made from the literal token `token` by `source`.
    static QVariant paramValue(const Token &token, ParamSource source);

    // Ranges separated by top-level commas.
    std::vector<std::pair<int, int>> splitCommas(int begin, int end) const;
    // Index of the first top-level word `word` in [begin, end), or -1.
    int findTop(int begin, int end, const char *word) const;
    // Reads [owner.]name at i; returns the name and moves i past it.
    QString objectName(int &i, int end) const;

private:
    struct Unit {
        QString sql;
        enum Kind { Operand, Operator, Keyword } kind = Operand;
        bool isText = false;
        QString textValue;
        bool isDateColumn = false;
        int token = 0;
        int param = -1; // index into the engine's parameters
    };

    QString simpleSelect(int begin, int end);
    QString orderBy(int begin, int end);
    QString name(const Token &t) const;
    bool isDateColumn(const QString &column) const;
    void convertDateLiteral(Unit &u);
    QString outputName(int begin, int end);

    Engine &engine_;
    const Tokens &t_;
    QString literal(Unit &u, ParamSource source, int token, const QString &inlineText);
    QSet<QString> dateColumns_;
    bool inline_ = false;
    int firstParam_ = 0; // the engine's parameters made before this translator
    std::vector<ParamRecipe> recipes_;
    bool reusable_ = true;
};

bool isKeyword(const QString &word);

} // namespace platform::db::embedded
