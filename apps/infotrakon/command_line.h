#pragma once

#include <optional>
#include <string>
#include <vector>

// The command line of the infotrakon program.
namespace infotrakon::app {

struct QueryOptions {
    std::string database;  // the host's path of an .mdb or .udl file
    std::string recordSource;
    std::string filter;
    bool json = false;
    std::optional<std::string> winePrefix;  // else $WINEPREFIX, else ~/.wine
};

struct Command {
    enum class Kind { kDesign, kQuery, kHelp };
    Kind kind = Kind::kDesign;
    QueryOptions query;
};

// A command line the program cannot run: the message says why, the usage follows it.
struct UsageError {
    std::string message;
};

// Parses the arguments after the program's name. Throws UsageError.
Command ParseCommandLine(const std::vector<std::string>& arguments);

std::string UsageText();

}  // namespace infotrakon::app
