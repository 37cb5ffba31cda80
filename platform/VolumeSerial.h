#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace platform {

// Serial number of the volume whose root folder is `drive` (one letter) followed by ":\".
// On Windows the system is asked. Elsewhere drive "C" stands for the root file system and
// its serial is the low 32 bits of the file-system id; every other letter has no volume.
// Empty when the system cannot tell; never throws.
std::optional<quint32> VolumeSerial(const QString &drive);

} // namespace platform
