#include "tools/render/BandGraphOptions.h"

#include <cstdio>
#include <stdexcept>

#include "effect/vocoder/BandGraphs.h"
#include "framework/core/MException.h"
#include "framework/core/Strings.h"
#include "framework/modulation/MEnvelope.h"
#include "framework/storage/MStoreContext.h"
#include "framework/storage/MStream.h"
#include "framework/storage/XMLFiles.h"
#include "tools/render/StateTree.h"

namespace render {

using namespace corvane;
using namespace sonvera;

namespace {

// What the values of each graph mean, as --list explains them.
std::string Number4(double value) { return FormatDouble(value, std::chars_format::general, 4); }

const char* Units(int32_t graph) {
    switch (graph) {
        case GraphBandDistributionCar:
        case GraphBandDistributionMod:
            return "log10 of Hz";
        case GraphResonanceCar:
        case GraphResonanceMod:
        case GraphRatio:
        case GraphWhitening:
            return "offset";
        default:
            return "log2 of a factor";
    }
}

int32_t FindGraph(const std::string& name) {
    for (int32_t g = 0; g < BandGraphCount; ++g)
        if (EqualsIgnoreCase(name, BandGraphNames[g]) || EqualsIgnoreCase(name, BandGraphIdentifiers[g])) return g;
    return -1;
}

double Number(const std::string& text, const std::string& option) {
    double value = 0.0;
    if (!ParseStoredReal(text, value))
        throw std::runtime_error("\"" + text + "\" in --graph " + option + " is not a number");
    return value;
}

std::string FormatOutOfRange(const char* graph, const MEnvelope::Range& range, double x, double y) {
    return "the point " + Number4(x) + ":" + Number4(y) + " lies outside " + graph + "'s range, x " +
           Number4(range.xMin) + ".." + Number4(range.xMax) + " and y " + Number4(range.yMin) + ".." +
           Number4(range.yMax);
}

}  // namespace

GraphOption ParseGraphOption(const std::string& text) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        throw std::runtime_error("--graph needs NAME=x0:y0,x1:y1,..., got \"" + text + "\"");
    GraphOption option;
    option.graph = FindGraph(text.substr(0, equals));
    if (option.graph < 0) {
        std::string names;
        for (int32_t g = 0; g < BandGraphCount; ++g) names += std::string(g ? ", " : "") + BandGraphIdentifiers[g];
        throw std::runtime_error("unknown band graph \"" + text.substr(0, equals) + "\"; the graphs are " + names);
    }
    const std::string list = text.substr(equals + 1);
    size_t start = 0;
    while (start <= list.size()) {
        const size_t comma = std::min(list.find(',', start), list.size());
        const std::string point = list.substr(start, comma - start);
        const size_t colon = point.find(':');
        if (colon == std::string::npos) throw std::runtime_error("--graph points are x:y, got \"" + point + "\"");
        option.points.emplace_back(Number(point.substr(0, colon), text), Number(point.substr(colon + 1), text));
        start = comma + 1;
    }
    if (option.points.size() > static_cast<size_t>(MEnvelope::MaxPoints))
        throw std::runtime_error("a band graph has at most " + std::to_string(MEnvelope::MaxPoints) + " points");
    const MEnvelope::Range range = BandGraphRange(option.graph);
    for (const auto& [x, y] : option.points)
        if (x < range.xMin || x > range.xMax || y < range.yMin || y > range.yMax)
            throw std::runtime_error(FormatOutOfRange(BandGraphIdentifiers[option.graph], range, x, y));
    return option;
}

std::vector<uint8_t> ApplyGraphOptions(const std::vector<uint8_t>& state, const std::vector<GraphOption>& graphs) {
    MXMLItem root = ReadStateTree(state);
    for (const GraphOption& option : graphs) {
        MEnvelope curve;
        PrepareBandGraph(curve, option.graph);
        curve.ClearPoints();
        for (const auto& [x, y] : option.points) curve.AddPoint({x, y, 0.0, 1.0, SegmentMode1});
        MXMLItem& element = root.GetOrAddSubItem(BandGraphIdentifiers[option.graph]);
        MStoreContext context(true, element);
        curve.Store(context);
        element.SetAttribute("Enabled", "1");
    }
    return WriteStateTree(root);
}

std::vector<std::string> DescribeGraphs(const std::vector<uint8_t>& state) {
    MXMLItem root = ReadStateTree(state);
    std::vector<std::string> lines;
    for (int32_t g = 0; g < BandGraphCount; ++g) {
        MEnvelope curve;
        PrepareBandGraph(curve, g);
        bool enabled = false;
        if (MXMLItem* element = root.FindSubItem(BandGraphIdentifiers[g])) {
            MStoreContext context(false, *element);
            curve.Store(context);
            enabled = element->GetAttribute("Enabled") == "1";
        }
        const MEnvelope::Range range = curve.GetRange();
        char head[160];
        std::snprintf(head, sizeof head, "%-22s %-20s %-3s %s %.4g..%.4g:", BandGraphNames[g], BandGraphIdentifiers[g],
                      enabled ? "on" : "off", Units(g), range.yMin, range.yMax);
        std::string line = head;
        for (int32_t p = 0; p < curve.PointCount(); ++p)
            line += " " + Number4(curve.PointAt(p).x) + ":" + Number4(curve.PointAt(p).y);
        lines.push_back(line);
    }
    return lines;
}

}  // namespace render
