// What a run with a region found about the region: f without the penalty
// terms, how far the point is from the region, which conditions bind, and
// for the constrained strategies the multiplier estimates, the first-order
// (KKT) residual and the outer steps that led there.
//
// Sign convention: every condition is written c(x) <= 0 (c = g for "<",
// "<=", c = -g for ">", ">="; an equality "=" as h(x) = g = 0), and the
// Lagrangian is L = f + sum lambda_i c_i with lambda_i >= 0 for the
// inequalities and lambda_i of either sign for the equalities. The KKT
// residual is ||grad f + sum lambda_i grad c_i||_inf.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

#include "func/ui_text.h"
#include "func/types.h"
#include "methods/run_end.h"

namespace qirt {

// How the region is taken into account.
enum class TRegionStrategy {
    Single,      // one run on the penalised function, as typed
    Sequence,    // runs with growing exterior coefficients and shrinking interior weights
    Multipliers, // the method of multipliers (Powell-Hestenes-Rockafellar)
};
inline constexpr int kRegionStrategyCount = 3;
// qirt-batch's names (single, sequence, multipliers) and the region
// window's texts, in the order of TRegionStrategy.
const char* RegionStrategyKey(TRegionStrategy strategy);
const char* RegionStrategyText(TRegionStrategy strategy);
// -1 for an unknown key.
int RegionStrategyIndex(const char* key);

// How a constrained strategy ended.
enum class TRegionEnd {
    PenalisedMinimum, // one penalised run: its minimum, not necessarily the region's
    RegionMinimum,    // feasible within the accuracy, and the KKT residual small
    NotStationary,    // feasible, but the KKT residual is large
    OuterLimit,       // the outer steps ran out before the point settled
    InnerFailed,      // an inner run ended without converging
    InfeasibleStart,  // the start lies outside a region with interior terms
    Stopped,          // the user stopped it
};
const char* RegionEndKey(TRegionEnd end);
const char* RegionEndText(TRegionEnd end);

struct TConditionState {
    Real Value = std::nanl("");      // c (h for an equality) at the point
    Real Violation = std::nanl("");  // max(0, c), |h|; NaN where undefined
    bool Active = false;             // |c| within the accuracy
    bool Violated = false;           // beyond the accuracy on the wrong side
    Real Multiplier = std::nanl(""); // the estimate (strategies only)
};

// One outer step: the inner run and where it ended.
struct TOuterStep {
    Real Coefficient = 0;    // the largest exterior coefficient of the step
    Real InteriorWeight = 0; // the weight of the interior terms (0 without)
    Vector Point{};
    Real Objective = std::nanl("");
    Real Violation = std::nanl("");
    std::int32_t Iterations = 0;
    std::int64_t Evaluations = 0;
    int FirstTrackPoint = 0; // where the inner run starts on the whole track
    // How the inner run ended, as its method said (with no evidence taken).
    TRunEnd End = TRunEnd::Converged;
};

struct TRegionReport {
    bool Present = false; // a region was in force
    TRegionStrategy Strategy = TRegionStrategy::Single;
    TRegionEnd End = TRegionEnd::PenalisedMinimum;
    Real Objective = std::nanl("");  // f without the penalty terms
    Real Penalised = std::nanl("");  // f with them, as the method saw it
    Real Violation = std::nanl("");  // the largest violation
    std::vector<TConditionState> Conditions; // in the region window's order
    bool HasMultipliers = false;
    Real Kkt = std::nanl("");
    // The residual on the scale the ends are judged by: times max(1, |x_i|),
    // over max(1, |f|).
    Real RelativeKkt = std::nanl("");
    std::vector<TOuterStep> Outer;
};

} // namespace qirt
