// The embedded engine's tokenizer, and its translator over the tokens: any text is
// either split into well-formed tokens or refused with an Oracle error
// (platform::DatabaseError, "ORA-nnnnn: ..."); the translator either gives SQLite
// text or refuses the same way.

#include "platform/Exception.h"
#include "platform/database/embedded/Engine.h"
#include "platform/database/embedded/Tokenizer.h"
#include "platform/database/embedded/Translator.h"
#include "tests/fuzz/FuzzSupport.h"
#include "tests/fuzz/SeedSchema.h"

#include <memory>

using namespace platform::db::embedded;

namespace {

void checkOracleError(const platform::DatabaseError &e) {
    if (!e.Message().startsWith(QLatin1String("ORA-")))
        fuzz::fail("DatabaseError without an Oracle error code", e.Message());
}

void checkTokens(const QString &sql, const Tokens &tokens) {
    int previous = -1;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token &t = tokens[i];
        if (t.pos <= previous || t.pos >= sql.size())
            fuzz::fail("token position out of order or out of the text",
                       QStringLiteral("token %1 at %2").arg(i).arg(t.pos));
        previous = t.pos;
        switch (t.kind) {
        case Token::Word:
            if (t.text.isEmpty() || !t.text[0].isLetter() || t.text != t.text.toUpper())
                fuzz::fail("word token not an upper-case name", t.text);
            break;
        case Token::QuotedName:
            if (t.text.isEmpty() || t.text.contains(QLatin1Char('"')))
                fuzz::fail("bad quoted name token", t.text);
            break;
        case Token::Number:
            if (t.text.isEmpty())
                fuzz::fail("empty number token");
            break;
        case Token::Symbol:
            if (t.text.isEmpty() || t.text.size() > 2)
                fuzz::fail("bad symbol token", t.text);
            break;
        case Token::Text:
            break;
        }
        if (t.isSymbol("(")) {
            const int close = matchingParen(tokens, int(i), int(tokens.size()));
            if (close != -1 && (close <= int(i) || !tokens[size_t(close)].isSymbol(")")))
                fuzz::fail("matchingParen gave no closing parenthesis",
                           QStringLiteral("open %1, close %2").arg(i).arg(close));
        }
    }
}

// One engine for the whole run; the translator only reads its catalogue.
Engine &engine() {
    static std::unique_ptr<Engine> e = [] {
        auto made =
            std::make_unique<Engine>(fuzz::scratchFolder() + QStringLiteral("/tok.db"),
                                     QStringLiteral("WE8MSWIN1252"), QStringLiteral("TALVERO"));
        for (const char *statement : fuzz::kSeedSchema)
            made->execute(QString::fromUtf8(statement));
        return made;
    }();
    return *e;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString sql = fuzz::text(data, size);
    Tokens tokens;
    try {
        tokens = tokenize(sql);
    } catch (const platform::DatabaseError &e) {
        checkOracleError(e);
        return 0;
    } catch (const std::exception &e) {
        fuzz::unexpected(e);
    }
    checkTokens(sql, tokens);
    if (tokens.empty())
        return 0;

    // The engine hands the translator whole queries and single expressions.
    const int end = int(tokens.size());
    Engine &db = engine();
    if (tokens[0].is("SELECT") || tokens[0].isSymbol("(")) {
        try {
            Translator tr(db, tokens);
            (void)tr.query(0, end);
        } catch (const platform::DatabaseError &e) {
            checkOracleError(e);
        } catch (const std::exception &e) {
            fuzz::unexpected(e);
        }
    } else {
        try {
            Translator tr(db, tokens);
            (void)tr.expression(0, end);
        } catch (const platform::DatabaseError &e) {
            checkOracleError(e);
        } catch (const std::exception &e) {
            fuzz::unexpected(e);
        }
    }
    // Drop the literals the translator bound: COMMIT resets the statement state.
    db.execute(QStringLiteral("COMMIT"));
    return 0;
}
