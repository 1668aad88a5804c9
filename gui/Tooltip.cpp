#include "gui/Tooltip.h"

#include <algorithm>
#include <sstream>

#include "gui/Style.h"

namespace gui {

namespace {

constexpr double TipWidth = 300, LineHeight = 15, Margin = 8;

}  // namespace

std::vector<std::string> WrapText(const Canvas& canvas, const std::string& text, double size, double width) {
    std::vector<std::string> lines;
    std::istringstream paragraphs(text);
    std::string paragraph;
    while (std::getline(paragraphs, paragraph)) {
        std::istringstream words(paragraph);
        std::string word, line;
        while (words >> word) {
            const std::string longer = line.empty() ? word : line + " " + word;
            if (!line.empty() && canvas.TextWidth(longer, size) > width) {
                lines.push_back(line);
                line = word;
            } else {
                line = longer;
            }
        }
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void DrawTooltip(Canvas& canvas, const Rect& area, double x, double y, const std::string& text) {
    const Style& style = Style::Current();
    const std::vector<std::string> lines = WrapText(canvas, text, style.valueSize, TipWidth - 2 * Margin);
    if (lines.empty()) return;
    const double height = static_cast<double>(lines.size()) * LineHeight + 2 * Margin - 4;
    // Below and right of the pointer, moved back inside the editor.
    const double left = std::clamp(x + 12, area.x + 2, std::max(area.Right() - TipWidth - 2, area.x + 2));
    const double top = y + 18 + height <= area.Bottom() ? y + 18 : std::max(area.y + 2, y - height - 8);
    const Rect box{left, top, TipWidth, height};
    canvas.FillRoundedRect(box, 5, style.background.WithAlpha(245));
    canvas.StrokeRoundedRect(box, 5, 1, style.accent);
    for (size_t i = 0; i < lines.size(); ++i)
        canvas.Text({box.x + Margin, box.y + Margin - 2 + static_cast<double>(i) * LineHeight, box.width - 2 * Margin,
                     LineHeight},
                    lines[i], style.valueSize, style.text);
}

}  // namespace gui
