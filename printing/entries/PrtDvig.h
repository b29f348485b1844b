#pragma once

#include <QString>
#include <QtGlobal>

namespace printing {

// The movement tab's print button: the movement print choice for the
// document `doc` of type `docType` (doc 0: no document chosen).
void ShowPrtDvig(qint64 doc, int docType);

// The waybill of the movement document; with a path, every printed line is
// appended to that exchange table (PrepareObmenDbf has written it), and the
// products without an accounting code are listed afterwards.
void Prt_DocMove(qint64 doc, const QString& obmenPath = {});

// The turnover statement's options window, from the movement print choice:
// obmenPath is the exchange table to fill (empty: no export); exportAsked
// says the export was ticked, even when its file dialog was cancelled (the
// short form is then unticked and disabled).
void ShowOborotka(const QString& obmenPath, bool exportAsked);
// The statistics options window.
void ShowStat();

} // namespace printing
