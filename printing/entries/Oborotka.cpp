#include "PrtDvig.h"

#include "NotBuilt.h"
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

// The statistics are not built yet.
void ShowStat() { ShowNotBuilt(); }

} // namespace printing
