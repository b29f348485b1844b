#pragma once

#include <QList>
#include <QString>

namespace db {
class Query;
}

// Product groups and products: the writes and reference checks behind the
// product dialogs and the products tab, and the tab's two list builders.
// Writers run on the data module's write transaction and commit with their
// protocol line (area "Продукты и блюда") unless said otherwise.
namespace products {

// ---- groups ----

// A new group, kept in the main warehouse of every department. Returns its key.
qint64 CreateGroup(const QString& name);
void RenameGroup(qint64 kod, const QString& name);
// Refusal text for deleting the group (it still holds a product, hidden or not), empty when it may go.
QString GroupDeleteRefusal(qint64 kod);
void DeleteGroup(qint64 kod, const QString& name);
// Every product of the group gets the point-of-sale section n.
void SetGroupSection(qint64 kod, int n, const QString& name);
// The group leaves warehouse oldSklad of the department for target, with its products' rows there.
void MoveGroupToSklad(qint64 group, qint64 target, qint64 otdel, qint64 oldSklad, const QString& groupName,
                      const QString& targetName);

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
qint64 CreateIng(const IngData& d);
// Saves the general parameters; with normChanged the rows of the cards that take
// the yield from the ingredient's norm follow the new yield.
void UpdateIng(qint64 kod, const IngData& d, bool normChanged);
// Hides the product in every department but otdel; commits without a protocol line.
void HideIngElsewhere(qint64 ing, qint64 otdel);
// Moves the product to another group; its rows follow the warehouses that keep that group.
void MoveIngToGroup(qint64 ing, qint64 group, const QString& ingName, const QString& groupName);

// Why a product may not be deleted: the first reference found, or None.
enum class IngUse { None, Karta, Invent, Real, Moves, Menu, Stock };
IngUse IngInUse(qint64 ing);
QString IngUseText(IngUse use);
// Deletes one product with its department rows, its own card and card-edit
// backups left behind that name it; the protocol line commits.
void DeleteIng(qint64 ing, const QString& name);
// Deletes every product of the list that is not in use, in one transaction;
// returns how many were skipped.
int DeleteAllIng(const QList<qint64>& ings, const QString& groupName);

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
