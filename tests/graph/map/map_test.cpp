#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "../../func/recording_messages.h"
#include "func/conditions.h"
#include "func/function.h"
#include "graph/map/map.h"
#include "memory_canvas.h"
#include "methods/session.h"

namespace qirt {
namespace {

using testing::MemoryCanvas;

constexpr TColour kOrange{253, 165, 2}, kYellow{245, 252, 3}, kYellowGreen{128, 252, 3},
    kSkyBlue{5, 184, 228}, kMark{1, 0, 0};

// The bytes that hold a Real's value: an 80-bit extended real fills 10 of
// its 16; the rest is padding that stores need not write, so two equal
// values may differ there.
constexpr std::size_t kRealValueBytes = std::numeric_limits<Real>::digits == 64 ? 10 : sizeof(Real);

// Whether two reals are the same bit for bit (so -0 and +0 differ), and
// their bytes for the failure message.
::testing::AssertionResult SameBits(const Real& a, const Real& b) {
    if (std::memcmp(&a, &b, kRealValueBytes) == 0) return ::testing::AssertionSuccess();
    auto bytes = [](const Real& r) {
        std::string text;
        const auto* p = reinterpret_cast<const unsigned char*>(&r);
        for (std::size_t k = kRealValueBytes; k-- > 0;) {
            constexpr char kHex[] = "0123456789abcdef";
            text += kHex[p[k] >> 4];
            text += kHex[p[k] & 15];
        }
        return text;
    };
    return ::testing::AssertionFailure() << double(a) << " (" << bytes(a) << ") and " << double(b) << " ("
                                         << bytes(b) << ")";
}

// FNV-1a over every pixel's colour, row by row.
std::uint64_t PixelChecksum(const MemoryCanvas& c) {
    std::uint64_t h = 14695981039346656037ull;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            const TColour p = c.Pixel(x, y);
            for (int byte : {int(p.Red), int(p.Green), int(p.Blue)}) {
                h ^= static_cast<std::uint64_t>(byte);
                h *= 1099511628211ull;
            }
        }
    return h;
}

// A session with a built formula, the view -5 ... 5 on both axes.
struct MapSession {
    explicit MapSession(const char* formula) {
        S.Function.DifferentiationStep = 1e-5L;
        BuildTree(S.Function, formula);
        S.CurrentLastIndex = static_cast<Byte>(S.Function.VariableCount - 1);
        S.View = {-5, 5, -5, 5};
    }
    void Redraw(const char* colours = "16") { RedrawMap(S, canvas, 0, 1, colours); }
    TSession S;
    MemoryCanvas canvas;
};

TEST(LevelColour, TenColoursRepeatAndLevelZeroMarksTheBoundary) {
    EXPECT_EQ(LevelColour(0), kMark);
    EXPECT_EQ(LevelColour(1), kOrange);
    EXPECT_EQ(LevelColour(11), kOrange);
    EXPECT_EQ(LevelColour(10), (TColour{255, 0, 0}));
    EXPECT_EQ(LevelColour(16), kSkyBlue);
    EXPECT_EQ(LevelColour(-3), kBlack); // only a negative colour count gets there
}

TEST(ColourCount, RoundsTheTextOrTakesEighteen) {
    EXPECT_EQ(ColourCount("16"), 16);
    EXPECT_EQ(ColourCount(""), 18);
    EXPECT_EQ(ColourCount("many"), 18);
    EXPECT_EQ(ColourCount("2.5"), 2); // halves to the even neighbour
    EXPECT_EQ(ColourCount("3.5"), 4);
    EXPECT_EQ(ColourCount("-3"), -3);
    EXPECT_EQ(ColourCount("99999999999999999999"), 2147483647);
}

TEST(FirstView, WholePartsOfTheFoundCoordinatesMinusAndPlusFivePointOne) {
    const TViewRange v = FirstView(Vector{0, 3, -3.7L}, 1, 2);
    EXPECT_EQ(v.XMin, -2);
    EXPECT_EQ(v.XMax, 8);
    EXPECT_EQ(v.YMin, -8);
    EXPECT_EQ(v.YMax, 1);
    const TViewRange zero = FirstView(Vector{}, 0, 1);
    EXPECT_EQ(zero.XMin, -5);
    EXPECT_EQ(zero.YMax, 5);
}

TEST(SampleGrid, SamplesTheViewColumnByColumnWithOneExtraEvaluation) {
    MapSession m("x[0]^2+2*x[1]");
    const int before = m.S.Function.EvaluationCount;
    SampleGrid(m.S, 0, 1);
    EXPECT_EQ(m.S.Function.EvaluationCount - before, 251 * 251 + 1);
    const TMapSamples& s = MapSamples(m.S);
    // Column 0 is x[0] = -5, row 0 is x[1] = 5 (the top), row 250 the bottom.
    EXPECT_EQ(s.SampleValues[0][0], 25 + 10);
    EXPECT_EQ(s.SampleValues[0][250], 25 - 10);
    EXPECT_EQ(s.ValueMax, 35);
    EXPECT_NEAR(s.ValueMin, -10, 1e-15);
    EXPECT_TRUE(s.AnyDefined);
}

TEST(SampleGrid, VariablesOffTheAxesStayAtTheFoundPoint) {
    MapSession m("x[0]^2+x[1]^2+x[2]");
    m.S.FoundPoint[2] = 7;
    SampleGrid(m.S, 0, 1);
    EXPECT_NEAR(MapSamples(m.S).ValueMin, 7, 1e-15);
    // x[2] across and x[0] up: the found x[1] is held.
    MapSession n("x[0]^2+x[1]^2+x[2]");
    n.S.FoundPoint[1] = 3;
    SampleGrid(n.S, 2, 0);
    EXPECT_NEAR(MapSamples(n.S).ValueMin, 9 - 5, 1e-15);
}

TEST(PaintMap, SixteenColoursInRingsAroundTheMinimum) {
    MapSession m("x[0]^2+x[1]^2");
    m.Redraw("16");
    EXPECT_EQ(m.canvas.Pixel(250, 250), kOrange); // the centre sample, value ~0
    EXPECT_EQ(m.canvas.Pixel(0, 0), kSkyBlue);    // the corner, value 50: level 16
    EXPECT_EQ(m.canvas.Pixel(1, 1), kWhite);      // one dot every second pixel
    EXPECT_EQ(m.canvas.Pixel(251, 250), kWhite);
    EXPECT_EQ(m.canvas.Count(kWhite), 500 * 500 - 250 * 250); // index 250 falls off the image
    // Along the middle row the level grows outwards, never skipping back.
    int previous = 1;
    for (int i = 125; i < 250; ++i) {
        const int level = MapSamples(m.S).SampleLevels[i][125];
        EXPECT_GE(level, previous);
        previous = level;
    }
}

TEST(PaintMap, ThreeColoursSplitTheRangeInQuarters) {
    MapSession m("x[0]"); // values -5 ... 5 from left to right
    m.S.CurrentLastIndex = 1;
    m.Redraw("3");
    EXPECT_EQ(m.canvas.Pixel(0, 100), kOrange);       // x = -5
    EXPECT_EQ(m.canvas.Pixel(120, 100), kOrange);     // x = -2.6: lowest quarter
    EXPECT_EQ(m.canvas.Pixel(130, 100), kYellow);     // x = -2.4
    EXPECT_EQ(m.canvas.Pixel(370, 100), kYellow);     // x = 2.4
    EXPECT_EQ(m.canvas.Pixel(380, 100), kYellowGreen); // x = 2.6
    // Not a number, or empty: eighteen colours.
    m.Redraw("lots");
    EXPECT_EQ(MapSamples(m.S).SampleLevels[249][0], 18);
}

TEST(PaintMap, LevelsAreTheRoundedQuotientHalvesToEven) {
    MapSession m("x[0]");
    m.S.CurrentLastIndex = 1;
    m.S.View = {-125, 125, -5, 5}; // one unit per sample column
    m.Redraw("126");                // a step of exactly 2: odd columns fall on halves
    const TMapSamples& s = MapSamples(m.S);
    for (int i = 0; i < 251; ++i) {
        const int half = i / 2, expected = (i % 2 == 0 || half % 2 == 0 ? half : half + 1) + 1;
        ASSERT_EQ(s.SampleLevels[i][7], expected) << i;
    }
    // Any function, any count: the same as dividing by the step.
    MapSession w("sin(x[0]*x[1])+x[0]/3");
    for (const char* count : {"37", "7", "1000", "16"}) {
        w.Redraw(count);
        const TMapSamples& t = MapSamples(w.S);
        const Real step = (t.ValueMax - t.ValueMin) / (ColourCount(count) - 1);
        for (int i = 0; i < 251; ++i)
            for (int j = 0; j < 251; ++j)
                ASSERT_EQ(t.SampleLevels[i][j],
                          std::nearbyint((t.SampleValues[i][j] - t.ValueMin) / step) + 1)
                    << count << " " << i << "," << j;
    }
}

TEST(PaintMap, FlatMapsAndOneColourGetLevelOne) {
    MapSession flat("x[2]");
    flat.S.CurrentLastIndex = 2;
    flat.Redraw("16");
    EXPECT_EQ(flat.canvas.Count(kOrange), 250 * 250);
    MapSession one("x[0]^2+x[1]^2");
    one.Redraw("1");
    EXPECT_EQ(one.canvas.Count(kOrange), 250 * 250);
}

TEST(PaintMap, UndefinedSamplesStayWhiteAndDoNotSpoilTheRest) {
    MapSession m("ln(x[0])");
    m.S.CurrentLastIndex = 1;
    m.Redraw("16");
    const TMapSamples& s = MapSamples(m.S);
    EXPECT_FALSE(s.SampleDefined[0][0]);
    EXPECT_TRUE(s.SampleDefined[200][0]);
    EXPECT_EQ(m.canvas.Pixel(100, 100), kWhite); // x = -3
    EXPECT_NE(m.canvas.Pixel(498, 100), kWhite);
    EXPECT_NEAR(s.ValueMax, std::log(5.0L), 1e-15); // column 250, off the image
    EXPECT_EQ(s.SampleLevels[250][100], 16);
    EXPECT_NEAR(s.ValueMin, std::log(0.04L), 1e-15);
    EXPECT_EQ(m.S.Function.ErrorCode, 0);

    MapSession nowhere("ln(x[0]-100)");
    nowhere.S.CurrentLastIndex = 1;
    nowhere.Redraw("16");
    EXPECT_FALSE(MapSamples(nowhere.S).AnyDefined);
    EXPECT_EQ(nowhere.canvas.Count(kWhite), 500 * 500);
}

TEST(PaintMap, SamplesNearARegionBoundaryAreMarked) {
    for (bool extended : {false, true}) {
        MapSession m("x[0]^2+x[1]^2");
        m.S.Conditions.AddCondition("x[0]<=1", "100", "2", kExteriorKind);
        ASSERT_EQ(m.S.Conditions.Size, 1);
        m.S.Function.ExtendedPlot = extended;
        m.Redraw("16");
        // x[0] = 1 is column 150, pixel 300.
        EXPECT_EQ(m.canvas.Pixel(300, 100), kMark) << extended;
        EXPECT_NE(m.canvas.Pixel(320, 100), kMark) << extended;
        EXPECT_TRUE(m.S.Conditions.PenaltyEnabled); // back on for the methods
        // With the penalty the values right of the boundary are much larger.
        EXPECT_EQ(MapSamples(m.S).ValueMax > 1000, extended);
    }
}

// A pixel of the view -5 ... 5: x in -5 ... 5 maps to 0 ... 500.
int PixelX(Real x) { return static_cast<int>(std::nearbyint((x + 5) * 50 + 0.5L)); }
int PixelY(Real y) { return static_cast<int>(std::nearbyint(500.5L - (y + 5) * 50)); }

// The 6 x 6 disc around (x, y): a square without its four corners.
bool DiscAt(const MemoryCanvas& c, int x, int y, TColour colour = kBlack) {
    for (int dy = -3; dy < 3; ++dy)
        for (int dx = -3; dx < 3; ++dx) {
            const bool corner = (dx == -3 || dx == 2) && (dy == -3 || dy == 2);
            if ((c.Pixel(x + dx, y + dy) == colour) == corner) return false;
        }
    return true;
}

struct TrackSession {
    explicit TrackSession(int points, Real spacing) : track(new Tdata) {
        S.View = {-5, 5, -5, 5};
        for (int k = 0; k < points; ++k)
            AddTrackPoint(*track, Vector{k * spacing - 4, k * spacing - 4}, 1, 0);
        S.Track = track.get();
    }
    TSession S;
    std::unique_ptr<Tdata> track;
    MemoryCanvas c;
};

TEST(DrawTrack, ShortTrackShowsEveryPointJoinedByLines) {
    TrackSession t(10, 0.4L);
    DrawTrack(t.S, t.c, 0, 1);
    for (int k = 0; k < 10; ++k)
        EXPECT_TRUE(DiscAt(t.c, PixelX(-4 + 0.4L * k), PixelY(-4 + 0.4L * k))) << k;
    EXPECT_EQ(t.c.Pixel(PixelX(-3.8L), PixelY(-3.8L)), kBlack); // between points 0 and 1
    EXPECT_EQ(t.track->BatchState, 10);
}

TEST(DrawTrack, LongerTracksShowOnlyTheStartDisc) {
    TrackSession t(30, 0.2L);
    DrawTrack(t.S, t.c, 0, 1);
    EXPECT_TRUE(DiscAt(t.c, PixelX(-4), PixelY(-4)));
    EXPECT_FALSE(DiscAt(t.c, PixelX(-4 + 0.2L * 15), PixelY(-4 + 0.2L * 15)));
    EXPECT_EQ(t.c.Pixel(PixelX(-4 + 0.2L * 15), PixelY(-4 + 0.2L * 15)), kBlack); // on the line
    // 450 points in three batches: every point on the line, the redraw starts over.
    TrackSession long_(450, 0.015L);
    DrawTrack(long_.S, long_.c, 0, 1);
    EXPECT_EQ(long_.track->BatchState, 0);
    for (int k : {0, 199, 200, 398, 400, 448})
        EXPECT_EQ(long_.c.Pixel(PixelX(-4 + 0.015L * k), PixelY(-4 + 0.015L * k)), kBlack) << k;
}

TEST(DrawTrack, EmptyTrackPutsItsMarkersInTheCorner) {
    TrackSession t(0, 0);
    DrawTrack(t.S, t.c, 0, 1);
    EXPECT_EQ(t.c.Pixel(0, 0), kBlack);
    EXPECT_EQ(t.c.Pixel(1, 2), kBlack);
    EXPECT_EQ(t.c.Pixel(2, 2), kWhite); // the corner of the disc's box
    EXPECT_EQ(t.c.Pixel(0, 3), kBlack); // the end cross reaches three pixels out
    EXPECT_EQ(t.c.Pixel(3, 0), kBlack);
    EXPECT_EQ(t.c.Pixel(0, 4), kWhite);
}

TEST(DrawTrack, EmptyViewDrawsNothing) {
    TrackSession t(10, 0.4L);
    t.S.View = {1, 1, -5, 5};
    DrawTrack(t.S, t.c, 0, 1);
    EXPECT_EQ(t.c.Count(kWhite), 500 * 500);
}

// A line between points far outside the image (a track point far out of
// view is a pixel a billion away) is cut first: it draws only what lies on
// the image, at once, and its arithmetic cannot overflow.
TEST(Canvas, FarLinesAreCutToTheImage) {
    MemoryCanvas c;
    DrawLine(c, -1'000'000'000, -1'000'000'000, 1'000'000'000, 1'000'000'000);
    for (int k = 0; k < 500; ++k) EXPECT_EQ(c.Pixel(k, k), kBlack) << k;
    EXPECT_EQ(c.Count(kBlack), 500);
    MemoryCanvas d;
    DrawLine(d, -2'000'000'000, 250, 2'000'000'000, 250);
    EXPECT_EQ(d.Count(kBlack), 500);
    MemoryCanvas e; // wholly outside: nothing
    DrawLine(e, -2'000'000'000, -5, 2'000'000'000, -7);
    EXPECT_EQ(e.Count(kBlack), 0);
    DrawRectangle(e, -2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000);
    DrawEllipse(e, -2'000'000'000, -2'000'000'000, 2'000'000'000, 2'000'000'000);
}

TEST(Canvas, LinesLeaveTheirEndPixelAndTheInvertingPenUndoesItself) {
    MemoryCanvas c;
    DrawLine(c, 10, 10, 20, 10);
    EXPECT_EQ(c.Pixel(19, 10), kBlack);
    EXPECT_EQ(c.Pixel(20, 10), kWhite);
    EXPECT_EQ(c.Pixel(10, 10), kBlack);

    MapSession m("x[0]^2+x[1]^2");
    m.Redraw("16");
    const MemoryCanvas before = m.canvas;
    m.canvas.InvertingPen = true;
    DrawRectangle(m.canvas, 300, 400, 100, 50); // any direction
    EXPECT_FALSE(m.canvas == before);
    EXPECT_EQ(m.canvas.Pixel(200, 200), before.Pixel(200, 200)); // the inside is kept
    DrawRectangle(m.canvas, 300, 400, 100, 50);
    EXPECT_TRUE(m.canvas == before);
    // The pen keeps inverting: a line over an orange dot shows its inverse.
    DrawLine(m.canvas, 250, 250, 260, 250);
    EXPECT_EQ(m.canvas.Pixel(250, 250), (TColour{2, 90, 253}));
    EXPECT_EQ(m.canvas.Pixel(251, 250), kBlack); // white inverted
}

} // namespace
} // namespace qirt

namespace qirt {
namespace {

// The map sampled by several threads is the map one thread samples: the
// same values, marks, levels, pixels and evaluation count.
TEST(SampleGrid, EveryThreadCountGivesTheSameMap) {
    struct Case {
        const char* Formula;
        const char* Condition; // exterior, or none
        bool Extended;
    };
    const Case cases[] = {
        {"100*(x[1]-x[0]^2)^2+(1-x[0])^2", nullptr, false},
        {"ln(x[0])+sqrt(x[1])+x[2]", nullptr, false},              // undefined on three quarters
        {"x[0]^2+x[1]^2", "x[0]+x[1]<=1", true},                 // boundary marks
        {"(x[0]-3)^2+(x[1]-3)^2", "ln(x[0])<=1", true},          // a condition failing on a part
        {"-(x[0]^2)-(x[1]^2)", nullptr, false},                  // -0 and +0 ties at the centre
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Formula);
        std::vector<MemoryCanvas> canvases;
        std::vector<std::int64_t> counts;
        std::vector<int> messages;
        for (int threads : {1, 2, 3, 7}) {
            testing::RecordingMessages shown;
            MapSession m(c.Formula);
            m.S.Conditions.Messages = &shown;
            if (c.Condition) m.S.Conditions.AddCondition(c.Condition, "1", "2", kExteriorKind);
            m.S.Function.ExtendedPlot = c.Extended;
            m.S.CurrentLastIndex = 2;
            m.S.FoundPoint = Vector{0, 0, 0.5L};
            m.S.MapThreads = threads;
            m.Redraw("16");
            canvases.push_back(m.canvas);
            counts.push_back(m.S.Function.EvaluationCount);
            messages.push_back(int(shown.shown.size()));
            if (threads == 1) continue;
            // The sample arrays themselves, bit for bit, against one thread.
            MapSession one(c.Formula);
            if (c.Condition) one.S.Conditions.AddCondition(c.Condition, "1", "2", kExteriorKind);
            one.S.Function.ExtendedPlot = c.Extended;
            one.S.CurrentLastIndex = 2;
            one.S.FoundPoint = Vector{0, 0, 0.5L};
            one.S.MapThreads = 1;
            one.Redraw("16");
            const TMapSamples &p = MapSamples(m.S), &q = MapSamples(one.S);
            EXPECT_TRUE(SameBits(p.ValueMin, q.ValueMin));
            EXPECT_TRUE(SameBits(p.ValueMax, q.ValueMax));
            for (int i = 0; i < kGridSize; ++i)
                for (int j = 0; j < kGridSize; ++j) {
                    ASSERT_EQ(p.SampleDefined[i][j], q.SampleDefined[i][j]);
                    ASSERT_EQ(p.SampleNearBoundary[i][j], q.SampleNearBoundary[i][j]);
                    ASSERT_EQ(p.SampleLevels[i][j], q.SampleLevels[i][j]);
                    if (p.SampleDefined[i][j]) {
                        ASSERT_TRUE(SameBits(p.SampleValues[i][j], q.SampleValues[i][j])) << i << "," << j;
                    }
                }
        }
        for (std::size_t k = 1; k < canvases.size(); ++k) {
            EXPECT_TRUE(canvases[k] == canvases[0]) << "threads case " << k;
            EXPECT_EQ(counts[k], 251 * 251 + 1);
            EXPECT_EQ(messages[k], messages[0]);
        }
        EXPECT_EQ(counts[0], 251 * 251 + 1);
    }
}

// The map computed from a job's copies is the map the session's redraw
// paints, with the same evaluation count, and computing it reads and
// writes nothing of the session.
TEST(ComputeMap, GivesTheSessionRedrawAndLeavesTheSessionAlone) {
    struct Case {
        const char* Formula;
        const char* Condition; // exterior, or none
        bool Extended;
        TViewRange View;
        int A, B, Threads;
        const char* Colours;
    };
    const Case cases[] = {
        {"100*(x[1]-x[0]^2)^2+(1-x[0])^2", nullptr, false, {-2, 2, -1, 3}, 0, 1, 1, "16"},
        {"ln(x[0])+sqrt(x[1])+x[2]", nullptr, false, {-5, 5, -5, 5}, 0, 1, 3, "7"},
        {"x[0]^2+x[1]^2", "x[0]+x[1]<=1", true, {-5, 5, -5, 5}, 0, 1, 2, "16"},
        {"x[0]^2+x[1]^2", "x[0]+x[1]<=1", false, {-1, 4, -3, 2}, 0, 1, 0, "30"},
        {"(x[0]-3)^2+(x[1]-3)^2+x[2]^3", "ln(x[0])<=1", true, {0, 6, -1, 1}, 2, 0, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Formula);
        MapSession m(c.Formula);
        if (c.Condition) m.S.Conditions.AddCondition(c.Condition, "1", "2", kExteriorKind);
        m.S.Function.ExtendedPlot = c.Extended;
        m.S.CurrentLastIndex = 2;
        m.S.FoundPoint = Vector{0.5L, -0.25L, 0.75L};
        m.S.View = c.View;
        m.S.MapThreads = c.Threads;
        const std::int64_t count = m.S.Function.EvaluationCount;

        const std::unique_ptr<TMapJob> job = MakeMapJob(m.S, c.A, c.B, kGridSize, c.Colours);
        m.S.View = {100, 200, 100, 200}; // the session may change meanwhile
        TMapResult result;
        ASSERT_TRUE(ComputeMap(*job, result));
        EXPECT_EQ(result.Evaluations, 251 * 251 + 1);
        EXPECT_EQ(m.S.Function.EvaluationCount, count);
        EXPECT_TRUE(m.S.Conditions.PenaltyEnabled);
        EXPECT_EQ(m.S.MapSamplesStore, nullptr);
        MemoryCanvas pure;
        PaintSamples(*result.Samples, pure, c.Colours);

        m.S.View = c.View;
        RedrawMap(m.S, m.canvas, c.A, c.B, c.Colours);
        EXPECT_TRUE(pure == m.canvas);
        EXPECT_EQ(m.S.Function.EvaluationCount - count, 251 * 251 + 1);
        EXPECT_TRUE(m.S.Conditions.PenaltyEnabled);
        const TMapSamples &p = *result.Samples, &q = MapSamples(m.S);
        EXPECT_TRUE(SameBits(p.ValueMin, q.ValueMin));
        EXPECT_TRUE(SameBits(p.ValueMax, q.ValueMax));
        for (int i = 0; i < kGridSize; ++i)
            for (int j = 0; j < kGridSize; ++j) {
                ASSERT_EQ(p.SampleDefined[i][j], q.SampleDefined[i][j]);
                ASSERT_EQ(p.SampleNearBoundary[i][j], q.SampleNearBoundary[i][j]);
                ASSERT_EQ(p.SampleLevels[i][j], q.SampleLevels[i][j]);
            }
    }
}

// The pixels and evaluation counts the map has always given: a checksum of
// every pixel of a few maps, as the synchronous map before the job form
// painted them.
TEST(ComputeMap, PaintsThePixelsTheMapHasAlwaysPainted) {
    struct Case {
        const char* Formula;
        const char* Condition;
        bool Extended;
        TViewRange View;
        const char* Colours;
        std::uint64_t Checksum;
    };
    const Case cases[] = {
        {"100*(x[1]-x[0]^2)^2+(1-x[0])^2", nullptr, false, {-2, 2, -1, 3}, "16", 0xb3e06c3053e69df7ull},
        {"ln(x[0])+sqrt(x[1])+x[2]", nullptr, false, {-5, 5, -5, 5}, "7", 0xacce8794bd94ee69ull},
        {"x[0]^2+x[1]^2", "x[0]+x[1]<=1", true, {-5, 5, -5, 5}, "16", 0x3c31fe69411bdbecull},
        {"x[0]^2+x[1]^2", "x[0]+x[1]<=1", false, {-1, 4, -3, 2}, "30", 0xe2a734c2528d0358ull},
        {"(x[0]-3)^2+(x[1]-3)^2", "ln(x[0])<=1", true, {0, 6, -1, 5}, "", 0x74318e54368205a7ull},
        {"sin(x[0]*x[1])+x[0]/3+x[2]", nullptr, false, {-3.5L, 1.25L, -0.5L, 4}, "37", 0x00a2847e54b564f3ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Formula);
        MapSession m(c.Formula);
        if (c.Condition) m.S.Conditions.AddCondition(c.Condition, "1", "2", kExteriorKind);
        m.S.Function.ExtendedPlot = c.Extended;
        m.S.CurrentLastIndex = 2;
        m.S.FoundPoint = Vector{0.5L, -0.25L, 0.75L};
        m.S.View = c.View;
        const std::unique_ptr<TMapJob> job = MakeMapJob(m.S, 0, 1, kGridSize, c.Colours);
        TMapResult result;
        ASSERT_TRUE(ComputeMap(*job, result));
        EXPECT_EQ(result.Evaluations, 251 * 251 + 1);
        MemoryCanvas canvas;
        PaintSamples(*result.Samples, canvas, c.Colours);
        EXPECT_EQ(PixelChecksum(canvas), c.Checksum);
    }
}

TEST(ComputeMap, StopsBetweenColumnsWhenCancelled) {
    MapSession m("x[0]^2+x[1]^2");
    for (int threads : {1, 3}) {
        m.S.MapThreads = threads;
        const std::unique_ptr<TMapJob> job = MakeMapJob(m.S, 0, 1, kGridSize, "16");
        std::atomic<bool> cancel{true};
        TMapResult result;
        EXPECT_FALSE(ComputeMap(*job, result, &cancel));
        EXPECT_LT(result.Evaluations, 251 * 251 + 1);
        cancel = false;
        EXPECT_TRUE(ComputeMap(*job, result, &cancel));
        EXPECT_EQ(result.Evaluations, 251 * 251 + 1);
    }
    // Cancelled while it runs: a costly formula, the flag set from outside.
    std::string formula = "x[0]";
    for (int k = 0; k < 100; ++k) formula += "+sin(x[1]*" + std::to_string(k) + ")";
    MapSession slow(formula.c_str());
    slow.S.MapThreads = 2;
    const std::unique_ptr<TMapJob> job = MakeMapJob(slow.S, 0, 1, kGridSize, "16");
    std::atomic<bool> cancel{false};
    TMapResult result;
    bool finished = true;
    std::thread worker([&] { finished = ComputeMap(*job, result, &cancel); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    cancel = true;
    worker.join();
    EXPECT_FALSE(finished);
    EXPECT_LT(result.Evaluations, 251 * 251 + 1);
}

} // namespace
} // namespace qirt

namespace qirt {
namespace {

TEST(DrawColouredTrack, EachMethodHasItsColourOnAWhiteHalo) {
    for (int k = 0; k < 11; ++k)
        for (int j = 0; j < k; ++j) EXPECT_NE(TrackColour(k), TrackColour(j));
    for (int k = 0; k < 11; ++k) {
        EXPECT_NE(TrackColour(k), kBlack); // black is the single run's
        for (std::int32_t level = 0; level < 10; ++level) EXPECT_NE(TrackColour(k), LevelColour(level));
    }
    MapSession m("x[0]^2+x[1]^2");
    m.Redraw("16");
    Tdata track;
    AddTrackPoint(track, Vector{-4, 0}, 1, 0);
    AddTrackPoint(track, Vector{4, 0}, 1, 0);
    const MemoryCanvas map = m.canvas;
    DrawColouredTrack(m.S, m.canvas, 0, 1, track, TrackColour(3));
    // The line y = 0 is row 250: coloured, with white rows above and below.
    EXPECT_EQ(m.canvas.Pixel(200, 250), TrackColour(3));
    EXPECT_EQ(m.canvas.Pixel(200, 249), kWhite);
    EXPECT_EQ(m.canvas.Pixel(200, 251), kWhite);
    EXPECT_EQ(m.S.Track, nullptr); // the session's own track is left alone
    // The form without the session draws the same over the same view.
    MemoryCanvas again = map;
    DrawColouredTrack(m.S.View, again, 0, 1, track, TrackColour(3));
    EXPECT_TRUE(again == m.canvas);
    // So does the plain track: the session form is the track form over S.View.
    TrackSession t(10, 0.4L);
    DrawTrack(t.S, t.c, 0, 1);
    MemoryCanvas plain;
    DrawTrack(*t.track, t.S.View, plain, 0, 1);
    EXPECT_TRUE(plain == t.c);
}

} // namespace
} // namespace qirt
