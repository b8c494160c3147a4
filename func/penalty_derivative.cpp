#include "func/penalty_derivative.h"

#include <cmath>

#include "func/derivative.h"
#include "func/evaluate.h"

namespace qirt {

namespace {

// The value of G at the point, taken afresh; false where it is undefined or
// not finite.
bool FreshValue(TFunction& G, const Vector& point, int last, Real& value) {
    G.ClearEvaluationError();
    value = FunctionValue(G, point, last);
    return G.LastEvaluationDefined() && std::isfinite(value);
}

} // namespace

void TConditionDerivatives::Build(const TFunction& g) {
    Release();
    if (!g.Root) return;
    for (int i = 0; i < 10; ++i) used_[i] = g.VariableUsed[i];
    std::size_t budget = kMaxDerivativeNodes;
    auto derive = [&](const TreeNode* from, int k, std::unique_ptr<TFunction>& into) {
        into = std::make_unique<TFunction>();
        if (!Differentiate(from, k, into->Root, nullptr, budget)) return false;
        Simplify(into->Root);
        return true;
    };
    symbolic_ = true;
    for (int i = 0; i < 10 && symbolic_; ++i)
        if (used_[i]) symbolic_ = derive(g.Root, i, first_[i]);
    for (int i = 0; i < 10 && symbolic_; ++i)
        for (int j = i; j < 10 && symbolic_; ++j)
            if (used_[i] && used_[j]) symbolic_ = derive(first_[i]->Root, j, second_[i][j]);
    if (!symbolic_) {
        Release();
        for (int i = 0; i < 10; ++i) used_[i] = g.VariableUsed[i];
    }
}

void TConditionDerivatives::Release() {
    for (int i = 0; i < 10; ++i) {
        first_[i].reset();
        for (int j = 0; j < 10; ++j) second_[i][j].reset();
        used_[i] = false;
    }
    symbolic_ = false;
}

bool TConditionDerivatives::Values(TFunction& g, const Vector& point, int last, Vector& gradient,
                                   Matrix* hessian) {
    for (int i = 0; i <= last; ++i) gradient[i] = 0;
    if (hessian)
        for (int i = 0; i <= last; ++i)
            for (int j = 0; j <= last; ++j) (*hessian)[i][j] = 0;

    if (symbolic_) {
        for (int i = 0; i <= last; ++i)
            if (first_[i] && !FreshValue(*first_[i], point, last, gradient[i])) return false;
        if (!hessian) return true;
        for (int i = 0; i <= last; ++i)
            for (int j = i; j <= last; ++j) {
                if (second_[i][j] && !FreshValue(*second_[i][j], point, last, (*hessian)[i][j]))
                    return false;
                (*hessian)[j][i] = (*hessian)[i][j];
            }
        return true;
    }

    // Central differences of g, in the variables g holds.
    const Real h = kConditionStep;
    bool defined = true;
    auto value = [&](const Vector& t) {
        Real v = 0;
        if (!FreshValue(g, t, last, v)) defined = false;
        return v;
    };
    Vector t = point;
    for (int i = 0; i <= last && defined; ++i) {
        if (!used_[i]) continue;
        t[i] = point[i] + h;
        const Real plus = value(t);
        t[i] = point[i] - h;
        const Real minus = value(t);
        t[i] = point[i];
        gradient[i] = (plus - minus) / 2 / h;
    }
    if (hessian && defined) {
        CentralHessian(point, *hessian, last, h, value);
        for (int i = 0; i <= last; ++i)
            for (int j = 0; j <= last; ++j)
                if (!used_[i] || !used_[j]) (*hessian)[i][j] = 0;
    }
    if (!defined) return false;
    for (int i = 0; i <= last; ++i) {
        if (!std::isfinite(gradient[i])) return false;
        if (hessian)
            for (int j = 0; j <= last; ++j)
                if (!std::isfinite((*hessian)[i][j])) return false;
    }
    return true;
}

} // namespace qirt
