#pragma once

// The waybill of a movement document (print list 1): a receipt or an issue
// waybill with both parties' requisites, one table row per line, the total in
// figures and in words and the number of lines. With an exchange table every
// printed line is also appended to it.

#include "Requisites.h"
#include "TemplateReport.h"

#include <QDate>
#include <QString>
#include <QVector>

namespace exchange::obmen {
class Export;
}

namespace reports::waybill {

struct Options {
    qint64 document = 0;  // DOCS.KOD of the movement document
};

// One line of the document, in line order.
struct Line {
    qint64 kodIng = 0;
    qint64 kodOtdel = 0;
    int typeMoves = 0;  // 1 into stock, 2 out of stock (not posted yet: as its posting will move it)
    double kolvo = 0;
    double cena = 0;
    QString name;
    QString edIzm;
};

struct Data {
    bool found = false;
    QString name;  // the document's number
    QDate date;
    int docType = 0;
    bool receipt = false;
    QString title;
    Party buyer, supplier;
    QVector<Line> lines;
};

// A receipt: types 5 (receipt) and 2 (production output), and an internal
// move (4) whose last line comes into stock; everything else is an issue.
bool IsReceipt(int docType, const QVector<Line>& lines);

// The document, its parties and lines.
Data Load(const engine::Context& ctx, const Options& options);

// The report (a document that no longer exists is refused with a
// std::runtime_error before anything is opened); `exchange`, when given, receives one record per printed line
// before the line's variables are placed, and must outlive the run.
StandardReport Build(const engine::Context& ctx, const Options& options, exchange::obmen::Export* exchange = nullptr);

} // namespace reports::waybill
