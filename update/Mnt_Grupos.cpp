// The 22 operation groups and the frame they share. A switched-off group returns
// at once: it touches neither gauge nor the caption and cannot fail. The entry
// steps live in Mnt_Grupos_01_09.cpp, Mnt_Grupos_10_19.cpp and Mnt_Grupos_20_22.cpp.

#include "platform/Exception.h"
#include "update/Gauge.h"
#include "update/Mnt.h"
#include "update/Mnt_Componentes.h"

#include <QCoreApplication>
#include <array>

QString Tfrm_Mnt::Rotulo_Grupo(int Grupo) {
    static const std::array<QString, 22> Rotulos = {
        QStringLiteral("01 - RENOMEIA TABELA"),
        QStringLiteral("02 - RENOMEIA SEQUÊNCIA"),
        QStringLiteral("03 - RENOMEIA CAMPO"),
        QStringLiteral("04 - ALTERA CAMPO"),
        QStringLiteral("05 - CRIA TABELA"),
        QStringLiteral("06 - CRIA SEQUÊNCIA"),
        QStringLiteral("07 - CRIA/PREENCHE CAMPO NO FINAL"),
        QStringLiteral("08 - CRIA/REORDENA CAMPO"),
        QStringLiteral("09 - PREENCHE CAMPO"),
        QStringLiteral("10 - EXCLUI TABELA"),
        QStringLiteral("11 - EXCLUI SEQUÊNCIA"),
        QStringLiteral("12 - EXCLUI CAMPO"),
        QStringLiteral("13 - EXCLUI REGISTRO"),
        QStringLiteral("14 - EXCLUI ARQUIVO"),
        QStringLiteral("15 - RENOMEIA ARQUIVO"),
        QStringLiteral("16 - SUBSTITUI STRING"),
        QStringLiteral("17 - INCLUI OPERAÇÕES"),
        QStringLiteral("18 - RODA PROGRAMA"),
        QStringLiteral("19 - EXCLUI TELA"),
        QStringLiteral("20 - INCLUI TELA"),
        QStringLiteral("21 - ONDE USA CAMPO"),
        QStringLiteral("22 - DIFERENCA ESTOQUE ROMANEIO"),
    };
    if (Grupo < 1 || Grupo > 22)
        return QString();
    return Rotulos[static_cast<std::size_t>(Grupo - 1)];
}

void Tfrm_Mnt::Quadro_Grupo(int Grupo, const std::function<void(int Slot)> &Passo) {
    const QString Rotulo = Rotulo_Grupo(Grupo);
    gg_Par->SetPosition(0);
    gg_Par->SetMaxValue(100);
    try {
        lbl_Atu->SetCaption(Rotulo);
        emit groupStarted(Rotulo);
        const int Ultimo = gg_Par->MaxValue();
        for (int Slot = 1; Slot <= Ultimo; ++Slot) {
            gg_Par->AddProgress(1);
            emit slotReached(gg_Par->Position(), gg_Par->MaxValue());
            QCoreApplication::processEvents();
            Passo(Slot);
        }
    } catch (const platform::Exception &E) {
        // The failing slot, then the database's message; later slots are not visited.
        Erro = true;
        Num_Err = QString::number(gg_Par->Position()) + QStringLiteral("\r\n\r\n") + E.Message();
    }
    gg_Tot->AddProgress(1);
    emit groupEnded(Rotulo, Erro);
}

void Tfrm_Mnt::Grupo_01_Renomeia_Tabela() {
    Grupo_Com_Entradas(1, Release_.Grupo_01, &Tfrm_Mnt::Passo_01);
}

void Tfrm_Mnt::Grupo_02_Renomeia_Sequencia() {
    Grupo_Com_Entradas(2, Release_.Grupo_02, &Tfrm_Mnt::Passo_02);
}

void Tfrm_Mnt::Grupo_03_Renomeia_Campo() {
    Grupo_Com_Entradas(3, Release_.Grupo_03, &Tfrm_Mnt::Passo_03);
}

void Tfrm_Mnt::Grupo_04_Altera_Campo() {
    Grupo_Com_Entradas(4, Release_.Grupo_04, &Tfrm_Mnt::Passo_04);
}

void Tfrm_Mnt::Grupo_05_Cria_Tabela() {
    Grupo_Com_Entradas(5, Release_.Grupo_05, &Tfrm_Mnt::Passo_05);
}

void Tfrm_Mnt::Grupo_06_Cria_Sequencia() {
    Grupo_Com_Entradas(6, Release_.Grupo_06, &Tfrm_Mnt::Passo_06);
}

void Tfrm_Mnt::Grupo_07_Cria_Preenche_Campo() {
    Grupo_Com_Entradas(7, Release_.Grupo_07, &Tfrm_Mnt::Passo_07);
}

void Tfrm_Mnt::Grupo_08_Cria_Reordena_Campo() {
    Grupo_Com_Entradas(8, Release_.Grupo_08, &Tfrm_Mnt::Passo_08);
}

void Tfrm_Mnt::Grupo_09_Preenche_Campo() {
    Grupo_Com_Entradas(9, Release_.Grupo_09, &Tfrm_Mnt::Passo_09);
}

void Tfrm_Mnt::Grupo_10_Exclui_Tabela() {
    Grupo_Com_Entradas(10, Release_.Grupo_10, &Tfrm_Mnt::Passo_10);
}

void Tfrm_Mnt::Grupo_11_Exclui_Sequencia() {
    Grupo_Com_Entradas(11, Release_.Grupo_11, &Tfrm_Mnt::Passo_11);
}

void Tfrm_Mnt::Grupo_12_Exclui_Campo() {
    Grupo_Com_Entradas(12, Release_.Grupo_12, &Tfrm_Mnt::Passo_12);
}

// No entry step: the slots only move the gauge.
void Tfrm_Mnt::Grupo_13_Exclui_Registro() {
    if (Release_.Grupo_13.Ligado)
        Quadro_Grupo(13, [](int) {});
}

void Tfrm_Mnt::Grupo_14_Exclui_Arquivo() {
    Grupo_Com_Entradas(14, Release_.Grupo_14, &Tfrm_Mnt::Passo_14);
}

void Tfrm_Mnt::Grupo_15_Renomeia_Arquivo() {
    Grupo_Com_Entradas(15, Release_.Grupo_15, &Tfrm_Mnt::Passo_15);
}

void Tfrm_Mnt::Grupo_16_Substitui_String() {
    Grupo_Com_Entradas(16, Release_.Grupo_16, &Tfrm_Mnt::Passo_16);
}

// No entry step: the slots only move the gauge.
void Tfrm_Mnt::Grupo_17_Inclui_Operacoes() {
    if (Release_.Grupo_17.Ligado)
        Quadro_Grupo(17, [](int) {});
}

void Tfrm_Mnt::Grupo_18_Roda_Programa() {
    Grupo_Com_Entradas(18, Release_.Grupo_18, &Tfrm_Mnt::Passo_18);
}

void Tfrm_Mnt::Grupo_19_Exclui_Tela() {
    Grupo_Com_Entradas(19, Release_.Grupo_19, &Tfrm_Mnt::Passo_19);
}

void Tfrm_Mnt::Grupo_20_Inclui_Tela() {
    if (Release_.Grupo_20.Ligado)
        Grupo_20_Ligado();
}

void Tfrm_Mnt::Grupo_21_Onde_Usa_Campo() {
    if (Release_.Grupo_21.Ligado)
        Grupo_21_Ligado();
}

void Tfrm_Mnt::Grupo_22_Diferenca_Estoque_Romaneio() {
    if (Release_.Grupo_22.Ligado)
        Grupo_22_Ligado();
}
