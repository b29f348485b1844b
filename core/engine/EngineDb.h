#pragma once

#include "Context.h"
#include "RowWriter.h"

#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

namespace db {
class Query;
}

// Small database steps the engines share, each on a query of its own made on
// the context's transactions. Statements take keys and numbers the program
// made; typed text goes through parameters.
namespace engine {

// A query on the reading transaction.
std::unique_ptr<db::Query> Reader(const Context& ctx, const QString& sql = {});
// A query on the write transaction.
std::unique_ptr<db::Query> Writer(const Context& ctx, const QString& sql = {});
// True when the statement returns a row (read on the reading transaction).
bool Exists(const Context& ctx, const QString& sql);
// The first column of every row the statement returns, as keys (read on the
// reading transaction); `bind` sets the statement's parameters.
QList<qint64> Keys(const Context& ctx, const QString& sql, const std::function<void(db::Query*)>& bind = {});
// The first column of the statement's first row as a key; 0 without a row.
qint64 FirstKey(const Context& ctx, const QString& sql);
// A fresh key from MY_GEN, drawn on the reading transaction (the generator
// stands outside transactions, so no key is given twice).
qint64 FreshKey(const Context& ctx);
// Runs a statement on the write transaction.
void Exec(const Context& ctx, const QString& sql);
// The context whose reads go to its write transaction: a check a road makes
// again inside itself, after its reservation and on the rows it has taken,
// reads what the road will change, never what a list or the reading
// transaction saw before.
Context InRoad(const Context& ctx);

// Takes the stock rows (ING_SKLAD) whose keys `keys` selects (a SELECT of
// one column of ING_SKLAD keys, repeats allowed) on ctx.write, one at a time
// in the order of their keys. Every operation that changes stock takes its
// rows this way before it changes any: two workstations then wait for each
// other at their first common row instead of each holding a row the other
// needs next.
void TakeStockRows(const Context& ctx, const QString& keys);

// The keys of the stock rows of every product on the lines of these documents
// in the departments their postings move (the line's and the document's two),
// for TakeStockRows.
QString StockRowsOfDocuments(const QList<qint64>& docs);
// Runs a stored procedure on the write transaction with its parameters, in
// order, each bound as text (keys as decimal text).
void RunProc(const Context& ctx, const QString& name, const QList<QPair<QString, QString>>& params);

// Inserts the row with a fresh key from MY_GEN and returns the key; the key is
// drawn outside the write transaction, so a rolled-back row still uses it up.
qint64 InsertRecord(const Context& ctx, const R_Record& r);
// Updates the row whose KOD is r.KOD; refuses (engine::RowRefusal) when no
// row has that key: a write that changed nothing is never done.
void UpdateRecord(const Context& ctx, const R_Record& r);

// Typed text as a LIKE pattern that matches it literally: '%', '_' and the
// escape character itself (a backslash) are escaped; the statement adds ESCAPE '\'.
// The pattern may be twice the text's length.
QString LikeLiteral(const QString& text);

// A typed search of product names: the condition that `column` holds the
// text bound as :`param` (NameSearchText of what was typed), in any letter
// case and with е and ё alike, the text matched as it stands ('%' and '_'
// are characters like any other).
QString NameContains(const QString& column, const QString& param);
QString NameSearchText(const QString& typed);

} // namespace engine

// The decimal text of a key, for statements built by concatenation.
inline QString Key(qint64 kod) { return QString::number(kod); }
