#pragma once
// Band graphs from the command line: "--graph NAME=x0:y0,x1:y1,..." enables
// the graph and gives it straight segments through the points, written into
// the plug-in's state as a host would store it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace render {

struct GraphOption {
    int32_t graph;  // index in the vocoder's list
    std::vector<std::pair<double, double>> points;
};

// Throws std::runtime_error saying what is wrong with the text.
GraphOption ParseGraphOption(const std::string& text);
// The state with the graphs enabled and shaped; throws when it cannot be read.
std::vector<uint8_t> ApplyGraphOptions(const std::vector<uint8_t>& state, const std::vector<GraphOption>& graphs);
// One line per graph: its names, value units, whether it is on, its points.
std::vector<std::string> DescribeGraphs(const std::vector<uint8_t>& state);

}  // namespace render
