#pragma once

// The technological cards' data of the benchmarks: a catalogue of 800 raw
// products and 200 dishes with cards four levels deep in one department, and
// production documents not yet posted of 200 lines (and of as many more as
// asked) of dishes three and four levels deep; besides, on request, documents
// whose every line is a dish of its own, with long names and recipes
// (WriteDistinctCards). Needs TARELIA_SHIPPED_SAMPLES, the converted sample
// templates.

#include "CostingCatalogue.h"

#include "templates/SampleTemplates.h"

#include "db/Query.h"

#include <QDate>

#include <algorithm>
#include <iterator>
#include <map>
#include <random>

namespace bench {

// Installs the shipped sample template `name` ("tech_cards").
inline void InstallShippedSample(db::Database& database, db::Transaction& write, const char* name)
{
    const QString base = QStringLiteral(TARELIA_SHIPPED_SAMPLES "/") + QString::fromLatin1(name);
    templates::InstallSampleTemplate(database, write, base + QStringLiteral(".sql"), base + QStringLiteral(".xls"));
}

struct TechCardsData {
    costing_catalogue::Catalogue catalogue;
    qint64 firma = 0;
    qint64 otdel = 0;
    qint64 production = 0;  // DOCS.KOD of the production document of 200 lines
    std::map<int, qint64> productions;  // by their number of lines, that one among them
    std::map<int, qint64> distinct;     // documents of a dish a line, by their number of lines
};

// Writes the catalogue and the documents, dated `date`, through `b` on
// `write` (the caller commits): one of 200 lines and one of each of `more`
// lines; the lines' dishes are drawn from `rng`.
inline TechCardsData WriteTechCardsData(costing_catalogue::Builder& b, db::Database& database, db::Transaction& write,
                                        std::mt19937& rng, const QDate& date, const std::vector<int>& more = {})
{
    TechCardsData d;
    costing_catalogue::Options o;
    o.products = 800;
    o.composites = 200;
    o.levels = 4;
    o.departments = 1;
    d.catalogue = costing_catalogue::generate(b, o);
    d.firma = d.catalogue.firms.front();
    d.otdel = d.catalogue.departments.front().second;

    db::Query doc(&database, &write);
    doc.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                              "VALUES (:K, :N, :D, 7, :F, 0, 0)"));
    db::Query line(&database, &write);
    line.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) "
                               "VALUES (:D, :I, :O, :Q, 0)"));
    std::vector<qint64> deep = d.catalogue.byLevel[2];
    deep.insert(deep.end(), d.catalogue.byLevel[3].begin(), d.catalogue.byLevel[3].end());
    std::vector<int> sizes{200};
    sizes.insert(sizes.end(), more.begin(), more.end());
    for (const int lines : sizes) {
        if (d.productions.count(lines))
            continue;
        const qint64 kod = b.nextKey();
        doc.param(QStringLiteral("K")).setInt64(kod);
        doc.param(QStringLiteral("N")).setString(QString::number(kod));
        doc.param(QStringLiteral("D")).setDate(date);
        doc.param(QStringLiteral("F")).setInt64(d.firma);
        doc.execSql();
        for (int i = 0; i < lines; ++i) {
            line.param(QStringLiteral("D")).setInt64(kod);
            line.param(QStringLiteral("I")).setInt64(deep[std::uniform_int_distribution<size_t>(0, deep.size() - 1)(rng)]);
            line.param(QStringLiteral("O")).setInt64(d.otdel);
            line.param(QStringLiteral("Q")).setDouble(1 + i % 5);
            line.execSql();
        }
        d.productions[lines] = kod;
    }
    d.production = d.productions.at(200);
    return d;
}

// Documents whose every line is a dish of its own, one of each of `sizes`
// lines, into d.distinct: as many new dishes as the longest needs, each four
// levels deep (a chain of semi-finished products three levels deep, each of
// one or two rows, and one or two raw products on the dish's card: a card of
// two to six raw rows expanded), with a name of two or three lines in its
// heading, a recipe of three to six lines, some of them wrapping, and a
// yield; their 400 raw products, a fifth of them with names that wrap in
// their column, are their own.
inline void WriteDistinctCards(TechCardsData& d, costing_catalogue::Builder& b, db::Database& database,
                               db::Transaction& write, const QDate& date, const std::vector<int>& sizes)
{
    std::mt19937 rng(11);
    const auto pick = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to)(rng); };
    const auto any = [&](const std::vector<qint64>& v) { return v[static_cast<size_t>(pick(0, static_cast<int>(v.size()) - 1))]; };
    static const char* const kWords[] = {
        "охлаждённая", "очищенный",  "нарезанный", "соломкой",  "высшего",   "сорта",      "пассерованный",
        "на",          "сливочном",  "масле",      "с",         "зеленью",   "и",          "специями",
        "по-домашнему", "отварной",  "тушёный",    "в",         "сметанном", "соусе",      "запечённый",
        "под",         "сыром",      "из",         "говядины",  "курицы",    "картофеля",  "моркови",
        "свежей",      "капусты",    "томатов",    "филе",      "минтая",    "рисом",      "гречкой"};
    const auto words = [&](int count) {
        QStringList w;
        for (int i = 0; i < count; ++i)
            w << QString::fromUtf8(kWords[pick(0, static_cast<int>(std::size(kWords)) - 1)]);
        return w.join(QLatin1Char(' '));
    };
    // Raw products of their own, so that the other documents stay as they were.
    std::vector<qint64> raw;
    for (int i = 0; i < 400; ++i) {
        costing_catalogue::Builder::Ing n;
        n.name = QStringLiteral("Продукт %1").arg(10001 + i);
        if (i % 5 == 0)
            n.name += QLatin1Char(' ') + words(pick(5, 8));
        const qint64 k = b.ing(n);
        b.sklad(k, d.firma, d.otdel, {0, 10, 15});
        raw.push_back(k);
    }

    // The chains: semi-finished products of levels 1, 2 and 3, each on one of the level below.
    std::vector<qint64> below = raw;
    for (int level = 1; level <= 3; ++level) {
        std::vector<qint64> made;
        for (int i = 0; i < 60 * level; ++i) {
            costing_catalogue::Builder::Ing n;
            n.name = QStringLiteral("Полуфабрикат %1-%2").arg(level).arg(i + 1);
            n.level = level;
            const qint64 k = b.ing(n, false);
            b.karta(k, any(below), 0.1 * pick(1, 5));
            if (level == 1 || pick(0, 1))
                b.karta(k, any(raw), 0.01 * pick(1, 30), 100 - 5 * pick(0, 4));
            b.sklad(k, d.firma, d.otdel, {0, 50, 80});
            made.push_back(k);
        }
        below = made;
    }

    const int most = *std::max_element(sizes.begin(), sizes.end());
    db::Query dish(&database, &write);
    dish.setSql(QStringLiteral("UPDATE ING SET RECEPT = :R, VIHOD_BLUDA = :V WHERE KOD = :K"));
    std::vector<qint64> dishes;
    for (int i = 0; i < most; ++i) {
        costing_catalogue::Builder::Ing n;
        n.name = (QStringLiteral("Блюдо ") + QString::number(i + 1) + QLatin1Char(' ') + words(pick(6, 11))).left(100);
        n.level = 4;
        const qint64 k = b.ing(n, false);
        b.karta(k, any(below), 0.1 * pick(1, 4));
        for (int r = pick(1, 2); r > 0; --r)
            b.karta(k, any(raw), 0.01 * pick(1, 30), 100 - 5 * pick(0, 4));
        b.sklad(k, d.firma, d.otdel, {0, 100, 150});
        QStringList recipe;
        for (int l = pick(3, 6); l > 0; --l)
            recipe << QStringLiteral("%1. ").arg(recipe.size() + 1) + words(pick(3, 16));
        dish.param(QStringLiteral("R")).setString(recipe.join(QLatin1Char('\n')));
        dish.param(QStringLiteral("V")).setString(QStringLiteral("%1/%2").arg(pick(100, 300)).arg(pick(10, 50)));
        dish.param(QStringLiteral("K")).setInt64(k);
        dish.execSql();
        dishes.push_back(k);
    }

    db::Query doc(&database, &write);
    doc.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                              "VALUES (:K, :N, :D, 7, :F, 0, 0)"));
    db::Query line(&database, &write);
    line.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) "
                               "VALUES (:D, :I, :O, :Q, 0)"));
    for (const int lines : sizes) {
        const qint64 kod = b.nextKey();
        doc.param(QStringLiteral("K")).setInt64(kod);
        doc.param(QStringLiteral("N")).setString(QString::number(kod));
        doc.param(QStringLiteral("D")).setDate(date);
        doc.param(QStringLiteral("F")).setInt64(d.firma);
        doc.execSql();
        std::vector<qint64> drawn = dishes;
        std::shuffle(drawn.begin(), drawn.end(), rng);
        for (int i = 0; i < lines; ++i) {
            line.param(QStringLiteral("D")).setInt64(kod);
            line.param(QStringLiteral("I")).setInt64(drawn[static_cast<size_t>(i)]);
            line.param(QStringLiteral("O")).setInt64(d.otdel);
            line.param(QStringLiteral("Q")).setDouble(1 + i % 5);
            line.execSql();
        }
        d.distinct[lines] = kod;
    }
}

} // namespace bench
