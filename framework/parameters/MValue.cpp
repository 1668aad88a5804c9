#include "framework/parameters/MValue.h"

#include <algorithm>
#include <limits>

#include "framework/core/Strings.h"
#include "framework/parameters/Format.h"

namespace corvane {

void MValue::Load(const MXMLItem& node) {
    if (const std::string* text = node.FindAttribute(Identifier())) {
        FromString(*text);
        Clamp();
    } else {
        ResetToDefault();
    }
}

std::string MValue::GetDisplayText() {
    if (textCallback) return textCallback(*this, std::string());
    return GetText();
}

std::vector<std::string> MValue::GetTextList() const {
    std::vector<std::string> texts;
    const int32_t count = GetDiscreteCount();
    for (int32_t i = 0; i < count; ++i) texts.push_back(GetDiscreteText(i, count));
    return texts;
}

bool MValue::SetText(const std::string& text) {
    bool result = true;
    if (textCallback)
        textCallback(*this, text);
    else
        result = ParseText(text);
    Clamp();
    return result;
}

std::string MValue::GetDiscreteText(int32_t index, int32_t count) const {
    return GetTextFor(count > 0 ? static_cast<double>(index) / count : 0.0);
}

bool MValue::SetDiscrete(int32_t index) {
    const int32_t count = GetDiscreteCount();
    return Set01(count > 0 ? static_cast<double>(index) / count : 0.0);
}

namespace {

template <class T>
FormatArg AsFormatArg(double value) {
    if (std::is_integral<T>::value) return FormatArg(static_cast<int64_t>(value));
    return FormatArg(value);
}

template <class T>
T FromDouble(double value) {
    if (std::is_integral<T>::value) {
        // Saturate instead of overflowing the integer type.
        const double low = static_cast<double>(std::numeric_limits<T>::lowest());
        const double high = static_cast<double>(std::numeric_limits<T>::max());
        if (std::isnan(value)) return T(0);
        return static_cast<T>(std::min(std::max(value, low), high));
    }
    return static_cast<T>(value);
}

template <class T>
double ParseNumber(const std::string& text) {
    return std::is_integral<T>::value ? static_cast<double>(ParseInteger(text)) : ParseDouble(text);
}

}  // namespace

template <class T>
void MValueNumberT<T>::Assign(double value) {
    *variable_ = FromDouble<T>(value);
}

template <class T>
std::string MValueNumberT<T>::ToString() const {
    return FormatText(std::is_integral<T>::value ? "{0}" : "{0.6}", {AsFormatArg<T>(*variable_)});
}

template <class T>
void MValueNumberT<T>::FromString(const std::string& text) {
    Assign(ParseNumber<T>(text));
}

template <class T>
bool MValueNumberT<T>::ResetToDefault() {
    const T before = *variable_;
    *variable_ = defaultValue;
    changed = true;
    Clamp();
    return *variable_ != before;
}

template <class T>
void MValueNumberT<T>::Store(MXMLItem& node) const {
    node.SetAttribute(Identifier(),
                      FormatText(std::is_integral<T>::value ? "{0}" : "{0.12}", {AsFormatArg<T>(*variable_)}));
}

template <class T>
void MValueNumberT<T>::LoadAttributes(const MXMLItem& item) {
    if (const std::string* id = item.FindAttribute("id")) SetIdentifier(*id);
    if (const std::string* text = item.FindAttribute("min")) minimum = FromDouble<T>(ParseNumber<T>(*text));
    if (const std::string* text = item.FindAttribute("max")) maximum = FromDouble<T>(ParseNumber<T>(*text));
    const std::string* defaultText = item.FindAttribute("default");
    if (defaultText != nullptr) {
        defaultValue = FromDouble<T>(ParseNumber<T>(*defaultText));
        *variable_ = defaultValue;
    }
    if (const std::string* text = item.FindAttribute("value")) {
        *variable_ = FromDouble<T>(ParseNumber<T>(*text));
        if (defaultText == nullptr) defaultValue = *variable_;
    }
    if (const std::string* text = item.FindAttribute("inc")) increment = FromDouble<T>(ParseNumber<T>(*text));
    if (const std::string* text = item.FindAttribute("maxinc"))
        maximumIncrement = FromDouble<T>(ParseNumber<T>(*text));
    else
        maximumIncrement = std::max(maximumIncrement, increment);
    if (const std::string* text = item.FindAttribute("format")) format = *text;
}

template <class T>
std::string MValueNumberT<T>::GetTextFor(double value) const {
    return FormatText(format.empty() ? "{0}" : format, {AsFormatArg<T>(value)});
}

template <class T>
bool MValueNumberT<T>::ParseText(const std::string& text) {
    Assign(ParseNumber<T>(text));
    changed = true;
    return true;
}

template <class T>
bool MValueNumberT<T>::Clamp() {
    if (*variable_ < minimum) {
        *variable_ = minimum;
        changed = true;
        return true;
    }
    if (*variable_ > maximum) {
        *variable_ = maximum;
        changed = true;
        return true;
    }
    return false;
}

template <class T>
bool MValueNumberT<T>::SetAndNotify(double value) {
    const T before = *variable_;
    Assign(value);
    Clamp();
    NotifyChange();
    const bool moved = *variable_ != before;
    if (moved) changed = true;
    return moved;
}

template <class T>
bool MValueNumberT<T>::MoveBy(double delta) {
    return SetAndNotify(static_cast<double>(*variable_) + delta);
}

template <class T>
bool MValueNumberT<T>::IncrementAccelerated(int steps, int acceleration) {
    double step = static_cast<double>(increment) * std::pow(2.0, acceleration);
    step = std::min(step, static_cast<double>(maximumIncrement));
    return MoveBy(steps * step);
}

template <class T>
bool MValueNumberT<T>::Increment(int steps) {
    return MoveBy(steps * static_cast<double>(increment));
}

template <class T>
double MValueNumberT<T>::Get01() const {
    if (maximum == minimum) return 0.0;
    const double x = (static_cast<double>(*variable_) - minimum) / (static_cast<double>(maximum) - minimum);
    return std::min(std::max(x, 0.0), 1.0);
}

template <class T>
bool MValueNumberT<T>::Set01(double x) {
    return SetAndNotify(minimum + (static_cast<double>(maximum) - minimum) * x);
}

template class MValueNumberT<double>;
template class MValueNumberT<float>;
template class MValueNumberT<int32_t>;
template class MValueNumberT<int64_t>;
template class MValueNumberT<int16_t>;

}  // namespace corvane
