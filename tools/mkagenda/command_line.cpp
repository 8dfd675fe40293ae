#include "tools/mkagenda/command_line.h"

#include <CLI/CLI.hpp>
#include <charconv>

#include "core/version.h"

namespace infotrakon::mkagenda {

const char* const kMkagendaUsage =
    "usage: mkagenda (--from FILE.json | --demo | --rows N) [OUT.mdb] [--sql OUT.sql]\n"
    "                [--today YYYY-MM-DD] [--encrypt] [--password PASSWORD] [--force]";

namespace {

// The arguments kept as given until the parse is over, and the options that pick the source.
struct GivenArguments {
    std::string rows, today;
    bool demoWanted = false;
    CLI::Option* from = nullptr;
    CLI::Option* demo = nullptr;
    CLI::Option* generated = nullptr;
};

void DeclareOptions(CLI::App& app, MkagendaOptions& options, GivenArguments& given) {
    given.from = app.add_option("--from", options.descriptionFile,
                                "the tables and rows of a JSON description")
                     ->type_name("FILE.json");
    given.demo = app.add_flag("--demo", given.demoWanted, "the demo agenda, dated around --today");
    given.generated =
        app.add_option("--rows", given.rows, "a generated agenda with N service records")
            ->type_name("N");
    given.from->excludes(given.demo, given.generated);
    given.demo->excludes(given.generated);
    app.add_option("--sql", options.sqlOutput,
                   "also write the tables as a PostgreSQL script (OUT.mdb may then be left out)")
        ->type_name("OUT.sql");
    app.add_option("--today", given.today, "the day the agenda is dated around (default: today)")
        ->type_name("YYYY-MM-DD");
    app.add_flag("--force", options.force, "overwrite existing output files");
    app.add_flag("--encrypt", options.encrypt,
                 "encrypt the Jet file as Access's \"Encrypt Database\" does");
    app.add_option("--password", options.password,
                   "protect the Jet file by a database password (at most 20 characters)")
        ->type_name("PASSWORD");
    app.set_version_flag("--version", std::string("mkagenda ") + kVersionText,
                         "prints the version and exits");
    app.add_option("output", options.output, "the Jet 4 database to write")->type_name("OUT.mdb");
}

// What the parser cannot check: one source, an output, and the forms of --rows and --today.
void CheckArguments(const GivenArguments& given, MkagendaOptions& options) {
    const std::string& rows = given.rows;
    if (*given.from) {
        options.source = MkagendaOptions::Source::kDescription;
    } else if (*given.demo) {
        options.source = MkagendaOptions::Source::kDemo;
    } else if (*given.generated) {
        options.source = MkagendaOptions::Source::kGenerated;
        const auto parsed = std::from_chars(rows.data(), rows.data() + rows.size(), options.rows);
        if (parsed.ec != std::errc() || parsed.ptr != rows.data() + rows.size())
            throw MkagendaUsageError{"--rows \"" + rows + "\" is no count of records"};
    } else {
        throw MkagendaUsageError{"give exactly one of --from, --demo and --rows"};
    }
    if (options.output.empty() && options.sqlOutput.empty())
        throw MkagendaUsageError{"no output file"};
    if (!given.today.empty()) {
        options.today = Date::FromIso(given.today);
        if (!options.today || options.today->hasTime())
            throw MkagendaUsageError{"--today \"" + given.today + "\" is no date YYYY-MM-DD"};
    }
}

}  // namespace

MkagendaOptions ParseMkagendaCommandLine(const std::vector<std::string>& arguments) {
    MkagendaOptions options;
    GivenArguments given;
    CLI::App app{"mkagenda: writes agendas as Jet 4 databases and PostgreSQL scripts", "mkagenda"};
    DeclareOptions(app, options, given);
    // CLI11 takes the arguments last first.
    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::CallForHelp&) {
        options.help = true;
        options.helpText = app.help();
        return options;
    } catch (const CLI::CallForVersion& version) {
        options.help = true;
        options.helpText = std::string(version.what()) + "\n";
        return options;
    } catch (const CLI::ParseError& error) {
        throw MkagendaUsageError{error.what()};
    }
    CheckArguments(given, options);
    return options;
}

}  // namespace infotrakon::mkagenda
