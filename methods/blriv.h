// First-order methods: conjugate gradients (Fletcher-Reeves, Pshenichny)
// and steepest descent.
#pragma once

#include "methods/session.h"

namespace qirt {

// MethodVariant 1 Fletcher-Reeves, 2 Pshenichny, 3 steepest descent.
void FirstOrderMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                      int MethodVariant, int RecordTrack, Real ValueAccuracy,
                      Real VariableAccuracy);

} // namespace qirt
