// How a run ended, weighed against the evidence at the point where it
// stopped: the largest gradient component of what was minimised there. A
// method's stopping tests look at the last step only (a small change of
// value or of the point, or a search that found no decrease); the gradient
// tells whether the point is really stationary.
#pragma once

#include <cstdint>

#include "methods/result.h"
#include "methods/session.h"

namespace qirt {

// A value at or below this is taken as the function falling without limit:
// far below the values of any real problem, and far above the end of the
// number range (about -1.19e4932) that the searches may reach first.
inline constexpr Real kUnboundedValue = -1e20L;

// A point with a coordinate of this size or more has run off to infinity:
// where a method stops there, the values have levelled off towards their
// infimum, and no minimum was found.
inline constexpr Real kRunOffCoordinate = 1e30L;

// The relative gradient at x, the textbook measure of first-order
// optimality (Dennis and Schnabel):
//     max_i |df/dx_i| * max(1, |x_i|) / max(1, |f|),
// the relative change of f over a relative change of each coordinate. The
// gradient alone would say nothing about a function scaled by 1e8, nor the
// value alone about f = x[0] at x[0] = -1e29.
Real RelativeGradient(const Vector& gradient, Real f, const Vector& x, int lastIndex);

// The point counts as stationary when its relative gradient is at most
// max(1e-3, sqrt(value accuracy)), at most 0.1: three orders of magnitude
// below where the methods start, looser when the user asks for less.
inline constexpr Real kStationaryTolerance = 1e-3L;
inline constexpr Real kLoosestStationaryTolerance = 0.1L;
Real StationaryTolerance(Real valueAccuracy);
bool Stationary(Real relativeGradient, Real valueAccuracy);

// The decrease of f that a quadratic model still promises at x, the sum
// over the coordinates of g_i^2 / (2 c_i), c_i the second derivative of f
// along x_i (central differences, step epsilon^(1/4) max(1, |x_i|));
// |g_i| h_i where f does not curve up along x_i. A point whose gradient is
// small on the relative scale may still be on a tail that levels off
// towards infinity; there the model promises a decrease of the order of f
// itself. NaN where f is undefined nearby. Two values per coordinate with
// a nonzero gradient component, counted apart.
Real PredictedDecrease(TSession& S, const Vector& x, int lastIndex, Real f, const Vector& gradient,
                       std::int64_t& evaluations);
// The promised decrease at a stationary point is at most this many times
// the accuracy in the values (at least 1e-12), relative to max(1, |f|):
// the methods stop on changes of the value below the accuracy, so their
// answers are within a few of those steps of the minimum.
inline constexpr Real kDecreaseAllowance = 100;
bool SmallDecrease(Real decrease, Real f, Real valueAccuracy);

// The central-difference step of the evidence in a coordinate of size |x|
// when the run has no derivatives of its own: the cube root of the
// precision's epsilon, relative to max(1, |x|).
Real EvidenceStep(Real x);

// The gradient at x of the function with its region's penalty terms:
// symbolic when the run built derivative trees, else central differences
// (the run's own step, or EvidenceStep for a method without derivatives).
// False where a component is undefined or not finite. Nothing the method
// counted changes; the values taken are returned in `evaluations`.
bool GradientEvidence(TSession& S, const Vector& x, int lastIndex, bool withDerivatives,
                      Vector& gradient, std::int64_t& evaluations);
// The largest component, ||g||_inf.
Real LargestComponent(const Vector& gradient, int lastIndex);

// The end the user is told, from the method's own end, the value where it
// stopped, whether the point is stationary and its largest coordinate.
TRunEnd Verdict(TMethodEnd end, Real f, bool stationary, Real largestCoordinate);

} // namespace qirt
