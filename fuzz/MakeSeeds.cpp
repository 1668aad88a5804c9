// Writes starting inputs for the chunk fuzzer: a real state as the host
// keeps it (compressed) and the same state as plain XML text.

#include <cstdio>
#include <string>
#include <vector>

#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "framework/storage/XMLFiles.h"

namespace {

void WriteFile(const std::string& path, const void* data, size_t size) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s corpus-folder\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    corvane::MQuorlithAudioEffectPlugin plugin;
    plugin.SetHostSampleRate(48000.0);
    if (!plugin.Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface)) return 1;
    const std::vector<uint8_t> chunk = plugin.WriteChunk();
    WriteFile(folder + "/state.zlib", chunk.data(), chunk.size());

    corvane::MXMLItem root("settings");
    corvane::MStoreContext context(true, root);
    plugin.Store(context);
    // A small plain document: the slot copies make the full one large.
    for (int i = 1; i < 8; ++i) root.RemoveSubItem("Preset" + std::to_string(i));
    corvane::MMemoryStream text;
    root.Write(text, "utf-8", corvane::XMLLayout::Compact);
    WriteFile(folder + "/state.xml", text.Data(), static_cast<size_t>(text.Size()));
    return 0;
}
