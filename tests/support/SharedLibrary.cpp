#include "tests/support/SharedLibrary.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace sonvera_test {

SharedLibrary::SharedLibrary(const char* path) {
#ifdef _WIN32
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    std::string folder(program);
    folder.erase(folder.find_last_of("\\/") + 1);
    handle_ = LoadLibraryA((folder + path).c_str());
#else
    handle_ = dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
}

SharedLibrary::~SharedLibrary() {
    if (handle_ == nullptr) return;
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
}

void* SharedLibrary::Address(const char* name) const {
    if (handle_ == nullptr) return nullptr;
#ifdef _WIN32
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
}

}  // namespace sonvera_test
