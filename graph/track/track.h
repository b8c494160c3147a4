// The track of iterates: the points a method visits, in order, and their
// cutting into 200-point polylines over the visible part of the map.
#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "func/types.h"

namespace qirt {

struct TrackPoint {
    TrackPoint* Next = nullptr;
    Vector X{};          // only 0 ... the last index given are written
    Real PointValue = 0; // stored with the point, neither drawn nor saved
};

inline constexpr int kMapPixels = 500; // the map's side as first drawn

// The rectangle of the two axis variables that the map shows.
struct TViewRange {
    Real XMin = 0, XMax = 0, YMin = 0, YMax = 0;
};

// One batch of the track in map pixels, ready to be drawn as a polyline.
struct TPixel {
    std::int32_t X = 0, Y = 0;
    bool operator==(const TPixel&) const = default;
};
using TTrackPixels = std::array<TPixel, 200>;

class Tdata {
public:
    Tdata() = default;
    ~Tdata();
    Tdata(const Tdata&) = delete;
    Tdata& operator=(const Tdata&) = delete;

    TrackPoint* Head = nullptr;
    TrackPoint* Cursor = nullptr; // read position of FillTrackPixels and SaveTrack
    TrackPoint* Tail = nullptr;
    std::int32_t Count = 0;
    // Grows by 199 after a full batch; otherwise the entries filled, or 0
    // after the last of several batches.
    std::int32_t BatchState = 0;
};

void AddTrackPoint(Tdata& track, const Vector& point, int lastIndex, Real value);
void ClearTrack(Tdata& track);

bool TrackPointInView(const TrackPoint* node, int a, int b, const TViewRange& view);
// A view the map can show: finite ends, each low end below its high one,
// 500 pixels across that scale finitely, and a width and height of at
// least 2^-50 of the ends' size, so that neighbouring pixels stand for
// different numbers. Anything else is refused ("Недопустимый диапазон").
bool UsableView(const TViewRange& view);
// axis 1: the horizontal range, any other: the vertical one.
Real ClampToView(int axis, Real v, const TViewRange& view);
// Fills the pixels with the next batch of the first visible stretch of the
// track; a and b are the indices of the variables on the two axes, and the
// map is side x side pixels.
void FillTrackPixels(Tdata& track, int a, int b, const TViewRange& view, TTrackPixels& pixels,
                     int side = kMapPixels);

} // namespace qirt

namespace qirt {

// Writes the track as text: the count line, then one line per point with
// the coordinates 0 ... variableCount - 1, each in the fixed 23-character
// form of TrackNumberText, lines ended by CR LF. False when the file cannot
// be created or written.
bool SaveTrack(Tdata& track, const std::string& fileName, int variableCount);
// The same text written to an open file.
bool WriteTrack(Tdata& track, std::FILE* file, int variableCount);

// Writes a file through `write`. The name's symbolic links are followed:
// the file they lead to is written, the links stay. A regular file (or a
// new one) is written beside itself and renamed over when every byte is
// out, so on any failure it is left as it was and nothing else stays
// behind; anything else that can be written (a device, a FIFO with a
// reader, a terminal) is written in place, every write checked. False for
// what cannot be written: a folder, a FIFO nobody reads, a loop of links;
// errno then says why (EISDIR, ENXIO, ELOOP, or what the system said).
// A write callback that fails without a system error leaves errno as it is.
bool WriteWholeFile(const std::string& fileName, const std::function<bool(std::FILE*)>& write);

// Why a file could not be written (errno after WriteWholeFile), as a text
// to show in the language chosen; nullptr for an error without one, which
// is then said in the system's words.
const char* WriteFailureText(int error);

// The 23 characters of one track number: a sign position (blank or "-"),
// the value rounded to 15 significant digits as d.ddddddddddddddE+dddd;
// "Nan", "+Inf" and "-Inf" right-aligned.
void TrackNumberText(Real v, char out[23]);

} // namespace qirt
