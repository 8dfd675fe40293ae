// Command lines of the infotrakon program, arguments cut at NUL bytes: a command or a
// UsageError, nothing else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return -1;
    std::vector<std::string> arguments(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0)
            arguments.emplace_back();
        else
            arguments.back() += static_cast<char>(data[i]);
    }
    try {
        infotrakon::app::ParseCommandLine(arguments);
    } catch (const infotrakon::app::UsageError&) {
    }
    return 0;
}
