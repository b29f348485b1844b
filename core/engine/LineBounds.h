#pragma once

// What one line of a kitchen's document may carry, either sign: a quantity of
// a million portions or kilograms, a price of ten million. Anything beyond is a
// damaged or forged file or a slip of the finger, never a kitchen's work: the
// point-of-sale totals and the quantities typed on the keypads keep to it.

namespace engine {

constexpr double kMaxLineQuantity = 1e6;
constexpr double kMaxLinePrice = 1e7;

} // namespace engine
