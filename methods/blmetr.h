// Variable-metric methods: a matrix approximating the inverse Hessian,
// corrected after every step by the formula of the variant.
#pragma once

#include "methods/session.h"

namespace qirt {

// The working data of the method and its corrections.
struct TMetricStorage {
    Matrix MetricMatrix{}; // H, the approximation of the inverse Hessian
    Matrix A{}, B{};       // scratch space of FletcherUpdate
    Vector g{};            // gradient at the current point
    Vector y{};            // change of the gradient over the last step
    Vector s{};            // search direction
    Vector d{};            // the step just taken
    Vector w{};            // scratch vector of the corrections
};

// Replaces both accuracies of the family when the accuracy in the
// variables is 0.
inline constexpr Real kMetricDefaultAccuracy = 1e-3L;

// MethodVariant 1 Davidon-Fletcher-Powell, 2 Fletcher, 3 Broyden, 4 BFGS.
void VariableMetricMethod(TSession& S, Vector& ResultPoint, Byte LastIndex, Real& MinimumValue,
                          int MethodVariant, int RecordTrack, Real ValueAccuracy,
                          Real VariableAccuracy);

// The corrections of H from d and y, over the indices 0 ... LastIndex. Each
// leaves H unchanged where its formula would divide by zero.
void DavidonFletcherPowellUpdate(TMetricStorage& m, int LastIndex);
void FletcherUpdate(TMetricStorage& m, int LastIndex);
void BroydenUpdate(TMetricStorage& m, int LastIndex);

} // namespace qirt
