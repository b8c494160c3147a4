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

bool IsEvenPower(Real x) { return x >= 0 && x / 2 == std::trunc(x / 2); }

bool ContainsPowerSign(std::string_view text) { return text.find('^') != std::string_view::npos; }

namespace {
// g^p: 1 for p = 0, 0 for g = 0, repeated multiplication for a whole p (by
// squaring when p is too large to multiply out), exp(p ln g) otherwise.
Real ViolationPower(Real g, Real p) {
    constexpr Real kMultiplyUpTo = 1000;
    if (p == 0) return 1;
    if (g == 0 && p > 0) return 0;
    if (p == std::trunc(p) && p > 0 && p <= kMultiplyUpTo) {
        Real result = g;
        for (int k = 1; k < int(p); ++k) result *= g;
        return result;
    }
    Real result = 0;
    PowerValue(g, p, result);
    return result;
}
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
    if (!IsEvenPower(Power)) ConditionErrorCode = condition_error::BadPower;
    std::string expression = SplitInequality(inequality, Relation);
    HasPowerSign = false;
    if (Relation != NoRelation) {
        HasPowerSign = ContainsPowerSign(expression);
        Expression.DifferentiationStep = 0;
        BuildTree(Expression, expression);
        if (ConditionErrorCode == 0) ConditionErrorCode = Expression.ErrorCode;
    } else if (ConditionErrorCode == 0) {
        ConditionErrorCode = condition_error::NoRelation;
    }
    NearBoundary = false;
    return ConditionErrorCode == 0;
}

Real straf::PenaltyTerm(const Vector& point, int n, Real tolerance) {
    const Real g = FunctionValue(Expression, point, n - 1);
    const Real size = std::fabs(g);
    NearBoundary = HasPowerSign ? size < 2 * tolerance : size < tolerance / 2;
    const bool holds = RelationHolds(Relation, g);
    // An undefined expression is reported for both kinds of term.
    ConditionErrorCode = Expression.ErrorCode;
    if (PenaltyKind == kExteriorKind) {
        if (holds) return 0;
        const Real term = Coefficient * ViolationPower(g, Power);
        return std::isnan(term) ? 0 : term; // a zero coefficient times an infinite violation

    }
    if (!holds || g == 0) return kInteriorOutside;
    return 1 / size;
}

void straf::ReleaseCondition() {
    ReleaseTree(Expression);
    ReleaseDerivativeObjects(Expression);
}

void uslov::ResetConditions() {
    Head = Tail = Cursor = nullptr;
    Size = 0;
    ConditionErrorCode = 0;
    NearBoundary = false;
    BoundaryTolerance = 0;
    PenaltyEnabled = true;
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
    NearBoundary = false;
    Real sum = 0;
    Cursor = Head;
    for (int k = 0; k < Size && Cursor; ++k, Cursor = Cursor->Next) {
        sum += Cursor->PenaltyTerm(point, n, BoundaryTolerance);
        if (!NearBoundary) NearBoundary = Cursor->NearBoundary;
        if (Cursor->ConditionErrorCode != 0) ConditionErrorCode = Cursor->ConditionErrorCode;
    }
    if (ConditionErrorCode != 0) {
        sum = 0;
        ShowMessage(Messages, message::ConditionEvaluation, ShowKind::NonModal);
    }
    if (!PenaltyEnabled) return 0;
    return sum;
}

} // namespace qirt
