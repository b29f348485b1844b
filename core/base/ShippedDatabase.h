#pragma once

#include "db/Database.h"

#include <QString>

namespace db {
class Query;
}
class Scrambler;

// Inserts the built-in administrator (no password, the right "Все права")
// on the query's transaction; the caller commits.
void InsertAdministrator(db::Query& write, Scrambler& scrambler);

// Writes a new shipped database at path: the schema, its first rows and the administrator.
void CreateShippedDatabase(const QString& path, const db::ConnectParams& params = {});

// The file the embedded engine opens for a connection string (a plain path,
// or "localhost:PATH" while no local server listens); empty when a server
// serves the connection.
QString LocalDatabaseFile(const QString& connection);
