#pragma once

#include "engine/WriteRoad.h"
#include "engine/Context.h"

#include <QList>
#include <QString>

namespace db {
class Query;
}

// The products engine: product groups and products, the writes and reference
// checks behind the product dialogs and the products tab, and the tab's two
// list builders. Writers write on ctx.write (opened by the caller's
// WriteTransaction) and never commit; checks read on ctx.read. The handlers'
// writers with their protocol lines are in Products.h of the catalogue.
namespace products {

// The reservation of every road that runs these writers (engine/WriteRoad.h).
inline constexpr WriteTransaction::Reserve kRoad = WriteTransaction::Reserve::Catalogue;

// ---- groups ----

// A new group, kept in the main warehouse of every department. Returns its key.
qint64 CreateGroup(const engine::Context& ctx, const QString& name);
void RenameGroup(const engine::Context& ctx, qint64 kod, const QString& name);
// Refusal text for deleting the group (it still holds a product, hidden or not), empty when it may go.
QString GroupDeleteRefusal(const engine::Context& ctx, qint64 kod);
void DeleteGroup(const engine::Context& ctx, qint64 kod);
// Every product of the group gets the point-of-sale section n.
void SetGroupSection(const engine::Context& ctx, qint64 kod, int n);
// The group leaves warehouse oldSklad of the department for target, with its products' rows there.
void MoveGroupToSklad(const engine::Context& ctx, qint64 group, qint64 target, qint64 otdel, qint64 oldSklad);

// ---- products ----

// General parameters of a product as the product dialog writes them.
struct IngData {
    QString name;
    qint64 group = 0;
    qint64 edIzm = 0;
    QString dopInfo;
    bool useMenu = false;
    int section = 0;
    int maxDiscount = 0;
    int portions = 1;
    double vihod = 100;
    int time = 0;
    int alarm = 0;
    double kalories = 0;
};

// A new product with its self card row and one row in every department. Returns its key.
qint64 CreateIng(const engine::Context& ctx, const IngData& d);
// Saves the general parameters; with normChanged the rows of the cards that take
// the yield from the ingredient's norm follow the new yield.
void UpdateIng(const engine::Context& ctx, qint64 kod, const IngData& d, bool normChanged);
// Hides the product in every department but otdel (a change that carries no protocol line).
void HideIngElsewhere(const engine::Context& ctx, qint64 ing, qint64 otdel);
// Moves the product to another group; its rows follow the warehouses that keep that group.
void MoveIngToGroup(const engine::Context& ctx, qint64 ing, qint64 group);

// Why a product may not be deleted: the first reference found, or None.
enum class IngUse { None, Karta, Invent, Real, Moves, Menu, Stock };
IngUse IngInUse(const engine::Context& ctx, qint64 ing);
QString IngUseText(IngUse use);
// Deletes one product with its department rows, its own card and card-edit
// backups left behind that name it.
void DeleteIng(const engine::Context& ctx, qint64 ing);
// What a deletion of several products did: how many went, how many stayed in use.
struct DeletedIngs {
    int deleted = 0;
    int skipped = 0;
};
// Deletes every product of the list that is not in use. None deleted and none
// skipped: another workstation deleted them all, and the road is refused
// (engine::RowRefusal).
DeletedIngs DeleteAllIng(const engine::Context& ctx, const QList<qint64>& ings);

// ---- lists ----

// The product list: the group's products in the department, or with search
// set, the products of every group whose name contains the text (any letter
// case), always only those with a row in the department (0: none).
struct IngListFilter {
    qint64 group = 0;
    qint64 otdel = 0;
    bool search = false;
    QString text;
    bool showHidden = false;
    bool menuOnly = false;  // only products that may be chosen in menus
};
void OpenIngList(db::Query* q, const IngListFilter& f);

// The stock list: the rows of the warehouse and group, or with search set the
// rows of the whole department whose product name contains the text.
struct StockListFilter {
    qint64 sklad = 0;
    qint64 group = 0;
    qint64 otdel = 0;
    bool search = false;
    QString text;
    bool showHidden = false;
};
void OpenStockList(db::Query* q, const StockListFilter& f);

} // namespace products
