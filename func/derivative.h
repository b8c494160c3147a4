// Gradients and Hessians, from derivative trees built with the formula
// (DifferentiationStep = 0) or from central differences with that step.
#pragma once

#include "func/function.h"

namespace qirt {

// Derivative trees by rule, from the table in derivative.cpp. False (and no
// tree) when a node of the subtree has no rule, or when building would take
// more than `budget` nodes; the nodes built are taken from the budget.
bool Differentiate(const TreeNode* node, int k, TreeNode*& newRoot, TreeNode* parent,
                   std::size_t& budget);
bool Differentiate(const TreeNode* node, int k, TreeNode*& newRoot, TreeNode* parent);

// One pre-order pass folding constants and dropping 0 and 1 terms in place.
void Simplify(TreeNode*& node);

// Builds GradientTrees and HessianTrees of F from its Root; on failure shows
// the message, sets ErrorCode to 1 and leaves no derivative object behind.
void BuildDerivativeObjects(TFunction& F);

// d f / d x[i] at F.Point.
Real GradientComponent(TFunction& F, int i);
// Copies point[0 ... lastIndex] into F.Point and fills gradient[0 ... lastIndex].
void Gradient(TFunction& F, const Vector& point, Vector& gradient, int lastIndex);
// The same with every component taken afresh (error codes cleared first);
// false as soon as a component is undefined or not finite.
bool DefinedGradient(TFunction& F, const Vector& point, Vector& gradient, int lastIndex);
// Fills hessian[i][j] for i, j = 0 ... lastIndex.
void Hessian(TFunction& F, const Vector& point, Matrix& hessian, int lastIndex);
// The same with every value taken afresh; false when an entry is undefined
// or not finite. Counts the same evaluations as Hessian.
bool DefinedHessian(TFunction& F, const Vector& point, Matrix& hessian, int lastIndex);

// The numeric step, replaced by 1e-5 when it is not in (0, 1).
Real NumericStep(TFunction& F);

} // namespace qirt
