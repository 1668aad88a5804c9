#pragma once
// A plug-in library opened by file, as a host opens it: dlopen on Linux,
// LoadLibrary on Windows (a relative name there is taken beside the test
// program, where the build puts the DLL).

#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace sonvera_test {

class SharedLibrary {
public:
    explicit SharedLibrary(const char* path) {
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
    ~SharedLibrary() {
        if (handle_ == nullptr) return;
#ifdef _WIN32
        FreeLibrary(static_cast<HMODULE>(handle_));
#else
        dlclose(handle_);
#endif
    }
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    void* Handle() const { return handle_; }
    // The exported function, null when the library lacks it.
    template <class Function>
    Function Symbol(const char* name) const {
        if (handle_ == nullptr) return nullptr;
#ifdef _WIN32
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name)));
#else
        return reinterpret_cast<Function>(dlsym(handle_, name));
#endif
    }

private:
    void* handle_ = nullptr;
};

}  // namespace sonvera_test
