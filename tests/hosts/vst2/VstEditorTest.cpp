// The editor as a Linux host shows it: embedded through effEditOpen into the
// host's X11 window on a virtual display (Xvfb), idled, clicked and closed.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/hosts/vst2/VstTestHost.h"
#include "tests/support/VirtualDisplay.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xutil.h>

using namespace Vst2;
using sonvera_test::VstTestHost;

namespace {

class VstEditorTest : public testing::Test {
protected:
    void SetUp() override {
        display_ = sonvera_test::TestDisplay().Get();
        if (display_ == nullptr) GTEST_SKIP() << "Xvfb is not installed";
        parent_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1000, 600, 0, 0, 0x808080);
        XMapWindow(display_, parent_);
        XSync(display_, False);
        instance_ = host_.Open();
        ASSERT_NE(instance_, nullptr);
    }
    void TearDown() override {
        if (instance_ != nullptr) VstTestHost::Close(instance_);
        if (display_ != nullptr) {
            XDestroyWindow(display_, parent_);
            XSync(display_, False);
        }
    }
    std::vector<Window> Children() {
        XSync(display_, False);
        Window root = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        XQueryTree(display_, parent_, &root, &parent, &children, &count);
        std::vector<Window> list(children, children + count);
        if (children != nullptr) XFree(children);
        return list;
    }
    void Idle(int times) {
        for (int i = 0; i < times; ++i) {
            instance_->Dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    Display* display_ = nullptr;
    Window parent_ = 0;
    VstTestHost host_;
    VstTestHost::Instance* instance_ = nullptr;
};

}  // namespace

TEST_F(VstEditorTest, TheEditorShowsInTheHostsWindowAndAnswersTheMouse) {
    ERect* rect = nullptr;
    ASSERT_EQ(instance_->Dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_EQ(instance_->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    Idle(100);  // a second of the host's idle calls

    const std::vector<Window> children = Children();
    ASSERT_EQ(children.size(), 1u);
    XWindowAttributes attributes;
    XGetWindowAttributes(display_, children[0], &attributes);
    EXPECT_EQ(attributes.width, rect->right - rect->left);
    EXPECT_EQ(attributes.height, rect->bottom - rect->top);
    XImage* image = XGetImage(display_, children[0], 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    std::set<unsigned long> colours;
    for (int y = 0; y < attributes.height; y += 3)
        for (int x = 0; x < attributes.width; x += 3) colours.insert(XGetPixel(image, x, y));
    XDestroyImage(image);
    EXPECT_GT(colours.size(), 50u) << "the editor is drawn, not a blank window";

    // A click on the Freeze switch (Detector panel, fifth cell) turns it on.
    const int32_t freeze = 20;
    ASSERT_EQ(instance_->effect->getParameter(instance_->effect, freeze), 0.0f);
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.window = children[0];
        event.xbutton.button = Button1;
        event.xbutton.x = 365;
        event.xbutton.y = 266;
        event.xbutton.same_screen = True;
        XSendEvent(display_, children[0], True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }
    XSync(display_, False);
    Idle(10);
    EXPECT_EQ(instance_->effect->getParameter(instance_->effect, freeze), 1.0f);
    EXPECT_FALSE(instance_->automation.empty()) << "the host heard of it";

    instance_->Dispatch(effEditClose);
    EXPECT_TRUE(Children().empty());
}

TEST_F(VstEditorTest, OpeningAndClosingWhileAudioRuns) {
    std::atomic<bool> running{true};
    std::atomic<int> blocks{0};
    std::thread audio([&] {
        sonvera_test::TestAudio block(256);
        while (running) {
            instance_->effect->processReplacing(instance_->effect, block.inputs, block.outputs, 256);
            ++blocks;
        }
    });
    for (int i = 0; i < 100; ++i) {
        ASSERT_EQ(instance_->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
        instance_->Dispatch(effEditIdle);
        instance_->Dispatch(effEditClose);
    }
    const int during = blocks;
    running = false;
    audio.join();
    EXPECT_TRUE(Children().empty());
    EXPECT_GT(during, 100) << "the audio thread kept processing";
}
