#include <cmath>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "func/conditions.h"
#include "func/evaluate.h"
#include "random_formula.h"

namespace qirt {
namespace {

// A function object built in numeric mode, so no derivative trees are made.
struct Formula {
    explicit Formula(const char* text) {
        F.DifferentiationStep = 1e-3L;
        BuildTree(F, text);
        EXPECT_EQ(F.ErrorCode, 0) << text;
    }
    Real At(Real x0, Real x1 = 0) {
        Vector p{x0, x1};
        return FunctionValue(F, p, 1);
    }
    TFunction F;
};

TEST(Evaluation, ValuesAndCounting) {
    Formula f("x[0]*x[0]+x[1]");
    EXPECT_EQ(f.At(3, 4), 13);
    EXPECT_EQ(f.At(1, 1), 2);
    EXPECT_EQ(f.F.EvaluationCount, 2);
    Formula g("x[0]*(x[1]+1)-2");
    EXPECT_EQ(g.At(2, 3), 6);
    f.F.CountingPaused = true;
    f.At(0);
    EXPECT_EQ(f.F.EvaluationCount, 2);
    // The count never wraps: a long run goes past 2^31 evaluations.
    f.F.CountingPaused = false;
    f.F.EvaluationCount = 2147483647;
    f.At(1);
    f.At(1);
    EXPECT_EQ(f.F.EvaluationCount, 2147483649LL);
}

struct ValueCase {
    const char* Text;
    Real X;
    Real Value;
    Byte Code;
};

TEST(Evaluation, RulesOfTheOperations) {
    const ValueCase cases[] = {
        {"abs(x[0])", -3, 3, 0},
        {"tg(x[0])", 0, 0, 0},
        {"x[0]^0", 0, 1, 0},
        {"x[0]^0", -7.5L, 1, 0},
        {"0^2", 0, 0, 0},
        {"2^-1", 0, 0.5L, 0},
        {"x[0]^3", -2, -8, 0},
        {"x[0]^(0.5)", 4, 2, 0},
        {"2^3^2", 0, 64, 0},
        {"sec(x[0])", 0, 1, 0},
        {"-(x[0]+1)-2", 1, -4, 0},
        {"1/x[0]", 0, 0, 103},
        {"5+sqrt(x[0])", -1, 5, 22},
        {"1/sqrt(x[0])", -1, 0, 103}, // the enclosing division fails in turn
        {"sqrt(x[0])+5", -1, 0, 22},  // nodes entered after the failure yield 0
        {"ln(x[0])", 0, 0, 29},
        {"ctg(x[0])", 0, 0, 26},
        {"cosec(x[0])", 0, 0, 28},
        {"x[0]^(0.5)", -1, 0, 104},
        {"x[0]^(0-1)", 0, 0, 104},
        {"x[0]^(0-2)", 2, 0.25L, 0},
        {"10^5000", 0, INFINITY, 0},
        {"0-10^5000", 0, -INFINITY, 0},
        {"sin(10^5000)", 0, 0, 23},
        {"10^5000-10^5000", 0, 0, 101},
        {"0*10^5000", 0, 0, 102},
        {"(10^5000)^0", 0, 1, 0},
        {"1^(10^5000)", 0, 0, 104},
    };
    for (const ValueCase& c : cases) {
        Formula f(c.Text);
        EXPECT_EQ(f.At(c.X), c.Value) << c.Text;
        EXPECT_EQ(f.F.ErrorCode, c.Code) << c.Text;
    }
}

TEST(Evaluation, AnErrorSticksUntilTheNextBuild) {
    Formula f("1/x[0]");
    f.At(0);
    EXPECT_EQ(f.At(2), 0);
    EXPECT_EQ(f.F.EvaluationCount, 2); // counted even while the error stands
    EXPECT_FALSE(f.F.LastEvaluationDefined());
    f.F.ClearEvaluationError();
    EXPECT_EQ(f.At(2), 0.5L);
    EXPECT_TRUE(f.F.LastEvaluationDefined());
    BuildTree(f.F, "1/x[0]");
    EXPECT_EQ(f.At(4), 0.25L);
}

TEST(Evaluation, ClearingDoesNotReviveAFailedBuild) {
    TFunction F;
    BuildTree(F, "x[0]+");
    F.ClearEvaluationError();
    EXPECT_EQ(F.ErrorCode, error::Build);
    EXPECT_EQ(CurrentValue(F), 0);
}

TEST(Evaluation, FunctionValueWritesOnlyUpToLastIndex) {
    Formula f("x[0]+x[1]+x[2]");
    f.F.Point[2] = 100;
    Vector p{1, 2, 3};
    EXPECT_EQ(FunctionValue(f.F, p, 1), 103);
    EXPECT_EQ(f.F.Point[2], 100);
}

TEST(Evaluation, NanCoordinateIsUndefined) {
    Formula f("x[0]");
    EXPECT_EQ(f.At(NAN), 0);
    EXPECT_EQ(f.F.ErrorCode, error::Undefined);
}

TEST(Evaluation, PenaltyIsAddedThroughTheConditionList) {
    uslov region;
    region.AddCondition("x[0]<=1", "1", "2", kExteriorKind);
    Formula f("x[0]^2");
    f.F.Conditions = &region;
    EXPECT_EQ(f.At(3), 9 + 4);
    EXPECT_EQ(f.At(1), 1);
}

// The flat run and the node-by-node walk must agree bit for bit, value and
// error code, on any formula and point, including where it is undefined.
TEST(Evaluation, FlatRunAgreesWithTheTreeWalk) {
    testing::RandomFormula formulas(11, {.MaxDepth = 3, .Variables = 2});
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> coordinate(-3, 3);
    int compared = 0, undefined = 0;
    for (int k = 0; k < 3000; ++k) {
        std::string text = formulas.Next();
        TFunction F;
        F.DifferentiationStep = 1e-3L;
        BuildTree(F, text);
        if (F.ErrorCode != 0) continue; // "x[0]*--x[1]" and the like do not parse
        for (int p = 0; p < 8; ++p) {
            Vector point{Real(coordinate(rng)), p == 0 ? 0 : Real(coordinate(rng))};
            F.ClearEvaluationError();
            Real fast = FunctionValue(F, point, 1);
            Byte fast_code = F.ErrorCode;
            F.ClearEvaluationError();
            Real slow = EvaluateNode(F, F.Root);
            ASSERT_EQ(fast_code, F.ErrorCode) << text;
            ASSERT_EQ(std::memcmp(&fast, &slow, 10), 0) << text << " " << double(fast) << " "
                                                         << double(slow);
            ASSERT_FALSE(std::isnan(fast));
            ++compared;
            undefined += fast_code != 0;
        }
    }
    EXPECT_GT(undefined, 500); // domain errors are really exercised
    EXPECT_GT(compared - undefined, 10000);
}

} // namespace
} // namespace qirt
