// Nelder-Mead: the zero-order family's third method, the simplex of n + 1
// points that reflects, expands, contracts and shrinks towards the minimum
// without derivatives.
#pragma once

#include <functional>

#include "methods/session.h"

namespace qirt {

// Coefficients of the standard method.
inline constexpr Real kReflection = 1, kExpansion = 2, kContraction = 0.5L, kShrink = 0.5L;
// The first simplex: the start point and, for each coordinate, the start
// point moved by 5 % of that coordinate, or by 0.00025 where it is 0.
inline constexpr Real kSimplexShare = 0.05L, kSimplexFloor = 0.00025L;

// The simplex, its points ordered from the best value to the worst.
struct TSimplex {
    Vector Points[11];
    Real Values[11];
};
enum class TSimplexMove { Reflection, Expansion, OutsideContraction, InsideContraction, Shrink };
// One move of the method on an ordered simplex of last + 2 points: the worst
// is reflected through the centre of the others, and the reflection taken,
// expanded, contracted outside or inside, or else the simplex shrunk
// towards the best point. The simplex is left in the same order of places,
// not sorted again.
TSimplexMove NelderMeadStep(TSimplex& simplex, int last,
                            const std::function<Real(const Vector&)>& value);

// MethodVariant 3 of the zero-order family; the arguments as every
// method's. Stops when the values of the vertices differ from the best by
// no more than the accuracy in values and their coordinates by no more than
// the accuracy in the variables. The track holds the best vertex after
// each iteration; undefined points count as higher than any value.
void NelderMeadMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                      int RecordTrack, Real ValueAccuracy, Real VariableAccuracy);

} // namespace qirt
