#pragma once
// Channel names and counts the adapters show hosts, from the effect's
// number of input buses.

#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

struct ChannelConfiguration {
    int32_t channelsPerBus = 2;
    std::vector<std::string> inputNames;
    std::vector<std::string> outputNames;

    // Stereo: "In L"/"In R", "Sidechain L"/"Sidechain R", then "Sidechain L 2" ...;
    // surround: eight channels a bus, "In 0".."In 7", "Sidechain 0".. and "Sidechain 2 0"...
    static ChannelConfiguration Build(int32_t inputBuses, bool surround);
};

}  // namespace corvane
