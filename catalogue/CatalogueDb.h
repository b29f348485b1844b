#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace db {
class Query;
}

// Small database steps shared by the catalogue's writers and checks.
namespace cat {

// True when the statement (keys only, no typed text) returns a row; read
// through the scratch query QRead1.
bool Exists(const QString& sql);
// The scratch write query QWrite1 on the write transaction with a fresh text.
db::Query* Writer(const QString& sql);
// Runs a statement on the write transaction.
void Exec(const QString& sql);
// Runs a stored procedure on the write transaction with its parameters, in
// order, each bound as text (keys as decimal text).
void RunProc(const QString& name, const QList<QPair<QString, QString>>& params);

} // namespace cat
