// Reloading the plug-in library, measured by glibc's heap statistics.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>

#include <cstddef>

// Hosts rescan and reload plug-ins: loading and unloading the library again
// and again must not cost memory each time.
TEST(LibraryReload, RepeatedLoadsDoNotGrowTheHeap) {
    auto loadAndUnload = [] {
        void* library = dlopen(SONVERA_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library, nullptr) << dlerror();
        dlclose(library);
    };
    for (int i = 0; i < 3; ++i) loadAndUnload();
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < 50; ++i) loadAndUnload();
    const size_t after = mallinfo2().uordblks;
    EXPECT_LT(after > before ? after - before : 0, 256u * 1024u) << "bytes still in use after 50 reloads";
}
