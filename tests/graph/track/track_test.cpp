#include <cmath>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "graph/track/track.h"

namespace qirt {
namespace {

// View [0, 500] x [0, 500]: point (x, y) maps to pixel (x, 500 - y) (+0.5 rounds to even).
const TViewRange kView{0, 500, 0, 500};

void AddPoints(Tdata& track, const std::vector<std::pair<Real, Real>>& points) {
    for (auto [x, y] : points) AddTrackPoint(track, Vector{x, y}, 1, 0);
}

Tdata* TrackInView(int n) {
    auto* track = new Tdata;
    for (int k = 0; k < n; ++k) AddTrackPoint(*track, Vector{Real(k), Real(k)}, 1, 0);
    return track;
}

// Pixel of the point (k, k): x + 0.5 and 500.5 - y, halves to the even neighbour.
TPixel At(int k) { return {int(std::nearbyint(k + 0.5L)), int(std::nearbyint(500.5L - k))}; }

TEST(FillTrackPixels, ShortTrackIsPaddedWithItsLastPoint) {
    std::unique_ptr<Tdata> track(TrackInView(10));
    TTrackPixels px;
    FillTrackPixels(*track, 0, 1, kView, px);
    for (int k = 0; k < 10; ++k) EXPECT_EQ(px[k], At(k)) << k;
    for (int k = 10; k < 200; ++k) EXPECT_EQ(px[k], At(9)) << k;
    EXPECT_EQ(track->BatchState, 10);
}

TEST(FillTrackPixels, LongTrackComesInJoinedBatches) {
    std::unique_ptr<Tdata> track(TrackInView(450));
    TTrackPixels px;
    std::vector<std::pair<TPixel, TPixel>> batches; // first and last entry of each polyline
    do {
        FillTrackPixels(*track, 0, 1, kView, px);
        batches.push_back({px[0], px[199]});
    } while (track->BatchState >= 199);
    EXPECT_EQ(batches, (std::vector<std::pair<TPixel, TPixel>>{
                           {At(0), At(199)}, {At(199), At(398)}, {At(398), At(449)}}));
    EXPECT_EQ(track->BatchState, 0);
    // A new drawing starts again at the head.
    FillTrackPixels(*track, 0, 1, kView, px);
    EXPECT_EQ(px[0], At(0));
}

TEST(FillTrackPixels, ExactlyTwoHundredPoints) {
    std::unique_ptr<Tdata> track(TrackInView(200));
    TTrackPixels px;
    FillTrackPixels(*track, 0, 1, kView, px);
    EXPECT_EQ(px[199], At(199));
    EXPECT_EQ(track->BatchState, 199);
    FillTrackPixels(*track, 0, 1, kView, px);
    EXPECT_EQ(px[0], At(199));
    EXPECT_EQ(px[199], At(199));
    EXPECT_EQ(track->BatchState, 1);
}

TEST(FillTrackPixels, EntryAndExitArePulledOntoTheBorder) {
    Tdata track;
    AddPoints(track, {{-100, 10}, {-50, 20}, {10, 30}, {20, 40}, {600, 50}, {30, 60}});
    TTrackPixels px;
    FillTrackPixels(track, 0, 1, kView, px);
    EXPECT_EQ(px[0], (TPixel{0, 480}));  // (-50, 20) clamped to x = 0
    EXPECT_EQ(px[1], (TPixel{10, 470}));
    EXPECT_EQ(px[2], (TPixel{20, 460}));
    EXPECT_EQ(px[3], (TPixel{500, 450})); // (600, 50) clamped to x = 500 (500.5 -> 500)
    EXPECT_EQ(px[199], (TPixel{500, 450})); // the point back in view is not drawn
    EXPECT_EQ(track.BatchState, 4);
}

TEST(FillTrackPixels, NothingVisible) {
    TTrackPixels px;
    px.fill({7, 7});
    Tdata empty;
    FillTrackPixels(empty, 0, 1, kView, px);
    for (const TPixel& p : px) EXPECT_EQ(p, (TPixel{0, 0}));

    Tdata outside;
    AddPoints(outside, {{-5, -5}, {-6, -6}});
    px.fill({7, 7});
    FillTrackPixels(outside, 0, 1, kView, px);
    for (const TPixel& p : px) EXPECT_EQ(p, (TPixel{0, 0}));

    std::unique_ptr<Tdata> track(TrackInView(5));
    FillTrackPixels(*track, 0, 1, TViewRange{1, 1, 0, 500}, px); // empty range
    EXPECT_EQ(track->BatchState, 0);
}

TEST(FillTrackPixels, HalvesRoundToEven) {
    Tdata track;
    AddPoints(track, {{2, 0}, {3, 0}});
    TTrackPixels px;
    FillTrackPixels(track, 0, 1, kView, px); // 2 + 0.5 -> 2, 3 + 0.5 -> 4, 500.5 -> 500
    EXPECT_EQ(px[0], (TPixel{2, 500}));
    EXPECT_EQ(px[1], (TPixel{4, 500}));
}

TEST(Track, AddAndClear) {
    Tdata track;
    AddTrackPoint(track, Vector{1, 2, 3}, 1, 9);
    AddTrackPoint(track, Vector{4, 5, 6}, 2, 8);
    EXPECT_EQ(track.Count, 2);
    EXPECT_EQ(track.Cursor, track.Head);
    EXPECT_EQ(track.Tail->X[2], 6);
    EXPECT_EQ(track.Head->PointValue, 9);
    ClearTrack(track);
    EXPECT_EQ(track.Head, nullptr);
    EXPECT_EQ(track.Count, 2); // kept until the next point
    AddTrackPoint(track, Vector{1}, 0, 0);
    EXPECT_EQ(track.Count, 1);
    EXPECT_EQ(track.Cursor, track.Head);
}

} // namespace
} // namespace qirt

namespace qirt {
namespace {

// Views whose pixels cannot be told apart, or whose scale overflows, are
// refused; everything an ordinary map shows is taken.
TEST(UsableView, RefusesWhatThePixelArithmeticCannotHold) {
    struct TCase {
        TViewRange View;
        bool Usable;
    };
    const TCase cases[] = {
        {{-5, 5, -5, 5}, true},
        {{1e300L, 2e300L, 0, 1}, true},
        {{0, 1e-4000L, 0, 1}, true},        // tiny, but 500 pixels scale finitely
        {{0, 1e-4930L, 0, 1}, false},       // 500 / width overflows
        {{1e6L, 1e6L + 1e-12L, 0, 1}, false}, // below 2^-50 of the ends
        {{1, 1, 0, 1}, false},
        {{2, 1, 0, 1}, false},
        {{0, HUGE_VALL, 0, 1}, false},
        {{-1e4932L, 1e4932L, 0, 1}, false}, // the width overflows
        {{0, 1, std::nanl(""), 1}, false},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(UsableView(c.View), c.Usable) << double(c.View.XMin) << " " << double(c.View.XMax);
}

} // namespace
} // namespace qirt
