#pragma once
// Standard display callbacks for float descriptors: each shows the value in
// its unit, and parses a typed number back into the value.

#include <string>

#include "framework/parameters/ParameterDescriptor.h"

namespace corvane {
namespace DisplayCallbacks {

std::string Percent(ParameterDescriptor& descriptor, const std::string& input);
std::string Time(ParameterDescriptor& descriptor, const std::string& input);
std::string Gain(ParameterDescriptor& descriptor, const std::string& input);
std::string SquareRootGain(ParameterDescriptor& descriptor, const std::string& input);
std::string Pan(ParameterDescriptor& descriptor, const std::string& input);
std::string Degrees(ParameterDescriptor& descriptor, const std::string& input);
std::string LogFrequency(ParameterDescriptor& descriptor, const std::string& input);
std::string Frequency(ParameterDescriptor& descriptor, const std::string& input);

}  // namespace DisplayCallbacks
}  // namespace corvane
