// The command lines that scripts, the demo and the tests give mkagenda, and the ones it must
// refuse with a reason.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "tools/mkagenda/command_line.h"

namespace infotrakon::mkagenda {
namespace {

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;) words.push_back(word);
    return words;
}

using Source = MkagendaOptions::Source;

struct Accepted {
    const char* line;
    Source source;
    const char* output;
    const char* sqlOutput;
    std::size_t rows;
    const char* today;  // "" for none
    bool force;
};

class AcceptedCommandLineTest : public ::testing::TestWithParam<Accepted> {};

TEST_P(AcceptedCommandLineTest, GivesItsOptions) {
    const Accepted& expected = GetParam();
    const MkagendaOptions options = ParseMkagendaCommandLine(Split(expected.line));
    EXPECT_EQ(options.source, expected.source);
    EXPECT_EQ(options.output, expected.output);
    EXPECT_EQ(options.sqlOutput, expected.sqlOutput);
    EXPECT_EQ(options.rows, expected.rows);
    EXPECT_EQ(options.today ? options.today->ToIso() : "", expected.today);
    EXPECT_EQ(options.force, expected.force);
    EXPECT_FALSE(options.help);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, AcceptedCommandLineTest,
    ::testing::Values(
        Accepted{"--demo out.mdb", Source::kDemo, "out.mdb", "", 0, "", false},
        Accepted{"out.mdb --demo --today 2026-06-15 --force", Source::kDemo, "out.mdb", "", 0,
                 "2026-06-15", true},
        Accepted{"--rows 1000000 big.mdb", Source::kGenerated, "big.mdb", "", 1000000, "", false},
        Accepted{"--rows 0 --sql empty.sql", Source::kGenerated, "", "empty.sql", 0, "", false},
        Accepted{"--from agenda.json out.mdb --sql out.sql", Source::kDescription, "out.mdb",
                 "out.sql", 0, "", false}));

struct Refused {
    const char* line;
    const char* reason;  // a piece of the message
};

class RefusedCommandLineTest : public ::testing::TestWithParam<Refused> {};

TEST_P(RefusedCommandLineTest, SaysWhy) {
    try {
        ParseMkagendaCommandLine(Split(GetParam().line));
        FAIL() << "accepted";
    } catch (const MkagendaUsageError& error) {
        EXPECT_NE(error.message.find(GetParam().reason), std::string::npos) << error.message;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RefusedCommandLineTest,
    ::testing::Values(Refused{"out.mdb", "exactly one of --from, --demo and --rows"},
                      Refused{"--demo", "no output file"},
                      Refused{"--demo --rows 3 out.mdb", "excludes"},
                      Refused{"--from a.json --demo out.mdb", "excludes"},
                      Refused{"--rows many out.mdb", "--rows \"many\" is no count"},
                      Refused{"--rows -1 out.mdb", "--rows \"-1\" is no count"},
                      Refused{"--rows 99999999999999999999999 out.mdb", "is no count"},
                      Refused{"--demo --today 2026-02-30 out.mdb", "is no date"},
                      Refused{"--demo --today 2026-06-15T10:00:00 out.mdb", "is no date"},
                      Refused{"--demo a.mdb b.mdb", "not expected: b.mdb"},
                      Refused{"--demo --colour out.mdb", "--colour"},
                      Refused{"--demo out.mdb --sql", "--sql"}));

TEST(MkagendaCommandLineTest, HelpNamesEveryOption) {
    const MkagendaOptions options = ParseMkagendaCommandLine({"--help"});
    ASSERT_TRUE(options.help);
    for (const char* option : {"--from", "--demo", "--rows", "--sql", "--today", "--force"})
        EXPECT_NE(options.helpText.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace infotrakon::mkagenda
