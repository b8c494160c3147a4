// Comparing methods: the chosen methods run one after another on the same
// inputs, each exactly as the start button runs it, and each leaves its
// row: where it ended, how much it took and its track.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "func/ui_text.h"
#include "methods/run.h"

namespace qirt {

// A compared run: its result and f at every point of its track (NaN where
// undefined), for the convergence plot.
struct TComparisonRow : TRunResult {
    std::vector<Real> Values;
};

// Told which method runs, before each; its Continue (through S.Progress)
// may stop the method where it is, which skips the rest.
class TComparisonProgress : public TProgress {
public:
    virtual void MethodStarts(int method, int position, int count) = 0;
};

// Runs the methods (indices into kMethods) in the given order on the
// inputs (their family and variant are replaced), as StartRun and
// FinishRun do for the start button. Messages of the runs reach the
// function object's message window as the start button's would.
std::vector<TComparisonRow> CompareMethods(TSession& S, const TRunInputs& in,
                                           const std::vector<int>& methods,
                                           TComparisonProgress* progress = nullptr);

// The results table as comma-separated values, the one form every save
// of it takes: a header "method,x[0],...,x[n],minimum,iterations,
// evaluations,seconds,end,gradient" over the coordinates any row has (and
// ",objective,violation,kkt,region_end" when a region was in force), then
// a row per method (its -m name, its end's key), numbers as their
// shortest exact text; a method that did not run leaves its numbers empty.
bool WriteComparisonCsv(const std::vector<TComparisonRow>& rows, std::FILE* file);

// The row with the lowest minimum among those that have one, or null.
const TComparisonRow* BestRow(const std::vector<TComparisonRow>& rows);
// After a comparison, for its map: the function built once more without a
// method (in run, released by FinishRun), the found point the best row's,
// no track of the session's own. False when nothing can be shown.
bool PrepareComparisonMap(TSession& S, const TRunInputs& in,
                          const std::vector<TComparisonRow>& rows, TRun& run);

} // namespace qirt
