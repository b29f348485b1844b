#pragma once

#include <QtGlobal>

namespace reports::ostatki {
struct Options;
}

namespace printing {

// The stock sub-tab's balance button: the balance print options for the main
// window's enterprise, department and warehouse, then the balance row by row
// (Prt_Ostatki) or summed up (Prt_OstatkiSvod).
void ShowPrintOstatki(qint64 firma, qint64 otdel, qint64 sklad);
void Prt_Ostatki(const reports::ostatki::Options& options);
void Prt_OstatkiSvod(const reports::ostatki::Options& options);

} // namespace printing
