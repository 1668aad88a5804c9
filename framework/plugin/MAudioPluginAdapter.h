#pragma once
// What the framework plug-in asks of the host-format adapter that drives it.
// The VST 2.4 and VST3 adapters implement it.

#include <cstdint>

namespace corvane {

class MAudioPluginAdapter {
public:
    virtual ~MAudioPluginAdapter() = default;
    // [any thread] A parameter moved; value normalised.
    virtual void SendAutomation(int32_t index, double value) = 0;
    virtual void SendBypassAutomation(bool bypassed) = 0;
    // [main-thread] The editor's gesture around an edit: hosts record the
    // values in between as one touch of the parameter.
    virtual void BeginEdit(int32_t /*index*/) {}
    virtual void EndEdit(int32_t /*index*/) {}
    // [audio-thread] A MIDI message for the host, at a sample offset in the current block.
    virtual void GenerateMIDIEvent(int32_t deltaFrames, const uint8_t* bytes, int32_t length) = 0;
    virtual void ReportLatency(int32_t samples) = 0;
    virtual bool ChangeEditorSize(int32_t width, int32_t height) = 0;
};

}  // namespace corvane
