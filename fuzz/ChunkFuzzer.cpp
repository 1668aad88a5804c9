// Feeds arbitrary bytes to the plug-in's chunk reader, as a host restoring a
// damaged project would. One plug-in serves every input: a rejected chunk
// must leave it working.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "entry/Exports.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"

namespace {

corvane::MQuorlithAudioEffectPlugin& Plugin() {
    static std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin = [] {
        setenv("XDG_CONFIG_HOME", "/tmp/sonvera-fuzz-config", 1);
        auto p = std::make_unique<corvane::MQuorlithAudioEffectPlugin>();
        p->SetHostSampleRate(48000.0);
        p->Initialize("Sonvera", "Quorlith", SonveraAudioEffectPluginInterface);
        return p;
    }();
    return *plugin;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    corvane::MQuorlithAudioEffectPlugin& plugin = Plugin();
    plugin.ReadChunk(data, size);
    // Now and then: the plug-in still processes and writes a state it can read back.
    static unsigned executions = 0;
    if (++executions % 4096 != 0) return 0;
    float in[64] = {}, out[2][64];
    float* inputs[16] = {in, in};
    float* outputs[8] = {out[0], out[1]};
    plugin.ProcessBlock(inputs, outputs, 64, 1);
    const std::vector<uint8_t> chunk = plugin.WriteChunk();
    if (!plugin.ReadChunk(chunk.data(), chunk.size())) std::abort();
    return 0;
}
