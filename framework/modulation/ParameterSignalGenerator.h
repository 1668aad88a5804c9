#pragma once
// Host parameters of a signal generator, in six adapters: the main
// settings, step values, step shapes, transformations, drawn harmonics and
// the harmonics generator. Each write takes the generator's lock (through
// MSignalGenerator::Change), which recomputes its table.

#include <string>

#include "framework/modulation/MSignalGenerator.h"
#include "framework/modulation/ParameterEnvelope.h"

namespace corvane {

enum class SignalGeneratorPart {
    Main,             // "Shape", "Custom morph", "Step sequencer", "Smoothness"
    StepValues,       // one "Value" per step
    StepShapes,       // one "Shape" per step
    Transformations,  // "Halve", "Full skew", "Skew", "Phase"
    ShapeHarmonics,   // "Level" and "Phase" per harmonic
    Harmonics,        // the generator's ten settings, then "Harmonics - Level" and "Harmonics - Phase" per harmonic
};

// The normalised face of one part of a generator.
class SignalGeneratorAccess {
public:
    static int32_t Count(SignalGeneratorPart part);
    static std::string Name(SignalGeneratorPart part, int32_t local);
    // Names that tell the steps and harmonics apart, for hosts that show one list.
    static std::string Label(SignalGeneratorPart part, int32_t local);
    static double Read(MSignalGenerator& generator, SignalGeneratorPart part, int32_t local);
    static void Write(MSignalGenerator& generator, SignalGeneratorPart part, int32_t local, double value);
    static std::string Text(SignalGeneratorPart part, int32_t local, double value);
    static double Default(SignalGeneratorPart part, int32_t local);
    static int32_t Type(SignalGeneratorPart part);
};

template <class Base, SignalGeneratorPart Part>
class ParameterSignalGeneratorPartT : public Base {
public:
    ParameterSignalGeneratorPartT() { this->count = SignalGeneratorAccess::Count(Part); }

    std::string GetName(int32_t local) override { return SignalGeneratorAccess::Name(Part, local); }
    std::string GetLabel(int32_t local) override {
        return JoinWords(JoinWords(this->prefix, this->name), SignalGeneratorAccess::Label(Part, local));
    }
    double GetValue(int32_t local) override {
        return this->object != nullptr ? SignalGeneratorAccess::Read(*this->object, Part, local) : 0.0;
    }
    void SetValue(int32_t local, double value, bool silent) override {
        if (this->object == nullptr) return;
        SignalGeneratorAccess::Write(*this->object, Part, local, value);
        if (!silent && this->owner != nullptr) this->owner->NeedUpdateEditor(*this);
    }
    std::string GetValueName(int32_t local) override { return GetValueNameFrom01(local, GetValue(local)); }
    std::string GetValueNameFrom01(int32_t local, double value) override {
        return SignalGeneratorAccess::Text(Part, local, value);
    }
    double GetDefaultValue(int32_t local) override { return SignalGeneratorAccess::Default(Part, local); }
    int32_t GetType(int32_t /*local*/) override { return SignalGeneratorAccess::Type(Part); }
    bool GetIntegerRange(int32_t /*local*/, int32_t& minimum, int32_t& maximum) override {
        if (Part != SignalGeneratorPart::StepShapes) return false;
        minimum = 0;
        maximum = StepShapeCount - 1;
        return true;
    }
};

template <class Base>
using ParameterSignalGeneratorT = ParameterSignalGeneratorPartT<Base, SignalGeneratorPart::Main>;
template <class Base>
using ParameterSignalGeneratorStepSequencerT = ParameterSignalGeneratorPartT<Base, SignalGeneratorPart::StepValues>;
template <class Base>
using ParameterSignalGeneratorStepSequencerTypesT =
    ParameterSignalGeneratorPartT<Base, SignalGeneratorPart::StepShapes>;
template <class Base>
using ParameterSignalGeneratorTransformationsT =
    ParameterSignalGeneratorPartT<Base, SignalGeneratorPart::Transformations>;
template <class Base>
using ParameterSignalGeneratorShapeHarmonicsT =
    ParameterSignalGeneratorPartT<Base, SignalGeneratorPart::ShapeHarmonics>;
template <class Base>
using ParameterSignalGeneratorHarmonicsT = ParameterSignalGeneratorPartT<Base, SignalGeneratorPart::Harmonics>;

}  // namespace corvane
