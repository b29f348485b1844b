#pragma once

// Posting and un-posting of stock documents on the client side: it prepares
// a document for the server's posting procedures, splits a transfer that
// produces before it moves into an issue and a paired receipt, and un-posts
// both documents of a pair together.
//
// Every function works on ctx.write, which the caller has started; nothing
// here commits or rolls back. Keys go to the procedures as decimal text.

#include "engine/WriteRoad.h"
#include "engine/Context.h"

#include <QDate>
#include <QString>
#include <QTime>

namespace posting {

// The reservation of every road that posts or un-posts (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Documents;

using Context = engine::Context;

// Document types (DOCS.DOC_TYPE).
namespace DocType {
constexpr int Inventory = 1;
constexpr int Production = 2;
constexpr int Sales = 3;
constexpr int Transfer = 4;
constexpr int Receipt = 5;
constexpr int Issue = 6;
constexpr int ProductionWriteOff = 7;
} // namespace DocType

// A document counts as posted above this value of DOCS.PROVODKA.
constexpr int kPostedAbove = 10;

// The header of a document as posting reads it (NULLs read as 0).
struct DocHeader {
    qint64 kod = 0;
    QString name;
    QDate date;
    QTime time;
    int type = 0;
    qint64 firmaExport = 0;
    qint64 firmaImport = 0;
    qint64 otdel1 = 0;  // own or sending department
    qint64 otdel2 = 0;  // receiving department of a transfer
    qint64 pair = 0;    // INT_PARAM3: the other document of a posted pair
    int provodka = 0;
    int typeCena = 0;
    int editCena = 0;
    int p = 0;          // write-off mode
    bool posted() const { return provodka > kPostedAbove; }
};

// A fresh key from MY_GEN, drawn on ctx.write.
qint64 NewKey(const Context& ctx);

// Reads a header on ctx.write; false when there is no such document.
bool ReadDoc(const Context& ctx, qint64 kod, DocHeader& out);

// The server procedures, one call each.
void ProvodkaMove(const Context& ctx, qint64 doc);
void DeleteProvodka(const Context& ctx, qint64 doc, int otkat);
void DelDoc(const Context& ctx, qint64 doc, int otkat);

struct PostOutcome {
    bool posted = false;  // false: every line had no quantity, nothing may be kept
    qint64 pair = 0;      // the other document a transfer became paired with
};

// Posts a receipt, issue or transfer: drops the lines without quantity, puts
// the document's department into the lines, records the price rule (receipts
// and transfers) and posts. A transfer whose write-off mode is not 1 becomes an
// issue of what its lines are made of (the card expansion, taking stock of the
// sending department first) and a paired receipt of the lines themselves; both
// end as transfers naming each other. When no line is left the outcome says so
// and the caller must roll back. Other document types throw std::logic_error;
// a document posted or deleted by another workstation meanwhile is refused
// (engine::DocumentRefusal).
PostOutcome PostMovement(const Context& ctx, qint64 doc, int priceRule);

// Cancels the posting of a posted document and of the other document of its
// pair. otkat 1 restores the stock prices the posting changed (ignored for
// sales and issues by the caller's choice). Returns the key of the document
// that remains, or 0 when the type has no un-posting here (nothing changed).
// A document that is no longer posted throws std::runtime_error, one deleted
// meanwhile engine::DocumentRefusal.
qint64 UnpostDocument(const Context& ctx, qint64 doc, int otkat);

// Of the two documents of a posted transfer, the receiver's: the one whose
// lines all come in, or, when the lines do not tell (a half without lines),
// the later one. Returns 0 when the pair cannot be told apart.
qint64 TransferReceiver(const Context& ctx, qint64 a, qint64 b);

// Whether a server error (its first code) means that another workstation holds
// the same rows or tables: the change can be tried again once it has finished.
bool IsLockConflict(long gdsCode);
// What the user is told then: nothing of the change was kept.
QString LockConflictText(bool unposting);

} // namespace posting
