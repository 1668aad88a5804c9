#include "framework/storage/MEncoding.h"

#include "framework/core/MException.h"
#include "framework/core/Strings.h"
#include "framework/core/Utf8.h"
#include "framework/storage/MStream.h"

namespace corvane {
namespace MEncoding {

void AppendUtf8(std::string& out, uint32_t cp) { corvane::AppendUtf8(out, cp); }

namespace {

// Next code point of UTF-8 text; malformed bytes read as U+FFFD.
uint32_t NextCodePoint(const std::string& s, size_t& i) {
    const uint8_t c = static_cast<uint8_t>(s[i++]);
    if (c < 0x80) return c;
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : -1;
    if (extra < 0) return 0xFFFD;
    uint32_t cp = c & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<uint8_t>(s[i]) & 0xC0) != 0x80) return 0xFFFD;
        cp = (cp << 6) | (static_cast<uint8_t>(s[i++]) & 0x3F);
    }
    return cp;
}

class Utf8Codec : public Codec {
public:
    std::string Encode(const std::string& text) const override { return text; }
    std::string Decode(const std::string& bytes) const override { return bytes; }
};

class Utf16Codec : public Codec {
public:
    void ReadPreamble(MStream& stream) override {
        uint8_t bom[2] = {0, 0};
        if (stream.Read(bom, 2) != 2 || bom[0] != 0xFF || bom[1] != 0xFE)
            throw MException("Invalid file contents. Invalid special element sequence.");
    }
    void WritePreamble(MStream& stream) const override { stream.Write("\xFF\xFE", 2); }
    std::string Encode(const std::string& text) const override {
        std::string out;
        for (size_t i = 0; i < text.size();) {
            uint32_t cp = NextCodePoint(text, i);
            auto unit = [&](uint32_t u) {
                out += static_cast<char>(u & 0xFF);
                out += static_cast<char>(u >> 8);
            };
            if (cp >= 0x10000) {
                cp -= 0x10000;
                unit(0xD800 | (cp >> 10));
                unit(0xDC00 | (cp & 0x3FF));
            } else {
                unit(cp);
            }
        }
        return out;
    }
    std::string Decode(const std::string& bytes) const override {
        std::string out;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            uint32_t u = static_cast<uint8_t>(bytes[i]) | static_cast<uint8_t>(bytes[i + 1]) << 8;
            if (u >= 0xD800 && u < 0xDC00 && i + 3 < bytes.size()) {
                const uint32_t low = static_cast<uint8_t>(bytes[i + 2]) | static_cast<uint8_t>(bytes[i + 3]) << 8;
                if (low >= 0xDC00 && low < 0xE000) {
                    u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                }
            }
            AppendUtf8(out, u);
        }
        return out;
    }
};

// Single-byte encodings: bytes 0..127 as ASCII, the upper half by a table (0 = none).
class TableCodec : public Codec {
public:
    explicit TableCodec(const uint16_t* upper) : upper_(upper) {}
    std::string Encode(const std::string& text) const override {
        std::string out;
        for (size_t i = 0; i < text.size();) {
            const uint32_t cp = NextCodePoint(text, i);
            out += static_cast<char>(ByteFor(cp));
        }
        return out;
    }
    std::string Decode(const std::string& bytes) const override {
        std::string out;
        for (char b : bytes) {
            const uint8_t c = static_cast<uint8_t>(b);
            AppendUtf8(out, c < 0x80 ? c : (upper_ != nullptr && upper_[c - 0x80] ? upper_[c - 0x80] : 0xFFFD));
        }
        return out;
    }

private:
    uint8_t ByteFor(uint32_t cp) const {
        if (cp < 0x80) return static_cast<uint8_t>(cp);
        if (upper_ != nullptr)
            for (int k = 0; k < 128; ++k)
                if (upper_[k] == cp) return static_cast<uint8_t>(0x80 + k);
        return '?';
    }
    const uint16_t* upper_;
};

const uint16_t* Latin1() {
    static uint16_t table[128];
    for (int k = 0; k < 128; ++k) table[k] = static_cast<uint16_t>(0x80 + k);
    return table;
}

const uint16_t* Windows1252() {
    static const uint16_t table[128] = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152,
        0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122,
        0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, 0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6,
        0x00A7, 0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF, 0x00B0, 0x00B1, 0x00B2, 0x00B3,
        0x00B4, 0x00B5, 0x00B6, 0x00B7, 0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF, 0x00C0,
        0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7, 0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD,
        0x00CE, 0x00CF, 0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7, 0x00D8, 0x00D9, 0x00DA,
        0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF, 0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
        0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF, 0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4,
        0x00F5, 0x00F6, 0x00F7, 0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF};
    return table;
}

}  // namespace

void Codec::WriteText(MStream& stream, const std::string& text) const { stream.WriteText(Encode(text)); }

void Codec::WriteLine(MStream& stream, const std::string& text) const { stream.WriteText(Encode(text + "\n")); }

std::unique_ptr<Codec> ForName(const std::string& name) {
    if (name == "utf8" || name == "utf-8") return std::make_unique<Utf8Codec>();
    if (name == "utf16" || name == "utf-16") return std::make_unique<Utf16Codec>();
    if (name.empty()) return std::make_unique<TableCodec>(nullptr);
    if (EqualsIgnoreCase(name, "iso-8859-1") || EqualsIgnoreCase(name, "latin1"))
        return std::make_unique<TableCodec>(Latin1());
    if (EqualsIgnoreCase(name, "windows-1252") || EqualsIgnoreCase(name, "cp1252"))
        return std::make_unique<TableCodec>(Windows1252());
    throw MException("No codec found for encoding " + name + ".");
}

}  // namespace MEncoding
}  // namespace corvane
