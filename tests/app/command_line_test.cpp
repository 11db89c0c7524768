// marlo's own options, answered before any window exists.
#include "app/command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct STCommandLineCase {
    std::vector<std::string_view> m_arguments;
    std::optional<int> m_exitCode;
    // What the output starts with.
    std::string m_strOutputStart;
};

TEST(CommandLine, AnswersHelpAndVersionAndLeavesTheRestToTheWindow) {
    const std::vector<STCommandLineCase> cases{
        {{}, std::nullopt, ""},
        {{"batch.hdb"}, std::nullopt, ""},
        {{"--", "--help"}, std::nullopt, ""},
        {{"--help"}, 0, "usage: marlo [FILE.hdb...]\n"},
        {{"-h"}, 0, "usage: marlo [FILE.hdb...]\n"},
        {{"batch.hdb", "-h", "--version"}, 0, "usage: marlo [FILE.hdb...]\n"},
        {{"-platform", "offscreen", "--help"}, 0, "usage: marlo [FILE.hdb...]\n"},
        {{"--version"}, 0, "marlo 2.0\n"},
        {{"--version", "--help"}, 0, "marlo 2.0\n"},
    };
    for (const STCommandLineCase& test : cases) {
        SCOPED_TRACE(testing::PrintToString(test.m_arguments));
        std::ostringstream out;
        EXPECT_EQ(AnswerInformationOption(test.m_arguments, out), test.m_exitCode);
        EXPECT_TRUE(out.str().starts_with(test.m_strOutputStart)) << out.str();
        EXPECT_EQ(out.str().empty(), test.m_strOutputStart.empty());
    }
}

TEST(CommandLine, AnOutputThatFailsExitsOne) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    const std::vector<std::string_view> arguments{"--version"};
    EXPECT_EQ(AnswerInformationOption(arguments, out), 1);
}

// An option marlo does not know must not open the window or be taken for a
// file; a file whose name begins with '-' is reached after "--".
TEST(CommandLine, UnknownOptionsAreRefusedAndFilesAreKeptInOrder) {
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string_view> unknown{"a.hdb", "--maximized", "-x"};
    EXPECT_EQ(RefuseUnknownOption(unknown, err), 2);
    EXPECT_TRUE(err.str().starts_with("marlo: unknown option --maximized\nusage:")) << err.str();
    const std::vector<std::string_view> known{"a.hdb", "-", "--", "-odd.hdb"};
    EXPECT_EQ(RefuseUnknownOption(known, out), std::nullopt);
    EXPECT_EQ(out.str(), "");

    const std::vector<std::string_view> arguments{"b.hdb", "-", "dir/a.HDB", "--", "-odd.hdb",
                                                  "--help"};
    const std::vector<std::string> expected{"b.hdb", "-", "dir/a.HDB", "-odd.hdb", "--help"};
    EXPECT_EQ(FileArguments(arguments), expected);
}

}  // namespace
