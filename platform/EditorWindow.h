#pragma once
// The one native window of an open editor, embedded in the host's window:
// it shows a 32-bit bitmap (0xAARRGGBB rows) and reports the mouse, the
// wheel and keys. X11 on Linux, Win32 on Windows. [main-thread]

#include <cstdint>
#include <memory>

namespace corvane {

class EditorWindow {
public:
    // Keys without a character, as Input::character.
    static constexpr char32_t KeyUp = 0xF700, KeyDown = 0xF701;
    struct Input {
        enum Kind { Press, Drag, Release, Hover, Wheel, Key, Exposed } kind;
        int32_t x = 0, y = 0;  // pixels from the window's top left
        bool shift = false;
        bool doubleClick = false;
        double wheelSteps = 0;  // up is positive
        char32_t character = 0;
    };
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual void OnInput(const Input& input) = 0;
        // A tick on the host's user-interface thread, where the window
        // system gives one (Windows: a window timer, every TickInterval).
        virtual void OnTick() {}
    };
    static constexpr int32_t TickIntervalMs = 25;

    virtual ~EditorWindow() = default;
    // A child of `parent` (an X11 Window id, or an HWND); null with the reason logged
    // when there is no display or the parent is not a window.
    static std::unique_ptr<EditorWindow> Create(void* parent, int32_t width, int32_t height, Listener& listener);

    // Shows the pixels (width x height rows) at once.
    virtual void Show(const uint32_t* pixels, int32_t width, int32_t height) = 0;
    // Handles what is pending without waiting.
    virtual void ProcessEvents() = 0;
    virtual void Resize(int32_t width, int32_t height) = 0;
    // For hosts that do not resize their window when asked: the host's
    // window that holds the editor takes the size itself.
    virtual void ResizeParent(int32_t width, int32_t height) = 0;
    // The native handle, for tests and the host.
    virtual uintptr_t Handle() const = 0;
};

}  // namespace corvane
