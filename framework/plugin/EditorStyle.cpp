#include "framework/plugin/EditorStyle.h"

#include <filesystem>
#include <utility>

#include "framework/core/DiagnosticLog.h"
#include "framework/core/ExceptionGuard.h"
#include "framework/storage/Configuration.h"

namespace corvane {

namespace {

// "RRGGBB" or "#RRGGBB"; false for anything else.
bool ParseColour(std::string text, gui::Color& colour) {
    if (!text.empty() && text[0] == '#') text.erase(0, 1);
    if (text.size() != 6) return false;
    uint32_t rgb = 0;
    for (const char c : text) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) return false;
        rgb = rgb * 16 + static_cast<uint32_t>(digit);
    }
    colour = gui::Color::Rgb(rgb);
    return true;
}

}  // namespace

gui::Style StyleFrom(MXMLItem& configuration) {
    gui::Style style = gui::Style::Default();
    const std::pair<const char*, gui::Color*> colours[] = {{"Background", &style.background},
                                                           {"Panel", &style.panel},
                                                           {"PanelEdge", &style.panelEdge},
                                                           {"Text", &style.text},
                                                           {"DimText", &style.dimText},
                                                           {"Accent", &style.accent},
                                                           {"Warm", &style.warm},
                                                           {"Track", &style.track},
                                                           {"Pointer", &style.pointer}};
    for (const auto& [key, colour] : colours) {
        if (!configuration.HasAttribute(key)) continue;
        const std::string text = configuration.GetAttribute(key);
        if (!ParseColour(text, *colour))
            DiagnosticLog::Write(std::string("Style.cfg: \"") + text + "\" is no colour for " + key +
                                 " (RRGGBB expected); the default is used.");
    }
    return style;
}

void ApplyStyleConfiguration() {
    GuardedVoid("ApplyStyleConfiguration", [] {
        gui::Style style = gui::Style::Default();
        std::error_code error;
        const std::string path = Configuration::StylePath();
        if (std::filesystem::exists(std::filesystem::u8path(path), error)) {
            MXMLItem configuration = Configuration::ReadStyle();
            style = StyleFrom(configuration);
        }
        gui::Style::Current() = style;
    });
}

}  // namespace corvane
