#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

namespace engine {
struct Context;
}
namespace workbooks {
struct ProtocolLine;
}

namespace printing {

// The protocol tab's filter, as its controls hold it (the values of
// ProtokolDateFrom, ProtokolDateTo, ProtokolTimeFrom, ProtokolTimeTo and
// ProtokolUser; 0 for no user), with the tab's text search and sort order.
struct ProtokolFilter {
    double dateFrom = 0;
    double dateTo = 0;
    double timeFrom = 0;
    double timeTo = 0;
    qint64 user = 0;
    bool textOn = false;  // only actions containing text
    QString text;
    int order = 0;        // 0 by date and time, 1 by action, 2 by date and action
};

// The protocol rows the filter selects, in the tab's order, as they are printed.
QList<workbooks::ProtocolLine> ReadProtocolLines(const engine::Context& ctx, const ProtokolFilter& filter);

// The protocol tab's "Печать": the protocol lines the filter selects, in the
// tab's order, into a new workbook shown to the user.
void Btn_PrintLogClick(const ProtokolFilter& filter);

} // namespace printing
