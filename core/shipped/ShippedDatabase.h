#pragma once

// The shipped database: what tools/make_database writes and what the
// program creates on its first start. Below the data module, so that the
// tests' fixtures build their databases without the program's windows.

#include "PasswordMarker.h"

#include "db/Database.h"

#include <QString>

namespace db {
class Query;
}
class Scrambler;

// Inserts the built-in administrator (no password, the right "Все права")
// on the query's transaction; the caller commits.
void InsertAdministrator(db::Query& write, Scrambler& scrambler);

// Whether the sample templates built into the program go into a new database.
enum class ShippedSamples { Installed, Left };

// Writes a new shipped database at path: the schema, its first rows, the
// administrator and, unless left out, every sample template of the program
// as the default of its print list.
void CreateShippedDatabase(const QString& path, const db::ConnectParams& params = {},
                           ShippedSamples samples = ShippedSamples::Installed);

// The file the embedded engine opens for a connection string (a plain path,
// or "localhost:PATH" while no local server listens and the fallback is
// allowed); empty when a server serves the connection.
QString LocalDatabaseFile(const QString& connection, bool embeddedFallback = true);
