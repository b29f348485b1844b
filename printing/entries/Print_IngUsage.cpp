#include "Print_IngUsage.h"

#include "NotBuilt.h"

namespace printing {

void Print_IngUsage(qint64) { ShowNotBuilt(); }

} // namespace printing
