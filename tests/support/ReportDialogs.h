#pragma once

// The report dialogs, opened the way the program opens them: each one's own
// entry (its modal loop replaced so the test gets the dialog back), or its
// accessor where the program keeps one.

#include "Unit_DirectPrint.h"
#include "Unit_Limit.h"
#include "Unit_Oborotka.h"
#include "Unit_PrintKarta.h"
#include "Unit_PrintOstatki.h"
#include "Unit_PrintReal.h"
#include "Unit_PrtDvig.h"
#include "Unit_Stat.h"
#include "entries/PrintKarta.h"
#include "entries/PrintReal.h"
#include "entries/PrtDvig.h"
#include "entries/ShowLimits.h"
#include "entries/ShowStat.h"
#include "ui/RadioGroup.h"
#include "util/Messages.h"

#include <QDialog>

#include <string>
#include <utility>
#include <vector>

namespace windowsfit {

// The dialog the program's entry hands to its modal loop.
template <class Entry>
QDialog* openedBy(Entry entry)
{
    QDialog* shown = nullptr;
    Msg::setModalHandler([&](QDialog* d) {
        shown = d;
        return int(QDialog::Rejected);
    });
    entry();
    Msg::setModalHandler({});
    return shown;
}

inline std::vector<std::pair<QWidget*, std::string>> reportDialogs()
{
    using namespace printing;
    std::vector<std::pair<QWidget*, std::string>> all;
    all.emplace_back(PrtDvigForm(), "movement print choice");
    all.emplace_back(PrintOstatkiForm(), "balance options");
    all.emplace_back(openedBy([] { ShowOborotka({}, false); }), "turnover options");
    all.emplace_back(SelectIngWindow(), "turnover product choice");
    all.emplace_back(openedBy([] { ShowStatistics(); }), "statistics options");
    all.emplace_back(openedBy([] { ShowLimits(0, 0, 0); }), "limits");
    all.emplace_back(openedBy([] { ShowPrintKarta(0, 0); }), "costing card print");
    all.emplace_back(openedBy([] { ShowPrintReal({}); }), "production print");
    all.emplace_back(openedBy([] {
                         Form_PrintReal->RG->setItemIndex(0);
                         Form_PrintReal->BitBtn1Click();
                     }),
                     "production statement");
    all.emplace_back(VariantsPrint(), "direct print variants");
    all.emplace_back(PrintParam(), "direct print parameters");
    all.emplace_back(DesignMenu(), "menu design");
    return all;
}

} // namespace windowsfit
