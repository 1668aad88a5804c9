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

// The setting behind a continuous parameter (all but the shape position and the step shapes).
double* Setting(MSignalGenerator::Settings& s, SignalGeneratorPart part, int32_t local) {
    switch (part) {
        case SignalGeneratorPart::Main: {
            double* fields[4] = {&s.shape, &s.customMorph, &s.stepSequencer, &s.smoothness};
            return fields[local];
        }
        case SignalGeneratorPart::StepValues:
            return &s.step[local];
        case SignalGeneratorPart::Transformations: {
            double* fields[4] = {&s.halve, &s.fullSkew, &s.skew, &s.phase};
            return fields[local];
        }
        case SignalGeneratorPart::ShapeHarmonics:
            return local % 2 == 0 ? &s.shapeHarmonicLevel[local / 2] : &s.shapeHarmonicPhase[local / 2];
        case SignalGeneratorPart::Harmonics: {
            MSignalGenerator::Harmonics& h = s.harmonics;
            if (local < GeneratorSettingCount) {
                double* fields[GeneratorSettingCount] = {
                    &h.harmonicity, &h.slope, &h.fullness, &h.fundamentalMinimum, &h.sampleRatio,
                    &h.sharpen,     &h.noise, &h.clean,    &h.compress,           &h.harmonize};
                return fields[local];
            }
            const int32_t k = local - GeneratorSettingCount;
            return k % 2 == 0 ? &h.level[k / 2] : &h.phase[k / 2];
        }
        default:
            return nullptr;
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

double Read(MSignalGenerator::Settings& s, SignalGeneratorPart part, int32_t local) {
    if (part == SignalGeneratorPart::StepShapes) return StepShapeNormalised(s.stepShape[local]);
    const double value = *Setting(s, part, local);
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
    MSignalGenerator::Settings s = generator.GetSettings();
    return corvane::Read(s, part, local);
}

void SignalGeneratorAccess::Write(MSignalGenerator& generator, SignalGeneratorPart part, int32_t local, double value) {
    if (local < 0 || local >= Count(part) || std::isnan(value)) return;
    if (part == SignalGeneratorPart::Harmonics && !generator.HasHarmonicsGenerator()) return;
    generator.Change([&](MSignalGenerator::Settings& s) {
        if (part == SignalGeneratorPart::StepShapes)
            s.stepShape[local] = StepShapeIndex(value);
        else
            *Setting(s, part, local) = IsShapePosition(part, local) ? value * (SignalShapeCount - 1) : value;
    });
}

std::string SignalGeneratorAccess::Text(SignalGeneratorPart part, int32_t local, double value) {
    if (local < 0 || local >= Count(part)) return std::string();
    if (IsShapePosition(part, local)) return ShapeMixText(value * (SignalShapeCount - 1));
    if (part == SignalGeneratorPart::StepShapes) return StepShapeNames[StepShapeIndex(value)];
    return PercentText(value);
}

double SignalGeneratorAccess::Default(SignalGeneratorPart part, int32_t local) {
    if (local < 0 || local >= Count(part)) return 0.0;
    MSignalGenerator::Settings defaults;
    return corvane::Read(defaults, part, local);
}

int32_t SignalGeneratorAccess::Type(SignalGeneratorPart part) {
    return part == SignalGeneratorPart::StepShapes ? 3 : 1;
}

}  // namespace corvane
