#include <gtest/gtest.h>

#include "framework/parameters/Format.h"
#include "framework/parameters/UnitTexts.h"

using namespace corvane;

struct RealCase {
    const char* format;
    double value;
    const char* expected;
};

TEST(Format, ModifiersOnReals) {
    const RealCase cases[] = {
        {"{+0.02} semitones", 3.0, "+3.00 semitones"},
        {"{+0.02} semitones", 0.0, "0.00 semitones"},
        {"{+0.02} semitones", -1.5, "-1.50 semitones"},
        {"{+0.02} semitones", 1e-21, "0.00 semitones"},
        {"{0.1} : 1", 4.0, "4.0 : 1"},
        {"{0;.2} dB", 1.2345, "1.23 dB"},
        {"{0}", 2.5, "2.5000"},                   // four decimals by default
        {"{0.12}", 1.0 / 3.0, "0.333333333333"},  // ten or more: significant digits
        {"{0.12}", 20000.0, "20000"},
        {"{0;06.1}", -2.5, "-002.5"},  // zero fill goes after the sign
        {"{0; 6.1}", -2.5, "  -2.5"},
        {"{0;x}", 255.0, "FF"},
        {"{{{0.0}}}", 7.0, "{7}"},
        {"a}b", 0.0, "ab"},
    };
    for (const RealCase& c : cases) EXPECT_EQ(FormatText(c.format, {c.value}), c.expected) << c.format;
}

TEST(Format, ArgumentsIntegersAndTexts) {
    EXPECT_EQ(FormatText("{1} of {0}", {int64_t(3), "three"}), "three of 3");
    EXPECT_EQ(FormatText("{0}{0}", {int64_t(1)}), "11");
    EXPECT_EQ(FormatText("{0;03}", {int64_t(7)}), "007");
    EXPECT_EQ(FormatText("{0;x}", {int64_t(48879)}), "BEEF");
    EXPECT_EQ(FormatText("{+0}", {int64_t(5)}), "+5");
    EXPECT_EQ(FormatText("missing {3}.", {int64_t(1)}), "missing .");
    EXPECT_EQ(FormatText("open {0", {int64_t(1)}), "open {0");
}

struct TextCase {
    std::string (*text)(double);
    double value;
    const char* expected;
};

TEST(UnitTexts, EachUnit) {
    const TextCase cases[] = {
        {VolumeText, 1.0, "0.00 dB"},
        {VolumeText, 4.0, "12.0 dB"},
        {VolumeText, 0.0, "silence"},
        {VolumeText, 0.5, "-6.02 dB"},
        {PanText, 0.0, "center"},
        {PanText, -0.499, "49% left"},
        {PanText, 0.5, "50% right"},
        {PercentText, 0.005, "0.50%"},
        {PercentText, 0.5, "50.0%"},
        {TimeText, 0.0, "0 ms"},
        {TimeText, 0.00005, "0.050 ms"},
        {TimeText, 0.0005, "0.50 ms"},
        {TimeText, 0.001, "1.0 ms"},
        {TimeText, 0.0125, "13 ms"},
        {FrequencyText, 0.0, "0 Hz"},
        {FrequencyText, 0.5, "0.5000 Hz"},
        {FrequencyText, 5.0, "5.00 Hz"},
        {FrequencyText, 50.0, "50.0 Hz"},
        {FrequencyText, 999.5, "1000 Hz"},
        {FrequencyText, 12345.0, "12.3 kHz"},
        {DegreesText, 0.0, "0\xC2\xB0 (0%)"},
        {DegreesText, 0.25, "90\xC2\xB0 (25.0%)"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(c.text(c.value), c.expected) << c.value;
}

TEST(UnitTexts, NoteNames) {
    EXPECT_EQ(NoteText(60), "C5");
    EXPECT_EQ(NoteText(61), "C#5");
    EXPECT_EQ(NoteText(11), "B0");
    EXPECT_EQ(NoteText(-1), "B0") << "a negative note stays inside the name table";
}
