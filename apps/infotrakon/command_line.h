#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/date.h"

namespace CLI {
class App;
}

// The command line of the infotrakon program.
namespace infotrakon::app {

struct QueryOptions {
    std::string database;  // the host's path of an .mdb or .udl file
    std::string recordSource;
    std::string filter;
    bool json = false;
    std::optional<std::string> winePrefix;  // else $WINEPREFIX, else ~/.wine
};

// What the host does to the panel after its start-up, in the order given.
struct PanelEvent {
    enum class Kind { kView, kPeriod, kRefresh };
    Kind kind = Kind::kRefresh;
    int view = 0;         // 1 to 4: Option1 .. Option4
    int periodIndex = 0;  // Combo2's ListIndex
};

struct PanelOptions {
    std::optional<std::string> settings;    // a system.reg or a .reg export
    std::optional<std::string> winePrefix;  // for the drive letters
    std::optional<Date> today;
    float width = 8310;  // the host's size, in twips
    float height = 5805;
    std::vector<PanelEvent> events;
    // show: refresh whenever the host's settings file or the agenda file changes
    bool follow = false;
};

// calendar: the vehicles' deadlines as an iCalendar file or feed.
struct CalendarOptions {
    PanelOptions host;               // --settings, --wine-prefix and --today, as print takes them
    std::optional<std::string> out;  // else stdout
    bool follow = false;             // writes `out` anew whenever the host's files change
    std::vector<int> reminderDays = {30, 7};
    std::optional<Date> from;  // the first day listed; else 30 days before today
};

struct Command {
    enum class Kind { kHelp, kShow, kPrint, kScreenshot, kQuery, kDemo, kCalendar };
    enum class DemoMode { kAuto, kShow, kPrint, kScreenshot };
    Kind kind = Kind::kHelp;
    PanelOptions panel;
    bool json = false;
    std::string output;  // the PNG of a screenshot
    DemoMode demoMode = DemoMode::kAuto;
    QueryOptions query;
    CalendarOptions calendar;
    std::string helpText;  // for kHelp: the help or the version to print
    // Qt's own options (-platform NAME, -style NAME, ...), for the QApplication of show,
    // screenshot and demo.
    std::vector<std::string> qtArguments;
};

// A command line the program cannot run: the message says why.
struct UsageError {
    std::string message;
};

// Completes the parsed command from its options once the whole command line is read. Throws
// UsageError.
using ReadOptions = std::function<void(Command& parsed)>;

// One command of the program, as its command line knows it on every platform, so that the help
// and the options read the same everywhere.
struct CommandSyntax {
    Command::Kind kind;
    std::string_view name;
    std::string_view help;
    // Where to turn instead, said by a program that does not run the command; empty for the
    // commands that every program runs.
    std::string_view elsewhere;
    // Adds the command's options to `command`, bound to `parsed` or to the reader's own values.
    ReadOptions (*addOptions)(CLI::App& command, Command& parsed);
};

// The row of the program's commands for `kind`, which is not kHelp.
const CommandSyntax& SyntaxOf(Command::Kind kind);

// "a, b and c": the names joined by commas, the last one by `lastJoint`.
std::string NameList(const std::vector<std::string_view>& names, std::string_view lastJoint);

// Parses the arguments after the program's name. Throws UsageError.
Command ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace infotrakon::app
