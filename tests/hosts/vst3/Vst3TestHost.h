#pragma once
// A minimal VST3 host for tests: it knows only the bundle and the published
// interfaces. Its own objects (host application, streams, parameter changes,
// event lists, component handler) are plain structs behind function tables.

#include <dlfcn.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hosts/vst3/Vst3Interface.h"

namespace sonvera_test {

// The interface pointer a host object hands out: the address of its table pointer.
template <class Interface, class Object>
Interface** InterfaceOf(Object& object) {
    return static_cast<Interface**>(const_cast<void*>(static_cast<const void*>(&object.table)));
}

// Host objects are owned by the test and live on the stack: counting is moot.
inline uint32_t V3_API HostRef(void*) { return 1; }

template <class Object>
v3_result V3_API HostQuery(void* self, const v3_tuid iid, void** object) {
    if (Vst3::SameId(iid, v3_funknown_iid) || Vst3::SameId(iid, Object::Iid())) {
        *object = self;
        return V3_OK;
    }
    *object = nullptr;
    return V3_NO_INTERFACE;
}

struct HostApplication {
    struct Table {
        v3_funknown unknown;
        v3_host_application application;
    };
    static const uint8_t* Iid() { return v3_host_application_iid; }
    const Table* table = &Vtable();
    static const Table& Vtable() {
        static const Table t = {{HostQuery<HostApplication>, HostRef, HostRef},
                                {[](void*, v3_str_128 name) -> v3_result {
                                     Vst3::CopyUtf16("Sonvera test host", name, 128);
                                     return V3_OK;
                                 },
                                 [](void*, v3_tuid, v3_tuid, void**) -> v3_result { return V3_NOT_IMPLEMENTED; }}};
        return t;
    }
    v3_funknown** Pointer() { return InterfaceOf<v3_funknown>(*this); }
};

struct MemoryStream {
    struct Table {
        v3_funknown unknown;
        v3_bstream stream;
    };
    static const uint8_t* Iid() { return v3_bstream_iid; }
    const Table* table = &Vtable();
    std::vector<uint8_t> bytes;
    size_t position = 0;
    static MemoryStream& Of(void* self) { return *static_cast<MemoryStream*>(self); }
    static const Table& Vtable() {
        static const Table t = {{HostQuery<MemoryStream>, HostRef, HostRef},
                                {[](void* self, void* buffer, int32_t n, int32_t* got) -> v3_result {
                                     MemoryStream& s = Of(self);
                                     const size_t count =
                                         std::min(static_cast<size_t>(std::max(n, 0)), s.bytes.size() - s.position);
                                     std::memcpy(buffer, s.bytes.data() + s.position, count);
                                     s.position += count;
                                     if (got != nullptr) *got = static_cast<int32_t>(count);
                                     return V3_OK;
                                 },
                                 [](void* self, void* buffer, int32_t n, int32_t* written) -> v3_result {
                                     MemoryStream& s = Of(self);
                                     const auto* in = static_cast<const uint8_t*>(buffer);
                                     s.bytes.insert(s.bytes.begin() + static_cast<long>(s.position), in, in + n);
                                     s.position += static_cast<size_t>(n);
                                     if (written != nullptr) *written = n;
                                     return V3_OK;
                                 },
                                 [](void* self, int64_t to, int32_t mode, int64_t* result) -> v3_result {
                                     MemoryStream& s = Of(self);
                                     const int64_t base = mode == V3_SEEK_SET   ? 0
                                                          : mode == V3_SEEK_CUR ? static_cast<int64_t>(s.position)
                                                                                : static_cast<int64_t>(s.bytes.size());
                                     s.position = static_cast<size_t>(std::min<int64_t>(
                                         std::max<int64_t>(base + to, 0), static_cast<int64_t>(s.bytes.size())));
                                     if (result != nullptr) *result = static_cast<int64_t>(s.position);
                                     return V3_OK;
                                 },
                                 [](void* self, int64_t* at) -> v3_result {
                                     *at = static_cast<int64_t>(Of(self).position);
                                     return V3_OK;
                                 }}};
        return t;
    }
    v3_bstream** Pointer() { return InterfaceOf<v3_bstream>(*this); }
};

// One queue of points for one parameter.
struct ParameterQueue {
    struct Table {
        v3_funknown unknown;
        v3_param_value_queue queue;
    };
    static const uint8_t* Iid() { return v3_param_value_queue_iid; }
    const Table* table = &Vtable();
    v3_param_id id = 0;
    std::vector<std::pair<int32_t, double>> points;
    static ParameterQueue& Of(void* self) { return *static_cast<ParameterQueue*>(self); }
    static const Table& Vtable() {
        static const Table t = {{HostQuery<ParameterQueue>, HostRef, HostRef},
                                {[](void* self) { return Of(self).id; },
                                 [](void* self) { return static_cast<int32_t>(Of(self).points.size()); },
                                 [](void* self, int32_t i, int32_t* offset, double* value) -> v3_result {
                                     ParameterQueue& q = Of(self);
                                     if (i < 0 || i >= static_cast<int32_t>(q.points.size())) return V3_INVALID_ARG;
                                     *offset = q.points[static_cast<size_t>(i)].first;
                                     *value = q.points[static_cast<size_t>(i)].second;
                                     return V3_OK;
                                 },
                                 [](void* self, int32_t offset, double value, int32_t* index) -> v3_result {
                                     ParameterQueue& q = Of(self);
                                     q.points.emplace_back(offset, value);
                                     if (index != nullptr) *index = static_cast<int32_t>(q.points.size()) - 1;
                                     return V3_OK;
                                 }}};
        return t;
    }
};

struct ParameterChanges {
    struct Table {
        v3_funknown unknown;
        v3_param_changes changes;
    };
    static const uint8_t* Iid() { return v3_param_changes_iid; }
    const Table* table = &Vtable();
    std::vector<ParameterQueue> queues;
    static ParameterChanges& Of(void* self) { return *static_cast<ParameterChanges*>(self); }
    static const Table& Vtable() {
        static const Table t = {{HostQuery<ParameterChanges>, HostRef, HostRef},
                                {[](void* self) { return static_cast<int32_t>(Of(self).queues.size()); },
                                 [](void* self, int32_t i) -> v3_param_value_queue** {
                                     ParameterChanges& c = Of(self);
                                     if (i < 0 || i >= static_cast<int32_t>(c.queues.size())) return nullptr;
                                     return InterfaceOf<v3_param_value_queue>(c.queues[static_cast<size_t>(i)]);
                                 },
                                 [](void* self, v3_param_id* id, int32_t* index) -> v3_param_value_queue** {
                                     ParameterChanges& c = Of(self);
                                     c.queues.emplace_back();
                                     c.queues.back().id = *id;
                                     if (index != nullptr) *index = static_cast<int32_t>(c.queues.size()) - 1;
                                     return InterfaceOf<v3_param_value_queue>(c.queues.back());
                                 }}};
        return t;
    }
    void Add(v3_param_id id, std::vector<std::pair<int32_t, double>> points) {
        queues.emplace_back();
        queues.back().id = id;
        queues.back().points = std::move(points);
    }
    v3_param_changes** Pointer() { return InterfaceOf<v3_param_changes>(*this); }
};

struct EventList {
    struct Table {
        v3_funknown unknown;
        v3_event_list list;
    };
    static const uint8_t* Iid() { return v3_event_list_iid; }
    const Table* table = &Vtable();
    std::vector<v3_event> events;
    static EventList& Of(void* self) { return *static_cast<EventList*>(self); }
    static const Table& Vtable() {
        static const Table t = {{HostQuery<EventList>, HostRef, HostRef},
                                {[](void* self) { return static_cast<uint32_t>(Of(self).events.size()); },
                                 [](void* self, int32_t i, v3_event* event) -> v3_result {
                                     EventList& l = Of(self);
                                     if (i < 0 || i >= static_cast<int32_t>(l.events.size())) return V3_INVALID_ARG;
                                     *event = l.events[static_cast<size_t>(i)];
                                     return V3_OK;
                                 },
                                 [](void* self, v3_event* event) -> v3_result {
                                     Of(self).events.push_back(*event);
                                     return V3_OK;
                                 }}};
        return t;
    }
    v3_event_list** Pointer() { return InterfaceOf<v3_event_list>(*this); }
};

struct ComponentHandler {
    struct Table {
        v3_funknown unknown;
        v3_component_handler handler;
    };
    static const uint8_t* Iid() { return v3_component_handler_iid; }
    const Table* table = &Vtable();
    std::vector<std::pair<v3_param_id, double>> edits;
    std::vector<int32_t> restarts;
    static ComponentHandler& Of(void* self) { return *static_cast<ComponentHandler*>(self); }
    static const Table& Vtable() {
        static const Table t = {{HostQuery<ComponentHandler>, HostRef, HostRef},
                                {[](void*, v3_param_id) -> v3_result { return V3_OK; },
                                 [](void* self, v3_param_id id, double value) -> v3_result {
                                     Of(self).edits.emplace_back(id, value);
                                     return V3_OK;
                                 },
                                 [](void*, v3_param_id) -> v3_result { return V3_OK; },
                                 [](void* self, int32_t flags) -> v3_result {
                                     Of(self).restarts.push_back(flags);
                                     return V3_OK;
                                 }}};
        return t;
    }
    v3_component_handler** Pointer() { return InterfaceOf<v3_component_handler>(*this); }
};

// The bundle's library and its factory.
class Vst3TestHost {
public:
    explicit Vst3TestHost(const char* path = SONVERA_VST3_PATH) {
        library_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (library_ == nullptr) return;
        auto entry = reinterpret_cast<bool (*)(void*)>(dlsym(library_, "ModuleEntry"));
        if (entry != nullptr) entry(library_);
        auto get = reinterpret_cast<void* (*)()>(dlsym(library_, "GetPluginFactory"));
        if (get != nullptr) factory = static_cast<v3_plugin_factory**>(get());
    }
    ~Vst3TestHost() {
        if (library_ == nullptr) return;
        auto exit = reinterpret_cast<bool (*)()>(dlsym(library_, "ModuleExit"));
        if (exit != nullptr) exit();
        dlclose(library_);
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
            v3_audio_bus_buffers in[2] = {}, out[1] = {};
            in[0].num_channels = inputChannels;
            in[0].channel_buffers_32 = inputs;
            in[1].num_channels = 2;
            in[1].channel_buffers_32 = side;
            out[0].num_channels = 2;
            out[0].channel_buffers_32 = outputs;
            v3_process_data data{};
            data.symbolic_sample_size = V3_SAMPLE_32;
            data.nframes = frames;
            data.num_input_buses = 2;
            data.num_output_buses = 1;
            data.inputs = in;
            data.outputs = out;
            data.input_params = changes;
            data.input_events = events;
            data.ctx = context;
            return v3_cpp_obj(processor)->process(processor, &data);
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
    void* library_ = nullptr;
};

}  // namespace sonvera_test
