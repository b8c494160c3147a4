#include "methods/compare.h"

#include <chrono>
#include <cmath>

#include "graph/track_values.h"

namespace qirt {

namespace {

struct TEndNames {
    const char* Key;
    const char* Text;
};
constexpr TEndNames kEnds[] = {
    {"converged", UI_TEXT("qirt", "сходимость")},
    {"iteration-limit", UI_TEXT("qirt", "предел итераций")},
    {"undefined-derivative", UI_TEXT("qirt", "производная не определена")},
    {"undefined-step", UI_TEXT("qirt", "шаг в точку, где функция не определена")},
    {"stopped", UI_TEXT("qirt", "остановлен")},
    {"unbounded", UI_TEXT("qirt", "функция не ограничена снизу")},
    {"undefined-start", UI_TEXT("qirt", "не определена в начальной точке")},
    {"refused", UI_TEXT("qirt", "не запущен")},
    {"skipped", UI_TEXT("qirt", "пропущен")},
};

} // namespace

TRowEnd RowEnd(TRunStatus status, TMethodEnd end) {
    if (status == TRunStatus::UndefinedStart) return TRowEnd::UndefinedStart;
    if (status != TRunStatus::Done) return TRowEnd::Refused;
    switch (end) {
    case TMethodEnd::Converged: return TRowEnd::Converged;
    case TMethodEnd::UndefinedStart: return TRowEnd::UndefinedStart;
    case TMethodEnd::UndefinedDerivative: return TRowEnd::UndefinedDerivative;
    case TMethodEnd::NoDefinedStep: return TRowEnd::UndefinedStep;
    case TMethodEnd::IterationLimit: return TRowEnd::IterationLimit;
    case TMethodEnd::Cancelled: return TRowEnd::Stopped;
    case TMethodEnd::Unbounded: return TRowEnd::Unbounded;
    }
    return TRowEnd::Converged;
}

namespace {

void CopyTrack(const Tdata& from, int lastIndex, Tdata& to) {
    for (const TrackPoint* p = from.Head; p; p = p->Next) AddTrackPoint(to, p->X, lastIndex, p->PointValue);
}

} // namespace

const char* EndKey(TRowEnd end) { return kEnds[static_cast<int>(end)].Key; }
const char* EndText(TRowEnd end) { return kEnds[static_cast<int>(end)].Text; }

int MethodIndex(const std::string& name) {
    for (int k = 0; k < kMethodCount; ++k)
        if (name == kMethodNames[k].Name) return k;
    return -1;
}

int MethodIndex(int family, int variant) {
    for (int k = 0; k < kMethodCount; ++k)
        if (kMethodNames[k].Family == family && kMethodNames[k].Variant == variant) return k;
    return -1;
}

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
        one.MethodFamily = kMethodNames[row.Method].Family;
        one.MethodVariant = kMethodNames[row.Method].Variant;
        TRun run;
        const auto started = std::chrono::steady_clock::now();
        StartRun(S, one, run);
        row.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        row.End = RowEnd(run.Status, S.End);
        if (run.Status == TRunStatus::Done || run.Status == TRunStatus::UndefinedStart) {
            row.LastIndex = run.LastIndex;
            row.Point = run.ResultPoint;
            row.Minimum = run.MinimumValue;
            row.Iterations = S.IterationCount;
            row.Evaluations = S.Function.EvaluationCount;
            CopyTrack(run.Track, run.LastIndex, *row.Track);
            row.Values = TrackValues(S.Function, &S.Conditions, run.Track, run.LastIndex);
        }
        FinishRun(S, run);
        stopped = row.End == TRowEnd::Stopped;
        rows.push_back(std::move(row));
    }
    S.Progress = before;
    return rows;
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
