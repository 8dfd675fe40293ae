#pragma once

#include <cstdint>
#include <string>

#include "core/text_encoding.h"
#include "core/variant.h"
#include "settings/registry_store.h"

namespace infotrakon::settings {

// The host program's settings key and the value naming its last agenda database.
inline constexpr const char* kHostSettingsKey = "software\\Velmora\\Trakon\\ProgramSeting";
inline constexpr const char* kLastFileValue = "LastFullFileNameOpen";
// The six key-specific rights; not the read-only mask.
inline constexpr std::uint32_t kKeyAccessMask = 0x3F;

// Reads one value of an open key into `value`: a text (type 1) or a 32-bit number (type 4).
// Returns 0, the registry's status when the value cannot be found or read, or -1 for any
// other type. Never raises: every failure ends it with the code it holds at that moment.
// Key paths, value names and the text come and go as UTF-8; the store sees them in its
// ANSI code page.
std::int32_t QueryRegistryValue(RegistryStore& store, KeyHandle handle,
                                const std::string& valueName, Variant& value,
                                const char* codePage = SystemAnsiCodePage());

// Opens the key under HKEY_LOCAL_MACHINE, reads the value and closes the key. Any failure
// gives no value.
Variant ReadRegistryValue(RegistryStore& store, const std::string& keyPath,
                          const std::string& valueName,
                          const char* codePage = SystemAnsiCodePage());

}  // namespace infotrakon::settings
