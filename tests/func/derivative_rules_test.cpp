// The derivative rules of sqrt, abs, tg, ctg, sec and cosec: first and second
// derivative trees against central differences of the formula's values, and
// the points where the derivatives have no value.
#include <algorithm>
#include <cmath>
#include <random>

#include <gtest/gtest.h>

#include "func/derivative.h"
#include "func/evaluate.h"
#include "recording_messages.h"

namespace qirt {
namespace {

using testing::RecordingMessages;

struct RuleCase {
    const char* Formula;
    int Variables; // x[0] ... x[Variables-1]
    double Low, High; // each coordinate drawn from [Low, High]
};

// The value of N at p, and whether it is defined there.
struct Values {
    TFunction& N;
    int Last;
    bool Defined = true;
    Real operator()(const Vector& p) {
        N.ClearEvaluationError();
        const Real v = FunctionValue(N, p, Last);
        Defined = Defined && N.LastEvaluationDefined() && std::isfinite(v);
        return v;
    }
};

void CentralGradient(Values& value, const Vector& x, Real h, Vector& g) {
    for (int i = 0; i <= value.Last; ++i) {
        Vector plus = x, minus = x;
        plus[i] += h;
        minus[i] -= h;
        g[i] = (value(plus) - value(minus)) / (2 * h);
    }
}

Real Scale(Real v) { return std::max(Real(1), std::fabs(v)); }

TEST(NewRules, FirstAndSecondDerivativesAgreeWithCentralDifferences) {
    const RuleCase cases[] = {
        {"sqrt(x[0]^2+x[1]+3)", 2, -2, 2},
        {"abs(x[0]-x[1])", 2, -2, 2},
        {"x[0]*abs(x[0]*x[1]-1)", 2, -2, 2},
        {"tg(x[0]*x[1])", 2, -1.2, 1.2},
        {"ctg(x[0]+1)*x[1]", 2, -2, 2},
        {"sec(x[0]/2)", 1, -2, 2},
        {"x[0]*cosec(x[1]+2)", 2, -2, 2},
        {"sqrt(abs(x[0])+1)*tg(x[1]/3)", 2, -2, 2},
        {"sec(sqrt(x[0]^2+x[1]^2+1))", 2, -2, 2},
        {"cosec(tg(x[0]/2)+2)-ctg(x[1]/2+2)", 2, -2, 2},
        {"abs(sin(x[0]))*sqrt(x[1]+4)", 2, -2, 2},
        {"x[0]^sqrt(x[1]^2+1)", 2, 0.5, 2},
        {"sqrt(sqrt(x[0]^2+1)+abs(x[1]))", 2, -2, 2},
        {"1/sqrt(x[0]^2+x[1]^2)+sec(x[0])*tg(x[1])", 2, -1.5, 1.5},
        {"abs(abs(x[0])-1)*cosec(x[1])+x[2]*sqrt(x[2]+x[0]+5)", 3, -2, 2},
    };
    std::mt19937_64 random(7);
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.Formula);
        RecordingMessages messages;
        TFunction S; // symbolic
        S.Messages = &messages;
        BuildTree(S, c.Formula);
        ASSERT_EQ(S.ErrorCode, 0);
        EXPECT_TRUE(messages.shown.empty());
        ASSERT_EQ(S.VariableCount, c.Variables);
        const int last = c.Variables - 1;
        for (int i = 0; i <= last; ++i) {
            ASSERT_NE(S.GradientTrees[i], nullptr);
            for (int j = 0; j <= last; ++j) ASSERT_NE(S.HessianTrees[i][j], nullptr);
        }
        TFunction N; // the values alone
        BuildTree(N, c.Formula, false);
        ASSERT_EQ(N.ErrorCode, 0);

        std::uniform_real_distribution<double> coordinate(c.Low, c.High);
        int checked = 0;
        for (int k = 0; k < 100; ++k) {
            Vector x{};
            for (int i = 0; i <= last; ++i) x[i] = coordinate(random);
            // Differences with steps h and 2h; where they disagree the point
            // is too near a pole or a kink for differences to tell anything.
            const Real h = 1e-5L;
            Values value{N, last};
            Vector g1{}, g2{};
            Matrix h1{}, h2{};
            value(x);
            CentralGradient(value, x, h, g1);
            CentralGradient(value, x, 2 * h, g2);
            CentralHessian(x, h1, last, h, value);
            CentralHessian(x, h2, last, 2 * h, value);
            if (!value.Defined) continue;

            // Defined around the point: so are its derivatives.
            Vector g{};
            Matrix H{};
            ASSERT_TRUE(DefinedGradient(S, x, g, last)) << "at " << double(x[0]);
            ASSERT_TRUE(DefinedHessian(S, x, H, last)) << "at " << double(x[0]);

            bool smooth = true;
            for (int i = 0; i <= last; ++i) {
                smooth = smooth && std::fabs(g1[i] - g2[i]) <= 1e-8L * Scale(g1[i]);
                for (int j = 0; j <= last; ++j)
                    smooth = smooth && std::fabs(h1[i][j] - h2[i][j]) <= 1e-7L * Scale(h1[i][j]);
            }
            if (!smooth) continue;
            for (int i = 0; i <= last; ++i) {
                EXPECT_NEAR(double(g[i]), double(g1[i]), 1e-6 * double(Scale(g1[i])))
                    << "d/dx[" << i << "] at " << double(x[0]) << ", " << double(x[1]);
                for (int j = 0; j <= last; ++j)
                    EXPECT_NEAR(double(H[i][j]), double(h1[i][j]), 1e-6 * double(Scale(h1[i][j])))
                        << "d2/dx[" << i << "]dx[" << j << "] at " << double(x[0]) << ", "
                        << double(x[1]);
            }
            ++checked;
        }
        EXPECT_GE(checked, 50);
    }
}

struct UndefinedCase {
    const char* Formula;
    Vector At;     // the formula is defined there, its gradient is not
    Vector Nearby; // both are defined there
};

TEST(NewRules, DerivativesAreUndefinedWhereTheFunctionHasNone) {
    const UndefinedCase cases[] = {
        {"abs(x[0]-x[1])", {1, 1}, {1, 1.5L}},
        {"abs(x[0])*x[1]", {0, 2}, {0.1L, 2}},
        {"abs(sin(x[0]))", {0}, {0.5L}},
        {"x[0]^2+abs(x[0])", {-0.0L}, {-0.25L}},
        {"sqrt(x[0])", {0}, {1e-6L}},
        {"sqrt(x[0]^2+x[1]^2)", {0, 0}, {0, 1}},
        {"sqrt(abs(x[0]-2))", {2}, {3}},
    };
    for (const UndefinedCase& c : cases) {
        SCOPED_TRACE(c.Formula);
        TFunction F;
        BuildTree(F, c.Formula);
        ASSERT_EQ(F.ErrorCode, 0);
        const int last = F.VariableCount - 1;
        FunctionValue(F, c.At, last);
        EXPECT_TRUE(F.LastEvaluationDefined());
        // A component's object is left with the error of the division by 0,
        // not with a 0 or a NaN taken for a value.
        Vector g{};
        Gradient(F, c.At, g, last);
        bool divisionFailed = false;
        for (int i = 0; i <= last; ++i)
            divisionFailed = divisionFailed || F.GradientTrees[i]->ErrorCode == error::Divide;
        EXPECT_TRUE(divisionFailed);
        Matrix H{};
        EXPECT_FALSE(DefinedGradient(F, c.At, g, last));
        EXPECT_FALSE(DefinedHessian(F, c.At, H, last));

        EXPECT_TRUE(DefinedGradient(F, c.Nearby, g, last));
        EXPECT_TRUE(DefinedHessian(F, c.Nearby, H, last));
    }
}

} // namespace
} // namespace qirt
