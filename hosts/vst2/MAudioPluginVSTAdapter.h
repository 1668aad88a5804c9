#pragma once
// Presents the framework plug-in to a VST 2.4 host. The upper half talks to
// the framework only; VstDispatcher.cpp fills the effect record and turns
// opcodes into these calls.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Shared.h"
#include "framework/core/SpscRing.h"
#include "framework/plugin/HostCalls.h"
#include "framework/plugin/HostTransport.h"
#include "framework/plugin/MAudioPluginAdapter.h"
#include "framework/plugin/MQuorlithAudioEffectPlugin.h"
#include "framework/plugin/PendingNoteEnds.h"
#include "hosts/vst2/VstInterface.h"

namespace Vst2 {

class MAudioPluginVSTAdapter : public corvane::MAudioPluginAdapter {
public:
    static constexpr int32_t UniqueId = FourCC('S', 'o', 'n', 'v');
    // Incoming MIDI a block can hold; past it, the ends of notes are still kept.
    static constexpr int32_t MaxQueuedEvents = 4096;
    static constexpr int32_t MaxOutgoingEvents = 1024;
    // effVendorSpecific selectors (the index argument) that hosts of our own use:
    // a parameter's stored identifier (value: parameter index; ptr: 64 characters),
    // and whether the last effSetChunk loaded a state.
    static constexpr int32_t VendorParameterIdentifier = FourCC('S', 'n', 'I', 'd');
    static constexpr int32_t VendorLastChunkAccepted = FourCC('S', 'n', 'O', 'k');

    // Takes ownership of the framework plug-in.
    MAudioPluginVSTAdapter(HostCallback host, std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin);
    ~MAudioPluginVSTAdapter() override;

    AEffect* Effect() { return &effect_; }
    static MAudioPluginVSTAdapter* FromEffect(AEffect* effect);
    corvane::MQuorlithAudioEffectPlugin& Plugin() { return *plugin_; }

    // Host-facing operations. Thread tags: [audio-thread] the host's
    // processing thread, [main-thread] its user-interface thread, [any] either.
    void resume();                                           // [main-thread]
    void suspend() {}                                        // [main-thread]
    void setSampleRate(float rate);                          // [main-thread]
    void setBlockSize(int32_t frames);                       // [main-thread]
    void setParameter(int32_t index, float value);           // [any]
    float getParameter(int32_t index);                       // [any]
    void getParameterName(int32_t index, char* text);        // [any]
    void getParameterDisplay(int32_t index, char* text);     // [any]
    void getParameterLabel(int32_t index, char* text);       // [any]
    bool string2parameter(int32_t index, const char* text);  // [any]
    // Labels beyond 24 characters, categories and steps for the hosts that ask. [any]
    bool getParameterProperties(int32_t index, VstParameterProperties* properties);
    int32_t getChunk(void** data);                     // [main-thread] never costs the audio thread a block
    int32_t setChunk(const void* data, int32_t size);  // [main-thread]
    intptr_t vendorSpecific(int32_t selector, intptr_t value, void* ptr);  // [any]
    // Idle calls: the editor's events and redraw, presets that MIDI stepped
    // to (loaded here, off the audio thread).
    void idle();  // [main-thread]
    // The editor: its size, embedding into the host's window, closing.
    bool editGetRect(ERect** rect);                                         // [main-thread]
    bool editOpen(void* parent);                                            // [main-thread]
    void editClose();                                                       // [main-thread]
    bool editKeyDown(int32_t character, int32_t virtualKey);                // [main-thread]
    bool getEffectName(char* text);                                         // [any]
    bool getVendorString(char* text);                                       // [any]
    bool getProductString(char* text);                                      // [any]
    int32_t canDo(const char* text);                                        // [any]
    bool getInputProperties(int32_t index, VstPinProperties* properties);   // [main-thread]
    bool getOutputProperties(int32_t index, VstPinProperties* properties);  // [main-thread]
    bool setSpeakerArrangement(const VstSpeakerArrangement* input,
                               const VstSpeakerArrangement* output);         // [main-thread]
    bool getSpeakerArrangement() { return false; }                           // [main-thread]
    int32_t processEvents(const VstEvents* events);                          // [audio-thread]
    void processReplacing(float** inputs, float** outputs, int32_t frames);  // [audio-thread]
    void process(float** inputs, float** outputs, int32_t frames);           // [audio-thread]

    // Framework-facing operations.
    void SendAutomation(int32_t index, double value) override;                                   // [any]
    void SendBypassAutomation(bool bypassed) override;                                           // [any]
    void BeginEdit(int32_t index) override;                                                      // [main-thread]
    void EndEdit(int32_t index) override;                                                        // [main-thread]
    void GenerateMIDIEvent(int32_t deltaFrames, const uint8_t* bytes, int32_t length) override;  // [audio-thread]
    void ReportLatency(int32_t samples) override;                                                // [main-thread]
    bool ChangeEditorSize(int32_t width, int32_t height) override;                               // [main-thread]

    bool ReceivesMIDI() const { return true; }
    bool SendsMIDI() const { return false; }
    int32_t HostVersion() const { return hostVersion_; }
    double SampleRate() const { return sampleRate_; }
    bool TransportJumped() const { return transport_.Jumped(); }
    bool PlayingChanged() const { return transport_.PlayingChanged(); }

private:
    ERect editorRect_{};
    intptr_t CallHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr, float opt = 0.0f);
    void ReadTransport();
    // The host's transport, or null when it gives none or synchronisation is off.
    const VstTimeInfo* AskTime();
    void PerformProcessing(float** inputs, float** outputs, int32_t frames, int32_t replace);
    void SendQueuedMIDI();
    const std::vector<std::string>& InputNames() const;
    const std::vector<std::string>& OutputNames() const;
    bool PinProperties(const std::vector<std::string>& names, int32_t index, VstPinProperties* properties);

    AEffect effect_{};
    HostCallback host_;
    std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin_;
    int32_t hostVersion_ = 1;
    int32_t channelsPerBus_ = 2;
    double sampleRate_ = 44100.0;
    int32_t blockSize_ = 1024;
    std::vector<uint8_t> chunk_;
    // Per parameter: its category's number (1 based, 0 for none); per category: name and size.
    std::vector<int16_t> parameterCategory_;
    std::vector<std::pair<std::string, int16_t>> categories_;
    void BuildCategories();
    bool lastChunkAccepted_ = false;

    // Incoming MIDI (processEvents to the next block) and outgoing MIDI (the
    // framework to the end of the block): fixed-capacity rings, no lock.
    struct QueuedMIDI {
        int32_t deltaFrames;
        uint8_t bytes[4];
    };
    corvane::SpscRing<QueuedMIDI, MaxQueuedEvents> incoming_;
    corvane::PendingNoteEnds noteEnds_;  // what ended notes after incoming_ was full
    corvane::SpscRing<VstMidiEvent, MaxOutgoingEvents> outgoing_;
    std::vector<VstMidiEvent> outgoingBatch_;  // reserved once: the list the host receives
    std::vector<uint8_t> outgoingList_;

    corvane::TransportFollower transport_;
};

// Fills the effect record's function table with the adapter's entries.
void BindEffectRecord(MAudioPluginVSTAdapter& adapter);

}  // namespace Vst2
