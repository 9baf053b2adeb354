#pragma once

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <stdlib.h>
#endif

#include "platform/AppPaths.h"

namespace platform::test {

// Test runs put suites in parallel processes, so every test gets a folder no other can pick.
inline std::filesystem::path MakeTempFolder()
{
    const auto base = std::filesystem::temp_directory_path();
#ifdef _WIN32
    std::random_device random;
    for (;;) {
        auto candidate = base / ("platform-test-" + std::to_string(random()));
        if (std::filesystem::create_directory(candidate))
            return candidate;
    }
#else
    std::string pattern = (base / "platform-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::filesystem::filesystem_error(
            "mkdtemp", base, std::error_code(errno, std::generic_category()));
    return pattern;
#endif
}

// Points the executable folder at a fresh temporary folder for the length of one test.
class ExecutableFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = MakeTempFolder();
        SetExecutableFolder(folder_.string());
    }

    void TearDown() override
    {
        SetExecutableFolder("");
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    void WriteAdminIni(std::string_view content) const
    {
        std::ofstream file(AdminIniPath(), std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        ASSERT_TRUE(file.good());
    }

    std::filesystem::path folder_;
};

} // namespace platform::test
