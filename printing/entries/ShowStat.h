#pragma once

namespace printing {

// The statistics window (consumption statistics and the supplier order),
// shown modally; made on first use and kept, with its choices, for the run.
void ShowStatistics();

} // namespace printing
