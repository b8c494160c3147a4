#!/usr/bin/env python3
"""Runs the constrained test problems of bench_constrained with SciPy's SLSQP
and trust-constr (default options, exact problem statements, the same
starts) and prints per problem whether each solved it, by the same rule as
the program's benchmark: the largest violation at most 1e-6 and
|f - f*| <= 1e-6 max(1, |f*|); then per method the problems solved, the
median function evaluations over the solved ones and the median time.
Needs Debian's python3-scipy; the program does not. Usage:
build/bench/bench_constrained --list | /usr/bin/python3 scripts/scipy_constrained.py"""
import math
import re
import sys
import time
import warnings

import numpy as np
from scipy.optimize import NonlinearConstraint, minimize

from scipy_problems import to_python  # the formula language read as Python


def condition(text):
    """A condition "g REL h" as (kind, c) with c(x) >= 0 or c(x) = 0."""
    relation = re.search(r"<=|>=|<|>|=", text)
    left, right = text[:relation.start()], text[relation.end():]
    g, h = to_python(left), to_python(right)
    op = relation.group()
    if op == "=":
        return "eq", lambda x: g(x) - h(x)
    if op in (">=", ">"):
        return "ineq", lambda x: g(x) - h(x)
    return "ineq", lambda x: h(x) - g(x)


def violation(conditions, x):
    worst = 0.0
    for kind, c in conditions:
        v = c(x)
        worst = max(worst, abs(v) if kind == "eq" else max(0.0, -v))
    return worst


def solve(method, f, conditions, x0):
    if method == "SLSQP":
        return minimize(f, x0, method="SLSQP", constraints=[{"type": k, "fun": c} for k, c in conditions])
    constraints = [NonlinearConstraint(c, 0.0, 0.0 if k == "eq" else np.inf) for k, c in conditions]
    return minimize(f, x0, method="trust-constr", constraints=constraints)


METHODS = ["SLSQP", "trust-constr"]


def main():
    solved = {m: 0 for m in METHODS}
    evaluations = {m: [] for m in METHODS}
    seconds = {m: [] for m in METHODS}
    count = 0
    print("%-8s %7s %13s" % ("problem", "SLSQP", "trust-constr"))
    for line in sys.stdin:
        name, start, fstar, formula, texts = line.rstrip("\n").split("\t")
        f = to_python(formula)
        conditions = [condition(t) for t in texts.split(";")]
        x0 = np.array([float(v) for v in start.split(",")])
        fstar = float(fstar)
        marks = []
        for method in METHODS:
            began = time.perf_counter()
            with warnings.catch_warnings(), np.errstate(all="ignore"):
                warnings.simplefilter("ignore")
                result = solve(method, f, conditions, x0)
            seconds[method].append(time.perf_counter() - began)
            value = f(result.x)
            ok = (math.isfinite(value) and violation(conditions, result.x) <= 1e-6
                  and abs(value - fstar) <= 1e-6 * max(1.0, abs(fstar)))
            solved[method] += ok
            if ok:
                evaluations[method].append(result.nfev)
            marks.append("yes" if ok else "-")
        count += 1
        print("%-8s %7s %13s" % (name, marks[0], marks[1]))
    print("\n%-18s %7s %9s %11s" % ("method", "solved", "median f", "median ms"))
    for method in METHODS:
        print("scipy %-12s %3d/%-3d %9.0f %11.3f" % (
            method, solved[method], count,
            float(np.median(evaluations[method])) if evaluations[method] else 0,
            1000 * float(np.median(seconds[method]))))


if __name__ == "__main__":
    main()
