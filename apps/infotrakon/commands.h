#pragma once

#include <span>
#include <string_view>

#include "command_line.h"

namespace infotrakon::app {

// Runs a parsed command; the exit status. Throws Error, UsageError or NoDisplay.
using RunFunction = int (*)(const Command& command);

// A command that this platform's program runs, and how.
struct CommandRun {
    Command::Kind kind;
    RunFunction run;
};

// This platform's program: its file name, as messages name it, and the commands it runs in
// the order of the help.
struct Program {
    std::string_view file;
    std::span<const CommandRun> commands;
};

extern const Program kThisProgram;

// Runs the command, or prints the help it holds; refuses a command that this platform's
// program does not run. The exit status.
int RunCommand(const Command& command);

// The commands of every platform's program.
int RunPrintCommand(const Command& command);
int RunQueryCommand(const Command& command);

// The panel printed as text or as its element model in JSON; the exit status.
int PrintPanel(const PanelOptions& options, bool json);

// A missing host setting is no error: the panel runs without it. A file or folder named on
// the command line that is not there is worth a word, though.
void WarnAboutMissingHostFiles(const PanelOptions& options);

}  // namespace infotrakon::app
