#include "common/Funcoes_Estacao.h"

#include "common/Configuracao.h"
#include "common/Globais.h"

QString Serie_Disco(const QString &Drive) noexcept {
    try {
        if (!Fonte_Serie_Disco)
            return QString();
        const std::optional<quint32> serie = Fonte_Serie_Disco(Drive);
        if (!serie)
            return QString();
        return QStringLiteral("%1").arg(*serie, 8, 16, QLatin1Char('0')).toUpper();
    } catch (...) {
        // A serial that cannot be read is no serial: the workstation is then an ordinary one.
        return QString();
    }
}

bool Identifica_Estacao() {
    Ser_Sup = Configuracao().Ser_Sup;

    const QString serie = Serie_Disco(QStringLiteral("C"));
    // An unreadable serial must never match, not even a blank entry of the settings.
    const bool suporte = !serie.isEmpty() && Ser_Sup.contains(serie, Qt::CaseSensitive);

    if (suporte) {
        Nme_Usu = QStringLiteral("SUPORTE");
        Est_Sup = true;
    } else {
        Est_Sup = false;
    }
    return Est_Sup;
}

void ResetFuncoesEstacao() {
    Ser_Sup.clear();
    Fonte_Serie_Disco = platform::VolumeSerial;
}
