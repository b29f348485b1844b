#pragma once

#include <QString>
#include <QStringList>

namespace db {
class Database;
struct ConnectParams;
} // namespace db

namespace schema {

// The schema step the program knows and its version text.
constexpr int kVersion = 42;
inline const char* kVersionText = "5.6.11";

// Names of the SQL sources in the order they run.
QStringList files();
// The text of one source (UTF-8 in the tree).
QString fileText(const QString& name);

// Runs every source on an open database, each file in its own transaction.
void apply(db::Database& db);

// Writes a new shipped database at path (which must not exist) and leaves it closed.
void createDatabase(const QString& path, const db::ConnectParams& params);

} // namespace schema
