#include <cmath>

#include <gtest/gtest.h>

#include "method_fixture.h"
#include "methods/blis.h"

namespace qirt {
namespace {

using testing::BuiltSession;

struct SearchResult {
    Real Step;
    int Failed;
    int Evaluations;
    Real Good;
};

SearchResult Search(BuiltSession& b, const Vector& x, const Vector& s, Real step) {
    int failed = -1;
    Real good = -1;
    const int before = b.Evaluations();
    LineSearch(b.S, x, b.S.Function.VariableCount - 1, s, step, failed, &good);
    return {step, failed, b.Evaluations() - before, good};
}

TEST(LineSearch, ExpandsThenTakesTheParabolaVertex) {
    BuiltSession b("(x[0]-3)^2");
    // Steps 0.2 ... 3.2 keep falling, 6.4 rises: the vertex through 0, 3.2, 6.4 is 3.
    auto r = Search(b, Vector{0}, Vector{1}, 0.1L);
    EXPECT_EQ(r.Failed, 0);
    EXPECT_NEAR(r.Step, 3, 1e-15);
    EXPECT_EQ(r.Evaluations, 8);
    EXPECT_EQ(r.Good, 3.2L);
}

TEST(LineSearch, ReversesAfterTwentyOneHalvings) {
    BuiltSession b("(x[0]-3)^2");
    auto r = Search(b, Vector{0}, Vector{-1}, 0.1L);
    EXPECT_EQ(r.Failed, 0);
    EXPECT_NEAR(r.Step, -3, 1e-15);
    // f0, the first trial, 21 halvings, then the reversed pass: 0.2 ... 6.4.
    EXPECT_EQ(r.Evaluations, 1 + 1 + 21 + 6);
}

TEST(LineSearch, ContractionFindsAShorterStep) {
    BuiltSession b("(x[0]-0.01)^2");
    auto r = Search(b, Vector{0}, Vector{1}, 1);
    EXPECT_EQ(r.Failed, 0);
    EXPECT_NEAR(r.Step, 0.01L, 1e-15); // exact on a quadratic
}

TEST(LineSearch, ExactOnAnyQuadraticAlongTheDirection) {
    BuiltSession b("(x[0]-1)^2+4*(x[1]+2)^2+x[0]*x[1]");
    const Vector x{0.5, 0.25}, s{1, -2};
    auto r = Search(b, x, s, 0.1L);
    ASSERT_EQ(r.Failed, 0);
    // Along x + t s the function is quadratic in t; its minimiser by hand:
    // f(t) = (t-0.5)^2 + 4(2.25-2t)^2 + (0.5+t)(0.25-2t) = 15t^2 - 37.75t + const.
    EXPECT_NEAR(r.Step, 37.75L / 30, 1e-15);
}

TEST(LineSearch, ZeroDirectionFailsKeepingTheStep) {
    BuiltSession b("x[0]^2+x[1]^2");
    auto r = Search(b, Vector{1, 1}, Vector{0, 0}, 0.7L);
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.Step, 0.7L);
    EXPECT_EQ(r.Evaluations, 1);
}

TEST(LineSearch, NoDecreaseInEitherDirectionFails) {
    BuiltSession b("x[0]^2");
    auto r = Search(b, Vector{0}, Vector{1}, 0.1L);
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.Step, 0);
    // f0, trial, 21 halvings, the reversed trial, one reversed halving, and x itself.
    EXPECT_EQ(r.Evaluations, 1 + 1 + 21 + 1 + 1 + 1);
}

TEST(LineSearch, ZeroStepFailsAtOnce) {
    BuiltSession b("x[0]^2");
    auto r = Search(b, Vector{1}, Vector{-1}, 0);
    EXPECT_EQ(r.Failed, 1);
    EXPECT_EQ(r.Step, 0);
    EXPECT_EQ(r.Evaluations, 1);
}

TEST(LineSearch, ExpansionEndsWhereTheFunctionIsFlatOrUnbounded) {
    {
        BuiltSession flat("x[1]+0*x[0]");
        auto r = Search(flat, Vector{0, 0}, Vector{1, 0}, 0.1L);
        EXPECT_EQ(r.Failed, 1);
        EXPECT_EQ(r.Step, 0);
        EXPECT_LE(r.Evaluations, kMaxDoublings + 3);
    }
    {
        BuiltSession linear("x[0]");
        auto r = Search(linear, Vector{0}, Vector{-1}, 0.1L);
        EXPECT_EQ(r.Failed, 0);
        EXPECT_TRUE(std::isfinite(r.Step));
        EXPECT_GT(r.Step, 1e4000L); // it went as far as the arithmetic reaches
        EXPECT_LE(r.Evaluations, kMaxDoublings + 3);
    }
    {
        // The value overflows to -inf before the step does: the last finite step stays.
        BuiltSession falling("-x[0]^2");
        auto r = Search(falling, Vector{1}, Vector{1}, 0.1L);
        EXPECT_EQ(r.Failed, 0);
        EXPECT_TRUE(std::isfinite(falling.ValueAt(Vector{1 + r.Step})));
    }
}

TEST(LineSearch, StopsExpandingAtAnUndefinedPoint) {
    BuiltSession b("sqrt(x[0])", 1e-5L); // sqrt has no symbolic derivative
    // Trials 0.9, 0.8, 0.6, 0.2, then -0.6 is undefined: keep the step 0.8.
    auto r = Search(b, Vector{1}, Vector{-1}, 0.1L);
    EXPECT_EQ(r.Failed, 0);
    EXPECT_EQ(r.Step, 0.8L);
    EXPECT_EQ(r.Good, 0.8L);
    EXPECT_EQ(r.Evaluations, 6);
}

TEST(LineSearch, ContractsPastAnUndefinedTrial) {
    BuiltSession b("ln(x[0])");
    // The first trial, x = -1, is undefined; halving reaches x = 0.5, where ln falls.
    auto r = Search(b, Vector{2}, Vector{-1}, 3);
    EXPECT_EQ(r.Failed, 0);
    EXPECT_GT(r.Step, 0);
    EXPECT_LT(r.Step, 2);
    EXPECT_TRUE(std::isfinite(r.Step));
    // The sticky error of the undefined trial did not turn later values into 0.
    EXPECT_LT(b.ValueAt(Vector{2 - r.Good}), std::log(2.0L));
}

TEST(StoppingTests, ValueTestIsRelativeAboveOneAndAbsoluteBelow) {
    EXPECT_TRUE(ValueConverged(1000, 999.5L, 1e-3L));  // 5e-4 relative
    EXPECT_FALSE(ValueConverged(1000, 998, 1e-3L));    // 2e-3 relative
    EXPECT_TRUE(ValueConverged(0.5L, 0.5005L, 1e-3L)); // 5e-4 absolute
    EXPECT_FALSE(ValueConverged(1, 0.998L, 1e-3L));    // |fprev| = 1 is absolute
    EXPECT_FALSE(ValueConverged(3, 3, 0));             // strict: accuracy 0 never holds
    EXPECT_TRUE(ValueConverged(-2000, -2000.5L, 1e-3L));
}

TEST(StoppingTests, StepTestNeedsEveryComponent) {
    const Real acc = 1e-3L;
    EXPECT_TRUE(StepConverged(Vector{5e-4L, 0.05L}, Vector{0.3L, 100}, 1, acc));
    EXPECT_FALSE(StepConverged(Vector{5e-4L, 0.2L}, Vector{0.3L, 100}, 1, acc));
    EXPECT_FALSE(StepConverged(Vector{1e-3L}, Vector{0.5L}, 0, acc)); // strict
    // Components past the last index are not looked at.
    EXPECT_TRUE(StepConverged(Vector{0, 0, 7}, Vector{1, 1, 1}, 1, acc));
}

TEST(RestartRule, RestartsOncePerPointAndEndsOnTheSecondFailure) {
    const Vector start{1, 1};
    TRestartRule rule(start, 1);
    EXPECT_FALSE(rule.RestartAfterFailure(start)); // failing at the start ends
    TRestartRule moved(start, 1);
    EXPECT_TRUE(moved.RestartAfterFailure(Vector{2, 1}));
    EXPECT_FALSE(moved.RestartAfterFailure(Vector{3, 1})); // right after a restart
    TRestartRule accepted(start, 1);
    EXPECT_TRUE(accepted.RestartAfterFailure(Vector{2, 1}));
    accepted.StepAccepted();
    EXPECT_FALSE(accepted.RestartAfterFailure(Vector{2, 1})); // same point again
    EXPECT_TRUE(accepted.RestartAfterFailure(Vector{4, 1}));
}

} // namespace
} // namespace qirt
