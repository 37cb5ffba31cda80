#include "common/Funcoes_Cifra.h"

#include "common/Configuracao.h"
#include "platform/Exception.h"

#include <QStringView>

namespace {

constexpr int Val_Ini = 77; // start value of the chain, written as "4D"
constexpr int Modulo = 255; // not 256: part of the stored format

// Gives the key characters in turn, cycling over the key for the whole text.
class TCursor_Chave {
public:
    explicit TCursor_Chave(const QString &Key) : Key_(Key) {}

    int Proxima() {
        if (Pos_ < Key_.size())
            ++Pos_;
        else
            Pos_ = 1;
        return Key_.at(Pos_ - 1).unicode();
    }

private:
    const QString &Key_;
    qsizetype Pos_ = 0;
};

void Valida_Chave(const QString &Key) {
    if (Key.isEmpty())
        throw platform::Exception(QStringLiteral("Cifra_Texto: a chave de cifra está vazia."));
    // A key character above 255 would give pairs of more than two digits.
    for (const QChar c : Key) {
        if (c.unicode() > 255)
            throw platform::Exception(
                QStringLiteral("Cifra_Texto: a chave de cifra tem um caractere acima de 255."));
    }
}

// A pair of the scrambled text: one or two hexadecimal digits of either case.
int Hex_Par(QStringView Par) {
    bool ok = !Par.isEmpty();
    int valor = 0;
    for (const QChar c : Par) {
        const char16_t u = c.unicode();
        int digito;
        if (u >= u'0' && u <= u'9')
            digito = u - u'0';
        else if (u >= u'A' && u <= u'F')
            digito = u - u'A' + 10;
        else if (u >= u'a' && u <= u'f')
            digito = u - u'a' + 10;
        else {
            ok = false;
            break;
        }
        valor = valor * 16 + digito;
    }
    if (!ok)
        throw platform::ConvertError(
            QStringLiteral("'%1' não é um valor hexadecimal válido").arg(Par.toString()));
    return valor;
}

QString Cifra(const QString &Text, const QString &Key) {
    TCursor_Chave chave(Key);
    QString resultado;
    resultado.reserve(2 + 2 * Text.size());
    int prev = Val_Ini;
    resultado += QStringLiteral("%1").arg(prev, 2, 16, QLatin1Char('0')).toUpper();
    for (const QChar c : Text) {
        int v = (c.unicode() + prev) % Modulo;
        v ^= chave.Proxima();
        resultado += QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper();
        prev = v;
    }
    return resultado;
}

QString Decifra(const QString &Text, const QString &Key) {
    TCursor_Chave chave(Key);
    QString resultado;
    const QStringView texto(Text);
    int prev = Hex_Par(texto.mid(0, 2));
    qsizetype pos = 3; // read position, counted from 1
    // The body runs at least once, so a text of one or two characters has an empty first
    // pair; an odd last character of a longer text is never read.
    do {
        const int v = Hex_Par(texto.mid(pos - 1, 2));
        const int a = v ^ chave.Proxima();
        const int codigo = a > prev ? a - prev : a - prev + Modulo;
        resultado += QChar(char16_t(codigo));
        prev = v;
        pos += 2;
    } while (pos < texto.size());
    return resultado;
}

} // namespace

QString Tira_Espacos(const QString &Text) {
    QString resultado = Text;
    resultado.remove(QLatin1Char(' '));
    return resultado;
}

QString Cifra_Texto(const QString &Mode, const QString &Text, const QString &Key) {
    Valida_Chave(Key);
    if (Tira_Espacos(Text).isEmpty())
        return QString();
    if (Mode == QLatin1String("C"))
        return Cifra(Text, Key);
    if (Mode == QLatin1String("D"))
        return Decifra(Text, Key);
    return QString();
}

QString Chave_Cifra() {
    return Configuracao().Chave_Cifra;
}
