// Cifra_Texto: unscrambling any text, under the configured key and under a key taken
// from the input, and the scramble / unscramble round trip.
//
// Input: the first byte is the length (0..15) of the key, which follows as UTF-8;
// the rest is the text.

#include "common/Funcoes_Cifra.h"
#include "platform/Exception.h"
#include "tests/fuzz/FuzzSupport.h"

#include <algorithm>

namespace {

bool isUpperHex(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

// A key Cifra_Texto accepts: not empty, no character above 255.
bool validKey(const QString &key) {
    if (key.isEmpty())
        return false;
    for (const QChar c : key)
        if (c.unicode() > 255)
            return false;
    return true;
}

// Texts that come back unchanged: not blank, every code 1..254.
bool roundTrips(const QString &text) {
    if (Tira_Espacos(text).isEmpty())
        return false;
    for (const QChar c : text)
        if (c.unicode() < 1 || c.unicode() > 254)
            return false;
    return true;
}

void unscramble(const QString &text, const QString &key) {
    try {
        (void)Cifra_Texto(QStringLiteral("D"), text, key);
    } catch (const platform::Exception &) {
        // a clear refusal: bad pair or bad key
    } catch (const std::exception &e) {
        fuzz::unexpected(e);
    }
}

void roundTrip(const QString &text, const QString &key) {
    QString scrambled;
    try {
        scrambled = Cifra_Texto(QStringLiteral("C"), text, key);
    } catch (const platform::Exception &e) {
        fuzz::fail("scrambling with a valid key threw", e.Message());
    }
    // "4D" and one pair of upper-case hexadecimal digits per character.
    if (scrambled.size() != 2 + 2 * text.size() || !scrambled.startsWith(QLatin1String("4D")))
        fuzz::fail("scrambled text has the wrong form", scrambled);
    for (const QChar c : scrambled)
        if (!isUpperHex(c))
            fuzz::fail("scrambled text has a character that is no upper-case hex digit", scrambled);
    QString back;
    try {
        back = Cifra_Texto(QStringLiteral("D"), scrambled, key);
    } catch (const platform::Exception &e) {
        fuzz::fail("unscrambling a scrambled text threw", e.Message());
    }
    if (back != text)
        fuzz::fail("round trip changed the text",
                   QStringLiteral("text  %1\nback  %2\nkey   %3").arg(text, back, key));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0)
        return 0;
    const size_t keyBytes = std::min<size_t>(data[0] % 16, size - 1);
    const QString key = fuzz::text(data + 1, keyBytes);
    const QString text = fuzz::text(data + 1 + keyBytes, size - 1 - keyBytes);

    unscramble(text, Chave_Cifra());
    unscramble(text, key);
    if (validKey(key) && roundTrips(text))
        roundTrip(text, key);
    if (roundTrips(text))
        roundTrip(text, Chave_Cifra());
    return 0;
}
