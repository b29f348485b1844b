#pragma once

#include <QString>
#include <QtGlobal>

namespace printing {

// The enterprise and department choosers the report dialogs (turnover,
// statistics, costing card print) ask. The catalogue owns the picker windows
// and registers its implementation once; each answer is true, with the key
// and name of the chosen row, when the user picked one, and false on Cancel.
class ReportPickers {
public:
    // How the department list is ordered.
    enum class Order { ByName, AsStored };

    virtual ~ReportPickers() = default;
    // One of the own enterprises.
    virtual bool firma(qint64& kod, QString& name) = 0;
    // One department of the enterprise `firma`.
    virtual bool otdel(qint64 firma, Order order, qint64& kod, QString& name) = 0;
};

// Registers the pickers (not owned; nullptr takes them away). Without them a
// dialog's choice button chooses nothing (the turnover and statistics windows
// say that the choice is not built).
void SetReportPickers(ReportPickers* pickers);
ReportPickers* RegisteredReportPickers();

} // namespace printing
