// Carrega_Release: any file either loads into a release that keeps the loader's
// promises or is refused with platform::Exception.

#include "platform/Exception.h"
#include "tests/fuzz/FuzzSupport.h"
#include "update/Release.h"

namespace {

// Slots 1..100, and entries only under a switched-on group.
template <class TEntrada> void checkGroup(int number, const TGrupo<TEntrada> &group) {
    if (group.Entradas.empty())
        return;
    if (!group.Ligado)
        fuzz::fail("entries accepted under a switched-off group", QString::number(number));
    if (group.Entradas.begin()->first < 1 || group.Entradas.rbegin()->first > 100)
        fuzz::fail("slot outside 1..100 accepted", QString::number(number));
}

void checkRelease(const TRelease &r) {
    if (r.Ver_Dad_Fut < 1)
        fuzz::fail("ver_dad_fut below 1 accepted", QString::number(r.Ver_Dad_Fut));
    checkGroup(1, r.Grupo_01);
    checkGroup(2, r.Grupo_02);
    checkGroup(3, r.Grupo_03);
    checkGroup(4, r.Grupo_04);
    checkGroup(5, r.Grupo_05);
    checkGroup(6, r.Grupo_06);
    checkGroup(7, r.Grupo_07);
    checkGroup(8, r.Grupo_08);
    checkGroup(9, r.Grupo_09);
    checkGroup(10, r.Grupo_10);
    checkGroup(11, r.Grupo_11);
    checkGroup(12, r.Grupo_12);
    checkGroup(14, r.Grupo_14);
    checkGroup(15, r.Grupo_15);
    checkGroup(16, r.Grupo_16);
    checkGroup(18, r.Grupo_18);
    checkGroup(19, r.Grupo_19);
    checkGroup(21, r.Grupo_21);
    for (const auto &[slot, entry] : r.Grupo_19.Entradas)
        if (entry.Tela < 1)
            fuzz::fail("screen number below 1 accepted", QString::number(entry.Tela));
    for (const auto &[slot, entry] : r.Grupo_15.Entradas)
        if (!entry.Pasta.endsWith(QLatin1Char('\\')) && !entry.Pasta.endsWith(QLatin1Char('/')))
            fuzz::fail("group 15 folder without a trailing separator accepted", entry.Pasta);
    for (const auto &[slot, entry] : r.Grupo_09.Entradas)
        if (entry.Comando.isEmpty())
            fuzz::fail("empty group 9 statement accepted");
    for (const auto &[slot, entry] : r.Grupo_05.Entradas)
        if (entry.Tabela.isEmpty() || entry.Definicoes.isEmpty() || entry.Chaves.isEmpty())
            fuzz::fail("group 5 entry with an empty name, definition or key accepted");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString file = fuzz::writeScratchFile(QStringLiteral("release.json"), data, size);
    TRelease release;
    try {
        release = Carrega_Release(file);
    } catch (const platform::Exception &) {
        return 0;
    } catch (const std::exception &e) {
        fuzz::unexpected(e);
    }
    checkRelease(release);
    if (!(release.Ligado(0) == false && release.Ligado(23) == false))
        fuzz::fail("Ligado() true for a group number outside 1..22");
    return 0;
}
