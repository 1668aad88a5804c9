#pragma once
// A framework plug-in stand-in that owns a parameter registry and records
// what adapters ask of it.

#include <utility>
#include <vector>

#include "framework/modulation/SpecialParameterFactories.h"
#include "framework/parameters/MParameterRegistry.h"

namespace sonvera_test {

class TestOwner : public corvane::MAutomationOwner {
public:
    TestOwner() : registry(*this) { corvane::InstallSpecialParameterFactories(registry); }

    corvane::MParameterRegistry& Parameters() override { return registry; }
    void AutomateHost(int32_t index, double value) override { automation.emplace_back(index, value); }
    void NeedUpdateEditor(corvane::MAudioPluginAutomationAdapter&) override { ++editorUpdates; }
    void SetUpdatePending() override { updatePending = true; }

    corvane::MParameterRegistry registry;
    std::vector<std::pair<int32_t, double>> automation;
    int editorUpdates = 0;
    bool updatePending = false;
};

}  // namespace sonvera_test
