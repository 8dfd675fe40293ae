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
}

TEST(CommandLine, ReadsTheCalendarOptions) {
    const Command command =
        ParseCommandLine({"calendar", "--settings", "/tmp/host.reg", "--wine-prefix", "/srv/wine",
                          "--today", "2026-12-07", "--out", "/srv/www/terminy.ics", "--follow",
                          "--remind", "14,1,0,14", "--from", "2026-11-01"});
    EXPECT_EQ(command.kind, Command::Kind::kCalendar);
    EXPECT_EQ(command.calendar.host.settings, "/tmp/host.reg");
    EXPECT_EQ(command.calendar.host.winePrefix, "/srv/wine");
    EXPECT_EQ(command.calendar.host.today, Date::FromCivil(2026, 12, 7));
    EXPECT_EQ(command.calendar.out, "/srv/www/terminy.ics");
    EXPECT_TRUE(command.calendar.follow);
    EXPECT_EQ(command.calendar.reminderDays, (std::vector<int>{14, 1, 0}));
    EXPECT_EQ(command.calendar.from, Date::FromCivil(2026, 11, 1));

    const Command plain = ParseCommandLine({"calendar"});
    EXPECT_EQ(plain.calendar.out, std::nullopt);
    EXPECT_FALSE(plain.calendar.follow);
    EXPECT_EQ(plain.calendar.reminderDays, (std::vector<int>{30, 7}));
    EXPECT_EQ(plain.calendar.from, std::nullopt);
    EXPECT_TRUE(ParseCommandLine({"calendar", "--remind", "none"}).calendar.reminderDays.empty());
}

TEST(CommandLine, ReadsThePanelOptionsAndKeepsTheEventsInOrder) {
    const Command command = ParseCommandLine(
        {"print", "--json", "--settings", "/tmp/host.reg", "--wine-prefix", "/srv/wine", "--today",
         "2026-12-31", "--size", "6000x4000", "--view", "4", "--period", "Tento týden", "--refresh",
         "--view=1", "--period", "Dnes"});
    EXPECT_EQ(command.kind, Command::Kind::kPrint);
    EXPECT_TRUE(command.json);
    EXPECT_EQ(command.panel.settings, "/tmp/host.reg");
    EXPECT_EQ(command.panel.winePrefix, "/srv/wine");
    EXPECT_EQ(command.panel.today, Date::FromCivil(2026, 12, 31));
    EXPECT_EQ(command.panel.width, 6000);
    EXPECT_EQ(command.panel.height, 4000);
    using K = PanelEvent::Kind;
    std::vector<std::pair<K, int>> events;
    for (const PanelEvent& event : command.panel.events)
        events.emplace_back(event.kind, event.kind == K::kView ? event.view : event.periodIndex);
    EXPECT_EQ(
        events,
        (std::vector<std::pair<K, int>>{
            {K::kView, 4}, {K::kPeriod, 4}, {K::kRefresh, 0}, {K::kView, 1}, {K::kPeriod, 0}}));

    const Command design = ParseCommandLine({"show"});
    EXPECT_EQ(design.kind, Command::Kind::kShow);
    EXPECT_EQ(design.panel.width, 8310);
    EXPECT_EQ(design.panel.height, 5805);
    EXPECT_TRUE(design.panel.events.empty());
    EXPECT_FALSE(design.panel.follow);
    EXPECT_TRUE(ParseCommandLine({"show", "--follow", "--settings", "x.reg"}).panel.follow);

    const Command shot = ParseCommandLine({"screenshot", "out.png", "--period", "Včera"});
    EXPECT_EQ(shot.kind, Command::Kind::kScreenshot);
    EXPECT_EQ(shot.output, "out.png");

    EXPECT_EQ(ParseCommandLine({"demo"}).demoMode, Command::DemoMode::kAuto);
    EXPECT_EQ(ParseCommandLine({"demo", "print"}).demoMode, Command::DemoMode::kPrint);
    const Command demoShot =
        ParseCommandLine({"demo", "screenshot", "panel.png", "--today", "2026-06-15"});
    EXPECT_EQ(demoShot.demoMode, Command::DemoMode::kScreenshot);
    EXPECT_EQ(demoShot.output, "panel.png");
}

TEST(CommandLine, HelpForEveryCommand) {
    for (const char* command : {"print", "show", "screenshot", "demo", "query"}) {
        const Command help = ParseCommandLine({command, "--help"});
        EXPECT_EQ(help.kind, Command::Kind::kHelp) << command;
        EXPECT_NE(help.helpText.find(command), std::string::npos) << help.helpText;
    }
    const Command top = ParseCommandLine({"--help"});
    EXPECT_NE(top.helpText.find("demo"), std::string::npos);
    EXPECT_NE(ParseCommandLine({"print", "--help"}).helpText.find("Tento měsíc"),
              std::string::npos);
}

TEST(CommandLine, HandsQtsOwnOptionsToQt) {
    const Command command = ParseCommandLine(
        {"show", "-platform", "xcb", "--today", "2026-01-01", "-style=fusion", "-reverse"});
    EXPECT_EQ(command.kind, Command::Kind::kShow);
    EXPECT_EQ(command.panel.today, Date::FromCivil(2026, 1, 1));
    EXPECT_EQ(command.qtArguments,
              (std::vector<std::string>{"-platform", "xcb", "-style=fusion", "-reverse"}));
    EXPECT_TRUE(ParseCommandLine({"print"}).qtArguments.empty());
    EXPECT_THROW(ParseCommandLine({"show", "-style"}), UsageError);
}

TEST(CommandLine, TellsTheVersion) {
    const Command command = ParseCommandLine({"--version"});
    EXPECT_EQ(command.kind, Command::Kind::kHelp);
    EXPECT_EQ(command.helpText, "infotrakon 1.0.1\n");
}

TEST(CommandLine, RefusesWhatItCannotRun) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"quer"},
        {"query"},
        {"query", "--db", "a.mdb"},
        {"query", "--source", "SELECT * FROM cars"},
        {"query", "--db", "a.mdb", "--source", "SELECT * FROM cars", "extra"},
        {"query", "--db", "a.mdb", "--db", "b.mdb", "--source", "SELECT * FROM cars"},
        {"query", "--db", "a.mdb", "--source", "SELECT * FROM cars", "--colour"},
        {"query", "--db"},
        {"print", "--period", "Zitra"},
        {"print", "--view", "5"},
        {"print", "--view", "x"},
        {"print", "--size", "6000"},
        {"print", "--size", "-1x5"},
        {"print", "--size", "6000x"},
        {"print", "--today", "2026-02-30"},
        {"print", "--today", "2026-02-03T10:00:00"},
        {"screenshot"},
        {"demo", "screenshot"},
        {"demo", "print", "out.png"},
        {"demo", "dance"},
        {"print", "--follow"},
        {"screenshot", "out.png", "--follow"},
        {"calendar", "--follow"},
        {"calendar", "--remind", ""},
        {"calendar", "--remind", "30,"},
        {"calendar", "--remind", "-1"},
        {"calendar", "--remind", "367"},
        {"calendar", "--remind", "7 days"},
        {"calendar", "--from", "2026-02-30"},
        {"calendar", "--from", "0099-12-31"},
        {"calendar", "--from", "2026-01-01T08:00:00"},
        {"calendar", "--view", "4"},
        {"calendar", "--out"},
    };
    for (const auto& arguments : cases) {
        std::string shown;
        for (const std::string& argument : arguments) shown += argument + " ";
        EXPECT_THROW(ParseCommandLine(arguments), UsageError) << shown;
    }
    try {
        ParseCommandLine({"print", "--period", "Zitra"});
    } catch (const UsageError& error) {
        EXPECT_NE(error.message.find("\"Zítra\""), std::string::npos) << error.message;
        EXPECT_NE(error.message.find("\"Tento měsíc\""), std::string::npos) << error.message;
    }
}

}  // namespace
}  // namespace infotrakon::app
