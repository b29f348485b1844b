#include "Context.h"

namespace engine {

const Settings& Context::values() const
{
    static const Settings defaults;
    return settings ? *settings : defaults;
}

} // namespace engine
