// Broyden-Fletcher-Goldfarb-Shanno: the variable-metric family's fourth
// method. The inverse Hessian H is corrected by the BFGS formula after
// every step, each step found by a line search that satisfies the strong
// Wolfe conditions.
#pragma once

#include "methods/session.h"

namespace qirt {

// Sufficient decrease and curvature constants of the strong Wolfe conditions.
inline constexpr Real kWolfeDecrease = 1e-4L;
inline constexpr Real kWolfeCurvature = 0.9L;

enum class TWolfeResult { Found, Failed, Unbounded };

// Searches from x (value f0, gradient g0) along the descent direction p,
// starting with the trial step alpha, for a step with
//   f(x + a p) <= f0 + c1 a g0.p   and   |g(x + a p).p| <= c2 |g0.p|,
// by bracketing and a zoom with safeguarded cubic interpolation. An
// undefined or non-finite value is never accepted. On success alpha, the
// point, its value and its gradient are those of the step. Unbounded when
// the values fall without end along p (the point, value and gradient then
// are the last finite ones, if any decrease was found).
TWolfeResult WolfeSearch(TSession& S, const Vector& x, int last, Real f0, const Vector& g0,
                         const Vector& p, Real& alpha, Vector& xNew, Real& fNew, Vector& gNew);

// MethodVariant 4 of the variable-metric family; the arguments as every
// method's. Stops by the family's value and variable tests and when the
// largest gradient component is below the accuracy in the variables.
void BfgsMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                int RecordTrack, Real ValueAccuracy, Real VariableAccuracy);

} // namespace qirt
