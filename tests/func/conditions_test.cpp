#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "func/conditions.h"
#include "func/evaluate.h"
#include "recording_messages.h"

namespace qirt {
namespace {

using testing::RecordingMessages;

TEST(SplitInequality, ExpressionAndRelation) {
    struct Case {
        const char* Inequality;
        const char* Expression;
        std::int32_t Relation;
    };
    const Case cases[] = {
        {"x[0]+x[1]<=1", "x[0]+x[1]-(1)", LessEqual},
        {"x[0]>=0", "x[0]", GreaterEqual},
        {"0<=x[1]", "0-(x[1])", LessEqual},
        {"x[0]<=0.5", "x[0]-(0.5)", LessEqual},
        {"x[0]<2", "x[0]-(2)", Less},
        {"x[0]>2", "x[0]-(2)", Greater},
        {"x[0]=2", "x[0]-(2)", Equal},
        {"x[0]<>2", "x[0]-(2)", NotEqual},
        {"x[0]=<2", "x[0]-(<2)", Equal},
        {"x[0]+1", "x[0]+1", NoRelation},
        {"x[0]<= 1", "x[0]-( 1)", LessEqual},
    };
    for (const Case& c : cases) {
        std::int32_t relation = -1;
        EXPECT_EQ(SplitInequality(c.Inequality, relation), c.Expression) << c.Inequality;
        EXPECT_EQ(relation, c.Relation) << c.Inequality;
    }
}

TEST(Condition, RejectionCodesInOrderPowerRelationExpression) {
    struct Case {
        const char* Inequality;
        const char* Power;
        Byte Code;
    };
    const Case cases[] = {
        {"x[0]+1", "2", condition_error::NoRelation},
        {"x[0]<=1", "3", condition_error::BadPower},
        {"x[0]<=1", "1.5", condition_error::BadPower},
        {"x[0]+1", "3", condition_error::BadPower},
        {"y<=1", "2", error::Build},
        {"x[0]<=1", "0", 0},
        {"x[0]<=1", "2", 0},
        {"x[0]<=1", "4", 0},
    };
    for (const Case& c : cases) {
        uslov region;
        region.AddCondition(c.Inequality, "1", c.Power, kExteriorKind);
        EXPECT_EQ(region.ConditionErrorCode, c.Code) << c.Inequality << " " << c.Power;
        EXPECT_EQ(region.Size, c.Code == 0 ? 1 : 0);
    }
}

TEST(Condition, ExpressionBuildFailureShowsItsOwnMessage) {
    RecordingMessages messages;
    uslov region;
    region.Messages = &messages;
    region.AddCondition("x[0]+*1<=1", "1", "2", kExteriorKind);
    EXPECT_EQ(region.Size, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].Text, "Ошибка формирования дерева");
}

TEST(Condition, ExpressionsWithAnyFunctionGetSymbolicDerivatives) {
    RecordingMessages messages;
    uslov region;
    region.Messages = &messages;
    for (const char* c : {"sqrt(x[0])<=1", "abs(x[0]-1)<2", "tg(x[1])>=0", "sec(x[0])<=3"})
        region.AddCondition(c, "1", "2", kExteriorKind);
    EXPECT_EQ(region.Size, 4);
    EXPECT_TRUE(messages.shown.empty());
    for (straf* c = region.Head; c; c = c->Next) EXPECT_TRUE(c->Derivatives.Symbolic());
    EXPECT_EQ(region.PenaltySum(Vector{9, 0}, 2), 4 + 36); // (sqrt 9 - 1)^2 + (abs 8 - 2)^2
}

Real Sum(uslov& region, Real x0, Real x1 = 0) {
    Vector p{x0, x1};
    return region.PenaltySum(p, 2);
}

TEST(PenaltyTerm, ExteriorAndInterior) {
    uslov exterior;
    exterior.AddCondition("x[0]<=1", "1", "2", kExteriorKind);
    EXPECT_EQ(Sum(exterior, 3), 4);
    EXPECT_EQ(Sum(exterior, 1), 0);
    EXPECT_EQ(Sum(exterior, -5), 0);

    uslov interior;
    interior.AddCondition("x[0]<=1", "1", "2", kInteriorKind);
    EXPECT_EQ(Sum(interior, 0.5L), 2);
    EXPECT_EQ(Sum(interior, 3), 1e6L);
    EXPECT_EQ(Sum(interior, 1), 1e6L); // on the boundary, where 1/|g| has no value

    uslov typed; // any kind text but the exterior one is interior
    typed.AddCondition("x[0]<=1", "1", "2", "что-то");
    EXPECT_EQ(Sum(typed, 0.5L), 2);

    uslov two;
    two.AddCondition("x[0]<=1", "3", "2", kExteriorKind);
    two.AddCondition("x[1]>=0", "1", "4", kExteriorKind);
    EXPECT_EQ(Sum(two, 2, -2), 3 * 1 + 16);
}

TEST(PenaltyTerm, NearTheBoundary) {
    uslov region;
    region.AddCondition("x[0]<=1", "1", "2", kExteriorKind);
    region.BoundaryTolerance = 0.1L;
    Sum(region, 1.04L);
    EXPECT_TRUE(region.NearBoundary);
    Sum(region, 1.06L);
    EXPECT_FALSE(region.NearBoundary);

    uslov squared;
    squared.AddCondition("x[0]^2<=1", "1", "2", kExteriorKind);
    squared.BoundaryTolerance = 0.1L;
    Sum(squared, 1.09L); // |1.1881 - 1| = 0.1881 < 0.2
    EXPECT_TRUE(squared.NearBoundary);
    Sum(squared, 1.1L); // 0.21
    EXPECT_FALSE(squared.NearBoundary);

    region.PenaltyEnabled = false;
    EXPECT_EQ(Sum(region, 1.04L), 0);
    EXPECT_TRUE(region.NearBoundary); // still worked out
    EXPECT_EQ(Sum(region, 3), 0);
}

TEST(PenaltySum, EvaluationErrorBelongsToItsPointAndIsReportedOnce) {
    for (const char* kind : {kExteriorKind, kInteriorKind}) {
        SCOPED_TRACE(kind);
        RecordingMessages messages;
        uslov region;
        region.Messages = &messages;
        region.AddCondition("ln(x[0])<=0", "1", "2", kind);
        region.AddCondition("x[0]<=100", "1", "2", kind);
        ASSERT_EQ(region.Size, 2);
        region.BoundaryTolerance = 1000; // every defined point is near the second boundary
        const Real interiorAtHalf = 1 / -std::log(0.5L) + 1 / 99.5L;
        EXPECT_EQ(Sum(region, 0.5L), kind == kExteriorKind ? 0 : interiorAtHalf);
        EXPECT_EQ(region.ConditionErrorCode, 0);
        EXPECT_TRUE(messages.shown.empty());

        EXPECT_EQ(Sum(region, -1), 0); // ln undefined: no value, no boundary
        EXPECT_EQ(region.ConditionErrorCode, error::Ln);
        EXPECT_FALSE(region.NearBoundary);
        EXPECT_EQ(Sum(region, 0), 0);
        ASSERT_EQ(messages.shown.size(), 1u); // once, however many points fail
        EXPECT_EQ(messages.shown[0], (RecordingMessages::Shown{"Ошибка вычисления условий",
                                                               ShowKind::NonModal}));
        // The next point is judged on its own.
        const Real exteriorAtFive = std::pow(std::log(5.0L), 2);
        const Real atFive = Sum(region, 5);
        if (kind == kExteriorKind)
            EXPECT_NEAR(double(atFive), double(exteriorAtFive), 1e-15);
        else
            EXPECT_EQ(atFive, kInteriorOutside + 1 / 95.0L);
        EXPECT_EQ(region.ConditionErrorCode, 0);
        EXPECT_TRUE(region.NearBoundary);

        region.NewErrorReport(); // a new run or redraw tells the user again
        Sum(region, -2);
        EXPECT_EQ(messages.shown.size(), 2u);
    }
}

TEST(PenaltySum, UndefinedConditionLeavesThePenalisedFunctionUndefined) {
    uslov region;
    region.AddCondition("ln(x[0])<=1", "1", "2", kExteriorKind);
    TFunction F;
    F.Conditions = &region;
    BuildTree(F, "(x[0]-3)^2+(x[1]-3)^2");
    FunctionValue(F, Vector{-1, 0}, 1);
    EXPECT_EQ(F.ErrorCode, error::Region);
    F.ClearEvaluationError();
    EXPECT_EQ(FunctionValue(F, Vector{4, 3}, 1), 1 + std::pow(std::log(4.0L) - 1, 2));
    // With the penalties off the function alone has its value there.
    region.PenaltyEnabled = false;
    EXPECT_EQ(FunctionValue(F, Vector{-1, 3}, 1), 16);
    EXPECT_EQ(F.ErrorCode, 0);
}

TEST(PenaltyTerm, EveryAcceptedPowerGivesItsTerm) {
    uslov region;
    region.AddCondition("x[0]>5", "1", "2147483648", kExteriorKind);
    region.AddCondition("x[1]>5", "1", "1e4000", kExteriorKind);
    ASSERT_EQ(region.Size, 2);
    EXPECT_TRUE(std::isinf(region.PenaltySum(Vector{3, 6}, 2))); // 2^2147483648
    EXPECT_EQ(region.PenaltySum(Vector{4.5L, 6}, 2), 0);         // 0.5^2147483648
    EXPECT_EQ(region.PenaltySum(Vector{4, 6}, 2), 1);            // (-1)^2147483648
    EXPECT_TRUE(std::isinf(region.PenaltySum(Vector{6, 3}, 2)));
    // Powers past the end of the number range are refused.
    region.AddCondition("x[0]>5", "1", "1e5000", kExteriorKind);
    EXPECT_EQ(region.ConditionErrorCode, condition_error::BadPower);
    EXPECT_EQ(region.Size, 2);
}

TEST(ConditionList, AddChangeDelete) {
    uslov region;
    for (const char* c : {"x[0]<=1", "x[0]<=2", "x[0]<=3"}) region.AddCondition(c, "1", "2", kExteriorKind);
    auto order = [&] {
        std::vector<Real> bounds; // the bound b of "x[0]<=b" is -g at x[0] = 0
        for (straf* c = region.Head; c; c = c->Next) {
            Vector zero{};
            bounds.push_back(-FunctionValue(c->Expression, zero, 0));
        }
        EXPECT_EQ(int(bounds.size()), region.Size);
        return bounds;
    };
    region.ChangeCondition(2, "x[0]<=7", "1", "2", kExteriorKind);
    EXPECT_EQ(order(), (std::vector<Real>{1, 7, 3}));
    region.ChangeCondition(2, "x[0]+1", "1", "2", kExteriorKind); // rejected: list unchanged
    EXPECT_EQ(region.ConditionErrorCode, condition_error::NoRelation);
    EXPECT_EQ(order(), (std::vector<Real>{1, 7, 3}));
    region.ConditionErrorCode = 0;
    region.ChangeCondition(4, "x[0]<=9", "1", "2", kExteriorKind); // no such position
    region.DeleteCondition(0);
    EXPECT_EQ(order(), (std::vector<Real>{1, 7, 3}));

    region.AddCondition("x[0]<=4", "1", "2", kExteriorKind);
    region.AddCondition("x[0]<=5", "1", "2", kExteriorKind);
    region.DeleteCondition(1); // first
    EXPECT_EQ(order(), (std::vector<Real>{7, 3, 4, 5}));
    region.DeleteCondition(2); // middle
    EXPECT_EQ(order(), (std::vector<Real>{7, 4, 5}));
    region.DeleteCondition(3); // last
    EXPECT_EQ(order(), (std::vector<Real>{7, 4}));
    region.AddCondition("x[0]<=6", "1", "2", kExteriorKind); // the tail followed
    EXPECT_EQ(order(), (std::vector<Real>{7, 4, 6}));
    region.DeleteCondition(1);
    region.DeleteCondition(1);
    region.DeleteCondition(1);
    EXPECT_EQ(region.Size, 0);
    EXPECT_EQ(region.Head, nullptr);
    EXPECT_EQ(region.Tail, nullptr);
    EXPECT_EQ(Sum(region, 100), 0);
    EXPECT_FALSE(region.NearBoundary);
}

TEST(ConditionList, ClearAndReset) {
    uslov region;
    region.AddCondition("x[0]<=1", "1", "2", kExteriorKind);
    region.AddCondition("x[0]+1", "1", "2", kExteriorKind);
    region.BoundaryTolerance = 0.5L;
    region.PenaltyEnabled = false;
    region.ClearConditions();
    EXPECT_EQ(region.Size, 0);
    EXPECT_EQ(region.ConditionErrorCode, 0);
    EXPECT_EQ(region.BoundaryTolerance, 0.5L); // left as it was
    EXPECT_FALSE(region.PenaltyEnabled);
    region.ResetConditions();
    EXPECT_EQ(region.BoundaryTolerance, 0);
    EXPECT_TRUE(region.PenaltyEnabled);
}

TEST(EvenPower, WholeNonNegativeEvenNumbers) {
    for (Real x : {0.0L, 2.0L, 4.0L, 100.0L}) EXPECT_TRUE(IsEvenPower(x)) << double(x);
    for (Real x : {1.0L, 3.0L, 1.5L, -2.0L, 2.5L, Real(INFINITY), Real(NAN)})
        EXPECT_FALSE(IsEvenPower(x)) << double(x);
}

} // namespace
} // namespace qirt
