#include "tools/render/StateTree.h"

#include <stdexcept>

#include "framework/core/MException.h"
#include "framework/storage/MStream.h"
#include "framework/storage/XMLFiles.h"

namespace render {

corvane::MXMLItem ReadStateTree(const std::vector<uint8_t>& state) {
    corvane::MXMLItem root;
    try {
        corvane::MMemoryStream stream(const_cast<uint8_t*>(state.data()), state.size());
        if (state.empty() || !corvane::LoadWithFallback(root, stream)) throw corvane::MException("empty");
    } catch (const corvane::MException&) {
        throw std::runtime_error("the plug-in's state could not be read");
    }
    return root;
}

std::vector<uint8_t> WriteStateTree(const corvane::MXMLItem& root) {
    corvane::MMemoryStream stream;
    corvane::WriteCompressed(root, stream, "utf-8");
    return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.Size());
}

}  // namespace render
