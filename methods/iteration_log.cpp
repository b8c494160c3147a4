#include "methods/iteration_log.h"

namespace qirt {

TIterationLog::TIterationLog(int dimension) : dimension_(dimension) {
    // The whole room at once: only what is written is ever touched, and the
    // numbers are never copied as the log grows.
    numbers_.reserve(kMostNumbers);
    trials_.reserve(kMostTrials);
}

void TIterationLog::PointRecorded() {
    // What was recorded before the first point stays with iteration 0.
    if (points_ > 0 || iterations_.empty()) iterations_.emplace_back();
    ++points_;
}

bool TIterationLog::Room(std::size_t numbers) {
    if (complete_ && numbers_.size() + numbers <= kMostNumbers && trials_.size() < kMostTrials) return true;
    complete_ = false;
    return false;
}

TIterationLog::TIteration& TIterationLog::Current() {
    if (iterations_.empty()) iterations_.emplace_back();
    return iterations_.back();
}

std::uint32_t TIterationLog::Keep(const Vector& v) {
    const auto offset = static_cast<std::uint32_t>(numbers_.size());
    numbers_.insert(numbers_.end(), v.begin(), v.begin() + dimension_);
    return offset;
}

Vector TIterationLog::Read(std::uint32_t offset) const {
    Vector v{};
    for (int i = 0; i < dimension_; ++i) v[i] = numbers_[offset + static_cast<std::uint32_t>(i)];
    return v;
}

void TIterationLog::Gradient(const Vector& g) {
    if (Room(static_cast<std::size_t>(dimension_))) Current().Gradient = Keep(g);
}

void TIterationLog::SearchBegins(const Vector& origin, const Vector& direction) {
    recordingSearch_ = Room(2 * static_cast<std::size_t>(dimension_));
    if (!recordingSearch_) return;
    TIteration& it = Current();
    const auto index = static_cast<std::uint32_t>(searches_.size());
    if (it.FirstSearch == kNone) it.FirstSearch = index;
    it.EndSearch = index + 1;
    const std::uint32_t o = Keep(origin);
    searches_.push_back({o, Keep(direction), static_cast<std::uint32_t>(trials_.size())});
}

void TIterationLog::Accepted(Real step) {
    if (!recordingSearch_ || searches_.empty()) return;
    searches_.back().Accepted = step;
    searches_.back().Taken = true;
}

void TIterationLog::Simplex(const Vector* vertices, int count) {
    if (!Room(static_cast<std::size_t>(count * dimension_))) return;
    TIteration& it = Current();
    it.Simplex = static_cast<std::uint32_t>(numbers_.size());
    it.SimplexCount = static_cast<std::uint32_t>(count);
    for (int k = 0; k < count; ++k) Keep(vertices[k]);
}

void TIterationLog::Axes(const Matrix& columns) {
    if (!Room(static_cast<std::size_t>(dimension_ * dimension_))) return;
    TIteration& it = Current();
    it.Axes = static_cast<std::uint32_t>(numbers_.size());
    for (int j = 0; j < dimension_; ++j) {
        Vector direction{};
        for (int r = 0; r < dimension_; ++r) direction[r] = columns[r][j];
        Keep(direction);
    }
}

TIterationView TIterationLog::Iteration(int k) const {
    TIterationView view;
    if (k < 0 || k >= Count()) return view;
    const TIteration& it = iterations_[static_cast<std::size_t>(k)];
    if (it.Gradient != kNone) {
        view.HasGradient = true;
        view.Gradient = Read(it.Gradient);
    }
    const auto step = static_cast<std::uint32_t>(dimension_);
    if (it.FirstSearch != kNone)
        for (std::uint32_t s = it.FirstSearch; s < it.EndSearch; ++s) {
            const TSearch& search = searches_[s];
            TSearchView one;
            one.Origin = Read(search.Origin);
            one.Direction = Read(search.Direction);
            const std::uint32_t end = s + 1 < searches_.size() ? searches_[s + 1].FirstTrial
                                                               : static_cast<std::uint32_t>(trials_.size());
            one.Trials.assign(trials_.begin() + search.FirstTrial, trials_.begin() + end);
            one.Accepted = search.Accepted;
            one.Taken = search.Taken;
            // A direction along one coordinate axis names it.
            int nonzero = 0;
            for (int i = 0; i < dimension_; ++i)
                if (one.Direction[i] != 0) {
                    ++nonzero;
                    one.Coordinate = i;
                }
            if (nonzero != 1) one.Coordinate = -1;
            view.Searches.push_back(std::move(one));
        }
    if (it.Simplex != kNone)
        for (std::uint32_t v = 0; v < it.SimplexCount; ++v) view.Simplex.push_back(Read(it.Simplex + v * step));
    if (it.Axes != kNone)
        for (std::uint32_t j = 0; j < step; ++j) view.Axes.push_back(Read(it.Axes + j * step));
    return view;
}

} // namespace qirt
