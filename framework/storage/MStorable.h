#pragma once
// Anything stored under an identifier in a settings tree.

#include <string>

namespace corvane {

class MStorable {
public:
    virtual ~MStorable() = default;

    const std::string& Identifier() const { return identifier_; }
    void SetIdentifier(std::string identifier) { identifier_ = std::move(identifier); }

private:
    std::string identifier_;
};

}  // namespace corvane
