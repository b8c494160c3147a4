// One run of a method from the texts of the main window: the function
// object built from the formula, the start point read field by field, the
// method of the chosen family called, and what the run built released
// again afterwards. The windows and the command-line program share it.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "func/ui_text.h"
#include "methods/method_table.h"
#include "methods/region_report.h"
#include "methods/result.h"
#include "methods/session.h"

namespace qirt {

inline constexpr const char* kSymbolicStepText = UI_TEXT("qirt", "Символьное дифференцирование");
// The variable count that takes part: x[0] up to the highest variable of
// the formula or of the region in force.
inline constexpr const char* kAutomaticCount = UI_TEXT("qirt", "Автоопределение");

// The texts and choices of the main window.
struct TRunInputs {
    std::string Formula;
    // "Автоопределение": x[0] ... x[k] take part, x[k] the highest variable
    // of the formula or of the region in force. Any other text (it must not
    // be empty) leaves the count of distinct variables of the formula.
    std::string VariableCountText = kAutomaticCount;
    std::string StepText = kSymbolicStepText;
    std::string StartText = "3,4,0,0,0,0,0,0,0,0";
    std::string VariableAccuracyText = "1e-7";
    std::string ValueAccuracyText = "1e-7";
    int MethodFamily = family::FirstOrder;
    int MethodVariant = 1; // the tab index plus one
    bool ExtendedPlot = false;
    // How a region in force is taken into account (the region window's choice).
    TRegionStrategy RegionStrategy = TRegionStrategy::Single;
};

enum class TRunStatus {
    NotStarted,         // a required text is empty: nothing happens, nothing is shown
    BadNumber,          // a number field holds a value that cannot be used (said why)
    BuildFailed,        // "Ошибка создания дерева"
    MissingCoordinates, // "Нехватает переменных"
    NoVariables,        // a formula without variables is not minimised
    NoMethod,           // the statistical family: nothing runs
    UndefinedStart,     // the method found the function undefined at the start point
    Done,               // the method ran (or, graph only, the point was set to 0)
};

// The run state of the main window, reused by every run.
struct TRun {
    TRunStatus Status = TRunStatus::NotStarted;
    int MethodFamily = family::FirstOrder;
    int MethodVariant = 1;
    int LastIndex = -1;
    Real VariableAccuracy = 0;
    Real ValueAccuracy = 0;
    Vector ResultPoint{};
    Real MinimumValue = 0;
    Tdata Track; // the track of this run; S.Track points here while it lasts
    // What the method used for each step; S.Log points here while it lasts.
    std::shared_ptr<TIterationLog> Log;
    bool Built = false; // the function object holds this run's tree
    // What the run found, as every window and qirt-batch read it; its track
    // is this run's Track.
    TRunResult Result;
};

// The n-th comma-separated field of the text (n counted from 1), exactly as
// typed; empty when n is outside 1 ... 10 or the text has fewer fields.
std::string NthCoordinate(std::string_view text, int n);

// Reads the inputs, builds the function object, reads the start point and
// runs the method. Failures are shown non-modally through the function
// object's message window and leave nothing built. After a Done or
// UndefinedStart run the tree and the track stay for the graph window
// until FinishRun.
void StartRun(TSession& S, const TRunInputs& in, TRun& run);

// The start button's run split in two, for many runs of the same inputs
// from different start points (the basins of attraction). PrepareRun reads
// the inputs, builds the function object and reads the start point (into
// run.ResultPoint) as StartRun does, without running the method; false,
// with StartRun's status and message (NoMethod where no method is chosen),
// when no run can follow. RunFrom then runs the method from the given
// point exactly as StartRun runs it from a typed one, and may be called
// again and again with the same inputs: the counters, error codes and
// region state one run leaves are cleared before the next, so each result
// is that of a start button run from its point. Without the log (which
// only records what the method did, and reserves room for a long run each
// time) the result is the same but for its Log, which is null. FinishRun
// releases what PrepareRun built.
bool PrepareRun(TSession& S, const TRunInputs& in, TRun& run);
void RunFrom(TSession& S, const TRunInputs& in, TRun& run, const Vector& start, bool log = true);

// How the run ended: its result's end, UndefinedStart, or Refused for a run
// that did not start.
TRunEnd RunEnd(const TRun& run);

// Releases what the run built: the expression tree, the derivative objects
// and the track.
void FinishRun(TSession& S, TRun& run);

} // namespace qirt
