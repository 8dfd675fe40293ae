#include <filesystem>
#include <iostream>

#include "calendar_command.h"
#include "command_line.h"
#include "control/panel_json.h"
#include "core/error.h"
#include "core/guarded.h"
#include "demo.h"
#include "panel/text_metrics.h"
#include "panel_run.h"
#include "program_arguments.h"
#include "qt_commands.h"
#include "query_command.h"

namespace {

using namespace infotrakon;

int Print(const app::PanelOptions& options, bool json) {
    const app::PanelRun run = app::RunPanel(options, panel::DefaultTextMetrics());
    const panel::Panel& panel = run.control->panel();
    std::cout << (json ? control::PanelJson(panel, run.error) : app::PanelText(panel));
    if (!run.error) return 0;
    std::cerr << "infotrakon: error " << run.error->number() << ": " << run.error->what() << "\n";
    return 1;
}

// A missing host setting is no error: the panel runs without it. A file or folder named on
// the command line that is not there is worth a word, though.
void WarnAboutMissingHostFiles(const app::PanelOptions& options) {
    std::error_code failed;
    if (options.settings && !std::filesystem::is_regular_file(*options.settings, failed))
        std::cerr << "infotrakon: warning: the settings file " << *options.settings
                  << " does not exist; the panel runs without the host's setting\n";
    if (options.winePrefix && !std::filesystem::is_directory(*options.winePrefix, failed))
        std::cerr << "infotrakon: warning: the Wine prefix " << *options.winePrefix
                  << " does not exist; the panel runs without the host's setting\n";
}

int ShowOrPrint(const app::PanelOptions& options, const app::Command& command) {
    try {
        return app::ShowPanel(options, command.qtArguments);
    } catch (const app::NoDisplay&) {
        return Print(options, command.json);
    }
}

int Run(const app::Command& command) {
    using Kind = app::Command::Kind;
    switch (command.kind) {
        case Kind::kHelp:
            std::cout << command.helpText;
            return 0;
        case Kind::kQuery:
            app::RunQuery(command.query, std::cout);
            return 0;
        case Kind::kCalendar:
            WarnAboutMissingHostFiles(command.calendar.host);
            return app::RunCalendar(command.calendar);
        case Kind::kPrint:
            WarnAboutMissingHostFiles(command.panel);
            return Print(command.panel, command.json);
        case Kind::kShow:
            WarnAboutMissingHostFiles(command.panel);
            return app::ShowPanel(command.panel, command.qtArguments);
        case Kind::kScreenshot:
            WarnAboutMissingHostFiles(command.panel);
            return app::WritePanelScreenshot(command.panel, command.output, command.qtArguments);
        case Kind::kDemo: {
            const app::PanelOptions demo = app::PrepareDemo(command.panel);
            using Mode = app::Command::DemoMode;
            switch (command.demoMode) {
                case Mode::kShow:
                    return app::ShowPanel(demo, command.qtArguments);
                case Mode::kPrint:
                    return Print(demo, command.json);
                case Mode::kScreenshot:
                    return app::WritePanelScreenshot(demo, command.output, command.qtArguments);
                case Mode::kAuto:
                    return ShowOrPrint(demo, command);
            }
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    int status = 1;
    const std::optional<Error> error = Guarded([&] {
        try {
            status = Run(app::ParseCommandLine(app::ProgramArguments(argc, argv)));
        } catch (const app::NoDisplay& noDisplay) {
            std::cerr << "infotrakon: " << noDisplay.message << "\n";
            status = 1;
        } catch (const app::UsageError& usage) {
            std::cerr << "infotrakon: " << usage.message
                      << "\nRun infotrakon --help for the commands.\n";
            status = 2;
        }
    });
    if (!error) return status;
    std::cerr << "infotrakon: error " << error->number() << ": " << error->what() << "\n";
    return 1;
}
