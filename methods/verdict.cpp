#include "methods/verdict.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "func/derivative.h"
#include "func/evaluate.h"

namespace qirt {

namespace {

struct TEndNames {
    const char* Key;
    const char* Text;
};
// In the order of TRunEnd.
constexpr TEndNames kEnds[] = {
    {"converged", UI_TEXT("qirt", "сходимость")},
    {"iteration-limit", UI_TEXT("qirt", "предел итераций")},
    {"undefined-derivative", UI_TEXT("qirt", "производная не определена")},
    {"undefined-step", UI_TEXT("qirt", "шаг в точку, где функция не определена")},
    {"stopped", UI_TEXT("qirt", "остановлен")},
    {"unbounded", UI_TEXT("qirt", "функция не ограничена снизу")},
    {"undefined-start", UI_TEXT("qirt", "не определена в начальной точке")},
    {"refused", UI_TEXT("qirt", "не запущен")},
    {"skipped", UI_TEXT("qirt", "пропущен")},
    {"not-stationary", UI_TEXT("qirt", "остановка не в минимуме")},
    {"singular-hessian", UI_TEXT("qirt", "матрица Гессе вырождена")},
    {"runs-off", UI_TEXT("qirt", "точка уходит в бесконечность")},
    {"evaluation-limit", UI_TEXT("qirt", "предел вычислений функции")},
};
static_assert(std::size(kEnds) == static_cast<std::size_t>(TRunEnd::EvaluationLimit) + 1);

// The value at t with its error cleared first; NaN where undefined.
Real ValueAt(TFunction& F, const Vector& t, int last) {
    F.ClearEvaluationError();
    const Real v = FunctionValue(F, t, last);
    return F.LastEvaluationDefined() ? v : std::nanl("");
}

} // namespace

const char* EndKey(TRunEnd end) { return kEnds[static_cast<int>(end)].Key; }
const char* EndText(TRunEnd end) { return kEnds[static_cast<int>(end)].Text; }

Real RelativeGradient(const Vector& gradient, Real f, const Vector& x, int lastIndex) {
    Real largest = 0;
    for (int i = 0; i <= lastIndex; ++i)
        largest = std::max(largest, std::fabs(gradient[i]) * std::max<Real>(1, std::fabs(x[i])));
    return largest / std::max<Real>(1, std::fabs(f));
}

Real StationaryTolerance(Real valueAccuracy) {
    const Real loose = std::sqrt(std::max<Real>(valueAccuracy, 0));
    return std::min(kLoosestStationaryTolerance, std::max(kStationaryTolerance, loose));
}

bool Stationary(Real relativeGradient, Real valueAccuracy) {
    return relativeGradient <= StationaryTolerance(valueAccuracy); // false for NaN
}

Real EvidenceStep(Real x) {
    static const Real kRoot = std::cbrt(LDBL_EPSILON);
    return kRoot * std::max<Real>(1, std::fabs(x));
}

bool GradientEvidence(TSession& S, const Vector& x, int lastIndex, bool withDerivatives,
                      Vector& g, std::int64_t& evaluations) {
    TFunction& F = S.Function;
    const std::int64_t counted = F.EvaluationCount, gradients = F.GradientCount;
    const Byte error = F.ErrorCode;
    bool defined = true;
    g = Vector{};
    evaluations = 0;
    if (withDerivatives && F.DifferentiationStep == 0) {
        defined = DefinedGradient(F, x, g, lastIndex);
        evaluations = 1;
    } else {
        Vector t = x;
        for (int i = 0; i <= lastIndex && defined; ++i) {
            const Real h = withDerivatives ? ScaledStep(NumericStep(F), x[i]) : EvidenceStep(x[i]);
            const Real up = x[i] + h, down = x[i] - h;
            t[i] = up;
            const Real fUp = ValueAt(F, t, lastIndex);
            t[i] = down;
            const Real fDown = ValueAt(F, t, lastIndex);
            t[i] = x[i];
            evaluations += 2;
            // The step actually taken, which rounding may have changed.
            g[i] = (fUp - fDown) / (up - down);
            defined = std::isfinite(g[i]);
        }
    }
    // Leave the function object as the method left it.
    FunctionValue(F, x, lastIndex);
    F.EvaluationCount = counted;
    F.GradientCount = gradients;
    F.ErrorCode = error;
    return defined;
}

Real PredictedDecrease(TSession& S, const Vector& x, int lastIndex, Real f, const Vector& g,
                       std::int64_t& evaluations) {
    TFunction& F = S.Function;
    const std::int64_t counted = F.EvaluationCount;
    const Byte error = F.ErrorCode;
    // The step: the fourth root of epsilon, relative to the coordinate's
    // size, balances the truncation and the rounding of a second difference.
    static const Real kRoot = std::sqrt(std::sqrt(LDBL_EPSILON));
    Real decrease = 0;
    evaluations = 0;
    Vector t = x;
    for (int i = 0; i <= lastIndex; ++i) {
        if (g[i] == 0) continue;
        const Real h = kRoot * std::max<Real>(1, std::fabs(x[i]));
        t[i] = x[i] + h;
        const Real fUp = ValueAt(F, t, lastIndex);
        t[i] = x[i] - h;
        const Real fDown = ValueAt(F, t, lastIndex);
        t[i] = x[i];
        evaluations += 2;
        if (!std::isfinite(fUp) || !std::isfinite(fDown)) {
            decrease = std::nanl("");
            break;
        }
        const Real curvature = (fUp - 2 * f + fDown) / (h * h);
        // Where f does not curve up along the coordinate, at least the
        // decrease of one step down the slope.
        decrease += curvature > 0 ? g[i] * g[i] / (2 * curvature) : std::fabs(g[i]) * h;
    }
    FunctionValue(F, x, lastIndex);
    F.EvaluationCount = counted;
    F.ErrorCode = error;
    return decrease;
}

bool SmallDecrease(Real decrease, Real f, Real valueAccuracy) {
    const Real allowance = kDecreaseAllowance * std::max<Real>(valueAccuracy, 1e-12L);
    return decrease <= allowance * std::max<Real>(1, std::fabs(f)); // false for NaN
}

Real LargestComponent(const Vector& g, int lastIndex) {
    Real largest = 0;
    for (int i = 0; i <= lastIndex; ++i) largest = std::max(largest, std::fabs(g[i]));
    return largest;
}

TRunEnd Verdict(TMethodEnd end, Real f, bool stationary, Real largestCoordinate) {
    switch (end) {
    case TMethodEnd::UndefinedStart: return TRunEnd::UndefinedStart;
    case TMethodEnd::UndefinedDerivative: return TRunEnd::UndefinedDerivative;
    case TMethodEnd::NoDefinedStep: return TRunEnd::UndefinedStep;
    case TMethodEnd::IterationLimit:
        return f <= kUnboundedValue ? TRunEnd::Unbounded : TRunEnd::IterationLimit;
    case TMethodEnd::EvaluationLimit:
        return f <= kUnboundedValue ? TRunEnd::Unbounded : TRunEnd::EvaluationLimit;
    case TMethodEnd::Cancelled: return TRunEnd::Stopped;
    case TMethodEnd::SingularHessian: return TRunEnd::SingularHessian;
    case TMethodEnd::Unbounded:
        // A search ran to the end of the number range: the values fell
        // without limit, or the point ran away while they levelled off.
        return f <= kUnboundedValue ? TRunEnd::Unbounded : TRunEnd::RunsOff;
    case TMethodEnd::Converged: break;
    }
    if (f <= kUnboundedValue) return TRunEnd::Unbounded;
    if (!(largestCoordinate < kRunOffCoordinate)) return TRunEnd::RunsOff;
    return stationary ? TRunEnd::Converged : TRunEnd::NotStationary;
}

} // namespace qirt
