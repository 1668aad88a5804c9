// The VST3 editor view as a Linux host uses it: created by name, given a
// frame with a run loop, attached to an X11 window on a virtual display,
// idled by the run loop's timer, removed and released.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/ScratchConfigFolder.h"

#include "hosts/vst3/Vst3HostObjects.h"
#include "tests/hosts/vst3/Vst3TestHost.h"
#include "tests/support/VirtualDisplay.h"

// Last: Xlib's macros would break the headers above.
#include <X11/Xutil.h>

using namespace sonvera_test;

namespace {

// The host's frame: a run loop that keeps the timers it is given.
struct Frame {
    struct Table {
        v3_funknown unknown;
        v3_plugin_frame frame;
    };
    struct LoopTable {
        v3_funknown unknown;
        v3_run_loop loop;
    };
    const Table* table = &Vtable();
    struct Loop {
        const LoopTable* table;
        Frame* owner;
    } loop{&LoopVtable(), this};
    std::vector<v3_timer_handler**> timers;
    std::vector<v3_view_rect> resizes;  // what the view asked for

    static Frame& Of(void* self) { return *static_cast<Frame*>(self); }
    static v3_result V3_API Query(void* self, const v3_tuid iid, void** object) {
        Frame& frame = Of(self);
        if (Vst3::SameId(iid, v3_run_loop_iid)) {
            *object = &frame.loop;
            return V3_OK;
        }
        if (Vst3::SameId(iid, v3_funknown_iid) || Vst3::SameId(iid, v3_plugin_frame_iid)) {
            *object = self;
            return V3_OK;
        }
        *object = nullptr;
        return V3_NO_INTERFACE;
    }
    static const Table& Vtable() {
        static const Table t = {{Query, Vst3::HostRef, Vst3::HostRef},
                                {[](void* self, v3_plugin_view**, v3_view_rect* rect) -> v3_result {
                                    Of(self).resizes.push_back(*rect);
                                    return V3_OK;
                                }}};
        return t;
    }
    static const LoopTable& LoopVtable() {
        static const LoopTable t = {{[](void* self, const v3_tuid iid, void** object) {
                                         return Query(static_cast<Loop*>(self)->owner, iid, object);
                                     },
                                     Vst3::HostRef, Vst3::HostRef},
                                    {[](void*, v3_event_handler**, int) -> v3_result { return V3_OK; },
                                     [](void*, v3_event_handler**) -> v3_result { return V3_OK; },
                                     [](void* self, v3_timer_handler** handler, uint64_t) -> v3_result {
                                         static_cast<Loop*>(self)->owner->timers.push_back(handler);
                                         return V3_OK;
                                     },
                                     [](void* self, v3_timer_handler** handler) -> v3_result {
                                         auto& timers = static_cast<Loop*>(self)->owner->timers;
                                         timers.erase(std::remove(timers.begin(), timers.end(), handler), timers.end());
                                         return V3_OK;
                                     }}};
        return t;
    }
    v3_plugin_frame** Pointer() { return Vst3::InterfaceOf<v3_plugin_frame>(*this); }
    void Tick(int times) {
        for (int i = 0; i < times; ++i)
            for (v3_timer_handler** timer : std::vector<v3_timer_handler**>(timers)) v3_cpp_obj(timer)->on_timer(timer);
    }
};

}  // namespace

TEST(Vst3Editor, TheViewEmbedsIdlesAndGoes) {
    Display* display = TestDisplay().Get();
    if (display == nullptr) GTEST_SKIP() << "Xvfb is not installed";
    ScratchConfigFolder folder("sonvera-vst3-editor");  // the size choice is kept there
    const Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1000, 600, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    Vst3TestHost host;
    Vst3TestHost::Instance* instance = host.Open();
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(v3_cpp_obj(instance->controller)->create_view(instance->controller, "other"), nullptr);
    v3_plugin_view** view = v3_cpp_obj(instance->controller)->create_view(instance->controller, "editor");
    ASSERT_NE(view, nullptr);

    Frame frame;
    EXPECT_EQ(v3_cpp_obj(view)->is_platform_type_supported(view, "X11EmbedWindowID"), V3_OK);
    EXPECT_NE(v3_cpp_obj(view)->is_platform_type_supported(view, "HWND"), V3_OK);
    v3_view_rect rect{};
    ASSERT_EQ(v3_cpp_obj(view)->get_size(view, &rect), V3_OK);
    EXPECT_EQ(rect.right - rect.left, 1050);
    EXPECT_EQ(v3_cpp_obj(view)->set_frame(view, frame.Pointer()), V3_OK);
    ASSERT_EQ(v3_cpp_obj(view)->attached(view, reinterpret_cast<void*>(parent), "X11EmbedWindowID"), V3_OK);
    ASSERT_EQ(frame.timers.size(), 1u) << "the editor idles on the host's run loop";
    frame.Tick(20);

    Window root = 0, up = 0, *children = nullptr;
    unsigned count = 0;
    XSync(display, False);
    XQueryTree(display, parent, &root, &up, &children, &count);
    ASSERT_EQ(count, 1u);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, children[0], &attributes);
    EXPECT_EQ(attributes.width, rect.right);
    EXPECT_EQ(attributes.height, rect.bottom);
    const Window editor = children[0];
    XFree(children);

    // The size choice asks the frame; keys the host passes on type into the focused knob.
    SendClick(display, editor, 1020, 27);
    frame.Tick(2);
    ASSERT_EQ(frame.resizes.size(), 1u);
    EXPECT_EQ(frame.resizes[0].right, 1313);
    EXPECT_EQ(frame.resizes[0].bottom, 588);
    SendClick(display, editor, static_cast<int>(77 * 1.25), static_cast<int>(404 * 1.25));  // Volume
    frame.Tick(2);
    for (const char c : std::string("-12")) EXPECT_EQ(v3_cpp_obj(view)->on_key_down(view, c, 0, 0), V3_TRUE);
    EXPECT_EQ(v3_cpp_obj(view)->on_key_down(view, 0, 19 /* enter */, 0), V3_TRUE);
    v3_str_128 text{};
    v3_cpp_obj(instance->controller)
        ->get_parameter_string_for_value(
            instance->controller, 0,
            v3_cpp_obj(instance->controller)->get_parameter_normalised(instance->controller, 0), text);
    EXPECT_EQ(Vst3::FromUtf16(text, 128), "-12.0 dB");

    // A HiDPI host's display scale multiplies the chosen size, up to twice the plain size.
    v3_plugin_view_content_scale** scale = nullptr;
    ASSERT_EQ(v3_cpp_obj_query_interface(view, v3_plugin_view_content_scale_iid, &scale), V3_OK);
    for (const auto& [factor, width] : {std::pair{1.5f, 1969}, std::pair{4.0f, 2100}, std::pair{1.0f, 1313}}) {
        EXPECT_EQ(v3_cpp_obj(scale)->set_content_scale_factor(scale, factor), V3_OK);
        ASSERT_EQ(v3_cpp_obj(view)->get_size(view, &rect), V3_OK);
        EXPECT_EQ(rect.right, width) << factor;
    }
    v3_cpp_obj_unref(scale);

    EXPECT_EQ(v3_cpp_obj(view)->removed(view), V3_OK);
    EXPECT_TRUE(frame.timers.empty());
    EXPECT_EQ(v3_cpp_obj_unref(view), 0u);
    Vst3TestHost::Close(instance);  // the view let the instance go: it ends here
    XDestroyWindow(display, parent);
    XSync(display, False);
}
