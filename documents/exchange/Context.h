#pragma once

namespace db {
class Database;
class Transaction;
} // namespace db

namespace exchange {

// The database an exchange run works on: the connection, the reading
// transaction and the write transaction a new document goes to. The engine
// never starts, commits or rolls back either of them.
struct Context {
    db::Database* database = nullptr;
    db::Transaction* read = nullptr;
    db::Transaction* write = nullptr;
};

// Which code identifies a dish in the TorgService tables.
enum class CodeKind {
    Unique = 0,  // the department row's key, ING_SKLAD.KOD
    Till = 1,    // the till code, ING_SKLAD.KOD_KASSA
};

} // namespace exchange
