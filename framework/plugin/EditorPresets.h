#pragma once
// The plug-in's preset manager as the editor's presets page sees it: new
// presets go to the top of the bank; questions are asked only while the
// user's "ConfirmationEnabled" is on; failures are logged by the manager.
// [main-thread]

#include "framework/storage/MPresetManager.h"
#include "gui/EditorServices.h"

namespace corvane {

class EditorPresets : public gui::PresetAccess {
public:
    explicit EditorPresets(MPresetManagerBase& manager) : manager_(manager) {}
    std::vector<std::string> List() override { return manager_.List(); }
    int32_t Current() const override { return manager_.CurrentIndex(); }
    bool Load(int32_t index) override { return manager_.LoadPreset(index); }
    bool Step(int32_t delta) override { return manager_.Step(delta); }
    bool SaveNew(const std::string& name) override { return manager_.SaveNew(std::string(), name); }
    bool ReplaceCurrent(const Confirm& confirm) override { return manager_.ReplaceCurrent(Asking(confirm)); }
    bool DeleteCurrent(const Confirm& confirm) override {
        return manager_.DeletePreset(manager_.CurrentIndex(), Asking(confirm));
    }

private:
    static Confirm Asking(const Confirm& confirm);

    MPresetManagerBase& manager_;
};

}  // namespace corvane
