// The surface window: f over the map's view as a 3-D surface in the map's
// level colours, with the track of iterates lifted onto it, turned and
// zoomed with the mouse (Qt Data Visualization's Q3DSurface). Where OpenGL
// cannot be had, the window says so in place of the surface.
//
// The graph works in its own coordinates: each of x, y and f is mapped
// linearly onto [-1, 1] (x and y over the view, f over the samples' values),
// so that a view far from zero or a range of f too wide or too narrow for
// single precision still draws; the axes' ticks and the values shown on a
// click are the function's own numbers.
//
// Holes: a grid cell is drawn only when every sample within it (thinned
// grid: every sample of the full grid that the cell covers) is defined. The
// drawn cells are split into rectangles, one surface series each, so no
// undefined or non-finite value is ever handed to the graph.
//
// Colours: a gradient along the f axis with sharp edges where the map's
// bands meet, each band in its level's colour, so that every height has the
// colour the map gives its value (the map's black boundary marks are not
// drawn). The samples are copied; the window keeps no reference to them.
#pragma once

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include <QString>
#include <QTemporaryDir>
#include <QVector3D>
#include <QWidget>

#include "graph/map/map.h"

QT_BEGIN_NAMESPACE
class Q3DSurface;
class QCustom3DItem;
class QLabel;
class QLinearGradient;
QT_END_NAMESPACE

namespace qirt {

// One coordinate's map onto the graph's [-1, 1]: Graph(v) = (v - Mid) / Half.
struct TGraphScale {
    Real Mid = 0, Half = 1;
    double Graph(Real v) const { return static_cast<double>((v - Mid) / Half); }
    Real Value(double g) const { return Mid + Real(g) * Half; }
};

class TSurfaceWindow : public QWidget {
public:
    // A top-level window of its own (not modal), deleted with its parent.
    explicit TSurfaceWindow(QWidget* parent = nullptr);
    ~TSurfaceWindow() override;

    // Whether an OpenGL context for the surface can be made here; if not,
    // why, in the language chosen.
    static bool SurfaceAvailable(QString* why = nullptr);

    // The surface of the samples over the view: coloured by the map's
    // levels for the colour count text, the axes titled with the two
    // variables' names and "f". A grid of more than 251 samples a side is
    // thinned to at most 251. The track and the mark are taken away.
    void SetSurface(const TMapSamples& m, const TViewRange& view, std::string_view colourCountText,
                    const QString& xName, const QString& yName);
    // The track of iterates, (x, y, f) a point: a line through the points
    // with a dot at each, over the view only; a point whose f is not finite
    // breaks the line. The f axis grows to take in the points' values.
    void SetTrack(std::vector<std::array<double, 3>> points);
    // The track point (an index into SetTrack's points) marked by a larger
    // red ball; -1, or a point outside the view, marks none.
    void SetMarked(int index);
    // The picture as shown, at the surface's size on the screen (800 x 600
    // when not shown), as PNG through SaveImage. False when the file cannot
    // be written or there is no surface.
    bool SavePng(const QString& fileName);

    // The graph; null when there is no OpenGL (Message() tells why).
    Q3DSurface* Graph() const { return graph_; }
    QLabel* Message() const { return message_; }
    // The graph's coordinates of a point of the function (x, y, f) and back;
    // the graph's axes: x is x, y is f, z is y.
    QVector3D ToGraph(double x, double y, double f) const;
    std::array<double, 3> FromGraph(const QVector3D& p) const;
    // The track's line and dots (a mesh of its own) and the mark; null when
    // not shown.
    QCustom3DItem* TrackItem() const;
    QCustom3DItem* MarkItem() const;
    // The colours of the surface along the f axis, from its lowest value (0)
    // to its highest (1).
    const QLinearGradient& Colours() const;

private:
    void ShowTrack();
    void ShowMark();
    void SetValueAxis(double low, double high);
    void Recolour();

    Q3DSurface* graph_ = nullptr;
    QLabel* message_ = nullptr;
    TGraphScale x_, y_, f_;
    // The map's banding: the lowest sample, the band step, and the count.
    Real valueMin_ = 0, step_ = 0;
    bool banded_ = false;
    std::unique_ptr<QLinearGradient> colours_;
    std::vector<std::array<double, 3>> track_;
    int marked_ = -1;
    QCustom3DItem* trackItem_ = nullptr;
    QCustom3DItem* markItem_ = nullptr;
    QTemporaryDir meshes_; // the track's and the mark's meshes, as the graph reads them
    QString markMesh_;
    int meshCount_ = 0;
};

} // namespace qirt
