#include "framework/storage/MXMLItem.h"

#include <algorithm>

#include "framework/core/MException.h"

namespace corvane {

MXMLItem::MXMLItem(std::string name) : name_(std::move(name)) {}

MXMLItem::MXMLItem(const MXMLItem& other) { Copy(other); }

MXMLItem& MXMLItem::operator=(const MXMLItem& other) {
    if (this != &other) Copy(other);
    return *this;
}

MXMLItem::~MXMLItem() = default;

size_t MXMLItem::LowerBound(const std::string& name) const {
    auto it = std::lower_bound(
        attributes_.begin(), attributes_.end(), name,
        [](const std::pair<std::string, std::string>& pair, const std::string& key) { return pair.first < key; });
    return static_cast<size_t>(it - attributes_.begin());
}

bool MXMLItem::HasAttribute(const std::string& name) {
    const size_t at = LowerBound(name);
    cachedAttribute_ = (at < attributes_.size() && attributes_[at].first == name) ? &attributes_[at] : nullptr;
    return cachedAttribute_ != nullptr;
}

const std::string& MXMLItem::CachedAttributeValue() const {
    if (cachedAttribute_ == nullptr)
        throw MException("There is no attribute in the cache. Previous call to HasAttribute probably did not succeed.");
    return cachedAttribute_->second;
}

const std::string* MXMLItem::FindAttribute(const std::string& name) const {
    const size_t at = LowerBound(name);
    if (at < attributes_.size() && attributes_[at].first == name) return &attributes_[at].second;
    return nullptr;
}

std::string MXMLItem::GetAttribute(const std::string& name, const std::string& defaultValue) const {
    const std::string* value = FindAttribute(name);
    return value != nullptr ? *value : defaultValue;
}

void MXMLItem::SetAttribute(const std::string& name, const std::string& value) {
    const size_t at = LowerBound(name);
    if (at < attributes_.size() && attributes_[at].first == name) {
        attributes_[at].second = value;
        return;
    }
    cachedAttribute_ = nullptr;  // insertion may move the pairs
    attributes_.insert(attributes_.begin() + static_cast<std::ptrdiff_t>(at), {name, value});
}

void MXMLItem::RemoveAttribute(const std::string& name) {
    const size_t at = LowerBound(name);
    if (at < attributes_.size() && attributes_[at].first == name) {
        cachedAttribute_ = nullptr;
        attributes_.erase(attributes_.begin() + static_cast<std::ptrdiff_t>(at));
    }
}

void MXMLItem::AdoptAttributes(std::vector<std::pair<std::string, std::string>> attributes) {
    cachedAttribute_ = nullptr;
    std::stable_sort(attributes.begin(), attributes.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    // Of each run of equal names keep the last, as repeated setting would.
    attributes_.clear();
    attributes_.reserve(attributes.size());
    for (auto& pair : attributes) {
        if (!attributes_.empty() && attributes_.back().first == pair.first)
            attributes_.back().second = std::move(pair.second);
        else
            attributes_.push_back(std::move(pair));
    }
}

bool MXMLItem::HasSubItem(const std::string& name) {
    cachedSubItem_ = FindSubItem(name);
    return cachedSubItem_ != nullptr;
}

MXMLItem& MXMLItem::CachedSubItem() const {
    if (cachedSubItem_ == nullptr)
        throw MException("There is no subitem in the cache. Previous call to HasSubItem probably did not succeed.");
    return *cachedSubItem_;
}

MXMLItem* MXMLItem::FindSubItem(const std::string& name) const {
    for (const auto& child : children_)
        if (child->name_ == name) return child.get();
    return nullptr;
}

MXMLItem& MXMLItem::GetOrAddSubItem(const std::string& name) {
    if (MXMLItem* found = FindSubItem(name)) return *found;
    return AddSubItem(name);
}

MXMLItem& MXMLItem::AddSubItem(const std::string& name) {
    AdoptChild(std::make_unique<MXMLItem>(name));
    return *children_.back();
}

void MXMLItem::AdoptChild(std::unique_ptr<MXMLItem> child) {
    child->parent_ = this;
    child->depth_ = depth_ + 1;
    children_.push_back(std::move(child));
}

void MXMLItem::RemoveSubItem(const std::string& name) {
    cachedSubItem_ = nullptr;
    children_.erase(std::remove_if(children_.begin(), children_.end(),
                                   [&](const std::unique_ptr<MXMLItem>& child) { return child->name_ == name; }),
                    children_.end());
}

void MXMLItem::RemoveSubItem(const MXMLItem& child) {
    cachedSubItem_ = nullptr;
    children_.erase(std::remove_if(children_.begin(), children_.end(),
                                   [&](const std::unique_ptr<MXMLItem>& own) { return own.get() == &child; }),
                    children_.end());
}

void MXMLItem::Iterator::Init(const MXMLItem& item, std::string name) {
    item_ = &item;
    name_ = std::move(name);
    position_ = 0;
}

MXMLItem* MXMLItem::Iterator::Next() {
    if (item_ == nullptr) throw MException("XML item iterator has not been initialized.");
    while (position_ < item_->children_.size()) {
        MXMLItem* child = item_->children_[position_++].get();
        if (child->name_ == name_) return child;
    }
    return nullptr;
}

void MXMLItem::Copy(const MXMLItem& source) {
    if (&source == this) return;
    // Copy first: the source may live inside this element's subtree.
    std::vector<std::unique_ptr<MXMLItem>> children;
    children.reserve(source.children_.size());
    for (const auto& child : source.children_) children.push_back(std::make_unique<MXMLItem>(*child));
    std::string name = source.name_;
    std::string text = source.text_;
    auto attributes = source.attributes_;
    Clear();
    name_ = std::move(name);
    text_ = std::move(text);
    attributes_ = std::move(attributes);
    for (auto& child : children) AdoptChild(std::move(child));
    // Depths below the first level follow the new parent.
    struct Fix {
        static void Depths(MXMLItem& item) {
            for (auto& child : item.children_) {
                child->depth_ = item.depth_ + 1;
                Depths(*child);
            }
        }
    };
    Fix::Depths(*this);
}

void MXMLItem::Clear() {
    cachedAttribute_ = nullptr;
    cachedSubItem_ = nullptr;
    attributes_.clear();
    text_.clear();
    children_.clear();
}

}  // namespace corvane
