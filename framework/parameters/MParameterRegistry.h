#pragma once
// The framework plug-in's list of automation adapters, ordered by global
// index: effect parameters, effect compound objects, modulator parameters,
// multiparameter parameters, the framework's own parameters.
// [main-thread] registration; [any thread] the by-index operations.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/parameters/AutomationAdapter.h"
#include "framework/parameters/ParameterAdapters.h"
#include "framework/parameters/ParameterTable.h"

namespace corvane {

class MParameterRegistry {
public:
    using Adapter = MAudioPluginAutomationAdapter;
    // Builds the adapters of one compound object kind (signal generator,
    // ADSR, envelope ...); the modulation layer installs these.
    using SpecialAdapterFactory = std::function<std::vector<std::unique_ptr<Adapter>>(
        const SpecialParameterDescriptor& special, bool effectOwned)>;

    struct InterpolationEntry {
        Adapter* adapter;
        int32_t local;
        double start;
    };

    explicit MParameterRegistry(MAutomationOwner& owner);
    ~MParameterRegistry();

    void SetSpecialAdapterFactory(uint32_t specialKind, SpecialAdapterFactory factory);

    // Registration, in this order, then Finish().
    void RegisterEffect(MParameterEffect& effect, const ParameterTable& table);
    void RegisterAdapter(std::unique_ptr<Adapter> adapter);  // modulators, multiparameters
    // A descriptor the framework owns; `adapter` replaces the plain one of its kind.
    ParameterBaseCustom& RegisterFrameworkDescriptor(ParameterDescriptor& descriptor, const std::string& prefix = "",
                                                     std::unique_ptr<ParameterBaseCustom> adapter = nullptr);
    // The adapters of a compound object the framework owns.
    void RegisterFrameworkSpecial(const SpecialParameterDescriptor& special, const std::string& prefix);
    void Finish();

    // By global index. An index outside 0 .. total-1 reaches no adapter:
    // setters do nothing and getters give 0 or an empty text.
    void SetParameter(int32_t index, double value, bool silent);
    void SetParameterIfChanged(int32_t index, double value, bool silent);
    double GetParameter(int32_t index);
    std::string GetParameterName(int32_t index);
    std::string GetParameterID(int32_t index);
    std::string GetParameterValueName(int32_t index);
    std::string GetParameterValueNameFrom01(int32_t index, double value);
    double ParseParameterValueName(int32_t index, const std::string& text);
    std::string GetParameterUnitsName(int32_t index);
    int32_t GetParameterType(int32_t index);
    double GetParameterDefaultValue(int32_t index);
    bool IsParameterRandomizable(int32_t index);
    std::string GetParameterIdentifier(int32_t index);
    bool CanParseParameterValueName(int32_t index, const std::string& text);
    std::string GetParameterLabel(int32_t index);
    std::string GetParameterCategory(int32_t index);
    std::string GetParameterHelp(int32_t index);
    bool GetParameterIntegerRange(int32_t index, int32_t& minimum, int32_t& maximum);

    int32_t ParameterCount() const { return hostCount_; }  // what hosts see
    int32_t TotalCount() const { return totalCount_; }
    size_t AdapterCount() const { return adapters_.size(); }
    Adapter& AdapterAt(size_t position) const { return *adapters_.at(position); }
    // The adapter of an effect descriptor by its index in the effect; null when it has none.
    Adapter* AdapterForEffectIndex(int32_t effectIndex) const;

    const std::vector<InterpolationEntry>& InterpolationTable() const { return interpolation_; }
    const std::vector<int32_t>& InterpolatedIndexes() const { return interpolatedIndexes_; }

private:
    // Finds the adapter holding a global index; throws (silently neutral) when there is none.
    Adapter& Resolve(int32_t index, int32_t& local) const;
    void RegisterEffectDescriptors(MParameterEffect& effect, ParameterDescriptor* descriptors, int32_t count,
                                   bool hidden, int32_t& effectIndex, std::string& group);
    void RegisterSpecials(const SpecialParameterDescriptor* specials, int32_t count, bool hidden);
    void RegisterSpecialAdapters(const SpecialParameterDescriptor& special, bool effectOwned, bool hidden,
                                 const std::string& prefix);

    MAutomationOwner& owner_;
    std::vector<std::unique_ptr<Adapter>> adapters_;
    std::map<uint32_t, SpecialAdapterFactory> specialFactories_;
    std::vector<Adapter*> effectIndexMap_;
    std::vector<InterpolationEntry> interpolation_;
    std::vector<int32_t> interpolatedIndexes_;
    int32_t totalCount_ = 0;
    int32_t hostCount_ = 0;
};

}  // namespace corvane
