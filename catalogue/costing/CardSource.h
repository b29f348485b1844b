#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

#include "KeyIndex.h"

#include <algorithm>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace db {
class Database;
class Transaction;
class Query;
} // namespace db

namespace costing {

// Hash of a (product, department) pair of keys.
struct KeyPairHash {
    size_t operator()(const std::pair<qint64, qint64>& p) const
    {
        return std::hash<qint64>()(p.first) * 1000003u ^ std::hash<qint64>()(p.second);
    }
};

// One active card row of a master product, joined with its ingredient (ING)
// and the ingredient's row in one department (ING_SKLAD).
struct CardRowData {
    qint64 kodIng = 0;
    double kolvo = 0;     // KARTA.KOLVO: net quantity for the card's units
    double percent = 0;   // KARTA.PERCENT: yield
    int myLevel = 0;      // ING.MY_LEVEL
    int kvoPorc = 0;      // ING.KVO_PORC
    double kalories = 0;  // ING.KALORIES
    const QString* name = nullptr;  // ING.NAME, kept by the source
    qint64 kodOtdel = 0;  // ING_SKLAD.KOD_OTDEL
    double cena = 0;      // ING_SKLAD.CENA
    double myCena = 0;    // ING_SKLAD.MY_CENA
    int noIng = 0;        // ING_SKLAD.NO_ING
};

// A product with its row in one department.
struct ProductData {
    int myLevel = 0;
    int kvoPorc = 0;
    double kalories = 0;
    const QString* name = nullptr;  // ING.NAME, kept by the source
    double cena = 0;
    double myCena = 0;
    int noIng = 0;
};

// One active card row of a master in any department, for levels.
struct LevelChild {
    qint64 kodIng = 0;
    int myLevel = 0;  // the ingredient's stored ING.MY_LEVEL
};

// Where the expansions read cards, products and stock. Card rows come in the
// order of KARTA.KOD (then ING_SKLAD.KOD), so a raw product's self row, written
// when the product was made, comes first.
class CardSource {
public:
    virtual ~CardSource() = default;
    // Active rows of the master's card whose ingredient has a row in the
    // department; they stay as they are until the source's next call.
    virtual std::span<const CardRowData> cardInDepartment(qint64 master, qint64 otdel) = 0;
    // The product and its (first) row in the department; false when it has none.
    virtual bool productInDepartment(qint64 ing, qint64 otdel, ProductData& out) = 0;
    // Active rows of the master's card, whatever the department.
    virtual void cardAnyDepartment(qint64 master, std::vector<LevelChild>& out) = 0;
    // ING_SKLAD.KOLVO of the product in the department, 0 when it has no row.
    virtual double stockInDepartment(qint64 ing, qint64 otdel) = 0;
    // ING.NAME, for messages.
    virtual QString productName(qint64 ing) = 0;
};

// Reads every answer from the database with one query each, on the given
// transaction, and remembers the card rows it read: use one for one operation
// (a posting, a print) during which the cards and prices it reads do not change.
class SqlCardSource : public CardSource {
public:
    SqlCardSource(db::Database* database, db::Transaction* transaction);
    ~SqlCardSource() override;

    std::span<const CardRowData> cardInDepartment(qint64 master, qint64 otdel) override;
    bool productInDepartment(qint64 ing, qint64 otdel, ProductData& out) override;
    void cardAnyDepartment(qint64 master, std::vector<LevelChild>& out) override;
    double stockInDepartment(qint64 ing, qint64 otdel) override;
    QString productName(qint64 ing) override;

private:
    std::unique_ptr<db::Query> q_;
    std::unordered_map<std::pair<qint64, qint64>, std::vector<CardRowData>, KeyPairHash> cards_;
    std::unordered_map<qint64, QString> names_;  // what the card rows' names point to
    std::unordered_map<qint64, std::vector<LevelChild>> levelCards_;
};

// The cards, products and department rows a run needs, read once into memory.
// The price recomputation keeps it in step with what it writes (levels, prices,
// calories), so later rows of the run see the values earlier rows stored.
class CatalogueSnapshot : public CardSource {
public:
    struct Product {
        qint64 kod = 0;
        int myLevel = 0;
        bool levelNull = false;
        int kvoPorc = 0;
        double kalories = 0;
        int percentPlus = 0;
        int cenaCompute = 0;
        qint64 group = 0;
        bool groupNull = false;
        QString name;
    };
    struct DepartmentRow {
        qint64 kod = 0;
        qint64 kodIng = 0;
        qint64 kodOtdel = 0;
        qint64 kodFirma = 0;
        bool firmaNull = false;
        double kolvo = 0;
        double cena = 0;
        double myCena = 0;
        int percent = 0;
        int metod = 0;
        int noIng = 0;
        int openClose = 0;
    };

    // Reads on the transaction; departments empty = every department.
    CatalogueSnapshot(db::Database* database, db::Transaction* transaction, const std::vector<qint64>& departments = {});
    // Reads only what one product's computation needs: the products of its
    // card tree (active rows, followed down to raw products), their cards and
    // their department rows. Its cost follows the tree, not the catalogue.
    static CatalogueSnapshot ProductTree(db::Database* database, db::Transaction* transaction, qint64 product,
                                         const std::vector<qint64>& departments = {});
    // The same for several products at once (the products of a document):
    // the union of their card trees. Its cost follows the trees, whatever the
    // size of the catalogue.
    static CatalogueSnapshot ProductTrees(db::Database* database, db::Transaction* transaction,
                                          const std::vector<qint64>& products,
                                          const std::vector<qint64>& departments = {});
    ~CatalogueSnapshot() override;

    std::span<const CardRowData> cardInDepartment(qint64 master, qint64 otdel) override;
    bool productInDepartment(qint64 ing, qint64 otdel, ProductData& out) override;
    void cardAnyDepartment(qint64 master, std::vector<LevelChild>& out) override;
    double stockInDepartment(qint64 ing, qint64 otdel) override;
    QString productName(qint64 ing) override;

    // Mirrors of the recomputation's writes; a row's prices by its place in departmentRows().
    void setLevel(qint64 ing, int level);
    void setKalories(qint64 ing, double kalories);
    void setPrices(int place, double cena, double myCena);

    // The department rows in KOD order, their products and departments.
    const std::vector<DepartmentRow>& departmentRows() const { return sklad_; }
    const Product* product(qint64 kod) const;
    // The product's first row in the department (by KOD), null when it has none.
    const DepartmentRow* firstSklad(qint64 ing, qint64 otdel) const;
    // The department's name; null when there is no such department.
    const QString* departmentName(qint64 kod) const;
    // A product by its place among the products, and its place.
    const Product& productAt(int place) const { return ings_[static_cast<size_t>(place)]; }
    int placeOf(const Product& p) const { return static_cast<int>(&p - ings_.data()); }
    // The row at its place in departmentRows() when it is the only row of its
    // product in its department, so firstSklad would find it; else null.
    const DepartmentRow* onlyRowAt(int place) const
    {
        return duplicatePairs_ ? nullptr : &sklad_[static_cast<size_t>(place)];
    }

    int productCount() const { return static_cast<int>(ings_.size()); }
    int cardRowCount() const { return static_cast<int>(karta_.size()); }

private:
    struct TreeTag {};
    CatalogueSnapshot(db::Database* database, db::Transaction* transaction, TreeTag,
                      const std::vector<qint64>& products, const std::vector<qint64>& departments);

    struct Karta {
        qint64 master = 0;
        qint64 ing = 0;
        double kolvo = 0;
        double percent = 0;
        int ingAt = -1;  // the ingredient's place in ings_; -1: not read
    };
    struct MemoRow {
        const Karta* k;
        const Product* ing;
        const DepartmentRow* sklad;
    };

    using KartaRows = std::vector<std::pair<qint64, Karta>>;  // (KARTA.KOD, row)
    static void readCards(db::Query& q, const QString& where, KartaRows& out);
    static void readProductsInto(db::Query& q, const QString& tail, std::vector<Product>& out);
    static void readDepartmentRowsInto(db::Query& q, const QString& tail, std::vector<DepartmentRow>& out);
    void takeCards(KartaRows& rows);
    void readDepartments(db::Query& q);
    // Puts rows in key order; rows read as they lie mostly are already.
    template <class Row>
    static void inKeyOrder(std::vector<Row>& rows)
    {
        auto byKey = [](const Row& a, const Row& b) { return a.kod < b.kod; };
        if (!std::is_sorted(rows.begin(), rows.end(), byKey))
            std::sort(rows.begin(), rows.end(), byKey);
    }
    void indexProducts();
    void indexDepartmentRows();
    void indexCards();
    // Puts in each card row the place of its ingredient, once the products are indexed.
    void linkCards();

    Product* ing(qint64 kod);

    using Range = std::pair<int, int>;  // [first, last) in a vector
    std::vector<Product> ings_;  // by KOD
    KeyIndex<qint64> ingIndex_;
    std::vector<DepartmentRow> sklad_;  // by KOD
    // (product, department) -> first position in sklad_; nextSamePair_ chains the others in KOD order
    KeyIndex<std::pair<qint64, qint64>> skladByPair_;
    std::vector<int> nextSamePair_;
    bool duplicatePairs_ = false;  // a product has two rows in one department
    std::vector<Karta> karta_;  // active rows by master, then KOD
    KeyIndex<qint64> kartaByMaster_;  // place in masterRanges_
    std::vector<Range> masterRanges_;  // each master's rows in karta_
    std::unordered_map<qint64, QString> otdel_;
    // What one card gives in one department, fixed for a run: its rows in memoRows_,
    // with their values as they stood when the memo last read them (memoValues_);
    // they are read again once a mirrored write changed a value since.
    struct Memo {
        int first = 0, last = 0;  // [first, last) in memoRows_ and memoValues_
        quint64 read = 0;         // the changes_ its values were read at, 0 never
    };
    KeyIndex<std::pair<qint64, qint64>> memo_;  // place in memos_
    std::vector<Memo> memos_;  // a card's range and its reading side by side: one look in memory
    std::vector<MemoRow> memoRows_;
    std::vector<CardRowData> memoValues_;
    quint64 changes_ = 1;  // counts the mirrored writes that changed a value
};

} // namespace costing
