#pragma once

#include "engine/DocumentClaim.h"
#include "engine/WriteRoad.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QTime>

namespace engine {
struct Context;
}

// Inventories: counting a department's stock against its book values. Every
// function writes on the context's write transaction (which the caller has
// started) and commits nothing; reads that must see what the caller wrote
// also go through the write transaction.
namespace inventory {

// The reservation of every road that runs these writers (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Documents;

struct InvDoc {
    qint64 kod = 0;
    qint64 otdel = 0;   // INT_PARAM1
    qint64 sklad = 0;   // INT_PARAM2; 0 (or a posted inventory's null) means every warehouse
    QDate date;
    QTime time;
};

struct FillOptions {
    bool bookQuantity = true;   // counted quantity: the book quantity, else 0
    bool zeroNegative = true;   // a negative book quantity is counted as 0
    bool hiddenToo = false;     // hidden products are counted too
};

// The state of an inventory as the write transaction sees it, after its row
// was claimed: another workstation may have filled, counted or posted it since
// the list was read, and waits now until this change ends (or makes it wait).
struct Claimed {
    bool exists = false;
    bool posted = false;
    int lines = 0;
    qint64 otdel = 0;
    qint64 sklad = 0;
};
Claimed Claim(const engine::Context& ctx, qint64 docKod);

// Claims the inventory and refuses (engine::DocumentRefusal with the user's
// text) when it is gone or already posted; the line writers take what it returns.
engine::UnpostedDocument ClaimUnposted(const engine::Context& ctx, qint64 docKod);

// Lines posting would keep: all, or those whose counted values differ from the
// book values. Read on the read transaction, before the write road opens.
int LinesToPost(const engine::Context& ctx, qint64 docKod, bool dropUnchanged);

// An inventory may not be created while any document is not posted yet:
// refused in words naming their kinds (std::runtime_error). Asked before the
// header dialog opens, and again in the road that creates the inventory (in
// its write transaction), since another workstation may make one meanwhile.
void RefuseNewWhileUnposted(const engine::Context& ctx);

// Fills the document with the book stock of its department or warehouse, as
// its header stands in the write transaction; clearFirst removes its earlier
// lines. Marks the document filled. Refuses (std::runtime_error) a document
// gone or posted meanwhile, and one filled meanwhile when clearFirst is not
// set: its lines would be there twice.
void Fill(const engine::Context& ctx, const InvDoc& doc, const FillOptions& options, bool clearFirst);

// Removes every line of the document (its header was changed). Claims the
// document first and refuses (engine::DocumentRefusal) one gone or posted.
void ClearLines(const engine::Context& ctx, qint64 docKod);

// A posted inventory of the same department dated after the document.
bool LaterPostedInventory(const engine::Context& ctx, const InvDoc& doc);

// Removes the lines whose counted values equal the book values; returns how
// many lines the document keeps. Claims the document first and refuses one
// gone or posted.
int DeleteUnchangedLines(const engine::Context& ctx, qint64 docKod);
int LineCount(const engine::Context& ctx, qint64 docKod);

// A line of the inventory whose book quantity or stock price moved in its
// department's stock since the fill (a document of the department posted or
// un-posted, a re-pricing): as the fill wrote them, and as the stock holds them
// now. Posting takes the stock's; a counted price nobody typed follows it.
struct BookChange {
    qint64 line = 0;
    QString name;  // the product's
    double filledKolvo = 0, kolvo = 0;
    double filledCena = 0, cena = 0;
};

// The lines posting would carry (dropUnchanged: without those whose counted
// values equal the book values of the fill, which posting removes first)
// whose book quantity or price moved since the fill, by product name. Read on the read
// transaction, before the road opens: the user agrees to them first.
QList<BookChange> BookChanges(const engine::Context& ctx, const InvDoc& doc, bool dropUnchanged);

// The question that lists them with both figures.
QString BookChangesQuestion(const QList<BookChange>& changes);

// The stock of the department takes the counted values; differences become
// movement lines, taken from the stock as it stands; the document is posted.
// Claims the document first and refuses (std::runtime_error) one gone or
// posted meanwhile. `agreed` is the book the user agreed to post against
// (BookChanges, read before the road): when the lines' book quantities or
// prices moved otherwise since (none agreed: since the fill), the posting is
// refused in words (std::runtime_error) and writes nothing. A counted price
// equal to the line's book price was not typed: it takes the stock's price.
void Post(const engine::Context& ctx, const InvDoc& doc, const QList<BookChange>& agreed = {});

// Whether the product's stock price comes from its card (a counted price is refused).
bool IsComposite(const engine::Context& ctx, qint64 ingKod);

enum class Column { Quantity, Price };
// Writes the counted value of a line of the claimed inventory. A line no
// longer in the document (removed, or the document filled anew elsewhere) is
// refused (engine::RowRefusal): the count lands on no other line.
void SetCounted(const engine::Context& ctx, const engine::UnpostedDocument& doc, qint64 lineKod, Column column, double value);

// The book quantity, stock price and selling price of the line lineKod, or
// of every line when it is 0, read again from the stock of the document's
// department (read transaction); counted values stay, but for a counted price
// nobody typed (equal to the book price), which follows the book. Claims the unposted
// document first; a line no longer in it is refused.
void RefreshBookValues(const engine::Context& ctx, qint64 docKod, qint64 lineKod);

} // namespace inventory
