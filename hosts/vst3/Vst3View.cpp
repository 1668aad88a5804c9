#include "hosts/vst3/Vst3View.h"

#include <atomic>
#include <cstring>

#include "framework/core/ExceptionGuard.h"

namespace Vst3 {
namespace {

using corvane::Guarded;
using corvane::GuardedVoid;

// The neutral answer of a failed call.
constexpr v3_result NotDone = V3_FALSE;

// Idle calls while the view is attached: often enough for a smooth drag.
constexpr uint64_t IdleMilliseconds = 25;

struct View;

// One interface of the view: the host's pointer points here.
template <class Table>
struct Face {
    const Table* table;
    View* owner;
};

struct View {
    Face<v3_plugin_view_cpp> view;
    Face<v3_timer_handler_cpp> timer;
    Face<v3_plugin_view_content_scale_cpp> scale;
    std::atomic<uint32_t> references{1};
    corvane::MQuorlithAudioEffectPlugin& plugin;
    std::function<void()> release;
    v3_plugin_frame** frame = nullptr;
    v3_run_loop** loop = nullptr;
    bool resizing = false;

    View(corvane::MQuorlithAudioEffectPlugin& p, std::function<void()> r, const v3_plugin_view_cpp* viewTable,
         const v3_timer_handler_cpp* timerTable, const v3_plugin_view_content_scale_cpp* scaleTable)
        : view{viewTable, this}, timer{timerTable, this}, scale{scaleTable, this}, plugin(p), release(std::move(r)) {}
    v3_plugin_view** Pointer() { return reinterpret_cast<v3_plugin_view**>(&view); }
    v3_timer_handler** Timer() { return reinterpret_cast<v3_timer_handler**>(&timer); }
    void* Scale() { return &scale; }

    void StopTimer() {
        if (loop == nullptr) return;
        v3_cpp_obj(loop)->unregister_timer(loop, Timer());
        v3_cpp_obj_unref(loop);
        loop = nullptr;
    }
    void SetFrame(v3_plugin_frame** newFrame) {
        if (newFrame != nullptr) v3_cpp_obj_ref(newFrame);
        if (frame != nullptr) v3_cpp_obj_unref(frame);
        frame = newFrame;
    }
};

View& FromView(void* self) { return *static_cast<Face<v3_plugin_view_cpp>*>(self)->owner; }
View& FromTimer(void* self) { return *static_cast<Face<v3_timer_handler_cpp>*>(self)->owner; }
View& FromScale(void* self) { return *static_cast<Face<v3_plugin_view_content_scale_cpp>*>(self)->owner; }

uint32_t Unref(View& view) {
    const uint32_t left = --view.references;
    if (left == 0) {
        GuardedVoid("MAudioPluginVST3Adapter::MEditor::~MEditor", [&] {
            view.StopTimer();
            if (corvane::PluginEditor* editor = view.plugin.Editor()) editor->Close();
            view.SetFrame(nullptr);
        });
        std::function<void()> release = std::move(view.release);
        delete &view;
        if (release) release();
    }
    return left;
}

v3_result QueryView(View& view, const v3_tuid iid, void** object) {
    if (object == nullptr) return V3_INVALID_ARG;
    *object = nullptr;
    if (SameId(iid, v3_funknown_iid) || SameId(iid, v3_plugin_view_iid))
        *object = view.Pointer();
    else if (SameId(iid, v3_timer_handler_iid))
        *object = view.Timer();
    else if (SameId(iid, v3_plugin_view_content_scale_iid))
        *object = view.Scale();
    if (*object == nullptr) return V3_NO_INTERFACE;
    ++view.references;
    return V3_OK;
}

v3_result Attached(View& view, void* parent, const char* type) {
    if (type == nullptr || std::strcmp(type, V3_VIEW_PLATFORM_TYPE_X11) != 0) return V3_FALSE;
    corvane::PluginEditor* editor = view.plugin.Editor();
    if (editor == nullptr || !editor->Open(parent)) return V3_FALSE;
    // Linux hosts give a run loop through the frame; the editor idles on its timer.
    if (view.frame != nullptr && view.loop == nullptr) {
        v3_run_loop** loop = nullptr;
        if (v3_cpp_obj_query_interface(view.frame, v3_run_loop_iid, &loop) == V3_OK && loop != nullptr) {
            if (v3_cpp_obj(loop)->register_timer(loop, view.Timer(), IdleMilliseconds) == V3_OK)
                view.loop = loop;
            else
                v3_cpp_obj_unref(loop);
        }
    }
    return V3_OK;
}

v3_result SizeOf(View& view, v3_view_rect* rect) {
    corvane::PluginEditor* editor = view.plugin.Editor();
    if (rect == nullptr || editor == nullptr) return V3_INVALID_ARG;
    rect->left = rect->top = 0;
    rect->right = editor->Width();
    rect->bottom = editor->Height();
    return V3_OK;
}

const v3_timer_handler_cpp timerTable = {
    {[](void* self, const v3_tuid iid, void** object) { return QueryView(FromTimer(self), iid, object); },
     [](void* self) -> uint32_t { return ++FromTimer(self).references; },
     [](void* self) { return Unref(FromTimer(self)); }},
    {[](void* self) {
        View& view = FromTimer(self);
        GuardedVoid("MAudioPluginVST3Adapter::MEditor::idle", [&] { view.plugin.EditorIdle(); });
    }},
};

// HiDPI hosts report their display's scale; the editor grows with it.
const v3_plugin_view_content_scale_cpp scaleTable = {
    {[](void* self, const v3_tuid iid, void** object) { return QueryView(FromScale(self), iid, object); },
     [](void* self) -> uint32_t { return ++FromScale(self).references; },
     [](void* self) { return Unref(FromScale(self)); }},
    {[](void* self, float factor) {
        return Guarded("MAudioPluginVST3Adapter::MEditor::setContentScaleFactor", NotDone, [&]() -> v3_result {
            corvane::PluginEditor* editor = FromScale(self).plugin.Editor();
            if (editor == nullptr) return V3_FALSE;
            editor->SetDisplayScale(factor);
            return V3_OK;
        });
    }},
};

const v3_plugin_view_cpp viewTable = {
    {[](void* self, const v3_tuid iid, void** object) { return QueryView(FromView(self), iid, object); },
     [](void* self) -> uint32_t { return ++FromView(self).references; },
     [](void* self) { return Unref(FromView(self)); }},
    {
        [](void*, const char* type) -> v3_result {
            return type != nullptr && std::strcmp(type, V3_VIEW_PLATFORM_TYPE_X11) == 0 ? V3_OK : V3_FALSE;
        },
        [](void* self, void* parent, const char* type) {
            return Guarded("MAudioPluginVST3Adapter::MEditor::open", NotDone,
                           [&] { return Attached(FromView(self), parent, type); });
        },
        [](void* self) {
            return Guarded("MAudioPluginVST3Adapter::MEditor::close", NotDone, [&]() -> v3_result {
                View& view = FromView(self);
                view.StopTimer();
                if (corvane::PluginEditor* editor = view.plugin.Editor()) editor->Close();
                return V3_OK;
            });
        },
        [](void*, float) -> v3_result { return V3_FALSE; },  // the window reports the wheel itself
        [](void* self, int16_t character, int16_t virtualKey, int16_t) {
            return Guarded("MAudioPluginVST3Adapter::MEditor::onKeyDown", NotDone, [&]() -> v3_result {
                corvane::PluginEditor* editor = FromView(self).plugin.Editor();
                return editor != nullptr && editor->IsOpen() && editor->KeyDown(character, virtualKey) ? V3_TRUE
                                                                                                       : V3_FALSE;
            });
        },
        [](void*, int16_t, int16_t, int16_t) -> v3_result { return V3_FALSE; },
        [](void* self, v3_view_rect* rect) {
            return Guarded("MAudioPluginVST3Adapter::MEditor::getRect", NotDone,
                           [&] { return SizeOf(FromView(self), rect); });
        },
        [](void*, v3_view_rect*) -> v3_result { return V3_OK; },
        [](void*, v3_bool) -> v3_result { return V3_OK; },
        [](void* self, v3_plugin_frame** frame) -> v3_result {
            FromView(self).SetFrame(frame);
            return V3_OK;
        },
        [](void*) -> v3_result { return V3_FALSE; },  // a fixed size
        [](void* self, v3_view_rect* rect) {
            return Guarded("MAudioPluginVST3Adapter::MEditor::checkSizeConstraint", NotDone,
                           [&] { return SizeOf(FromView(self), rect); });
        },
    },
};

}  // namespace

bool ResizeView(v3_plugin_view** pointer, int32_t width, int32_t height) {
    View& view = FromView(pointer);
    corvane::PluginEditor* editor = view.plugin.Editor();
    if (view.resizing || view.frame == nullptr || editor == nullptr || !editor->IsOpen()) return true;
    view.resizing = true;
    v3_view_rect rect{0, 0, width, height};
    v3_cpp_obj(view.frame)->resize_view(view.frame, pointer, &rect);
    view.resizing = false;
    return true;
}

v3_plugin_view** CreateView(corvane::MQuorlithAudioEffectPlugin& plugin, std::function<void()> release) {
    if (plugin.Editor() == nullptr) return nullptr;
    auto* view = new View(plugin, std::move(release), &viewTable, &timerTable, &scaleTable);
    return view->Pointer();
}

}  // namespace Vst3
