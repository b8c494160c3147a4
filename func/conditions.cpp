#include "func/conditions.h"

#include <cmath>

#include "func/compiled.h"
#include "func/evaluate.h"
#include "func/messages.h"
#include "func/scan.h"

namespace qirt {

std::string SplitInequality(std::string_view text, std::int32_t& relation) {
    auto at = text.find_first_of("<>=");
    std::string_view left = text.substr(0, at);
    relation = NoRelation;
    std::size_t right_start = text.size();
    if (at != std::string_view::npos) {
        char c = text[at];
        char next = at + 1 < text.size() ? text[at + 1] : '\0';
        std::size_t width = 1;
        if (c == '<') {
            relation = next == '=' ? LessEqual : next == '>' ? NotEqual : Less;
            width = relation == Less ? 1 : 2;
        } else if (c == '>') {
            relation = next == '=' ? GreaterEqual : Greater;
            width = relation == Greater ? 1 : 2;
        } else {
            relation = Equal;
        }
        right_start = at + width;
    }
    std::string_view right = text.substr(right_start);
    if (relation == NoRelation || right == "0") return std::string(left);
    std::string expression(left);
    expression += "-(";
    expression += right;
    expression += ")";
    return expression;
}

bool RelationHolds(std::int32_t relation, Real g) {
    switch (relation) {
    case Less: return g < 0;
    case LessEqual: return g <= 0;
    case Greater: return g > 0;
    case GreaterEqual: return g >= 0;
    case Equal: return g == 0;
    case NotEqual: return g != 0;
    default: return false;
    }
}

bool IsEvenPower(Real x) { return std::isfinite(x) && x >= 0 && x / 2 == std::trunc(x / 2); }

bool ContainsPowerSign(std::string_view text) { return text.find('^') != std::string_view::npos; }

namespace {
// a^p for a >= 0 and a whole p >= 0: repeated multiplication for small
// powers, repeated squaring up to the 32-bit range, the library's power
// beyond (where the result is 0, 1 or infinite anyway).
Real MagnitudePower(Real a, Real p) {
    constexpr Real kMultiplyUpTo = 1000;
    constexpr Real kSquareUpTo = 2147483647;
    if (p == 0) return 1;
    if (p <= kMultiplyUpTo) {
        Real result = a;
        for (int k = 1; k < int(p); ++k) result *= a;
        return result;
    }
    if (p <= kSquareUpTo) return IntegerPower(a, static_cast<std::uint32_t>(p));
    return std::pow(a, p);
}

// g^p for an even power p: the power of |g|, so the term is never negative
// and a huge power still gives its term.
Real ViolationPower(Real g, Real p) { return MagnitudePower(std::fabs(g), p); }
} // namespace

bool straf::ParseCondition(std::string_view inequality, std::string_view coefficient,
                           std::string_view power, std::string_view kindText,
                           TMessageWindow* messages) {
    ReleaseCondition();
    Expression.Messages = messages;
    ConditionErrorCode = 0;
    Coefficient = TextToReal(coefficient);
    Power = TextToReal(power);
    PenaltyKind = std::string(kindText);
    Text = std::string(inequality);
    CoefficientText = std::string(coefficient);
    PowerText = std::string(power);
    if (!IsEvenPower(Power)) ConditionErrorCode = condition_error::BadPower;
    std::string expression = SplitInequality(inequality, Relation);
    HasPowerSign = false;
    if (Relation != NoRelation) {
        HasPowerSign = ContainsPowerSign(expression);
        Expression.DifferentiationStep = 0;
        // The expression's derivatives are built apart, in every variable
        // it holds; a missing rule only means central differences for them.
        BuildTree(Expression, expression, false);
        if (ConditionErrorCode == 0) ConditionErrorCode = Expression.ErrorCode;
        if (Expression.ErrorCode == error::None) Derivatives.Build(Expression);
    } else if (ConditionErrorCode == 0) {
        ConditionErrorCode = condition_error::NoRelation;
    }
    NearBoundary = false;
    return ConditionErrorCode == 0;
}

int straf::Sense() const {
    switch (Relation) {
    case Less:
    case LessEqual:
    case Equal: return 1;
    case Greater:
    case GreaterEqual: return -1;
    default: return 0;
    }
}

namespace {
// The augmented term of the multiplier method in g, and its first and
// second derivatives in g.
struct TAugmented {
    Real Value, First, Second;
};
TAugmented AugmentedTerm(const straf& c, Real g) {
    const Real rho = c.Coefficient, lambda = c.Multiplier;
    if (c.Equality()) return {lambda * g + rho * g * g / 2, lambda + rho * g, rho};
    const int s = c.Sense();
    const Real shifted = lambda + rho * s * g;
    if (shifted <= 0) return {-lambda * lambda / (2 * rho), 0, 0};
    return {(shifted * shifted - lambda * lambda) / (2 * rho), s * shifted, rho};
}
} // namespace

bool straf::TermSlopes(Real g, Real& first, Real& second) const {
    first = second = 0;
    const bool holds = RelationHolds(Relation, g);
    if (PenaltyKind == kExteriorKind && Augmented && Sense() != 0) {
        const TAugmented term = AugmentedTerm(*this, g);
        first = term.First;
        second = term.Second;
        return first != 0 || second != 0;
    }
    if (PenaltyKind == kExteriorKind) {
        // c g^p outside, 0 inside; a constant for p = 0 or c = 0.
        if (holds || Power == 0 || Coefficient == 0) return false;
        const Real sign = g < 0 ? -1 : 1;
        first = Coefficient * Power * sign * MagnitudePower(std::fabs(g), Power - 1);
        second = Coefficient * Power * (Power - 1) * MagnitudePower(std::fabs(g), Power - 2);
        return true;
    }
    // w/|g| inside, the constant 1e6 outside and on the boundary.
    if (!holds || g == 0) return false;
    const Real size = std::fabs(g);
    first = -InteriorWeight / (g * size);
    second = 2 * InteriorWeight / (size * size * size);
    return true;
}

Real straf::PenaltyTerm(const Vector& point, int n, Real tolerance) {
    Expression.ClearEvaluationError();
    const Real g = FunctionValue(Expression, point, n - 1);
    ConditionErrorCode = Expression.ErrorCode;
    if (ConditionErrorCode != 0) {
        NearBoundary = false;
        return 0;
    }
    const Real size = std::fabs(g);
    NearBoundary = HasPowerSign ? size < 2 * tolerance : size < tolerance / 2;
    const bool holds = RelationHolds(Relation, g);
    if (PenaltyKind == kExteriorKind) {
        if (Augmented && Sense() != 0) return AugmentedTerm(*this, g).Value;
        if (holds) return 0;
        const Real term = Coefficient * ViolationPower(g, Power);
        return std::isnan(term) ? 0 : term; // a zero coefficient times an infinite violation
    }
    if (!holds || g == 0) return kInteriorOutside;
    return InteriorWeight / size;
}

bool straf::AddPenaltyDerivatives(const Vector& point, int n, Vector& gradient, Matrix* hessian) {
    Expression.ClearEvaluationError();
    const Real g = FunctionValue(Expression, point, n - 1);
    if (Expression.ErrorCode != 0 || !std::isfinite(g)) return false;
    // The term is phi(g): its gradient is phi'(g) grad g, its second
    // derivatives phi''(g) grad g grad g^T + phi'(g) d2g.
    Real first, second;
    if (!TermSlopes(g, first, second)) return true;
    const int last = n - 1;
    Vector dg{};
    Matrix d2g{};
    if (!Derivatives.Values(Expression, point, last, dg, hessian ? &d2g : nullptr)) return false;
    for (int i = 0; i <= last; ++i) gradient[i] += first * dg[i];
    if (hessian)
        for (int i = 0; i <= last; ++i)
            for (int j = 0; j <= last; ++j)
                (*hessian)[i][j] += second * dg[i] * dg[j] + first * d2g[i][j];
    return true;
}

void straf::ReleaseCondition() {
    ReleaseTree(Expression);
    ReleaseDerivativeObjects(Expression);
    Derivatives.Release();
}

void uslov::ResetConditions() {
    Head = Tail = Cursor = nullptr;
    Size = 0;
    ConditionErrorCode = 0;
    NearBoundary = false;
    BoundaryTolerance = 0;
    PenaltyEnabled = true;
    ErrorReported = false;
}

void uslov::ClearConditions() {
    for (straf* c = Head; c;) {
        straf* next = c->Next;
        delete c; // releases its expression
        c = next;
    }
    Head = Tail = Cursor = nullptr;
    Size = 0;
    ConditionErrorCode = 0;
    ErrorReported = false;
}

straf* uslov::At(int position) const {
    if (position < 1 || position > Size) return nullptr;
    straf* c = Head;
    for (int k = 1; k < position; ++k) c = c->Next;
    return c;
}

void uslov::AddCondition(std::string_view inequality, std::string_view coefficient,
                         std::string_view power, std::string_view kindText) {
    auto* c = new straf;
    if (!c->ParseCondition(inequality, coefficient, power, kindText, Messages)) {
        ConditionErrorCode = c->ConditionErrorCode;
        delete c;
        return;
    }
    Append(c);
}

void uslov::Append(straf* c) {
    if (Tail)
        Tail->Next = c;
    else
        Head = c;
    Tail = c;
    ++Size;
}

void uslov::ChangeCondition(int position, std::string_view inequality,
                            std::string_view coefficient, std::string_view power,
                            std::string_view kindText) {
    straf* old = At(position);
    if (!old) return;
    auto* c = new straf;
    if (!c->ParseCondition(inequality, coefficient, power, kindText, Messages)) {
        ConditionErrorCode = c->ConditionErrorCode;
        delete c;
        return;
    }
    c->Next = old->Next;
    if (position == 1)
        Head = c;
    else
        At(position - 1)->Next = c;
    if (Tail == old) Tail = c;
    if (Cursor == old) Cursor = c;
    delete old;
}

void uslov::DeleteCondition(int position) {
    straf* old = At(position);
    if (!old) return;
    straf* before = position == 1 ? nullptr : At(position - 1);
    if (before)
        before->Next = old->Next;
    else
        Head = old->Next;
    if (Tail == old) Tail = before;
    if (Cursor == old) Cursor = nullptr;
    --Size;
    delete old;
}

Real uslov::PenaltySum(const Vector& point, int n) {
    // Each point stands on its own: a condition that could not be evaluated
    // somewhere else says nothing about this one.
    NearBoundary = false;
    ConditionErrorCode = 0;
    Real sum = 0;
    Cursor = Head;
    for (int k = 0; k < Size && Cursor; ++k, Cursor = Cursor->Next) {
        sum += Cursor->PenaltyTerm(point, n, BoundaryTolerance);
        if (!NearBoundary) NearBoundary = Cursor->NearBoundary;
        if (Cursor->ConditionErrorCode != 0) ConditionErrorCode = Cursor->ConditionErrorCode;
    }
    if (ConditionErrorCode != 0) {
        // The penalised value has no value here; the caller treats the
        // point as undefined, and it marks no boundary.
        sum = 0;
        NearBoundary = false;
        ReportError();
    }
    if (!PenaltyEnabled) return 0;
    return sum;
}

void uslov::ReportError() {
    if (ErrorReported) return;
    ErrorReported = true;
    ShowMessage(Messages, message::ConditionEvaluation, ShowKind::NonModal);
}

void uslov::CopyForEvaluation(const uslov& from) {
    ClearConditions();
    for (const straf* c = from.Head; c; c = c->Next) {
        auto* copy = new straf;
        qirt::CopyForEvaluation(c->Expression, copy->Expression);
        copy->Relation = c->Relation;
        copy->Coefficient = c->Coefficient;
        copy->Power = c->Power;
        copy->HasPowerSign = c->HasPowerSign;
        copy->PenaltyKind = c->PenaltyKind;
        copy->InteriorWeight = c->InteriorWeight;
        copy->Augmented = c->Augmented;
        copy->Multiplier = c->Multiplier;
        Append(copy);
    }
    BoundaryTolerance = from.BoundaryTolerance;
    PenaltyEnabled = from.PenaltyEnabled;
    Messages = nullptr;
    ErrorReported = false;
}

bool uslov::InsideInterior(const Vector& point, int n) {
    if (!PenaltyEnabled) return true;
    for (straf* c = Head; c; c = c->Next) {
        if (c->PenaltyKind == kExteriorKind) continue;
        c->Expression.ClearEvaluationError();
        const Real g = FunctionValue(c->Expression, point, n - 1);
        if (c->Expression.ErrorCode != 0 || g == 0 || !RelationHolds(c->Relation, g)) return false;
    }
    return true;
}

bool uslov::PenaltyDerivatives(const Vector& point, int n, Vector& gradient, Matrix* hessian) {
    for (int i = 0; i < 10; ++i) {
        gradient[i] = 0;
        if (hessian)
            for (int j = 0; j < 10; ++j) (*hessian)[i][j] = 0;
    }
    if (!PenaltyEnabled) return true;
    for (straf* c = Head; c; c = c->Next)
        if (!c->AddPenaltyDerivatives(point, n, gradient, hessian)) return false;
    return true;
}

} // namespace qirt
