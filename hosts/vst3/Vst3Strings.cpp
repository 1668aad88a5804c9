#include "hosts/vst3/Vst3Interface.h"

#include "framework/storage/MEncoding.h"

namespace Vst3 {

void CopyUtf16(const std::string& text, int16_t* out, size_t capacity) {
    if (out == nullptr || capacity == 0) return;
    size_t n = 0;
    for (size_t i = 0; i < text.size() && n + 1 < capacity;) {
        const auto byte = static_cast<unsigned char>(text[i]);
        uint32_t cp = byte;
        size_t length = 1;
        if (byte >= 0xF0 && i + 3 < text.size()) {
            cp = ((byte & 0x07u) << 18) | ((text[i + 1] & 0x3Fu) << 12) | ((text[i + 2] & 0x3Fu) << 6) |
                 (text[i + 3] & 0x3Fu);
            length = 4;
        } else if (byte >= 0xE0 && i + 2 < text.size()) {
            cp = ((byte & 0x0Fu) << 12) | ((text[i + 1] & 0x3Fu) << 6) | (text[i + 2] & 0x3Fu);
            length = 3;
        } else if (byte >= 0xC0 && i + 1 < text.size()) {
            cp = ((byte & 0x1Fu) << 6) | (text[i + 1] & 0x3Fu);
            length = 2;
        }
        i += length;
        if (cp >= 0x10000) {
            if (n + 2 >= capacity) break;
            cp -= 0x10000;
            out[n++] = static_cast<int16_t>(0xD800 + (cp >> 10));
            out[n++] = static_cast<int16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out[n++] = static_cast<int16_t>(cp);
        }
    }
    out[n] = 0;
}

std::string FromUtf16(const int16_t* text, size_t capacity) {
    std::string out;
    if (text == nullptr) return out;
    for (size_t i = 0; i < capacity && text[i] != 0; ++i) {
        uint32_t cp = static_cast<uint16_t>(text[i]);
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < capacity) {
            const uint32_t low = static_cast<uint16_t>(text[i + 1]);
            if (low >= 0xDC00 && low < 0xE000) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                ++i;
            }
        }
        corvane::MEncoding::AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace Vst3
