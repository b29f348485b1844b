#include "Btn_PrintLogClick.h"

#include "Office.h"

#include "ReportGauge.h"
#include "util/Messages.h"

namespace printing {

void Btn_PrintLogClick(const reports::ProtocolPrint::Options& options)
{
    if (!reports::ProtocolPrint::Print(ProgramOffice(), options, GaugeProgress()))
        Msg::notice(automation::OfficeUnreachableText());
}

} // namespace printing
