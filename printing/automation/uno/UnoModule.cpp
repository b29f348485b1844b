// The entry of the office module: the program's office, LibreOffice Calc
// through UNO. The program finds it by name (OfficeModule.h).

#include "UnoOffice.h"

extern "C" __attribute__((visibility("default"))) automation::Office* tarelia_new_program_office()
{
    return new automation::UnoOffice(automation::ProgramUnoOptions());
}
