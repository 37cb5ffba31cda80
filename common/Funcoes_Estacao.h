#pragma once

// Funcoes: identification of the workstation. Support workstations are known by the
// volume serial of their drive C; on one of them the tool runs in support mode
// (Est_Sup set, Nme_Usu "SUPORTE", see common/Globais.h).

#include "platform/VolumeSerial.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Serials of the support workstations' drive C, each 8 upper-case hexadecimal digits as
// Serie_Disco writes them. Identifica_Estacao assigns them anew from the settings.
inline QStringList Ser_Sup;

// Where Serie_Disco gets the volume serial of a drive (a letter); empty when the system
// cannot tell. The system's own by default; tests put theirs here.
using TFonte_Serie = std::function<std::optional<quint32>(const QString &Drive)>;
inline TFonte_Serie Fonte_Serie_Disco = platform::VolumeSerial;

// Volume serial of the root folder of `Drive` as 8 upper-case hexadecimal digits, zero
// filled ("0000ABCD"). The empty text when the serial cannot be read; never throws.
QString Serie_Disco(const QString &Drive) noexcept;

// Sets Est_Sup when the serial of drive C is one of Ser_Sup, and then Nme_Usu to
// "SUPORTE"; otherwise clears Est_Sup and leaves Nme_Usu as it is. Returns Est_Sup.
bool Identifica_Estacao();

// Puts Ser_Sup and Fonte_Serie_Disco back to their load values (tests).
void ResetFuncoesEstacao();
