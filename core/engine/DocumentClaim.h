#pragma once

// A road that changes a document, its header or its lines, takes the
// document's header row first in its own write transaction and acts on the
// state it finds there, never on a list's cached row: another workstation may
// have posted or deleted the document since the list was read. Two roads on
// one document take turns on that row, the second seeing what the first
// committed.

#include "Context.h"
#include "RowRefusal.h"
#include "RowWriter.h"
#include "ShownRow.h"

#include <QString>

namespace engine {

// What the road found: whether the document is there, its posting state and
// type (NULLs read as 0).
struct ClaimedDocument {
    bool exists = false;
    int provodka = 0;
    int type = 0;
    bool posted() const { return provodka > 10; }
};

// A road refused to change a document: another workstation posted or deleted
// it. Nothing of the road may be kept; text() says so in the user's words,
// and the document lists read the document's row again.
class DocumentRefusal : public RowRefusal {
public:
    DocumentRefusal(qint64 document, bool gone, const QString& text);
    qint64 document() const { return key(); }
    bool gone() const { return gone_; }

private:
    bool gone_;
};

// The refusal when the document is gone; `name` (the number a list showed)
// names it when the caller knows it.
QString DocumentGoneText(const QString& name = QString());

// The refusal when a line of a document is gone: another workstation removed
// it or filled the document anew (its lines then have new keys).
QString LineGoneText();

// Runs a road's step; a document found deleted is refused naming it by the
// number the window shows.
template <typename Step>
auto NamingDocument(const QString& name, Step&& step) -> decltype(step())
{
    try {
        return step();
    } catch (const DocumentRefusal& e) {
        if (!e.gone())
            throw;
        throw DocumentRefusal(e.document(), true, DocumentGoneText(name));
    }
}

// Claims the document for this road and says what the road finds.
ClaimedDocument ClaimDocument(const Context& ctx, qint64 doc);

class UnpostedDocument;

// Claims the document for a change of its header or lines: one that no longer
// exists is refused (DocumentRefusal, gone), a posted one (PROVODKA above
// `postedAbove`: 10 for movement documents and inventories, 0 for production
// and sales) with `postedRefusal`.
UnpostedDocument ClaimUnposted(const Context& ctx, qint64 doc, const QString& postedRefusal, int postedAbove = 10);

// A document this road has claimed and found there and not posted. Only the
// claim makes one: the writers of a document's lines take it instead of a
// key, so none of them can write to a document nobody claimed.
class UnpostedDocument {
public:
    qint64 kod() const { return kod_; }

private:
    friend UnpostedDocument ClaimUnposted(const Context& ctx, qint64 doc, const QString& postedRefusal, int postedAbove);
    explicit UnpostedDocument(qint64 kod) : kod_(kod) {}
    qint64 kod_;
};

// Saves a document's header through the row writer: a new one (r.KOD 0) is
// inserted and its key returned; an existing one is claimed first, refused as
// ClaimUnposted refuses, compared with what the header dialog showed of it
// (`shown`, engine/ShownRow.h: a header another workstation changed since is
// refused naming what changed) and updated. A header dialog writes every
// field it shows: without what it showed it would put back the values it
// read over another's committed change, so an update without them is a
// programming error (std::logic_error).
qint64 SaveDocumentHeader(const Context& ctx, const R_Record& r, const ShownRow& shown, const QString& postedRefusal,
                          int postedAbove = 10);

} // namespace engine
