#include "runfiles/ScriptFile.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/AppPaths.h"
#include "runfiles/RunFolder.h"
#include "tests/runfiles/TempFolder.h"

namespace runfiles {
namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

class ScriptFileTest : public test::TempFolderTest {};

TEST_F(ScriptFileTest, PathsLieInTheRunFolderWithOrWithoutItsDelimiter)
{
    for (const std::string& folder : {Folder(), Folder() + platform::PathDelimiter()}) {
        const ScriptFile file(folder, "a/b");
        EXPECT_EQ(file.FinalPath(), In("a@002fb.sql"));
        EXPECT_EQ(file.TemporaryPath(), In("a@002fb.sql.tmp"));
        EXPECT_TRUE(file.Name().escaped);
    }
}

TEST_F(ScriptFileTest, CommitReplacesAnExistingFinalFile)
{
    ScriptFile file(Folder(), "preços");
    Write(file.FinalPath(), "old");
    Write(file.TemporaryPath(), "new");

    file.Commit();

    EXPECT_EQ(Read(file.FinalPath()), "new");
    EXPECT_THAT(Entries(Folder()), ElementsAre("preços.sql"));
}

TEST_F(ScriptFileTest, CommitWithoutATemporaryFileNamesBothPaths)
{
    ScriptFile file(Folder(), "t");
    try {
        file.Commit();
        FAIL() << "no error";
    } catch (const std::runtime_error& error) {
        EXPECT_THAT(error.what(), HasSubstr('"' + file.TemporaryPath() + '"'));
        EXPECT_THAT(error.what(), HasSubstr('"' + file.FinalPath() + '"'));
    }
    EXPECT_THAT(Entries(Folder()), IsEmpty());
}

TEST_F(ScriptFileTest, MarkIncompleteLeavesOnlyTheIncompleteFile)
{
    ScriptFile file(Folder(), "t");
    Write(file.FinalPath() + ".incompleto", "from an older run");
    Write(file.TemporaryPath(), "INSERT INTO t VALUES (1),(");

    EXPECT_EQ(file.MarkIncomplete(), file.FinalPath() + ".incompleto");

    EXPECT_THAT(Entries(Folder()), ElementsAre("t.sql.incompleto"));
    EXPECT_EQ(Read(file.FinalPath() + ".incompleto"), "INSERT INTO t VALUES (1),(");
}

TEST_F(ScriptFileTest, MarkIncompleteWithoutATemporaryFileDoesNothing)
{
    ScriptFile file(Folder(), "t");
    EXPECT_EQ(file.MarkIncomplete(), "");
    EXPECT_THAT(Entries(Folder()), IsEmpty());
}

TEST_F(ScriptFileTest, SecondRunInTheSameSecondReplacesTheFirst)
{
    std::tm time{};
    time.tm_year = 2023 - 1900;
    time.tm_mon = 11;
    time.tm_mday = 31;
    const std::string runFolder = RunFolderName(Folder(), time);

    for (const char* content : {"first run", "second run"}) {
        CreateFolderWithParents(runFolder);
        ScriptFile file(runFolder, "t");
        Write(file.TemporaryPath(), content);
        file.Commit();
    }

    EXPECT_THAT(Entries(runFolder), ElementsAre("t.sql"));
    EXPECT_EQ(Read(runFolder + "t.sql"), "second run");
}

} // namespace
} // namespace runfiles
