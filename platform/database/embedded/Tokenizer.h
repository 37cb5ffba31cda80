#pragma once

// Splits one Oracle statement into tokens. Unquoted identifiers come out folded to
// upper case, quoted identifiers exactly as written, text literals with their
// doubled apostrophes undone. Comments are dropped.

#include <QString>
#include <vector>

namespace platform::db::embedded {

struct Token {
    enum Kind { Word, QuotedName, Text, Number, Symbol };
    Kind kind = Symbol;
    QString text; // Word: upper case; QuotedName: as quoted; Text: the value; others: as written
    int pos = 0;  // offset in the statement

    bool is(const char *word) const { return kind == Word && text == QLatin1String(word); }
    bool isSymbol(const char *symbol) const {
        return kind == Symbol && text == QLatin1String(symbol);
    }
    bool isName() const { return kind == Word || kind == QuotedName; }
};

using Tokens = std::vector<Token>;

// Throws DatabaseError with Oracle's text for unterminated quotes and invalid
// characters.
Tokens tokenize(const QString &sql);

// Index of the parenthesis that closes the one at `open`, or -1.
int matchingParen(const Tokens &tokens, int open, int end);

} // namespace platform::db::embedded
