#pragma once

// A small catalogue for the exchange tests: one enterprise with a kitchen and
// a bar, three dishes and a menu of two sections.

#include "support/TestDb.h"

#include "exchange/Dbf.h"

#include <QStringList>

namespace exchange_test {

constexpr qint64 kFirma = 900001, kKitchen = 900002, kBar = 900003;
constexpr qint64 kBorsch = 900010, kKompot = 900011, kSalad = 900012;
// Department rows: the codes the files carry.
constexpr qint64 kBorschRow = 900020, kKompotRow = 900021, kSaladRow = 900022;
constexpr qint64 kMenu = 900030, kSoups = 900040, kDrinks = 900041;

inline void makeCatalogue(TestDb& t)
{
    const QStringList sql = {
        "INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (900001, 'Столовая', 1)",
        "INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (900002, 900001, 'Кухня')",
        "INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME) VALUES (900003, 900001, 'Бар')",
        "INSERT INTO ING (KOD, NAME, MY_LEVEL, VIHOD_BLUDA, DOP_INFO, MY_SECTION, MY_TIME) VALUES (900010, 'Борщ', 2, '250', 'со сметаной', 1, 15)",
        "INSERT INTO ING (KOD, NAME, MY_LEVEL, MY_SECTION) VALUES (900011, 'Компот', 2, 2)",
        "INSERT INTO ING (KOD, NAME, MY_LEVEL, MY_SECTION) VALUES (900012, 'Салат', 2, 1)",
        "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, CENA, MY_CENA, METOD_CENA, KOD_KASSA) VALUES (900020, 900010, 900001, 900002, 30, 50, 2, 17)",
        "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, CENA, MY_CENA, METOD_CENA, KOD_KASSA) VALUES (900021, 900011, 900001, 900003, 5, 12.5, 0, 0)",
        "INSERT INTO ING_SKLAD (KOD, KOD_ING, KOD_FIRMA, KOD_OTDEL, CENA, MY_CENA, METOD_CENA, KOD_KASSA) VALUES (900022, 900012, 900001, 900002, 20, 40, 2, 1234567)",
        "INSERT INTO MENU (KOD, KOD_FIRMA, NAME, DATE_MENU, PERCENT, NO_ROUND) VALUES (900030, 900001, 'Обед', '2026-12-07', 10, 2)",
        "INSERT INTO MENU_RAZDEL (KOD, KOD_MENU, KOD_OTDEL, MY_SORT, NAME) VALUES (900041, 900030, 900003, 2, 'Напитки')",
        "INSERT INTO MENU_RAZDEL (KOD, KOD_MENU, KOD_OTDEL, MY_SORT, NAME) VALUES (900040, 900030, 900002, 1, 'Супы')",
        "INSERT INTO MENU_STR (KOD, KOD_MENU_RAZDEL, KOD_ING, MY_ACTIVE, NO_ROUND) VALUES (900052, 900040, 900012, 1, 2)",
        "INSERT INTO MENU_STR (KOD, KOD_MENU_RAZDEL, KOD_ING, MY_ACTIVE, NO_ROUND) VALUES (900050, 900040, 900010, 1, 2)",
        "INSERT INTO MENU_STR (KOD, KOD_MENU_RAZDEL, KOD_ING, MY_ACTIVE, NO_ROUND) VALUES (900051, 900041, 900011, 0, 2)",
    };
    for (const QString& s : sql)
        t.exec(s);
}

// A totals table of the till: CODE, SECTION, KASSA, KASSIR, DATEO, KOL, PRICE.
struct TillRecord {
    QString code;
    double kol;
    double price;
    QString date = QStringLiteral("20261206");  // DATEO as the file holds it
};

inline QByteArray tillTable(const QVector<TillRecord>& records)
{
    using V = exchange::dbf::Value;
    exchange::dbf::Writer w({{"CODE", 'C', 13, 0}, {"SECTION", 'N', 3, 0}, {"KASSA", 'N', 3, 0}, {"KASSIR", 'C', 20, 0},
                             {"DATEO", 'D', 8, 0}, {"KOL", 'N', 19, 4}, {"PRICE", 'N', 19, 4}});
    for (const TillRecord& r : records)
        w.append({V::of(r.code), V::of(1.0), V::of(2.0), V::of(QStringLiteral("Петрова")), V::of(r.date),
                  V::of(r.kol), V::of(r.price)});
    return w.image(QDate(2026, 12, 6));
}

inline QString code13(qint64 code) { return QString::number(code).rightJustified(13, QLatin1Char('0')); }

} // namespace exchange_test
