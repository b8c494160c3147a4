// The numeric types shared by the whole engine.
#pragma once

#include <array>
#include <cstdint>

namespace qirt {

using Byte = std::uint8_t;
using Real = long double; // every computation is done in 80-bit extended reals

// Points, directions and gradients have ten components; only 0 ... LastIndex
// (the number of variables minus one) take part in a computation.
using Vector = std::array<Real, 10>;
using Matrix = std::array<Vector, 10>;

} // namespace qirt
