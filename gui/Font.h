#pragma once
// Text in the editor's typeface: glyphs rasterised once per size and kept,
// then blended into a bitmap. [main-thread]

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "gui/Bitmap.h"

namespace gui {

class Font {
public:
    // The built-in typeface; throws std::runtime_error when it cannot be read.
    static Font& Default();

    // Pixels from the baseline up to the tallest glyph, and down.
    double Ascent(double size) const;
    double Descent(double size) const;
    double Width(const std::string& utf8, double size) const;
    // Draws with the baseline's left end at (x, y); returns the pen's end.
    double Draw(Bitmap& bitmap, double x, double y, const std::string& utf8, double size, Color color, int32_t clipLeft,
                int32_t clipTop, int32_t clipRight, int32_t clipBottom);

private:
    Font(const unsigned char* data, size_t size);
    struct Glyph {
        int32_t left = 0, top = 0, width = 0, height = 0;
        std::vector<uint8_t> coverage;
    };
    // Keyed by code point, size in 1/64 pixels and quarter-pixel offset.
    const Glyph& GlyphFor(uint32_t codepoint, double size, int32_t subpixel);
    double Scale(double size) const;
    // How far the pen moves after glyph i: its advance and the kerning with the next.
    double Advance(const std::vector<uint32_t>& codes, size_t i, double scale) const;

    std::vector<uint8_t> info_;  // the library's font record
    std::map<uint64_t, Glyph> glyphs_;
};

// Code points of UTF-8 text; a broken sequence reads as U+FFFD.
std::vector<uint32_t> DecodeUTF8(const std::string& text);

}  // namespace gui
