// The editor's X11 window shares the process with the host's own X11 code:
// errors on the editor's connection are its own business, every other
// connection's errors still reach the host's handler.

#include <gtest/gtest.h>

#include "platform/EditorWindow.h"
#include "tests/support/VirtualDisplay.h"

// Last: Xlib's macros would break the headers above.
#include <X11/Xlib.h>

namespace {

int hostHandlerCalls = 0;
int HostHandler(Display*, XErrorEvent*) {
    ++hostHandlerCalls;
    return 0;
}

struct IgnoreInput : corvane::EditorWindow::Listener {
    void OnInput(const corvane::EditorWindow::Input&) override {}
};

}  // namespace

TEST(X11EditorWindow, ErrorsOfOtherConnectionsReachTheHostsHandler) {
    Display* display = sonvera_test::TestDisplay().Get();
    if (display == nullptr) GTEST_SKIP() << "Xvfb is not installed";
    const XErrorHandler before = XSetErrorHandler(HostHandler);
    hostHandlerCalls = 0;
    Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
    XSync(display, False);
    IgnoreInput listener;
    auto window = corvane::EditorWindow::Create(reinterpret_cast<void*>(parent), 200, 100, listener);
    ASSERT_NE(window, nullptr);

    XMapWindow(display, 0x7FFFFF0);  // no such window: the host's own connection errs
    XSync(display, False);
    EXPECT_EQ(hostHandlerCalls, 1);

    // The host's window goes while the editor still draws into its child.
    XDestroyWindow(display, parent);
    XSync(display, False);
    const std::vector<uint32_t> pixels(200 * 100, 0xFF336699u);
    window->Show(pixels.data(), 200, 100);
    window->ProcessEvents();
    window->Resize(300, 120);
    window.reset();
    EXPECT_EQ(hostHandlerCalls, 1) << "the editor's own errors stay with it";
    XSetErrorHandler(before);
}

namespace {

XErrorHandler chainedTo = nullptr;
int chainedCalls = 0;
// A host handler that hands every error on to the one it replaced.
int ChainingHandler(Display* display, XErrorEvent* error) {
    ++chainedCalls;
    return chainedTo != nullptr ? chainedTo(display, error) : 0;
}

}  // namespace

TEST(X11EditorWindow, AHandlerThatChainsBackToOursEndsTheRound) {
    Display* display = sonvera_test::TestDisplay().Get();
    if (display == nullptr) GTEST_SKIP() << "Xvfb is not installed";
    Window parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 200, 100, 0, 0, 0);
    XSync(display, False);
    IgnoreInput listener;
    auto first = corvane::EditorWindow::Create(reinterpret_cast<void*>(parent), 200, 100, listener);
    ASSERT_NE(first, nullptr);
    chainedTo = XSetErrorHandler(ChainingHandler);  // ours, now below the host's
    auto second = corvane::EditorWindow::Create(reinterpret_cast<void*>(parent), 200, 100, listener);
    ASSERT_NE(second, nullptr);  // ours on top again, forwarding to the host's
    chainedCalls = 0;
    XMapWindow(display, 0x7FFFFF0);
    XSync(display, False);
    EXPECT_EQ(chainedCalls, 1) << "the error reached the host's handler once and the round ended";
    second.reset();
    first.reset();
    XSetErrorHandler(chainedTo);
    XDestroyWindow(display, parent);
    XSync(display, False);
}
