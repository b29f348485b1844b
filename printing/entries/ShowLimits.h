#pragma once

#include <QtGlobal>

namespace printing {

// The stock limits dialog "Печать лимитов", shown modally; made on first use
// and kept, with its choices, for the run. OK builds the limits workbook of
// the given warehouse, department or enterprise (the caller's current rows;
// 0: that list is empty).
void ShowLimits(qint64 firma, qint64 otdel, qint64 sklad);

} // namespace printing
