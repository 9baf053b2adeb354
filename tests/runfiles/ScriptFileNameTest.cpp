#include "runfiles/ScriptFileName.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "tests/runfiles/TempFolder.h"

namespace runfiles {
namespace {

using namespace std::string_view_literals;

struct Case {
    std::string_view table;
    const char* fileName;
    bool escaped;
};

const Case kCases[] = {
    {"clientes", "clientes.sql", false},
    {"preços_ação", "preços_ação.sql", false},
    {" leading blank", " leading blank.sql", false},
    {"a.b", "a.b.sql", false},

    {"a/b", "a@002fb.sql", true},
    {"a\\b", "a@005cb.sql", true},
    {"a:b", "a@003ab.sql", true},
    {"a*b", "a@002ab.sql", true},
    {"a?b", "a@003fb.sql", true},
    {"a\"b", "a@0022b.sql", true},
    {"a<b", "a@003cb.sql", true},
    {"a>b", "a@003eb.sql", true},
    {"a|b", "a@007cb.sql", true},
    {"a\0b"sv, "a@0000b.sql", true},
    {"a\tb\x1f", "a@0009b@001f.sql", true},
    {"a\x7f" "b", "a\x7f" "b.sql", false},
    // '@' is escaped so that this cannot be read back as "a/b".
    {"a@002fb", "a@0040002fb.sql", true},

    {"con", "@0063on.sql", true},
    {"CON", "@0043ON.sql", true},
    {"Prn", "@0050rn.sql", true},
    {"aUx", "@0061Ux.sql", true},
    {"nul", "@006eul.sql", true},
    {"COM1", "@0043OM1.sql", true},
    {"com9", "@0063om9.sql", true},
    {"Lpt1", "@004cpt1.sql", true},
    {"LPT9", "@004cPT9.sql", true},
    {"con.txt", "@0063on.txt.sql", true},
    {"nul .x", "@006eul .x.sql", true},
    {"com\u00b2", "@0063om\u00b2.sql", true},
    {"lpt10", "lpt10.sql", false},
    {"com0", "com0.sql", false},
    {"console", "console.sql", false},
    {"xcon", "xcon.sql", false},

    {"a.", "a@002e.sql", true},
    {"a ", "a@0020.sql", true},
    {".", "@002e.sql", true},
    {"..", ".@002e.sql", true},

    {"\U0001F600", "@d83d@de00.sql", true},
    {"a\xff", "a\uFFFD.sql", true},
};

TEST(ScriptFileName, KeepsWhatFileNamesHoldAndEscapesTheRest)
{
    for (const Case& c : kCases) {
        const TableFileName name = ScriptFileName(c.table);
        EXPECT_EQ(name.fileName, c.fileName) << c.table;
        EXPECT_EQ(name.escaped, c.escaped) << c.table;
    }
}

class ScriptFileNameOnDisk : public test::TempFolderTest {};

TEST_F(ScriptFileNameOnDisk, EveryNameIsOneFileInTheFolder)
{
    for (const Case& c : kCases) {
        const std::string fileName = ScriptFileName(c.table).fileName;
        Write(In(fileName), "x");
        EXPECT_TRUE(std::filesystem::is_regular_file(In(fileName))) << fileName;
    }
    EXPECT_EQ(Entries(Folder()).size(), std::size(kCases)) << "two tables share a file";
}

} // namespace
} // namespace runfiles
