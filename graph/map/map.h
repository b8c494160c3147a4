// The colour level map: the function sampled on a regular grid over the
// view range (the variables off the axes held at the found point), the
// samples quantised into colour levels, one pixel painted per sample, the
// samples near a region boundary marked, and the track drawn on top.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "func/conditions.h"
#include "func/function.h"
#include "graph/track/canvas.h"
#include "graph/track/map_transform.h"
#include "methods/region_report.h"

namespace qirt {

struct TSession;

inline constexpr int kGridSize = 251;    // samples along each axis of the 500 x 500 map
inline constexpr int kMaxGridSize = 1201; // of a map drawn larger, up to 2,400 pixels across
inline constexpr int kDefaultColourCount = 18; // when the colour count text is not a number

// One kind of value for every sample of a square grid, column after column:
// grid[i][j] is column i (left to right), row j (top to bottom).
template <class T>
class TSampleGrid {
public:
    void Resize(int size) {
        if (size == size_) return;
        data_ = std::make_unique<T[]>(static_cast<std::size_t>(size) * static_cast<std::size_t>(size));
        size_ = size;
    }
    T* operator[](int i) { return data_.get() + static_cast<std::size_t>(i) * static_cast<std::size_t>(size_); }
    const T* operator[](int i) const {
        return data_.get() + static_cast<std::size_t>(i) * static_cast<std::size_t>(size_);
    }

private:
    std::unique_ptr<T[]> data_;
    int size_ = 0;
};

// The program-wide sample arrays; sample [i][j] is column i (left to right)
// and row j (top to bottom).
struct TMapSamples {
    explicit TMapSamples(int gridSize = kGridSize) { Resize(gridSize); }
    // Room for a grid of gridSize x gridSize samples (what was there is
    // lost when the size changes).
    void Resize(int gridSize) {
        SampleValues.Resize(gridSize);
        SampleNearBoundary.Resize(gridSize);
        SampleLevels.Resize(gridSize);
        SampleDefined.Resize(gridSize);
        SampleOutside.Resize(gridSize);
        GridSize = gridSize;
    }

    int GridSize = 0;
    TSampleGrid<Real> SampleValues;
    TSampleGrid<Byte> SampleNearBoundary;
    TSampleGrid<std::int32_t> SampleLevels;
    // False where the function is undefined or its value is not finite;
    // such samples stay white and take no part in ValueMin and ValueMax.
    TSampleGrid<bool> SampleDefined;
    // Outside the region (some condition does not hold, or cannot be
    // evaluated); taken only for a shaded map.
    TSampleGrid<bool> SampleOutside;
    bool Shaded = false;
    Real ValueMin = 0, ValueMax = 0;
    bool AnyDefined = false;
};

// The tint of the samples outside the region, on the pixel between the
// level dots.
inline constexpr TColour kOutsideShade = {150, 150, 150};

// The program's sample arrays, kept in the session and made at the first
// call.
TMapSamples& MapSamples(TSession& S);

TColour LevelColour(std::int32_t level);

// Everything one map needs, copied out of the session when it is asked
// for: sampling it reads nothing else, so it may run on any thread while
// the session goes on changing.
struct TMapJob {
    TMapJob() = default;
    TMapJob(const TMapJob&) = delete;
    TMapJob& operator=(const TMapJob&) = delete;

    TFunction Function;  // a copy for evaluation; its region is Region
    uslov Region;        // the region's copy, penalties on only for an extended plot
    bool HasRegion = false;
    TViewRange View;
    Vector FoundPoint{};
    int LastIndex = 0;
    int A = 0, B = 1;    // the horizontal and the vertical variable
    int GridSize = kGridSize;
    std::string ColourCountText;
    int Threads = 0;     // 0: one per core
    bool ShadeOutside = false; // mark the samples outside the region
};

// What sampling a job gives: the samples, the evaluations taken (GridSize^2
// + 1) and whether a condition could not be evaluated somewhere.
struct TMapResult {
    std::shared_ptr<TMapSamples> Samples;
    std::int64_t Evaluations = 0;
    bool ErrorReported = false;
};

// The boundary tolerance of a map: the larger grid step.
Real MapBoundaryTolerance(const TViewRange& v, int gridSize);
// A job with copies of the session's function, region, view and found
// point; the session is only read.
std::unique_ptr<TMapJob> MakeMapJob(const TSession& S, int a, int b, int gridSize,
                                    std::string_view colourCountText);
// Samples the job's grid. Cancelled (the flag seen set between columns) it
// stops early and gives false; the result is then incomplete.
bool ComputeMap(const TMapJob& job, TMapResult& result, const std::atomic<bool>* cancel = nullptr);
// How the levels are painted: one dot per sample on white (the map as it
// always was), or every pixel filled with its sample's colour; and the
// boundaries between levels drawn as thin dark lines over either.
struct TMapLook {
    bool Filled = false;
    bool LevelLines = false;
    bool operator==(const TMapLook&) const = default;
};
inline constexpr TColour kLevelLineColour = {40, 40, 40};
// The level lines of painted samples (their levels set), cell pixels apart.
void DrawLevelLines(const TMapSamples& m, TCanvas& canvas, int cell);
// The samples along each axis of a map side pixels across: one every
// second pixel (251 for the 500 x 500 map), at most kMaxGridSize.
int MapGridSize(int side);

// Levels of the samples (written into them), one pixel per sample (or
// filled, with level lines, as the look asks), the samples spread over the
// canvas's map side.
void PaintSamples(TMapSamples& m, TCanvas& canvas, std::string_view colourCountText,
                  const TMapLook& look = {});
// A finished result taken into the session as a synchronous redraw leaves
// it: its samples become the session's, its evaluations are counted and a
// failing condition is reported once.
void TakeMapResult(TSession& S, TMapResult& result);

// Evaluates the function on the grid over S.View; a and b are the indices
// of the horizontal and the vertical variable. GridSize^2 + 1 evaluations.
void SampleGrid(TSession& S, int a, int b, int gridSize = kGridSize);
// The colour count a text gives: its value rounded, or 18 for a text that
// is not a number.
std::int32_t ColourCount(std::string_view text);
// A colour count the map takes: empty (the default), or a whole number of
// at least 1 ("2.5" and "0" are refused).
bool UsableColourCount(std::string_view text);
// Levels of the last sampling, and one pixel per sample.
void PaintMap(TSession& S, TCanvas& canvas, std::string_view colourCountText);
// The visible part of the current track with its markers (nothing when
// there is no track or the view range is empty in an axis).
void DrawTrack(TSession& S, TCanvas& canvas, int a, int b);
// The same for a given track over the view v (its batch state advances as
// it is drawn).
void DrawTrack(Tdata& track, const TViewRange& v, TCanvas& canvas, int a, int b);
// The colour of the k-th track of a comparison.
TColour TrackColour(int k);
// A track of a comparison in its colour, on a white halo.
// A bold track is drawn twice more, a pixel right and a pixel down.
void DrawColouredTrack(const TViewRange& v, TCanvas& canvas, int a, int b, Tdata& track,
                       TColour colour, bool bold = false);
void DrawColouredTrack(TSession& S, TCanvas& canvas, int a, int b, Tdata& track, TColour colour,
                       bool bold = false);
// White, samples, levels, track: the whole picture, sampled as the
// canvas's map side asks.
void RedrawMap(TSession& S, TCanvas& canvas, int a, int b, std::string_view colourCountText);

// The end points of a strategy's outer steps but the last (which the
// track's cross marks), each a small square in the canvas's pen colour.
void DrawOuterSteps(const TRegionReport& report, const TViewRange& v, TCanvas& canvas, int a, int b);

// The first view of a run over the variables a and b: the whole parts of
// their found coordinates minus and plus 5.1.
TViewRange FirstView(const Vector& found, int a, int b);

} // namespace qirt
