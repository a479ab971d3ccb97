// Test entry: every test process runs in a scratch folder of its own that
// sees the installation folder's data\ through a link. Tests run in parallel,
// and what the game writes beside its data ("gen\", "_error.txt", the
// settings) must not collide between processes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);

    namespace fs = std::filesystem;
    const fs::path install = fs::current_path();
    char pattern[] = "/tmp/vexmoor-test-XXXXXX";
    const char* scratch = mkdtemp(pattern);
    if (!scratch) return 2;
    std::error_code ec;
    if (fs::exists(install / "data")) fs::create_directory_symlink(install / "data", fs::path(scratch) / "data", ec);
    fs::current_path(scratch);

    const int result = RUN_ALL_TESTS();

    fs::current_path(install);
    fs::remove_all(scratch, ec);
    return result;
}
