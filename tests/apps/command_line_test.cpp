#include "command_line.h"

#include <gtest/gtest.h>

namespace infotrakon::app {
namespace {

TEST(CommandLine, ReadsTheQueryOptions) {
    const Command command = ParseCommandLine(
        {"query", "--db", "C:\\Agenda\\a.mdb", "--source", "SELECT * FROM cars", "--filter",
         "car=true and datum >= #1/1/2026#", "--json", "--wine-prefix=/srv/wine"});
    EXPECT_EQ(command.kind, Command::Kind::kQuery);
    EXPECT_EQ(command.query.database, "C:\\Agenda\\a.mdb");
    EXPECT_EQ(command.query.recordSource, "SELECT * FROM cars");
    EXPECT_EQ(command.query.filter, "car=true and datum >= #1/1/2026#");
    EXPECT_TRUE(command.query.json);
    EXPECT_EQ(command.query.winePrefix, "/srv/wine");

    const Command plain =
        ParseCommandLine({"query", "--source=SELECT * FROM firma", "--db=Vozový park.udl"});
    EXPECT_EQ(plain.query.database, "Vozový park.udl");
    EXPECT_EQ(plain.query.filter, "");
    EXPECT_FALSE(plain.query.json);
    EXPECT_EQ(plain.query.winePrefix, std::nullopt);

    EXPECT_EQ(ParseCommandLine({}).kind, Command::Kind::kDesign);
    EXPECT_EQ(ParseCommandLine({"--help"}).kind, Command::Kind::kHelp);
    EXPECT_EQ(ParseCommandLine({"query", "--help"}).kind, Command::Kind::kHelp);
}

TEST(CommandLine, RefusesWhatItCannotRun) {
    const std::vector<std::vector<std::string>> cases = {
        {"quer"},
        {"query"},
        {"query", "--db", "a.mdb"},
        {"query", "--source", "SELECT * FROM cars"},
        {"query", "--db", "a.mdb", "--source", "SELECT * FROM cars", "extra"},
        {"query", "--db", "a.mdb", "--db", "b.mdb", "--source", "SELECT * FROM cars"},
        {"query", "--db", "a.mdb", "--source", "SELECT * FROM cars", "--colour"},
        {"query", "--db"},
    };
    for (const auto& arguments : cases) {
        std::string shown;
        for (const std::string& argument : arguments) shown += argument + " ";
        EXPECT_THROW(ParseCommandLine(arguments), UsageError) << shown;
    }
}

}  // namespace
}  // namespace infotrakon::app
