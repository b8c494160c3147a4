// qirt-batch: one minimisation from the command line, run exactly as the
// start button of the main window runs it, with the result on standard
// output. For scripts, teaching material and reproducible results.
#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <QGuiApplication>

#include "func/messages.h"
#include "func/scan.h"
#include "graph/image/image_canvas.h"
#include "graph/map/map.h"
#include "graph/image/plot_picture.h"
#include "graph/map/basins_picture.h"
#include "graph/map/plot.h"
#include "graph/report/run_report.h"
#include "graph/track/track_values.h"
#include "graph/language/language.h"
#include "graph/task/task.h"
#include "methods/basins.h"
#include "methods/compare.h"
#include "methods/constrained.h"
#include "methods/run.h"

namespace {

using namespace qirt;

constexpr const char* kUsage =
    "usage: qirt-batch -f FORMULA [options]\n"
    "  -f TEXT                  the function of x[0] ... x[9]\n"
    "  -m NAME                  method: rosenbrock gauss nelder-mead fletcher-reeves\n"
    "                           pshenichny steepest-descent newton dfp fletcher broyden\n"
    "                           bfgs graph\n"
    "                           (default fletcher-reeves; graph runs no method)\n"
    "  -s TEXT                  start point, comma-separated (default 3,4,0,0,0,0,0,0,0,0)\n"
    "  --variable-accuracy TEXT accuracy in the variables (default 1e-7)\n"
    "  --value-accuracy TEXT    accuracy in the function value (default 1e-7)\n"
    "  --step TEXT              'symbolic' for symbolic derivatives (default), else the\n"
    "                           step of central differences\n"
    "  -c 'G;COEFFICIENT;POWER;KIND'\n"
    "                           a region condition, KIND 'внешняя' or 'внутреняя'\n"
    "                           ('exterior' or 'interior' with --lang en); repeatable\n"
    "  --region-strategy single|sequence|multipliers\n"
    "                           how the region is taken: one run on the penalised\n"
    "                           function (default), a sequence of penalty problems,\n"
    "                           or the method of multipliers\n"
    "  --track FILE             write the track of iterates (with --compare: one file\n"
    "                           per method, FILE-NAME.EXT, for example track-dfp.txt)\n"
    "  --map FILE               write the 500 x 500 map as the graph window first shows it\n"
    "                           (Windows bitmap)\n"
    "  --range XMIN,XMAX,YMIN,YMAX\n"
    "                           the view of the map (default: the found coordinates\n"
    "                           of the axis variables, whole parts, minus and plus 5.1)\n"
    "  --axes x[i],x[j]         the horizontal and vertical variable (default x[0],x[1])\n"
    "  --colours TEXT           number of colour levels (default 16)\n"
    "  --extended               the map with the region's penalty terms added\n"
    "  --shade                  the map shades what lies outside the region\n"
    "  --style dots|filled|lines|filled-lines\n"
    "                           the map's look: a dot per sample (default), every\n"
    "                           pixel filled, and level lines over either\n"
    "  --grid FILE              write the map's sampled grid as CSV (x,y,f)\n"
    "  --plot FILE.png|FILE.svg the map as a plot: title, ticks, colour bar, legend\n"
    "  --size W,H               the plot's size in pixels (default 1000,800)\n"
    "  --report FILE.html|FILE.pdf\n"
    "                           a report of the run or the comparison in the language\n"
    "                           of --lang: the task, the results, the map with the\n"
    "                           tracks, the convergence plot and the iteration tables\n"
    "                           (up to 200 rows, else the first and the last 100);\n"
    "                           HTML with the pictures inside, or PDF on A4 pages\n"
    "  --basins FILE.png        the basins of attraction, 500 x 500 pixels: the method\n"
    "                           run from the centre of every cell of a grid over the\n"
    "                           map's view (--range, --axes; the other variables at\n"
    "                           the start point's values), each cell in the colour of\n"
    "                           the minimum its run found, lighter for fewer\n"
    "                           iterations, greys and dark tones for runs that found\n"
    "                           none, the minima marked; prints a 'basins:' line and\n"
    "                           a 'basin K:' line per minimum and per other end\n"
    "  --basins-grid N          cells along each axis of the basins (default 50,\n"
    "                           20 ... 200)\n"
    "  --threads K              threads that run the basins' starts and sample the\n"
    "                           map (default one per core; the same result for any)\n"
    "  --compare all|NAME,NAME,...\n"
    "                           run several methods one after another on the same\n"
    "                           inputs; one line each, or JSON with --json; with --map\n"
    "                           every track in its colour on one map\n"
    "  --json                   the results as a JSON array of objects: method, point,\n"
    "                           point_text, minimum, minimum_text (the exact texts),\n"
    "                           gradient, iterations, evaluations,\n"
    "                           gradient_evaluations, hessian_evaluations, seconds, end;\n"
    "                           with --basins also basins: grid, range, axes, starts,\n"
    "                           seconds and groups (end, minimum, point,\n"
    "                           point_text, value, value_text, share, starts,\n"
    "                           median_iterations, colour)\n"
    "  --csv FILE               write the track as comma-separated values (with\n"
    "                           --compare: the results table)\n"
    "  --task FILE              run the task saved in FILE (a .qirt file of the program);\n"
    "                           the other options override its fields (-m runs that one\n"
    "                           method instead of the task's comparison, -c replaces its\n"
    "                           region)\n"
    "  --save-task FILE         write the task the other options describe to FILE and\n"
    "                           stop: nothing runs\n"
    "  --lang ru|en             the language of the messages on standard error\n"
    "                           (default ru, the program's own)\n"
    "  -h                       this text\n"
    "Prints 'point:', 'minimum:', 'gradient:' (the largest gradient component\n"
    "at the point), 'iterations:', 'evaluations:' and 'end:' lines; the end is\n"
    "converged, not-stationary, unbounded, runs-off, singular-hessian,\n"
    "iteration-limit, evaluation-limit (5,000,000 values of f), undefined-derivative,\n"
    "undefined-step or undefined-start.\n"
    "With a region: 'objective:' (f without the penalty terms), 'violation:' (the\n"
    "largest), 'active:' and 'violated:' (condition numbers from 1), 'region-end:'\n"
    "(penalised-minimum, region-minimum, not-stationary, outer-limit, inner-failed,\n"
    "infeasible-start, stopped); with a strategy also 'multipliers:' (conditions\n"
    "written c <= 0, L = f + sum lambda c), 'kkt:' and one 'outer K:' line per\n"
    "outer step. JSON has the same as objective, violation, active, violated,\n"
    "multipliers, kkt, region_end and outer.\n"
    "With --basins: 'basins: grid N; range XMIN,XMAX,YMIN,YMAX; axes x[i],x[j];\n"
    "starts N*N' and, a minimum (the lowest first) or an end per line, 'basin K:\n"
    "minimum; point P; value F; share S%; starts C; median iterations M; colour\n"
    "#RRGGBB' or 'basin K: END; share ...'. A converged end belongs to a minimum\n"
    "when each coordinate is within half a cell of the minimum's lowest end, or\n"
    "within T max(1, |x|), T the square root of the larger accuracy (at least 1e-3).\n"
    "A formula that does not parse is refused with, under the program's two\n"
    "messages, where it goes wrong ('позиция 8: неизвестная функция «tan» —\n"
    "возможно, tg') and the formula with a marker under that place; with --json\n"
    "the refused run is printed with \"error\": {\"position\": N, \"kind\": K,\n"
    "\"text\": T}, K one of unbalanced-bracket, unknown-name, missing-operand,\n"
    "misplaced-operator, variable-index, bad-number, text-left-over.\n"
    "Exit status: 0 done (an end other than converged is also said on standard\n"
    "error); 1 nothing ran,\n"
    "a file or standard output could not be written, or a region condition\n"
    "could not be evaluated during the run; 2 a bad option.\n";

struct TCondition {
    std::string Inequality, Coefficient, Power, Kind;
};

struct TOptions {
    TRunInputs Run;
    std::vector<TCondition> Conditions;
    std::string TrackFile;
    std::string MapFile;
    bool HaveRange = false;
    TViewRange Range;
    int AxisX = 0, AxisY = 1;
    std::string Colours = "16";
    bool Help = false;
    std::vector<int> Compare; // indices into kMethods; empty: one run
    bool Json = false;
    bool Shade = false;
    TMapLook Look;
    std::map<std::string, std::string> Notes; // of the task read, by language
    std::string GridFile;
    std::string PlotFile;
    std::string ReportFile;
    QSize PlotSize{1000, 800};
    std::string CsvFile;
    TLanguage Language = TLanguage::Russian;
    std::string BasinsFile;
    int BasinsGrid = kDefaultBasinGrid;
    int Threads = 0; // 0: one per core
    std::string TaskFile, SaveTaskFile;
    bool FromTask = false; // the fields came from a task; -c replaces its region
};

constexpr const char* kRejectedCondition = UI_TEXT("qirt", "Недопустимое неравенство: %1");

// "all", or -m names separated by commas.
bool ParseMethodList(std::string_view text, std::vector<int>& methods) {
    methods.clear();
    if (text == "all") {
        for (int k = 0; k < kMethodCount; ++k) methods.push_back(k);
        return true;
    }
    // Every name between the commas must be a method's: "dfp," is refused.
    for (;;) {
        const std::size_t comma = text.find(',');
        const int k = MethodIndex(std::string(text.substr(0, comma)));
        if (k < 0) return false;
        methods.push_back(k);
        if (comma == std::string_view::npos) return true;
        text.remove_prefix(comma + 1);
    }
}

// The message window of the command line: every text shown goes to stderr,
// each text once per call (the run and the map each report a region that
// cannot be evaluated).
class TStderrMessages : public TMessageWindow {
public:
    explicit TStderrMessages(const TTranslations& translations) : translations_(translations) {}
    void SetMessage(const std::string& text) override { text_ = Text(text); }
    void SetMessage(const std::string& pattern, const std::vector<std::string>& arguments) override {
        text_ = FillArguments(Text(pattern), arguments);
    }
    void ShowModal() override { Print(); }
    void ShowNonModal() override { Print(); }
    // The formula with the marker under the place it goes wrong.
    void SetExcerpt(const std::string& excerpt) override { std::fprintf(stderr, "%s\n", excerpt.c_str()); }
    // A text of the program in the language chosen.
    std::string Text(const std::string& source) const {
        return translations_.Translate(source.c_str()).toStdString();
    }

private:
    void Print() {
        if (!printed_.insert(text_).second) return;
        std::fprintf(stderr, "%s\n", text_.c_str());
    }
    const TTranslations& translations_;
    std::string text_;
    std::set<std::string> printed_;
};

// Four numbers, each low end below its high end, as "Перерисовать" takes them.
bool ParseRange(std::string_view text, TViewRange& range) {
    if (std::count(text.begin(), text.end(), ',') != 3) return false;
    Real values[4];
    for (int k = 0; k < 4; ++k) {
        const std::string field = NthCoordinate(text, k + 1);
        if (!IsRealText(field)) return false;
        values[k] = TextToReal(field);
    }
    range = {values[0], values[1], values[2], values[3]};
    if (range.XMin < range.XMax && range.YMin < range.YMax && !UsableView(range))
        std::fprintf(stderr, "%s: --range %s\n", message::BadRange, std::string(text).c_str());
    return UsableView(range);
}

bool ParseAxes(std::string_view text, int& a, int& b) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) return false;
    const std::string_view x = text.substr(0, comma), y = text.substr(comma + 1);
    if (x.size() != 4 || y.size() != 4) return false;
    a = VariableNumber(x) - 1;
    b = VariableNumber(y) - 1;
    return a >= 0 && b >= 0 && a != b;
}

// A whole number from low to high, written in digits only.
bool ParseCount(std::string_view text, int low, int high, int& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string_view::npos)
        return false;
    value = std::stoi(std::string(text));
    return value >= low && value <= high;
}

bool SplitCondition(std::string_view text, TCondition& c) {
    std::string* parts[] = {&c.Inequality, &c.Coefficient, &c.Power, &c.Kind};
    for (int i = 0; i < 4; ++i) {
        const std::size_t end = text.find(';');
        if ((i < 3) == (end == std::string_view::npos)) return false;
        *parts[i] = std::string(text.substr(0, end));
        if (i < 3) text.remove_prefix(end + 1);
    }
    return true;
}

// Whether a file name ends in one of the endings, in any case: a picture
// is written in the format its name says, or not at all.
bool EndsWith(const char* name, std::initializer_list<const char*> endings) {
    const QString text = QString::fromLocal8Bit(name);
    for (const char* ending : endings)
        if (text.endsWith(QLatin1String(ending), Qt::CaseInsensitive)) return true;
    return false;
}

// The option that could not be taken, for the message.
std::string BadOption;

// False on a bad option (named in BadOption).
bool ParseOptions(int argc, char** argv, TOptions& o) {
    bool haveFormula = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            o.Help = true;
            continue;
        }
        if (arg == "--extended") {
            o.Run.ExtendedPlot = true;
            continue;
        }
        if (arg == "--json") {
            o.Json = true;
            continue;
        }
        if (arg == "--shade") {
            o.Shade = true;
            continue;
        }
        BadOption = std::string(arg);
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        BadOption += std::string(" ") + value;
        if (arg == "-f") {
            o.Run.Formula = value;
            haveFormula = true;
        } else if (arg == "--task") {
            // Read before the other options (see TaskOptions).
        } else if (arg == "--save-task") {
            if (!*value) return false; // an empty name would write nothing and run instead
            o.SaveTaskFile = value;
        } else if (arg == "-m") {
            o.Compare.clear(); // one method, not the task's comparison
            if (std::strcmp(value, "graph") == 0) {
                o.Run.MethodFamily = family::GraphOnly;
                o.Run.MethodVariant = 1;
            } else {
                const int k = MethodIndex(value);
                if (k < 0) return false;
                o.Run.MethodFamily = kMethods[k].Family;
                o.Run.MethodVariant = kMethods[k].Variant;
            }
        } else if (arg == "--compare") {
            if (!ParseMethodList(value, o.Compare)) return false;
        } else if (arg == "--csv") {
            o.CsvFile = value;
        } else if (arg == "-s") {
            o.Run.StartText = value;
        } else if (arg == "--variable-accuracy") {
            o.Run.VariableAccuracyText = value;
        } else if (arg == "--value-accuracy") {
            o.Run.ValueAccuracyText = value;
        } else if (arg == "--step") {
            o.Run.StepText = std::strcmp(value, "symbolic") == 0 ? kSymbolicStepText : value;
        } else if (arg == "-c") {
            TCondition c;
            if (!SplitCondition(value, c)) return false;
            if (o.FromTask) o.Conditions.clear(); // the command line's region, not the task's
            o.FromTask = false;
            o.Conditions.push_back(c);
        } else if (arg == "--style") {
            const std::string_view style = value;
            if (style != "dots" && style != "filled" && style != "lines" && style != "filled-lines") return false;
            o.Look = {style == "filled" || style == "filled-lines", style == "lines" || style == "filled-lines"};
        } else if (arg == "--grid") {
            o.GridFile = value;
        } else if (arg == "--plot") {
            if (!EndsWith(value, {".png", ".svg"})) return false;
            o.PlotFile = value;
        } else if (arg == "--report") {
            if (!IsReportName(QString::fromLocal8Bit(value))) return false;
            o.ReportFile = value;
        } else if (arg == "--size") {
            o.PlotSize = PlotSize(QString::fromUtf8(value));
            if (!o.PlotSize.isValid()) return false;
        } else if (arg == "--region-strategy") {
            const int k = RegionStrategyIndex(value);
            if (k < 0) return false;
            o.Run.RegionStrategy = static_cast<TRegionStrategy>(k);
        } else if (arg == "--track") {
            o.TrackFile = value;
        } else if (arg == "--map") {
            o.MapFile = value;
        } else if (arg == "--range") {
            if (!ParseRange(value, o.Range)) return false;
            o.HaveRange = true;
        } else if (arg == "--axes") {
            if (!ParseAxes(value, o.AxisX, o.AxisY)) return false;
        } else if (arg == "--colours") {
            o.Colours = value;
        } else if (arg == "--lang") {
            if (!LanguageFromCode(QString::fromUtf8(value), o.Language)) return false;
        } else if (arg == "--basins") {
            if (!EndsWith(value, {".png"})) return false;
            o.BasinsFile = value;
        } else if (arg == "--basins-grid") {
            if (!ParseCount(value, kMinBasinGrid, kMaxBasinGrid, o.BasinsGrid)) return false;
        } else if (arg == "--threads") {
            if (!ParseCount(value, 1, 1024, o.Threads)) return false;
        } else {
            return false;
        }
    }
    // The basins are those of one method.
    if (!o.BasinsFile.empty() && !o.Compare.empty()) {
        BadOption = "--basins with --compare";
        return false;
    }
    return o.Help || ((haveFormula || !o.TaskFile.empty()) && !o.Run.Formula.empty());
}

// The value of the last --task (and --lang, --plot, --report) on the
// command line: the task is read before the other options, which then
// override its fields.
const char* OptionValue(int argc, char** argv, std::string_view name) {
    const char* value = nullptr;
    for (int i = 1; i + 1 < argc; ++i)
        if (argv[i] == name) value = argv[++i];
        else if (std::string_view(argv[i]).rfind('-', 0) == 0 && argv[i] != std::string_view("-h") &&
                 argv[i] != std::string_view("--help") && argv[i] != std::string_view("--extended") &&
                 argv[i] != std::string_view("--json") && argv[i] != std::string_view("--shade"))
            ++i; // an option's value, even one that reads "--task"
    return value;
}

// The options a task gives.
void TaskOptions(const TTask& task, TOptions& o) {
    o.Run = task.Run;
    o.Compare = task.Compare;
    o.Conditions.clear();
    for (const TTaskCondition& c : task.Conditions)
        o.Conditions.push_back({c.Inequality, c.Coefficient, c.Power, c.Kind});
    o.AxisX = task.View.AxisX;
    o.AxisY = task.View.AxisY;
    o.HaveRange = task.View.HaveRange;
    o.Range = task.View.Range;
    o.Colours = task.View.Colours;
    o.Look = task.View.Look;
    o.Shade = task.View.Shade;
    o.Notes = task.Notes;
    o.FromTask = true;
}

// The task the options describe; kinds named in the language chosen become
// the program's own.
TTask OptionsTask(const TOptions& o, const TTranslations& translations) {
    TTask task;
    task.Run = o.Run;
    task.Compare = o.Compare;
    for (const TCondition& c : o.Conditions) {
        std::string kind = c.Kind;
        for (const char* k : {kExteriorKind, kInteriorKind})
            if (kind == translations.Translate(k).toStdString()) kind = k;
        task.Conditions.push_back({c.Inequality, c.Coefficient, c.Power, kind});
    }
    task.View = {o.AxisX, o.AxisY, o.HaveRange, o.Range, o.Colours, o.Look, o.Shade};
    task.Notes = o.Notes; // a task saved again keeps what it says of itself
    return task;
}

std::string JoinPoint(const Vector& point, int last) {
    std::string text;
    for (int i = 0; i <= last; ++i) {
        if (i) text += ',';
        text += RealToText(point[i]);
    }
    return text;
}

// The map of the graph window's first view after the run: the axis
// variables over the given range, or around the found point.
// The plot around a map just drawn from the session: the formula as title,
// the axes' variables, the levels of the last sampling.
TPlotPicture Plot(const TOptions& o, TSession& S, const QImage& map) {
    TPlotPicture picture;
    picture.Map = map;
    picture.View = S.View;
    picture.XName = QStringLiteral("x[%1]").arg(o.AxisX);
    picture.YName = QStringLiteral("x[%1]").arg(o.AxisY);
    picture.Title = QString::fromStdString(o.Run.Formula);
    picture.Levels = LevelRanges(MapSamples(S), o.Colours);
    return picture;
}

// The map drawn as the graph window first shows it, with a strategy's
// outer steps; written as a bitmap, or with the plot's surroundings.
bool WriteMap(TSession& S, const TOptions& o, const std::string& fileName,
              const TRegionReport* region = nullptr, bool plot = false) {
    TImageCanvas canvas(kMapPixels, kMapPixels);
    S.View = o.HaveRange ? o.Range : FirstView(S.FoundPoint, o.AxisX, o.AxisY);
    S.ShadeOutside = o.Shade;
    S.MapFilled = o.Look.Filled;
    S.MapLevelLines = o.Look.LevelLines;
    // A first view without extent is not drawn: the window stays white.
    if (S.View.XMin < S.View.XMax && S.View.YMin < S.View.YMax) {
        RedrawMap(S, canvas, o.AxisX, o.AxisY, o.Colours);
        if (region) DrawOuterSteps(*region, S.View, canvas, o.AxisX, o.AxisY);
    }
    if (plot) return SavePlot(Plot(o, S, canvas.Image()), o.PlotSize, QString::fromStdString(fileName));
    return canvas.SaveBitmap(QString::fromStdString(fileName));
}

std::string JsonNumber(Real v) { return std::isfinite(v) ? ShortestText(v) : "null"; }

// A text as a JSON string.
std::string JsonString(const std::string& text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}
// The exact decimal text of a number as a JSON string: a reader that turns
// numbers beyond the range of double into infinity still has the value.
std::string JsonText(Real v) { return "\"" + ShortestText(v) + "\""; }

// The numbers (from 1) of the conditions whose state has the property.
template <class Property>
std::string ConditionNumbers(const TRegionReport& region, Property property, const char* separator) {
    std::string text;
    for (std::size_t k = 0; k < region.Conditions.size(); ++k)
        if (property(region.Conditions[k])) text += (text.empty() ? "" : separator) + std::to_string(k + 1);
    return text;
}

// The region's part of a JSON object, from its first comma; empty without
// a region.
std::string JsonRegion(const TRegionReport& g, int last) {
    if (!g.Present) return {};
    auto numbers = [&](auto property) { return "[" + ConditionNumbers(g, property, ",") + "]"; };
    std::string text = ",\"objective\":" + JsonNumber(g.Objective) + ",\"violation\":" + JsonNumber(g.Violation) +
                       ",\"active\":" + numbers([](const TConditionState& c) { return c.Active; }) +
                       ",\"violated\":" + numbers([](const TConditionState& c) { return c.Violated; });
    if (g.HasMultipliers) {
        std::string list;
        for (const TConditionState& c : g.Conditions) list += (list.empty() ? "" : ",") + JsonNumber(c.Multiplier);
        text += ",\"multipliers\":[" + list + "],\"kkt\":" + JsonNumber(g.Kkt);
    } else {
        text += ",\"multipliers\":null,\"kkt\":null";
    }
    text += std::string(",\"strategy\":\"") + RegionStrategyKey(g.Strategy) + "\",\"region_end\":\"" +
            RegionEndKey(g.End) + "\",\"outer\":[";
    for (std::size_t k = 0; k < g.Outer.size(); ++k) {
        const TOuterStep& s = g.Outer[k];
        std::string point;
        for (int i = 0; i <= last; ++i) point += (i ? "," : "") + JsonNumber(s.Point[i]);
        text += (k ? "," : "") + std::string("{\"point\":[") + point + "],\"coefficient\":" + JsonNumber(s.Coefficient) +
                ",\"interior_weight\":" + JsonNumber(s.InteriorWeight) + ",\"objective\":" +
                JsonNumber(s.Objective) + ",\"violation\":" + JsonNumber(s.Violation) +
                ",\"iterations\":" + std::to_string(s.Iterations) +
                ",\"evaluations\":" + std::to_string(s.Evaluations) + ",\"end\":\"" + EndKey(s.End) + "\"}";
    }
    return text + "]";
}

// Where a refused formula goes wrong, from its comma; empty for none.
// The text in the language of the messages.
std::string JsonFault(const TFormulaFault& fault, const TStderrMessages& messages) {
    if (fault.Kind == TFormulaFaultKind::None) return {};
    const TFaultLine line = FaultLine(fault);
    return ",\"error\":{\"position\":" + std::to_string(fault.Position) + ",\"kind\":\"" +
           FaultKindKey(fault.Kind) +
           "\",\"text\":" + JsonString(FillArguments(messages.Text(line.Pattern), line.Arguments)) + "}";
}

// One result as a JSON object; more (",\"key\":value...") is added at its end.
std::string JsonRow(const TRunResult& r, const TStderrMessages& messages, const std::string& more = {}) {
    std::string point = "[", pointText = "[";
    for (int i = 0; i <= r.LastIndex; ++i) {
        point += (i ? "," : "") + JsonNumber(r.Point[i]);
        pointText += (i ? "," : "") + JsonText(r.Point[i]);
    }
    point += "]";
    pointText += "]";
    const bool ran = r.LastIndex >= 0;
    char rest[320];
    std::snprintf(rest, sizeof rest,
                  ",\"iterations\":%d,\"evaluations\":%lld,\"gradient_evaluations\":%lld,"
                  "\"hessian_evaluations\":%lld,\"seconds\":%.6f,\"end\":\"%s\"",
                  r.Iterations, static_cast<long long>(r.Evaluations),
                  static_cast<long long>(r.GradientEvaluations),
                  static_cast<long long>(r.HessianEvaluations), r.Seconds, EndKey(r.End));
    return std::string("{\"method\":\"") + (r.Method >= 0 ? kMethods[r.Method].Name : "graph") + "\",\"point\":" + point +
           ",\"point_text\":" + pointText + ",\"minimum\":" + (ran ? JsonNumber(r.Minimum) : "null") +
           ",\"minimum_text\":" + (ran ? JsonText(r.Minimum) : "null") +
           ",\"gradient\":" + (ran ? JsonNumber(r.GradientNorm) : "null") + rest + JsonRegion(r.Region, r.LastIndex) +
           JsonFault(r.Fault, messages) + more + "}";
}

// The region's lines of the text output (none without a region).
void PrintRegion(const TRegionReport& g, int last) {
    if (!g.Present) return;
    std::printf("objective: %s\n", RealToText(g.Objective).c_str());
    std::printf("violation: %s\n", RealToText(g.Violation).c_str());
    std::printf("active: %s\n", ConditionNumbers(g, [](const TConditionState& c) { return c.Active; }, ",").c_str());
    std::printf("violated: %s\n",
                ConditionNumbers(g, [](const TConditionState& c) { return c.Violated; }, ",").c_str());
    if (g.HasMultipliers) {
        std::string list;
        for (const TConditionState& c : g.Conditions) list += (list.empty() ? "" : ",") + RealToText(c.Multiplier);
        std::printf("multipliers: %s\n", list.c_str());
        std::printf("kkt: %s\n", RealToText(g.Kkt).c_str());
    }
    for (std::size_t k = 0; k < g.Outer.size(); ++k) {
        const TOuterStep& s = g.Outer[k];
        std::printf("outer %zu: coefficient %s; weight %s; point %s; objective %s; violation %s; "
                    "iterations %d; end %s\n",
                    k + 1, RealToText(s.Coefficient).c_str(), RealToText(s.InteriorWeight).c_str(),
                    JoinPoint(s.Point, last).c_str(), RealToText(s.Objective).c_str(),
                    RealToText(s.Violation).c_str(), s.Iterations, EndKey(s.End));
    }
    std::printf("region-end: %s\n", RegionEndKey(g.End));
}

// The largest gradient component as the text lines show it.
std::string GradientText(Real g) { return std::isnan(g) ? "undefined" : RealToText(g); }

bool WriteCsv(const std::string& fileName, const std::function<bool(std::FILE*)>& write) {
    if (WriteWholeFile(fileName, write)) return true;
    std::fprintf(stderr, "Cannot create file %s\n", fileName.c_str());
    return false;
}

// The file of one method's track in a comparison: the method's name
// before the extension ("track.txt" and "dfp" give "track-dfp.txt").
std::string MethodFileName(const std::string& file, const char* method) {
    const std::size_t slash = file.rfind('/');
    const std::size_t dot = file.rfind('.');
    const bool extension = dot != std::string::npos && dot > 0 && (slash == std::string::npos || dot > slash + 1);
    return extension ? file.substr(0, dot) + "-" + method + file.substr(dot) : file + "-" + method;
}

// Writes the report; false, said why, when it cannot be written.
bool WriteBatchReport(const TReport& report, const std::string& fileName) {
    QString error;
    if (WriteReport(report, QString::fromLocal8Bit(fileName.c_str()), error)) return true;
    std::fprintf(stderr, "qirt-batch: %s\n", error.toUtf8().constData());
    return false;
}

// The comparison: a line (or a JSON object) per method, the results table
// as CSV, and every track in its colour on one map around the best point.
int Compare(const TOptions& o, const TTask& task, TSession& S, const TStderrMessages& messages) {
    const std::vector<TComparisonRow> rows = CompareMethods(S, o.Run, o.Compare);
    int status = S.Conditions.ErrorReported ? 1 : 0;
    if (o.Json) {
        std::string text = "[";
        for (std::size_t k = 0; k < rows.size(); ++k)
            text += (k ? ",\n " : "") + JsonRow(rows[k], messages);
        std::printf("%s]\n", text.c_str());
    } else {
        for (const TComparisonRow& r : rows)
            std::printf("%s: point %s; minimum %s; gradient %s; iterations %d; evaluations %lld; "
                        "seconds %.6f; end %s\n",
                        kMethods[r.Method].Name, JoinPoint(r.Point, r.LastIndex).c_str(),
                        r.LastIndex >= 0 ? RealToText(r.Minimum).c_str() : "",
                        r.LastIndex >= 0 ? GradientText(r.GradientNorm).c_str() : "", r.Iterations,
                        static_cast<long long>(r.Evaluations), r.Seconds, EndKey(r.End));
    }
    if (!o.CsvFile.empty() &&
        !WriteCsv(o.CsvFile, [&](std::FILE* f) { return WriteComparisonCsv(rows, f); }))
        status = 1;
    // Every run's track, in a file of its own named after its method.
    if (!o.TrackFile.empty())
        for (const TComparisonRow& r : rows) {
            if (r.LastIndex < 0) continue;
            const std::string name = MethodFileName(o.TrackFile, kMethods[r.Method].Name);
            if (!SaveTrack(*r.Track, name, r.LastIndex + 1)) {
                std::fprintf(stderr, "Cannot create file %s\n", name.c_str());
                status = 1;
            }
        }
    if (!o.MapFile.empty() || !o.PlotFile.empty()) {
        TRun run;
        if (PrepareComparisonMap(S, o.Run, rows, run)) {
            TImageCanvas canvas(kMapPixels, kMapPixels);
            S.View = o.HaveRange ? o.Range : FirstView(S.FoundPoint, o.AxisX, o.AxisY);
            S.ShadeOutside = o.Shade;
            S.MapFilled = o.Look.Filled;
            S.MapLevelLines = o.Look.LevelLines;
            if (S.View.XMin < S.View.XMax && S.View.YMin < S.View.YMax) {
                RedrawMap(S, canvas, o.AxisX, o.AxisY, o.Colours);
                for (const TComparisonRow& r : rows)
                    if (r.Track->Head) {
                        DrawColouredTrack(S, canvas, o.AxisX, o.AxisY, *r.Track, kMethods[r.Method].Colour);
                        const TColour pen = canvas.PenColour;
                        canvas.PenColour = kMethods[r.Method].Colour;
                        DrawOuterSteps(r.Region, S.View, canvas, o.AxisX, o.AxisY);
                        canvas.PenColour = pen;
                    }
            }
            if (!o.MapFile.empty() && !canvas.SaveBitmap(QString::fromStdString(o.MapFile))) {
                std::fprintf(stderr, "Cannot create file %s\n", o.MapFile.c_str());
                status = 1;
            }
            if (!o.PlotFile.empty()) {
                // The plot with the comparison's legend: each method in its colour.
                TPlotPicture picture = Plot(o, S, canvas.Image());
                for (const TComparisonRow& r : rows)
                    picture.Legend.push_back({QString::fromLatin1(kMethods[r.Method].Name), kMethods[r.Method].Colour});
                if (!SavePlot(picture, o.PlotSize, QString::fromStdString(o.PlotFile))) {
                    std::fprintf(stderr, "Cannot create file %s\n", o.PlotFile.c_str());
                    status = 1;
                }
            }
        }
        FinishRun(S, run);
    }
    if (!o.ReportFile.empty()) {
        TRun run;
        TReport report;
        const bool shown = PrepareComparisonMap(S, o.Run, rows, run);
        if (shown) ReportOfComparison(S, task, rows, report);
        FinishRun(S, run);
        if (!shown) std::fprintf(stderr, "qirt-batch: no method ran: no report\n");
        if (!shown || !WriteBatchReport(report, o.ReportFile)) status = 1;
    }
    return status;
}

// The basins of the run's inputs over the view the map would show; false,
// said why, when they cannot be computed.
bool BatchBasins(const TSession& S, const TOptions& o, const TStderrMessages& messages, TBasins& basins) {
    TBasinGrid grid;
    grid.View = o.HaveRange ? o.Range : FirstView(S.FoundPoint, o.AxisX, o.AxisY);
    grid.A = o.AxisX;
    grid.B = o.AxisY;
    grid.Size = o.BasinsGrid;
    grid.Threads = o.Threads;
    if (!UsableView(grid.View)) {
        std::fprintf(stderr, "%s: --basins\n", messages.Text(message::BadRange).c_str());
        return false;
    }
    return ComputeBasins(S, o.Run, grid, basins);
}

std::string ColourText(TColour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.Red, c.Green, c.Blue);
    return text;
}

// A double in JSON: a whole number as one, else the shortest text that
// reads back the same.
std::string JsonDouble(double v) {
    char text[32];
    if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        std::snprintf(text, sizeof text, "%.0f", v);
        return text;
    }
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v) break;
    }
    return text;
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}

// The key of a stationary point's kind in the text and JSON output.
const char* StationaryKey(TStationary kind) {
    switch (kind) {
    case TStationary::Saddle: return "saddle";
    case TStationary::Maximum: return "maximum";
    case TStationary::Minimum: break;
    }
    return "minimum";
}

// The basins' lines of the text output: the grid, then a line per group.
void PrintBasins(const TBasins& b) {
    const TViewRange& v = b.Grid.View;
    std::printf("basins: grid %d; range %s,%s,%s,%s; axes x[%d],x[%d]; starts %d\n", b.Grid.Size,
                RealToText(v.XMin).c_str(), RealToText(v.XMax).c_str(), RealToText(v.YMin).c_str(),
                RealToText(v.YMax).c_str(), b.Grid.A, b.Grid.B, b.Grid.Size * b.Grid.Size);
    for (const TBasinLegendRow& row : BasinLegend(b)) {
        const TBasinGroup& g = row.Data;
        const std::string what = g.Converged() ? std::string(StationaryKey(g.Kind)) + "; point " +
                                                     JoinPoint(g.Point, b.LastIndex) + "; value " + RealToText(g.Value)
                                               : std::string(EndKey(g.End));
        std::printf("basin %d: %s; share %.4g%%; starts %d; median iterations %g; colour %s\n", row.Group + 1,
                    what.c_str(), 100 * g.Share, g.Cells, g.MedianIterations, ColourText(row.Colour).c_str());
    }
}

// The basins as the "basins" member of the run's JSON object, from its comma.
std::string JsonBasins(const TBasins& b) {
    const TViewRange& v = b.Grid.View;
    std::string text = ",\"basins\":{\"grid\":" + std::to_string(b.Grid.Size) + ",\"range\":[" +
                       JsonNumber(v.XMin) + "," + JsonNumber(v.XMax) + "," + JsonNumber(v.YMin) + "," +
                       JsonNumber(v.YMax) + "],\"axes\":[" + std::to_string(b.Grid.A) + "," +
                       std::to_string(b.Grid.B) + "],\"starts\":" + std::to_string(b.Cells.size()) +
                       ",\"seconds\":" + SecondsText(b.Seconds) +
                       ",\"groups\":[";
    for (const TBasinLegendRow& row : BasinLegend(b)) {
        const TBasinGroup& g = row.Data;
        std::string point = "null", pointText = "null", value = "null", valueText = "null";
        if (g.Converged()) {
            point = pointText = "[";
            for (int i = 0; i <= b.LastIndex; ++i) {
                point += (i ? "," : "") + JsonNumber(g.Point[i]);
                pointText += (i ? "," : "") + JsonText(g.Point[i]);
            }
            point += "]";
            pointText += "]";
            value = JsonNumber(g.Value);
            valueText = JsonText(g.Value);
        }
        text += (row.Group ? ",\n  " : "\n  ") + std::string("{\"end\":\"") + EndKey(g.End) +
                "\",\"minimum\":" + (g.Minimum() ? "true" : "false") + ",\"stationary\":" +
                (g.Converged() ? "\"" + std::string(StationaryKey(g.Kind)) + "\"" : std::string("null")) +
                ",\"point\":" + point +
                ",\"point_text\":" + pointText + ",\"value\":" + value + ",\"value_text\":" + valueText +
                ",\"share\":" + JsonDouble(g.Share) + ",\"starts\":" + std::to_string(g.Cells) +
                ",\"median_iterations\":" + JsonDouble(g.MedianIterations) + ",\"colour\":\"" +
                ColourText(row.Colour) + "\"}";
    }
    return text + "]}";
}

int Run(const TOptions& o, const TTranslations& translations) {
    TStderrMessages messages(translations);
    if (!UsableColourCount(o.Colours)) {
        std::fprintf(stderr, "%s: --colours %s\n", messages.Text(message::BadColourCount).c_str(),
                     o.Colours.c_str());
        return 1;
    }
    TSession S;
    S.Function.Messages = &messages;
    S.Conditions.Messages = &messages;
    S.MapThreads = o.Threads;
    for (const TCondition& c : o.Conditions) {
        // The kinds are named in the language chosen too.
        std::string kind = c.Kind;
        for (const char* k : {kExteriorKind, kInteriorKind})
            if (kind == messages.Text(k)) kind = k;
        // A coefficient that is no number (read as 0, dropping the term), a
        // negative one (a reward for leaving the region) or an unknown kind
        // is refused, not taken silently.
        const bool known = kind == kExteriorKind || kind == kInteriorKind;
        const bool coefficient = IsRealText(c.Coefficient) && std::isfinite(TextToReal(c.Coefficient)) &&
                                 TextToReal(c.Coefficient) >= 0;
        if (known && coefficient) S.Conditions.AddCondition(c.Inequality, c.Coefficient, c.Power, kind);
        if (!known || !coefficient || S.Conditions.ConditionErrorCode != 0) {
            std::fprintf(stderr, "%s\n",
                         FillArguments(messages.Text(kRejectedCondition),
                                       {c.Inequality + ";" + c.Coefficient + ";" + c.Power + ";" + c.Kind})
                             .c_str());
            return 1;
        }
    }

    // The task as it ran, for a report.
    const TTask task = OptionsTask(o, translations);
    if (!o.Compare.empty()) return Compare(o, task, S, messages);

    TRun run;
    StartRun(S, o.Run, run);
    if (run.Status != TRunStatus::Done) {
        // A formula that does not parse: the JSON says where and why.
        if (o.Json && run.Result.Fault.Kind != TFormulaFaultKind::None) {
            run.Result.Method = MethodIndex(o.Run.MethodFamily, o.Run.MethodVariant);
            std::printf("[%s]\n", JsonRow(run.Result, messages).c_str());
        }
        FinishRun(S, run);
        return 1;
    }
    // Points where a condition could not be evaluated were taken as
    // undefined; the result stands, but the region was not usable everywhere.
    const bool regionFailed = S.Conditions.ErrorReported;
    const TRunResult& r = run.Result;
    // The basins come with the run's own lines, and in its JSON object.
    TBasins basins;
    bool haveBasins = false, basinsFailed = false;
    if (!o.BasinsFile.empty()) {
        if (run.MethodFamily == family::GraphOnly)
            std::fprintf(stderr, "qirt-batch: --basins needs a method (-m)\n");
        else
            haveBasins = BatchBasins(S, o, messages, basins);
        basinsFailed = !haveBasins;
    }
    if (run.MethodFamily == family::GraphOnly) {
        // No method ran: no result to give.
        if (o.Json)
            std::printf("[]\n");
        else
            std::printf("point:\nminimum:\ngradient:\niterations:\nevaluations:\nend:\n");
    } else if (o.Json) {
        std::printf("[%s]\n", JsonRow(r, messages, haveBasins ? JsonBasins(basins) : std::string()).c_str());
    } else {
        std::printf("point: %s\n", JoinPoint(r.Point, r.LastIndex).c_str());
        std::printf("minimum: %s\n", RealToText(r.Minimum).c_str());
        std::printf("gradient: %s\n", GradientText(r.GradientNorm).c_str());
        std::printf("iterations: %d\n", r.Iterations);
        std::printf("evaluations: %lld\n", static_cast<long long>(r.Evaluations));
        std::printf("end: %s\n", EndKey(r.End));
        PrintRegion(r.Region, r.LastIndex);
        if (haveBasins) PrintBasins(basins);
    }
    // Every end but convergence is said in words a script's log can grep.
    switch (r.End) {
    case TRunEnd::IterationLimit:
        std::fprintf(stderr, "stopped after %d iterations\n", kMaxIterations);
        break;
    case TRunEnd::EvaluationLimit:
        std::fprintf(stderr, "stopped after %lld values of the function\n",
                     static_cast<long long>(kMaxEvaluations));
        break;
    case TRunEnd::Unbounded:
        std::fprintf(stderr, "the function is unbounded below: the last finite point is shown\n");
        break;
    case TRunEnd::RunsOff:
        std::fprintf(stderr, "the point runs off to infinity while the values approach their "
                             "infimum: there is no minimum\n");
        break;
    case TRunEnd::NotStationary:
        std::fprintf(stderr, "the method stopped where the gradient is not small: not a minimum\n");
        break;
    case TRunEnd::SingularHessian:
        std::fprintf(stderr, "the Hessian is singular: Newton's method cannot take a step\n");
        break;
    default: break;
    }
    int status = 0;
    if (regionFailed) {
        std::fprintf(stderr, "qirt-batch: a region condition could not be evaluated at some points "
                             "of the run; they were taken as undefined\n");
        status = 1;
    }
    if (!o.TrackFile.empty() &&
        !SaveTrack(run.Track, o.TrackFile, S.Function.VariableCount)) {
        std::fprintf(stderr, "Cannot create file %s\n", o.TrackFile.c_str());
        status = 1;
    }
    if (!o.CsvFile.empty() && !WriteCsv(o.CsvFile, [&](std::FILE* f) {
            const auto values = TrackValues(S.Function, &S.Conditions, run.Track, run.LastIndex);
            return WriteTrackCsv(run.Track, S.Function.VariableCount, values, f);
        }))
        status = 1;
    if (!o.GridFile.empty()) {
        S.View = o.HaveRange ? o.Range : FirstView(S.FoundPoint, o.AxisX, o.AxisY);
        if (!(S.View.XMin < S.View.XMax && S.View.YMin < S.View.YMax)) {
            std::fprintf(stderr, "%s: --grid\n", messages.Text(message::BadRange).c_str());
            status = 1;
        } else {
            SampleGrid(S, o.AxisX, o.AxisY);
            if (!WriteCsv(o.GridFile, [&](std::FILE* f) {
                    return WriteGridCsv(MapSamples(S), S.View, f);
                }))
                status = 1;
        }
    }
    if (!o.PlotFile.empty() && !WriteMap(S, o, o.PlotFile, &r.Region, true)) {
        std::fprintf(stderr, "Cannot create file %s\n", o.PlotFile.c_str());
        status = 1;
    }
    if (!o.MapFile.empty() && !WriteMap(S, o, o.MapFile, &r.Region)) {
        std::fprintf(stderr, "Cannot create file %s\n", o.MapFile.c_str());
        status = 1;
    }
    if (basinsFailed) status = 1;
    if (haveBasins) {
        TImageCanvas canvas(kMapPixels, kMapPixels);
        canvas.Fill(kWhite);
        PaintBasins(basins, canvas);
        if (!SaveImage(canvas.Image(), "PNG", QString::fromStdString(o.BasinsFile))) {
            std::fprintf(stderr, "Cannot create file %s\n", o.BasinsFile.c_str());
            status = 1;
        }
    }
    if (!o.ReportFile.empty()) {
        TReport report;
        ReportOfRun(S, task, run, report);
        if (!WriteBatchReport(report, o.ReportFile)) status = 1;
    }
    FinishRun(S, run);
    return status;
}

// Whatever went to standard output must have arrived: a full disk or a
// closed pipe makes the call fail, not succeed with the result lost.
int Flushed(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "qirt-batch: cannot write to standard output: %s\n",
                     std::strerror(errno));
        return 1;
    }
    return status;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    // A plot or a report needs fonts, and so Qt's GUI part, without any
    // display: the offscreen platform draws into memory. It comes before
    // the language, whose translation it then holds for the report's texts.
    // Qt is given only the program's name: it would take options of its
    // own (--style among them) out of the command line.
    int guiArgc = 1;
    char* guiArgv[] = {argv[0], nullptr};
    std::unique_ptr<QGuiApplication> gui;
    if (OptionValue(argc, argv, "--plot") || OptionValue(argc, argv, "--report")) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        gui = std::make_unique<QGuiApplication>(guiArgc, guiArgv);
    }
    // The language first: a task that cannot be read is said in it.
    TTranslations translations;
    TLanguage language = TLanguage::Russian;
    if (const char* code = OptionValue(argc, argv, "--lang");
        code && LanguageFromCode(QString::fromUtf8(code), language) && !translations.Set(language)) {
        std::fprintf(stderr, "qirt-batch: the translation for --lang %s cannot be read\n", code);
        return 1;
    }
    if (const char* file = OptionValue(argc, argv, "--task")) {
        TTask task;
        QString error;
        if (!LoadTask(QString::fromLocal8Bit(file), task, error,
                      [&](const char* source) { return translations.Translate(source); })) {
            std::fprintf(stderr, "qirt-batch: %s\n", error.toUtf8().constData());
            return 1;
        }
        TaskOptions(task, options);
        options.TaskFile = file;
    }
    if (!ParseOptions(argc, argv, options)) {
        if (BadOption.empty())
            std::fprintf(stderr, "qirt-batch: -f FORMULA is missing\n");
        else
            std::fprintf(stderr, "qirt-batch: cannot take %s\n", BadOption.c_str());
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.Help) {
        std::fputs(kUsage, stdout);
        return Flushed(0);
    }
    if (!options.SaveTaskFile.empty()) {
        QString error;
        if (!SaveTask(OptionsTask(options, translations), QString::fromLocal8Bit(options.SaveTaskFile.c_str()), error,
                      [&](const char* source) { return translations.Translate(source); })) {
            std::fprintf(stderr, "qirt-batch: %s\n", error.toUtf8().constData());
            return 1;
        }
        return Flushed(0);
    }
    return Flushed(Run(options, translations));
}
