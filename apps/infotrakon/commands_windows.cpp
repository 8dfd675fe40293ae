// infotrakon.exe on Windows is a console program: it prints the panel and runs queries. The
// panel's window there is the control ITrakon.ocx in its host program.
#include "commands.h"

namespace infotrakon::app {

const CommandRun kWindowsCommands[] = {
    {Command::Kind::kPrint, RunPrintCommand},
    {Command::Kind::kQuery, RunQueryCommand},
};

const Program kThisProgram = {"infotrakon.exe", kWindowsCommands};

}  // namespace infotrakon::app
