#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <string>
#include <vector>

#include "func/function.h"
#include "func/scan.h"
#include "graph/track/track_values.h"
#include "methods/basins.h"
#include "methods/method_table.h"

namespace qirt {
namespace {

constexpr const char* kDoubleWell = "(x[0]^2-1)^2+x[1]^2";
constexpr const char* kRosenbrock = "100*(x[1]-x[0]^2)^2+(1-x[0])^2";

TRunInputs Inputs(const char* formula, const char* method, const char* start = "0.5,0.5") {
    TRunInputs in;
    in.Formula = formula;
    in.StartText = start;
    const int k = MethodIndex(method);
    in.MethodFamily = kMethods[k].Family;
    in.MethodVariant = kMethods[k].Variant;
    return in;
}

TBasinGrid Grid(TViewRange view, int size, int threads = 0) {
    TBasinGrid grid;
    grid.View = view;
    grid.Size = size;
    grid.Threads = threads;
    return grid;
}

// Equal as stored: the same number, NaN to NaN, and zeros of the same sign.
bool Same(Real a, Real b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

bool SamePoint(const Vector& a, const Vector& b) {
    for (int i = 0; i < 10; ++i)
        if (!Same(a[i], b[i])) return false;
    return true;
}

// A run's result is what the cell keeps of it.
bool SameEnd(const TRunResult& r, const TBasinCell& cell) {
    return r.End == cell.End && SamePoint(r.Point, cell.Point) && Same(r.Minimum, cell.Value) &&
           r.Iterations == cell.Iterations;
}

// The start button's run from a point typed as its shortest text, which
// must read back exactly (the tests take starts with few binary digits).
TRunResult StartButtonRun(const TRunInputs& inputs, const Vector& start, int last, TSession& S) {
    TRunInputs in = inputs;
    in.StartText.clear();
    for (int i = 0; i <= last; ++i) {
        const std::string text = ShortestText(start[i]);
        if (TextToReal(text) != start[i]) ADD_FAILURE() << text << " does not read back exactly";
        in.StartText += (i ? "," : "") + text;
    }
    TRun run;
    StartRun(S, in, run);
    TRunResult r = run.Result;
    r.End = RunEnd(run);
    r.Track = std::make_shared<Tdata>(); // the run's own goes with it
    for (const TrackPoint* p = run.Track.Head; p; p = p->Next)
        AddTrackPoint(*r.Track, p->X, last, p->PointValue);
    FinishRun(S, run);
    return r;
}

TEST(Basins, TheDoubleWellSplitsAtTheRidge) {
    // Every start left of the ridge x[0] = 0 ends at (-1, 0), every start
    // right of it at (1, 0); an even grid has no start on the ridge.
    TSession S;
    TBasins b;
    ASSERT_TRUE(
        ComputeBasins(S, Inputs(kDoubleWell, "steepest-descent"), Grid({-1.5, 1.5, -1, 1}, 20), b));
    EXPECT_TRUE(b.Status == TRunStatus::Done && !b.Cancelled && b.CellsDone == 400);
    ASSERT_EQ(b.MinimumCount, 2);
    ASSERT_EQ(b.Groups.size(), 2u); // every run converged
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) {
            const TBasinCell& cell = b.Cell(i, j);
            const Real side = BasinCellStart(b, i, j)[0] > 0 ? 1 : -1;
            EXPECT_TRUE(cell.End == TRunEnd::Converged && std::fabs(cell.Point[0] - side) < 1e-3L &&
                        std::fabs(cell.Point[1]) < 1e-3L &&
                        (b.Groups[cell.Group].Point[0] > 0) == (side > 0))
                << i << "," << j;
        }
    for (const TBasinGroup& g : b.Groups) {
        EXPECT_TRUE(g.Minimum() && g.Cells == 200 && g.Share == 0.5 && g.MedianIterations >= 1);
        EXPECT_NEAR(double(std::fabs(g.Point[0])), 1, 1e-3);
    }
    EXPECT_LE(b.Groups[0].Value, b.Groups[1].Value); // the lowest first
    EXPECT_TRUE(b.FewestIterations >= 1 && b.MostIterations >= b.FewestIterations);
}

TEST(Basins, CellCentresAndTheStartPointsOtherCoordinates) {
    // An odd grid has its middle column on the ridge: those starts stay on
    // x[0] = 0 and end at the saddle (0, 0), a stationary point of its own,
    // after the two minima and named a saddle.
    TSession S;
    TBasins b;
    ASSERT_TRUE(ComputeBasins(S, Inputs(kDoubleWell, "steepest-descent"),
                              Grid({-1.5, 1.5, -1, 1}, 21, 2), b));
    EXPECT_TRUE(SamePoint(BasinCellStart(b, 10, 10), Vector{0, 0}));
    EXPECT_TRUE(SamePoint(BasinCellStart(b, 0, 0),
                          Vector{-1.5L + 3.0L / 42, 1 - 2.0L / 42})); // row 0 at the top
    EXPECT_EQ(BasinCellStart(b, 20, 20)[0], -1.5L + 3.0L * 41 / 42);
    ASSERT_EQ(b.StationaryCount, 3);
    EXPECT_EQ(b.MinimumCount, 2);
    EXPECT_EQ(b.Groups[2].Kind, TStationary::Saddle);
    for (int j = 0; j < 21; ++j)
        EXPECT_TRUE(b.Cell(10, j).Point[0] == 0 && b.Cell(10, j).Group == 2) << j;
    EXPECT_EQ(b.Groups[2].Cells, 21);
    EXPECT_NEAR(double(b.Groups[2].Value), 1, 1e-6);

    // A third variable on an axis; x[1] keeps the start point's value.
    TBasinGrid grid = Grid({-1.5, 1.5, -1, 1}, 20);
    grid.A = 2;
    grid.B = 0;
    ASSERT_TRUE(
        ComputeBasins(S, Inputs("(x[0]^2-1)^2+x[1]^2+(x[2]-3)^2", "dfp", "0.5,0.25,0"), grid, b));
    EXPECT_TRUE(SamePoint(BasinCellStart(b, 3, 7),
                          Vector{1 - 2.0L * 15 / 40, 0.25L, -1.5L + 3.0L * 7 / 40}));
}

TEST(Basins, TheSameBitsOnOneTwoAndThreeThreads) {
    // Rosenbrock's valley with DFP: converged and not-stationary ends, many
    // iteration counts; each thread count hands the starts out differently.
    TSession S;
    const TRunInputs in = Inputs(kRosenbrock, "dfp", "-1.2,1");
    std::vector<TBasins> results(3);
    std::vector<int> told; // the progress of the three threads' run
    for (int t = 0; t < 3; ++t)
        ASSERT_TRUE(ComputeBasins(S, in, Grid({-2, 2, -1, 3}, 24, t + 1), results[t],
                                  [&](int done, int total) {
                                      if (t == 2) told.push_back(total == 576 ? done : -1);
                                  }));
    EXPECT_EQ(results[2].Grid.Threads, 3);
    ASSERT_EQ(told.size(), 576u);
    for (int k = 0; k < 576; ++k)
        EXPECT_EQ(told[k], k + 1);
    const TBasins& one = results[0];
    EXPECT_GE(one.Groups.size(), 2u); // something else besides the minimum
    for (int t = 1; t < 3; ++t) {
        const TBasins& other = results[t];
        ASSERT_EQ(other.Cells.size(), one.Cells.size());
        for (std::size_t k = 0; k < one.Cells.size(); ++k) {
            const TBasinCell &a = one.Cells[k], &b = other.Cells[k];
            EXPECT_TRUE(SamePoint(a.Point, b.Point) && Same(a.Value, b.Value) &&
                        a.Iterations == b.Iterations && a.End == b.End && a.Group == b.Group)
                << t + 1 << " threads, cell " << k;
        }
        ASSERT_EQ(other.Groups.size(), one.Groups.size());
        for (std::size_t g = 0; g < one.Groups.size(); ++g) {
            const TBasinGroup &a = one.Groups[g], &b = other.Groups[g];
            EXPECT_TRUE(SamePoint(a.Point, b.Point) && Same(a.Value, b.Value) &&
                        a.Cells == b.Cells && a.End == b.End &&
                        a.MedianIterations == b.MedianIterations)
                << t + 1 << " threads, group " << g;
        }
    }
}

TEST(Basins, EveryCellIsTheStartButtonsRunFromItsCentre) {
    // One thread runs every start on one session in turn; each cell must
    // still be what the start button gives from that point alone. (Cells
    // 1/4 wide: every centre is a short binary fraction.)
    const TRunInputs in = Inputs(kRosenbrock, "dfp", "-1.2,1");
    TSession S;
    TBasins b;
    ASSERT_TRUE(ComputeBasins(S, in, Grid({-2.5, 2.5, -1.5, 3.5}, 20, 1), b));
    for (int k = 0; k < 400; k += 13) {
        const int i = k / 20, j = k % 20;
        TSession fresh;
        EXPECT_TRUE(SameEnd(StartButtonRun(in, BasinCellStart(b, i, j), 1, fresh), b.Cell(i, j)))
            << i << "," << j;
    }
}

TEST(RunFrom, EachRunForgetsTheOneBefore) {
    // Undefined starts and searches into x[0] <= 0, where ln is undefined,
    // between ordinary runs: every result, counts included, is the start
    // button's from its point, however many runs came before.
    const TRunInputs in = Inputs("x[0]-ln(x[0])+x[1]^2", "fletcher-reeves", "2,1");
    TSession S;
    TRun run;
    ASSERT_TRUE(PrepareRun(S, in, run));
    EXPECT_EQ(run.ResultPoint[0], 2);
    EXPECT_EQ(run.ResultPoint[1], 1);
    const std::vector<Vector> starts = {{-1, 1},   {3, 2}, {0.01L, -1}, {-2, 0},
                                        {5, 0.5L}, {3, 2}, {0.2L, 4}};
    for (int round = 0; round < 3; ++round)
        for (const Vector& start : starts) {
            RunFrom(S, in, run, start);
            TSession fresh;
            const TRunResult expected = StartButtonRun(in, start, 1, fresh);
            EXPECT_TRUE(RunEnd(run) == expected.End &&
                        SamePoint(run.Result.Point, expected.Point) &&
                        Same(run.Result.Minimum, expected.Minimum) &&
                        run.Result.Iterations == expected.Iterations &&
                        run.Result.Evaluations == expected.Evaluations &&
                        run.Result.GradientEvaluations == expected.GradientEvaluations &&
                        run.Track.Count == expected.Track->Count)
                << "round " << round << " from " << start[0] << "," << start[1];
        }
    FinishRun(S, run);

    // Without a method there is nothing to run again.
    TRunInputs graph = in;
    graph.MethodFamily = family::GraphOnly;
    EXPECT_FALSE(PrepareRun(S, graph, run));
    EXPECT_EQ(run.Status, TRunStatus::NoMethod);
    EXPECT_FALSE(run.Built);
}

TEST(Basins, TheRegionOfTheSessionTakesPart) {
    // An exterior condition x[0] >= 0.5 moves the left minimum to the
    // boundary; the cells run with the region as the start button does.
    TSession S;
    S.Conditions.AddCondition("x[0]>=0.5", "1000", "2", kExteriorKind);
    ASSERT_EQ(S.Conditions.ConditionErrorCode, 0);
    const TRunInputs in = Inputs(kDoubleWell, "dfp");
    TBasins b;
    ASSERT_TRUE(ComputeBasins(S, in, Grid({-1.25, 1.25, -1.25, 1.25}, 20, 2), b));
    for (int k = 0; k < 400; k += 37) {
        const int i = k / 20, j = k % 20;
        TSession fresh;
        fresh.Conditions.AddCondition("x[0]>=0.5", "1000", "2", kExteriorKind);
        const TRunResult r = StartButtonRun(in, BasinCellStart(b, i, j), 1, fresh);
        EXPECT_TRUE(SameEnd(r, b.Cell(i, j)) && r.Region.Present) << i << "," << j;
    }
    EXPECT_TRUE(b.MinimumCount == 1 && b.Groups[0].Point[0] > 0.9L); // none left of the boundary

    // Switched off in the session, the region takes no part.
    S.Function.Conditions = nullptr;
    ASSERT_TRUE(ComputeBasins(S, in, Grid({-1.5, 1.5, -1, 1}, 20, 2), b));
    EXPECT_EQ(b.MinimumCount, 2);
    EXPECT_LT(b.Groups[0].Point[0] * b.Groups[1].Point[0], 0);
}

TEST(Basins, CancelStopsEarlyAndSaysSo) {
    TSession S;
    const TRunInputs in = Inputs(kRosenbrock, "steepest-descent", "-1.2,1");
    std::atomic<bool> cancel{false};
    TBasins b;
    // Stopped from the progress callback after the tenth start.
    EXPECT_FALSE(ComputeBasins(
        S, in, Grid({-2, 2, -1, 3}, 40, 2), b,
        [&](int done, int) {
            if (done >= 10) cancel = true;
        },
        &cancel));
    EXPECT_TRUE(b.Status == TRunStatus::Done && b.Cancelled);
    EXPECT_TRUE(b.CellsDone >= 10 && b.CellsDone <= 14)
        << b.CellsDone; // and those the threads were running
    // The starts that ran keep their groups, whose shares count only them;
    // the others are in none.
    int skipped = 0, grouped = 0;
    for (const TBasinCell& cell : b.Cells) {
        skipped += cell.End == TRunEnd::Skipped && cell.Group == -1;
        grouped += cell.Group >= 0;
    }
    EXPECT_EQ(skipped, 1600 - b.CellsDone);
    EXPECT_EQ(grouped, b.CellsDone);
    ASSERT_FALSE(b.Groups.empty());
    double shares = 0;
    for (const TBasinGroup& g : b.Groups) shares += g.Share;
    EXPECT_NEAR(shares, 1, 1e-12);
    // Set before: nothing runs.
    EXPECT_FALSE(ComputeBasins(S, in, Grid({-2, 2, -1, 3}, 40), b, {}, &cancel));
    EXPECT_TRUE(b.Cancelled && b.CellsDone == 0);
}

// Newton's method stops where the gradient vanishes, at a saddle as at a
// minimum: on Himmelblau's function some starts end at its saddles, which
// come after the four minima and are no minima.
TEST(Basins, NewtonsSaddlesAreNoMinima) {
    TSession S;
    TBasins b;
    ASSERT_TRUE(ComputeBasins(S, Inputs("(x[0]^2+x[1]-11)^2+(x[0]+x[1]^2-7)^2", "newton"),
                              Grid({-5, 5, -5, 5}, 20, 2), b));
    ASSERT_EQ(b.MinimumCount, 4);
    ASSERT_GT(b.StationaryCount, 4);
    for (int g = 0; g < b.StationaryCount; ++g) {
        const TBasinGroup& group = b.Groups[static_cast<std::size_t>(g)];
        EXPECT_TRUE(group.Converged()) << g;
        if (g < 4) {
            EXPECT_EQ(group.Kind, TStationary::Minimum) << g;
            EXPECT_LT(double(group.Value), 1e-9) << g;
        } else {
            // Himmelblau's saddles lie between 13.3 and 178.3.
            EXPECT_EQ(group.Kind, TStationary::Saddle) << g;
            EXPECT_GT(double(group.Value), 13) << g;
        }
    }
}

TEST(StationaryKind, TheCurvatureTellsMinimaSaddlesAndMaxima) {
    struct TCase {
        const char* Formula;
        Vector Point;
        TStationary Kind;
    };
    const TCase cases[] = {
        {"x[0]^2+x[1]^2", {}, TStationary::Minimum},
        {"x[0]^2-x[1]^2", {}, TStationary::Saddle},
        {"-x[0]^2-3*x[1]^2", {}, TStationary::Maximum},
        {"x[0]*x[1]", {}, TStationary::Saddle}, // no curvature on the axes themselves
        {"100*(x[1]-x[0]^2)^2+(1-x[0])^2", {1, 1}, TStationary::Minimum}, // a valley 2500 times steeper across
        {"x[0]^4+x[1]^4", {}, TStationary::Minimum},   // no curvature at all: cannot tell
        {"x[0]^2+x[1]^2-1e-3*x[2]^2", {}, TStationary::Saddle},
        // A fall a millionth of the steepest curvature is taken as flat.
        {"1e6*x[0]^2+x[1]^2-1e-7*x[2]^2", {}, TStationary::Minimum},
        {"sqrt(x[0])+x[1]^2", {}, TStationary::Minimum}, // undefined beside it: cannot tell
    };
    for (const TCase& c : cases) {
        TFunction F;
        BuildTree(F, c.Formula);
        ASSERT_EQ(F.ErrorCode, 0) << c.Formula;
        EXPECT_EQ(StationaryKind(F, c.Point, 2), c.Kind) << c.Formula;
    }
}

TEST(Basins, InputsThatCannotRunAreRefused) {
    TSession S;
    TBasins b;
    EXPECT_FALSE(ComputeBasins(S, Inputs("x[0]+", "dfp"), Grid({-1, 1, -1, 1}, 20), b));
    EXPECT_TRUE(b.Status == TRunStatus::BuildFailed && b.Cells.empty());
    TRunInputs graph = Inputs("x[0]^2+x[1]^2", "dfp");
    graph.MethodFamily = family::GraphOnly;
    EXPECT_FALSE(ComputeBasins(S, graph, Grid({-1, 1, -1, 1}, 20), b));
    EXPECT_EQ(b.Status, TRunStatus::NoMethod);
    // A view without extent, or one axis twice.
    EXPECT_FALSE(ComputeBasins(S, Inputs("x[0]^2+x[1]^2", "dfp"), Grid({1, 1, -1, 1}, 20), b));
    TBasinGrid same = Grid({-1, 1, -1, 1}, 20);
    same.B = 0;
    EXPECT_FALSE(ComputeBasins(S, Inputs("x[0]^2+x[1]^2", "dfp"), same, b));
    EXPECT_EQ(b.Status, TRunStatus::NotStarted);
    // Sizes outside 20 ... 200 are taken at the nearer end.
    ASSERT_TRUE(ComputeBasins(S, Inputs("x[0]^2+x[1]^2", "newton"), Grid({-1, 1, -1, 1}, 3), b));
    EXPECT_TRUE(b.Grid.Size == kMinBasinGrid && b.Cells.size() == 400u);
}

TEST(RunBasinCell, EndsWhereTheGridSaidWithItsTrack) {
    TSession S;
    const TRunInputs in = Inputs(kRosenbrock, "dfp", "-1.2,1");
    TBasins b;
    ASSERT_TRUE(ComputeBasins(S, in, Grid({-2, 2, -1, 3}, 20, 3), b));
    for (auto [i, j] : {std::pair{0, 0}, std::pair{19, 19}, std::pair{7, 12}, std::pair{13, 2}}) {
        const TRunResult r = RunBasinCell(S, in, b, i, j);
        EXPECT_TRUE(SameEnd(r, b.Cell(i, j))) << i << "," << j;
        ASSERT_TRUE(r.Track && r.Track->Head && r.Log) << i << "," << j;
        const TrackPoint* last = r.Track->Head;
        while (last->Next)
            last = last->Next;
        EXPECT_TRUE(SamePoint(r.Track->Head->X, BasinCellStart(b, i, j)) &&
                    SamePoint(last->X, b.Cell(i, j).Point));
    }
    EXPECT_EQ(RunBasinCell(S, in, b, 20, 0).End, TRunEnd::Refused);
    EXPECT_EQ(RunBasinCell(S, in, TBasins{}, 0, 0).End, TRunEnd::Refused);
}

TEST(Basins, EndsAlongAFlatValleyAreOneMinimum) {
    // DFP ends scattered along Rosenbrock's valley, up to a few thousandths
    // from (1, 1): half a cell groups them; distinct minima stay apart.
    TSession S;
    TBasins b;
    ASSERT_TRUE(
        ComputeBasins(S, Inputs(kRosenbrock, "dfp", "-1.2,1"), Grid({-2, 2, -1, 3}, 40), b));
    ASSERT_EQ(b.MinimumCount, 1);
    EXPECT_NEAR(double(b.Groups[0].Point[0]), 1, 1e-6);
    int converged = 0;
    for (const TBasinCell& cell : b.Cells)
        converged += cell.End == TRunEnd::Converged;
    EXPECT_EQ(b.Groups[0].Cells, converged);

    // Two minima 0.2 apart on a grid of cells 0.15 wide: two groups.
    ASSERT_TRUE(
        ComputeBasins(S, Inputs("(x[0]^2-0.01)^2+x[1]^2", "dfp"), Grid({-1.5, 1.5, -1, 1}, 20), b));
    EXPECT_EQ(b.MinimumCount, 2);
}

} // namespace
} // namespace qirt
