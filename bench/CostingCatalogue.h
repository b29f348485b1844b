#pragma once

// Catalogues for the costing engine's tests and benchmarks: a builder of
// enterprises, departments, products, department rows and card rows with keys
// of its own, and a generator of catalogues with cards nested several levels
// deep that share their semi-finished products. The same options and seed
// always give the same catalogue.

#include "db/Database.h"
#include "db/Query.h"
#include "db/Transaction.h"

#include <QString>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace costing_catalogue {

// Writes rows on an active transaction; the caller commits.
class Builder {
public:
    Builder(db::Database* database, db::Transaction* transaction) : db_(database), tr_(transaction) {}

    qint64 nextKey() { return key_++; }

    qint64 firma(const QString& name)
    {
        const qint64 k = nextKey();
        run(firma_, QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (:K, :N, 1)"),
            [&](db::Query& q) {
                q.param(QStringLiteral("K")).setInt64(k);
                q.param(QStringLiteral("N")).setString(name);
            });
        return k;
    }

    qint64 otdel(qint64 firma, const QString& name)
    {
        const qint64 k = nextKey();
        run(otdel_, QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (:K, :F, :N)"), [&](db::Query& q) {
            q.param(QStringLiteral("K")).setInt64(k);
            q.param(QStringLiteral("F")).setInt64(firma);
            q.param(QStringLiteral("N")).setString(name);
        });
        return k;
    }

    struct Ing {
        QString name;
        int level = 0;
        int kvoPorc = 1;
        int percentPlus = 0;
        int cenaCompute = 0;
        double kalories = 0;
        qint64 group = 0;
    };
    // A product; a raw one (level 0) gets its self card row when selfRow is set.
    qint64 ing(const Ing& d, bool selfRow = true)
    {
        const qint64 k = nextKey();
        run(ing_,
            QStringLiteral("INSERT INTO ING (KOD, NAME, KOD_GROUP, MY_LEVEL, KVO_PORC, PERCENT_PLUS, CENA_COMPUTE, KALORIES) "
                           "VALUES (:K, :N, :G, :L, :P, :PP, :CC, :KL)"),
            [&](db::Query& q) {
                q.param(QStringLiteral("K")).setInt64(k);
                q.param(QStringLiteral("N")).setString(d.name);
                q.param(QStringLiteral("G")).setInt64(d.group);
                q.param(QStringLiteral("L")).setInt(d.level);
                q.param(QStringLiteral("P")).setInt(d.kvoPorc);
                q.param(QStringLiteral("PP")).setInt(d.percentPlus);
                q.param(QStringLiteral("CC")).setInt(d.cenaCompute);
                q.param(QStringLiteral("KL")).setDouble(d.kalories);
            });
        if (d.level == 0 && selfRow)
            karta(k, k, 1);
        return k;
    }

    struct Sklad {
        double kolvo = 0;
        double cena = 0;
        double myCena = 0;
        int percent = 0;
        int metod = 0;
        int noIng = 0;
        int openClose = 0;
    };
    qint64 sklad(qint64 ing, qint64 firma, qint64 otdel, const Sklad& d)
    {
        const qint64 k = nextKey();
        run(sklad_,
            QStringLiteral("INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, KOLVO, CENA, MY_CENA, PERCENT, "
                           "METOD_CENA, NO_ING, OPEN_CLOSE) VALUES (:K, :I, :F, :O, :Q, :C, :MC, :P, :M, :NI, :OC)"),
            [&](db::Query& q) {
                q.param(QStringLiteral("K")).setInt64(k);
                q.param(QStringLiteral("I")).setInt64(ing);
                q.param(QStringLiteral("F")).setInt64(firma);
                q.param(QStringLiteral("O")).setInt64(otdel);
                q.param(QStringLiteral("Q")).setDouble(d.kolvo);
                q.param(QStringLiteral("C")).setDouble(d.cena);
                q.param(QStringLiteral("MC")).setDouble(d.myCena);
                q.param(QStringLiteral("P")).setInt(d.percent);
                q.param(QStringLiteral("M")).setInt(d.metod);
                q.param(QStringLiteral("NI")).setInt(d.noIng);
                q.param(QStringLiteral("OC")).setInt(d.openClose);
            });
        return k;
    }

    qint64 karta(qint64 master, qint64 ing, double kolvo, double percent = 100, int active = 1)
    {
        const qint64 k = nextKey();
        run(karta_,
            QStringLiteral("INSERT INTO KARTA (KOD, KOD_ING_MASTER, KOD_ING, KOLVO, PERCENT, IS_ACTIVE) "
                           "VALUES (:K, :M, :I, :Q, :P, :A)"),
            [&](db::Query& q) {
                q.param(QStringLiteral("K")).setInt64(k);
                q.param(QStringLiteral("M")).setInt64(master);
                q.param(QStringLiteral("I")).setInt64(ing);
                q.param(QStringLiteral("Q")).setDouble(kolvo);
                q.param(QStringLiteral("P")).setDouble(percent);
                q.param(QStringLiteral("A")).setInt(active);
            });
        return k;
    }

private:
    template <typename Bind>
    void run(std::unique_ptr<db::Query>& q, const QString& sql, Bind bind)
    {
        if (!q) {
            q = std::make_unique<db::Query>(db_, tr_);
            q->setSql(sql);
        }
        bind(*q);
        q->execSql();
    }

    db::Database* db_;
    db::Transaction* tr_;
    qint64 key_ = 1000000;
    std::unique_ptr<db::Query> firma_, otdel_, ing_, sklad_, karta_;
};

struct Options {
    int products = 200;
    int composites = 50;
    int levels = 4;
    int firms = 1;
    int departments = 3;
    int groups = 5;
    unsigned seed = 1;
    double inactiveShare = 0;     // card rows switched off
    double missingRowShare = 0;   // products without a row in a department
    double stockShare = 0;        // department rows with stock
    double hiddenShare = 0;       // hidden department rows
    double noIngShare = 0;        // composites marked NO_ING in a department
    double staleLevelShare = 0;   // composites with a wrong stored level
    double zeroPriceShare = 0;    // raw products without a stock price
    double manualShare = 0.1;     // department rows priced by hand
    double sellingFlagShare = 0.2;  // composites costed from selling prices
};

struct Catalogue {
    std::vector<qint64> firms;
    std::vector<std::pair<qint64, qint64>> departments;  // (enterprise, department)
    std::vector<qint64> groups;
    std::vector<qint64> raw;
    std::vector<std::vector<qint64>> byLevel;  // composites of level 1, 2, ... (index level - 1)
    std::vector<qint64> all() const
    {
        std::vector<qint64> v = raw;
        for (const auto& l : byLevel)
            v.insert(v.end(), l.begin(), l.end());
        return v;
    }
};

inline Catalogue generate(Builder& b, const Options& o)
{
    std::mt19937 rng(o.seed);
    auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto money = [&](double lo, double hi) {
        return std::round(std::uniform_real_distribution<double>(lo, hi)(rng) * 100) / 100;
    };
    auto pick = [&](const std::vector<qint64>& v) { return v[static_cast<size_t>(between(0, static_cast<int>(v.size()) - 1))]; };

    Catalogue c;
    for (int f = 0; f < o.firms; ++f)
        c.firms.push_back(b.firma(QStringLiteral("Предприятие %1").arg(f + 1)));
    for (int d = 0; d < o.departments; ++d) {
        const qint64 f = c.firms[static_cast<size_t>(d % o.firms)];
        c.departments.emplace_back(f, b.otdel(f, QStringLiteral("Отдел %1").arg(d + 1)));
    }
    for (int g = 0; g < o.groups; ++g)
        c.groups.push_back(b.nextKey());

    auto rows = [&](qint64 ing, bool composite) {
        for (const auto& [f, d] : c.departments) {
            if (chance(o.missingRowShare))
                continue;
            Builder::Sklad s;
            s.kolvo = chance(o.stockShare) ? money(0.1, 3) : 0;
            s.cena = composite ? money(10, 500) : (chance(o.zeroPriceShare) ? 0 : money(1, 300));
            s.myCena = money(1, 600);
            s.percent = between(0, 50);
            s.metod = chance(o.manualShare) ? 2 : (chance(0.25) ? 1 : 0);
            s.noIng = composite && chance(o.noIngShare) ? 1 : 0;
            s.openClose = chance(o.hiddenShare) ? 1 : 0;
            b.sklad(ing, f, d, s);
        }
    };

    const int rawCount = o.products - o.composites;
    for (int i = 0; i < rawCount; ++i) {
        Builder::Ing d;
        d.name = QStringLiteral("Продукт %1").arg(i + 1);
        d.kalories = money(0, 900);
        d.group = c.groups[static_cast<size_t>(i % o.groups)];
        const qint64 k = b.ing(d);
        c.raw.push_back(k);
        rows(k, false);
    }

    // Level shares 4:3:2:1 for four levels (and alike for other depths).
    c.byLevel.resize(static_cast<size_t>(o.levels));
    int weightSum = 0;
    for (int l = 1; l <= o.levels; ++l)
        weightSum += o.levels + 1 - l;
    int made = 0;
    static const double kYields[] = {100, 100, 100, 90, 80, 75, 60};
    static const int kPortions[] = {1, 1, 1, 2, 4, 10};
    for (int l = 1; l <= o.levels; ++l) {
        const int count = l == o.levels ? o.composites - made : o.composites * (o.levels + 1 - l) / weightSum;
        for (int i = 0; i < count; ++i) {
            Builder::Ing d;
            d.name = QStringLiteral("Блюдо %1-%2").arg(l).arg(i + 1);
            d.level = chance(o.staleLevelShare) ? between(1, o.levels + 2) : l;
            d.kvoPorc = kPortions[between(0, 5)];
            d.percentPlus = between(0, 15);
            d.cenaCompute = chance(o.sellingFlagShare) ? 1 : 0;
            d.kalories = money(0, 500);
            d.group = c.groups[static_cast<size_t>((i + l) % o.groups)];
            const qint64 k = b.ing(d, false);
            const int n = between(3, 8);
            for (int r = 0; r < n; ++r) {
                qint64 ing;
                if (r == 0 && l > 1)
                    ing = pick(c.byLevel[static_cast<size_t>(l - 2)]);  // gives the card its depth
                else if (l > 1 && chance(0.3))
                    ing = pick(c.byLevel[static_cast<size_t>(between(0, l - 2))]);  // a shared semi-finished product
                else
                    ing = pick(c.raw);
                b.karta(k, ing, money(0.01, 0.5), kYields[between(0, 6)], chance(o.inactiveShare) ? 0 : 1);
            }
            c.byLevel[static_cast<size_t>(l - 1)].push_back(k);
            rows(k, true);
        }
        made += count;
    }
    return c;
}

} // namespace costing_catalogue
