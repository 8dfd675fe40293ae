#pragma once

#include <cstdint>
#include <string>

namespace infotrakon::settings {

// Status codes as the registry functions return them.
namespace status {
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;
inline constexpr long kInvalidHandle = 6;
inline constexpr long kInvalidParameter = 87;
inline constexpr long kMoreData = 234;
}  // namespace status

// Registry value types.
namespace value_type {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kText = 1;
inline constexpr std::uint32_t kExpandableText = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiText = 7;
}  // namespace value_type

using KeyHandle = std::uint32_t;  // 0: no key open

// The three registry operations of a settings lookup, in the single-byte (ANSI) form:
// key paths and value names come in the ANSI code page, and text data goes out in it.
class RegistryStore {
  public:
    virtual ~RegistryStore() = default;
    // Opens `keyPath` under HKEY_LOCAL_MACHINE; on failure `handle` stays as it was.
    virtual long OpenKey(const std::string& keyPath, std::uint32_t accessMask,
                         KeyHandle& handle) = 0;
    // With `data` null: fills in type and size. With a buffer of `size` bytes: fills it,
    // sets `size` to the bytes written (a text's terminating zero included); kMoreData if
    // the buffer is too small.
    virtual long QueryValue(KeyHandle handle, const std::string& valueName, std::uint32_t* type,
                            std::uint8_t* data, std::uint32_t* size) = 0;
    virtual long CloseKey(KeyHandle handle) = 0;
};

}  // namespace infotrakon::settings
