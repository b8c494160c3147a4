// What the minimisation methods share: the one-dimensional search, the
// stopping tests, the rule after a failed search, and the bookkeeping of
// values, steps, iterations and track points.
#pragma once

#include "func/types.h"
#include "methods/session.h"

namespace qirt {

// Initial step of every restart of the gradient methods and of Newton's method.
inline constexpr Real kInitialStep = 0.1L;
// The expansion of a search doubles its step at most this many times. Any
// nonzero step overflows long before (the whole range of long double is
// about 32,800 doublings), so in practice the expansion ends where the step
// or the value stops being finite; the bound only makes the end certain.
inline constexpr int kMaxDoublings = 40'000;
// The contraction of a search halves its step this many times before it
// tries the opposite direction once (twice the first step back), and then
// gives up: the search has failed.
inline constexpr int kMaxHalvings = 20;

// Searches from x along s. StepLength is the trial step on entry and the
// chosen step on return; SearchFailed is 1 when no step was found. x is not
// changed. A search whose values fall all the way to the end of the number
// range returns its last finite point and sets S.End to Unbounded: the
// method takes that step and ends. LastGoodStep (when given) receives the step of the lowest value
// the search actually evaluated, the fall-back when the returned step leads
// to a point where the function turns out to be undefined.
void LineSearch(TSession& S, const Vector& x, int LastIndex, const Vector& s, Real& StepLength,
                int& SearchFailed, Real* LastGoodStep = nullptr);

Real SquaredNorm(const Vector& v, int LastIndex);

// The value test after a step, fprev the value before it and f after it.
bool ValueConverged(Real fprev, Real f, Real ValueAccuracy);
// The variable test after the step d that led to x.
bool StepConverged(const Vector& d, const Vector& x, int LastIndex, Real VariableAccuracy);

// The value at x with the error code cleared first, counted as one
// evaluation. False when the function is undefined at x, or x or the value
// is not finite.
bool DefinedValue(TSession& S, const Vector& x, int LastIndex, Real& value);

// The rule after a failed search: a remembered point and a restart flag.
class TRestartRule {
public:
    TRestartRule(const Vector& start, int lastIndex) : remembered_(start), last_(lastIndex) {}
    // After a failed search at x: true to restart, false to end the method.
    bool RestartAfterFailure(const Vector& x);
    void StepAccepted() { restarted_ = false; }

private:
    Vector remembered_;
    int last_;
    bool restarted_ = false;
};

// Moves x along s by the step a search returned: x += StepLength * s with
// the value f there, and d = StepLength * s. If that point is undefined the
// search's last good step is taken instead (one more evaluation). False when
// neither leads to a defined point: x, f and d are then unchanged and the
// method ends (S.End says why).
bool TakeStep(TSession& S, Vector& x, int LastIndex, const Vector& s, Real& StepLength,
              Real lastGoodStep, Vector& d, Real& f);

// The start of the methods that always record their start point: f at x,
// recorded in the track. False (S.End UndefinedStart) where the function
// is undefined or not finite there; the method then ends.
bool StartValue(TSession& S, const Vector& x, int LastIndex, Real& f);

// Appends (x, f) to the track of the run (and starts its next iteration in
// the run's log).
void RecordPoint(TSession& S, const Vector& x, int LastIndex, Real f);
// The gradient the method chooses its next direction with, for the log.
inline void NoteGradient(TSession& S, const Vector& g) {
    if (S.Log) S.Log->Gradient(g);
}

// Asked after the stopping tests of an accepted iteration, f the current
// value: false when a search found the function unbounded below, the
// iteration limit is reached or the progress callback cancels the run.
bool KeepGoing(TSession& S, Real f);

// Sets up the bookkeeping of a method: CurrentLastIndex, IterationCount, End.
void BeginMethod(TSession& S, int LastIndex);

} // namespace qirt
