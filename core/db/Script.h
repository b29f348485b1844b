#pragma once

#include <QString>
#include <QStringList>

namespace db {

class Database;
class Transaction;

// Splits an isql-style script into statements: ';' ends a statement until
// "SET TERM" changes the terminator; quoted text and comments are kept whole.
// "SET TERM" itself is returned as no statement.
QStringList splitScript(const QString& script);

// Runs a script on the transaction, which must be active. "COMMIT" commits
// and starts the transaction again; every other statement runs as it stands.
void runScript(Database& db, Transaction& tr, const QString& script);

} // namespace db
