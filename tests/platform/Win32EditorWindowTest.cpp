// The editor's Win32 window inside a host's windows: it fills its place,
// turns the system's messages into the editor's input, and grows the host's
// windows when a host does not resize them itself.

#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <memory>
#include <vector>

#include "platform/EditorWindow.h"

using corvane::EditorWindow;

namespace {

struct Recorder : EditorWindow::Listener {
    void OnInput(const EditorWindow::Input& input) override { inputs.push_back(input); }
    void OnTick() override { ticks.push_back(GetCurrentThreadId()); }
    std::vector<EditorWindow::Input> inputs;
    std::vector<DWORD> ticks;
};

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

// A host's frame window with a plain child that holds the editor.
class Win32EditorWindowTest : public testing::Test {
protected:
    void SetUp() override {
        frame_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                                 nullptr);
        ASSERT_NE(frame_, nullptr);
        container_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 500, 300, frame_, nullptr, nullptr,
                                     nullptr);
        ASSERT_NE(container_, nullptr);
    }
    void TearDown() override {
        window_.reset();
        DestroyWindow(frame_);
    }
    HWND Open(HWND parent, int32_t width = 1050, int32_t height = 470) {
        window_ = EditorWindow::Create(parent, width, height, recorder_);
        return window_ != nullptr ? reinterpret_cast<HWND>(window_->Handle()) : nullptr;
    }

    HWND frame_ = nullptr, container_ = nullptr;
    Recorder recorder_;
    std::unique_ptr<EditorWindow> window_;
};

}  // namespace

TEST_F(Win32EditorWindowTest, FillsItsPlaceAndReportsTheMouseAndKeys) {
    HWND editor = Open(container_);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(GetParent(editor), container_);
    EXPECT_EQ(ClientSize(editor).cx, 1050);
    EXPECT_EQ(ClientSize(editor).cy, 470);

    POINT wheelAt{30, 40};
    ClientToScreen(editor, &wheelAt);
    SendMessageW(editor, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20));
    SendMessageW(editor, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(15, 25));
    SendMessageW(editor, WM_LBUTTONUP, 0, MAKELPARAM(15, 25));
    SendMessageW(editor, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(11, 21));
    SendMessageW(editor, WM_MOUSEMOVE, 0, MAKELPARAM(50, 60));
    SendMessageW(editor, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
                 MAKELPARAM(wheelAt.x, wheelAt.y));
    SendMessageW(editor, WM_CHAR, '7', 0);
    SendMessageW(editor, WM_CHAR, 0x01, 0);  // a control character: not for the editor
    SendMessageW(editor, WM_KEYDOWN, VK_UP, 0);
    SendMessageW(editor, WM_KEYDOWN, VK_LEFT, 0);  // not one of the editor's keys

    using Input = EditorWindow::Input;
    struct Expected {
        Input::Kind kind;
        int32_t x, y;
        bool doubleClick;
        double wheelSteps;
        char32_t character;
    };
    const Expected expected[] = {
        {Input::Press, 10, 20, false, 0, 0},   {Input::Drag, 15, 25, false, 0, 0},
        {Input::Release, 15, 25, false, 0, 0}, {Input::Press, 11, 21, true, 0, 0},
        {Input::Hover, 50, 60, false, 0, 0},   {Input::Wheel, 30, 40, false, -1.0, 0},
        {Input::Key, -1, -1, false, 0, U'7'},  {Input::Key, -1, -1, false, 0, EditorWindow::KeyUp},
    };
    ASSERT_EQ(recorder_.inputs.size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(i);
        const Input& got = recorder_.inputs[i];
        EXPECT_EQ(got.kind, expected[i].kind);
        if (expected[i].x >= 0) {
            EXPECT_EQ(got.x, expected[i].x);
            EXPECT_EQ(got.y, expected[i].y);
        }
        EXPECT_EQ(got.doubleClick, expected[i].doubleClick);
        EXPECT_EQ(got.wheelSteps, expected[i].wheelSteps);
        EXPECT_EQ(got.character, expected[i].character);
    }

    // Shown pixels and a new size.
    const std::vector<uint32_t> pixels(1050 * 470, 0xFF336699u);
    window_->Show(pixels.data(), 1050, 470);
    window_->Resize(1313, 588);
    EXPECT_EQ(ClientSize(editor).cx, 1313);
    EXPECT_EQ(ClientSize(editor).cy, 588);
}

// The editor's idle comes from a window timer, on the thread whose message
// loop runs the window: the host's own.
TEST_F(Win32EditorWindowTest, TicksArriveOnTheHostsThreadThroughItsMessageLoop) {
    ASSERT_NE(Open(container_), nullptr);
    const DWORD until = GetTickCount() + 20 * EditorWindow::TickIntervalMs;
    while (GetTickCount() < until) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(5);
    }
    ASSERT_GE(recorder_.ticks.size(), 3u);
    for (const DWORD thread : recorder_.ticks) EXPECT_EQ(thread, GetCurrentThreadId());
}

TEST_F(Win32EditorWindowTest, AHostThatDoesNotResizeHasItsWindowsGrown) {
    // Sizes within the screen: the system keeps a top-level window on it.
    ASSERT_NE(Open(container_, 640, 300), nullptr);
    window_->Resize(800, 500);
    window_->ResizeParent(800, 500);
    // The frameless container, then the frame by its border and title.
    EXPECT_EQ(ClientSize(container_).cx, 801);
    EXPECT_EQ(ClientSize(container_).cy, 501);
    EXPECT_EQ(ClientSize(frame_).cx, 801);
    EXPECT_EQ(ClientSize(frame_).cy, 501);
}

TEST_F(Win32EditorWindowTest, TheWalkStopsAtAMultipleDocumentClient) {
    CLIENTCREATESTRUCT documents{nullptr, 1};
    HWND client = CreateWindowExW(0, L"MDIClient", nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 550, 350, frame_, nullptr,
                                  nullptr, &documents);
    ASSERT_NE(client, nullptr);
    HWND host =
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 500, 300, client, nullptr, nullptr, nullptr);
    ASSERT_NE(Open(host), nullptr);
    const SIZE frameBefore = ClientSize(frame_);
    window_->ResizeParent(1313, 588);
    EXPECT_EQ(ClientSize(host).cx, 1314);
    EXPECT_EQ(ClientSize(client).cx, 550) << "the document area keeps its size";
    EXPECT_EQ(ClientSize(frame_).cx, frameBefore.cx);
}

TEST(Win32EditorWindow, NoWindowNoEditor) {
    Recorder recorder;
    EXPECT_EQ(EditorWindow::Create(nullptr, 100, 100, recorder), nullptr);
    EXPECT_EQ(EditorWindow::Create(reinterpret_cast<void*>(0x1234), 100, 100, recorder), nullptr);
}
