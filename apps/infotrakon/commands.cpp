#include "commands.h"

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "control/panel_json.h"
#include "panel/text_metrics.h"
#include "panel_run.h"
#include "query_command.h"

namespace infotrakon::app {
namespace {

// The message for a command that only another platform's program runs.
std::string NotRunHere(const CommandSyntax& command) {
    std::vector<std::string_view> runHere;
    for (const CommandRun& run : kThisProgram.commands) runHere.push_back(SyntaxOf(run.kind).name);
    return std::string(command.name) + " is not part of " + std::string(kThisProgram.file) + ": " +
           std::string(command.elsewhere) + "; " + NameList(runHere, " and ") + " work here";
}

}  // namespace

int RunCommand(const Command& command) {
    if (command.kind == Command::Kind::kHelp) {
        std::cout << command.helpText;
        return 0;
    }
    const std::span<const CommandRun> runs = kThisProgram.commands;
    const auto found = std::find_if(
        runs.begin(), runs.end(), [&](const CommandRun& run) { return run.kind == command.kind; });
    if (found == runs.end()) throw UsageError{NotRunHere(SyntaxOf(command.kind))};
    return found->run(command);
}

int RunPrintCommand(const Command& command) {
    WarnAboutMissingHostFiles(command.panel);
    return PrintPanel(command.panel, command.json);
}

int RunQueryCommand(const Command& command) {
    app::RunQuery(command.query, std::cout);
    return 0;
}

int PrintPanel(const PanelOptions& options, bool json) {
    const PanelRun run = RunPanel(options, panel::DefaultTextMetrics());
    const panel::Panel& panel = run.control->panel();
    std::cout << (json ? control::PanelJson(panel, run.error) : PanelText(panel));
    if (!run.error) return 0;
    std::cerr << "infotrakon: error " << run.error->number() << ": " << run.error->what() << "\n";
    return 1;
}

void WarnAboutMissingHostFiles(const PanelOptions& options) {
    std::error_code failed;
    if (options.settings && !std::filesystem::is_regular_file(*options.settings, failed))
        std::cerr << "infotrakon: warning: the settings file " << *options.settings
                  << " does not exist; the panel runs without the host's setting\n";
    if (options.winePrefix && !std::filesystem::is_directory(*options.winePrefix, failed))
        std::cerr << "infotrakon: warning: the Wine prefix " << *options.winePrefix
                  << " does not exist; the panel runs without the host's setting\n";
}

}  // namespace infotrakon::app
