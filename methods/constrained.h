// The region's minimum rather than the penalised one: the method run again
// and again on penalty problems that approach the region's own problem
// (SUMT, Fiacco and McCormick), or on augmented Lagrangians whose
// multipliers are corrected after each run (the method of multipliers of
// Powell, Hestenes and Rockafellar); and the report of any run with a
// region: how far from the region, which conditions bind, and, for the
// strategies, the multipliers and the KKT residual.
#pragma once

#include "methods/region_report.h"
#include "methods/session.h"

namespace qirt {

class uslov;

// The outer steps end here whatever the point does.
inline constexpr int kMaxOuterSteps = 15;
// Between outer steps of the sequence the exterior coefficients grow by
// this factor and the interior weights shrink by it; the multiplier method
// raises a coefficient by it where the violation shrank less than
// kEnoughShrinking of what it was.
inline constexpr Real kPenaltyFactor = 10;
inline constexpr Real kEnoughShrinking = 0.25L;
// The strategies stop when the largest violation is within this many times
// the accuracy in the values and the point moved less than this many times
// the accuracy in the variables: the inner runs stop on changes of the
// value, and find their points only about that closely.
inline constexpr Real kSettledAllowance = 100;
// An inner run is started again from where it stopped at most this many
// times while it still moves the point.
inline constexpr int kMaxRestarts = 10;

// Whether the session's region takes part in the values.
bool RegionInForce(const TSession& S);

// The conditions' coefficients, weights and multipliers as they were
// typed; put back when this goes.
class TRegionParameters {
public:
    explicit TRegionParameters(uslov& region);
    ~TRegionParameters();
    TRegionParameters(const TRegionParameters&) = delete;
    TRegionParameters& operator=(const TRegionParameters&) = delete;

private:
    struct TSaved {
        Real Coefficient, InteriorWeight, Multiplier;
        bool Augmented;
    };
    uslov& region_;
    std::vector<TSaved> saved_;
};

// The inputs of a strategy's run: the method (index into kMethods), the
// coordinates 0 ... lastIndex, the accuracies.
struct TStrategyRun {
    int Method = 0;
    int LastIndex = 0;
    Real ValueAccuracy = 0;
    Real VariableAccuracy = 0;
    bool Derivatives = false; // the run built derivatives (or takes a step)
};

// Runs the strategy from x (a sequence or the multipliers; Single runs the
// method once) on the session's function and region, leaving the point
// and its penalised value in x and f, the iterations of every inner run
// summed in S.IterationCount, the last inner run's end in S.End, and the
// outer steps and the end in the report. The region's parameters stay as
// the last inner run used them (the caller holds a TRegionParameters).
void RunRegionStrategy(TSession& S, TRegionStrategy strategy, const TStrategyRun& in, Tdata& track,
                       Vector& x, Real& f, TRegionReport& report);

// Fills the report's description of the point: f without the penalty
// terms, the penalised value f, each condition's value, violation and
// state, and with multipliers the estimates (the slopes of the current
// terms) and the KKT residual. Nothing the method counted changes.
void DescribeRegion(TSession& S, const TStrategyRun& in, const Vector& x, Real f, bool multipliers,
                    TRegionReport& report);

} // namespace qirt
