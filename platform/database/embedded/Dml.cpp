// Queries and data changes: translated to SQLite with every value bound for a
// column passed through ORA_PUT, which applies the column's Oracle rules.

#include "platform/Exception.h"
#include "platform/database/embedded/Engine.h"
#include "platform/database/embedded/Translator.h"

namespace platform::db::embedded {

namespace {

[[noreturn]] void fail(const QString &text) {
    throw DatabaseError(text);
}

QString put(int id, const QString &value) {
    return QStringLiteral("ORA_PUT(%1, %2)").arg(value).arg(id);
}

} // namespace

QString Engine::shapeOf(const Tokens &t) {
    qsizetype size = 0;
    for (const Token &tok : t)
        size += tok.text.size() + 2;
    QString shape;
    shape.reserve(size);
    for (const Token &tok : t) {
        shape += QChar(u'0' + int(tok.kind));
        if (tok.kind == Token::Text)
            shape += tok.text.isEmpty() ? u'e' : u't'; // '' is NULL: another text
        else if (tok.kind != Token::Number)
            shape += tok.text;
        shape += QChar(0x1f);
    }
    return shape;
}

bool Engine::reuseTranslation(const QString &shape, const Tokens &t, QString &sql) {
    const auto cached = translations_.constFind(shape);
    if (cached == translations_.cend())
        return false;
    for (const ParamRecipe &r : cached->recipes)
        params_.push_back(Translator::paramValue(t[size_t(r.token)], r.source));
    params_.insert(params_.end(), cached->constants.begin(), cached->constants.end());
    putSpecs_ = cached->putSpecs;
    sql = cached->sql;
    return true;
}

void Engine::keepTranslation(QString shape, const QString &sql, const Translator &tr) {
    if (!tr.reusable())
        return;
    if (translations_.size() >= 500)
        translations_.clear();
    Translation kept{sql, tr.recipes(), {}, putSpecs_};
    kept.constants.assign(params_.begin() + qsizetype(tr.recipes().size()), params_.end());
    translations_.insert(std::move(shape), std::move(kept));
}

ResultSet Engine::select(const Tokens &t) {
    QString shape = shapeOf(t);
    QString sql;
    if (reuseTranslation(shape, t, sql))
        return query(sql, true, &params_);
    Translator tr(*this, t);
    sql = tr.query(0, int(t.size()));
    keepTranslation(std::move(shape), sql, tr);
    return query(sql, true, &params_);
}

namespace {

struct InsertTarget {
    QString table;
    QStringList columns; // as listed, or every column
    int next = 0;        // token after the target
};

} // namespace

// INTO name [alias] [(columns)] at i.
static InsertTarget readTarget(Engine &engine, Translator &tr, const Tokens &t, int i, int end) {
    InsertTarget target;
    target.table = tr.objectName(i, end);
    const Table *table = engine.table(target.table);
    if (!table)
        fail(QStringLiteral("ORA-00942: table or view does not exist"));
    if (i < end && t[size_t(i)].isName() && !t[size_t(i)].is("VALUES") &&
        !t[size_t(i)].is("SELECT") && !t[size_t(i)].is("INTO") && !t[size_t(i)].is("WITH"))
        ++i; // alias
    if (i < end && t[size_t(i)].isSymbol("(") &&
        !(i + 1 < end && (t[size_t(i + 1)].is("SELECT") || t[size_t(i + 1)].is("WITH")))) {
        const int close = matchingParen(t, i, end);
        if (close < 0)
            fail(QStringLiteral("ORA-00907: missing right parenthesis"));
        for (const auto &[b, e] : tr.splitCommas(i + 1, close)) {
            int k = b;
            if (e - b == 3 && t[size_t(b + 1)].isSymbol("."))
                k = b + 2; // T.C
            else if (e - b != 1)
                fail(QStringLiteral("ORA-00904: : invalid identifier"));
            if (!t[size_t(k)].isName())
                fail(QStringLiteral("ORA-00928: missing SELECT keyword"));
            const QString column = t[size_t(k)].text;
            if (table->columnIndex(column) < 0)
                fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(column));
            if (target.columns.contains(column))
                fail(QStringLiteral("ORA-00957: duplicate column name"));
            target.columns << column;
        }
        i = close + 1;
    } else {
        for (const Column &c : table->columns)
            target.columns << c.name;
    }
    target.next = i;
    return target;
}

// The SQLite insert for one target; `values` are the translated expressions in
// the order of target.columns. Columns left out take their default; NOT NULL ones
// without a default are passed NULL so that ORA-01400 is raised.
static QString insertText(Engine &engine, const InsertTarget &target, const QStringList &values,
                          QStringList *defaultsOut) {
    const Table *table = engine.table(target.table);
    QStringList names;
    QStringList exprs;
    for (int k = 0; k < target.columns.size(); ++k) {
        const Column &c = table->columns[size_t(table->columnIndex(target.columns[k]))];
        names << sqlName(c.name);
        exprs << put(engine.addPutSpec(table->name, c, false), values[k]);
    }
    for (const Column &c : table->columns) {
        if (target.columns.contains(c.name))
            continue;
        const int id = engine.addPutSpec(table->name, c, false);
        if (!c.defaultText.isEmpty()) {
            const Tokens dt = tokenize(c.defaultText);
            Translator tr(engine, dt);
            names << sqlName(c.name);
            exprs << put(id, tr.expression(0, int(dt.size())));
        } else if (engine.putSpec(id).column.notNull) {
            names << sqlName(c.name);
            exprs << put(id, QStringLiteral("NULL"));
        }
    }
    if (defaultsOut)
        *defaultsOut = exprs;
    return QStringLiteral("INSERT INTO %1 (%2) ")
        .arg(sqlName(table->name), names.join(QStringLiteral(", ")));
}

ResultSet Engine::insert(const Tokens &t) {
    const int end = int(t.size());
    if (end < 2 || !t[1].is("INTO"))
        fail(QStringLiteral("ORA-00925: missing INTO keyword"));
    QString shape = shapeOf(t);
    QString sql;
    if (reuseTranslation(shape, t, sql))
        return query(sql, false, &params_);
    Translator tr(*this, t);
    const InsertTarget target = readTarget(*this, tr, t, 2, end);
    int i = target.next;
    if (i >= end)
        fail(QStringLiteral("ORA-00926: missing VALUES keyword"));
    if (t[size_t(i)].is("VALUES")) {
        if (i + 1 >= end || !t[size_t(i + 1)].isSymbol("("))
            fail(QStringLiteral("ORA-00906: missing left parenthesis"));
        const int close = matchingParen(t, i + 1, end);
        if (close < 0)
            fail(QStringLiteral("ORA-00907: missing right parenthesis"));
        if (close != end - 1)
            fail(QStringLiteral("ORA-00933: SQL command not properly ended"));
        QStringList values;
        for (const auto &[b, e] : tr.splitCommas(i + 2, close)) {
            if (b >= e)
                fail(QStringLiteral("ORA-00936: missing expression"));
            values << tr.expression(b, e);
        }
        if (values.size() < target.columns.size())
            fail(QStringLiteral("ORA-00947: not enough values"));
        if (values.size() > target.columns.size())
            fail(QStringLiteral("ORA-00913: too many values"));
        QStringList exprs;
        const QString head = insertText(*this, target, values, &exprs);
        sql =
            head + QStringLiteral("VALUES (") + exprs.join(QStringLiteral(", ")) + QLatin1Char(')');
        keepTranslation(std::move(shape), sql, tr);
        return query(sql, false, &params_);
    }
    if (!(t[size_t(i)].is("SELECT") || t[size_t(i)].is("WITH") || t[size_t(i)].isSymbol("(")))
        fail(QStringLiteral("ORA-00926: missing VALUES keyword"));
    const QString source = tr.query(i, end);
    QStringList cols;
    QStringList values;
    for (int k = 0; k < target.columns.size(); ++k) {
        cols << QStringLiteral("c%1").arg(k + 1);
        values << QStringLiteral("c%1").arg(k + 1);
    }
    QStringList exprs;
    const QString head = insertText(*this, target, values, &exprs);
    return query(
        QStringLiteral("WITH _src(%1) AS (%2) ").arg(cols.join(QStringLiteral(", ")), source) +
            head + QStringLiteral("SELECT ") + exprs.join(QStringLiteral(", ")) +
            QStringLiteral(" FROM _src"),
        false, &params_);
}

ResultSet Engine::insertAll(const Tokens &t) {
    const int end = int(t.size());
    Translator tr(*this, t);
    int i = 2;
    struct Into {
        InsertTarget target;
        QStringList values;
    };
    std::vector<Into> intos;
    while (i < end && t[size_t(i)].is("INTO")) {
        Into into;
        into.target = readTarget(*this, tr, t, i + 1, end);
        i = into.target.next;
        if (i >= end || !t[size_t(i)].is("VALUES")) {
            fail(QStringLiteral("ORA-00926: missing VALUES keyword"));
        }
        if (i + 1 >= end || !t[size_t(i + 1)].isSymbol("("))
            fail(QStringLiteral("ORA-00906: missing left parenthesis"));
        const int close = matchingParen(t, i + 1, end);
        if (close < 0)
            fail(QStringLiteral("ORA-00907: missing right parenthesis"));
        for (const auto &[b, e] : tr.splitCommas(i + 2, close)) {
            if (b >= e)
                fail(QStringLiteral("ORA-00936: missing expression"));
            into.values << tr.expression(b, e);
        }
        if (into.values.size() < into.target.columns.size())
            fail(QStringLiteral("ORA-00947: not enough values"));
        if (into.values.size() > into.target.columns.size())
            fail(QStringLiteral("ORA-00913: too many values"));
        intos.push_back(std::move(into));
        i = close + 1;
    }
    if (intos.empty())
        fail(QStringLiteral("ORA-00925: missing INTO keyword"));
    if (i >= end || !(t[size_t(i)].is("SELECT") || t[size_t(i)].is("WITH")))
        fail(QStringLiteral("ORA-00928: missing SELECT keyword"));
    const QString source = tr.query(i, end);
    ResultSet total;
    for (const Into &into : intos) {
        QStringList exprs;
        const QString head = insertText(*this, into.target, into.values, &exprs);
        const ResultSet r = query(QStringLiteral("WITH _src AS (%1) ").arg(source) + head +
                                      QStringLiteral("SELECT ") + exprs.join(QStringLiteral(", ")) +
                                      QStringLiteral(" FROM _src"),
                                  false, &params_);
        total.rowsAffected += r.rowsAffected;
    }
    return total;
}

ResultSet Engine::updateOrDelete(const Tokens &t) {
    const int end = int(t.size());
    Translator tr(*this, t);
    const bool isUpdate = t[0].is("UPDATE");
    int i = 1;
    if (!isUpdate && i < end && t[size_t(i)].is("FROM"))
        ++i;
    const QString name = tr.objectName(i, end);
    const Table *table = this->table(name);
    if (!table)
        fail(QStringLiteral("ORA-00942: table or view does not exist"));
    QString alias;
    if (i < end && t[size_t(i)].isName() && !t[size_t(i)].is("SET") && !t[size_t(i)].is("WHERE"))
        alias = t[size_t(i++)].text;
    QString sql = (isUpdate ? QStringLiteral("UPDATE ") : QStringLiteral("DELETE FROM ")) +
                  sqlName(table->name);
    if (!alias.isEmpty())
        sql += QStringLiteral(" AS ") + sqlName(alias);
    if (isUpdate) {
        if (i >= end || !t[size_t(i)].is("SET"))
            fail(QStringLiteral("ORA-00971: missing SET keyword"));
        ++i;
        int where = tr.findTop(i, end, "WHERE");
        const int setEnd = where < 0 ? end : where;
        QStringList sets;
        for (const auto &[b, e] : tr.splitCommas(i, setEnd)) {
            int k = b;
            if (e - b >= 3 && t[size_t(b + 1)].isSymbol("."))
                k = b + 2;
            if (k >= e || !t[size_t(k)].isName() || k + 1 >= e || !t[size_t(k + 1)].isSymbol("="))
                fail(QStringLiteral("ORA-00927: missing equal sign"));
            const QString column = t[size_t(k)].text;
            const int index = table->columnIndex(column);
            if (index < 0)
                fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(column));
            if (k + 2 >= e)
                fail(QStringLiteral("ORA-00936: missing expression"));
            const int id = addPutSpec(table->name, table->columns[size_t(index)], true);
            sets << sqlName(column) + QStringLiteral(" = ") + put(id, tr.expression(k + 2, e));
        }
        sql += QStringLiteral(" SET ") + sets.join(QStringLiteral(", "));
        i = setEnd;
    }
    if (i < end) {
        if (!t[size_t(i)].is("WHERE"))
            fail(QStringLiteral("ORA-00933: SQL command not properly ended"));
        sql += QLatin1Char(' ') + tr.expression(i, end);
    }
    return query(sql, false, &params_);
}

} // namespace platform::db::embedded
