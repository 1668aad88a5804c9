#pragma once
// Parameters by the names stored states give them: the label hosts show
// (unique among the parameters), or for hand-written states the plain name.

#include <cstdint>
#include <string>
#include <unordered_map>

#include "framework/modulation/MLFO.h"
#include "framework/parameters/MParameterRegistry.h"

namespace corvane {

class RegistryNames : public MLFO::ParameterNames {
public:
    explicit RegistryNames(MParameterRegistry& registry) : registry_(registry) {}
    std::string NameOf(int32_t index) override { return registry_.GetParameterLabel(index); }
    int32_t IndexOf(const std::string& name) override;

private:
    MParameterRegistry& registry_;
    std::unordered_map<std::string, int32_t> byLabel_, byName_;  // built at the first look-up
};

}  // namespace corvane
