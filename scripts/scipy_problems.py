#!/usr/bin/env python3
"""Runs the test problems of bench_problems with SciPy's BFGS and Nelder-Mead
(default options, the same starts) and prints how many each solves, by the
same rule: f - f* <= 1e-6 max(1, |f*|). Needs Debian's python3-scipy; the
program does not. Usage: build/bench/bench_problems --list | /usr/bin/python3 scripts/scipy_problems.py"""
import math
import re
import sys

import numpy as np
from scipy.optimize import minimize

FUNCTIONS = {"exp": "np.exp", "sin": "np.sin", "cos": "np.cos", "ln": "np.log", "sqrt": "np.sqrt"}


def to_python(formula):
    text = formula.replace("^", "**")
    for name, numpy_name in FUNCTIONS.items():
        text = re.sub(r"\b%s\(" % name, numpy_name + "(", text)
    return eval("lambda x: " + text, {"np": np})


def main():
    solved = {"BFGS": 0, "Nelder-Mead": 0}
    count = 0
    for line in sys.stdin:
        name, start, fstar, formula = line.rstrip("\n").split("\t")
        f = to_python(formula)
        x0 = np.array([float(v) for v in start.split(",")])
        fstar = float(fstar)
        marks = []
        for method in solved:
            with np.errstate(all="ignore"):
                result = minimize(f, x0, method=method)
            ok = math.isfinite(result.fun) and result.fun - fstar <= 1e-6 * max(1.0, abs(fstar))
            solved[method] += ok
            marks.append("yes" if ok else "-")
        count += 1
        print("%-30s %5s %5s" % (name, *marks))
    for method, n in solved.items():
        print("scipy %-12s %d/%d" % (method, n, count))


if __name__ == "__main__":
    main()
