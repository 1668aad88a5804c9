#include "framework/plugin/PluginEditor.h"

#include <cmath>
#include <cstring>

#include "framework/core/DiagnosticLog.h"
#include "gui/Tooltip.h"

namespace corvane {

PluginEditor::PluginEditor(MAudioPlugin& plugin, const Content& content, LevelMeters* meters)
    : plugin_(plugin), parameters_(plugin, meters), content_(content(parameters_)) {
    bitmap_.Resize(Width(), Height());
}

PluginEditor::~PluginEditor() { Close(); }

int32_t PluginEditor::Width() const { return static_cast<int32_t>(std::lround(content_->Bounds().width)); }
int32_t PluginEditor::Height() const { return static_cast<int32_t>(std::lround(content_->Bounds().height)); }

bool PluginEditor::Open(void* parent) {
    Close();
    window_ = EditorWindow::Create(parent, Width(), Height(), *this);
    if (window_ == nullptr) {
        DiagnosticLog::Write("The editor cannot open: no window system or no parent window.");
        return false;
    }
    Redraw();
    return true;
}

void PluginEditor::Close() {
    dragging_ = false;
    window_.reset();
}

void PluginEditor::Idle() {
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
    if (ValuesSignature() != drawnSignature_ || content_->Animated()) {
        Redraw();
    } else {
        lastDraw_ = std::chrono::steady_clock::now();
    }
}

uint64_t PluginEditor::ValuesSignature() {
    MParameterRegistry& parameters = plugin_.Parameters();
    uint64_t hash = 1469598103934665603ull;
    for (int32_t i = 0; i < parameters.ParameterCount(); ++i) {
        const double value = parameters.GetParameter(i);
        uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        hash = (hash ^ bits) * 1099511628211ull;
    }
    return hash;
}

void PluginEditor::Redraw() {
    if (bitmap_.Width() != Width() || bitmap_.Height() != Height()) bitmap_.Resize(Width(), Height());
    drawnSignature_ = ValuesSignature();
    gui::Canvas canvas(bitmap_);
    content_->Draw(canvas);
    if (tipShown_)
        if (auto* root = dynamic_cast<gui::Container*>(content_.get()))
            if (gui::Widget* hovered = root->At(hoverX_, hoverY_))
                gui::DrawTooltip(canvas, content_->Bounds(), hoverX_, hoverY_, hovered->Tip());
    lastDraw_ = std::chrono::steady_clock::now();
    if (window_ != nullptr) window_->Show(bitmap_.Pixels().data(), bitmap_.Width(), bitmap_.Height());
}

void PluginEditor::OnInput(const EditorWindow::Input& input) {
    const gui::MouseEvent event{static_cast<double>(input.x), static_cast<double>(input.y), input.shift,
                                input.doubleClick};
    const bool hadTip = tipShown_;
    tipShown_ = false;
    hoverX_ = input.kind == EditorWindow::Input::Hover ? input.x : -1.0;
    hoverY_ = input.y;
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
