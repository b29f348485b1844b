#pragma once

#include "engine/Context.h"

namespace exchange {

// An exchange run works on the engine context: it reads on ctx.read and writes
// a new document on ctx.write, never starting, committing or rolling back.
using Context = engine::Context;

// Which code identifies a dish in the TorgService tables.
enum class CodeKind {
    Unique = 0,  // the department row's key, ING_SKLAD.KOD
    Till = 1,    // the till code, ING_SKLAD.KOD_KASSA
};

} // namespace exchange
