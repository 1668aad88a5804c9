#pragma once
// The plug-in's editor window object: made on the host's first size query
// or open request and kept until the plug-in goes. It draws the editor's
// content into a bitmap, shows it in a window embedded in the host's, and
// turns the window's input into the content's events. [main-thread]

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>

#include "framework/plugin/EditorParameters.h"
#include "framework/plugin/EditorPresets.h"
#include "framework/plugin/IdleFallback.h"
#include "gui/EditorServices.h"
#include "gui/Widget.h"
#include "platform/EditorWindow.h"

namespace corvane {

class PluginEditor : public EditorWindow::Listener, public gui::ScaleAccess {
public:
    using Content = std::function<std::unique_ptr<gui::Widget>(const gui::EditorServices&)>;
    // The "DefaultSize" key's variant for this editor; the value is the scale in percent.
    static constexpr const char* SizeVariant = "Main";
    // While nothing is touched, values moved by the host or modulators are
    // looked for this often, and drawn when one changed.
    static constexpr std::chrono::milliseconds RefreshInterval{40};

    // What the content may show besides the parameters; each may be missing.
    struct Sources {
        LevelMeters* meters = nullptr;
        MPresetManagerBase* presets = nullptr;
        std::unique_ptr<gui::MIDIAccess> midi;
        std::unique_ptr<gui::ModulationAccess> modulation;
    };
    // The user's style and default size are read here.
    PluginEditor(MAudioPlugin& plugin, const Content& content, Sources sources);
    ~PluginEditor() override;

    // In pixels: the content's logical size times the scale.
    int32_t Width() const;
    int32_t Height() const;
    // The user's size (1 .. 2).
    double Scale() const override { return scale_.load(std::memory_order_relaxed); }
    // Pixels per logical unit: the user's size times the display's scale
    // the host reported, within 1 .. 2.
    double PixelScale() const;
    // Draws at the size from now on and resizes an open window.
    void SetScale(double scale);
    // The host's display scale (HiDPI); not kept.
    void SetDisplayScale(double factor);
    // The user's choice: the window is resized (the host asked first) and
    // the scale kept as the default size of later editors.
    void ChooseScale(double scale) override;
    // A key the host passed on (its own window had the focus): the
    // character, or a virtual key in the numbering VST 2.4 and VST3 share
    // (1 backspace, 4 return, 6 escape, 12 up, 14 down, 19 enter); true when used.
    bool KeyDown(int32_t character, int32_t virtualKey);
    // Embeds into the host's window; false (logged) when no window can be made.
    bool Open(void* parent);
    void Close();
    bool IsOpen() const { return window_ != nullptr; }
    // A control's help text shows after the pointer rests on it this long.
    static constexpr std::chrono::milliseconds TipDelay{700};

    // The host's idle call: events first, then a redraw when one is due.
    // Hosts that never call it get the same from a thread of ours, never at
    // the same time as any other call here.
    void Idle();
    // The window's own tick on the host's thread (Windows): a host idle,
    // with what a thread of ours had to ask of the host.
    void OnTick() override;
    // Draws the content now (also without a window); the picture stays in Bitmap().
    void Redraw();
    // Runs work while no drawing or input handling reads the plug-in. [any]
    template <class Work>
    void Exclusively(Work&& work) {
        std::lock_guard<std::recursive_mutex> hold(mutex_);
        work();
    }
    const gui::Bitmap& Picture() const { return bitmap_; }
    gui::Widget& Root() { return *content_; }
    EditorWindow* Window() { return window_.get(); }

    void OnInput(const EditorWindow::Input& input) override;

private:
    void IdleNow();
    // A fingerprint of every parameter's value and of what the content shows besides.
    uint64_t Signature();

    MAudioPlugin& plugin_;
    EditorParameters parameters_;
    std::unique_ptr<EditorPresets> presets_;
    std::unique_ptr<gui::MIDIAccess> midi_;
    std::unique_ptr<gui::ModulationAccess> modulation_;
    // The host asks for the size while our idle thread may change it.
    std::atomic<double> scale_{1.0}, displayScale_{1.0};
    std::unique_ptr<gui::Widget> content_;
    gui::Bitmap bitmap_;
    std::unique_ptr<EditorWindow> window_;
    // Serialises the host's calls with the fallback idle (recursive: input
    // handling inside the idle resizes and redraws).
    std::recursive_mutex mutex_;
    IdleFallback fallback_{[this] {
        std::lock_guard<std::recursive_mutex> hold(mutex_);
        IdleNow();
    }};
    std::chrono::steady_clock::time_point lastDraw_{};
    bool dragging_ = false;
    uint64_t drawnSignature_ = 0;
    // Where the pointer rests, since when, and whether its tip is shown.
    double hoverX_ = -1, hoverY_ = -1;
    std::chrono::steady_clock::time_point hoverSince_{};
    bool tipShown_ = false;
};

}  // namespace corvane
