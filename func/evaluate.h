// Values of a function object at a point.
#pragma once

#include "func/function.h"

namespace qirt {

// Copies point[0 ... lastIndex] into F.Point and returns CurrentValue(F).
Real FunctionValue(TFunction& F, const Vector& point, int lastIndex);

// The counted value at F.Point, the penalty sum of F.Conditions included.
// While ErrorCode is set every value is 0.
Real CurrentValue(TFunction& F);

// The value of a subtree at F.Point. An operation that is undefined sets
// ErrorCode to its node kind and yields 0; from then on every node entered
// yields 0, while the operations already entered go on with what they get.
Real EvaluateNode(TFunction& F, const TreeNode* node);

} // namespace qirt
