#pragma once

// The stock limits workbook: the product rows whose stock fell below their
// limit (or below zero), under headings of their enterprise, department and
// warehouse, with the limit, the quantity on hand and the stock price.

#include "Frame.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace engine {
struct Context;
}

namespace workbooks {

struct LimitOptions {
    // 0 the warehouse, 1 the department, 2 the enterprise, 3 every enterprise.
    int scope = 2;
    // 0 zero limits count (a negative stock is listed whatever its limit),
    // 1 only rows with a positive limit above their stock.
    int rule = 1;
    qint64 sklad = 0;
    qint64 otdel = 0;
    qint64 firma = 0;
};

// The key the scope needs: 0 for a scope that needs none.
qint64 LimitScopeKey(const LimitOptions& o);

QStringList LimitsSql(const LimitOptions& o);

struct LimitRow {
    qint64 kodFirma = 0, kodOtdel = 0, kodSklad = 0;  // a null key reads as 0
    QString nameF, nameO, nameS;
    QString name;
    double limit = 0, kolvo = 0, cena = 0;            // a null reads as 0
};

std::vector<LimitRow> ReadLimitRows(const engine::Context& ctx, const LimitOptions& o);

} // namespace workbooks

namespace workbooks::limits {

using Options = LimitOptions;

// The sheet "Лимиты" of the rows read: header, headings and numbered lines,
// framed; shown. False, with nothing made, when the office cannot be reached.
bool Print(const engine::Context& ctx, const Options& options, automation::Office& office,
           const Progress& progress = {});

// The sheet of rows already read.
bool Write(automation::Office& office, const std::vector<LimitRow>& rows, const Progress& progress = {});

} // namespace workbooks::limits
