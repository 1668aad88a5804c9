#include "framework/modulation/ParameterSignalGenerator.h"

#include <cmath>

#include "framework/parameters/Format.h"
#include "framework/parameters/UnitTexts.h"

namespace corvane {

namespace {

const char* const MainNames[4] = {"Shape", "Custom morph", "Step sequencer", "Smoothness"};
const char* const TransformationNames[4] = {"Halve", "Full skew", "Skew", "Phase"};
constexpr int32_t GeneratorSettingCount = 10;
const char* const GeneratorNames[GeneratorSettingCount] = {
    "Generator - Harmonicity",         "Generator - Slope",        "Generator - Fullness",
    "Generator - Fundamental minimum", "Generator - Sample ratio", "Post-processor - Sharpen",
    "Post-processor - Noise",          "Post-processor - Clean",   "Post-processor - Compress",
    "Post-processor - Harmonize"};

// The generator's field behind a part's local index.
int32_t FieldOf(SignalGeneratorPart part, int32_t local) {
    constexpr int32_t steps = SignalStepCount, harmonics = 2 * SignalHarmonicCount;
    switch (part) {
        case SignalGeneratorPart::Main:
            return local;
        case SignalGeneratorPart::StepValues:
            return 4 + local;
        case SignalGeneratorPart::StepShapes:
            return 4 + steps + local;
        case SignalGeneratorPart::Transformations:
            return 4 + 2 * steps + local;
        case SignalGeneratorPart::ShapeHarmonics:
            return 8 + 2 * steps + local;
        default:
            return 8 + 2 * steps + harmonics + local;
    }
}

bool IsShapePosition(SignalGeneratorPart part, int32_t local) {
    return part == SignalGeneratorPart::Main && local == 0;
}

double StepShapeNormalised(int32_t index) { return index / double(StepShapeCount - 1); }

int32_t StepShapeIndex(double x) {
    // As every enumeration parameter: count * x - 0.5, rounded half up, limited.
    const double w = StepShapeCount * x - 0.5;
    int32_t i = static_cast<int32_t>(std::floor(w));
    if (w - std::floor(w) >= 0.5) ++i;
    return std::max(0, std::min(i, StepShapeCount - 1));
}

// The normalised value of a field's value.
double Normalised(SignalGeneratorPart part, int32_t local, double value) {
    if (part == SignalGeneratorPart::StepShapes) return StepShapeNormalised(static_cast<int32_t>(value));
    return IsShapePosition(part, local) ? value / (SignalShapeCount - 1) : value;
}

}  // namespace

int32_t SignalGeneratorAccess::Count(SignalGeneratorPart part) {
    switch (part) {
        case SignalGeneratorPart::Main:
        case SignalGeneratorPart::Transformations:
            return 4;
        case SignalGeneratorPart::StepValues:
        case SignalGeneratorPart::StepShapes:
            return SignalStepCount;
        case SignalGeneratorPart::ShapeHarmonics:
            return 2 * SignalHarmonicCount;
        default:
            return GeneratorSettingCount + 2 * SignalHarmonicCount;
    }
}

std::string SignalGeneratorAccess::Name(SignalGeneratorPart part, int32_t local) {
    if (local < 0 || local >= Count(part)) return std::string();
    switch (part) {
        case SignalGeneratorPart::Main:
            return MainNames[local];
        case SignalGeneratorPart::StepValues:
            return "Value";
        case SignalGeneratorPart::StepShapes:
            return "Shape";
        case SignalGeneratorPart::Transformations:
            return TransformationNames[local];
        case SignalGeneratorPart::ShapeHarmonics:
            return local % 2 == 0 ? "Level" : "Phase";
        default:
            if (local < GeneratorSettingCount) return GeneratorNames[local];
            return (local - GeneratorSettingCount) % 2 == 0 ? "Harmonics - Level" : "Harmonics - Phase";
    }
}

std::string SignalGeneratorAccess::Label(SignalGeneratorPart part, int32_t local) {
    if (local < 0 || local >= Count(part)) return std::string();
    switch (part) {
        case SignalGeneratorPart::StepValues:
        case SignalGeneratorPart::StepShapes:
            return FormatText("Step {0} ", {int64_t(local + 1)}) + Name(part, local);
        case SignalGeneratorPart::ShapeHarmonics:
            return FormatText("Harmonic {0} ", {int64_t(local / 2 + 1)}) + Name(part, local);
        case SignalGeneratorPart::Harmonics:
            if (local >= GeneratorSettingCount)
                return Name(part, local) + FormatText(" {0}", {int64_t((local - GeneratorSettingCount) / 2 + 1)});
            return Name(part, local);
        default:
            return Name(part, local);
    }
}

double SignalGeneratorAccess::Read(MSignalGenerator& generator, SignalGeneratorPart part, int32_t local) {
    if (local < 0 || local >= Count(part)) return 0.0;
    return Normalised(part, local, generator.Field(FieldOf(part, local)));
}

void SignalGeneratorAccess::Write(MSignalGenerator& generator, SignalGeneratorPart part, int32_t local, double value) {
    if (local < 0 || local >= Count(part) || std::isnan(value)) return;
    if (part == SignalGeneratorPart::Harmonics && !generator.HasHarmonicsGenerator()) return;
    double field = value;
    if (part == SignalGeneratorPart::StepShapes)
        field = StepShapeIndex(value);
    else if (IsShapePosition(part, local))
        field = value * (SignalShapeCount - 1);
    generator.SetField(FieldOf(part, local), field);
}

std::string SignalGeneratorAccess::Text(SignalGeneratorPart part, int32_t local, double value) {
    if (local < 0 || local >= Count(part)) return std::string();
    if (IsShapePosition(part, local)) return ShapeMixText(value * (SignalShapeCount - 1));
    if (part == SignalGeneratorPart::StepShapes) return StepShapeNames[StepShapeIndex(value)];
    return PercentText(value);
}

double SignalGeneratorAccess::Default(SignalGeneratorPart part, int32_t local) {
    if (local < 0 || local >= Count(part)) return 0.0;
    const MSignalGenerator::Settings defaults;
    return Normalised(part, local, MSignalGenerator::FieldIn(defaults, FieldOf(part, local)));
}

int32_t SignalGeneratorAccess::Type(SignalGeneratorPart part) {
    return part == SignalGeneratorPart::StepShapes ? 3 : 1;
}

}  // namespace corvane
