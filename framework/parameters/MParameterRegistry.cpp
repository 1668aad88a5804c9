#include "framework/parameters/MParameterRegistry.h"

#include <algorithm>
#include <cmath>

#include "framework/core/ExceptionGuard.h"
#include "framework/core/MException.h"
#include "framework/core/Strings.h"
#include "framework/parameters/ParameterAdapters.h"

namespace corvane {

MParameterRegistry::MParameterRegistry(MAutomationOwner& owner) : owner_(owner) {}

MParameterRegistry::~MParameterRegistry() = default;

void MParameterRegistry::SetSpecialAdapterFactory(uint32_t specialKind, SpecialAdapterFactory factory) {
    specialFactories_[specialKind] = std::move(factory);
}

namespace {

std::unique_ptr<ParameterBase> MakeEffectAdapter(uint32_t kind) {
    switch (kind) {
        case ParameterKindFloat:
            return std::make_unique<ParameterFloatT<ParameterBase>>();
        case ParameterKindInteger:
            return std::make_unique<ParameterIntT<ParameterBase>>();
        case ParameterKindEnum:
            return std::make_unique<ParameterEnumT<ParameterBase>>();
        case ParameterKindBool:
            return std::make_unique<ParameterBoolT<ParameterBase>>();
        case ParameterKindGroup:
            return std::make_unique<ParameterGroupT<ParameterBase>>();
        default:
            throw MException("Invalid plugin parameter type.");
    }
}

std::unique_ptr<ParameterBaseCustom> MakeFrameworkAdapter(uint32_t kind) {
    switch (kind) {
        case ParameterKindFloat:
            return std::make_unique<ParameterFloatT<ParameterBaseCustom>>();
        case ParameterKindInteger:
            return std::make_unique<ParameterIntT<ParameterBaseCustom>>();
        case ParameterKindEnum:
            return std::make_unique<ParameterEnumT<ParameterBaseCustom>>();
        case ParameterKindBool:
            return std::make_unique<ParameterBoolT<ParameterBaseCustom>>();
        default:
            throw MException("Invalid plugin parameter type.");
    }
}

}  // namespace

void MParameterRegistry::RegisterEffectDescriptors(MParameterEffect& effect, ParameterDescriptor* descriptors,
                                                   int32_t count, bool hidden, int32_t& effectIndex,
                                                   std::string& group) {
    for (int32_t i = 0; i < count; ++i, ++effectIndex) {
        ParameterDescriptor& descriptor = descriptors[i];
        if (descriptor.EndsGroup()) group.clear();
        if (!descriptor.IsExposed()) continue;
        if (descriptor.kind == ParameterKindNone || descriptor.kind == ParameterKindText) continue;
        if (descriptor.kind == ParameterKindGroup) {
            group = descriptor.name;
            if (descriptor.groupValues.switchValue == nullptr) continue;
        }
        std::unique_ptr<ParameterBase> adapter = MakeEffectAdapter(descriptor.kind);
        adapter->effect = &effect;
        adapter->descriptor = &descriptor;
        adapter->effectIndex = effectIndex;
        adapter->name = descriptor.name;
        adapter->path = JoinTexts(descriptor.pathPart1, descriptor.pathPart2);
        adapter->group = group;
        adapter->flags = descriptor.adapterFlags;
        adapter->hidden = hidden;
        if (effectIndexMap_.size() <= static_cast<size_t>(effectIndex))
            effectIndexMap_.resize(static_cast<size_t>(effectIndex) + 1, nullptr);
        effectIndexMap_[static_cast<size_t>(effectIndex)] = adapter.get();
        RegisterAdapter(std::move(adapter));
    }
}

void MParameterRegistry::RegisterSpecials(const SpecialParameterDescriptor* specials, int32_t count, bool hidden) {
    for (int32_t i = 0; i < count; ++i) {
        const SpecialParameterDescriptor& special = specials[i];
        if (special.kind == SpecialKindNone) continue;
        if (special.kind > SpecialKindNone) throw MException("Invalid plugin parameter type.");
        RegisterSpecialAdapters(special, true, hidden, std::string());
    }
}

void MParameterRegistry::RegisterSpecialAdapters(const SpecialParameterDescriptor& special, bool effectOwned,
                                                 bool hidden, const std::string& prefix) {
    auto factory = specialFactories_.find(special.kind);
    if (factory == specialFactories_.end()) throw MException("Invalid plugin parameter type.");
    for (std::unique_ptr<Adapter>& adapter : factory->second(special, effectOwned)) {
        adapter->flags = special.adapterFlags;
        adapter->hidden = hidden;
        adapter->prefix = prefix;
        RegisterAdapter(std::move(adapter));
    }
}

void MParameterRegistry::RegisterEffect(MParameterEffect& effect, const ParameterTable& table) {
    const bool second = (table.flags & ParameterTableFlags::SecondListsPresent) != 0;
    int32_t effectIndex = 0;
    std::string group;
    RegisterEffectDescriptors(effect, table.parameters, table.parameterCount, false, effectIndex, group);
    if (second)
        RegisterEffectDescriptors(effect, table.secondParameters, table.secondParameterCount, true, effectIndex, group);
    RegisterSpecials(table.specials, table.specialCount, false);
    if (second) RegisterSpecials(table.secondSpecials, table.secondSpecialCount, true);
}

void MParameterRegistry::RegisterAdapter(std::unique_ptr<Adapter> adapter) {
    adapter->owner = &owner_;
    adapters_.push_back(std::move(adapter));
}

ParameterBaseCustom& MParameterRegistry::RegisterFrameworkDescriptor(ParameterDescriptor& descriptor,
                                                                     const std::string& prefix,
                                                                     std::unique_ptr<ParameterBaseCustom> adapter) {
    if (adapter == nullptr) adapter = MakeFrameworkAdapter(descriptor.kind);
    ParameterBaseCustom& registered = *adapter;
    adapter->descriptor = &descriptor;
    adapter->name = descriptor.name;
    adapter->path = JoinTexts(descriptor.pathPart1, descriptor.pathPart2);
    adapter->flags = descriptor.adapterFlags;
    adapter->prefix = prefix;
    descriptor.adapter = adapter.get();
    RegisterAdapter(std::move(adapter));
    return registered;
}

void MParameterRegistry::RegisterFrameworkSpecial(const SpecialParameterDescriptor& special,
                                                  const std::string& prefix) {
    RegisterSpecialAdapters(special, false, false, prefix);
}

void MParameterRegistry::Finish() {
    totalCount_ = 0;
    hostCount_ = 0;
    for (const auto& adapter : adapters_) {
        adapter->base = totalCount_;
        totalCount_ += adapter->count;
        if (!adapter->hidden) hostCount_ += adapter->count;
    }
    interpolation_.clear();
    interpolatedIndexes_.clear();
    bool anyInterpolated = false;
    for (const auto& adapter : adapters_)
        for (int32_t local = 0; local < adapter->count && !anyInterpolated; ++local)
            anyInterpolated = adapter->IsInterpolated(local);
    if (!anyInterpolated) return;
    interpolation_.reserve(static_cast<size_t>(totalCount_));
    for (const auto& adapter : adapters_)
        for (int32_t local = 0; local < adapter->count; ++local) {
            interpolation_.push_back({adapter.get(), local, adapter->GetValue(local)});
            if (adapter->IsInterpolated(local)) interpolatedIndexes_.push_back(adapter->base + local);
        }
}

MParameterRegistry::Adapter* MParameterRegistry::AdapterForEffectIndex(int32_t effectIndex) const {
    if (effectIndex < 0 || static_cast<size_t>(effectIndex) >= effectIndexMap_.size()) return nullptr;
    return effectIndexMap_[static_cast<size_t>(effectIndex)];
}

MParameterRegistry::Adapter& MParameterRegistry::Resolve(int32_t index, int32_t& local) const {
    // Past the total count the search would land on the last adapter with a
    // local index it does not have: refuse instead.
    if (index < 0 || index >= totalCount_) throw MException("Index out of range.");
    auto it =
        std::upper_bound(adapters_.begin(), adapters_.end(), index,
                         [](int32_t value, const std::unique_ptr<Adapter>& adapter) { return value < adapter->base; });
    Adapter& adapter = **(it - 1);
    local = index - adapter.base;
    return adapter;
}

void MParameterRegistry::SetParameter(int32_t index, double value, bool silent) {
    GuardedVoid("MAudioPlugin::SetParameter", [&] {
        int32_t local;
        Resolve(index, local).SetValue(local, value, silent);
    });
}

void MParameterRegistry::SetParameterIfChanged(int32_t index, double value, bool silent) {
    GuardedVoid("MAudioPlugin::SetParameterIfChanged", [&] {
        int32_t local;
        Adapter& adapter = Resolve(index, local);
        if (std::fabs(value - adapter.GetValue(local)) > 1e-7) adapter.SetValue(local, value, silent);
    });
}

double MParameterRegistry::GetParameter(int32_t index) {
    return Guarded("MAudioPlugin::GetParameter", 0.0, [&] {
        int32_t local;
        return Resolve(index, local).GetValue(local);
    });
}

std::string MParameterRegistry::GetParameterName(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterName", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetName(local);
    });
}

std::string MParameterRegistry::GetParameterLabel(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterLabel", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetLabel(local);
    });
}

std::string MParameterRegistry::GetParameterHelp(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterHelp", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetHelp(local);
    });
}

std::string MParameterRegistry::GetParameterCategory(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterCategory", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetCategory(local);
    });
}

bool MParameterRegistry::GetParameterIntegerRange(int32_t index, int32_t& minimum, int32_t& maximum) {
    return Guarded("MAudioPlugin::GetParameterIntegerRange", false, [&] {
        int32_t local;
        return Resolve(index, local).GetIntegerRange(local, minimum, maximum);
    });
}

std::string MParameterRegistry::GetParameterID(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterID", std::string(), [&] {
        int32_t local;
        Adapter& adapter = Resolve(index, local);
        return JoinTexts(JoinTexts(adapter.prefix, adapter.GetPath(local)), adapter.GetName(local));
    });
}

std::string MParameterRegistry::GetParameterValueName(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterValueName", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetValueName(local);
    });
}

std::string MParameterRegistry::GetParameterValueNameFrom01(int32_t index, double value) {
    return Guarded("MAudioPlugin::GetParameterValueNameFrom01", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetValueNameFrom01(local, value);
    });
}

double MParameterRegistry::ParseParameterValueName(int32_t index, const std::string& text) {
    return Guarded("MAudioPlugin::ParseParameterValueName", 0.0, [&] {
        int32_t local;
        return Resolve(index, local).ParseValueName(local, text);
    });
}

std::string MParameterRegistry::GetParameterUnitsName(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterUnitsName", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetUnitsName(local);
    });
}

int32_t MParameterRegistry::GetParameterType(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterType", 0, [&] {
        int32_t local;
        return Resolve(index, local).GetType(local);
    });
}

double MParameterRegistry::GetParameterDefaultValue(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterDefaultValue", 0.0, [&] {
        int32_t local;
        return Resolve(index, local).GetDefaultValue(local);
    });
}

bool MParameterRegistry::IsParameterRandomizable(int32_t index) {
    return Guarded("MAudioPlugin::IsParameterRandomizable", false, [&] {
        int32_t local;
        return Resolve(index, local).IsRandomizable();
    });
}

std::string MParameterRegistry::GetParameterIdentifier(int32_t index) {
    return Guarded("MAudioPlugin::GetParameterIdentifier", std::string(), [&] {
        int32_t local;
        return Resolve(index, local).GetIdentifier(local);
    });
}

bool MParameterRegistry::CanParseParameterValueName(int32_t index, const std::string& text) {
    return Guarded("MAudioPlugin::CanParseParameterValueName", false, [&] {
        int32_t local;
        return Resolve(index, local).CanParseValueName(local, text);
    });
}

}  // namespace corvane
