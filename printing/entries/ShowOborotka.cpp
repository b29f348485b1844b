#include "ShowOborotka.h"

#include "Unit_Oborotka.h"

#include "util/Messages.h"

#include <QCheckBox>

namespace printing {

int ShowOborotka(bool exporting, const QString& exportPath)
{
    TForm_Oborotka* f = OborotkaWindow();
    if (exporting) {
        f->CB_Short->setChecked(false);
        f->CB_ShortClick();
        f->CB_Short->setEnabled(false);
        f->exportPath = exportPath;
    }
    const int result = Msg::execModal(f);
    // A handler that showed no window leaves it as hiding would.
    if (!f->isVisible())
        f->FormHide();
    return result;
}

} // namespace printing
