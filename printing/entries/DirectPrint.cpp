#include "DirectPrint.h"

#include "ReportGauge.h"
#include "Unit_DirectPrint.h"
#include "direct/DesignTexts.h"
#include "ui/RadioGroup.h"

namespace printing {

bool DirectPrintChosen() { return Form_VariantsPrint && Form_VariantsPrint->RadioGroup1->itemIndex() != 0; }

void Prt_MenuDirect(qint64 menu)
{
    const engine::Context ctx = engine::ProgramContext();
    const QVector<direct::MenuSection> sections = direct::ReadMenu(ctx, menu);
    const direct::DesignTexts texts = DesignMenu()->texts();
    PrintParam()->print([&](direct::Canvas& canvas, const direct::PrintParams& p) {
        direct::menu::Print(canvas, {p, texts, sections}, GaugeProgress());
    });
}

void PrintCodesDirect(const QVector<direct::CodeLine>& rows)
{
    PrintParam()->print([&](direct::Canvas& canvas, const direct::PrintParams& p) {
        direct::codes::Print(canvas, {p, rows}, GaugeProgress());
    });
}

} // namespace printing
