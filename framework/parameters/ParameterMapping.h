#pragma once
// Normalised (0..1) <-> physical values, value texts, parsing and
// randomisation of one plain descriptor, by its kind.

#include <string>

#include "framework/parameters/ParameterDescriptor.h"

namespace corvane {
namespace ParameterMapping {

// Writes the physical value for x (the target in target mode). Values outside
// 0..1 are limited to it and a NaN changes nothing, so a host cannot push a
// parameter out of its range.
void SetNormalized(ParameterDescriptor& descriptor, double x);
double GetNormalized(const ParameterDescriptor& descriptor);
// What the effect reads: the target while in target mode, else the value.
double GetLiveNormalized(const ParameterDescriptor& descriptor);
double GetDefaultNormalized(const ParameterDescriptor& descriptor);
int32_t HostType(const ParameterDescriptor& descriptor);

std::string ValueName(ParameterDescriptor& descriptor);
std::string ValueNameFrom01(const ParameterDescriptor& descriptor, double x);
// Parses a typed text into a normalised value; the descriptor is left as it was.
double ParseValueName(const ParameterDescriptor& descriptor, const std::string& text);

// Whether a typed text names a value: an item name or "On"/"Off" where those
// apply, else a number at the start.
bool CanParseValueName(const ParameterDescriptor& descriptor, const std::string& text);

// The values of a stepped kind (integer, enumeration, switch); false for the others.
bool IntegerRange(const ParameterDescriptor& descriptor, int32_t& minimum, int32_t& maximum);

// Randomises the descriptor in place, without notification. Full when the
// amount is 1; the randomizable bit is honoured unless forced.
void Randomize(ParameterDescriptor& descriptor, double amount, bool force);

// Copies the value into the target and sets or clears target mode.
void SetInterpolating(ParameterDescriptor& descriptor, bool on);

}  // namespace ParameterMapping
}  // namespace corvane
