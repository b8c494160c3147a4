// A report of a run or of a comparison of methods, for a student's work or
// a teacher's handout: the task, the results, the level map with the
// tracks, the convergence plot and the iteration tables, in the interface's
// language. Written as one HTML file (the pictures inside it) or as a PDF
// on A4 pages.
//
// Whoever holds a finished run fills TReport from what it already has: the
// graph window from the runs it shows, qirt-batch and the main window from
// the results of the run (graph/report/run_report.h).
#pragma once

#include <vector>

#include <QString>

#include "graph/image/plot_picture.h"
#include "graph/image/result_row.h"
#include "graph/image/shown_run.h"
#include "graph/task/task.h"

namespace qirt {

struct TRunResult;

struct TReportRun {
    // The name, track colour, track, f at each point, the largest gradient
    // component and what the run found about the region.
    TShownRun Run;
    // Its figures as the results table shows them.
    TResultRow Figures;
};

struct TReport {
    // What was run; its view is the one drawn, range included.
    TTask Task;
    // The variables that took part, x[0] ... x[Variables - 1].
    int Variables = 0;
    // The run, or the compared runs in the order they ran; none when only
    // the map was drawn.
    std::vector<TReportRun> Runs;
    // The compared run with the lowest minimum (-1: none or no comparison).
    int Best = -1;
    // The level map with the tracks as drawn, and its surroundings.
    TPlotPicture Plot;

    bool Comparing() const { return !Task.Compare.empty(); }
};

// A run of the report from its result and f at the points of its track.
TReportRun ReportRun(const TRunResult& result, std::vector<Real> values, const QString& name,
                     TColour colour);

// The rows an iteration table of `count` rows shows: every row up to
// kReportAllRows, else the first and the last kReportEndRows with a row
// between that says how many are left out.
inline constexpr int kReportAllRows = 200;
inline constexpr int kReportEndRows = 100;
struct TReportRows {
    int Head = 0;    // rows 0 ... Head - 1
    int LeftOut = 0; // then this many left out
    int Tail = 0;    // then the last Tail rows
};
TReportRows ReportRows(int count);

// The side of the map in the report's picture, pixel for pixel as drawn.
inline constexpr int kReportMapSide = kMapPixels;
// The convergence plot's picture.
inline constexpr QSize kReportConvergenceSize{720, 360};

// The report as one HTML document (UTF-8, well-formed XML as well), the
// pictures in it as PNG data.
QString ReportHtml(const TReport& report);

// Whether the name ends as a report's does: .html, .htm or .pdf, in
// either case.
bool IsReportName(const QString& fileName);

// Writes the report as HTML (a name ending in .html or .htm) or as PDF
// (.pdf), beside the file and renamed over it when complete, so a failed
// write leaves what was there. False, with a message in the interface's
// language that names the file and the reason, when the name has another
// ending or the file cannot be written.
bool WriteReport(const TReport& report, const QString& fileName, QString& error);

} // namespace qirt
