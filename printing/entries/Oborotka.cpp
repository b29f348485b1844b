#include "PrtDvig.h"

#include "NotBuilt.h"

namespace printing {

// The turnover statement and the statistics are not built yet.
void ShowOborotka(const QString&, bool) { ShowNotBuilt(); }
void ShowStat() { ShowNotBuilt(); }

} // namespace printing
