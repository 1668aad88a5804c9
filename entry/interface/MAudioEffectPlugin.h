#pragma once
// An effect that processes audio: the processing commands 100 to 107.

#include <cstdint>

#include "entry/interface/MPlugin.h"

namespace corvane {

class MAudioEffectPlugin : public MPlugin {
public:
    int64_t Dispatch(int64_t command, MPluginArguments& arguments) override;

    // [main-thread] Prepares processing; the caller runs Update and
    // CommitParameterValues afterwards, as command 100 does.
    virtual int32_t InitProcessing(int32_t channelCount, double sampleRate) = 0;
    virtual void InitProcessingGUI() {}
    // [main-thread, processing held off] Blocks will hold at most maxSamples
    // samples: buffers are sized here, so that processing never allocates.
    virtual void PrepareBlocks(int32_t /*maxSamples*/) {}
    // [audio-thread] One block of audio.
    virtual void Process(void* context, float** inputs, float** outputs, int32_t sampleCount) = 0;
    // [main-thread] Periodic editor work (meters, graphs).
    virtual void ProcessUpdate() {}
    virtual int32_t OnCommand102() { return 1; }
    virtual int32_t OnCommand103() { return 0; }
    virtual int32_t OnCommand105() { return 0; }
    virtual void OnCommand104(int32_t /*value*/) {}
};

}  // namespace corvane
