#pragma once

// The technological cards' data of the benchmarks: a catalogue of 800 raw
// products and 200 dishes with cards four levels deep in one department, and
// a production document not yet posted of 200 lines of dishes three and four
// levels deep. Needs TARELIA_SHIPPED_SAMPLES, the converted sample templates.

#include "CostingCatalogue.h"

#include "templates/SampleTemplates.h"

#include "db/Query.h"

#include <QDate>

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
    qint64 production = 0;  // DOCS.KOD of the production document
};

// Writes the catalogue and the document, dated `date`, through `b` on
// `write` (the caller commits); the lines' dishes are drawn from `rng`.
inline TechCardsData WriteTechCardsData(costing_catalogue::Builder& b, db::Database& database, db::Transaction& write,
                                        std::mt19937& rng, const QDate& date)
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

    d.production = b.nextKey();
    db::Query doc(&database, &write);
    doc.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                              "VALUES (:K, :N, :D, 7, :F, 0, 0)"));
    doc.param(QStringLiteral("K")).setInt64(d.production);
    doc.param(QStringLiteral("N")).setString(QString::number(d.production));
    doc.param(QStringLiteral("D")).setDate(date);
    doc.param(QStringLiteral("F")).setInt64(d.firma);
    doc.execSql();

    std::vector<qint64> deep = d.catalogue.byLevel[2];
    deep.insert(deep.end(), d.catalogue.byLevel[3].begin(), d.catalogue.byLevel[3].end());
    db::Query line(&database, &write);
    line.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA) "
                               "VALUES (:D, :I, :O, :Q, 0)"));
    for (int i = 0; i < 200; ++i) {
        line.param(QStringLiteral("D")).setInt64(d.production);
        line.param(QStringLiteral("I")).setInt64(deep[std::uniform_int_distribution<size_t>(0, deep.size() - 1)(rng)]);
        line.param(QStringLiteral("O")).setInt64(d.otdel);
        line.param(QStringLiteral("Q")).setDouble(1 + i % 5);
        line.execSql();
    }
    return d;
}

} // namespace bench
