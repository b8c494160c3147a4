// Gradients and Hessians, from derivative trees built with the formula
// (DifferentiationStep = 0) or from central differences with that step.
#pragma once

#include "func/function.h"

namespace qirt {

// Derivative trees by rule, from the table in derivative.cpp (every node kind
// has one). False (and no tree) when the subtree is malformed (an operand
// missing), or when building would take more than `budget` nodes; the nodes
// built are taken from the budget.
bool Differentiate(const TreeNode* node, int k, TreeNode*& newRoot, TreeNode* parent,
                   std::size_t& budget);
bool Differentiate(const TreeNode* node, int k, TreeNode*& newRoot, TreeNode* parent);

// One pre-order pass folding constants and dropping 0 and 1 terms in place.
void Simplify(TreeNode*& node);

// Builds GradientTrees and HessianTrees of F from its Root; on failure (trees
// too large) shows the message and the advice to take a numeric step, sets
// ErrorCode to 1 and leaves no derivative object behind.
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

// The central-difference step h in a coordinate x: h itself, unless x is so
// large that x + h would lose most of h's digits (or all of them, and the
// difference would be 0): then 2^-47 |x|, which keeps about 16 bits of the
// step. With a step of 1e-5 nothing changes for |x| below 1e9.
inline constexpr Real kRelativeStepFloor = 1.0L / 140737488355328.0L; // 2^-47
inline Real ScaledStep(Real h, Real x) {
    const Real floor = (x < 0 ? -x : x) * kRelativeStepFloor;
    return floor > h ? floor : h;
}

// Second derivatives by central differences with step h of value(t), t a
// point that differs from the given one in at most two coordinates: four
// values for each pair i < j, then three for each diagonal entry, in the
// order the numeric Hessian takes them.
template <class ValueAt>
void CentralHessian(const Vector& point, Matrix& hessian, int lastIndex, Real h, ValueAt&& value) {
    const Real q = (h * 4) * h; // 4h^2
    const Real h2 = h * h;
    Vector t = point;
    auto valueAt = [&](int i, Real di, int j, Real dj) {
        t[i] = point[i] + di;
        t[j] = point[j] + dj;
        Real v = value(t);
        t[i] = point[i];
        t[j] = point[j];
        return v;
    };
    for (int i = 0; i <= lastIndex; ++i) {
        for (int j = i + 1; j <= lastIndex; ++j) {
            Real pp = valueAt(i, h, j, h);
            Real mm = valueAt(i, -h, j, -h);
            Real mp = valueAt(i, -h, j, h);
            Real pm = valueAt(i, h, j, -h);
            hessian[i][j] = pp / q + mm / q - mp / q - pm / q;
        }
        for (int j = 0; j < i; ++j) hessian[i][j] = hessian[j][i];
    }
    for (int i = 0; i <= lastIndex; ++i) {
        t[i] = point[i] + 2 * h;
        Real plus = value(t);
        t[i] = point[i] - 2 * h;
        Real minus = value(t);
        t[i] = point[i];
        Real centre = value(t);
        hessian[i][i] = (plus / h2 + minus / h2 - 2 * centre / h2) / 4;
    }
}

} // namespace qirt
