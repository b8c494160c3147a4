// Real-to-integer conversion for pixels and colour levels: the nearest
// integer, halves to the even neighbour, without a library call per value.
#pragma once

#include <cstdint>
#include <cmath>

#include "func/types.h"

namespace qirt {

// v rounded, kept within -limit ... limit (limit at most 2^31 - 1) so that
// far-away values cannot overflow; NaN gives -limit.
inline std::int32_t RoundHalfEven(Real v, std::int32_t limit = 1'000'000'000) {
    if (!(v > -limit)) return -limit;
    if (v > limit) return limit;
    std::int32_t rounded;
#if defined(__x86_64__) || defined(__i386__)
    // The FPU's own store rounds by the current mode: to nearest, halves even.
    asm("fistpl %0" : "=m"(rounded) : "t"(v) : "st");
#else
    rounded = static_cast<std::int32_t>(std::nearbyint(v));
#endif
    return rounded;
}

} // namespace qirt
