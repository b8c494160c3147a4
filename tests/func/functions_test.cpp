// The functions exp, arcsin, arccos, arctg, arcctg, lg, sh, ch, th and the
// power with a variable exponent: values, domains, and symbolic derivatives
// (first and second) against central differences at random points.
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "func/derivative.h"
#include "func/evaluate.h"
#include "func/scan.h"

namespace qirt {
namespace {

Real ValueOf(const char* formula, Real x, Byte& code) {
    TFunction F;
    F.DifferentiationStep = 1e-3L; // no derivative trees for a value
    BuildTree(F, formula);
    EXPECT_EQ(F.ErrorCode, 0) << formula;
    const Real v = FunctionValue(F, Vector{x}, 0);
    code = F.ErrorCode;
    return v;
}

TEST(NewFunctions, ValuesAndDomains) {
    struct Case {
        const char* Formula;
        Real X;
        Real Value;
        Byte Code;
    };
    const Real pi = std::acos(-1.0L);
    const Case cases[] = {
        {"exp(x[0])", 1, std::exp(1.0L), 0},
        {"arcsin(x[0])", 1, pi / 2, 0},
        {"arcsin(x[0])", 1.5L, 0, error::Arcsin},
        {"arccos(x[0])", -1, pi, 0},
        {"arccos(x[0])", -1.0000001L, 0, error::Arccos},
        {"arctg(x[0])", 1, pi / 4, 0},
        {"arcctg(x[0])", 0, pi / 2, 0},
        {"arcctg(x[0])", -1, 3 * pi / 4, 0}, // in (0, pi)
        {"lg(x[0])", 1000, 3, 0},
        {"lg(x[0])", 0, 0, error::Lg},
        {"sh(x[0])", 0, 0, 0},
        {"ch(x[0])", 0, 1, 0},
        {"th(x[0])", 1000, 1, 0},
        {"exp(x[0])", 100000, INFINITY, 0}, // beyond the range: infinite, not undefined
        {"2^x[0]", 10, 1024, 0},
    };
    for (const Case& c : cases) {
        Byte code = 0;
        const Real v = ValueOf(c.Formula, c.X, code);
        EXPECT_EQ(code, c.Code) << c.Formula << " at " << double(c.X);
        if (c.Code == 0 && std::isfinite(c.Value)) {
            EXPECT_NEAR(double(v), double(c.Value), 1e-15 * std::max(1.0, std::fabs(double(c.Value))))
                << c.Formula;
        } else if (c.Code == 0) {
            EXPECT_EQ(v, c.Value) << c.Formula;
        }
    }
    // Names are exact: "Exp" or "exp x[0]" are no function calls.
    for (const char* text : {"Exp(x[0])", "arcsinh(x[0])", "exp x[0]"}) {
        TFunction F;
        BuildTree(F, text);
        EXPECT_EQ(F.ErrorCode, error::Build) << text;
    }
}

// The first and second symbolic derivatives of f agree with central
// differences of its values at random points where f is defined.
void CheckDerivatives(const char* formula, double low, double high) {
    SCOPED_TRACE(formula);
    TFunction S;
    BuildTree(S, formula);
    ASSERT_EQ(S.ErrorCode, 0);
    TFunction N;
    N.DifferentiationStep = 1e-3L;
    BuildTree(N, formula);
    const int last = S.VariableCount - 1;
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> coordinate(low, high);
    int checked = 0;
    for (int k = 0; k < 200; ++k) {
        Vector x{};
        for (int i = 0; i <= last; ++i) x[i] = coordinate(random);
        Vector g{}, gp{}, gm{};
        Matrix h{};
        if (!DefinedGradient(S, x, g, last) || !DefinedHessian(S, x, h, last)) continue;
        auto value = [&](Vector p) {
            N.ClearEvaluationError();
            return FunctionValue(N, p, last);
        };
        const Real step = 1e-6L;
        bool defined = true;
        for (int i = 0; i <= last && defined; ++i) {
            Vector plus = x, minus = x;
            plus[i] += step;
            minus[i] -= step;
            const Real difference = (value(plus) - value(minus)) / (2 * step);
            defined = N.LastEvaluationDefined() && DefinedGradient(S, plus, gp, last) &&
                      DefinedGradient(S, minus, gm, last);
            if (!defined) break;
            EXPECT_NEAR(double(g[i]), double(difference), 1e-6 * std::max(1.0, std::fabs(double(difference))));
            for (int j = 0; j <= last; ++j) {
                const Real second = (gp[j] - gm[j]) / (2 * step);
                EXPECT_NEAR(double(h[i][j]), double(second), 1e-5 * std::max(1.0, std::fabs(double(second))));
            }
        }
        checked += defined;
    }
    EXPECT_GT(checked, 50);
}

TEST(NewFunctions, SymbolicDerivativesAgreeWithCentralDifferences) {
    CheckDerivatives("exp(x[0]*x[1])+sh(x[0])-ch(x[1])*th(x[0])", -2, 2);
    CheckDerivatives("arcsin(x[0]/2)+arccos(x[1]/3)*x[0]", -1.9, 1.9);
    CheckDerivatives("arctg(x[0]*x[1])+arcctg(x[0]-x[1])", -3, 3);
    CheckDerivatives("lg(x[0]^2+x[1]^2+1)*x[1]", -3, 3);
}

TEST(GeneralPower, VariableExponentsHaveTheirRule) {
    // (u^v)' = u^v (v' ln u + v u'/u)
    CheckDerivatives("x[0]^x[1]", 0.5, 3);
    CheckDerivatives("(x[0]^2+1)^(x[1]*x[0])", -1.5, 1.5);
    CheckDerivatives("2^(x[0]+x[1]^2)", -2, 2);
    // An exponent without variables keeps the power rule: defined for a
    // negative base, where ln u is not.
    CheckDerivatives("x[0]^-2+x[1]^(1+1)", -3, -0.5);
    TFunction F;
    BuildTree(F, "x[0]^x[1]");
    Vector g{};
    ASSERT_TRUE(DefinedGradient(F, Vector{2, 3}, g, 1));
    EXPECT_NEAR(double(g[0]), 12, 1e-15);                    // 3 * 2^2
    EXPECT_NEAR(double(g[1]), 8 * std::log(2.0), 1e-15);     // 2^3 ln 2
}

} // namespace
} // namespace qirt
