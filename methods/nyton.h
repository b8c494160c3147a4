// Newton's method: the Hessian inverted afresh at every iteration and a
// search along the Newton direction.
#pragma once

#include "methods/session.h"

namespace qirt {

void NewtonMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                  int RecordTrack, Real ValueAccuracy, Real VariableAccuracy);

// Replaces the leading (LastIndex + 1)-square block of M by its inverse,
// pivoting on diagonal elements that are exactly nonzero; ok is false (and
// M partly transformed) when no pending row has a nonzero diagonal element.
void InvertMatrix(Matrix& M, int LastIndex, bool& ok);
// One exchange step on the element in row r and column c.
void ExchangeStep(Matrix& M, int LastIndex, int r, int c);

} // namespace qirt
