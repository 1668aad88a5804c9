#include "framework/core/Strings.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>

namespace corvane {

std::string JoinTexts(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " - " + b;
}

namespace {

// Where a typed number's digits begin: after blanks and a plus sign. Only
// ASCII blanks count, so no locale is consulted.
const char* NumberStart(const std::string& text) {
    const char* at = text.c_str();
    while (*at == ' ' || *at == '\t' || *at == '\n' || *at == '\r' || *at == '\f' || *at == '\v') ++at;
    if (*at == '+' && at[1] != '-') ++at;
    return at;
}

}  // namespace

// std::from_chars never reads the process locale: hosts set their own.
double ParseDouble(const std::string& text) {
    const char* first = NumberStart(text);
    double value = 0.0;
    const auto [end, error] = std::from_chars(first, text.c_str() + text.size(), value);
    if (end == first) return 0.0;
    if (error == std::errc::result_out_of_range) return 0.0;
    return std::isnan(value) ? 0.0 : value;
}

int64_t ParseInteger(const std::string& text) {
    const char* first = NumberStart(text);
    int64_t value = 0;
    const auto [end, error] = std::from_chars(first, text.c_str() + text.size(), value);
    if (error == std::errc::result_out_of_range) return *first == '-' ? INT64_MIN : INT64_MAX;
    return end == first ? 0 : value;
}

bool StartsWithNumber(const std::string& text) {
    const char* first = NumberStart(text);
    double value = 0.0;
    return std::from_chars(first, text.c_str() + text.size(), value).ptr != first;
}

bool ParseStoredReal(const std::string& text, double& value) {
    const char* first = text.c_str();
    const char* last = first + text.size();
    if (first == last || *first == '+' || *first == ' ') return false;
    double parsed = 0.0;
    const auto [end, error] = std::from_chars(first, last, parsed, std::chars_format::general);
    if (error != std::errc() || end != last || !std::isfinite(parsed)) return false;
    value = parsed;
    return true;
}

bool ParseStoredInteger(const std::string& text, int64_t& value, int64_t minimum, int64_t maximum) {
    const char* first = text.c_str();
    const char* last = first + text.size();
    int64_t parsed = 0;
    const auto [end, error] = std::from_chars(first, last, parsed, 10);
    if (first == last || error != std::errc() || end != last || parsed < minimum || parsed > maximum) return false;
    value = parsed;
    return true;
}

std::string FormatDouble(double value, std::chars_format format, int precision) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, value, format, precision);
    if (result.ec != std::errc()) return {};
    return std::string(text, result.ptr);
}

std::string JoinWords(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " " + b;
}

double RoundHalfUp(double x) {
    const double whole = std::floor(x);
    return (x - whole >= 0.5) ? whole + 1.0 : whole;
}

bool EqualsIgnoreCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace corvane
