// Derivatives of a region condition's expression g, which the symbolic
// gradient and Hessian of the penalised function need: derivative trees in
// every variable that g holds, or, where those trees would take more nodes
// than kMaxDerivativeNodes, central differences of g.
#pragma once

#include <memory>

#include "func/function.h"

namespace qirt {

// The step of the central differences of a condition whose derivative trees
// are too large (the step that replaces an unusable one elsewhere too).
inline constexpr Real kConditionStep = 1e-5L;

class TConditionDerivatives {
public:
    // Builds the first and second derivative trees of g. Nothing is shown
    // when they are too large: the condition then uses central differences.
    void Build(const TFunction& g);
    void Release();
    bool Symbolic() const { return symbolic_; }

    // gradient[i] = dg/dx[i] and, when hessian is given, hessian[i][j] for
    // i, j = 0 ... last, at the point. False where a value is undefined or
    // not finite.
    bool Values(TFunction& g, const Vector& point, int last, Vector& gradient, Matrix* hessian);

private:
    std::unique_ptr<TFunction> first_[10];
    std::unique_ptr<TFunction> second_[10][10]; // entry (i, j) for j >= i
    bool used_[10] = {};
    bool symbolic_ = false;
};

} // namespace qirt
