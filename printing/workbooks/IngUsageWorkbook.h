#pragma once

// Where a product is used: the composites whose costing cards name it
// directly, with their unit, the portions of the card and the net amount.

#include "Frame.h"

#include <QString>

#include <vector>

namespace engine {
struct Context;
}

namespace workbooks {

struct UsageLine {
    QString name;   // empty when the composite is gone
    int kvoPorc = 0;
    QString unit;
    double kolvo = 0;
};

std::vector<UsageLine> ReadUsageLines(const engine::Context& ctx, qint64 ing);

// "Продукт <name> используется в следующих блюдах:"
QString UsageTitle(const QString& productName);

// Layout steps counted by the progress before the lines.
constexpr int kUsageLayoutSteps = 30;

} // namespace workbooks

namespace workbooks::usage {

struct Options {
    qint64 ing = 0;  // ING.KOD of the product
    QString name;    // its name as the title prints it
};

// Reads the composites that list the product and writes title, header and
// lines, framed, shown; the progress is started at the lines and layout steps.
// False, with nothing made, when the office cannot be reached.
bool Print(const engine::Context& ctx, const Options& options, automation::Office& office,
           const Progress& progress = {});

// The sheet of lines already read; the caller starts the progress.
bool Write(automation::Office& office, const QString& productName, const std::vector<UsageLine>& lines,
           const Progress& progress = {});

} // namespace workbooks::usage
