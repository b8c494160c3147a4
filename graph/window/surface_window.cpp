#include "graph/window/surface_window.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <utility>

#include <QFile>
#include <QFont>
#include <QLabel>
#include <QLinearGradient>
#include <QLocale>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QTextStream>
#include <QVBoxLayout>
#include <QtDataVisualization/Q3DCamera>
#include <QtDataVisualization/Q3DInputHandler>
#include <QtDataVisualization/Q3DScene>
#include <QtDataVisualization/Q3DSurface>
#include <QtDataVisualization/Q3DTheme>
#include <QtDataVisualization/QCustom3DItem>
#include <QtDataVisualization/QSurface3DSeries>
#include <QtDataVisualization/QSurfaceDataProxy>
#include <QtDataVisualization/QValue3DAxis>
#include <QtDataVisualization/QValue3DAxisFormatter>

#include "graph/image/image_canvas.h"
#include "graph/map/plot.h"
#include "graph/track/rounding.h"
#include "graph/widgets/texts.h"

namespace qirt {

namespace {

// At most this many points a side reach the graph (the 500-pixel map's
// grid as it is; a larger grid every second, third, ... sample).
constexpr int kMostPoints = 251;
// The graph's box: half its width and depth, and half its height, in the
// graph's scene units (the aspect ratios set below give these).
constexpr double kBoxHalfWidth = 2, kBoxHalfHeight = 1;
// The f axis may grow to this many times the samples' half range to take
// in the track; beyond it the track's line is cut.
constexpr double kTrackFLimit = 10;
// Sizes in scene units: the track's line and dots, and the mark.
constexpr double kLineRadius = 0.015, kDotRadius = 0.04, kMarkRadius = 0.08;
// Dots are drawn on a track of at most this many points in the view; the
// line of a longer one goes through every k-th point so that its mesh
// keeps within this many segments.
constexpr int kMostDots = 500;
constexpr int kMostSegments = 5000;
// The colours along the f axis are chosen at this many places (the graph
// draws its gradient at about this resolution itself).
constexpr int kGradientSteps = 1024;
const QColor kTrackColour(20, 20, 20);
const QColor kMarkColour(230, 0, 0);

// Ticks at round numbers of the function's own coordinate, and the
// function's numbers in the label of a clicked point.
class TTickFormatter : public QValue3DAxisFormatter {
public:
    explicit TTickFormatter(TGraphScale scale = {}) : scale_(scale) {}

protected:
    QValue3DAxisFormatter* createNewInstance() const override { return new TTickFormatter(scale_); }
    void populateCopy(QValue3DAxisFormatter& copy) const override {
        QValue3DAxisFormatter::populateCopy(copy);
        static_cast<TTickFormatter&>(copy).scale_ = scale_;
    }
    void recalculate() override {
        const double low = axis()->min(), high = axis()->max();
        gridPositions().clear();
        subGridPositions().clear();
        labelPositions().clear();
        labelStrings().clear();
        if (!(high > low)) return;
        for (Real t : NiceTicks(scale_.Value(low), scale_.Value(high), 6)) {
            const float at = static_cast<float>((scale_.Graph(t) - low) / (high - low));
            if (!(at >= 0 && at <= 1)) continue;
            gridPositions().append(at);
            labelPositions().append(at);
            labelStrings().append(GeneralNumberText(double(t)));
        }
    }
    // A clicked point's value, to the digits the graph's single precision
    // holds over the axis (a millionth of its half range): 0.224, not
    // 0.224000006914139.
    QString stringForValue(qreal value, const QString&) const override {
        const double v = double(scale_.Value(value));
        const double resolution = double(scale_.Half) * 1e-6;
        int digits = 15;
        if (v != 0 && resolution > 0 && std::isfinite(v))
            digits = std::clamp(int(std::ceil(std::log10(std::fabs(v) / resolution))), 1, 15);
        char text[64];
        const auto end =
            std::to_chars(text, text + sizeof text, v, std::chars_format::general, digits).ptr;
        QString s = QString::fromLatin1(text, end - text);
        s.replace(QLatin1Char('.'), QLocale().decimalPoint());
        return s;
    }

private:
    TGraphScale scale_;
};

// The scale that puts [low, high] onto [-1, 1]; a single value gets a range
// around it.
TGraphScale ScaleOf(Real low, Real high) {
    TGraphScale s;
    s.Mid = low / 2 + high / 2; // no overflow for the widest finite range
    s.Half = high / 2 - low / 2;
    if (!(s.Half > 0) || !std::isfinite(s.Half)) s.Half = s.Mid != 0 ? std::fabs(s.Mid) / 10 : 1;
    return s;
}

// The sample indices that reach the graph: every step-th and the last.
std::vector<int> KeptIndices(int gridSize) {
    const int step = std::max(1, (gridSize - 1 + kMostPoints - 2) / (kMostPoints - 1));
    std::vector<int> kept;
    for (int i = 0; i < gridSize - 1; i += step)
        kept.push_back(i);
    kept.push_back(gridSize - 1);
    return kept;
}

// A rectangle of drawable cells: vertex columns Column0 ... Column1 and
// rows Row0 ... Row1 of the thinned grid (at least two of each).
struct TPiece {
    int Column0, Column1, Row0, Row1;
};

// The drawable cells (ok[b * columns + a]: cell a of strip b) as
// rectangles: each strip's runs of cells, a run carried on down while the
// next strip has the very same run.
std::vector<TPiece> Pieces(const std::vector<char>& ok, int columns, int strips) {
    std::vector<TPiece> done, open;
    for (int b = 0; b <= strips; ++b) {
        std::vector<std::pair<int, int>> runs; // cells [first, last)
        for (int a = 0; b < strips && a < columns;) {
            if (!ok[static_cast<std::size_t>(b) * columns + a]) {
                ++a;
                continue;
            }
            const int first = a;
            while (a < columns && ok[static_cast<std::size_t>(b) * columns + a])
                ++a;
            runs.push_back({first, a});
        }
        std::vector<TPiece> next;
        for (const auto& [first, last] : runs) {
            auto same = std::find_if(open.begin(), open.end(), [&](const TPiece& p) {
                return p.Column0 == first && p.Column1 == last;
            });
            if (same != open.end()) {
                same->Row1 = b + 1;
                next.push_back(*same);
                open.erase(same);
            } else {
                next.push_back({first, last, b, b + 1});
            }
        }
        done.insert(done.end(), open.begin(), open.end());
        open = std::move(next);
    }
    return done;
}

// A Wavefront OBJ mesh as the graph reads it: triangles with a normal and
// a texture place at every vertex.
struct TMesh {
    std::vector<QVector3D> Vertices, Normals;
    std::vector<std::array<int, 3>> Triangles; // 0-based

    int Add(const QVector3D& v, const QVector3D& n) {
        Vertices.push_back(v);
        Normals.push_back(n.normalized());
        return static_cast<int>(Vertices.size()) - 1;
    }
    bool Write(const QString& fileName) const {
        QFile file(fileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
        QTextStream out(&file);
        out.setRealNumberPrecision(7);
        for (const QVector3D& v : Vertices)
            out << "v " << v.x() << ' ' << v.y() << ' ' << v.z() << '\n';
        out << "vt 0.5 0.5\n";
        for (const QVector3D& n : Normals)
            out << "vn " << n.x() << ' ' << n.y() << ' ' << n.z() << '\n';
        for (const auto& t : Triangles) {
            out << 'f';
            for (int k : t)
                out << ' ' << k + 1 << "/1/" << k + 1;
            out << '\n';
        }
        out.flush();
        return file.error() == QFileDevice::NoError;
    }
};

// The graph's scene: where a point in the graph's coordinates is drawn,
// the f axis shown over [Low, High].
struct TScene {
    double Low = -1, High = 1;
    QVector3D Place(const QVector3D& g) const {
        return {float(g.x() * kBoxHalfWidth),
                float(((g.y() - Low) / (High - Low) * 2 - 1) * kBoxHalfHeight),
                float(g.z() * kBoxHalfWidth)};
    }
    // Scene units per graph unit along each axis.
    QVector3D Scale() const {
        return {float(kBoxHalfWidth), float(2 * kBoxHalfHeight / (High - Low)),
                float(kBoxHalfWidth)};
    }
};

// A ball of the radius around the centre, in scene units.
void AddBall(TMesh& mesh, const QVector3D& centre, double radius, int slices, int stacks) {
    const int first = static_cast<int>(mesh.Vertices.size());
    for (int s = 0; s <= stacks; ++s) {
        const double theta = M_PI * s / stacks;
        for (int k = 0; k <= slices; ++k) {
            const double phi = 2 * M_PI * k / slices;
            const QVector3D n(float(std::sin(theta) * std::cos(phi)), float(std::cos(theta)),
                              float(std::sin(theta) * std::sin(phi)));
            mesh.Add(centre + n * float(radius), n);
        }
    }
    for (int s = 0; s < stacks; ++s)
        for (int k = 0; k < slices; ++k) {
            const int a = first + s * (slices + 1) + k, b = a + slices + 1;
            // Counter-clockwise seen from outside.
            mesh.Triangles.push_back({a, a + 1, b});
            mesh.Triangles.push_back({a + 1, b + 1, b});
        }
}

// A six-sided tube of the radius from p to q, in scene units.
void AddTube(TMesh& mesh, const QVector3D& p, const QVector3D& q, double radius) {
    const QVector3D axis = q - p;
    if (axis.length() <= 0) return;
    const QVector3D d = axis.normalized();
    QVector3D u = QVector3D::crossProduct(d, std::fabs(d.y()) < 0.9f ? QVector3D(0, 1, 0)
                                                                     : QVector3D(1, 0, 0));
    u.normalize();
    const QVector3D w = QVector3D::crossProduct(d, u);
    constexpr int kSides = 6;
    const int first = static_cast<int>(mesh.Vertices.size());
    for (int k = 0; k < kSides; ++k) {
        const double phi = 2 * M_PI * k / kSides;
        const QVector3D n = u * float(std::cos(phi)) + w * float(std::sin(phi));
        mesh.Add(p + n * float(radius), n);
        mesh.Add(q + n * float(radius), n);
    }
    for (int k = 0; k < kSides; ++k) {
        const int a = first + 2 * k, b = first + 2 * ((k + 1) % kSides);
        mesh.Triangles.push_back({a, b, a + 1});
        mesh.Triangles.push_back({b, b + 1, a + 1});
    }
}

// The part of the segment p -> q within the box |x|, |z| <= 1,
// |y| <= yLimit (Liang and Barsky); false when none of it is.
bool ClipSegment(QVector3D& p, QVector3D& q, double yLimit) {
    double t0 = 0, t1 = 1;
    const QVector3D d = q - p;
    const double limits[3] = {1, yLimit, 1};
    for (int axis = 0; axis < 3; ++axis) {
        for (int side : {-1, 1}) {
            // Inside: side * (p + t d) <= limit.
            const double num = limits[axis] - side * p[axis], den = side * d[axis];
            if (den == 0) {
                if (num < 0) return false;
            } else if (den > 0) {
                t1 = std::min(t1, num / den);
            } else {
                t0 = std::max(t0, num / den);
            }
        }
    }
    if (t0 > t1) return false;
    const QVector3D start = p;
    p = start + d * float(t0);
    q = start + d * float(t1);
    return true;
}

bool Inside(const QVector3D& g, double yLimit) {
    return std::fabs(g.x()) <= 1 && std::fabs(g.z()) <= 1 && std::fabs(g.y()) <= yLimit;
}

QImage Swatch(const QColor& colour) {
    QImage image(2, 2, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

bool TSurfaceWindow::SurfaceAvailable(QString* why) {
    auto fail = [why](const QString& reason) {
        if (why) *why = reason;
        return false;
    };
    QOpenGLContext context;
    if (!context.create()) return fail(Tr("qirt", "не удаётся создать контекст OpenGL"));
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return fail(Tr("qirt", "контекст OpenGL не удаётся сделать текущим"));
    const QSurfaceFormat format = context.format();
    const bool recent = context.isOpenGLES() ? format.majorVersion() >= 2
                                             : format.version() >= std::make_pair(2, 1);
    context.doneCurrent();
    // The graph's shaders need OpenGL 2.1 or OpenGL ES 2.0.
    if (!recent)
        return fail(Tr("qirt", "версия OpenGL %1.%2 ниже нужной (2.1)")
                        .arg(format.majorVersion())
                        .arg(format.minorVersion()));
    if (why) why->clear();
    return true;
}

TSurfaceWindow::TSurfaceWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), colours_(new QLinearGradient) {
    setWindowTitle(Tr("qirt", "Поверхность"));
    auto* layout = new QVBoxLayout(this);
    QString why;
    if (!SurfaceAvailable(&why)) {
        message_ =
            new QLabel(Tr("qirt", "Трёхмерная поверхность недоступна: %1.\n"
                                  "Нужен OpenGL 2.1 или новее; карта уровней работает и без него.")
                           .arg(why),
                       this);
        message_->setWordWrap(true);
        message_->setAlignment(Qt::AlignCenter);
        layout->addWidget(message_);
        resize(480, 200);
        return;
    }
    graph_ = new Q3DSurface;
    graph_->setShadowQuality(QAbstract3DGraph::ShadowQualityNone);
    graph_->setAspectRatio(kBoxHalfWidth / kBoxHalfHeight);
    graph_->setHorizontalAspectRatio(1); // square, as the map is
    graph_->setSelectionMode(QAbstract3DGraph::SelectionItem);
    graph_->activeTheme()->setType(Q3DTheme::ThemeQt);
    graph_->activeTheme()->setBackgroundColor(QColor(245, 245, 245));
    graph_->activeTheme()->setWindowColor(Qt::white);
    // Light mostly from all round and little shine, so that the levels keep
    // the map's colours on every slope.
    graph_->activeTheme()->setAmbientLightStrength(0.6f);
    graph_->activeTheme()->setLightStrength(2.0f);
    graph_->activeTheme()->setHighlightLightStrength(3.0f);
    QFont font = graph_->activeTheme()->font();
    font.setPointSize(36); // the labels are scaled with the graph; this size reads well
    graph_->activeTheme()->setFont(font);
    // Seen from the front right and a little above: x runs to the right and
    // y away from the viewer, as on the map.
    graph_->scene()->activeCamera()->setCameraPosition(-45, 30);
    // Right button drag turns, the wheel zooms, a left click shows a point's
    // values.
    auto* input = qobject_cast<Q3DInputHandler*>(graph_->activeInputHandler());
    if (input) {
        input->setRotationEnabled(true);
        input->setZoomEnabled(true);
        input->setZoomAtTargetEnabled(true);
        input->setSelectionEnabled(true);
    }
    for (QValue3DAxis* axis : {graph_->axisX(), graph_->axisY(), graph_->axisZ()}) {
        axis->setTitleVisible(true);
        // Labels and titles turn towards the viewer, readable from any side.
        axis->setLabelAutoRotation(90);
        axis->setTitleFixed(false);
        axis->setRange(-1, 1);
    }
    graph_->axisY()->setTitle(QStringLiteral("f"));
    // The track and the mark: one item each for the window's life, hidden
    // while there is nothing to show. The mark is a ball of its own mesh,
    // sized in the graph's scene units.
    markMesh_ = meshes_.filePath(QStringLiteral("mark.obj"));
    TMesh ball;
    AddBall(ball, {}, 1, 16, 12);
    if (!meshes_.isValid() || !ball.Write(markMesh_)) markMesh_.clear(); // then no mark is shown
    trackItem_ = new QCustom3DItem;
    trackItem_->setMeshFile(markMesh_);
    trackItem_->setTextureImage(Swatch(kTrackColour));
    trackItem_->setScalingAbsolute(false);
    markItem_ = new QCustom3DItem;
    markItem_->setMeshFile(markMesh_);
    markItem_->setTextureImage(Swatch(kMarkColour));
    markItem_->setScalingAbsolute(true);
    markItem_->setScaling(QVector3D(1, 1, 1) * float(kMarkRadius));
    for (QCustom3DItem* item : {trackItem_, markItem_}) {
        item->setShadowCasting(false);
        item->setVisible(false);
        graph_->addCustomItem(item);
    }
    QWidget* container = QWidget::createWindowContainer(graph_, this);
    container->setMinimumSize(320, 240);
    container->setFocusPolicy(Qt::StrongFocus);
    layout->addWidget(container, 1);
    auto* hint = new QLabel(Tr("qirt", "Правая кнопка мыши — повернуть, колесо — приблизить, "
                                       "щелчок левой — значения в точке."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    resize(800, 640);
}

TSurfaceWindow::~TSurfaceWindow() = default;

const QLinearGradient& TSurfaceWindow::Colours() const {
    return *colours_;
}

QCustom3DItem* TSurfaceWindow::TrackItem() const {
    return trackItem_ && trackItem_->isVisible() ? trackItem_ : nullptr;
}

QCustom3DItem* TSurfaceWindow::MarkItem() const {
    return markItem_ && markItem_->isVisible() ? markItem_ : nullptr;
}

QVector3D TSurfaceWindow::ToGraph(double x, double y, double f) const {
    return {float(x_.Graph(x)), float(f_.Graph(f)), float(y_.Graph(y))};
}

std::array<double, 3> TSurfaceWindow::FromGraph(const QVector3D& p) const {
    return {double(x_.Value(p.x())), double(y_.Value(p.z())), double(f_.Value(p.y()))};
}

void TSurfaceWindow::SetSurface(const TMapSamples& m, const TViewRange& view,
                                std::string_view colourCountText, const QString& xName,
                                const QString& yName) {
    x_ = ScaleOf(view.XMin, view.XMax);
    y_ = ScaleOf(view.YMin, view.YMax);
    f_ = m.AnyDefined ? ScaleOf(m.ValueMin, m.ValueMax) : TGraphScale{};
    // The map's bands: (value - ValueMin) / step rounded, plus one.
    const std::int32_t k = ColourCount(colourCountText);
    valueMin_ = m.ValueMin;
    step_ = (m.ValueMax - m.ValueMin) / (Real(k) - 1);
    banded_ = m.AnyDefined && step_ != 0 && std::isfinite(step_);
    track_.clear();
    marked_ = -1;
    if (!graph_) return;

    trackItem_->setVisible(false);
    markItem_->setVisible(false);
    for (QSurface3DSeries* s : graph_->seriesList()) {
        graph_->removeSeries(s);
        delete s;
    }
    graph_->axisX()->setTitle(xName);
    graph_->axisZ()->setTitle(yName);
    graph_->axisX()->setFormatter(new TTickFormatter(x_));
    graph_->axisZ()->setFormatter(new TTickFormatter(y_));
    graph_->axisY()->setFormatter(new TTickFormatter(f_));
    SetValueAxis(-1, 1);

    const int n = m.GridSize;
    if (!m.AnyDefined || n < 2 || !UsableView(view)) return;
    // A sample the graph may take: defined and within the scale's range.
    auto usable = [&](int i, int j) {
        if (!m.SampleDefined[i][j]) return false;
        const double g = f_.Graph(m.SampleValues[i][j]);
        return std::isfinite(g) && std::fabs(g) <= 1.0001;
    };
    // Unusable samples counted over every rectangle [0, i) x [0, j).
    std::vector<std::int32_t> bad(static_cast<std::size_t>(n + 1) * (n + 1), 0);
    auto at = [&](int i, int j) -> std::int32_t& {
        return bad[static_cast<std::size_t>(i) * (n + 1) + j];
    };
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            at(i + 1, j + 1) = at(i, j + 1) + at(i + 1, j) - at(i, j) + !usable(i, j);
    auto badWithin = [&](int i0, int i1, int j0, int j1) { // samples i0 ... i1, j0 ... j1
        return at(i1 + 1, j1 + 1) - at(i0, j1 + 1) - at(i1 + 1, j0) + at(i0, j0);
    };

    // Graph column a is sample column kept[a]; graph row b (y rising) is
    // sample row n - 1 - kept[b].
    const std::vector<int> kept = KeptIndices(n);
    const int count = static_cast<int>(kept.size());
    const Real dx = (view.XMax - view.XMin) / (n - 1), dy = (view.YMax - view.YMin) / (n - 1);
    std::vector<char> ok(static_cast<std::size_t>(count - 1) * (count - 1));
    for (int b = 0; b + 1 < count; ++b)
        for (int a = 0; a + 1 < count; ++a)
            ok[static_cast<std::size_t>(b) * (count - 1) + a] =
                badWithin(kept[a], kept[a + 1], n - 1 - kept[b + 1], n - 1 - kept[b]) == 0;

    for (const TPiece& piece : Pieces(ok, count - 1, count - 1)) {
        auto* rows = new QSurfaceDataArray;
        rows->reserve(piece.Row1 - piece.Row0 + 1);
        for (int b = piece.Row0; b <= piece.Row1; ++b) {
            const int j = n - 1 - kept[b];
            const Real y = view.YMax - j * dy; // as the map sampled it
            auto* row = new QSurfaceDataRow(piece.Column1 - piece.Column0 + 1);
            for (int a = piece.Column0; a <= piece.Column1; ++a) {
                const int i = kept[a];
                const Real x = i * dx + view.XMin;
                (*row)[a - piece.Column0].setPosition(QVector3D(
                    float(x_.Graph(x)), float(f_.Graph(m.SampleValues[i][j])), float(y_.Graph(y))));
            }
            rows->append(row);
        }
        auto* series = new QSurface3DSeries;
        series->setDrawMode(QSurface3DSeries::DrawSurface);
        series->setFlatShadingEnabled(false);
        series->setColorStyle(Q3DTheme::ColorStyleRangeGradient);
        series->setBaseGradient(*colours_);
        series->setItemLabelFormat(
            QStringLiteral("@xTitle = @xLabel, @zTitle = @zLabel, f = @yLabel"));
        series->dataProxy()->resetArray(rows);
        graph_->addSeries(series);
    }
}

void TSurfaceWindow::SetValueAxis(double low, double high) {
    if (!graph_) return;
    graph_->axisY()->setRange(float(low), float(high));
    Recolour();
}

void TSurfaceWindow::Recolour() {
    const double low = graph_->axisY()->min(), high = graph_->axisY()->max();
    // The band of each of kGradientSteps places along the f axis, the
    // values beyond the samples' range in the nearest band's colour.
    const std::int32_t lastBand =
        banded_ ? RoundHalfEven((f_.Value(1) - f_.Value(-1)) / step_, 2'147'483'646) : 0;
    auto colourAt = [&](double position) {
        std::int32_t level = 1;
        if (banded_) {
            const Real value = f_.Value(low + (high - low) * position);
            level =
                std::clamp(RoundHalfEven((value - valueMin_) / step_, 2'147'483'646), 0, lastBand) +
                1;
        }
        const TColour c = LevelColour(level);
        return QColor(c.Red, c.Green, c.Blue);
    };
    QGradientStops stops;
    QColor current = colourAt(0.5 / kGradientSteps);
    stops.append({0.0, current});
    for (int t = 1; t < kGradientSteps; ++t) {
        const QColor next = colourAt((t + 0.5) / kGradientSteps);
        if (next == current) continue;
        // A sharp edge between the places.
        const double edge = double(t) / kGradientSteps;
        stops.append({edge - 1e-6, current});
        stops.append({edge, next});
        current = next;
    }
    stops.append({1.0, current});
    colours_->setStops(stops);
    for (QSurface3DSeries* s : graph_->seriesList())
        s->setBaseGradient(*colours_);
}

void TSurfaceWindow::SetTrack(std::vector<std::array<double, 3>> points) {
    track_ = std::move(points);
    ShowTrack();
    ShowMark();
}

void TSurfaceWindow::SetMarked(int index) {
    marked_ = index;
    ShowMark();
}

void TSurfaceWindow::ShowTrack() {
    if (!graph_) return;
    trackItem_->setVisible(false);
    // The line's pieces within the box, and the dots, in graph coordinates.
    std::vector<std::vector<QVector3D>> lines;
    std::vector<QVector3D> dots;
    auto graphPoint = [&](const std::array<double, 3>& p, QVector3D& g) {
        const double x = x_.Graph(p[0]), y = y_.Graph(p[1]), f = f_.Graph(p[2]);
        if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(f)) return false;
        // Far outside, kept finite in single precision: only the clipped
        // part is drawn.
        auto near = [](double v) { return float(std::clamp(v, -1e6, 1e6)); };
        g = QVector3D(near(x), near(f), near(y));
        return true;
    };
    const int total = static_cast<int>(track_.size());
    std::vector<QVector3D> places(static_cast<std::size_t>(total));
    std::vector<char> finite(static_cast<std::size_t>(total));
    for (int k = 0; k < total; ++k)
        finite[k] = graphPoint(track_[k], places[k]);
    // A long track's line goes through every stride-th point, the last, and
    // the points beside a break.
    const int stride = std::max(1, (total + kMostSegments - 1) / kMostSegments);
    int previous = -1; // the last point of the line so far; -1 after a break
    for (int k = 0; k < total; ++k) {
        if (!finite[k]) {
            previous = -1;
            continue;
        }
        const QVector3D& g = places[k];
        if (Inside(g, kTrackFLimit)) dots.push_back(g);
        const bool breakNext = k + 1 < total && !finite[k + 1];
        if (k % stride != 0 && k != total - 1 && !breakNext && previous >= 0) continue;
        if (previous >= 0) {
            QVector3D p = places[previous], q = g;
            if (ClipSegment(p, q, kTrackFLimit)) {
                if (lines.empty() || lines.back().back() != p) lines.push_back({p});
                lines.back().push_back(q);
            }
        }
        previous = k;
    }
    if (lines.empty() && dots.empty()) {
        SetValueAxis(-1, 1);
        return;
    }
    // The f axis takes in the line.
    double low = -1, high = 1;
    QVector3D lowest(1e30f, 1e30f, 1e30f), highest(-1e30f, -1e30f, -1e30f);
    auto extend = [&](const QVector3D& g) {
        low = std::min(low, double(g.y()));
        high = std::max(high, double(g.y()));
        for (int axis = 0; axis < 3; ++axis) {
            lowest[axis] = std::min(lowest[axis], g[axis]);
            highest[axis] = std::max(highest[axis], g[axis]);
        }
    };
    for (const auto& line : lines)
        for (const QVector3D& g : line)
            extend(g);
    for (const QVector3D& g : dots)
        extend(g);
    SetValueAxis(low, high);

    // The mesh, made in scene units (round tubes and balls whatever the
    // axes' ranges), then put into the item's own [-1, 1] box: the item
    // stands at the centre of the points' box and is scaled to its half
    // sizes in graph units.
    const TScene scene{low, high};
    TMesh mesh;
    for (const auto& line : lines)
        for (std::size_t s = 0; s + 1 < line.size(); ++s)
            AddTube(mesh, scene.Place(line[s]), scene.Place(line[s + 1]), kLineRadius);
    if (static_cast<int>(dots.size()) <= kMostDots)
        for (const QVector3D& g : dots)
            AddBall(mesh, scene.Place(g), kDotRadius, 8, 6);
    const QVector3D centre = (lowest + highest) / 2;
    const QVector3D sceneScale = scene.Scale();
    QVector3D half = (highest - lowest) / 2;
    // Room for the line's and the dots' thickness, so a flat track still
    // has a box.
    for (int axis = 0; axis < 3; ++axis)
        half[axis] += float(kDotRadius / sceneScale[axis]);
    // The graph lays its z axis out towards the viewer while an item's own
    // z stays as it is: the mesh is mirrored in z, its triangles turned
    // round to keep facing outwards.
    const QVector3D sceneCentre = scene.Place(centre);
    const QVector3D mirror(1, 1, -1);
    for (QVector3D& v : mesh.Vertices)
        v = (v - sceneCentre) / sceneScale / half * mirror;
    // Normals go to the item's box as the graph's scaling takes them back.
    for (QVector3D& nrm : mesh.Normals)
        nrm = (nrm * sceneScale * half * mirror).normalized();
    for (auto& t : mesh.Triangles)
        std::swap(t[1], t[2]);
    const QString file = meshes_.filePath(QStringLiteral("track-%1.obj").arg(++meshCount_));
    if (!meshes_.isValid() || !mesh.Write(file)) return;
    // The same item throughout, its mesh replaced: the graph keeps what it
    // has drawn of an item by the item's address.
    const QString before = trackItem_->meshFile();
    trackItem_->setMeshFile(file);
    if (before != markMesh_) QFile::remove(before);
    trackItem_->setPosition(centre);
    trackItem_->setScaling(half * 2); // the graph takes an item's whole size
    trackItem_->setVisible(true);
}

void TSurfaceWindow::ShowMark() {
    if (!graph_) return;
    markItem_->setVisible(false);
    if (markMesh_.isEmpty() || marked_ < 0 || marked_ >= static_cast<int>(track_.size())) return;
    const auto& p = track_[marked_];
    const QVector3D g = ToGraph(p[0], p[1], p[2]);
    if (!std::isfinite(g.x()) || !std::isfinite(g.y()) || !std::isfinite(g.z()) ||
        std::fabs(g.x()) > 1 || std::fabs(g.z()) > 1 || g.y() < graph_->axisY()->min() ||
        g.y() > graph_->axisY()->max())
        return;
    markItem_->setPosition(g);
    markItem_->setVisible(true);
}

bool TSurfaceWindow::SavePng(const QString& fileName) {
    if (!graph_) return false;
    QSize size = graph_->size() * graph_->devicePixelRatio();
    if (size.isEmpty()) size = QSize(800, 600);
    const QImage image = graph_->renderToImage(0, size);
    return !image.isNull() && SaveImage(image, "PNG", fileName);
}

} // namespace qirt
