#pragma once

// Unit Mnt: the update window frm_Mnt. It shows the installation and the current
// and future data versions, checks on activation that the schema is at the
// version this release expects, and on "Executar" runs the 22 operation groups
// with keyboard and mouse input blocked. After a good run it stores the new data
// version (scrambled) and has the backup scripts rewritten; after a failure it
// names the group, the entry and the database message and asks for a restore.
//
// The window and the run driver are in Mnt.cpp, the 22 group methods and their
// shared frame in Mnt_Grupos.cpp, the groups' entry steps in
// Mnt_Grupos_01_09.cpp, Mnt_Grupos_10_19.cpp and Mnt_Grupos_20_22.cpp. The schema
// primitives are inherited, so the groups call them as the form's own methods.
//
// Progress is reported through the signals below as well, so that a front end
// without a screen (the console) can follow a run.

#include "platform/Keys.h"
#include "update/Mnt_Primitivas.h"
#include "update/Release.h"

#include <QPointer>
#include <QString>
#include <QWidget>
#include <QtGlobal>
#include <functional>

class BevelPanel;
class CaptionLabel;
class Gauge;
class NumericEdit;
class QCheckBox;
class QGroupBox;
class QPushButton;
class QTimer;

// ---- Globals of the unit ----

// Copy of chckbx_Tes_Usu_Log taken at creation: start-up shows the logged-users
// window only when it is set.
inline bool Tes_Usu_Log = false;
// Copy of chckbx_Val_Atu_Ver: check the version on activation and store the new
// version after a good run.
inline bool Val_Atu_Ver = false;
// Current data version, unscrambled from CFG.VER_DAD by start-up before the form
// is created.
inline qint32 Ver_Dad_Atu = 0;
// Future data version: the value of jvclcedt_Dad_Fut taken at creation.
inline qint32 Ver_Dad_Fut = 0;
// Release settings (copied from the release when the form is created): with
// Usa_Ver_Exi the schema must be exactly at Ver_Exi; without it the future
// version must be the current one plus one.
inline bool Usa_Ver_Exi = true;
inline qint32 Ver_Exi = 18;

// Puts the unit's globals back to their load values (tests).
void ResetMnt();

// Key codes of the keys the window reacts to (the platform's virtual-key codes).
namespace Tecla = platform::Tecla;

class Tfrm_Mnt : public QWidget, public TMnt_Primitivas {
    Q_OBJECT

public:
    // The release of this build: the file named in the settings
    // (Configuracao().Arquivo_Release) or, without one, the built-in release.
    explicit Tfrm_Mnt(QWidget *parent = nullptr);
    // A given release, working on the given data module (nullptr: `dm`).
    explicit Tfrm_Mnt(const TRelease &Release, Tdm *Modulo = nullptr, QWidget *parent = nullptr);
    ~Tfrm_Mnt() override;

    // ---- Components, in declaration order ----
    BevelPanel *pnl_Dad = nullptr;
    CaptionLabel *lbl_Emp = nullptr;
    CaptionLabel *lbl_Tot = nullptr;
    Gauge *gg_Tot = nullptr;
    CaptionLabel *lbl_Par = nullptr;
    Gauge *gg_Par = nullptr;
    QGroupBox *grpbx_Ver = nullptr;
    CaptionLabel *lbl_Bse_Atu = nullptr;
    NumericEdit *jvclcedt_Dad_Atu = nullptr;
    CaptionLabel *lbl_Bse_Fut = nullptr;
    NumericEdit *jvclcedt_Dad_Fut = nullptr;
    QPushButton *btbtn_Executar = nullptr;
    QCheckBox *chckbx_Tes_Usu_Log = nullptr;
    QCheckBox *chckbx_Val_Atu_Ver = nullptr;
    BevelPanel *pnl_Avi = nullptr;
    QTimer *tmr_Avi = nullptr;
    CaptionLabel *lbl_Avi = nullptr;
    BevelPanel *pnl_Atu = nullptr;
    CaptionLabel *lbl_Atu = nullptr;

    // ---- Run state shared by the driver and the groups ----
    bool Erro = false;        // an operation of the run failed
    bool Fechou_Tela = false; // the operator closed the window with Esc or Alt+F4
    QString Num_Err;          // description of the failure

    // ---- Handlers (Qt reaches them through GuardedCall) ----
    void FormCreate();
    void FormActivate();
    // Key is a virtual-key code (Tecla); the handler may change it. Shift holds the
    // modifiers. F1 to F12 come back as Tecla::Clear.
    void FormKeyDown(quint16 &Key, Qt::KeyboardModifiers Shift);
    void tmr_AviTimer();
    void chckbx_Val_Atu_VerClick();
    // The run driver. It may raise only when storing the new version fails.
    void btbtn_ExecutarClick();

    // ---- The operation groups, in run order ----
    void Grupo_01_Renomeia_Tabela();
    void Grupo_02_Renomeia_Sequencia();
    void Grupo_03_Renomeia_Campo();
    void Grupo_04_Altera_Campo();
    void Grupo_05_Cria_Tabela();
    void Grupo_06_Cria_Sequencia();
    void Grupo_07_Cria_Preenche_Campo();
    void Grupo_08_Cria_Reordena_Campo();
    void Grupo_09_Preenche_Campo();
    void Grupo_10_Exclui_Tabela();
    void Grupo_11_Exclui_Sequencia();
    void Grupo_12_Exclui_Campo();
    void Grupo_13_Exclui_Registro();
    void Grupo_14_Exclui_Arquivo();
    void Grupo_15_Renomeia_Arquivo();
    void Grupo_16_Substitui_String();
    void Grupo_17_Inclui_Operacoes();
    void Grupo_18_Roda_Programa();
    void Grupo_19_Exclui_Tela();
    void Grupo_20_Inclui_Tela();
    void Grupo_21_Onde_Usa_Campo();
    void Grupo_22_Diferenca_Estoque_Romaneio();

    // The label of group 1..22 ("05 - CRIA TABELA").
    static QString Rotulo_Grupo(int Grupo);

    const TRelease &Release() const { return Release_; }
    // A run is in progress (inside btbtn_ExecutarClick).
    bool Em_Execucao() const { return Em_Execucao_; }
    // The activation found the schema at a version this release does not expect:
    // Executar, Enter and F5 do nothing.
    bool Execucao_Recusada() const { return Recusada_; }

signals:
    // A switched-on group put its label on the window.
    void groupStarted(const QString &label);
    // A group's partial gauge reached slot `slot` of `maximum`.
    void slotReached(int slot, int maximum);
    // A switched-on group ended (failed: Erro is set).
    void groupEnded(const QString &label, bool failed);
    // The run is over: ok, or failed with the text of the failure report (or the
    // message of a failed version write).
    void runEnded(bool ok, const QString &text);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

protected:
    // Calls group 1..22 (the driver's only way into the groups).
    virtual void Executa_Grupo(int Grupo);

    // The frame every group shares: partial gauge at 0 of 100, the label in
    // lbl_Atu, slots 1 to 100 with one pass of pending window messages each and
    // the step for the slot, the capture that turns a failure into Erro and
    // Num_Err, and the total gauge advanced at the end. The caller has already
    // checked the group's switch.
    void Quadro_Grupo(int Grupo, const std::function<void(int Slot)> &Passo);

private:
    void Cria_Componentes();
    bool Versao_Fora_Sequencia() const;
    void Recusa_Execucao(bool Recusa);
    void Fecha_Tela();
    void Grava_Versao();

    // A group with entries: switch, then the frame with the group's entry step
    // for every slot that has an entry.
    template <class TEntrada>
    void Grupo_Com_Entradas(int Grupo, const TGrupo<TEntrada> &Dados,
                            void (Tfrm_Mnt::*Passo)(const TEntrada &)) {
        if (!Dados.Ligado)
            return;
        Quadro_Grupo(Grupo, [&](int Slot) {
            if (const TEntrada *Ent = Dados.Entrada(Slot))
                (this->*Passo)(*Ent);
        });
    }

    // ---- Entry steps (one per group with entries) ----
    void Passo_01(const TEntrada_01 &Ent);
    void Passo_02(const TEntrada_02 &Ent);
    void Passo_03(const TEntrada_03 &Ent);
    void Passo_04(const TEntrada_04 &Ent);
    void Passo_05(const TEntrada_05 &Ent);
    void Passo_06(const TEntrada_06 &Ent);
    void Passo_07(const TEntrada_07 &Ent);
    void Passo_08(const TEntrada_08 &Ent);
    void Passo_09(const TEntrada_09 &Ent);
    void Passo_10(const TEntrada_10 &Ent);
    void Passo_11(const TEntrada_11 &Ent);
    void Passo_12(const TEntrada_12 &Ent);
    void Passo_14(const TEntrada_14 &Ent);
    void Passo_15(const TEntrada_15 &Ent);
    void Passo_16(const TEntrada_16 &Ent);
    void Passo_18(const TEntrada_18 &Ent);
    void Passo_19(const TEntrada_19 &Ent);
    // Groups 20 to 22 differ from the frame (own gauge range, clearing step,
    // report files, option boxes): each switched-on group runs its own routine.
    void Grupo_20_Ligado();
    void Grupo_21_Ligado();
    void Grupo_22_Ligado();

    TRelease Release_;
    bool Em_Execucao_ = false;
    bool Concluida_ = false;     // the run reached its end and closed the window
    bool Recusada_ = false;      // version out of sequence: no run
    bool Avisou_Versao_ = false; // the out-of-sequence message was shown
    bool Centralizada_ = false;
    // Every key press, before the focused control.
    platform::KeyPreview *Previa_Teclas_ = new platform::KeyPreview(
        [this](quint16 &Key, Qt::KeyboardModifiers Shift) { FormKeyDown(Key, Shift); }, this);
};
