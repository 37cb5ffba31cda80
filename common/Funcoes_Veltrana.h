#pragma once

// Funcoes: the named values of the business system (installations, record operations,
// invoice states, kinds of partners, payments and stock, ...) and their texts, which
// are what the business system stores in its tables (FIL.NME holds an installation).

#include <QString>
#include <QtGlobal>

// Stored in 16 bits. Only the values of the table in Funcoes_Veltrana.cpp have a text;
// the installations, the values the update tool itself uses, have names here.
enum class TVeltrana : quint16 {
    Nda = 0,
    Veltrana = 2,
    Tecnico1 = 3,
    Tecnico2 = 4,
    Estacao1 = 5,
    Estacao2 = 6,
    Servidor = 8,
    Empresa11 = 11,
    Empresa12,
    Empresa13,
    Empresa14,
    Empresa15,
    Empresa16,
    Empresa17,
    Empresa18,
    Empresa19,
    Empresa20,
    Empresa21,
    Empresa22,
    Empresa23,
    Empresa24,
    Empresa25,
    Empresa26,
    Empresa27,
    Empresa28,
    Empresa29,
    Empresa30,
    Empresa31,
    Empresa32,
    Empresa33,
    Empresa34,
};

// Quoted into the messages of a failed conversion.
inline const QString Par_Inv = QStringLiteral("Parâmetro Inválido: ");

// The value's text; the empty text for value 1. Throws platform::Exception
// "Parâmetro - TVeltranaToStr: 'Parâmetro Inválido: '" for a value without a text.
QString TVeltranaToStr(TVeltrana Value);

// The value whose text equals Text exactly (no trimming, no case folding); value 1 for
// the empty text. Throws platform::Exception
// "Parâmetro - StrToTVeltrana: 'Parâmetro Inválido: '" for any other text.
TVeltrana StrToTVeltrana(const QString &Text);
