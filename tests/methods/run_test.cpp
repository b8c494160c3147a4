#include <gtest/gtest.h>

#include "../func/recording_messages.h"
#include "func/conditions.h"
#include "func/messages.h"
#include "func/scan.h"
#include "methods/run.h"

namespace qirt {
namespace {

using testing::RecordingMessages;

TEST(NthCoordinate, CutsAtCommasExactlyAsTyped) {
    EXPECT_EQ(NthCoordinate("3,4", 1), "3");
    EXPECT_EQ(NthCoordinate("3,4", 2), "4");
    EXPECT_EQ(NthCoordinate("3,4", 3), "");
    EXPECT_EQ(NthCoordinate("1,,2", 2), "");
    EXPECT_EQ(NthCoordinate("1,,2", 3), "2");
    EXPECT_EQ(NthCoordinate(" 1, 2", 2), " 2");
    EXPECT_EQ(NthCoordinate("1,2,", 3), "");
    EXPECT_EQ(NthCoordinate("0,1,2,3,4,5,6,7,8,9,10", 10), "9");
    EXPECT_EQ(NthCoordinate("0,1,2,3,4,5,6,7,8,9,10", 11), "");
    EXPECT_EQ(NthCoordinate("5", 0), "");
}

struct Runner {
    Runner() {
        S.Function.Messages = &messages;
        S.Conditions.Messages = &messages;
    }
    TRunStatus Run(TRunInputs in) {
        StartRun(S, in, run);
        return run.Status;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (auto& m : messages.shown) texts.push_back(m.Text);
        return texts;
    }
    RecordingMessages messages;
    TSession S;
    TRun run;
};

TRunInputs Inputs(const char* formula, const char* start = "3,4,0,0,0,0,0,0,0,0") {
    TRunInputs in;
    in.Formula = formula;
    in.StartText = start;
    return in;
}

TEST(StartRun, EmptyRequiredTextsRunNothingAndNameTheField) {
    Runner r;
    EXPECT_EQ(r.Run(Inputs("")), TRunStatus::NotStarted);
    TRunInputs noStep = Inputs("x[0]^2");
    noStep.StepText = "";
    EXPECT_EQ(r.Run(noStep), TRunStatus::NotStarted);
    noStep.MethodFamily = family::GraphOnly; // the graph needs no step
    EXPECT_EQ(r.Run(noStep), TRunStatus::Done);
    FinishRun(r.S, r.run);
    TRunInputs noCount = Inputs("x[0]^2");
    noCount.VariableCountText = "";
    EXPECT_EQ(r.Run(noCount), TRunStatus::NotStarted);
    EXPECT_EQ(r.Texts(), (std::vector<std::string>{message::EmptyFormula, message::EmptyStep,
                                                   message::EmptyVariableCount}));
}

TEST(StartRun, ReadsTheStartPointFieldByField) {
    Runner r;
    EXPECT_EQ(r.Run(Inputs("x[0]+x[1]+x[2]", "3,4")), TRunStatus::MissingCoordinates);
    EXPECT_EQ(r.Run(Inputs("x[0]+x[1]", "1,,2")), TRunStatus::MissingCoordinates);
    EXPECT_EQ(r.Run(Inputs("x[0]+x[1]", "1, ")), TRunStatus::MissingCoordinates);
    // A coordinate that is there but no number says which one it is.
    EXPECT_EQ(r.Run(Inputs("x[0]+x[1]", "1,a")), TRunStatus::BadNumber);
    EXPECT_EQ(r.Run(Inputs("x[0]+x[1]", "1.5.2,1")), TRunStatus::BadNumber);
    EXPECT_EQ(r.Texts(), (std::vector<std::string>{
                             message::MissingCoordinates, message::MissingCoordinates,
                             message::MissingCoordinates,
                             "Начальное приближение: координата 2 («a») — не число",
                             "Начальное приближение: координата 1 («1.5.2») — не число"}));
    EXPECT_EQ(r.messages.shown[0].How, ShowKind::NonModal);
    EXPECT_EQ(r.S.Function.Root, nullptr); // nothing stays built
    // The coordinate as typed, even when it looks like a numbered place.
    EXPECT_EQ(r.Run(Inputs("x[0]+x[1]", "%2,1")), TRunStatus::BadNumber);
    EXPECT_EQ(r.Texts().back(), "Начальное приближение: координата 1 («%2») — не число");
    // The exponent form, and blanks around a coordinate, are taken.
    EXPECT_EQ(r.Run(Inputs("x[0]^2+x[1]^2", "1e-3, -2E+1 ")), TRunStatus::Done);
    EXPECT_EQ(r.run.Track.Head->X[0], TextToReal("1e-3"));
    EXPECT_EQ(r.run.Track.Head->X[1], -20);
    FinishRun(r.S, r.run);

    TRunInputs in = Inputs("(x[0]-1)^2+(x[1]-2)^2", "0,0,7,7");
    in.MethodFamily = family::ZeroOrder;
    in.MethodVariant = 2;
    EXPECT_EQ(r.Run(in), TRunStatus::Done); // extra fields are ignored
    EXPECT_EQ(r.run.ResultPoint, (Vector{1, 2}));
    EXPECT_EQ(r.S.IterationCount, 2);
    EXPECT_EQ(r.run.Track.Count, 2);
    FinishRun(r.S, r.run);
    EXPECT_EQ(r.S.Function.Root, nullptr);
    EXPECT_EQ(r.run.Track.Head, nullptr);
}

TEST(StartRun, NumberFieldsThatHoldNoNumberAreRefusedByName) {
    struct Case {
        const char* VariableAccuracy;
        const char* ValueAccuracy;
        const char* Step;
        int Family;
        const char* Message; // null: the run goes ahead
    };
    const Case cases[] = {
        {"abc", "1e-7", kSymbolicStepText, family::FirstOrder, message::BadVariableAccuracy},
        {"1e-7", "1,5", kSymbolicStepText, family::FirstOrder, message::BadValueAccuracy},
        {"1e-7", "1e-7", "abc", family::FirstOrder, message::BadStep},
        {"1e-7", "1e-7", "abc", family::Newton, message::BadStep},
        {"1e-7", "1e-7", "abc", family::ZeroOrder, nullptr},   // no step taken
        {"abc", "abc", "abc", family::GraphOnly, nullptr},    // nothing of these used
        {"0", "0", "1e-5", family::VariableMetric, nullptr},
        {"-1", "1e-7", kSymbolicStepText, family::FirstOrder, message::NegativeVariableAccuracy},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.VariableAccuracy) + " " + c.ValueAccuracy + " " + c.Step);
        Runner r;
        TRunInputs in = Inputs("x[0]^2+x[1]^2", "1,1");
        in.VariableAccuracyText = c.VariableAccuracy;
        in.ValueAccuracyText = c.ValueAccuracy;
        in.StepText = c.Step;
        in.MethodFamily = c.Family;
        const TRunStatus status = r.Run(in);
        if (c.Message) {
            EXPECT_EQ(status, TRunStatus::BadNumber);
            EXPECT_EQ(r.Texts(), std::vector<std::string>{c.Message});
            EXPECT_EQ(r.S.Function.Root, nullptr);
        } else {
            EXPECT_EQ(status, TRunStatus::Done);
            EXPECT_TRUE(r.Texts().empty());
        }
        FinishRun(r.S, r.run);
    }
}

TEST(StartRun, EmptyStartAndAccuracyTextsTakeTheirDefaults) {
    Runner r;
    TRunInputs in = Inputs("(x[0]-1)^2", "");
    in.VariableAccuracyText = "";
    in.ValueAccuracyText = "";
    EXPECT_EQ(r.Run(in), TRunStatus::Done);
    EXPECT_EQ(r.run.VariableAccuracy, TextToReal("1e-7"));
    EXPECT_EQ(r.run.ValueAccuracy, TextToReal("1e-7"));
    EXPECT_EQ(r.run.Track.Head->X[0], 0); // started from "0"
    FinishRun(r.S, r.run);
}

TEST(StartRun, StepTextChoosesSymbolicOrNumericDerivatives) {
    Runner r;
    TRunInputs in = Inputs("x[0]^2+x[1]^2");
    EXPECT_EQ(r.Run(in), TRunStatus::Done);
    EXPECT_EQ(r.S.Function.DifferentiationStep, 0);
    FinishRun(r.S, r.run);
    EXPECT_EQ(r.S.Function.GradientTrees[0], nullptr); // released with the run
    in.StepText = "1e-5";
    EXPECT_EQ(r.Run(in), TRunStatus::Done);
    EXPECT_EQ(r.S.Function.DifferentiationStep, TextToReal("1e-5"));
    EXPECT_EQ(r.S.Function.GradientTrees[0], nullptr);
    FinishRun(r.S, r.run);
}

TEST(StartRun, FailuresShowTheirMessages) {
    Runner r;
    EXPECT_EQ(r.Run(Inputs("x[0]+")), TRunStatus::BuildFailed);
    // The two texts as they always were, and under them where the formula
    // goes wrong; the result keeps the place for qirt-batch's JSON.
    EXPECT_EQ(r.Texts(), (std::vector<std::string>{message::TreeBuild, message::RunBuild,
                                                   "позиция 5: после «+» нет операнда"}));
    EXPECT_EQ(r.run.Result.Fault.Kind, TFormulaFaultKind::MissingOperand);
    EXPECT_EQ(r.run.Result.Fault.Position, 5);
    r.messages.shown.clear();
    EXPECT_EQ(r.Run(Inputs("5")), TRunStatus::NoVariables);
    EXPECT_EQ(r.Texts(), (std::vector<std::string>{message::NoVariables}));
    r.messages.shown.clear();
    TRunInputs undefined = Inputs("ln(x[0])", "-1");
    EXPECT_EQ(r.Run(undefined), TRunStatus::UndefinedStart);
    EXPECT_EQ(r.Texts(), (std::vector<std::string>{message::UndefinedStart}));
    FinishRun(r.S, r.run);
}

TEST(StartRun, FormulasWithSqrtAndAbsBuildForEveryFamily) {
    Runner r;
    for (int family : {family::ZeroOrder, family::GraphOnly}) {
        TRunInputs in = Inputs("sqrt((x[0]-1)^2+1)+abs(x[1]-2)", "0,0");
        in.MethodFamily = family;
        EXPECT_EQ(r.Run(in), TRunStatus::Done) << family;
        FinishRun(r.S, r.run);
    }
    for (const std::string& text : r.Texts())
        EXPECT_TRUE(text != message::DerivativeTrees && text != message::RunBuild) << text;
    // The gradient methods differentiate sqrt symbolically.
    TRunInputs in = Inputs("sqrt((x[0]-1)^2+1)", "0");
    in.MethodFamily = family::FirstOrder;
    EXPECT_EQ(r.Run(in), TRunStatus::Done);
    EXPECT_EQ(r.run.Result.End, TRunEnd::Converged);
    EXPECT_NEAR(double(r.run.ResultPoint[0]), 1, 1e-6);
    FinishRun(r.S, r.run);
}

TEST(StartRun, GraphOnlyCentresOnZeroAndStatisticalRunsNothing) {
    Runner r;
    TRunInputs in = Inputs("x[0]^2+x[1]^2+x[2]^2", "1,2,3");
    in.MethodFamily = family::GraphOnly;
    EXPECT_EQ(r.Run(in), TRunStatus::Done);
    EXPECT_EQ(r.run.ResultPoint, Vector{});
    EXPECT_EQ(r.S.CurrentLastIndex, 2);
    EXPECT_EQ(r.run.Track.Head, nullptr);
    EXPECT_EQ(r.S.Function.EvaluationCount, 0);
    FinishRun(r.S, r.run);
    in.MethodFamily = family::Statistical;
    EXPECT_EQ(r.Run(in), TRunStatus::NoMethod);
    EXPECT_EQ(r.S.Function.Root, nullptr);
}

TEST(StartRun, RegionPenaltiesTakePartInEveryValue) {
    Runner r;
    r.S.Conditions.AddCondition("x[0]>=2", "1000", "2", kExteriorKind);
    ASSERT_EQ(r.S.Conditions.Size, 1);
    TRunInputs in = Inputs("x[0]^2", "3");
    in.MethodFamily = family::Newton;
    in.StepText = "1e-4"; // the penalty has no symbolic derivative
    EXPECT_EQ(r.Run(in), TRunStatus::Done);
    // The unconstrained minimum 0 lies outside; the penalised one just below 2.
    EXPECT_NEAR(r.run.ResultPoint[0], 2, 0.01);
    EXPECT_LT(r.run.ResultPoint[0], 2);
    FinishRun(r.S, r.run);
}

TEST(StartRun, NegativeAccuraciesAreRefusedAndUnboundedRunsSaySo) {
    Runner r;
    TRunInputs in = Inputs("x[0]^2", "1");
    in.VariableAccuracyText = "-1";
    EXPECT_EQ(r.Run(in), TRunStatus::BadNumber);
    in.VariableAccuracyText = "0";
    in.ValueAccuracyText = "-1e-7";
    EXPECT_EQ(r.Run(in), TRunStatus::BadNumber);
    EXPECT_EQ(r.Texts(), (std::vector<std::string>{
                             "Точность по переменным не может быть отрицательной",
                             "Точность по значениям функции не может быть отрицательной"}));
    EXPECT_EQ(r.S.Function.Root, nullptr);

    in = Inputs("x[0]+x[1]", "0,0");
    in.MethodFamily = family::ZeroOrder;
    in.MethodVariant = 2;
    EXPECT_EQ(r.Run(in), TRunStatus::Done);
    EXPECT_EQ(r.S.End, TMethodEnd::Unbounded);
    ASSERT_EQ(r.messages.shown.size(), 3u);
    EXPECT_EQ(r.messages.shown[2].Text, std::string(message::Unbounded));
    FinishRun(r.S, r.run);
}

TEST(StartRun, RegionMinimumIsTheSameWithSymbolicAndNumericDerivatives) {
    // The penalised function of (x-3)^2 + (y-3)^2 with x + y <= 2 (exterior)
    // and x >= 0.5 (interior) has its minimum at (1.84966, 1.57517).
    struct Method {
        int Family, Variant;
    };
    const Method methods[] = {{family::FirstOrder, 1},     {family::FirstOrder, 2},
                              {family::FirstOrder, 3},     {family::Newton, 1},
                              {family::VariableMetric, 1}, {family::VariableMetric, 2},
                              {family::VariableMetric, 3}};
    for (const Method& m : methods) {
        for (const char* step : {kSymbolicStepText, "1e-5"}) {
            SCOPED_TRACE(std::to_string(m.Family) + "/" + std::to_string(m.Variant) + " " + step);
            Runner r;
            r.S.Conditions.AddCondition("x[0]+x[1]<=2", "1", "2", kExteriorKind);
            r.S.Conditions.AddCondition("x[0]>=0.5", "1", "2", kInteriorKind);
            ASSERT_EQ(r.S.Conditions.Size, 2);
            TRunInputs in = Inputs("(x[0]-3)^2+(x[1]-3)^2", "0,0");
            in.MethodFamily = m.Family;
            in.MethodVariant = m.Variant;
            in.StepText = step;
            ASSERT_EQ(r.Run(in), TRunStatus::Done);
            EXPECT_NEAR(double(r.run.ResultPoint[0]), 1.84966, 2e-4);
            EXPECT_NEAR(double(r.run.ResultPoint[1]), 1.57517, 2e-4);
            EXPECT_NEAR(double(r.run.MinimumValue), 6.1244905, 1e-7);
            EXPECT_GT(r.S.IterationCount, 1);
            FinishRun(r.S, r.run);
        }
    }
}

TEST(FillArguments, FillsEachPlaceOnceAndLeavesTheRest) {
    // An argument is not read again for places; places without an argument,
    // %0 and a lone % stay as written.
    EXPECT_EQ(FillArguments("a %1 b %2 %3 %0 %", {"x%2", "y"}), "a x%2 b y %3 %0 %");
    EXPECT_EQ(FillArguments("%2%1", {"1", "2"}), "21");
    EXPECT_EQ(FillArguments("no places", {"unused"}), "no places");
}

} // namespace
} // namespace qirt

namespace qirt {
namespace {

// Outside a region with interior terms the penalty is the constant 1e6: a
// method that cannot get in says so instead of calling 1e6 a minimum; one
// that finds its way in from outside ends as usual.
TEST(StartRun, AMethodStuckOutsideAnInteriorRegionSaysSo) {
    struct TCase {
        const char* Method;
        const char* Start;
        bool Outside;
    };
    for (const TCase& c : {TCase{"gauss", "0", true}, TCase{"dfp", "0", true}, TCase{"dfp", "3", false},
                           TCase{"nelder-mead", "2", false}}) {
        SCOPED_TRACE(std::string(c.Method) + " from " + c.Start);
        RecordingMessages messages;
        TSession S;
        S.Function.Messages = &messages;
        // Outside, the gradient of x[0]^2 + 1e6 is 0 at 0: nothing leads in.
        S.Conditions.AddCondition("x[0]>1", "1", "2", kInteriorKind);
        TRunInputs in;
        in.Formula = "x[0]^2";
        in.StartText = c.Start;
        const int m = MethodIndex(c.Method);
        in.MethodFamily = kMethods[m].Family;
        in.MethodVariant = kMethods[m].Variant;
        TRun run;
        StartRun(S, in, run);
        ASSERT_EQ(run.Status, TRunStatus::Done);
        const bool outside = !S.Conditions.InsideInterior(run.ResultPoint, 1);
        EXPECT_EQ(outside, c.Outside) << double(run.ResultPoint[0]) << "," << double(run.ResultPoint[1]);
        bool told = false;
        for (const auto& shown : messages.shown) told = told || shown.Text == message::OutsideInterior;
        EXPECT_EQ(told, outside);
        if (outside) EXPECT_EQ(run.Result.End, TRunEnd::NotStationary);
        else EXPECT_LT(double(run.Result.Minimum), 1e6);
        FinishRun(S, run);
    }
}

// A region switched off keeps its conditions but takes no part: not in the
// values, not in the variables that take part, not in the report.
TEST(StartRun, ARegionSwitchedOffTakesNoPart) {
    Runner r;
    r.S.Conditions.AddCondition("x[0]+0*x[3]<=2", "1", "2", kExteriorKind);
    r.S.Function.Conditions = nullptr;
    ASSERT_EQ(r.Run(Inputs("(x[0]-3)^2+(x[1]-3)^2", "0,0")), TRunStatus::Done);
    EXPECT_EQ(r.run.LastIndex, 1); // x[3] of the condition does not count
    EXPECT_NEAR(double(r.run.ResultPoint[0]), 3, 1e-6);
    EXPECT_FALSE(r.run.Result.Region.Present);
    EXPECT_EQ(r.S.Conditions.Size, 1);
    FinishRun(r.S, r.run);
    r.S.Function.Conditions = &r.S.Conditions; // on again
    ASSERT_EQ(r.Run(Inputs("(x[0]-3)^2+(x[1]-3)^2", "0,0,0,0")), TRunStatus::Done);
    EXPECT_EQ(r.run.LastIndex, 3);
    EXPECT_TRUE(r.run.Result.Region.Present);
    EXPECT_LT(r.run.ResultPoint[0], 3);
    FinishRun(r.S, r.run);
}

} // namespace
} // namespace qirt
