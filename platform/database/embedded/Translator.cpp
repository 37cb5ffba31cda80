#include "platform/database/embedded/Translator.h"

#include "platform/Exception.h"
#include "platform/database/embedded/OracleValues.h"

namespace platform::db::embedded {

namespace {

[[noreturn]] void fail(const QString &text) {
    throw DatabaseError(text);
}

const QSet<QString> &keywords() {
    static const QSet<QString> set = [] {
        QSet<QString> s;
        for (const char *k :
             {"SELECT",   "FROM",  "WHERE",  "AND",     "OR",     "NOT",   "NULL",      "IS",
              "IN",       "LIKE",  "ESCAPE", "BETWEEN", "EXISTS", "ORDER", "BY",        "GROUP",
              "HAVING",   "ASC",   "DESC",   "AS",      "ON",     "JOIN",  "INNER",     "LEFT",
              "RIGHT",    "OUTER", "FULL",   "CROSS",   "UNION",  "ALL",   "INTERSECT", "MINUS",
              "DISTINCT", "CASE",  "WHEN",   "THEN",    "ELSE",   "END",   "SET",       "VALUES",
              "INTO",     "ANY",   "SOME",   "NULLS",   "UNIQUE", "PRIOR", "USING"})
            s.insert(QString::fromLatin1(k));
        return s;
    }();
    return set;
}

// Oracle functions and the SQLite functions that carry them out (registered by
// the engine where SQLite has none or behaves differently).
const QHash<QString, QString> &functions() {
    static const QHash<QString, QString> map = [] {
        QHash<QString, QString> m;
        for (const char *f :
             {"UPPER",    "LOWER",   "INITCAP",  "SUBSTR",    "INSTR", "LENGTH",  "NVL",  "NVL2",
              "DECODE",   "TO_CHAR", "TO_DATE",  "TO_NUMBER", "ROUND", "TRUNC",   "MOD",  "CEIL",
              "FLOOR",    "SIGN",    "POWER",    "LPAD",      "RPAD",  "REPLACE", "TRIM", "LTRIM",
              "RTRIM",    "ABS",     "COALESCE", "COUNT",     "SUM",   "MIN",     "MAX",  "AVG",
              "GREATEST", "LEAST",   "CHR",      "ASCII"})
            m.insert(QString::fromLatin1(f), QString::fromLatin1(f));
        m.insert(QStringLiteral("GREATEST"), QStringLiteral("ORA_GREATEST"));
        m.insert(QStringLiteral("LEAST"), QStringLiteral("ORA_LEAST"));
        m.insert(QStringLiteral("CHR"), QStringLiteral("CHAR"));
        m.insert(QStringLiteral("ASCII"), QStringLiteral("UNICODE"));
        return m;
    }();
    return map;
}

bool isComparison(const QString &op) {
    return op == QLatin1String("=") || op == QLatin1String("<>") || op == QLatin1String("<") ||
           op == QLatin1String(">") || op == QLatin1String("<=") || op == QLatin1String(">=");
}

} // namespace

bool isKeyword(const QString &word) {
    return keywords().contains(word);
}

Translator::Translator(Engine &engine, const Tokens &tokens)
    : engine_(engine), t_(tokens), firstParam_(int(engine.params().size())) {
    // The recipes are kept for statements whose parameters are all ours.
    reusable_ = firstParam_ == 0;
    for (const Token &tok : tokens) {
        if (!tok.isName())
            continue;
        if (const Table *table = engine_.table(tok.text)) {
            for (const Column &c : table->columns) {
                if (c.type == QLatin1String("DATE"))
                    dateColumns_.insert(c.name);
            }
        }
    }
}

bool Translator::isDateColumn(const QString &column) const {
    return dateColumns_.contains(column);
}

void Translator::convertDateLiteral(Unit &u) {
    if (!u.isText || u.textValue.isEmpty())
        return;
    if (u.param >= 0) {
        ParamRecipe &recipe = recipes_[size_t(u.param - firstParam_)];
        recipe.source = ParamSource::SessionDate;
        engine_.params()[size_t(u.param)] = paramValue(t_[size_t(recipe.token)], recipe.source);
    } else if (!isStoredDate(u.textValue)) {
        u.sql = sqlText(storeDate(parseDate(u.textValue, kSessionDateFormat)));
    }
}

QVariant Translator::paramValue(const Token &token, ParamSource source) {
    switch (source) {
    case ParamSource::Number: {
        bool whole = false;
        const qlonglong n = token.text.toLongLong(&whole);
        return whole ? QVariant(n) : QVariant(token.text.toDouble());
    }
    case ParamSource::SessionDate:
        if (isStoredDate(token.text))
            return token.text;
        return storeDate(parseDate(token.text, kSessionDateFormat));
    case ParamSource::IsoDate:
        return storeDate(parseDate(token.text, QStringLiteral("YYYY-MM-DD")));
    case ParamSource::Text:
        break;
    }
    return token.text;
}

// A literal becomes a numbered parameter, so that statements differing only in
// their literals share one prepared statement.
QString Translator::literal(Unit &u, ParamSource source, int token, const QString &inlineText) {
    if (inline_) {
        reusable_ = false;
        return inlineText;
    }
    auto &params = engine_.params();
    params.push_back(paramValue(t_[size_t(token)], source));
    recipes_.push_back({token, source});
    u.param = int(params.size() - 1);
    return QLatin1Char('?') + QString::number(params.size());
}

QString Translator::name(const Token &t) const {
    if (isHiddenName(t.text))
        fail(QStringLiteral("ORA-00942: table or view does not exist"));
    return sqlName(t.text);
}

std::vector<std::pair<int, int>> Translator::splitCommas(int begin, int end) const {
    std::vector<std::pair<int, int>> out;
    int depth = 0;
    int start = begin;
    for (int i = begin; i < end; ++i) {
        const Token &tok = t_[size_t(i)];
        if (tok.isSymbol("("))
            ++depth;
        else if (tok.isSymbol(")"))
            --depth;
        else if (depth == 0 && tok.isSymbol(",")) {
            out.emplace_back(start, i);
            start = i + 1;
        }
    }
    out.emplace_back(start, end);
    return out;
}

int Translator::findTop(int begin, int end, const char *word) const {
    int depth = 0;
    for (int i = begin; i < end; ++i) {
        const Token &tok = t_[size_t(i)];
        if (tok.isSymbol("("))
            ++depth;
        else if (tok.isSymbol(")"))
            --depth;
        else if (depth == 0 && tok.is(word))
            return i;
    }
    return -1;
}

QString Translator::objectName(int &i, int end) const {
    if (i >= end || !t_[size_t(i)].isName())
        fail(QStringLiteral("ORA-00903: invalid table name"));
    QString result = t_[size_t(i)].text;
    ++i;
    if (i + 1 < end && t_[size_t(i)].isSymbol(".") && t_[size_t(i + 1)].isName()) {
        if (result != engine_.owner())
            fail(QStringLiteral("ORA-00942: table or view does not exist"));
        result = t_[size_t(i + 1)].text;
        i += 2;
    }
    if (isHiddenName(result))
        fail(QStringLiteral("ORA-00942: table or view does not exist"));
    return result;
}

QString Translator::query(int begin, int end) {
    if (begin >= end)
        fail(QStringLiteral("ORA-00936: missing expression"));
    if (t_[size_t(begin)].is("WITH"))
        fail(QStringLiteral("ORA-00900: invalid SQL statement"));
    // Split off a trailing ORDER BY and the set operators at this level.
    int orderAt = -1;
    std::vector<std::pair<int, int>> parts;
    std::vector<QString> operators;
    int depth = 0;
    int start = begin;
    for (int i = begin; i < end; ++i) {
        const Token &tok = t_[size_t(i)];
        if (tok.isSymbol("("))
            ++depth;
        else if (tok.isSymbol(")")) {
            if (--depth < 0)
                fail(QStringLiteral("ORA-00933: SQL command not properly ended"));
        } else if (depth == 0 && (tok.is("UNION") || tok.is("MINUS") || tok.is("INTERSECT"))) {
            parts.emplace_back(start, i);
            if (tok.is("UNION") && i + 1 < end && t_[size_t(i + 1)].is("ALL")) {
                operators.push_back(QStringLiteral("UNION ALL"));
                ++i;
            } else {
                operators.push_back(tok.is("MINUS") ? QStringLiteral("EXCEPT") : tok.text);
            }
            start = i + 1;
        } else if (depth == 0 && tok.is("ORDER") && i + 1 < end && t_[size_t(i + 1)].is("BY")) {
            orderAt = i;
            break;
        }
    }
    parts.emplace_back(start, orderAt < 0 ? end : orderAt);
    QString out;
    for (size_t p = 0; p < parts.size(); ++p) {
        if (p > 0)
            out += QLatin1Char(' ') + operators[p - 1] + QLatin1Char(' ');
        const auto [b, e] = parts[p];
        if (b < e && t_[size_t(b)].isSymbol("(") && matchingParen(t_, b, e) == e - 1)
            out += QStringLiteral("SELECT * FROM (") + query(b + 1, e - 1) + QLatin1Char(')');
        else
            out += simpleSelect(b, e);
    }
    if (orderAt >= 0)
        out += QStringLiteral(" ORDER BY ") + orderBy(orderAt + 2, end);
    return out;
}

QString Translator::orderBy(int begin, int end) {
    QStringList items;
    for (const auto &[b, e] : splitCommas(begin, end)) {
        if (b >= e)
            fail(QStringLiteral("ORA-00936: missing expression"));
        bool hasNulls = false;
        bool descending = false;
        for (int i = b; i < e; ++i) {
            hasNulls = hasNulls || t_[size_t(i)].is("NULLS");
        }
        int exprEnd = e;
        if (hasNulls)
            exprEnd = findTop(b, e, "NULLS");
        if (t_[size_t(exprEnd - 1)].is("DESC") || t_[size_t(exprEnd - 1)].is("ASC")) {
            descending = t_[size_t(exprEnd - 1)].is("DESC");
            --exprEnd;
        }
        // Positions (order by 1) must stay literal.
        const bool wasInline = inline_;
        inline_ = true;
        QString item = expression(b, exprEnd);
        inline_ = wasInline;
        item += (descending ? QStringLiteral(" DESC") : QStringLiteral(" ASC"));
        if (hasNulls)
            item += QStringLiteral(" NULLS ") + t_[size_t(e - 1)].text;
        else
            item += descending ? QStringLiteral(" NULLS FIRST") : QStringLiteral(" NULLS LAST");
        items << item;
    }
    return items.join(QStringLiteral(", "));
}

QString Translator::outputName(int begin, int end) {
    QString out;
    for (int i = begin; i < end; ++i) {
        const Token &tok = t_[size_t(i)];
        if (tok.kind == Token::Text || tok.kind == Token::Number)
            reusable_ = false;
        if (tok.kind == Token::Text)
            out += QLatin1Char('\'') + tok.text.toUpper() + QLatin1Char('\'');
        else
            out += tok.text;
    }
    return out;
}

QString Translator::simpleSelect(int begin, int end) {
    if (begin >= end || !t_[size_t(begin)].is("SELECT"))
        fail(QStringLiteral("ORA-00928: missing SELECT keyword"));
    int i = begin + 1;
    QString out = QStringLiteral("SELECT ");
    if (i < end && (t_[size_t(i)].is("DISTINCT") || t_[size_t(i)].is("UNIQUE"))) {
        out += QStringLiteral("DISTINCT ");
        ++i;
    } else if (i < end && t_[size_t(i)].is("ALL")) {
        ++i;
    }
    const int from = findTop(i, end, "FROM");
    if (from < 0)
        fail(QStringLiteral("ORA-00923: FROM keyword not found where expected"));
    QStringList items;
    for (const auto &[b, e] : splitCommas(i, from)) {
        if (b >= e)
            fail(QStringLiteral("ORA-00936: missing expression"));
        const Token &last = t_[size_t(e - 1)];
        int exprEnd = e;
        QString alias;
        if (e - b >= 2 && last.isName() && !(last.kind == Token::Word && isKeyword(last.text))) {
            const Token &before = t_[size_t(e - 2)];
            if (before.is("AS")) {
                alias = last.text;
                exprEnd = e - 2;
            } else if (before.kind == Token::QuotedName || before.kind == Token::Text ||
                       before.kind == Token::Number || before.isSymbol(")") ||
                       (before.kind == Token::Word &&
                        (!isKeyword(before.text) || before.is("END")))) {
                alias = last.text;
                exprEnd = e - 1;
            }
        }
        QString item = expression(b, exprEnd);
        const bool plainColumn =
            (exprEnd - b == 1 && t_[size_t(b)].isName()) ||
            (exprEnd - b == 3 && t_[size_t(b)].isName() && t_[size_t(b + 1)].isSymbol(".") &&
             (t_[size_t(b + 2)].isName() || t_[size_t(b + 2)].isSymbol("*")) &&
             !t_[size_t(b + 2)].is("NEXTVAL") && !t_[size_t(b + 2)].is("CURRVAL"));
        const bool star = exprEnd - b == 1 && t_[size_t(b)].isSymbol("*");
        if (!alias.isEmpty())
            item += QStringLiteral(" AS ") + sqlName(alias);
        else if (!plainColumn && !star)
            item += QStringLiteral(" AS ") + sqlName(outputName(b, exprEnd));
        else if (plainColumn && exprEnd - b == 1 && t_[size_t(b)].is("SYSDATE"))
            item += QStringLiteral(" AS \"SYSDATE\"");
        items << item;
    }
    out += items.join(QStringLiteral(", "));
    out += QLatin1Char(' ') + expression(from, end);
    return out;
}

QString Translator::expression(int begin, int end) {
    std::vector<Unit> units;
    int i = begin;
    while (i < end) {
        const Token &tok = t_[size_t(i)];
        Unit u;
        u.token = i;
        if (tok.isSymbol("(")) {
            const int close = matchingParen(t_, i, end);
            if (close < 0)
                fail(QStringLiteral("ORA-00907: missing right parenthesis"));
            const bool sub =
                close > i + 1 && (t_[size_t(i + 1)].is("SELECT") || t_[size_t(i + 1)].is("WITH"));
            u.sql = QLatin1Char('(') + (sub ? query(i + 1, close) : expression(i + 1, close)) +
                    QLatin1Char(')');
            i = close + 1;
        } else if (tok.isSymbol(")")) {
            fail(QStringLiteral("ORA-00933: SQL command not properly ended"));
        } else if (tok.kind == Token::Text) {
            u.isText = true;
            u.textValue = tok.text;
            u.sql = tok.text.isEmpty() ? QStringLiteral("NULL")
                                       : literal(u, ParamSource::Text, i, sqlText(tok.text));
            ++i;
        } else if (tok.kind == Token::Number) {
            u.sql = literal(u, ParamSource::Number, i, tok.text);
            ++i;
        } else if (tok.kind == Token::Symbol) {
            u.kind = Unit::Operator;
            if (tok.text == QLatin1String("!=") || tok.text == QLatin1String("^="))
                u.sql = QStringLiteral("<>");
            else
                u.sql = tok.text;
            if (tok.text == QLatin1String("*") &&
                (units.empty() || units.back().kind != Unit::Operand))
                u.kind = Unit::Operand; // select * / count(*)
            ++i;
        } else if (tok.kind == Token::Word && isKeyword(tok.text)) {
            u.kind = Unit::Keyword;
            u.sql = tok.is("MINUS") ? QStringLiteral("EXCEPT") : tok.text;
            ++i;
        } else if (tok.is("SYSDATE")) {
            u.sql = QStringLiteral("ORA_SYSDATE()");
            ++i;
        } else if (tok.is("USER")) {
            u.sql = sqlText(engine_.owner());
            ++i;
        } else if (tok.is("DATE") && i + 1 < end && t_[size_t(i + 1)].kind == Token::Text) {
            u.sql = literal(
                u, ParamSource::IsoDate, i + 1,
                inline_ ? sqlText(paramValue(t_[size_t(i + 1)], ParamSource::IsoDate).toString())
                        : QString());
            i += 2;
        } else if (tok.kind == Token::Word && i + 1 < end && t_[size_t(i + 1)].isSymbol("(")) {
            const int close = matchingParen(t_, i + 1, end);
            if (close < 0)
                fail(QStringLiteral("ORA-00907: missing right parenthesis"));
            const auto f = functions().constFind(tok.text);
            if (f == functions().cend())
                fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(tok.text));
            const bool distinct = close > i + 2 && t_[size_t(i + 2)].is("DISTINCT");
            u.sql =
                *f + QLatin1Char('(') + (distinct ? QStringLiteral("DISTINCT ") : QString()) +
                (close > i + 2 + (distinct ? 1 : 0) ? expression(i + 2 + (distinct ? 1 : 0), close)
                                                    : QString()) +
                QLatin1Char(')');
            i = close + 1;
        } else if (tok.isName()) {
            QStringList parts{tok.text};
            int j = i + 1;
            while (j + 1 < end && t_[size_t(j)].isSymbol(".") &&
                   (t_[size_t(j + 1)].isName() || t_[size_t(j + 1)].isSymbol("*"))) {
                parts << t_[size_t(j + 1)].text;
                j += 2;
            }
            i = j;
            if (parts.size() >= 2 && (parts.last() == QLatin1String("NEXTVAL") ||
                                      parts.last() == QLatin1String("CURRVAL"))) {
                const QString seq = parts[parts.size() - 2];
                if (!engine_.sequenceExists(seq))
                    fail(QStringLiteral("ORA-02289: sequence does not exist"));
                u.sql =
                    (parts.last() == QLatin1String("NEXTVAL") ? QStringLiteral("ORA_NEXTVAL(")
                                                              : QStringLiteral("ORA_CURRVAL(")) +
                    sqlText(seq) + QLatin1Char(')');
            } else {
                if (parts.size() >= 3 && parts[0] == engine_.owner())
                    parts.removeFirst();
                QStringList quoted;
                for (const QString &p : parts) {
                    if (isHiddenName(p))
                        fail(QStringLiteral("ORA-00942: table or view does not exist"));
                    quoted << (p == QLatin1String("*") ? p : sqlName(p));
                }
                if (parts.size() == 2 && parts[0] == engine_.owner() && engine_.table(parts[1]))
                    quoted.removeFirst();
                u.sql = quoted.join(QLatin1Char('.'));
                u.isDateColumn = isDateColumn(parts.last());
            }
        } else {
            fail(QStringLiteral("ORA-00911: invalid character"));
        }
        units.push_back(std::move(u));
    }

    // Text compared with a DATE column is read in the session date format.
    for (size_t k = 0; k < units.size(); ++k) {
        const Unit &u = units[k];
        if (u.kind == Unit::Operator && isComparison(u.sql) && k > 0 && k + 1 < units.size()) {
            if (units[k - 1].isDateColumn)
                convertDateLiteral(units[k + 1]);
            else if (units[k + 1].isDateColumn)
                convertDateLiteral(units[k - 1]);
        } else if (u.kind == Unit::Keyword && u.sql == QLatin1String("BETWEEN") && k > 0 &&
                   k + 3 < units.size()) {
            if (units[k - 1].isDateColumn ||
                (k > 1 && units[k - 1].sql == QLatin1String("NOT") && units[k - 2].isDateColumn)) {
                convertDateLiteral(units[k + 1]);
                convertDateLiteral(units[k + 3]);
            }
        }
    }

    // a || b || c: NULL counts as empty text, an empty result is NULL.
    QString out;
    for (size_t k = 0; k < units.size(); ++k) {
        if (k + 2 < units.size() && units[k + 1].kind == Unit::Operator &&
            units[k + 1].sql == QLatin1String("||")) {
            QStringList operands{units[k].sql};
            size_t m = k + 1;
            while (m + 1 < units.size() && units[m].kind == Unit::Operator &&
                   units[m].sql == QLatin1String("||")) {
                operands << units[m + 1].sql;
                m += 2;
            }
            if (!out.isEmpty())
                out += QLatin1Char(' ');
            out += QStringLiteral("ORA_CONCAT(") + operands.join(QStringLiteral(", ")) +
                   QLatin1Char(')');
            k = m - 1;
            continue;
        }
        if (units[k].kind == Unit::Operator && units[k].sql == QLatin1String("||"))
            fail(QStringLiteral("ORA-00936: missing expression"));
        if (!out.isEmpty())
            out += QLatin1Char(' ');
        if (units[k].kind == Unit::Operator && units[k].sql == QLatin1String("/"))
            out += QStringLiteral("* 1.0 /"); // Oracle divides exactly, never in whole numbers
        else
            out += units[k].sql;
    }
    return out;
}

} // namespace platform::db::embedded
