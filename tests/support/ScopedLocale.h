#pragma once
// Switches the process locale for one test, as a host calling
// setlocale(LC_ALL, "") would, and restores the previous one.

#include <clocale>
#include <string>

namespace sonvera_test {

class ScopedLocale {
public:
    explicit ScopedLocale(const char* name) : previous_(std::setlocale(LC_ALL, nullptr)) {
        active_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;
    bool Active() const { return active_; }

private:
    std::string previous_;
    bool active_ = false;
};

// A locale with a decimal comma; `make setup` generates it on Linux.
#ifdef _WIN32
constexpr const char* CommaLocale = "German_Germany.1252";
#else
constexpr const char* CommaLocale = "de_DE.UTF-8";
#endif
constexpr const char* CommaLocaleMissing =
    "de_DE.UTF-8 is not installed here; `make setup` (as root) generates it with localedef";

}  // namespace sonvera_test
