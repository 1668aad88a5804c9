// The editor's window on Windows: a child of the host's window (an HWND),
// the bitmap put whole on every show and on every paint. Its messages come
// through the host's message loop, so ProcessEvents has nothing to do.

#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include "platform/EditorWindow.h"

namespace corvane {
namespace {

constexpr const wchar_t* ClassName = L"SonveraEditorWindow";

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

class Win32EditorWindow : public EditorWindow {
public:
    static constexpr UINT_PTR TickTimer = 1;

    Win32EditorWindow(int32_t width, int32_t height, Listener& listener)
        : width_(width), height_(height), listener_(listener) {}
    ~Win32EditorWindow() override {
        if (window_ == nullptr) return;
        KillTimer(window_, TickTimer);
        DestroyWindow(window_);
    }

    bool Make(HWND parent) {
        window_ = CreateWindowExW(0, ClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, width_, height_,
                                  parent, nullptr, ThisModule(), this);
        // The editor's idle runs on the host's thread, through its message loop.
        if (window_ != nullptr) SetTimer(window_, TickTimer, TickIntervalMs, nullptr);
        return window_ != nullptr;
    }

    void Show(const uint32_t* pixels, int32_t width, int32_t height) override {
        pixels_.assign(pixels, pixels + static_cast<size_t>(width) * height);
        shownWidth_ = width;
        shownHeight_ = height;
        if (HDC context = GetDC(window_)) {
            Put(context);
            ReleaseDC(window_, context);
        }
    }

    void ProcessEvents() override {}

    void Resize(int32_t width, int32_t height) override {
        width_ = width;
        height_ = height;
        SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    // Walks up from the host's window, growing each by the frames met so
    // far, until a multiple-document client or a frame wider than 80 pixels.
    void ResizeParent(int32_t width, int32_t height) override {
        int32_t extraWidth = 0, extraHeight = 0;
        HWND window = GetParent(window_);
        for (int step = 0; window != nullptr && step < 2 * GetSystemMetrics(SM_CYFIXEDFRAME); ++step) {
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (std::wcscmp(name, L"MDIClient") == 0) break;
            RECT outer{}, inner{};
            GetWindowRect(window, &outer);
            GetClientRect(window, &inner);
            extraWidth += std::max<int32_t>((outer.right - outer.left) - (inner.right - inner.left), 0);
            extraHeight += std::max<int32_t>((outer.bottom - outer.top) - (inner.bottom - inner.top), 0);
            SetWindowPos(window, nullptr, 0, 0, width + 1 + extraWidth, height + 1 + extraHeight,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (extraWidth > 80 || extraHeight > 80) break;
            window = GetParent(window);
        }
    }

    uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(window_); }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_NCCREATE) {
            auto* self = static_cast<Win32EditorWindow*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
        auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && self->Handle(message, w, l)) return 0;
        return DefWindowProcW(window, message, w, l);
    }

private:
    void Put(HDC context) {
        if (pixels_.empty()) return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = shownWidth_;
        info.bmiHeader.biHeight = -shownHeight_;  // rows from the top
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(context, 0, 0, static_cast<DWORD>(shownWidth_), static_cast<DWORD>(shownHeight_), 0, 0, 0,
                          static_cast<UINT>(shownHeight_), pixels_.data(), &info, DIB_RGB_COLORS);
    }

    bool Handle(UINT message, WPARAM w, LPARAM l) {
        Input input{Input::Exposed};
        input.x = GET_X_LPARAM(l);
        input.y = GET_Y_LPARAM(l);
        input.shift = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        switch (message) {
            case WM_TIMER:
                if (w != TickTimer) return false;
                listener_.OnTick();
                return true;
            case WM_PAINT: {
                PAINTSTRUCT paint;
                HDC context = BeginPaint(window_, &paint);
                Put(context);
                EndPaint(window_, &paint);
                return true;
            }
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                SetFocus(window_);
                SetCapture(window_);
                input.kind = Input::Press;
                input.doubleClick = message == WM_LBUTTONDBLCLK;
                break;
            case WM_LBUTTONUP:
                ReleaseCapture();
                input.kind = Input::Release;
                break;
            case WM_MOUSEMOVE:
                input.kind = (w & MK_LBUTTON) != 0 ? Input::Drag : Input::Hover;
                break;
            case WM_MOUSEWHEEL: {
                POINT point{input.x, input.y};  // the wheel reports screen coordinates
                ScreenToClient(window_, &point);
                input.x = point.x;
                input.y = point.y;
                input.kind = Input::Wheel;
                input.wheelSteps = GET_WHEEL_DELTA_WPARAM(w) / static_cast<double>(WHEEL_DELTA);
                break;
            }
            case WM_KEYDOWN:
                if (w != VK_UP && w != VK_DOWN) return false;
                input.kind = Input::Key;
                input.character = w == VK_UP ? KeyUp : KeyDown;
                break;
            case WM_CHAR:
                if (w != '\r' && w != 0x1B && w != 0x08 && (w < 0x20 || w > 0x7E)) return false;
                input.kind = Input::Key;
                input.character = static_cast<char32_t>(w);
                break;
            default:
                return false;
        }
        listener_.OnInput(input);
        return true;
    }

    HWND window_ = nullptr;
    int32_t width_, height_;
    int32_t shownWidth_ = 0, shownHeight_ = 0;
    Listener& listener_;
    std::vector<uint32_t> pixels_;
};

bool RegisterClassOnce() {
    static const bool registered = [] {
        WNDCLASSW type{};
        type.style = CS_DBLCLKS;
        type.lpfnWndProc = &Win32EditorWindow::Procedure;
        type.hInstance = ThisModule();
        type.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        type.lpszClassName = ClassName;
        return RegisterClassW(&type) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
}

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::Create(void* parent, int32_t width, int32_t height, Listener& listener) {
    if (parent == nullptr || !IsWindow(static_cast<HWND>(parent)) || !RegisterClassOnce()) return nullptr;
    auto window = std::make_unique<Win32EditorWindow>(width, height, listener);
    if (!window->Make(static_cast<HWND>(parent))) return nullptr;
    return window;
}

}  // namespace corvane
