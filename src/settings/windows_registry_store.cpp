#include "settings/windows_registry_store.h"

#include <windows.h>

namespace infotrakon::settings {
namespace {

constexpr bool kSixtyFourBitProcess = sizeof(void*) == 8;

// The host program is 32-bit, so its setting lies in the registry's 32-bit view. A 32-bit
// panel sees that view by itself; a 64-bit one asks for it, and falls back to its own view
// only where the 32-bit view has no such key (a 64-bit host that wrote its setting there).
LONG OpenHostKey(const std::string& keyPath, std::uint32_t accessMask, HKEY& key) {
    if (!kSixtyFourBitProcess)
        return RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, accessMask, &key);
    const LONG result =
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, accessMask | KEY_WOW64_32KEY, &key);
    if (result != ERROR_FILE_NOT_FOUND) return result;
    return RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, accessMask | KEY_WOW64_64KEY,
                         &key);
}

}  // namespace

long WindowsRegistryStore::OpenKey(const std::string& keyPath, std::uint32_t accessMask,
                                   KeyHandle& handle) {
    HKEY key = nullptr;
    const LONG result = OpenHostKey(keyPath, accessMask, key);
    if (result == ERROR_SUCCESS) {
        handle = nextHandle_++;
        keys_[handle] = key;
    }
    return result;
}

long WindowsRegistryStore::QueryValue(KeyHandle handle, const std::string& valueName,
                                      std::uint32_t* type, std::uint8_t* data,
                                      std::uint32_t* size) {
    const auto key = keys_.find(handle);
    if (key == keys_.end()) return ERROR_INVALID_HANDLE;
    DWORD kind = 0;
    DWORD bytes = size != nullptr ? *size : 0;
    const LONG result = RegQueryValueExA(key->second, valueName.c_str(), nullptr, &kind, data,
                                         size != nullptr ? &bytes : nullptr);
    if (type != nullptr) *type = kind;
    if (size != nullptr) *size = bytes;
    return result;
}

long WindowsRegistryStore::CloseKey(KeyHandle handle) {
    const auto key = keys_.find(handle);
    if (key == keys_.end()) return ERROR_INVALID_HANDLE;
    const LONG result = RegCloseKey(key->second);
    keys_.erase(key);
    return result;
}

}  // namespace infotrakon::settings
