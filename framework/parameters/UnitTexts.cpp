#include "framework/parameters/UnitTexts.h"

#include <cmath>

#include "framework/core/Strings.h"
#include "framework/parameters/Format.h"

namespace corvane {

const char* const DegreeSign = "\xC2\xB0";

std::string VolumeText(double gain) {
    if (std::fabs(gain) < 1e-50) return "silence";
    const double decibels = 20.0 * std::log10(gain);
    return FormatText(std::fabs(decibels) < 10.0 ? "{0;.2} dB" : "{0;.1} dB", {decibels});
}

std::string PanText(double pan) {
    if (std::fabs(pan) < 1e-50) return "center";
    if (pan < 0) return FormatText("{0}% left", {static_cast<int64_t>(pan * -100.0)});
    return FormatText("{0}% right", {static_cast<int64_t>(pan * 100.0)});
}

std::string PercentText(double fraction) {
    return FormatText(std::fabs(fraction) < 0.01 ? "{0.2}%" : "{0.1}%", {fraction * 100.0});
}

std::string TimeText(double seconds) {
    const double magnitude = std::fabs(seconds);
    const double milliseconds = seconds * 1000.0;
    if (magnitude < 1e-50) return "0 ms";
    if (magnitude < 0.0001) return FormatText("{0.3} ms", {milliseconds});
    if (magnitude < 0.001) return FormatText("{0.2} ms", {milliseconds});
    if (magnitude < 0.01) return FormatText("{0.1} ms", {milliseconds});
    return FormatText("{0} ms", {static_cast<int64_t>(RoundHalfUp(milliseconds))});
}

std::string FrequencyText(double hertz) {
    if (std::fabs(hertz) < 1e-5) return "0 Hz";
    if (hertz < 1) return FormatText("{0;.4} Hz", {hertz});
    if (hertz < 10) return FormatText("{0;.2} Hz", {hertz});
    if (hertz < 100) return FormatText("{0;.1} Hz", {hertz});
    if (hertz < 10000) return FormatText("{0} Hz", {static_cast<int64_t>(RoundHalfUp(hertz))});
    return FormatText("{0;.1} kHz", {hertz * 0.001});
}

std::string DegreesText(double turns) {
    if (std::fabs(turns) < 1e-50) return FormatText("0{0} (0%)", {DegreeSign});
    return FormatText("{0}{1} ({2.1}%)", {static_cast<int64_t>(RoundHalfUp(turns * 360.0)), DegreeSign, turns * 100.0});
}

std::string NoteText(int32_t note) {
    static const char* const names[12] = {"C", "C#", "D", "D#", "E", "F", "F#", "G", "G#", "A", "A#", "B"};
    // Negative notes wrap into the octave below rather than indexing outside the table.
    const int32_t pitchClass = ((note % 12) + 12) % 12;
    return std::string(names[pitchClass]) + std::to_string(note / 12);
}

}  // namespace corvane
