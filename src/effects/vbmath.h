#pragma once
// The numeric rules of the effects: whole() rounds half to even, conversions
// of setting texts to 32-bit whole numbers, and checked 32-bit arithmetic.
// A failing rule throws EffectFailure with the classic description, which
// clsMovie shows once and then returns from the effect.

// Qt
#include <QString>

// std
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace tarnwick {

class EffectFailure : public std::runtime_error {
public:
    explicit EffectFailure(const char* description) : std::runtime_error(description) {}
};

// Thrown at a frame's end when the engine was told to stop drawing; not a
// failure, nothing is shown.
struct EffectStopped {};

inline constexpr const char* kTypeMismatch = "Type mismatch";
inline constexpr const char* kOverflow = "Overflow";
inline constexpr const char* kDivisionByZero = "Division by zero";
inline constexpr const char* kSubscriptOutOfRange = "Subscript out of range";

// Fails with "Overflow" when v lies outside the 32-bit range.
inline std::int32_t checkedLong(double v)
{
    if (!(v >= -2147483648.0 && v <= 2147483647.0))
        throw EffectFailure(kOverflow);
    return static_cast<std::int32_t>(v);
}

// Nearest whole number, halves to even (2.5 -> 2, 3.5 -> 4), as a 32-bit
// value; "Overflow" outside the range.
inline std::int32_t whole(double x) { return checkedLong(std::nearbyint(x)); }

// Largest whole number not above x, as a 32-bit value.
inline std::int32_t floorLong(double x) { return checkedLong(std::floor(x)); }

// Converts a setting text to a 32-bit whole number: blanks around it are
// ignored, decimals and exponents are rounded with whole(), "&H" hex is
// read as hex. Empty or non-numeric text fails with "Type mismatch".
std::int32_t toLong(const QString& text);

// a / b in double precision; "Division by zero" when b is 0.
inline double divide(double a, double b)
{
    if (b == 0.0)
        throw EffectFailure(kDivisionByZero);
    return a / b;
}

// a \ b: integer division dropping the fraction; "Division by zero" when b
// is 0.
inline std::int32_t idiv(std::int32_t a, std::int32_t b)
{
    if (b == 0)
        throw EffectFailure(kDivisionByZero);
    if (a == std::numeric_limits<std::int32_t>::min() && b == -1)
        throw EffectFailure(kOverflow);
    return a / b;
}

// Checked 32-bit sum, difference and product ("Overflow").
inline std::int32_t add(std::int32_t a, std::int32_t b) { return checkedLong(double(a) + b); }
inline std::int32_t sub(std::int32_t a, std::int32_t b) { return checkedLong(double(a) - b); }
inline std::int32_t mul(std::int32_t a, std::int32_t b) { return checkedLong(double(a) * b); }

} // namespace tarnwick
