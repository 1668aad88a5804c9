#include "framework/storage/XMLFiles.h"

#include <cstring>
#include <vector>

#include "framework/core/MException.h"
#include "platform/ReplacingFile.h"

namespace corvane {

void WriteCompressed(const MXMLItem& root, MStream& stream, const std::string& encoding) {
    MZLibStream zlib(stream, true, 100);
    root.Write(zlib, encoding, XMLLayout::Compact);
    zlib.Finish();
}

void SaveToFile(const MXMLItem& root, const std::string& path, const std::string& encoding) {
    MMemoryStream text;
    root.Write(text, encoding, XMLLayout::Indented);
    // What this reader would refuse is not written: it could never be loaded.
    if (static_cast<size_t>(text.Size()) > MXMLItem::MaxDocumentBytes)
        throw MException("File \"" + path + "\" would be too large to be read again.");
    std::string error;
    if (!ReplacingFile::WriteWhole(path, text.Data(), static_cast<size_t>(text.Size()), error)) throw MException(error);
}

void LoadFromFile(MXMLItem& root, const std::string& path) {
    MStdFileStream file(path, MStdFileStream::ForReading);
    if (!root.Parse(file)) throw MException("The XML does not contain any elements.");
}

bool LoadWithFallback(MXMLItem& root, MStream& stream) {
    const int64_t start = stream.Position();
    try {
        MZLibStream zlib(stream, false);
        zlib.SetOutputLimit(MaxInflatedBytes);
        if (root.Parse(zlib)) return true;
    } catch (const MException&) {
        // not a zlib stream, or not XML inside one: try plain text
    }
    stream.Seek(start, MStream::FromStart);
    return root.Parse(stream);
}

void MXMLItem::StoreBinary(const void* bytes, size_t count, bool compressed) {
    MMemoryStream text;
    MHexaStream hex(text);
    if (compressed) {
        MMemoryStream packed;
        {
            MZLibStream zlib(packed, true, 100);
            zlib.Write(bytes, count);
            zlib.Finish();
        }
        for (size_t at = 0; at < static_cast<size_t>(packed.Size()); at += 128)
            hex.Write(packed.Data() + at, std::min<size_t>(128, static_cast<size_t>(packed.Size()) - at));
    } else {
        const uint8_t* in = static_cast<const uint8_t*>(bytes);
        for (size_t at = 0; at < count; at += 128) hex.Write(in + at, std::min<size_t>(128, count - at));
    }
    SetText(std::string(reinterpret_cast<const char*>(text.Data()), static_cast<size_t>(text.Size())));
}

void MXMLItem::LoadBinary(void* buffer, size_t count, bool compressed) const {
    const std::string& text = Text();
    if (!compressed) {
        const size_t characters = std::min(text.size(), 2 * count);
        MMemoryStream source(const_cast<char*>(text.data()), characters);
        MHexaStream hex(source);
        hex.Read(buffer, count);
        return;
    }
    MMemoryStream source(const_cast<char*>(text.data()), text.size());
    MHexaStream hex(source);
    MMemoryStream packed;
    uint8_t block[1024];
    for (size_t got; (got = hex.Read(block, sizeof block)) > 0;) packed.Write(block, got);
    packed.Seek(0, MStream::FromStart);
    MZLibStream zlib(packed, false);
    zlib.SetOutputLimit(count + 1);
    std::vector<uint8_t> out(count + 1);
    size_t total = 0;
    try {
        for (size_t got; total < out.size() && (got = zlib.Read(out.data() + total, out.size() - total)) > 0;)
            total += got;
    } catch (const MException&) {
        throw MException("Value doesn't have correct format.");
    }
    // Fewer bytes than asked is corrupt; so is more.
    if (total != count) throw MException("Value doesn't have correct format.");
    std::memcpy(buffer, out.data(), count);
}

}  // namespace corvane
