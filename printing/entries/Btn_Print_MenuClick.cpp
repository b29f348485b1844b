#include "Btn_Print_MenuClick.h"

#include "NotBuilt.h"

namespace printing {

void Btn_Print_MenuClick(qint64) { ShowNotBuilt(); }

} // namespace printing
