#include "gui/Font.h"

#include <cmath>
#include <stdexcept>

#define STB_TRUETYPE_IMPLEMENTATION
#define STBTT_STATIC
#include <stb_truetype.h>

extern "C" {
extern const char sonvera_font_data[];
extern const unsigned long long sonvera_font_size;
}

namespace gui {

namespace {

const stbtt_fontinfo& Info(const std::vector<uint8_t>& record) {
    return *reinterpret_cast<const stbtt_fontinfo*>(record.data());
}

}  // namespace

std::vector<uint32_t> DecodeUTF8(const std::string& text) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < text.size();) {
        const uint8_t lead = static_cast<uint8_t>(text[i]);
        const int extra = lead < 0x80 ? 0 : (lead >> 5) == 6 ? 1 : (lead >> 4) == 14 ? 2 : (lead >> 3) == 30 ? 3 : -1;
        uint32_t code = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool valid = extra >= 0 && i + static_cast<size_t>(extra) < text.size() + (extra == 0 ? 1 : 0);
        for (int k = 1; valid && k <= extra; ++k) {
            const uint8_t next = static_cast<uint8_t>(text[i + static_cast<size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = code << 6 | (next & 0x3F);
        }
        out.push_back(valid ? code : 0xFFFD);
        i += valid ? static_cast<size_t>(extra) + 1 : 1;
    }
    return out;
}

Font& Font::Default() {
    static Font font(reinterpret_cast<const unsigned char*>(sonvera_font_data), static_cast<size_t>(sonvera_font_size));
    return font;
}

Font::Font(const unsigned char* data, size_t size) : info_(sizeof(stbtt_fontinfo)) {
    auto* info = reinterpret_cast<stbtt_fontinfo*>(info_.data());
    if (size == 0 || !stbtt_InitFont(info, data, stbtt_GetFontOffsetForIndex(data, 0)))
        throw std::runtime_error("the editor's typeface cannot be read");
}

double Font::Scale(double size) const { return stbtt_ScaleForPixelHeight(&Info(info_), static_cast<float>(size)); }

double Font::Ascent(double size) const {
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&Info(info_), &ascent, &descent, &gap);
    return ascent * Scale(size);
}

double Font::Descent(double size) const {
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&Info(info_), &ascent, &descent, &gap);
    return -descent * Scale(size);
}

double Font::Width(const std::string& utf8, double size) const {
    const double scale = Scale(size);
    const std::vector<uint32_t> codes = DecodeUTF8(utf8);
    double width = 0.0;
    for (size_t i = 0; i < codes.size(); ++i) width += Advance(codes, i, scale);
    return width;
}

double Font::Advance(const std::vector<uint32_t>& codes, size_t i, double scale) const {
    int advance = 0, bearing = 0;
    stbtt_GetCodepointHMetrics(&Info(info_), static_cast<int>(codes[i]), &advance, &bearing);
    const int kerning = i + 1 < codes.size() ? stbtt_GetCodepointKernAdvance(&Info(info_), static_cast<int>(codes[i]),
                                                                             static_cast<int>(codes[i + 1]))
                                             : 0;
    return (advance + kerning) * scale;
}

const Font::Glyph& Font::GlyphFor(uint32_t codepoint, double size, int32_t subpixel) {
    const uint64_t key = uint64_t(codepoint) << 32 | uint64_t(std::lround(size * 64.0)) << 2 | uint64_t(subpixel);
    auto found = glyphs_.find(key);
    if (found != glyphs_.end()) return found->second;
    Glyph glyph;
    const float scale = static_cast<float>(Scale(size)), shift = subpixel / 4.0f;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    stbtt_GetCodepointBitmapBoxSubpixel(&Info(info_), static_cast<int>(codepoint), scale, scale, shift, 0.0f, &x0, &y0,
                                        &x1, &y1);
    glyph.left = x0;
    glyph.top = y0;
    glyph.width = std::max(x1 - x0, 0);
    glyph.height = std::max(y1 - y0, 0);
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
    if (!glyph.coverage.empty())
        stbtt_MakeCodepointBitmapSubpixel(&Info(info_), glyph.coverage.data(), glyph.width, glyph.height, glyph.width,
                                          scale, scale, shift, 0.0f, static_cast<int>(codepoint));
    return glyphs_.emplace(key, std::move(glyph)).first->second;
}

double Font::Draw(Bitmap& bitmap, double x, double y, const std::string& utf8, double size, Color color,
                  int32_t clipLeft, int32_t clipTop, int32_t clipRight, int32_t clipBottom) {
    const double scale = Scale(size);
    const std::vector<uint32_t> codes = DecodeUTF8(utf8);
    const int32_t baseline = static_cast<int32_t>(std::lround(y));
    double pen = x;
    for (size_t i = 0; i < codes.size(); ++i) {
        const double start = std::floor(pen);
        const int32_t subpixel = static_cast<int32_t>((pen - start) * 4.0) & 3;
        const Glyph& glyph = GlyphFor(codes[i], size, subpixel);
        for (int32_t row = 0; row < glyph.height; ++row) {
            const int32_t py = baseline + glyph.top + row;
            if (py < clipTop || py >= clipBottom) continue;
            for (int32_t column = 0; column < glyph.width; ++column) {
                const int32_t px = static_cast<int32_t>(start) + glyph.left + column;
                if (px < clipLeft || px >= clipRight) continue;
                const uint8_t c = glyph.coverage[static_cast<size_t>(row) * glyph.width + column];
                if (c != 0) bitmap.Blend(px, py, color, c / 255.0f);
            }
        }
        pen += Advance(codes, i, scale);
    }
    return pen;
}

}  // namespace gui
