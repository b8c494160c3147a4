// What a method used to choose each step, recorded as it runs: at every
// point of the track, the gradient there (where the method takes one), the
// one-dimensional searches it made from there (origin, direction, every
// trial step with its value, the step taken), and for the zero-order
// methods the simplex or the rotated axes. The log holds one iteration per
// track point: iteration k is what happened between point k and point k+1.
// Recording takes no evaluations of its own; the numbers are kept packed
// (only the coordinates that take part), so a long run stays cheap, and a
// run that would need more than about 64 MB for them keeps the details of
// its first iterations only (Complete() says so).
#pragma once

#include <cstdint>
#include <vector>

#include "func/types.h"

namespace qirt {

// A point a search evaluated: x + Step * s, and the value there (+infinity
// where the function is undefined or not finite). Kept in double precision,
// which is all a picture needs, at half the memory traffic of a long run.
struct TTrialPoint {
    double Step = 0;
    double Value = 0;
};

// One search, read back.
struct TSearchView {
    Vector Origin{}, Direction{};
    std::vector<TTrialPoint> Trials;
    Real Accepted = 0;  // the step taken along the direction
    bool Taken = false; // false: the search gave no step
    int Coordinate = -1; // the coordinate the direction runs along, -1 for none
};

// One iteration, read back.
struct TIterationView {
    bool HasGradient = false;
    Vector Gradient{};
    std::vector<TSearchView> Searches;
    std::vector<Vector> Simplex; // Nelder–Mead's vertices, best first
    std::vector<Vector> Axes;    // Rosenbrock's directions
};

class TIterationLog {
public:
    // Coordinates 0 ... dimension - 1 are kept.
    explicit TIterationLog(int dimension);

    // Recording. A new track point starts a new iteration; what comes before
    // the first point belongs to iteration 0.
    void PointRecorded();
    void Gradient(const Vector& g);
    void SearchBegins(const Vector& origin, const Vector& direction);
    // A point the current search evaluated.
    void Trial(Real step, Real value) {
        if (recordingSearch_) trials_.push_back({static_cast<double>(step), static_cast<double>(value)});
    }
    // The step taken along the current search's direction.
    void Accepted(Real step);
    // The vertices of a simplex, best first.
    void Simplex(const Vector* vertices, int count);
    // The directions of a rotated frame: column j of `columns` is direction j.
    void Axes(const Matrix& columns);

    int Dimension() const { return dimension_; }
    // False when details were left out to keep the log's size bounded.
    bool Complete() const { return complete_; }
    // Iterations recorded: one per track point.
    int Count() const { return static_cast<int>(iterations_.size()); }
    TIterationView Iteration(int k) const;
    // The trial points of every search, in the order they were evaluated.
    std::int64_t TrialCount() const { return static_cast<std::int64_t>(trials_.size()); }

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    struct TSearch {
        std::uint32_t Origin, Direction; // offsets into numbers_
        std::uint32_t FirstTrial;        // its trials run up to the next search's first
        Real Accepted = 0;
        bool Taken = false;
    };
    struct TIteration {
        std::uint32_t Gradient = kNone;
        std::uint32_t FirstSearch = kNone, EndSearch = 0;
        std::uint32_t Simplex = kNone, SimplexCount = 0;
        std::uint32_t Axes = kNone;
    };

    static constexpr std::size_t kMostNumbers = std::size_t(1) << 21; // 32 MB
    static constexpr std::size_t kMostTrials = std::size_t(1) << 20;  // 32 MB
    // Room for `numbers` more numbers and a trial; false (and the log
    // incomplete from here on) when there is none.
    bool Room(std::size_t numbers);
    TIteration& Current();
    std::uint32_t Keep(const Vector& v);
    Vector Read(std::uint32_t offset) const;

    int dimension_;
    bool complete_ = true;
    std::int64_t points_ = 0;
    std::vector<Real> numbers_;
    std::vector<TTrialPoint> trials_;
    std::vector<TSearch> searches_;
    std::vector<TIteration> iterations_;
    bool recordingSearch_ = false; // the current search is being kept
};

} // namespace qirt
