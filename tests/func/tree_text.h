// Writes a tree as a fully bracketed text, so tests can compare trees and
// show them when they differ: "((x[0]^2)+(0-x[1]))".
#pragma once

#include <string>

#include "func/tree.h"

namespace qirt::testing {

std::string TreeText(const TreeNode* node);
// True when every child names its parent correctly.
bool ParentsConsistent(const TreeNode* node);

} // namespace qirt::testing
