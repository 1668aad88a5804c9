#pragma once
// Small text helpers shared by the framework.

#include <charconv>
#include <cstdint>
#include <string>

namespace corvane {

// a, " - ", b; or whichever of the two is not empty.
std::string JoinTexts(const std::string& a, const std::string& b);
// a, a space, b; or whichever of the two is not empty.
std::string JoinWords(const std::string& a, const std::string& b);

// Numbers in texts never depend on the process locale: a host may have set
// one with a decimal comma, and states must load the same under any locale.

// Decimal number from the start of a text (after blanks and a plus sign), as
// far as it parses; 0 when nothing does.
double ParseDouble(const std::string& text);
// Base-10 integer from the start of a text, as far as it parses; 0 when nothing does.
int64_t ParseInteger(const std::string& text);

// Whether a decimal number starts the text (after blanks).
bool StartsWithNumber(const std::string& text);

// Stored numbers are read strictly: the whole text must be a decimal number
// (no blanks, no plus sign, no hexadecimal, no "inf" or "nan"), finite, and
// for integers within the given range. False leaves the value untouched.
bool ParseStoredReal(const std::string& text, double& value);
bool ParseStoredInteger(const std::string& text, int64_t& value, int64_t minimum, int64_t maximum);

// printf's "%.*f" (fixed) or "%.*g" (general) in the C locale.
std::string FormatDouble(double value, std::chars_format format, int precision);

// floor(x), plus 1 when the fraction is at least 0.5.
double RoundHalfUp(double x);

bool EqualsIgnoreCase(const std::string& a, const std::string& b);

}  // namespace corvane
