// Groups 20 to 22 when switched on: the screen registry rebuild and the two
// diagnostic reports. Each differs from the shared frame: group 20 starts its
// gauge at 1 of 999, clears the registry first and uses the screen numbers as
// slots; groups 21 and 22 clear the two option boxes (so the run stores no new
// version) and write text reports into the report folder (Pth_Atu); group 22
// walks the romaneios instead of slots and does not move the total gauge.

#include "common/Configuracao.h"
#include "common/Data_Module.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "update/Gauge.h"
#include "update/Mnt.h"
#include "update/Mnt_Componentes.h"
#include "update/Telas.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>
#include <cmath>

namespace {

const QString Quebra_Dupla = QStringLiteral("\r\n\r\n");

// ---- Group 20 ----

// Removes the administrators' access rows and every screen. The access rows of
// ordinary users stay.
void Apaga_Telas(Tdm &Modulo) {
    platform::db::Query &Atualiza = *Modulo.fdqry_Atualiza;
    Atualiza.SQL.Clear();
    Atualiza.SQL.Add(QStringLiteral("delete from USU_ACE where USU_IDT = (select IDT from USU "
                                    "where IDT = USU_ACE.USU_IDT and ADM = 'Sim')"));
    Atualiza.ExecSQL();
    Atualiza.SQL.Clear();
    Atualiza.SQL.Add(QStringLiteral("delete from TEL"));
    Atualiza.ExecSQL();
}

// The branch code as it goes into the access row: a whole number. Anything
// else (a null code, a text) would build a broken or foreign statement.
QString Codigo_Filial(const platform::db::Field &Campo) {
    const QString Texto = Campo.AsString().trimmed();
    bool Ok = false;
    Texto.toLongLong(&Ok);
    if (!Ok)
        throw platform::Exception(QStringLiteral("Código de filial inválido: '") + Texto +
                                  QStringLiteral("'"));
    return Texto;
}

// Writes one screen and one access row for every pair of (branch that controls
// stock, administrator not blocked), then empties the code and description.
void Grava_Tela(Tdm &Modulo, int Num, QString &Nme, QString &Des) {
    const QString Numero = QString::number(Num);
    platform::db::Query &Funcao = *Modulo.fdqry_Funcao;
    Funcao.SQL.Clear();
    Funcao.SQL.Add(QStringLiteral("insert into TEL (NUM, NME, DES) values (") + Numero +
                   QStringLiteral(", ") + QuotedStr(Nme) + QStringLiteral(", ") + QuotedStr(Des) +
                   QStringLiteral(")"));
    Funcao.ExecSQL();

    Funcao.SQL.Clear();
    Funcao.SQL.Add(
        QStringLiteral("select COD as FIL_COD from FIL where CTL_EST = 'Sim' order by COD"));
    Funcao.Open();
    platform::db::Query &Auxiliar = *Modulo.fdqry_Auxiliar;
    platform::db::Query &Atualiza = *Modulo.fdqry_Atualiza;
    while (!Funcao.Eof()) {
        const QString Filial = Codigo_Filial(Funcao.FieldByName(QStringLiteral("FIL_COD")));
        Auxiliar.SQL.Clear();
        Auxiliar.SQL.Add(
            QStringLiteral("select IDT from USU where ADM = 'Sim' and BLQ = 'Não' order by IDT"));
        Auxiliar.Open();
        while (!Auxiliar.Eof()) {
            Atualiza.SQL.Clear();
            Atualiza.SQL.Add(QStringLiteral("insert into USU_ACE (FIL_COD, USU_IDT, TEL_NUM) "
                                            "values (") +
                             Filial + QStringLiteral(", ") +
                             QuotedStr(Auxiliar.FieldByName(QStringLiteral("IDT")).AsString()) +
                             QStringLiteral(", ") + Numero + QStringLiteral(")"));
            Atualiza.ExecSQL();
            Auxiliar.Next();
        }
        Funcao.Next();
    }
    Nme.clear();
    Des.clear();
}

// ---- Group 21 ----

// Table name filled with full stops up to 25 characters, then the column name.
QString Linha_Uso_Campo(const QString &Tabela, const QString &Coluna) {
    return Tabela.leftJustified(25, QLatin1Char('.')) + Coluna;
}

// Lists every table with a column whose name holds the fragment into
// <report folder><fragment>.txt. An older report of that name goes first; no
// match leaves no file.
void Lista_Uso_Campo(Tdm &Modulo, const QString &Fragmento) {
    const QString Arquivo =
        platform::JoinFolder(Configuracao().Pth_Atu, Fragmento + QStringLiteral(".txt"));
    if (QFileInfo::exists(Arquivo))
        platform::RemoveFile(Arquivo); // a failed deletion is not reported
    platform::db::Query &Temp = *Modulo.fdqry_Temp;
    Temp.SQL.Clear();
    Temp.SQL.Add(QStringLiteral("select TABLE_NAME, COLUMN_NAME from USER_TAB_COLUMNS where "
                                "COLUMN_NAME like ") +
                 QuotedStr(QStringLiteral("%") + Fragmento + QStringLiteral("%")) +
                 QStringLiteral(" order by TABLE_NAME"));
    Temp.Open();
    QStringList Linhas;
    while (!Temp.Eof()) {
        Linhas << Linha_Uso_Campo(Temp.FieldByName(QStringLiteral("TABLE_NAME")).AsString(),
                                  Temp.FieldByName(QStringLiteral("COLUMN_NAME")).AsString());
        Temp.Next();
    }
    if (!Linhas.isEmpty())
        platform::WriteAnsiLines(Arquivo, Linhas);
}

// ---- Group 22 ----

// Rounds to 3 decimals: times 1000, nearest integer with ties to the even
// neighbour, divided by 1000. A negative zero comes back as zero, so that it is
// written "0".
double Arredonda_3(double Valor) {
    const double Arredondado = std::nearbyint(Valor * 1000.0) / 1000.0;
    return Arredondado == 0.0 ? 0.0 : Arredondado;
}

// A weight in general format: up to 15 significant digits, no trailing zeros,
// no thousands separator, the system's decimal separator.
QString Texto_Peso(double Valor) {
    QString Texto = QString::number(Valor, 'g', 15);
    Texto.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return Texto;
}

// The system's date separator: the first character of the short date format
// that is not part of a day, month or year field.
QString Separador_Data() {
    const QString Formato = QLocale().dateFormat(QLocale::ShortFormat);
    for (const QChar C : Formato) {
        if (!C.isLetter() && C != QLatin1Char('\''))
            return QString(C);
    }
    return QStringLiteral("/");
}

// A whole number with the system's thousands separator (pattern ",0").
QString Milhar(int Valor) {
    QLocale Local;
    Local.setNumberOptions(Local.numberOptions() & ~QLocale::OmitGroupSeparator);
    return Local.toString(Valor);
}

struct TSoma {
    int Qde = 0;
    double Liq = 0.0;
    double Bru = 0.0;
};

// One of the two write-off sums for a romaneio; no row gives zeros.
TSoma Soma_Baixas(platform::db::Query &Auxiliar, const QString &Tabela, const QString &Coluna,
                  int Romaneio) {
    Auxiliar.SQL.Clear();
    Auxiliar.SQL.Add(
        QStringLiteral("select sum(QDE) as QDE, sum(PSO_LIQ) as PSO_LIQ, sum(PSO_BRU) as PSO_BRU "
                       "from   ") +
        Tabela + QStringLiteral(" where  ") + Coluna + QStringLiteral(" = ") +
        QString::number(Romaneio));
    Auxiliar.Open();
    TSoma Soma;
    if (!Auxiliar.Eof()) {
        Soma.Qde = Auxiliar.FieldByName(QStringLiteral("QDE")).AsInteger();
        Soma.Liq = Arredonda_3(Auxiliar.FieldByName(QStringLiteral("PSO_LIQ")).AsFloat());
        Soma.Bru = Arredonda_3(Auxiliar.FieldByName(QStringLiteral("PSO_BRU")).AsFloat());
    }
    return Soma;
}

} // namespace

void Tfrm_Mnt::Grupo_20_Ligado() {
    const QString Rotulo = Rotulo_Grupo(20);
    // Maximum first: a position is clamped to the maximum in force.
    gg_Par->SetMaxValue(999);
    gg_Par->SetPosition(1);
    try {
        lbl_Atu->SetCaption(Rotulo);
        emit groupStarted(Rotulo);
        Tdm &Modulo_Dados = *Modulo();
        Apaga_Telas(Modulo_Dados);
        QString Nme;
        QString Des;
        for (int Num = 1; Num <= 999; ++Num) {
            gg_Par->AddProgress(1);
            emit slotReached(gg_Par->Position(), gg_Par->MaxValue());
            QCoreApplication::processEvents();
            if (const TTela *Tela = Tela_Por_Numero(Num)) {
                Nme = QString::fromLatin1(Tela->Nme);
                Des = QString::fromUtf8(Tela->Des);
                Grava_Tela(Modulo_Dados, Num, Nme, Des);
            }
        }
    } catch (const platform::Exception &E) {
        // The gauge runs one ahead of the screen number: a failure at screen n
        // is reported as n + 1, a failure while clearing as 1.
        Erro = true;
        Num_Err = QString::number(gg_Par->Position()) + Quebra_Dupla + E.Message();
    }
    gg_Tot->AddProgress(1);
    emit groupEnded(Rotulo, Erro);
}

void Tfrm_Mnt::Grupo_21_Ligado() {
    const QString Rotulo = Rotulo_Grupo(21);
    gg_Par->SetPosition(0);
    gg_Par->SetMaxValue(100);
    // The report run stores no new version (the box's handler clears Val_Atu_Ver).
    chckbx_Tes_Usu_Log->setChecked(false);
    chckbx_Val_Atu_Ver->setChecked(false);
    try {
        lbl_Atu->SetCaption(Rotulo);
        emit groupStarted(Rotulo);
        Tdm &Modulo_Dados = *Modulo();
        for (int Slot = 1; Slot <= gg_Par->MaxValue(); ++Slot) {
            gg_Par->AddProgress(1);
            emit slotReached(gg_Par->Position(), gg_Par->MaxValue());
            QCoreApplication::processEvents();
            if (const TEntrada_21 *Ent = Release_.Grupo_21.Entrada(Slot))
                Lista_Uso_Campo(Modulo_Dados, Ent->Fragmento);
        }
    } catch (const platform::Exception &E) {
        Erro = true;
        Num_Err = QString::number(gg_Par->Position()) + Quebra_Dupla + E.Message();
    }
    gg_Tot->AddProgress(1);
    emit groupEnded(Rotulo, Erro);
}

void Tfrm_Mnt::Grupo_22_Ligado() {
    const QString Rotulo = Rotulo_Grupo(22);
    gg_Par->SetPosition(0);
    gg_Par->SetMaxValue(100);
    chckbx_Tes_Usu_Log->setChecked(false);
    chckbx_Val_Atu_Ver->setChecked(false);
    lbl_Atu->SetCaption(Rotulo);
    emit groupStarted(Rotulo);

    // Created (or emptied) before the capture: a missing folder is the driver's
    // failure, not a romaneio's.
    const QString Arquivo = platform::JoinFolder(Configuracao().Pth_Atu,
                                                 QStringLiteral("Romaneio - ") +
                                                     lbl_Emp->Caption() + QStringLiteral(".txt"));
    try {
        platform::WriteAnsiLines(Arquivo, {});
    } catch (...) {
        emit groupEnded(Rotulo, true); // the driver reports it; the group has ended all the same
        throw;
    }

    QStringList Linhas;
    try {
        Tdm &Modulo_Dados = *Modulo();
        platform::db::Query &Rom = *Modulo_Dados.fdqry_Funcao;
        platform::db::Query &Auxiliar = *Modulo_Dados.fdqry_Auxiliar;
        Rom.SQL.Clear();
        Rom.SQL.Add(QStringLiteral("select * from ROM where ENT_DTA between '01/01/01' and "
                                   "'31/12/30' order by ENT_DTA, NUM"));
        Rom.Open();
        gg_Par->SetMaxValue(Rom.RecordCount());
        const QString Formato_Data = QStringLiteral("dd") + Separador_Data() +
                                     QStringLiteral("MM") + Separador_Data() + QStringLiteral("yy");
        const QString Total = Milhar(gg_Par->MaxValue());
        while (!Rom.Eof()) {
            gg_Par->AddProgress(1);
            lbl_Avi->SetCaption(Milhar(gg_Par->Position()) + QStringLiteral(" de ") + Total);
            emit slotReached(gg_Par->Position(), gg_Par->MaxValue());
            QCoreApplication::processEvents();

            const QString Data =
                Rom.FieldByName(QStringLiteral("ENT_DTA")).AsDateTime().toString(Formato_Data);
            const int Num = Rom.FieldByName(QStringLiteral("NUM")).AsInteger();
            const int Ent_Qde = Rom.FieldByName(QStringLiteral("ENT_QDE")).AsInteger();
            const double Ent_Liq =
                Arredonda_3(Rom.FieldByName(QStringLiteral("ENT_PSO_LIQ")).AsFloat());
            const double Ent_Bru =
                Arredonda_3(Rom.FieldByName(QStringLiteral("ENT_PSO_BRU")).AsFloat());
            const int Qde = Rom.FieldByName(QStringLiteral("QDE")).AsInteger();
            const double Liq = Arredonda_3(Rom.FieldByName(QStringLiteral("PSO_LIQ")).AsFloat());
            const double Bru = Arredonda_3(Rom.FieldByName(QStringLiteral("PSO_BRU")).AsFloat());

            const TSoma B =
                Soma_Baixas(Auxiliar, QStringLiteral("ROM_BXA"), QStringLiteral("ROM_NUM"), Num);
            const TSoma V = Soma_Baixas(Auxiliar, QStringLiteral("PDT_PED_ITE_BXA"),
                                        QStringLiteral("NUM"), Num);
            const int Sal_Qde = Ent_Qde - B.Qde - V.Qde;
            const double Sal_Liq = Arredonda_3(Ent_Liq - B.Liq - V.Liq);
            const double Sal_Bru = Arredonda_3(Ent_Bru - B.Bru - V.Bru);

            if (Qde != Sal_Qde || Liq != Sal_Liq || Bru != Sal_Bru) {
                Linhas << Data + QStringLiteral(" | R=") + QString::number(Num) +
                              QStringLiteral(" # QDE E=") + QString::number(Ent_Qde) +
                              QStringLiteral(" | B=") + QString::number(B.Qde) +
                              QStringLiteral(" | V=") + QString::number(V.Qde) +
                              QStringLiteral(" | S=") + QString::number(Sal_Qde) +
                              QStringLiteral(" | X=") + QString::number(Qde) +
                              QStringLiteral(" # LIQ E=") + Texto_Peso(Ent_Liq) +
                              QStringLiteral(" | B=") + Texto_Peso(B.Liq) +
                              QStringLiteral(" | V=") + Texto_Peso(V.Liq) +
                              QStringLiteral(" | S=") + Texto_Peso(Sal_Liq) +
                              QStringLiteral(" | X=") + Texto_Peso(Liq) +
                              QStringLiteral(" # BRU E=") + Texto_Peso(Ent_Bru) +
                              QStringLiteral(" | B=") + Texto_Peso(B.Bru) +
                              QStringLiteral(" | V=") + Texto_Peso(V.Bru) +
                              QStringLiteral(" | S=") + Texto_Peso(Sal_Bru) +
                              QStringLiteral(" | X=") + Texto_Peso(Bru);
            }
            Rom.Next();
        }
        platform::WriteAnsiLines(Arquivo, Linhas);
    } catch (const platform::Exception &E) {
        Erro = true;
        Num_Err = QString::number(gg_Par->Position()) + Quebra_Dupla + E.Message();
    }
    // A failed run leaves no partial report.
    if (Erro && QFileInfo::exists(Arquivo))
        platform::RemoveFile(Arquivo);
    emit groupEnded(Rotulo, Erro);
}
