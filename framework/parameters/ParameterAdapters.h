#pragma once
// Adapters over plain descriptors: ParameterBase for descriptors an effect
// owns, ParameterBaseCustom for the framework's own, one parameter each.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/Strings.h"
#include "framework/parameters/AutomationAdapter.h"
#include "framework/parameters/ParameterDescriptor.h"
#include "framework/parameters/ParameterMapping.h"
#include "framework/parameters/ParameterTable.h"

namespace corvane {

class ParameterMainBase : public MAudioPluginAutomationAdapter {
public:
    std::string GetName(int32_t /*local*/) override { return name; }
    std::string GetPath(int32_t /*local*/) override { return JoinTexts(JoinTexts(pathPrefix, path), group); }
    std::string GetCategory(int32_t /*local*/) override { return group.empty() ? path : group; }

    std::string name;
    std::string path;   // the descriptor's two path parts, joined
    std::string group;  // the enclosing group's name
};

// Over a descriptor of an effect: changes notify the effect.
class ParameterBase : public ParameterMainBase {
public:
    static constexpr bool RandomizesDescriptor = true;

    ParameterDescriptor& Descriptor() const { return *descriptor; }
    void NotifyChanged(bool silent);

    MParameterEffect* effect = nullptr;
    ParameterDescriptor* descriptor = nullptr;
    void* editorLink = nullptr;
    int32_t effectIndex = 0;
};

// Over a descriptor the framework owns: changes go to its listeners.
class ParameterBaseCustom : public ParameterMainBase {
public:
    static constexpr bool RandomizesDescriptor = false;

    struct ChangeEvent {
        ParameterBaseCustom* adapter;
    };
    struct Listener {
        void* target;
        void* argument;
        void (*function)(void* target, void* argument, const ChangeEvent& event);
    };

    ParameterDescriptor& Descriptor() const { return *descriptor; }
    void NotifyChanged(bool silent);

    ParameterDescriptor* descriptor = nullptr;
    void* editorLink = nullptr;
    std::vector<Listener> listeners;
};

// One plain parameter of the given kind over either base.
template <class Base, uint32_t Kind>
class ParameterT : public Base {
public:
    void SetValue(int32_t /*local*/, double value, bool silent) override {
        ParameterMapping::SetNormalized(this->Descriptor(), value);
        this->NotifyChanged(silent);
    }
    double GetValue(int32_t /*local*/) override { return ParameterMapping::GetNormalized(this->Descriptor()); }
    double GetLiveValue(int32_t /*local*/) override { return ParameterMapping::GetLiveNormalized(this->Descriptor()); }
    std::string GetValueName(int32_t /*local*/) override { return ParameterMapping::ValueName(this->Descriptor()); }
    std::string GetHelp(int32_t /*local*/) override { return this->Descriptor().helpText; }
    std::string GetValueNameFrom01(int32_t /*local*/, double value) override {
        return ParameterMapping::ValueNameFrom01(this->Descriptor(), value);
    }
    double ParseValueName(int32_t /*local*/, const std::string& text) override {
        return ParameterMapping::ParseValueName(this->Descriptor(), text);
    }
    bool IsInterpolated(int32_t /*local*/) override {
        return (Kind == ParameterKindFloat || Kind == ParameterKindInteger) && this->Descriptor().IsInterpolated();
    }
    void SetInterpolating(int32_t /*local*/, bool on) override {
        ParameterMapping::SetInterpolating(this->Descriptor(), on);
    }
    int32_t GetType(int32_t /*local*/) override { return ParameterMapping::HostType(this->Descriptor()); }
    double GetDefaultValue(int32_t /*local*/) override {
        return ParameterMapping::GetDefaultNormalized(this->Descriptor());
    }
    bool IsRandomizable() override { return this->Descriptor().IsRandomizable(); }
    std::string GetIdentifier(int32_t /*local*/) override { return this->Descriptor().identifier; }
    bool CanParseValueName(int32_t /*local*/, const std::string& text) override {
        return ParameterMapping::CanParseValueName(this->Descriptor(), text);
    }
    bool GetIntegerRange(int32_t /*local*/, int32_t& minimum, int32_t& maximum) override {
        return ParameterMapping::IntegerRange(this->Descriptor(), minimum, maximum);
    }
    void Randomize(double amount) override {
        if (Base::RandomizesDescriptor)
            ParameterMapping::Randomize(this->Descriptor(), amount, false);
        else
            MAudioPluginAutomationAdapter::Randomize(amount);
    }
};

template <class Base>
using ParameterFloatT = ParameterT<Base, ParameterKindFloat>;
template <class Base>
using ParameterIntT = ParameterT<Base, ParameterKindInteger>;
template <class Base>
using ParameterEnumT = ParameterT<Base, ParameterKindEnum>;
template <class Base>
using ParameterBoolT = ParameterT<Base, ParameterKindBool>;
template <class Base>
using ParameterGroupT = ParameterT<Base, ParameterKindGroup>;

}  // namespace corvane
