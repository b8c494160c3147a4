// qirt-batch: one minimisation from the command line, run exactly as the
// start button of the main window runs it, with the result on standard
// output. For scripts, teaching material and reproducible results.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "func/messages.h"
#include "func/scan.h"
#include "methods/run.h"

namespace {

using namespace qirt;

constexpr const char* kUsage =
    "usage: qirt-batch -f FORMULA [options]\n"
    "  -f TEXT                  the function of x[0] ... x[9]\n"
    "  -m NAME                  method: rosenbrock gauss fletcher-reeves pshenichny\n"
    "                           steepest-descent newton dfp fletcher broyden graph\n"
    "                           (default fletcher-reeves; graph runs no method)\n"
    "  -s TEXT                  start point, comma-separated (default 3,4,0,0,0,0,0,0,0,0)\n"
    "  --variable-accuracy TEXT accuracy in the variables (default 1e-7)\n"
    "  --value-accuracy TEXT    accuracy in the function value (default 1e-7)\n"
    "  --step TEXT              'symbolic' for symbolic derivatives (default), else the\n"
    "                           step of central differences\n"
    "  -c 'G;COEFFICIENT;POWER;KIND'\n"
    "                           a region condition, KIND 'внешняя' or 'внутреняя';\n"
    "                           repeatable\n"
    "  --track FILE             write the track of iterates\n"
    "  -h                       this text\n"
    "Prints 'point:', 'minimum:', 'iterations:' and 'evaluations:' lines.\n";

struct TMethodName {
    const char* Name;
    int Family;
    int Variant;
};
constexpr TMethodName kMethods[] = {
    {"rosenbrock", family::ZeroOrder, 1},     {"gauss", family::ZeroOrder, 2},
    {"fletcher-reeves", family::FirstOrder, 1}, {"pshenichny", family::FirstOrder, 2},
    {"steepest-descent", family::FirstOrder, 3}, {"newton", family::Newton, 1},
    {"dfp", family::VariableMetric, 1},       {"fletcher", family::VariableMetric, 2},
    {"broyden", family::VariableMetric, 3},   {"graph", family::GraphOnly, 1},
};

struct TCondition {
    std::string Inequality, Coefficient, Power, Kind;
};

struct TOptions {
    TRunInputs Run;
    std::vector<TCondition> Conditions;
    std::string TrackFile;
    bool Help = false;
};

// The message window of the command line: every text shown goes to stderr.
class TStderrMessages : public TMessageWindow {
public:
    void SetMessage(const std::string& text) override { text_ = text; }
    void ShowModal() override { Print(); }
    void ShowNonModal() override { Print(); }
    bool Shown() const { return shown_; }

private:
    void Print() {
        std::fprintf(stderr, "%s\n", text_.c_str());
        shown_ = true;
    }
    std::string text_;
    bool shown_ = false;
};

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

// False on a bad option.
bool ParseOptions(int argc, char** argv, TOptions& o) {
    bool haveFormula = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            o.Help = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (arg == "-f") {
            o.Run.Formula = value;
            haveFormula = true;
        } else if (arg == "-m") {
            const TMethodName* found = nullptr;
            for (const auto& m : kMethods)
                if (std::strcmp(m.Name, value) == 0) found = &m;
            if (!found) return false;
            o.Run.MethodFamily = found->Family;
            o.Run.MethodVariant = found->Variant;
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
            o.Conditions.push_back(c);
        } else if (arg == "--track") {
            o.TrackFile = value;
        } else {
            return false;
        }
    }
    return o.Help || (haveFormula && !o.Run.Formula.empty());
}

std::string JoinPoint(const Vector& point, int last) {
    std::string text;
    for (int i = 0; i <= last; ++i) {
        if (i) text += ',';
        text += RealToText(point[i]);
    }
    return text;
}

int Run(const TOptions& o) {
    TStderrMessages messages;
    TSession S;
    S.Function.Messages = &messages;
    S.Conditions.Messages = &messages;
    for (const TCondition& c : o.Conditions) {
        S.Conditions.AddCondition(c.Inequality, c.Coefficient, c.Power, c.Kind);
        if (S.Conditions.ConditionErrorCode != 0) {
            std::fprintf(stderr, "Недопустимое неравенство: %s\n", c.Inequality.c_str());
            return 1;
        }
    }

    TRun run;
    StartRun(S, o.Run, run);
    if (run.Status != TRunStatus::Done) {
        FinishRun(S, run);
        return 1;
    }
    const bool graphOnly = run.MethodFamily == family::GraphOnly;
    if (graphOnly) {
        std::printf("point:\nminimum:\niterations:\nevaluations:\n");
    } else {
        std::printf("point: %s\n", JoinPoint(run.ResultPoint, run.LastIndex).c_str());
        std::printf("minimum: %s\n", RealToText(run.MinimumValue).c_str());
        std::printf("iterations: %d\n", S.IterationCount);
        std::printf("evaluations: %d\n", S.Function.EvaluationCount);
        if (S.End == TMethodEnd::IterationLimit)
            std::fprintf(stderr, "stopped after %d iterations\n", kMaxIterations);
    }
    int status = 0;
    if (!o.TrackFile.empty() &&
        !SaveTrack(run.Track, o.TrackFile, S.Function.VariableCount)) {
        std::fprintf(stderr, "Cannot create file %s\n", o.TrackFile.c_str());
        status = 1;
    }
    FinishRun(S, run);
    return status;
}

} // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return Run(options);
}
