#include "methods/constrained.h"

#include <algorithm>
#include <cmath>

#include "func/conditions.h"
#include "func/evaluate.h"
#include "methods/method_table.h"
#include "methods/verdict.h"

namespace qirt {

namespace {

struct TStrategyNames {
    const char* Key;
    const char* Text;
};
// In the order of TRegionStrategy.
constexpr TStrategyNames kStrategies[] = {
    {"single", UI_TEXT("qirt", "одна штрафная функция")},
    {"sequence", UI_TEXT("qirt", "последовательность штрафов")},
    {"multipliers", UI_TEXT("qirt", "метод множителей")},
};
static_assert(std::size(kStrategies) == kRegionStrategyCount);

// In the order of TRegionEnd.
constexpr TStrategyNames kRegionEnds[] = {
    {"penalised-minimum", UI_TEXT("qirt", "минимум функции со штрафами")},
    {"region-minimum", UI_TEXT("qirt", "минимум в области")},
    {"not-stationary", UI_TEXT("qirt", "в области, но условия Куна-Таккера не выполнены")},
    {"outer-limit", UI_TEXT("qirt", "предел внешних шагов")},
    {"inner-failed", UI_TEXT("qirt", "внутренний прогон не сошёлся")},
    {"infeasible-start", UI_TEXT("qirt", "начальная точка вне области внутренних штрафов")},
    {"stopped", UI_TEXT("qirt", "остановлен")},
};
static_assert(std::size(kRegionEnds) == static_cast<std::size_t>(TRegionEnd::Stopped) + 1);

// A condition counts as active (or violated) within this many times the
// accuracy: the strategies stop once the violation is within the accuracy,
// and the point is found only that closely.
constexpr Real kActiveAllowance = 100;

Real ActiveTolerance(const TStrategyRun& in) {
    return kActiveAllowance * std::max({in.ValueAccuracy, in.VariableAccuracy, Real(1e-15L)});
}

Real LargestExteriorCoefficient(const uslov& region) {
    Real largest = 0;
    for (const straf* c = region.Head; c; c = c->Next)
        if (c->Exterior()) largest = std::max(largest, c->Coefficient);
    return largest;
}

// The interior weight in force (they all move together), 0 without any
// interior condition.
Real InteriorWeight(const uslov& region) {
    for (const straf* c = region.Head; c; c = c->Next)
        if (!c->Exterior()) return c->InteriorWeight;
    return 0;
}

bool HasInterior(const uslov& region) { return InteriorWeight(region) > 0; }

// The largest relative change of the coordinates.
Real PointChange(const Vector& a, const Vector& b, int last) {
    Real largest = 0;
    for (int i = 0; i <= last; ++i)
        largest = std::max(largest, std::fabs(a[i] - b[i]) / std::max<Real>(1, std::fabs(b[i])));
    return largest;
}

// The next problem of the strategy from the conditions after the last
// step (and the one before): multipliers corrected, and coefficients raised
// where the violation did not shrink enough, or every exterior coefficient
// raised; the interior weights shrink in both.
void NextProblem(uslov& region, bool multipliers, const std::vector<TConditionState>& last,
                 const std::vector<TConditionState>& beforeLast, Real feasible) {
    std::size_t i = 0;
    for (straf* c = region.Head; c; c = c->Next, ++i) {
        if (!c->Exterior()) {
            c->InteriorWeight /= kPenaltyFactor;
            continue;
        }
        if (!multipliers) {
            c->Coefficient *= kPenaltyFactor;
            continue;
        }
        if (!c->Augmented || i >= last.size() || std::isnan(last[i].Value)) continue;
        const Real value = last[i].Value;
        c->Multiplier = c->Equality() ? c->Multiplier + c->Coefficient * value
                                      : std::max<Real>(0, c->Multiplier + c->Coefficient * value);
        const Real size = last[i].Violation;
        if (i < beforeLast.size() && size > feasible && size > kEnoughShrinking * beforeLast[i].Violation)
            c->Coefficient *= kPenaltyFactor;
    }
}

// A condition that binds at the point: its gradient grad c and multiplier.
struct TBinding {
    std::size_t Condition;
    bool Equality;
    Vector Gradient;
    Real Multiplier = 0;
};

// The multipliers that make grad f + sum lambda_i grad c_i smallest in the
// least-squares sense (the normal equations, solved by elimination with
// pivoting), an inequality with a negative multiplier dropped and the rest
// solved again; a condition whose gradient depends on the others' keeps 0.
// This is the first-order estimate at the point itself, whatever penalty
// led there.
void LeastSquaresMultipliers(const Vector& gradientF, int last, std::vector<TBinding>& binding) {
    std::vector<bool> in(binding.size(), true);
    for (std::size_t pass = 0; pass <= binding.size(); ++pass) {
        std::vector<std::size_t> use;
        for (std::size_t k = 0; k < binding.size(); ++k) {
            binding[k].Multiplier = 0;
            if (in[k]) use.push_back(k);
        }
        const std::size_t m = use.size();
        if (m == 0) return;
        auto dot = [last](const Vector& a, const Vector& b) {
            Real sum = 0;
            for (int i = 0; i <= last; ++i) sum += a[i] * b[i];
            return sum;
        };
        std::vector<std::vector<Real>> a(m, std::vector<Real>(m + 1));
        Real scale = 0;
        for (std::size_t r = 0; r < m; ++r) {
            for (std::size_t c = 0; c < m; ++c)
                a[r][c] = dot(binding[use[r]].Gradient, binding[use[c]].Gradient);
            a[r][m] = -dot(binding[use[r]].Gradient, gradientF);
            scale = std::max(scale, std::fabs(a[r][r]));
        }
        std::vector<bool> free(m, false);
        for (std::size_t col = 0; col < m; ++col) {
            std::size_t pivot = col;
            for (std::size_t r = col + 1; r < m; ++r)
                if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
            if (!(std::fabs(a[pivot][col]) > 1e-14L * scale)) {
                free[col] = true; // depends on the others: its multiplier stays 0
                continue;
            }
            std::swap(a[pivot], a[col]);
            for (std::size_t r = 0; r < m; ++r) {
                if (r == col || a[r][col] == 0) continue;
                const Real factor = a[r][col] / a[col][col];
                for (std::size_t c = col; c <= m; ++c) a[r][c] -= factor * a[col][c];
            }
        }
        bool dropped = false;
        for (std::size_t r = 0; r < m; ++r) {
            TBinding& b = binding[use[r]];
            b.Multiplier = free[r] ? 0 : a[r][m] / a[r][r];
            if (!b.Equality && b.Multiplier < 0) {
                in[use[r]] = false;
                dropped = true;
            }
        }
        if (!dropped) return;
    }
}

TRegionEnd InnerEnd(TMethodEnd end) {
    return end == TMethodEnd::Cancelled ? TRegionEnd::Stopped : TRegionEnd::InnerFailed;
}

} // namespace

const char* RegionStrategyKey(TRegionStrategy s) { return kStrategies[static_cast<int>(s)].Key; }
const char* RegionStrategyText(TRegionStrategy s) { return kStrategies[static_cast<int>(s)].Text; }
int RegionStrategyIndex(const char* key) {
    for (int k = 0; k < kRegionStrategyCount; ++k)
        if (std::string_view(key) == kStrategies[k].Key) return k;
    return -1;
}
const char* RegionEndKey(TRegionEnd end) { return kRegionEnds[static_cast<int>(end)].Key; }
const char* RegionEndText(TRegionEnd end) { return kRegionEnds[static_cast<int>(end)].Text; }

bool RegionInForce(const TSession& S) {
    return S.Function.Conditions != nullptr && S.Conditions.PenaltyEnabled && S.Conditions.Size > 0;
}

TRegionParameters::TRegionParameters(uslov& region) : region_(region) {
    for (const straf* c = region.Head; c; c = c->Next)
        saved_.push_back({c->Coefficient, c->InteriorWeight, c->Multiplier, c->Augmented});
}

TRegionParameters::~TRegionParameters() {
    std::size_t k = 0;
    for (straf* c = region_.Head; c && k < saved_.size(); c = c->Next, ++k) {
        c->Coefficient = saved_[k].Coefficient;
        c->InteriorWeight = saved_[k].InteriorWeight;
        c->Multiplier = saved_[k].Multiplier;
        c->Augmented = saved_[k].Augmented;
    }
}

void DescribeRegion(TSession& S, const TStrategyRun& in, const Vector& x, Real f, bool multipliers,
                    TRegionReport& report) {
    TFunction& F = S.Function;
    uslov& region = S.Conditions;
    const int last = in.LastIndex;
    report.Present = true;
    report.Penalised = f;
    report.HasMultipliers = multipliers;

    // f alone: the penalties off for one value, which is not counted.
    const std::int64_t counted = F.EvaluationCount;
    region.PenaltyEnabled = false;
    F.ClearEvaluationError();
    const Real objective = FunctionValue(F, x, last);
    report.Objective = F.LastEvaluationDefined() ? objective : std::nanl("");
    Vector gradientF{};
    std::int64_t evaluations = 0;
    const bool gradient = multipliers && GradientEvidence(S, x, last, in.Derivatives, gradientF, evaluations);
    region.PenaltyEnabled = true;
    F.ClearEvaluationError();
    F.EvaluationCount = counted;

    const Real tolerance = ActiveTolerance(in);
    report.Conditions.clear();
    report.Violation = 0;
    bool kktDefined = gradient;
    std::vector<TBinding> binding; // the conditions that bind, for the multipliers
    for (straf* c = region.Head; c; c = c->Next) {
        TConditionState state;
        c->Expression.ClearEvaluationError();
        const Real g = FunctionValue(c->Expression, x, last);
        const int s = c->Sense();
        if (c->Expression.LastEvaluationDefined() && std::isfinite(g) && s != 0) {
            state.Value = s * g;
            state.Violation = c->Equality() ? std::fabs(g) : std::max<Real>(0, s * g);
            state.Active = std::fabs(g) <= tolerance;
            state.Violated = state.Violation > tolerance;
            report.Violation = std::max(report.Violation, state.Violation);
            if (multipliers) state.Multiplier = 0;
            if (multipliers && kktDefined && (state.Active || state.Violation > 0)) {
                TBinding b{report.Conditions.size(), c->Equality(), {}};
                Vector dg{};
                if (c->Derivatives.Values(c->Expression, x, last, dg, nullptr)) {
                    for (int i = 0; i <= last; ++i) b.Gradient[i] = s * dg[i];
                    binding.push_back(b);
                } else {
                    kktDefined = false;
                }
            }
        } else if (s != 0) {
            report.Violation = std::nanl(""); // g has no value here
            kktDefined = false;
        }
        report.Conditions.push_back(state);
    }
    Vector kkt = gradientF;
    if (multipliers && kktDefined) {
        LeastSquaresMultipliers(gradientF, last, binding);
        for (const TBinding& b : binding) {
            report.Conditions[b.Condition].Multiplier = b.Multiplier;
            for (int i = 0; i <= last; ++i) kkt[i] += b.Multiplier * b.Gradient[i];
        }
    }
    report.Kkt = multipliers && kktDefined ? LargestComponent(kkt, last) : std::nanl("");
    report.RelativeKkt = multipliers && kktDefined ? RelativeGradient(kkt, report.Objective, x, last)
                                                   : std::nanl("");
}

void RunRegionStrategy(TSession& S, TRegionStrategy strategy, const TStrategyRun& in, Tdata& track,
                       Vector& x, Real& f, TRegionReport& report) {
    uslov& region = S.Conditions;
    const TMethod& method = kMethods[in.Method];
    report = TRegionReport{};
    report.Strategy = strategy;
    const bool multipliers = strategy == TRegionStrategy::Multipliers;

    auto runOnce = [&] {
        method.Run(S, x, static_cast<Byte>(in.LastIndex), f, in.ValueAccuracy, in.VariableAccuracy);
    };
    if (strategy == TRegionStrategy::Single) {
        runOnce();
        DescribeRegion(S, in, x, f, false, report);
        report.End = TRegionEnd::PenalisedMinimum;
        return;
    }
    if (multipliers)
        for (straf* c = region.Head; c; c = c->Next)
            if (c->Exterior() && c->Sense() != 0) {
                // rho = 2 c makes the first augmented term c g^2 outside.
                c->Augmented = true;
                c->Multiplier = 0;
                c->Coefficient = c->Coefficient > 0 ? 2 * c->Coefficient : 2;
            }

    std::int32_t iterations = 0;
    std::vector<TConditionState> last, beforeLast; // the conditions after the last two steps
    Vector previous = x;
    report.End = TRegionEnd::OuterLimit;
    const Real feasible = kSettledAllowance * std::max<Real>(in.ValueAccuracy, 0);
    const Real settled = kSettledAllowance * std::max<Real>(in.VariableAccuracy, 0);
    for (int k = 0; k < kMaxOuterSteps; ++k) {
        if (k > 0) NextProblem(region, multipliers, last, beforeLast, feasible);
        TOuterStep step;
        step.Coefficient = LargestExteriorCoefficient(region);
        step.InteriorWeight = InteriorWeight(region);
        step.FirstTrackPoint = track.Count;
        const std::int64_t evaluations = S.Function.EvaluationCount;
        // The penalty problems grow steep across the boundary and flat along
        // it; a method stops there on a small change of f before it has
        // crossed the flat part. Started again from where it stopped, with
        // its first step and metric afresh, it goes on while it still finds
        // something.
        std::int32_t inner = 0;
        for (int restart = 0; restart <= kMaxRestarts; ++restart) {
            const Vector from = x;
            runOnce();
            inner += S.IterationCount;
            if (S.End != TMethodEnd::Converged || S.IterationCount == 0 ||
                PointChange(x, from, in.LastIndex) <= settled)
                break;
        }
        S.IterationCount = inner;
        iterations += inner;
        TRegionReport now;
        DescribeRegion(S, in, x, f, false, now);
        step.Point = x;
        step.Objective = now.Objective;
        step.Violation = now.Violation;
        step.Iterations = S.IterationCount;
        step.Evaluations = S.Function.EvaluationCount - evaluations;
        // The inner run's own end: no gradient is taken for it.
        step.End = Verdict(S.End, f, true, LargestComponent(x, in.LastIndex));
        report.Outer.push_back(step);
        if (S.End != TMethodEnd::Converged) {
            report.End = InnerEnd(S.End);
            break;
        }
        // Outside the interior terms' region their value is a constant: no
        // slope leads in, and a method that did not find its way in stays.
        if (HasInterior(region) && !region.InsideInterior(x, in.LastIndex + 1)) {
            report.End = TRegionEnd::InfeasibleStart;
            break;
        }
        const bool moved = k == 0 || PointChange(x, previous, in.LastIndex) > settled;
        if (k > 0 && now.Violation <= feasible && !moved) {
            report.End = TRegionEnd::RegionMinimum; // judged by its residual below
            break;
        }
        // An inner run that cannot take a single step (the penalised
        // function too steep for its searches) leaves every later one
        // where it is.
        if (k > 0 && S.IterationCount == 0) {
            report.End = TRegionEnd::InnerFailed;
            break;
        }
        previous = x;
        beforeLast = std::move(last);
        last = std::move(now.Conditions);
    }
    S.IterationCount = iterations;
    DescribeRegion(S, in, x, f, true, report);
    if (report.End == TRegionEnd::RegionMinimum && !(report.RelativeKkt <= StationaryTolerance(in.ValueAccuracy)))
        report.End = TRegionEnd::NotStationary;
}

} // namespace qirt
