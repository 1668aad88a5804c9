#pragma once
// The plug-in's parameters as the editor's controls see them: edits go
// through the automation adapters exactly like host automation, framed by
// the host's gesture. [main-thread]

#include "framework/plugin/LevelMeters.h"
#include "framework/plugin/MAudioPlugin.h"
#include "gui/ParameterAccess.h"

namespace corvane {

class EditorParameters : public gui::ParameterAccess {
public:
    // `meters` may be null: the levels then read 0.
    explicit EditorParameters(MAudioPlugin& plugin, LevelMeters* meters = nullptr) : plugin_(plugin), meters_(meters) {}

    int32_t Find(const std::string& label) const override;
    std::string Name(int32_t index) const override { return plugin_.Parameters().GetParameterName(index); }
    std::string Help(int32_t index) const override { return plugin_.Parameters().GetParameterHelp(index); }
    double Value(int32_t index) const override { return plugin_.Parameters().GetParameter(index); }
    double Default(int32_t index) const override { return plugin_.Parameters().GetParameterDefaultValue(index); }
    int32_t Steps(int32_t index) const override;
    std::string Text(int32_t index) const override;
    bool SetText(int32_t index, const std::string& text) override;
    void BeginEdit(int32_t index) override { plugin_.BeginHostEdit(index); }
    void SetValue(int32_t index, double value) override;
    void EndEdit(int32_t index) override { plugin_.EndHostEdit(index); }
    double TakeLevel(Meter meter) override;

private:
    MAudioPlugin& plugin_;
    LevelMeters* meters_;
};

}  // namespace corvane
