#pragma once
// The modulators' and multiparameters' modes and targets as the editor sees
// them. Target edits take the target list's lock like the audio thread's
// walks; a mode changes while processing is held off, as a loaded state
// does. [main-thread]

#include "framework/plugin/MAudioEffectPluginToAudioPluginAdapter.h"
#include "gui/EditorServices.h"

namespace corvane {

class EditorModulation : public gui::ModulationAccess {
public:
    explicit EditorModulation(MAudioEffectPluginToAudioPluginAdapter& plugin) : plugin_(plugin) {}
    std::vector<std::string> ModeNames(Owner kind) const override;
    int32_t Mode(Owner kind, int32_t owner) const override;
    void SetMode(Owner kind, int32_t owner, int32_t mode) override;
    std::vector<std::string> Targets(Owner kind, int32_t owner) const override;
    std::string AddTarget(Owner kind, int32_t owner, const std::string& parameter) override;
    std::string RemoveTarget(Owner kind, int32_t owner, int32_t position) override;

private:
    // Null for an owner number outside the bank.
    TargetList* ListOf(Owner kind, int32_t owner) const;
    int32_t* ModeOf(Owner kind, int32_t owner) const;

    MAudioEffectPluginToAudioPluginAdapter& plugin_;
};

}  // namespace corvane
