// The editor's window on X11: its own display connection (the host's event
// loop is never disturbed), a child of the host's window, the bitmap put
// whole on every show.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/EditorWindow.h"

namespace corvane {
namespace {

// Xlib keeps one error handler per process. Ours goes on top whenever a
// window opens and stays: errors on our own connections (a host window that vanished under
// the editor) are dropped, every other connection's go on to the handler
// that was there before, so the host's own handling is kept.
class ErrorFilter {
public:
    static ErrorFilter& Instance() {
        static ErrorFilter filter;
        return filter;
    }
    void Watch(Display* display) {
        std::lock_guard<std::mutex> hold(mutex_);
        // On top again if the host put its own handler over ours; the one below is kept to forward to.
        const XErrorHandler below = XSetErrorHandler(&ErrorFilter::Handle);
        if (below != &ErrorFilter::Handle) previous_ = below;
        displays_.push_back(display);
    }
    void Forget(Display* display) {
        std::lock_guard<std::mutex> hold(mutex_);
        displays_.erase(std::remove(displays_.begin(), displays_.end(), display), displays_.end());
    }

private:
    static int Handle(Display* display, XErrorEvent* error) {
        // A handler below that hands errors back up to us would otherwise pass them round for ever.
        static thread_local bool handling = false;
        if (handling) return 0;
        handling = true;
        const int result = Forward(display, error);
        handling = false;
        return result;
    }
    static int Forward(Display* display, XErrorEvent* error) {
        ErrorFilter& filter = Instance();
        XErrorHandler previous = nullptr;
        {
            std::lock_guard<std::mutex> hold(filter.mutex_);
            if (std::find(filter.displays_.begin(), filter.displays_.end(), display) != filter.displays_.end())
                return 0;
            previous = filter.previous_;
        }
        return previous != nullptr ? previous(display, error) : 0;
    }

    std::mutex mutex_;
    std::vector<Display*> displays_;
    XErrorHandler previous_ = nullptr;
};

class X11EditorWindow : public EditorWindow {
public:
    X11EditorWindow(Display* display, Window window, int32_t width, int32_t height, Listener& listener)
        : display_(display), window_(window), width_(width), height_(height), listener_(listener) {
        gc_ = XCreateGC(display_, window_, 0, nullptr);
    }
    ~X11EditorWindow() override {
        if (image_ != nullptr) {
            image_->data = nullptr;  // the pixels are ours
            XDestroyImage(image_);
        }
        XFreeGC(display_, gc_);
        XDestroyWindow(display_, window_);
        XSync(display_, False);  // errors of the destruction still reach the filter as ours
        ErrorFilter::Instance().Forget(display_);
        XCloseDisplay(display_);
    }

    void Show(const uint32_t* pixels, int32_t width, int32_t height) override {
        pixels_.assign(pixels, pixels + static_cast<size_t>(width) * height);
        if (image_ == nullptr || image_->width != width || image_->height != height) {
            if (image_ != nullptr) {
                image_->data = nullptr;
                XDestroyImage(image_);
            }
            Visual* visual = DefaultVisual(display_, DefaultScreen(display_));
            image_ = XCreateImage(display_, visual, 24, ZPixmap, 0, nullptr, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), 32, width * 4);
        }
        if (image_ == nullptr) return;
        image_->data = reinterpret_cast<char*>(pixels_.data());
        XPutImage(display_, window_, gc_, image_, 0, 0, 0, 0, static_cast<unsigned>(width),
                  static_cast<unsigned>(height));
        XFlush(display_);
    }

    void ProcessEvents() override {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            Dispatch(event);
        }
    }

    void Resize(int32_t width, int32_t height) override {
        width_ = width;
        height_ = height;
        XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XFlush(display_);
    }

    void ResizeParent(int32_t width, int32_t height) override {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (XQueryTree(display_, window_, &root, &parent, &children, &count) == 0) return;
        if (children != nullptr) XFree(children);
        if (parent != 0 && parent != root)
            XResizeWindow(display_, parent, static_cast<unsigned>(width), static_cast<unsigned>(height));
        XFlush(display_);
    }

    uintptr_t Handle() const override { return window_; }

private:
    void Dispatch(XEvent& event) {
        Input input{Input::Exposed};
        switch (event.type) {
            case Expose:
                if (event.xexpose.count == 0) listener_.OnInput(input);
                return;
            case ButtonPress: {
                input.x = event.xbutton.x;
                input.y = event.xbutton.y;
                input.shift = (event.xbutton.state & ShiftMask) != 0;
                if (event.xbutton.button == Button4 || event.xbutton.button == Button5) {
                    input.kind = Input::Wheel;
                    input.wheelSteps = event.xbutton.button == Button4 ? 1.0 : -1.0;
                } else if (event.xbutton.button == Button1) {
                    input.kind = Input::Press;
                    const auto now = event.xbutton.time;
                    input.doubleClick = now - lastPress_ < 400 && lastPress_ != 0;
                    lastPress_ = input.doubleClick ? 0 : now;
                } else {
                    return;
                }
                listener_.OnInput(input);
                return;
            }
            case ButtonRelease:
                if (event.xbutton.button != Button1) return;
                input.kind = Input::Release;
                input.x = event.xbutton.x;
                input.y = event.xbutton.y;
                listener_.OnInput(input);
                return;
            case MotionNotify:
                input.kind = Input::Drag;
                input.x = event.xmotion.x;
                input.y = event.xmotion.y;
                input.shift = (event.xmotion.state & ShiftMask) != 0;
                if ((event.xmotion.state & Button1Mask) == 0) input.kind = Input::Hover;
                listener_.OnInput(input);
                return;
            case KeyPress: {
                char text[8] = {};
                KeySym symbol = 0;
                const int length = XLookupString(&event.xkey, text, sizeof text - 1, &symbol, nullptr);
                input.kind = Input::Key;
                if (symbol == XK_Return || symbol == XK_KP_Enter)
                    input.character = U'\r';
                else if (symbol == XK_Escape)
                    input.character = 0x1B;
                else if (symbol == XK_BackSpace)
                    input.character = 0x08;
                else if (symbol == XK_Up || symbol == XK_KP_Up)
                    input.character = KeyUp;
                else if (symbol == XK_Down || symbol == XK_KP_Down)
                    input.character = KeyDown;
                else if (length == 1)
                    input.character = static_cast<unsigned char>(text[0]);
                else
                    return;
                listener_.OnInput(input);
                return;
            }
            default:
                return;
        }
    }

    Display* display_;
    Window window_;
    int32_t width_, height_;
    Listener& listener_;
    GC gc_ = nullptr;
    XImage* image_ = nullptr;
    std::vector<uint32_t> pixels_;
    Time lastPress_ = 0;
};

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::Create(void* parent, int32_t width, int32_t height, Listener& listener) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return nullptr;
    ErrorFilter::Instance().Watch(display);  // a vanished parent must not end the host
    const Window parentWindow = parent != nullptr ? reinterpret_cast<uintptr_t>(parent) : DefaultRootWindow(display);
    XWindowAttributes attributes;
    if (XGetWindowAttributes(display, parentWindow, &attributes) == 0) {
        ErrorFilter::Instance().Forget(display);
        XCloseDisplay(display);
        return nullptr;
    }
    const Window window = XCreateSimpleWindow(display, parentWindow, 0, 0, static_cast<unsigned>(width),
                                              static_cast<unsigned>(height), 0, 0, 0x1E2228);
    XSelectInput(
        display, window,
        ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | KeyPressMask | StructureNotifyMask);
    XMapWindow(display, window);
    XFlush(display);
    return std::make_unique<X11EditorWindow>(display, window, width, height, listener);
}

}  // namespace corvane
