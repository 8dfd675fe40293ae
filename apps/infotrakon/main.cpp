#include <iostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "core/error.h"
#include "demo.h"
#include "panel/text_metrics.h"
#include "panel_run.h"
#include "qt_commands.h"
#include "query_command.h"

namespace {

using namespace infotrakon;

int Print(const app::PanelOptions& options, bool json) {
    const app::PanelRun run = app::RunPanel(options, panel::DefaultTextMetrics());
    const panel::Panel& panel = run.control->panel();
    std::cout << (json ? app::PanelJson(panel, run.error) : app::PanelText(panel));
    if (!run.error) return 0;
    std::cerr << "infotrakon: error " << run.error->number() << ": " << run.error->what() << "\n";
    return 1;
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
        case Kind::kPrint:
            return Print(command.panel, command.json);
        case Kind::kShow:
            return app::ShowPanel(command.panel);
        case Kind::kScreenshot:
            return app::WritePanelScreenshot(command.panel, command.output);
        case Kind::kDemo: {
            const app::PanelOptions demo = app::PrepareDemo(command.panel);
            using Mode = app::Command::DemoMode;
            switch (command.demoMode) {
                case Mode::kShow:
                    return app::ShowPanel(demo);
                case Mode::kPrint:
                    return Print(demo, command.json);
                case Mode::kScreenshot:
                    return app::WritePanelScreenshot(demo, command.output);
                case Mode::kAuto:
                    return app::HasDisplay() ? app::ShowPanel(demo) : Print(demo, command.json);
            }
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        return Run(app::ParseCommandLine(arguments));
    } catch (const app::UsageError& error) {
        std::cerr << "infotrakon: " << error.message
                  << "\nRun infotrakon --help for the commands.\n";
        return 2;
    } catch (const Error& error) {
        std::cerr << "infotrakon: error " << error.number() << ": " << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "infotrakon: " << error.what() << "\n";
        return 1;
    }
}
