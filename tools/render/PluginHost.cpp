#include "tools/render/PluginHost.h"

#include <algorithm>
#include <cctype>

namespace render {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<size_t> row(b.size() + 1);
    for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::unique_ptr<PluginHost> PluginHost::Open(const std::string& path, double sampleRate, int32_t blockSize) {
    const bool bundle = path.size() > 5 && path.compare(path.size() - 5, 5, ".vst3") == 0;
    return bundle ? OpenVst3(path, sampleRate, blockSize) : OpenVst2(path, sampleRate, blockSize);
}

std::vector<ParameterInfo> PluginHost::Parameters() const {
    std::vector<ParameterInfo> all;
    for (int32_t i = 0; i < ParameterCount(); ++i) all.push_back(Parameter(i));
    return all;
}

int32_t PluginHost::Find(const std::string& name) const {
    const std::string wanted = Lower(name);
    for (const ParameterInfo& p : Parameters())
        if (Lower(p.fullName) == wanted) return p.index;
    for (const ParameterInfo& p : Parameters())
        if (Lower(p.name) == wanted || (!p.identifier.empty() && Lower(p.identifier) == wanted)) return p.index;
    return -1;
}

std::vector<std::string> PluginHost::Suggestions(const std::string& name, size_t count) const {
    std::vector<std::pair<size_t, std::string>> scored;
    const std::string wanted = Lower(name);
    for (const ParameterInfo& p : Parameters()) {
        scored.emplace_back(EditDistance(wanted, Lower(p.fullName)), p.fullName);
        if (!p.identifier.empty()) scored.emplace_back(EditDistance(wanted, Lower(p.identifier)), p.identifier);
    }
    std::stable_sort(scored.begin(), scored.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> best;
    for (const auto& s : scored) {
        if (best.size() == count) break;
        if (std::find(best.begin(), best.end(), s.second) == best.end()) best.push_back(s.second);
    }
    return best;
}

}  // namespace render
