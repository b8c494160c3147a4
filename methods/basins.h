// Basins of attraction: where each start leads. The chosen method runs,
// exactly as the start button runs it, from the centre of every cell of an
// N x N grid over a view of two variables (the others at the start point's
// values); the runs that converged are grouped into the minima they found,
// the others by how they ended. Every core runs starts, and the result is
// the same, bit for bit, whatever the number of threads.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "graph/track/track.h"
#include "methods/result.h"
#include "methods/run.h"
#include "methods/session.h"

namespace qirt {

// Cells along each axis: from 20 to 200, 50 unless asked otherwise.
inline constexpr int kMinBasinGrid = 20;
inline constexpr int kMaxBasinGrid = 200;
inline constexpr int kDefaultBasinGrid = 50;

// What to run over: the view of the variables A (horizontal) and B
// (vertical) cut into Size x Size cells, and the threads that run them.
struct TBasinGrid {
    TViewRange View;
    int A = 0, B = 1;
    int Size = kDefaultBasinGrid; // taken within kMinBasinGrid ... kMaxBasinGrid
    int Threads = 0;              // 0: one per core
};

// What one start gave: where its run ended, f there, its iterations, how
// it ended and the group it belongs to (index into TBasins::Groups; -1
// while not grouped).
struct TBasinCell {
    Vector Point{};
    Real Value = 0;
    std::int32_t Iterations = 0;
    TRunEnd End = TRunEnd::Skipped;
    std::int32_t Group = -1;
};

// What a point where runs converged is, by the curvature of f there: a
// minimum unless f falls along some direction (a saddle) or along every
// one (a maximum). Methods that stop on a small gradient stop at a saddle
// as readily as at a minimum: Newton's method does so from whole regions.
enum class TStationary { Minimum, Saddle, Maximum };

// A stationary point (the converged runs whose ends lie together) or the
// runs that ended in another way. Point and Value are those of the group's
// run with the lowest value (NaN values last): for a minimum, the minimum
// found.
struct TBasinGroup {
    TRunEnd End = TRunEnd::Converged; // Converged for a stationary point
    TStationary Kind = TStationary::Minimum;
    Vector Point{};
    Real Value = 0;
    std::int32_t Cells = 0;
    double Share = 0; // of the starts that ran, 0 ... 1
    // The middle of the iteration counts; for an even count the mean of
    // the two middle ones.
    double MedianIterations = 0;
    bool Converged() const { return End == TRunEnd::Converged; }
    bool Minimum() const { return Converged() && Kind == TStationary::Minimum; }
};

// The kind of the stationary point p of F (coordinates 0 ... lastIndex)
// from its matrix of second differences H: a minimum when H is positive
// semidefinite within a millionth of its largest entry, a maximum when -H
// is, a saddle otherwise. A point where F or a neighbour is undefined, or
// where H is zero, counts as a minimum: the test cannot tell.
TStationary StationaryKind(TFunction& F, const Vector& p, int lastIndex);

struct TBasins {
    // Done when every start ran and the groups are made; a refusal of the
    // inputs (as StartRun would refuse them, NoMethod without a method) or
    // a view that cannot be cut leaves NotStarted or the refusal, and no
    // cells. A cancelled computation is Done with Cancelled set.
    TRunStatus Status = TRunStatus::NotStarted;
    bool Cancelled = false; // stopped early: the cells not run are Skipped, in no group
    std::int32_t CellsDone = 0;
    int Method = -1;    // index into kMethods
    int LastIndex = -1; // the coordinates 0 ... LastIndex take part
    TBasinGrid Grid;    // with the size used and the threads that ran
    Vector Start{};     // the start point; the cells change its A and B
    // Two converged ends are one minimum when every coordinate i differs by
    // at most max(Reach[i], Tolerance max(1, |p_i|)) from the lowest end p
    // of the group: Reach is half a cell in the axis variables (half the
    // larger side of a cell in the others), Tolerance follows the accuracy.
    Vector Reach{};
    Real Tolerance = 0;
    // Cell (i, j) is column i (left to right) and row j (top to bottom),
    // at i * Size + j.
    std::vector<TBasinCell> Cells;
    // The stationary points first: the minima by value (the lowest
    // first), then the saddles and maxima by value; then one group per
    // other end, in the order of TRunEnd.
    std::vector<TBasinGroup> Groups;
    int MinimumCount = 0;    // the minima among the groups
    int StationaryCount = 0; // the minima, saddles and maxima
    // The fewest and the most iterations of the converged runs (0 without
    // any), the range the picture shades.
    std::int32_t FewestIterations = 0, MostIterations = 0;
    double Seconds = 0;

    const TBasinCell& Cell(int i, int j) const {
        return Cells[static_cast<std::size_t>(i) * Grid.Size + j];
    }
};

// The relative tolerance by which converged ends are grouped beside the
// reach of half a cell: the square root of the larger accuracy, at least
// 1e-3. The methods stop on small changes of the value; near a minimum f
// changes with the square of the distance, so their ends lie about the
// square root of the accuracy apart, and farther along a flat valley; ends
// closer than half a cell could not be told apart in the picture anyway.
Real BasinTolerance(Real variableAccuracy, Real valueAccuracy);

// The start of cell (i, j): the start point with the axis variables at the
// cell's centre, XMin + (2i + 1)(XMax - XMin) / 2N across and
// YMax - (2j + 1)(YMax - YMin) / 2N down. A variable beyond LastIndex keeps
// its value.
Vector BasinCellStart(const TBasins& basins, int i, int j);

// Told the cells done so far (of total), from the worker threads one at a
// time, the count growing with every call.
using TBasinProgress = std::function<void(int done, int total)>;

// Runs the inputs' method from every cell of the grid, on sessions of its
// own (one per thread, built once from the inputs and S's region, and used
// for every start of its thread). S is only read, on the calling thread
// before the first start. The cancel flag, seen between starts and between
// iterations, stops it early; the runs it stops end Stopped, and the
// starts that ran are grouped as ever. True when every start ran.
bool ComputeBasins(const TSession& S, const TRunInputs& in, const TBasinGrid& grid, TBasins& result,
                   const TBasinProgress& progress = {}, const std::atomic<bool>* cancel = nullptr);

// The run of one cell again, with its track and log, on a session of its
// own built from the inputs and S's region: the same end as the cell's. A
// run that could not start ends Refused.
TRunResult RunBasinCell(const TSession& S, const TRunInputs& in, const TBasins& basins, int i,
                        int j);

} // namespace qirt
