#include "Office.h"

#include "NotBuilt.h"

namespace printing {

bool OfficeConnect() { return false; }

bool OfficeNewCalc()
{
    ShowNotBuilt();
    return false;
}

void OfficeDisconnect() {}

void OfficeVariantsT::SetString(int, int, const QString&) {}

void OfficeVariantsT::ShowDocument() { ShowNotBuilt(); }

OfficeVariantsT& OfficeVariants()
{
    static OfficeVariantsT v;
    return v;
}

} // namespace printing
