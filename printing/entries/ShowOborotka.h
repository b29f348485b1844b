#pragma once

#include <QString>

namespace printing {

// The turnover statement's options window, from the movement print choice:
// obmenPath is the exchange table to fill (empty: no export); exportAsked
// says the export was ticked, even when its file dialog was cancelled (the
// short form is then unticked and disabled for this showing).
void ShowOborotka(const QString& obmenPath, bool exportAsked);

} // namespace printing
