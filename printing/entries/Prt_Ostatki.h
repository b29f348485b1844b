#pragma once

#include <QtGlobal>

namespace printing {

// The stock list of the warehouse of the department, row by row (Prt_Ostatki)
// or summed up (Prt_OstatkiSvod), after the choices of Form_PrintOstatki.
void Prt_Ostatki(qint64 otdel, qint64 sklad);
void Prt_OstatkiSvod(qint64 otdel, qint64 sklad);

} // namespace printing
