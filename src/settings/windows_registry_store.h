#pragma once

#include <windows.h>

#include <map>

#include "settings/registry_store.h"

namespace infotrakon::settings {

// The real registry, through RegOpenKeyExA, RegQueryValueExA and RegCloseKey; keys are opened
// in the view of the 32-bit host program, whatever the panel's own width.
class WindowsRegistryStore final : public RegistryStore {
  public:
    long OpenKey(const std::string& keyPath, std::uint32_t accessMask, KeyHandle& handle) override;
    long QueryValue(KeyHandle handle, const std::string& valueName, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long CloseKey(KeyHandle handle) override;

  private:
    std::map<KeyHandle, HKEY> keys_;
    KeyHandle nextHandle_ = 1;
};

}  // namespace infotrakon::settings
