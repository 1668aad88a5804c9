#include "hosts/vst3/MAudioPluginVST3Adapter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "framework/core/ExceptionGuard.h"
#include "framework/storage/MXMLItem.h"
#include "hosts/vst3/Vst3View.h"

namespace Vst3 {

using corvane::Guarded;

namespace {

constexpr int32_t BusStride = corvane::MAudioPlugin::BusStride;

// A state larger than this is not a state: reading stops there.
constexpr size_t MaxStateBytes = corvane::MXMLItem::MaxDocumentBytes;

}  // namespace

MAudioPluginVST3Adapter::MAudioPluginVST3Adapter(std::unique_ptr<corvane::MQuorlithAudioEffectPlugin> plugin)
    : plugin_(std::move(plugin)) {}

MAudioPluginVST3Adapter::~MAudioPluginVST3Adapter() {
    corvane::GuardedVoid("MAudioPluginVST3Adapter::~MAudioPluginVST3Adapter", [&] {
        if (handler_ != nullptr) v3_cpp_obj_unref(handler_);
        plugin_->SetHostAdapter(nullptr);
    });
}

int32_t MAudioPluginVST3Adapter::InputBusCount() const {
    const corvane::ChannelConfiguration& channels = plugin_->Channels();
    const auto buses = static_cast<int32_t>(channels.inputNames.size()) / std::max(channels.channelsPerBus, 1);
    return std::min(buses, corvane::MAudioPlugin::MaxInputBuses);
}

v3_result MAudioPluginVST3Adapter::initialize(v3_funknown** context) {
    return Guarded("MAudioPluginVST3Adapter::initialize", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        if (context != nullptr) {
            v3_host_application** application = nullptr;
            if (v3_cpp_obj_query_interface(context, v3_host_application_iid, &application) == V3_OK &&
                application != nullptr) {
                v3_str_128 name = {};
                if (v3_cpp_obj(application)->get_name(application, name) == V3_OK) hostName_ = FromUtf16(name, 128);
                v3_cpp_obj_unref(application);
            }
        }
        plugin_->SetHostAdapter(this);
        plugin_->SetHostChannels(2, 2);
        plugin_->SetHostSampleRate(44100.0);
        plugin_->InitProcessing();
        return V3_OK;
    });
}

v3_result MAudioPluginVST3Adapter::terminate() {
    return Guarded("MAudioPluginVST3Adapter::terminate", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        plugin_->SetHostAdapter(nullptr);
        return V3_OK;
    });
}

int32_t MAudioPluginVST3Adapter::getBusCount(int32_t type, int32_t direction) const {
    if (type == V3_AUDIO) return direction == V3_INPUT ? InputBusCount() : 1;
    return direction == V3_INPUT ? 1 : 0;  // receives MIDI, sends none
}

v3_result MAudioPluginVST3Adapter::getBusInfo(int32_t type, int32_t direction, int32_t index, v3_bus_info* info) const {
    if (info == nullptr || index < 0 || index >= getBusCount(type, direction)) return V3_INVALID_ARG;
    *info = v3_bus_info{};
    info->media_type = type;
    info->direction = direction;
    if (type == V3_EVENT) {
        info->channel_count = 16;
        CopyUtf16("Midi In", info->bus_name, 128);
        info->bus_type = V3_MAIN;
        info->flags = V3_DEFAULT_ACTIVE;
        return V3_OK;
    }
    const bool input = direction == V3_INPUT;
    info->channel_count = ChannelCount(input ? inputArrangement_ : outputArrangement_);
    const bool sidechain = input && index == 1;
    CopyUtf16(sidechain ? "Sidechain" : input ? "Stereo In" : "Stereo Out", info->bus_name, 128);
    info->bus_type = sidechain ? V3_AUX : V3_MAIN;
    info->flags = sidechain ? 0 : V3_DEFAULT_ACTIVE;
    return V3_OK;
}

v3_result MAudioPluginVST3Adapter::activateBus(int32_t type, int32_t direction, int32_t index, bool) {
    // Whatever buffers the host passes are used; an inactive side-chain reads silence.
    return index < 0 || index >= getBusCount(type, direction) ? V3_INVALID_ARG : V3_OK;
}

v3_result MAudioPluginVST3Adapter::setActive(bool state) {
    return Guarded("MAudioPluginVST3Adapter::setActive", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        activating_ = true;
        if (state) plugin_->InitProcessing();
        activating_ = false;
        return V3_OK;
    });
}

v3_result MAudioPluginVST3Adapter::setState(v3_bstream** stream) {
    return Guarded("MAudioPluginVST3Adapter::setState", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        if (stream == nullptr) return V3_INVALID_ARG;
        std::vector<uint8_t> bytes;
        uint8_t block[1024];
        for (;;) {
            int32_t got = 0;
            if (v3_cpp_obj(stream)->read(stream, block, sizeof block, &got) != V3_OK || got <= 0) break;
            bytes.insert(bytes.end(), block, block + std::min<int32_t>(got, sizeof block));
            if (bytes.size() > MaxStateBytes) break;
        }
        // An empty, truncated or foreign stream leaves the state as it was (logged by the reader).
        return !bytes.empty() && plugin_->ReadChunk(bytes.data(), bytes.size()) ? V3_OK : V3_FALSE;
    });
}

v3_result MAudioPluginVST3Adapter::getState(v3_bstream** stream) {
    return Guarded("MAudioPluginVSTAdapter::getState", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        if (stream == nullptr) return V3_INVALID_ARG;
        std::vector<uint8_t> bytes = plugin_->WriteChunk();  // the same bytes as the VST 2.4 chunk
        for (size_t at = 0; at < bytes.size();) {
            int32_t written = 0;
            const auto piece = static_cast<int32_t>(std::min<size_t>(bytes.size() - at, 1 << 20));
            if (v3_cpp_obj(stream)->write(stream, bytes.data() + at, piece, &written) != V3_OK || written <= 0)
                return V3_FALSE;
            at += static_cast<size_t>(written);
        }
        return V3_OK;
    });
}

v3_result MAudioPluginVST3Adapter::setBusArrangements(const v3_speaker_arrangement* inputs, int32_t n,
                                                      const v3_speaker_arrangement* outputs, int32_t m) {
    return Guarded("MAudioPluginVSTAdapter::setBusArrangements", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        const int32_t perBus = plugin_->Channels().channelsPerBus;
        // Each direction on its own: a supported request is applied even when the
        // other direction is refused or unchanged.
        // Every bus of a direction has the one arrangement: a request that
        // gives the buses different ones is refused, so that what
        // getBusArrangement reports is always what was accepted.
        auto choose = [&](const v3_speaker_arrangement* requested, int32_t count, v3_speaker_arrangement& current) {
            if (requested == nullptr || count <= 0) return true;
            for (int32_t i = 1; i < count; ++i)
                if (requested[i] != requested[0]) return false;
            if (ChannelCount(requested[0]) > perBus) return false;
            current = requested[0];
            return true;
        };
        const bool inputsTaken = choose(inputs, n, inputArrangement_);
        const bool outputsTaken = choose(outputs, m, outputArrangement_);
        if (plugin_->SetHostChannels(ChannelCount(inputArrangement_), ChannelCount(outputArrangement_)))
            plugin_->InitProcessing();
        return inputsTaken && outputsTaken ? V3_OK : V3_FALSE;
    });
}

v3_result MAudioPluginVST3Adapter::getBusArrangement(int32_t direction, int32_t index,
                                                     v3_speaker_arrangement* arrangement) const {
    if (arrangement == nullptr || index < 0 || index >= getBusCount(V3_AUDIO, direction)) return V3_INVALID_ARG;
    *arrangement = direction == V3_INPUT ? inputArrangement_ : outputArrangement_;
    return V3_OK;
}

uint32_t MAudioPluginVST3Adapter::getLatencySamples() { return static_cast<uint32_t>(std::max(plugin_->Latency(), 0)); }

v3_result MAudioPluginVST3Adapter::setupProcessing(const v3_process_setup* setup) {
    return Guarded("MAudioPluginVSTAdapter::setupProcessing", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        if (setup == nullptr) return V3_INVALID_ARG;
        if (setup->max_block_size > 0) plugin_->SetMaxBlockSize(setup->max_block_size);
        if (setup->sample_rate > 100.0) {
            plugin_->SetHostSampleRate(corvane::RoundHalfUp(setup->sample_rate));
            plugin_->InitProcessing();
        }
        return canProcessSampleSize(setup->symbolic_sample_size);
    });
}

void MAudioPluginVST3Adapter::ApplyParameterChange(v3_param_id id, double value) {
    if (id == BypassId) {
        plugin_->SetBypassed(value > 0.5);
    } else if (id < MIDIControllerBase) {
        if (!corvane::ReportToHost::Echoing(this))
            plugin_->Parameters().SetParameter(static_cast<int32_t>(id), value, false);
    } else if (id < MIDIControllerBase + MIDIControllerCount) {
        midiControllers_[id - MIDIControllerBase].Store(value);
        if (id == PitchBendId)
            plugin_->ProcessPitchBend(0, plugin_->songPosition, 0, value * 2.0 - 1.0);
        else
            plugin_->ProcessMIDIController(0, plugin_->songPosition, 0, static_cast<uint8_t>(id - MIDIControllerBase),
                                           value);
    }
}

void MAudioPluginVST3Adapter::ReadTransport(const v3_process_context* c) {
    if (c == nullptr) {
        transport_.Apply(*plugin_, nullptr);
        return;
    }
    corvane::HostTransport t;
    t.positionValid = (c->state & V3_PROCESS_CTX_PROJECT_TIME_VALID) != 0;
    t.tempoValid = (c->state & V3_PROCESS_CTX_TEMPO_VALID) != 0;
    t.timeSignatureValid = (c->state & V3_PROCESS_CTX_TIME_SIG_VALID) != 0;
    t.barValid = (c->state & V3_PROCESS_CTX_BAR_POSITION_VALID) != 0;
    t.cycleActive = (c->state & V3_PROCESS_CTX_CYCLE_ACTIVE) != 0;
    t.playing = (c->state & V3_PROCESS_CTX_PLAYING) != 0;
    t.position = c->project_time_quarters;
    t.tempo = c->bpm;
    t.numerator = c->time_sig_numerator;
    t.denominator = c->time_sig_denom;
    t.barStart = c->bar_position_quarters;
    t.cycleStart = c->cycle_start_quarters;
    t.cycleEnd = c->cycle_end_quarters;
    t.samplePosition = static_cast<double>(c->project_time_in_samples);
    transport_.Apply(*plugin_, &t);
}

void MAudioPluginVST3Adapter::DeliverEvents(v3_event_list** events) {
    if (events == nullptr) return;
    const uint32_t count = v3_cpp_obj(events)->get_event_count(events);
    const double rate = std::max(plugin_->ProcessingSampleRate(), 1.0);
    for (uint32_t i = 0; i < count; ++i) {
        v3_event event{};
        if (v3_cpp_obj(events)->get_event(events, static_cast<int32_t>(i), &event) != V3_OK) continue;
        const bool synchronised = plugin_->HostSynchronisation() && plugin_->Context().transportValid;
        const double position =
            synchronised ? plugin_->songPosition + event.sample_offset * plugin_->tempo / (rate * 60.0) : 0.0;
        if (event.type == V3_EVENT_NOTE_ON || event.type == V3_EVENT_NOTE_OFF) {
            corvane::MIDINoteEvent note;
            note.deltaFrames = event.sample_offset;
            note.position = position;
            note.on = event.type == V3_EVENT_NOTE_ON;
            note.channel = static_cast<uint8_t>((note.on ? event.note_on.channel : event.note_off.channel) & 0x0F);
            note.note = static_cast<uint8_t>((note.on ? event.note_on.pitch : event.note_off.pitch) & 0x7F);
            note.velocity = note.on ? event.note_on.velocity : event.note_off.velocity;
            plugin_->ProcessNotePerform(note);
        } else if (event.type == V3_EVENT_DATA && event.data.bytes != nullptr && event.data.size >= 3) {
            plugin_->ProcessMIDIEvent(event.sample_offset, event.data.bytes);
        }
    }
}

v3_result MAudioPluginVST3Adapter::process(v3_process_data* data) {
    return Guarded("MAudioPluginVST3Adapter::process", static_cast<v3_result>(V3_OK), [&]() -> v3_result {
        if (data == nullptr || data->nframes <= 0) return V3_OK;
        SONVERA_AUDIO_THREAD(plugin_->AudioThread(), "MAudioPluginVST3Adapter::process");
        // Only the last point of each queue counts: the value at the end of the block.
        if (v3_param_changes** changes = data->input_params) {
            const int32_t count = v3_cpp_obj(changes)->get_param_count(changes);
            for (int32_t i = 0; i < count; ++i) {
                v3_param_value_queue** queue = v3_cpp_obj(changes)->get_param_data(changes, i);
                if (queue == nullptr) continue;
                const int32_t points = v3_cpp_obj(queue)->get_point_count(queue);
                int32_t offset = 0;
                double value = 0.0;
                if (points > 0 && v3_cpp_obj(queue)->get_point(queue, points - 1, &offset, &value) == V3_OK)
                    ApplyParameterChange(v3_cpp_obj(queue)->get_param_id(queue), value);
            }
        }
        ReadTransport(data->ctx);
        plugin_->sampleRate = plugin_->ProcessingSampleRate();
        DeliverEvents(data->input_events);

        float* in[corvane::MAudioPlugin::MaxInputBuses * BusStride] = {};
        float* out[BusStride] = {};
        for (int32_t bus = 0; bus < std::min(data->num_input_buses, corvane::MAudioPlugin::MaxInputBuses); ++bus) {
            const v3_audio_bus_buffers& buffers = data->inputs[bus];
            if (buffers.channel_buffers_32 == nullptr) continue;
            for (int32_t c = 0; c < std::min(buffers.num_channels, BusStride); ++c)
                in[bus * BusStride + c] = buffers.channel_buffers_32[c];
        }
        if (data->num_output_buses > 0 && data->outputs[0].channel_buffers_32 != nullptr)
            for (int32_t c = 0; c < std::min(data->outputs[0].num_channels, BusStride); ++c)
                out[c] = data->outputs[0].channel_buffers_32[c];
        if (data->num_input_buses > 0 || data->num_output_buses > 0) plugin_->ProcessBlock(in, out, data->nframes, 1);
        SendOutgoingChanges(data->output_params);
        return V3_OK;
    });
}

void MAudioPluginVST3Adapter::SendOutgoingChanges(v3_param_changes** changes) {
    for (OutgoingChange change; outgoing_.TryPop(change);) {
        if (changes == nullptr) continue;  // a host without an output list hears nothing this block
        int32_t index = 0;
        v3_param_value_queue** queue = v3_cpp_obj(changes)->add_param_data(changes, &change.id, &index);
        int32_t point = 0;
        if (queue != nullptr) v3_cpp_obj(queue)->add_point(queue, 0, change.value, &point);
    }
}

int32_t MAudioPluginVST3Adapter::getParameterCount() const {
    return plugin_->Parameters().ParameterCount() + MIDIControllerCount + 1;
}

v3_result MAudioPluginVST3Adapter::getParameterInfo(int32_t index, v3_param_info* info) {
    return Guarded("MAudioPluginVST3Adapter::getParameterInfo", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        const int32_t n = plugin_->Parameters().ParameterCount();
        if (info == nullptr || index < 0 || index >= getParameterCount()) return V3_INVALID_ARG;
        *info = v3_param_info{};
        std::string title;
        if (index < n) {
            corvane::MParameterRegistry& parameters = plugin_->Parameters();
            info->param_id = static_cast<v3_param_id>(index);
            title = parameters.GetParameterLabel(index);
            CopyUtf16(parameters.GetParameterName(index), info->short_title, 128);
            CopyUtf16(parameters.GetParameterUnitsName(index), info->units, 128);
            int32_t minimum = 0, maximum = 0;
            info->step_count =
                parameters.GetParameterIntegerRange(index, minimum, maximum) && minimum == 0 && maximum == 1 ? 1 : 0;
            info->default_normalised_value = parameters.GetParameterDefaultValue(index);
            info->flags = V3_PARAM_CAN_AUTOMATE;
        } else if (index < n + MIDIControllerCount) {
            info->param_id = MIDIControllerBase + static_cast<v3_param_id>(index - n);
            title = "Controller " + std::to_string(index - n + 1);
            CopyUtf16(title, info->short_title, 128);
        } else {
            info->param_id = BypassId;
            title = "Bypass";
            CopyUtf16(title, info->short_title, 128);
            info->step_count = 1;
            info->flags = V3_PARAM_CAN_AUTOMATE | V3_PARAM_IS_BYPASS;
        }
        CopyUtf16(title, info->title, 128);
        return V3_OK;
    });
}

v3_result MAudioPluginVST3Adapter::getParamStringByValue(v3_param_id id, double value, int16_t* text) {
    return Guarded("MAudioPluginVST3Adapter::getParamStringByValue", static_cast<v3_result>(V3_FALSE),
                   [&]() -> v3_result {
                       if (text == nullptr) return V3_INVALID_ARG;
                       std::string shown;
                       if (id == BypassId)
                           shown = value > 0.5 ? "On" : "Off";
                       else if (id < static_cast<v3_param_id>(plugin_->Parameters().ParameterCount()))
                           shown = plugin_->Parameters().GetParameterValueNameFrom01(static_cast<int32_t>(id), value);
                       else if (id >= MIDIControllerBase && id < MIDIControllerBase + MIDIControllerCount)
                           shown = std::to_string(static_cast<int>(std::lround(value * 127.0)));
                       else
                           return V3_INVALID_ARG;
                       CopyUtf16(shown, text, 128);
                       return V3_OK;
                   });
}

v3_result MAudioPluginVST3Adapter::getParamValueByString(v3_param_id id, const int16_t* text, double* value) {
    return Guarded("MAudioPluginVST3Adapter::getParamValueByString", static_cast<v3_result>(V3_FALSE),
                   [&]() -> v3_result {
                       if (text == nullptr || value == nullptr) return V3_INVALID_ARG;
                       if (id >= static_cast<v3_param_id>(plugin_->Parameters().ParameterCount())) return V3_FALSE;
                       const std::string typed = FromUtf16(text, 128);
                       const auto index = static_cast<int32_t>(id);
                       if (!plugin_->Parameters().CanParseParameterValueName(index, typed)) return V3_FALSE;
                       *value = plugin_->Parameters().ParseParameterValueName(index, typed);
                       return V3_OK;
                   });
}

double MAudioPluginVST3Adapter::getParamNormalized(v3_param_id id) {
    return Guarded("MAudioPluginVST3Adapter::getParamNormalized", 0.0, [&]() -> double {
        if (id == BypassId) return plugin_->Bypassed() ? 1.0 : 0.0;
        if (id >= MIDIControllerBase && id < MIDIControllerBase + MIDIControllerCount)
            return midiControllers_[id - MIDIControllerBase].Load();
        return plugin_->Parameters().GetParameter(static_cast<int32_t>(id));
    });
}

v3_result MAudioPluginVST3Adapter::setParamNormalized(v3_param_id id, double value) {
    return Guarded("MAudioPluginVST3Adapter::setParamNormalized", static_cast<v3_result>(V3_FALSE), [&]() -> v3_result {
        if (id == BypassId) {
            plugin_->SetBypassed(value > 0.5);
        } else if (id >= MIDIControllerBase && id < MIDIControllerBase + MIDIControllerCount) {
            midiControllers_[id - MIDIControllerBase].Store(value);
        } else if (id < static_cast<v3_param_id>(plugin_->Parameters().ParameterCount())) {
            plugin_->Parameters().SetParameter(static_cast<int32_t>(id), value, false);
        } else {
            return V3_INVALID_ARG;
        }
        return V3_OK;
    });
}

v3_result MAudioPluginVST3Adapter::setComponentHandler(v3_component_handler** handler) {
    if (handler != nullptr) v3_cpp_obj_ref(handler);
    if (handler_ != nullptr) v3_cpp_obj_unref(handler_);
    handler_ = handler;
    return V3_OK;
}

v3_result MAudioPluginVST3Adapter::getMidiControllerAssignment(int32_t, int16_t, int16_t controller, v3_param_id* id) {
    if (id == nullptr || controller < 0 || controller >= MIDIControllerCount) return V3_FALSE;
    *id = MIDIControllerBase + static_cast<v3_param_id>(controller);
    return V3_OK;
}

void MAudioPluginVST3Adapter::SendAutomation(int32_t index, double value) {
    if (index < 0 || index >= plugin_->Parameters().ParameterCount()) return;
    if (plugin_->InsideBlock()) {
        outgoing_.TryPush({static_cast<v3_param_id>(index), value});  // a full list drops the change
        return;
    }
    if (handler_ == nullptr) return;
    const corvane::ReportToHost reporting(this);
    v3_cpp_obj(handler_)->perform_edit(handler_, static_cast<v3_param_id>(index), value);
}

void MAudioPluginVST3Adapter::BeginEdit(int32_t index) {
    if (handler_ != nullptr && index >= 0 && index < plugin_->Parameters().ParameterCount())
        v3_cpp_obj(handler_)->begin_edit(handler_, static_cast<v3_param_id>(index));
}

void MAudioPluginVST3Adapter::EndEdit(int32_t index) {
    if (handler_ != nullptr && index >= 0 && index < plugin_->Parameters().ParameterCount())
        v3_cpp_obj(handler_)->end_edit(handler_, static_cast<v3_param_id>(index));
}

void MAudioPluginVST3Adapter::SendBypassAutomation(bool bypassed) {
    corvane::GuardedVoid("MAudioPluginVSTAdapter::SendBypassAutomation", [&] {
        if (handler_ != nullptr) v3_cpp_obj(handler_)->perform_edit(handler_, BypassId, bypassed ? 1.0 : 0.0);
    });
}

void MAudioPluginVST3Adapter::GenerateMIDIEvent(int32_t, const uint8_t*, int32_t) {}  // no event output bus

void MAudioPluginVST3Adapter::ReportLatency(int32_t) {
    corvane::GuardedVoid("MAudioPluginVST3Adapter::ReportLatency", [&] {
        if (activating_ || handler_ == nullptr) return;
        v3_cpp_obj(handler_)->restart_component(handler_, V3_RESTART_LATENCY_CHANGED);
    });
}

bool MAudioPluginVST3Adapter::ChangeEditorSize(int32_t width, int32_t height) {
    return corvane::Guarded("MAudioPluginVST3Adapter::ChangeEditorSize", false,
                            [&] { return view_ != nullptr && ResizeView(view_, width, height); });
}

}  // namespace Vst3
