// JSON descriptions of agendas from other tools: any bytes must give a loaded writer or an
// Error, never a crash, a hang or a stray exception of the JSON library.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/error.h"
#include "tools/mkagenda/description.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return -1;  // a description is small; keep runs quick
    infotrakon::mkagenda::JetWriter writer;
    try {
        infotrakon::mkagenda::LoadDescription(
            std::string(reinterpret_cast<const char*>(data), size), writer);
    } catch (const infotrakon::Error&) {
    }
    return 0;
}
