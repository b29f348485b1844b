#include "Prt_Invent.h"

#include "NotBuilt.h"

namespace printing {

void Prt_Invent(qint64) { ShowNotBuilt(); }

} // namespace printing
