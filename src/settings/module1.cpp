#include "settings/module1.h"

#include <vector>

#include "core/error.h"
#include "core/text_encoding.h"

namespace infotrakon::settings {
namespace {

// The lookup's steps; every failure returns the result code it holds at that moment, and the
// value keeps what it was last given.
std::int32_t QueryValue(RegistryStore& store, KeyHandle handle, const std::string& ansiName,
                        Variant& value, const char* codePage) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    std::int32_t result =
        static_cast<std::int32_t>(store.QueryValue(handle, ansiName, &type, nullptr, &size));
    if (result != 0) return result;
    switch (type) {
        case value_type::kText: {
            std::vector<std::uint8_t> buffer(size, 0);
            result = static_cast<std::int32_t>(
                store.QueryValue(handle, ansiName, nullptr, buffer.data(), &size));
            if (result != 0) {
                value = Variant();
                return result;
            }
            // The size counts the terminating zero; a text stored without one loses its last
            // character, and a size of 0 asks for -1 characters, which fails.
            if (size == 0) return result;
            const std::string ansi(buffer.begin(),
                                   buffer.begin() + std::min<std::size_t>(size - 1, buffer.size()));
            value = Variant(AnsiToUtf8(ansi, codePage));
            return result;
        }
        case value_type::kDword: {
            std::uint8_t bytes[4] = {};
            std::uint32_t dwordSize = sizeof bytes;
            result = static_cast<std::int32_t>(
                store.QueryValue(handle, ansiName, nullptr, bytes, &dwordSize));
            if (result != 0) return result;
            const std::uint32_t bits = bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                       static_cast<std::uint32_t>(bytes[3]) << 24;
            value = Variant(static_cast<std::int64_t>(static_cast<std::int32_t>(bits)));
            return result;
        }
        default:
            return -1;
    }
}

}  // namespace

std::int32_t QueryRegistryValue(RegistryStore& store, KeyHandle handle,
                                const std::string& valueName, Variant& value,
                                const char* codePage) {
    try {
        return QueryValue(store, handle, Utf16ToAnsi(Utf8ToUtf16(valueName), codePage), value,
                          codePage);
    } catch (const std::exception&) {
        // A failure of the conversion or of memory ends the lookup like any other: nothing
        // was read yet, and the first result code is that of success.
        return 0;
    }
}

Variant ReadRegistryValue(RegistryStore& store, const std::string& keyPath,
                          const std::string& valueName, const char* codePage) {
    KeyHandle handle = 0;
    Variant value;
    try {
        const std::string ansiPath = Utf16ToAnsi(Utf8ToUtf16(keyPath), codePage);
        store.OpenKey(ansiPath, kKeyAccessMask, handle);
    } catch (const std::exception&) {
        // Opening is not checked: a key that cannot be opened reads as missing.
    }
    QueryRegistryValue(store, handle, valueName, value, codePage);
    store.CloseKey(handle);
    return value;
}

}  // namespace infotrakon::settings
