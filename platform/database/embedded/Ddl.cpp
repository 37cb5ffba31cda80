// Schema changes: the catalogue in the hidden tables and the SQLite objects are
// changed together inside the statement's transaction.

#include "platform/Exception.h"
#include "platform/database/embedded/Engine.h"
#include "platform/database/embedded/OracleValues.h"
#include "platform/database/embedded/Translator.h"

#include <optional>

namespace platform::db::embedded {

namespace {

[[noreturn]] void fail(const QString &text) {
    throw DatabaseError(text);
}

const QString kEnd = QStringLiteral("ORA-00933: SQL command not properly ended");

QString family(const QString &type) {
    if (type == QLatin1String("VARCHAR2") || type == QLatin1String("CHAR"))
        return QStringLiteral("TEXT");
    return type;
}

int wholeNumber(const Token &t, const char *error) {
    bool ok = false;
    const int n = t.text.toInt(&ok);
    if (t.kind != Token::Number || !ok)
        fail(QString::fromLatin1(error));
    return n;
}

QString indexSqlName(const QString &name) {
    return sqlName(kHiddenPrefix + QStringLiteral("ix_") + name);
}

QString tokensText(const Tokens &t, int begin, int end) {
    QStringList parts;
    for (int i = begin; i < end; ++i) {
        const Token &tok = t[size_t(i)];
        if (tok.kind == Token::Text)
            parts << sqlText(tok.text);
        else if (tok.kind == Token::QuotedName)
            parts << sqlName(tok.text);
        else
            parts << tok.text;
    }
    return parts.join(QLatin1Char(' '));
}

// [CONSTRAINT name] PRIMARY KEY (columns) or UNIQUE (columns) over [b, e) of a
// create or alter table. The name, when given, goes to `name`; the key comes back
// when the range is one. `trailing` is the error for text after the column list.
std::optional<Constraint> keyClause(const Tokens &t, const Translator &tr, int b, int e,
                                    const QString &table, QString &name, const QString &trailing) {
    int k = b;
    if (k < e && t[size_t(k)].is("CONSTRAINT")) {
        if (k + 1 >= e || !t[size_t(k + 1)].isName())
            fail(QStringLiteral("ORA-00904: : invalid identifier"));
        name = t[size_t(k + 1)].text;
        k += 2;
    }
    const bool primary = k + 1 < e && t[size_t(k)].is("PRIMARY") && t[size_t(k + 1)].is("KEY");
    const bool unique = k < e && t[size_t(k)].is("UNIQUE");
    if (!primary && !unique)
        return std::nullopt;
    k += primary ? 2 : 1;
    if (k >= e || !t[size_t(k)].isSymbol("("))
        fail(QStringLiteral("ORA-00906: missing left parenthesis"));
    const int close = matchingParen(t, k, e);
    if (close < 0)
        fail(QStringLiteral("ORA-00907: missing right parenthesis"));
    if (close != e - 1)
        fail(trailing);
    QStringList columns;
    for (const auto &[cb, ce] : tr.splitCommas(k + 1, close)) {
        if (ce - cb != 1 || !t[size_t(cb)].isName())
            fail(QStringLiteral("ORA-00904: : invalid identifier"));
        columns << t[size_t(cb)].text;
    }
    return Constraint{name, table, QLatin1Char(primary ? 'P' : 'U'), columns, {}};
}

} // namespace

QString Engine::sqliteColumnType(const Column &c) const {
    return c.type == QLatin1String("NUMBER") ? QStringLiteral("NUMERIC") : QStringLiteral("TEXT");
}

void Engine::requireFreeObjectName(const QString &name) const {
    if (tables_.contains(name) || sequences_.contains(name) || isDictionaryView(name))
        fail(QStringLiteral("ORA-00955: name is already used by an existing object"));
    if (name.size() > 128)
        fail(QStringLiteral("ORA-00972: identifier is too long"));
}

Table &Engine::requireTable(const QString &name) {
    auto it = tables_.find(name);
    if (it == tables_.end())
        fail(QStringLiteral("ORA-00942: table or view does not exist"));
    return *it;
}

// type at i; returns the index after it.
int Engine::parseType(const Tokens &t, int i, int end, Column &c, bool inParens) {
    if (i >= end || t[size_t(i)].kind != Token::Word)
        fail(QStringLiteral("ORA-00902: invalid datatype"));
    const QString type = t[size_t(i)].text;
    ++i;
    const bool paren = i < end && t[size_t(i)].isSymbol("(");
    if (type == QLatin1String("NUMBER") || type == QLatin1String("NUMERIC") ||
        type == QLatin1String("DECIMAL")) {
        c.type = QStringLiteral("NUMBER");
        if (paren) {
            const int close = matchingParen(t, i, end);
            if (close < 0)
                fail(QStringLiteral("ORA-00907: missing right parenthesis"));
            int k = i + 1;
            if (k < close && t[size_t(k)].isSymbol("*")) {
                c.precision = -1;
                ++k;
            } else {
                c.precision = wholeNumber(t[size_t(k)], "ORA-00907: missing right parenthesis");
                if (c.precision < 1 || c.precision > 38)
                    fail(QStringLiteral(
                        "ORA-01727: numeric precision specifier is out of range (1 to 38)"));
                ++k;
            }
            c.scale = 0;
            if (k < close && t[size_t(k)].isSymbol(",")) {
                const Token &s = t[size_t(k + 1)];
                bool negative = false;
                if (s.isSymbol("-")) {
                    negative = true;
                    ++k;
                }
                c.scale = wholeNumber(t[size_t(k + 1)], "ORA-00907: missing right parenthesis") *
                          (negative ? -1 : 1);
                if (c.scale < -84 || c.scale > 127)
                    fail(QStringLiteral(
                        "ORA-01728: numeric scale specifier is out of range (-84 to 127)"));
                k += 2;
            }
            if (k != close)
                fail(QStringLiteral("ORA-00907: missing right parenthesis"));
            i = close + 1;
        }
    } else if (type == QLatin1String("INTEGER") || type == QLatin1String("INT") ||
               type == QLatin1String("SMALLINT")) {
        c.type = QStringLiteral("NUMBER");
        c.scale = 0;
    } else if (type == QLatin1String("VARCHAR2") || type == QLatin1String("VARCHAR") ||
               type == QLatin1String("CHAR") || type == QLatin1String("CHARACTER")) {
        const bool isChar = type == QLatin1String("CHAR") || type == QLatin1String("CHARACTER");
        c.type = isChar ? QStringLiteral("CHAR") : QStringLiteral("VARCHAR2");
        c.length = 1;
        if (!paren && !isChar)
            fail(QStringLiteral("ORA-00906: missing left parenthesis"));
        if (paren) {
            const int close = matchingParen(t, i, end);
            if (close < 0 || close < i + 2)
                fail(QStringLiteral("ORA-00907: missing right parenthesis"));
            c.length = wholeNumber(t[size_t(i + 1)], "ORA-00907: missing right parenthesis");
            int k = i + 2;
            if (k < close && (t[size_t(k)].is("BYTE") || t[size_t(k)].is("CHAR"))) {
                c.charSemantics = t[size_t(k)].is("CHAR");
                ++k;
            }
            if (k != close)
                fail(QStringLiteral("ORA-00907: missing right parenthesis"));
            if (c.length == 0)
                fail(QStringLiteral("ORA-01723: zero-length columns are not allowed"));
            if (c.length > (isChar ? 2000 : 4000))
                fail(QStringLiteral("ORA-00910: specified length too long for its datatype"));
            i = close + 1;
        }
    } else if (type == QLatin1String("DATE")) {
        c.type = QStringLiteral("DATE");
        if (paren)
            fail(inParens ? QStringLiteral("ORA-00907: missing right parenthesis")
                          : QStringLiteral("ORA-01735: invalid ALTER TABLE option"));
    } else {
        fail(QStringLiteral("ORA-00902: invalid datatype"));
    }
    return i;
}

// name type [DEFAULT expr] [[CONSTRAINT n] NOT NULL | NULL | PRIMARY KEY | UNIQUE]...
int Engine::parseColumn(const Tokens &t, int i, int end, Table &table,
                        std::vector<Constraint> &keys, bool alterAdd) {
    if (i >= end || !t[size_t(i)].isName() ||
        (t[size_t(i)].kind == Token::Word && isKeyword(t[size_t(i)].text)))
        fail(QStringLiteral("ORA-00904: : invalid identifier"));
    Column c;
    c.name = t[size_t(i)].text;
    if (table.columnIndex(c.name) >= 0)
        fail(alterAdd ? QStringLiteral("ORA-01430: column being added already exists in table")
                      : QStringLiteral("ORA-00957: duplicate column name"));
    i = parseType(t, i + 1, end, c, !alterAdd);
    const QString bad = alterAdd ? QStringLiteral("ORA-01735: invalid ALTER TABLE option")
                                 : QStringLiteral("ORA-00907: missing right parenthesis");
    while (i < end) {
        QString constraintName;
        if (t[size_t(i)].is("DEFAULT")) {
            int k = i + 1;
            int depth = 0;
            while (k < end) {
                const Token &tok = t[size_t(k)];
                if (tok.isSymbol("("))
                    ++depth;
                else if (tok.isSymbol(")"))
                    --depth;
                else if (depth == 0 &&
                         (tok.is("NOT") || tok.is("NULL") || tok.is("CONSTRAINT") ||
                          tok.is("PRIMARY") || tok.is("UNIQUE") || tok.is("CHECK")) &&
                         k > i + 1)
                    break;
                ++k;
            }
            if (k == i + 1)
                fail(QStringLiteral("ORA-00936: missing expression"));
            c.defaultText = tokensText(t, i + 1, k);
            i = k;
            continue;
        }
        if (t[size_t(i)].is("CONSTRAINT")) {
            if (i + 1 >= end || !t[size_t(i + 1)].isName())
                fail(QStringLiteral("ORA-02253: constraint specification not allowed here"));
            constraintName = t[size_t(i + 1)].text;
            i += 2;
        }
        if (i < end && t[size_t(i)].is("NOT") && i + 1 < end && t[size_t(i + 1)].is("NULL")) {
            c.notNull = true;
            c.notNullName = constraintName.isEmpty() ? newSystemName() : constraintName;
            i += 2;
        } else if (i < end && t[size_t(i)].is("NULL") && constraintName.isEmpty()) {
            ++i;
        } else if (i + 1 < end && t[size_t(i)].is("PRIMARY") && t[size_t(i + 1)].is("KEY")) {
            keys.push_back(Constraint{constraintName, table.name, QLatin1Char('P'), {c.name}, {}});
            i += 2;
        } else if (i < end && t[size_t(i)].is("UNIQUE")) {
            keys.push_back(Constraint{constraintName, table.name, QLatin1Char('U'), {c.name}, {}});
            ++i;
        } else {
            fail(bad);
        }
    }
    table.columns.push_back(c);
    return end;
}

void Engine::createSqliteIndex(const Index &ix) {
    QStringList cols;
    for (const QString &c : ix.columns)
        cols << sqlName(c);
    run(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
            .arg(ix.unique ? QStringLiteral("UNIQUE ") : QString(), indexSqlName(ix.name),
                 sqlName(ix.table), cols.join(QStringLiteral(", "))));
}

void Engine::addKey(Table &table, Constraint key) {
    const bool primary = key.type == QLatin1Char('P');
    for (const Constraint &c : constraints_) {
        if (primary && c.table == table.name && c.type == QLatin1Char('P'))
            fail(QStringLiteral("ORA-02260: table can have only one primary key"));
    }
    for (const Constraint &c : constraints_) {
        if (c.table == table.name && c.columns == key.columns)
            fail(QStringLiteral(
                "ORA-02261: such unique or primary key already exists in the table"));
    }
    if (key.name.isEmpty())
        key.name = newSystemName();
    bool used = constraints_.contains(key.name);
    for (const Table &t : tables_) {
        for (const Column &c : t.columns)
            used = used || (c.notNull && c.notNullName == key.name);
    }
    if (used)
        fail(QStringLiteral("ORA-02264: name already used by an existing constraint"));
    QStringList quoted;
    for (const QString &col : key.columns) {
        if (table.columnIndex(col) < 0)
            fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(col));
        if (key.columns.count(col) > 1)
            fail(QStringLiteral("ORA-00957: duplicate column name"));
        quoted << sqlName(col);
    }
    const QString cols = quoted.join(QStringLiteral(", "));
    if (primary) {
        QStringList nullChecks;
        for (const QString &q : quoted)
            nullChecks << q + QStringLiteral(" IS NULL");
        if (count(QStringLiteral("SELECT count(*) FROM %1 WHERE %2")
                      .arg(sqlName(table.name), nullChecks.join(QStringLiteral(" OR ")))) > 0)
            fail(
                QStringLiteral("ORA-01449: column contains NULL values; cannot alter to NOT NULL"));
    }
    QStringList notNull;
    for (const QString &q : quoted)
        notNull << q + QStringLiteral(" IS NOT NULL");
    if (count(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 WHERE %2 GROUP BY %3 HAVING "
                             "count(*) > 1)")
                  .arg(sqlName(table.name), notNull.join(QStringLiteral(" AND ")), cols)) > 0)
        fail(primary ? QStringLiteral("ORA-02437: cannot validate (%1.%2) - primary key violated")
                           .arg(owner_, key.name)
                     : QStringLiteral("ORA-02299: cannot validate (%1.%2) - duplicate keys found")
                           .arg(owner_, key.name));
    // An existing unique index on exactly these columns enforces the key; otherwise
    // the key gets its own index, named like the constraint.
    for (const Index &ix : indexes_) {
        if (ix.table == table.name && ix.unique && ix.columns == key.columns)
            key.index = ix.name;
    }
    if (key.index.isEmpty()) {
        if (indexes_.contains(key.name))
            fail(QStringLiteral("ORA-00955: name is already used by an existing object"));
        Index ix{key.name, table.name, true, key.columns, true};
        createSqliteIndex(ix);
        indexes_.insert(ix.name, ix);
        saveIndex(ix);
        key.index = ix.name;
    }
    constraints_.insert(key.name, key);
    saveConstraint(key);
}

void Engine::dropConstraint(Table &table, const QString &name) {
    const auto it = constraints_.find(name);
    if (it != constraints_.end() && it->table == table.name) {
        const QString index = it->index;
        constraints_.erase(it);
        eraseConstraint(name);
        const auto ix = indexes_.find(index);
        if (ix != indexes_.end() && ix->createdByConstraint) {
            run(QStringLiteral("DROP INDEX %1").arg(indexSqlName(index)));
            indexes_.erase(ix);
            eraseIndex(index);
        }
        return;
    }
    for (Column &c : table.columns) {
        if (c.notNull && c.notNullName == name) {
            c.notNull = false;
            c.notNullName.clear();
            saveTable(table);
            return;
        }
    }
    fail(QStringLiteral("ORA-02443: Cannot drop constraint  - nonexistent constraint"));
}

void Engine::create(const Tokens &t) {
    const int end = int(t.size());
    int i = 1;
    if (i + 1 < end && t[size_t(i)].is("OR") && t[size_t(i + 1)].is("REPLACE"))
        fail(QStringLiteral("ORA-00900: invalid SQL statement"));
    if (i < end && t[size_t(i)].is("TABLE"))
        return createTable(t, i + 1);
    if (i < end && t[size_t(i)].is("INDEX"))
        return createIndex(t, i + 1, false);
    if (i + 1 < end && t[size_t(i)].is("UNIQUE") && t[size_t(i + 1)].is("INDEX"))
        return createIndex(t, i + 2, true);
    if (i < end && t[size_t(i)].is("SEQUENCE"))
        return createSequence(t, i + 1);
    fail(QStringLiteral("ORA-00901: invalid CREATE command"));
}

void Engine::createTable(const Tokens &t, int i) {
    const int end = int(t.size());
    Translator tr(*this, t);
    Table table;
    table.name = tr.objectName(i, end);
    requireFreeObjectName(table.name);
    if (i >= end || !t[size_t(i)].isSymbol("("))
        fail(i < end && t[size_t(i)].is("AS")
                 ? QStringLiteral("ORA-00900: invalid SQL statement")
                 : QStringLiteral("ORA-00906: missing left parenthesis"));
    const int close = matchingParen(t, i, end);
    if (close < 0)
        fail(QStringLiteral("ORA-00907: missing right parenthesis"));
    std::vector<Constraint> keys;
    for (const auto &[b, e] : tr.splitCommas(i + 1, close)) {
        if (b >= e)
            fail(QStringLiteral("ORA-00904: : invalid identifier"));
        QString name;
        if (auto key = keyClause(t, tr, b, e, table.name, name,
                                 QStringLiteral("ORA-00907: missing right parenthesis"))) {
            keys.push_back(*key);
        } else if (!name.isEmpty() || t[size_t(b)].is("CHECK") || t[size_t(b)].is("FOREIGN")) {
            fail(QStringLiteral("ORA-00900: invalid SQL statement"));
        } else {
            parseColumn(t, b, e, table, keys, false);
        }
    }
    if (table.columns.empty())
        fail(QStringLiteral("ORA-00904: : invalid identifier"));
    int k = close + 1;
    if (k + 1 < end && t[size_t(k)].is("TABLESPACE") && t[size_t(k + 1)].isName())
        k += 2;
    if (k != end)
        fail(QStringLiteral("ORA-00922: missing or invalid option"));
    QStringList cols;
    for (const Column &c : table.columns)
        cols << sqlName(c.name) + QLatin1Char(' ') + sqliteColumnType(c);
    run(QStringLiteral("CREATE TABLE %1 (%2)")
            .arg(sqlName(table.name), cols.join(QStringLiteral(", "))));
    tables_.insert(table.name, table);
    saveTable(table);
    for (const Constraint &key : keys)
        addKey(tables_[table.name], key);
}

void Engine::createIndex(const Tokens &t, int i, bool unique) {
    const int end = int(t.size());
    Translator tr(*this, t);
    Index ix;
    ix.unique = unique;
    ix.name = tr.objectName(i, end);
    if (indexes_.contains(ix.name))
        fail(QStringLiteral("ORA-00955: name is already used by an existing object"));
    if (i >= end || !t[size_t(i)].is("ON"))
        fail(QStringLiteral("ORA-00969: missing ON keyword"));
    ++i;
    ix.table = tr.objectName(i, end);
    const Table &table = requireTable(ix.table);
    if (i >= end || !t[size_t(i)].isSymbol("("))
        fail(QStringLiteral("ORA-00906: missing left parenthesis"));
    const int close = matchingParen(t, i, end);
    if (close < 0)
        fail(QStringLiteral("ORA-00907: missing right parenthesis"));
    for (const auto &[b, e] : tr.splitCommas(i + 1, close)) {
        if (b >= e || !t[size_t(b)].isName() ||
            !(e - b == 1 ||
              (e - b == 2 && (t[size_t(b + 1)].is("ASC") || t[size_t(b + 1)].is("DESC")))))
            fail(QStringLiteral("ORA-00904: : invalid identifier"));
        if (table.columnIndex(t[size_t(b)].text) < 0)
            fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(t[size_t(b)].text));
        if (ix.columns.contains(t[size_t(b)].text))
            fail(QStringLiteral("ORA-00957: duplicate column name"));
        ix.columns << t[size_t(b)].text;
    }
    int k = close + 1;
    if (k + 1 < end && t[size_t(k)].is("TABLESPACE"))
        k += 2;
    if (k != end)
        fail(QStringLiteral("ORA-00922: missing or invalid option"));
    for (const Index &other : indexes_) {
        if (other.table == ix.table && other.columns == ix.columns)
            fail(QStringLiteral("ORA-01408: such column list already indexed"));
    }
    if (unique) {
        QStringList quoted, notNull;
        for (const QString &c : ix.columns) {
            quoted << sqlName(c);
            notNull << sqlName(c) + QStringLiteral(" IS NOT NULL");
        }
        if (count(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM %1 WHERE %2 GROUP BY %3 "
                                 "HAVING count(*) > 1)")
                      .arg(sqlName(ix.table), notNull.join(QStringLiteral(" AND ")),
                           quoted.join(QStringLiteral(", ")))) > 0)
            fail(QStringLiteral("ORA-01452: cannot CREATE UNIQUE INDEX; duplicate keys found"));
    }
    createSqliteIndex(ix);
    indexes_.insert(ix.name, ix);
    saveIndex(ix);
}

void Engine::createSequence(const Tokens &t, int i) {
    const int end = int(t.size());
    Translator tr(*this, t);
    Sequence s;
    s.name = tr.objectName(i, end);
    requireFreeObjectName(s.name);
    bool started = false;
    auto number = [&](int &k) {
        bool negative = false;
        if (k < end && (t[size_t(k)].isSymbol("-") || t[size_t(k)].isSymbol("+"))) {
            negative = t[size_t(k)].isSymbol("-");
            ++k;
        }
        bool ok = false;
        const qint64 v = k < end ? t[size_t(k)].text.toLongLong(&ok) : 0;
        if (k >= end || t[size_t(k)].kind != Token::Number || !ok)
            fail(QStringLiteral("ORA-01722: invalid number"));
        ++k;
        return negative ? -v : v;
    };
    qint64 start = 0;
    while (i < end) {
        const Token &w = t[size_t(i)];
        if (w.is("INCREMENT") && i + 1 < end && t[size_t(i + 1)].is("BY")) {
            i += 2;
            s.increment = number(i);
            if (s.increment == 0)
                fail(QStringLiteral("ORA-04002: INCREMENT must be a non-zero integer"));
        } else if (w.is("START") && i + 1 < end && t[size_t(i + 1)].is("WITH")) {
            i += 2;
            start = number(i);
            started = true;
        } else if (w.is("MINVALUE")) {
            ++i;
            s.minValue = number(i);
        } else if (w.is("MAXVALUE")) {
            ++i;
            s.maxValue = number(i);
        } else if (w.is("CACHE")) {
            ++i;
            number(i);
        } else if (w.is("NOCACHE") || w.is("ORDER") || w.is("NOORDER") || w.is("NOCYCLE") ||
                   w.is("NOMINVALUE") || w.is("NOMAXVALUE")) {
            ++i;
        } else if (w.is("CYCLE")) {
            s.cycle = true;
            ++i;
        } else {
            fail(QStringLiteral("ORA-00933: SQL command not properly ended"));
        }
    }
    s.next = started ? start : (s.increment > 0 ? s.minValue : (s.maxValue ? s.maxValue : -1));
    if (started && start < s.minValue && s.increment > 0)
        fail(QStringLiteral("ORA-04006: START WITH cannot be less than MINVALUE"));
    sequences_.insert(s.name, s);
    catalogueChanged_ = true;
    saveSequence(s);
}

void Engine::drop(const Tokens &t) {
    const int end = int(t.size());
    Translator tr(*this, t);
    if (end < 3)
        fail(QStringLiteral("ORA-00950: invalid DROP option"));
    int i = 2;
    const QString name = tr.objectName(i, end);
    if (t[1].is("TABLE")) {
        if (i + 1 < end && t[size_t(i)].is("CASCADE") && t[size_t(i + 1)].is("CONSTRAINTS"))
            i += 2;
        if (i < end && t[size_t(i)].is("PURGE"))
            ++i;
        if (i != end)
            fail(kEnd);
        requireTable(name);
        run(QStringLiteral("DROP TABLE %1").arg(sqlName(name)));
        for (const Constraint &c : constraints_.values()) {
            if (c.table == name) {
                constraints_.remove(c.name);
                eraseConstraint(c.name);
            }
        }
        for (const Index &ix : indexes_.values()) {
            if (ix.table == name) {
                indexes_.remove(ix.name);
                eraseIndex(ix.name);
            }
        }
        tables_.remove(name);
        eraseTable(name);
    } else if (t[1].is("INDEX")) {
        if (i != end)
            fail(kEnd);
        if (!indexes_.contains(name))
            fail(QStringLiteral("ORA-01418: specified index does not exist"));
        for (const Constraint &c : constraints_) {
            if (c.index == name)
                fail(QStringLiteral(
                    "ORA-02429: cannot drop index used for enforcement of unique/primary key"));
        }
        run(QStringLiteral("DROP INDEX %1").arg(indexSqlName(name)));
        indexes_.remove(name);
        eraseIndex(name);
    } else if (t[1].is("SEQUENCE")) {
        if (i != end)
            fail(kEnd);
        if (!sequences_.contains(name))
            fail(QStringLiteral("ORA-02289: sequence does not exist"));
        sequences_.remove(name);
        currentValues_.remove(name);
        eraseSequence(name);
    } else {
        fail(QStringLiteral("ORA-00950: invalid DROP option"));
    }
}

void Engine::rename(const Tokens &t) {
    const int end = int(t.size());
    Translator tr(*this, t);
    int i = 1;
    const QString from = tr.objectName(i, end);
    if (i >= end || !t[size_t(i)].is("TO"))
        fail(QStringLiteral("ORA-00946: missing TO keyword"));
    ++i;
    const QString to = tr.objectName(i, end);
    if (i != end)
        fail(kEnd);
    if (!tables_.contains(from) && !sequences_.contains(from))
        fail(QStringLiteral("ORA-04043: object %1 does not exist").arg(from));
    requireFreeObjectName(to);
    if (tables_.contains(from)) {
        Table table = tables_.take(from);
        run(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(sqlName(from), sqlName(to)));
        eraseTable(from);
        table.name = to;
        tables_.insert(to, table);
        saveTable(table);
        for (Constraint &c : constraints_) {
            if (c.table == from) {
                c.table = to;
                saveConstraint(c);
            }
        }
        for (Index &ix : indexes_) {
            if (ix.table == from) {
                ix.table = to;
                saveIndex(ix);
            }
        }
    } else {
        Sequence s = sequences_.take(from);
        eraseSequence(from);
        s.name = to;
        sequences_.insert(to, s);
        saveSequence(s);
        currentValues_.remove(from);
    }
}

void Engine::truncate(const Tokens &t) {
    const int end = int(t.size());
    Translator tr(*this, t);
    if (end < 3 || !t[1].is("TABLE"))
        fail(QStringLiteral(
            "ORA-03290: Invalid truncate command - missing CLUSTER or TABLE keyword"));
    int i = 2;
    const QString name = tr.objectName(i, end);
    if (i != end)
        fail(kEnd);
    requireTable(name);
    run(QStringLiteral("DELETE FROM %1").arg(sqlName(name)));
}

void Engine::alter(const Tokens &t) {
    const int end = int(t.size());
    Translator tr(*this, t);
    if (end < 2 || !t[1].is("TABLE"))
        fail(QStringLiteral("ORA-00940: invalid ALTER command"));
    int i = 2;
    const QString name = tr.objectName(i, end);
    Table &table = requireTable(name);
    if (i >= end)
        fail(QStringLiteral("ORA-01735: invalid ALTER TABLE option"));
    const Token &action = t[size_t(i)];
    if (action.is("ADD"))
        return alterAdd(table, t, i + 1, end);
    if (action.is("MODIFY"))
        return alterModify(table, t, i + 1, end);
    if (action.is("DROP"))
        return alterDrop(table, t, i + 1, end);
    if (action.is("RENAME")) {
        if (i + 1 < end && t[size_t(i + 1)].is("TO")) {
            Tokens renameTokens;
            Token r;
            r.kind = Token::Word;
            r.text = QStringLiteral("RENAME");
            renameTokens.push_back(r);
            Token n;
            n.kind = Token::QuotedName;
            n.text = name;
            renameTokens.push_back(n);
            for (int k = i + 1; k < end; ++k)
                renameTokens.push_back(t[size_t(k)]);
            return rename(renameTokens);
        }
        if (i + 5 != end || !t[size_t(i + 1)].is("COLUMN") || !t[size_t(i + 3)].is("TO") ||
            !t[size_t(i + 2)].isName() || !t[size_t(i + 4)].isName())
            fail(QStringLiteral("ORA-01735: invalid ALTER TABLE option"));
        const QString from = t[size_t(i + 2)].text;
        const QString to = t[size_t(i + 4)].text;
        const int index = table.columnIndex(from);
        if (index < 0)
            fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(from));
        if (table.columnIndex(to) >= 0)
            fail(QStringLiteral("ORA-00957: duplicate column name"));
        run(QStringLiteral("ALTER TABLE %1 RENAME COLUMN %2 TO %3")
                .arg(sqlName(table.name), sqlName(from), sqlName(to)));
        table.columns[size_t(index)].name = to;
        saveTable(table);
        for (Constraint &c : constraints_) {
            if (c.table == table.name && c.columns.contains(from)) {
                c.columns.replace(c.columns.indexOf(from), to);
                saveConstraint(c);
            }
        }
        for (Index &ix : indexes_) {
            if (ix.table == table.name && ix.columns.contains(from)) {
                ix.columns.replace(ix.columns.indexOf(from), to);
                saveIndex(ix);
            }
        }
        return;
    }
    fail(QStringLiteral("ORA-01735: invalid ALTER TABLE option"));
}

void Engine::alterAdd(Table &table, const Tokens &t, int i, int end) {
    Translator tr(*this, t);
    QString name;
    if (auto key = keyClause(t, tr, i, end, table.name, name, kEnd)) {
        addKey(table, *key);
        return;
    }
    if (!name.isEmpty())
        fail(QStringLiteral("ORA-00902: invalid datatype"));
    std::vector<std::pair<int, int>> defs;
    if (i < end && t[size_t(i)].isSymbol("(")) {
        const int close = matchingParen(t, i, end);
        if (close != end - 1)
            fail(QStringLiteral("ORA-00907: missing right parenthesis"));
        defs = tr.splitCommas(i + 1, close);
    } else {
        defs.emplace_back(i, end);
    }
    const qint64 rows = count(QStringLiteral("SELECT count(*) FROM %1").arg(sqlName(table.name)));
    for (const auto &[b, e] : defs) {
        std::vector<Constraint> keys;
        parseColumn(t, b, e, table, keys, true);
        const Column &c = table.columns.back();
        if (c.notNull && c.defaultText.isEmpty() && rows > 0)
            fail(QStringLiteral(
                "ORA-01758: table must be empty to add mandatory (NOT NULL) column"));
        run(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                .arg(sqlName(table.name), sqlName(c.name), sqliteColumnType(c)));
        saveTable(table);
        if (!c.defaultText.isEmpty() && rows > 0) {
            const Tokens dt = tokenize(c.defaultText);
            Translator dtr(*this, dt);
            dtr.inlineLiterals();
            const int id = addPutSpec(table.name, c, true);
            run(QStringLiteral("UPDATE ") + sqlName(table.name) + QStringLiteral(" SET ") +
                sqlName(c.name) + QStringLiteral(" = ORA_PUT(") +
                dtr.expression(0, int(dt.size())) + QStringLiteral(", ") + QString::number(id) +
                QLatin1Char(')'));
        }
        for (const Constraint &key : keys)
            addKey(table, key);
    }
}

void Engine::alterModify(Table &table, const Tokens &t, int i, int end) {
    Translator tr(*this, t);
    std::vector<std::pair<int, int>> defs;
    if (i < end && t[size_t(i)].isSymbol("(")) {
        const int close = matchingParen(t, i, end);
        if (close != end - 1)
            fail(QStringLiteral("ORA-00907: missing right parenthesis"));
        defs = tr.splitCommas(i + 1, close);
    } else {
        defs.emplace_back(i, end);
    }
    bool rebuild = false;
    for (const auto &[b, e] : defs) {
        if (b >= e || !t[size_t(b)].isName())
            fail(QStringLiteral("ORA-00904: : invalid identifier"));
        const QString columnName = t[size_t(b)].text;
        const int index = table.columnIndex(columnName);
        if (index < 0)
            fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(columnName));
        Column &column = table.columns[size_t(index)];
        const QString col = sqlName(column.name);
        const QString from = sqlName(table.name);
        int k = b + 1;
        if (k < e && !t[size_t(k)].is("DEFAULT") && !t[size_t(k)].is("NOT") &&
            !t[size_t(k)].is("NULL") && !t[size_t(k)].is("CONSTRAINT")) {
            Column changed = column;
            changed.length = 0;
            changed.precision = -1;
            changed.scale = -1;
            changed.charSemantics = false;
            k = parseType(t, k, e, changed, false);
            const qint64 filled = count(
                QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NOT NULL").arg(from, col));
            if (family(changed.type) != family(column.type)) {
                if (filled > 0)
                    fail(QStringLiteral(
                        "ORA-01439: column to be modified must be empty to change datatype"));
                rebuild = true;
            } else if (changed.type == QLatin1String("NUMBER")) {
                const int oldDigits = column.precision < 0 ? 38 : column.precision;
                const int newDigits = changed.precision < 0 ? 38 : changed.precision;
                const int oldScale = column.scale < 0 ? 127 : column.scale;
                const int newScale = changed.scale < 0 ? 127 : changed.scale;
                if (filled > 0 && (newDigits < oldDigits || newScale < oldScale ||
                                   newDigits - newScale < oldDigits - oldScale))
                    fail(QStringLiteral("ORA-01440: column to be modified must be empty to "
                                        "decrease precision or scale"));
            } else if (family(changed.type) == QLatin1String("TEXT")) {
                const QString measure = changed.charSemantics || singleByte_
                                            ? QStringLiteral("length(%1)").arg(col)
                                            : QStringLiteral("length(CAST(%1 AS BLOB))").arg(col);
                if (count(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 > %3")
                              .arg(from, measure)
                              .arg(changed.length)) > 0)
                    fail(QStringLiteral(
                        "ORA-01441: cannot decrease column length because some value is too big"));
            }
            column.type = changed.type;
            column.length = changed.length;
            column.precision = changed.precision;
            column.scale = changed.scale;
            column.charSemantics = changed.charSemantics;
        }
        while (k < e) {
            if (t[size_t(k)].is("DEFAULT")) {
                int m = k + 1;
                while (m < e && !t[size_t(m)].is("NOT") && !(t[size_t(m)].is("NULL") && m > k + 1))
                    ++m;
                if (m == k + 1)
                    fail(QStringLiteral("ORA-00936: missing expression"));
                column.defaultText = tokensText(t, k + 1, m);
                k = m;
                continue;
            }
            QString constraintName;
            if (t[size_t(k)].is("CONSTRAINT") && k + 1 < e) {
                constraintName = t[size_t(k + 1)].text;
                k += 2;
            }
            if (k + 1 < e && t[size_t(k)].is("NOT") && t[size_t(k + 1)].is("NULL")) {
                if (column.notNull)
                    fail(QStringLiteral(
                        "ORA-01442: column to be modified to NOT NULL is already NOT NULL"));
                const QString nn = constraintName.isEmpty() ? newSystemName() : constraintName;
                if (count(
                        QStringLiteral("SELECT count(*) FROM %1 WHERE %2 IS NULL").arg(from, col)) >
                    0)
                    fail(QStringLiteral("ORA-02296: cannot enable (%1.%2) - null values found")
                             .arg(owner_, nn));
                column.notNull = true;
                column.notNullName = nn;
                k += 2;
            } else if (k < e && t[size_t(k)].is("NULL")) {
                bool inKey = false;
                for (const Constraint &c : constraints_)
                    inKey = inKey || (c.table == table.name && c.type == QLatin1Char('P') &&
                                      c.columns.contains(column.name));
                if (!column.notNull || inKey)
                    fail(QStringLiteral(
                        "ORA-01451: column to be modified to NULL cannot be modified to NULL"));
                column.notNull = false;
                column.notNullName.clear();
                ++k;
            } else {
                fail(QStringLiteral("ORA-01735: invalid ALTER TABLE option"));
            }
        }
    }
    saveTable(table);
    if (rebuild)
        rebuildTable(table);
}

void Engine::alterDrop(Table &table, const Tokens &t, int i, int end) {
    if (i < end && t[size_t(i)].is("CONSTRAINT")) {
        if (i + 2 != end || !t[size_t(i + 1)].isName())
            fail(kEnd);
        return dropConstraint(table, t[size_t(i + 1)].text);
    }
    if (i + 1 < end && t[size_t(i)].is("PRIMARY") && t[size_t(i + 1)].is("KEY")) {
        if (i + 2 != end)
            fail(kEnd);
        for (const Constraint &c : constraints_) {
            if (c.table == table.name && c.type == QLatin1Char('P'))
                return dropConstraint(table, c.name);
        }
        fail(QStringLiteral("ORA-02441: Cannot drop nonexistent primary key"));
    }
    QStringList names;
    if (i < end && t[size_t(i)].is("COLUMN")) {
        if (i + 2 != end || !t[size_t(i + 1)].isName())
            fail(kEnd);
        names << t[size_t(i + 1)].text;
    } else if (i < end && t[size_t(i)].isSymbol("(")) {
        const int close = matchingParen(t, i, end);
        if (close != end - 1)
            fail(QStringLiteral("ORA-00907: missing right parenthesis"));
        Translator tr(*this, t);
        for (const auto &[b, e] : tr.splitCommas(i + 1, close)) {
            if (e - b != 1 || !t[size_t(b)].isName())
                fail(QStringLiteral("ORA-00904: : invalid identifier"));
            names << t[size_t(b)].text;
        }
    } else {
        fail(QStringLiteral("ORA-01735: invalid ALTER TABLE option"));
    }
    for (const QString &n : names) {
        if (table.columnIndex(n) < 0)
            fail(QStringLiteral("ORA-00904: \"%1\": invalid identifier").arg(n));
    }
    if (names.size() >= int(table.columns.size()))
        fail(QStringLiteral("ORA-12983: cannot drop all columns in a table"));
    for (const QString &n : names) {
        for (const Constraint &c : constraints_.values()) {
            if (c.table != table.name || !c.columns.contains(n))
                continue;
            if (c.columns.size() > 1)
                fail(
                    QStringLiteral("ORA-12991: column is referenced in a multi-column constraint"));
            dropConstraint(table, c.name);
        }
        for (const Index &ix : indexes_.values()) {
            if (ix.table == table.name && ix.columns.contains(n)) {
                run(QStringLiteral("DROP INDEX %1").arg(indexSqlName(ix.name)));
                indexes_.remove(ix.name);
                eraseIndex(ix.name);
            }
        }
        run(QStringLiteral("ALTER TABLE %1 DROP COLUMN %2").arg(sqlName(table.name), sqlName(n)));
        table.columns.erase(table.columns.begin() + table.columnIndex(n));
    }
    saveTable(table);
}

// SQLite cannot change a column's type: the table is made again with the same
// column order, rows and indexes.
void Engine::rebuildTable(const Table &table) {
    const QString temp = sqlName(kHiddenPrefix + QStringLiteral("rebuild"));
    QStringList defs, names;
    for (const Column &c : table.columns) {
        defs << sqlName(c.name) + QLatin1Char(' ') + sqliteColumnType(c);
        names << sqlName(c.name);
    }
    run(QStringLiteral("CREATE TABLE %1 (%2)").arg(temp, defs.join(QStringLiteral(", "))));
    run(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3")
            .arg(temp, names.join(QStringLiteral(", ")), sqlName(table.name)));
    run(QStringLiteral("DROP TABLE %1").arg(sqlName(table.name)));
    run(QStringLiteral("ALTER TABLE %1 RENAME TO %2").arg(temp, sqlName(table.name)));
    for (const Index &ix : indexes_) {
        if (ix.table == table.name)
            createSqliteIndex(ix);
    }
}

} // namespace platform::db::embedded
