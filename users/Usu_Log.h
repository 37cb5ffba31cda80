#pragma once

// Unit Usu_Log: the logged-users window frm_Usu_Log. It lists the rows of
// USU_LOG (the business system's program instances still logged in) and lets
// the operator end one: the process is killed on this machine and its row is
// deleted. Start-up creates the window, shows it modally only when the list is
// not empty, and destroys it afterwards.
//
// The list and the disconnection work without the window being shown (Atualiza,
// Registros, Desconecta), so a front end without a screen can use them; the
// window is a view over them.

#include "platform/Keys.h"
#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QString>
#include <QVariant>
#include <QtGlobal>
#include <memory>

class Tdm;
class QFrame;
class QStandardItemModel;
class QTableView;
class QToolButton;
class QWindow;

namespace platform::db {
class Query;
}

class Tfrm_Usu_Log;

// ---- Globals of the unit ----

// Set by every refresh: the list holds at least one row.
inline bool Exi_Usu_Log = false;
// The window created by start-up (nullptr before and after).
inline Tfrm_Usu_Log *frm_Usu_Log = nullptr;

// Puts the unit's globals back to their load values (tests).
void ResetUsu_Log();

// Key codes of the keys the window reacts to (the platform's virtual-key codes).
namespace Tecla = platform::Tecla;

// One row of USU_LOG as plain data. PID and TRS are kept as the database gave
// them (NULL included): a PID is only trusted after Valida_PID.
struct TUsu_Log {
    QVariant PID;
    QString USU;
    QString CPU;
    QVariant TRS;
    QDateTime LGN;
};

// A PID read from USU_LOG, checked before it goes to the process killer.
struct TPID_Usu_Log {
    bool Valido = false;
    qint64 Valor = 0;
    QString Texto;  // decimal digits of Valor (when Valido)
    QString Motivo; // why it is refused, for the operator (when not Valido)
};
// Accepts only a positive whole number that is neither 1 nor this program's own
// process id.
TPID_Usu_Log Valida_PID(const QVariant &PID);

// The list's date and time: the system's short format (the program-wide
// "dd/mm/yy" is set only after start-up, and this window lives only during it).
QString Formata_Logon(const QDateTime &LGN);

class Tfrm_Usu_Log : public QDialog {
    Q_OBJECT

public:
    // Works on the given data module (nullptr: `dm`). Creation refreshes the list
    // (FormCreate); a failure of that refresh leaves the constructor.
    explicit Tfrm_Usu_Log(Tdm *Modulo = nullptr, QWidget *parent = nullptr);
    ~Tfrm_Usu_Log() override;

    // ---- Components ----
    QFrame *pnl_Dad = nullptr;
    QTableView *dbgrd = nullptr;
    QFrame *pnl_Sair = nullptr;
    QToolButton *spdbtn_Atualizar = nullptr;
    QToolButton *spdbtn_Desconectar = nullptr;
    QStandardItemModel *dtsrc_Dis = nullptr;
    const std::unique_ptr<platform::db::Query> fdqry_Usu_Log;

    // ---- The list without the window ----

    // Runs the query anew, sets Exi_Usu_Log and fills the grid; closes the window
    // when no row is left.
    void Atualiza();
    // The rows of the last refresh, in the grid's order.
    const QList<TUsu_Log> &Registros() const { return Registros_; }
    // Ends the program instance of row Linha (0-based) and deletes its row, then
    // refreshes. A PID that Valida_PID refuses is reported with message 274 and
    // nothing is killed or deleted. Returns whether the row was disconnected.
    bool Desconecta(int Linha);
    // The grid's current row (-1 when the list is empty).
    int Linha_Atual() const;

    // ---- Handlers (Qt reaches them through GuardedCall) ----
    void FormCreate();
    void FormActivate();
    // Key is a virtual-key code (Tecla); the handler may change it: F1 to
    // F12 come back as Tecla::Clear. Shift holds the modifiers.
    void FormKeyDown(quint16 &Key, Qt::KeyboardModifiers Shift);
    void spdbtn_AtualizarClick();
    void spdbtn_DesconectarClick();

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;

private:
    void Cria_Componentes();
    void Preenche_Grade();

    Tdm *Modulo_;
    QList<TUsu_Log> Registros_;
    bool Centralizada_ = false;
    // Every key press, before the focused control.
    platform::KeyPreview *Previa_Teclas_ = new platform::KeyPreview(
        [this](quint16 &Key, Qt::KeyboardModifiers Shift) { FormKeyDown(Key, Shift); }, this);
};
