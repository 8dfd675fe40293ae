#include "command_line.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <charconv>
#include <map>

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

}  // namespace

Command ParseCommandLine(const std::vector<std::string>& commandLine) {
    std::vector<std::string> arguments = commandLine;
    std::vector<std::string> qtArguments;
    SplitQtArguments(arguments, qtArguments);

    CLI::App app{"InfoTrakon, the information panel of a fleet and staff management program",
                 "infotrakon"};
    app.require_subcommand(1);
    app.name("infotrakon");
    app.set_help_all_flag("--help-all", "help for every command");
    app.set_version_flag("--version", std::string("infotrakon ") + kVersionText,
                         "prints the version and exits");

    CLI::App* show =
        app.add_subcommand("show", "shows the panel in a host window, at its design size");
    CLI::App* print = app.add_subcommand(
        "print",
        "runs the panel headless and prints it: as text, or the whole element model as JSON");
    CLI::App* screenshot = app.add_subcommand("screenshot", "renders the panel offscreen to a PNG");
    CLI::App* demo = app.add_subcommand(
        "demo",
        "writes a demo agenda and its host settings into a fresh folder and shows the panel on it");
    CLI::App* query = app.add_subcommand(
        "query", "runs one record source through the panel's data control and prints the records");
    CLI::App* calendar = app.add_subcommand(
        "calendar",
        "writes the deadlines of the vehicles in service as an iCalendar calendar, with reminders");

    PanelArguments showArguments, printArguments, screenshotArguments, demoArguments;
    showArguments.AddTo(*show);
    bool follow = false;
    show->add_flag("--follow", follow,
                   "clicks Aktualizovat whenever the host's settings file or the agenda file "
                   "changes, once the change has settled");
    printArguments.AddTo(*print);
    screenshotArguments.AddTo(*screenshot);
    demoArguments.AddTo(*demo);

    Command command;
    print->add_flag("--json", command.json, "prints the element model as JSON");
    screenshot->add_option("OUT.png", command.output, "the picture to write")->required();
    std::string mode;
    demo->add_option("MODE", mode, "show (a window when a display is there), print or screenshot")
        ->check(CLI::IsMember({"show", "print", "screenshot"}));
    std::string demoOutput;
    demo->add_option("OUT.png", demoOutput, "the picture of demo screenshot");
    demo->add_flag("--json", command.json, "with print: the element model as JSON");

    query->add_option("--db", command.query.database, "an .mdb or .udl file, as the host names it")
        ->required();
    query->add_option("--source", command.query.recordSource, "\"SELECT * FROM table\"")
        ->required();
    query->add_option("--filter", command.query.filter,
                      "a filter: comparisons joined by \" and \"");
    query->add_flag("--json", command.query.json, "prints {\"recordCount\", \"fields\", \"rows\"}");
    std::string queryPrefix;
    CLI::Option* queryPrefixOption =
        query->add_option("--wine-prefix", queryPrefix, "the Wine prefix of the host's drives");

    HostArguments calendarHost;
    calendarHost.AddTo(*calendar);
    std::string calendarOut, reminders, from;
    CLI::Option* outOption =
        calendar
            ->add_option("--out", calendarOut,
                         "writes the calendar into FILE (atomically) instead of to stdout")
            ->type_name("FILE");
    calendar->add_flag("--follow", command.calendar.follow,
                       "writes FILE anew whenever the host's settings file or the agenda changes");
    CLI::Option* remindOption =
        calendar
            ->add_option(
                "--remind", reminders,
                "reminders, so many days before each deadline (default 30,7; none for none)")
            ->type_name("DAYS,...");
    CLI::Option* fromOption =
        calendar
            ->add_option("--from", from,
                         "lists the deadlines from this day on (default: 30 days before today)")
            ->type_name("YYYY-MM-DD");

    const auto known = [&](const std::string& name) {
        for (const CLI::App* sub : {show, print, screenshot, demo, query, calendar})
            if (sub->get_name() == name) return true;
        return false;
    };
    if (!arguments.empty() && !arguments.front().starts_with("-") && !known(arguments.front()))
        throw UsageError{"unknown command \"" + arguments.front() +
                         "\"; the commands are show, print, screenshot, demo, query and calendar"};
    if (arguments.empty())
        throw UsageError{"a command is needed: show, print, screenshot, demo, query or calendar"};
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        command.kind = Command::Kind::kHelp;
        const CLI::App* asked =
            app.get_subcommands().empty() ? &app : app.get_subcommands().front();
        command.helpText = asked->help();
        return command;
    } catch (const CLI::CallForVersion& version) {
        command.kind = Command::Kind::kHelp;
        command.helpText = std::string(version.what()) + "\n";
        return command;
    } catch (const CLI::CallForAllHelp&) {
        command.kind = Command::Kind::kHelp;
        command.helpText = app.help("", CLI::AppFormatMode::All);
        return command;
    } catch (const CLI::ParseError& error) {
        throw UsageError{error.what()};
    }

    if (*show) {
        command.kind = Command::Kind::kShow;
        command.panel = showArguments.Read(*show);
        command.panel.follow = follow;
    } else if (*print) {
        command.kind = Command::Kind::kPrint;
        command.panel = printArguments.Read(*print);
    } else if (*screenshot) {
        command.kind = Command::Kind::kScreenshot;
        command.panel = screenshotArguments.Read(*screenshot);
    } else if (*demo) {
        command.kind = Command::Kind::kDemo;
        command.panel = demoArguments.Read(*demo);
        command.demoMode = mode == "show"         ? Command::DemoMode::kShow
                           : mode == "print"      ? Command::DemoMode::kPrint
                           : mode == "screenshot" ? Command::DemoMode::kScreenshot
                                                  : Command::DemoMode::kAuto;
        if (command.demoMode == Command::DemoMode::kScreenshot && demoOutput.empty())
            throw UsageError{"demo screenshot: OUT.png is required"};
        if (command.demoMode != Command::DemoMode::kScreenshot && !demoOutput.empty())
            throw UsageError{"demo: \"" + demoOutput + "\" is only for demo screenshot"};
        command.output = demoOutput;
    } else if (*calendar) {
        command.kind = Command::Kind::kCalendar;
        calendarHost.ReadInto(command.calendar.host);
        if (*outOption) command.calendar.out = calendarOut;
        if (command.calendar.follow && !command.calendar.out)
            throw UsageError{"calendar --follow writes a file: it needs --out FILE"};
        if (*remindOption) command.calendar.reminderDays = ReminderDays(reminders);
        if (*fromOption) command.calendar.from = DayOption("--from", from);
    } else {
        command.kind = Command::Kind::kQuery;
        if (*queryPrefixOption) command.query.winePrefix = queryPrefix;
    }
    command.qtArguments = std::move(qtArguments);
    return command;
}

}  // namespace infotrakon::app
