#include "Program.h"
#include "SystemSignals.h"

int main(int argc, char** argv)
{
    BlockEndSignals();  // before any thread starts
    TApplication app(argc, argv);
    return ProgramMain(app);
}
