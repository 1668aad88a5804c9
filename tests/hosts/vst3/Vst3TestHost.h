#pragma once
// A minimal VST3 host for tests: it knows only the bundle and the published
// interfaces.

#include "hosts/vst3/Vst3HostObjects.h"
#include "tests/support/SharedLibrary.h"

namespace sonvera_test {

using Vst3::ComponentHandler;
using Vst3::EventList;
using Vst3::HostApplication;
using Vst3::MemoryStream;
using Vst3::ParameterChanges;

// The bundle's library and its factory.
class Vst3TestHost {
public:
    // Linux hosts call ModuleEntry/ModuleExit, Windows hosts InitDll/ExitDll.
    explicit Vst3TestHost(const char* path = SONVERA_VST3_PATH) : library_(path) {
        if (!library_.Loaded()) return;
#ifdef _WIN32
        if (auto entry = library_.Symbol<bool (*)()>("InitDll")) entry();
#else
        if (auto entry = library_.Symbol<bool (*)(void*)>("ModuleEntry")) entry(library_.Handle());
#endif
        if (auto get = library_.Symbol<void* (*)()>("GetPluginFactory"))
            factory = static_cast<v3_plugin_factory**>(get());
    }
    ~Vst3TestHost() {
#ifdef _WIN32
        if (auto exit = library_.Symbol<bool (*)()>("ExitDll")) exit();
#else
        if (auto exit = library_.Symbol<bool (*)()>("ModuleExit")) exit();
#endif
    }

    // One instance, set up as hosts do: initialised, 48 kHz, stereo, active.
    struct Instance {
        v3_component** component = nullptr;
        v3_audio_processor** processor = nullptr;
        v3_edit_controller** controller = nullptr;
        HostApplication application;

        v3_result Process(float** inputs, int inputChannels, float** side, float** outputs, int frames,
                          v3_param_changes** changes = nullptr, v3_event_list** events = nullptr,
                          v3_process_context* context = nullptr) {
            Vst3::StereoBlock block(inputs, side, outputs, frames);
            block.buses[0].num_channels = inputChannels;
            block.data.input_params = changes;
            block.data.input_events = events;
            block.data.ctx = context;
            return v3_cpp_obj(processor)->process(processor, &block.data);
        }
    };

    Instance* Open(double rate = 48000.0, int32_t maxBlock = 512) {
        auto* instance = new Instance();
        void* object = nullptr;
        if (factory == nullptr ||
            v3_cpp_obj(factory)->create_instance(factory, Vst3ClassId(), v3_component_iid, &object) != V3_OK) {
            delete instance;
            return nullptr;
        }
        instance->component = static_cast<v3_component**>(object);
        v3_cpp_obj_initialize(instance->component, instance->application.Pointer());
        v3_cpp_obj_query_interface(instance->component, v3_audio_processor_iid, &instance->processor);
        v3_cpp_obj_query_interface(instance->component, v3_edit_controller_iid, &instance->controller);
        v3_process_setup setup{V3_REALTIME, V3_SAMPLE_32, maxBlock, rate};
        v3_cpp_obj(instance->processor)->setup_processing(instance->processor, &setup);
        v3_cpp_obj(instance->component)->activate_bus(instance->component, V3_AUDIO, V3_INPUT, 1, true);
        v3_cpp_obj(instance->component)->set_active(instance->component, true);
        v3_cpp_obj(instance->processor)->set_processing(instance->processor, true);
        return instance;
    }

    // Released in the order hosts do it: interfaces first, the component last.
    static void Close(Instance* instance) {
        v3_cpp_obj(instance->processor)->set_processing(instance->processor, false);
        v3_cpp_obj(instance->component)->set_active(instance->component, false);
        v3_cpp_obj_unref(instance->controller);
        v3_cpp_obj_unref(instance->processor);
        v3_cpp_obj_terminate(instance->component);
        v3_cpp_obj_unref(instance->component);
        delete instance;
    }

    static const uint8_t* Vst3ClassId() {
        static const v3_tuid id = {'r', 'o', 'u', 'Q', 'h', 't', 'i', 'l', 'S', 'o', 'n', 'v', 'S', 'o', 'n', 'v'};
        return id;
    }

    v3_plugin_factory** factory = nullptr;

private:
    SharedLibrary library_;
};

}  // namespace sonvera_test
