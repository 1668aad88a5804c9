#pragma once
// How values read in their units: volume, pan, percent, time, frequency,
// degrees and MIDI notes.

#include <cstdint>
#include <string>

namespace corvane {

std::string VolumeText(double gain);
std::string PanText(double pan);
std::string PercentText(double fraction);
std::string TimeText(double seconds);
std::string FrequencyText(double hertz);
std::string DegreesText(double turns);
std::string NoteText(int32_t note);

// The unit shown after whole degrees.
extern const char* const DegreeSign;

}  // namespace corvane
