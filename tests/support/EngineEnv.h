#pragma once

#include "TestDb.h"

#include "engine/Context.h"

// A context on a test database, for engine tests that never create the
// program's windows: the test's own connection and transactions, settings
// of the test's own (design defaults until changed) and a user for the
// protocol lines.
inline engine::Context ContextOn(TestDb& t, const engine::Settings* settings = nullptr, engine::User user = {})
{
    engine::Context c;
    c.database = &t.db();
    c.read = &t.read();
    c.write = &t.write();
    c.settings = settings;
    c.user = std::move(user);
    return c;
}

class EngineEnv {
public:
    TestDb t;
    engine::Settings settings;
    engine::User user{QStringLiteral("Иванова Мария"), QStringLiteral("ivanova"), 7};

    engine::Context ctx() { return ContextOn(t, &settings, user); }
};
