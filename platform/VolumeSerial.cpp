#include "platform/VolumeSerial.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/statvfs.h>
#endif

namespace platform {

#ifdef Q_OS_WIN

std::optional<quint32> VolumeSerial(const QString &drive) {
    const std::wstring root = (drive + QStringLiteral(":\\")).toStdWString();
    DWORD serial = 0;
    DWORD maxComponent = 0;
    DWORD flags = 0;
    // The volume name is not wanted: asking for it into a short buffer would make the
    // call fail on volumes with a long label.
    if (!GetVolumeInformationW(root.c_str(), nullptr, 0, &serial, &maxComponent, &flags, nullptr,
                               0))
        return std::nullopt;
    return static_cast<quint32>(serial);
}

#else

std::optional<quint32> VolumeSerial(const QString &drive) {
    if (drive.compare(QStringLiteral("C"), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    struct statvfs info;
    if (statvfs("/", &info) != 0)
        return std::nullopt;
    // f_fsid is an unsigned long; its low 32 bits play the part of the serial.
    return static_cast<quint32>(info.f_fsid & 0xFFFFFFFFul);
}

#endif

} // namespace platform
