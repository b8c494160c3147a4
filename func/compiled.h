// The flat form of an expression tree that evaluations run: one instruction
// per operation, operands read straight from the point, from a pool of
// constants or from scratch slots, no allocation and no recursion per run.
//
// The flat run is the fast path for points where every operation is defined.
// When an operation is undefined there, or an intermediate value is NaN, it
// gives up and the caller evaluates the tree node by node, which yields the
// exact sticky error code and value. Both do the same arithmetic in the same
// order, so where the flat run succeeds its value is the tree walk's value.
#pragma once

#include <cstdint>
#include <vector>

#include "func/tree.h"

namespace qirt {

class TCompiledTree {
public:
    // Compiles the tree below root; variables are read from point.
    void Compile(const TreeNode* root, const Vector& point);
    const TreeNode* Source() const { return source_; }
    bool IsCompiled() const { return compiled_; }
    void Reset() { compiled_ = false; source_ = nullptr; }

    // The value at the current point, or false when some operation is
    // undefined or some value is NaN there.
    bool Run(Real& value);

    std::size_t InstructionCount() const { return code_.size(); }

    enum Op : std::uint32_t {
        Add, Sub, Mul, Div, Square, PowInt, PowNegInt, PowZero, Pow,
        Sqrt, Sin, Cos, Tg, Ctg, Sec, Cosec, Ln, Abs, Undefined
    };

private:
    struct Instruction {
        Op Code;
        std::int32_t N;    // exponent of PowInt / PowNegInt
        const Real* A;
        const Real* B;
        Real* Out;
    };
    std::vector<Instruction> code_;
    std::vector<Real> constants_;
    std::vector<Real> slots_;
    const Real* result_ = nullptr;
    const TreeNode* source_ = nullptr;
    bool compiled_ = false;
};

// Shared arithmetic of the flat run and the tree walk.
// x^n for n >= 0 by repeated squaring.
Real IntegerPower(Real base, std::uint32_t n);
// l^r by the rules of "^"; false for a negative base with an exponent that is
// not a small whole number, or a zero base with a negative exponent.
bool PowerValue(Real l, Real r, Real& out);

} // namespace qirt
