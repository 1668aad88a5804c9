#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

// Every test runs with its data folders in a fresh scratch place: nothing
// reads or writes the user's real configuration. (On Windows the suite runs
// under wine64 in a prefix made for the run, which is that place.)
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
    return RUN_ALL_TESTS();
#else
    std::string folder = (std::filesystem::temp_directory_path() / "sonvera-tests-XXXXXX").string();
    if (mkdtemp(folder.data()) != nullptr) setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return result;
#endif
}
