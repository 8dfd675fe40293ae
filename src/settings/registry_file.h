#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/file_system.h"
#include "core/text_encoding.h"
#include "settings/registry_store.h"

namespace infotrakon::settings {

struct RegistryValue {
    std::uint32_t type = value_type::kNone;
    std::vector<std::uint8_t> data;
    // Text data is UTF-16LE in Wine hives and version 5 exports, and in the file's single-byte
    // code page in REGEDIT4 exports.
    bool singleByteText = false;
};

// The values of one key, by value name folded to lower case ("" is the default value).
struct RegistryKey {
    std::map<std::u16string, RegistryValue> values;
};

enum class RegistryFileFormat { kWineHive, kExport5, kExport4, kUnknown };

// One registry text file as it lies on disk: a Wine hive (system.reg) or a regedit export.
// Nothing is kept between lookups; each FindKey reads what it needs from the text.
class RegistryFileText {
  public:
    // Takes the raw file bytes; decodes UTF-16LE exports, and REGEDIT4 files from `codePage`.
    RegistryFileText(std::string bytes, const char* codePage);

    RegistryFileFormat format() const { return format_; }
    bool isWin64Prefix() const { return win64_; }
    // The key at `path` (relative to HKEY_LOCAL_MACHINE, any letter case), if the file
    // defines it or one of its subkeys; the last definition wins where a key repeats.
    std::optional<RegistryKey> FindKey(std::u16string_view path) const;

  private:
    std::string codePage_;
    std::string text_;  // UTF-8 (Wine hives are ASCII with escapes)
    RegistryFileFormat format_ = RegistryFileFormat::kUnknown;
    bool win64_ = false;
};

// A registry store over one registry text file, read through `files` afresh at every key
// opening. A file that is missing, unreadable or malformed has no keys.
class RegistryFileStore final : public RegistryStore {
  public:
    RegistryFileStore(std::shared_ptr<const FileSystem> files, std::string path,
                      std::string codePage = SystemAnsiCodePage());

    long OpenKey(const std::string& keyPath, std::uint32_t accessMask, KeyHandle& handle) override;
    long QueryValue(KeyHandle handle, const std::string& valueName, std::uint32_t* type,
                    std::uint8_t* data, std::uint32_t* size) override;
    long CloseKey(KeyHandle handle) override;

    const std::string& path() const { return path_; }

  private:
    std::shared_ptr<const FileSystem> files_;
    std::string path_;
    std::string codePage_;
    std::map<KeyHandle, RegistryKey> open_;
    KeyHandle nextHandle_ = 0x100;
};

// The Wine prefix of the host: `$WINEPREFIX`, else `~/.wine`.
std::string DefaultWinePrefix();

}  // namespace infotrakon::settings
