#pragma once

// A fresh database with one enterprise and one department, a builder of
// products and cards, and the costing engine over either way of reading.

#include "../../bench/CostingCatalogue.h"
#include "support/EngineEnv.h"

#include "costing/CardSource.h"
#include "costing/Expansion.h"

#include <gtest/gtest.h>

#include <memory>

enum class SourceKind { Sql, Snapshot };

inline std::string sourceName(const ::testing::TestParamInfo<SourceKind>& info)
{
    return info.param == SourceKind::Sql ? "Sql" : "Snapshot";
}

class CostingDb {
public:
    CostingDb()
    {
        t.write().start();
        b = std::make_unique<costing_catalogue::Builder>(&t.db(), &t.write());
        firma = b->firma(QStringLiteral("Столовая"));
        otdel = b->otdel(firma, QStringLiteral("Кухня"));
    }

    // A raw product with its self row and its row in the department.
    qint64 raw(const QString& name, double cena, double myCena = 0, double kalories = 0)
    {
        writing();
        costing_catalogue::Builder::Ing d;
        d.name = name;
        d.kalories = kalories;
        const qint64 k = b->ing(d);
        row(k, cena, myCena);
        return k;
    }
    // A semi-finished product or dish with its row in the department; cards come with card().
    qint64 dish(const QString& name, int level, int kvoPorc = 1, int percentPlus = 0, int cenaCompute = 0)
    {
        writing();
        costing_catalogue::Builder::Ing d;
        d.name = name;
        d.level = level;
        d.kvoPorc = kvoPorc;
        d.percentPlus = percentPlus;
        d.cenaCompute = cenaCompute;
        const qint64 k = b->ing(d, false);
        row(k, 0, 0);
        return k;
    }
    qint64 row(qint64 ing, double cena, double myCena, double kolvo = 0, int percent = 0, int metod = 0, int noIng = 0,
               int hidden = 0)
    {
        writing();
        costing_catalogue::Builder::Sklad s;
        s.cena = cena;
        s.myCena = myCena;
        s.kolvo = kolvo;
        s.percent = percent;
        s.metod = metod;
        s.noIng = noIng;
        s.openClose = hidden;
        return b->sklad(ing, firma, otdel, s);
    }
    void card(qint64 master, qint64 ing, double kolvo, double percent = 100, int active = 1)
    {
        writing();
        b->karta(master, ing, kolvo, percent, active);
    }
    // The builder writes on the test's write transaction, started when needed.
    void writing()
    {
        if (!t.write().active())
            t.write().start();
    }
    void commit()
    {
        if (t.write().active())
            t.write().commit();
    }
    void exec(const QString& sql)
    {
        commit();
        t.exec(sql);
    }

    // The engine over the committed catalogue.
    costing::Expander& engine(SourceKind kind)
    {
        commit();
        expander.reset();
        if (kind == SourceKind::Sql)
            source = std::make_unique<costing::SqlCardSource>(&t.db(), &t.read());
        else
            source = std::make_unique<costing::CatalogueSnapshot>(&t.db(), &t.read());
        expander = std::make_unique<costing::Expander>(*source);
        return *expander;
    }

    TestDb t;
    std::unique_ptr<costing_catalogue::Builder> b;
    qint64 firma = 0;
    qint64 otdel = 0;
    std::unique_ptr<costing::CardSource> source;
    std::unique_ptr<costing::Expander> expander;
};
