#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

namespace printing {

// Pickers the statistics window uses: true, with the key and name of the
// chosen row, when the user picked one.
struct StatPickers {
    // One of the own enterprises.
    std::function<bool(qint64& kod, QString& name)> firma;
    // One department of the enterprise.
    std::function<bool(qint64 firma, qint64& kod, QString& name)> otdel;
};

// The catalogue hands over its enterprise and department pickers.
void SetStatPickers(const StatPickers& pickers);

// The statistics window (consumption statistics and the supplier order),
// shown modally; made on first use and kept, with its choices, for the run.
void ShowStatistics();

} // namespace printing
