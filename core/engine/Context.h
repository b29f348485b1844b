#pragma once

#include "Settings.h"

#include <QString>
#include <QtGlobal>

#include <functional>

namespace db {
class Database;
class Transaction;
} // namespace db

namespace engine {

// The logged-in user, as every protocol line names them.
struct User {
    QString fio;
    QString login;
    qint64 kod = 0;
};

// What every engine takes: the connection, its long-lived reading transaction,
// the write transaction changes go to, the settings an engine reads and the
// user for protocol lines. An engine creates its own queries on these, writes
// only on `write` (started by the handler's WriteTransaction) and never starts,
// commits or rolls back. The program passes ProgramContext(); tests and
// benchmarks build one on a database of their own.
struct Context {
    db::Database* database = nullptr;
    db::Transaction* read = nullptr;
    db::Transaction* write = nullptr;
    const Settings* settings = nullptr;  // null: the design defaults
    User user;

    // The settings, or the design defaults when none are given.
    const Settings& values() const;
};

// The program's context: the data module's connection and transactions, the
// live settings (MyParams) and the logged-in user. Windows and handlers use
// it; engines only ever see the context they are handed. Both are defined
// with the data module (core/base), which no engine links: an engine that
// calls them does not link.
Context ProgramContext();
// Installed by the data module when it is created (and cleared when it goes).
void SetProgramContext(std::function<Context()> provider);

} // namespace engine
