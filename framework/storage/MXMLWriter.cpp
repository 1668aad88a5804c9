// Writing an element tree as XML text.

#include <cstring>
#include <memory>

#include "framework/core/MException.h"
#include "framework/storage/MEncoding.h"
#include "framework/storage/MStream.h"
#include "framework/storage/MXMLItem.h"

namespace corvane {
namespace {

// The entity that stands for a character in attribute values and text, or null.
const char* EntityFor(char c) {
    switch (c) {
        case '&':
            return "&amp;";
        case '<':
            return "&lt;";
        case '>':
            return "&gt;";
        case '\'':
            return "&apos;";
        case '"':
            return "&quot;";
        case '\n':
            return "&#10;";
        default:
            return nullptr;
    }
}

std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (const char* entity = EntityFor(c))
            out += entity;
        else
            out += c;
    }
    return out;
}

size_t EscapedLength(const std::string& text) {
    size_t length = 0;
    for (char c : text) {
        const char* entity = EntityFor(c);
        length += entity != nullptr ? std::strlen(entity) : 1;
    }
    return length;
}

class Writer {
public:
    Writer(MStream& stream, const MEncoding::Codec& codec, XMLLayout layout)
        : stream_(stream), codec_(codec), layout_(layout) {}

    void Element(const MXMLItem& item, int depth) {
        if (item.Name().empty()) throw MException("XML entity cannot have empty name.");
        const bool indented = layout_ == XMLLayout::Indented;
        if (indented) Indent(depth);
        Put("<" + item.Name());
        for (const auto& attribute : item.Attributes())
            Put(" " + attribute.first + "=\"" + Escape(attribute.second) + "\"");
        const bool empty = item.SubItemCount() == 0 && item.Text().empty();
        if (empty) {
            Put("/>");
            EndLine(depth);
            return;
        }
        Put(">");
        if (indented) {
            Put("\n");
            TextLines(item.Text(), depth + 1);
        } else {
            Put(Escape(item.Text()));
        }
        for (size_t i = 0; i < item.SubItemCount(); ++i) Element(item.SubItem(i), depth + 1);
        if (indented) Indent(depth);
        Put("</" + item.Name() + ">");
        EndLine(depth);
    }

    void Put(const std::string& text) {
        buffer_ += text;
        if (buffer_.size() >= 1024) Flush();
    }

    void Flush() {
        if (!buffer_.empty()) codec_.WriteText(stream_, buffer_);
        buffer_.clear();
    }

private:
    void Indent(int depth) { Put(std::string(static_cast<size_t>(depth < 32 ? depth : 32), '\t')); }

    void EndLine(int depth) {
        if (layout_ == XMLLayout::Indented || depth <= 1) Put("\n");
    }

    // Breaks at the first blank 60 or more characters after each line's start.
    void TextLines(const std::string& text, int depth) {
        size_t start = 0;
        while (start < text.size()) {
            const size_t blank = text.size() > start + 60 ? text.find(' ', start + 60) : std::string::npos;
            const size_t end = blank == std::string::npos ? text.size() : blank;
            Indent(depth);
            Put(Escape(text.substr(start, end - start)));
            Put("\n");
            start = blank == std::string::npos ? text.size() : blank + 1;
        }
    }

    MStream& stream_;
    const MEncoding::Codec& codec_;
    XMLLayout layout_;
    std::string buffer_;
};

}  // namespace

void MXMLItem::Write(MStream& stream, const std::string& encoding, XMLLayout layout) const {
    const std::unique_ptr<MEncoding::Codec> codec = MEncoding::ForName(encoding);
    codec->WritePreamble(stream);
    Writer writer(stream, *codec, layout);
    writer.Put("<?xml version=\"1.0\" encoding=\"" + encoding + "\"?>\n");
    writer.Element(*this, 0);
    writer.Flush();
}

MXMLItem::Cost MXMLItem::Measure() const {
    // The compact layout: start and end tags, attributes, text, a line break.
    Cost cost{1, attributes_.size(), 2 * name_.size() + 6 + EscapedLength(text_)};
    for (const auto& attribute : attributes_)
        cost.bytes += attribute.first.size() + 4 + EscapedLength(attribute.second);
    for (const auto& child : children_) {
        const Cost part = child->Measure();
        cost.elements += part.elements;
        cost.attributes += part.attributes;
        cost.bytes += part.bytes;
    }
    return cost;
}

}  // namespace corvane
