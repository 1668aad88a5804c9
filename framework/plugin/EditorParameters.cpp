#include "framework/plugin/EditorParameters.h"

namespace corvane {

int32_t EditorParameters::Find(const std::string& label) const {
    MParameterRegistry& parameters = plugin_.Parameters();
    for (int32_t i = 0; i < parameters.ParameterCount(); ++i)
        if (parameters.GetParameterLabel(i) == label || parameters.GetParameterName(i) == label) return i;
    return -1;
}

double EditorParameters::TakeLevel(Meter meter) {
    if (meters_ == nullptr) return 0.0;
    return meters_->Take(meter == CarrierLevel     ? LevelMeters::Carrier
                         : meter == ModulatorLevel ? LevelMeters::Modulator
                                                   : LevelMeters::Output);
}

int32_t EditorParameters::Steps(int32_t index) const {
    int32_t minimum = 0, maximum = 0;
    if (!plugin_.Parameters().GetParameterIntegerRange(index, minimum, maximum)) return 0;
    return maximum - minimum + 1;
}

std::string EditorParameters::Text(int32_t index) const {
    MParameterRegistry& parameters = plugin_.Parameters();
    const std::string value = parameters.GetParameterValueName(index), units = parameters.GetParameterUnitsName(index);
    return units.empty() ? value : value + " " + units;
}

void EditorParameters::SetValue(int32_t index, double value) {
    MParameterRegistry& parameters = plugin_.Parameters();
    parameters.SetParameter(index, value, false);
    plugin_.AutomateHost(index, parameters.GetParameter(index));  // the host records it as its own automation
}

bool EditorParameters::SetText(int32_t index, const std::string& text) {
    MParameterRegistry& parameters = plugin_.Parameters();
    if (!parameters.CanParseParameterValueName(index, text)) return false;
    SetValue(index, parameters.ParseParameterValueName(index, text));
    return true;
}

}  // namespace corvane
