#pragma once

#include <QString>

namespace db {
class Query;
}
class Scrambler;

// Inserts the built-in administrator (no password, the right "Все права")
// on the query's transaction; the caller commits.
void InsertAdministrator(db::Query& write, Scrambler& scrambler);

// Writes a new shipped database at path: the schema, its first rows and the administrator.
void CreateShippedDatabase(const QString& path);
