#include "methods/basins.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "func/conditions.h"
#include "func/derivative.h"
#include "func/evaluate.h"
#include "methods/method_table.h"

namespace qirt {

namespace {

// Ends a run between its iterations once the flag is set.
class TCancelCheck : public TProgress {
public:
    explicit TCancelCheck(const std::atomic<bool>& cancel) : cancel_(cancel) {}
    bool Continue(std::int32_t, Real) override { return !cancel_.load(std::memory_order_relaxed); }

private:
    const std::atomic<bool>& cancel_;
};

// The session's region as the threads build it again: the conditions'
// texts (a copy for evaluation would lack their derivatives) and switches,
// taken once on the calling thread.
struct TRegionTexts {
    struct TCondition {
        std::string Inequality, Coefficient, Power, Kind;
    };
    explicit TRegionTexts(const TSession& S)
        : InForce(S.Function.Conditions != nullptr), PenaltyEnabled(S.Conditions.PenaltyEnabled),
          BoundaryTolerance(S.Conditions.BoundaryTolerance), ConditionCount(S.ConditionCount) {
        for (const straf* c = S.Conditions.Head; c; c = c->Next)
            Conditions.push_back({c->Text, c->CoefficientText, c->PowerText, c->PenaltyKind});
    }
    std::vector<TCondition> Conditions;
    bool InForce, PenaltyEnabled;
    Real BoundaryTolerance;
    std::int32_t ConditionCount;
};

// The session one thread runs its starts on: the region built from its
// texts, the inputs built once, nothing shown.
struct TWorker {
    TWorker(const TRegionTexts& region, const TRunInputs& in, const std::atomic<bool>* cancel) {
        for (const TRegionTexts::TCondition& c : region.Conditions)
            S.Conditions.AddCondition(c.Inequality, c.Coefficient, c.Power, c.Kind);
        S.Conditions.PenaltyEnabled = region.PenaltyEnabled;
        S.Conditions.BoundaryTolerance = region.BoundaryTolerance;
        S.ConditionCount = region.ConditionCount;
        S.Function.Conditions = region.InForce ? &S.Conditions : nullptr;
        if (cancel) {
            check = std::make_unique<TCancelCheck>(*cancel);
            S.Progress = check.get();
        }
        Ready = PrepareRun(S, in, Run);
    }
    ~TWorker() { FinishRun(S, Run); }
    TWorker(const TWorker&) = delete;
    TWorker& operator=(const TWorker&) = delete;

    TSession S;
    TRun Run;
    bool Ready = false;

private:
    std::unique_ptr<TCancelCheck> check;
};

// The distance of the centre of cell k (of n) from the start of a range.
Real CellCentre(Real width, int k, int n) {
    return width * Real(2 * k + 1) / Real(2 * n);
}

// Whether the end x belongs to the minimum whose lowest end is p.
bool SameMinimum(const TBasins& b, const Vector& p, const Vector& x) {
    for (int i = 0; i <= b.LastIndex; ++i) {
        const Real allowed = std::max(b.Reach[i], b.Tolerance * std::max(Real(1), std::fabs(p[i])));
        if (!(std::fabs(x[i] - p[i]) <= allowed)) return false;
    }
    return true;
}

double Median(std::vector<std::int32_t>& counts) {
    std::sort(counts.begin(), counts.end());
    const std::size_t n = counts.size();
    if (n == 0) return 0;
    if (n % 2 == 1) return counts[n / 2];
    return (double(counts[n / 2 - 1]) + double(counts[n / 2])) / 2;
}

// Whether the symmetric matrix sign H + shift I (rows 0 ... last, sign
// 1 or -1) is positive definite: its Cholesky factorisation goes through.
bool PositiveDefinite(const Matrix& H, Real sign, int last, Real shift) {
    Matrix L{};
    for (int j = 0; j <= last; ++j) {
        Real d = sign * H[j][j] + shift;
        for (int k = 0; k < j; ++k) d -= L[j][k] * L[j][k];
        if (!(d > 0)) return false;
        L[j][j] = std::sqrt(d);
        for (int i = j + 1; i <= last; ++i) {
            Real s = sign * H[i][j];
            for (int k = 0; k < j; ++k) s -= L[i][k] * L[j][k];
            L[i][j] = s / L[j][j];
        }
    }
    return true;
}

// Groups the cells that ran: the converged ends, from the lowest value up,
// each joining the first stationary point whose lowest end is within the
// tolerance or starting a new one, each point then told a minimum, saddle
// or maximum by F's curvature; then the other ends by how they ended.
// Every step goes by the values and the cell numbers alone, so the groups
// do not depend on which thread ran which start.
void MakeGroups(TBasins& b, TFunction& F) {
    std::vector<TBasinCell>& cells = b.Cells;
    // Lower value first, NaN after every number, ties by cell number.
    auto lower = [&](int p, int q) {
        const Real u = cells[p].Value, v = cells[q].Value;
        if (std::isnan(u) != std::isnan(v)) return std::isnan(v);
        if (!std::isnan(u) && u != v) return u < v;
        return p < q;
    };
    std::vector<int> converged;
    std::map<int, std::vector<int>> others; // by the end's number
    double ran = 0;
    for (int k = 0; k < static_cast<int>(cells.size()); ++k) {
        if (cells[k].End == TRunEnd::Skipped) continue; // never started
        ++ran;
        if (cells[k].End == TRunEnd::Converged)
            converged.push_back(k);
        else
            others[static_cast<int>(cells[k].End)].push_back(k);
    }
    std::sort(converged.begin(), converged.end(), lower);
    for (std::size_t k = 0; k < converged.size(); ++k) {
        const std::int32_t count = cells[converged[k]].Iterations;
        b.FewestIterations = k == 0 ? count : std::min(b.FewestIterations, count);
        b.MostIterations = k == 0 ? count : std::max(b.MostIterations, count);
    }

    std::vector<std::vector<int>> members;
    for (int k : converged) {
        std::size_t g = 0;
        while (g < members.size() &&
               !SameMinimum(b, cells[members[g].front()].Point, cells[k].Point))
            ++g;
        if (g == members.size()) members.emplace_back();
        members[g].push_back(k);
    }
    // The minima first, then the saddles and maxima, each by value.
    std::vector<TStationary> kinds;
    for (const std::vector<int>& m : members) kinds.push_back(StationaryKind(F, cells[m.front()].Point, b.LastIndex));
    std::vector<std::size_t> order(members.size());
    for (std::size_t g = 0; g < order.size(); ++g) order[g] = g;
    std::stable_partition(order.begin(), order.end(),
                          [&](std::size_t g) { return kinds[g] == TStationary::Minimum; });
    std::vector<std::vector<int>> sorted;
    for (std::size_t g : order) sorted.push_back(std::move(members[g]));
    members = std::move(sorted);
    b.StationaryCount = static_cast<int>(members.size());
    b.MinimumCount = static_cast<int>(std::count(kinds.begin(), kinds.end(), TStationary::Minimum));
    for (auto& [end, list] : others) {
        std::sort(list.begin(), list.end(), lower);
        members.push_back(list);
    }

    b.Groups.clear();
    for (std::size_t g = 0; g < members.size(); ++g) {
        const TBasinCell& lowest = cells[members[g].front()];
        TBasinGroup group;
        group.End = lowest.End;
        if (g < order.size()) group.Kind = kinds[order[g]];
        group.Point = lowest.Point;
        group.Value = lowest.Value;
        group.Cells = static_cast<std::int32_t>(members[g].size());
        group.Share = group.Cells / ran;
        std::vector<std::int32_t> iterations;
        for (int k : members[g]) {
            cells[k].Group = static_cast<std::int32_t>(g);
            iterations.push_back(cells[k].Iterations);
        }
        group.MedianIterations = Median(iterations);
        b.Groups.push_back(group);
    }
}

} // namespace

TStationary StationaryKind(TFunction& F, const Vector& p, int lastIndex) {
    Real largest = 0;
    for (int i = 0; i <= lastIndex; ++i) largest = std::max(largest, std::fabs(p[i]));
    // A step well above the rounding of f's values and well below the
    // distances over which a curvature changes.
    const Real h = Real(1e-4L) * std::max(Real(1), largest);
    bool defined = true;
    Matrix H{};
    CentralHessian(p, H, lastIndex, h, [&](const Vector& t) {
        F.ClearEvaluationError();
        const Real v = FunctionValue(F, t, lastIndex);
        if (!F.LastEvaluationDefined() || !std::isfinite(v)) defined = false;
        return v;
    });
    F.ClearEvaluationError();
    Real scale = 0;
    for (int i = 0; i <= lastIndex; ++i)
        for (int j = 0; j <= lastIndex; ++j) scale = std::max(scale, std::fabs(H[i][j]));
    if (!defined || !std::isfinite(scale) || scale == 0) return TStationary::Minimum;
    const Real shift = Real(1e-6L) * scale;
    if (PositiveDefinite(H, 1, lastIndex, shift)) return TStationary::Minimum;
    return PositiveDefinite(H, -1, lastIndex, shift) ? TStationary::Maximum : TStationary::Saddle;
}

Real BasinTolerance(Real variableAccuracy, Real valueAccuracy) {
    const Real accuracy = std::max(variableAccuracy, valueAccuracy);
    return std::max(Real(1e-3L),
                    std::isfinite(accuracy) && accuracy > 0 ? std::sqrt(accuracy) : Real(0));
}

Vector BasinCellStart(const TBasins& basins, int i, int j) {
    const TBasinGrid& g = basins.Grid;
    Vector x = basins.Start;
    if (g.A <= basins.LastIndex)
        x[g.A] = g.View.XMin + CellCentre(g.View.XMax - g.View.XMin, i, g.Size);
    if (g.B <= basins.LastIndex)
        x[g.B] = g.View.YMax - CellCentre(g.View.YMax - g.View.YMin, j, g.Size);
    return x;
}

bool ComputeBasins(const TSession& S, const TRunInputs& in, const TBasinGrid& grid, TBasins& result,
                   const TBasinProgress& progress, const std::atomic<bool>* cancel) {
    const auto started = std::chrono::steady_clock::now();
    result = TBasins{};
    result.Grid = grid;
    result.Grid.Size = std::clamp(grid.Size, kMinBasinGrid, kMaxBasinGrid);
    const int n = result.Grid.Size, total = n * n;
    if (!UsableView(grid.View) || grid.A < 0 || grid.A > 9 || grid.B < 0 || grid.B > 9 ||
        grid.A == grid.B)
        return false;

    // The calling thread's session first: inputs that cannot run end here.
    const TRegionTexts region(S);
    auto first = std::make_unique<TWorker>(region, in, cancel);
    if (!first->Ready) {
        result.Status = first->Run.Status;
        return false;
    }
    result.Method = MethodIndex(in.MethodFamily, in.MethodVariant);
    result.LastIndex = first->Run.LastIndex;
    result.Start = first->Run.ResultPoint;
    result.Tolerance = BasinTolerance(first->Run.VariableAccuracy, first->Run.ValueAccuracy);
    const Real halfWidth = (grid.View.XMax - grid.View.XMin) / (2 * n);
    const Real halfHeight = (grid.View.YMax - grid.View.YMin) / (2 * n);
    result.Reach.fill(std::max(halfWidth, halfHeight));
    result.Reach[grid.A] = halfWidth;
    result.Reach[grid.B] = halfHeight;
    result.Cells.assign(static_cast<std::size_t>(total), TBasinCell{});
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const int threads = std::clamp(grid.Threads > 0 ? grid.Threads : cores, 1, total);
    result.Grid.Threads = threads;

    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };
    // Starts go to whichever thread is free; each writes only its own cells.
    std::atomic<int> next{0};
    std::atomic<int> done{0};
    std::mutex told;
    int toldDone = 0;
    auto work = [&](TWorker& w) {
        for (int k; !cancelled() && (k = next.fetch_add(1)) < total;) {
            // No log: a cell keeps only where its run ended.
            RunFrom(w.S, in, w.Run, BasinCellStart(result, k / n, k % n), false);
            const TRunResult& r = w.Run.Result;
            TBasinCell& cell = result.Cells[static_cast<std::size_t>(k)];
            cell.End = RunEnd(w.Run);
            cell.Point = r.Point;
            cell.Value = r.Minimum;
            cell.Iterations = r.Iterations;
            done.fetch_add(1);
            if (progress) {
                const std::lock_guard<std::mutex> lock(told);
                progress(++toldDone, total);
            }
        }
    };
    {
        std::vector<std::thread> workers;
        for (int t = 1; t < threads; ++t)
            workers.emplace_back([&] {
                TWorker w(region, in, cancel);
                if (w.Ready) work(w);
            });
        work(*first);
        for (std::thread& w : workers) w.join();
    }
    result.CellsDone = done.load();
    result.Status = TRunStatus::Done;
    result.Cancelled = cancelled();
    MakeGroups(result, first->S.Function);
    first.reset();
    result.Seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return !result.Cancelled;
}

TRunResult RunBasinCell(const TSession& S, const TRunInputs& in, const TBasins& basins, int i,
                        int j) {
    TRunResult r;
    r.End = TRunEnd::Refused;
    const int n = basins.Grid.Size;
    if (basins.Status != TRunStatus::Done || i < 0 || j < 0 || i >= n || j >= n) return r;
    TWorker w(TRegionTexts(S), in, nullptr);
    if (!w.Ready) return r;
    RunFrom(w.S, in, w.Run, BasinCellStart(basins, i, j));
    r = w.Run.Result;
    r.End = RunEnd(w.Run);
    // The track goes with the result; the run's own is released with it.
    r.Track = std::make_shared<Tdata>();
    for (const TrackPoint* p = w.Run.Track.Head; p; p = p->Next)
        AddTrackPoint(*r.Track, p->X, w.Run.LastIndex, p->PointValue);
    return r;
}

} // namespace qirt
