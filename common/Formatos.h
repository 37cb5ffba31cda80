#pragma once

#include <QString>

// The program-wide short date format: empty (the system's) until start-up sets
// "dd/mm/yy" right before the event loop starts.
inline QString Formato_Data_Curta;
