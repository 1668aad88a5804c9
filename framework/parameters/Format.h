#pragma once
// Format strings with numbered placeholders: "{0}", "{+0.02} semitones",
// "{0;.2} dB", "{0.1} : 1". Modifiers: "+" sign, "." decimals, "0"/" " fill
// with width, "x" hexadecimal; anything else is a separator and ignored.

#include <cstdint>
#include <initializer_list>
#include <string>

namespace corvane {

class FormatArg {
public:
    enum class Type { Integer, Real, Text };

    FormatArg(int value) : type_(Type::Integer), integer_(value) {}
    FormatArg(int64_t value) : type_(Type::Integer), integer_(value) {}
    FormatArg(double value) : type_(Type::Real), real_(value) {}
    FormatArg(const char* value) : type_(Type::Text), text_(value) {}
    FormatArg(std::string value) : type_(Type::Text), text_(std::move(value)) {}

    Type GetType() const { return type_; }
    int64_t Integer() const { return integer_; }
    double Real() const { return real_; }
    const std::string& Text() const { return text_; }

private:
    Type type_;
    int64_t integer_ = 0;
    double real_ = 0.0;
    std::string text_;
};

// Placeholders naming a missing argument expand to nothing.
std::string FormatText(const std::string& format, std::initializer_list<FormatArg> args);

}  // namespace corvane
