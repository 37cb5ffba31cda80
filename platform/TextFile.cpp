#include "platform/TextFile.h"

#include "platform/Exception.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>

namespace platform {

namespace {

// Code points of bytes 0x80..0x9F in Windows-1252 (0 where the code page has none).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return char(c);
    for (size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] != 0 && kHigh[i] == c)
            return char(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray ToWindows1252(const QString &text) {
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(toByte(c.unicode()));
    return out;
}

QString FromWindows1252(const QByteArray &bytes) {
    QString out;
    out.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        if (u >= 0x80 && u <= 0x9F && kHigh[u - 0x80] != 0)
            out.append(QChar(kHigh[u - 0x80]));
        else
            out.append(QChar(u));
    }
    return out;
}

void WriteAnsiLines(const QString &path, const QStringList &lines) {
#ifndef Q_OS_WIN
    if (path.contains(QLatin1Char('\\')))
        throw Exception(QStringLiteral("Pasta não encontrada: %1").arg(path));
#endif
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        throw Exception(QStringLiteral("Pasta não encontrada: %1")
                            .arg(QDir::toNativeSeparators(info.absolutePath())));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw Exception(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    for (const QString &line : lines) {
        QByteArray bytes = ToWindows1252(line);
        bytes.append("\r\n", 2);
        if (file.write(bytes) != bytes.size())
            throw Exception(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
    }
    if (!file.flush())
        throw Exception(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
    file.close();
    if (file.error() != QFileDevice::NoError)
        throw Exception(QStringLiteral("Não foi possível fechar o arquivo %1: %2")
                            .arg(QDir::toNativeSeparators(path), file.errorString()));
}

} // namespace platform
