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
#include "tests/support/ScratchConfigFolder.h"
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
    // A left click as the X server delivers it to the editor's window.
    void Click(Window window, int x, int y) {
        sonvera_test::SendClick(display_, window, x, y);
        Idle(2);
    }
    XWindowAttributes Attributes(Window window) {
        XSync(display_, False);
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        return attributes;
    }
    void Idle(int times) {
        for (int i = 0; i < times; ++i) {
            instance_->Dispatch(effEditIdle);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    sonvera_test::ScratchConfigFolder folder_{"sonvera-vst-editor"};  // the size choice is kept there
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
    Click(children[0], 365, 266);
    Idle(8);
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

TEST_F(VstEditorTest, AChosenSizeAsksTheHostAndIsKeptForTheNextEditor) {
    ASSERT_EQ(instance_->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    Idle(2);
    const Window editor = Children().at(0);
    Click(editor, 1020, 27);  // the size choice, right part: the next size (125%)
    ASSERT_EQ(instance_->sizeRequests.size(), 1u);
    EXPECT_EQ(instance_->sizeRequests[0], std::make_pair(1313, 588));
    EXPECT_EQ(Attributes(editor).width, 1313);
    ERect* rect = nullptr;
    ASSERT_EQ(instance_->Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 1313);
    EXPECT_EQ(rect->bottom - rect->top, 588);
    // Clicks land where the content is drawn at the new size: the size choice moved with it.
    instance_->grantSize = false;
    Click(editor, static_cast<int>(1020 * 1.25), static_cast<int>(27 * 1.25));  // 150%
    EXPECT_EQ(instance_->sizeRequests.size(), 2u);
    EXPECT_EQ(Attributes(parent_).width, 1575) << "a host that refuses gets its window resized";
    EXPECT_EQ(Attributes(parent_).height, 705);
    instance_->Dispatch(effEditClose);

    VstTestHost::Instance* next = host_.Open();
    ASSERT_EQ(next->Dispatch(effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ(rect->right - rect->left, 1575) << "a new editor opens at the chosen size";
    VstTestHost::Close(next);
}

TEST_F(VstEditorTest, KeysTheHostPassesOnTypeIntoTheFocusedControl) {
    EXPECT_EQ(instance_->Dispatch(effEditKeyDown, '5'), 0) << "no editor open: the host keeps the key";
    ASSERT_EQ(instance_->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    Idle(2);
    Click(Children().at(0), 77, 404);  // the Volume knob takes the focus
    for (const char c : std::string("-6")) EXPECT_EQ(instance_->Dispatch(effEditKeyDown, c), 1);
    EXPECT_EQ(instance_->Dispatch(effEditKeyDown, 0, 4 /* return */), 1);
    char text[64] = {};
    instance_->Dispatch(effGetParamDisplay, 0, 0, text);
    EXPECT_STREQ(text, "-6.00 dB");
    EXPECT_EQ(instance_->Dispatch(effEditKeyDown, 0, 42 /* a key no control uses */), 0);
    instance_->Dispatch(effEditClose);
}

TEST_F(VstEditorTest, AHostThatNeverIdlesStillGetsALiveEditor) {
    ASSERT_EQ(instance_->Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(parent_)), 1);
    const int32_t freeze = 20;
    sonvera_test::SendClick(display_, Children().at(0), 365, 266);
    // No effEditIdle: the editor's own idle takes over after a moment.
    for (int i = 0; i < 100 && instance_->GetParameter(freeze) != 1.0f; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(instance_->GetParameter(freeze), 1.0f);
    // The click's gesture and automation wait for the host's own thread.
    EXPECT_TRUE(instance_->CallerThreads().empty()) << "the host was called from a thread of the plug-in's";
    instance_->Dispatch(effIdle);
    const std::vector<std::thread::id> callers = instance_->CallerThreads();
    EXPECT_FALSE(callers.empty()) << "the host hears of the click at its next tick";
    for (const std::thread::id& caller : callers) EXPECT_EQ(caller, std::this_thread::get_id());
    instance_->Dispatch(effEditClose);
    EXPECT_TRUE(Children().empty());
}
