// The program-wide state shared by the methods, the track drawing, the map
// and the windows: the one function object and its region, the track of the
// current run, the counters the graph window shows and the view range.
// There is exactly one TSession in the program; everything that reads or
// writes this state takes it explicitly.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "func/conditions.h"
#include "func/function.h"
#include "graph/track/track.h"
#include "methods/iteration_log.h"
#include "methods/region_report.h"

namespace qirt {

struct TMapSamples; // the map's sample arrays, graph/map/map.h

// Asked by a running method between iterations; the windows use it for a
// progress dialog with a cancel button.
class TProgress {
public:
    virtual ~TProgress() = default;
    // Asked after each accepted iteration with the count so far and the
    // current value; false ends the run as if it had converged there.
    virtual bool Continue(std::int32_t iterationCount, Real value) = 0;
};

// Why the last method ended.
enum class TMethodEnd {
    Converged,            // a stopping test held, or a search found no decrease
                          // (the evidence at the point decides what the user is told)
    UndefinedStart,       // the function is not defined (or not finite) at the start point
    UndefinedDerivative,  // the gradient or Hessian cannot be computed at the current point
    NoDefinedStep,        // the point a search led to is undefined or not finite
    IterationLimit,       // kMaxIterations accepted iterations
    Cancelled,            // the progress callback said stop
    Unbounded,            // a search ran to the end of the number range
    SingularHessian,      // Newton's method could not invert the Hessian
    EvaluationLimit,      // kMaxEvaluations values of f were taken
};

// No method runs more iterations than this; a run that gets there ends at
// its current point.
inline constexpr std::int32_t kMaxIterations = 100'000;
// Nor takes more values of f than this (a few tenths of a second for a
// formula of a few terms): searches that crawl along a flat tail from the
// end of the number range end here, between two iterations.
inline constexpr std::int64_t kMaxEvaluations = 5'000'000;

struct TSession {
    TSession() {
        Function.Conditions = &Conditions;
    }
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    // The region; its penalty sum is part of every value while the region
    // is switched on (Function.Conditions points here; null while it is off).
    uslov Conditions;
    TFunction Function;        // the function object every method and the map evaluate
    Tdata* Track = nullptr;    // the track of the run in progress (owned by the run)
    // What the run's method used for each step (owned by the run; null:
    // nothing is recorded).
    TIterationLog* Log = nullptr;
    std::int32_t IterationCount = 0;
    Byte CurrentLastIndex = 0; // number of variables minus one of the last run
    TViewRange View;           // what the map shows
    Vector FoundPoint{};       // the map holds the variables off its axes here
    std::int32_t ConditionCount = 0; // conditions entered in the region window
    // How the region is taken into account: the region window's choice.
    TRegionStrategy RegionStrategy = TRegionStrategy::Single;
    // The map shades the samples outside the region (a tint between the
    // level dots); off, the map is exactly the plain one.
    bool ShadeOutside = false;
    // The map filled (not dotted) and with level lines: the graph window's
    // "Вид" choices; both off, the map is the dotted one.
    bool MapFilled = false, MapLevelLines = false;
    // The coordinates the function of the run depends on (its formula and
    // the region in force); the others take part but keep their values.
    bool CoordinateUsed[10] = {true, true, true, true, true, true, true, true, true, true};
    TProgress* Progress = nullptr; // optional; asked between iterations
    // Threads that sample the map: 0 is one per core. Every count gives the
    // same samples, levels, pixels and evaluation count.
    int MapThreads = 0;
    TMethodEnd End = TMethodEnd::Converged;

    // The sample arrays of the map: made by the map at its first drawing
    // (MapSamples, graph/map/map.h) and reused by every later one. The methods
    // never see them.
    std::shared_ptr<TMapSamples> MapSamplesStore;
};

} // namespace qirt
