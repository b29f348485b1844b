#pragma once

// Rows of a small kitchen for the turnover statement and the inventory sheet:
// an own enterprise with two departments, two partners, two product groups,
// and documents with movement lines, written through the given statement
// runner (TestDb::exec, or a benchmark's own).

#include <QDate>
#include <QString>

#include <functional>

namespace turnoverdata {

using Exec = std::function<void(const QString&)>;

enum : qint64 {
    Stolovaya = 101,  // own enterprise
    Alfa = 102,       // supplier
    Beta = 103,       // customer
    Gamma = 104,      // a second own enterprise
    Kuhnya = 201,
    Bar = 202,
    Sklad = 203,      // department of Gamma
    Kg = 301,
    Sht = 302,
    Ovoshchi = 401,
    Myaso = 402,
    Kartofel = 501,
    Morkov = 502,
    Govyadina = 503,
};

inline QString date(const QDate& d) { return QLatin1Char('\'') + d.toString(QStringLiteral("yyyy-MM-dd")) + QLatin1Char('\''); }

inline void Catalogue(const Exec& exec)
{
    exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (101, 'Столовая №1', 1)"));
    exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (102, 'Поставщик Альфа', 0)"));
    exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (103, 'Покупатель Бета', 0)"));
    exec(QStringLiteral("INSERT INTO FIRMA (KOD, NAME, LOCAL_FIRMA) VALUES (104, 'Кафе Гамма', 1)"));
    exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME, FIRST_OTDEL) VALUES (201, 101, 'Кухня', '1')"));
    exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME, FIRST_OTDEL) VALUES (202, 101, 'Бар', '0')"));
    exec(QStringLiteral("INSERT INTO OTDEL (KOD, KOD_FIRMA, NAME, FIRST_OTDEL) VALUES (203, 104, 'Склад', '1')"));
    exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME, GR) VALUES (301, 'Килограмм', 'кг', 0)"));
    exec(QStringLiteral("INSERT INTO ED_IZM (KOD, NAME, SHORT_NAME, GR) VALUES (302, 'Штука', 'шт', 0)"));
    exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (401, 'Овощи')"));
    exec(QStringLiteral("INSERT INTO GROUP_ING (KOD, NAME) VALUES (402, 'Мясо')"));
    exec(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (501, 401, 'Картофель', 301)"));
    exec(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (502, 401, 'Морковь', 301)"));
    exec(QStringLiteral("INSERT INTO ING (KOD, KOD_GROUP, NAME, ED_IZM) VALUES (503, 402, 'Говядина', 301)"));
}

// A document header; importer 0 leaves it null.
inline void Doc(const Exec& exec, qint64 kod, const QString& name, const QDate& d, int type, qint64 exporter,
                qint64 importer, qint64 otdel, int provodka)
{
    exec(QStringLiteral("INSERT INTO DOCS (KOD, NAME, DATE_DOC, DOC_TYPE, KOD_PARTNER_EXPORT, KOD_PARTNER_IMPORT, "
                        "INT_PARAM1, PROVODKA) VALUES (%1, '%2', %3, %4, %5, %6, %7, %8)")
             .arg(kod)
             .arg(name)
             .arg(date(d))
             .arg(type)
             .arg(exporter)
             .arg(importer ? QString::number(importer) : QStringLiteral("NULL"))
             .arg(otdel)
             .arg(provodka));
}

// A movement line; type 0 leaves its direction null, as on a line not posted yet.
inline void Move(const Exec& exec, qint64 doc, qint64 ing, qint64 otdel, double kolvo, double cena, int type)
{
    exec(QStringLiteral("INSERT INTO MOVES (KOD_DOC, KOD_ING, KOD_OTDEL, KOLVO, CENA, TYPE_MOVES) VALUES "
                        "(%1, %2, %3, %4, %5, %6)")
             .arg(doc)
             .arg(ing)
             .arg(otdel)
             .arg(kolvo, 0, 'g', 17)
             .arg(cena, 0, 'g', 17)
             .arg(type ? QString::number(type) : QStringLiteral("NULL")));
}

inline void Stock(const Exec& exec, qint64 ing, qint64 firma, qint64 otdel, double kolvo, const QString& kod1s = {},
                  int kodKassa = 0)
{
    exec(QStringLiteral("INSERT INTO ING_SKLAD (KOD_ING, KOD_FIRMA, KOD_OTDEL, KOLVO, KOD_1S, KOD_KASSA) VALUES "
                         "(%1, %2, %3, %4, %5, %6)")
             .arg(ing)
             .arg(firma)
             .arg(otdel)
             .arg(kolvo, 0, 'g', 17)
             .arg(kod1s.isEmpty() ? QStringLiteral("NULL") : QLatin1Char('\'') + kod1s + QLatin1Char('\''))
             .arg(kodKassa));
}

} // namespace turnoverdata
