#pragma once

#include <QString>

namespace printing {

// The text shown by every print operation while printing is not built.
QString NotBuiltText();

} // namespace printing
