#pragma once
// Presents the framework plug-in to a VST3 host as one component that is
// processor and controller at once. This class talks to the framework only;
// Vst3Objects.cpp hands hosts its interfaces and counts their references.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "framework/core/Shared.h"
#include "framework/core/SpscRing.h"
#include "framework/plugin/HostCalls.h"
#include "framework/plugin/HostTransport.h"
#include "framework/plugin/MAudioPluginAdapter.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "hosts/vst3/Vst3Interface.h"

namespace Vst3 {

class MAudioPluginVST3Adapter : public corvane::MAudioPluginAdapter {
public:
    // Parameter identifiers hosts store in their automation: fixed.
    static constexpr v3_param_id MIDIControllerBase = 10000;  // + controller, 128 aftertouch, 129 pitch bend
    static constexpr int32_t MIDIControllerCount = 130;
    static constexpr v3_param_id PitchBendId = MIDIControllerBase + 129;
    static constexpr v3_param_id BypassId = 32767;

    explicit MAudioPluginVST3Adapter(std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin);
    ~MAudioPluginVST3Adapter() override;

    corvane::MQuorlithAudioEffectPlugin& Plugin() { return *plugin_; }
    const std::string& HostName() const { return hostName_; }

    // Component. [main-thread] unless tagged.
    v3_result initialize(v3_funknown** context);
    v3_result terminate();
    int32_t getBusCount(int32_t type, int32_t direction) const;
    v3_result getBusInfo(int32_t type, int32_t direction, int32_t index, v3_bus_info* info) const;
    v3_result activateBus(int32_t type, int32_t direction, int32_t index, bool active);
    v3_result setActive(bool state);
    v3_result setState(v3_bstream** stream);
    v3_result getState(v3_bstream** stream);

    // Processor.
    v3_result setBusArrangements(const v3_speaker_arrangement* inputs, int32_t n, const v3_speaker_arrangement* outputs,
                                 int32_t m);
    v3_result getBusArrangement(int32_t direction, int32_t index, v3_speaker_arrangement* arrangement) const;
    static v3_result canProcessSampleSize(int32_t size) { return size == V3_SAMPLE_32 ? V3_OK : V3_FALSE; }
    uint32_t getLatencySamples();
    v3_result setupProcessing(const v3_process_setup* setup);
    uint32_t getTailSamples() const { return 0; }  // the vocoder rings out within its latency
    v3_result process(v3_process_data* data);      // [audio-thread]

    // Controller. [any]
    int32_t getParameterCount() const;
    v3_result getParameterInfo(int32_t index, v3_param_info* info);
    v3_result getParamStringByValue(v3_param_id id, double value, int16_t* text);
    v3_result getParamValueByString(v3_param_id id, const int16_t* text, double* value);
    double getParamNormalized(v3_param_id id);
    v3_result setParamNormalized(v3_param_id id, double value);
    v3_result setComponentHandler(v3_component_handler** handler);
    static v3_result getMidiControllerAssignment(int32_t bus, int16_t channel, int16_t controller, v3_param_id* id);

    // Framework-facing operations.
    void SendAutomation(int32_t index, double value) override;
    void SendBypassAutomation(bool bypassed) override;
    void BeginEdit(int32_t index) override;
    void EndEdit(int32_t index) override;
    void GenerateMIDIEvent(int32_t deltaFrames, const uint8_t* bytes, int32_t length) override;
    void ReportLatency(int32_t samples) override;
    bool ChangeEditorSize(int32_t width, int32_t height) override;

    // The editor view the host holds, for resize requests; null when none. [main-thread]
    void SetView(v3_plugin_view** view) { view_ = view; }

private:
    void ApplyParameterChange(v3_param_id id, double value);  // [audio-thread]
    void ReadTransport(const v3_process_context* context);    // [audio-thread]
    void DeliverEvents(v3_event_list** events);               // [audio-thread]
    int32_t InputBusCount() const;

    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin_;
    std::string hostName_;
    v3_speaker_arrangement inputArrangement_ = StereoArrangement;
    v3_speaker_arrangement outputArrangement_ = StereoArrangement;
    v3_component_handler** handler_ = nullptr;
    bool activating_ = false;
    v3_plugin_view** view_ = nullptr;
    corvane::Shared<double> midiControllers_[MIDIControllerCount];
    corvane::TransportFollower transport_;
    // Changes the plug-in makes during a block reach the host through the
    // block's output parameter changes: the component handler is for the
    // user-interface thread only.
    struct OutgoingChange {
        v3_param_id id;
        double value;
    };
    static constexpr size_t MaxOutgoingChanges = 1024;
    corvane::SpscRing<OutgoingChange, MaxOutgoingChanges> outgoing_;
    void SendOutgoingChanges(v3_param_changes** changes);  // [audio-thread]
};

}  // namespace Vst3
