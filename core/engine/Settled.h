#pragma once

// What quantities that cancel leave behind (0.1 + 0.2 - 0.3 is 5.55e-17 in
// doubles) is zero: wherever a report, a workbook or an exchange table tests,
// divides by, prints or writes a computed or stored value, a value within a
// millionth of zero is taken as 0.

#include <cmath>

namespace engine {

constexpr double kNegligible = 1e-6;
inline double Settled(double v) { return std::fabs(v) < kNegligible ? 0.0 : v; }

} // namespace engine
