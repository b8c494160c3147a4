// How a run ends, as the user is told, with its key and its text.
#pragma once

namespace qirt {

// How a run ended, as the user is told.
enum class TRunEnd {
    Converged,           // the method's tests held and the gradient there is small
    IterationLimit,
    UndefinedDerivative,
    UndefinedStep,
    Stopped,             // the user stopped it
    Unbounded,           // the values fell without limit
    UndefinedStart,      // no value at the start point
    Refused,             // the run did not start (the inputs; a message says why)
    Skipped,             // not run: a comparison was stopped before it
    NotStationary,       // the method stopped, but the gradient says it is no minimum
    SingularHessian,     // Newton's matrix could not be inverted
    RunsOff,             // the point ran off to infinity while the values levelled off
    EvaluationLimit,     // kMaxEvaluations values of f
};

// The end's key in qirt-batch's JSON ("iteration-limit", ...), its text in
// the windows, and what the help page and the messages tell the student.
const char* EndKey(TRunEnd end);
const char* EndText(TRunEnd end);

} // namespace qirt
