#include "Prt_Ostatki.h"

#include "NotBuilt.h"

namespace printing {

void Prt_Ostatki(qint64, qint64) { ShowNotBuilt(); }
void Prt_OstatkiSvod(qint64, qint64) { ShowNotBuilt(); }

} // namespace printing
