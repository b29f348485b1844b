#pragma once

#include "engine/ShownRow.h"
#include "products/ProductsEngine.h"

namespace db {
class ListHolder;
}

// The products tab's and product dialogs' writers as handlers call them: each
// opens the program's write road, runs the engine (products/ProductsEngine.h)
// and commits with its protocol line (area "Продукты и блюда") unless said
// otherwise; the checks read on the program's context. Inside another
// writer's road call the engine with w.context() instead.
namespace products {

// ---- groups ----

// A new group, kept in the main warehouse of every department. Returns its
// key; `shown` (may be null), a list of groups, stands on it after the commit.
qint64 CreateGroup(const QString& name, db::ListHolder* shown = nullptr);
// Refused when another workstation changed or deleted the group since its
// dialog showed it (`shown`).
void RenameGroup(qint64 kod, const QString& name, const engine::ShownRow& shown);
// Refusal text for deleting the group (it still holds a product, hidden or not), empty when it may go.
QString GroupDeleteRefusal(qint64 kod);
// The writers of a group, a product or a warehouse a list showed refuse it
// when another workstation deleted it meanwhile: nothing is written, no
// protocol line. A deletion makes its window's check again inside its road
// and refuses in the same words when the row is no longer free to go.
void DeleteGroup(qint64 kod, const QString& name);
// Every product of the group gets the point-of-sale section n.
void SetGroupSection(qint64 kod, int n, const QString& name);
// The group leaves warehouse oldSklad of the department for target, with its products' rows there.
void MoveGroupToSklad(qint64 group, qint64 target, qint64 otdel, qint64 oldSklad, const QString& groupName,
                      const QString& targetName);

// ---- products ----

// A new product with its self card row and one row in every department.
// Returns its key; `shown` (may be null), a product list, stands on it after
// the commit. Refused when another workstation deleted its group or its unit
// (as the user knows them: groupName, unitName) meanwhile.
qint64 CreateIng(const IngData& d, const QString& groupName, const QString& unitName, db::ListHolder* shown = nullptr);
// Saves the general parameters; with normChanged the rows of the cards that take
// the yield from the ingredient's norm follow the new yield. Refused when
// another workstation changed or deleted the product since its dialog showed
// it (`shown`).
void UpdateIng(qint64 kod, const IngData& d, bool normChanged, const engine::ShownRow& shown);
// Hides the product in every department but otdel; commits without a protocol line.
void HideIngElsewhere(qint64 ing, qint64 otdel);
// Moves the product to another group; its rows follow the warehouses that keep that group.
void MoveIngToGroup(qint64 ing, qint64 group, const QString& ingName, const QString& groupName);

IngUse IngInUse(qint64 ing);
// Deletes one product with its department rows, its own card and card-edit
// backups left behind that name it; the protocol line commits.
void DeleteIng(qint64 ing, const QString& name);
// Deletes every product of the list that is not in use, in one transaction.
// Refused when another workstation deleted them all; none deleted (every one
// in use), nothing is logged.
DeletedIngs DeleteAllIng(const QList<qint64>& ings, const QString& groupName);

} // namespace products
