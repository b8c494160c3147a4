// The few vector and matrix products the methods share, over the indices
// 0 ... last, each summed left to right in one order everywhere, so that
// every method that forms the same product gets the same bits.
#pragma once

#include "func/types.h"

namespace qirt {

inline Real Dot(const Vector& a, const Vector& b, int last) {
    Real sum = 0;
    for (int i = 0; i <= last; ++i) sum += a[i] * b[i];
    return sum;
}

// out = M v.
inline void Product(const Matrix& M, const Vector& v, Vector& out, int last) {
    for (int i = 0; i <= last; ++i) {
        Real sum = 0;
        for (int j = 0; j <= last; ++j) sum += M[i][j] * v[j];
        out[i] = sum;
    }
}

// out = -(M v): the product summed first, then negated (a search direction
// from a metric or an inverse Hessian and the gradient).
inline void MinusProduct(const Matrix& M, const Vector& v, Vector& out, int last) {
    for (int i = 0; i <= last; ++i) {
        Real sum = 0;
        for (int j = 0; j <= last; ++j) sum += M[i][j] * v[j];
        out[i] = -sum;
    }
}

} // namespace qirt
