// The VST3 side of the renderer's host: a ".vst3" bundle through its
// factory, one component, parameter changes handed over with each block.

#include <dlfcn.h>

#include <cmath>
#include <stdexcept>

#include "hosts/vst3/Vst3HostObjects.h"
#include "tools/render/PluginHost.h"

namespace render {
namespace {

// The library inside a bundle, for the machine we run on.
std::string BundleLibrary(const std::string& bundle) {
    const size_t slash = bundle.find_last_of('/', bundle.size() - 2);
    const std::string name = bundle.substr(slash == std::string::npos ? 0 : slash + 1);
    return bundle + "/Contents/x86_64-linux/" + name.substr(0, name.size() - 5) + ".so";
}

// Notes as note events, everything else as MIDI data.
v3_event Vst3Event(const MidiMessage& m) {
    v3_event event{};
    event.sample_offset = static_cast<int32_t>(m.frame);
    const uint8_t kind = m.bytes[0] & 0xF0;
    const auto channel = static_cast<int16_t>(m.bytes[0] & 0x0F);
    if (kind == 0x90 && m.bytes[2] > 0) {
        event.type = V3_EVENT_NOTE_ON;
        event.note_on = {channel, m.bytes[1], 0.0f, m.bytes[2] / 127.0f, 0, -1};
    } else if (kind == 0x80 || kind == 0x90) {
        event.type = V3_EVENT_NOTE_OFF;
        event.note_off = {channel, m.bytes[1], m.bytes[2] / 127.0f, -1, 0.0f};
    } else {
        event.type = V3_EVENT_DATA;
        event.data = {3, 0, m.bytes};
    }
    return event;
}

class Vst3PluginHost : public PluginHost {
public:
    Vst3PluginHost(const std::string& bundle, double sampleRate, int32_t blockSize) {
        const std::string path = BundleLibrary(bundle);
        library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library_ == nullptr) throw std::runtime_error("cannot load the plug-in " + bundle + ": " + dlerror());
        if (auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(library_, "ModuleEntry"))) entry(library_);
        auto get = reinterpret_cast<void* (*)()>(dlsym(library_, "GetPluginFactory"));
        auto** factory = get != nullptr ? static_cast<v3_plugin_factory**>(get()) : nullptr;
        if (factory == nullptr) throw std::runtime_error(bundle + " is not a VST3 bundle (no GetPluginFactory)");
        v3_class_info info{};
        void* object = nullptr;
        if (v3_cpp_obj(factory)->get_class_info(factory, 0, &info) != V3_OK ||
            v3_cpp_obj(factory)->create_instance(factory, info.class_id, v3_component_iid, &object) != V3_OK)
            throw std::runtime_error("the plug-in " + bundle + " did not start");
        component_ = static_cast<v3_component**>(object);
        v3_cpp_obj_initialize(component_, application_.Pointer());
        if (v3_cpp_obj_query_interface(component_, v3_audio_processor_iid, &processor_) != V3_OK ||
            v3_cpp_obj_query_interface(component_, v3_edit_controller_iid, &controller_) != V3_OK)
            throw std::runtime_error("the plug-in " + bundle + " is not a processor and controller in one");
        v3_process_setup setup{V3_OFFLINE, V3_SAMPLE_32, blockSize, sampleRate};
        v3_cpp_obj(processor_)->setup_processing(processor_, &setup);
        v3_cpp_obj(component_)->activate_bus(component_, V3_AUDIO, V3_INPUT, 1, true);
        v3_cpp_obj(component_)->set_active(component_, true);
        v3_cpp_obj(processor_)->set_processing(processor_, true);
        const int32_t all = v3_cpp_obj(controller_)->get_parameter_count(controller_);
        for (int32_t i = 0; i < all; ++i) {
            v3_param_info p{};
            // Identifiers from 10000 on are MIDI controllers and bypass: not settings.
            if (v3_cpp_obj(controller_)->get_parameter_info(controller_, i, &p) == V3_OK && p.param_id < 10000)
                parameters_.push_back(p);
        }
    }

    ~Vst3PluginHost() override {
        if (component_ != nullptr) {
            if (processor_ != nullptr) v3_cpp_obj(processor_)->set_processing(processor_, false);
            v3_cpp_obj(component_)->set_active(component_, false);
            if (controller_ != nullptr) v3_cpp_obj_unref(controller_);
            if (processor_ != nullptr) v3_cpp_obj_unref(processor_);
            v3_cpp_obj_terminate(component_);
            v3_cpp_obj_unref(component_);
        }
        if (library_ != nullptr) {
            if (auto exit = reinterpret_cast<bool (*)()>(dlsym(library_, "ModuleExit"))) exit();
            dlclose(library_);
        }
    }
    Vst3PluginHost(const Vst3PluginHost&) = delete;
    Vst3PluginHost& operator=(const Vst3PluginHost&) = delete;

    int32_t ParameterCount() const override { return static_cast<int32_t>(parameters_.size()); }
    int32_t Latency() const override {
        return static_cast<int32_t>(v3_cpp_obj(processor_)->get_latency_samples(processor_));
    }

    ParameterInfo Parameter(int32_t index) const override {
        const v3_param_info& p = parameters_.at(static_cast<size_t>(index));
        v3_str_128 shown = {};
        v3_cpp_obj(controller_)
            ->get_parameter_string_for_value(controller_, p.param_id,
                                             v3_cpp_obj(controller_)->get_parameter_normalised(controller_, p.param_id),
                                             shown);
        const std::string title = Vst3::FromUtf16(p.title, 128);
        return {index,
                Vst3::FromUtf16(p.short_title, 128),
                title,
                Vst3::FromUtf16(shown, 128),
                Vst3::FromUtf16(p.units, 128),
                title};
    }

    bool SetText(int32_t index, const std::string& text) override {
        v3_str_128 typed = {};
        Vst3::CopyUtf16(text, typed, 128);
        double value = 0.0;
        const v3_param_id id = parameters_.at(static_cast<size_t>(index)).param_id;
        if (v3_cpp_obj(controller_)->get_parameter_value_for_string(controller_, id, typed, &value) != V3_OK)
            return false;
        SetNormalised(index, static_cast<float>(value));
        return true;
    }

    // As a host does: the controller shows the value, the next block applies it.
    void SetNormalised(int32_t index, float value) override {
        const v3_param_id id = parameters_.at(static_cast<size_t>(index)).param_id;
        v3_cpp_obj(controller_)->set_parameter_normalised(controller_, id, value);
        pending_.Add(id, {{0, value}});
    }

    std::vector<uint8_t> GetState() const override {
        Vst3::MemoryStream stream;
        v3_cpp_obj(component_)->get_state(component_, stream.Pointer());
        return stream.bytes;
    }

    bool SetState(const std::vector<uint8_t>& bytes) override {
        Vst3::MemoryStream stream;
        stream.bytes = bytes;
        return v3_cpp_obj(component_)->set_state(component_, stream.Pointer()) == V3_OK;
    }

    void Process(float* const carrier[2], float* const modulator[2], float* output[2], int32_t frames) override {
        float* main[2] = {carrier[0], carrier[1]};
        float* side[2] = {modulator[0], modulator[1]};
        Vst3::StereoBlock block(main, side, output, frames);
        block.data.process_mode = V3_OFFLINE;
        block.data.input_params = pending_.Pointer();
        Vst3::EventList events;
        for (const MidiMessage& m : midi_) events.events.push_back(Vst3Event(m));
        if (!events.events.empty()) block.data.input_events = events.Pointer();
        v3_process_context context{};
        if (transport_.Running()) {
            context.state = V3_PROCESS_CTX_PLAYING | V3_PROCESS_CTX_PROJECT_TIME_VALID | V3_PROCESS_CTX_TEMPO_VALID;
            context.sample_rate = transport_.SampleRate();
            context.project_time_in_samples = transport_.Samples();
            context.project_time_quarters = transport_.QuarterNotes();
            context.bpm = transport_.Tempo();
            block.data.ctx = &context;
        }
        v3_cpp_obj(processor_)->process(processor_, &block.data);
        transport_.Advance(frames);
        pending_.queues.clear();
        midi_.clear();
    }

private:
    void* library_ = nullptr;
    v3_component** component_ = nullptr;
    v3_audio_processor** processor_ = nullptr;
    v3_edit_controller** controller_ = nullptr;
    Vst3::HostApplication application_;
    Vst3::ParameterChanges pending_;
    std::vector<v3_param_info> parameters_;
};

}  // namespace

std::unique_ptr<PluginHost> OpenVst3(const std::string& bundle, double sampleRate, int32_t blockSize) {
    return std::make_unique<Vst3PluginHost>(bundle, sampleRate, blockSize);
}

}  // namespace render
