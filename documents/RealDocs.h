#pragma once

// The production and sales documents' statements that the tab and its header
// dialog run: the two list queries, the header, the lines taken from a menu
// and the copy of a document. Each writer works on the context of the calling
// handler's write road and commits nothing.

#include "engine/ShownRow.h"
#include "engine/WriteRoad.h"
#include "MovementDb.h"

#include <QList>

namespace realdocs {

// The reservation of every road that runs these writers (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Documents;

// The document list: every production write-off and sales document, or those
// dated within the period.
movement::ListQuery DocsRealQuery(bool periodOn, const QDate& start, const QDate& finish);

// The lines of a document in the tab's order; with the search on, only the
// products whose name holds the typed text (bound, never pasted in).
movement::ListQuery RealBludoQuery(qint64 doc, bool contextOn, const QString& text);

// True while an inventory is unposted: no production or sales document may be made.
bool InventoryOpen(const engine::Context& ctx);

// The header as the dialog writes it.
struct Header {
    qint64 kod = 0;  // 0: a new document
    QString name;
    QDate date;
    QTime time;
    int type = 3;    // 7 production write-off, 3 sales
    qint64 firma = 0;
    int p = 0;       // write-off mode
};
// Inserts (kod 0) or updates the header; returns its key. An existing
// document is claimed first: one posted or deleted by another workstation
// since the window read it is refused (engine::DocumentRefusal), and so is one
// whose header another changed since the dialog showed it (`shown`, refused
// naming what changed: engine::SaveDocumentHeader).
qint64 SaveHeader(const engine::Context& ctx, const Header& h, const engine::ShownRow& shown);

// Claims the production or sales document for a change of its lines: one
// gone or posted is refused (engine::DocumentRefusal); the line writers below
// take what it returns.
engine::UnpostedDocument Claim(const engine::Context& ctx, qint64 doc);

// The quantity of one line of the document; a line removed meanwhile is refused in words.
void SetLineQuantity(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 line, double value);

// The lines of every dish of every section of the menu that has a row in its
// section's department, at the document price of the menu and the stock price
// of that row, without quantity. replace: the document's lines go first.
// Returns the number of lines written.
int FillFromMenu(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 menu, bool replace);

// A copy of the document dated as given, with the source's type, enterprises,
// parameters, price kind and write-off mode, of the given source lines whose
// product still has a row in the line's department, at that row's current
// selling price rounded and its stock price, with the source quantities or
// none. Returns the new key.
qint64 CopyDocument(const engine::Context& ctx, qint64 source, const QString& name, const QDate& date,
                    const QTime& time, bool withQuantity, const QList<qint64>& lines);

} // namespace realdocs
