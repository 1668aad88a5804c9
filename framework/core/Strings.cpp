#include "framework/core/Strings.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>


namespace corvane {

std::string JoinTexts(const std::string& a, const std::string& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    return a + " - " + b;
}

double ParseDouble(const std::string& text) {
    const double value = std::strtod(text.c_str(), nullptr);
    return std::isnan(value) ? 0.0 : value;
}

int64_t ParseInteger(const std::string& text) {
    return static_cast<int64_t>(std::strtoll(text.c_str(), nullptr, 10));
}

bool StartsWithNumber(const std::string& text) {
    char* end = nullptr;
    std::strtod(text.c_str(), &end);
    return end != text.c_str();
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
