#include "methods/compare.h"

#include <cmath>
#include <string>

#include "graph/track/track_values.h"
#include "methods/constrained.h"
#include "methods/method_table.h"
#include "methods/verdict.h"

namespace qirt {

namespace {

void CopyTrack(const Tdata& from, int lastIndex, Tdata& to) {
    for (const TrackPoint* p = from.Head; p; p = p->Next) AddTrackPoint(to, p->X, lastIndex, p->PointValue);
}

} // namespace

std::vector<TComparisonRow> CompareMethods(TSession& S, const TRunInputs& in,
                                           const std::vector<int>& methods,
                                           TComparisonProgress* progress) {
    std::vector<TComparisonRow> rows;
    TProgress* const before = S.Progress;
    if (progress) S.Progress = progress;
    bool stopped = false;
    for (std::size_t k = 0; k < methods.size(); ++k) {
        TComparisonRow row;
        row.Method = methods[k];
        if (stopped) {
            rows.push_back(std::move(row)); // skipped
            continue;
        }
        if (progress) progress->MethodStarts(row.Method, static_cast<int>(k), static_cast<int>(methods.size()));
        TRunInputs one = in;
        one.MethodFamily = kMethods[row.Method].Family;
        one.MethodVariant = kMethods[row.Method].Variant;
        TRun run;
        StartRun(S, one, run);
        if (run.Status == TRunStatus::Done || run.Status == TRunStatus::UndefinedStart) {
            static_cast<TRunResult&>(row) = run.Result;
            row.Track = std::make_shared<Tdata>(); // the run's own goes with it
            CopyTrack(run.Track, run.LastIndex, *row.Track);
            row.Values = TrackValues(S.Function, S.Function.Conditions, run.Track, run.LastIndex);
        }
        row.Method = methods[k];
        row.End = RunEnd(run);
        FinishRun(S, run);
        stopped = row.End == TRunEnd::Stopped;
        rows.push_back(std::move(row));
    }
    S.Progress = before;
    return rows;
}

bool WriteComparisonCsv(const std::vector<TComparisonRow>& rows, std::FILE* file) {
    int last = -1;
    bool region = false;
    for (const TComparisonRow& r : rows) {
        last = std::max(last, r.LastIndex);
        region = region || r.Region.Present;
    }
    std::string text = "method";
    for (int i = 0; i <= last; ++i) text += ",x[" + std::to_string(i) + "]";
    text += ",minimum,iterations,evaluations,seconds,end,gradient";
    text += region ? ",objective,violation,kkt,region_end\n" : "\n";
    for (const TComparisonRow& r : rows) {
        text += kMethods[r.Method].Name;
        for (int i = 0; i <= last; ++i)
            text += "," + (i <= r.LastIndex ? ShortestText(r.Point[i]) : std::string());
        const bool ran = r.LastIndex >= 0 && !std::isnan(r.GradientNorm);
        char rest[200];
        std::snprintf(rest, sizeof rest, ",%s,%d,%lld,%.6f,%s,%s",
                      r.LastIndex >= 0 ? ShortestText(r.Minimum).c_str() : "", r.Iterations,
                      static_cast<long long>(r.Evaluations), r.Seconds, EndKey(r.End),
                      ran ? ShortestText(r.GradientNorm).c_str() : "");
        text += rest;
        if (region) {
            // What the row found about the region; empty where nothing ran.
            const TRegionReport& g = r.Region;
            auto number = [&](Real v) { return g.Present && v == v ? ShortestText(v) : std::string(); };
            text += "," + number(g.Objective) + "," + number(g.Violation) + "," + number(g.Kkt) + "," +
                    (g.Present ? RegionEndKey(g.End) : "");
        }
        text += "\n";
    }
    return std::fputs(text.c_str(), file) >= 0;
}

const TComparisonRow* BestRow(const std::vector<TComparisonRow>& rows) {
    const TComparisonRow* best = nullptr;
    for (const TComparisonRow& r : rows)
        if (r.LastIndex >= 0 && std::isfinite(r.Minimum) && (!best || r.Minimum < best->Minimum))
            best = &r;
    return best;
}

bool PrepareComparisonMap(TSession& S, const TRunInputs& in,
                          const std::vector<TComparisonRow>& rows, TRun& run) {
    const TComparisonRow* best = BestRow(rows);
    if (!best) return false;
    TRunInputs graph = in;
    graph.MethodFamily = family::GraphOnly;
    StartRun(S, graph, run);
    if (run.Status != TRunStatus::Done) return false;
    S.FoundPoint = best->Point;
    S.CurrentLastIndex = static_cast<Byte>(best->LastIndex);
    S.Track = nullptr; // the compared tracks are drawn in their colours
    return true;
}

} // namespace qirt
