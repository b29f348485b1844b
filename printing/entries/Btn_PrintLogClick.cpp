#include "Btn_PrintLogClick.h"

#include "NotBuilt.h"

namespace printing {

void Btn_PrintLogClick(const ProtokolFilter&) { ShowNotBuilt(); }

} // namespace printing
