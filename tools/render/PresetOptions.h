#pragma once
// The plug-in's presets for the renderer: the factory bank and the user's
// own file, read and applied by a plug-in made in this process, exactly as
// the plug-in in a host loads them.

#include <cstdint>
#include <string>
#include <vector>

namespace render {

// Every preset as "Folder/Name", in the order the plug-in numbers them.
std::vector<std::string> ListPresets();
// The state after loading the preset "Folder/Name" onto `state`; throws
// std::runtime_error naming the preset when there is none or it cannot load.
std::vector<uint8_t> ApplyPreset(const std::vector<uint8_t>& state, const std::string& path);

}  // namespace render
