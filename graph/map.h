// The colour level map: the function sampled on a regular grid over the
// view range (the variables off the axes held at the found point), the
// samples quantised into colour levels, one pixel painted per sample, the
// samples near a region boundary marked, and the track drawn on top.
#pragma once

#include <cstdint>
#include <string_view>

#include "graph/canvas.h"

namespace qirt {

struct TSession;

inline constexpr int kMapPixels = 500;  // the map is 500 x 500 pixels
inline constexpr int kMaxGridSize = 501;
inline constexpr int kGridSize = 251;   // samples along each axis
inline constexpr int kDefaultColourCount = 18; // when the colour count text is not a number

// The program-wide sample arrays; sample [i][j] is column i (left to right)
// and row j (top to bottom).
struct TMapSamples {
    Real SampleValues[kMaxGridSize][kMaxGridSize];
    Byte SampleNearBoundary[kMaxGridSize][kMaxGridSize];
    std::int32_t SampleLevels[kMaxGridSize][kMaxGridSize];
    // False where the function is undefined or its value is not finite;
    // such samples stay white and take no part in ValueMin and ValueMax.
    bool SampleDefined[kMaxGridSize][kMaxGridSize];
    Real ValueMin = 0, ValueMax = 0;
    bool AnyDefined = false;
};

// The program's sample arrays, kept in the session and made at the first
// call.
TMapSamples& MapSamples(TSession& S);

TColour LevelColour(std::int32_t level);

// Evaluates the function on the grid over S.View; a and b are the indices
// of the horizontal and the vertical variable. GridSize^2 + 1 evaluations.
void SampleGrid(TSession& S, int a, int b, int gridSize = kGridSize);
// The colour count a text gives: its value rounded, or 18 for a text that
// is not a number.
std::int32_t ColourCount(std::string_view text);
// Levels of the last sampling, and one pixel per sample.
void PaintMap(TSession& S, TCanvas& canvas, std::string_view colourCountText,
              int gridSize = kGridSize);
// The visible part of the current track with its markers (nothing when
// there is no track or the view range is empty in an axis).
void DrawTrack(TSession& S, TCanvas& canvas, int a, int b);
// The colour of the k-th track of a comparison.
TColour TrackColour(int k);
// A track of a comparison in its colour, on a white halo (the run's own
// track, S.Track, is left as it is).
// A bold track is drawn twice more, a pixel right and a pixel down.
void DrawColouredTrack(TSession& S, TCanvas& canvas, int a, int b, Tdata& track, TColour colour,
                       bool bold = false);
// White, samples, levels, track: the whole picture.
void RedrawMap(TSession& S, TCanvas& canvas, int a, int b, std::string_view colourCountText,
               int gridSize = kGridSize);

// The first view of a run over the variables a and b: the whole parts of
// their found coordinates minus and plus 5.1.
TViewRange FirstView(const Vector& found, int a, int b);

} // namespace qirt
