#pragma once

// Program-wide state shared by the units of the tool (workstation, start-up
// failure state). It lives here, below every unit that reads or writes it.

#include "common/Funcoes_Veltrana.h"

#include <QString>

inline bool Est_Sup = false; // this is a support workstation
inline QString Nme_Usu;      // user name shown in some messages ("SUPORTE" in support mode)

// Start-up failure state, written by start-up and by the update form's version check.
inline QString Des_Err;
inline bool Err_Con = false;
inline bool Err_Usu_Log = false;
inline bool Err_Dsc = false;
inline QString Ctt_Sup; // support contact named in the unknown-error text
// Set by the update form when the schema is not at the version the release expects.
inline bool Err_Ver = false;

// The installation, read from FIL.NME by start-up; shown and passed on by the update form.
inline TVeltrana Emp_Atu = TVeltrana::Nda;

// Puts every global of this header back to its load value (tests).
inline void ResetGlobais() {
    Est_Sup = false;
    Nme_Usu.clear();
    Des_Err.clear();
    Err_Con = Err_Usu_Log = Err_Dsc = false;
    Ctt_Sup.clear();
    Err_Ver = false;
    Emp_Atu = TVeltrana::Nda;
}
