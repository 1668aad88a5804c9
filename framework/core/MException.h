#pragma once
// The framework's own exception: a message text, nothing more.

#include <exception>
#include <string>
#include <utility>

namespace corvane {

class MException : public std::exception {
public:
    explicit MException(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};

}  // namespace corvane
