#pragma once

#include <QtGlobal>

namespace printing {

// The protocol tab's filter, as its controls hold it (the values of
// ProtokolDateFrom, ProtokolDateTo, ProtokolTimeFrom, ProtokolTimeTo and
// ProtokolUser; 0 for no user).
struct ProtokolFilter {
    double dateFrom = 0;
    double dateTo = 0;
    double timeFrom = 0;
    double timeTo = 0;
    qint64 user = 0;
};

// The protocol tab's "Печать": the protocol lines the filter selects.
void Btn_PrintLogClick(const ProtokolFilter& filter);

} // namespace printing
