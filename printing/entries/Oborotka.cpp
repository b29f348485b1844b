#include "PrtDvig.h"

#include "ShowStat.h"
#include "Unit_Oborotka.h"

#include "util/Messages.h"

#include <QCheckBox>

namespace printing {

void ShowOborotka(const QString& obmenPath, bool exportAsked)
{
    TForm_Oborotka* f = OborotkaWindow();
    if (exportAsked) {
        // Only the statement by operations writes the exchange records.
        f->CB_Short->setChecked(false);
        f->CB_ShortClick();
        f->CB_Short->setEnabled(false);
    }
    f->exportPath = obmenPath;
    Msg::execModal(f);
    f->FormHide();
}

void ShowStat() { ShowStatistics(); }

} // namespace printing
