#include "runfiles/RunFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "platform/AppPaths.h"
#include "tests/runfiles/TempFolder.h"

namespace runfiles {
namespace {

using testing::HasSubstr;

// Cases are written with '/', which stands for the platform's delimiter.
std::string Native(std::string path)
{
    std::replace(path.begin(), path.end(), '/', platform::PathDelimiter());
    return path;
}

std::tm Time(int year, int month, int day, int hour, int minute, int second)
{
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    time.tm_isdst = -1;
    return time;
}

TEST(RunFolderName, AppendsTheStampBetweenDelimiters)
{
    struct Case {
        const char* chosen;
        std::tm time;
        const char* expected;
    };
    const Case cases[] = {
        {"/backups", Time(2023, 12, 31, 23, 59, 59), "/backups/20231231235959/"},
        {"/backups/", Time(2023, 12, 31, 23, 59, 59), "/backups/20231231235959/"},
        {"", Time(2023, 12, 31, 23, 59, 59), "/20231231235959/"},
        {"relative/dir", Time(2024, 1, 2, 3, 4, 5), "relative/dir/20240102030405/"},
        {"/b", Time(2031, 6, 7, 0, 0, 0), "/b/20310607000000/"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunFolderName(Native(c.chosen), c.time), Native(c.expected))
            << '"' << c.chosen << '"';
}

#ifndef _WIN32
// A zone away from UTC, so that a conversion to UTC instead of local time shows.
class InIndiaTime : public testing::Test {
protected:
    void SetUp() override
    {
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        if (hadZone_)
            oldZone_ = old;
        setenv("TZ", "<+0530>-5:30", 1);
        tzset();
    }

    void TearDown() override
    {
        if (hadZone_)
            setenv("TZ", oldZone_.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    bool hadZone_ = false;
    std::string oldZone_;
};

TEST_F(InIndiaTime, NewNameUsesTheClockInLocalTime)
{
    const std::time_t utc20310202223506 = 1927838106;
    EXPECT_EQ(NewRunFolderName("x", [&] { return utc20310202223506; }), "x/20310203040506/");
}
#endif

class CreateFolderWithParentsTest : public test::TempFolderTest {};

TEST_F(CreateFolderWithParentsTest, CreatesEveryMissingLevel)
{
    const std::string path = In(Native("one/two/three/"));
    CreateFolderWithParents(path);
    EXPECT_TRUE(std::filesystem::is_directory(path));

    EXPECT_NO_THROW(CreateFolderWithParents(path)) << "an existing folder is fine";
}

TEST_F(CreateFolderWithParentsTest, FailsUnderARegularFileNamingPathAndReason)
{
    Write(In("file"), "x");
    for (const std::string& path : {In("file"), In(Native("file/sub/deeper"))}) {
        try {
            CreateFolderWithParents(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const std::runtime_error& error) {
            EXPECT_THAT(error.what(), HasSubstr('"' + path + '"'));
#ifndef _WIN32
            EXPECT_THAT(error.what(), HasSubstr(std::strerror(ENOTDIR)));
#endif
        }
    }
}

} // namespace
} // namespace runfiles
