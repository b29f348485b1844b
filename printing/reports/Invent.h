#pragma once

// The inventory sheet on print list 5: one row per counted product under its
// group's heading, surplus or shortage, amounts at stock and selling prices,
// and four totals in figures and in words.

#include "TemplateReport.h"

namespace reports {

struct InventHeader {
    QString firma, otdel, sklad;  // sklad "Все склады" for a whole department
    QDate date;
};

struct InventLine {
    QString name;
    QString groupKod;  // as text
    QString nameGroup;
    QString shortName;
    double kolvo = 0;   // book quantity
    double cena = 0;    // book stock price
    double myKolvo = 0; // counted quantity
    double myCena = 0;  // new stock price
    double cenaP = 0;   // selling price
};

// A line's terms of the four totals (itog, itog_p1, itog_p2, itog2_p) in
// kopecks, as printed: the sums of the difference and of the counted
// quantity at the new stock price and at the selling price, each rounded
// once (a difference's sum at the new stock price is its posted line's).
QVector<qint64> InventTerms(const InventLine& l);

StandardReport InventReport(const InventHeader& h, QVector<InventLine> lines, const words::MoneyNames& names);

} // namespace reports

namespace reports::invent {

struct Options {
    qint64 document = 0;  // DOCS.KOD of the inventory document
};

// The sheet of the inventory document (its header and lines).
StandardReport Build(const engine::Context& ctx, const Options& options);

} // namespace reports::invent
