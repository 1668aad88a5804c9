#include "framework/plugin/PluginEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "framework/plugin/EditorStyle.h"
#include "framework/storage/Configuration.h"
#include "gui/Tooltip.h"

namespace corvane {

namespace {

constexpr double MinScale = 1.0, MaxScale = 2.0;
static_assert(EditorWindow::KeyUp == gui::KeyUp && EditorWindow::KeyDown == gui::KeyDown,
              "the window's keys reach the content as they are");

// The kept default size: a scale in percent; anything else is the plain size.
double DefaultScale() {
    const std::string text = Guarded("PluginEditor::DefaultScale", std::string(),
                                     [] { return Configuration::DefaultSize(PluginEditor::SizeVariant); });
    char* end = nullptr;
    const long percent = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || end == nullptr || *end != '\0' || percent < 100 || percent > 200) return 1.0;
    return static_cast<double>(percent) / 100.0;
}

}  // namespace

PluginEditor::PluginEditor(MAudioPlugin& plugin, const Content& content, Sources sources)
    : plugin_(plugin),
      parameters_(plugin, sources.meters),
      presets_(sources.presets != nullptr ? std::make_unique<EditorPresets>(*sources.presets) : nullptr),
      midi_(std::move(sources.midi)),
      modulation_(std::move(sources.modulation)),
      scale_(DefaultScale()) {
    ApplyStyleConfiguration();
    content_ = content(gui::EditorServices{parameters_, presets_.get(), this, midi_.get(), modulation_.get()});
    bitmap_.Resize(Width(), Height());
}

PluginEditor::~PluginEditor() { Close(); }

int32_t PluginEditor::Width() const {
    return static_cast<int32_t>(std::lround(content_->Bounds().width * PixelScale()));
}
int32_t PluginEditor::Height() const {
    return static_cast<int32_t>(std::lround(content_->Bounds().height * PixelScale()));
}

double PluginEditor::PixelScale() const {
    return std::clamp(Scale() * displayScale_.load(std::memory_order_relaxed), MinScale, MaxScale);
}

void PluginEditor::SetDisplayScale(double factor) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    displayScale_.store(std::isfinite(factor) && factor > 0 ? factor : 1.0, std::memory_order_relaxed);
    if (window_ != nullptr) window_->Resize(Width(), Height());
    Redraw();
}

void PluginEditor::SetScale(double scale) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    scale_.store(std::clamp(scale, MinScale, MaxScale), std::memory_order_relaxed);
    if (window_ != nullptr) window_->Resize(Width(), Height());
    Redraw();
}

void PluginEditor::ChooseScale(double scale) {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    SetScale(scale);
    // Hosts that refuse get the window's parent resized instead, so the editor is never cut off.
    if (window_ != nullptr && !plugin_.RequestEditorSize(Width(), Height())) window_->ResizeParent(Width(), Height());
    const std::string percent = std::to_string(static_cast<int>(std::lround(Scale() * 100)));
    GuardedVoid("PluginEditor::ChooseScale", [&] { Configuration::SetDefaultSize(SizeVariant, percent); });
}

bool PluginEditor::KeyDown(int32_t character, int32_t virtualKey) {
    enum : int32_t { KeyBack = 1, KeyReturn = 4, KeyEscape = 6, KeyUp = 12, KeyDown = 14, KeyEnter = 19 };
    char32_t key = 0;
    if (virtualKey == KeyUp || virtualKey == KeyDown)
        key = virtualKey == KeyUp ? gui::KeyUp : gui::KeyDown;
    else if (virtualKey == KeyReturn || virtualKey == KeyEnter)
        key = U'\r';
    else if (virtualKey == KeyEscape)
        key = 0x1B;
    else if (virtualKey == KeyBack)
        key = 0x08;
    else if (character >= 0x20 && character <= 0x7E)
        key = static_cast<char32_t>(character);
    if (key == 0) return false;
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    const bool used = content_->Key(key);
    if (used) Redraw();
    return used;
}

bool PluginEditor::Open(void* parent) {
    Close();
    {
        std::lock_guard<std::recursive_mutex> hold(mutex_);
        window_ = EditorWindow::Create(parent, Width(), Height(), *this);
        if (window_ == nullptr) {
            DiagnosticLog::Write("The editor cannot open: no window system or no parent window.");
            return false;
        }
        Redraw();
    }
    fallback_.Start();
    return true;
}

void PluginEditor::Close() {
    fallback_.Stop();  // first: its last idle may still be waiting for the lock
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    dragging_ = false;
    window_.reset();
}

void PluginEditor::Idle() {
    fallback_.HostIdled();
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    IdleNow();
}

void PluginEditor::OnTick() {
    plugin_.DeliverPostedHostCalls();
    Idle();
}

void PluginEditor::IdleNow() {
    if (window_ == nullptr) return;
    window_->ProcessEvents();
    if (window_ == nullptr) return;
    const auto now = std::chrono::steady_clock::now();
    if (!tipShown_ && hoverX_ >= 0 && !dragging_ && now - hoverSince_ >= TipDelay) {
        tipShown_ = true;
        Redraw();
        return;
    }
    if (now - lastDraw_ < RefreshInterval) return;
    if (Signature() != drawnSignature_ || content_->Animated()) {
        Redraw();
    } else {
        lastDraw_ = std::chrono::steady_clock::now();
    }
}

uint64_t PluginEditor::Signature() {
    MParameterRegistry& parameters = plugin_.Parameters();
    uint64_t hash = 1469598103934665603ull;
    for (int32_t i = 0; i < parameters.ParameterCount(); ++i) {
        const double value = parameters.GetParameter(i);
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        hash = (hash ^ bits) * 1099511628211ull;
    }
    return hash ^ content_->Signature();
}

void PluginEditor::Redraw() {
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    if (bitmap_.Width() != Width() || bitmap_.Height() != Height()) bitmap_.Resize(Width(), Height());
    drawnSignature_ = Signature();
    gui::Canvas canvas(bitmap_, PixelScale());
    content_->Draw(canvas);
    if (tipShown_)
        if (auto* root = dynamic_cast<gui::Container*>(content_.get()))
            if (gui::Widget* hovered = root->At(hoverX_, hoverY_))
                gui::DrawTooltip(canvas, content_->Bounds(), hoverX_, hoverY_, hovered->Tip());
    lastDraw_ = std::chrono::steady_clock::now();
    if (window_ != nullptr) window_->Show(bitmap_.Pixels().data(), bitmap_.Width(), bitmap_.Height());
}

void PluginEditor::OnInput(const EditorWindow::Input& input) {
    // On Windows the window's messages arrive from the host's message loop, not from our idle.
    std::lock_guard<std::recursive_mutex> hold(mutex_);
    const gui::MouseEvent event{input.x / PixelScale(), input.y / PixelScale(), input.shift, input.doubleClick};
    const bool hadTip = tipShown_;
    tipShown_ = false;
    hoverX_ = input.kind == EditorWindow::Input::Hover ? event.x : -1.0;
    hoverY_ = event.y;
    hoverSince_ = std::chrono::steady_clock::now();
    switch (input.kind) {
        case EditorWindow::Input::Hover:
            if (hadTip) Redraw();
            return;
        case EditorWindow::Input::Press:
            dragging_ = content_->MouseDown(event);
            break;
        case EditorWindow::Input::Drag:
            if (dragging_) content_->MouseDrag(event);
            break;
        case EditorWindow::Input::Release:
            if (dragging_) content_->MouseUp(event);
            dragging_ = false;
            break;
        case EditorWindow::Input::Wheel:
            content_->Wheel(event, input.wheelSteps);
            break;
        case EditorWindow::Input::Key:
            content_->Key(input.character);
            break;
        case EditorWindow::Input::Exposed:
            break;
    }
    Redraw();
}

}  // namespace corvane
