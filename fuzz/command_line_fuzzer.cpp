// Command lines of the infotrakon program, arguments cut at NUL bytes: a command or a
// UsageError, nothing else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"
#include "fuzz_arguments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return -1;
    const std::vector<std::string> arguments = FuzzArguments(data, size);
    try {
        infotrakon::app::ParseCommandLine(arguments);
    } catch (const infotrakon::app::UsageError&) {
    }
    return 0;
}
