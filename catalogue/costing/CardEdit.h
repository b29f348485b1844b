#pragma once

#include "Recompute.h"

#include <QString>
#include <QtGlobal>

#include <vector>

// Changes of a costing card and the copy of a dish. Each function works on the
// context's write transaction when it is active (so it sees what the
// operation wrote so far) and reads on the read transaction otherwise; none of
// them starts, commits or rolls back.
namespace costing {

// One KARTA row.
struct CardRow {
    qint64 kod = 0;
    qint64 ing = 0;
    double kolvo = 0;
    double percent = 0;
    int active = 1;
};

// The rows of the master's card in the order of their keys, switched-off ones included.
std::vector<CardRow> CardRows(const Context& ctx, qint64 master);

// True when the product has a line in a movement, production or sales
// document that is not posted yet.
bool InUnpostedDocuments(const Context& ctx, qint64 product);

// True while the product's card has an edit cycle open (FLAG_UPDATE 1), left
// by this workstation, another one or a crash.
bool EditCycleOpen(const Context& ctx, qint64 product);

// Opens the edit cycle on ctx.write and returns the cycle's key, which names
// its owner: the product gets a backup key of its own when it has none yet (a
// value of MY_GEN, which no product can hold), then START_EDIT_KALK keeps the
// card's rows under it. A cycle already open (on another workstation, or left
// by a crash) is taken over: its backup, the card as it was before that cycle
// began, moves to a fresh key, so the workstation that opened it no longer
// holds it and a cancel here still gives back the card from before.
qint64 StartEditCycle(const Context& ctx, qint64 product);
// Claims the product's row on ctx.write and tells whether the cycle with this
// key is still open there (not taken over, saved or cancelled elsewhere).
bool HoldsEditCycle(const Context& ctx, qint64 product, qint64 cycle);
// Ends the cycle keeping the card's rows (END_EDIT_KALK).
void EndEditCycle(const Context& ctx, qint64 product);
// Ends the cycle putting the card back as it was at its start (CLEAR_EDIT_KALK).
void CancelEditCycle(const Context& ctx, qint64 product);

// Adds an active row with quantity 0 and the yield (ADD_TO_KALK); its key.
qint64 AddCardRow(const Context& ctx, qint64 master, qint64 ingredient, double percent);

// Removes one card row.
void DeleteCardRow(const Context& ctx, qint64 row);
// Switches a card row on (counted by the expansions) or off.
void SetCardRowActive(const Context& ctx, qint64 row, bool active);
// What a number typed on a card row is: its net quantity, its yield percent,
// its gross coefficient (100 / yield) or its gross quantity (net × coefficient).
enum class CardFigure { Net, Yield, Coefficient, Gross };
// Writes a typed figure of a card row. A gross sets the yield from the net the
// row holds now (coefficient = gross / net); a row without a net is refused
// (CardError) and nothing is written.
void SetCardRowValue(const Context& ctx, qint64 row, CardFigure figure, double value);

// Stores the product's recipe text.
void SaveRecipe(const Context& ctx, qint64 product, const QString& text);

// True when adding the ingredient to the master's card would close a circle:
// the ingredient is the master itself or has the master anywhere in its
// composition. Judged on the card rows as they are (switched-off rows count,
// as they may be switched on later), whatever the stored levels say.
bool MakesCycle(const Context& ctx, qint64 master, qint64 ingredient);

// Every row of the master's card takes its ingredient's yield norm (ING.VIHOD).
void ResetYieldsFromNorm(const Context& ctx, qint64 master);

// True when any department row of the product holds a quantity other than 0.
bool HasStock(const Context& ctx, qint64 product);

// The card's header as typed.
struct CardHeader {
    int kvoPorc = 1;       // units the card is written for
    int percentPlus = 0;   // card markup
    QString vihod;         // the yield as printed
    int cenaCompute = 0;   // 0 stock prices of the ingredients, 1 selling prices
    int manualBrutto = 0;  // 0 the rows' yield follows the norms, 1 set by hand
};

struct SaveResult {
    bool hasStock = false;     // prices left as they were
    bool emptyCard = false;    // the header was stored with stock prices
    int level = 0;
    RecomputeResult prices;    // when recomputed
};

// Saves the card on ctx.write: ends the edit cycle keeping the rows, stores
// the header with the product's level, and recomputes the product's prices and
// calories in every department unless it has stock. A card that closes a
// circle throws CardError before the header is stored.
SaveResult SaveCard(const Context& ctx, qint64 product, CardHeader header);

struct CopyResult {
    qint64 kod = 0;            // the new product
    RecomputeResult prices;
};

// A new product named `name` with the general parameters, the card (every
// row, switched-off ones too, with their active flag) and the department rows
// of the source, and its prices computed. A raw product's self row becomes
// the copy's own. Written on ctx.write; a price computation stopped by a
// zero price keeps the copy.
CopyResult CopyDish(const Context& ctx, qint64 source, const QString& name);

// The refusal for a typed text the database cannot hold (characters outside
// Windows-1251, named in the message); empty when the text can be stored.
QString UnstorableTextRefusal(const QString& text);

} // namespace costing
