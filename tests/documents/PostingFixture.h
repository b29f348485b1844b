#pragma once

// A fresh database with one enterprise, a partner and two departments, a
// builder of products, stock rows, documents and lines, and snapshots of the
// stock, document and line tables for before/after comparisons.

#include "../../bench/CostingCatalogue.h"
#include "support/TestDb.h"

#include "posting/Posting.h"

#include <gtest/gtest.h>

#include <memory>

// What a posting and its cancellation must leave as it was: every stock
// row, the documents' meaning and the lines' products, quantities and prices.
struct PostingSnapshot {
    std::string stock, docs, lines;
    bool operator==(const PostingSnapshot& o) const { return stock == o.stock && docs == o.docs && lines == o.lines; }
};

inline void PrintTo(const PostingSnapshot& s, std::ostream* os)
{
    *os << "stock:\n" << s.stock << "\ndocs:\n" << s.docs << "\nlines:\n" << s.lines;
}

// The committed rows of a table as text, in a fixed order.
inline std::string TableText(TestDb& t, const QString& sql)
{
    auto q = t.select(sql);
    QStringList out;
    for (q->first(); !q->eof(); q->next()) {
        QStringList cells;
        for (int i = 0; i < q->fieldCount(); ++i)
            cells << q->field(i).value().toString();
        out << cells.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char('\n')).toStdString();
}

inline PostingSnapshot TakeSnapshot(TestDb& t)
{
    PostingSnapshot s;
    s.stock = TableText(t, QStringLiteral("SELECT * FROM ING_SKLAD ORDER BY KOD"));
    s.docs = TableText(t, QStringLiteral("SELECT NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                                         "INT_PARAM1, INT_PARAM2, PROVODKA, TYPE_CENA, P FROM DOCS ORDER BY NAME, DOC_TYPE"));
    s.lines = TableText(t, QStringLiteral("SELECT KOD_ING, KOD_OTDEL, KOLVO, CENA FROM MOVES ORDER BY KOD_ING, KOLVO, CENA"));
    return s;
}

class PostDb {
public:
    PostDb()
    {
        begin();
        b = std::make_unique<costing_catalogue::Builder>(&t.db(), &t.write());
        firma = b->firma(QStringLiteral("Столовая"));
        partner = b->firma(QStringLiteral("Поставщик"));
        kitchen = b->otdel(firma, QStringLiteral("Кухня"));
        bar = b->otdel(firma, QStringLiteral("Бар"));
        commit();
    }

    posting::Context ctx() { return posting::Context{&t.db(), &t.read(), &t.write()}; }

    void begin()
    {
        if (!t.write().active())
            t.write().start();
    }
    void commit()
    {
        if (t.write().active())
            t.write().commit();
    }

    // A raw product with a row in both departments (the bar's empty unless given).
    qint64 raw(const QString& name, costing_catalogue::Builder::Sklad inKitchen = {},
               costing_catalogue::Builder::Sklad inBar = {})
    {
        begin();
        costing_catalogue::Builder::Ing d;
        d.name = name;
        const qint64 k = b->ing(d);
        b->sklad(k, firma, kitchen, inKitchen);
        b->sklad(k, firma, bar, inBar);
        return k;
    }
    // A dish (level 1 or more) with rows in both departments; its card comes with card().
    qint64 dish(const QString& name, int level = 1, costing_catalogue::Builder::Sklad inKitchen = {})
    {
        begin();
        costing_catalogue::Builder::Ing d;
        d.name = name;
        d.level = level;
        const qint64 k = b->ing(d, false);
        b->sklad(k, firma, kitchen, inKitchen);
        b->sklad(k, firma, bar, {});
        return k;
    }
    void card(qint64 master, qint64 ing, double kolvo, double percent = 100)
    {
        begin();
        b->karta(master, ing, kolvo, percent);
    }

    // A document with a key from the generator, as the program makes them.
    qint64 doc(int type, qint64 otdel1, qint64 otdel2 = 0, int editCena = 0, int p = 0, int typeCena = 0,
               const QString& name = QStringLiteral("12/1"))
    {
        begin();
        const qint64 k = genKey();
        db::Query q(&t.db(), &t.write());
        q.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, TIME_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, "
                                "KOD_PARTNER_IMPORT, INT_PARAM1, INT_PARAM2, EDIT_CENA, P, TYPE_CENA) "
                                "VALUES (:K, :N, :D, :T, :DT, :FE, :FI, :O1, :O2, :EC, :P, :TC)"));
        q.param(QStringLiteral("K")).setInt64(k);
        q.param(QStringLiteral("N")).setString(name);
        q.param(QStringLiteral("D")).setDate(QDate(2026, 12, 7));
        q.param(QStringLiteral("T")).setTime(QTime(10, 30));
        q.param(QStringLiteral("DT")).setInt(type);
        q.param(QStringLiteral("FE")).setInt64(firma);
        q.param(QStringLiteral("FI")).setInt64(type == posting::DocType::Transfer ? firma : partner);
        q.param(QStringLiteral("O1")).setInt64(otdel1);
        q.param(QStringLiteral("O2")).setInt64(otdel2);
        q.param(QStringLiteral("EC")).setInt(editCena);
        q.param(QStringLiteral("P")).setInt(p);
        q.param(QStringLiteral("TC")).setInt(typeCena);
        q.execSql();
        return k;
    }
    // A line; without a department it stands in the kitchen, as the posting stamps it.
    qint64 line(qint64 doc, qint64 ing, double kolvo, double cena, qint64 otdel = 0, int typeMoves = 0)
    {
        if (!otdel)
            otdel = kitchen;
        begin();
        const qint64 k = genKey();
        db::Query q(&t.db(), &t.write());
        q.setSql(QStringLiteral("INSERT INTO MOVES (KOD, KOD_DOC, KOD_ING, KOLVO, CENA, KOD_OTDEL, TYPE_MOVES) "
                                "VALUES (:K, :D, :I, :Q, :C, :O, :TM)"));
        q.param(QStringLiteral("K")).setInt64(k);
        q.param(QStringLiteral("D")).setInt64(doc);
        q.param(QStringLiteral("I")).setInt64(ing);
        q.param(QStringLiteral("Q")).setDouble(kolvo);
        q.param(QStringLiteral("C")).setDouble(cena);
        q.param(QStringLiteral("O")).setInt64(otdel);
        if (typeMoves)
            q.param(QStringLiteral("TM")).setInt(typeMoves);
        q.execSql();
        return k;
    }
    qint64 genKey()
    {
        db::Query q(&t.db(), &t.write());
        q.setSql(QStringLiteral("SELECT GEN_ID(MY_GEN, 1) FROM RDB$DATABASE"));
        q.open();
        return q.field(0).asInt64();
    }
    // A statement committed on its own, after what the builder wrote.
    void exec(const QString& sql)
    {
        commit();
        t.exec(sql);
    }
    void setting(const QString& name, int value)
    {
        commit();
        t.exec(QStringLiteral("UPDATE MY_PARAM SET INTEGER_PARAM = %1 WHERE NAME_PARAM = '%2'").arg(value).arg(name));
    }

    struct Stock {
        double kolvo = 0;
        double cena = 0;
        double myCena = 0;
    };
    // Committed stock of a product in a department.
    Stock stock(qint64 ing, qint64 otdel)
    {
        commit();
        auto q = t.select(QStringLiteral("SELECT KOLVO, CENA, MY_CENA FROM ING_SKLAD WHERE KOD_ING = %1 AND KOD_OTDEL = %2")
                              .arg(ing)
                              .arg(otdel));
        Stock s;
        if (!q->isEmpty()) {
            s.kolvo = q->field(0).asDouble();
            s.cena = q->field(1).asDouble();
            s.myCena = q->field(2).asDouble();
        }
        return s;
    }
    QVariant value(const QString& sql)
    {
        commit();
        return t.scalar(sql);
    }
    qint64 num(const QString& sql) { return value(sql).toLongLong(); }

    using Snapshot = PostingSnapshot;
    Snapshot snapshot()
    {
        commit();
        return TakeSnapshot(t);
    }

    TestDb t;
    std::unique_ptr<costing_catalogue::Builder> b;
    qint64 firma = 0;
    qint64 partner = 0;
    qint64 kitchen = 0;
    qint64 bar = 0;
};


inline costing_catalogue::Builder::Sklad stockOf(double kolvo, double cena, double myCena = 0, int percent = 0)
{
    costing_catalogue::Builder::Sklad s;
    s.kolvo = kolvo;
    s.cena = cena;
    s.myCena = myCena;
    s.percent = percent;
    return s;
}
