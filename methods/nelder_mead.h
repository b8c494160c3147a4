// Nelder-Mead: the zero-order family's third method, the simplex of n + 1
// points that reflects, expands, contracts and shrinks towards the minimum
// without derivatives.
#pragma once

#include "methods/session.h"

namespace qirt {

// Coefficients of the standard method.
inline constexpr Real kReflection = 1, kExpansion = 2, kContraction = 0.5L, kShrink = 0.5L;
// The first simplex: the start point and, for each coordinate, the start
// point moved by 5 % of that coordinate, or by 0.00025 where it is 0.
inline constexpr Real kSimplexShare = 0.05L, kSimplexFloor = 0.00025L;

// MethodVariant 3 of the zero-order family; the arguments as every
// method's. Stops when the values of the vertices differ from the best by
// no more than the accuracy in values and their coordinates by no more than
// the accuracy in the variables. The track holds the best vertex after
// each iteration; undefined points count as higher than any value.
void NelderMeadMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                      int RecordTrack, Real ValueAccuracy, Real VariableAccuracy);

} // namespace qirt
