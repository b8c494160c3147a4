#include "graph/track/track.h"

#include "func/ui_text.h"
#include "graph/track/map_transform.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

namespace qirt {

Tdata::~Tdata() { ClearTrack(*this); }

void AddTrackPoint(Tdata& track, const Vector& point, int lastIndex, Real value) {
    auto* node = new TrackPoint;
    for (int i = 0; i <= lastIndex && i < 10; ++i) node->X[i] = point[i];
    node->PointValue = value;
    if (!track.Head) {
        track.Count = 1;
        track.Head = track.Tail = track.Cursor = node;
    } else {
        ++track.Count;
        track.Tail->Next = node;
        track.Tail = node;
    }
}

void ClearTrack(Tdata& track) {
    for (TrackPoint* n = track.Head; n;) {
        TrackPoint* next = n->Next;
        delete n;
        n = next;
    }
    track.Head = track.Tail = nullptr;
    // Count, Cursor and BatchState stay; the next point starts them again.
    track.Cursor = nullptr;
}

bool TrackPointInView(const TrackPoint* node, int a, int b, const TViewRange& v) {
    return node && v.XMin <= node->X[a] && node->X[a] <= v.XMax && v.YMin <= node->X[b] &&
           node->X[b] <= v.YMax;
}

Real ClampToView(int axis, Real x, const TViewRange& v) {
    const Real low = axis == 1 ? v.XMin : v.YMin;
    const Real high = axis == 1 ? v.XMax : v.YMax;
    return x > high ? high : x < low ? low : x;
}

namespace {

// The pixels of track points on the axes a and b.
struct Mapping {
    const TViewRange& View;
    TMapTransform Transform;
    int A, B;
    TPixel Mapped(const TrackPoint* n) const { return Transform.Pixel(n->X[A], n->X[B]); }
    TPixel Clamped(const TrackPoint* n) const {
        return Transform.Pixel(ClampToView(1, n->X[A], View), ClampToView(2, n->X[B], View));
    }
};

} // namespace

bool UsableView(const TViewRange& v) {
    auto usable = [](Real low, Real high) {
        const Real width = high - low;
        const Real size = std::max(std::fabs(low), std::fabs(high));
        return std::isfinite(low) && std::isfinite(high) && low < high && std::isfinite(width) &&
               std::isfinite(500 / width) && width >= size * 0x1p-50L;
    };
    return usable(v.XMin, v.XMax) && usable(v.YMin, v.YMax);
}

void FillTrackPixels(Tdata& track, int a, int b, const TViewRange& view, TTrackPixels& pixels,
                     int side) {
    // An empty range has no mapping: nothing is drawn.
    if (!(view.XMax > view.XMin) || !(view.YMax > view.YMin)) {
        pixels.fill({0, 0});
        track.BatchState = 0;
        return;
    }
    const Mapping m{view, TMapTransform(view, side), a, b};
    auto in_view = [&](const TrackPoint* n) { return TrackPointInView(n, a, b, view); };

    if (track.BatchState < 199) track.Cursor = track.Head;
    int j = 0;
    TrackPoint*& c = track.Cursor;
    if (c && !in_view(c) && track.BatchState < 199) { // entry into the view
        while (c->Next && !in_view(c->Next)) c = c->Next;
        if (c->Next) pixels[j++] = m.Clamped(c);
        c = c->Next;
    }
    if (!c) {
        pixels.fill({0, 0});
        return;
    }
    while (c->Next && in_view(c->Next) && j <= 198) { // the visible stretch
        pixels[j++] = m.Mapped(c);
        c = c->Next;
    }
    pixels[j++] = m.Mapped(c);
    if (j <= 199 && c->Next) pixels[j++] = m.Clamped(c->Next); // exit from the view

    if (j == 200)
        track.BatchState += 199;
    else if (track.BatchState > 199)
        track.BatchState = 0;
    else
        track.BatchState = j;
    for (int k = j; k <= 199; ++k) pixels[k] = pixels[k - 1];
}

const char* WriteFailureText(int error) {
    struct TReason {
        int Error;
        const char* Text;
    };
    static constexpr TReason kReasons[] = {
        {EACCES, UI_TEXT("qirt", "нет прав на запись")},
        {EPERM, UI_TEXT("qirt", "нет прав на запись")},
        {EROFS, UI_TEXT("qirt", "диск только для чтения")},
        {ENOENT, UI_TEXT("qirt", "нет такой папки")},
        {ENOTDIR, UI_TEXT("qirt", "нет такой папки")},
        {EISDIR, UI_TEXT("qirt", "это папка")},
        {ENOSPC, UI_TEXT("qirt", "на диске нет места")},
        {EDQUOT, UI_TEXT("qirt", "на диске нет места")},
        {ENXIO, UI_TEXT("qirt", "канал никто не читает")},
        {ELOOP, UI_TEXT("qirt", "символические ссылки замкнуты в кольцо")},
    };
    for (const TReason& r : kReasons)
        if (r.Error == error) return r.Text;
    return nullptr;
}

} // namespace qirt
