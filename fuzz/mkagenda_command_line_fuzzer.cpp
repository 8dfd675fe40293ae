// Command lines of mkagenda, arguments cut at NUL bytes: options or a usage error, nothing
// else.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/mkagenda/command_line.h"

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
        infotrakon::mkagenda::ParseMkagendaCommandLine(arguments);
    } catch (const infotrakon::mkagenda::MkagendaUsageError&) {
    }
    return 0;
}
