#include "framework/parameters/DisplayCallbacks.h"

#include <cmath>

#include "framework/core/Strings.h"
#include "framework/parameters/UnitTexts.h"

namespace corvane {
namespace DisplayCallbacks {
namespace {

// The shared shape of every standard callback: show, or parse and store.
template <class Show, class Store>
std::string ShowOrParse(ParameterDescriptor& descriptor, const std::string& input, Show show, Store store) {
    // The value is shared with the audio thread: read and written whole.
    if (input.empty()) return show(LoadRelaxed(descriptor.floatValues.value));
    double value = LoadRelaxed(descriptor.floatValues.value);
    store(value, ParseDouble(input));
    StoreRelaxed(descriptor.floatValues.value, value);
    return std::string();
}

}  // namespace

std::string Percent(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(d, input, PercentText, [](double& v, double x) { v = x * 0.01; });
}

std::string Time(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(d, input, TimeText, [](double& v, double x) { v = x * 0.001; });
}

std::string Gain(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(d, input, VolumeText, [](double& v, double x) { v = std::pow(10.0, x * 0.05); });
}

std::string SquareRootGain(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(
        d, input, [](double v) { return VolumeText(v * v); },
        [](double& v, double x) { v = std::sqrt(std::pow(10.0, x * 0.05)); });
}

std::string Pan(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(d, input, PanText, [](double& v, double x) { v = x * 0.01; });
}

std::string Degrees(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(d, input, DegreesText, [](double& v, double x) { v = x / 360.0; });
}

std::string LogFrequency(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(
        d, input, [](double v) { return FrequencyText(std::pow(10.0, v)); },
        [](double& v, double x) {
            if (x > 0) v = std::log10(x);  // no logarithm for zero or less: keep the value
        });
}

std::string Frequency(ParameterDescriptor& d, const std::string& input) {
    return ShowOrParse(d, input, FrequencyText, [](double& v, double x) {
        if (x > 0) v = x;
    });
}

}  // namespace DisplayCallbacks
}  // namespace corvane
