#pragma once
// What a host hands a VST3 plug-in (host application, streams, parameter
// changes, event lists, component handler), as plain structs behind function
// tables: for the renderer and the tests, which host the bundle as DAWs do.
// The objects belong to their owner's scope; reference counts are moot.

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "hosts/vst3/Vst3Interface.h"

namespace Vst3 {

// The interface pointer a host object hands out: the address of its table pointer.
template <class Interface, class Object>
Interface** InterfaceOf(Object& object) {
    return static_cast<Interface**>(const_cast<void*>(static_cast<const void*>(&object.table)));
}

// Host objects are owned by the test and live on the stack: counting is moot.
inline uint32_t V3_API HostRef(void*) { return 1; }

template <class Object>
v3_result V3_API HostQuery(void* self, const v3_tuid iid, void** object) {
    if (SameId(iid, v3_funknown_iid) || SameId(iid, Object::Iid())) {
        *object = self;
        return V3_OK;
    }
    *object = nullptr;
    return V3_NO_INTERFACE;
}

// The name our hosts give themselves.
constexpr const char* HostName = "Sonvera";

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
                                     CopyUtf16(HostName, name, 128);
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
                                     if (count > 0) std::memcpy(buffer, s.bytes.data() + s.position, count);
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

// One block for a stereo effect with a side-chain: the main and side-chain
// input buses, one output bus, and the process data that points at them.
struct StereoBlock {
    StereoBlock(float** main, float** side, float** output, int32_t frames) {
        buses[0].num_channels = buses[1].num_channels = outputs.num_channels = 2;
        buses[0].channel_buffers_32 = main;
        buses[1].channel_buffers_32 = side;
        outputs.channel_buffers_32 = output;
        data.symbolic_sample_size = V3_SAMPLE_32;
        data.nframes = frames;
        data.num_input_buses = 2;
        data.num_output_buses = 1;
        data.inputs = buses;
        data.outputs = &outputs;
    }
    StereoBlock(const StereoBlock&) = delete;
    StereoBlock& operator=(const StereoBlock&) = delete;

    v3_audio_bus_buffers buses[2] = {};
    v3_audio_bus_buffers outputs{};
    v3_process_data data{};
};

}  // namespace Vst3
