// The region: a list of inequalities g(x) ? 0, each with a penalty term that
// is added to every value of the minimised function.
//
// An exterior term ("внешняя") is 0 where the inequality holds and
// Coefficient * g^Power outside; any other kind text gives the interior term,
// 1/|g| inside and 1e6 outside.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "func/function.h"
#include "func/penalty_derivative.h"
#include "func/ui_text.h"

namespace qirt {

class TMessageWindow;

// How g is compared with 0.
enum RelationKind : std::int32_t {
    NoRelation = 0, // the condition is rejected
    Less = 1,       // "<"
    LessEqual = 2,  // "<="
    Greater = 3,    // ">"
    GreaterEqual = 4, // ">="
    Equal = 5,      // "="
    NotEqual = 6,   // "<>"
};

// Codes of a condition besides the ErrorCode of its expression.
namespace condition_error {
inline constexpr Byte BadPower = 2;    // the power is not 0, 2, 4, ...
inline constexpr Byte NoRelation = 200; // "x[0]+1": no "<", ">" or "="
} // namespace condition_error

inline constexpr const char* kExteriorKind = UI_TEXT("qirt", "внешняя");
inline constexpr const char* kInteriorKind = UI_TEXT("qirt", "внутреняя");
// The interior term outside the region, and on its boundary.
inline constexpr Real kInteriorOutside = 1e6L;

class straf {
public:
    TFunction Expression;
    std::int32_t Relation = NoRelation;
    Real Coefficient = 0;
    Real Power = 0;
    straf* Next = nullptr;
    Byte ConditionErrorCode = 0;
    bool NearBoundary = false;
    bool HasPowerSign = false;
    std::string PenaltyKind;
    // The texts as typed, for showing the condition again.
    std::string Text, CoefficientText, PowerText;
    // What the constrained strategies change between their runs (and put
    // back): the interior term is InteriorWeight / |g|; an augmented
    // exterior term is the multiplier method's
    //     (max(0, Multiplier + Coefficient c)^2 - Multiplier^2) / (2 Coefficient)
    // for an inequality written c <= 0, Multiplier h + Coefficient h^2 / 2
    // for an equality h = 0, in place of Coefficient g^Power.
    Real InteriorWeight = 1;
    bool Augmented = false;
    Real Multiplier = 0;

    // Derivatives of the expression g in every variable it holds.
    TConditionDerivatives Derivatives;

    bool ParseCondition(std::string_view inequality, std::string_view coefficient,
                        std::string_view power, std::string_view kindText,
                        TMessageWindow* messages);
    // The term at a point. Each point stands on its own: the expression's
    // error code is cleared first. Where g cannot be evaluated the term is 0,
    // ConditionErrorCode holds the expression's code and NearBoundary is false.
    Real PenaltyTerm(const Vector& point, int n, Real tolerance);
    // Adds the gradient (and, when hessian is given, the second derivatives)
    // of the term at a point to gradient and hessian. False where g or its
    // derivatives cannot be evaluated.
    bool AddPenaltyDerivatives(const Vector& point, int n, Vector& gradient, Matrix* hessian);
    // The term's first and second derivatives in g at the value g; false
    // (and both 0) where the term is constant there.
    bool TermSlopes(Real g, Real& first, Real& second) const;
    void ReleaseCondition();

    bool Exterior() const { return PenaltyKind == kExteriorKind; }
    // The condition written c <= 0 (an equality h = 0): +1 when c = g, -1
    // when c = -g (">", ">="), 0 for "<>", which has no such form.
    int Sense() const;
    bool Equality() const { return Relation == Equal; }
};

class uslov {
public:
    uslov() = default;
    ~uslov() { ClearConditions(); }
    uslov(const uslov&) = delete;
    uslov& operator=(const uslov&) = delete;

    straf* Head = nullptr;
    straf* Tail = nullptr;
    straf* Cursor = nullptr;
    std::int32_t Size = 0;
    Byte ConditionErrorCode = 0;
    bool NearBoundary = false;
    Real BoundaryTolerance = 0;
    bool PenaltyEnabled = true;
    TMessageWindow* Messages = nullptr; // where failures are reported
    // "Ошибка вычисления условий" has been shown since the last
    // NewErrorReport: a run or a redraw tells the user once, not per point.
    bool ErrorReported = false;

    void ResetConditions();
    void ClearConditions();
    void AddCondition(std::string_view inequality, std::string_view coefficient,
                      std::string_view power, std::string_view kindText);
    void ChangeCondition(int position, std::string_view inequality, std::string_view coefficient,
                         std::string_view power, std::string_view kindText);
    void DeleteCondition(int position);
    // The sum of the terms at a point. ConditionErrorCode is that of this
    // point alone: 0, or the code of the last condition that could not be
    // evaluated there (the sum is then 0 and NearBoundary false).
    Real PenaltySum(const Vector& point, int n);
    // The gradient and second derivatives of the penalty sum at a point,
    // from the conditions' derivatives; both are set, not added to. False
    // where a condition cannot be evaluated. Zero while PenaltyEnabled is off.
    bool PenaltyDerivatives(const Vector& point, int n, Vector& gradient, Matrix* hessian);
    // A run or a redraw begins: its first failing condition is reported.
    void NewErrorReport() { ErrorReported = false; }
    // Shows "Ошибка вычисления условий" unless it was shown since the last
    // NewErrorReport.
    void ReportError();
    // Replaces the list by copies of the conditions of `from` (their
    // expressions, relations, coefficients, powers and kinds) with its
    // tolerance and penalty switch, for another thread to evaluate; the
    // copy reports nothing.
    void CopyForEvaluation(const uslov& from);

    // Whether the point lies strictly inside every interior condition of
    // the list (true without any, or while the penalties are off): outside,
    // the interior term is the constant 1e6 and the methods see no slope.
    bool InsideInterior(const Vector& point, int n);

    // The condition at a position counted from 1, or null.
    straf* At(int position) const;

private:
    void Append(straf* c); // after Tail
};

// The expression text g and the relation of an inequality.
std::string SplitInequality(std::string_view text, std::int32_t& relation);
bool RelationHolds(std::int32_t relation, Real g);
// 0, 2, 4, ... (finite).
bool IsEvenPower(Real x);
bool ContainsPowerSign(std::string_view text);

} // namespace qirt
