#pragma once

// Figures the reports compute from stored quantities and amounts.

#include "engine/Settled.h"

#include <QString>

namespace reports {

// A value within a millionth of zero is tested, divided by and printed as 0.
using engine::Settled;

// A sum of printed amounts, kept in kopecks, in roubles again (for the words).
inline double Roubles(qint64 kopecks) { return static_cast<double>(kopecks) / 100.0; }

// The direction of a movement line (1 into stock, 2 out of stock) as a
// statement column: on a posted document the one its posting wrote; on a
// document not posted the one its posting will give it, whatever an earlier
// posting left on the line. Receipts (5) and production output (2) come in;
// sales (3), issues (6), production write-offs (7) and an unposted transfer
// (4: always the sender's, the receiver's half exists only while posted) go
// out. `moves` and `docs` name the line's and its document's tables in the
// statement.
inline QString LineDirectionSql(const QString& moves, const QString& docs)
{
    const QString byType = QStringLiteral("CASE WHEN %1.DOC_TYPE IN (2, 5) THEN 1 "
                                          "WHEN %1.DOC_TYPE IN (3, 4, 6, 7) THEN 2 END")
                               .arg(docs);
    return QStringLiteral("IIF(%2.PROVODKA > 10, COALESCE(%1.TYPE_MOVES, %3), %3)").arg(moves, docs, byType);
}

} // namespace reports
