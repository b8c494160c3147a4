// The function object: a formula built into an expression tree, the point at
// which it is evaluated, its counters and error code, its derivative objects
// and the region whose penalty terms are added to its values.
#pragma once

#include <memory>
#include <string_view>

#include "func/diagnose.h"
#include "func/kinds.h"
#include "func/tree.h"

namespace qirt {

class uslov;
class TMessageWindow;
class TCompiledTree;

class TFunction {
public:
    TFunction();
    ~TFunction();
    TFunction(const TFunction&) = delete;
    TFunction& operator=(const TFunction&) = delete;

    TreeNode* Root = nullptr;
    Byte VariableCount = 0;        // number of distinct variables in the formula
    bool VariableUsed[10] = {};    // x[i] occurs in the formula
    Vector Point{};                // where the tree is evaluated
    bool CountingPaused = false;   // set while a numeric gradient component is taken
    Real DifferentiationStep = 0;  // 0: derivatives from symbolic trees
    Byte ErrorCode = 0;            // see error:: in kinds.h
    std::int64_t EvaluationCount = 0; // 64 bits: a long run cannot wrap it
    std::int64_t GradientCount = 0;   // gradients taken since the build
    std::int64_t HessianCount = 0;    // Hessians taken since the build
    TFunction* GradientTrees[10] = {};     // d f / d x[i] (symbolic mode)
    TFunction* HessianTrees[10][10] = {};  // entry (i, j), j < i, is entry (j, i)
    uslov* Conditions = nullptr;   // penalty terms added to every value
    bool ExtendedPlot = false;     // the map shows the function with its penalty terms
    TMessageWindow* Messages = nullptr; // where build failures are reported
    // Where the text of the last build that failed goes wrong (Kind None
    // after a build that worked).
    TFormulaFault Fault;

    // The flat form of Root that evaluations run; rebuilt when Root changes.
    TCompiledTree& Compiled(); // defined with the evaluation, where it is hot
    void ForgetCompiled();

    // Evaluation errors are sticky: every later value is 0 until the next
    // build. Callers that treat each point on its own clear the error first.
    void ClearEvaluationError() {
        if (ErrorCode != error::Build) ErrorCode = error::None;
    }
    bool LastEvaluationDefined() const { return ErrorCode == error::None; }

private:
    std::unique_ptr<TCompiledTree> compiled_;
};

// Parses the text into Root and, when DifferentiationStep is 0 and the formula
// has variables, builds the gradient and Hessian objects (unless the caller
// needs no derivatives). ErrorCode 0 means success; failures are reported
// through Messages. Whatever an earlier build left is released first.
void BuildTree(TFunction& F, std::string_view text, bool derivatives = true);
// Frees the expression tree.
void ReleaseTree(TFunction& F);
// Frees every distinct gradient and Hessian object and clears the references.
void ReleaseDerivativeObjects(TFunction& F);

// Makes `to` evaluate as `from` does: a copy of the tree, the variables,
// the point, the step and the error code; no derivative objects and no
// region (the caller gives the copy its own). Each thread that evaluates
// needs an object of its own, since evaluation writes the point, the
// counters and the error code.
void CopyForEvaluation(const TFunction& from, TFunction& to);

void SetVariableCount(TFunction& F, Byte n);        // only 1 ... 10 are taken
void SetCoordinate(TFunction& F, int i, Real value); // only when VariableCount > 0
Real GetCoordinate(const TFunction& F, int i);       // 0 when VariableCount = 0

// Limit on the nodes of all derivative trees of one build; past it the build
// fails as if a derivative had no rule, so no formula can exhaust memory.
inline constexpr std::size_t kMaxDerivativeNodes = 4'000'000;

} // namespace qirt
