// The region: a list of inequalities g(x) ? 0, each with a penalty term that
// is added to every value of the minimised function.
//
// An exterior term ("внешняя") is 0 where the inequality holds and
// Coefficient * g^Power outside; any other kind text gives the interior term,
// 1/|g| inside and 1e6 outside.
#pragma once

#include <string>
#include <string_view>

#include "func/function.h"

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

inline constexpr const char* kExteriorKind = "внешняя";
inline constexpr const char* kInteriorKind = "внутреняя";
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

    bool ParseCondition(std::string_view inequality, std::string_view coefficient,
                        std::string_view power, std::string_view kindText,
                        TMessageWindow* messages);
    Real PenaltyTerm(const Vector& point, int n, Real tolerance);
    void ReleaseCondition();
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

    void ResetConditions();
    void ClearConditions();
    void AddCondition(std::string_view inequality, std::string_view coefficient,
                      std::string_view power, std::string_view kindText);
    void ChangeCondition(int position, std::string_view inequality, std::string_view coefficient,
                         std::string_view power, std::string_view kindText);
    void DeleteCondition(int position);
    Real PenaltySum(const Vector& point, int n);

    // The condition at a position counted from 1, or null.
    straf* At(int position) const;
};

// The expression text g and the relation of an inequality.
std::string SplitInequality(std::string_view text, std::int32_t& relation);
bool RelationHolds(std::int32_t relation, Real g);
bool IsEvenPower(Real x);
bool ContainsPowerSign(std::string_view text);

} // namespace qirt
