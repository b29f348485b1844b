// The program's context and the write road on it: defined with the data
// module, so that only the program's windows and handlers link them.

#include "engine/Context.h"
#include "engine/WriteRoad.h"

#include <stdexcept>

namespace engine {

namespace {
std::function<Context()>& provider()
{
    static std::function<Context()> p;
    return p;
}
} // namespace

Context ProgramContext()
{
    if (!provider())
        throw std::logic_error("the program's context is used before the data module exists");
    return provider()();
}

void SetProgramContext(std::function<Context()> p) { provider() = std::move(p); }

} // namespace engine

WriteTransaction::WriteTransaction(Reserve reserve) : WriteTransaction(engine::ProgramContext(), reserve) {}
