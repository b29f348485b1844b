#include "Context.h"

#include <stdexcept>

namespace engine {

namespace {
std::function<Context()>& provider()
{
    static std::function<Context()> p;
    return p;
}
} // namespace

const Settings& Context::values() const
{
    static const Settings defaults;
    return settings ? *settings : defaults;
}

Context ProgramContext()
{
    if (!provider())
        throw std::logic_error("the program's context is used before the data module exists");
    return provider()();
}

void SetProgramContext(std::function<Context()> p) { provider() = std::move(p); }

} // namespace engine
