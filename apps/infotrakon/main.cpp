#include <iostream>
#include <optional>

#include "commands.h"
#include "core/error.h"
#include "core/guarded.h"
#include "program_arguments.h"
#include "qt_commands.h"

int main(int argc, char** argv) {
    using namespace infotrakon;
    int status = 1;
    const std::optional<Error> error = Guarded([&] {
        try {
            status = app::RunCommand(app::ParseCommandLine(app::ProgramArguments(argc, argv)));
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
