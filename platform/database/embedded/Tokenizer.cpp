#include "platform/database/embedded/Tokenizer.h"

#include "platform/Exception.h"

namespace platform::db::embedded {

namespace {

bool isNameStart(QChar c) {
    return c.isLetter();
}
bool isNamePart(QChar c) {
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c == QLatin1Char('#');
}

} // namespace

Tokens tokenize(const QString &sql) {
    // A statement is a C string to Oracle's client and to SQLite: a NUL inside it
    // would cut it short behind our back.
    if (sql.contains(QChar(0)))
        throw DatabaseError(QStringLiteral("ORA-00911: invalid character"));
    Tokens out;
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (c == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && sql[i + 1] == QLatin1Char('*')) {
            const int close = int(sql.indexOf(QLatin1String("*/"), i + 2));
            i = close < 0 ? n : close + 2;
            continue;
        }
        Token t;
        t.pos = i;
        if (c == QLatin1Char('\'')) {
            QString value;
            int j = i + 1;
            bool closed = false;
            while (j < n) {
                if (sql[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && sql[j + 1] == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                value += sql[j++];
            }
            if (!closed)
                throw DatabaseError(
                    QStringLiteral("ORA-01756: quoted string not properly terminated"));
            t.kind = Token::Text;
            t.text = value;
            i = j + 1;
        } else if (c == QLatin1Char('"')) {
            const int close = int(sql.indexOf(QLatin1Char('"'), i + 1));
            if (close < 0)
                throw DatabaseError(
                    QStringLiteral("ORA-01740: missing double quote in identifier"));
            if (close == i + 1)
                throw DatabaseError(QStringLiteral("ORA-01741: illegal zero-length identifier"));
            t.kind = Token::QuotedName;
            t.text = sql.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (isNameStart(c)) {
            int j = i + 1;
            while (j < n && isNamePart(sql[j]))
                ++j;
            t.kind = Token::Word;
            t.text = sql.mid(i, j - i).toUpper();
            i = j;
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && sql[i + 1].isDigit())) {
            int j = i;
            while (j < n && sql[j].isDigit())
                ++j;
            if (j < n && sql[j] == QLatin1Char('.') &&
                !(j + 1 < n && sql[j + 1] == QLatin1Char('.'))) {
                ++j;
                while (j < n && sql[j].isDigit())
                    ++j;
            }
            if (j < n && (sql[j] == QLatin1Char('e') || sql[j] == QLatin1Char('E'))) {
                int k = j + 1;
                if (k < n && (sql[k] == QLatin1Char('+') || sql[k] == QLatin1Char('-')))
                    ++k;
                if (k < n && sql[k].isDigit()) {
                    while (k < n && sql[k].isDigit())
                        ++k;
                    j = k;
                }
            }
            t.kind = Token::Number;
            t.text = sql.mid(i, j - i);
            i = j;
        } else {
            static const char *const twoChar[] = {"||", "<>", "!=", "^=", "<=", ">=", ":="};
            t.kind = Token::Symbol;
            bool done = false;
            if (i + 1 < n) {
                const QString two = sql.mid(i, 2);
                for (const char *s : twoChar) {
                    if (two == QLatin1String(s)) {
                        t.text = two;
                        i += 2;
                        done = true;
                        break;
                    }
                }
            }
            if (!done) {
                if (!QStringLiteral("(),.*+-/=<>").contains(c))
                    throw DatabaseError(QStringLiteral("ORA-00911: invalid character"));
                t.text = QString(c);
                ++i;
            }
        }
        out.push_back(std::move(t));
    }
    return out;
}

int matchingParen(const Tokens &tokens, int open, int end) {
    int depth = 0;
    for (int i = open; i < end; ++i) {
        if (tokens[size_t(i)].isSymbol("("))
            ++depth;
        else if (tokens[size_t(i)].isSymbol(")") && --depth == 0)
            return i;
    }
    return -1;
}

} // namespace platform::db::embedded
