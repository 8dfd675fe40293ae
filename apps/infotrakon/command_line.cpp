#include "command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <map>
#include <memory>

#include "agenda_list/period.h"
#include "core/version.h"

namespace infotrakon::app {
namespace {

// A reminder more than a year before its deadline would come before the last deadline was due.
constexpr int kLongestReminder = 366;

const char* const kPeriods[] = {agenda_list::kToday,    agenda_list::kYesterday,
                                agenda_list::kTomorrow, agenda_list::kLastWeek,
                                agenda_list::kThisWeek, agenda_list::kThisMonth};

int PeriodIndex(const std::string& text) {
    for (int i = 0; i < 6; ++i)
        if (text == kPeriods[i]) return i;
    std::string known;
    for (const char* period : kPeriods)
        known += std::string(known.empty() ? "" : ", ") + "\"" + period + "\"";
    throw UsageError{"--period \"" + text + "\" is no period of the panel; the periods are " +
                     known};
}

float Twips(const std::string& text, const std::string& whole) {
    float value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() || !(value > 0) ||
        value > 1e6f)
        throw UsageError{"--size \"" + whole +
                         "\" is no size WIDTHxHEIGHT in twips, such as 8310x5805"};
    return value;
}

// A day of the command line, from 100-01-01 to 9999-12-31 as the agenda's dates are.
Date DayOption(const std::string& option, const std::string& text) {
    const std::optional<Date> day = Date::FromIso(text);
    if (!day || day->hasTime() || day->year() < 100 || day->year() > 9999)
        throw UsageError{option + " \"" + text +
                         "\" is no date YYYY-MM-DD from 0100-01-01 to 9999-12-31"};
    return *day;
}

// "30,7": the days before a deadline on which the calendar reminds of it.
std::vector<int> ReminderDays(const std::string& text) {
    std::vector<int> days;
    if (text == "none") return days;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = text.substr(start, comma - start);
        int value = -1;
        const auto read = std::from_chars(item.data(), item.data() + item.size(), value);
        if (item.empty() || read.ec != std::errc() || read.ptr != item.data() + item.size() ||
            value < 0 || value > kLongestReminder)
            throw UsageError{"--remind \"" + text +
                             "\": each reminder is a whole number of days from 0 to " +
                             std::to_string(kLongestReminder) + ", such as --remind 30,7"};
        if (std::find(days.begin(), days.end(), value) == days.end()) days.push_back(value);
        start = comma + 1;
    }
    return days;
}

// Where the host is: the options of every command that finds the agenda as the panel does.
struct HostArguments {
    std::string settings, winePrefix, today;
    CLI::Option* settingsOption = nullptr;
    CLI::Option* prefixOption = nullptr;
    CLI::Option* todayOption = nullptr;

    void AddTo(CLI::App& command) {
        settingsOption = command
                             .add_option("--settings", settings,
                                         "the host's settings: a Wine system.reg or a .reg export "
                                         "(default: system.reg of "
                                         "the Wine prefix)")
                             ->type_name("FILE");
        prefixOption = command
                           .add_option("--wine-prefix", winePrefix,
                                       "the Wine prefix whose drives the host's paths name "
                                       "(default: $WINEPREFIX, else ~/.wine)")
                           ->type_name("DIR");
        todayOption =
            command.add_option("--today", today, "pins the panel's today")->type_name("YYYY-MM-DD");
    }

    void ReadInto(PanelOptions& options) const {
        if (*settingsOption) options.settings = settings;
        if (*prefixOption) options.winePrefix = winePrefix;
        if (*todayOption) options.today = DayOption("--today", today);
    }
};

// The options that every panel command takes, and the events in their order.
struct PanelArguments {
    HostArguments host;
    std::string size, period;
    int view = 0;
    CLI::Option* sizeOption = nullptr;
    CLI::Option* viewOption = nullptr;
    CLI::Option* periodOption = nullptr;
    CLI::Option* refreshOption = nullptr;

    void AddTo(CLI::App& command) {
        host.AddTo(command);
        sizeOption = command
                         .add_option("--size", size,
                                     "the host's size of the panel in twips (default 8310x5805)")
                         ->type_name("WxH");
        // The events may repeat and run in the order given.
        viewOption = command.add_option(
            "--view", view,
            "clicks option button N: 1 Naplánované akce, 2 Nevyřízené akce, 3 Vyřízené akce, "
            "4 Termíny");
        viewOption->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
            ->check(CLI::Range(1, 4))
            ->type_name("N");
        periodOption = command.add_option(
            "--period", period,
            "chooses the period of Combo2: Dnes, Včera, Zítra, \"Za poslední týden\", "
            "\"Tento týden\" or \"Tento měsíc\"");
        periodOption->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
        refreshOption =
            command.add_flag("--refresh")->description("clicks Aktualizovat (Command2)");
    }

    PanelOptions Read(const CLI::App& command) const {
        PanelOptions options;
        host.ReadInto(options);
        if (*sizeOption) {
            const std::size_t x = size.find_first_of("xX");
            if (x == std::string::npos)
                throw UsageError{"--size \"" + size +
                                 "\" is no size WIDTHxHEIGHT in twips, such as 8310x5805"};
            options.width = Twips(size.substr(0, x), size);
            options.height = Twips(size.substr(x + 1), size);
        }
        std::map<const CLI::Option*, std::size_t> seen;
        for (const CLI::Option* option : command.parse_order()) {
            const std::size_t occurrence = seen[option]++;
            PanelEvent event;
            if (option == viewOption) {
                event.kind = PanelEvent::Kind::kView;
                event.view = std::stoi(option->results().at(occurrence));
            } else if (option == periodOption) {
                event.kind = PanelEvent::Kind::kPeriod;
                event.periodIndex = PeriodIndex(option->results().at(occurrence));
            } else if (option == refreshOption) {
                event.kind = PanelEvent::Kind::kRefresh;
            } else {
                continue;
            }
            options.events.push_back(event);
        }
        return options;
    }
};

// The options QApplication reads itself, spelt with one dash as Qt spells them; those in the
// first list take a value (as the next argument or after "=").
const char* const kQtOptionsWithValue[] = {
    "-platform",        "-platformpluginpath", "-platformtheme", "-plugin",
    "-qwindowgeometry", "-qwindowtitle",       "-qwindowicon",   "-session",
    "-display",         "-geometry",           "-style",         "-stylesheet"};
const char* const kQtFlags[] = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync"};

// Moves Qt's options out of `arguments` into `qtArguments`.
void SplitQtArguments(std::vector<std::string>& arguments, std::vector<std::string>& qtArguments) {
    std::vector<std::string> ours;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const std::string name = argument.substr(0, argument.find('='));
        const auto named = [&](const char* option) { return name == option; };
        if (std::any_of(std::begin(kQtFlags), std::end(kQtFlags), named)) {
            qtArguments.push_back(argument);
        } else if (std::any_of(std::begin(kQtOptionsWithValue), std::end(kQtOptionsWithValue),
                               named)) {
            qtArguments.push_back(argument);
            if (name == argument) {
                if (i + 1 == arguments.size())
                    throw UsageError{argument + " needs a value, as in " + argument + " NAME"};
                qtArguments.push_back(arguments[++i]);
            }
        } else {
            ours.push_back(argument);
        }
    }
    arguments = std::move(ours);
}

ReadOptions AddShowOptions(CLI::App& show, Command&) {
    struct Arguments {
        PanelArguments panel;
        bool follow = false;
    };
    const auto arguments = std::make_shared<Arguments>();
    arguments->panel.AddTo(show);
    show.add_flag("--follow", arguments->follow,
                  "clicks Aktualizovat whenever the host's settings file or the agenda file "
                  "changes, once the change has settled");
    return [arguments, &show](Command& parsed) {
        parsed.panel = arguments->panel.Read(show);
        parsed.panel.follow = arguments->follow;
    };
}

ReadOptions AddPrintOptions(CLI::App& print, Command& parsed) {
    const auto panel = std::make_shared<PanelArguments>();
    panel->AddTo(print);
    print.add_flag("--json", parsed.json, "prints the element model as JSON");
    return [panel, &print](Command& command) { command.panel = panel->Read(print); };
}

ReadOptions AddScreenshotOptions(CLI::App& screenshot, Command& parsed) {
    const auto panel = std::make_shared<PanelArguments>();
    panel->AddTo(screenshot);
    screenshot.add_option("OUT.png", parsed.output, "the picture to write")->required();
    return [panel, &screenshot](Command& command) { command.panel = panel->Read(screenshot); };
}

Command::DemoMode DemoMode(const std::string& mode) {
    using Mode = Command::DemoMode;
    return mode == "show"         ? Mode::kShow
           : mode == "print"      ? Mode::kPrint
           : mode == "screenshot" ? Mode::kScreenshot
                                  : Mode::kAuto;
}

ReadOptions AddDemoOptions(CLI::App& demo, Command& parsed) {
    struct Arguments {
        PanelArguments panel;
        std::string mode, output;
    };
    const auto arguments = std::make_shared<Arguments>();
    arguments->panel.AddTo(demo);
    demo.add_option("MODE", arguments->mode,
                    "show (a window when a display is there), print or screenshot")
        ->check(CLI::IsMember({"show", "print", "screenshot"}));
    demo.add_option("OUT.png", arguments->output, "the picture of demo screenshot");
    demo.add_flag("--json", parsed.json, "with print: the element model as JSON");
    return [arguments, &demo](Command& command) {
        command.panel = arguments->panel.Read(demo);
        command.demoMode = DemoMode(arguments->mode);
        const std::string& output = arguments->output;
        if (command.demoMode == Command::DemoMode::kScreenshot && output.empty())
            throw UsageError{"demo screenshot: OUT.png is required"};
        if (command.demoMode != Command::DemoMode::kScreenshot && !output.empty())
            throw UsageError{"demo: \"" + output + "\" is only for demo screenshot"};
        command.output = output;
    };
}

ReadOptions AddQueryOptions(CLI::App& query, Command& parsed) {
    QueryOptions& options = parsed.query;
    query.add_option("--db", options.database, "an .mdb or .udl file, as the host names it")
        ->required();
    query.add_option("--source", options.recordSource, "\"SELECT * FROM table\"")->required();
    query.add_option("--filter", options.filter, "a filter: comparisons joined by \" and \"");
    query.add_flag("--json", options.json, "prints {\"recordCount\", \"fields\", \"rows\"}");
    const auto prefix = std::make_shared<std::string>();
    CLI::Option* prefixOption =
        query.add_option("--wine-prefix", *prefix, "the Wine prefix of the host's drives");
    return [prefix, prefixOption](Command& command) {
        if (*prefixOption) command.query.winePrefix = *prefix;
    };
}

// The calendar's own options, as given.
struct CalendarArguments {
    HostArguments host;
    std::string out, reminders, from;
    CLI::Option* outOption = nullptr;
    CLI::Option* remindOption = nullptr;
    CLI::Option* fromOption = nullptr;

    void AddTo(CLI::App& calendar, CalendarOptions& options) {
        host.AddTo(calendar);
        outOption = calendar
                        .add_option("--out", out,
                                    "writes the calendar into FILE (atomically) instead of to "
                                    "stdout")
                        ->type_name("FILE");
        calendar.add_flag("--follow", options.follow,
                          "writes FILE anew whenever the host's settings file or the agenda "
                          "changes");
        remindOption = calendar
                           .add_option("--remind", reminders,
                                       "reminders, so many days before each deadline (default "
                                       "30,7; none for none)")
                           ->type_name("DAYS,...");
        fromOption = calendar
                         .add_option("--from", from,
                                     "lists the deadlines from this day on (default: 30 days "
                                     "before today)")
                         ->type_name("YYYY-MM-DD");
    }

    void ReadInto(CalendarOptions& options) const {
        host.ReadInto(options.host);
        if (*outOption) options.out = out;
        if (options.follow && !options.out)
            throw UsageError{"calendar --follow writes a file: it needs --out FILE"};
        if (*remindOption) options.reminderDays = ReminderDays(reminders);
        if (*fromOption) options.from = DayOption("--from", from);
    }
};

ReadOptions AddCalendarOptions(CLI::App& calendar, Command& parsed) {
    const auto arguments = std::make_shared<CalendarArguments>();
    arguments->AddTo(calendar, parsed.calendar);
    return [arguments](Command& command) { arguments->ReadInto(command.calendar); };
}

const std::string_view kPanelWindowElsewhere =
    "on Windows the panel's window is ITrakon.ocx in its host program";

// The program's commands, in the order its help lists them.
const CommandSyntax kCommands[] = {
    {Command::Kind::kShow, "show", "shows the panel in a host window, at its design size",
     kPanelWindowElsewhere, AddShowOptions},
    {Command::Kind::kPrint, "print",
     "runs the panel headless and prints it: as text, or the whole element model as JSON", "",
     AddPrintOptions},
    {Command::Kind::kScreenshot, "screenshot", "renders the panel offscreen to a PNG",
     kPanelWindowElsewhere, AddScreenshotOptions},
    {Command::Kind::kDemo, "demo",
     "writes a demo agenda and its host settings into a fresh folder and shows the panel on it",
     kPanelWindowElsewhere, AddDemoOptions},
    {Command::Kind::kQuery, "query",
     "runs one record source through the panel's data control and prints the records", "",
     AddQueryOptions},
    {Command::Kind::kCalendar, "calendar",
     "writes the deadlines of the vehicles in service as an iCalendar calendar, with reminders",
     "it runs on Linux, beside a host under Wine", AddCalendarOptions},
};

std::vector<std::string_view> CommandNames() {
    std::vector<std::string_view> names;
    for (const CommandSyntax& command : kCommands) names.push_back(command.name);
    return names;
}

// A first word that names no command is refused with the list of the commands, which says more
// than CLI11's own message about an argument it did not expect.
void CheckCommandName(const std::vector<std::string>& arguments) {
    const std::vector<std::string_view> names = CommandNames();
    if (arguments.empty()) throw UsageError{"a command is needed: " + NameList(names, " or ")};
    const std::string& first = arguments.front();
    if (!first.starts_with("-") && std::find(names.begin(), names.end(), first) == names.end())
        throw UsageError{"unknown command \"" + first + "\"; the commands are " +
                         NameList(names, " and ")};
}

void DescribeProgram(CLI::App& app) {
    app.require_subcommand(1);
    app.name("infotrakon");
    app.set_help_all_flag("--help-all", "help for every command");
    app.set_version_flag("--version", std::string("infotrakon ") + kVersionText,
                         "prints the version and exits");
}

Command HelpCommand(std::string text) {
    Command command;
    command.kind = Command::Kind::kHelp;
    command.helpText = std::move(text);
    return command;
}

// Parses `arguments` into `app`; the help or the version when they were asked for.
std::optional<Command> ParseOrHelp(CLI::App& app, const std::vector<std::string>& arguments) {
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        const CLI::App* asked =
            app.get_subcommands().empty() ? &app : app.get_subcommands().front();
        return HelpCommand(asked->help());
    } catch (const CLI::CallForVersion& version) {
        return HelpCommand(std::string(version.what()) + "\n");
    } catch (const CLI::CallForAllHelp&) {
        return HelpCommand(app.help("", CLI::AppFormatMode::All));
    } catch (const CLI::ParseError& error) {
        throw UsageError{error.what()};
    }
    return std::nullopt;
}

}  // namespace

const CommandSyntax& SyntaxOf(Command::Kind kind) {
    return *std::find_if(std::begin(kCommands), std::end(kCommands),
                         [kind](const CommandSyntax& command) { return command.kind == kind; });
}

std::string NameList(const std::vector<std::string_view>& names, std::string_view lastJoint) {
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0) list += i + 1 == names.size() ? lastJoint : ", ";
        list += names[i];
    }
    return list;
}

Command ParseCommandLine(const std::vector<std::string>& commandLine) {
    std::vector<std::string> arguments = commandLine;
    std::vector<std::string> qtArguments;
    SplitQtArguments(arguments, qtArguments);

    CLI::App app{"InfoTrakon, the information panel of a fleet and staff management program",
                 "infotrakon"};
    DescribeProgram(app);
    Command command;
    std::vector<std::pair<const CLI::App*, ReadOptions>> readers;
    for (const CommandSyntax& syntax : kCommands) {
        CLI::App* subcommand =
            app.add_subcommand(std::string(syntax.name), std::string(syntax.help));
        readers.emplace_back(subcommand, syntax.addOptions(*subcommand, command));
    }
    CheckCommandName(arguments);
    if (std::optional<Command> help = ParseOrHelp(app, arguments)) return std::move(*help);

    for (std::size_t i = 0; i < readers.size(); ++i) {
        if (!*readers[i].first) continue;
        command.kind = kCommands[i].kind;
        readers[i].second(command);
    }
    command.qtArguments = std::move(qtArguments);
    return command;
}

}  // namespace infotrakon::app
