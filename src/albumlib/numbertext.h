#pragma once
// Numbers read from text as the album's index files and the command line
// need them: the longest leading decimal number of a text (blanks anywhere
// are ignored, reading stops at the first character that cannot continue a
// number, no number reads 0), and its conversion to a 32-bit whole number,
// rounding halves to even.

// Qt
#include <QString>

// std
#include <cstdint>
#include <optional>

namespace tarnwick {

double LeadingNumber(const QString& text);

// The nearest 32-bit whole number, halves to even; nothing when out of range
// or not a number.
std::optional<std::int32_t> ToInt32(double value);

// A whole text converted to a 32-bit whole number as a conversion of a
// command-line value does: blanks around it allowed, a fraction rounded
// half to even; nothing when the text is not a number or out of range.
std::optional<std::int32_t> TextToInt32(const QString& text);

} // namespace tarnwick
