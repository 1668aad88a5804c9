#include "entry/MModule.h"

#include <memory>

#include "framework/core/MLock.h"

namespace corvane {
namespace {

MMutex& StartUpLock() {
    static MMutex lock;
    return lock;
}

// Destroyed when the library unloads.
std::unique_ptr<MModule>& ModuleSlot() {
    static std::unique_ptr<MModule> module;
    return module;
}

std::array<uint64_t, 6>& ConfigurationSlot() {
    static std::array<uint64_t, 6> values{};
    return values;
}

}  // namespace

void MModule::GlobalInitialize() { initialized_ = true; }

MModule* MModule::Instance() {
    MLock hold(StartUpLock());
    return ModuleSlot().get();
}

MModule& MModule::StartUp() {
    MLock hold(StartUpLock());
    if (!ModuleSlot()) {
        auto module = std::make_unique<MModule>("Sonvera");
        module->GlobalInitialize();
        ModuleSlot() = std::move(module);
    }
    return *ModuleSlot();
}

MModule* MModule::Initialize(const std::string& name) {
    // The lock keeps a concurrent start-up from creating a second module.
    MLock hold(StartUpLock());
    if (!ModuleSlot()) {
        auto module = std::make_unique<MModule>(name);
        module->GlobalInitialize();
        ModuleSlot() = std::move(module);
    }
    return ModuleSlot().get();
}

std::array<uint64_t, 6> MModule::Configuration() {
    MLock hold(StartUpLock());
    return ConfigurationSlot();
}

void MModule::SetConfiguration(const std::array<uint64_t, 6>& values) {
    MLock hold(StartUpLock());
    ConfigurationSlot() = values;
}

}  // namespace corvane
