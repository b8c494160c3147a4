// Zero-order methods: cycles of one-dimensional searches, along rotating
// orthonormal directions (Rosenbrock) or the coordinate axes (Gauss).
#pragma once

#include "methods/session.h"

namespace qirt {

// MethodVariant 1 Rosenbrock's rotating coordinates, 2 Gauss.
void ZeroOrderMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                     int MethodVariant, int RecordTrack, Real ValueAccuracy,
                     Real VariableAccuracy);

// Rebuilds the directions (the columns of D) from the steps h that the last
// cycle took along them, zero steps moved to the end. CanContinue is false
// when no direction has a usable step.
void RebuildDirections(Vector& h, Matrix& D, int LastIndex, bool& CanContinue);

} // namespace qirt
