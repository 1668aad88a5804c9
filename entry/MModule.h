#pragma once
// One per process: the library's process-wide resources. Created by the first
// entry point, deleted when the library is unloaded.

#include <array>
#include <cstdint>
#include <string>

namespace corvane {

class MModule {
public:
    explicit MModule(std::string name) : name_(std::move(name)) {}

    const std::string& Name() const { return name_; }
    bool IsInitialized() const { return initialized_; }
    // Loads the global resources.
    void GlobalInitialize();

    // The module, or null before the first entry point ran.
    static MModule* Instance();
    // Process-wide start-up: creates and initialises the module exactly once,
    // under the start-up lock. Throws "Could not acquire mutex." when the lock fails.
    static MModule& StartUp();
    // Creates the module when missing, without running start-up twice.
    static MModule* Initialize(const std::string& name);

    // The values another module passed through CorvaneDLLInitialize.
    static std::array<uint64_t, 6> Configuration();
    static void SetConfiguration(const std::array<uint64_t, 6>& values);

private:
    std::string name_;
    bool initialized_ = false;
};

}  // namespace corvane
