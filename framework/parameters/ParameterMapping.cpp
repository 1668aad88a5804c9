#include "framework/parameters/ParameterMapping.h"

#include <algorithm>
#include <cmath>

#include "framework/core/MRandom.h"
#include "framework/core/Strings.h"
#include "framework/parameters/Format.h"

namespace corvane {
namespace ParameterMapping {
namespace {

double Span(double minimum, double maximum) { return maximum - minimum; }

double Clamp01(double x) { return std::min(std::max(x, 0.0), 1.0); }

// (v - min) / (max - min), 0 for an empty range.
double Fraction(double value, double minimum, double maximum) {
    const double span = Span(minimum, maximum);
    return span != 0.0 ? (value - minimum) / span : 0.0;
}

double FloatPhysical(const ParameterDescriptor& d, double x) {
    const FloatValueBlock& f = d.floatValues;
    return f.minimum + Span(f.minimum, f.maximum) * ApplyCurve(d.curve, x);
}

double FloatNormalized(const ParameterDescriptor& d, double value) {
    const FloatValueBlock& f = d.floatValues;
    return InverseCurve(d.curve, Fraction(value, f.minimum, f.maximum));
}

int32_t IntegerPhysical(const ParameterDescriptor& d, double x) {
    const IntegerValueBlock& i = d.integerValues;
    return static_cast<int32_t>(RoundHalfUp(i.minimum + (static_cast<double>(i.maximum) - i.minimum) * x));
}

int32_t EnumIndex(const ParameterDescriptor& d, double x) {
    const int32_t count = d.enumValues.itemCount;
    const int32_t index = static_cast<int32_t>(RoundHalfUp(count * x - 0.5));
    return std::max(std::min(index, count - 1), 0);
}

double EnumNormalized(const ParameterDescriptor& d, int32_t index) {
    const int32_t count = d.enumValues.itemCount;
    return count > 1 ? static_cast<double>(index) / (count - 1) : 0.0;
}

std::string EnumName(const ParameterDescriptor& d, int32_t index) {
    const char* name = ItemName(d, index);
    return name != nullptr ? name : std::string();
}

std::string IntegerText(ParameterDescriptor& d, int32_t value) {
    if (d.displayCallback != nullptr) {
        ParameterDescriptor copy = d;
        copy.integerValues.value = value;
        return d.displayCallback(copy, std::string());
    }
    if (!d.format.empty()) return FormatText(d.format, {static_cast<int64_t>(value)});
    return std::to_string(value);
}

std::string FloatText(ParameterDescriptor& d, double value) {
    if (d.displayCallback == nullptr) {
        if (!d.format.empty()) return FormatText(d.format, {value});
        return FormatText("{0.6}", {value});
    }
    ParameterDescriptor* shown = &d;
    ParameterDescriptor copy;
    if (LoadRelaxed(d.floatValues.value) != value) {
        copy = d;
        copy.floatValues.value = value;
        shown = &copy;
    }
    return d.displayCallback(*shown, std::string());
}

}  // namespace

void SetNormalized(ParameterDescriptor& d, double x) {
    if (std::isnan(x)) return;
    x = Clamp01(x);
    switch (d.kind) {
        case ParameterKindFloat:
            StoreRelaxed(d.IsTargetMode() ? d.floatValues.target : d.floatValues.value, FloatPhysical(d, x));
            break;
        case ParameterKindInteger:
            StoreRelaxed(d.IsTargetMode() ? d.integerValues.target : d.integerValues.value, IntegerPhysical(d, x));
            break;
        case ParameterKindEnum:
            StoreRelaxed(d.enumValues.valueIndex, EnumIndex(d, x));
            break;
        case ParameterKindBool:
            StoreRelaxed(d.boolValue, static_cast<uint8_t>(x >= 0.5 ? 1 : 0));
            break;
        case ParameterKindGroup:
            if (d.groupValues.switchValue != nullptr)
                StoreRelaxed(*d.groupValues.switchValue, static_cast<uint8_t>(x >= 0.5 ? 1 : 0));
            break;
        default:
            break;
    }
}

double GetLiveNormalized(const ParameterDescriptor& d) {
    if (!d.IsTargetMode()) return GetNormalized(d);
    switch (d.kind) {
        case ParameterKindFloat:
            return FloatNormalized(d, LoadRelaxed(d.floatValues.target));
        case ParameterKindInteger:
            return Fraction(LoadRelaxed(d.integerValues.target), d.integerValues.minimum, d.integerValues.maximum);
        default:
            return GetNormalized(d);
    }
}

double GetNormalized(const ParameterDescriptor& d) {
    switch (d.kind) {
        case ParameterKindFloat:
            return FloatNormalized(d, LoadRelaxed(d.floatValues.value));
        case ParameterKindInteger:
            return Fraction(LoadRelaxed(d.integerValues.value), d.integerValues.minimum, d.integerValues.maximum);
        case ParameterKindEnum:
            return EnumNormalized(d, LoadRelaxed(d.enumValues.valueIndex));
        case ParameterKindBool:
            return LoadRelaxed(d.boolValue) ? 1.0 : 0.0;
        case ParameterKindGroup:
            return d.groupValues.switchValue != nullptr && LoadRelaxed(*d.groupValues.switchValue) ? 1.0 : 0.0;
        default:
            return 0.0;
    }
}

double GetDefaultNormalized(const ParameterDescriptor& d) {
    switch (d.kind) {
        case ParameterKindFloat:
            return FloatNormalized(d, d.floatValues.defaultValue);
        case ParameterKindInteger:
            return Fraction(d.integerValues.defaultValue, d.integerValues.minimum, d.integerValues.maximum);
        case ParameterKindEnum:
            return EnumNormalized(d, d.enumValues.defaultIndex);
        case ParameterKindGroup:
            return 0.5;
        case ParameterKindBool:
            return d.boolDefault != 0 ? 1.0 : 0.0;
        default:
            return 0.0;
    }
}

int32_t HostType(const ParameterDescriptor& d) {
    switch (d.kind) {
        case ParameterKindInteger:
            return 2;
        case ParameterKindEnum:
            return 3;
        case ParameterKindBool:
        case ParameterKindGroup:
            return 4;
        default:
            return 1;
    }
}

std::string ValueName(ParameterDescriptor& d) {
    switch (d.kind) {
        // The audio thread may write these meanwhile: each is read whole, and
        // the live descriptor is never copied (a display reads it whole too).
        case ParameterKindFloat:
            if (d.displayCallback != nullptr) return d.displayCallback(d, std::string());
            return FloatText(d, LoadRelaxed(d.floatValues.value));
        case ParameterKindInteger:
            if (d.displayCallback != nullptr) return d.displayCallback(d, std::string());
            return IntegerText(d, LoadRelaxed(d.integerValues.value));
        case ParameterKindEnum:
            if (d.displayCallback != nullptr) return d.displayCallback(d, std::string());
            return EnumName(d, LoadRelaxed(d.enumValues.valueIndex));
        case ParameterKindBool:
            return LoadRelaxed(d.boolValue) ? "On" : "Off";
        case ParameterKindGroup:
            return GetNormalized(d) != 0.0 ? "On" : "Off";
        default:
            return std::string();
    }
}

std::string ValueNameFrom01(const ParameterDescriptor& d, double x) {
    ParameterDescriptor copy = d;
    switch (d.kind) {
        case ParameterKindFloat:
            return FloatText(copy, FloatPhysical(d, x));
        case ParameterKindInteger:
            return IntegerText(copy, IntegerPhysical(d, x));
        case ParameterKindEnum:
            copy.enumValues.valueIndex = EnumIndex(d, x);
            return ValueName(copy);
        case ParameterKindBool:
        case ParameterKindGroup:
            return x == 0.0 ? "Off" : "On";
        default:
            return std::string();
    }
}

double ParseValueName(const ParameterDescriptor& d, const std::string& text) {
    // Parse into a copy: a typed text is only a proposal until the host sets it.
    ParameterDescriptor copy = d;
    switch (d.kind) {
        case ParameterKindFloat:
            if (d.displayCallback != nullptr) {
                d.displayCallback(copy, text);
                return FloatNormalized(d, copy.floatValues.value);
            }
            return InverseCurve(d.curve, Fraction(ParseDouble(text), d.floatValues.minimum, d.floatValues.maximum));
        case ParameterKindInteger: {
            const IntegerValueBlock& i = d.integerValues;
            if (d.displayCallback != nullptr) {
                d.displayCallback(copy, text);
                return Fraction(copy.integerValues.value, i.minimum, i.maximum);
            }
            return Fraction(static_cast<double>(ParseInteger(text)), i.minimum, i.maximum);
        }
        case ParameterKindEnum:
            for (int32_t index = 0; index < d.enumValues.itemCount; ++index)
                if (EqualsIgnoreCase(EnumName(d, index), text)) return EnumNormalized(d, index);
            return ParseDouble(text);
        case ParameterKindBool:
        case ParameterKindGroup:
            if (EqualsIgnoreCase(text, "On")) return 1.0;
            if (EqualsIgnoreCase(text, "Off")) return 0.0;
            return ParseDouble(text);
        default:
            return ParseDouble(text);
    }
}

bool CanParseValueName(const ParameterDescriptor& d, const std::string& text) {
    if (d.kind == ParameterKindEnum)
        for (int32_t index = 0; index < d.enumValues.itemCount; ++index)
            if (EqualsIgnoreCase(EnumName(d, index), text)) return true;
    if ((d.kind == ParameterKindBool || d.kind == ParameterKindGroup) &&
        (EqualsIgnoreCase(text, "On") || EqualsIgnoreCase(text, "Off")))
        return true;
    return StartsWithNumber(text);
}

void Randomize(ParameterDescriptor& d, double amount, bool force) {
    if (!force && !d.IsRandomizable()) return;
    const bool full = std::fabs(amount - 1.0) < 1e-50;
    switch (d.kind) {
        case ParameterKindFloat: {
            FloatValueBlock& f = d.floatValues;
            const double u = MRandom::NextUnit();
            double v;
            if (full) {
                v = FloatPhysical(d, u);
            } else {
                const double x = Clamp01(FloatNormalized(d, LoadRelaxed(f.value)) + u * 2.0 * amount - amount);
                v = FloatPhysical(d, x);
            }
            if (d.WantsWholeNumbers()) v = RoundHalfUp(v);
            v = std::min(std::max(v, f.minimum), f.maximum);
            // The audio thread reads these while a randomisation runs.
            StoreRelaxed(f.value, v);
            StoreRelaxed(d.committedValue, v);
            break;
        }
        case ParameterKindInteger: {
            IntegerValueBlock& i = d.integerValues;
            const double u = MRandom::NextUnit();
            const double span = static_cast<double>(i.maximum) - i.minimum;
            double v;
            if (full) {
                v = RoundHalfUp(i.minimum + u * span);
            } else {
                const double spread = span * amount;
                v = LoadRelaxed(i.value) + RoundHalfUp(u * 2.0 * spread - spread);
            }
            StoreRelaxed(i.value, static_cast<int32_t>(std::min(std::max(v, static_cast<double>(i.minimum)),
                                                                static_cast<double>(i.maximum))));
            break;
        }
        case ParameterKindEnum: {
            EnumValueBlock& e = d.enumValues;
            const double u = MRandom::NextUnit();
            int64_t index;
            if (full) {
                index = static_cast<int64_t>(u * e.itemCount);
            } else {
                const double spread = e.itemCount * amount;
                index = LoadRelaxed(e.valueIndex) + static_cast<int64_t>(RoundHalfUp(u * 2.0 * spread - spread));
            }
            StoreRelaxed(e.valueIndex,
                         static_cast<int32_t>(std::max<int64_t>(0, std::min<int64_t>(index, e.itemCount - 1))));
            break;
        }
        case ParameterKindBool:
            if (amount + 1e-50 >= 0.5) StoreRelaxed(d.boolValue, static_cast<uint8_t>(MRandom::NextBit16() ? 1 : 0));
            break;
        case ParameterKindGroup:
            if (d.groupValues.switchValue != nullptr && amount + 1e-50 >= 0.5)
                StoreRelaxed(*d.groupValues.switchValue, static_cast<uint8_t>(MRandom::NextBit16() ? 1 : 0));
            break;
        default:
            break;
    }
}

bool IntegerRange(const ParameterDescriptor& d, int32_t& minimum, int32_t& maximum) {
    switch (d.kind) {
        case ParameterKindInteger:
            minimum = d.integerValues.minimum;
            maximum = d.integerValues.maximum;
            return true;
        case ParameterKindEnum:
            minimum = 0;
            maximum = std::max(d.enumValues.itemCount - 1, 0);
            return true;
        case ParameterKindBool:
        case ParameterKindGroup:
            minimum = 0;
            maximum = 1;
            return true;
        default:
            return false;
    }
}

void SetInterpolating(ParameterDescriptor& d, bool on) {
    if (d.kind == ParameterKindFloat)
        d.floatValues.target = d.floatValues.value;
    else if (d.kind == ParameterKindInteger)
        d.integerValues.target = d.integerValues.value;
    else
        return;
    d.SetBit(0, ParameterBits::TargetMode, on);
}

}  // namespace ParameterMapping
}  // namespace corvane
