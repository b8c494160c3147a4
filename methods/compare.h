// Comparing methods: the chosen methods run one after another on the same
// inputs, each exactly as the start button runs it, and each leaves its
// row: where it ended, how much it took and its track.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "func/ui_text.h"
#include "methods/run.h"

namespace qirt {

// The methods, in the order of the main menu and the tabs.
struct TMethodName {
    const char* Name;    // as qirt-batch's -m names it
    const char* Caption; // the tab's caption
    int Family;
    int Variant;
};
inline constexpr TMethodName kMethodNames[] = {
    {"rosenbrock", UI_TEXT("qirt", "Метод вpащающихся кооpдинат Розенбpока"), family::ZeroOrder, 1},
    {"gauss", UI_TEXT("qirt", "Гауса"), family::ZeroOrder, 2},
    {"nelder-mead", UI_TEXT("qirt", "Нелдера-Мида"), family::ZeroOrder, 3},
    {"fletcher-reeves", UI_TEXT("qirt", "Флетчеpа-Ривса"), family::FirstOrder, 1},
    {"pshenichny", UI_TEXT("qirt", "Пшеничного"), family::FirstOrder, 2},
    {"steepest-descent", UI_TEXT("qirt", "Наискорейшего спуска"), family::FirstOrder, 3},
    {"newton", UI_TEXT("qirt", "Метод Ньютона"), family::Newton, 1},
    {"dfp", UI_TEXT("qirt", "Дэвидона-Флетчеpа-Пауэла"), family::VariableMetric, 1},
    {"fletcher", UI_TEXT("qirt", "Флетчеpа"), family::VariableMetric, 2},
    {"broyden", UI_TEXT("qirt", "Бpойдена"), family::VariableMetric, 3},
    {"bfgs", UI_TEXT("qirt", "Бройдена-Флетчера-Гольдфарба-Шанно"), family::VariableMetric, 4},
};
inline constexpr int kMethodCount = 11;

// How a compared run ended.
enum class TRowEnd {
    Converged,
    IterationLimit,
    UndefinedDerivative,
    UndefinedStep,
    Stopped,        // the user stopped it
    Unbounded,      // the function fell to the end of the number range
    UndefinedStart, // no value at the start point
    Refused,        // the run did not start (the inputs; a message says why)
    Skipped,        // not run: the comparison was stopped before it
};
// The end's key in qirt-batch's JSON ("iteration-limit", ...), and its
// Russian text in the windows.
const char* EndKey(TRowEnd end);
const char* EndText(TRowEnd end);

struct TComparisonRow {
    int Method = 0; // index into kMethodNames
    TRowEnd End = TRowEnd::Skipped;
    int LastIndex = -1;
    Vector Point{};
    Real Minimum = 0;
    std::int32_t Iterations = 0;
    std::int64_t Evaluations = 0;
    double Seconds = 0;
    std::shared_ptr<Tdata> Track = std::make_shared<Tdata>(); // a copy of the run's track
    std::vector<Real> Values; // f at every point of the track (NaN where undefined)
};

// Told which method runs, before each; its Continue (through S.Progress)
// may stop the method where it is, which skips the rest.
class TComparisonProgress : public TProgress {
public:
    virtual void MethodStarts(int method, int position, int count) = 0;
};

// Runs the methods (indices into kMethodNames) in the given order on the
// inputs (their family and variant are replaced), as StartRun and
// FinishRun do for the start button. Messages of the runs reach the
// function object's message window as the start button's would.
std::vector<TComparisonRow> CompareMethods(TSession& S, const TRunInputs& in,
                                           const std::vector<int>& methods,
                                           TComparisonProgress* progress = nullptr);

// The row with the lowest minimum among those that have one, or null.
const TComparisonRow* BestRow(const std::vector<TComparisonRow>& rows);
// After a comparison, for its map: the function built once more without a
// method (in run, released by FinishRun), the found point the best row's,
// no track of the session's own. False when nothing can be shown.
bool PrepareComparisonMap(TSession& S, const TRunInputs& in,
                          const std::vector<TComparisonRow>& rows, TRun& run);

// The index of a -m name, or of a family's variant; -1 for none.
int MethodIndex(const std::string& name);
int MethodIndex(int family, int variant);
// How a run ended, from its status and the method's end.
TRowEnd RowEnd(TRunStatus status, TMethodEnd end);

} // namespace qirt
