#pragma once

// Stands in for the catalogue's enterprise and department pickers while it
// lives, then puts back whatever was registered before.

#include "entries/ReportPickers.h"

#include <functional>

struct PickersStub final : printing::ReportPickers {
    std::function<bool(qint64& kod, QString& name)> onFirma;
    std::function<bool(qint64 firma, Order order, qint64& kod, QString& name)> onOtdel;

    PickersStub() : previous_(printing::RegisteredReportPickers()) { printing::SetReportPickers(this); }
    ~PickersStub() override { printing::SetReportPickers(previous_); }
    PickersStub(const PickersStub&) = delete;
    PickersStub& operator=(const PickersStub&) = delete;

    bool firma(qint64& kod, QString& name) override { return onFirma && onFirma(kod, name); }
    bool otdel(qint64 firma, Order order, qint64& kod, QString& name) override
    {
        return onOtdel && onOtdel(firma, order, kod, name);
    }

private:
    printing::ReportPickers* previous_;
};
