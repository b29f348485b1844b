#pragma once

namespace printing {

// The production and sales tab's print button: the choice of the statements
// and the technological cards for the tab's current document.
void ShowPrintReal();

} // namespace printing
