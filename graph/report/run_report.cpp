#include "graph/report/run_report.h"

#include <functional>
#include <memory>

#include "func/messages.h"
#include "graph/image/image_canvas.h"
#include "graph/language/texts.h"
#include "graph/map/map.h"
#include "graph/map/plot.h"
#include "graph/track/track_values.h"
#include "methods/method_table.h"

namespace qirt {

namespace {

std::shared_ptr<Tdata> CopyTrack(const Tdata& track, int lastIndex) {
    auto copy = std::make_shared<Tdata>();
    for (const TrackPoint* p = track.Head; p; p = p->Next)
        AddTrackPoint(*copy, p->X, lastIndex, p->PointValue);
    return copy;
}

QString Caption(int method) {
    return method >= 0 && method < kMethodCount ? Tr(kMethods[method].Caption) : QString();
}

// The map of the task's view as qirt-batch draws it, the tracks drawn over
// it by `tracks`; the report's view takes the range drawn. The session's
// view and looks are put back.
void DrawReportMap(TSession& S, TReport& report,
                   const std::function<void(TCanvas&, int, int)>& tracks) {
    TTaskView& v = report.Task.View;
    const TViewRange view = S.View;
    const bool shade = S.ShadeOutside, filled = S.MapFilled, lines = S.MapLevelLines;
    S.View = v.HaveRange ? v.Range : FirstView(S.FoundPoint, v.AxisX, v.AxisY);
    S.ShadeOutside = v.Shade;
    S.MapFilled = v.Look.Filled;
    S.MapLevelLines = v.Look.LevelLines;
    TImageCanvas canvas(kMapPixels, kMapPixels);
    canvas.Fill(kWhite);
    TPlotPicture& plot = report.Plot;
    // A first view without extent is not drawn: the map stays white.
    if (S.View.XMin < S.View.XMax && S.View.YMin < S.View.YMax) {
        RedrawMap(S, canvas, v.AxisX, v.AxisY, v.Colours);
        tracks(canvas, v.AxisX, v.AxisY);
        plot.Levels = LevelRanges(MapSamples(S), v.Colours);
        v.HaveRange = true;
        v.Range = S.View;
    }
    plot.Map = canvas.Image();
    plot.View = S.View;
    plot.XName = QStringLiteral("x[%1]").arg(v.AxisX);
    plot.YName = QStringLiteral("x[%1]").arg(v.AxisY);
    plot.Title = QString::fromStdString(report.Task.Run.Formula);
    S.View = view;
    S.ShadeOutside = shade;
    S.MapFilled = filled;
    S.MapLevelLines = lines;
}

} // namespace

void ReportOfRun(TSession& S, const TTask& task, const TRun& run, TReport& report) {
    report = TReport{};
    report.Task = task;
    report.Task.Compare.clear();
    report.Variables = run.LastIndex + 1;
    if (run.MethodFamily != family::GraphOnly) {
        // The run's own track goes with the run; the report keeps a copy.
        TRunResult result = run.Result;
        result.Track = CopyTrack(run.Track, run.LastIndex);
        std::vector<Real> values =
            TrackValues(S.Function, S.Function.Conditions, run.Track, run.LastIndex);
        report.Runs.push_back(ReportRun(result, std::move(values), Caption(result.Method), kBlack));
    }
    DrawReportMap(S, report, [&](TCanvas& canvas, int a, int b) {
        DrawOuterSteps(run.Result.Region, S.View, canvas, a, b);
    });
}

void ReportOfComparison(TSession& S, const TTask& task, const std::vector<TComparisonRow>& rows,
                        TReport& report) {
    report = TReport{};
    report.Task = task;
    report.Task.Compare.clear();
    const TComparisonRow* best = BestRow(rows);
    for (const TComparisonRow& r : rows) {
        report.Task.Compare.push_back(r.Method);
        if (&r == best) report.Best = static_cast<int>(report.Runs.size());
        report.Runs.push_back(ReportRun(r, r.Values, Caption(r.Method), kMethods[r.Method].Colour));
        report.Plot.Legend.push_back({Caption(r.Method), kMethods[r.Method].Colour});
    }
    report.Variables = best ? best->LastIndex + 1 : 0;
    DrawReportMap(S, report, [&](TCanvas& canvas, int a, int b) {
        for (const TComparisonRow& r : rows) {
            if (!r.Track->Head) continue;
            DrawColouredTrack(S, canvas, a, b, *r.Track, kMethods[r.Method].Colour);
            const TColour pen = canvas.PenColour;
            canvas.PenColour = kMethods[r.Method].Colour;
            DrawOuterSteps(r.Region, S.View, canvas, a, b);
            canvas.PenColour = pen;
        }
    });
}

bool RunReport(TSession& S, const TTask& task, TReport& report) {
    if (!UsableColourCount(task.View.Colours)) {
        ShowMessage(S.Function.Messages, message::BadColourCount, ShowKind::NonModal);
        return false;
    }
    TRun run;
    bool done = false;
    if (task.Compare.empty()) {
        StartRun(S, task.Run, run);
        done = run.Status == TRunStatus::Done;
        if (done) ReportOfRun(S, task, run, report);
    } else {
        const std::vector<TComparisonRow> rows = CompareMethods(S, task.Run, task.Compare);
        done = PrepareComparisonMap(S, task.Run, rows, run);
        if (done) ReportOfComparison(S, task, rows, report);
    }
    FinishRun(S, run);
    return done;
}

} // namespace qirt
