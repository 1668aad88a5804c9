#include "framework/parameters/Format.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "framework/core/Strings.h"

namespace corvane {
namespace {

constexpr int MaxPlaceholders = 32;

struct Placeholder {
    int argument = 0;
    bool plusSign = false;
    bool hexadecimal = false;
    int width = 0;
    char fill = ' ';
    int decimals = 4;
};

// Up to two decimal digits following a modifier.
int ReadSmallNumber(const std::string& format, size_t& at) {
    int value = 0;
    for (int digits = 0; digits < 2 && at < format.size() && std::isdigit(static_cast<unsigned char>(format[at]));
         ++digits)
        value = value * 10 + (format[at++] - '0');
    return value;
}

// Reads from just after "{" up to and including "}"; false when no "}" follows.
bool ReadPlaceholder(const std::string& format, size_t& at, Placeholder& placeholder) {
    while (at < format.size() && std::isdigit(static_cast<unsigned char>(format[at])))
        placeholder.argument = placeholder.argument * 10 + (format[at++] - '0');
    while (at < format.size()) {
        const char c = format[at++];
        switch (c) {
            case '}':
                return true;
            case '+':
                placeholder.plusSign = true;
                break;
            case '.':
                placeholder.decimals = ReadSmallNumber(format, at);
                break;
            case '0':
            case ' ':
                placeholder.fill = c;
                placeholder.width = ReadSmallNumber(format, at);
                break;
            case 'x':
                placeholder.hexadecimal = true;
                break;
            default:
                break;  // separators such as ';'
        }
    }
    return false;
}

std::string FormatInteger(int64_t value, const Placeholder& placeholder) {
    char text[32];
    const auto result = placeholder.hexadecimal
                            ? std::to_chars(text, text + sizeof text, static_cast<uint64_t>(value), 16)
                            : std::to_chars(text, text + sizeof text, value);
    std::string digits(text, result.ptr);
    if (placeholder.hexadecimal)
        for (char& c : digits) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return digits;
}

std::string FormatReal(double value, const Placeholder& placeholder) {
    if (placeholder.hexadecimal) return FormatInteger(static_cast<int64_t>(value), placeholder);
    return FormatDouble(value, placeholder.decimals < 10 ? std::chars_format::fixed : std::chars_format::general,
                        placeholder.decimals);
}

// Zero fill goes between the sign and the digits, space fill before the sign.
std::string Pad(std::string text, const Placeholder& placeholder) {
    if (static_cast<int>(text.size()) >= placeholder.width) return text;
    const size_t missing = static_cast<size_t>(placeholder.width) - text.size();
    const bool signed_ = !text.empty() && (text[0] == '-' || text[0] == '+');
    text.insert(placeholder.fill == '0' && signed_ ? 1 : 0, missing, placeholder.fill);
    return text;
}

std::string Expand(const Placeholder& placeholder, const FormatArg& arg) {
    std::string text;
    switch (arg.GetType()) {
        case FormatArg::Type::Text:
            return Pad(arg.Text(), placeholder);
        case FormatArg::Type::Integer:
            text = FormatInteger(arg.Integer(), placeholder);
            if (placeholder.plusSign && arg.Integer() > 0) text.insert(0, 1, '+');
            break;
        case FormatArg::Type::Real:
            text = FormatReal(arg.Real(), placeholder);
            if (placeholder.plusSign && arg.Real() > 1e-20) text.insert(0, 1, '+');
            break;
    }
    return Pad(text, placeholder);
}

}  // namespace

std::string FormatText(const std::string& format, std::initializer_list<FormatArg> args) {
    const std::vector<FormatArg> arguments(args);
    std::string result;
    result.reserve(format.size() + 16);
    int placeholders = 0;
    size_t at = 0;
    while (at < format.size()) {
        const char c = format[at++];
        if (c == '}') {
            // A lone "}" is dropped and the next character copied: "}}" is "}".
            if (at < format.size()) result += format[at++];
            continue;
        }
        if (c != '{') {
            result += c;
            continue;
        }
        if (at < format.size() && format[at] == '{') {
            result += '{';
            ++at;
            continue;
        }
        const size_t start = at - 1;
        Placeholder placeholder;
        if (!ReadPlaceholder(format, at, placeholder) || placeholders >= MaxPlaceholders) {
            result.append(format, start, at - start);  // unfinished or surplus placeholder stays as text
            continue;
        }
        ++placeholders;
        if (placeholder.argument < static_cast<int>(arguments.size()))
            result += Expand(placeholder, arguments[static_cast<size_t>(placeholder.argument)]);
    }
    return result;
}

}  // namespace corvane
