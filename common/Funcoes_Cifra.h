#pragma once

// Funcoes: the keyed scrambler of short texts. The database keeps its data version
// (CFG.VER_DAD) scrambled, so the scrambled form below is a stored format:
//   "4D" (the start value 77) followed by one pair of upper-case hexadecimal digits per
//   character of the plain text; each pair is (code + previous pair) mod 255, XOR the
//   next key character, the key cycling over the whole text.

#include <QString>

// Text without any space character (code 32); tabs and line breaks stay.
QString Tira_Espacos(const QString &Text);

// Mode "C" scrambles Text, mode "D" unscrambles it, both with Key. A blank Text, or a
// mode other than exactly "C" or "D", gives the empty text. Only characters with codes
// 1 to 254 come back unchanged.
// Throws platform::ConvertError when mode "D" meets a pair that is not hexadecimal
// (also the missing first pair of a text of one or two characters), and
// platform::Exception for an empty key or a key character above 255.
QString Cifra_Texto(const QString &Mode, const QString &Text, const QString &Key);

// The key of the stored data version: seven ASCII letters, from the settings. Data
// scrambled under one key unscramble only under the same key.
QString Chave_Cifra();
