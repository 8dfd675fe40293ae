// Command lines of mkagenda, arguments cut at NUL bytes: options or a usage error, nothing
// else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_arguments.h"
#include "tools/mkagenda/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return -1;
    const std::vector<std::string> arguments = FuzzArguments(data, size);
    try {
        infotrakon::mkagenda::ParseMkagendaCommandLine(arguments);
    } catch (const infotrakon::mkagenda::MkagendaUsageError&) {
    }
    return 0;
}
