#pragma once

namespace printing {

// The stock limits dialog "Печать лимитов", shown modally; made on first use
// and kept, with its choices, for the run. OK builds the limits workbook of
// the main window's current warehouse, department or enterprise.
void ShowLimits();

} // namespace printing
