// The flat form of an expression tree that evaluations run: an accumulator
// machine. Each instruction combines the accumulator with one operand read
// straight from the point, a pool of constants or a scratch slot; a value is
// stored to a slot only when both operands of an operation are themselves
// results. No allocation and no recursion per run.
//
// The flat run is the fast path for points where every operation is defined.
// When an operation is undefined there, or an intermediate value is NaN, it
// gives up and the caller evaluates the tree node by node, which yields the
// exact sticky error code and value. Both do the same arithmetic on the same
// operands (operands may be fetched in another order, which cannot change a
// result), so where the flat run succeeds its value is the tree walk's value.
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
    void Reset() {
        compiled_ = false;
        source_ = nullptr;
    }

    // The value at the current point; ok is false when some operation is
    // undefined or some value is NaN there. (The value comes back in a
    // register: passing it through memory costs more than the arithmetic.)
    Real Run(bool& ok) const;

    std::size_t InstructionCount() const { return code_.size(); }

    // acc = accumulator, m = the instruction's operand, m2 = its second operand
    enum Op : std::uint32_t {
        Load,    // acc = m
        Store,   // m = acc
        Add,     // acc = acc + m
        Sub,     // acc = acc - m
        SubFrom, // acc = m - acc
        Mul,     // acc = acc * m
        Div,     // acc = acc / m
        DivFrom, // acc = m / acc
        AddPair, // acc = m + m2
        SubPair, // acc = m - m2
        MulPair, // acc = m * m2
        DivPair, // acc = m / m2
        Square,  // acc = acc^2
        LoadSquare,    // acc = m^2
        AddSquare,     // acc = (acc + m)^2
        SubSquare,     // acc = (acc - m)^2
        SubFromSquare, // acc = (m - acc)^2
        AddPairSquare, // acc = (m + m2)^2
        SubPairSquare, // acc = (m - m2)^2
        PowInt,  // acc = acc^N, N > 0
        PowNegInt, // acc = acc^-N
        PowZero, // acc = acc^0
        Pow,     // acc = acc^m
        PowFrom, // acc = m^acc
        Function, // acc = f(acc), f the function of node kind N
        Abs,
        Undefined,
    };

private:
    struct Instruction {
        Op Code;
        std::int32_t N; // exponent of PowInt and PowNegInt, node kind of Function
        const Real* M;
        const Real* M2;
    };
    std::vector<Instruction> code_;
    std::vector<Real> constants_;
    mutable std::vector<Real> slots_;
    const TreeNode* source_ = nullptr;
    bool compiled_ = false;
};

// Shared arithmetic of the flat run and the tree walk.
// x^n for n >= 0 by repeated squaring.
Real IntegerPower(Real base, std::uint32_t n);
// l^r by the rules of "^"; false for a negative base with an exponent that is
// not a small whole number, or a zero base with a negative exponent.
bool PowerValue(Real l, Real r, Real& out);
// The function of node kind Sqrt ... Th at a; false where it is undefined.
bool FunctionValueOf(Byte kind, Real a, Real& out);

} // namespace qirt
