#include "platform/AppPaths.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/platform/TempFolder.h"

namespace platform {
namespace {

TEST(AppPaths, RealExecutableFolderHoldsThisTest)
{
    const std::string folder = ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), PathDelimiter());
    // The test executable is named by its CMake target.
    const std::string name =
#ifdef _WIN32
        "platform_tests.exe";
#else
        "platform_tests";
#endif
    EXPECT_TRUE(std::filesystem::exists(folder + name)) << folder;
}

class AppPathsOverride : public test::ExecutableFolderTest {};

TEST_F(AppPathsOverride, AdminIniLivesInTheOverriddenFolder)
{
    const std::string folder = folder_.string();
    EXPECT_EQ(ExecutableFolder(), folder + PathDelimiter());
    EXPECT_EQ(AdminIniPath(), folder + PathDelimiter() + "Admin.ini");

    SetExecutableFolder(folder + PathDelimiter());
    EXPECT_EQ(ExecutableFolder(), folder + PathDelimiter()) << "delimiter doubled";
}

TEST_F(AppPathsOverride, EmptyRestoresTheRealFolder)
{
    SetExecutableFolder("");
    const std::string real = ExecutableFolder();
    EXPECT_NE(real, folder_.string() + PathDelimiter());
    EXPECT_TRUE(std::filesystem::exists(real));
}

} // namespace
} // namespace platform
