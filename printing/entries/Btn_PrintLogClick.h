#pragma once

#include "reports/ProtocolPrint.h"

namespace printing {

// The protocol tab's "Печать": the tab's rows as it shows them (collected by
// the caller with reports::ProtocolPrint::LinesOf) into a new workbook of the
// program's office, with the progress window; tells when the office cannot
// be reached.
void Btn_PrintLogClick(const reports::ProtocolPrint::Options& options);

} // namespace printing
