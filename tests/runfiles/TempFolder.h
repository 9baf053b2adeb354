#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <stdlib.h>
#endif

#include "platform/AppPaths.h"

namespace runfiles::test {

// Suites run in parallel processes, so every test gets a folder no other can pick.
class TempFolderTest : public testing::Test {
protected:
    void SetUp() override
    {
        const auto base = std::filesystem::temp_directory_path();
#ifdef _WIN32
        std::random_device random;
        do
            folder_ = base / ("runfiles-test-" + std::to_string(random()));
        while (!std::filesystem::create_directory(folder_));
#else
        std::string pattern = (base / "runfiles-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::filesystem::filesystem_error(
                "mkdtemp", base, std::error_code(errno, std::generic_category()));
        folder_ = pattern;
#endif
    }

    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }

    // The temporary folder as the UTF-8 text the library takes, without a trailing delimiter.
    std::string Folder() const { return folder_.string(); }

    std::string In(std::string_view name) const
    {
        return Folder() + platform::PathDelimiter() + std::string(name);
    }

    static void Write(const std::string& path, std::string_view content)
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        file.write(content.data(), static_cast<std::streamsize>(content.size()));
        ASSERT_TRUE(file.good()) << path;
    }

    static std::string Read(const std::string& path)
    {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    // Names of the entries of a folder, sorted.
    static std::vector<std::string> Entries(const std::string& folder)
    {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path folder_;
};

} // namespace runfiles::test
