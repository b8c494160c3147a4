// The symbolic gradient and Hessian of a penalised function against central
// differences of its values (and of its gradient), at random points inside
// and outside every condition.
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "func/conditions.h"
#include "func/derivative.h"
#include "func/evaluate.h"

namespace qirt {
namespace {

struct Condition {
    const char* Inequality;
    const char* Coefficient;
    const char* Power;
    const char* Kind;
};

// The penalised value at p, taken afresh.
Real Value(TFunction& F, Vector p) {
    F.ClearEvaluationError();
    return FunctionValue(F, p, F.VariableCount - 1);
}

// g of every condition at p.
std::vector<Real> ConditionValues(uslov& region, const Vector& p) {
    std::vector<Real> values;
    for (straf* c = region.Head; c; c = c->Next) {
        c->Expression.ClearEvaluationError();
        values.push_back(FunctionValue(c->Expression, p, 1));
    }
    return values;
}

void CheckAgainstDifferences(const char* formula, std::initializer_list<Condition> conditions,
                             bool expectSymbolicConditions) {
    SCOPED_TRACE(formula);
    uslov region;
    for (const Condition& c : conditions) {
        region.AddCondition(c.Inequality, c.Coefficient, c.Power, c.Kind);
        ASSERT_EQ(region.ConditionErrorCode, 0) << c.Inequality;
    }
    for (straf* c = region.Head; c; c = c->Next)
        EXPECT_EQ(c->Derivatives.Symbolic(), expectSymbolicConditions);
    TFunction F;
    F.Conditions = &region;
    BuildTree(F, formula);
    ASSERT_EQ(F.ErrorCode, 0);
    ASSERT_EQ(F.VariableCount, 2);

    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> coordinate(-3, 3);
    int checked = 0;
    std::vector<int> holds(region.Size, 0), fails(region.Size, 0);
    for (int k = 0; k < 400; ++k) {
        const Vector x{Real(coordinate(random)), Real(coordinate(random))};
        // Away from every boundary, where the penalty is smooth.
        const std::vector<Real> g = ConditionValues(region, x);
        bool nearEdge = false;
        for (Real v : g) nearEdge = nearEdge || !std::isfinite(v) || std::fabs(v) < 0.05L;
        if (nearEdge || !std::isfinite(Value(F, x))) continue;

        Vector gradient{};
        Matrix hessian{};
        ASSERT_TRUE(DefinedGradient(F, x, gradient, 1));
        ASSERT_TRUE(DefinedHessian(F, x, hessian, 1));
        const Real h = 1e-6L;
        for (int i = 0; i < 2; ++i) {
            Vector plus = x, minus = x;
            plus[i] += h;
            minus[i] -= h;
            const Real difference = (Value(F, plus) - Value(F, minus)) / (2 * h);
            EXPECT_NEAR(double(gradient[i]), double(difference),
                        1e-6 * std::max(1.0, std::fabs(double(difference))))
                << "d/dx[" << i << "] at " << double(x[0]) << "," << double(x[1]);
            Vector gp{}, gm{};
            ASSERT_TRUE(DefinedGradient(F, plus, gp, 1));
            ASSERT_TRUE(DefinedGradient(F, minus, gm, 1));
            for (int j = 0; j < 2; ++j) {
                const Real second = (gp[j] - gm[j]) / (2 * h);
                EXPECT_NEAR(double(hessian[i][j]), double(second),
                            1e-4 * std::max(1.0, std::fabs(double(second))))
                    << "d2/dx[" << i << "]dx[" << j << "] at " << double(x[0]) << ","
                    << double(x[1]);
            }
        }
        int n = 0;
        for (straf* c = region.Head; c; c = c->Next, ++n)
            (RelationHolds(c->Relation, g[n]) ? holds : fails)[n]++;
        ++checked;
    }
    EXPECT_GT(checked, 100);
    for (int n = 0; n < region.Size; ++n) {
        EXPECT_GT(holds[n], 10) << "condition " << n + 1 << " never held";
        EXPECT_GT(fails[n], 10) << "condition " << n + 1 << " never failed";
    }
}

TEST(PenalisedDerivatives, ExteriorTermsMatchCentralDifferences) {
    CheckAgainstDifferences("x[0]^2*x[1]+sin(x[1])",
                            {{"x[0]+x[1]^2<=1", "3", "2", kExteriorKind},
                             {"x[0]*x[1]>=0.5", "0.5", "4", kExteriorKind},
                             {"ln(x[0]^2+1)<1", "2", "0", kExteriorKind}},
                            true);
}

TEST(PenalisedDerivatives, InteriorTermsMatchCentralDifferences) {
    CheckAgainstDifferences("(x[0]-1)^2+x[0]*x[1]",
                            {{"x[0]-x[1]<=0.5", "1", "2", kInteriorKind},
                             {"cos(x[0])*x[1]>0", "1", "2", kInteriorKind}},
                            true);
}

TEST(PenalisedDerivatives, ConditionsWithSqrtAbsAndTrigonometryAreSymbolic) {
    CheckAgainstDifferences("x[0]^2+x[1]^2",
                            {{"sqrt(x[0]^2+x[1]^2+1)<=2", "2", "2", kExteriorKind},
                             {"abs(x[0])+x[1]>0.5", "1", "2", kInteriorKind},
                             {"tg(x[0]/2)*sec(x[1]/3)>=0.3", "1", "4", kExteriorKind},
                             {"ctg(x[1]/4+2)-cosec(x[0]/4+2)<=-1.5", "0.5", "2", kExteriorKind}},
                            true);
}

TEST(PenalisedDerivatives, ConditionsWithTooLargeTreesUseCentralDifferences) {
    // 300 nested sines: the first derivative trees fit the node budget,
    // the second ones would not, so the condition's own derivatives come
    // from central differences.
    std::string nested = "x[0]*x[1]/10";
    for (int k = 0; k < 300; ++k) nested = "sin(" + nested + ")";
    const std::string condition = "x[0]^2+x[1]+" + nested + "<=1";
    CheckAgainstDifferences("x[0]^2+x[1]^2", {{condition.c_str(), "2", "2", kExteriorKind}}, false);
}

TEST(PenalisedDerivatives, UndefinedConditionMeansUndefinedDerivatives) {
    uslov region;
    region.AddCondition("ln(x[0])<=1", "1", "2", kExteriorKind);
    TFunction F;
    F.Conditions = &region;
    BuildTree(F, "x[0]^2+x[1]^2");
    Vector gradient{};
    Matrix hessian{};
    EXPECT_FALSE(DefinedGradient(F, Vector{-1, 0}, gradient, 1));
    EXPECT_FALSE(DefinedHessian(F, Vector{-1, 0}, hessian, 1));
    EXPECT_TRUE(DefinedGradient(F, Vector{5, 0}, gradient, 1));
    // 2 x + 2 (ln x - 1) / x at 5
    EXPECT_NEAR(double(gradient[0]), 10 + 2 * (std::log(5.0) - 1) / 5, 1e-15);
}

TEST(PenalisedDerivatives, ConditionsOnAFewVariablesDifferentiateInTheRightOne) {
    // g holds only x[1]; its derivative belongs to x[1], not to x[0].
    uslov region;
    region.AddCondition("x[1]>=2", "1", "2", kExteriorKind);
    TFunction F;
    F.Conditions = &region;
    BuildTree(F, "x[0]^2+x[1]^2");
    Vector gradient{};
    ASSERT_TRUE(DefinedGradient(F, Vector{1, 0}, gradient, 1));
    EXPECT_EQ(gradient[0], 2);
    EXPECT_EQ(gradient[1], 0 + 2 * (0 - 2));
}

} // namespace
} // namespace qirt
