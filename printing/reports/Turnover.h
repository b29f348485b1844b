#pragma once

// The turnover statement: its options, their checks, the statement the
// options give and the rows it reads. Both forms (by operations, by products)
// stand on it.

#include "engine/Context.h"
#include "engine/Kopecks.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace reports {

// What the options window collects.
struct TurnoverOptions {
    bool allFirma = true;
    qint64 firma = 0;  // 0: none chosen
    QString firmaName;
    bool allOtdel = true;
    qint64 otdel = 0;
    QString otdelName;
    QDate start;
    QDate end;
    bool allIng = true;
    qint64 ing = 0;          // a product or a group, by ingIsGroup
    bool ingIsGroup = false;
    QString ingCaption;      // the chooser's words for it: "Продукт << Картофель >>", "Группа << Овощи >>"
    int docType = 0;         // 0 all, 1-7 the document type, 8 receipts, issues and production write-offs
    int provodka = 0;        // 0 posted, 1 not posted, 2 all
    bool selectedPartners = false;
    bool excludePartners = false;  // false: only the chosen partners' documents, true: all but theirs
    QVector<qint64> partners;      // in the order chosen, repeats kept
    QStringList partnerNames;      // their names, in the same order
    bool shortForm = false;        // by products instead of by operations
    bool balances = false;         // opening and closing stock (short form only)
};

// The control a refusal puts the focus on.
enum class TurnoverFocus { Firma, Otdel, Ing, DateStart, Partners };

struct TurnoverRefusal {
    QString message;
    TurnoverFocus focus;
};

// The first check the options fail, in the order the window asks them.
std::optional<TurnoverRefusal> CheckTurnoverOptions(const TurnoverOptions& o);

// The partner conditions, one per chosen partner: " imp.KOD = " + key
// (include) or " imp.KOD <> " + key (exclude).
QString PartnerCondition(qint64 partner, bool exclude);

// The statement by operations: its lines in the order of its rows, those of
// one (document, product, department, price, direction) together, for the
// reader to sum. Parameters DS and DE are the period's ends.
QStringList TurnoverStatementLines(const TurnoverOptions& o);
// The statement by products: its lines' exporting enterprise, department,
// product, price, direction and quantity, in no order (ReadTurnoverRows sums,
// names and orders them).
QStringList TurnoverProductLines(const TurnoverOptions& o);
// The statement by products with its balances in one pass over the lines
// from the period's first day on: each line as above, whether it lies after
// the period (LATER), whether its document is posted (POSTED) and whether the
// statement lists it (LISTED: within the period and its filters). The
// balances take the posted lines whatever the statement's filters.
QStringList TurnoverProductBalanceLines(const TurnoverOptions& o);

// One row of the statement: a (document, product, department, price,
// direction) with its quantity summed.
struct TurnoverRow {
    QDate dateDoc;
    QString nameDoc;
    QString firmaFrom;
    QString firmaFromKod;  // the key as text, empty when null
    QString firmaTo;
    qint64 ing = 0;
    qint64 otdel = 0;
    QString otdelKod;      // as text
    int typeMoves = 0;
    double cena = 0;
    // The row's lines at its price: their quantities summed in decimal, the
    // amount the ledger's, the sum of their amounts each rounded once, so the
    // row prints what the waybills of its lines add up to.
    engine::SummedRow sum;
    QString nameOtdel;
    QString groupKod;      // as text
    QString nameIng;
    QString nameGroup;
    QString shortName;
    // With balances (statement by products): the stock now, the posted
    // receipts and issues within the period and after it.
    engine::DecimalSum actualKolvo;
    engine::DecimalSum postedIn;
    engine::DecimalSum postedOut;
    engine::DecimalSum addKolvo;
    engine::DecimalSum delKolvo;
};

// The statement's rows in its order, by products when o.shortForm; rows of
// documents without movement lines (no product) are left out.
QVector<TurnoverRow> ReadTurnoverRows(const engine::Context& ctx, const TurnoverOptions& o);

// The statement's title: "dd.mm.yyyy / dd.mm.yyyy", and where the
// statement lists one product or group, or the documents of chosen
// counterparties only or all but theirs, that too in the options' words
// ("01.12.2026 / 08.12.2026; Продукт << Картофель >>; Контрагенты:
// Поставщик Альфа"), so a filtered statement does not read as the whole
// turnover.
QString TurnoverTitle(const TurnoverOptions& o);

} // namespace reports
