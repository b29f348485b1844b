#pragma once

#include "engine/WriteRoad.h"

#include <QString>

namespace engine {
struct Context;
}

// Deleting documents: their effect on stock undone or kept, a posted pair
// (transfer, production) always deleted with its other half. Runs on the
// context's write transaction and commits nothing.
namespace deletion {

// The reservation of every road that deletes documents (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Documents;

struct Options {
    bool rollback = false;       // undo what the posting did to stock
    bool restorePrices = false;  // also give the receiving side its old stock prices
};

// The rollback mode of one document: 0 none (not asked, or not posted), 2 with
// the old prices when they were asked for and the document changed prices
// (its own price rule above 0), else 1.
int RollbackMode(const Options& options, int provodka, int editCena);

// Deletes one document: its lines through DEL_DOC with the document's own
// rollback mode, then its header. A key that no longer exists changes nothing.
void DeleteOneDoc(const engine::Context& ctx, qint64 kod, const Options& options);

// Deletes a document and, when it is the posted half of a pair (transfer 4,
// production write-off 7 or output 2), the other half first. Returns false,
// changing nothing, when the document is gone (deleted on another
// workstation, or with its pair earlier in this road).
bool DeleteWithPair(const engine::Context& ctx, qint64 kod, const Options& options);

} // namespace deletion
