#pragma once
// The value classes with units, logarithmic travel, steps, item lists and
// scaled travels.

#include <string>
#include <vector>

#include "framework/parameters/MValue.h"
#include "framework/parameters/UnitTexts.h"

namespace corvane {

// A double whose text is shown in a unit.
template <std::string (*Text)(double), const char* Name>
class MValueUnitT : public MValueDouble {
public:
    using MValueDouble::MValueDouble;
    const char* ClassName() const override { return Name; }
    std::string GetTextFor(double value) const override { return Text(value); }
};

// A double whose travel moves in thousandths instead of by its increment.
class MValueNumberTravel : public MValueDouble {
public:
    using MValueDouble::MValueDouble;
    const char* ClassName() const override { return "MValueNumberTravel"; }
    bool Increment(int steps) override;
};

namespace ValueClassNames {
extern const char Percents[], Volume[], Pan[], TimeMS[], FrequencyLinear[], DegreesFrom01[];
}

std::string FrequencyOfLogText(double log10Hertz);

using MValuePercents = MValueUnitT<PercentText, ValueClassNames::Percents>;
using MValueVolume = MValueUnitT<VolumeText, ValueClassNames::Volume>;
using MValuePan = MValueUnitT<PanText, ValueClassNames::Pan>;
using MValueTimeMS = MValueUnitT<TimeText, ValueClassNames::TimeMS>;
using MValueFrequencyLinear = MValueUnitT<FrequencyText, ValueClassNames::FrequencyLinear>;
using MValueDegreesFrom01 = MValueUnitT<DegreesText, ValueClassNames::DegreesFrom01>;

class MValuePercentsF : public MValueFloat {
public:
    using MValueFloat::MValueFloat;
    const char* ClassName() const override { return "MValuePercentsF"; }
    std::string GetTextFor(double value) const override { return PercentText(value); }
};

// Hertz on a logarithmic travel.
class MValueFrequency : public MValueNumberTravel {
public:
    using MValueNumberTravel::MValueNumberTravel;
    const char* ClassName() const override { return "MValueFrequency"; }
    std::string GetTextFor(double value) const override { return FrequencyText(value); }
    double Get01() const override;
    bool Set01(double x) override;
};

// The variable holds log10 of hertz.
class MValueFrequencyLog : public MValueDouble {
public:
    using MValueDouble::MValueDouble;
    const char* ClassName() const override { return "MValueFrequencyLog"; }
    std::string GetTextFor(double value) const override { return FrequencyOfLogText(value); }
};

class MValuePitch : public MValueDouble {
public:
    MValuePitch(double& variable, double minimum, double maximum, double defaultValue, double increment = 0.1)
        : MValueDouble(variable, minimum, maximum, defaultValue, increment, "{0;+.02}") {}
    const char* ClassName() const override { return "MValuePitch"; }
};

class MValueMIDINote : public MValueInt {
public:
    using MValueInt::MValueInt;
    const char* ClassName() const override { return "MValueMIDINote"; }
    std::string GetTextFor(double value) const override { return NoteText(static_cast<int32_t>(value)); }
};

// A double held on multiples of a step.
class MValueStepDouble : public MValueDouble {
public:
    MValueStepDouble(double& variable, double minimum, double maximum, double defaultValue, double step,
                     std::string format = "")
        : MValueDouble(variable, minimum, maximum, defaultValue, step, std::move(format)) {
        SetStep(step);
    }
    const char* ClassName() const override { return "MValueStepDouble"; }
    void LoadAttributes(const MXMLItem& item) override;
    bool Clamp() override;

    double Step() const { return step_; }
    void SetStep(double step);

private:
    double step_ = 1.0;
    double reciprocal_ = 1.0;
};

class MValueStepPercents : public MValueStepDouble {
public:
    using MValueStepDouble::MValueStepDouble;
    const char* ClassName() const override { return "MValueStepPercents"; }
    std::string GetTextFor(double value) const override { return PercentText(value); }
};

// An index into a list of item texts. Shared by enumerations and lists;
// they differ in how the 0..1 travel maps onto the items.
class MValueItemsBase : public MValue {
public:
    MValueItemsBase(int32_t& index, std::vector<std::string> items, int32_t defaultIndex);

    std::string ToString() const override;
    void FromString(const std::string& text) override;
    bool ResetToDefault() override;
    void Store(MXMLItem& node) const override;
    void LoadAttributes(const MXMLItem& item) override;
    std::string GetText() const override { return ItemText(*index_); }
    std::string GetTextFor(double value) const override { return ItemText(IndexFor(value)); }
    bool ParseText(const std::string& text) override;
    bool Clamp() override;
    bool IncrementAccelerated(int steps, int acceleration) override;
    bool Increment(int steps) override;
    bool Set01(double x) override;
    int32_t GetDiscreteCount() const override { return static_cast<int32_t>(items_.size()); }
    std::string GetDiscreteText(int32_t index, int32_t count) const override;
    // Selects the item directly: index / count on the travel lands on the
    // wrong item for lists, whose travel ends on the last item.
    bool SetDiscrete(int32_t index) override { return SetIndexAndNotify(index); }

    int32_t Index() const { return *index_; }
    int32_t ItemCount() const { return static_cast<int32_t>(items_.size()); }
    int32_t defaultIndex;

protected:
    // The item index that a travel position selects.
    virtual int32_t IndexFor(double x) const = 0;
    std::string ItemText(int32_t index) const;
    // Rounds a travel expression to an index without overflowing on wild input.
    static int32_t TravelIndex(double position);
    int32_t IndexOfText(const std::string& text) const;
    bool SetIndexAndNotify(int64_t index);

    int32_t* index_;
    std::vector<std::string> items_;
};

// An enumeration: its travel is counted in items.
class MValueEnum : public MValueItemsBase {
public:
    using MValueItemsBase::MValueItemsBase;
    const char* ClassName() const override { return "MValueEnum"; }
    double Get01() const override { return *index_; }

protected:
    int32_t IndexFor(double x) const override { return TravelIndex(x + 0.5); }
};

// A list of texts over the 0..1 travel.
class MValueList : public MValueItemsBase {
public:
    using MValueItemsBase::MValueItemsBase;
    const char* ClassName() const override { return "MValueList"; }
    double Get01() const override;

protected:
    int32_t IndexFor(double x) const override;
};

// Wraps another value and bends its travel by a power: 2 (square root travel) or 4.
class MValueScaleT : public MValue {
public:
    MValueScaleT(MValue& wrapped, int power) : wrapped_(wrapped), power_(power) {}

    std::string ToString() const override { return wrapped_.ToString(); }
    void FromString(const std::string& text) override { wrapped_.FromString(text); }
    bool ResetToDefault() override { return wrapped_.ResetToDefault(); }
    void Store(MXMLItem& node) const override { wrapped_.Store(node); }
    void Load(const MXMLItem& node) override { wrapped_.Load(node); }
    void LoadAttributes(const MXMLItem& item) override { wrapped_.LoadAttributes(item); }
    std::string GetDisplayText() override { return wrapped_.GetDisplayText(); }
    std::string GetText() const override { return wrapped_.GetText(); }
    std::vector<std::string> GetTextList() const override { return wrapped_.GetTextList(); }
    std::string GetTextFor(double value) const override { return wrapped_.GetTextFor(value); }
    bool SetText(const std::string& text) override { return wrapped_.SetText(text); }
    bool ParseText(const std::string& text) override { return wrapped_.ParseText(text); }
    bool Clamp() override { return wrapped_.Clamp(); }
    bool IncrementAccelerated(int steps, int acceleration) override {
        return wrapped_.IncrementAccelerated(steps, acceleration);
    }
    bool Increment(int steps) override { return wrapped_.Increment(steps); }
    double Get01() const override;
    bool Set01(double x) override;
    int32_t GetDiscreteCount() const override { return wrapped_.GetDiscreteCount(); }
    std::string GetDiscreteText(int32_t index, int32_t count) const override {
        return wrapped_.GetDiscreteText(index, count);
    }
    bool SetDiscrete(int32_t index) override { return wrapped_.SetDiscrete(index); }

private:
    MValue& wrapped_;
    int power_;
};

class MValueScaleSqr : public MValueScaleT {
public:
    explicit MValueScaleSqr(MValue& wrapped) : MValueScaleT(wrapped, 2) {}
    const char* ClassName() const override { return "MValueScaleSqr"; }
};

class MValueScalePower : public MValueScaleT {
public:
    explicit MValueScalePower(MValue& wrapped) : MValueScaleT(wrapped, 4) {}
    const char* ClassName() const override { return "MValueScalePower"; }
};

}  // namespace corvane
