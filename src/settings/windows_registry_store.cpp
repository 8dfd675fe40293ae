#include "settings/windows_registry_store.h"

#include <windows.h>

namespace infotrakon::settings {

long WindowsRegistryStore::OpenKey(const std::string& keyPath, std::uint32_t accessMask,
                                   KeyHandle& handle) {
    HKEY key = nullptr;
    const LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, accessMask, &key);
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
