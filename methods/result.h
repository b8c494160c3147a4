// The result of one run, the same for the start button, a comparison and
// qirt-batch: where the method ended, what it counted, how it ended and the
// first-order evidence beside the minimum.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "func/diagnose.h"
#include "graph/track/track.h"
#include "methods/iteration_log.h"
#include "methods/region_report.h"
#include "methods/run_end.h"

namespace qirt {

struct TRunResult {
    int Method = -1; // index into kMethods; -1 for the map alone
    TRunEnd End = TRunEnd::Skipped;
    int LastIndex = -1; // the coordinates 0 ... LastIndex took part; -1 when nothing ran
    Vector Point{};
    Real Minimum = 0;
    std::int32_t Iterations = 0;
    std::int64_t Evaluations = 0;         // values of f
    std::int64_t GradientEvaluations = 0; // gradients taken by the method
    std::int64_t HessianEvaluations = 0;  // Hessians taken by the method
    // The largest gradient component of what was minimised at Point; NaN
    // where it cannot be computed. Its own values are counted apart.
    Real GradientNorm = std::nanl("");
    // max |df/dx_i| max(1, |x_i|) / max(1, |f|), the measure the end is
    // judged by; NaN with GradientNorm.
    Real RelativeGradient = std::nanl("");
    // The decrease the quadratic model along the gradient still promises.
    Real PromisedDecrease = std::nanl("");
    std::int64_t EvidenceEvaluations = 0;
    double Seconds = 0;
    std::shared_ptr<Tdata> Track = std::make_shared<Tdata>();
    // What the method used for each step, an iteration per track point;
    // null where nothing ran.
    std::shared_ptr<const TIterationLog> Log;
    // What the point means for the region in force; Present is false
    // without one.
    TRegionReport Region;
    // Where the formula goes wrong when the run was refused for it.
    TFormulaFault Fault;
};

} // namespace qirt
