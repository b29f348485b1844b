#pragma once

// A catalogue with cards, production and sales documents and the templates
// of the costing reports (lists 7 to 10), filled into the in-memory office.

#include "automation/RecordingOffice.h"
#include "catalogue/CostingFixture.h"
#include "engine/Settings.h"
#include "support/TemplateFixture.h"

#include <initializer_list>

struct Var {
    const char* name;
    int location;
    const char* cell;
    int enabled = 1;
    const char* staticText = nullptr;
};

class CostingReports : public ::testing::Test {
protected:
    CostingReports()
    {
        settings.rub = QStringLiteral("руб.");
        settings.kop = QStringLiteral("коп.");
        automation::RecordedBook b;
        b.sheets.resize(1);
        b.sheets[0].cells[{0, 0}].content = QStringLiteral("Шапка");
        b.sheets[0].cells[{7, 0}].content = QStringLiteral("Итого");
        b.sheets[0].cells[{11, 0}].content = QStringLiteral("Подпись");
        office.prototype = b;
    }

    // A template of the list (header A1:F7, end block A8:F12, grid A to F) with its variables.
    qint64 layout(int listNo, std::initializer_list<Var> vars, int unicName)
    {
        c.commit();
        templates::TemplateForm f = TableLayout(QStringLiteral("Образец %1").arg(listNo), unicName);
        f.SETKA = templates::OutlineGrid;
        const qint64 form = InsertTemplate(c.t, listNo, f);
        for (const Var& v : vars) {
            templates::TemplateVariable tv =
                PlacedVariable(QString::fromUtf8(v.name), v.location, QString::fromUtf8(v.cell));
            tv.ENABLED = v.enabled;
            if (v.staticText) {
                tv.STATIC_TYPE = 1;
                tv.TEXT_STATIC = QString::fromUtf8(v.staticText);
            }
            InsertVariable(c.t, form, tv);
        }
        return form;
    }

    engine::Context ctx()
    {
        c.commit();
        RefreshRead(c.t);
        engine::Context x{&c.t.db(), &c.t.read()};
        x.settings = &settings;
        return x;
    }
    QString cache() { return c.t.folder() + QStringLiteral("templates/"); }

    qint64 unit(const QString& shortName)
    {
        c.writing();
        db::Query q(&c.t.db(), &c.t.write());
        q.setSql(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (:K, :N, :N)"));
        const qint64 k = c.b->nextKey();
        q.param(QStringLiteral("K")).setInt64(k);
        q.param(QStringLiteral("N")).setString(shortName);
        q.execSql();
        return k;
    }
    qint64 group(const QString& name)
    {
        c.writing();
        db::Query q(&c.t.db(), &c.t.write());
        q.setSql(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (:K, :N)"));
        const qint64 k = c.b->nextKey();
        q.param(QStringLiteral("K")).setInt64(k);
        q.param(QStringLiteral("N")).setString(name);
        q.execSql();
        return k;
    }
    // Sets a product's columns (literal SQL values).
    void ing(qint64 kod, const QString& assignments) { c.exec(QStringLiteral("UPDATE ING SET ") + assignments + QStringLiteral(" WHERE KOD = ") + QString::number(kod)); }
    void recipe(qint64 kod, const QString& text)
    {
        c.writing();
        db::Query q(&c.t.db(), &c.t.write());
        q.setSql(QStringLiteral("UPDATE ING SET RECEPT = :R WHERE KOD = :K"));
        q.param(QStringLiteral("R")).setString(text);
        q.param(QStringLiteral("K")).setInt64(kod);
        q.execSql();
    }
    qint64 doc(const QString& name, const QDate& date, int type, int provodka, int p = 0)
    {
        c.writing();
        db::Query q(&c.t.db(), &c.t.write());
        q.setSql(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, PROVODKA, P) "
                                "VALUES (:K, :N, :D, :T, :F, :PR, :P)"));
        const qint64 k = c.b->nextKey();
        q.param(QStringLiteral("K")).setInt64(k);
        q.param(QStringLiteral("N")).setString(name);
        q.param(QStringLiteral("D")).setDate(date);
        q.param(QStringLiteral("T")).setInt(type);
        q.param(QStringLiteral("F")).setInt64(c.firma);
        q.param(QStringLiteral("PR")).setInt(provodka);
        q.param(QStringLiteral("P")).setInt(p);
        q.execSql();
        return k;
    }
    void line(qint64 document, qint64 product, double kolvo, double cena, double cenaSklad = 0)
    {
        c.writing();
        db::Query q(&c.t.db(), &c.t.write());
        q.setSql(QStringLiteral("INSERT INTO REAL_BLUDO (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, CENA_SKLAD) "
                                "VALUES (:D, :I, :O, :Q, :C, :S)"));
        q.param(QStringLiteral("D")).setInt64(document);
        q.param(QStringLiteral("I")).setInt64(product);
        q.param(QStringLiteral("O")).setInt64(c.otdel);
        q.param(QStringLiteral("Q")).setDouble(kolvo);
        q.param(QStringLiteral("C")).setDouble(cena);
        q.param(QStringLiteral("S")).setDouble(cenaSklad);
        q.execSql();
    }
    void move(qint64 document, qint64 product, double kolvo, double cena)
    {
        c.writing();
        db::Query q(&c.t.db(), &c.t.write());
        q.setSql(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) "
                                "VALUES (:D, :I, :O, :Q, :C, 2)"));
        q.param(QStringLiteral("D")).setInt64(document);
        q.param(QStringLiteral("I")).setInt64(product);
        q.param(QStringLiteral("O")).setInt64(c.otdel);
        q.param(QStringLiteral("Q")).setDouble(kolvo);
        q.param(QStringLiteral("C")).setDouble(cena);
        q.execSql();
    }

    QVariant at(const char* a1) { return office.last().at(QString::fromLatin1(a1)); }
    QString text(const char* a1) { return at(a1).toString(); }
    QStringList column(char col, int from, int to)
    {
        QStringList out;
        for (int r = from; r <= to; ++r)
            out << office.last().at(QStringLiteral("%1%2").arg(QLatin1Char(col)).arg(r)).toString();
        return out;
    }

    CostingDb c;
    engine::Settings settings;
    automation::RecordingOffice office;
};
