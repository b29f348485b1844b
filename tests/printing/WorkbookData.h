#pragma once

// Rows of the catalogue and the movement for the workbook tests: an
// enterprise with two departments, units, products with their department
// rows and movement documents, written with literal SQL.

#include "support/EngineEnv.h"
#include "support/TemplateFixture.h"

#include <QString>

class WorkbookData {
public:
    explicit WorkbookData(TestDb& t) : t_(t)
    {
        t_.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (1, 'килограмм', 'кг')"));
        t_.exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME) VALUES (2, 'штука', 'шт')"));
        t_.exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (10, 'Столовая №1', 1)"));
        t_.exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (20, 10, 'Кухня')"));
        t_.exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (21, 10, 'Буфет')"));
        t_.exec(QStringLiteral("INSERT INTO SKLAD (KOD, KOD_FIRMA, KOD_OTDEL, NAME) VALUES (30, 10, 20, 'Основной')"));
        t_.exec(QStringLiteral("INSERT INTO SKLAD (KOD, KOD_FIRMA, KOD_OTDEL, NAME) VALUES (31, 10, 21, 'Буфетный')"));
    }

    void product(qint64 kod, const QString& name, int level = 0, qint64 unit = 1, int portions = 1)
    {
        t_.exec(QStringLiteral("INSERT INTO ING (KOD, NAME, ED_IZM, MY_LEVEL, KVO_PORC) VALUES (%1, '%2', %3, %4, %5)")
                    .arg(kod)
                    .arg(name)
                    .arg(unit)
                    .arg(level)
                    .arg(portions));
    }

    // A department row of the product: stock, stock price and limit (null: no limit).
    void stock(qint64 ing, qint64 otdel, double kolvo, double cena, const QString& limit = QStringLiteral("0"),
               qint64 sklad = -1)
    {
        const qint64 s = sklad >= 0 ? sklad : (otdel == 20 ? 30 : 31);
        t_.exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOD_SKLAD, KOLVO, CENA, LIMIT) "
                               "VALUES (%1, 10, %2, %3, %4, %5, %6)")
                    .arg(ing)
                    .arg(otdel)
                    .arg(s == 0 ? QStringLiteral("NULL") : QString::number(s))
                    .arg(kolvo)
                    .arg(cena)
                    .arg(limit));
    }

    // A document of the type with one line per (product, quantity, direction).
    qint64 doc(const QDate& date, int type)
    {
        const qint64 kod = ++docs_;
        t_.exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE) VALUES (%1, 'Документ', '%2', %3)")
                    .arg(kod)
                    .arg(date.toString(Qt::ISODate))
                    .arg(type));
        return kod;
    }
    void line(qint64 doc, qint64 ing, qint64 otdel, double kolvo, int typeMoves = 2)
    {
        t_.exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, TYPE_MOVES) VALUES (%1, %2, %3, %4, %5)")
                    .arg(doc)
                    .arg(ing)
                    .arg(otdel)
                    .arg(kolvo)
                    .arg(typeMoves));
    }

    void refresh() { RefreshRead(t_); }

private:
    TestDb& t_;
    qint64 docs_ = 5000;
};
