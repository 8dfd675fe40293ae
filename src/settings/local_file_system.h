#pragma once

#include <memory>
#include <string>

#include "core/file_system.h"

namespace infotrakon::settings {

// The file system of the machine the panel runs on. On Linux the host's Windows paths are
// mapped the way Wine maps them, through the prefix's dosdevices links (c: to ../drive_c,
// z: to /), backslashes to slashes, each component matched without regard to letter case
// where the exact name is absent; a Unix path names itself. On Windows the paths are the
// platform's own and the prefix is not used.
class LocalFileSystem final : public FileSystem {
  public:
    explicit LocalFileSystem(std::string winePrefix = "");

    bool FileExists(const std::string& path) const override;
    std::string LocalPath(const std::string& path) const override;
    std::unique_ptr<ReadableFile> OpenForReading(const std::string& path) const override;

  private:
    std::string winePrefix_;
};

// Windows directory-search matching of one name: * any run, ? any one character, letter
// case ignored (ASCII).
bool MatchesWildcard(const std::string& pattern, const std::string& name);

}  // namespace infotrakon::settings
