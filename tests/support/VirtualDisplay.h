#pragma once
// A virtual X display (Xvfb) of the test run's own, started on first use
// and stopped at exit; DISPLAY points at it. Null when Xvfb is missing.

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

// Last: Xlib's macros (None, Bool, Status) would break headers included after it.
#include <X11/Xlib.h>

namespace sonvera_test {

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
                // Another test process may have taken the number meanwhile: ours then exits.
                if (waitpid(server_, nullptr, WNOHANG) == server_) {
                    server_ = -1;
                    break;
                }
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

inline VirtualDisplay& TestDisplay() {
    static VirtualDisplay display;
    return display;
}

// A left click at (x, y) of the window, as the X server delivers one.
inline void SendClick(Display* display, Window window, int x, int y) {
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event{};
        event.xbutton.type = type;
        event.xbutton.window = window;
        event.xbutton.button = Button1;
        event.xbutton.x = x;
        event.xbutton.y = y;
        event.xbutton.same_screen = True;
        XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }
    XSync(display, False);
}

}  // namespace sonvera_test
