#include "graph/map/map.h"

#include "methods/method_table.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

#include "func/conditions.h"
#include "func/evaluate.h"
#include "func/scan.h"
#include "graph/track/rounding.h"
#include "methods/session.h"

namespace qirt {

namespace {

// Colours of the levels 1 ... 9 and 10, 20, ... by level mod 10.
constexpr TColour kLevelColours[10] = {
    {255, 0, 0},   // 0: red
    {253, 165, 2}, // 1: orange
    {245, 252, 3}, // 2: yellow
    {128, 252, 3}, // 3: yellow-green
    {3, 167, 61},  // 4: green
    {3, 231, 197}, // 5: turquoise
    {5, 184, 228}, // 6: sky blue
    {4, 68, 217},  // 7: blue
    {2, 35, 111},  // 8: dark blue
    {109, 3, 109}, // 9: purple
};
constexpr TColour kBoundaryColour{1, 0, 0}; // level 0: practically black

} // namespace

TMapSamples& MapSamples(TSession& S) {
    if (!S.MapSamplesStore) S.MapSamplesStore = std::make_shared<TMapSamples>();
    return *S.MapSamplesStore;
}

TColour LevelColour(std::int32_t level) {
    if (level == 0) return kBoundaryColour;
    const std::int32_t row = level % 10;
    return row < 0 ? kBlack : kLevelColours[row];
}

namespace {

// Whether a point lies outside the region: a condition that does not hold
// there, or cannot be evaluated. The conditions' own values are not counted
// as values of the function.
bool Outside(uslov& region, const Vector& point, int last) {
    for (straf* c = region.Head; c; c = c->Next) {
        c->Expression.ClearEvaluationError();
        const Real g = FunctionValue(c->Expression, point, last);
        if (!c->Expression.LastEvaluationDefined() || !RelationHolds(c->Relation, g)) return true;
    }
    return false;
}

// The lowest and highest defined value of one column, each the first of
// its kind in the column's order.
struct TColumnValues {
    bool Any = false;
    Real Min = 0, Max = 0;
    void Take(Real value) {
        if (!Any) {
            Min = Max = value;
            Any = true;
        } else if (value > Max) {
            Max = value;
        } else if (value < Min) {
            Min = value;
        }
    }
};

// The evaluation state of one sampling thread: copies of the function
// object and of the region, whose point, counters and codes it may write.
struct TSampler {
    TFunction Function;
    uslov Conditions;
};

int SamplingThreads(int wanted, int gridSize) {
    if (gridSize < 16) return 1;
    int n = wanted > 0 ? wanted : static_cast<int>(std::thread::hardware_concurrency());
    return std::clamp(n, 1, gridSize);
}

// A sampler evaluating as the job's copies do.
std::unique_ptr<TSampler> MakeSampler(const TMapJob& job) {
    auto sampler = std::make_unique<TSampler>();
    CopyForEvaluation(job.Function, sampler->Function);
    sampler->Conditions.CopyForEvaluation(job.Region);
    sampler->Conditions.NewErrorReport();
    if (job.HasRegion) sampler->Function.Conditions = &sampler->Conditions;
    return sampler;
}

} // namespace

Real MapBoundaryTolerance(const TViewRange& v, int gridSize) {
    const Real dx = (v.XMax - v.XMin) / (gridSize - 1);
    const Real dy = (v.YMax - v.YMin) / (gridSize - 1);
    return std::fabs(dx) > std::fabs(dy) ? dx : dy;
}

std::unique_ptr<TMapJob> MakeMapJob(const TSession& S, int a, int b, int gridSize,
                                    std::string_view colourCountText) {
    auto job = std::make_unique<TMapJob>();
    CopyForEvaluation(S.Function, job->Function);
    job->Region.CopyForEvaluation(S.Conditions);
    // The map shows the penalties only as an extended plot.
    job->Region.PenaltyEnabled = S.Function.ExtendedPlot;
    job->Region.BoundaryTolerance = MapBoundaryTolerance(S.View, gridSize);
    job->HasRegion = S.Function.Conditions != nullptr;
    if (job->HasRegion) job->Function.Conditions = &job->Region;
    job->View = S.View;
    job->FoundPoint = S.FoundPoint;
    job->LastIndex = S.CurrentLastIndex;
    job->A = a;
    job->B = b;
    job->GridSize = gridSize;
    job->ColourCountText = std::string(colourCountText);
    job->Threads = S.MapThreads;
    job->ShadeOutside = S.ShadeOutside && job->HasRegion && S.Conditions.Size > 0;
    return job;
}

bool ComputeMap(const TMapJob& job, TMapResult& result, const std::atomic<bool>* cancel) {
    if (!result.Samples) result.Samples = std::make_shared<TMapSamples>(job.GridSize);
    TMapSamples& m = *result.Samples;
    m.Resize(job.GridSize);
    result.Evaluations = 0;
    result.ErrorReported = false;
    const int gridSize = job.GridSize, a = job.A, b = job.B, last = job.LastIndex;
    const TViewRange& v = job.View;
    const Real dx = (v.XMax - v.XMin) / (gridSize - 1);
    const Real dy = (v.YMax - v.YMin) / (gridSize - 1);
    auto cancelled = [cancel] { return cancel && cancel->load(std::memory_order_relaxed); };

    // Every sample is the value at the found point with the two axis
    // variables set (when they are among the coordinates 0 ... last). Each
    // sample stands on its own: an undefined one must not make the error
    // code, which sticks, turn every later sample into 0.
    auto sample = [](TFunction& G, Real& value) {
        G.ClearEvaluationError();
        value = CurrentValue(G);
        return G.LastEvaluationDefined() && std::isfinite(value);
    };
    auto setAxes = [&](TFunction& G, const Real* x, const Real* y) {
        if (x && a <= last) G.Point[a] = *x;
        if (y && b <= last) G.Point[b] = *y;
    };
    // Column i on one function object and its region.
    auto sampleColumn = [&](TFunction& G, uslov& region, int i, TColumnValues& column) {
        const Real x = i * dx + v.XMin;
        setAxes(G, &x, nullptr);
        // The column's own runs of each array, looked up once.
        Real* const values = m.SampleValues[i];
        bool* const outside = m.SampleOutside[i];
        bool* const defines = m.SampleDefined[i];
        Byte* const near = m.SampleNearBoundary[i];
        for (int j = 0; j < gridSize; ++j) {
            const Real y = v.YMax - j * dy;
            setAxes(G, nullptr, &y);
            Real& value = values[j];
            const bool defined = sample(G, value);
            if (job.ShadeOutside) outside[j] = Outside(region, G.Point, last);
            defines[j] = defined;
            near[j] = region.NearBoundary ? 1 : 0;
            if (defined) column.Take(value);
        }
    };

    const int threads = SamplingThreads(job.Threads, gridSize);
    std::vector<std::unique_ptr<TSampler>> samplers;
    for (int t = 0; t < threads; ++t) {
        samplers.push_back(MakeSampler(job));
        for (int i = 0; i <= last; ++i) samplers.back()->Function.Point[i] = job.FoundPoint[i];
    }

    // The corner first: one evaluation more.
    TSampler& first = *samplers.front();
    setAxes(first.Function, &v.XMin, &v.YMax);
    TColumnValues all;
    Real corner;
    if (sample(first.Function, corner)) all.Take(corner);

    std::vector<TColumnValues> columns(static_cast<std::size_t>(gridSize));
    // Columns go to whichever thread is free; each thread writes only its
    // own columns and its own copies.
    std::atomic<int> next{0};
    auto work = [&](TSampler& sampler) {
        for (int i; !cancelled() && (i = next.fetch_add(1)) < gridSize;)
            sampleColumn(sampler.Function, sampler.Conditions, i, columns[i]);
    };
    if (threads == 1) {
        work(first);
    } else {
        std::vector<std::thread> workers;
        for (int t = 0; t < threads; ++t) workers.emplace_back(work, std::ref(*samplers[t]));
        for (std::thread& w : workers) w.join();
    }
    for (const auto& sampler : samplers) {
        result.Evaluations += sampler->Function.EvaluationCount - job.Function.EvaluationCount;
        if (sampler->Conditions.ErrorReported) result.ErrorReported = true;
    }
    if (cancelled()) return false;
    // The columns in their order: the same extremes a single pass finds.
    for (const TColumnValues& column : columns) {
        if (!column.Any) continue;
        all.Take(column.Max);
        all.Take(column.Min);
    }
    m.Shaded = job.ShadeOutside;
    m.AnyDefined = all.Any;
    m.ValueMin = all.Any ? all.Min : 0;
    m.ValueMax = all.Any ? all.Max : 0;
    return true;
}

void TakeMapResult(TSession& S, TMapResult& result) {
    S.MapSamplesStore = result.Samples;
    S.Function.EvaluationCount += result.Evaluations;
    S.Conditions.NewErrorReport();
    if (result.ErrorReported) S.Conditions.ReportError();
}

void SampleGrid(TSession& S, int a, int b, int gridSize) {
    const std::unique_ptr<TMapJob> job = MakeMapJob(S, a, b, gridSize, {});
    // The methods after a redraw see the map's boundary tolerance.
    S.Conditions.BoundaryTolerance = job->Region.BoundaryTolerance;
    TMapResult result;
    result.Samples = S.MapSamplesStore; // the arrays are reused
    ComputeMap(*job, result);
    TakeMapResult(S, result);
}

std::int32_t ColourCount(std::string_view text) {
    if (text.empty() || !IsNumberText(text)) return kDefaultColourCount;
    return RoundHalfEven(TextToReal(text), 2'147'483'647);
}

bool UsableColourCount(std::string_view text) {
    if (text.empty()) return true;
    if (!IsNumberText(text)) return false;
    const Real v = TextToReal(text);
    return v >= 1 && v <= 2'147'483'647 && std::trunc(v) == v;
}

namespace {

// A sample that has a level of its own (defined, off the boundary).
bool Levelled(const TMapSamples& m, int i, int j) {
    return m.SampleDefined[i][j] && !m.SampleNearBoundary[i][j];
}

} // namespace

int MapGridSize(int side) { return std::clamp(side / 2 + 1, 2, kMaxGridSize); }

void DrawLevelLines(const TMapSamples& m, TCanvas& canvas, int cell) {
    const int gridSize = m.GridSize;
    // Where two neighbouring samples differ in level, the pixels between
    // them (the last column or row of the first one's cell) are darkened:
    // a line along the boundary between the levels, read off the grid.
    const int width = canvas.Width(), height = canvas.Height();
    auto dark = [&](int x, int y) {
        if (x >= 0 && y >= 0 && x < width && y < height) canvas.SetPixel(x, y, kLevelLineColour);
    };
    for (int i = 0; i < gridSize; ++i)
        for (int j = 0; j < gridSize; ++j) {
            if (!Levelled(m, i, j)) continue;
            const int x = i * cell, y = j * cell;
            if (i + 1 < gridSize && Levelled(m, i + 1, j) && m.SampleLevels[i + 1][j] != m.SampleLevels[i][j])
                for (int d = 0; d < cell; ++d) dark(x + cell - 1, y + d);
            if (j + 1 < gridSize && Levelled(m, i, j + 1) && m.SampleLevels[i][j + 1] != m.SampleLevels[i][j])
                for (int d = 0; d < cell; ++d) dark(x + d, y + cell - 1);
        }
}

void PaintMap(TSession& S, TCanvas& canvas, std::string_view colourCountText) {
    PaintSamples(MapSamples(S), canvas, colourCountText, {S.MapFilled, S.MapLevelLines});
}

void PaintSamples(TMapSamples& m, TCanvas& canvas, std::string_view colourCountText, const TMapLook& look) {
    const int gridSize = m.GridSize;
    const std::int32_t k = ColourCount(colourCountText);
    const Real step = (m.ValueMax - m.ValueMin) / (Real(k) - 1);
    // A step of zero (one colour, or all values equal) or an endless one
    // has no bands: every ordinary sample gets level 1.
    const bool banded = step != 0 && std::isfinite(step);
    // The band of a value is (value - ValueMin) / step rounded. The quotient
    // is formed in double precision by multiplying with the reciprocal, far
    // faster than an extended division, and rounded by the 1.5 * 2^52 trick;
    // its error (below 1e-9 for bands under a million) only matters within
    // a hair of a half, where the extended division decides.
    const double inverse = static_cast<double>(1 / step);
    auto Band = [&](Real offset) {
        constexpr std::int32_t kLimit = 2'147'483'646;
        const double q = static_cast<double>(offset) * inverse;
        if (std::fabs(q) < 1e6) {
            constexpr double kShift = 6755399441055744.0; // 1.5 * 2^52
            const double rounded = (q + kShift) - kShift;
            if (std::fabs(std::fabs(q - rounded) - 0.5) > 1e-6) return static_cast<std::int32_t>(rounded);
        }
        return RoundHalfEven(offset / step, kLimit);
    };
    const std::int32_t cell = RoundHalfEven(Real(canvas.MapSide()) / (gridSize - 1) + 0.5L);
    const int width = canvas.Width(), height = canvas.Height();
    for (int i = 0; i < gridSize; ++i) {
        const int x = i * cell;
        std::int32_t* const levels = m.SampleLevels[i];
        const Byte* const near = m.SampleNearBoundary[i];
        const bool* const defined = m.SampleDefined[i];
        const Real* const values = m.SampleValues[i];
        const bool* const outside = m.SampleOutside[i];
        for (int j = 0; j < gridSize; ++j) {
            std::int32_t& level = levels[j];
            if (near[j])
                level = 0;
            else if (!defined[j])
                continue; // left white
            else
                level = banded ? Band(values[j] - m.ValueMin) + 1 : 1;
            const int y = j * cell;
            if (look.Filled) {
                // The sample's cell: its pixel and those up to the next sample.
                canvas.FillBlock(x, y, cell, cell, LevelColour(level));
            } else if (x < width && y < height) {
                canvas.SetPixel(x, y, LevelColour(level));
            }
            if (m.Shaded && outside[j] && x + 1 < width && y + 1 < height)
                canvas.SetPixel(x + 1, y + 1, kOutsideShade);
        }
    }
    if (look.LevelLines) DrawLevelLines(m, canvas, cell);
}

void DrawTrack(TSession& S, TCanvas& canvas, int a, int b) {
    if (S.Track) DrawTrack(*S.Track, S.View, canvas, a, b);
}

void DrawTrack(Tdata& track, const TViewRange& v, TCanvas& canvas, int a, int b) {
    if (!(v.XMax > v.XMin) || !(v.YMax > v.YMin)) return;
    TTrackPixels px;
    const int side = canvas.MapSide();
    FillTrackPixels(track, a, b, v, px, side);
    DrawPolyline(canvas, px);
    const TColour brush = canvas.BrushColour;
    canvas.BrushColour = canvas.PenColour; // discs in the track's colour
    auto disc = [&](const TPixel& p) { DrawEllipse(canvas, p.X - 3, p.Y + 3, p.X + 3, p.Y - 3); };
    disc(px[0]);
    while (track.BatchState >= 199) {
        FillTrackPixels(track, a, b, v, px, side);
        DrawPolyline(canvas, px);
    }
    if (track.BatchState > 0 && track.BatchState < 30)
        for (int k = 1; k < track.BatchState; ++k) disc(px[k]);
    canvas.BrushColour = brush;
    const TPixel end = px[199];
    DrawLine(canvas, end.X, end.Y + 3, end.X, end.Y - 3);
    DrawLine(canvas, end.X + 3, end.Y, end.X - 3, end.Y);
}

void DrawOuterSteps(const TRegionReport& report, const TViewRange& v, TCanvas& canvas, int a, int b) {
    if (!(v.XMax > v.XMin) || !(v.YMax > v.YMin) || report.Outer.size() < 2) return;
    const TMapTransform transform(v, canvas.MapSide());
    for (std::size_t k = 0; k + 1 < report.Outer.size(); ++k) {
        const Vector& x = report.Outer[k].Point;
        if (!(v.XMin <= x[a] && x[a] <= v.XMax && v.YMin <= x[b] && x[b] <= v.YMax)) continue;
        const TPixel p = transform.Pixel(x[a], x[b]);
        DrawLine(canvas, p.X - 3, p.Y - 3, p.X + 3, p.Y - 3);
        DrawLine(canvas, p.X + 3, p.Y - 3, p.X + 3, p.Y + 3);
        DrawLine(canvas, p.X + 3, p.Y + 3, p.X - 3, p.Y + 3);
        DrawLine(canvas, p.X - 3, p.Y + 3, p.X - 3, p.Y - 3);
    }
}

void RedrawMap(TSession& S, TCanvas& canvas, int a, int b, std::string_view colourCountText) {
    // Sampling first: the canvas keeps the old map until the new one is
    // ready to paint.
    SampleGrid(S, a, b, MapGridSize(canvas.MapSide()));
    canvas.Fill(kWhite);
    PaintMap(S, canvas, colourCountText);
    DrawTrack(S, canvas, a, b);
}

namespace {

// The same canvas with every pixel moved by (dx, dy): a track drawn on it
// lands beside the track drawn on the canvas itself.
class TShiftedCanvas : public TCanvas {
public:
    TShiftedCanvas(TCanvas& canvas, int dx, int dy) : canvas_(canvas), dx_(dx), dy_(dy) {
        PenColour = canvas.PenColour;
        BrushColour = canvas.BrushColour;
        InvertingPen = canvas.InvertingPen;
    }
    int Width() const override { return canvas_.Width() - dx_; }
    int Height() const override { return canvas_.Height() - dy_; }
    int MapSide() const override { return canvas_.MapSide(); }
    TColour Pixel(int x, int y) const override {
        return canvas_.Inside(x + dx_, y + dy_) ? canvas_.Pixel(x + dx_, y + dy_) : kWhite;
    }
    void SetPixel(int x, int y, TColour c) override {
        if (canvas_.Inside(x + dx_, y + dy_)) canvas_.SetPixel(x + dx_, y + dy_, c);
    }
    void Fill(TColour c) override { canvas_.Fill(c); }

private:
    TCanvas& canvas_;
    int dx_, dy_;
};

} // namespace

TColour TrackColour(int k) { return kMethods[((k % kMethodCount) + kMethodCount) % kMethodCount].Colour; }

void DrawColouredTrack(TSession& S, TCanvas& canvas, int a, int b, Tdata& track, TColour colour,
                       bool bold) {
    DrawColouredTrack(S.View, canvas, a, b, track, colour, bold);
}

void DrawColouredTrack(const TViewRange& v, TCanvas& canvas, int a, int b, Tdata& track,
                       TColour colour, bool bold) {
    const TColour pen = canvas.PenColour;
    canvas.PenColour = kWhite;
    for (auto [dx, dy] : {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
        TShiftedCanvas halo(canvas, dx, dy);
        DrawTrack(track, v, halo, a, b);
    }
    canvas.PenColour = colour;
    DrawTrack(track, v, canvas, a, b);
    if (bold)
        for (auto [dx, dy] : {std::pair{1, 0}, std::pair{0, 1}}) {
            TShiftedCanvas beside(canvas, dx, dy);
            DrawTrack(track, v, beside, a, b);
        }
    canvas.PenColour = pen;
}

TViewRange FirstView(const Vector& found, int a, int b) {
    return {std::trunc(found[a] - 5.1L), std::trunc(found[a] + 5.1L), std::trunc(found[b] - 5.1L),
            std::trunc(found[b] + 5.1L)};
}

} // namespace qirt
