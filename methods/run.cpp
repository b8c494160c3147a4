#include "methods/run.h"

#include <chrono>
#include <cmath>

#include "func/conditions.h"
#include "func/derivative.h"
#include "func/messages.h"
#include "func/scan.h"
#include "methods/constrained.h"
#include "methods/verdict.h"

namespace qirt {

namespace {

constexpr const char* kDefaultAccuracyText = "1e-7";

// The run ends with a message: nothing of it stays built.
void Refuse(TSession& S, TRun& run, TRunStatus status, const char* text,
            const std::vector<std::string>& arguments = {}) {
    ShowMessage(S.Function.Messages, text, ShowKind::NonModal, arguments);
    run.Built = true;
    FinishRun(S, run);
    run.Status = status;
    run.Result = TRunResult{};
    run.Result.End = TRunEnd::Refused;
}

// Marks the variables of the formula, and of the region's conditions while
// the region is in force; returns the highest plus one (0 for none).
int CountToHighestVariable(const TFunction& F, bool (&used)[10]) {
    const uslov* region = F.Conditions;
    int count = 0;
    for (int i = 0; i < 10; ++i) {
        used[i] = F.VariableUsed[i];
        if (region && region->PenaltyEnabled)
            for (const straf* c = region->Head; c; c = c->Next) used[i] = used[i] || c->Expression.VariableUsed[i];
        if (used[i]) count = i + 1;
    }
    return count;
}

// The method's end weighed against the gradient where it stopped, and the
// whole result of the run.
void FillResult(TSession& S, TRun& run, int method, double seconds) {
    TRunResult& r = run.Result;
    const TFunction& F = S.Function;
    r.Method = method;
    r.LastIndex = run.LastIndex;
    r.Point = run.ResultPoint;
    r.Minimum = run.MinimumValue;
    r.Iterations = S.IterationCount;
    r.Evaluations = F.EvaluationCount;
    r.GradientEvaluations = F.GradientCount;
    r.HessianEvaluations = F.HessianCount;
    r.Seconds = seconds;
    r.Track = std::shared_ptr<Tdata>(&run.Track, [](Tdata*) {}); // the run owns it
    r.GradientNorm = r.RelativeGradient = std::nanl("");
    r.EvidenceEvaluations = 0;
    Vector g{};
    if (S.End != TMethodEnd::UndefinedStart &&
        GradientEvidence(S, run.ResultPoint, run.LastIndex, kMethods[method].Needs != TDerivatives::None, g,
                         r.EvidenceEvaluations)) {
        r.GradientNorm = LargestComponent(g, run.LastIndex);
        r.RelativeGradient = RelativeGradient(g, run.MinimumValue, run.ResultPoint, run.LastIndex);
        std::int64_t more = 0;
        r.PromisedDecrease = PredictedDecrease(S, run.ResultPoint, run.LastIndex, run.MinimumValue, g, more);
        r.EvidenceEvaluations += more;
    }
    const bool stationary = Stationary(r.RelativeGradient, run.ValueAccuracy) &&
                            SmallDecrease(r.PromisedDecrease, run.MinimumValue, run.ValueAccuracy);
    r.End = Verdict(S.End, run.MinimumValue, stationary, LargestComponent(run.ResultPoint, run.LastIndex));
}

// The message of an end that the user should not miss, or null.
const char* EndMessage(TRunEnd end) {
    switch (end) {
    case TRunEnd::Unbounded: return message::Unbounded;
    case TRunEnd::RunsOff: return message::RunsOff;
    case TRunEnd::NotStationary: return message::NotStationary;
    case TRunEnd::SingularHessian: return message::SingularHessian;
    default: return nullptr;
    }
}

// The refusal of a number field that holds no usable number, or null.
// Empty fields take their defaults before this.
const char* BadNumberText(const TRunInputs& in, const TRun& run, bool derivatives) {
    if (in.MethodFamily == family::GraphOnly) return nullptr; // no accuracies, no step
    // A number must be written as one and be finite: "1e5000" overflows.
    auto unusable = [](const std::string& text) {
        return !text.empty() && (!IsRealText(text) || !std::isfinite(TextToReal(text)));
    };
    if (unusable(in.VariableAccuracyText)) return message::BadVariableAccuracy;
    if (unusable(in.ValueAccuracyText)) return message::BadValueAccuracy;
    // A negative accuracy would switch the stopping tests off for good.
    if (run.VariableAccuracy < 0) return message::NegativeVariableAccuracy;
    if (run.ValueAccuracy < 0) return message::NegativeValueAccuracy;
    if (derivatives && in.StepText != kSymbolicStepText && unusable(in.StepText)) return message::BadStep;
    return nullptr;
}

} // namespace

std::string NthCoordinate(std::string_view text, int n) {
    if (n < 1 || n > 10) return {};
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) return {};
        start = comma + 1;
    }
    const std::size_t end = text.find(',', start);
    return std::string(text.substr(start, end == std::string_view::npos ? end : end - start));
}

namespace {

// Reads the texts, builds the function object (with the derivative
// objects the method takes) and reads the start point into it, as the
// start button does. False when the run cannot go on: the message is
// shown and nothing stays built. method is the index of the method (-1
// for none) and derivatives whether it takes them.
bool BuildRun(TSession& S, const TRunInputs& in, TRun& run, int& method, bool& derivatives) {
    TFunction& F = S.Function;
    if (F.Messages) F.Messages->NewReport();
    run.Status = TRunStatus::NotStarted;
    run.Result = TRunResult{};
    run.Result.End = TRunEnd::Refused;
    // A required field left empty: nothing runs, and the field is named.
    const char* empty = nullptr;
    if (in.StepText.empty() && in.MethodFamily != family::GraphOnly) empty = message::EmptyStep;
    if (in.VariableCountText.empty()) empty = message::EmptyVariableCount;
    if (in.Formula.empty()) empty = message::EmptyFormula;
    const bool inputsValid = empty == nullptr;
    const std::string start = in.StartText.empty() ? std::string("0") : in.StartText;
    run.VariableAccuracy =
        TextToReal(in.VariableAccuracyText.empty() ? kDefaultAccuracyText : in.VariableAccuracyText);
    run.ValueAccuracy =
        TextToReal(in.ValueAccuracyText.empty() ? kDefaultAccuracyText : in.ValueAccuracyText);
    if (!inputsValid) {
        ShowMessage(F.Messages, empty, ShowKind::NonModal);
        return false;
    }
    // Only the methods that take derivatives read the step.
    method = MethodIndex(in.MethodFamily, in.MethodVariant);
    derivatives = method >= 0 && kMethods[method].Needs != TDerivatives::None;
    if (const char* refusal = BadNumberText(in, run, derivatives)) {
        run.Status = TRunStatus::BadNumber;
        ShowMessage(F.Messages, refusal, ShowKind::NonModal);
        return false;
    }

    F.ExtendedPlot = in.ExtendedPlot;
    run.MethodFamily = in.MethodFamily;
    run.MethodVariant = in.MethodVariant;
    F.DifferentiationStep = in.StepText == kSymbolicStepText ? 0 : TextToReal(in.StepText);

    // The derivative trees are built once the variables that take part are
    // known; methods without derivatives build none.
    BuildTree(F, in.Formula, false);
    bool used[10];
    const int highest = CountToHighestVariable(F, used);
    for (int i = 0; i < 10; ++i) S.CoordinateUsed[i] = true;
    if (F.ErrorCode == error::None && in.VariableCountText == kAutomaticCount) {
        F.VariableCount = static_cast<Byte>(highest);
        for (int i = 0; i < 10; ++i) S.CoordinateUsed[i] = used[i];
    }
    if (F.ErrorCode == error::None && derivatives && F.DifferentiationStep == 0 && F.VariableCount > 0)
        BuildDerivativeObjects(F);
    if (F.ErrorCode != error::None) {
        const TFormulaFault fault = F.Fault;
        Refuse(S, run, TRunStatus::BuildFailed, message::RunBuild);
        // Under the two texts: where the formula goes wrong, and the
        // formula with a marker under that place.
        if (fault.Kind != TFormulaFaultKind::None) {
            const TFaultLine line = FaultLine(fault);
            ShowMessage(F.Messages, line.Pattern, ShowKind::NonModal, line.Arguments);
            if (F.Messages) F.Messages->SetExcerpt(fault.Excerpt);
        }
        run.Result.Fault = fault;
        return false;
    }
    if (F.VariableCount == 0) {
        Refuse(S, run, TRunStatus::NoVariables, message::NoVariables);
        return false;
    }
    for (int i = 1; i <= F.VariableCount; ++i) {
        // Blanks around a coordinate ("1, 2") are no part of it.
        std::string coordinate = NthCoordinate(start, i);
        coordinate.erase(0, coordinate.find_first_not_of(' '));
        coordinate.erase(coordinate.find_last_not_of(' ') + 1);
        if (coordinate.empty()) {
            Refuse(S, run, TRunStatus::MissingCoordinates, message::MissingCoordinates);
            return false;
        }
        if (!IsRealText(coordinate)) {
            Refuse(S, run, TRunStatus::BadNumber, message::BadStartCoordinate,
                   {std::to_string(i), coordinate});
            return false;
        }
        SetCoordinate(F, i - 1, TextToReal(coordinate));
    }

    run.LastIndex = F.VariableCount - 1;
    return true;
}

// A new track and, unless told otherwise, a new log for the run, which
// starts at run.ResultPoint.
void NewTrack(TSession& S, TRun& run, bool log = true) {
    run.MinimumValue = 0;
    ClearTrack(run.Track);
    run.Track.Count = 0;
    run.Track.BatchState = 0;
    run.Track.Cursor = nullptr;
    S.Track = &run.Track;
    run.Log = log ? std::make_shared<TIterationLog>(run.LastIndex + 1) : nullptr;
    S.Log = run.Log.get();
    run.Built = true;
}

// What one run leaves in the function object and the region that a later
// run from another point must not see: the counters (the evaluation limit
// counts from the build), the sticky error codes of the function and of its
// derivative objects, the conditions' codes, and the step, which a numeric
// derivative replaces when it is unusable.
void ForgetLastRun(TSession& S, const TRunInputs& in) {
    TFunction& F = S.Function;
    auto forget = [](TFunction& G) {
        G.ClearEvaluationError();
        G.EvaluationCount = 0;
        G.GradientCount = G.HessianCount = 0;
        G.CountingPaused = false;
    };
    forget(F);
    F.DifferentiationStep = in.StepText == kSymbolicStepText ? 0 : TextToReal(in.StepText);
    for (int i = 0; i < 10; ++i) {
        if (F.GradientTrees[i]) forget(*F.GradientTrees[i]);
        for (int j = i; j < 10; ++j)
            if (F.HessianTrees[i][j]) forget(*F.HessianTrees[i][j]);
    }
    for (straf* c = S.Conditions.Head; c; c = c->Next) {
        forget(c->Expression);
        c->ConditionErrorCode = 0;
        c->NearBoundary = false;
    }
    S.Conditions.ConditionErrorCode = 0;
    S.Conditions.NearBoundary = false;
}

// The method from run.ResultPoint on the built function object, its result
// weighed, and the messages of its end.
void RunMethod(TSession& S, const TRunInputs& in, TRun& run, int method, bool derivatives) {
    TFunction& F = S.Function;
    S.End = TMethodEnd::Converged;
    S.Conditions.NewErrorReport();
    const auto started = std::chrono::steady_clock::now();
    TRegionReport region;
    {
        // The strategies change the region's coefficients, weights and
        // multipliers between their runs; the evidence is taken with the
        // last of them, and then they are put back as typed.
        TRegionParameters typed(S.Conditions);
        if (RegionInForce(S)) {
            const TStrategyRun strategyRun{method, run.LastIndex, run.ValueAccuracy, run.VariableAccuracy,
                                           derivatives};
            RunRegionStrategy(S, in.RegionStrategy, strategyRun, run.Track, run.ResultPoint, run.MinimumValue,
                              region);
        } else {
            kMethods[method].Run(S, run.ResultPoint, static_cast<Byte>(run.LastIndex), run.MinimumValue,
                                 run.ValueAccuracy, run.VariableAccuracy);
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        S.CurrentLastIndex = static_cast<Byte>(run.LastIndex);
        S.FoundPoint = run.ResultPoint;
        FillResult(S, run, method, seconds);
        run.Result.Log = run.Log;
    }
    // A strategy is judged as a whole: its last penalty problem is steep,
    // and the evidence on it says little about the region's problem.
    if (region.Present && region.Strategy != TRegionStrategy::Single) {
        if (region.End == TRegionEnd::RegionMinimum)
            run.Result.End = TRunEnd::Converged;
        else if (region.End == TRegionEnd::NotStationary && run.Result.End == TRunEnd::Converged)
            run.Result.End = TRunEnd::NotStationary;
    }
    run.Result.Region = std::move(region);
    if (S.End == TMethodEnd::UndefinedStart) {
        ShowMessage(F.Messages, message::UndefinedStart, ShowKind::NonModal);
        run.Status = TRunStatus::UndefinedStart;
        return;
    }
    // Outside a region with interior terms the penalty is the constant 1e6:
    // no slope leads in, and a method that could not get in stops there.
    if ((run.Result.End == TRunEnd::Converged || run.Result.End == TRunEnd::NotStationary) &&
        F.Conditions && !F.Conditions->InsideInterior(run.ResultPoint, F.VariableCount)) {
        run.Result.End = TRunEnd::NotStationary;
        ShowMessage(F.Messages, message::OutsideInterior, ShowKind::NonModal);
    } else if (const char* text = EndMessage(run.Result.End)) {
        ShowMessage(F.Messages, text, ShowKind::NonModal);
    }
    run.Status = TRunStatus::Done;
}

} // namespace

void StartRun(TSession& S, const TRunInputs& in, TRun& run) {
    int method = -1;
    bool derivatives = false;
    if (!BuildRun(S, in, run, method, derivatives)) return;
    TFunction& F = S.Function;
    for (int i = 0; i < 10; ++i) run.ResultPoint[i] = i <= run.LastIndex ? GetCoordinate(F, i) : 0;
    NewTrack(S, run);

    if (method < 0 && run.MethodFamily != family::GraphOnly) {
        FinishRun(S, run);
        run.Status = TRunStatus::NoMethod;
        return;
    }
    if (method < 0) { // graph only: the map is centred on 0
        S.End = TMethodEnd::Converged;
        S.Conditions.NewErrorReport();
        for (int i = 0; i <= run.LastIndex; ++i) run.ResultPoint[i] = 0;
        S.CurrentLastIndex = static_cast<Byte>(run.LastIndex);
        S.FoundPoint = run.ResultPoint;
        run.Result = TRunResult{};
        run.Result.LastIndex = run.LastIndex;
        run.Result.Track = std::shared_ptr<Tdata>(&run.Track, [](Tdata*) {});
        run.Status = TRunStatus::Done;
        return;
    }
    RunMethod(S, in, run, method, derivatives);
}

bool PrepareRun(TSession& S, const TRunInputs& in, TRun& run) {
    int method = -1;
    bool derivatives = false;
    if (!BuildRun(S, in, run, method, derivatives)) return false;
    TFunction& F = S.Function;
    for (int i = 0; i < 10; ++i) run.ResultPoint[i] = i <= run.LastIndex ? GetCoordinate(F, i) : 0;
    run.Built = true;
    if (method < 0) {
        FinishRun(S, run);
        run.Status = TRunStatus::NoMethod;
        return false;
    }
    return true;
}

void RunFrom(TSession& S, const TRunInputs& in, TRun& run, const Vector& start, bool log) {
    TFunction& F = S.Function;
    const int method = MethodIndex(in.MethodFamily, in.MethodVariant);
    run.Status = TRunStatus::NotStarted;
    run.Result = TRunResult{};
    run.Result.End = TRunEnd::Refused;
    if (!run.Built || method < 0) return;
    if (F.Messages) F.Messages->NewReport();
    ForgetLastRun(S, in);
    for (int i = 0; i < 10; ++i) {
        run.ResultPoint[i] = i <= run.LastIndex ? start[i] : 0;
        if (i <= run.LastIndex) SetCoordinate(F, i, start[i]);
    }
    NewTrack(S, run, log);
    RunMethod(S, in, run, method, kMethods[method].Needs != TDerivatives::None);
}

TRunEnd RunEnd(const TRun& run) {
    if (run.Status == TRunStatus::UndefinedStart) return TRunEnd::UndefinedStart;
    if (run.Status != TRunStatus::Done) return TRunEnd::Refused;
    return run.Result.End;
}

void FinishRun(TSession& S, TRun& run) {
    if (!run.Built) return;
    ReleaseTree(S.Function);
    ReleaseDerivativeObjects(S.Function);
    ClearTrack(run.Track);
    if (S.Track == &run.Track) S.Track = nullptr;
    if (S.Log == run.Log.get()) S.Log = nullptr;
    run.Built = false;
}

} // namespace qirt
