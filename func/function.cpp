#include "func/function.h"

#include "func/compiled.h"
#include "func/derivative.h"
#include "func/messages.h"
#include "func/parser.h"

namespace qirt {

TFunction::TFunction() = default;

TFunction::~TFunction() {
    ReleaseTree(*this);
    ReleaseDerivativeObjects(*this);
}

void TFunction::ForgetCompiled() {
    if (compiled_) compiled_->Reset();
}

void BuildTree(TFunction& F, std::string_view text, bool derivatives) {
    ReleaseTree(F);
    ReleaseDerivativeObjects(F);
    for (bool& used : F.VariableUsed) used = false;
    F.Root = ParseExpression(text, F.VariableUsed);
    F.Fault = F.Root ? TFormulaFault{} : DiagnoseFormula(text);
    if (!F.Root) {
        F.ErrorCode = error::Build;
        ShowMessage(F.Messages, message::TreeBuild, ShowKind::Modal);
        return;
    }
    F.ErrorCode = error::None;
    F.EvaluationCount = 0;
    F.GradientCount = F.HessianCount = 0;
    F.CountingPaused = false;
    F.VariableCount = 0;
    for (bool used : F.VariableUsed) F.VariableCount += used ? 1 : 0;
    if (derivatives && F.DifferentiationStep == 0 && F.VariableCount > 0) BuildDerivativeObjects(F);
}

void ReleaseTree(TFunction& F) {
    FreeTree(F.Root);
    F.Root = nullptr;
    F.ForgetCompiled();
}

void ReleaseDerivativeObjects(TFunction& F) {
    for (int i = 0; i < 10; ++i) {
        for (int j = i; j < 10; ++j) {
            delete F.HessianTrees[i][j];
            F.HessianTrees[i][j] = F.HessianTrees[j][i] = nullptr;
        }
        delete F.GradientTrees[i];
        F.GradientTrees[i] = nullptr;
    }
}

void CopyForEvaluation(const TFunction& from, TFunction& to) {
    ReleaseTree(to);
    ReleaseDerivativeObjects(to);
    CopyTree(to.Root, from.Root, nullptr);
    to.VariableCount = from.VariableCount;
    for (int i = 0; i < 10; ++i) to.VariableUsed[i] = from.VariableUsed[i];
    to.Point = from.Point;
    to.CountingPaused = false;
    to.DifferentiationStep = from.DifferentiationStep;
    to.ErrorCode = from.ErrorCode;
    to.EvaluationCount = 0;
    to.ExtendedPlot = from.ExtendedPlot;
    to.Conditions = nullptr;
    to.Messages = nullptr;
}

void SetVariableCount(TFunction& F, Byte n) {
    if (n >= 1 && n <= 10) F.VariableCount = n;
}

void SetCoordinate(TFunction& F, int i, Real value) {
    if (F.VariableCount > 0 && i >= 0 && i < 10) F.Point[i] = value;
}

Real GetCoordinate(const TFunction& F, int i) {
    return F.VariableCount > 0 && i >= 0 && i < 10 ? F.Point[i] : 0;
}

} // namespace qirt
