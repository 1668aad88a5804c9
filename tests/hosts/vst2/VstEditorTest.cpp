// The editor as a Linux host shows it: embedded through effEditOpen into the
// host's X11 window on a virtual display (Xvfb), idled, clicked and closed.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "tests/hosts/vst2/VstTestHost.h"

// Last: Xlib's macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace Vst2;
using sonvera_test::VstTestHost;

namespace {

// A virtual display of our own for the suite's life.
class VirtualDisplay {
public:
    VirtualDisplay() {
        if (std::system("command -v Xvfb > /dev/null 2>&1") != 0) return;
        for (int number = 90 + getpid() % 50; number < 190 && server_ <= 0; ++number) {
            if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) continue;
            name_ = ":" + std::to_string(number);
            server_ = fork();
            if (server_ == 0) {
                execlp("Xvfb", "Xvfb", name_.c_str(), "-screen", "0", "1280x800x24", "-nolisten", "tcp",
                       static_cast<char*>(nullptr));
                _exit(127);
            }
            for (int wait = 0; wait < 100 && display_ == nullptr; ++wait) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                display_ = XOpenDisplay(name_.c_str());
            }
            if (display_ == nullptr) Stop();
        }
        if (display_ != nullptr) setenv("DISPLAY", name_.c_str(), 1);
    }
    ~VirtualDisplay() {
        if (display_ != nullptr) XCloseDisplay(display_);
        Stop();
    }
    Display* Get() const { return display_; }

private:
    void Stop() {
        if (server_ > 0) {
            kill(server_, SIGTERM);
            waitpid(server_, nullptr, 0);
        }
        server_ = -1;
    }
    std::string name_;
    pid_t server_ = -1;
    Display* display_ = nullptr;
};

VirtualDisplay& Screen() {
    static VirtualDisplay display;
    return display;
}

class VstEditorTest : public testing::Test {
protected:
    void SetUp() override {
        display_ = Screen().Get();
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
