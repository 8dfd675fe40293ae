#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/date.h"

// The command line of mkagenda.
namespace infotrakon::mkagenda {

struct MkagendaOptions {
    enum class Source { kDescription, kDemo, kGenerated };
    Source source = Source::kDemo;
    std::string descriptionFile;  // for kDescription
    std::size_t rows = 0;         // for kGenerated
    std::string output;           // the .mdb; may be empty when sqlOutput is given
    std::string sqlOutput;
    std::optional<Date> today;
    bool force = false;
    bool encrypt = false;  // as Access's "Encrypt Database" leaves a file
    std::string password;  // a database password; "" for none
    bool help = false;     // --help or --version: print helpText and stop
    std::string helpText;  // when help
};

// A command line mkagenda cannot run: the message says why.
struct MkagendaUsageError {
    std::string message;
};

// The usage line that goes with every refusal.
extern const char* const kMkagendaUsage;

// Parses the arguments after the program's name. Throws MkagendaUsageError.
MkagendaOptions ParseMkagendaCommandLine(const std::vector<std::string>& arguments);

}  // namespace infotrakon::mkagenda
