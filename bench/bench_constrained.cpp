// Standard constrained test problems of Hock and Schittkowski ("Test
// Examples for Nonlinear Programming Codes", 1981), written in the
// program's formula and condition language from the published problem
// statements, with their standard start points (feasible and infeasible)
// and known optima. Every method runs on every problem with each way of
// taking the region (one penalised run, the sequence of penalties, the
// method of multipliers), symbolic derivatives, both accuracies 1e-10,
// every condition exterior with coefficient 1 and power 2. A run counts as
// solved when its point is feasible within 1e-6 (the largest violation)
// and f there is within 1e-6 max(1, |f*|) of the optimum. Prints the
// problems solved by each method with the multipliers, then per method and
// strategy the problems solved, the median evaluations of f over the solved
// ones and the median time of a run. --list prints the problems for
// scripts/scipy_constrained.py.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "func/conditions.h"
#include "methods/constrained.h"
#include "methods/run.h"

namespace {

using namespace qirt;

struct TProblem {
    const char* Name;
    std::string Formula;
    std::vector<std::string> Conditions; // each "g REL h"
    std::vector<double> Start;
    double Minimum;
};

std::vector<TProblem> Problems() {
    return {
        {"HS1", "100*(x[1]-x[0]^2)^2+(1-x[0])^2", {"x[1]>=0-1.5"}, {-2, 1}, 0},
        {"HS6", "(1-x[0])^2", {"10*(x[1]-x[0]^2)=0"}, {-1.2, 1}, 0},
        {"HS7", "ln(1+x[0]^2)-x[1]", {"(1+x[0]^2)^2+x[1]^2=4"}, {2, 2}, -std::sqrt(3.0)},
        {"HS9", "sin(3.14159265358979324*x[0]/12)*cos(3.14159265358979324*x[1]/16)", {"4*x[0]-3*x[1]=0"},
         {0, 0}, -0.5},
        {"HS10", "x[0]-x[1]", {"0-3*x[0]^2+2*x[0]*x[1]-x[1]^2+1>=0"}, {-10, 10}, -1},
        {"HS11", "(x[0]-5)^2+x[1]^2-25", {"0-x[0]^2+x[1]>=0"}, {4.9, 0.1}, -8.498464223},
        {"HS12", "0.5*x[0]^2+x[1]^2-x[0]*x[1]-7*x[0]-7*x[1]", {"25-4*x[0]^2-x[1]^2>=0"}, {0, 0}, -30},
        {"HS14", "(x[0]-2)^2+(x[1]-1)^2", {"0-0.25*x[0]^2-x[1]^2+1>=0", "x[0]-2*x[1]+1=0"}, {2, 2},
         9 - 23 * std::sqrt(7.0) / 8},
        {"HS15", "100*(x[1]-x[0]^2)^2+(1-x[0])^2", {"x[0]*x[1]-1>=0", "x[0]+x[1]^2>=0", "x[0]<=0.5"},
         {-2, 1}, 306.5},
        {"HS18", "0.01*x[0]^2+x[1]^2",
         {"x[0]*x[1]-25>=0", "x[0]^2+x[1]^2-25>=0", "x[0]>=2", "x[0]<=50", "x[1]>=0", "x[1]<=50"},
         {2, 2}, 5},
        {"HS21", "0.01*x[0]^2+x[1]^2-100", {"10*x[0]-x[1]-10>=0", "x[0]>=2", "x[0]<=50", "x[1]>=0-50", "x[1]<=50"},
         {-1, -1}, -99.96},
        {"HS22", "(x[0]-2)^2+(x[1]-1)^2", {"0-x[0]-x[1]+2>=0", "0-x[0]^2+x[1]>=0"}, {2, 2}, 1},
        {"HS23", "x[0]^2+x[1]^2",
         {"x[0]+x[1]-1>=0", "x[0]^2+x[1]^2-1>=0", "9*x[0]^2+x[1]^2-9>=0", "x[0]^2-x[1]>=0", "x[1]^2-x[0]>=0",
          "x[0]>=0-50", "x[0]<=50", "x[1]>=0-50", "x[1]<=50"},
         {3, 1}, 2},
        {"HS26", "(x[0]-x[1])^2+(x[1]-x[2])^4", {"(1+x[1]^2)*x[0]+x[2]^4-3=0"}, {-2.6, 2, 2}, 0},
        {"HS27", "0.01*(x[0]-1)^2+(x[1]-x[0]^2)^2", {"x[0]+x[2]^2+1=0"}, {2, 2, 2}, 0.04},
        {"HS28", "(x[0]+x[1])^2+(x[1]+x[2])^2", {"x[0]+2*x[1]+3*x[2]-1=0"}, {-4, 1, 1}, 0},
        {"HS35", "9-8*x[0]-6*x[1]-4*x[2]+2*x[0]^2+2*x[1]^2+x[2]^2+2*x[0]*x[1]+2*x[0]*x[2]",
         {"3-x[0]-x[1]-2*x[2]>=0", "x[0]>=0", "x[1]>=0", "x[2]>=0"}, {0.5, 0.5, 0.5}, 1.0 / 9},
        {"HS43", "x[0]^2+x[1]^2+2*x[2]^2+x[3]^2-5*x[0]-5*x[1]-21*x[2]+7*x[3]",
         {"8-x[0]^2-x[1]^2-x[2]^2-x[3]^2-x[0]+x[1]-x[2]+x[3]>=0",
          "10-x[0]^2-2*x[1]^2-x[2]^2-2*x[3]^2+x[0]+x[3]>=0", "5-2*x[0]^2-x[1]^2-x[2]^2-2*x[0]+x[1]+x[3]>=0"},
         {0, 0, 0, 0}, -44},
        {"HS48", "(x[0]-1)^2+(x[1]-x[2])^2+(x[3]-x[4])^2",
         {"x[0]+x[1]+x[2]+x[3]+x[4]-5=0", "x[2]-2*(x[3]+x[4])+3=0"}, {3, 5, -3, 2, -2}, 0},
        {"HS51", "(x[0]-x[1])^2+(x[1]+x[2]-2)^2+(x[3]-1)^2+(x[4]-1)^2",
         {"x[0]+3*x[1]-4=0", "x[2]+x[3]-2*x[4]=0", "x[1]-x[4]=0"}, {2.5, 0.5, 2, -1, 0.5}, 0},
        {"HS65", "(x[0]-x[1])^2+(x[0]+x[1]-10)^2/9+(x[2]-5)^2",
         {"48-x[0]^2-x[1]^2-x[2]^2>=0", "x[0]>=0-4.5", "x[0]<=4.5", "x[1]>=0-4.5", "x[1]<=4.5", "x[2]>=0-5",
          "x[2]<=5"},
         {-5, 5, 0}, 0.9535288567},
        {"HS71", "x[0]*x[3]*(x[0]+x[1]+x[2])+x[2]",
         {"x[0]*x[1]*x[2]*x[3]-25>=0", "x[0]^2+x[1]^2+x[2]^2+x[3]^2-40=0", "x[0]>=1", "x[0]<=5", "x[1]>=1",
          "x[1]<=5", "x[2]>=1", "x[2]<=5", "x[3]>=1", "x[3]<=5"},
         {1, 5, 5, 1}, 17.0140173},
        {"HS76", "x[0]^2+0.5*x[1]^2+x[2]^2+0.5*x[3]^2-x[0]*x[2]+x[2]*x[3]-x[0]-3*x[1]+x[2]-x[3]",
         {"5-x[0]-2*x[1]-x[2]-x[3]>=0", "4-3*x[0]-x[1]-2*x[2]+x[3]>=0", "x[1]+4*x[2]-1.5>=0", "x[0]>=0",
          "x[1]>=0", "x[2]>=0", "x[3]>=0"},
         {0.5, 0.5, 0.5, 0.5}, -4.681818181},
        {"HS100",
         "(x[0]-10)^2+5*(x[1]-12)^2+x[2]^4+3*(x[3]-11)^2+10*x[4]^6+7*x[5]^2+x[6]^4-4*x[5]*x[6]-10*x[5]-8*x[6]",
         {"127-2*x[0]^2-3*x[1]^4-x[2]-4*x[3]^2-5*x[4]>=0", "282-7*x[0]-3*x[1]-10*x[2]^2-x[3]+x[4]>=0",
          "196-23*x[0]-x[1]^2-6*x[5]^2+8*x[6]>=0", "0-4*x[0]^2-x[1]^2+3*x[0]*x[1]-2*x[2]^2-5*x[5]+11*x[6]>=0"},
         {1, 2, 0, 4, 0, 1, 1}, 680.6300573},
    };
}

std::string StartText(const std::vector<double>& start) {
    std::string text;
    for (std::size_t k = 0; k < start.size(); ++k) {
        char number[40];
        std::snprintf(number, sizeof number, "%.17g", start[k]);
        text += (k ? "," : "") + std::string(number);
    }
    return text;
}

struct TOutcome {
    bool Solved = false;
    double Evaluations = 0, Seconds = 0;
};

TOutcome Run(const TProblem& p, int method, TRegionStrategy strategy) {
    TSession S;
    for (const std::string& c : p.Conditions) S.Conditions.AddCondition(c, "1", "2", kExteriorKind);
    TRunInputs in;
    in.Formula = p.Formula;
    in.StartText = StartText(p.Start);
    in.VariableAccuracyText = in.ValueAccuracyText = "1e-10";
    in.MethodFamily = kMethods[method].Family;
    in.MethodVariant = kMethods[method].Variant;
    in.RegionStrategy = strategy;
    TRun run;
    StartRun(S, in, run);
    TOutcome o;
    if (run.Status == TRunStatus::Done && run.Result.Region.Present) {
        const TRegionReport& g = run.Result.Region;
        const double scale = std::max(1.0, std::fabs(p.Minimum));
        o.Solved = g.Violation <= 1e-6L && std::fabs(double(g.Objective) - p.Minimum) <= 1e-6 * scale;
        o.Evaluations = double(run.Result.Evaluations);
        o.Seconds = run.Result.Seconds;
    }
    FinishRun(S, run);
    return o;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    const auto problems = Problems();
    if (argc > 1 && std::string(argv[1]) == "--list") {
        // name, start, f*, formula, conditions separated by ';', tab-separated
        for (const TProblem& p : problems) {
            std::string conditions;
            for (const std::string& c : p.Conditions) conditions += (conditions.empty() ? "" : ";") + c;
            std::printf("%s\t%s\t%.17g\t%s\t%s\n", p.Name, StartText(p.Start).c_str(), p.Minimum,
                        p.Formula.c_str(), conditions.c_str());
        }
        return 0;
    }
    struct TTally {
        int Solved = 0;
        std::vector<double> F, Seconds;
    };
    TTally tally[kMethodCount][kRegionStrategyCount];
    std::printf("%-8s", "problem");
    for (int m = 0; m < kMethodCount; ++m) std::printf(" %6.6s", kMethods[m].Name);
    std::printf("   (the method of multipliers)\n");
    for (const TProblem& p : problems) {
        std::printf("%-8s", p.Name);
        for (int m = 0; m < kMethodCount; ++m) {
            for (int s = 0; s < kRegionStrategyCount; ++s) {
                const TOutcome o = Run(p, m, static_cast<TRegionStrategy>(s));
                TTally& t = tally[m][s];
                t.Seconds.push_back(o.Seconds);
                if (o.Solved) {
                    ++t.Solved;
                    t.F.push_back(o.Evaluations);
                }
                if (static_cast<TRegionStrategy>(s) == TRegionStrategy::Multipliers)
                    std::printf(" %6s", o.Solved ? "yes" : "-");
            }
        }
        std::printf("\n");
    }
    std::printf("\n%-18s %-12s %7s %9s %11s\n", "method", "strategy", "solved", "median f", "median ms");
    for (int m = 0; m < kMethodCount; ++m)
        for (int s = 0; s < kRegionStrategyCount; ++s) {
            const TTally& t = tally[m][s];
            std::printf("%-18s %-12s %3d/%-3zu %9.0f %11.3f\n", kMethods[m].Name,
                        RegionStrategyKey(static_cast<TRegionStrategy>(s)), t.Solved, problems.size(),
                        Median(t.F), 1000 * Median(t.Seconds));
        }
}
