#include "core/file_system.h"

#include "core/error.h"

namespace infotrakon {

std::string ReadWholeFile(const ReadableFile& file, std::size_t limit, const std::string& what) {
    if (file.Size() > limit)
        throw Error(error_number::kCannotOpenDatabase, "'" + file.name() + "' is too large to be " +
                                                           what + " (" +
                                                           std::to_string(file.Size()) + " bytes)");
    std::string bytes(static_cast<std::size_t>(file.Size()), '\0');
    const std::size_t got =
        file.ReadAt(0, std::span(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size()));
    bytes.resize(got);
    return bytes;
}

}  // namespace infotrakon
