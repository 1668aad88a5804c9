#include "framework/plugin/ChannelConfiguration.h"

namespace corvane {

ChannelConfiguration ChannelConfiguration::Build(int32_t inputBuses, bool surround) {
    ChannelConfiguration config;
    config.channelsPerBus = surround ? 8 : 2;
    for (int32_t bus = 0; bus < inputBuses; ++bus) {
        for (int32_t c = 0; c < config.channelsPerBus; ++c) {
            std::string name;
            if (surround) {
                const std::string channel = std::to_string(c);
                name = bus == 0   ? "In " + channel
                       : bus == 1 ? "Sidechain " + channel
                                  : "Sidechain " + std::to_string(bus - 1) + " " + channel;
            } else {
                const char* side = c == 0 ? "L" : "R";
                name = bus == 0   ? std::string("In ") + side
                       : bus == 1 ? std::string("Sidechain ") + side
                                  : std::string("Sidechain ") + side + " " + std::to_string(bus - 1);
            }
            config.inputNames.push_back(name);
        }
    }
    for (int32_t c = 0; c < config.channelsPerBus; ++c)
        config.outputNames.push_back(surround ? "Out " + std::to_string(c)
                                              : std::string("Out ") + (c == 0 ? "L" : "R"));
    return config;
}

}  // namespace corvane
