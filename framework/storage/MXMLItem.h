#pragma once
// One XML element: sorted attributes, ordered children, text.
// Every stored form of the plug-in is a tree of these.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

class MStream;

enum class XMLLayout {
    Compact,   // host chunks and compressed bodies: line breaks only after depths 0 and 1
    Indented,  // files: one tag a line, tabs by depth
};

class MXMLItem {
public:
    explicit MXMLItem(std::string name = std::string());
    MXMLItem(const MXMLItem& other);
    MXMLItem& operator=(const MXMLItem& other);
    ~MXMLItem();

    const std::string& Name() const { return name_; }
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& Text() const { return text_; }
    void SetText(std::string text) { text_ = std::move(text); }
    MXMLItem* Parent() const { return parent_; }
    int32_t Depth() const { return depth_; }

    // Attributes, kept in ascending order of name by character code.
    bool HasAttribute(const std::string& name);
    const std::string& CachedAttributeValue() const;
    std::string GetAttribute(const std::string& name, const std::string& defaultValue = std::string()) const;
    // The value, or null when the attribute is absent; leaves the cache alone.
    const std::string* FindAttribute(const std::string& name) const;
    void SetAttribute(const std::string& name, const std::string& value);
    void RemoveAttribute(const std::string& name);
    // Replaces all attributes with these, in any order: sorted once, and of
    // pairs with the same name the last one kept (what setting them one by
    // one would give, in linear-logarithmic time).
    void AdoptAttributes(std::vector<std::pair<std::string, std::string>> attributes);
    const std::vector<std::pair<std::string, std::string>>& Attributes() const { return attributes_; }

    // Children, in document order.
    bool HasSubItem(const std::string& name);
    MXMLItem& CachedSubItem() const;
    MXMLItem* FindSubItem(const std::string& name) const;
    MXMLItem& GetOrAddSubItem(const std::string& name);
    MXMLItem& AddSubItem(const std::string& name);
    void RemoveSubItem(const std::string& name);
    // Removes this one child (nothing when it is not a child of this element).
    void RemoveSubItem(const MXMLItem& child);
    size_t SubItemCount() const { return children_.size(); }
    MXMLItem& SubItem(size_t index) const { return *children_.at(index); }

    // Walks the children with one name, in document order.
    class Iterator {
    public:
        Iterator() = default;
        void Init(const MXMLItem& item, std::string name);
        // The next matching child, or null at the end.
        MXMLItem* Next();

    private:
        const MXMLItem* item_ = nullptr;
        std::string name_;
        size_t position_ = 0;
    };

    void Copy(const MXMLItem& source);
    void Clear();

    // XML text of this element as the document's root.
    void Write(MStream& stream, const std::string& encoding, XMLLayout layout) const;
    // Replaces this element with the document read from the stream; false
    // when the stream holds nothing. Syntax errors throw "Invalid file contents. ...".
    bool Parse(MStream& stream);

    // Bytes as upper-case hexadecimal text, optionally of their zlib stream.
    void StoreBinary(const void* bytes, size_t count, bool compressed);
    // The bytes back; compressed blocks must yield exactly count bytes.
    void LoadBinary(void* buffer, size_t count, bool compressed) const;

    // What the parser accepts of one document: deeper nesting, more elements
    // or attributes, or more text are refused before they cost time and memory.
    static constexpr int MaxDepth = 256;
    static constexpr size_t MaxElements = 100000;
    static constexpr size_t MaxAttributes = 400000;
    static constexpr size_t MaxDocumentBytes = 16u << 20;

    // What this element and its subtree take when written (compact layout),
    // to hold against the limits above before a tree is accepted.
    struct Cost {
        size_t elements, attributes, bytes;
        bool Within(size_t share) const {
            return elements <= MaxElements / share && attributes <= MaxAttributes / share &&
                   bytes <= MaxDocumentBytes / share;
        }
    };
    Cost Measure() const;

private:
    void AdoptChild(std::unique_ptr<MXMLItem> child);
    size_t LowerBound(const std::string& name) const;

    MXMLItem* parent_ = nullptr;
    int32_t depth_ = 0;
    std::string name_;
    std::string text_;
    std::vector<std::pair<std::string, std::string>> attributes_;
    std::vector<std::unique_ptr<MXMLItem>> children_;
    const std::pair<std::string, std::string>* cachedAttribute_ = nullptr;
    MXMLItem* cachedSubItem_ = nullptr;
};

}  // namespace corvane
