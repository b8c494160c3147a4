// Standard unconstrained test problems from the literature (Moré, Garbow
// and Hillstrom's set and its usual companions), written in the program's
// formula language with their standard start points and known minima.
// Every method runs on every problem as the start button would (symbolic
// derivatives, both accuracies 1e-10); a problem counts as solved when
// f - f* <= 1e-6 max(1, |f*|). Prints per method the problems solved, the
// median evaluations of f, of the gradient and of the Hessian over the
// solved ones, the median correct digits of f over all, and how the runs
// ended: converged, converged on a problem not solved ("falsely"),
// stopped without a minimum, and any other end.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "methods/compare.h"

namespace {

using namespace qirt;

// A number in the formula language: plain decimals, no exponent.
std::string N(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15f", std::fabs(v));
    std::string s(text);
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return v < 0 ? "(0-" + s + ")" : s;
}
std::string X(int i) { return "x[" + std::to_string(i) + "]"; }
std::string Sum(int from, int to, const std::function<std::string(int)>& term) {
    std::string s;
    for (int i = from; i <= to; ++i) s += (s.empty() ? "" : "+") + term(i);
    return s;
}
std::string Sq(const std::string& e) { return "(" + e + ")^2"; }

struct TProblem {
    const char* Name;
    std::string Formula;
    std::vector<double> Start;
    double Minimum;
};

std::vector<TProblem> Problems() {
    std::vector<TProblem> p;
    p.push_back({"Rosenbrock", "100*(x[1]-x[0]^2)^2+(1-x[0])^2", {-1.2, 1}, 0});
    p.push_back({"Freudenstein-Roth",
                 Sq("0-13+x[0]+((5-x[1])*x[1]-2)*x[1]") + "+" + Sq("0-29+x[0]+((x[1]+1)*x[1]-14)*x[1]"),
                 {0.5, -2}, 0});
    p.push_back({"Powell badly scaled",
                 Sq("10000*x[0]*x[1]-1") + "+" + Sq("exp(0-x[0])+exp(0-x[1])-1.0001"), {0, 1}, 0});
    p.push_back({"Brown badly scaled",
                 Sq("x[0]-1000000") + "+" + Sq("x[1]-0.000002") + "+" + Sq("x[0]*x[1]-2"), {1, 1}, 0});
    {
        const double y[] = {1.5, 2.25, 2.625};
        p.push_back({"Beale", Sum(1, 3, [&](int i) { return Sq(N(y[i - 1]) + "-x[0]*(1-x[1]^" + std::to_string(i) + ")"); }),
                     {1, 1}, 0});
    }
    p.push_back({"Jennrich-Sampson",
                 Sum(1, 10, [](int i) {
                     return Sq(std::to_string(2 + 2 * i) + "-exp(" + std::to_string(i) + "*x[0])-exp(" +
                               std::to_string(i) + "*x[1])");
                 }),
                 {0.3, 0.4}, 124.36218235561});
    {
        const double y[] = {0.14, 0.18, 0.22, 0.25, 0.29, 0.32, 0.35, 0.39, 0.37, 0.58, 0.73, 0.96, 1.34, 2.10, 4.39};
        p.push_back({"Bard", Sum(1, 15, [&](int i) {
                         const int u = i, v = 16 - i, w = std::min(u, v);
                         return Sq(N(y[i - 1]) + "-(x[0]+" + std::to_string(u) + "/(" + std::to_string(v) +
                                   "*x[1]+" + std::to_string(w) + "*x[2]))");
                     }),
                     {1, 1, 1}, 8.21487730657897e-3});
    }
    {
        const double y[] = {0.0009, 0.0044, 0.0175, 0.0540, 0.1295, 0.2420, 0.3521, 0.3989,
                            0.3521, 0.2420, 0.1295, 0.0540, 0.0175, 0.0044, 0.0009};
        p.push_back({"Gaussian", Sum(1, 15, [&](int i) {
                         return Sq("x[0]*exp(0-x[1]*(" + N((8 - i) / 2.0) + "-x[2])^2/2)-" + N(y[i - 1]));
                     }),
                     {0.4, 1, 0}, 1.12793276961e-8});
    }
    {
        const double y[] = {34780, 28610, 23650, 19630, 16370, 13720, 11540, 9744,
                            8261,  7030,  6005,  5147,  4427,  3820,  3307,  2872};
        p.push_back({"Meyer", Sum(1, 16, [&](int i) {
                         return Sq("x[0]*exp(x[1]/(" + std::to_string(45 + 5 * i) + "+x[2]))-" + N(y[i - 1]));
                     }),
                     {0.02, 4000, 250}, 87.9458551});
    }
    p.push_back({"Box 3D", Sum(1, 10, [](int i) {
                     const std::string t = N(0.1 * i);
                     return Sq("exp(0-" + t + "*x[0])-exp(0-" + t + "*x[1])-x[2]*(" +
                               N(std::exp(-0.1 * i) - std::exp(-1.0 * i)) + ")");
                 }),
                 {0, 10, 20}, 0});
    p.push_back({"Powell singular",
                 "(x[0]+10*x[1])^2+5*(x[2]-x[3])^2+(x[1]-2*x[2])^4+10*(x[0]-x[3])^4", {3, -1, 0, 1}, 0});
    p.push_back({"Wood",
                 "100*(x[1]-x[0]^2)^2+(1-x[0])^2+90*(x[3]-x[2]^2)^2+(1-x[2])^2+10.1*((x[1]-1)^2+(x[3]-1)^2)"
                 "+19.8*(x[1]-1)*(x[3]-1)",
                 {-3, -1, -3, -1}, 0});
    {
        const double y[] = {0.1957, 0.1947, 0.1735, 0.1600, 0.0844, 0.0627, 0.0456, 0.0342, 0.0323, 0.0235, 0.0246};
        const double u[] = {4, 2, 1, 0.5, 0.25, 0.167, 0.125, 0.1, 0.0833, 0.0714, 0.0625};
        p.push_back({"Kowalik-Osborne", Sum(1, 11, [&](int i) {
                         const std::string uu = N(u[i - 1]), u2 = N(u[i - 1] * u[i - 1]);
                         return Sq(N(y[i - 1]) + "-x[0]*(" + u2 + "+" + uu + "*x[1])/(" + u2 + "+" + uu +
                                   "*x[2]+x[3])");
                     }),
                     {0.25, 0.39, 0.415, 0.39}, 3.07505603849e-4});
    }
    p.push_back({"Brown-Dennis", Sum(1, 20, [](int i) {
                     const double t = i / 5.0;
                     return Sq(Sq("x[0]+" + N(t) + "*x[1]-" + N(std::exp(t))) + "+" +
                               Sq("x[2]+" + N(std::sin(t)) + "*x[3]-" + N(std::cos(t))));
                 }),
                 {25, 5, -5, -1}, 85822.2016263563});
    {
        const double y[] = {0.844, 0.908, 0.932, 0.936, 0.925, 0.908, 0.881, 0.850, 0.818, 0.784, 0.751,
                            0.718, 0.685, 0.658, 0.628, 0.603, 0.580, 0.558, 0.538, 0.522, 0.506, 0.490,
                            0.478, 0.467, 0.457, 0.448, 0.438, 0.431, 0.424, 0.420, 0.414, 0.411, 0.406};
        p.push_back({"Osborne 1", Sum(1, 33, [&](int i) {
                         const std::string t = std::to_string(10 * (i - 1));
                         return Sq(N(y[i - 1]) + "-(x[0]+x[1]*exp(0-" + t + "*x[3])+x[2]*exp(0-" + t + "*x[4]))");
                     }),
                     {0.5, 1.5, -1, 0.01, 0.02}, 5.46489469748e-5});
    }
    p.push_back({"Extended Rosenbrock (10)", Sum(0, 4, [](int k) {
                     return "100*(" + X(2 * k + 1) + "-" + X(2 * k) + "^2)^2+(1-" + X(2 * k) + ")^2";
                 }),
                 {-1.2, 1, -1.2, 1, -1.2, 1, -1.2, 1, -1.2, 1}, 0});
    p.push_back({"Extended Powell singular (8)", Sum(0, 1, [](int k) {
                     const int a = 4 * k;
                     return "(" + X(a) + "+10*" + X(a + 1) + ")^2+5*(" + X(a + 2) + "-" + X(a + 3) + ")^2+(" +
                            X(a + 1) + "-2*" + X(a + 2) + ")^4+10*(" + X(a) + "-" + X(a + 3) + ")^4";
                 }),
                 {3, -1, 0, 1, 3, -1, 0, 1}, 0});
    p.push_back({"Trigonometric (10)", Sum(1, 10, [](int i) {
                     return Sq("10-(" + Sum(0, 9, [](int j) { return "cos(" + X(j) + ")"; }) + ")+" +
                               std::to_string(i) + "*(1-cos(" + X(i - 1) + "))-sin(" + X(i - 1) + ")");
                 }),
                 std::vector<double>(10, 0.1), 0});
    {
        const std::string r = Sum(1, 10, [](int j) { return std::to_string(j) + "*(" + X(j - 1) + "-1)"; });
        std::vector<double> start;
        for (int j = 1; j <= 10; ++j) start.push_back(1 - j / 10.0);
        p.push_back({"Variably dimensioned (10)",
                     Sum(0, 9, [](int j) { return Sq(X(j) + "-1"); }) + "+(" + r + ")^2+(" + r + ")^4", start, 0});
    }
    {
        std::vector<double> start;
        for (int j = 1; j <= 10; ++j) start.push_back(j);
        p.push_back({"Penalty I (10)",
                     Sum(0, 9, [](int j) { return "0.00001*" + Sq(X(j) + "-1"); }) + "+" +
                         Sq(Sum(0, 9, [](int j) { return X(j) + "^2"; }) + "-0.25"),
                     start, 7.08765146e-5});
    }
    return p;
}

} // namespace

int main(int argc, char** argv) {
    const auto problems = Problems();
    // --list: name, start, f* and formula a line each, tab-separated (for
    // running the same problems elsewhere, scripts/scipy_problems.py).
    if (argc > 1 && std::string(argv[1]) == "--list") {
        for (const TProblem& p : problems) {
            std::printf("%s\t", p.Name);
            for (std::size_t k = 0; k < p.Start.size(); ++k) std::printf("%s%.17g", k ? "," : "", p.Start[k]);
            std::printf("\t%.17g\t%s\n", p.Minimum, p.Formula.c_str());
        }
        return 0;
    }
    // --evidence: a line per run with its end, the gradient evidence and the
    // error of f, for choosing the stationarity scale.
    const bool evidence = argc > 1 && std::string(argv[1]) == "--evidence";
    struct TTally {
        int Solved = 0, Converged = 0, FalselyConverged = 0, NotStationary = 0, Other = 0;
        std::vector<double> F, G, H, Digits;
    };
    std::vector<TTally> tally(kMethodCount);
    if (!evidence) {
        std::printf("%-30s", "problem");
        for (int m = 0; m < kMethodCount; ++m) std::printf(" %6.6s", kMethods[m].Name);
        std::printf("\n");
    }
    for (const TProblem& problem : problems) {
        TRunInputs in;
        in.Formula = problem.Formula;
        in.VariableAccuracyText = in.ValueAccuracyText = "1e-10";
        in.StartText.clear();
        for (std::size_t k = 0; k < problem.Start.size(); ++k)
            in.StartText += (k ? "," : "") + std::string(N(problem.Start[k]).c_str()[0] == '(' ? "-" + N(-problem.Start[k]) : N(problem.Start[k]));
        std::vector<int> all;
        for (int m = 0; m < kMethodCount; ++m) all.push_back(m);
        TSession S;
        const auto rows = CompareMethods(S, in, all);
        if (!evidence) std::printf("%-30s", problem.Name);
        for (const TComparisonRow& r : rows) {
            const double scale = std::max(1.0, std::fabs(problem.Minimum));
            const double error = r.LastIndex >= 0 ? std::fabs(double(r.Minimum) - problem.Minimum) / scale : 1e300;
            const bool ok = r.LastIndex >= 0 && double(r.Minimum) - problem.Minimum <= 1e-6 * scale;
            TTally& t = tally[r.Method];
            // Correct digits of f, relative to max(1, |f*|), at most 16.
            t.Digits.push_back(std::clamp(-std::log10(std::max(error, 1e-16)), 0.0, 16.0));
            if (ok) {
                ++t.Solved;
                t.F.push_back(double(r.Evaluations));
                t.G.push_back(double(r.GradientEvaluations));
                t.H.push_back(double(r.HessianEvaluations));
            }
            if (r.End == TRunEnd::Converged) {
                ++t.Converged;
                if (!ok) ++t.FalselyConverged;
            } else if (r.End == TRunEnd::NotStationary) {
                ++t.NotStationary;
            } else {
                ++t.Other;
            }
            if (evidence) {
                const double ratio = double(r.RelativeGradient);
                std::printf("%-28s %-16s %-15s solved %-3s gradient %10.3g ratio %10.3g error %10.3g\n",
                            problem.Name, kMethods[r.Method].Name, EndKey(r.End), ok ? "yes" : "no",
                            double(r.GradientNorm), ratio, error);
            } else {
                std::printf(" %6s", ok ? "yes" : "-");
            }
        }
        if (!evidence) std::printf("\n");
    }
    if (evidence) return 0;
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
    };
    std::printf("\n%-18s %7s %8s %8s %8s %7s %10s %10s %15s %6s\n", "method", "solved", "median f",
                "median g", "median H", "digits", "converged", "falsely", "not-stationary", "other");
    for (int m = 0; m < kMethodCount; ++m) {
        const TTally& t = tally[m];
        std::printf("%-18s %3d/%-3zu %8.0f %8.0f %8.0f %7.1f %10d %10d %15d %6d\n", kMethods[m].Name, t.Solved,
                    problems.size(), median(t.F), median(t.G), median(t.H), median(t.Digits), t.Converged,
                    t.FalselyConverged, t.NotStationary, t.Other);
    }
}
