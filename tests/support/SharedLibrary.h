#pragma once
// A plug-in library opened by file, as a host opens it: dlopen on Linux,
// LoadLibrary on Windows (a relative name there is taken beside the test
// program, where the build puts the DLL). The system headers stay in the
// source file: windows.h renames GetObject and friends wherever it goes.

namespace sonvera_test {

class SharedLibrary {
public:
    explicit SharedLibrary(const char* path);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool Loaded() const { return handle_ != nullptr; }
    void* Handle() const { return handle_; }
    // The exported function, null when the library lacks it.
    template <class Function>
    Function Symbol(const char* name) const {
        return reinterpret_cast<Function>(Address(name));
    }

private:
    void* Address(const char* name) const;

    void* handle_ = nullptr;
};

}  // namespace sonvera_test
