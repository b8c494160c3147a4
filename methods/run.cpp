#include "methods/run.h"

#include "func/messages.h"
#include "func/scan.h"
#include "methods/blmetr.h"
#include "methods/blpow.h"
#include "methods/blriv.h"
#include "methods/nyton.h"

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
}

void RunMethod(TSession& S, TRun& run) {
    const auto last = static_cast<Byte>(run.LastIndex);
    const int record = 1;
    switch (run.MethodFamily) {
    case family::ZeroOrder:
        ZeroOrderMethod(S, run.ResultPoint, last, run.MinimumValue, run.MethodVariant, record,
                        run.ValueAccuracy, run.VariableAccuracy);
        break;
    case family::FirstOrder:
        FirstOrderMethod(S, run.ResultPoint, last, run.MinimumValue, run.MethodVariant, record,
                         run.ValueAccuracy, run.VariableAccuracy);
        break;
    case family::Newton:
        NewtonMethod(S, run.ResultPoint, last, run.MinimumValue, record, run.ValueAccuracy,
                     run.VariableAccuracy);
        break;
    case family::VariableMetric:
        VariableMetricMethod(S, run.ResultPoint, last, run.MinimumValue, run.MethodVariant,
                             record, run.ValueAccuracy, run.VariableAccuracy);
        break;
    default: // graph only: the map is centred on 0
        for (int i = 0; i <= run.LastIndex; ++i) run.ResultPoint[i] = 0;
    }
}

// The refusal of a number field that holds no usable number, or null.
// Empty fields take their defaults before this.
const char* BadNumberText(const TRunInputs& in, const TRun& run, bool derivatives) {
    if (in.MethodFamily == family::GraphOnly) return nullptr; // no accuracies, no step
    if (!in.VariableAccuracyText.empty() && !IsRealText(in.VariableAccuracyText))
        return message::BadVariableAccuracy;
    if (!in.ValueAccuracyText.empty() && !IsRealText(in.ValueAccuracyText))
        return message::BadValueAccuracy;
    // A negative accuracy would switch the stopping tests off for good.
    if (run.VariableAccuracy < 0) return message::NegativeVariableAccuracy;
    if (run.ValueAccuracy < 0) return message::NegativeValueAccuracy;
    if (derivatives && in.StepText != kSymbolicStepText && !IsRealText(in.StepText))
        return message::BadStep;
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

void StartRun(TSession& S, const TRunInputs& in, TRun& run) {
    TFunction& F = S.Function;
    if (F.Messages) F.Messages->NewReport();
    run.Status = TRunStatus::NotStarted;
    bool inputsValid = true;
    if (in.StepText.empty() && in.MethodFamily != family::GraphOnly) inputsValid = false;
    if (in.Formula.empty() || in.VariableCountText.empty()) inputsValid = false;
    const std::string start = in.StartText.empty() ? std::string("0") : in.StartText;
    run.VariableAccuracy =
        TextToReal(in.VariableAccuracyText.empty() ? kDefaultAccuracyText : in.VariableAccuracyText);
    run.ValueAccuracy =
        TextToReal(in.ValueAccuracyText.empty() ? kDefaultAccuracyText : in.ValueAccuracyText);
    if (!inputsValid) return;
    // Only the gradient and Newton families take derivatives (and a step).
    const bool derivatives = in.MethodFamily == family::FirstOrder ||
                             in.MethodFamily == family::Newton ||
                             in.MethodFamily == family::VariableMetric;
    if (const char* refusal = BadNumberText(in, run, derivatives)) {
        run.Status = TRunStatus::BadNumber;
        ShowMessage(F.Messages, refusal, ShowKind::NonModal);
        return;
    }

    F.ExtendedPlot = in.ExtendedPlot;
    run.MethodFamily = in.MethodFamily;
    run.MethodVariant = in.MethodVariant;
    F.DifferentiationStep = in.StepText == kSymbolicStepText ? 0 : TextToReal(in.StepText);

    // The other families must not fail on a formula (with sqrt, abs, tg
    // ...) that has no symbolic derivative.
    BuildTree(F, in.Formula, derivatives);
    if (F.ErrorCode != error::None) return Refuse(S, run, TRunStatus::BuildFailed, message::RunBuild);
    if (F.VariableCount == 0)
        return Refuse(S, run, TRunStatus::NoVariables, message::NoVariables);
    for (int i = 1; i <= F.VariableCount; ++i) {
        // Blanks around a coordinate ("1, 2") are no part of it.
        std::string coordinate = NthCoordinate(start, i);
        coordinate.erase(0, coordinate.find_first_not_of(' '));
        coordinate.erase(coordinate.find_last_not_of(' ') + 1);
        if (coordinate.empty())
            return Refuse(S, run, TRunStatus::MissingCoordinates, message::MissingCoordinates);
        if (!IsRealText(coordinate)) {
            return Refuse(S, run, TRunStatus::BadNumber, message::BadStartCoordinate,
                          {std::to_string(i), coordinate});
        }
        SetCoordinate(F, i - 1, TextToReal(coordinate));
    }

    run.LastIndex = F.VariableCount - 1;
    for (int i = 0; i < 10; ++i) run.ResultPoint[i] = i <= run.LastIndex ? GetCoordinate(F, i) : 0;
    run.MinimumValue = 0;
    ClearTrack(run.Track);
    run.Track.Count = 0;
    run.Track.BatchState = 0;
    run.Track.Cursor = nullptr;
    S.Track = &run.Track;
    run.Built = true;

    if (run.MethodFamily < family::ZeroOrder || run.MethodFamily > family::GraphOnly ||
        run.MethodFamily == family::Statistical) {
        FinishRun(S, run);
        run.Status = TRunStatus::NoMethod;
        return;
    }
    S.End = TMethodEnd::Converged;
    S.Conditions.NewErrorReport();
    RunMethod(S, run);
    S.CurrentLastIndex = static_cast<Byte>(run.LastIndex);
    S.FoundPoint = run.ResultPoint;
    if (S.End == TMethodEnd::UndefinedStart) {
        ShowMessage(F.Messages, message::UndefinedStart, ShowKind::NonModal);
        run.Status = TRunStatus::UndefinedStart;
        return;
    }
    if (S.End == TMethodEnd::Unbounded) ShowMessage(F.Messages, message::Unbounded, ShowKind::NonModal);
    run.Status = TRunStatus::Done;
}

void FinishRun(TSession& S, TRun& run) {
    if (!run.Built) return;
    ReleaseTree(S.Function);
    ReleaseDerivativeObjects(S.Function);
    ClearTrack(run.Track);
    if (S.Track == &run.Track) S.Track = nullptr;
    run.Built = false;
}

} // namespace qirt
