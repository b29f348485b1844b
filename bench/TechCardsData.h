#pragma once

// The technological cards' data of the benchmarks: a catalogue of 800 raw
// products and 200 dishes with cards four levels deep in one department, and
// production documents not yet posted of 200 lines (and of as many more as
// asked) of dishes three and four levels deep. Needs TARELIA_SHIPPED_SAMPLES,
// the converted sample templates.

#include "CostingCatalogue.h"

#include "templates/SampleTemplates.h"

#include "db/Query.h"

#include <QDate>

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

} // namespace bench
