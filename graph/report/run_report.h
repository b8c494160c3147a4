// A report of a task run without any window: the task run exactly as
// qirt-batch and the start button run it, the map drawn as qirt-batch draws
// it, and the report filled from the results.
#pragma once

#include <vector>

#include "graph/report/report.h"
#include "methods/compare.h"
#include "methods/run.h"

namespace qirt {

// The report of a finished run whose function is still built (after
// StartRun, before FinishRun): its track copied, f at its points, the map of
// the task's view with the track (the first view around the found point
// when the task has no range). The session's view and map looks are as
// they were afterwards.
void ReportOfRun(TSession& S, const TTask& task, const TRun& run, TReport& report);

// The same for a comparison, after PrepareComparisonMap: every track in
// its method's colour on one map around the best point.
void ReportOfComparison(TSession& S, const TTask& task, const std::vector<TComparisonRow>& rows,
                        TReport& report);

// Runs the task (its method, or the methods it compares) and fills the
// report. The session's region must be the task's already (its conditions
// entered and switched on as the region window does). False when nothing
// ran or the colour count is unusable; the session's message window has
// said why.
bool RunReport(TSession& S, const TTask& task, TReport& report);

} // namespace qirt
