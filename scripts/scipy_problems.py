#!/usr/bin/env python3
"""Runs the test problems of bench_problems with SciPy's BFGS (default options
and gtol 1e-10) and Nelder-Mead, from the same starts, and prints how many each
solves, by the same rule: f - f* <= 1e-6 max(1, |f*|), the median function
evaluations over the solved ones and the median correct digits of f. Needs Debian's python3-scipy; the
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


# The methods run, with their options: SciPy's defaults, and BFGS asked
# for the gradient tolerance the program's benchmark asks for (1e-10).
METHODS = {
    "BFGS": ("BFGS", {}),
    "BFGS-gtol-1e-10": ("BFGS", {"gtol": 1e-10}),
    "Nelder-Mead": ("Nelder-Mead", {}),
}


def main():
    solved = {name: 0 for name in METHODS}
    digits = {name: [] for name in METHODS}
    evaluations = {name: [] for name in METHODS}
    count = 0
    for line in sys.stdin:
        name, start, fstar, formula = line.rstrip("\n").split("\t")
        f = to_python(formula)
        x0 = np.array([float(v) for v in start.split(",")])
        fstar = float(fstar)
        marks = []
        for label, (method, options) in METHODS.items():
            with np.errstate(all="ignore"):
                result = minimize(f, x0, method=method, options=options)
            scale = max(1.0, abs(fstar))
            ok = math.isfinite(result.fun) and result.fun - fstar <= 1e-6 * scale
            error = abs(result.fun - fstar) / scale if math.isfinite(result.fun) else 1.0
            digits[label].append(min(16.0, max(0.0, -math.log10(max(error, 1e-16)))))
            if ok:
                evaluations[label].append(result.nfev)
            solved[label] += ok
            marks.append("yes" if ok else "-")
        count += 1
        print("%-30s %s" % (name, " ".join("%5s" % m for m in marks)))
    print("%-22s %7s %17s %7s" % ("method", "solved", "median f (solved)", "digits"))
    for label in METHODS:
        print("scipy %-16s %3d/%-3d %17.0f %7.1f" % (label, solved[label], count,
              float(np.median(evaluations[label])) if evaluations[label] else 0,
              float(np.median(digits[label]))))


if __name__ == "__main__":
    main()
