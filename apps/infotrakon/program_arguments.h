#pragma once

#include <string>
#include <vector>

namespace infotrakon::app {

// The arguments after the program's name, as UTF-8, and the console set up to show UTF-8. On
// Windows the arguments are read in UTF-16 from the platform, since `argv` holds them in the
// ANSI code page.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace infotrakon::app
