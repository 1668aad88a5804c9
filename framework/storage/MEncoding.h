#pragma once
// Text encodings of stored XML. Texts inside the framework are UTF-8; a codec
// turns them into the bytes of its encoding and back.

#include <cstdint>
#include <memory>
#include <string>

namespace corvane {

class MStream;

namespace MEncoding {

class Codec {
public:
    virtual ~Codec() = default;
    // Checks the bytes that start a document; throws when they are wrong.
    virtual void ReadPreamble(MStream& /*stream*/) {}
    virtual void WritePreamble(MStream& /*stream*/) const {}
    // UTF-8 text into this encoding's bytes.
    virtual std::string Encode(const std::string& text) const = 0;
    // This encoding's bytes into UTF-8 text.
    virtual std::string Decode(const std::string& bytes) const = 0;
    void WriteText(MStream& stream, const std::string& text) const;
    void WriteLine(MStream& stream, const std::string& text) const;
};

// "utf8"/"utf-8", "utf16"/"utf-16", "" (ASCII), or a registered single-byte
// code page ("iso-8859-1", "windows-1252"; any case). Otherwise
// "No codec found for encoding {0}.".
std::unique_ptr<Codec> ForName(const std::string& name);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

}  // namespace MEncoding
}  // namespace corvane
