#include <iostream>
#include <string>
#include <vector>

#include "agenda_list/list_columns.h"
#include "command_line.h"
#include "core/error.h"
#include "panel/panel.h"
#include "panel/panel_text.h"
#include "panel/resize_layout.h"
#include "query_command.h"

int main(int argc, char** argv) {
    using namespace infotrakon;
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    try {
        const app::Command command = app::ParseCommandLine(arguments);
        switch (command.kind) {
            case app::Command::Kind::kHelp:
                std::cout << app::UsageText();
                return 0;
            case app::Command::Kind::kQuery:
                app::RunQuery(command.query, std::cout);
                return 0;
            case app::Command::Kind::kDesign: {
                panel::Panel panel;
                panel::ApplyResizeLayout(panel, agenda_list::SetListColumns);
                std::cout << panel::DescribePanel(panel);
                return 0;
            }
        }
    } catch (const app::UsageError& error) {
        std::cerr << "infotrakon: " << error.message << "\n" << app::UsageText();
        return 2;
    } catch (const Error& error) {
        std::cerr << "infotrakon: error " << error.number() << ": " << error.what() << "\n";
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "infotrakon: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
