#pragma once
// Crafted states of the kinds a corrupted or malicious project file holds,
// as the compressed chunks a host hands over. Shared by the tests (what each
// does to the plug-in) and the benchmark (how long each takes).

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace sonvera_test {

struct HostileState {
    const char* what;
    std::vector<uint8_t> chunk;
    bool loads;  // accepted (with its values checked), or refused leaving the state as it was
};

inline std::vector<uint8_t> Deflated(const std::string& text) {
    uLongf size = compressBound(static_cast<uLong>(text.size()));
    std::vector<uint8_t> out(size);
    compress2(out.data(), &size, reinterpret_cast<const Bytef*>(text.data()), static_cast<uLong>(text.size()), 9);
    out.resize(size);
    return out;
}

// n attributes on one element, named in descending order (the worst case for
// sorted insertion).
inline std::string DescendingAttributes(int n) {
    std::string text;
    for (int i = n - 1; i >= 0; --i) text += " a" + std::to_string(100000 + i) + "=\"1\"";
    return text;
}

inline std::string Repeated(const std::string& piece, size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

inline std::vector<HostileState> HostileStates() {
    const std::string head = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n";
    std::vector<HostileState> states;
    states.push_back({"80,000 attributes in descending order",
                      Deflated(head + "<settings" + DescendingAttributes(80000) + "/>\n"), false});
    states.push_back({"40,000 attributes in descending order",
                      Deflated(head + "<settings" + DescendingAttributes(40000) + "/>\n"), true});
    states.push_back({"16 million empty elements",
                      Deflated(head + "<settings>" + Repeated("<a/>", 16u << 20) + "</settings>"), false});
    states.push_back({"4 million empty elements inside a slot",
                      Deflated(head + "<settings><Preset1>" + Repeated("<a/>", 4u << 20) + "</Preset1></settings>"),
                      false});
    states.push_back({"a slot of 4 MB that could not be stored again beside seven more",
                      Deflated(head + "<settings><Preset2 x=\"" + std::string(4u << 20, 'x') + "\"/></settings>"),
                      false});
    states.push_back(
        {"64 MB of text", Deflated(head + "<settings>" + std::string(64u << 20, 'x') + "</settings>"), false});
    states.push_back(
        {"band-graph points at infinity and 1e308",
         Deflated(head + "<settings><BandDistributionCar Enabled=\"1\" X0=\"0\" Y0=\"inf\" C0=\"0\" S0=\"0\" "
                         "X1=\"1\" Y1=\"1e308\" C1=\"-1e308\" S1=\"0\"/><Attack Enabled=\"1\" X0=\"0\" "
                         "Y0=\"1e308\" C0=\"0\" S0=\"0\"/><Whitening Enabled=\"1\" X0=\"0\" Y0=\"-1e308\" "
                         "C0=\"0\" S0=\"0\"/></settings>"),
         true});
    return states;
}

}  // namespace sonvera_test
